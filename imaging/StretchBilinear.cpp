// The bilinear StretchBlit, split into its two stages: each source row is
// interpolated across once per block of destination columns and kept while
// destination rows use it, then each destination row blends its two
// interpolated source rows. The result is the packed bilinear blend to the
// bit: per channel, the packed forms compute exactly
// floor((a * (256 - f) + b * f) / 256) across and then down.

#include "imaging/detail/StretchBilinear.h"

#include <algorithm>

#include "imaging/detail/PackedBlend.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace stretch {
namespace {

// Destination columns handled together; their interpolated source rows
// live on the stack.
constexpr int32_t kBlock = 1024;

// One row blended down between two interpolated rows: 16-bit lanes, four
// pixels at a time.
void BlendDown(uint32_t* out, const uint32_t* up, const uint32_t* lo, uint32_t fy, int32_t n) {
    int32_t x = 0;
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    const __m128i wUp = _mm_set1_epi16(int16_t(256 - fy));
    const __m128i wLo = _mm_set1_epi16(int16_t(fy));
    for (; x + 4 <= n; x += 4) {
        const __m128i u = _mm_loadu_si128(reinterpret_cast<const __m128i*>(up + x));
        const __m128i l = _mm_loadu_si128(reinterpret_cast<const __m128i*>(lo + x));
        const __m128i a =
            _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(u, zero), wUp),
                                         _mm_mullo_epi16(_mm_unpacklo_epi8(l, zero), wLo)),
                           8);
        const __m128i b =
            _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(u, zero), wUp),
                                         _mm_mullo_epi16(_mm_unpackhi_epi8(l, zero), wLo)),
                           8);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x), _mm_packus_epi16(a, b));
    }
#endif
    for (; x < n; ++x) {
        const packed::Halves h = packed::Linear(up[x], lo[x], fy);
        out[x] = h.rb | h.ag;
    }
}

// The columns of one block: where each samples, and which of them lie
// between two source columns (the rest take the edge column blend).
struct Columns {
    int32_t first = 0; // destination column of entry 0
    int32_t count = 0;
    int32_t inner0 = 0, inner1 = 0; // entries inner0 .. inner1 - 1 interpolate
    uint32_t ix[kBlock];
    uint32_t fx[kBlock];
#if defined(__SSE2__)
    // Per column the weights of the left and right pixel, four lanes each.
    alignas(16) uint16_t weights[kBlock][8];
#endif

    void Set(const Frame& f, int32_t x0, int32_t n) {
        first = x0;
        count = n;
        inner0 = n;
        inner1 = n;
        uint32_t sx = uint32_t(x0) * uint32_t(f.xstep) - f.xoff;
        bool seenInner = false;
        for (int32_t i = 0; i < n; ++i, sx += uint32_t(f.xstep)) {
            ix[i] = sx >> 16;
            fx[i] = (sx >> 8) & 0xFF;
#if defined(__SSE2__)
            for (int k = 0; k < 4; ++k) {
                weights[i][k] = uint16_t(256 - fx[i]);
                weights[i][k + 4] = uint16_t(fx[i]);
            }
#endif
            const bool inner = ix[i] < uint32_t(f.sw - 1);
            if (inner && !seenInner) {
                inner0 = i;
                seenInner = true;
            }
            if (inner) {
                inner1 = i + 1;
            }
        }
    }
};

// One source row interpolated across at the block's inner columns.
void Across(uint32_t* out, const uint32_t* row, const Columns& c) {
    int32_t i = c.inner0;
#if defined(__SSE2__)
    // Two columns at a time: each one 64-bit load of its two neighbours.
    const __m128i zero = _mm_setzero_si128();
    for (; i + 2 <= c.inner1; i += 2) {
        const __m128i a = _mm_unpacklo_epi8(
            _mm_loadl_epi64(reinterpret_cast<const __m128i*>(row + c.ix[i])), zero);
        const __m128i b = _mm_unpacklo_epi8(
            _mm_loadl_epi64(reinterpret_cast<const __m128i*>(row + c.ix[i + 1])), zero);
        const __m128i pa =
            _mm_mullo_epi16(a, _mm_load_si128(reinterpret_cast<const __m128i*>(c.weights[i])));
        const __m128i pb =
            _mm_mullo_epi16(b, _mm_load_si128(reinterpret_cast<const __m128i*>(c.weights[i + 1])));
        const __m128i sum = _mm_add_epi16(_mm_unpacklo_epi64(pa, pb), _mm_unpackhi_epi64(pa, pb));
        const __m128i v = _mm_srli_epi16(sum, 8);
        _mm_storel_epi64(reinterpret_cast<__m128i*>(out + i), _mm_packus_epi16(v, v));
    }
#endif
    for (; i < c.inner1; ++i) {
        const uint32_t ix = c.ix[i];
        const packed::Halves h = packed::Linear(row[ix], row[ix + 1], c.fx[i]);
        out[i] = h.rb | h.ag;
    }
}

// Two cached interpolated rows, each tagged with its source row.
struct RowCache {
    uint32_t rows[2][kBlock];
    const uint32_t* source[2] = {nullptr, nullptr};

    const uint32_t* Get(const uint32_t* row, const uint32_t* keep, const Columns& c) {
        for (int k = 0; k < 2; ++k) {
            if (source[k] == row) {
                return rows[k];
            }
        }
        const int k = source[0] == keep ? 1 : 0;
        Across(rows[k], row, c);
        source[k] = row;
        return rows[k];
    }
};

} // namespace

void BilinearFast(const Frame& f) {
    Columns columns;
    RowCache cache;
    for (int32_t x0 = 0; x0 < f.dw; x0 += kBlock) {
        const int32_t n = std::min(kBlock, f.dw - x0);
        columns.Set(f, x0, n);
        cache.source[0] = cache.source[1] = nullptr;
        const int32_t inner = columns.inner1 - columns.inner0;
        for (int32_t y = 0; y < f.dh; ++y) {
            const RowPair rows = RowsAt(f, uint32_t(y) * uint32_t(f.ystep) - f.yoff);
            uint32_t* out = f.DstRow(y) + x0;
            if (inner > 0) {
                const uint32_t* up = cache.Get(rows.upper, rows.lower, columns);
                const uint32_t* lo = cache.Get(rows.lower, rows.upper, columns);
                BlendDown(out + columns.inner0, up + columns.inner0, lo + columns.inner0, rows.fy,
                          inner);
            }
            for (int32_t i = 0; i < n; ++i) {
                if (i == columns.inner0 && inner > 0) {
                    i = columns.inner1 - 1;
                    continue;
                }
                const uint32_t c = EdgeIndex(columns.ix[i], f.sw);
                out[i] = packed::Column(rows.upper[c], rows.lower[c], rows.fy);
            }
        }
    }
}

} // namespace stretch
