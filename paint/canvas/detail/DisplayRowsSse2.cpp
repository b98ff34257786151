// The row loops of the canvas display on SSE2, four pixels at a time; the
// twins of DisplayRowsPlain.cpp. The blend is the packed formula of
// CPixel::Blend255Proc step by step in 32-bit lanes: the products of a
// word and a level below 256 are taken modulo 2^32 from 16-bit halves
// (SSE2 has no 32-bit multiply), so every borrow and carry between the
// packed channels is the plain loop's.

#include "paint/canvas/detail/DisplayRows.h"

#if defined(__SSE2__) && !defined(DAUBLIN_NO_SIMD)
#include <emmintrin.h>

namespace display {
namespace {

// x * a modulo 2^32 in each lane, a (0..255) in both 16-bit halves of its
// lane: the low half's full product plus the high half's low product.
inline __m128i Times(__m128i x, __m128i a) {
    return _mm_add_epi32(_mm_mullo_epi16(x, a), _mm_slli_epi32(_mm_mulhi_epu16(x, a), 16));
}

// The levels (0..255, one a lane) in both halves of their lanes.
inline __m128i Halves(__m128i level) {
    return _mm_or_si128(level, _mm_slli_epi32(level, 16));
}

// d blended toward s at level: rb and ag as the plain formula, s itself at
// 255.
inline __m128i Toward(__m128i d, __m128i level, __m128i s) {
    const __m128i rbMask = _mm_set1_epi32(0x00FF00FF);
    const __m128i agMask = _mm_set1_epi32(int32_t(0xFF00FF00u));
    const __m128i a = Halves(level);
    const __m128i drb = _mm_and_si128(d, rbMask);
    const __m128i diff =
        _mm_add_epi32(_mm_sub_epi32(_mm_and_si128(s, rbMask), drb), _mm_set1_epi32(0x00010001));
    const __m128i rb = _mm_and_si128(_mm_add_epi32(drb, _mm_srli_epi32(Times(diff, a), 8)), rbMask);
    const __m128i byte = _mm_set1_epi32(0xFF);
    const __m128i dg = _mm_add_epi32(_mm_sub_epi32(_mm_and_si128(_mm_srli_epi32(s, 8), byte),
                                                   _mm_and_si128(_mm_srli_epi32(d, 8), byte)),
                                     _mm_set1_epi32(1));
    const __m128i ag = _mm_and_si128(_mm_add_epi32(_mm_and_si128(d, agMask), Times(dg, a)), agMask);
    const __m128i full = _mm_cmpeq_epi32(level, byte);
    return _mm_or_si128(_mm_and_si128(full, s), _mm_andnot_si128(full, _mm_or_si128(rb, ag)));
}

inline __m128i Load(const uint32_t* p) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

inline void Store(uint32_t* p, __m128i v) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v);
}

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
