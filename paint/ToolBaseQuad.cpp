// The second engine's quads: the sweep from one dab edge to the next, the
// test for crossed edges and the rasteriser that hands every covered L0
// pixel to the brush.

#include <algorithm>
#include <cmath>

#include "foundation/Rounding.h"
#include "imaging/ImNav.h"
#include "paint/ToolBase.h"
#include "paint/canvas/Canvas.h"
#include "paint/detail/QuadScanner.h"

using quaddetail::CQuadScanner;

namespace {

constexpr int32_t kFarOff = 1000000000;

int32_t Rnd(float v) {
    return RoundToInt32(v, -kFarOff, kFarOff);
}

// The bounding-box test of one axis: lo and hi of the first segment's ends
// against the second segment's ends p3, p4 (b = p3 - p4 on this axis).
bool AxisMiss(float a1, float a2, float b, float p3, float p4) {
    const float lo = std::min(a1, a2), hi = std::max(a1, a2);
    return b > 0.0f ? (hi < p4 || p3 < lo) : (hi < p3 || p4 < lo);
}

// Whether n / f lies outside 0..1, as the crossing test compares it.
bool OutsideUnit(float n, float f) {
    return f > 0.0f ? (n < 0.0f || n > f) : (n > 0.0f || n < f);
}

} // namespace

gCRPoint CToolBase::DabSelfIntersect(gCRPoint p1, gCRPoint p2, gCRPoint p3, gCRPoint p4) {
    const gCRPoint none(kNoCrossing, kNoCrossing);
    const gCRPoint A(p2.x - p1.x, p2.y - p1.y);
    const gCRPoint B(p3.x - p4.x, p3.y - p4.y);
    const gCRPoint C(p1.x - p3.x, p1.y - p3.y);
    if (AxisMiss(p1.x, p2.x, B.x, p3.x, p4.x) || AxisMiss(p1.y, p2.y, B.y, p3.y, p4.y)) {
        return none;
    }
    const float f = A.y * B.x - A.x * B.y;
    const float d = B.y * C.x - B.x * C.y;
    if (OutsideUnit(d, f)) {
        return none;
    }
    const float e = A.x * C.y - A.y * C.x;
    if (OutsideUnit(e, f) || f == 0.0f) {
        return none;
    }
    const float t = d / f;
    return gCRPoint(p1.x + t * A.x, p1.y + t * A.y);
}

float CToolBase::RasterIntersect(gCRPoint a, gCRPoint b, int32_t row) {
    float x;
    return CQuadScanner::Cross(a, b, row, x) ? x : kNoCrossing;
}

float CToolBase::RasterIntersectExtrapolate(gCRPoint a, gCRPoint b, int32_t row) {
    float x;
    return CQuadScanner::CrossLine(a, b, row, x) ? x : kNoCrossing;
}

error CToolBase::DrawQuad(CCanvas* canvas, gCRPoint p1, gCRPoint p2, gCRPoint p3, gCRPoint p4) {
    CImNav* view = canvas ? canvas->LayerView(CCanvasLayers::kColour) : nullptr;
    if (!view || !view->GetDataPtr()) {
        return eOutOfMemory;
    }
    const CQuadScanner scan(p1, p2, p3, p4, view->GetWidth(), view->GetHeight());
    if (scan.Outside()) {
        return eNoError;
    }
    CPixel* const base = static_cast<CPixel*>(view->GetDataPtr());
    const size_t stride = size_t(view->GetStride());
    CQuadScanner::SRow row;
    for (int32_t y = scan.Top(); y < scan.Bottom(); ++y) {
        if (!scan.ScanRow(y, row)) {
            continue;
        }
        CPixel* const line = base + size_t(y) * stride;
        CQuadScanner::ForEachPixel(row, [&](int32_t x, float u, float v, float coverage) {
            // The brush's width across the quad at u.
            const float ax = p1.x + (p3.x - p1.x) * u, ay = p1.y + (p3.y - p1.y) * u;
            const float bx = p2.x + (p4.x - p2.x) * u, by = p2.y + (p4.y - p2.y) * u;
            const float width = std::sqrt((bx - ax) * (bx - ax) + (by - ay) * (by - ay));
            ApplyPaint(canvas, line + x, gCRPoint(u, v), width, x, y, coverage);
        });
    }
    return eNoError;
}

error CToolBase::StartQuad(CCanvas* canvas, gCRPoint a, gCRPoint b, gCRect& rect) {
    const float xs[4] = {a.x, b.x, m_EdgeA.x, m_EdgeB.x};
    const float ys[4] = {a.y, b.y, m_EdgeA.y, m_EdgeB.y};
    rect = gCRect(Rnd(*std::min_element(xs, xs + 4) - 1.0f),
                  Rnd(*std::min_element(ys, ys + 4) - 1.0f),
                  Rnd(*std::max_element(xs, xs + 4) + 1.0f),
                  Rnd(*std::max_element(ys, ys + 4) + 1.0f));
    // Saved for undo before anything changes: a quad that cannot be saved
    // is not painted.
    gCRect saved(rect.left, rect.top, rect.right + 1, rect.bottom + 1);
    if (const error e = canvas->ProtectArea(saved); e != eNoError) {
        return e;
    }
    const gCRPoint X = DabSelfIntersect(m_EdgeA, m_EdgeB, a, b);
    error e;
    if (X.x == kNoCrossing) {
        e = DrawQuad(canvas, m_EdgeA, m_EdgeB, a, b);
    } else {
        // Crossed edges would make a bow-tie: the corners reordered paint a
        // simple quad instead.
        const float c = (m_EdgeB.x - b.x) * (X.y - b.y) - (m_EdgeB.y - b.y) * (X.x - b.x);
        e = c >= 0.0f ? DrawQuad(canvas, m_EdgeA, b, a, m_EdgeB)
                      : DrawQuad(canvas, a, m_EdgeB, m_EdgeA, b);
    }
    if (e != eNoError) {
        return e;
    }
    m_EdgeA = a;
    m_EdgeB = b;
    return eNoError;
}
