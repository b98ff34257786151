#include "ui/boxes/CanvasPicker.h"

#include "foundation/AppServices.h"
#include "foundation/Clock.h"
#include "foundation/Input.h"
#include "foundation/MessageIds.h"
#include "paint/ChannelValue.h"
#include "platform/WindowBase.h"
#include "ui/SMKBackdrop.h"
#include "ui/boxes/ShownTree.h"
#include "ui/panels/PressTracking.h"
#include "widgets/CoWidget.h"
#include "widgets/ImWidget.h"

namespace {

constexpr int32_t kClickSound = 0;
constexpr int32_t kOpenSound = 2;
constexpr int32_t kCloseSound = 3;
// The gap between each paper and the box's centre line.
constexpr int32_t kGap = 10;

} // namespace

CCanvasPicker::~CCanvasPicker() = default;

uint32_t CCanvasPicker::ClickMilliseconds(uint64_t microseconds) {
    return uint32_t(microseconds) / 1000u;
}

bool CCanvasPicker::IsDoubleClick(uint32_t then, uint32_t now) {
    return uint32_t(now - then) <= kDoubleClickMilliseconds;
}

void CCanvasPicker::PlaySound(int32_t sound) {
    // A sound that cannot play is no reason to stop the box.
    (void)SetUIData(eCmdPlaySound, this, sound);
}

error CCanvasPicker::Show(int32_t redraw) {
    if (m_pRoot) {
        return eNoError; // one modal entry, one sound
    }
    if (!m_pBackdrop) {
        return eResourceNotFound;
    }
    CImWidget* root = nullptr;
    if (const error e = PaperBox::AddOverBlur(m_pBackdrop, kRootID, root)) {
        return e;
    }
    m_pRoot = root;
    if (const error e = BuildShown()) {
        RemoveTree();
        return e;
    }
    PlaySound(kOpenSound);
    if (redraw) {
        // A failed redraw is shown by the backdrop and kept dirty.
        (void)m_pRoot->PassRedraw();
    }
    return eNoError;
}

error CCanvasPicker::BuildShown() {
    for (const uint32_t id : {kOKID, kCancelID}) {
        CWidget* button = m_pRoot->FindByID(id);
        if (!button) {
            return eResourceNotFound;
        }
        if (const error e = PaperBox::SetupButton(button, &CCanvasPicker::ButtonClick, this)) {
            return e;
        }
    }
    if (const error e = SetupPapers(m_pRoot->Width())) {
        return e;
    }
    CWidget* holder = m_pRoot->FindByID(kColourHolderID);
    m_pColour = holder ? dynamic_cast<CCoWidget*>(holder->Child(0)) : nullptr;
    if (!m_pColour) {
        return eResourceNotFound;
    }
    uint32_t colour = 0;
    if (const int32_t e = GetBackboneData(eCmdCanvasSetting, this, ChannelValueOf(&colour))) {
        return error(e);
    }
    (void)m_pColour->SetClientColour(colour, 0); // only marks areas
    m_pColour->SetButtonDownL(ColourClick, this);
    if (const error e = m_pBackdrop->DoModal(m_pRoot)) {
        return e;
    }
    m_pRoot->SetKeyDown(&CCanvasPicker::RootKey, this);
    return eNoError;
}

error CCanvasPicker::SetupPapers(int32_t width) {
    uint32_t current = 0;
    if (const int32_t e = GetBackboneData(eCmdCanvasTexture, this, ChannelValueOf(&current))) {
        return error(e);
    }
    const int32_t half = width / 2;
    for (int32_t i = 0; i < kPaperCount; ++i) {
        CWidget* paper = m_pRoot->FindByID(kFirstPaperID + uint32_t(i));
        if (!paper) {
            return eResourceNotFound;
        }
        // Two by two about the centre; moving only marks areas.
        (void)paper->SetXPos(i % 2 == 0 ? half - paper->Width() - kGap : half + kGap, 0);
        const bool chosen = uint32_t(i) == current;
        if (const error e = PaperBox::SetupOption(paper, chosen, &CCanvasPicker::DentClick, this)) {
            return e;
        }
        CWidget* label = m_pRoot->FindByID(kFirstLabelID + uint32_t(i));
        if (!label) {
            return eResourceNotFound;
        }
        const gCRect& r = paper->Rect();
        const int32_t centre = (r.left + r.right) >> 1; // rounded down
        (void)label->SetXPos(centre - label->Width() / 2, 0);
    }
    return eNoError;
}

void CCanvasPicker::RemoveTree() {
    // A child in the tree can always be removed.
    (void)ShownTree::Remove(m_pBackdrop, m_pRoot);
    ForgetWidgets();
}

void CCanvasPicker::ForgetWidgets() {
    m_pRoot = nullptr;
    m_pColour = nullptr;
    // A later tree may take the old one's addresses: its first click must
    // not make a double click with one on this tree.
    m_pLastOption = nullptr;
}

