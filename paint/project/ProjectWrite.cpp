// Writing a project file: the header lines, the version and the blocks, into
// a whole new file that replaces the previous one only once it is complete.

#include <utility>

#include "FileIO/gCFRef.h"
#include "FileIO/gCFile.h"
#include "FileIO/gCFileIO.h"
#include "FileIO/gCMemFile.h"
#include "FileIO/gCPersistencyUtils.h"
#include "foundation/Input.h"
#include "foundation/MessageIds.h"
#include "imaging/PngIO.h"
#include "paint/Backbone.h"
#include "paint/PaintTool.h"
#include "paint/canvas/Canvas.h"
#include "paint/project/ProjectFile.h"

namespace {

int32_t Tag(uint32_t id) {
    return int32_t(id);
}

// A block whose payload is an image, encoded straight into the file: the
// length goes in once the image is written. 0, the encoder's error (5
// without memory, 15 when the file refuses a write) or the stream's.
error WriteImageBlock(gCFile& file, uint32_t id, CImage& image,
                      const gCPngIO::SWriteOptions& options) {
    if (const error e = file.WriteInt32(Tag(id)); e != eNoError) {
        return e;
    }
    const int64_t lengthAt = file.GetFilePos();
    if (lengthAt < 0) {
        return eFileReadWriteError;
    }
    if (const error e = file.WriteInt64(0); e != eNoError) {
        return e;
    }
    gCPngIO codec(options);
    if (const error e = codec.WriteImage(file, image); e != eNoError) {
        return e;
    }
    const int64_t end = file.GetFilePos();
    if (end < 0) {
        return eFileReadWriteError;
    }
    if (const error e = file.SetFilePos(lengthAt); e != eNoError) {
        return e;
    }
    if (const error e = file.WriteInt64(end - lengthAt - 8); e != eNoError) {
        return e;
    }
    return file.SetFilePos(end);
}

} // namespace

error CSMKBackbone::SaveProject(CProjectInfo* info) {
    if (!info) {
        return eBadParameter;
    }
    // The project takes the name and file it is saved as, also when the
    // save then fails: the next save goes to that file.
    gCString name;
    if (name.CopyStringFromBuffer(info->m_Name.GetBuffer(), info->m_Name.GetLength()) != eNoError) {
        return eOutOfMemory;
    }
    gCFRef file(info->m_File);
    if (info->m_File.IsValid() && !file.IsValid()) {
        return eOutOfMemory;
    }
    std::swap(m_ProjectInfo.m_Name, name);
    std::swap(m_ProjectInfo.m_File, file);

    // The interface has chosen the file: no dialog is shown here.
    gCFRef target(m_ProjectInfo.m_File);
    if (!target.IsValid()) {
        return eBadParameter;
    }
    gCFile out;
    const error opened = gCFileIO::InitSaveFile(out, target, nullptr, eAccessWholeNew);
    if (CTabletSource* tablet = TabletServices()) {
        (void)tablet->SetupServices(1); // re-arming answers 0
    }
    if (opened != eNoError) {
        return opened;
    }
    if (const error e = WriteProject(out); e != eNoError) {
        // Whatever stopped it (a write, the encoder, memory), the previous
        // file stays as it was.
        out.Discard();
        return e;
    }
    // In place only now: the rename is the close's last step.
    return out.Close();
}

error CSMKBackbone::WriteProject(gCFile& out) {
    gCString header;
    if (const error e = header.CopyString(ptgfile::kHeaderText); e != eNoError) {
        return e;
    }
    if (const error e = out.WriteString(header, 1); e != eNoError) {
        return e;
    }
    if (const error e = out.WriteString(ptgfile::ApplicationName(), 1); e != eNoError) {
        return e;
    }
    if (const error e = out.WriteUint32(ptgfile::kVersion); e != eNoError) {
        return e;
    }

    {
        gCMemFile payload;
        error e = payload.WriteString(m_ProjectInfo.m_Name, 0);
        if (e == eNoError) {
            e = payload.WriteUint32(uint32_t(m_ProjectInfo.m_nWidth));
        }
        if (e == eNoError) {
            e = payload.WriteUint32(uint32_t(m_ProjectInfo.m_nHeight));
        }
        if (e == eNoError) {
            e = gCPersistencyUtils::WritePersistencyBlock(
                &out, Tag(eRecProject),
                reinterpret_cast<const char*>(payload.GetMemBlock()->GetData()),
                int32_t(payload.GetSize()));
        }
        if (e != eNoError) {
            return e;
        }
    }
    if (const error e = gCPersistencyUtils::WritePersistencyData(&out, Tag(eRecColour),
                                                                 uint32_t(m_CurrentColour));
        e != eNoError) {
        return e;
    }
    if (CPaintTool* tool = m_pCurrentTool) {
        for (const auto& [id, value] :
             {std::pair{eRecToolType, tool->Type()}, std::pair{eRecToolSize, tool->ToolSize()},
              std::pair{eRecStrokeNum, tool->StrokeNum()}}) {
            if (const error e = gCPersistencyUtils::WritePersistencyData(&out, Tag(id), value);
                e != eNoError) {
                return e;
            }
        }
    }
    CCanvas* canvas = m_pCanvas.get();
    if (!canvas) {
        return eNoError;
    }
    if (const error e = gCPersistencyUtils::WritePersistencyData(&out, Tag(eRecCanvasSetting),
                                                                 canvas->PaperColour());
        e != eNoError) {
        return e;
    }
    for (const auto& [id, value] : {std::pair{eRecLight1, canvas->GrainRelief()},
                                    std::pair{eRecLight2, canvas->PaperHighlight()},
                                    std::pair{eRecLight3, canvas->PaperEnvironment()}}) {
        if (const error e = gCPersistencyUtils::WritePersistencyData(&out, Tag(id), value);
            e != eNoError) {
            return e;
        }
    }
    const gCPngIO::SWriteOptions layerOptions = ptgfile::LayerWriteOptions();
    for (int32_t i = 0; i < ptgfile::kLayerCount; ++i) {
        if (CImage* layer = canvas->Layer(i)) {
            if (const error e =
                    WriteImageBlock(out, eRecLayer0 + uint32_t(i), *layer, layerOptions);
                e != eNoError) {
                return e;
            }
        }
    }
    for (const auto& [id, value] : {std::pair{eRecTracingMode, canvas->TracingDisplay()},
                                    std::pair{eRecTracingSetting2, canvas->TracingColourPick()},
                                    std::pair{eRecTracingSetting3, canvas->TracingFitMode()}}) {
        if (const error e = gCPersistencyUtils::WritePersistencyData(&out, Tag(id), value);
            e != eNoError) {
            return e;
        }
    }
    if (CImage* tracing = canvas->TracingImage()) {
        return WriteImageBlock(out, eRecTracingImage, *tracing, gCPngIO::SWriteOptions());
    }
    return eNoError;
}
