// Scaling between 32-bit views: bilinear StretchBlit, the box filters of
// SuperSample and StretchHiQ, and the alpha-safe bilinear blend.

#include "imaging/Pixel.h"
#include "imaging/PixelPaths.h"
#include "imaging/Stretcher.h"
#include "imaging/detail/PackedBlend.h"
#include "imaging/detail/StretchBilinear.h"
#include "imaging/detail/StretchSampling.h"
#include "imaging/detail/SuperSample.h"

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

void stretch::SuperSampleFrame(const Frame& f) {
#if DAUBLIN_HAVE_SSE2
    if (CPixelPaths::Active() >= CPixelPaths::eSse2) {
        SuperSampleSse2(f);
        return;
    }
#endif
    SuperSamplePlain(f);
}

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
