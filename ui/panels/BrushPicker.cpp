#include "ui/panels/BrushPicker.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <optional>

#include "foundation/MessageIds.h"
#include "foundation/Rounding.h"
#include "foundation/ScopeGuards.h"
#include "foundation/Timing.h"
#include "foundation/gCString.h"
#include "paint/ChannelValue.h"
#include "paint/canvas/ProxyCanvas.h"
#include "text/TxWidget.h"
#include "ui/panels/PanelHighlight.h"
#include "ui/panels/PanelSupport.h"
#include "widgets/Backdrop.h"
#include "widgets/ImWidget.h"
#include "widgets/Widget.h"

namespace {

constexpr int32_t kClickSound = 0;
// A preview drag begins past this many pixels across; it then moves the
// size by one percent for every two pixels.
constexpr int32_t kDragStart = 2;
// A press on the pressure button turns into a drag past this many pixels.
constexpr int32_t kPressureDragStart = 5;
// The pop-up stands this far left of and above the pressure button.
constexpr int32_t kPopupLeft = 44;
constexpr int32_t kPopupUp = 4;
// The step buttons' auto-repeat: the first repeat after 400 ms, then each
// 10 ms sooner from 250 ms, never sooner than every 40 ms.
constexpr float kFirstRepeat = 400.0f;
constexpr float kSecondRepeat = 260.0f;
constexpr float kRepeatSpeedUp = 10.0f;
constexpr float kFastestBeforeLast = 50.0f;
// The style button's fade: 0.5 ms a step of 1, 0 to 255.
constexpr float kStyleStepInterval = 0.5f;
constexpr float kStyleShown = 255.0f;
// The images of the style button: the pencils' two styles, then the
// knife's.
constexpr int32_t kKnifeImages = 2;

using PanelSupport::ButtonHeld;
using PanelSupport::Cursor;
using PanelSupport::GiveStep;
using PanelSupport::Heartbeat;
using PanelSupport::WaitForInput;

float Clamped01(float value) {
    return std::clamp(value, 0.0f, 1.0f);
}

int32_t GripX(float weight) {
    return int32_t(RoundHalfAway(1.0f + CBrushPicker::kGripScale * weight));
}

} // namespace

int32_t CBrushPicker::ButtonOfTool(int32_t tool) {
    for (int32_t i = 0; i < kToolButtons; ++i) {
        if (kToolOfButton[i] == tool) {
            return i;
        }
    }
    return -1;
}

CBrushPicker::CBrushPicker(CBackdrop* backdrop) : m_pBackdrop(backdrop) {}

CBrushPicker::~CBrushPicker() {
    // The preview widget stays with the backdrop's tree: it no longer draws
    // through the preview canvas that goes now.
    if (m_pPreview) {
        if (CWidget* preview = m_pPreview->CanvasWidget()) {
            preview->SetRenderProc(nullptr, nullptr);
        }
    }
}

CWidget* CBrushPicker::ToolButton(int32_t index) const {
    return index >= 0 && index < m_aToolButtons.GetSize() ? m_aToolButtons[index] : nullptr;
}

