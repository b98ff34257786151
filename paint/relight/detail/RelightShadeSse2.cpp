// The relight's shading on SSE2, four pixels at a time; the twin of
// RelightShadePlain.cpp. Every step is integer arithmetic whose results stay
// inside 32 bits, where products and sums wrap as the plain ones would and
// so give the same values in any order: the plain loop's
// r = fill × c + Σ (q × l + t × l × c) is summed here as
// c × (fill + Σ t × l) + Σ q × l. The dot products are 16-bit pairs
// (normals within +-1024, light vectors narrow); the highlight tables are
// read one lane at a time.

#include "paint/relight/Relight.h"

#if defined(__SSE2__) && !defined(DAUBLIN_NO_SIMD)
#include <emmintrin.h>

namespace relight {
namespace {

// The low 32 bits of each lane's product, signed or not.
inline __m128i Mul(__m128i a, __m128i b) {
    const __m128i even = _mm_mul_epu32(a, b);
    const __m128i odd = _mm_mul_epu32(_mm_srli_epi64(a, 32), _mm_srli_epi64(b, 32));
    return _mm_unpacklo_epi32(_mm_shuffle_epi32(even, _MM_SHUFFLE(0, 0, 2, 0)),
                              _mm_shuffle_epi32(odd, _MM_SHUFFLE(0, 0, 2, 0)));
}

inline __m128i Select(__m128i mask, __m128i yes, __m128i no) {
    return _mm_or_si128(_mm_and_si128(mask, yes), _mm_andnot_si128(mask, no));
}

inline __m128i Min(__m128i a, __m128i b) {
    return Select(_mm_cmpgt_epi32(a, b), b, a);
}

inline __m128i Max(__m128i a, __m128i b) {
    return Select(_mm_cmpgt_epi32(a, b), a, b);
}

// A pair of 16-bit factors in one lane: x low, y high.
inline __m128i Pair(int32_t x, int32_t y) {
    return _mm_set1_epi32(int32_t((uint32_t(x) & 0xFFFFu) | (uint32_t(y) << 16)));
}

// Finish on four lanes of accumulators.
inline __m128i FinishLanes(__m128i r, __m128i g, __m128i b) {
    const __m128i top = _mm_set1_epi32(0xFFFF);
    r = _mm_srli_epi32(Max(r, _mm_setzero_si128()), 8);
    g = _mm_srli_epi32(Max(g, _mm_setzero_si128()), 8);
    b = _mm_srli_epi32(Max(b, _mm_setzero_si128()), 8);
    // Where a channel is within 16 bits its excess is 0 and nothing moves.
    __m128i c = Min(r, top);
    __m128i e = _mm_srli_epi32(_mm_sub_epi32(r, c), 1);
    r = c;
    g = _mm_add_epi32(g, e);
    b = _mm_add_epi32(b, e);

    c = Min(g, top);
    e = _mm_srli_epi32(_mm_sub_epi32(g, c), 1);
    g = c;
    r = _mm_add_epi32(r, e);
    c = Min(r, top);
    e = _mm_add_epi32(e, _mm_sub_epi32(r, c));
    r = c;
    b = _mm_add_epi32(b, e);

    c = Min(b, top);
    e = _mm_srli_epi32(_mm_sub_epi32(b, c), 1);
    b = c;
    r = _mm_add_epi32(r, e);
    c = Min(r, top);
    e = _mm_add_epi32(e, _mm_sub_epi32(r, c));
    r = c;
    g = _mm_add_epi32(g, e);
    c = Min(g, top);
    r = Min(_mm_add_epi32(r, _mm_sub_epi32(g, c)), top);
    g = c;

    const __m128i byte1 = _mm_set1_epi32(0xFF00);
    return _mm_or_si128(_mm_or_si128(_mm_set1_epi32(int32_t(0xFF000000u)),
                                     _mm_slli_epi32(_mm_and_si128(r, byte1), 8)),
                        _mm_or_si128(_mm_and_si128(g, byte1), _mm_srli_epi32(b, 8)));
}

} // namespace

void ShadeSse2(const Shading& s, const Params& p, const uint32_t* l0, const uint32_t* l2,
               const int32_t* nx, const int32_t* ny, const int32_t* nz, int32_t n, uint32_t* out) {
    int32_t i = 0;
    if (s.narrow) {
        const __m128i lowBytes = _mm_set1_epi32(0x00FF00FF);
        const __m128i highBytes = _mm_set1_epi32(int32_t(0xFF00FF00u));
        const __m128i byte = _mm_set1_epi32(255);
        const __m128i one = _mm_set1_epi32(1);
        const __m128i low16 = _mm_set1_epi32(0xFFFF);
        const __m128i paperRB = _mm_set1_epi32(int32_t(p.paper & 0x00FF00FFu));
        const __m128i paperAG = _mm_set1_epi32(int32_t(p.paper & 0xFF00FF00u));
        const __m128i paperG = _mm_set1_epi32(int32_t((p.paper >> 8) & 255u));
        const __m128i hp = _mm_set1_epi32(int32_t(p.hp));
        const __m128i fillR = _mm_set1_epi32(s.fillR);
        const __m128i fillG = _mm_set1_epi32(s.fillG);
        const __m128i fillB = _mm_set1_epi32(s.fillB);
        for (; i + 4 <= n; i += 4) {
            const auto load = [&](const auto* q) {
                return _mm_loadu_si128(reinterpret_cast<const __m128i*>(q + i));
            };
            // The paint over the paper (Blend255Proc) and the highlight weight.
            const __m128i pc = load(l0);
            const __m128i a = _mm_srli_epi32(pc, 24);
            const __m128i rb = _mm_and_si128(
                _mm_add_epi32(
                    paperRB,
                    _mm_srli_epi32(
                        Mul(_mm_add_epi32(_mm_sub_epi32(_mm_and_si128(pc, lowBytes), paperRB),
                                          _mm_set1_epi32(0x00010001)),
                            a),
                        8)),
                lowBytes);
            const __m128i dg = _mm_add_epi32(
                _mm_sub_epi32(_mm_and_si128(_mm_srli_epi32(pc, 8), byte), paperG), one);
            const __m128i ag = _mm_and_si128(_mm_add_epi32(paperAG, Mul(dg, a)), highBytes);
            const __m128i colour = Select(_mm_cmpeq_epi32(a, byte), pc, _mm_or_si128(rb, ag));
            const __m128i mb = _mm_srli_epi32(load(l2), 24);
            const __m128i hw = _mm_and_si128(
                _mm_add_epi32(hp,
                              _mm_srli_epi32(Mul(_mm_add_epi32(_mm_sub_epi32(mb, hp), one), a), 8)),
                _mm_set1_epi32(0xFFFFFF));
            const __m128i cR = _mm_and_si128(_mm_srli_epi32(colour, 16), byte);
            const __m128i cG = _mm_and_si128(_mm_srli_epi32(colour, 8), byte);
            const __m128i cB = _mm_and_si128(colour, byte);

            const __m128i vx = load(nx), vy = load(ny), vz = load(nz);
            const __m128i xy = _mm_or_si128(_mm_and_si128(vx, low16), _mm_slli_epi32(vy, 16));
            const __m128i z = _mm_and_si128(vz, low16);
            __m128i tR = fillR, tG = fillG, tB = fillB;
            __m128i qR = _mm_setzero_si128(), qG = qR, qB = qR;
            for (int32_t k = 0; k < s.count; ++k) {
                const ShadeLight& l = s.lights[k];
                const __m128i lr = _mm_set1_epi32(l.r), lg = _mm_set1_epi32(l.g),
                              lb = _mm_set1_epi32(l.b);
                if (l.highlight) {
                    const __m128i d =
                        _mm_srai_epi32(_mm_add_epi32(_mm_madd_epi16(xy, Pair(l.hx, -l.hy)),
                                                     _mm_madd_epi16(z, Pair(-l.hz, 0))),
                                       10);
                    alignas(16) int32_t dd[4], ww[4], qq[4];
                    _mm_store_si128(reinterpret_cast<__m128i*>(dd), d);
                    _mm_store_si128(reinterpret_cast<__m128i*>(ww), hw);
                    for (int32_t j = 0; j < 4; ++j) {
                        qq[j] = HighlightTerm(s, l, dd[j], uint32_t(ww[j]));
                    }
                    const __m128i q = _mm_load_si128(reinterpret_cast<const __m128i*>(qq));
                    qR = _mm_add_epi32(qR, Mul(q, lr));
                    qG = _mm_add_epi32(qG, Mul(q, lg));
                    qB = _mm_add_epi32(qB, Mul(q, lb));
                }
                const __m128i dot = _mm_add_epi32(_mm_madd_epi16(xy, Pair(l.lx, -l.ly)),
                                                  _mm_madd_epi16(z, Pair(-l.lz, 0)));
                // 0 <= t < 2^9: one 16-bit product per channel.
                const __m128i t =
                    Max(_mm_srai_epi32(Mul(dot, _mm_set1_epi32(l.a)), 22), _mm_setzero_si128());
                const __m128i dR = _mm_madd_epi16(t, lr), dG = _mm_madd_epi16(t, lg),
                              dB = _mm_madd_epi16(t, lb);
                if (l.negative) {
                    tR = _mm_sub_epi32(tR, dR);
                    tG = _mm_sub_epi32(tG, dG);
                    tB = _mm_sub_epi32(tB, dB);
                } else {
                    tR = _mm_add_epi32(tR, dR);
                    tG = _mm_add_epi32(tG, dG);
                    tB = _mm_add_epi32(tB, dB);
                }
            }
            const __m128i r = _mm_add_epi32(Mul(cR, tR), qR);
            const __m128i g = _mm_add_epi32(Mul(cG, tG), qG);
            const __m128i b = _mm_add_epi32(Mul(cB, tB), qB);
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), FinishLanes(r, g, b));
        }
    }
    ShadePlain(s, p, l0 + i, l2 + i, nx + i, ny + i, nz + i, n - i, out + i);
}

} // namespace relight
#endif
