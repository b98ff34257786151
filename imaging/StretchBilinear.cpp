// The bilinear StretchBlit, split into its two stages: each source row is
// interpolated across once per block of destination columns and kept while
// destination rows use it, then each destination row blends its two
// interpolated source rows. The result is the packed bilinear blend to the
// bit: per channel, the packed forms compute exactly
// floor((a * (256 - f) + b * f) / 256) across and then down.

#include "imaging/detail/StretchBilinear.h"

#include <algorithm>

#include "imaging/PixelPaths.h"
#include "imaging/detail/PackedBlend.h"

namespace stretch {

void Columns::Set(const Frame& f, int32_t x0, int32_t n) {
    first = x0;
    count = n;
    inner0 = n;
    inner1 = n;
    uint32_t sx = uint32_t(x0) * uint32_t(f.xstep) - f.xoff;
    bool seenInner = false;
    for (int32_t i = 0; i < n; ++i, sx += uint32_t(f.xstep)) {
        ix[i] = sx >> 16;
        fx[i] = (sx >> 8) & 0xFF;
        for (int k = 0; k < 4; ++k) {
            weights[i][k] = uint16_t(256 - fx[i]);
            weights[i][k + 4] = uint16_t(fx[i]);
        }
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

namespace {

// The row loops of the active path.
const BilinearRows& RowsFor(CPixelPaths::EPath path) {
#if DAUBLIN_HAVE_SSE2
    if (path >= CPixelPaths::eSse2) {
        return kBilinearSse2;
    }
#else
    (void)path; // only the plain loops are built
#endif
    return kBilinearPlain;
}

// Two cached interpolated rows, each tagged with its source row.
struct RowCache {
    uint32_t rows[2][kBlock];
    const uint32_t* source[2] = {nullptr, nullptr};

    const uint32_t* Get(const BilinearRows& loops, const uint32_t* row, const uint32_t* keep,
                        const Columns& c) {
        for (int k = 0; k < 2; ++k) {
            if (source[k] == row) {
                return rows[k];
            }
        }
        const int k = source[0] == keep ? 1 : 0;
        loops.across(rows[k], row, c);
        source[k] = row;
        return rows[k];
    }
};

} // namespace

void BilinearFast(const Frame& f) {
    const BilinearRows& loops = RowsFor(CPixelPaths::Active());
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
                const uint32_t* up = cache.Get(loops, rows.upper, rows.lower, columns);
                const uint32_t* lo = cache.Get(loops, rows.lower, rows.upper, columns);
                loops.blendDown(out + columns.inner0, up + columns.inner0, lo + columns.inner0,
                                rows.fy, inner);
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
