// Where a widget sits: the positioner, the size and position setters, and
// the visibility and opacity that decide whether its area shows.

#include <algorithm>
#include <cmath>

#include "foundation/Rounding.h"
#include "widgets/Widget.h"

namespace {

// Every coordinate the positioner makes stays within this, whatever a
// resource holds (a size of 1e30 is as valid a float as 30).
constexpr float kCoordinateLimit = 1.0e9f;
constexpr int64_t kCoordinateLimit64 = 1000000000;

// The nearest integer, halves away from zero, of a value clamped to the
// coordinate range first; a NaN (an infinite fraction of an empty parent)
// counts as 0.
int32_t Near(float v) {
    if (std::isnan(v)) {
        return 0;
    }
    return int32_t(RoundHalfAway(std::clamp(v, -kCoordinateLimit, kCoordinateLimit)));
}

int32_t ClampCoordinate(int64_t v) {
    return int32_t(std::clamp(v, -kCoordinateLimit64, kCoordinateLimit64));
}

// One axis of the placement: the start and the extent in the parent.
struct SSpan {
    int64_t start = 0;
    int64_t extent = 0;
};

SSpan PlaceAxis(int32_t parentExtent, float position, int32_t positionFraction, int32_t farSide,
                float size, int32_t sizeFraction, int32_t parentMinus, int32_t minusOwn,
                int32_t centre) {
    const float parent = float(parentExtent);
    SSpan span;
    if (parentMinus) {
        span.extent = int64_t(parentExtent) - Near(size);
    } else if (sizeFraction) {
        span.extent = Near(size * parent);
    } else {
        span.extent = Near(size);
    }
    if (centre) {
        span.start = Near((parent - float(span.extent)) * 0.5f);
    } else {
        span.start = positionFraction ? Near(position * parent) : Near(position);
        if (farSide) {
            span.start = int64_t(parentExtent) - span.start;
        }
        if (minusOwn) {
            span.start -= span.extent;
        }
    }
    if (span.extent < 0) {
        span.extent = 0;
    }
    return span;
}

// Stay in parent: a span that starts before 0 moves right, else one that
// ends beyond the parent moves left.
void KeepInside(SSpan& span, int32_t parentExtent) {
    if (span.start < 0) {
        span.start = 0;
    } else if (span.start + span.extent > parentExtent) {
        span.start = int64_t(parentExtent) - span.extent;
    }
}

} // namespace

error CWidget::RecalcSizePosition(int32_t redraw) {
    const SPositioner& p = m_Positioner;
    int32_t parentWidth = 0;
    int32_t parentHeight = 0;
    if (m_pParent) {
        parentWidth = m_pParent->Width();
        parentHeight = m_pParent->Height();
    } else if (p.m_fXPosFraction || p.m_fYPosFraction || p.m_fXFarSide || p.m_fYFarSide ||
               p.m_fXSizeFraction || p.m_fYSizeFraction || p.m_fXParentMinus || p.m_fYParentMinus ||
               p.m_fXMinusOwn || p.m_fYMinusOwn || p.m_fXCentre || p.m_fYCentre) {
        return eNoError; // a root has nothing to be relative to
    }

    SSpan x = PlaceAxis(parentWidth, p.m_rXPos, p.m_fXPosFraction, p.m_fXFarSide, p.m_rXSize,
                        p.m_fXSizeFraction, p.m_fXParentMinus, p.m_fXMinusOwn, p.m_fXCentre);
    SSpan y = PlaceAxis(parentHeight, p.m_rYPos, p.m_fYPosFraction, p.m_fYFarSide, p.m_rYSize,
                        p.m_fYSizeFraction, p.m_fYParentMinus, p.m_fYMinusOwn, p.m_fYCentre);
    if (m_pParent && m_fStayInParent) {
        if (!p.m_fXCentre) {
            KeepInside(x, parentWidth);
        }
        if (!p.m_fYCentre) {
            KeepInside(y, parentHeight);
        }
    }
    const gCRect rect(ClampCoordinate(x.start), ClampCoordinate(y.start),
                      ClampCoordinate(x.start + x.extent), ClampCoordinate(y.start + y.extent));
    if (rect == m_Rect) {
        return Redraw(redraw);
    }

    const gCRect oldRect = m_Rect;
    const gCRect oldTotal = m_TotalRect;
    m_Rect = rect;
    if (rect.Width() == oldRect.Width() && rect.Height() == oldRect.Height()) {
        // Sides stay within +-1e9, so the offsets fit.
        m_TotalRect.Offset(rect.left - oldRect.left, rect.top - oldRect.top);
    } else {
        m_TotalRect = m_Rect;
        if (error e = SizeChanged()) {
            return e;
        }
        if (error e = UpdateAllEffects()) {
            return e;
        }
        for (int32_t i = 0; i < m_aChildren.GetSize(); ++i) {
            if (error e = m_aChildren[i]->RecalcSizePosition(0)) {
                return e;
            }
        }
    }

    if (m_fVisible) {
        if (!oldTotal.IsEmpty()) {
            if (error e = PassChangeCoverageToParent(oldTotal, 0)) {
                return e;
            }
        }
        if (!m_TotalRect.IsEmpty()) {
            if (error e = PassChangeCoverageToParent(m_TotalRect, 0)) {
                return e;
            }
        }
        gCRect area = oldRect;
        if (!area.IsEmpty()) {
            if (error e = EffectParentMoved(this, area)) {
                return e;
            }
        }
        area = m_Rect;
        if (!area.IsEmpty()) {
            if (error e = EffectParentMoved(this, area)) {
                return e;
            }
        }
    }
    if (error e = SizeChangedComplete()) {
        return e;
    }
    return Redraw(redraw);
}

