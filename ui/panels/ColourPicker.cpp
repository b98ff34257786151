#include "ui/panels/ColourPicker.h"

#include <algorithm>

#include "foundation/MessageIds.h"
#include "imaging/Image.h"
#include "paint/ChannelValue.h"
#include "text/TxWidget.h"
#include "ui/SMKBackdrop.h"
#include "ui/panels/PanelHighlight.h"
#include "ui/panels/PanelSupport.h"
#include "widgets/CoWidget.h"
#include "widgets/ImWidget.h"
#include "widgets/Widget.h"

namespace {

constexpr int32_t kClickSound = 0;
// The panels the dropper clears away: all but the picker's own (2).
constexpr int32_t kDropperHides[] = {0, 1, 3, 4, 5};
// The dropper's resting and raised opacity are its highlight's; it starts
// at rest.
constexpr float kDropperRest = 153.0f;
// The pick rules divide by the main area's width less 38 and the strip's
// height less 1.
constexpr int32_t kNarrowestMain = ColourAreas::kHoleRadius + 1;
constexpr int32_t kLowestStrip = 1;
constexpr uint32_t kOpaque = 0xFF000000u;

bool ImageFits(CImWidget* area) {
    const CImage* image = area->Image();
    return image && image->GetWidth() == area->Width() && image->GetHeight() == area->Height();
}

} // namespace

CColourPicker::CColourPicker(CSMKBackdrop* backdrop) : m_pBackdrop(backdrop) {
    m_State.TakeHLS();
}

error CColourPicker::SetupRoot() {
    m_pRoot = m_pBackdrop ? CWidget::CreateFromRes(int32_t(kRootID), nullptr, nullptr) : nullptr;
    if (const error e = PanelSupport::AddRoot(m_pBackdrop, m_pRoot)) {
        return e;
    }
    m_pOptions = m_pRoot->FindByID(kOptionsID);
    if (!m_pOptions) {
        return eResourceNotFound;
    }
    m_pAutoCleanButton = m_pOptions->FindByID(kAutoCleanID);
    m_pTypeButton = m_pOptions->FindByID(kTypeID);
    for (CWidget* button : {m_pAutoCleanButton, m_pTypeButton}) {
        if (!button) {
            return eResourceNotFound;
        }
        if (const error e = PanelSupport::GiveStep(button, 0.0f, 0.0f, 1.0f)) {
            return e;
        }
        button->SetHeartbeat(&CColourPicker::OptionsHeart, this);
        button->SetButtonDownL(&CColourPicker::OptionsClick, this);
    }

    m_pStrip = dynamic_cast<CImWidget*>(m_pRoot->FindByID(kStripID));
    m_pMain = dynamic_cast<CImWidget*>(m_pRoot->FindByID(kMainID));
    m_pSwatch = dynamic_cast<CCoWidget*>(m_pRoot->FindByID(kSwatchID));
    if (!m_pStrip || !m_pMain || !m_pSwatch) {
        return eResourceNotFound;
    }
    m_pStripIndicator = m_pStrip->Child(0);
    m_pMainIndicator = m_pMain->Child(0);
    if (!m_pStripIndicator || !m_pMainIndicator) {
        return eResourceNotFound;
    }
    if (m_pMain->Width() <= kNarrowestMain || m_pStrip->Height() <= kLowestStrip ||
        !ImageFits(m_pMain) || !ImageFits(m_pStrip)) {
        return eBadParameter;
    }
    if (const error e = RenderMain()) {
        return e;
    }
    if (const error e = RenderVert()) {
        return e;
    }
    if (const error e = RenderSwatch()) {
        return e;
    }
    if (const error e = PositionIndicators()) {
        return e;
    }
    m_pStrip->SetButtonDownL(&CColourPicker::VertLButtonDownProc, this);
    m_pMain->SetButtonDownL(&CColourPicker::MainLButtonDownProc, this);

    CWidget* hide = m_pRoot->FindByID(kHideID);
    m_pBody = m_pRoot->FindByID(kBodyID);
    if (!hide || !m_pBody) {
        return eResourceNotFound;
    }
    hide->SetButtonDownL(&CColourPicker::HideClick, this);

    CWidget* dropper = m_pRoot->FindByID(kDropperID);
    if (!dropper) {
        return eResourceNotFound;
    }
    if (const error e = PanelSupport::GiveStep(dropper, kDropperRest, kDropperRest, 1.0f)) {
        return e;
    }
    dropper->SetButtonDownL(&CColourPicker::DropperClick, this);
    dropper->SetHeartbeat(&CColourPicker::DropperHeart, this);

    int32_t autoClean = 0;
    if (const int32_t e = GetBackboneData(eCmdAutoClean, this, ChannelValueOf(&autoClean))) {
        return error(e);
    }
    // Without the image or the label the picker still picks colours.
    (void)UpdateBrushToggle(autoClean, 0);
    (void)UpdateTypeIndicator(0);
    return ReportColour();
}

