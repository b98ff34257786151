// The row loops of the canvas display on SSE2, four pixels at a time; the
// twins of DisplayRowsPlain.cpp. The blend is CPixel::Blend255Proc on
// lanes (imaging/PackedLanes.h says why it is exact).

#include "paint/canvas/detail/DisplayRows.h"

#include "imaging/PackedLanes.h"

#if defined(__SSE2__) && !defined(DAUBLIN_NO_SIMD)

namespace display {
namespace {

using lanes::Load;
using lanes::Store;
using lanes::Toward;

void Across(uint32_t* out, const uint32_t* row, const int32_t* i0, const int32_t* i1,
            const uint32_t* level, int32_t n) {
    int32_t k = 0;
    for (; k + 4 <= n; k += 4) {
        const __m128i d = _mm_setr_epi32(int32_t(row[i0[k]]), int32_t(row[i0[k + 1]]),
                                         int32_t(row[i0[k + 2]]), int32_t(row[i0[k + 3]]));
        const __m128i s = _mm_setr_epi32(int32_t(row[i1[k]]), int32_t(row[i1[k + 1]]),
                                         int32_t(row[i1[k + 2]]), int32_t(row[i1[k + 3]]));
        Store(out + k, Toward(d, Load(level + k), s));
    }
    kRowsPlain.across(out + k, row, i0 + k, i1 + k, level + k, n - k);
}

void Down(uint32_t* out, const uint32_t* top, const uint32_t* bottom, uint32_t level, int32_t n) {
    int32_t k = 0;
    const __m128i l = _mm_set1_epi32(int32_t(level));
    for (; k + 4 <= n; k += 4) {
        Store(out + k, Toward(Load(top + k), l, Load(bottom + k)));
    }
    kRowsPlain.down(out + k, top + k, bottom + k, level, n - k);
}

void Trace(uint32_t* px, const uint32_t* p, uint32_t bg, int32_t n) {
    int32_t k = 0;
    const __m128i b = _mm_set1_epi32(int32_t(bg));
    const __m128i l120 = _mm_set1_epi32(120);
    const __m128i l100 = _mm_set1_epi32(100);
    for (; k + 4 <= n; k += 4) {
        Store(px + k, Toward(Load(px + k), l100, Toward(b, l120, Load(p + k))));
    }
    kRowsPlain.trace(px + k, p + k, bg, n - k);
}

// Four pixels at a time, their bytes widened to 32-bit lanes and summed
// down the rows in registers.
void Sum(uint32_t* acc, const uint32_t* first, ptrdiff_t stride, int32_t rows, int32_t n) {
    int32_t i = 0;
    const __m128i zero = _mm_setzero_si128();
    for (; i + 4 <= n; i += 4) {
        __m128i s0 = zero, s1 = zero, s2 = zero, s3 = zero;
        for (int32_t j = 0; j < rows; ++j) {
            const __m128i v = Load(first + j * stride + i);
            const __m128i lo = _mm_unpacklo_epi8(v, zero);
            const __m128i hi = _mm_unpackhi_epi8(v, zero);
            s0 = _mm_add_epi32(s0, _mm_unpacklo_epi16(lo, zero));
            s1 = _mm_add_epi32(s1, _mm_unpackhi_epi16(lo, zero));
            s2 = _mm_add_epi32(s2, _mm_unpacklo_epi16(hi, zero));
            s3 = _mm_add_epi32(s3, _mm_unpackhi_epi16(hi, zero));
        }
        uint32_t* a = acc + 4 * i;
        Store(a, s0);
        Store(a + 4, s1);
        Store(a + 8, s2);
        Store(a + 12, s3);
    }
    kRowsPlain.sum(acc + 4 * i, first + i, stride, rows, n - i);
}

} // namespace

const SRows kRowsSse2 = {Across, Down, Trace, Sum};

} // namespace display

#endif
