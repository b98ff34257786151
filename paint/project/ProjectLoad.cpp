// Loading a project: the file is read whole and checked, its images decoded
// aside, and everything the new painting needs is made while the open one
// is still untouched. Only then are the blocks applied, in file order, as
// the data channel's messages a new project, a tool choice or a tracing
// image would send.

#include <bit>
#include <utility>

#include "FileIO/gCFRef.h"
#include "FileIO/gCFile.h"
#include "FileIO/gCFileIO.h"
#include "foundation/Input.h"
#include "foundation/MessageIds.h"
#include "paint/Backbone.h"
#include "paint/ChannelValue.h"
#include "paint/PaintTool.h"
#include "paint/canvas/Canvas.h"
#include "paint/canvas/CanvasLayers.h"
#include "paint/project/ProjectFile.h"

error CSMKBackbone::LoadProject(CProjectInfo* info) {
    if (!info) {
        return eBadParameter;
    }
    // The interface has chosen the file: no dialog is shown here.
    gCFRef ref(info->m_File);
    if (!ref.IsValid()) {
        return info->m_File.IsValid() ? eOutOfMemory : eBadParameter;
    }
    gCFile file;
    const error opened = gCFileIO::InitLoadFile(file, ref, nullptr, eAccessReadOnly);
    if (CTabletSource* tablet = TabletServices()) {
        (void)tablet->SetupServices(1); // re-arming answers 0
    }
    if (opened != eNoError) {
        return opened;
    }
    ptgfile::SContents contents;
    if (const error e = ReadProject(file, contents); e != eNoError) {
        return e;
    }
    // Read only: closing loses nothing, whatever it answers.
    (void)file.Close();
    return ApplyProject(contents, *info);
}

// What a load makes before it changes anything: the name and file, and the
// canvas's layers around the decoded ones (missing: bit i for a layer the
// file did not hold).
struct CSMKBackbone::SLoadedParts {
    gCString name;
    gCFRef file;
    std::unique_ptr<CCanvasLayers> layers;
    uint32_t missing = 0;
};

error CSMKBackbone::ApplyProject(ptgfile::SContents& contents, CProjectInfo& info) {
    SLoadedParts parts;
    if (const error e = PrepareLoad(contents, info, parts); e != eNoError) {
        return e;
    }

    // From here on the painting is the file's.
    if (m_pCanvas) {
        m_pCanvas->RemoveCloneSource(0);
    }
    std::swap(m_ProjectInfo.m_Name, parts.name);
    std::swap(m_ProjectInfo.m_File, parts.file);
    m_ProjectInfo.m_nWidth = 0;
    m_ProjectInfo.m_nHeight = 0;
    for (int32_t i = 0; i < contents.entries.GetSize(); ++i) {
        if (const int32_t result = ApplyEntry(contents, i, parts); result != 0) {
            return error(result);
        }
    }

    // The colour picker and the tools take the loaded colour; the composite
    // is lit from the loaded layers and settings.
    if (const int32_t r = ProcessData(eMsgPaintColour, this, uint32_t(m_CurrentColour), 1)) {
        return error(r);
    }
    return error(ProcessData(eCmdRedrawCanvas, this, 0, 0));
}

error CSMKBackbone::PrepareLoad(ptgfile::SContents& contents, CProjectInfo& info,
                                SLoadedParts& parts) {
    // Everything that can fail comes first: the name and file, the canvas's
    // layers around the decoded ones, every tool the file selects, and the
    // undo ring of the new size (whose sizing is the last step that may
    // fail, since it forgets the history).
    if (parts.name.CopyStringFromBuffer(info.m_Name.GetBuffer(), info.m_Name.GetLength()) !=
        eNoError) {
        return eOutOfMemory;
    }
    parts.file = gCFRef(info.m_File);
    if (info.m_File.IsValid() && !parts.file.IsValid()) {
        return eOutOfMemory;
    }
    for (int32_t i = 0; i < ptgfile::kLayerCount; ++i) {
        parts.missing |= contents.layers[i] ? 0u : 1u << i;
    }
    if (m_pCanvas) {
        if (const error e = CCanvasLayers::Adopt(contents.width, contents.height, contents.layers,
                                                 parts.layers);
            e != eNoError) {
            return e;
        }
    }
    for (const ptgfile::SContents::SEntry& entry : contents.entries) {
        if (entry.id == eRecToolType) {
            const int32_t tool = SelectableTool(entry.value);
            if (!GetTool(tool) && !CreateTool(tool)) {
                return eCreateFailed; // CreateTool has shown why
            }
        }
    }
    return SizeUndoRing(contents.width, contents.height);
}

