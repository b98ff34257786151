#include "tools/PieceScanner.h"

#include <algorithm>

#include "tools/detail/ToolRounding.h"

using tooldetail::Rnd;

namespace {

bool IsSide(CPieceScanner::EEdge e) {
    return e == CPieceScanner::eRightSide || e == CPieceScanner::eLeftSide;
}

} // namespace

CPieceScanner::CPieceScanner(gCRPoint p1, gCRPoint p2, gCRPoint p3, gCRPoint p4, int32_t width,
                             int32_t height)
    : m_start{p1, p3, p2, p1}, m_end{p2, p4, p4, p3}, m_width(width) {
    m_minX = std::min(std::min(p1.x, p2.x), std::min(p3.x, p4.x));
    m_maxX = std::max(std::max(p1.x, p2.x), std::max(p3.x, p4.x));
    const float minY = std::min(std::min(p1.y, p2.y), std::min(p3.y, p4.y));
    const float maxY = std::max(std::max(p1.y, p2.y), std::max(p3.y, p4.y));
    const int32_t top = Rnd(minY + 0.5f);
    const int32_t bottom = Rnd(maxY + 0.5f);
    if (top >= height || bottom < 1) {
        return; // m_top == m_bottom: no rows
    }
    m_top = std::clamp(top, 0, height);
    m_bottom = std::clamp(bottom, 0, height);
    if (m_bottom < m_top) {
        m_bottom = m_top;
    }
}

bool CPieceScanner::ScanRow(int32_t y, SRow& row) const {
    const float fy = static_cast<float>(y);
    EEdge leftEdge = eNoEdge, rightEdge = eNoEdge;
    float leftX = m_maxX, rightX = m_minX, leftT = 0.0f, rightT = 0.0f;
    for (int32_t e = 0; e < 4; ++e) {
        const gCRPoint s = m_start[e], d = m_end[e];
        const float h = d.y - s.y;
        if (h == 0.0f) {
            continue;
        }
        const float t = (fy - s.y) / h;
        if (!(t >= 0.0f && t <= 1.0f)) {
            continue;
        }
        const float x = s.x + t * (d.x - s.x);
        if (x <= leftX) { // a later edge wins a tie
            leftX = x;
            leftT = t;
            leftEdge = static_cast<EEdge>(e);
        }
        if (x >= rightX) {
            rightX = x;
            rightT = t;
            rightEdge = static_cast<EEdge>(e);
        }
    }
    if (leftEdge == eNoEdge || rightEdge == eNoEdge || leftEdge == rightEdge) {
        return false;
    }

    // The x range a side edge passes through within half a row either way.
    auto coverage = [&](EEdge e, float& c0, float& c1) {
        const gCRPoint s = m_start[e], d = m_end[e];
        const float h = d.y - s.y;
        const float ta = std::clamp((fy - 0.5f - s.y) / h, 0.0f, 1.0f);
        const float tb = std::clamp((fy + 0.5f - s.y) / h, 0.0f, 1.0f);
        const float xa = std::clamp(s.x + ta * (d.x - s.x), m_minX, m_maxX);
        const float xb = std::clamp(s.x + tb * (d.x - s.x), m_minX, m_maxX);
        c0 = std::min(xa, xb);
        c1 = std::max(xa, xb);
    };

    SRow r;
    r.y = y;
    r.leftEdge = leftEdge;
    r.rightEdge = rightEdge;
    float lc0 = 0.0f, lc1 = 0.0f, rc0 = 0.0f, rc1 = 0.0f;
    int32_t first = 0, last = 0;
    if (IsSide(leftEdge)) {
        coverage(leftEdge, lc0, lc1);
        r.xL = lc0;
        first = Rnd(lc0 - 0.5f);
    } else {
        r.xL = leftX;
        first = Rnd(leftX + 0.5f);
    }
    if (IsSide(rightEdge)) {
        coverage(rightEdge, rc0, rc1);
        r.xR = rc1;
        last = Rnd(rc1 + 0.5f);
    } else {
        r.xR = rightX;
        last = Rnd(rightX - 0.5f);
    }
    if (first >= m_width || last < 0) {
        return false;
    }
    r.first = std::max(first, 0);
    r.last = std::min(last, m_width - 1);

    auto ends = [](EEdge e, float t, float& u, float& v) {
        switch (e) {
        case eBack:
            u = t, v = 0.0f;
            break;
        case eFront:
            u = t, v = 1.0f;
            break;
        case eRightSide:
            u = 1.0f, v = t;
            break;
        default:
            u = 0.0f, v = t;
            break;
        }
    };
    ends(leftEdge, leftT, r.uL, r.vL);
    ends(rightEdge, rightT, r.uR, r.vR);
    r.step = 1.0f / std::max(1.0f, r.xR - r.xL);
    r.sigma0 = r.step * (static_cast<float>(r.first) - r.xL);

    if (IsSide(leftEdge)) {
        const float n = lc1 - lc0 + 1.0f;
        r.leftRamp = true;
        r.leftRamp0 = (static_cast<float>(r.first) - lc0) / n;
        r.leftRampStep = 1.0f / n;
        r.leftRampEnd = Rnd(lc1 + 0.5f);
    }
    if (IsSide(rightEdge)) {
        const float n = rc1 - rc0 + 1.0f;
        const int32_t k0 = Rnd(rc0 - 0.5f);
        r.rightRamp = true;
        r.rightRampStep = 1.0f / n;
        // 1 + (c0 - k0) / n at pixel k0, carried to the first pixel.
        r.rightRamp0 = 1.0f + (rc0 - static_cast<float>(k0)) / n -
                       static_cast<float>(r.first - k0) * r.rightRampStep;
        r.rightRampAfter = k0;
    }
    row = r;
    return true;
}
