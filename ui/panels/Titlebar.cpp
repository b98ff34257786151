#include "ui/panels/Titlebar.h"

#include <memory>
#include <new>

#include "foundation/AppServices.h"
#include "foundation/MessageIds.h"
#include "foundation/Rounding.h"
#include "imaging/ImNav.h"
#include "imaging/Image.h"
#include "imaging/Stretcher.h"
#include "ui/panels/PanelHighlight.h"
#include "widgets/Backdrop.h"
#include "widgets/ImWidget.h"

namespace {

// The time step a bar starts with: standing at -20, one pixel per step.
constexpr float kStartOffset = -20.0f;
constexpr float kStepSize = 1.0f;
// Offsets stay far inside what a widget's position can hold.
constexpr int32_t kOffsetLimit = 1'000'000;

// Copies src's area into dst's area, or with tile repeats it over dst's
// area from its top-left corner; 23 when a view cannot be made.
error PaintArea(CImage* dst, const gCRect& dstArea, CImage* src, const gCRect& srcArea, bool tile) {
    CImNav to(dst, &dstArea);
    CImNav from(src, &srcArea);
    if (!to.IsLocked() || !from.IsLocked()) {
        return eCreateFailed;
    }
    return tile ? CStretcher::Tile(&to, &from, CStretcher::eTileTopLeft)
                : CStretcher::Blit(&to, &from);
}

} // namespace

error CTitlebar::SetupRoot() {
    if (!m_pBackdrop) {
        return eResourceNotFound;
    }
    std::unique_ptr<CImWidget> root(CImWidget::CreateFromRes(int32_t(kRootID), nullptr, nullptr));
    if (!root) {
        return eResourceNotFound;
    }
    if (!m_fLeftAnchored) {
        // Offset 0 puts the bar's right edge on the window's right edge.
        CWidget::SPositioner* p = root->Positioner();
        p->m_fXFarSide = 1;
        p->m_fXMinusOwn = 1;
    }
    auto* step = new (std::nothrow)
        CTimeStepObject(kStartOffset, kStartOffset, kSlideStepInterval, kStepSize, 0);
    if (!step) {
        return eCreateFailed;
    }
    root->SetUserObject(0, step); // the root owns it from here
    root->SetHeartbeat(&CTitlebar::TitlebarHeart, this);
    root->SetButtonDownL(&CTitlebar::TitlebarClick, this);
    if (const error e = m_pBackdrop->AddChild(root.get(), 0)) {
        return e;
    }
    m_pRoot = root.release(); // the backdrop's from here
    if (const error e = LocalSetupRoot()) {
        // The root's callbacks point at this bar, which its owner deletes
        // after a failed set-up: the root leaves the tree with it.
        (void)m_pBackdrop->RemoveChild(m_pRoot, 0);
        m_pRoot = nullptr;
        m_pContent = nullptr;
        return e;
    }
    return eNoError;
}

error CTitlebar::SizeTitlebar(int32_t redraw) {
    if (!m_pRoot) {
        return eResourceNotFound;
    }
    if (const error e = LocalSizeTitlebar()) {
        return e;
    }
    // Widening remakes the root's image; the bar is painted into it below.
    if (const error e = m_pRoot->SetWidth(m_pRoot->Width() + kBeyondEdge, 0)) {
        return e;
    }
    if (const error e = PaintBar()) {
        return e;
    }
    // The hit test follows the new picture; a redraw that fails is shown by
    // the backdrop and kept dirty.
    (void)m_pRoot->AlphaChanged(0);
    if (redraw) {
        (void)m_pRoot->PassRedraw();
    }
    return eNoError;
}

error CTitlebar::PaintBar() {
    const uint32_t imageID = m_fLeftAnchored ? kLeftBarImageID : kRightBarImageID;
    std::unique_ptr<CImage> image(CImage::CreateFromRes(int32_t(imageID), nullptr, nullptr));
    if (!image) {
        return eResourceNotFound;
    }
    CImage* target = m_pRoot->Image();
    if (!target) {
        return eCreateFailed;
    }
    const int32_t w = image->GetWidth();
    const int32_t h = image->GetHeight();
    const int32_t W = m_pRoot->Width();
    const int32_t H = m_pRoot->Height();
    const int32_t k = w / 2;
    // A bar at the left edge has its cap (the image's right half) at its
    // right end and repeats the left half from its left edge up to the
    // cap; a bar at the right edge is the mirror image.
    const bool left = m_fLeftAnchored != 0;
    const gCRect capTo = left ? gCRect(W - k, 0, W, H) : gCRect(0, 0, k, H);
    const gCRect capFrom = left ? gCRect(k, 0, w, h) : gCRect(0, 0, k, h);
    const gCRect stripTo = left ? gCRect(0, 0, W - k, H) : gCRect(k, 0, W, H);
    const gCRect stripFrom = left ? gCRect(0, 0, k, h) : gCRect(k, 0, w, h);
    if (const error e = PaintArea(target, capTo, image.get(), capFrom, false)) {
        return e;
    }
    if (const error e = PaintArea(target, stripTo, image.get(), stripFrom, true)) {
        return e;
    }
    m_nCapWidth = k;
    return eNoError;
}