error CColourPicker::ReportColour() {
    return error(SetBackboneData(eMsgPaintColour, this, int64_t(uint32_t(m_State.colour))));
}

error CColourPicker::SetPickerType(int32_t type) {
    if (type < 0 || type >= ColourAreas::kTypeCount) {
        return eBadParameter;
    }
    m_State.type = type;
    const error main = RenderMain();
    const error strip = RenderVert();
    (void)UpdateTypeIndicator(0); // a tree without the label still picks
    const error placed = PositionIndicators();
    return main != eNoError ? main : strip != eNoError ? strip : placed;
}

error CColourPicker::ToggleMode() {
    const int32_t next = m_State.type + 1;
    (void)SetPickerType(next < ColourAreas::kTypeCount ? next : 0); // shown as far as it goes
    return eNoError;
}

error CColourPicker::UpdateTypeIndicator(int32_t redraw) {
    auto* label =
        m_pOptions ? dynamic_cast<CTxWidget*>(m_pOptions->FindByID(kTypeLabelID)) : nullptr;
    if (!label) {
        return eResourceNotFound;
    }
    (void)label->SetText(m_State.type, 1, 0); // a list too short keeps the text
    (void)label->AlphaChanged(0);
    (void)label->SetXPos(kTypeLabelCentre - label->Width() / 2, redraw);
    return eNoError;
}

error CColourPicker::UpdateBrushToggle(int32_t on, int32_t redraw) {
    auto* image =
        m_pRoot ? dynamic_cast<CImWidget*>(m_pRoot->FindByID(kAutoCleanImageID)) : nullptr;
    if (!image) {
        return eResourceNotFound;
    }
    (void)image->SetImage(on ? 1 : 0, 1, redraw); // a list without the frame keeps its image
    return eNoError;
}

error CColourPicker::RenderSwatch() {
    if (!m_pSwatch) {
        return eBadParameter;
    }
    return m_pSwatch->SetClientColour(CPixel(uint32_t(m_State.colour) | kOpaque), 0);
}

error CColourPicker::RenderMain() {
    if (!m_pMain) {
        return eBadParameter;
    }
    if (const error e = ColourAreas::PaintMain(m_pMain->Image(), m_State)) {
        return e;
    }
    return m_pMain->InvalidateClient(0);
}

error CColourPicker::RenderVert() {
    if (!m_pStrip) {
        return eBadParameter;
    }
    if (const error e = ColourAreas::PaintStrip(m_pStrip->Image(), m_State)) {
        return e;
    }
    return m_pStrip->InvalidateClient(0);
}

error CColourPicker::PositionIndicators() {
    if (!m_pMain || !m_pStrip || !m_pMainIndicator || !m_pStripIndicator) {
        return eBadParameter;
    }
    const gCPoint at =
        ColourAreas::MainIndicator(m_State, m_pMain->Width(), m_pMain->Height(),
                                   m_pMainIndicator->Width(), m_pMainIndicator->Height());
    if (const error e = m_pMainIndicator->SetPosition(at.x, at.y, 0)) {
        return e;
    }
    const int32_t y =
        ColourAreas::StripIndicator(m_State, m_pStrip->Height(), m_pStripIndicator->Height());
    if (const error e = m_pStripIndicator->SetYPos(y, 0)) {
        return e;
    }
    (void)m_pMain->PassRedraw(); // a failed redraw is shown by the backdrop and kept dirty
    return eNoError;
}

