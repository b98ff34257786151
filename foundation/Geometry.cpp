#include "foundation/Geometry.h"

#include <cmath>
#include <cstdlib>

int32_t gCRect::Difference(const gCRect& a, const gCRect& b, gCRect* out) {
    const int32_t L = a.left > b.left ? a.left : b.left;
    const int32_t R = a.right < b.right ? a.right : b.right;
    const int32_t T = a.top > b.top ? a.top : b.top;
    const int32_t B = a.bottom < b.bottom ? a.bottom : b.bottom;
    if (L >= R || T >= B) {
        out[0] = a;
        return 1;
    }
    if (L == a.left && T == a.top && R == a.right && B == a.bottom) {
        return 0;
    }
    int32_t top = b.top - a.top;
    int32_t bottom = a.bottom - b.bottom;
    const int32_t left = b.left - a.left;
    const int32_t right = a.right - b.right;
    if (top < 0) {
        top = 0;
    }
    if (bottom < 0) {
        bottom = 0;
    }
    int32_t n = 0;
    if (top > 0) {
        out[n++] = gCRect(a.left, a.top, a.right, b.top);
    }
    if (bottom > 0) {
        out[n++] = gCRect(a.left, a.bottom - bottom, a.right, a.bottom);
    }
    if (left > 0) {
        out[n++] = gCRect(a.left, a.top + top, a.left + left, a.bottom - bottom);
    }
    if (right > 0) {
        out[n++] = gCRect(a.right - right, a.top + top, a.right, a.bottom - bottom);
    }
    return n;
}

float gCRect::DistanceToPoint(const gCPoint& p) const {
    if (left < p.x && p.x < right) {
        const int64_t dt = std::llabs(int64_t(p.y) - top);
        const int64_t db = std::llabs(int64_t(p.y) - bottom);
        return float(dt < db ? dt : db);
    }
    if (top < p.y && p.y < bottom) {
        const int64_t dl = std::llabs(int64_t(p.x) - left);
        const int64_t dr = std::llabs(int64_t(p.x) - right);
        return float(dl < dr ? dl : dr);
    }
    const int64_t cx = p.x < right ? left : right;
    const int64_t cy = p.y > top ? bottom : top;
    const int64_t dx = p.x - cx;
    const int64_t dy = p.y - cy;
    return float(std::sqrt(double(dx * dx + dy * dy)));
}

int32_t CircleFromThreePoints(const gCRPoint& p1, const gCRPoint& p2, const gCRPoint& p3,
                              gCRPoint& centre, float& radius) {
    const float x1 = p1.x, y1 = p1.y, x2 = p2.x, y2 = p2.y, x3 = p3.x, y3 = p3.y;
    const float d = (y2 - y3) * (x2 - x1) - (y2 - y1) * (x2 - x3);
    if (d == 0.0f) {
        radius = 0.0f;
        return 0;
    }
    const float A = (x1 + x2) * (x2 - x1) + (y2 - y1) * (y1 + y2);
    const float Bv = (x2 + x3) * (x2 - x3) + (y2 - y3) * (y2 + y3);
    centre.y = (Bv * (x2 - x1) - A * (x2 - x3)) * 0.5f / d;
    centre.x = (A * (y2 - y3) - Bv * (y2 - y1)) * 0.5f / d;
    const float dx = x1 - centre.x;
    const float dy = y1 - centre.y;
    radius = std::sqrt(dx * dx + dy * dy);
    return 0;
}
