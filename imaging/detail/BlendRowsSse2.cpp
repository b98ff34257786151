// The widget blends' row loops on SSE2, four pixels at a time; the twins of
// BlendRowsPlain.cpp, on the lane blend of imaging/PackedLanes.h. The
// destination-alpha blend runs on lanes where every pixel of the four is one
// of its simple cases (level 0 or 255, or a destination alpha of 0 or 255)
// and leaves the other fours to the plain loop.

#include "imaging/detail/BlendRows.h"

#if DAUBLIN_HAVE_SSE2
#include "imaging/PackedLanes.h"

namespace blendrows {
namespace {

using lanes::Load;
using lanes::Select;
using lanes::Store;
using lanes::Toward;

// (alpha(s) * (opacity + 1)) >> 8 in each lane; both factors stay below
// 2^16 in the low halves, so one 16-bit product is the whole product.
inline __m128i LevelOf(__m128i s, __m128i opacity1) {
    return _mm_srli_epi32(_mm_mullo_epi16(_mm_srli_epi32(s, 24), opacity1), 8);
}

// The destination-alpha blend where it has a simple case, with the lanes
// that have none in *slow.
inline __m128i AlphaToward(__m128i d, __m128i level, __m128i s, int* slow) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i full = _mm_set1_epi32(0xFF);
    const __m128i dA = _mm_srli_epi32(d, 24);
    const __m128i ends = _mm_or_si128(_mm_cmpeq_epi32(level, zero), _mm_cmpeq_epi32(level, full));
    const __m128i clear = _mm_cmpeq_epi32(dA, zero);
    const __m128i simple = _mm_or_si128(ends, _mm_or_si128(clear, _mm_cmpeq_epi32(dA, full)));
    *slow = _mm_movemask_epi8(simple) != 0xFFFF;
    const __m128i taken =
        _mm_or_si128(_mm_and_si128(s, _mm_set1_epi32(0x00FFFFFF)), _mm_slli_epi32(level, 24));
    return Select(_mm_andnot_si128(ends, clear), taken, Toward(d, level, s));
}

void Over(uint32_t* dst, const uint32_t* src, uint32_t opacity, int32_t n) {
    const __m128i opacity1 = _mm_set1_epi32(int32_t(opacity + 1));
    int32_t i = 0;
    const __m128i full = _mm_set1_epi32(0xFF);
    for (; i + 4 <= n; i += 4) {
        const __m128i s = Load(src + i);
        const __m128i level = LevelOf(s, opacity1);
        // Four opaque pixels are copied, four clear ones leave the target.
        const int opaque = _mm_movemask_epi8(_mm_cmpeq_epi32(level, full));
        if (opaque == 0xFFFF) {
            Store(dst + i, s);
        } else if (_mm_movemask_epi8(_mm_cmpeq_epi32(level, _mm_setzero_si128())) != 0xFFFF) {
            Store(dst + i, Toward(Load(dst + i), level, s));
        }
    }
    kRowsPlain.over(dst + i, src + i, opacity, n - i);
}

void AlphaOver(uint32_t* dst, const uint32_t* src, uint32_t opacity, int32_t n) {
    const __m128i opacity1 = _mm_set1_epi32(int32_t(opacity + 1));
    int32_t i = 0;
    for (; i + 4 <= n; i += 4) {
        const __m128i s = Load(src + i);
        int slow = 0;
        const __m128i out = AlphaToward(Load(dst + i), LevelOf(s, opacity1), s, &slow);
        if (slow) {
            kRowsPlain.alphaOver(dst + i, src + i, opacity, 4);
        } else {
            Store(dst + i, out);
        }
    }
    kRowsPlain.alphaOver(dst + i, src + i, opacity, n - i);
}

void TowardColour(uint32_t* dst, uint32_t colour, uint32_t level, int32_t n) {
    const __m128i c = _mm_set1_epi32(int32_t(colour));
    const __m128i l = _mm_set1_epi32(int32_t(level));
    int32_t i = 0;
    for (; i + 4 <= n; i += 4) {
        Store(dst + i, Toward(Load(dst + i), l, c));
    }
    kRowsPlain.toward(dst + i, colour, level, n - i);
}

} // namespace

const SRows kRowsSse2 = {Over, AlphaOver, TowardColour};

} // namespace blendrows

#endif
