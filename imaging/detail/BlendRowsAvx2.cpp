// The widget blends' row loops on AVX2, eight pixels at a time: the SSE2
// loops' steps (BlendRowsSse2.cpp) on twice the lanes. Compiled for AVX2
// per function and run only where the processor has it.

#include "imaging/detail/BlendRows.h"

#if DAUBLIN_HAVE_SSE2
#include "imaging/PackedLanes.h"

namespace blendrows {
namespace {

using lanes::Load8;
using lanes::Store8;
using lanes::Toward8;

DAUBLIN_AVX2_FN inline __m256i LevelOf(__m256i s, __m256i opacity1) {
    return _mm256_srli_epi32(_mm256_mullo_epi16(_mm256_srli_epi32(s, 24), opacity1), 8);
}

DAUBLIN_AVX2_FN inline __m256i AlphaToward(__m256i d, __m256i level, __m256i s, int* slow) {
    const __m256i zero = _mm256_setzero_si256();
    const __m256i full = _mm256_set1_epi32(0xFF);
    const __m256i dA = _mm256_srli_epi32(d, 24);
    const __m256i ends =
        _mm256_or_si256(_mm256_cmpeq_epi32(level, zero), _mm256_cmpeq_epi32(level, full));
    const __m256i clear = _mm256_cmpeq_epi32(dA, zero);
    const __m256i simple =
        _mm256_or_si256(ends, _mm256_or_si256(clear, _mm256_cmpeq_epi32(dA, full)));
    *slow = _mm256_movemask_epi8(simple) != -1;
    const __m256i taken = _mm256_or_si256(_mm256_and_si256(s, _mm256_set1_epi32(0x00FFFFFF)),
                                          _mm256_slli_epi32(level, 24));
    return _mm256_blendv_epi8(Toward8(d, level, s), taken, _mm256_andnot_si256(ends, clear));
}

DAUBLIN_AVX2_FN void Over(uint32_t* dst, const uint32_t* src, uint32_t opacity, int32_t n) {
    const __m256i opacity1 = _mm256_set1_epi32(int32_t(opacity + 1));
    int32_t i = 0;
    const __m256i full = _mm256_set1_epi32(0xFF);
    for (; i + 8 <= n; i += 8) {
        const __m256i s = Load8(src + i);
        const __m256i level = LevelOf(s, opacity1);
        // Eight opaque pixels are copied, eight clear ones leave the target.
        if (_mm256_movemask_epi8(_mm256_cmpeq_epi32(level, full)) == -1) {
            Store8(dst + i, s);
        } else if (!_mm256_testz_si256(level, level)) {
            Store8(dst + i, Toward8(Load8(dst + i), level, s));
        }
    }
    kRowsSse2.over(dst + i, src + i, opacity, n - i);
}

DAUBLIN_AVX2_FN void AlphaOver(uint32_t* dst, const uint32_t* src, uint32_t opacity, int32_t n) {
    const __m256i opacity1 = _mm256_set1_epi32(int32_t(opacity + 1));
    int32_t i = 0;
    for (; i + 8 <= n; i += 8) {
        const __m256i s = Load8(src + i);
        int slow = 0;
        const __m256i out = AlphaToward(Load8(dst + i), LevelOf(s, opacity1), s, &slow);
        if (slow) {
            kRowsPlain.alphaOver(dst + i, src + i, opacity, 8);
        } else {
            Store8(dst + i, out);
        }
    }
    kRowsSse2.alphaOver(dst + i, src + i, opacity, n - i);
}

DAUBLIN_AVX2_FN void TowardColour(uint32_t* dst, uint32_t colour, uint32_t level, int32_t n) {
    const __m256i c = _mm256_set1_epi32(int32_t(colour));
    const __m256i l = _mm256_set1_epi32(int32_t(level));
    int32_t i = 0;
    for (; i + 8 <= n; i += 8) {
        Store8(dst + i, Toward8(Load8(dst + i), l, c));
    }
    kRowsSse2.toward(dst + i, colour, level, n - i);
}

} // namespace

const SRows kRowsAvx2 = {Over, AlphaOver, TowardColour};

} // namespace blendrows

#endif
