#include "tools/detail/StrokeTiles.h"

#include <algorithm>
#include <cstring>

void CStrokeTiles::Add(const gCRect& rect, int32_t width, int32_t height) {
    if (m_fWhole || width <= 0 || height <= 0) {
        return;
    }
    if (width != m_nWidth || height != m_nHeight) {
        if (m_fAny) {
            m_fWhole = true; // the layers changed under the stroke
            return;
        }
        const int32_t columns = int32_t((int64_t(width) + kSide - 1) / kSide);
        const int32_t rows = int32_t((int64_t(height) + kSide - 1) / kSide);
        if (!m_Map.Resize(uint32_t(int64_t(columns) * rows), 1)) {
            m_fWhole = true;
            return;
        }
        m_nWidth = width;
        m_nHeight = height;
        m_nColumns = columns;
        m_nRows = rows;
    }
    const int32_t left = std::max(rect.left, 0), right = std::min(rect.right, width);
    const int32_t top = std::max(rect.top, 0), bottom = std::min(rect.bottom, height);
    if (left >= right || top >= bottom) {
        return;
    }
    uint8_t* map = m_Map.GetData();
    const int32_t tx1 = (right - 1) / kSide, ty1 = (bottom - 1) / kSide;
    for (int32_t ty = top / kSide; ty <= ty1; ++ty) {
        uint8_t* line = map + ptrdiff_t(ty) * m_nColumns;
        std::memset(line + left / kSide, 1, size_t(tx1 - left / kSide + 1));
    }
    m_fAny = true;
}

void CStrokeTiles::Forget() {
    if (m_fAny && m_Map.GetData()) {
        std::memset(m_Map.GetData(), 0, m_Map.GetByteSize());
    }
    m_fAny = false;
    m_fWhole = false;
}
