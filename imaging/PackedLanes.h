#pragma once
// CPixel::Blend255Proc on vector lanes, one pixel a 32-bit lane: SSE2 (four
// pixels) and AVX2 (eight). The packed formula runs step by step in 32-bit
// lanes; the products of a word and a level below 65536 are taken modulo
// 2^32 from 16-bit halves (SSE2 has no 32-bit multiply), so every borrow and
// carry between the packed channels is the plain blend's, bit for bit.
//
// Only for the vector twins of the pixel loops: the AVX2 functions carry a
// target attribute and may be called only from functions that carry it too,
// run where CPixelPaths finds the processor has AVX2.

#include <cstdint>

#if defined(__SSE2__) && !defined(DAUBLIN_NO_SIMD)
#include <immintrin.h>

#define DAUBLIN_AVX2_FN __attribute__((target("avx2")))

namespace lanes {

// ---------------------------------------------------------------------------
// SSE2

inline __m128i Load(const uint32_t* p) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

inline void Store(uint32_t* p, __m128i v) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v);
}

// x * a modulo 2^32 in each lane, a (below 65536) in both 16-bit halves of
// its lane: the low half's full product plus the high half's low product.
inline __m128i Times(__m128i x, __m128i a) {
    return _mm_add_epi32(_mm_mullo_epi16(x, a), _mm_slli_epi32(_mm_mulhi_epu16(x, a), 16));
}

// The levels (below 65536, one a lane) in both halves of their lanes.
inline __m128i Halves(__m128i level) {
    return _mm_or_si128(level, _mm_slli_epi32(level, 16));
}

// Where mask is all ones, a; elsewhere b.
inline __m128i Select(__m128i mask, __m128i a, __m128i b) {
    return _mm_or_si128(_mm_and_si128(mask, a), _mm_andnot_si128(mask, b));
}

// d blended toward s at level (0..255 a lane): Blend255Proc, s itself at
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
    return Select(_mm_cmpeq_epi32(level, byte), s, _mm_or_si128(rb, ag));
}

// ---------------------------------------------------------------------------
// AVX2: the same steps on eight lanes.

DAUBLIN_AVX2_FN inline __m256i Load8(const uint32_t* p) {
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
}

DAUBLIN_AVX2_FN inline void Store8(uint32_t* p, __m256i v) {
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v);
}

DAUBLIN_AVX2_FN inline __m256i Times8(__m256i x, __m256i a) {
    return _mm256_add_epi32(_mm256_mullo_epi16(x, a),
                            _mm256_slli_epi32(_mm256_mulhi_epu16(x, a), 16));
}

DAUBLIN_AVX2_FN inline __m256i Toward8(__m256i d, __m256i level, __m256i s) {
    const __m256i rbMask = _mm256_set1_epi32(0x00FF00FF);
    const __m256i agMask = _mm256_set1_epi32(int32_t(0xFF00FF00u));
    const __m256i a = _mm256_or_si256(level, _mm256_slli_epi32(level, 16));
    const __m256i drb = _mm256_and_si256(d, rbMask);
    const __m256i diff = _mm256_add_epi32(_mm256_sub_epi32(_mm256_and_si256(s, rbMask), drb),
                                          _mm256_set1_epi32(0x00010001));
    const __m256i rb =
        _mm256_and_si256(_mm256_add_epi32(drb, _mm256_srli_epi32(Times8(diff, a), 8)), rbMask);
    const __m256i byte = _mm256_set1_epi32(0xFF);
    const __m256i dg =
        _mm256_add_epi32(_mm256_sub_epi32(_mm256_and_si256(_mm256_srli_epi32(s, 8), byte),
                                          _mm256_and_si256(_mm256_srli_epi32(d, 8), byte)),
                         _mm256_set1_epi32(1));
    const __m256i ag =
        _mm256_and_si256(_mm256_add_epi32(_mm256_and_si256(d, agMask), Times8(dg, a)), agMask);
    return _mm256_blendv_epi8(_mm256_or_si256(rb, ag), s, _mm256_cmpeq_epi32(level, byte));
}

} // namespace lanes

#endif