error CBrushPicker::SetupRoot() {
    m_pRoot = m_pBackdrop ? CWidget::CreateFromRes(int32_t(kRootID), nullptr, nullptr) : nullptr;
    if (const error e = PanelSupport::AddRoot(m_pBackdrop, m_pRoot)) {
        return e;
    }
    m_aToolButtons.RemoveAll();
    for (int32_t i = 0; i < kToolButtons; ++i) {
        CWidget* button = m_pRoot->FindByID(kFirstToolID + uint32_t(i));
        if (!button) {
            return eResourceNotFound;
        }
        if (const error e = m_aToolButtons.Add(button)) {
            return e;
        }
        if (const error e = GiveStep(button, 100.0f, 100.0f, 1.0f)) {
            return e;
        }
        button->SetHeartbeat(&CBrushPicker::ToolHeart, this);
        button->SetButtonDownL(&CBrushPicker::ToolClick, this);
        (void)button->SetUserData(0, 0); // index 0 always exists
    }
    CWidget* pressure = m_pRoot->FindByID(kPressureButtonID);
    if (!pressure) {
        return eResourceNotFound;
    }
    pressure->SetButtonDownL(&CBrushPicker::PressureClick, this);

    m_pPressurePopup = m_pBackdrop->FindByID(kPressurePopupID);
    if (!m_pPressurePopup) {
        return eResourceNotFound;
    }
    m_pPressurePopup->SetKeyDown(&CBrushPicker::PressureKey, this);
    m_pPressurePopup->SetMessage(&CBrushPicker::PressureMessage, this);
    CWidget* grip = m_pPressurePopup->FindByID(kGripID);
    if (!grip) {
        return eResourceNotFound;
    }
    grip->SetButtonDownL(&CBrushPicker::PressureGripClick, this);
    {
        CWidget* track = m_pPressurePopup->Child(0);
        CWidget* label = m_pPressurePopup->Child(1);
        if (!track || !label) {
            return eResourceNotFound;
        }
        (void)m_pPressurePopup->SetSize(track->Width() + label->Width() + 30,
                                        m_pPressurePopup->Height(), 0); // only marks
    }

    CWidget* preview = m_pBackdrop->FindByID(kPreviewID);
    if (!preview || !preview->Parent()) {
        return eResourceNotFound;
    }
    preview->SetButtonDownL(&CBrushPicker::BrushSizeLDown, this);
    m_pSizeText = dynamic_cast<CTxWidget*>(preview->Parent()->FindByID(kSizeTextID));
    if (!m_pSizeText) {
        return eResourceNotFound;
    }
    for (const uint32_t id : {kSmallerID, kLargerID}) {
        CWidget* step = preview->Parent()->FindByID(id);
        if (!step) {
            return eResourceNotFound;
        }
        step->SetButtonDownL(&CBrushPicker::BrushSizeButton, this);
    }
    m_pPreview.reset(new (std::nothrow) CProxyCanvas);
    if (!m_pPreview) {
        return eCreateFailed;
    }
    if (const error e = m_pPreview->Initialise()) {
        return e;
    }
    if (const error e = m_pPreview->SetupCanvasWidget(preview)) {
        return e;
    }

    CWidget* hide = m_pRoot->FindByID(kHideID);
    if (!hide) {
        return eResourceNotFound;
    }
    hide->SetButtonDownL(&CBrushPicker::HideClick, this);

    m_pStyleButton = dynamic_cast<CImWidget*>(m_pRoot->FindByID(kStyleID));
    if (!m_pStyleButton) {
        return eResourceNotFound;
    }
    if (const error e = GiveStep(m_pStyleButton, 0.0f, 0.0f, kStyleStepInterval)) {
        return e;
    }
    m_pStyleButton->SetHeartbeat(&CBrushPicker::StyleHeart, this);
    m_pStyleButton->SetButtonDownL(&CBrushPicker::StyleClick, this);
    return eNoError;
}

int32_t CBrushPicker::ProcessData(uint32_t id, const void* sender, int64_t value, int32_t set) {
    switch (id) {
    case eCmdSelectTool: {
        const int32_t tool = int32_t(value);
        const int32_t lit = ButtonOfTool(tool);
        if (lit < 0) {
            return 0;
        }
        (void)UpdateSizePercent(-1.0f, 0); // a read-out that cannot ask keeps its text
        for (int32_t i = 0; i < m_aToolButtons.GetSize(); ++i) {
            (void)m_aToolButtons[i]->SetUserData(0, i == lit ? 1 : 0);
        }
        if (m_pPreview) {
            if (const int32_t e = m_pPreview->ProcessData(id, sender, value, set)) {
                return e;
            }
            if (const error e = m_pPreview->RenderBrushProxy(0)) {
                return e;
            }
        }
        return ShowStylePicker(tool == 1 || tool == 6 ? 1 : 0, 1);
    }
    case eCmdPressureWeight:
        return m_pPreview ? m_pPreview->RenderBrushProxy(0) : eNoError;
    case eCmdToolLinearSize:
        if (m_pPreview) {
            if (const error e = m_pPreview->RenderBrushProxy(0)) {
                return e;
            }
        }
        if (const float* size = ChannelPointer<float>(value)) {
            return UpdateSizePercent(*size, 1);
        }
        return 0;
    case eCmdToolStyle:
        if (m_pPreview) {
            if (const error e = m_pPreview->RenderBrushProxy(0)) {
                return e;
            }
        }
        if (const int32_t* style = ChannelPointer<int32_t>(value)) {
            return UpdateToolStyle(*style, 1);
        }
        return 0;
    default:
        return 0;
    }
}

