#include "tools/detail/MarkClear.h"

#if defined(__SSE2__) && !defined(DAUBLIN_NO_SIMD)
#include <emmintrin.h>
#endif

namespace tooldetail {

void ClearMarksPlain(uint32_t* words, int32_t n) {
    for (int32_t i = 0; i < n; ++i) {
        words[i] &= 0xFFFFu;
    }
}

void ClearMarks(uint32_t* words, int32_t n) {
    int32_t i = 0;
#if defined(__SSE2__) && !defined(DAUBLIN_NO_SIMD)
    const __m128i high = _mm_set1_epi32(int32_t(0xFFFF0000u));
    const __m128i zero = _mm_setzero_si128();
    for (; i + 8 <= n; i += 8) {
        __m128i* const at = reinterpret_cast<__m128i*>(words + i);
        const __m128i a = _mm_loadu_si128(at);
        const __m128i b = _mm_loadu_si128(at + 1);
        const __m128i marks = _mm_and_si128(_mm_or_si128(a, b), high);
        if (_mm_movemask_epi8(_mm_cmpeq_epi32(marks, zero)) != 0xFFFF) {
            _mm_storeu_si128(at, _mm_andnot_si128(high, a));
            _mm_storeu_si128(at + 1, _mm_andnot_si128(high, b));
        }
    }
#endif
    ClearMarksPlain(words + i, n - i);
}

} // namespace tooldetail
