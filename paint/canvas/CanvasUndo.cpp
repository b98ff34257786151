// The canvas's side of undo: the protect calls and the invalidation spans
// an undo or redo marks for the relight (the display shows what changed).

#include <algorithm>

#include "paint/Backbone.h"
#include "paint/canvas/Canvas.h"

void CCanvas::StartProtect() {
    if (m_pBackbone) {
        m_pBackbone->StartProtect(0);
    }
}

error CCanvas::ProtectArea(gCRect& rect) {
    if (!m_pBackbone || !m_pLayers) {
        return eNoError;
    }
    return m_pBackbone->ProtectArea(
        rect, LayerView(CCanvasLayers::kColour), LayerView(CCanvasLayers::kHeight),
        LayerView(CCanvasLayers::kFinish), LayerView(CCanvasLayers::kGrain));
}

void CCanvas::EndProtect() {
    if (m_pBackbone) {
        m_pBackbone->EndProtect();
    }
}

void CCanvas::ResetInvLut() {
    if (m_pLayers && m_nFirstInvalidRow <= m_nLastInvalidRow) {
        int32_t* starts = m_pLayers->m_SpanStarts.GetData();
        int32_t* ends = m_pLayers->m_SpanEnds.GetData();
        const int32_t rows =
            int32_t(std::min(m_pLayers->m_SpanStarts.GetCount(), m_pLayers->m_SpanEnds.GetCount()));
        const int32_t first = std::max(0, m_nFirstInvalidRow);
        const int32_t last = std::min(rows - 1, m_nLastInvalidRow);
        for (int32_t y = first; y <= last; ++y) {
            starts[y] = 0x7FFFFFFF;
            ends[y] = -1;
        }
    }
    m_nFirstInvalidRow = 0x7FFFFFFF;
    m_nLastInvalidRow = -1;
}

void CCanvas::InvalidateSpans(const gCRect& rect) {
    if (!m_pLayers) {
        return;
    }
    const int32_t rows =
        int32_t(std::min(m_pLayers->m_SpanStarts.GetCount(), m_pLayers->m_SpanEnds.GetCount()));
    const int32_t left = std::max(0, rect.left);
    const int32_t right = std::min(m_nWidth - 1, rect.right - 1);
    const int32_t top = std::max(0, rect.top);
    const int32_t bottom = std::min({m_nHeight - 1, rows - 1, rect.bottom - 1});
    if (left > right || top > bottom) {
        return;
    }
    int32_t* starts = m_pLayers->m_SpanStarts.GetData();
    int32_t* ends = m_pLayers->m_SpanEnds.GetData();
    for (int32_t y = top; y <= bottom; ++y) {
        starts[y] = std::min(starts[y], left);
        ends[y] = std::max(ends[y], right);
    }
    m_nFirstInvalidRow = std::min(m_nFirstInvalidRow, top);
    m_nLastInvalidRow = std::max(m_nLastInvalidRow, bottom);
}
