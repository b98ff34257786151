#pragma once
// What chalk, crayon and the eraser share: the cross-section profile, the
// layer lock, RenderDab (the stroke as four-sided pieces between successive
// cross edges, with a rounded cap where the path turns sharply), and the
// sampling of the circular single dab. Tool supplies
// RenderSegment(p1, p2, p3, p4, mode), which does the per-pixel work of one
// piece; Base is the painting-tool class it builds on.

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "foundation/Error.h"
#include "foundation/Geometry.h"
#include "imaging/ImNav.h"
#include "paint/PaintTool.h"
#include "paint/Pressure.h"
#include "paint/SharpTurn.h"
#include "paint/canvas/Canvas.h"
#include "tools/PaintingTool.h"
#include "tools/dry/detail/DryMath.h"

namespace drydetail {

constexpr int32_t kSlots = 100;

// Views locked on the canvas's four layers for the length of one dab. Ready
// only when all four lock and they are the layers the tool was handed
// (same first pixels, same size, rows without padding): then the tool's
// layer addresses may be written.
class CLayerLock {
public:
    CLayerLock(CCanvas* canvas, const CPaintTool& tool)
        : m_View0(Image(canvas, 0)), m_View1(Image(canvas, 1)), m_View2(Image(canvas, 2)),
          m_View3(Image(canvas, 3)) {
        const int32_t w = tool.LayerWidth(), h = tool.LayerHeight();
        CImNav* views[4] = {&m_View0, &m_View1, &m_View2, &m_View3};
        CPixel* layers[4] = {tool.Layer0(), tool.Layer1(), tool.Layer2(), tool.Layer3()};
        m_fReady = w > 0 && h > 0;
        for (int32_t i = 0; i < 4 && m_fReady; ++i) {
            const CImNav& v = *views[i];
            m_fReady = v.IsLocked() && v.GetData() && v.GetData() == layers[i] &&
                       v.GetWidth() == w && v.GetHeight() == h && v.GetStride() == w;
        }
    }

    bool IsReady() const { return m_fReady; }

private:
    static CImage* Image(CCanvas* canvas, int32_t i) { return canvas ? canvas->Layer(i) : nullptr; }

    CImNav m_View0, m_View1, m_View2, m_View3;
    bool m_fReady = false;
};

// The profile across the brush: 0 at the edges, 1 in the middle, by
// b(k + 1) = b(k) + (1 - b(k)) * 0.05 from b(0) = 0, mirrored.
inline void FillProfile(float (&profile)[kSlots]) {
    float b = 0.0f;
    for (int32_t k = 0; k < 49; ++k) {
        profile[k] = profile[kSlots - 1 - k] = b;
        b = b + (1.0f - b) * 0.05f;
    }
    profile[49] = profile[50] = 1.0f;
}

// The bounding box of points, rounded, widened by grow and clamped to the
// canvas; inclusive.
inline gCRect ClampedBox(const gCRPoint* points, int32_t count, int32_t grow, int32_t width,
                         int32_t height) {
    float minX = points[0].x, maxX = points[0].x, minY = points[0].y, maxY = points[0].y;
    for (int32_t k = 1; k < count; ++k) {
        minX = std::min(minX, points[k].x);
        maxX = std::max(maxX, points[k].x);
        minY = std::min(minY, points[k].y);
        maxY = std::max(maxY, points[k].y);
    }
    return gCRect(
        std::clamp(Rnd(minX) - grow, 0, width - 1), std::clamp(Rnd(minY) - grow, 0, height - 1),
        std::clamp(Rnd(maxX) + grow, 0, width - 1), std::clamp(Rnd(maxY) + grow, 0, height - 1));
}

} // namespace drydetail

