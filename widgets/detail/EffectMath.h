#pragma once
// Arithmetic shared by the shadow, glow, cut-out and border effects: the
// margin a blur needs, rectangles worked out in 64 bits and pinned to the
// 32-bit range, the part of an area a target really has, and the rounding
// of the pixel loops.

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "foundation/Geometry.h"
#include "imaging/ImageBase.h"

namespace effectdetail {

// Work images and fall-off tables never have a side above this.
inline constexpr int64_t kMaxWorkSide = 32767;

// A radius the effect can use: a negative one counts as 0, NaN and the
// infinities as the class's default.
inline float UsableRadius(float radius, float fallback) {
    if (!std::isfinite(radius)) {
        return fallback;
    }
    return radius < 0.0f ? 0.0f : radius;
}

// The margin a blur of the radius needs on each side: radius x 2.2 in
// single precision, truncated. A radius too large for any work image gives
// a margin past kMaxWorkSide rather than an overflow.
inline int64_t Margin(float radius) {
    const float e = radius * 2.2f;
    return e >= float(kMaxWorkSide) ? kMaxWorkSide + 1 : int64_t(e);
}

inline int32_t Pinned(int64_t v) {
    return int32_t(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
}

inline gCRect PinnedRect(int64_t left, int64_t top, int64_t right, int64_t bottom) {
    return gCRect(Pinned(left), Pinned(top), Pinned(right), Pinned(bottom));
}

// The part of area (in the target's drawing coordinates) that lies on the
// target's pixels; empty when it misses them.
inline gCRect OnTarget(const gCRect& area, const CImageBase& target) {
    const gCPoint o = target.GetOrigin();
    const gCRect image(Pinned(-int64_t(o.x)), Pinned(-int64_t(o.y)),
                       Pinned(int64_t(target.GetWidth()) - o.x),
                       Pinned(int64_t(target.GetHeight()) - o.y));
    return area.Intersected(image);
}

// Rounds a value in [0, 2^23) half away from zero, as std::round does, with
// no call into the maths library: below 2^23 the fraction v - trunc(v) is
// exact.
inline int32_t RoundNonNegative(float v) {
    const int32_t whole = int32_t(v);
    return whole + ((v - float(whole)) >= 0.5f ? 1 : 0);
}

} // namespace effectdetail
