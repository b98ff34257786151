// The backdrop background's row loops on SSE2, four pixels at a time; the
// twins of BackdropFillRowsPlain.cpp. The gradient's blend is the plain
// packed formula step by step in 32-bit lanes, its products taken modulo
// 2^32 as imaging/PackedLanes.h takes them; an opacity beyond 16 bits (only
// a damaged resource holds one) is left to the plain loop. The angled
// gradient's table reads have no SSE2 form and stay plain.

#include "widgets/detail/BackdropFillRows.h"

#if defined(__SSE2__) && !defined(DAUBLIN_NO_SIMD)
#include "imaging/PackedLanes.h"

namespace backdropfill {
namespace {

using lanes::Halves;
using lanes::Load;
using lanes::Select;
using lanes::Store;
using lanes::Times;

// BlendGradient on four lanes; opacity1 is opacity + 1 in both halves of
// every lane.
inline __m128i Gradient(__m128i d, __m128i g, __m128i opacity1, __m128i alphaOut) {
    const __m128i rbMask = _mm_set1_epi32(0x00FF00FF);
    const __m128i byte = _mm_set1_epi32(0xFF);
    const __m128i a =
        _mm_and_si128(_mm_srli_epi32(Times(_mm_srli_epi32(g, 8), opacity1), 24), byte);
    const __m128i a2 = Halves(a);
    const __m128i drb = _mm_and_si128(d, rbMask);
    const __m128i diff =
        _mm_add_epi32(_mm_sub_epi32(_mm_and_si128(g, rbMask), drb), _mm_set1_epi32(0x00010001));
    const __m128i rb =
        _mm_and_si128(_mm_add_epi32(drb, _mm_srli_epi32(Times(diff, a2), 8)), rbMask);
    const __m128i dg = _mm_and_si128(_mm_srli_epi32(d, 8), byte);
    const __m128i gg = _mm_and_si128(_mm_srli_epi32(g, 8), byte);
    const __m128i step = _mm_add_epi32(_mm_sub_epi32(gg, dg), _mm_set1_epi32(1));
    const __m128i green = _mm_and_si128(_mm_add_epi32(_mm_slli_epi32(dg, 8), Times(step, a2)),
                                        _mm_set1_epi32(0x0000FF00));
    const __m128i colour =
        Select(_mm_cmpeq_epi32(a, byte), _mm_and_si128(g, _mm_set1_epi32(0x00FFFFFF)),
               _mm_or_si128(rb, green));
    return _mm_or_si128(colour, alphaOut);
}

void Blend(uint32_t* px, const uint32_t* g, int32_t opacity, int32_t overImage, int32_t n) {
    const uint32_t opacity1 = uint32_t(opacity) + 1u;
    int32_t i = 0;
    if (opacity1 < 0x10000u) {
        const __m128i o = Halves(_mm_set1_epi32(int32_t(opacity1)));
        const __m128i alphaMask = _mm_set1_epi32(int32_t(0xFF000000u));
        for (; i + 4 <= n; i += 4) {
            const __m128i d = Load(px + i);
            const __m128i alphaOut = overImage ? _mm_and_si128(d, alphaMask) : alphaMask;
            Store(px + i, Gradient(d, Load(g + i), o, alphaOut));
        }
    }
    kRowsPlain.blend(px + i, g + i, opacity, overImage, n - i);
}

void Linear(uint32_t* out, const uint32_t* table, int32_t entries, int64_t acc, int64_t dx,
            int32_t n) {
    kRowsPlain.linear(out, table, entries, acc, dx, n);
}

} // namespace

const SRows kRowsSse2 = {Linear, Blend};

} // namespace backdropfill

#endif