error CCanvasPicker::Hide(int32_t confirm, int32_t redraw) {
    if (!m_pRoot || !m_pBackdrop) {
        return eNoError;
    }
    if (m_pBackdrop->TopModal() == m_pRoot) {
        m_pBackdrop->EndModal();
    }
    (void)m_pRoot->SetVisibility(0, 0); // only marks areas
    const error applied = confirm ? Apply() : eNoError;
    if (const error e = ShownTree::Remove(m_pBackdrop, m_pRoot)) {
        return e;
    }
    ForgetWidgets();
    if (!applied) {
        PlaySound(kCloseSound);
    }
    if (redraw) {
        // A failed redraw is shown by the backdrop and kept dirty.
        (void)m_pBackdrop->PassRedraw();
    }
    return applied;
}

error CCanvasPicker::Apply() {
    const int32_t prevented = m_pBackdrop->RedrawPrevented();
    m_pBackdrop->SetRedrawPrevented(1);
    const error e = ApplyChanges();
    if (CWindowBase::m_pThis) {
        m_pBackdrop->SetRedrawPrevented(prevented);
    }
    return e;
}

error CCanvasPicker::ApplyChanges() {
    const int32_t chosen = PaperBox::ChosenIndex(m_pRoot, kFirstPaperID, kPaperCount);
    if (chosen < 0 || !m_pColour) {
        return eResourceNotFound;
    }
    uint32_t current = 0;
    if (const int32_t e = GetBackboneData(eCmdCanvasSetting, this, ChannelValueOf(&current))) {
        return error(e);
    }
    uint32_t colour = uint32_t(m_pColour->GetClientColour());
    const bool colourChanged = colour != current;
    if (colourChanged) {
        if (const int32_t e = SetBackboneData(eCmdCanvasSetting, this, ChannelValueOf(&colour))) {
            return error(e);
        }
        // The project keeps the colour: the painting has changed.
        if (const int32_t e = SetBackboneData(eCmdMarkModified, this, 0)) {
            return error(e);
        }
    }
    uint32_t texture = 0;
    if (const int32_t e = GetBackboneData(eCmdCanvasTexture, this, ChannelValueOf(&texture))) {
        return error(e);
    }
    if (chosen == kPaperCount || uint32_t(chosen) == texture) {
        return colourChanged ? error(SetBackboneData(eCmdRedrawCanvas, this, 0)) : eNoError;
    }
    // The new paper re-renders the painting, in the new colour too.
    uint32_t paper = uint32_t(chosen);
    return error(SetBackboneData(eCmdCanvasTexture, this, ChannelValueOf(&paper)));
}

error CCanvasPicker::ButtonClick(void* user, CWidget* widget, CWidget*& target, gCPoint&) {
    auto* picker = static_cast<CCanvasPicker*>(user);
    target = widget;
    if (!PressTracking::ReleasedOn(picker->m_pBackdrop, widget)) {
        return eNoError;
    }
    picker->PlaySound(kClickSound);
    return picker->Hide(uint32_t(widget->GetResID()) == kOKID ? 1 : 0, 1);
}

error CCanvasPicker::DentClick(void* user, CWidget* widget, CWidget*& target, gCPoint&) {
    auto* picker = static_cast<CCanvasPicker*>(user);
    target = widget;
    if (!PressTracking::ReleasedOn(picker->m_pBackdrop, widget)) {
        return eNoError;
    }
    // Timed by when the presses happened where the window system says (the
    // program may take the second late, busy after the first), else by when
    // they are handled.
    const CAppServices* services = CAppServices::Get();
    const uint32_t pressed = services ? services->HandledButtonMilliseconds() : 0;
    const bool quick =
        pressed && picker->m_nLastPressed
            ? IsDoubleClick(picker->m_nLastPressed, pressed)
            : IsDoubleClick(ClickMilliseconds(picker->m_ClickTimer.m_nMicroseconds),
                            ClickMilliseconds(gCClock::Microseconds()));
    if (widget == picker->m_pLastOption && quick) {
        // A paper missing from the tree stops the confirming, which says so.
        (void)PaperBox::Choose(picker->m_pRoot, kFirstPaperID, kPaperCount, widget);
        return picker->Hide(1, 1);
    }
    picker->PlaySound(kClickSound);
    if (!PaperBox::Choose(picker->m_pRoot, kFirstPaperID, kPaperCount, widget)) {
        return eNoError;
    }
    picker->m_pLastOption = widget;
    picker->m_ClickTimer = CTimer();
    picker->m_nLastPressed = pressed;
    return eNoError;
}

error CCanvasPicker::RootKey(void* user, CWidget* widget, CWidget*& target, uint32_t key) {
    auto* picker = static_cast<CCanvasPicker*>(user);
    target = widget;
    if (key == kKeyCodeReturn) {
        return picker->Hide(1, 1); // a failure goes to the window, which shows it
    }
    if (key == kKeyCodeEscape) {
        return picker->Hide(0, 1);
    }
    return eNoError;
}
