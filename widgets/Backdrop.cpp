// The backdrop's back buffer, dirty area, redraw and compositing, its
// background fill and its life as the window's root.

#include "widgets/Backdrop.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <vector>

#include "foundation/AppServices.h"
#include "foundation/ErrorReport.h"
#include "imaging/ImNav.h"
#include "imaging/Image8.h"
#include "widgets/detail/BackdropFill.h"
#include "widgets/detail/RectMath.h"

CBackdrop::CBackdrop() {
    m_nEventMask = 0xFFFFFFFFu;
}

CBackdrop::~CBackdrop() {
    // The cursors hang from the backdrop without being its children: they
    // are let go first, so that deleting them tells nobody.
    if (m_pCursor) {
        CWidget* cursor = m_pCursor;
        m_pCursor = nullptr;
        bool stored = false;
        for (const StructCursorInfo& info : m_aCursors) {
            stored = stored || info.m_pWidget == cursor;
        }
        cursor->SetParent(nullptr);
        if (!stored && !cursor->IsPooled()) {
            delete cursor;
        }
    }
    for (const StructCursorInfo& info : m_aCursors) {
        info.m_pWidget->SetParent(nullptr);
        delete info.m_pWidget;
    }
    m_aCursors.RemoveAll();
    m_aModalStack.RemoveAll();
    m_pFocusWidget = nullptr;
    m_pRolloverWidget = nullptr;
}

// ---------------------------------------------------------------------------
// Size and back buffer

error CBackdrop::SetSize(int32_t width, int32_t height, int32_t redraw) {
    const bool first = !m_pBackBuffer;
    if (first || width != m_pBackBuffer->GetWidth() || height != m_pBackBuffer->GetHeight()) {
        // A new buffer is made aside, so that a failure keeps the old one.
        if (width <= 0 || height <= 0) {
            return eOutOfMemory; // no pixel surface
        }
        std::unique_ptr<CImage> buffer(new (std::nothrow) CImage(width, height, 1));
        if (!buffer || !buffer->IsValid() || buffer->GetWidth() != width ||
            buffer->GetHeight() != height) {
            return eOutOfMemory;
        }
        m_pBackBuffer = std::move(buffer);
    }
    if (first) {
        if (error e = SetVisibility(1, 1)) {
            return e;
        }
    }
    return CWidget::SetSize(width, height, redraw);
}

error CBackdrop::SetSize(const gCPoint& size, int32_t redraw) {
    return SetSize(size.x, size.y, redraw);
}

gCPoint CBackdrop::PositionerSize() const {
    auto side = [](float value) {
        if (!std::isfinite(value)) {
            return 0;
        }
        const double clamped = std::clamp(double(value), -1.0e9, 1.0e9);
        return int32_t(clamped > 0.0 ? clamped + 0.5 : clamped - 0.5);
    };
    return gCPoint(side(m_Positioner.m_rXSize), side(m_Positioner.m_rYSize));
}

error CBackdrop::SetWindowHasBorder(int32_t flag, int32_t redraw) {
    if (flag == m_fWindowHasBorder) {
        return eNoError;
    }
    m_fWindowHasBorder = flag;
    CWindowHost* host = Host();
    if (!host) {
        return eNoError;
    }
    gCPoint place(m_Rect.left, m_Rect.top);
    LocalToDesktop(place);
    return host->SetSizeAndPosition(place.x, place.y, Width(), Height(), redraw);
}

CPixel CBackdrop::GetColourAtPoint(const gCPoint& point) const {
    if (!m_pBackBuffer || point.x < 0 || point.y < 0 || point.x >= Width() || point.y >= Height() ||
        point.x >= m_pBackBuffer->GetWidth() || point.y >= m_pBackBuffer->GetHeight()) {
        return CPixel(0);
    }
    CImNav view(m_pBackBuffer.get());
    if (!view.IsLocked()) {
        return CPixel(0);
    }
    return view.Row(point.y)[point.x];
}

