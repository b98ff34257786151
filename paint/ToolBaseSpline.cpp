// The second engine's stroke points: the spline through the samples, the
// acceptance and smoothing of points, their directions and the re-laid
// tail; and the smoothing of the wells across the brush.

#include <cmath>
#include <cstdint>

#include "paint/ToolBase.h"

namespace {

float Length(float x, float y) {
    return std::sqrt(x * x + y * y);
}

// The uniform Catmull-Rom curve through p1 (t = 0) and p2 (t = 1).
float CatmullRom(float p0, float p1, float p2, float p3, float t) {
    const float t2 = t * t;
    const float t3 = t2 * t;
    return 0.5f * (2.0f * p1 + (p2 - p0) * t + (2.0f * p0 - 5.0f * p1 + 4.0f * p2 - p3) * t2 +
                   (3.0f * p1 - p0 - 3.0f * p2 + p3) * t3);
}

} // namespace

void CToolBase::Spline(float segmentLength) {
    const int32_t count = m_aRawPoints.GetSize();
    const int32_t a = m_nSplineAnchor;
    if (count <= 2 || a + 1 >= count) {
        return;
    }
    const float pixelSize = ToolPixelSize();
    const CPointInterp P1 = m_aRawPoints[a];
    const CPointInterp P2 = m_aRawPoints[a + 1];
    const CPointInterp P0 = a == 0 ? P1 : m_aRawPoints[a - 1];
    const CPointInterp P3 = a == count - 2 ? P2 : m_aRawPoints[a + 2];
    float least = P0.pressure;
    for (const float p : {P1.pressure, P2.pressure, P3.pressure}) {
        least = p < least ? p : least;
    }
    float spacing = DabSpace(least * (1.0f / 1024.0f), pixelSize);
    if (spacing == 0.0f) {
        spacing = DabSpace(0.5f, pixelSize);
    }
    const float step = (spacing > 1.0f ? spacing : 1.0f) / segmentLength;
    // A segment without length (or a step that cannot advance) gives its
    // sample at 0 alone.
    const bool once = !(step > 0.0f) || !std::isfinite(step);
    for (float t = 0.0f; t < 1.0f; t += step) {
        CPointInterp p;
        p.x = CatmullRom(P0.x, P1.x, P2.x, P3.x, t);
        p.y = CatmullRom(P0.y, P1.y, P2.y, P3.y, t);
        p.pressure = CatmullRom(P0.pressure, P1.pressure, P2.pressure, P3.pressure, t);
        AddStrokePt(spacing, p, 0);
        if (once) {
            break;
        }
    }
    if (count <= 4) {
        ++m_nSplineAnchor;
    } else {
        m_aRawPoints.RemoveAt(0);
    }
}

void CToolBase::AddStrokePt(float spacing, CPointInterp point, int32_t last) {
    point.dx = 0.0f;
    point.dy = 0.0f;
    if (point.pressure < 0.0f) {
        point.pressure = 0.0f;
    }
    const int32_t count = m_aStrokePoints.GetSize();
    if (count > 0 && !last) {
        const CPointInterp& prev = m_aStrokePoints[count - 1];
        if (!(std::fabs(point.x - prev.x) >= spacing || std::fabs(point.y - prev.y) >= spacing)) {
            return;
        }
    }
    if (m_aStrokePoints.Add(point) != eNoError) {
        return; // a point that cannot be stored is dropped
    }
    const int32_t n = m_aStrokePoints.GetSize() - 1;
    m_nLastStrokePoint = n;
    CPointInterp* p = m_aStrokePoints.GetData();
    int32_t k = m_nSmoothingIndex;
    if (k + 3 <= n) {
        float d1x = p[k + 2].x - p[k + 1].x, d1y = p[k + 2].y - p[k + 1].y;
        float d2x = p[k + 3].x - p[k + 2].x, d2y = p[k + 3].y - p[k + 2].y;
        if (const float l1 = Length(d1x, d1y); l1 != 0.0f) {
            d1x /= l1;
            d1y /= l1;
        }
        if (const float l2 = Length(d2x, d2y); l2 != 0.0f) {
            d2x /= l2;
            d2y /= l2;
        }
        // Less than about 90 degrees of turn: the point moves onto the
        // chord; at a sharper turn it stays.
        if (Length(d1x + d2x, d1y + d2y) > 1.42f) {
            p[k + 1].x = p[k].x + (p[k + 3].x - p[k].x) * 0.333333f;
            p[k + 1].y = p[k].y + (p[k + 3].y - p[k].y) * 0.333333f;
        }
        if (!last) {
            ++k;
        }
    }
    m_nSmoothingIndex = k;
    if (m_nDirectionIndex < k && m_nDirectionIndex + 1 <= n) {
        NormalCalc(m_nDirectionIndex);
        ++m_nDirectionIndex;
    }
    if (last && k > 0) {
        // The tail continues the last smoothed step in a straight run, the
        // pressure running evenly to the release.
        const float stepX = p[k].x - p[k - 1].x, stepY = p[k].y - p[k - 1].y;
        const float from = p[k - 1].pressure;
        const float dp = (p[n].pressure - from) / float(n - k + 1);
        for (int32_t i = k; i <= n; ++i) {
            p[i].x = p[i - 1].x + stepX;
            p[i].y = p[i - 1].y + stepY;
            p[i].dx = p[i - 1].dx;
            p[i].dy = p[i - 1].dy;
            p[i].pressure = from + dp * float(i - k + 1);
        }
    }
}

