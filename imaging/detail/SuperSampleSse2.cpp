// The box reduction on SSE2; the twin of SuperSamplePlain.cpp. Both sums
// below stay under 2^24, where the float quotient is exact enough that
// truncating it gives the floor of the integer division.

#include "imaging/detail/SuperSample.h"

#if DAUBLIN_HAVE_SSE2
#include <algorithm>
#include <emmintrin.h>

namespace stretch {
namespace {

// The average of a box of at most 65536 pixels, four channels at a time:
// 16-bit lanes add up pairs of pixels along each box row, 32-bit lanes the
// rows.
uint32_t AverageBox(const Frame& f, const Span& cols, const Span& rows, float n) {
    const __m128i zero = _mm_setzero_si128();
    __m128i total = zero;
    const int32_t w = cols.last - cols.first;
    for (int32_t j = rows.first; j < rows.last; ++j) {
        const uint32_t* row = f.SrcRow(j) + cols.first;
        int32_t i = 0;
        while (i < w) {
            // At most 128 steps of four pixels: each lane then holds at most
            // 256 values of 255.
            __m128i pairs = zero;
            const int32_t end = std::min(w, i + 512);
            for (; i + 4 <= end; i += 4) {
                const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + i));
                pairs = _mm_add_epi16(
                    pairs, _mm_add_epi16(_mm_unpacklo_epi8(v, zero), _mm_unpackhi_epi8(v, zero)));
            }
            for (; i < end; ++i) {
                const __m128i v = _mm_cvtsi32_si128(int32_t(row[i]));
                pairs = _mm_add_epi16(pairs, _mm_unpacklo_epi8(v, zero));
            }
            total = _mm_add_epi32(total, _mm_add_epi32(_mm_unpacklo_epi16(pairs, zero),
                                                       _mm_unpackhi_epi16(pairs, zero)));
        }
    }
    const __m128i q = _mm_cvttps_epi32(_mm_div_ps(_mm_cvtepi32_ps(total), _mm_set1_ps(n)));
    const __m128i bytes = _mm_packus_epi16(_mm_packs_epi32(q, zero), zero);
    return uint32_t(_mm_cvtsi128_si32(bytes));
}

// Boxes of at most 257 pixels, a destination row at a time: the box rows
// are first added down the source columns (16-bit lanes, four channels per
// column), then each box adds its columns. No sum exceeds 257 * 255.
constexpr uint64_t kSmallBox = 257;
constexpr int32_t kSumColumns = 1024;

void SmallBoxes(const Frame& f) {
    const __m128i zero = _mm_setzero_si128();
    alignas(16) uint16_t sums[kSumColumns * 4];
    for (int32_t y = 0; y < f.dh; ++y) {
        const Span rows = SpanAt(y, f.ystep, f.sh);
        uint32_t* out = f.DstRow(y);
        for (int32_t x = 0; x < f.dw;) {
            // The destination columns whose boxes fit in the sums from c0.
            const int32_t c0 = SpanAt(x, f.xstep, f.sw).first;
            int32_t x1 = x + 1;
            while (x1 < f.dw && SpanAt(x1, f.xstep, f.sw).last - c0 <= kSumColumns) {
                ++x1;
            }
            const int32_t n = SpanAt(x1 - 1, f.xstep, f.sw).last - c0;
            const int32_t padded = (n + 1) & ~1;
            std::fill(sums, sums + padded * 4, uint16_t(0));
            for (int32_t j = rows.first; j < rows.last; ++j) {
                const uint32_t* row = f.SrcRow(j) + c0;
                int32_t i = 0;
                for (; i + 4 <= n; i += 4) {
                    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + i));
                    __m128i* s0 = reinterpret_cast<__m128i*>(sums + i * 4);
                    _mm_store_si128(s0,
                                    _mm_add_epi16(_mm_load_si128(s0), _mm_unpacklo_epi8(v, zero)));
                    _mm_store_si128(
                        s0 + 1, _mm_add_epi16(_mm_load_si128(s0 + 1), _mm_unpackhi_epi8(v, zero)));
                }
                for (; i < n; ++i) {
                    for (int32_t c = 0; c < 4; ++c) {
                        sums[i * 4 + c] = uint16_t(sums[i * 4 + c] + ((row[i] >> (8 * c)) & 0xFF));
                    }
                }
            }
            for (; x < x1; ++x) {
                const Span cols = SpanAt(x, f.xstep, f.sw);
                __m128i box = zero;
                for (int32_t i = cols.first - c0; i < cols.last - c0; ++i) {
                    box = _mm_add_epi16(
                        box, _mm_loadl_epi64(reinterpret_cast<const __m128i*>(sums + i * 4)));
                }
                const float count = float((cols.last - cols.first) * (rows.last - rows.first));
                const __m128i q = _mm_cvttps_epi32(
                    _mm_div_ps(_mm_cvtepi32_ps(_mm_unpacklo_epi16(box, zero)), _mm_set1_ps(count)));
                out[x] =
                    uint32_t(_mm_cvtsi128_si32(_mm_packus_epi16(_mm_packs_epi32(q, zero), zero)));
            }
        }
    }
}

} // namespace

void SuperSampleSse2(const Frame& f) {
    const uint64_t largest =
        uint64_t(SpanAt(0, f.xstep, f.sw).last + 1) * uint64_t(SpanAt(0, f.ystep, f.sh).last + 1);
    if (largest <= kSmallBox) {
        SmallBoxes(f);
        return;
    }
    Boxes(f, [&](uint32_t& out, const Span& cols, const Span& rows) {
        const uint64_t n = uint64_t(cols.last - cols.first) * uint64_t(rows.last - rows.first);
        // Larger boxes could overflow the float sums: they take the plain
        // average.
        out = n <= 65536 ? AverageBox(f, cols, rows, float(n)) : AverageBoxPlain(f, cols, rows);
    });
}

} // namespace stretch
#endif
