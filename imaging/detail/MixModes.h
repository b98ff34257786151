#pragma once
// The seven layer modes on one pixel: S is the blend pixel, B the base
// pixel, a the blend's alpha. Every mode weighs its effect by a and keeps
// B's alpha. The formulas are exact to the bit; written without branches on
// the pixel values so that the compiler can run them over whole rows.

#include <cstdint>

#include "imaging/detail/SimdBuild.h"

namespace mixmode {

constexpr uint32_t kRB = 0x00FF00FFu;
constexpr uint32_t kAG = 0xFF00FF00u;

// Applies a per-channel formula f(s, b, a) to red, green and blue and keeps
// the base alpha.
template <class Channel> inline uint32_t PerChannel(uint32_t S, uint32_t B, Channel f) {
    const int32_t a = int32_t(S >> 24);
    const uint32_t r = uint32_t(f(int32_t((S >> 16) & 0xFF), int32_t((B >> 16) & 0xFF), a));
    const uint32_t g = uint32_t(f(int32_t((S >> 8) & 0xFF), int32_t((B >> 8) & 0xFF), a));
    const uint32_t b = uint32_t(f(int32_t(S & 0xFF), int32_t(B & 0xFF), a));
    return (B & 0xFF000000u) | ((r & 0xFF) << 16) | ((g & 0xFF) << 8) | (b & 0xFF);
}

// b + floor((m - b) * a / 256) at partial alpha, m itself at full alpha.
inline int32_t Weigh(int32_t m, int32_t b, int32_t a) {
    return a == 255 ? m : b + (((m - b) * a) >> 8);
}

struct Normal {
    static uint32_t Apply(uint32_t S, uint32_t B) {
        const uint32_t a = S >> 24;
        if (a == 255) {
            return (B & 0xFF000000u) | (S & 0x00FFFFFFu);
        }
        // Red and blue in one packed product; the borrow between them is
        // part of the result.
        const uint32_t rb = ((B & kRB) + ((((S & kRB) - (B & kRB) + 0x00010001u) * a) >> 8)) & kRB;
        const int32_t dg = int32_t((S >> 8) & 0xFF) - int32_t((B >> 8) & 0xFF) + 1;
        const uint32_t ag = ((B & kAG) + uint32_t(int32_t(a) * dg)) & kAG;
        return rb | ag;
    }
};

struct Multiply {
    static uint32_t Apply(uint32_t S, uint32_t B) {
        return PerChannel(
            S, B, [](int32_t s, int32_t b, int32_t a) { return Weigh(((s + 1) * b) >> 8, b, a); });
    }
};

struct Screen {
    static uint32_t Apply(uint32_t S, uint32_t B) {
        return PerChannel(S, B, [](int32_t s, int32_t b, int32_t a) {
            const int32_t i = 255 - b;
            const int32_t k = ((256 - s) * i) >> 8;
            return a == 255 ? 255 - k : 255 - (i + (((k - i) * a) >> 8));
        });
    }
};

struct Overlay {
    static uint32_t Apply(uint32_t S, uint32_t B) {
        return PerChannel(S, B, [](int32_t s, int32_t b, int32_t a) {
            const int32_t m = b <= 127 ? ((s + 1) * b) >> 7 : 255 - (((256 - s) * (255 - b)) >> 7);
            return Weigh(m, b, a);
        });
    }
};

struct Dodge {
    static uint32_t Apply(uint32_t S, uint32_t B) {
        return PerChannel(S, B, [](int32_t s, int32_t b, int32_t a) {
            return (b * 65536 + (256 - b) * (s + 1) * a) >> 16;
        });
    }
};

struct Burn {
    static uint32_t Apply(uint32_t S, uint32_t B) {
        return PerChannel(S, B, [](int32_t s, int32_t b, int32_t a) {
            return (b * 65536 - b * (256 - s) * a) >> 16;
        });
    }
};

// No transparent case: a blend alpha of 0 still weighs 1.
struct SoftLight {
    static uint32_t Apply(uint32_t S, uint32_t B) {
        return PerChannel(S, B, [](int32_t s, int32_t b, int32_t a) {
            const int32_t q = b - ((b * (b + 1)) >> 8);
            return b - ((q * ((128 - s) * (a + 1) + 1)) >> 15);
        });
    }
};

// The plain row loop of every mode: mixes one row; either input may be one
// colour for the whole row (a null row pointer). The destination may be the
// blend or base row itself.
template <class Mode> struct Rows {
    static void Mix(uint32_t* out, const uint32_t* s, uint32_t sc, const uint32_t* b, uint32_t bc,
                    int32_t n) {
        if (!s) {
            for (int32_t x = 0; x < n; ++x) {
                out[x] = Mode::Apply(sc, b[x]);
            }
        } else if (!b) {
            for (int32_t x = 0; x < n; ++x) {
                out[x] = Mode::Apply(s[x], bc);
            }
        } else {
            for (int32_t x = 0; x < n; ++x) {
                out[x] = Mode::Apply(s[x], b[x]);
            }
        }
    }
};

} // namespace mixmode

#if DAUBLIN_HAVE_SSE2
namespace mixmode {

// Multiply's row loop on SSE2 (MixModesSse2.cpp), the same arguments and
// pixels as Rows<Multiply>::Mix.
void MultiplyRowsSse2(uint32_t* out, const uint32_t* s, uint32_t sc, const uint32_t* b, uint32_t bc,
                      int32_t n);

} // namespace mixmode
#endif
