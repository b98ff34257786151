#pragma once
// Rounding to the nearest integer with halves away from zero, one helper per
// precision. The result is exact for every finite value. Adding 0.5 and
// truncating is not: between 2^23 and 2^24 (float; 2^52 and 2^53 for
// double) the addition itself rounds to even and lifts odd values by one,
// and the largest value below 0.5 comes out as 1.
//
// Callers bring the value into the range of the integer it becomes before
// converting, and never pass NaN.

#include <cmath>

inline float RoundHalfAway(float v) {
    return std::round(v);
}

inline double RoundHalfAway(double v) {
    return std::round(v);
}
