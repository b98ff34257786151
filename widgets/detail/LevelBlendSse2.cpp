#include "widgets/detail/LevelBlend.h"

#if DAUBLIN_WIDGETS_SSE2

#include <emmintrin.h>

#include <cstring>

namespace effectdetail {

namespace {

// Two pixels widened to 16 bits a channel: d + floor((s - d + 1) * l / 256)
// for every channel, l the pixel's level in all four of its lanes. The
// product needs 17 bits, so it is taken in two halves and shifted together.
inline __m128i BlendWide(__m128i d, __m128i s, __m128i l) {
    const __m128i diff = _mm_add_epi16(_mm_sub_epi16(s, d), _mm_set1_epi16(1));
    const __m128i lo = _mm_mullo_epi16(diff, l);
    const __m128i hi = _mm_mulhi_epi16(diff, l);
    const __m128i shifted = _mm_or_si128(_mm_slli_epi16(hi, 8), _mm_srli_epi16(lo, 8));
    return _mm_add_epi16(d, shifted);
}

} // namespace

void BlendLevelsSse2(CPixel* dst, const uint8_t* levels, int32_t count, CPixel src) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i s32 = _mm_set1_epi32(int32_t(uint32_t(src)));
    const __m128i s16 = _mm_unpacklo_epi8(s32, zero);
    const __m128i alphaMask = _mm_set1_epi32(int32_t(0xFF000000u));
    const __m128i full = _mm_set1_epi32(255);
    int32_t i = 0;
    for (; i + 4 <= count; i += 4) {
        uint32_t packedLevels;
        std::memcpy(&packedLevels, levels + i, 4);
        if (packedLevels == 0) {
            continue; // level 0 leaves all four
        }
        __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst + i));
        // Each level in the four 16-bit lanes of its pixel.
        const __m128i l8 = _mm_cvtsi32_si128(int32_t(packedLevels));
        const __m128i l16 = _mm_unpacklo_epi8(l8, zero);  // 4 x 16
        const __m128i l32 = _mm_unpacklo_epi16(l16, zero); // 4 x 32
        const __m128i pairs = _mm_unpacklo_epi16(l16, l16);  // l0 l0 l1 l1 l2 l2 l3 l3
        const __m128i lA = _mm_unpacklo_epi32(pairs, pairs); // l0 x4, l1 x4
        const __m128i lB = _mm_unpackhi_epi32(pairs, pairs); // l2 x4, l3 x4
        const __m128i a = BlendWide(_mm_unpacklo_epi8(d, zero), s16, lA);
        const __m128i b = BlendWide(_mm_unpackhi_epi8(d, zero), s16, lB);
        __m128i r = _mm_packus_epi16(a, b);
        // Alpha stays the target's; level 255 copies the source word.
        r = _mm_or_si128(_mm_andnot_si128(alphaMask, r), _mm_and_si128(alphaMask, d));
        const __m128i copy = _mm_cmpeq_epi32(l32, full);
        r = _mm_or_si128(_mm_andnot_si128(copy, r), _mm_and_si128(copy, s32));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), r);
    }
    for (; i < count; ++i) {
        CPixel::Blend255Proc(dst + i, levels[i], src);
    }
}

} // namespace effectdetail

#endif
