// Scaling between 32-bit views: bilinear StretchBlit, the box filters of
// SuperSample and StretchHiQ, and the alpha-safe bilinear blend.

#include <algorithm>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "imaging/Pixel.h"
#include "imaging/Stretcher.h"
#include "imaging/detail/PackedBlend.h"
#include "imaging/detail/StretchBilinear.h"
#include "imaging/detail/StretchSampling.h"

using namespace stretch;

uint32_t SafeBlerp(uint32_t tl, uint32_t tr, uint32_t bl, uint32_t br, uint32_t fx, uint32_t fy) {
    const bool upperClear = (tl >> 24) == 0 && (tr >> 24) == 0;
    const bool lowerClear = (bl >> 24) == 0 && (br >> 24) == 0;
    if ((tl >> 24) && (tr >> 24) && (bl >> 24) && (br >> 24)) {
        return packed::Bilinear(tl, tr, bl, br, fx, fy);
    }
    if (upperClear && lowerClear) {
        return 0;
    }
    const uint32_t colour = 0x00FFFFFFu;
    if ((tl >> 24) == 0) {
        tl = tr & colour;
    } else if ((tr >> 24) == 0) {
        tr = tl & colour;
    }
    if ((bl >> 24) == 0) {
        bl = br & colour;
    } else if ((br >> 24) == 0) {
        br = bl & colour;
    }
    if (upperClear) {
        tl = bl & colour;
        tr = br & colour;
    }
    if (lowerClear) {
        bl = tl & colour;
        br = tr & colour;
    }
    return packed::Bilinear(tl, tr, bl, br, fx, fy);
}