error CBackdrop::GetAlpha(CImage8* mask) {
    if (!mask || !mask->IsValid() || mask->IsCompressed()) {
        return eNoError;
    }
    const int32_t width = std::min(mask->GetWidth(), Width());
    const int32_t height = std::min(mask->GetHeight(), Height());
    if (width <= 0 || height <= 0) {
        return eNoError;
    }
    // The mask from its first byte: mask coordinates are the backdrop's,
    // whatever origin the mask carries.
    const gCPoint origin = mask->GetOrigin();
    const gCRect part(-origin.x, -origin.y, width - origin.x, height - origin.y);
    CImNav8 view(mask, &part);
    if (!view.IsLocked()) {
        return eOutOfMemory;
    }
    view.Fill(255);
    return eNoError;
}

// ---------------------------------------------------------------------------
// Dirty area and redraw

error CBackdrop::PassInvalidatedAreaToParent(const gCRect& local, int32_t redraw) {
    const gCRect clipped = local.Intersected(gCRect(0, 0, Width(), Height()));
    error added = eNoError;
    if (clipped.left < clipped.right && clipped.top < clipped.bottom) {
        added = m_DirtyRegion.AddRect(clipped);
    }
    if (redraw) {
        if (error e = PassRedraw()) {
            return e;
        }
    }
    return added;
}

error CBackdrop::RedrawFailed(error e) {
    if (!m_fRedrawFailureShown) {
        m_fRedrawFailureShown = 1;
        (void)ReportError(e); // the alert is all there is to show
    }
    return e;
}

error CBackdrop::PassRedraw() {
    if (m_fRedrawPrevented || !m_fCreationComplete || !m_pBackBuffer) {
        return eNoError;
    }
    CPassScope scope;
    // A copy: drawing may mark more dirty area, which waits for the next
    // redraw.
    const std::vector<gCRect> rects(m_DirtyRegion.GetRects().begin(),
                                    m_DirtyRegion.GetRects().end());
    for (const gCRect& rect : rects) {
        error e = PassPreRenderNotification(rect, m_pBackBuffer.get(), 255);
        if (e == eNoError) {
            e = CompositeArea(rect);
        }
        if (e != eNoError) {
            return RedrawFailed(e);
        }
        if (m_pCursor) {
            if ((e = m_pCursor->PassRenderAreaTransparent(rect, m_pBackBuffer.get(), 255))) {
                return RedrawFailed(e);
            }
        }
    }
    if (CWindowHost* host = Host(); host && !rects.empty()) {
        // What the window cannot show now it shows whole when it is next
        // painted.
        (void)host->CopyToScreen(*m_pBackBuffer, rects.data(), int32_t(rects.size()));
    }
    m_DirtyRegion.Reset();
    ++m_nRenderCycle;
    m_fRedrawFailureShown = 0;
    return eNoError;
}

error CBackdrop::RedrawNoShow() {
    if (!m_pBackBuffer) {
        return eNoError;
    }
    CPassScope scope;
    const std::vector<gCRect> rects(m_DirtyRegion.GetRects().begin(),
                                    m_DirtyRegion.GetRects().end());
    for (const gCRect& rect : rects) {
        error e = PassPreRenderNotification(rect, m_pBackBuffer.get(), 255);
        if (e == eNoError) {
            e = CompositeArea(rect);
        }
        if (e != eNoError) {
            return RedrawFailed(e);
        }
    }
    ++m_nRenderCycle;
    m_fRedrawFailureShown = 0;
    return eNoError;
}

error CBackdrop::CompositeArea(const gCRect& area) {
    if (!m_pBackBuffer) {
        return eNoError;
    }
    gCRect covered;
    if (error e = PassRenderAreaOpaque(area, m_pBackBuffer.get(), 255, covered)) {
        return e;
    }
    // Only the part of the area that was covered counts: a cover outside it
    // would leave the area as its own piece and never end.
    covered = covered.Intersected(area);
    if (covered.left != covered.right && covered.top != covered.bottom && !covered.IsEmpty()) {
        gCRect pieces[4];
        const int32_t count = gCRect::Difference(area, covered, pieces);
        for (int32_t i = 0; i < count; ++i) {
            if (error e = CompositeArea(pieces[i])) {
                return e;
            }
        }
        return eNoError;
    }
    return PassRenderAreaTransparent(area, m_pBackBuffer.get(), 255);
}

