// A new project on the canvas, and clearing the paint.

#include <utility>

#include "FileIO/gCFRef.h"
#include "foundation/gCCmdTarget.h"
#include "paint/ChannelValue.h"
#include "paint/canvas/Canvas.h"
#include "paint/project/ProjectInfo.h"

error CCanvas::CreateProject(CProjectInfo* info) {
    if (!info || info->m_nWidth <= 0 || info->m_nHeight <= 0) {
        return eBadParameter;
    }
    std::unique_ptr<CCanvasLayers> layers;
    const error made = CCanvasLayers::Make(info->m_nWidth, info->m_nHeight, layers);
    if (made != eNoError) {
        return made;
    }

    // The new set goes in; the old one waits until the project is whole.
    const int32_t oldWidth = m_nWidth, oldHeight = m_nHeight;
    const uint32_t oldTexture = m_nPaperTexture, oldPaper = m_nPaperColour;
    const int32_t oldFirst = m_nFirstInvalidRow, oldLast = m_nLastInvalidRow;
    std::swap(m_pLayers, layers);
    m_nWidth = info->m_nWidth;
    m_nHeight = info->m_nHeight;
    m_nPaperTexture = info->m_nPaperTexture > kLastPaperTexture ? 0 : info->m_nPaperTexture;
    m_nPaperColour = info->m_nCanvasSetting;
    m_nFirstInvalidRow = 0x7FFFFFFF;
    m_nLastInvalidRow = -1;
    // A paper that cannot be laid leaves grain 0 on a usable project.
    (void)FillBumpWithCanvasTexture(0);

    const error tracing = SetupTracing(*info);
    if (tracing != eNoError) {
        std::swap(m_pLayers, layers);
        m_nWidth = oldWidth;
        m_nHeight = oldHeight;
        m_nPaperTexture = oldTexture;
        m_nPaperColour = oldPaper;
        m_nFirstInvalidRow = oldFirst;
        m_nLastInvalidRow = oldLast;
        return tracing;
    }
    m_rDisplayScale = 1.0f;
    return eNoError;
}

error CCanvas::SetupTracing(CProjectInfo& info) {
    if (info.m_TracingPath.GetLength() > 0) {
        gCFRef ref(info.m_TracingPath);
        if (const int32_t r = SetBackboneData(eCmdLoadTracing, this, ChannelValueOf(&ref))) {
            return error(r);
        }
        return error(SetBackboneData(eCmdTracingMode, this, 2));
    }
    return error(SetBackboneData(eCmdClearTracing, this, 0));
}

error CCanvas::ClearCanvas() {
    for (int32_t i = CCanvasLayers::kColour; i <= CCanvasLayers::kGrain; ++i) {
        const CImNav* view = LayerView(i);
        if (!view || !view->IsLocked()) {
            return eOutOfMemory;
        }
    }
    // The whole canvas goes into one undo record before it changes.
    StartProtect();
    gCRect whole(0, 0, m_nWidth, m_nHeight);
    (void)ProtectArea(whole); // always 0
    EndProtect();
    CPixel* height = LayerView(CCanvasLayers::kHeight)->GetData();
    CPixel* grain = LayerView(CCanvasLayers::kGrain)->GetData();
    const size_t count = size_t(m_nWidth) * size_t(m_nHeight);
    for (size_t i = 0; i < count; ++i) {
        height[i] = uint32_t(height[i]) & 0xFFFF0000u;
        grain[i] = uint32_t(height[i]) >> 16;
    }
    (void)Layer(CCanvasLayers::kColour)->Zero(); // zeroing always succeeds
    (void)Layer(CCanvasLayers::kFinish)->Zero();
    return RedrawCanvas();
}