namespace {

// The edge column of StretchHiQ: a transparent one of the two pixels takes
// the other's colour before the column blend.
uint32_t SafeColumn(uint32_t upper, uint32_t lower, uint32_t fy) {
    if ((upper >> 24) == 0) {
        upper = lower & 0x00FFFFFFu;
    } else if ((lower >> 24) == 0) {
        lower = upper & 0x00FFFFFFu;
    }
    return packed::Column(upper, lower, fy);
}

struct PlainBlend {
    static uint32_t Four(uint32_t tl, uint32_t tr, uint32_t bl, uint32_t br, uint32_t fx,
                         uint32_t fy) {
        return packed::Bilinear(tl, tr, bl, br, fx, fy);
    }
    static uint32_t Two(uint32_t u, uint32_t l, uint32_t fy) { return packed::Column(u, l, fy); }
};

struct SafeBlend {
    static uint32_t Four(uint32_t tl, uint32_t tr, uint32_t bl, uint32_t br, uint32_t fx,
                         uint32_t fy) {
        return SafeBlerp(tl, tr, bl, br, fx, fy);
    }
    static uint32_t Two(uint32_t u, uint32_t l, uint32_t fy) { return SafeColumn(u, l, fy); }
};

// Stores a computed pixel, or composites it over the destination.
struct Store {
    static void Put(uint32_t& d, uint32_t p) { d = p; }
};
struct Composite {
    static void Put(uint32_t& d, uint32_t p) {
        CPixel px(d);
        px.AlphaBlend255(int32_t(p >> 24), CPixel(p));
        d = px;
    }
};

// The bilinear sampling of StretchBlit with a choice of blends.
template <class Blend, class Out> void Bilinear(const Frame& f) {
    for (int32_t y = 0; y < f.dh; ++y) {
        const RowPair rows = RowsAt(f, uint32_t(y) * f.ystep - f.yoff);
        uint32_t* out = f.DstRow(y);
        uint32_t sx = 0u - f.xoff;
        for (int32_t x = 0; x < f.dw; ++x, sx += f.xstep) {
            const uint32_t ix = sx >> 16;
            const uint32_t fx = (sx >> 8) & 0xFF;
            uint32_t p;
            if (ix < uint32_t(f.sw - 1)) {
                p = Blend::Four(rows.upper[ix], rows.upper[ix + 1], rows.lower[ix],
                                rows.lower[ix + 1], fx, rows.fy);
            } else {
                const uint32_t c = EdgeIndex(ix, f.sw);
                p = Blend::Two(rows.upper[c], rows.lower[c], rows.fy);
            }
            Out::Put(out[x], p);
        }
    }
}

// The box of source pixels behind destination pixel (x, y) of a reduction.
template <class Sum> void Boxes(const Frame& f, Sum sum) {
    for (int32_t y = 0; y < f.dh; ++y) {
        const Span rows = SpanAt(y, f.ystep, f.sh);
        uint32_t* out = f.DstRow(y);
        for (int32_t x = 0; x < f.dw; ++x) {
            sum(out[x], SpanAt(x, f.xstep, f.sw), rows);
        }
    }
}

// The channel sums of a box, alpha first.
struct BoxSums {
    uint64_t a = 0, r = 0, g = 0, b = 0;
};

BoxSums SumBox(const Frame& f, const Span& cols, const Span& rows) {
    BoxSums s;
    for (int32_t j = rows.first; j < rows.last; ++j) {
        const uint32_t* row = f.SrcRow(j);
        for (int32_t i = cols.first; i < cols.last; ++i) {
            const uint32_t p = row[i];
            s.a += p >> 24;
            s.r += (p >> 16) & 0xFF;
            s.g += (p >> 8) & 0xFF;
            s.b += p & 0xFF;
        }
    }
    return s;
}

#if defined(__SSE2__)
// The average of a box of at most 65536 pixels, four channels at a time:
// 16-bit lanes add up pairs of pixels along each box row, 32-bit lanes the
// rows. Every sum stays below 2^24, so the float quotient is exact enough
// that truncating it gives the floor of the integer division.
uint32_t AverageBoxSse2(const Frame& f, const Span& cols, const Span& rows, float n) {
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
#endif

#if defined(__SSE2__)
// Boxes of at most 257 pixels, a destination row at a time: the box rows
// are first added down the source columns (16-bit lanes, four channels per
// column), then each box adds its columns. No sum exceeds 257 * 255.
constexpr uint64_t kSmallBox = 257;
constexpr int32_t kSumColumns = 1024;

void SuperSampleSmallBoxes(const Frame& f) {
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
#endif

// Plain averages of each channel. Every sum stays below 2^24 where the
// quotient is taken in float, so truncating it gives the integer floor.
void SuperSampleFrame(const Frame& f) {
#if defined(__SSE2__)
    const uint64_t largest =
        uint64_t(SpanAt(0, f.xstep, f.sw).last + 1) * uint64_t(SpanAt(0, f.ystep, f.sh).last + 1);
    if (largest <= kSmallBox) {
        SuperSampleSmallBoxes(f);
        return;
    }
#endif
    Boxes(f, [&](uint32_t& out, const Span& cols, const Span& rows) {
        const uint64_t n = uint64_t(cols.last - cols.first) * uint64_t(rows.last - rows.first);
#if defined(__SSE2__)
        if (n <= 65536) {
            out = AverageBoxSse2(f, cols, rows, float(n));
            return;
        }
#endif
        const BoxSums s = SumBox(f, cols, rows);
        out = uint32_t(s.a / n) << 24 | uint32_t(s.r / n) << 16 | uint32_t(s.g / n) << 8 |
              uint32_t(s.b / n);
    });
}

// Colours weighted by alpha; a box with no coverage is transparent black
// (or, composited, leaves the destination alone).
template <class Out> void HiQBoxes(const Frame& f) {
    Boxes(f, [&](uint32_t& out, const Span& cols, const Span& rows) {
        uint64_t a = 0, r = 0, g = 0, b = 0;
        for (int32_t j = rows.first; j < rows.last; ++j) {
            const uint32_t* row = f.SrcRow(j);
            for (int32_t i = cols.first; i < cols.last; ++i) {
                const uint32_t p = row[i];
                const uint64_t pa = p >> 24;
                a += pa;
                r += ((p >> 16) & 0xFF) * pa;
                g += ((p >> 8) & 0xFF) * pa;
                b += (p & 0xFF) * pa;
            }
        }
        const uint64_t n = uint64_t(cols.last - cols.first) * uint64_t(rows.last - rows.first);
        if (a == 0) {
            Out::Put(out, 0);
            return;
        }
        Out::Put(out, uint32_t(a / n) << 24 | uint32_t(r / a) << 16 | uint32_t(g / a) << 8 |
                          uint32_t(b / a));
    });
}

template <class Out> error HiQ(CImNav* dst, CImNav* src) {
    Frame f;
    if (!f.Set(dst, src)) {
        return eNoError;
    }
    if (f.xstep > 0x1FFFF && f.ystep > 0x1FFFF) {
        HiQBoxes<Out>(f);
    } else {
        Bilinear<SafeBlend, Out>(f);
    }
    return eNoError;
}

} // namespace

error CStretcher::StretchBlit(CImNav* dst, CImNav* src, int32_t quality) {
    Frame f;
    if (!f.Set(dst, src)) {
        return eNoError;
    }
    if (quality && f.xstep > 0x1FFFF && f.ystep > 0x1FFFF) {
        SuperSampleFrame(f);
        return eNoError;
    }
    BilinearFast(f);
    return eNoError;
}

error CStretcher::SuperSample(CImNav* dst, CImNav* src) {
    Frame f;
    if (f.Set(dst, src)) {
        SuperSampleFrame(f);
    }
    return eNoError;
}

error CStretcher::StretchHiQ(CImNav* dst, CImNav* src) {
    return HiQ<Store>(dst, src);
}

error CStretcher::StretchHiQBlend(CImNav* dst, CImNav* src) {
    return HiQ<Composite>(dst, src);
}