// ---------------------------------------------------------------------------
// Background

error CBackdrop::RenderArea(const gCRect& area, CImage* target, uint32_t) {
    if (!target) {
        return eBadParameter;
    }
    const gCPoint origin = target->GetOrigin();
    // The part of the area on the target, in backdrop coordinates.
    const gCRect onTarget = area.Intersected(widgetdetail::Shifted(
        gCRect(0, 0, target->GetWidth(), target->GetHeight()), -origin.x, -origin.y));
    if (onTarget.IsEmpty()) {
        return eNoError;
    }
    CImNav view(target, &onTarget);
    if (!view.IsLocked()) {
        return eOutOfMemory;
    }
    backdropfill::SFill fill;
    fill.width = Width();
    fill.height = Height();
    fill.base = m_BackgroundColour;
    fill.opacity = m_nGradientOpacity;
    fill.angle = m_rGradientAngle;
    fill.radial = m_fRadialGradient;
    fill.centreX = m_rGradientCentreX;
    fill.centreY = m_rGradientCentreY;
    if (m_pGradient && m_nGradientOpacity != 0) {
        if (m_pGradient->IsDirty()) {
            m_pGradient->Rebuild();
        }
        fill.gradient = m_pGradient.get();
    }
    const gCRect where(view.GetArea().left - origin.x, view.GetArea().top - origin.y,
                       view.GetArea().right - origin.x, view.GetArea().bottom - origin.y);
    CImage* image = m_pBackgroundImage.get();
    if (image && image->IsValid() && !image->IsCompressed()) {
        if (image->GetWidth() <= 0 || image->GetHeight() <= 0) {
            return eNoError;
        }
        CImNav tile(image);
        if (!tile.IsLocked()) {
            return eOutOfMemory;
        }
        backdropfill::FillArea(fill, where, view, &tile);
        return eNoError;
    }
    backdropfill::FillArea(fill, where, view, nullptr);
    return eNoError;
}

// ---------------------------------------------------------------------------
// The tree's root

void CBackdrop::SubtreeLeaving(CWidget* leaving) {
    auto inside = [leaving](const CWidget* widget) {
        return widget && (widget == leaving || widget->IsInHierarchy(leaving));
    };
    if (inside(m_pFocusWidget)) {
        m_pFocusWidget = nullptr;
    }
    if (inside(m_pRolloverWidget)) {
        m_pRolloverWidget = nullptr;
    }
    for (int32_t i = m_aModalStack.GetSize() - 1; i >= 0; --i) {
        if (inside(m_aModalStack[i])) {
            m_aModalStack.RemoveAt(i);
        }
    }
    if (inside(m_pCursor)) {
        // Whoever takes it out deletes it; the system cursor comes back.
        m_pCursor = nullptr;
        if (CAppServices* app = CAppServices::Get()) {
            app->ShowSystemCursor();
        }
    }
    for (int32_t i = m_aCursors.GetSize() - 1; i >= 0; --i) {
        if (inside(m_aCursors[i].m_pWidget)) {
            m_aCursors.RemoveAt(i);
        }
    }
    // An open inspector forgets what it shows from that subtree.
    if (s_pInspectorHook && s_pInspectorHook->m_pSubtreeLeaving) {
        for (int32_t i = 0; i < ChildCount(); ++i) {
            CWidget* child = Child(i);
            if (IsInspector(child) && !inside(child)) {
                s_pInspectorHook->m_pSubtreeLeaving(child, leaving);
            }
        }
    }
}

void CBackdrop::ReleasedByWindow() {
    DeleteWhenSafe(this);
}