error CBrushPicker::ShowStylePicker(int32_t show, int32_t) {
    CTimeStep* step = m_pStyleButton ? PanelHighlight::TimeStepOf(m_pStyleButton) : nullptr;
    if (!step) {
        return eNoError;
    }
    if (!show) {
        PanelHighlight::Retarget(*step, 0.0f, kStyleStepInterval);
        return eNoError;
    }
    int32_t style = 0;
    if (const int32_t e = GetBackboneData(eCmdToolStyle, this, ChannelValueOf(&style))) {
        return error(e);
    }
    (void)UpdateToolStyle(style, 0); // a type that cannot be asked leaves the image
    PanelHighlight::Retarget(*step, kStyleShown, kStyleStepInterval);
    return eNoError;
}

error CBrushPicker::UpdateToolStyle(int32_t style, int32_t redraw) {
    if (!m_pStyleButton) {
        return eNoError;
    }
    int32_t type = -1;
    if (const int32_t e = GetBackboneData(eCmdGetToolType, this, ChannelValueOf(&type))) {
        return error(e);
    }
    if (type == 1) {
        return m_pStyleButton->SetImage(style, 0, redraw);
    }
    if (type == 6) {
        return m_pStyleButton->SetImage(style + kKnifeImages, 0, redraw);
    }
    return eNoError;
}

error CBrushPicker::UpdateSizePercent(float size, int32_t redraw) {
    if (size == -1.0f) {
        if (const int32_t e = GetBackboneData(eCmdToolLinearSize, this, ChannelValueOf(&size))) {
            return error(e);
        }
    }
    if (!m_pSizeText) {
        return eNoError;
    }
    const int32_t percent = std::max(1, RoundToInt32(size * 100.0f, 1, 100));
    char text[16];
    std::snprintf(text, sizeof text, "%d%%", percent);
    gCString string;
    if (const error e = string.CopyString(text)) {
        return e;
    }
    if (const error e = m_pSizeText->SetText(string, 1, 0)) {
        return e;
    }
    return m_pSizeText->AlphaChanged(redraw);
}

error CBrushPicker::ToolHeart(void*, CWidget* widget) {
    return PanelHighlight::Beat(PanelHighlight::kTool, widget);
}

error CBrushPicker::StyleHeart(void*, CWidget* widget) {
    CTimeStep* step = PanelHighlight::TimeStepOf(widget);
    if (!step) {
        return eNoError;
    }
    const float value = step->m_fRunning ? step->CalcVal() : step->m_rCurrent;
    const int32_t opacity = RoundToInt32(value, 0, 255);
    if (int32_t(widget->Opacity()) != opacity) {
        return widget->SetOpacity(uint32_t(opacity), 1);
    }
    return eNoError;
}

bool CBrushPicker::PressConfirmed(CWidget* widget) {
    return PanelSupport::Confirmed(m_pBackdrop, widget);
}

error CBrushPicker::ToolClick(void* user, CWidget* widget, CWidget*& taker, gCPoint&) {
    auto* picker = static_cast<CBrushPicker*>(user);
    taker = widget;
    if (!picker->PressConfirmed(widget)) {
        return eNoError;
    }
    const int32_t index = int32_t(widget->GetResID()) - int32_t(kFirstToolID);
    if (index < 0 || index >= kToolButtons) {
        return eNoError;
    }
    (void)picker->SetUIData(eCmdPlaySound, picker, kClickSound); // a silent click still counts
    return error(picker->SetBackboneData(eCmdSelectTool, picker, kToolOfButton[index]));
}

error CBrushPicker::StyleClick(void* user, CWidget* widget, CWidget*& taker, gCPoint&) {
    auto* picker = static_cast<CBrushPicker*>(user);
    taker = widget;
    if (!picker->PressConfirmed(widget)) {
        return eNoError;
    }
    int32_t style = 0;
    if (const int32_t e = picker->GetBackboneData(eCmdToolStyle, picker, ChannelValueOf(&style))) {
        return error(e);
    }
    style = style == 0 ? 1 : 0;
    return error(picker->SetBackboneData(eCmdToolStyle, picker, ChannelValueOf(&style)));
}

