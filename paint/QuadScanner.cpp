// The second stroke engine's quad scan: rows to spans with (u, v), spans to
// runs with their coverage.

#include "paint/detail/QuadScanner.h"

#include <algorithm>
#include <cmath>

#include "foundation/Rounding.h"

namespace quaddetail {

namespace {

// Far off any canvas, with room for the small sums done on the result.
constexpr int32_t kFarOff = 1000000000;

int32_t Rnd(float v) {
    return RoundToInt32(v, -kFarOff, kFarOff);
}

int32_t Clip(int32_t v, int32_t lo, int32_t hi) {
    return v < lo ? lo : (v > hi ? hi : v);
}

} // namespace

bool CQuadScanner::Cross(gCRPoint a, gCRPoint b, int32_t row, float& x) {
    const float r = float(row);
    if ((a.y < r && b.y < r) || (a.y > r && b.y > r)) {
        return false;
    }
    return CrossLine(a, b, row, x);
}

bool CQuadScanner::CrossLine(gCRPoint a, gCRPoint b, int32_t row, float& x) {
    if (a.y == b.y) {
        return false;
    }
    x = a.x + (float(row) - a.y) / (b.y - a.y) * (b.x - a.x);
    return true;
}

CQuadScanner::CQuadScanner(gCRPoint p1, gCRPoint p2, gCRPoint p3, gCRPoint p4, int32_t width,
                           int32_t height) {
    const gCRPoint corners[4] = {p1, p2, p3, p4};
    float ys[4], xs[4];
    for (int32_t i = 0; i < 4; ++i) {
        if (!std::isfinite(corners[i].x) || !std::isfinite(corners[i].y)) {
            return; // a corner nowhere paints nothing
        }
        xs[i] = corners[i].x;
        ys[i] = corners[i].y;
    }
    const float minY = *std::min_element(ys, ys + 4), maxY = *std::max_element(ys, ys + 4);
    const bool allLeft = std::all_of(xs, xs + 4, [](float x) { return x < 0.0f; });
    const bool allRight =
        std::all_of(xs, xs + 4, [width](float x) { return x >= float(width); });
    if (width <= 0 || height <= 0 || minY >= float(height) || maxY < 0.0f || allLeft ||
        allRight) {
        return;
    }
    m_bOutside = false;
    // A short side that is nearly horizontal has a slope far beyond its
    // own length: the runs it gives are held to the quad's columns widened
    // by one, the rectangle its caller saved for undo.
    const float minX = *std::min_element(xs, xs + 4), maxX = *std::max_element(xs, xs + 4);
    m_nFirstColumn = std::max(0, Rnd(minX - 1.0f));
    m_nColumnsEnd = std::min(width, Rnd(maxX + 1.0f) + 1);
    const gCRPoint ends[4][2] = {{p1, p2}, {p3, p4}, {p1, p3}, {p2, p4}};
    for (int32_t i = 0; i < 4; ++i) {
        SEdge& e = m_aEdges[i];
        e.a = ends[i][0];
        e.b = ends[i][1];
        const float dy = e.b.y - e.a.y, adx = std::fabs(e.b.x - e.a.x);
        e.inv = dy != 0.0f ? 1.0f / dy : 1.0f;
        e.sigma = dy != 0.0f ? std::fabs((e.b.x - e.a.x) / dy) : adx;
        e.rho = e.sigma > 1.0f ? 1.0f / e.sigma : 1.0f;
    }
    m_nTop = Rnd(std::max(0.0f, minY + 0.5f));
    m_nBottom = std::min(Rnd(maxY + 0.5f), height);
    // A horizontal side along the top or bottom leaves its row out.
    for (int32_t i = eSide13; i <= eSide24; ++i) {
        const SEdge& e = m_aEdges[i];
        if (e.a.y == e.b.y && e.a.y == minY) {
            m_nTop += 1;
        }
        if (e.a.y == e.b.y && e.a.y == maxY) {
            m_nBottom -= 1;
        }
    }
    std::sort(ys, ys + 4);
    m_nCorner2 = Rnd(ys[1]);
    m_nCorner3 = Rnd(ys[2]);
}

bool CQuadScanner::CornerRow(int32_t y) const {
    return std::abs(int64_t(y) - m_nCorner2) <= 1 || std::abs(int64_t(y) - m_nCorner3) <= 1;
}

bool CQuadScanner::ScanRow(int32_t y, SRow& row) const {
    struct SHit {
        float x, u, v;
        int32_t edge;
    };
    SHit hits[2];
    int32_t n = 0;
    const float fy = float(y);
    for (int32_t i = eBack; i <= eSide24 && n < 2; ++i) {
        const SEdge& e = m_aEdges[i];
        float x;
        if (!Cross(e.a, e.b, y, x)) {
            continue;
        }
        const float t = (fy - e.a.y) * e.inv;
        switch (i) {
        case eBack: hits[n++] = {x, 0.0f, t, i}; break;
        case eFront: hits[n++] = {x, 1.0f, t, i}; break;
        case eSide13: hits[n++] = {x, t, 0.0f, i}; break;
        default: hits[n++] = {x, t, 1.0f, i}; break;
        }
    }
    if (n == 0) {
        return false;
    }
    if (n == 1) {
        hits[1] = hits[0];
    }
    const SHit& L = hits[0].x <= hits[1].x ? hits[0] : hits[1];
    const SHit& R = hits[0].x <= hits[1].x ? hits[1] : hits[0];
    row = SRow();
    row.y = y;
    row.xmin = L.x;
    row.xmax = R.x;
    row.uL = L.u;
    row.vL = L.v;
    row.uR = R.u;
    row.vR = R.v;
    const float span = R.x - L.x;
    if (span >= 0.0005f) {
        row.du = (R.u - L.u) / span;
        row.dv = (R.v - L.v) / span;
    }
    const bool corner = CornerRow(y);
    // The left run.
    row.leftStart = row.leftEnd = Rnd(L.x);
    if (L.edge >= eSide13) {
        const SEdge& s = m_aEdges[L.edge];
        row.leftStart = Rnd(L.x - 0.5f);
        row.leftEnd = Rnd(L.x + s.sigma + 1.5f);
        row.leftOrigin = L.x;
        row.leftRho = s.rho;
    } else if (corner) {
        for (int32_t i = eSide13; i <= eSide24; ++i) {
            const SEdge& s = m_aEdges[i];
            float x1;
            if (CrossLine(s.a, s.b, y, x1) && x1 < L.x && x1 + s.sigma + 0.5f >= L.x) {
                row.leftEnd = Rnd(x1 + s.sigma + 1.5f);
                row.leftOrigin = x1;
                row.leftRho = s.rho;
                break;
            }
        }
    }
    // The right run.
    row.rightStart = row.rightEnd = Rnd(R.x) + 1;
    if (R.edge >= eSide13) {
        const SEdge& s = m_aEdges[R.edge];
        row.rightStart = Rnd(R.x - s.sigma - 1.0f);
        row.rightEnd = Rnd(R.x + 0.5f);
        row.rightOrigin = R.x;
        row.rightRho = s.rho;
    } else if (corner) {
        for (int32_t i = eSide13; i <= eSide24; ++i) {
            const SEdge& s = m_aEdges[i];
            float x1;
            if (CrossLine(s.a, s.b, y, x1) && x1 > R.x && x1 - s.sigma - 0.5f <= R.x) {
                row.rightStart = Rnd(x1 - s.sigma - 1.0f);
                row.rightOrigin = x1;
                row.rightRho = s.rho;
                break;
            }
        }
    }
    row.leftStart = Clip(row.leftStart, m_nFirstColumn, m_nColumnsEnd);
    row.leftEnd = Clip(row.leftEnd, m_nFirstColumn, m_nColumnsEnd);
    row.rightStart = Clip(row.rightStart, m_nFirstColumn, m_nColumnsEnd);
    row.rightEnd = Clip(row.rightEnd, m_nFirstColumn, m_nColumnsEnd);
    row.leftEnd = std::min(row.leftEnd, row.rightStart);
    return true;
}

} // namespace quaddetail
