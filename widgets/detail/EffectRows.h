#pragma once
// The row walks of the shadow and glow drawing. Both forms visit the pixels
// of an owner-local rectangle that lies on the target and hand each row to
// a row function with the owner-local position of its first pixel:
//   - by tables: the pixels whose column and row have a fall-off table
//     entry (table index = local position + shift), with the row's entry
//     and the column entries;
//   - by cache: the pixels that fall on the cache (cache position = local
//     position + shift), with the cache's reader standing on the first.
// Positions are worked out in 64 bits, so no shift wraps round; pixels
// outside the tables or the cache are not visited.

#include <algorithm>
#include <cstdint>

#include "foundation/CMemBlock.h"
#include "foundation/Geometry.h"
#include "imaging/ImNav.h"
#include "imaging/Pixel.h"
#include "imaging/RLE8.h"

namespace effectdetail {

// The columns [first, last) of r whose position + shift lies in [0, size).
inline bool Covered(int64_t from, int64_t to, int64_t shift, int64_t size, int64_t& first,
                    int64_t& last) {
    first = std::max(from, -shift);
    last = std::min(to, size - shift);
    return first < last;
}

// row(CPixel* dst, const float* tx, int32_t count, float ty, int32_t x, int32_t y)
template <class Row>
void TableRows(CImNav& view, const gCRect& r, const CMemBlockT<float>& xTable,
               const CMemBlockT<float>& yTable, int64_t shiftX, int64_t shiftY, Row&& row) {
    int64_t x0 = 0;
    int64_t x1 = 0;
    int64_t y0 = 0;
    int64_t y1 = 0;
    if (!Covered(r.left, r.right, shiftX, xTable.GetCount(), x0, x1) ||
        !Covered(r.top, r.bottom, shiftY, yTable.GetCount(), y0, y1)) {
        return;
    }
    const float* tx = xTable.GetData() + (x0 + shiftX);
    for (int64_t y = y0; y < y1; ++y) {
        CPixel* dst = view.Row(int32_t(y - r.top)) + (x0 - r.left);
        row(dst, tx, int32_t(x1 - x0), yTable.GetData()[y + shiftY], int32_t(x0), int32_t(y));
    }
}

// row(CPixel* dst, CRLE8& cache, int32_t count, int32_t x, int32_t y)
template <class Row>
void CacheRows(CImNav& view, const gCRect& r, CRLE8& cache, int64_t shiftX, int64_t shiftY,
               Row&& row) {
    int64_t x0 = 0;
    int64_t x1 = 0;
    int64_t y0 = 0;
    int64_t y1 = 0;
    if (!Covered(r.left, r.right, shiftX, cache.GetWidth(), x0, x1) ||
        !Covered(r.top, r.bottom, shiftY, cache.GetHeight(), y0, y1)) {
        return;
    }
    for (int64_t y = y0; y < y1; ++y) {
        CPixel* dst = view.Row(int32_t(y - r.top)) + (x0 - r.left);
        cache.StartRLE(int32_t(x0 + shiftX), int32_t(y + shiftY));
        row(dst, cache, int32_t(x1 - x0), int32_t(x0), int32_t(y));
    }
}

// The blend hooks, or the default hook's arithmetic inlined when it is the
// one installed; both give the same pixels.
struct SHookBlend {
    CPixel::BlendProcPtr proc;
    void operator()(CPixel* dst, CPixel src) const { proc(dst, src); }
};
struct SInlineBlend {
    void operator()(CPixel* dst, CPixel src) const { CPixel::BlendProc(dst, src); }
};
struct SHookBlend255 {
    CPixel::Blend255ProcPtr proc;
    void operator()(CPixel* dst, int32_t level, CPixel src) const { proc(dst, level, src); }
};
struct SInlineBlend255 {
    void operator()(CPixel* dst, int32_t level, CPixel src) const {
        CPixel::Blend255Proc(dst, level, src);
    }
};

// Calls draw(blend) with the current BlendProc hook, inlined when default.
template <class Draw> void WithBlend(Draw&& draw) {
    if (CPixel::m_pBlendProc == &CPixel::BlendProc) {
        draw(SInlineBlend{});
    } else {
        draw(SHookBlend{CPixel::m_pBlendProc});
    }
}
template <class Draw> void WithBlend255(Draw&& draw) {
    if (CPixel::m_pBlend255Proc == &CPixel::Blend255Proc) {
        draw(SInlineBlend255{});
    } else {
        draw(SHookBlend255{CPixel::m_pBlend255Proc});
    }
}

} // namespace effectdetail
