#pragma once
// Rounding to the nearest integer with halves away from zero, in the
// precision of the argument.

#include <cmath>

inline float RoundHalfAway(float v) {
    return v > 0.0f ? std::trunc(v + 0.5f) : std::trunc(v - 0.5f);
}

inline double RoundHalfAway(double v) {
    return v > 0.0 ? std::trunc(v + 0.5) : std::trunc(v - 0.5);
}
