#pragma once
// Small arithmetic shared by the wet-paint renderers: the 8-bit channel
// mixes and the alpha byte.

#include <algorithm>
#include <cstdint>

#include "tools/detail/ToolRounding.h"

namespace wetdetail {

inline int32_t Clamp(int32_t v, int32_t lo, int32_t hi) {
    return std::min(std::max(v, lo), hi);
}

inline uint32_t Alpha(uint32_t pixel) {
    return pixel >> 24;
}

inline uint32_t WithAlpha(uint32_t pixel, int32_t alpha) {
    return (pixel & 0x00FFFFFFu) | (uint32_t(alpha) << 24);
}

// Per channel, alpha included: a + floor((b - a + 1) * f / 256), f 0..255.
inline uint32_t Mix(uint32_t a, uint32_t b, int32_t f) {
    uint32_t out = 0;
    for (int32_t shift = 0; shift < 32; shift += 8) {
        const int32_t ca = int32_t((a >> shift) & 0xFFu);
        const int32_t cb = int32_t((b >> shift) & 0xFFu);
        const int32_t c = ca + (((cb - ca + 1) * f) >> 8);
        out |= uint32_t(c) << shift;
    }
    return out;
}

// Per channel (a + b + 1) >> 1.
inline uint32_t Mean(uint32_t a, uint32_t b) {
    uint32_t out = 0;
    for (int32_t shift = 0; shift < 32; shift += 8) {
        const uint32_t c = (((a >> shift) & 0xFFu) + ((b >> shift) & 0xFFu) + 1u) >> 1;
        out |= c << shift;
    }
    return out;
}

// a + round((b - a) * f / 255), halves away from zero, through a float
// division: the plain form. Loads are within 16 bits and f within 0..255,
// so the product is exact.
inline int32_t Lerp255Plain(int32_t a, int32_t b, int32_t f) {
    return a + tooldetail::Rnd(float((b - a) * f) / 255.0f);
}

// The same in integers. A quotient by 255 is never a half, so rounding it
// is (|n| + 127) / 255 with n's sign; for these operands the float form's
// quotient never rounds across a half either, so both agree on every
// operand (a test checks all of them).
inline int32_t Lerp255(int32_t a, int32_t b, int32_t f) {
    const int32_t n = (b - a) * f;
    const int32_t q = ((n < 0 ? -n : n) + 127) / 255;
    return a + (n < 0 ? -q : q);
}

// The mean of n values summing to sum, rounded, halves up: the plain form,
// as a narrow blade's window means are defined. sum is below 2^23.
inline int32_t RoundedMeanPlain(uint32_t sum, int32_t n) {
    return tooldetail::Rnd(float(sum) / float(n));
}

// The same in integers: (2 sum + n) / (2n) through a reciprocal. Both agree
// on every sum below 2^23 and n up to kMeanCounts (a test checks them): a
// mean of n integers lies at least 1 / 2n from a half unless it is one,
// which the float quotient, within half an ulp of 2^-9, never crosses; and
// the reciprocal, rounded up from 2^40 / 2n, adds less than 2^-16 to
// (2 sum + n) / 2n, whose fraction is at most 1 - 1 / 2n.
inline constexpr int32_t kMeanCounts = 128;
struct SMeanReciprocals {
    uint64_t of[kMeanCounts + 1] = {};
    constexpr SMeanReciprocals() {
        for (int32_t n = 1; n <= kMeanCounts; ++n) {
            const uint64_t d = 2u * uint64_t(n);
            of[n] = ((uint64_t(1) << 40) + d - 1) / d;
        }
    }
};
inline constexpr SMeanReciprocals kMeanReciprocals{};
inline int32_t RoundedMean(uint32_t sum, int32_t n) {
    return int32_t(((2u * uint64_t(sum) + uint64_t(n)) * kMeanReciprocals.of[n]) >> 40);
}

// A reservoir and a load into one paint word; the reservoir held to its 16
// bits.
inline uint32_t PaintWord(int32_t reservoir, int32_t load) {
    return (uint32_t(Clamp(reservoir, 0, 0xFFFF)) << 16) | uint32_t(Clamp(load, 0, 0xFFFF));
}

} // namespace wetdetail
