#include "ui/boxes/PaperBox.h"

#include "foundation/AppServices.h"
#include "imaging/Image.h"
#include "ui/SMKBackdrop.h"
#include "ui/boxes/BlurredBackground.h"
#include "ui/boxes/ShownTree.h"
#include "ui/panels/PanelHighlight.h"
#include "widgets/CoWidget.h"
#include "widgets/ImWidget.h"

namespace PaperBox {

error AddOverBlur(CBackdrop* backdrop, uint32_t id, CImWidget*& root) {
    root = nullptr;
    CImWidget* made = CImWidget::CreateFromRes(int32_t(id), nullptr, nullptr);
    if (!made) {
        return eCreateFailed;
    }
    BlurredBackground::Refresh(backdrop);
    if (const error e = ShownTree::Add(backdrop, made)) {
        return e;
    }
    root = made;
    // Without the blur the box shows its own image as loaded.
    (void)BlurredBackground::Paint(backdrop, root);
    return eNoError;
}

error ButtonHeart(void*, CWidget* widget) {
    return PanelHighlight::Beat(PanelHighlight::kButton, widget);
}

error DentHeart(void*, CWidget* widget) {
    return PanelHighlight::Beat(PanelHighlight::kDent, widget);
}

error SetupButton(CWidget* button, CWidget::PointProc click, void* user) {
    if (const error e = PanelHighlight::GiveTimeStep(button)) {
        return e;
    }
    button->SetHeartbeat(&ButtonHeart, user);
    button->SetButtonDownL(click, user);
    return eNoError;
}

error SetupOption(CWidget* option, bool chosen, CWidget::PointProc click, void* user) {
    if (const error e = PanelHighlight::GiveTimeStep(option, chosen ? 255.0f : 0.0f)) {
        return e;
    }
    option->SetHeartbeat(&DentHeart, user);
    option->SetButtonDownL(click, user);
    (void)option->SetUserData(0, chosen ? 1 : 0); // answers the old value
    PanelHighlight::Settle(PanelHighlight::kDent, option);
    return eNoError;
}

bool Choose(CWidget* root, uint32_t firstId, int32_t count, const CWidget* chosen) {
    for (int32_t i = 0; i < count; ++i) {
        CWidget* option = root ? root->FindByID(firstId + uint32_t(i)) : nullptr;
        if (!option) {
            return false;
        }
        (void)option->SetUserData(0, option == chosen ? 1 : 0); // answers the old value
    }
    return true;
}

int32_t ChosenIndex(CWidget* root, uint32_t firstId, int32_t count) {
    int32_t chosen = count;
    for (int32_t i = 0; i < count; ++i) {
        const CWidget* option = root ? root->FindByID(firstId + uint32_t(i)) : nullptr;
        if (!option) {
            return -1;
        }
        if (chosen == count && option->GetUserData(0) == 1) {
            chosen = i;
        }
    }
    return chosen;
}

error ColourClick(void*, CWidget* widget, CWidget*& target, gCPoint& point) {
    target = widget;
    auto* backdrop = dynamic_cast<CSMKBackdrop*>(PanelHighlight::BackdropOf(widget));
    auto* swatch = dynamic_cast<CCoWidget*>(widget);
    if (!backdrop || !swatch || backdrop->ShowCanvasColour(widget) != eNoError) {
        return eNoError; // no chooser: nothing to take a colour from
    }
    gCPoint last = point;
    CAppServices* services = CAppServices::Get();
    while (services && services->LButtonStillDown()) {
        (void)services->AppHeartbeat(); // a beat that fails still lets the press end
        gCPoint at = services->CursorLoc();
        backdrop->DesktopToLocal(at);
        if (at == last) {
            continue;
        }
        last = at;
        const CImage* back = backdrop->BackBuffer();
        const bool inside =
            back && at.x >= 0 && at.y >= 0 && at.x < back->GetWidth() && at.y < back->GetHeight();
        if (inside && backdrop->TargetIsColourPicker()) {
            // Paper is opaque, whatever the screen held there.
            const CPixel colour = backdrop->GetColourAtPoint(at) | 0xFF000000u;
            (void)swatch->SetClientColour(colour, 1); // a failed redraw stays dirty
        }
    }
    return backdrop->HideCanvasColour();
}

} // namespace PaperBox
