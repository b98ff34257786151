// The canvas's part of the data channel.

#include "FileIO/gCFRef.h"
#include "foundation/ErrorReport.h"
#include "paint/Backbone.h"
#include "paint/ChannelValue.h"
#include "paint/canvas/Canvas.h"
#include "paint/project/ProjectInfo.h"

namespace {

// Ids whose value is the address of the value set or of the variable got.
bool CarriesAddress(uint32_t id, int32_t set) {
    switch (id) {
    case eCmdNewProject:
    case eCmdCanvasTexture:
    case eCmdCanvasSetting:
    case eCmdTracingSetting2:
    case eCmdTracingSetting3:
    case eCmdDisplayScale:
    case eCmdLoadTracing:
        return true;
    case eCmdTracingMode:
    case eCmdGetTracing:
        return !set;
    default:
        return false;
    }
}

} // namespace

int32_t CCanvas::ProcessData(uint32_t id, const void*, int64_t value, int32_t set) {
    if (value == 0 && CarriesAddress(id, set)) {
        return eBadParameter;
    }
    int32_t handled = 0;
    if (const int32_t result = DisplayData(id, value, set, handled); handled) {
        return result;
    }
    switch (id) {
    case eCmdNewProject: {
        CProjectInfo* info = ChannelPointer<CProjectInfo>(value);
        if (const error e = CreateProject(info); e != eNoError) {
            (void)ReportError(e, "CCanvas Failed to set up a new project."); // shown; e goes back
            return e;
        }
        if (info->m_TracingPath.GetBuffer()) {
            m_fTracingDisplay = 1;
        }
        return 0;
    }
    case eCmdCanvasTexture:
        if (!set) {
            *ChannelPointer<uint32_t>(value) = m_nPaperTexture;
            return 0;
        }
        m_nPaperTexture = *ChannelPointer<uint32_t>(value);
        if (const error e = FillBumpWithCanvasTexture(1); e != eNoError) {
            return e;
        }
        return ProcessData(eCmdRedrawCanvas, this, 0, 0);
    case eCmdCanvasSetting:
        if (set) {
            m_nPaperColour = *ChannelPointer<uint32_t>(value);
        } else {
            *ChannelPointer<uint32_t>(value) = m_nPaperColour;
        }
        return 0;
    case eCmdSelectTool: {
        m_pCurrentTool = m_pBackbone ? m_pBackbone->CurrentTool() : nullptr;
        return 0;
    }
    case eCmdNoTool:
        m_pCurrentTool = nullptr;
        return 0;
    case eCmdCanvasPress:
        return CanvasPress();
    case eRecDragCanvas:
        return DragCanvas();
    case eCmdTracingMode:
        return TracingMode(value, set);
    case eCmdTracingSetting2:
        if (set) {
            m_fTracingColourPick = *ChannelPointer<int32_t>(value);
        } else {
            *ChannelPointer<int32_t>(value) = m_fTracingColourPick;
        }
        return 0;
    case eCmdGetTracing:
        if (!set) {
            *ChannelPointer<CImage*>(value) = m_pTracingImage;
        }
        return 0;
    case eCmdLoadTracing:
        return LoadCloneSource(ChannelPointer<gCFRef>(value));
    case eCmdTracingImage:
        return CloneSourceChanged(ChannelPointer<CImage>(value));
    case eCmdClearTracing:
        return CloneSourceChanged(nullptr);
    case eCmdImportImage:
        return set ? LoadPaintImage(ChannelPointer<CImage>(value), 0) : 0;
    case eCmdTracingSetting3:
        if (set) {
            m_nTracingFitMode = *ChannelPointer<int32_t>(value);
            ShowTracingChange();
        } else {
            *ChannelPointer<int32_t>(value) = m_nTracingFitMode;
        }
        return 0;
    default:
        return 0;
    }
}

int32_t CCanvas::TracingMode(int64_t value, int32_t set) {
    if (!set) {
        *ChannelPointer<int32_t>(value) = m_fTracingDisplay ? 1 : 0;
        return 0;
    }
    switch (int32_t(uint32_t(value))) {
    case 0:
    case 1: {
        const int32_t on = int32_t(uint32_t(value));
        if (m_fTracingDisplay != on) {
            m_fTracingDisplay = on;
            ShowTracingChange();
        }
        return 0;
    }
    case 2: {
        // The toggle goes round the whole chain, so the interface sees the
        // new state too.
        const int64_t next = m_fTracingDisplay ? 0 : 1;
        if (m_pBackbone) {
            return m_pBackbone->ProcessData(eCmdTracingMode, this, next, 1);
        }
        m_fTracingDisplay = int32_t(next);
        return 0;
    }
    default:
        return 0;
    }
}
