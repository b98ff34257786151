// The relight's normals on SSE2, four pixels at a time; the twin of
// RelightPlain.cpp. The squared length is summed in doubles, where it is
// exact (below 2^36), and rounded once to float as the plain loop's 64-bit
// sum is; the square root, the division and the products are the same
// single float operations, and the rounding halves away from zero is done
// on the exact remainder of the truncation.

#include "paint/relight/Relight.h"

#if defined(__SSE2__) && !defined(DAUBLIN_NO_SIMD)
#include <emmintrin.h>

namespace relight {
namespace {

// Halves away from zero, for values well inside the int32 range.
inline __m128i Round(__m128 v) {
    const __m128i t = _mm_cvttps_epi32(v);
    const __m128 rest = _mm_sub_ps(v, _mm_cvtepi32_ps(t));
    // Comparison masks are -1 where true: subtracting adds one.
    const __m128i up = _mm_castps_si128(_mm_cmpge_ps(rest, _mm_set1_ps(0.5f)));
    const __m128i down = _mm_castps_si128(_mm_cmple_ps(rest, _mm_set1_ps(-0.5f)));
    return _mm_add_epi32(_mm_sub_epi32(t, up), down);
}

inline __m128 LengthSquared(__m128i dx, __m128i dy) {
    const __m128d c = _mm_set1_pd(1440000.0);
    const __m128d xl = _mm_cvtepi32_pd(dx), yl = _mm_cvtepi32_pd(dy);
    const __m128d xh = _mm_cvtepi32_pd(_mm_shuffle_epi32(dx, 0xEE));
    const __m128d yh = _mm_cvtepi32_pd(_mm_shuffle_epi32(dy, 0xEE));
    const __m128d lo = _mm_add_pd(_mm_add_pd(_mm_mul_pd(xl, xl), _mm_mul_pd(yl, yl)), c);
    const __m128d hi = _mm_add_pd(_mm_add_pd(_mm_mul_pd(xh, xh), _mm_mul_pd(yh, yh)), c);
    return _mm_movelh_ps(_mm_cvtpd_ps(lo), _mm_cvtpd_ps(hi));
}

} // namespace

void NormalsSse2(const uint32_t* left, const uint32_t* right, const uint32_t* up,
                 const uint32_t* down, int32_t n, int32_t* nx, int32_t* ny, int32_t* nz) {
    int32_t i = 0;
    const __m128 k1023 = _mm_set1_ps(1023.0f);
    const __m128 kZ = _mm_set1_ps(-1200.0f);
    const __m128i flatZ = _mm_set1_epi32(-1024);
    for (; i + 4 <= n; i += 4) {
        const auto load = [&](const uint32_t* p) {
            return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
        };
        const __m128i dx = _mm_sub_epi32(load(left), load(right));
        const __m128i dy = _mm_sub_epi32(load(up), load(down));
        const __m128 f = _mm_div_ps(k1023, _mm_sqrt_ps(LengthSquared(dx, dy)));
        const __m128i x = Round(_mm_mul_ps(f, _mm_cvtepi32_ps(dx)));
        const __m128i y = Round(_mm_mul_ps(f, _mm_cvtepi32_ps(dy)));
        __m128i z = Round(_mm_mul_ps(f, kZ));
        const __m128i flat = _mm_cmpeq_epi32(_mm_or_si128(dx, dy), _mm_setzero_si128());
        z = _mm_or_si128(_mm_and_si128(flat, flatZ), _mm_andnot_si128(flat, z));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(nx + i), _mm_andnot_si128(flat, x));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(ny + i), _mm_andnot_si128(flat, y));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(nz + i), z);
    }
    NormalsPlain(left + i, right + i, up + i, down + i, n - i, nx + i, ny + i, nz + i);
}

} // namespace relight
#endif
