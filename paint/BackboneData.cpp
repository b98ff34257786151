// The backbone's part of the data channel: its own ids, then the chain.

#include <utility>

#include "foundation/ErrorReport.h"
#include "foundation/Input.h"
#include "paint/Backbone.h"
#include "paint/ChannelValue.h"
#include "paint/PaintTool.h"
#include "paint/canvas/Canvas.h"
#include "paint/relight/Renderer.h"

namespace {

// The tool-array position each per-tool linear-size id addresses, from
// eRecLinearSizeOil on.
constexpr int32_t kLinearSizePositions[] = {0, 1, 5, 2, 4, 3, 6};

bool IsLinearSizeId(uint32_t id) {
    return id >= eRecLinearSizeOil && id <= eRecLinearSizePens;
}

// Ids whose value is an address: always, or for a get.
bool CarriesAddress(uint32_t id, int32_t set) {
    switch (id) {
    case eCmdNewProject:
    case eCmdSaveProject:
    case eCmdLoadProject:
    case eCmdModified:
    case eCmdAutoClean:
    case eCmdPressureWeight:
        return true;
    case eCmdGetProjectInfo:
    case eCmdGetColour:
    case eCmdGetToolType:
    case eCmdMailAvailable:
        return !set;
    default:
        return IsLinearSizeId(id);
    }
}

} // namespace

int32_t CSMKBackbone::ProcessData(uint32_t id, const void* sender, int64_t value, int32_t set) {
    if (value == 0 && CarriesAddress(id, set)) {
        return eBadParameter;
    }
    if (IsLinearSizeId(id)) {
        return LinearSize(id, sender, value, set);
    }
    switch (id) {
    case eCmdInitBackbone:
        if (const error e = InitBackbone(); e != eNoError) {
            return e;
        }
        break;
    case eCmdNewProject:
        return NewProject(sender, value, set);
    case eCmdSaveProject:
        if (const error e = SaveProject(ChannelPointer<CProjectInfo>(value)); e != eNoError) {
            return e;
        }
        ClearModified();
        break;
    case eCmdLoadProject:
        if (const error e = LoadProject(ChannelPointer<CProjectInfo>(value)); e != eNoError) {
            return e;
        }
        ClearModified();
        break;
    case eCmdPrint:
    case eCmdPageSetup:
    case eCmdMailInit:
    case eCmdSendByMail:
    case eCmdMailAvailable:
        return PrintAndMail(id, sender, value, set);
    case eCmdExportImage:
        if (const error e = ExportImage(); e != eNoError) {
            return e;
        }
        break;
    case eCmdGetProjectInfo:
        if (set) {
            return 0;
        }
        *ChannelPointer<CProjectInfo*>(value) = &m_ProjectInfo;
        break;
    case eCmdClearCanvas:
        if (m_pCanvas) {
            // A canvas without layers has no paint to lose; the id still
            // goes on.
            (void)m_pCanvas->ClearCanvas();
        }
        MarkModified();
        break;
    case eCmdUndo:
    case eCmdRedo:
        // Nothing to undo or redo is no failure; the project counts as
        // changed either way.
        (void)DoUndoRedo(id == eCmdUndo ? 1 : 0);
        MarkModified();
        break;
    case eCmdMarkModified:
        if (set) {
            m_ProjectInfo.m_nModified = 1;
        }
        return 0;
    case eCmdModified:
        if (set) {
            m_ProjectInfo.m_nModified = *ChannelPointer<int32_t>(value);
        } else {
            *ChannelPointer<int32_t>(value) = m_ProjectInfo.m_nModified;
        }
        return 0;
    case eCmdAutoClean:
        if (set) {
            m_fAutoClean = *ChannelPointer<int32_t>(value);
        } else {
            *ChannelPointer<int32_t>(value) = m_fAutoClean;
        }
        break;
    case eCmdCleanBrush:
        if (m_pCurrentTool) {
            return m_pCurrentTool->ProcessData(eMsgPaintColour, this, uint32_t(m_CurrentColour), 1);
        }
        break;
    case eCmdGetColour:
        if (!set) {
            *ChannelPointer<uint32_t>(value) = m_CurrentColour;
        }
        break;
    case eCmdPressureWeight:
        if (set) {
            CTabletSource::m_rWeight = CTabletSource::ClampedWeight(*ChannelPointer<float>(value));
        } else {
            *ChannelPointer<float>(value) = CTabletSource::m_rWeight;
        }
        break;
    case eCmdSelectTool:
        if (const error e = SelectTool(int32_t(uint32_t(value))); e != eNoError) {
            (void)ReportError(e, "Backbone failed to pick up the requested tool."); // shown
            return e;
        }
        break;
    case eCmdNoTool:
        m_pCurrentTool = nullptr;
        break;
    case eCmdStrokeEnd:
        if (m_fAutoClean && m_pCurrentTool) {
            // Cleaning the brush only marks it for reloading; nothing to
            // report.
            (void)m_pCurrentTool->ProcessData(eMsgPaintColour, this, uint32_t(m_CurrentColour), 1);
        }
        MarkModified();
        break;
    case eCmdGetToolType:
        if (!set) {
            *ChannelPointer<int32_t>(value) = m_pCurrentTool ? m_pCurrentTool->Type() : -1;
        }
        break;
    case eCmdTracingImage:
    case eCmdClearTracing:
    case eCmdTracingMode:
    case eCmdTracingSetting2:
    case eCmdTracingSetting3:
        // The tracing image and its settings are kept in the project: a set
        // marks it, whoever sends it; a get reads and changes nothing.
        if (set) {
            MarkModified();
        }
        break;
    case eMsgPaintColour:
        m_CurrentColour = uint32_t(value);
        break;
    default:
        break;
    }
    return PassDown(id, sender, value, set);
}

