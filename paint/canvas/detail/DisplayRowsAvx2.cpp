// The row loops of the canvas display on AVX2, eight pixels at a time: the
// SSE2 loops' steps on twice the lanes (DisplayRowsSse2.cpp says why they
// are exact), the taps across gathered. Compiled for AVX2 per function and
// run only where the processor has it.

#include "paint/canvas/detail/DisplayRows.h"

#if defined(__SSE2__) && !defined(DAUBLIN_NO_SIMD)
#include <immintrin.h>

#define DAUBLIN_AVX2 __attribute__((target("avx2")))

namespace display {
namespace {

DAUBLIN_AVX2 inline __m256i Times(__m256i x, __m256i a) {
    return _mm256_add_epi32(_mm256_mullo_epi16(x, a),
                            _mm256_slli_epi32(_mm256_mulhi_epu16(x, a), 16));
}

DAUBLIN_AVX2 inline __m256i Toward(__m256i d, __m256i level, __m256i s) {
    const __m256i rbMask = _mm256_set1_epi32(0x00FF00FF);
    const __m256i agMask = _mm256_set1_epi32(int32_t(0xFF00FF00u));
    const __m256i a = _mm256_or_si256(level, _mm256_slli_epi32(level, 16));
    const __m256i drb = _mm256_and_si256(d, rbMask);
    const __m256i diff = _mm256_add_epi32(_mm256_sub_epi32(_mm256_and_si256(s, rbMask), drb),
                                          _mm256_set1_epi32(0x00010001));
    const __m256i rb =
        _mm256_and_si256(_mm256_add_epi32(drb, _mm256_srli_epi32(Times(diff, a), 8)), rbMask);
    const __m256i byte = _mm256_set1_epi32(0xFF);
    const __m256i dg =
        _mm256_add_epi32(_mm256_sub_epi32(_mm256_and_si256(_mm256_srli_epi32(s, 8), byte),
                                          _mm256_and_si256(_mm256_srli_epi32(d, 8), byte)),
                         _mm256_set1_epi32(1));
    const __m256i ag =
        _mm256_and_si256(_mm256_add_epi32(_mm256_and_si256(d, agMask), Times(dg, a)), agMask);
    return _mm256_blendv_epi8(_mm256_or_si256(rb, ag), s, _mm256_cmpeq_epi32(level, byte));
}

DAUBLIN_AVX2 inline __m256i Load(const void* p) {
    return _mm256_loadu_si256(static_cast<const __m256i*>(p));
}

DAUBLIN_AVX2 inline void Store(uint32_t* p, __m256i v) {
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v);
}

DAUBLIN_AVX2 void Across(uint32_t* out, const uint32_t* row, const int32_t* i0, const int32_t* i1,
                         const uint32_t* level, int32_t n) {
    int32_t k = 0;
    const int* base = reinterpret_cast<const int*>(row);
    for (; k + 8 <= n; k += 8) {
        const __m256i d = _mm256_i32gather_epi32(base, Load(i0 + k), 4);
        const __m256i s = _mm256_i32gather_epi32(base, Load(i1 + k), 4);
        Store(out + k, Toward(d, Load(level + k), s));
    }
    kRowsSse2.across(out + k, row, i0 + k, i1 + k, level + k, n - k);
}

DAUBLIN_AVX2 void Down(uint32_t* out, const uint32_t* top, const uint32_t* bottom, uint32_t level,
                       int32_t n) {
    int32_t k = 0;
    const __m256i l = _mm256_set1_epi32(int32_t(level));
    for (; k + 8 <= n; k += 8) {
        Store(out + k, Toward(Load(top + k), l, Load(bottom + k)));
    }
    kRowsSse2.down(out + k, top + k, bottom + k, level, n - k);
}

DAUBLIN_AVX2 void Trace(uint32_t* px, const uint32_t* p, uint32_t bg, int32_t n) {
    int32_t k = 0;
    const __m256i b = _mm256_set1_epi32(int32_t(bg));
    const __m256i l120 = _mm256_set1_epi32(120);
    const __m256i l100 = _mm256_set1_epi32(100);
    for (; k + 8 <= n; k += 8) {
        Store(px + k, Toward(Load(px + k), l100, Toward(b, l120, Load(p + k))));
    }
    kRowsSse2.trace(px + k, p + k, bg, n - k);
}

// Eight pixels at a time, two a vector of 32-bit lanes, summed down the
// rows in registers.
DAUBLIN_AVX2 void Sum(uint32_t* acc, const uint32_t* first, ptrdiff_t stride, int32_t rows,
                      int32_t n) {
    int32_t i = 0;
    for (; i + 8 <= n; i += 8) {
        __m256i s[4] = {_mm256_setzero_si256(), _mm256_setzero_si256(), _mm256_setzero_si256(),
                        _mm256_setzero_si256()};
        for (int32_t j = 0; j < rows; ++j) {
            const uint32_t* row = first + j * stride + i;
            for (int32_t k = 0; k < 4; ++k) {
                const __m128i two = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(row + 2 * k));
                s[k] = _mm256_add_epi32(s[k], _mm256_cvtepu8_epi32(two));
            }
        }
        for (int32_t k = 0; k < 4; ++k) {
            Store(acc + 4 * i + 8 * k, s[k]);
        }
    }
    kRowsSse2.sum(acc + 4 * i, first + i, stride, rows, n - i);
}

} // namespace

const SRows kRowsAvx2 = {Across, Down, Trace, Sum};

} // namespace display

#endif
