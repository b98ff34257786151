// The backdrop's small services: the manual, the welcome box shown again,
// the canvas-colour chooser that colour buttons pop up while held, and the
// pan controls, a modal overlay with which the canvas is dragged about.


#include <cstdlib>
#include <new>

#include "FileIO/gCFRelative.h"
#include "FileIO/gCFileIO.h"
#include "foundation/ErrorReport.h"
#include "foundation/MessageIds.h"
#include "foundation/Utf8.h"
#include "ui/InterfaceText.h"
#include "ui/Links.h"
#include "ui/SMKBackdrop.h"
#include "ui/boxes/AboutBox.h"
#include "ui/boxes/CanvasPicker.h"
#include "ui/boxes/NewFile.h"
#include "ui/boxes/WelcomeBox.h"
#include "ui/panels/PanelHighlight.h"
#include "ui/panels/PressTracking.h"
#include "widgets/WidgetEffectBase.h"

namespace {

constexpr uint32_t kManualFailedText = 0xB2D05E0A;
constexpr uint32_t kPanControlsID = 2500;
constexpr uint32_t kPanHintID = 2502;
constexpr uint32_t kPanCancelID = 2503;
// The chooser's colours: four paper tints and the spectrum.
constexpr uint32_t kChooserColourIDs[] = {2320, 2321, 2322, 2323, 2341};

} // namespace

void CSMKBackdrop::ShowHelp() {
    gCString relative;
    if (relative.CopyString(Links::kManualRelative) == eNoError) {
        gCFRelative manual(relative);
        if (gCFileIO::OSExecute(manual) == eNoError) {
            return;
        }
    }
    // The alert is answered before the program goes on; its answer is 0.
    (void)ReportError(eFileNotFound, gStringToUtf8(InterfaceText(kManualFailedText)).c_str());
}

error CSMKBackdrop::ShowWelcome() {
    if (m_pWelcomeBox) {
        // A box that cannot be built leaves the window as it was.
        (void)m_pWelcomeBox->Show(1);
    }
    return eNoError;
}

void CSMKBackdrop::ShowAboutBox() {
    if (m_pAboutBox) {
        // As the welcome box.
        (void)m_pAboutBox->Show(1);
    }
}

error CSMKBackdrop::ShowCanvasColour(CWidget* anchor) {
    if (!m_pCanvasColourWidget || !anchor) {
        return eHandled;
    }
    const gCRect r = anchor->Rect();
    gCPoint centre((r.left + r.right) >> 1, (r.top + r.bottom) >> 1);
    if (CWidget* parent = anchor->Parent()) {
        parent->LocalToBackdrop(centre);
    }
    CWidget* chooser = m_pCanvasColourWidget;
    // Placing and raising only mark areas for the redraw of the showing.
    (void)chooser->SetPosition(centre.x - chooser->Width() / 2, centre.y - chooser->Height() / 2,
                               0);
    (void)chooser->SetMeHighestPriority(0);
    (void)chooser->SetVisibility(1, 1);
    return DoModal(chooser);
}

error CSMKBackdrop::HideCanvasColour() {
    if (!m_pCanvasColourWidget) {
        return eHandled;
    }
    if (TopModal() == m_pCanvasColourWidget) {
        EndModal();
    }
    // A failed redraw is shown by the backdrop and kept dirty.
    (void)m_pCanvasColourWidget->SetVisibility(0, 1);
    return eNoError;
}

int32_t CSMKBackdrop::TargetIsColourPicker() const {
    const CWidget* pointed = m_pCanvasColourWidget ? WidgetRollover() : nullptr;
    if (!pointed) {
        return 0;
    }
    for (const uint32_t id : kChooserColourIDs) {
        if (uint32_t(pointed->GetResID()) == id) {
            return 1;
        }
    }
    return 0;
}