int32_t CTitlebar::RetractedPlace() const {
    return m_nCapWidth - (m_pRoot ? m_pRoot->Width() : 0);
}

CTimeStep* CTitlebar::TimeStep() const {
    return m_pRoot ? PanelHighlight::TimeStepOf(m_pRoot) : nullptr;
}

error CTitlebar::SetBarExtended(int32_t extended, int32_t animate, int32_t animate2) {
    CTimeStep* step = TimeStep();
    if (!step) {
        return eCreateFailed;
    }
    const int32_t place = extended ? ExtendedPlace() : RetractedPlace();
    m_fExtended = extended;
    if (animate && animate2) {
        // The heartbeat slides the bar from where it is.
        PanelHighlight::Retarget(*step, float(place), kSlideStepInterval);
        return eNoError;
    }
    // Moving only marks areas for the next redraw.
    (void)m_pRoot->SetXPos(place, 0);
    step->m_rCurrent = step->m_rStart = step->m_rTarget = float(place);
    step->m_StartTime = CTimer();
    step->m_fRunning = 1;
    return eNoError;
}

error CTitlebar::TitlebarHeart(void* user, CWidget* root) {
    auto* bar = static_cast<CTitlebar*>(user);
    if (!bar || root != bar->m_pRoot) {
        return eNoError;
    }
    CTimeStep* step = bar->TimeStep();
    if (!step) {
        return eNoError;
    }
    const float value = step->m_fRunning ? step->CalcVal() : step->m_rCurrent;
    const int32_t offset = RoundToInt32(value, -kOffsetLimit, kOffsetLimit);
    // The offset last given is the positioner's; a bar at rest sets nothing.
    const int32_t given = RoundToInt32(root->Positioner()->m_rXPos, -kOffsetLimit, kOffsetLimit);
    if (offset != given) {
        // A failed redraw is shown by the backdrop and kept dirty.
        (void)root->SetXPos(offset, 1);
    }
    return eNoError;
}

bool CTitlebar::OnCap(const gCPoint& point) const {
    if (m_fLeftAnchored) {
        return point.x >= m_pRoot->Width() - m_nCapWidth;
    }
    return point.x <= m_nCapWidth;
}

gCPoint CTitlebar::TrackPress() {
    const bool modal = m_pBackdrop && m_pBackdrop->DoModal(m_pRoot) == eNoError;
    CAppServices* services = CAppServices::Get();
    if (services) {
        while (services->LButtonStillDown()) {
            // A beat that fails still lets the press end.
            (void)services->AppHeartbeat();
        }
    }
    if (modal && m_pBackdrop->TopModal() == m_pRoot) {
        m_pBackdrop->EndModal();
    }
    gCPoint released = services ? services->CursorLocAtRelease() : gCPoint();
    if (m_pBackdrop) {
        m_pBackdrop->DesktopToLocal(released);
    }
    return released;
}

error CTitlebar::TitlebarClick(void* user, CWidget* root, CWidget*& taker, gCPoint& point) {
    taker = root;
    auto* bar = static_cast<CTitlebar*>(user);
    if (!bar || root != bar->m_pRoot) {
        return eNoError;
    }
    CTimeStep* step = bar->TimeStep();
    if (!step || !bar->OnCap(point)) {
        return eNoError;
    }
    // At once: the bar gives a little under the press.
    const float nudge = bar->m_fExtended ? kPressFeedback : -kPressFeedback;
    PanelHighlight::Retarget(*step, step->m_rCurrent + nudge, kSlideStepInterval);

    const gCPoint released = bar->TrackPress();
    const gCRect r = root->Rect();
    const bool inside = released.x >= r.left - kReleaseMargin &&
                        released.x <= r.right + kReleaseMargin && released.y >= r.top &&
                        released.y <= r.bottom;
    // A sound that cannot play is no reason to stop the bar.
    (void)bar->SetUIData(eCmdPlaySound, bar, kClickSound);
    const int32_t extended = inside ? !bar->m_fExtended : bar->m_fExtended;
    // The time step was there at the press and the root owns it still.
    (void)bar->SetBarExtended(extended, 1, 1);
    return eNoError;
}
