#pragma once
// The 16 x 16 tiles of the layers a stroke protected for undo: every pixel
// it changes lies in one, so the end of the stroke clears its per-stroke
// marks there alone instead of over the whole canvas. When the map cannot
// be made, or the layers change size mid-stroke, every tile counts.

#include <cstdint>

#include "foundation/CMemBlock.h"
#include "foundation/Geometry.h"

class CStrokeTiles {
public:
    static constexpr int32_t kSide = 16;

    // Notes the tiles of a width x height layer that rect touches (right
    // and bottom exclusive, clipped to the layer).
    void Add(const gCRect& rect, int32_t width, int32_t height);

    // Calls run(y, x0, x1) for the pixels x0 .. x1 - 1 of row y of every
    // run of noted tiles of a width x height layer (every row whole when
    // every tile counts), then forgets them.
    template <class F> void Take(int32_t width, int32_t height, F&& run) {
        if (m_fWhole || width != m_nWidth || height != m_nHeight) {
            if (m_fWhole || m_fAny) {
                for (int32_t y = 0; y < height; ++y) {
                    run(y, 0, width);
                }
            }
        } else if (m_fAny) {
            const uint8_t* map = m_Map.GetData();
            for (int32_t ty = 0; ty < m_nRows; ++ty) {
                const uint8_t* line = map + ptrdiff_t(ty) * m_nColumns;
                const int32_t y1 = ty * kSide + kSide < height ? ty * kSide + kSide : height;
                for (int32_t tx = 0; tx < m_nColumns;) {
                    if (!line[tx]) {
                        ++tx;
                        continue;
                    }
                    const int32_t first = tx;
                    while (tx < m_nColumns && line[tx]) {
                        ++tx;
                    }
                    const int32_t x1 = tx * kSide < width ? tx * kSide : width;
                    for (int32_t y = ty * kSide; y < y1; ++y) {
                        run(y, first * kSide, x1);
                    }
                }
            }
        }
        Forget();
    }

    bool Whole() const { return m_fWhole; }

private:
    void Forget();

    CMemBlockT<uint8_t> m_Map;
    int32_t m_nWidth = 0, m_nHeight = 0;
    int32_t m_nColumns = 0, m_nRows = 0;
    bool m_fAny = false;
    bool m_fWhole = false;
};
