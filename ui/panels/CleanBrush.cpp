#include "ui/panels/CleanBrush.h"

#include <new>

#include "foundation/MessageIds.h"
#include "imaging/ImNav.h"
#include "imaging/Image.h"
#include "imaging/PixelMix.h"
#include "paint/ChannelValue.h"
#include "ui/panels/PanelHighlight.h"
#include "ui/panels/PanelSupport.h"
#include "widgets/Backdrop.h"
#include "widgets/ImWidget.h"

namespace {

constexpr int32_t kCleanSound = 4;
// The slide: one pixel a millisecond.
constexpr float kSlideStepInterval = 1.0f;
constexpr uint32_t kOpaque = 0xFF000000u;

} // namespace

error CCleanBrush::SetupRoot() {
    m_pRoot = m_pBackdrop ? CImWidget::CreateFromRes(int32_t(kRootID), nullptr, nullptr) : nullptr;
    if (const error e = PanelSupport::AddRoot(m_pBackdrop, m_pRoot)) {
        return e;
    }
    int32_t autoClean = 0;
    if (const int32_t e = GetBackboneData(eCmdAutoClean, this, ChannelValueOf(&autoClean))) {
        return error(e);
    }
    m_fWanted = autoClean == 0 ? 1 : 0;
    int32_t start = kStartAway;
    m_nPlaced.reset();
    if (m_fWanted) {
        start = kShown;
        (void)m_pRoot->SetYPos(kShown, 0); // only marks: the window is drawn whole later
        m_nPlaced = kShown;
    }
    if (const error e =
            PanelSupport::GiveStep(m_pRoot, float(start), float(start), kSlideStepInterval)) {
        return e;
    }
    m_pRoot->SetHeartbeat(&CCleanBrush::RootHeart, this);
    CWidget* inset = m_pRoot->Child(0);
    if (!inset) {
        return eResourceNotFound;
    }
    inset->SetButtonDownL(&CCleanBrush::InsetClick, this);

    m_pGlass = dynamic_cast<CImWidget*>(m_pRoot->FindByID(kGlassID));
    if (!m_pGlass) {
        return eResourceNotFound;
    }
    m_pGlassImage = CImage::CreateSharedFromRes(kGlassImageID, nullptr, nullptr);
    m_pTint = CImage::CreateSharedFromRes(kTintImageID, nullptr, nullptr);
    if (!m_pGlassImage || !m_pTint) {
        return eCreateFailed;
    }
    return SetGlassColour(CPixel(kFirstGlassColour), 0);
}

CPixel CCleanBrush::Tinted(CPixel glass, CPixel colour) {
    // The interface's blend at level 80, in 32-bit unsigned arithmetic
    // with a logical shift, then opaque.
    CPixel::Blend255Proc(&glass, kTintLevel, colour);
    return CPixel(uint32_t(glass) | kOpaque);
}

error CCleanBrush::SetGlassColour(CPixel colour, int32_t redraw) {
    if (!m_pGlass || !m_pGlassImage || !m_pTint || !m_pGlass->Image()) {
        return eResourceNotFound;
    }
    const CPixel next = uint32_t(m_GlassColour) != 0 ? Tinted(m_GlassColour, colour) : colour;
    {
        CImNav tint(m_pTint);
        if (!tint.IsLocked()) {
            return eBadParameter;
        }
        const uint32_t rgb = uint32_t(next) & 0x00FFFFFFu;
        for (int32_t y = 0; y < tint.GetHeight(); ++y) {
            CPixel* row = tint.Row(y);
            for (int32_t x = 0; x < tint.GetWidth(); ++x) {
                row[x] = CPixel((uint32_t(row[x]) & kOpaque) | rgb);
            }
        }
    }
    if (const error e = CPixelMix::Multiply(m_pGlass->Image(), m_pTint, m_pGlassImage)) {
        return e;
    }
    m_GlassColour = next;
    return m_pGlass->InvalidateClient(redraw);
}

int32_t CCleanBrush::ProcessData(uint32_t id, const void*, int64_t value, int32_t) {
    switch (id) {
    case eCmdAutoClean:
        if (const int32_t* flag = ChannelPointer<int32_t>(value)) {
            m_fWanted = *flag == 0 ? 1 : 0;
        }
        return 0;
    case eCmdSelectTool:
        m_fOil = int32_t(uint32_t(uint64_t(value))) == 0 ? 1 : 0;
        return 0;
    default:
        return 0;
    }
}

error CCleanBrush::RootHeart(void* user, CWidget* root) {
    auto* panel = static_cast<CCleanBrush*>(user);
    CBackdrop* backdrop = PanelHighlight::BackdropOf(root);
    if (!backdrop || !backdrop->WidgetRollover()) {
        return eNoError;
    }
    const float target = panel->m_fOil && panel->m_fWanted ? float(kShown) : float(kAway);
    return PanelHighlight::Slide(root, target, panel->m_nPlaced, kAway, kShown);
}

error CCleanBrush::InsetClick(void* user, CWidget* button, CWidget*& target, gCPoint&) {
    auto* panel = static_cast<CCleanBrush*>(user);
    target = button;
    if (!PanelSupport::Confirmed(panel->m_pBackdrop, button)) {
        return eNoError;
    }
    (void)panel->SetBackboneData(eCmdCleanBrush, panel, 0); // the brush is marked only
    (void)panel->SetUIData(eCmdPlaySound, panel, kCleanSound);
    uint32_t colour = 0;
    if (panel->GetBackboneData(eCmdGetColour, panel, ChannelValueOf(&colour)) == 0) {
        (void)panel->SetGlassColour(CPixel(colour), 1); // a glass that cannot show keeps its water
    }
    return eNoError;
}
