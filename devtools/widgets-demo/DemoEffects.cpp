#include "devtools/widgets-demo/DemoEffects.h"

#include <memory>
#include <new>

#include "foundation/gCString.h"
#include "imaging/PixelMix.h"
#include "widgets/Widget.h"
#include "widgets/effects/EffectTexture.h"

error AttachDemoEffects(CWidget& backdrop) {
    gCString name;
    if (error e = name.CopyString(u"DemoSunTextured")) {
        return e;
    }
    CWidget* sun = backdrop.FindByName(name);
    if (!sun) {
        return eResourceNotFound;
    }
    std::unique_ptr<CWidgetEffectTexture> texture(new (std::nothrow) CWidgetEffectTexture());
    if (!texture) {
        return eOutOfMemory;
    }
    (void)texture->SetBlendMode(CPixelMix::eMixScreen, 0); // detached: only stores
    // Over the picture: the sun's own picture screened onto itself.
    const error e = sun->AddEffectO(texture.get(), 0, 0);
    if (e == eNoError || sun->EffectOver(0) == texture.get()) {
        texture.release(); // the widget holds it, even after a failed rebuild
    }
    return e;
}