error CBrushPicker::BrushSizeLDown(void* user, CWidget* widget, CWidget*& taker, gCPoint& point) {
    auto* picker = static_cast<CBrushPicker*>(user);
    taker = widget;
    float start = 0.0f;
    if (const int32_t e = picker->GetBackboneData(eCmdToolLinearSize, picker,
                                                  ChannelValueOf(&start))) {
        return error(e);
    }
    const gCPoint press = point;
    if (const error e = picker->m_pBackdrop->DoModal(widget)) {
        return e;
    }
    error result = eNoError;
    bool dragging = false;
    int32_t origin = 0;
    int32_t last = 0;
    while (ButtonHeld()) {
        Heartbeat();
        gCPoint at = Cursor();
        widget->DesktopToLocal(at);
        if (!dragging) {
            if (std::abs(at.x - press.x) > kDragStart) {
                dragging = true;
                origin = last = at.x;
            }
            continue;
        }
        if (at.x == last) {
            continue;
        }
        last = at.x;
        float size = Clamped01(start + 0.01f * float((at.x - origin) / 2));
        if (const int32_t e =
                picker->SetBackboneData(eCmdToolLinearSize, picker, ChannelValueOf(&size))) {
            result = error(e);
            break;
        }
    }
    if (picker->m_pBackdrop->TopModal() == widget) {
        picker->m_pBackdrop->EndModal();
    }
    return result;
}

bool CBrushPicker::StepSize(float& size, float step) {
    float next = Clamped01(size + step);
    if (SetBackboneData(eCmdToolLinearSize, this, ChannelValueOf(&next)) != 0) {
        return false;
    }
    size = next;
    return true;
}

error CBrushPicker::BrushSizeButton(void* user, CWidget* widget, CWidget*& taker, gCPoint&) {
    auto* picker = static_cast<CBrushPicker*>(user);
    taker = widget;
    float size = 0.0f;
    if (const int32_t e = picker->GetBackboneData(eCmdToolLinearSize, picker,
                                                  ChannelValueOf(&size))) {
        return error(e);
    }
    const float step = uint32_t(widget->GetResID()) == kLargerID ? 0.01f : -0.01f;
    CTimeTrack track(0.0f, 1.0f, kFirstRepeat, 0.0f, CTimeTrack::eOnce, 0);
    float next = kSecondRepeat;
    if (const error e = picker->m_pBackdrop->DoModal(widget)) {
        return e;
    }
    bool first = true;
    while (ButtonHeld()) {
        Heartbeat();
        if (first) {
            first = false;
            if (picker->StepSize(size, step)) {
                track.m_fRunning = 1;
                track.m_StartTime = CTimer();
            }
            continue;
        }
        const float value = track.m_fRunning ? track.CalcVal() : 1.0f;
        if (value == 1.0f && picker->StepSize(size, step)) {
            if (!(next < kFastestBeforeLast)) {
                next -= kRepeatSpeedUp;
            }
            track.m_rPeriod = next;
            track.m_fRunning = 1;
            track.m_StartTime = CTimer();
        }
    }
    if (picker->m_pBackdrop->TopModal() == widget) {
        picker->m_pBackdrop->EndModal();
    }
    return eNoError;
}

CWidget* CBrushPicker::Grip() const {
    return m_pPressurePopup ? m_pPressurePopup->FindByID(kGripID) : nullptr;
}

void CBrushPicker::SendGripWeight() {
    if (CWidget* grip = Grip()) {
        float weight = float(grip->Rect().left) / kGripScale;
        (void)SetBackboneData(eCmdPressureWeight, this, ChannelValueOf(&weight)); // kept as is
    }
}

void CBrushPicker::ClosePopup() {
    if (!m_pPressurePopup) {
        return;
    }
    if (m_pBackdrop->TopModal() == m_pPressurePopup) {
        m_pBackdrop->EndModal();
    }
    (void)m_pPressurePopup->SetVisibility(0, 1); // a failed redraw stays dirty
}

