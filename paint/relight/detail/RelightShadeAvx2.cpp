// The relight's shading on AVX2, eight pixels at a time: the SSE2 loop's
// steps on twice the lanes (RelightShadeSse2.cpp says why they are exact),
// with the highlight tables gathered. The highlight term is the 64-bit
// product's bits 8 to 39, which is what the plain loop keeps of it.
// Compiled for AVX2 per function and run only where the processor has it.

#include "paint/relight/Relight.h"

#if defined(__SSE2__) && !defined(DAUBLIN_NO_SIMD)
#include <immintrin.h>

#define DAUBLIN_AVX2 __attribute__((target("avx2")))

namespace relight {
namespace {

DAUBLIN_AVX2 inline __m256i Pair(int32_t x, int32_t y) {
    return _mm256_set1_epi32(int32_t((uint32_t(x) & 0xFFFFu) | (uint32_t(y) << 16)));
}

DAUBLIN_AVX2 inline __m256i FinishLanes(__m256i r, __m256i g, __m256i b) {
    const __m256i top = _mm256_set1_epi32(0xFFFF);
    r = _mm256_srli_epi32(_mm256_max_epi32(r, _mm256_setzero_si256()), 8);
    g = _mm256_srli_epi32(_mm256_max_epi32(g, _mm256_setzero_si256()), 8);
    b = _mm256_srli_epi32(_mm256_max_epi32(b, _mm256_setzero_si256()), 8);
    __m256i c = _mm256_min_epi32(r, top);
    __m256i e = _mm256_srli_epi32(_mm256_sub_epi32(r, c), 1);
    r = c;
    g = _mm256_add_epi32(g, e);
    b = _mm256_add_epi32(b, e);

    c = _mm256_min_epi32(g, top);
    e = _mm256_srli_epi32(_mm256_sub_epi32(g, c), 1);
    g = c;
    r = _mm256_add_epi32(r, e);
    c = _mm256_min_epi32(r, top);
    e = _mm256_add_epi32(e, _mm256_sub_epi32(r, c));
    r = c;
    b = _mm256_add_epi32(b, e);

    c = _mm256_min_epi32(b, top);
    e = _mm256_srli_epi32(_mm256_sub_epi32(b, c), 1);
    b = c;
    r = _mm256_add_epi32(r, e);
    c = _mm256_min_epi32(r, top);
    e = _mm256_add_epi32(e, _mm256_sub_epi32(r, c));
    r = c;
    g = _mm256_add_epi32(g, e);
    c = _mm256_min_epi32(g, top);
    r = _mm256_min_epi32(_mm256_add_epi32(r, _mm256_sub_epi32(g, c)), top);
    g = c;

    const __m256i byte1 = _mm256_set1_epi32(0xFF00);
    return _mm256_or_si256(_mm256_or_si256(_mm256_set1_epi32(int32_t(0xFF000000u)),
                                           _mm256_slli_epi32(_mm256_and_si256(r, byte1), 8)),
                           _mm256_or_si256(_mm256_and_si256(g, byte1), _mm256_srli_epi32(b, 8)));
}

// The highlight terms of light l on eight lanes: gathered from the table
// and scaled in 64 bits, or (kGather false, and wherever a lane is past the
// table) looked up and scaled lane by lane.
template <bool kGather>
DAUBLIN_AVX2 inline __m256i Highlights(const Shading& s, const ShadeLight& l, __m256i d,
                                       __m256i hw) {
    const __m256i past =
        _mm256_cmpgt_epi32(d, _mm256_set1_epi32(CStandardRenderer::kHighlightSteps - 1));
    if (!kGather || _mm256_movemask_epi8(past) != 0) {
        alignas(32) int32_t dd[8], ww[8], qq[8];
        _mm256_store_si256(reinterpret_cast<__m256i*>(dd), d);
        _mm256_store_si256(reinterpret_cast<__m256i*>(ww), hw);
        for (int32_t j = 0; j < 8; ++j) {
            qq[j] = HighlightTerm(s, l, dd[j], uint32_t(ww[j]));
        }
        return _mm256_load_si256(reinterpret_cast<const __m256i*>(qq));
    }
    const __m256i lit = _mm256_cmpgt_epi32(d, _mm256_setzero_si256());
    const __m256i h = _mm256_mask_i32gather_epi32(_mm256_setzero_si256(), l.table, d, lit, 4);
    // The weight is below 2^24: as a signed factor it is itself.
    const __m256i even = _mm256_mul_epi32(h, hw);
    const __m256i odd = _mm256_mul_epi32(_mm256_srli_epi64(h, 32), _mm256_srli_epi64(hw, 32));
    return _mm256_blend_epi32(_mm256_srli_epi64(even, 8), _mm256_slli_epi64(odd, 24), 0xAA);
}

// A light's factors, broadcast once a call.
struct Lanes {
    __m256i h, hz, l, lz, a, r, g, b;
};

} // namespace

template <bool kGather>
DAUBLIN_AVX2 void ShadeLanes(const Shading& s, const Params& p, const uint32_t* l0,
                             const uint32_t* l2, const int32_t* nx, const int32_t* ny,
                             const int32_t* nz, int32_t n, uint32_t* out) {
    int32_t i = 0;
    if (s.narrow) {
        const __m256i lowBytes = _mm256_set1_epi32(0x00FF00FF);
        const __m256i highBytes = _mm256_set1_epi32(int32_t(0xFF00FF00u));
        const __m256i byte = _mm256_set1_epi32(255);
        const __m256i one = _mm256_set1_epi32(1);
        const __m256i low16 = _mm256_set1_epi32(0xFFFF);
        const __m256i paperRB = _mm256_set1_epi32(int32_t(p.paper & 0x00FF00FFu));
        const __m256i paperAG = _mm256_set1_epi32(int32_t(p.paper & 0xFF00FF00u));
        const __m256i paperG = _mm256_set1_epi32(int32_t((p.paper >> 8) & 255u));
        const __m256i hp = _mm256_set1_epi32(int32_t(p.hp));
        const __m256i fillR = _mm256_set1_epi32(s.fillR);
        const __m256i fillG = _mm256_set1_epi32(s.fillG);
        const __m256i fillB = _mm256_set1_epi32(s.fillB);
        Lanes lanes[Shading::kMaxLights];
        for (int32_t k = 0; k < s.count; ++k) {
            const ShadeLight& l = s.lights[k];
            lanes[k].h = Pair(l.hx, -l.hy);
            lanes[k].hz = Pair(-l.hz, 0);
            lanes[k].l = Pair(l.lx, -l.ly);
            lanes[k].lz = Pair(-l.lz, 0);
            lanes[k].a = _mm256_set1_epi32(l.a);
            lanes[k].r = _mm256_set1_epi32(l.r);
            lanes[k].g = _mm256_set1_epi32(l.g);
            lanes[k].b = _mm256_set1_epi32(l.b);
        }
        for (; i + 8 <= n; i += 8) {
            const auto load = [&](const auto* q) DAUBLIN_AVX2 {
                return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(q + i));
            };
            const __m256i pc = load(l0);
            const __m256i a = _mm256_srli_epi32(pc, 24);
            const __m256i rb = _mm256_and_si256(
                _mm256_add_epi32(
                    paperRB, _mm256_srli_epi32(
                                 _mm256_mullo_epi32(
                                     _mm256_add_epi32(
                                         _mm256_sub_epi32(_mm256_and_si256(pc, lowBytes), paperRB),
                                         _mm256_set1_epi32(0x00010001)),
                                     a),
                                 8)),
                lowBytes);
            const __m256i dg = _mm256_add_epi32(
                _mm256_sub_epi32(_mm256_and_si256(_mm256_srli_epi32(pc, 8), byte), paperG), one);
            const __m256i ag =
                _mm256_and_si256(_mm256_add_epi32(paperAG, _mm256_mullo_epi32(dg, a)), highBytes);
            const __m256i colour =
                _mm256_blendv_epi8(_mm256_or_si256(rb, ag), pc, _mm256_cmpeq_epi32(a, byte));
            const __m256i mb = _mm256_srli_epi32(load(l2), 24);
            const __m256i hw = _mm256_and_si256(
                _mm256_add_epi32(
                    hp,
                    _mm256_srli_epi32(
                        _mm256_mullo_epi32(_mm256_add_epi32(_mm256_sub_epi32(mb, hp), one), a), 8)),
                _mm256_set1_epi32(0xFFFFFF));
            const __m256i cR = _mm256_and_si256(_mm256_srli_epi32(colour, 16), byte);
            const __m256i cG = _mm256_and_si256(_mm256_srli_epi32(colour, 8), byte);
            const __m256i cB = _mm256_and_si256(colour, byte);

            const __m256i vx = load(nx), vy = load(ny), vz = load(nz);
            const __m256i xy =
                _mm256_or_si256(_mm256_and_si256(vx, low16), _mm256_slli_epi32(vy, 16));
            const __m256i z = _mm256_and_si256(vz, low16);
            __m256i tR = fillR, tG = fillG, tB = fillB;
            __m256i qR = _mm256_setzero_si256(), qG = qR, qB = qR;
            for (int32_t k = 0; k < s.count; ++k) {
                const ShadeLight& l = s.lights[k];
                const Lanes& v = lanes[k];
                const __m256i lr = v.r, lg = v.g, lb = v.b;
                if (l.highlight) {
                    const __m256i d = _mm256_srai_epi32(
                        _mm256_add_epi32(_mm256_madd_epi16(xy, v.h), _mm256_madd_epi16(z, v.hz)),
                        10);
                    const __m256i q = Highlights<kGather>(s, l, d, hw);
                    qR = _mm256_add_epi32(qR, _mm256_mullo_epi32(q, lr));
                    qG = _mm256_add_epi32(qG, _mm256_mullo_epi32(q, lg));
                    qB = _mm256_add_epi32(qB, _mm256_mullo_epi32(q, lb));
                }
                const __m256i dot =
                    _mm256_add_epi32(_mm256_madd_epi16(xy, v.l), _mm256_madd_epi16(z, v.lz));
                const __m256i t = _mm256_max_epi32(
                    _mm256_srai_epi32(_mm256_mullo_epi32(dot, v.a), 22), _mm256_setzero_si256());
                const __m256i dR = _mm256_madd_epi16(t, lr), dG = _mm256_madd_epi16(t, lg),
                              dB = _mm256_madd_epi16(t, lb);
                if (l.negative) {
                    tR = _mm256_sub_epi32(tR, dR);
                    tG = _mm256_sub_epi32(tG, dG);
                    tB = _mm256_sub_epi32(tB, dB);
                } else {
                    tR = _mm256_add_epi32(tR, dR);
                    tG = _mm256_add_epi32(tG, dG);
                    tB = _mm256_add_epi32(tB, dB);
                }
            }
            const __m256i r = _mm256_add_epi32(_mm256_mullo_epi32(cR, tR), qR);
            const __m256i g = _mm256_add_epi32(_mm256_mullo_epi32(cG, tG), qG);
            const __m256i b = _mm256_add_epi32(_mm256_mullo_epi32(cB, tB), qB);
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i), FinishLanes(r, g, b));
        }
    }
    ShadeSse2(s, p, l0 + i, l2 + i, nx + i, ny + i, nz + i, n - i, out + i);
}

DAUBLIN_AVX2 void ShadeAvx2(const Shading& s, const Params& p, const uint32_t* l0,
                            const uint32_t* l2, const int32_t* nx, const int32_t* ny,
                            const int32_t* nz, int32_t n, uint32_t* out) {
    ShadeLanes<true>(s, p, l0, l2, nx, ny, nz, n, out);
}

DAUBLIN_AVX2 void ShadeAvx2Table(const Shading& s, const Params& p, const uint32_t* l0,
                                 const uint32_t* l2, const int32_t* nx, const int32_t* ny,
                                 const int32_t* nz, int32_t n, uint32_t* out) {
    ShadeLanes<false>(s, p, l0, l2, nx, ny, nz, n, out);
}

} // namespace relight
#endif
