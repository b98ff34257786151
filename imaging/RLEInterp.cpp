#include "imaging/RLEInterp.h"

#include <algorithm>

CRLE::SReader CRLEInterp::StartRow(int32_t x, int32_t y, CPixel& left, CPixel& right) {
    const int32_t w = m_pRLE->GetWidth();
    const int32_t cx = std::max(0, std::min(x, w - 1));
    const int32_t cy = std::max(0, std::min(y, m_pRLE->GetHeight() - 1));
    m_pRLE->StartRLE(cx, cy);
    left = m_pRLE->NextRLE();
    right = (x >= 0 && x < w - 1) ? m_pRLE->NextRLE() : left;
    return m_pRLE->SaveReader();
}

CPixel CRLEInterp::StepRow(CRLE::SReader& row) {
    m_pRLE->RestoreReader(row);
    const CPixel p = m_pRLE->NextRLE();
    row = m_pRLE->SaveReader();
    return p;
}

void CRLEInterp::StartInterp(int32_t x, int32_t y0, int32_t y1) {
    m_aRow[0] = StartRow(x, y0, m_nTopLeft, m_nTopRight);
    m_aRow[1] = StartRow(x, y1, m_nBottomLeft, m_nBottomRight);
    m_nX = x;
    m_nY0 = y0;
    m_nY1 = y1;
}

CPixel CRLEInterp::Interp(int32_t x, int32_t fx, int32_t fy) {
    if (int64_t(x) == int64_t(m_nX) + 1) {
        m_nTopLeft = m_nTopRight;
        m_nBottomLeft = m_nBottomRight;
        // Left of the image both neighbours stay the first pixel; at the
        // last column both are the last one.
        if (x >= 0 && x < m_pRLE->GetWidth() - 1) {
            m_nTopRight = StepRow(m_aRow[0]);
            m_nBottomRight = StepRow(m_aRow[1]);
        }
        m_nX = x;
    } else if (x != m_nX) {
        StartInterp(x, m_nY0, m_nY1);
    }
    const CPixel top = Lerp(m_nTopLeft, m_nTopRight, fx);
    const CPixel bottom = Lerp(m_nBottomLeft, m_nBottomRight, fx);
    return Lerp(top, bottom, fy);
}