error CSMKBackdrop::SetupPanControls() {
    m_pPanControls = FindByID(kPanControlsID);
    if (!m_pPanControls) {
        return eResourceNotFound;
    }
    m_pPanControls->SetButtonDownL(&CSMKBackdrop::PanCanvasClick, this);
    m_pPanControls->SetKeyDown(&CSMKBackdrop::PanKey, this);
    for (const uint32_t id : {kPanHintID, kPanCancelID}) {
        CWidget* button = m_pPanControls->FindByID(id);
        if (!button) {
            return eResourceNotFound;
        }
        if (id == kPanCancelID) {
            button->SetButtonDownL(&CSMKBackdrop::PanCancelButtonClick, this);
        }
        if (const error e = PanelHighlight::GiveTimeStep(button)) {
            return e;
        }
        button->SetHeartbeat(&CSMKBackdrop::PanButtonHeart, this);
    }
    return eNoError;
}

error CSMKBackdrop::ShowPanControls(int32_t redraw) {
    if (!m_pPanControls) {
        return eNoError;
    }
    if (TopModal() == m_pPanControls) {
        return eNoError; // already up: one modal entry
    }
    for (const uint32_t id : {kPanHintID, kPanCancelID}) {
        CWidget* button = m_pPanControls->FindByID(id);
        if (!button) {
            continue;
        }
        if (CTimeStep* step = PanelHighlight::TimeStepOf(button)) {
            step->m_rCurrent = 0.0f;
            PanelHighlight::Retarget(*step, 0.0f, step->m_rStepInterval);
        }
        if (CWidgetEffectBase* over = button->EffectOver(PanelHighlight::kPanButton.m_nEffect)) {
            (void)over->SetOpacity(0, 0); // only marks the area
        }
    }
    (void)m_pPanControls->SetMeHighestPriority(0);
    // A failed redraw is shown by the backdrop and kept dirty.
    (void)m_pPanControls->SetVisibility(1, redraw);
    (void)m_pPanControls->SetFocus(0);
    return DoModal(m_pPanControls);
}

error CSMKBackdrop::HidePanControls(int32_t redraw) {
    if (!m_pPanControls) {
        return eNoError;
    }
    if (TopModal() == m_pPanControls) {
        EndModal();
    }
    // As showing: a failed redraw stays dirty.
    (void)m_pPanControls->SetVisibility(0, redraw);
    (void)SetFocus(0);
    return eNoError;
}

error CSMKBackdrop::PanCanvasClick(void* user, CWidget* widget, CWidget*& target, gCPoint&) {
    auto* backdrop = static_cast<CSMKBackdrop*>(user);
    target = widget;
    (void)widget->SetVisibility(0, 1);
    // The canvas follows the pointer until the release; the backbone shows
    // its own failures.
    (void)backdrop->SetBackboneData(eRecDragCanvas, backdrop, 0);
    (void)widget->SetVisibility(1, 1);
    return eNoError;
}

error CSMKBackdrop::PanKey(void* user, CWidget* widget, CWidget*& target, uint32_t) {
    target = widget;
    return static_cast<CSMKBackdrop*>(user)->HidePanControls(1);
}

error CSMKBackdrop::PanCancelButtonClick(void* user, CWidget* button, CWidget*& target,
                                         gCPoint&) {
    auto* backdrop = static_cast<CSMKBackdrop*>(user);
    target = button;
    if (!PressTracking::ReleasedOn(backdrop, button)) {
        return eNoError;
    }
    return backdrop->HidePanControls(1);
}

error CSMKBackdrop::PanButtonHeart(void*, CWidget* button) {
    return PanelHighlight::Beat(PanelHighlight::kPanButton, button);
}

error CSMKBackdrop::MakeBoxes() {
    m_pAboutBox.reset(new (std::nothrow) CAboutBox(this));
    m_pWelcomeBox.reset(new (std::nothrow) CWelcomeBox(this));
    m_pNewFile.reset(new (std::nothrow) CNewFile(this));
    m_pCanvasPicker.reset(new (std::nothrow) CCanvasPicker(this));
    return m_pAboutBox && m_pWelcomeBox && m_pNewFile && m_pCanvasPicker ? eNoError
                                                                         : eCreateFailed;
}
