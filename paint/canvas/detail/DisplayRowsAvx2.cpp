// The row loops of the canvas display on AVX2, eight pixels at a time: the
// SSE2 loops' steps on twice the lanes (DisplayRowsSse2.cpp says why they
// are exact), the taps across gathered. Compiled for AVX2 per function and
// run only where the processor has it.

#include "paint/canvas/detail/DisplayRows.h"

#include "imaging/PackedLanes.h"

#if defined(__SSE2__) && !defined(DAUBLIN_NO_SIMD)
#define DAUBLIN_AVX2 DAUBLIN_AVX2_FN

namespace display {
namespace {

DAUBLIN_AVX2 inline __m256i Toward(__m256i d, __m256i level, __m256i s) {
    return lanes::Toward8(d, level, s);
}

DAUBLIN_AVX2 inline __m256i Load(const void* p) {
    return lanes::Load8(static_cast<const uint32_t*>(p));
}

DAUBLIN_AVX2 inline void Store(uint32_t* p, __m256i v) {
    lanes::Store8(p, v);
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