int32_t CColourPicker::ProcessData(uint32_t id, const void* sender, int64_t value, int32_t set) {
    switch (id) {
    case eMsgPaintColour: {
        if (!set) {
            return 0;
        }
        const CPixel colour{uint32_t(uint64_t(value))};
        if (sender != this && colour != m_State.colour) {
            m_State.colour = colour;
            m_State.TakeHLS();
        }
        error result = eNoError;
        if (m_State.type == ColourAreas::eHueLightness ||
            m_State.type == ColourAreas::eHueSaturation) {
            result = RenderVert();
        } else if (m_State.type == ColourAreas::eLightnessSaturation) {
            result = RenderMain();
        }
        const error swatch = RenderSwatch();
        const error placed = PositionIndicators();
        return result != eNoError ? result : swatch != eNoError ? swatch : placed;
    }
    case eCmdAutoClean:
        if (const int32_t* flag = ChannelPointer<int32_t>(value)) {
            return UpdateBrushToggle(*flag, 1);
        }
        return 0;
    default:
        return 0;
    }
}

template <typename Pick>
error CColourPicker::TrackArea(CImWidget* area, CWidget*& target, Pick pick) {
    gCPoint last(-1, -1);
    for (;;) {
        gCPoint at = PanelSupport::Cursor();
        area->DesktopToLocal(at);
        at.x = std::clamp(at.x, 0, std::max(0, area->Width() - 1));
        at.y = std::clamp(at.y, 0, std::max(0, area->Height() - 1));
        const bool moved = at != last;
        if (moved) {
            last = at;
            pick(at);
            PanelSupport::Heartbeat();
        }
        if (const error e = ReportColour()) {
            return e;
        }
        if (!PanelSupport::ButtonHeld()) {
            target = area;
            return eNoError;
        }
        if (!moved) {
            PanelSupport::WaitForInput(); // nothing changes until the pointer moves
        }
    }
}

error CColourPicker::MainLButtonDown(CWidget*& target, gCPoint&) {
    if (!m_pMain) {
        return eNoError;
    }
    return TrackArea(m_pMain, target, [this](gCPoint at) {
        ColourAreas::PickMain(m_State, at, m_pMain->Width(), m_pMain->Height());
    });
}

error CColourPicker::VertLButtonDown(CWidget*& target, gCPoint&) {
    if (!m_pStrip) {
        return eNoError;
    }
    return TrackArea(m_pStrip, target, [this](gCPoint at) {
        ColourAreas::PickStrip(m_State, at.y, m_pStrip->Height());
    });
}

error CColourPicker::MainLButtonDownProc(void* user, CWidget*, CWidget*& target, gCPoint& point) {
    return static_cast<CColourPicker*>(user)->MainLButtonDown(target, point);
}

error CColourPicker::VertLButtonDownProc(void* user, CWidget*, CWidget*& target, gCPoint& point) {
    return static_cast<CColourPicker*>(user)->VertLButtonDown(target, point);
}

error CColourPicker::HideClick(void* user, CWidget* widget, CWidget*& target, gCPoint&) {
    auto* picker = static_cast<CColourPicker*>(user);
    target = widget;
    (void)widget->SetPosition(kHidePressed, kHidePressed, 1); // shown pressed while held
    const bool confirmed = PanelSupport::Confirmed(picker->m_pBackdrop, widget);
    (void)widget->SetPosition(kHideRest, kHideRest, 1);
    if (!confirmed || !picker->m_pBody) {
        return eNoError;
    }
    (void)picker->SetUIData(eCmdPlaySound, picker, kClickSound); // a silent click still counts
    const int32_t show = picker->m_pBody->Visible() ? 0 : 1;
    (void)picker->m_pBody->SetVisibility(show, 1); // a failed redraw stays dirty
    // Without the clean-brush panel the body folds alone.
    if (CWidget* cleanBrush = picker->m_pBackdrop->FindByID(kCleanBrushRootID)) {
        (void)cleanBrush->SetVisibility(show, 1);
    }
    return eNoError;
}

