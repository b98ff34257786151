#include "devtools/widgets-demo/DemoEffects.h"

#include <memory>
#include <new>

#include "foundation/gCString.h"
#include "widgets/CoWidget.h"
#include "widgets/RoRectWidget.h"
#include "widgets/Widget.h"
#include "widgets/effects/EffectBorder.h"
#include "widgets/effects/EffectCutout.h"
#include "widgets/effects/EffectGlow.h"
#include "widgets/effects/EffectShadow.h"

using namespace demoeffects;

namespace {

// Places a new widget at (x, y), w x h, visible, in front of the
// backdrop's other children.
template <class W> W* Place(CWidget& parent, int32_t x, int32_t y, int32_t w, int32_t h,
                            error& e) {
    std::unique_ptr<W> widget(new (std::nothrow) W());
    if (!widget) {
        e = eOutOfMemory;
        return nullptr;
    }
    if ((e = widget->SetPosition(x, y, 0)) || (e = widget->SetSize(w, h, 0)) ||
        (e = widget->SetVisibility(1, 0)) || (e = parent.AddChild(widget.get(), 0))) {
        return nullptr;
    }
    return widget.release(); // the parent owns it now
}

template <class E> E* NewEffect() {
    return new (std::nothrow) E();
}

} // namespace

error AttachDemoEffects(CWidget& backdrop) {
    error e = eNoError;
    auto* ground = Place<CCoWidget>(backdrop, kGroundLeft, kGroundTop, kGroundRight - kGroundLeft,
                                    kGroundBottom - kGroundTop, e);
    if (!ground || (e = ground->SetClientColour(kGroundColour, 0))) {
        return e ? e : eOutOfMemory;
    }

    // The glass panel on the interface's shadow: black, 40 %, offset
    // (0, 4), radius 12.
    auto* glass = Place<CRoRectWidget>(backdrop, 860, 680, 200, 100, e);
    if (!glass || (e = glass->SetClientColour(0xE01E1D1Au, 0, 0)) ||
        (e = glass->SetBorderWidth(0.0f, 0, 0)) || (e = glass->SetRadius(10.0f, 1, 0))) {
        return e ? e : eOutOfMemory;
    }
    auto* soft = NewEffect<CWidgetEffectShadow>();
    if (!soft) {
        return eOutOfMemory;
    }
    (void)soft->SetRadius(12.0f, 0); // detached: these only store
    (void)soft->ShadowOffset(gCPoint(0, 4), 0);
    (void)soft->Opacity(102, 0);
    if ((e = glass->AddEffectU(soft, 0, 0))) {
        return e;
    }

    // A small panel on a hard shadow (radius 0, offset (8, 8), opacity
    // 200) over the flat ground: exact pixels.
    auto* card = Place<CCoWidget>(backdrop, 880, 860, 80, 50, e);
    if (!card || (e = card->SetClientColour(0xFFC0A070u, 0))) {
        return e ? e : eOutOfMemory;
    }
    auto* hard = NewEffect<CWidgetEffectShadow>();
    if (!hard) {
        return eOutOfMemory;
    }
    (void)hard->SetRadius(0.0f, 0);
    if ((e = card->AddEffectU(hard, 0, 0))) {
        return e;
    }

    // A pressed panel and a raised one.
    auto* pressed = Place<CCoWidget>(backdrop, 1100, 680, 100, 60, e);
    if (!pressed || (e = pressed->SetClientColour(0xFFA39C90u, 0))) {
        return e ? e : eOutOfMemory;
    }
    auto* cutout = NewEffect<CWidgetEffectCutout>();
    if (!cutout) {
        return eOutOfMemory;
    }
    (void)cutout->SetRadius(3.0f, 0);
    (void)cutout->ShadowOffset(gCPoint(2, 2), 0);
    if ((e = pressed->AddEffectB(cutout, 0, 0))) {
        return e;
    }
    auto* raised = Place<CCoWidget>(backdrop, 1100, 780, 100, 60, e);
    if (!raised || (e = raised->SetClientColour(0xFF6A655Cu, 0))) {
        return e ? e : eOutOfMemory;
    }
    auto* border = NewEffect<CWidgetEffectBorder>();
    if (!border) {
        return eOutOfMemory;
    }
    if ((e = raised->AddEffectO(border, 0, 0))) {
        return e;
    }

    // A glow round the sun.
    gCString sunName;
    if ((e = sunName.CopyString(u"DemoSunImage"))) {
        return e;
    }
    CWidget* sun = backdrop.FindByName(sunName);
    if (!sun) {
        return eResourceNotFound;
    }
    auto* glow = NewEffect<CWidgetEffectGlow>();
    if (!glow) {
        return eOutOfMemory;
    }
    return sun->AddEffectU(glow, 0, 0);
}