int32_t CSMKBackbone::PassDown(uint32_t id, const void* sender, int64_t value, int32_t set) {
    if (m_pCanvas) {
        if (const int32_t r = m_pCanvas->ProcessData(id, sender, value, set)) {
            return r;
        }
    }
    return PassBeyondCanvas(id, sender, value, set);
}

int32_t CSMKBackbone::PassBeyondCanvas(uint32_t id, const void* sender, int64_t value,
                                       int32_t set) {
    if (m_pRenderer) {
        if (const int32_t r = m_pRenderer->ProcessData(id, sender, value, set)) {
            return r;
        }
    }
    if (m_pCurrentTool) {
        if (const int32_t r = m_pCurrentTool->ProcessData(id, sender, value, set)) {
            return r;
        }
    }
    return set ? SetUIData(id, sender, value) : 0;
}

int32_t CSMKBackbone::NewProject(const void* sender, int64_t value, int32_t set) {
    const CProjectInfo& info = *ChannelPointer<CProjectInfo>(value);
    // Everything the new project needs is made first: without memory the
    // current project stays as it is.
    gCString name;
    if (name.CopyStringFromBuffer(info.m_Name.GetBuffer(), info.m_Name.GetLength()) != eNoError) {
        return eOutOfMemory;
    }
    gCFRef file(info.m_File);
    if (info.m_File.IsValid() && !file.IsValid()) {
        return eOutOfMemory;
    }
    // The undo ring for the new size: without it the project stays as it
    // is, history included.
    if (const error e = SizeUndoRing(info.m_nWidth, info.m_nHeight); e != eNoError) {
        return e;
    }
    const int32_t oldWidth = m_ProjectInfo.m_nWidth, oldHeight = m_ProjectInfo.m_nHeight;
    const int32_t oldModified = m_ProjectInfo.m_nModified;
    const int32_t oldTracingDisplay = m_pCanvas ? m_pCanvas->TracingDisplay() : 0;
    m_ProjectInfo.m_nWidth = info.m_nWidth;
    m_ProjectInfo.m_nHeight = info.m_nHeight;
    std::swap(m_ProjectInfo.m_Name, name);
    std::swap(m_ProjectInfo.m_File, file);
    if (m_pCanvas && info.m_TracingPath.GetLength() > 0) {
        m_pCanvas->SetTracingDisplay(1);
    }
    // The brush takes the colour afresh; whether the tool heard it changes
    // nothing here.
    (void)ProcessData(eCmdCleanBrush, this, 0, 1);
    ClearModified();

    if (m_pCanvas) {
        if (const int32_t r = m_pCanvas->ProcessData(eCmdNewProject, sender, value, set)) {
            // The canvas kept the open painting: so does the backbone.
            m_ProjectInfo.m_nWidth = oldWidth;
            m_ProjectInfo.m_nHeight = oldHeight;
            std::swap(m_ProjectInfo.m_Name, name);
            std::swap(m_ProjectInfo.m_File, file);
            m_ProjectInfo.m_nModified = oldModified;
            m_pCanvas->SetTracingDisplay(oldTracingDisplay);
            // The painting that stays gets a ring of its own size again; its
            // history is gone with the ring that was sized for the other.
            if (SizeUndoRing(m_pCanvas->Width(), m_pCanvas->Height()) != eNoError) {
                m_UndoManager.Release();
            }
            return r;
        }
        // The canvas laid its paper and tracing image through the channel,
        // which marks: a new painting still starts unmodified.
        ClearModified();
    }
    return PassBeyondCanvas(eCmdNewProject, sender, value, set);
}

int32_t CSMKBackbone::LinearSize(uint32_t id, const void* sender, int64_t value, int32_t set) {
    const int32_t position = kLinearSizePositions[id - eRecLinearSizeOil];
    if (position >= m_aTools.GetSize()) {
        return 0; // no tool there: nothing changes
    }
    CPaintTool* tool = m_aTools[position];
    if (set) {
        tool->SetToolLinearSize(*ChannelPointer<float>(value));
    } else {
        *ChannelPointer<float>(value) = tool->ToolLinearSize();
    }
    return PassDown(id, sender, value, set);
}

void CSMKBackbone::MarkModified() {
    (void)ProcessData(eCmdMarkModified, this, 0, 1); // answered by the backbone: always 0
}

void CSMKBackbone::ClearModified() {
    int32_t zero = 0;
    (void)ProcessData(eCmdModified, this, ChannelValueOf(&zero), 1); // always 0
}