error CColourPicker::OptionsClick(void* user, CWidget* widget, CWidget*& target, gCPoint&) {
    auto* picker = static_cast<CColourPicker*>(user);
    target = widget;
    if (!PanelSupport::Confirmed(picker->m_pBackdrop, widget)) {
        return eNoError;
    }
    (void)picker->SetUIData(eCmdPlaySound, picker, kClickSound);
    if (widget == picker->m_pAutoCleanButton) {
        int32_t flag = 0;
        if (const int32_t e =
                picker->GetBackboneData(eCmdAutoClean, picker, ChannelValueOf(&flag))) {
            return error(e);
        }
        flag = flag == 0 ? 1 : 0;
        if (const int32_t e =
                picker->SetBackboneData(eCmdAutoClean, picker, ChannelValueOf(&flag))) {
            return error(e);
        }
        if (flag) {
            (void)picker->SetBackboneData(eCmdCleanBrush, picker, 0); // the brush is marked only
        }
    } else if (widget == picker->m_pTypeButton) {
        return picker->ToggleMode();
    }
    return eNoError;
}

bool CColourPicker::RunDropper() {
    CSMKBackdrop* backdrop = m_pBackdrop;
    bool ran = false;
    gCPoint last(-1, -1);
    while (PanelSupport::ButtonHeld()) {
        if (!ran) {
            ran = true;
            const int32_t prevented = backdrop->RedrawPrevented();
            backdrop->SetRedrawPrevented(1);
            for (const int32_t panel : kDropperHides) {
                backdrop->HidePanelOnDrag(panel);
            }
            backdrop->SetRedrawPrevented(prevented);
            if (m_pBody) {
                (void)m_pBody->SetVisibility(0, 1); // a failed redraw stays dirty
            }
        }
        gCPoint at = PanelSupport::Cursor();
        backdrop->DesktopToLocal(at);
        if (at != last) {
            last = at;
            // What the window shows there, opaque; a point off the back
            // buffer keeps the colour.
            const CImage* buffer = backdrop->BackBuffer();
            if (buffer && at.x >= 0 && at.y >= 0 && at.x < buffer->GetWidth() &&
                at.y < buffer->GetHeight() && at.x < backdrop->Width() &&
                at.y < backdrop->Height()) {
                const CPixel colour(uint32_t(backdrop->GetColourAtPoint(at)) | kOpaque);
                (void)SetBackboneData(eMsgPaintColour, backdrop, int64_t(uint32_t(colour)));
            }
        }
        PanelSupport::Heartbeat();
    }
    return ran;
}

error CColourPicker::DropperClick(void* user, CWidget* widget, CWidget*& target, gCPoint&) {
    auto* picker = static_cast<CColourPicker*>(user);
    CSMKBackdrop* backdrop = picker->m_pBackdrop;
    const bool bodyShown = picker->m_pBody && picker->m_pBody->Visible();
    target = widget;
    if (const error e = backdrop->DoModal(widget)) {
        return e;
    }
    const bool ran = picker->RunDropper();
    if (backdrop->TopModal() == widget) {
        backdrop->EndModal();
    }
    if (ran) {
        if (bodyShown) {
            (void)picker->m_pBody->SetVisibility(1, 0); // drawn by the redraw below
        }
        backdrop->UnhideDragPanels();
    }
    return eNoError;
}

error CColourPicker::OptionsHeart(void*, CWidget* widget) {
    return PanelHighlight::Beat(PanelHighlight::kOptions, widget);
}

error CColourPicker::DropperHeart(void*, CWidget* widget) {
    return PanelHighlight::Beat(PanelHighlight::kDropper, widget);
}
