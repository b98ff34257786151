// The relight's normals on AVX2, eight pixels at a time: the SSE2 loop's
// steps on twice the lanes (RelightSse2.cpp says why they are exact).
// Compiled for AVX2 per function and run only where the processor has it.

#include "paint/relight/Relight.h"

#if defined(__SSE2__) && !defined(DAUBLIN_NO_SIMD)
#include <immintrin.h>

#define DAUBLIN_AVX2 __attribute__((target("avx2")))

namespace relight {
namespace {

DAUBLIN_AVX2 inline __m256i Round(__m256 v) {
    const __m256i t = _mm256_cvttps_epi32(v);
    const __m256 rest = _mm256_sub_ps(v, _mm256_cvtepi32_ps(t));
    const __m256i up = _mm256_castps_si256(_mm256_cmp_ps(rest, _mm256_set1_ps(0.5f), _CMP_GE_OQ));
    const __m256i down =
        _mm256_castps_si256(_mm256_cmp_ps(rest, _mm256_set1_ps(-0.5f), _CMP_LE_OQ));
    return _mm256_add_epi32(_mm256_sub_epi32(t, up), down);
}

DAUBLIN_AVX2 inline __m256 LengthSquared(__m256i dx, __m256i dy) {
    const __m256d c = _mm256_set1_pd(1440000.0);
    const __m256d xl = _mm256_cvtepi32_pd(_mm256_castsi256_si128(dx));
    const __m256d yl = _mm256_cvtepi32_pd(_mm256_castsi256_si128(dy));
    const __m256d xh = _mm256_cvtepi32_pd(_mm256_extracti128_si256(dx, 1));
    const __m256d yh = _mm256_cvtepi32_pd(_mm256_extracti128_si256(dy, 1));
    const __m256d lo =
        _mm256_add_pd(_mm256_add_pd(_mm256_mul_pd(xl, xl), _mm256_mul_pd(yl, yl)), c);
    const __m256d hi =
        _mm256_add_pd(_mm256_add_pd(_mm256_mul_pd(xh, xh), _mm256_mul_pd(yh, yh)), c);
    return _mm256_set_m128(_mm256_cvtpd_ps(hi), _mm256_cvtpd_ps(lo));
}

} // namespace

DAUBLIN_AVX2 void HeightsAvx2(const uint32_t* words, int32_t n, uint32_t k, uint32_t* out) {
    int32_t i = 0;
    const __m256i depth = _mm256_set1_epi32(0xFFFF);
    const __m256i weight = _mm256_set1_epi32(int32_t(k));
    for (; i + 8 <= n; i += 8) {
        const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(words + i));
        // The product wraps in 32 bits as the plain one does.
        const __m256i grain =
            _mm256_srli_epi32(_mm256_mullo_epi32(_mm256_srli_epi32(v, 16), weight), 16);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i),
                            _mm256_add_epi32(_mm256_and_si256(v, depth), grain));
    }
    HeightsPlain(words + i, n - i, k, out + i);
}

DAUBLIN_AVX2 void NormalsAvx2(const uint32_t* left, const uint32_t* right, const uint32_t* up,
                              const uint32_t* down, int32_t n, int32_t* nx, int32_t* ny,
                              int32_t* nz) {
    int32_t i = 0;
    const __m256 k1023 = _mm256_set1_ps(1023.0f);
    const __m256 kZ = _mm256_set1_ps(-1200.0f);
    const __m256i flatZ = _mm256_set1_epi32(-1024);
    for (; i + 8 <= n; i += 8) {
        const __m256i l = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(left + i));
        const __m256i r = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(right + i));
        const __m256i u = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(up + i));
        const __m256i d = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(down + i));
        const __m256i dx = _mm256_sub_epi32(l, r);
        const __m256i dy = _mm256_sub_epi32(u, d);
        const __m256 f = _mm256_div_ps(k1023, _mm256_sqrt_ps(LengthSquared(dx, dy)));
        const __m256i x = Round(_mm256_mul_ps(f, _mm256_cvtepi32_ps(dx)));
        const __m256i y = Round(_mm256_mul_ps(f, _mm256_cvtepi32_ps(dy)));
        const __m256i z = Round(_mm256_mul_ps(f, kZ));
        const __m256i flat = _mm256_cmpeq_epi32(_mm256_or_si256(dx, dy), _mm256_setzero_si256());
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(nx + i), _mm256_andnot_si256(flat, x));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(ny + i), _mm256_andnot_si256(flat, y));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(nz + i), _mm256_blendv_epi8(z, flatZ, flat));
    }
    NormalsSse2(left + i, right + i, up + i, down + i, n - i, nx + i, ny + i, nz + i);
}

} // namespace relight
#endif
