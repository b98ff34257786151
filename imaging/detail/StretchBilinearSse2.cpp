// The row loops of the bilinear StretchBlit on SSE2; the twins of
// StretchBilinearPlain.cpp. 16-bit lanes hold a * (256 - f) + b * f, at
// most 255 * 256, and the shift by 8 is the floor of its 256th.

#include "imaging/detail/StretchBilinear.h"

#if DAUBLIN_HAVE_SSE2
#include <emmintrin.h>

#include "imaging/detail/PackedBlend.h"

namespace stretch {
namespace {

// Four pixels at a time.
void BlendDown(uint32_t* out, const uint32_t* up, const uint32_t* lo, uint32_t fy, int32_t n) {
    int32_t x = 0;
    const __m128i zero = _mm_setzero_si128();
    const __m128i wUp = _mm_set1_epi16(int16_t(256 - fy));
    const __m128i wLo = _mm_set1_epi16(int16_t(fy));
    for (; x + 4 <= n; x += 4) {
        const __m128i u = _mm_loadu_si128(reinterpret_cast<const __m128i*>(up + x));
        const __m128i l = _mm_loadu_si128(reinterpret_cast<const __m128i*>(lo + x));
        const __m128i a =
            _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(u, zero), wUp),
                                         _mm_mullo_epi16(_mm_unpacklo_epi8(l, zero), wLo)),
                           8);
        const __m128i b =
            _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(u, zero), wUp),
                                         _mm_mullo_epi16(_mm_unpackhi_epi8(l, zero), wLo)),
                           8);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x), _mm_packus_epi16(a, b));
    }
    for (; x < n; ++x) {
        const packed::Halves h = packed::Linear(up[x], lo[x], fy);
        out[x] = h.rb | h.ag;
    }
}

// Two columns at a time: each one 64-bit load of its two neighbours.
void Across(uint32_t* out, const uint32_t* row, const Columns& c) {
    int32_t i = c.inner0;
    const __m128i zero = _mm_setzero_si128();
    for (; i + 2 <= c.inner1; i += 2) {
        const __m128i a = _mm_unpacklo_epi8(
            _mm_loadl_epi64(reinterpret_cast<const __m128i*>(row + c.ix[i])), zero);
        const __m128i b = _mm_unpacklo_epi8(
            _mm_loadl_epi64(reinterpret_cast<const __m128i*>(row + c.ix[i + 1])), zero);
        const __m128i pa =
            _mm_mullo_epi16(a, _mm_load_si128(reinterpret_cast<const __m128i*>(c.weights[i])));
        const __m128i pb =
            _mm_mullo_epi16(b, _mm_load_si128(reinterpret_cast<const __m128i*>(c.weights[i + 1])));
        const __m128i sum = _mm_add_epi16(_mm_unpacklo_epi64(pa, pb), _mm_unpackhi_epi64(pa, pb));
        const __m128i v = _mm_srli_epi16(sum, 8);
        _mm_storel_epi64(reinterpret_cast<__m128i*>(out + i), _mm_packus_epi16(v, v));
    }
    for (; i < c.inner1; ++i) {
        const uint32_t ix = c.ix[i];
        const packed::Halves h = packed::Linear(row[ix], row[ix + 1], c.fx[i]);
        out[i] = h.rb | h.ag;
    }
}

} // namespace

const BilinearRows kBilinearSse2 = {BlendDown, Across};

} // namespace stretch
#endif