int32_t CSMKBackbone::ApplyEntry(ptgfile::SContents& contents, int32_t index, SLoadedParts& parts) {
    const ptgfile::SContents::SEntry entry = contents.entries[index];
    int32_t value = int32_t(entry.value);
    switch (entry.id) {
    case eRecProject:
        return StartLoadedProject(std::move(parts.layers), parts.missing, contents.width,
                                  contents.height);
    case eRecColour:
        m_CurrentColour = entry.value;
        return 0;
    case eRecToolType:
        return ProcessData(eCmdSelectTool, this, SelectableTool(entry.value), 1);
    case eRecToolSize:
        return m_pCurrentTool ? m_pCurrentTool->SetToolSize(value) : 0;
    case eRecStrokeNum:
        if (m_pCurrentTool) {
            m_pCurrentTool->SetStrokeNum(value);
        }
        return 0;
    case eRecCanvasSetting:
    case eRecLight1:
    case eRecLight2:
    case eRecLight3:
        if (m_pCanvas) {
            ApplyCanvasEntry(*m_pCanvas, entry.id, entry.value);
        }
        return 0;
    case eRecTracingMode:
        return ProcessData(eCmdTracingMode, this, int64_t(entry.value), 1);
    case eRecTracingSetting2:
        return ProcessData(eCmdTracingSetting2, this, ChannelValueOf(&value), 1);
    case eRecTracingSetting3:
        // Stored as read: the display knows what to make of other modes.
        return ProcessData(eCmdTracingSetting3, this, ChannelValueOf(&value), 1);
    case eRecTracingImage:
        // Only the last one stays; an earlier one would be replaced.
        if (index == contents.tracingEntry && contents.tracing) {
            CImage* image = contents.tracing.get();
            const int32_t result = ProcessData(eCmdTracingImage, this, ChannelValueOf(image), 1);
            if (m_pCanvas && m_pCanvas->TracingImage() == image) {
                (void)contents.tracing.release(); // the canvas owns it now
            }
            return result;
        }
        return 0;
    default:
        return 0; // the layers are in place already
    }
}

void CSMKBackbone::ApplyCanvasEntry(CCanvas& canvas, uint32_t id, uint32_t value) {
    const float stored = std::bit_cast<float>(value);
    switch (id) {
    case eRecCanvasSetting:
        canvas.SetPaperColour(value);
        break;
    case eRecLight1:
        canvas.SetGrainRelief(ptgfile::LightFromFile(stored, ptgfile::kDefaultGrainRelief));
        break;
    case eRecLight2:
        canvas.SetPaperHighlight(ptgfile::LightFromFile(stored, ptgfile::kDefaultPaperHighlight));
        break;
    case eRecLight3:
        canvas.SetPaperEnvironment(
            ptgfile::LightFromFile(stored, ptgfile::kDefaultPaperEnvironment));
        break;
    default:
        break;
    }
}

int32_t CSMKBackbone::StartLoadedProject(std::unique_ptr<CCanvasLayers> layers, uint32_t missing,
                                         int32_t width, int32_t height) {
    // What a new project of the file's size does, with the file's layers in
    // place of blank ones; the undo ring has its size already.
    m_ProjectInfo.m_nWidth = width;
    m_ProjectInfo.m_nHeight = height;
    // The brush takes the colour afresh; whether the tool heard it changes
    // nothing here.
    (void)ProcessData(eCmdCleanBrush, this, 0, 1);
    ClearModified();
    if (m_pCanvas) {
        m_pCanvas->AdoptProject(std::move(layers), m_ProjectInfo, missing);
        // A new project without a tracing path tells the chain it has no
        // tracing image.
        if (const int32_t r = ProcessData(eCmdClearTracing, m_pCanvas.get(), 0, 1)) {
            return r;
        }
    }
    return PassBeyondCanvas(eCmdNewProject, this, ChannelValueOf(&m_ProjectInfo), 1);
}