template <class Tool, class Base> class TDryTool : public Base {
public:
    using pointStruct = CPaintTool::pointStruct;
    static constexpr int32_t kSlots = drydetail::kSlots;

    // Paints the stroke from the previous cross edge up to pt; rect gets the
    // changed area. eOutOfMemory when a layer cannot be locked (nothing changes).
    error RenderDab(pointStruct pt, gCRect& rect, CCanvas* canvas) override;

    const float* Profile() const { return m_aProfile; }
    uint32_t NoisePosition() const { return this->m_nNoisePosition; }

    // RenderDab's pressure response: p = ToolPressure(pressure) held to
    // 0..1, eased to 1 - sqrt(1 - p^2).
    static float EasedPressure(int32_t pressure) {
        const float p = drydetail::Clamp(ToolPressure(pressure), 0.0f, 1.0f);
        return 1.0f - std::sqrt(1.0f - p * p);
    }
    // Dab's: ToolPressure(pressure), capped at 1 only.
    static float DabPressure(int32_t pressure) { return std::min(1.0f, ToolPressure(pressure)); }
    // The half-width of the pieces and the radius of the single dab.
    static float HalfWidth(float linearSize, float eased) {
        return 30.0f * linearSize + 5.0f + 2.0f * eased;
    }
    static int32_t DabRadius(float linearSize) { return drydetail::Rnd(30.0f * linearSize + 7.0f); }

protected:
    // Starts a stroke's geometry at pt: no pressure yet, the previous edge
    // collapsed onto the point, the profile filled.
    void StartStroke(const pointStruct& pt) {
        this->StartEdge(pt);
        drydetail::FillProfile(m_aProfile);
    }

    // The single dab's samples: f(x, y, i, j) for every sample whose pixel
    // lies on the canvas, i the slot across the brush and j along it (both
    // flipped while the flip flag is set). The dab spans radius r across
    // and, at each slot, r x profile along the direction of travel.
    template <class F> void ForEachDabSample(const pointStruct& pt, int32_t r, F&& f) const;

    // The inclusive box a single dab of radius r at pt may touch, clamped
    // to the canvas.
    gCRect DabBox(const pointStruct& pt, int32_t r) const;

    // A single dab at pt: the layers locked, the pressure response set, the
    // box a dab of the tool's radius may touch protected, then paint(r, p)
    // with the radius and the pressure response, and the box marked for
    // relighting; rect gets the box grown by 1. eOutOfMemory when a layer cannot be
    // locked (nothing changes).
    template <class Paint>
    error PaintDab(const pointStruct& pt, gCRect& rect, CCanvas* canvas, Paint&& paint);

    float m_aProfile[kSlots] = {};

private:
    // One piece from the edge (p1, p2) to (p3, p4): protected, counted,
    // rendered, its rows marked for relighting; rect gets its area.
    void PaintPiece(CCanvas& canvas, gCRPoint p1, gCRPoint p2, gCRPoint p3, gCRPoint p4,
                    int32_t mode, float eased, gCRect& rect);
};

template <class Tool, class Base>
error TDryTool<Tool, Base>::RenderDab(pointStruct pt, gCRect& rect, CCanvas* canvas) {
    const drydetail::CLayerLock lock(canvas, *this);
    if (!lock.IsReady()) {
        return eOutOfMemory;
    }
    const float eased = EasedPressure(pt.pressure);
    this->m_rPressureResponse = eased;
    const float w = HalfWidth(this->m_rLinearSize, eased);
    if (this->m_rPreviousPressureResponse < 0.0f) {
        this->m_rPreviousPressureResponse = eased;
    }
    float* edge = this->m_aPreviousEdge;
    float dx = pt.dx, dy = pt.dy;
    const bool hasEdge = edge[0] != -1.0f && edge[1] != -1.0f;
    int32_t mode = 0;
    bool capped = false;
    gCRect capRect;
    if (hasEdge) {
        const float nx = this->m_PreviousPoint.dx, ny = this->m_PreviousPoint.dy;
        if (IsSharpTurn(nx + dx, ny + dy, ETurnEdge::eEdgeTurns)) {
            // Carry the stroke half a width on past the previous point in
            // its old direction, rounded off, then start afresh just behind
            // this point with the brush turned over.
            const float half = w / 2.0f;
            const float ox = this->m_PreviousPoint.x + nx * half;
            const float oy = this->m_PreviousPoint.y + ny * half;
            PaintPiece(*canvas, gCRPoint(edge[0], edge[1]), gCRPoint(edge[2], edge[3]),
                       gCRPoint(ox - ny * w, oy + nx * w), gCRPoint(ox + ny * w, oy - nx * w), 1,
                       eased, capRect);
            capped = true;
            const int32_t next = this->m_nRenderCursor + 1;
            if (next > 0 && next < this->m_aStrokePoints.GetSize()) {
                dx = this->m_aStrokePoints[next].dx;
                dy = this->m_aStrokePoints[next].dy;
            }
            const float qx = pt.x - dx * half, qy = pt.y - dy * half;
            edge[0] = qx - dy * w;
            edge[1] = qy + dx * w;
            edge[2] = qx + dy * w;
            edge[3] = qy - dx * w;
            this->m_fProfileFlip = this->m_fProfileFlip ? 0 : 1;
            mode = 2;
        }
    }
    const gCRPoint left(pt.x - dy * w, pt.y + dx * w), right(pt.x + dy * w, pt.y - dx * w);
    if (hasEdge) {
        PaintPiece(*canvas, gCRPoint(edge[0], edge[1]), gCRPoint(edge[2], edge[3]), left, right,
                   mode, eased, rect);
        if (capped) {
            rect = rect.United(capRect);
        }
    }
    edge[0] = left.x;
    edge[1] = left.y;
    edge[2] = right.x;
    edge[3] = right.y;
    this->m_rPreviousPressureResponse = eased;
    return eNoError;
}

