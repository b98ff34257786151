#pragma once
// Rounding to the nearest integer with halves away from zero, one helper per
// precision, and the one way a float becomes an int32_t. The result is
// exact for every finite value. Adding 0.5 and truncating is not: between
// 2^23 and 2^24 (float; 2^52 and 2^53 for double) the addition itself
// rounds to even and lifts odd values by one, and the largest value below
// 0.5 comes out as 1.

#include <algorithm>
#include <cmath>
#include <cstdint>

// Equal to std::round on every float (infinities and NaN pass through), in
// a branch-free form that calls nothing from libm. From 2^23 up every float
// is a whole number already. Below it, with b = |v|, 2b is exact and both
// truncate exactly through int32_t: trunc(2b) - trunc(b) is b rounded, the
// dropped fraction of 2b being 1 exactly when that of b is at least 0.5.
inline float RoundHalfAway(float v) {
    constexpr float kWhole = 8388608.0f; // 2^23
    const float a = std::fabs(v);
    const float b = a < kWhole ? a : kWhole; // NaN takes kWhole
    const float rounded = float(int32_t(b + b) - int32_t(b));
    return std::copysign(a < kWhole ? rounded : a, v);
}

// Callers bring the value into the range of the integer it becomes before
// converting, and never pass NaN.
inline double RoundHalfAway(double v) {
    return std::round(v);
}

// RoundHalfAway(v) as an int32_t held to lo..hi (lo <= hi); NaN gives lo.
// Rounding and holding to whole limits commute: this is also v held to
// lo..hi, then rounded.
inline int32_t RoundToInt32(float v, int32_t lo, int32_t hi) {
    if (!(v == v)) {
        return lo;
    }
    // Held far beyond any int32_t first, so that the rounding fits an
    // int64_t.
    constexpr float kFar = 4611686018427387904.0f; // 2^62
    const float held = std::clamp(v, -kFar, kFar);
    return int32_t(std::clamp(int64_t(RoundHalfAway(held)), int64_t(lo), int64_t(hi)));
}
