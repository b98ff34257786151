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
#include "widgets/detail/LevelBlend.h"

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

// Where the levels of a row go: into the blend hook that is installed, or,
// when that is the default hook, into the fast loop that equals it.
class CLevelSink {
public:
    // Through m_pBlendProc, with the level as the colour's alpha.
    static CLevelSink ByAlpha(CPixel colour) {
        CLevelSink sink;
        sink.m_Rgb = uint32_t(colour) & 0x00FFFFFFu;
        sink.m_Src = sink.m_Rgb | 0xFF000000u;
        if (CPixel::m_pBlendProc != &CPixel::BlendProc) {
            sink.m_pBlend = CPixel::m_pBlendProc;
        }
        return sink;
    }
    // Through m_pBlend255Proc, with the colour as it is.
    static CLevelSink ByLevel(CPixel colour) {
        CLevelSink sink;
        sink.m_Src = colour;
        if (CPixel::m_pBlend255Proc != &CPixel::Blend255Proc) {
            sink.m_pBlend255 = CPixel::m_pBlend255Proc;
        }
        return sink;
    }

    void Put(CPixel* dst, const uint8_t* levels, int32_t count) const {
        if (m_pBlend) {
            for (int32_t i = 0; i < count; ++i) {
                m_pBlend(dst + i, CPixel(m_Rgb | (uint32_t(levels[i]) << 24)));
            }
        } else if (m_pBlend255) {
            for (int32_t i = 0; i < count; ++i) {
                m_pBlend255(dst + i, levels[i], m_Src);
            }
        } else {
            BlendLevels(dst, levels, count, m_Src);
        }
    }

private:
    CPixel::BlendProcPtr m_pBlend = nullptr;
    CPixel::Blend255ProcPtr m_pBlend255 = nullptr;
    uint32_t m_Rgb = 0;
    CPixel m_Src;
};

// Cuts a row of count pixels into chunks: fill(levels, first, n) writes the
// levels of pixels first .. first + n - 1, which then go to the sink.
template <class Fill>
void PutRow(const CLevelSink& sink, CPixel* dst, int32_t count, Fill&& fill) {
    uint8_t levels[kLevelChunk];
    for (int32_t first = 0; first < count; first += kLevelChunk) {
        const int32_t n = count - first < kLevelChunk ? count - first : kLevelChunk;
        fill(levels, first, n);
        sink.Put(dst + first, levels, n);
    }
}

} // namespace effectdetail