error CBrushPicker::PressureClick(void* user, CWidget* widget, CWidget*& taker, gCPoint&) {
    auto* picker = static_cast<CBrushPicker*>(user);
    taker = widget;
    CWidget* popup = picker->m_pPressurePopup;
    CWidget* grip = picker->Grip();
    if (!popup || !grip) {
        return eNoError;
    }
    float weight = 0.5f;
    if (const int32_t e =
            picker->GetBackboneData(eCmdPressureWeight, picker, ChannelValueOf(&weight))) {
        return error(e);
    }
    // Placing and raising only mark areas; the pop-up is drawn when shown.
    (void)grip->SetXPos(GripX(weight), 0);
    (void)popup->SetMeHighestPriority(0);
    gCPoint at(widget->Rect().left, widget->Rect().top);
    if (CWidget* parent = widget->Parent()) {
        parent->LocalToBackdrop(at);
    }
    (void)popup->SetYPos(at.y - kPopupUp, 0);
    (void)popup->SetXPos(at.x - kPopupLeft, 0);

    CBackdrop* backdrop = picker->m_pBackdrop;
    if (const error e = backdrop->DoModal(widget)) {
        return e;
    }
    const gCPoint start = Cursor();
    bool dragging = false;
    int32_t last = start.x;
    {
        std::optional<CHideCursor> hidden;
        while (ButtonHeld()) {
            const gCPoint at = Cursor();
            if (!dragging) {
                if (std::abs(at.x - start.x) <= kPressureDragStart) {
                    WaitForInput(); // nothing to animate yet: no spinning
                    continue;
                }
                dragging = true;
                hidden.emplace();
                (void)popup->SetVisibility(1, 1);
            }
            if (at.x != last) {
                weight = Clamped01(weight + float(at.x - last) / 100.0f);
                last = at.x;
                (void)grip->SetXPos(GripX(weight), 1);
                (void)picker->SetBackboneData(eCmdPressureWeight, picker, ChannelValueOf(&weight));
            }
            Heartbeat();
        }
        if (backdrop->TopModal() == widget) {
            backdrop->EndModal();
        }
    } // the cursor comes back
    if (dragging) {
        if (popup->Visible()) {
            (void)popup->SetVisibility(0, 1);
        }
        (void)picker->SetBackboneData(eCmdPressureWeight, picker, ChannelValueOf(&weight));
        return eNoError;
    }
    (void)popup->SetVisibility(1, 1);
    (void)popup->SetFocus(0);
    return backdrop->DoModal(popup);
}

error CBrushPicker::PressureGripClick(void* user, CWidget* widget, CWidget*& taker,
                                      gCPoint& point) {
    auto* picker = static_cast<CBrushPicker*>(user);
    taker = widget;
    CBackdrop* backdrop = picker->m_pBackdrop;
    CHideCursor hidden;
    if (const error e = backdrop->DoModal(widget)) {
        return e;
    }
    const int32_t within = point.x;
    int32_t last = Cursor().x;
    while (ButtonHeld()) {
        gCPoint at = Cursor();
        if (at.x == last) {
            WaitForInput(); // nothing changes until the pointer moves
            continue;
        }
        last = at.x;
        if (CWidget* parent = widget->Parent()) {
            parent->DesktopToLocal(at);
        }
        const int32_t x = std::clamp(at.x - within, kGripLeft, kGripRight);
        (void)widget->SetXPos(x, 1);
        float weight = float(x) / kGripScale;
        (void)picker->SetBackboneData(eCmdPressureWeight, picker, ChannelValueOf(&weight));
        Heartbeat();
    }
    if (backdrop->TopModal() == widget) {
        backdrop->EndModal();
    }
    picker->SendGripWeight();
    picker->ClosePopup();
    (void)backdrop->SetFocus(0);
    return eNoError;
}

error CBrushPicker::PressureKey(void* user, CWidget* widget, CWidget*& taker, uint32_t) {
    taker = widget;
    static_cast<CBrushPicker*>(user)->ClosePopup();
    return eNoError;
}

int32_t CBrushPicker::PressureMessage(void* user, CWidget* widget, uint32_t message, void*,
                                      uintptr_t extra) {
    auto* picker = static_cast<CBrushPicker*>(user);
    if (message != eMsgButtonDownL && message != eMsgButtonDownM && message != eMsgButtonDownR) {
        return 0;
    }
    if (picker->m_pBackdrop->TopModal() != widget) {
        return 0;
    }
    // A press on the pop-up itself that the grip did not take is no press
    // outside it.
    if (extra && widget->Rect().Contains(*reinterpret_cast<const gCPoint*>(extra))) {
        return 0;
    }
    picker->SendGripWeight();
    picker->ClosePopup();
    return 0;
}

error CBrushPicker::HideClick(void* user, CWidget* widget, CWidget*& taker, gCPoint&) {
    auto* picker = static_cast<CBrushPicker*>(user);
    taker = widget;
    (void)widget->SetPosition(kHidePressed, kHidePressed, 1); // shown pressed while held
    const bool confirmed = picker->PressConfirmed(widget);
    (void)widget->SetPosition(kHideRest, kHideRest, 1);
    if (!confirmed) {
        return eNoError;
    }
    (void)picker->SetUIData(eCmdPlaySound, picker, kClickSound);
    CWidget* parent = widget->Parent();
    if (!parent || !parent->Child(1)) {
        return eNoError;
    }
    const int32_t show = parent->Child(1)->Visible() ? 0 : 1;
    for (int32_t i = 0; i < parent->ChildCount(); ++i) {
        CWidget* child = parent->Child(i);
        if (child != widget) {
            (void)child->SetVisibility(show, 0); // drawn by the redraw below
        }
    }
    return parent->PassRedraw();
}
