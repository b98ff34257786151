#include "tools/PaintingTool.h"

#include "paint/canvas/Canvas.h"
#include "tools/detail/MarkClear.h"

error CPaintingTool::ModSetting(int32_t delta) {
    int32_t step = m_nToolSize + delta;
    if (step == kLargestStep + 1) {
        step = 0;
    } else if (step == -1) {
        step = kLargestStep;
    }
    m_nToolSize = step < 0 ? 0 : (step > kLargestStep ? kLargestStep : step);
    return eNoError;
}

error CPaintingTool::SetToolSize(int32_t size) {
    m_nToolSize = size < 0 ? 0 : (size > kLargestStep ? kLargestStep : size);
    return eNoError;
}

error CPaintingTool::DabEnd() {
    for (float& end : m_aPreviousEdge) {
        end = -1.0f;
    }
    m_nDabNum = 0;
    if (m_pLayer3 && m_nLayerWidth > 0 && m_nLayerHeight > 0) {
        uint32_t* const layer = reinterpret_cast<uint32_t*>(m_pLayer3);
        const size_t width = size_t(m_nLayerWidth);
        m_StrokeTiles.Take(m_nLayerWidth, m_nLayerHeight, [&](int32_t y, int32_t x0, int32_t x1) {
            tooldetail::ClearMarks(layer + size_t(y) * width + size_t(x0), x1 - x0);
        });
    }
    return eNoError;
}

error CPaintingTool::ProtectStrokeArea(CCanvas& canvas, gCRect& rect) {
    m_StrokeTiles.Add(rect, m_nLayerWidth, m_nLayerHeight);
    return canvas.ProtectArea(rect);
}

error CPaintingTool::SetupPainting(const char* name, int32_t sizeStep, float spacing) {
    if (const error e = m_Name.CopyString(name); e != eNoError) {
        return e;
    }
    m_nToolSize = sizeStep;
    m_rPointSpacing = spacing;
    m_nStrokeNum = 0;
    m_rDirectionX = m_rDirectionY = 0.0f;
    ClearSources();
    return eNoError;
}

int32_t CReloadTool::ProcessLocalData(uint32_t id, const void*, int64_t, int32_t) {
    if (id == eMsgPaintColour) {
        m_fColourChanged = 1;
    }
    return 0;
}

error CReloadTool::SetupReload(const char* name, int32_t flags, float spacing) {
    if (const error e = SetupPainting(name, 1, spacing); e != eNoError) {
        return e;
    }
    m_fReload = flags;
    m_fColourChanged = flags;
    m_nNoisePosition = 0;
    return eNoError;
}

bool CBrushTool::ResetBrushLoad() {
    if (m_nStrokeNum != 0 && m_fReload != 1 && m_fColourChanged != 1) {
        return false;
    }
    for (CPixel& slot : m_aBrushLoad) {
        slot = 0u;
    }
    m_fColourChanged = 0;
    return true;
}

void CPaintingTool::StartEdge(const pointStruct& p) {
    m_aPreviousEdge[0] = m_aPreviousEdge[2] = p.x;
    m_aPreviousEdge[1] = m_aPreviousEdge[3] = p.y;
    m_rPreviousPressureResponse = -1.0f;
    m_rSmoothedWidth = 0.0f;
}