template <class Tool, class Base>
void TDryTool<Tool, Base>::PaintPiece(CCanvas& canvas, gCRPoint p1, gCRPoint p2, gCRPoint p3,
                                      gCRPoint p4, int32_t mode, float eased, gCRect& rect) {
    const gCRPoint corners[4] = {p1, p2, p3, p4};
    const gCRect box =
        drydetail::ClampedBox(corners, 4, 2, this->m_nLayerWidth, this->m_nLayerHeight);
    rect = gCRect(box.left - 1, box.top - 1, box.right + 1, box.bottom + 1);
    gCRect protect = rect;
    // The ring abandons the record itself when it runs out of room; the
    // stroke paints on either way.
    (void)this->ProtectStrokeArea(canvas, protect);
    ++this->m_nDabNum;
    (void)static_cast<Tool*>(this)->RenderSegment(p1, p2, p3, p4, mode); // always 0
    this->m_nNoisePosition += uint32_t(drydetail::Rnd(20.0f * eased + 5.5f));
    // The rows written; should they not fit, the box's rows over rect's
    // columns.
    this->m_WrittenRows.MarkOn(canvas,
                               gCRect(rect.left, box.top, rect.right + 1, box.bottom + 1));
}

template <class Tool, class Base>
gCRect TDryTool<Tool, Base>::DabBox(const pointStruct& pt, int32_t r) const {
    const float rf = float(r);
    const gCRPoint left(pt.x - pt.dy * rf, pt.y + pt.dx * rf);
    const gCRPoint right(pt.x + pt.dy * rf, pt.y - pt.dx * rf);
    const float ax = pt.dx * rf, ay = pt.dy * rf;
    const gCRPoint corners[4] = {
        gCRPoint(left.x - ax, left.y - ay), gCRPoint(right.x - ax, right.y - ay),
        gCRPoint(left.x + ax, left.y + ay), gCRPoint(right.x + ax, right.y + ay)};
    return drydetail::ClampedBox(corners, 4, 2, this->m_nLayerWidth, this->m_nLayerHeight);
}

template <class Tool, class Base>
template <class Paint>
error TDryTool<Tool, Base>::PaintDab(const pointStruct& pt, gCRect& rect, CCanvas* canvas,
                                     Paint&& paint) {
    const drydetail::CLayerLock lock(canvas, *this);
    if (!lock.IsReady()) {
        return eOutOfMemory;
    }
    const float p = DabPressure(pt.pressure);
    this->m_rPressureResponse = p;
    const int32_t r = DabRadius(this->m_rLinearSize);
    const gCRect box = DabBox(pt, r);
    gCRect protect(box.left, box.top, box.right + 1, box.bottom + 1);
    // The ring abandons the record itself when it runs out of room.
    (void)this->ProtectStrokeArea(*canvas, protect);
    paint(r, p);
    canvas->InvalidateSpans(protect);
    rect = gCRect(box.left - 1, box.top - 1, box.right + 1, box.bottom + 1);
    return eNoError;
}

template <class Tool, class Base>
template <class F>
void TDryTool<Tool, Base>::ForEachDabSample(const pointStruct& pt, int32_t r, F&& f) const {
    using drydetail::Rnd;
    const int32_t width = this->m_nLayerWidth, height = this->m_nLayerHeight;
    const bool flip = this->m_fProfileFlip != 0;
    const float rf = float(r);
    const float lx = pt.x - pt.dy * rf, ly = pt.y + pt.dx * rf;
    const float rx = pt.x + pt.dy * rf, ry = pt.y - pt.dx * rf;
    const float ex = rx - lx, ey = ry - ly;
    const float length = std::sqrt(ex * ex + ey * ey);
    // No length across (no direction): one sample at u = 0.
    const float du = length > 0.0f ? 0.5f / length : 0.0f;
    for (float u = 0.0f; u < 1.0f;) {
        int32_t i = std::min(kSlots - 1, Rnd(100.0f * u));
        if (flip) {
            i = kSlots - 1 - i;
        }
        const int32_t h = Rnd(rf * m_aProfile[i]);
        const float qx = lx + ex * u, qy = ly + ey * u;
        const float hf = float(h);
        const float sx = qx + hf * pt.dx, sy = qy + hf * pt.dy;
        const float alongX = (qx - hf * pt.dx) - sx, alongY = (qy - hf * pt.dy) - sy;
        const float dv = h > 0 ? 0.5f / (2.0f * hf) : 0.0f;
        for (float v = 0.0f; v < 1.0f;) {
            int32_t j = std::min(kSlots - 1, Rnd(100.0f * v));
            if (flip) {
                j = kSlots - 1 - j;
            }
            // The rounded pixel itself is tested against the canvas: a
            // sample exactly on the top or left border rounds to -1.
            const int32_t x = Rnd(sx + alongX * v - 0.5f);
            const int32_t y = Rnd(sy + alongY * v - 0.5f);
            if (x >= 0 && x < width && y >= 0 && y < height) {
                f(x, y, i, j);
            }
            const float next = v + dv;
            if (!(next > v)) {
                break; // a single sample (h = 0), or no progress
            }
            v = next;
        }
        const float next = u + du;
        if (!(next > u)) {
            break;
        }
        u = next;
    }
}