void CToolBase::NormalCalc(int32_t i) {
    const int32_t hi = i == 0 ? 1 : i + 1;
    const int32_t lo = i == 0 ? 0 : i - 1;
    if (hi >= m_aStrokePoints.GetSize()) {
        return;
    }
    CPointInterp* p = m_aStrokePoints.GetData();
    float dx = p[hi].x - p[lo].x, dy = p[hi].y - p[lo].y;
    const float m = std::fabs(dx) > std::fabs(dy) ? std::fabs(dx) : std::fabs(dy);
    if (m == 0.0f) {
        dx = 0.0f;
        dy = 0.0f;
    } else {
        dx /= m;
        dy /= m;
        const float l = Length(dx, dy);
        dx /= l;
        dy /= l;
    }
    p[i].dx = dx;
    p[i].dy = dy;
    p[hi].dx = dx;
    p[hi].dy = dy;
    p[i].pressure = (p[hi].pressure + p[i].pressure + p[lo].pressure) / 3.0f;
}

void CToolBase::KeepPreviousWells() {
    for (int32_t i = 0; i < kWells; ++i) {
        m_aPrevWellColours[i] = m_aWellColours[i];
        m_aPrevWellAmounts[i] = m_aWellAmounts[i];
    }
}

void CToolBase::FilterWells() {
    CPixel colours[kWells];
    int32_t amounts[kWells];
    for (int32_t i = 0; i < kWells; ++i) {
        colours[i] = m_aWellColours[i];
        amounts[i] = m_aWellAmounts[i];
    }
    auto channel = [](CPixel c, int32_t shift) { return (uint32_t(c) >> shift) & 0xFFu; };
    for (int32_t i = 0; i < kWells; ++i) {
        const int32_t li = i == 0 ? 0 : i - 1;
        const int32_t ri = i == kWells - 1 ? i : i + 1;
        const CPixel L = colours[li], C = colours[i], R = colours[ri];
        const uint32_t wL = channel(L, 24) >> 1;
        const uint32_t wC = channel(C, 24);
        const uint32_t wR = channel(R, 24) <= 1 ? 1u : channel(R, 24) >> 1;
        const uint32_t sum = wL + wC + wR;
        uint32_t out = (sum >> 1) << 24;
        for (const int32_t shift : {16, 8, 0}) {
            const uint32_t v =
                (channel(L, shift) * wL + channel(C, shift) * wC + channel(R, shift) * wR) / sum;
            out |= (v & 0xFFu) << shift;
        }
        m_aWellColours[i] = out;
        const uint32_t high = ((uint32_t(amounts[li]) >> 16) + (uint32_t(amounts[i]) >> 16) +
                               (uint32_t(amounts[ri]) >> 16)) *
                                  21845u +
                              65535u;
        m_aWellAmounts[i] =
            int32_t((uint32_t(amounts[i]) & 0xFFFFu) | (high & 0xFFFF0000u));
    }
}
