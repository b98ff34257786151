#pragma once
// The sampling of the square stamps that pens and pencils paint for a short
// stroke: lines across the stamp from the left end of its cross-section to
// the right end, and samples along each line.

#include <algorithm>
#include <cstdint>

#include "foundation/Geometry.h"
#include "foundation/Rounding.h"
#include "tools/ribbon/detail/RibbonGeometry.h"

namespace ribbon {

// The slot of the 100 across a profile at t (0..1): round(100 t), at most
// 99.
inline int32_t StampSlot(float t) {
    return std::min(99, static_cast<int32_t>(RoundHalfAway(100.0f * t)));
}

// The area, as AreaOf gives it, that the stamp of half-side w at (px, py)
// turned to the unit direction (dx, dy) covers on the width x height layer.
inline gCRect StampArea(float px, float py, float dx, float dy, int32_t w, int32_t width,
                        int32_t height) {
    const SCrossSection c = CrossSectionAt(px, py, dx, dy, float(w));
    const float hx = float(w) * dx, hy = float(w) * dy;
    return AreaOf({{c.left.x - hx, c.left.y - hy},
                   {c.right.x - hx, c.right.y - hy},
                   {c.left.x + hx, c.left.y + hy},
                   {c.right.x + hx, c.right.y + hy}},
                  width, height);
}

// Calls f(t) for t = 0, s, 2s, ... while t < 1, with s = 0.5 / length and
// the sum kept in float; a length of 0 or less gives the single sample 0.
template <class F> void WalkHalfSteps(float length, F&& f) {
    if (!(length > 0.0f)) {
        f(0.0f);
        return;
    }
    const float step = 0.5f / length;
    for (float t = 0.0f; t < 1.0f; t += step) {
        f(t);
    }
}

struct SStampSample {
    float t = 0.0f; // across the stamp, 0 at the left end
    float s = 0.0f; // along the line, 0 at its front end
    bool inside = false;
    int32_t x = 0, y = 0; // the pixel that holds the sample, when inside
};

// The samples of the stamp of half-side w at (px, py) turned to the unit
// direction (dx, dy): lines across at t steps of 0.5 / 2w, the line at t of
// half-length halfLength(t) (an integer), from q + h d to q - h d at s steps
// of 0.5 / 2h. f(const SStampSample&) is called for every sample; a sample
// is inside when it lies on the width x height layer.
template <class H, class F>
void ForEachStampSample(float px, float py, float dx, float dy, int32_t w, int32_t width,
                        int32_t height, H&& halfLength, F&& f) {
    const SCrossSection c = CrossSectionAt(px, py, dx, dy, static_cast<float>(w));
    const float fw = static_cast<float>(width), fh = static_cast<float>(height);
    WalkHalfSteps(static_cast<float>(2 * w), [&](float t) {
        const float qx = c.left.x + (c.right.x - c.left.x) * t;
        const float qy = c.left.y + (c.right.y - c.left.y) * t;
        const int32_t h = halfLength(t);
        const float hx = static_cast<float>(h) * dx, hy = static_cast<float>(h) * dy;
        const float sx = qx + hx, sy = qy + hy;
        const float ex = qx - hx, ey = qy - hy;
        WalkHalfSteps(static_cast<float>(2 * h), [&](float s) {
            SStampSample sample;
            sample.t = t;
            sample.s = s;
            const float x = sx + (ex - sx) * s;
            const float y = sy + (ey - sy) * s;
            if (x >= 0.0f && x < fw && y >= 0.0f && y < fh) {
                sample.inside = true;
                sample.x = static_cast<int32_t>(x);
                sample.y = static_cast<int32_t>(y);
            }
            f(static_cast<const SStampSample&>(sample));
        });
    });
}

} // namespace ribbon
