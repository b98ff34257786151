#pragma once
// Per-pixel rules the ribbon tools share.

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "foundation/Rounding.h"

namespace ribbon {

// An alpha scaled by a side edge's coverage, rounded and held to 0..255.
inline int32_t RampedAlpha(int32_t alpha, float ramp) {
    const float a = std::clamp(static_cast<float>(alpha) * ramp, 0.0f, 255.0f);
    return static_cast<int32_t>(RoundHalfAway(a));
}

// The fade of a corner piece at strength g: nothing at 0.5 or below, the
// alpha scaled by (g - 0.5) / 0.23 below 0.73, whole above.
inline int32_t CornerFade(int32_t alpha, float g) {
    if (!(g > 0.5f)) {
        return 0;
    }
    if (g < 0.73f) {
        return static_cast<int32_t>(RoundHalfAway(static_cast<float>(alpha) * (g - 0.5f) / 0.23f));
    }
    return alpha;
}

// exp(-(3.5 w)^2 / 2): the bell of a corner piece's fade, w the distance
// along the piece from its full end.
inline float CornerBell(float w) {
    const float e = 3.5f * w;
    return std::exp(-(e * e) / 2.0f);
}

// The pressure along a piece: from the previous response r0 at its start
// to the current one r at its end, by V = round(255 v) / 256.
inline float PressureAlong(float r0, float r, float v) {
    const float V = float(RoundToInt32(v * 255.0f, 0, 255));
    return r0 + (r - r0) * V / 256.0f;
}

} // namespace ribbon