error CWidget::SizeChanged() {
    return eNoError;
}

error CWidget::SizeChangedComplete() {
    return eNoError;
}

// ---------------------------------------------------------------------------
// Size

error CWidget::SetSize(int32_t width, int32_t height, int32_t redraw) {
    SPositioner& p = m_Positioner;
    p.m_fXSizeFraction = p.m_fYSizeFraction = 0;
    p.m_fXParentMinus = p.m_fYParentMinus = 0;
    p.m_rXSize = float(width);
    p.m_rYSize = float(height);
    if (error e = RecalcSizePosition(0)) {
        return e;
    }
    if (TypeID() != kDrawingWidgetTypeID) {
        if (error e = InvalidateTotal(0)) {
            return e;
        }
    }
    return Redraw(redraw);
}

error CWidget::SetSize(const gCPoint& size, int32_t redraw) {
    return SetSize(size.x, size.y, redraw);
}

// One side set in pixels: the positioner forgets fractions and parent-minus
// measuring on that axis, the rect follows, and the widget is invalidated
// unless it is a drawing widget.
static error SetOneSide(CWidget& widget, int32_t& fraction, int32_t& parentMinus, float& size,
                        int32_t pixels) {
    fraction = 0;
    parentMinus = 0;
    size = float(pixels);
    if (error e = widget.RecalcSizePosition(0)) {
        return e;
    }
    return widget.TypeID() != kDrawingWidgetTypeID ? widget.InvalidateTotal(0) : eNoError;
}

error CWidget::SetWidth(int32_t width, int32_t redraw) {
    if (error e = SetOneSide(*this, m_Positioner.m_fXSizeFraction, m_Positioner.m_fXParentMinus,
                             m_Positioner.m_rXSize, width)) {
        return e;
    }
    return Redraw(redraw);
}

error CWidget::SetHeight(int32_t height, int32_t redraw) {
    if (error e = SetOneSide(*this, m_Positioner.m_fYSizeFraction, m_Positioner.m_fYParentMinus,
                             m_Positioner.m_rYSize, height)) {
        return e;
    }
    return Redraw(redraw);
}

// ---------------------------------------------------------------------------
// Position

error CWidget::SetPosition(int32_t x, int32_t y, int32_t redraw) {
    SPositioner& p = m_Positioner;
    p.m_fXPosFraction = p.m_fYPosFraction = 0;
    p.m_fXCentre = p.m_fYCentre = 0;
    p.m_rXPos = float(x);
    p.m_rYPos = float(y);
    return RecalcSizePosition(redraw);
}

error CWidget::SetPosition(const gCPoint& where, int32_t redraw) {
    return SetPosition(where.x, where.y, redraw);
}

error CWidget::SetXPos(int32_t x, int32_t redraw) {
    m_Positioner.m_fXPosFraction = 0;
    m_Positioner.m_fXCentre = 0;
    m_Positioner.m_rXPos = float(x);
    return RecalcSizePosition(redraw);
}

error CWidget::SetYPos(int32_t y, int32_t redraw) {
    m_Positioner.m_fYPosFraction = 0;
    m_Positioner.m_fYCentre = 0;
    m_Positioner.m_rYPos = float(y);
    return RecalcSizePosition(redraw);
}

error CWidget::MoveRelative(int32_t dx, int32_t dy, int32_t redraw) {
    SPositioner& p = m_Positioner;
    p.m_fXPosFraction = p.m_fYPosFraction = 0;
    p.m_fXCentre = p.m_fYCentre = 0;
    p.m_rXPos = float(int64_t(m_Rect.left) + dx);
    p.m_rYPos = float(int64_t(m_Rect.top) + dy);
    return RecalcSizePosition(redraw);
}

error CWidget::MoveRelative(const gCPoint& delta, int32_t redraw) {
    return MoveRelative(delta.x, delta.y, redraw);
}

// ---------------------------------------------------------------------------
// Visibility and opacity

error CWidget::InvalidateAppearance() {
    gCRect area = m_Rect;
    const error moved = EffectParentMoved(this, area);
    const error dirty = TypeID() == kWidgetTypeID
                            ? InvalidateContainerChildren()
                            : PassInvalidatedAreaToParent(LocalTotalRect(), 0);
    return moved != eNoError ? moved : dirty;
}

error CWidget::SetVisibility(int32_t visible, int32_t redraw) {
    const int32_t show = visible ? 1 : 0;
    if (show != (m_fVisible ? 1 : 0)) {
        // The area is invalidated while the widget shows: after showing,
        // before hiding.
        if (show) {
            m_fVisible = 1;
        }
        const error e = InvalidateAppearance();
        if (!show) {
            m_fVisible = 0;
        }
        if (e != eNoError) {
            return e;
        }
    }
    return Redraw(redraw);
}

error CWidget::SetOpacity(uint32_t opacity, int32_t redraw) {
    if (opacity != m_nOpacity) {
        m_nOpacity = opacity;
        if (m_fVisible) {
            if (error e = InvalidateAppearance()) {
                return e;
            }
        }
    }
    return Redraw(redraw);
}

error CWidget::SetPropagateOpacity(int32_t on, int32_t redraw) {
    m_fPropagateOpacity = on;
    return InvalidateClient(redraw);
}
