// Multiply on SSE2, four pixels at a time; the plain twin is
// mixmode::Rows<Multiply> in MixModes.h.

#include "imaging/detail/MixModes.h"

#if DAUBLIN_HAVE_SSE2
#include <emmintrin.h>

namespace mixmode {
namespace {

// One 16-bit lane per channel. Every product fits in 16 bits:
// (s + 1) * b <= 65280, and since m <= b the weighed step is
// b - ceil((b - m) * a / 256) with (b - m) * a + 255 <= 65280.
__m128i MultiplyHalf(__m128i s, __m128i b) {
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

} // namespace

void MultiplyRowsSse2(uint32_t* out, const uint32_t* s, uint32_t sc, const uint32_t* b, uint32_t bc,
                      int32_t n) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i sConst = _mm_set1_epi32(int32_t(sc));
    const __m128i bConst = _mm_set1_epi32(int32_t(bc));
    int32_t x = 0;
    for (; x + 4 <= n; x += 4) {
        const __m128i sv = s ? _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + x)) : sConst;
        const __m128i bv = b ? _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + x)) : bConst;
        const __m128i lo = MultiplyHalf(_mm_unpacklo_epi8(sv, zero), _mm_unpacklo_epi8(bv, zero));
        const __m128i hi = MultiplyHalf(_mm_unpackhi_epi8(sv, zero), _mm_unpackhi_epi8(bv, zero));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x), _mm_packus_epi16(lo, hi));
    }
    for (; x < n; ++x) {
        out[x] = Multiply::Apply(s ? s[x] : sc, b ? b[x] : bc);
    }
}

} // namespace mixmode
#endif
