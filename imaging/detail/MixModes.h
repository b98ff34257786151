#pragma once
// The seven layer modes on one pixel: S is the blend pixel, B the base
// pixel, a the blend's alpha. Every mode weighs its effect by a and keeps
// B's alpha. The formulas are exact to the bit; written without branches on
// the pixel values so that the compiler can run them over whole rows.

#include <cstdint>

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

} // namespace mixmode

namespace mixmode {

// Mixes one row; either input may be one colour for the whole row (a null
// row pointer). The destination may be the blend or base row itself.
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

#if defined(__SSE2__)
#include <emmintrin.h>

namespace mixmode {

// Multiply on four pixels at a time, one 16-bit lane per channel. Every
// product fits in 16 bits: (s + 1) * b <= 65280, and since m <= b the
// weighed step is b - ceil((b - m) * a / 256) with (b - m) * a + 255 <= 65280.
template <> struct Rows<Multiply> {
    static __m128i Half(__m128i s, __m128i b) {
        const __m128i one = _mm_set1_epi16(1);
        const __m128i c255 = _mm_set1_epi16(255);
        const __m128i alphaLanes = _mm_set_epi16(-1, 0, 0, 0, -1, 0, 0, 0);
        const __m128i a = _mm_shufflehi_epi16(_mm_shufflelo_epi16(s, 0xFF), 0xFF);
        const __m128i m = _mm_srli_epi16(_mm_mullo_epi16(_mm_add_epi16(s, one), b), 8);
        const __m128i step =
            _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(_mm_sub_epi16(b, m), a), c255), 8);
        const __m128i full = _mm_cmpeq_epi16(a, c255);
        __m128i v =
            _mm_or_si128(_mm_and_si128(full, m), _mm_andnot_si128(full, _mm_sub_epi16(b, step)));
        return _mm_or_si128(_mm_and_si128(alphaLanes, b), _mm_andnot_si128(alphaLanes, v));
    }

    static void Mix(uint32_t* out, const uint32_t* s, uint32_t sc, const uint32_t* b, uint32_t bc,
                    int32_t n) {
        const __m128i zero = _mm_setzero_si128();
        const __m128i sConst = _mm_set1_epi32(int32_t(sc));
        const __m128i bConst = _mm_set1_epi32(int32_t(bc));
        int32_t x = 0;
        for (; x + 4 <= n; x += 4) {
            const __m128i sv =
                s ? _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + x)) : sConst;
            const __m128i bv =
                b ? _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + x)) : bConst;
            const __m128i lo = Half(_mm_unpacklo_epi8(sv, zero), _mm_unpacklo_epi8(bv, zero));
            const __m128i hi = Half(_mm_unpackhi_epi8(sv, zero), _mm_unpackhi_epi8(bv, zero));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x), _mm_packus_epi16(lo, hi));
        }
        for (; x < n; ++x) {
            out[x] = Multiply::Apply(s ? s[x] : sc, b ? b[x] : bc);
        }
    }
};

} // namespace mixmode
#endif
