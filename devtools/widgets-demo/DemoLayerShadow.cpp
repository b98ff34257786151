#include "devtools/widgets-demo/DemoLayerShadow.h"

#include <memory>
#include <new>

#include "widgets/CoWidget.h"
#include "widgets/Widget.h"
#include "widgets/effects/EffectLayerShadow.h"
#include "widgets/effects/EffectShadow.h"

using namespace demolayershadow;

namespace {

// Places a new widget at (x, y), w x h, visible, in front of the parent's
// other children; null (and e set) when that fails.
template <class W> W* Place(CWidget& parent, int32_t x, int32_t y, int32_t w, int32_t h, error& e) {
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

} // namespace

error AttachDemoLayerShadow(CWidget& backdrop) {
    error e = eNoError;
    auto* ground = Place<CCoWidget>(backdrop, kGroundLeft, kGroundTop, kGroundRight - kGroundLeft,
                                    kGroundBottom - kGroundTop, e);
    if (!ground || (e = ground->SetClientColour(kGroundColour, 0))) {
        return e ? e : eOutOfMemory;
    }
    // The bar draws nothing itself; its layer shadow gathers the buttons'.
    auto* bar = Place<CWidget>(backdrop, kBarLeft, kBarTop, kBarWidth, kBarHeight, e);
    if (!bar) {
        return e ? e : eOutOfMemory;
    }
    auto* layer = new (std::nothrow) CWidgetEffectLayerShadow();
    if (!layer) {
        return eOutOfMemory;
    }
    (void)layer->SetRadius(8.0f, 0); // detached: these only store
    (void)layer->SetSpeed(1);
    if ((e = bar->AddEffectU(layer, 0, 0))) {
        return e;
    }
    for (int32_t i = 0; i < 3; ++i) {
        auto* button = Place<CCoWidget>(*bar, i * kButtonStep, 0, kButtonWidth, kButtonHeight, e);
        if (!button || (e = button->SetClientColour(kButtonColour, 0))) {
            return e ? e : eOutOfMemory;
        }
        auto* shadow = new (std::nothrow) CWidgetEffectShadow();
        if (!shadow) {
            return eOutOfMemory;
        }
        (void)shadow->SetRadius(8.0f, 0);
        (void)shadow->SetParentLayer(1, 0);
        if ((e = button->AddEffectU(shadow, 0, 0))) {
            return e;
        }
    }
    return eNoError;
}
