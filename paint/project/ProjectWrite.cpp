// Writing a project file: the header lines, the version and the blocks, into
// a whole new file that replaces the previous one only once it is complete.
// With more than one thread the four layer images are encoded together on
// the workers, each into memory, and written in order; with one, straight
// into the file. The tracing image is encoded here.

#include <algorithm>
#include <cstdint>
#include <memory>
#include <new>
#include <string>
#include <utility>

#include "FileIO/gCFRef.h"
#include "FileIO/gCFile.h"
#include "FileIO/gCFileIO.h"
#include "FileIO/gCMemFile.h"
#include "FileIO/gCPersistencyUtils.h"
#include "foundation/Input.h"
#include "foundation/MessageIds.h"
#include "imaging/ImNav.h"
#include "imaging/PngIO.h"
#include "paint/Backbone.h"
#include "paint/PaintTool.h"
#include "paint/canvas/Canvas.h"
#include "paint/detail/Workers.h"
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

// The payload of a block written whole after its id and length, in pieces
// the stream takes.
error WriteBlockFrom(gCFile& file, uint32_t id, const unsigned char* data, int64_t size) {
    if (const error e = file.WriteInt32(Tag(id)); e != eNoError) {
        return e;
    }
    if (const error e = file.WriteInt64(size); e != eNoError) {
        return e;
    }
    constexpr int64_t kPiece = int64_t(1) << 30;
    for (int64_t at = 0; at < size; at += kPiece) {
        if (const error e = file.WriteBlock(data + at, int32_t(std::min(kPiece, size - at)));
            e != eNoError) {
            return e;
        }
    }
    return eNoError;
}

// The canvas's layers encoded together, each into a memory stream of its
// own, on the workers: they run libpng and zlib alone on pixels and
// streams made here, and report through their results. The error of the
// first failing layer in file order, or 0.
struct SEncodedLayers {
    struct SJob {
        std::unique_ptr<gCMemFile> stream;
        std::unique_ptr<CImNav> view;
        std::string title;
        const uint32_t* pixels = nullptr;
        int32_t width = 0, height = 0;
        error result = eNoError;
    };
    SJob jobs[ptgfile::kLayerCount];

    error Encode(CCanvas& canvas, const gCPngIO::SWriteOptions& options) {
        int32_t count = 0;
        SJob* active[ptgfile::kLayerCount] = {};
        for (int32_t i = 0; i < ptgfile::kLayerCount; ++i) {
            CImage* layer = canvas.Layer(i);
            if (!layer) {
                continue;
            }
            SJob& job = jobs[i];
            job.stream.reset(new (std::nothrow) gCMemFile());
            job.view.reset(new (std::nothrow) CImNav(layer));
            if (!job.stream || !job.view || !job.view->IsLocked() || !job.view->GetData()) {
                return eOutOfMemory;
            }
            job.title = layer->GetResName().Ascii();
            // Room for the whole PNG, so that the worker need not move a
            // growing block: the filtered rows, deflate's worst growth and
            // the chunks around them. Pages never written are never
            // touched. Without that room the stream grows as it goes.
            const int64_t rows =
                int64_t(job.view->GetHeight()) * (1 + 4 * int64_t(job.view->GetWidth()));
            const int64_t room = rows + rows / 8 + 65536 + int64_t(job.title.size());
            if (room < INT32_MAX && job.stream->GrowBy(int32_t(room)) == eNoError) {
                job.stream->CutTo(0);
            }
            job.pixels = reinterpret_cast<const uint32_t*>(job.view->GetData());
            job.width = job.view->GetWidth();
            job.height = job.view->GetHeight();
            active[count++] = &job;
        }
        struct SContext {
            SJob** jobs;
            int32_t count;
            int32_t parts;
            const gCPngIO::SWriteOptions* options;
        } context{active, count, std::max(1, std::min(ptgfile::EncodeThreads(count), count)),
                  &options};
        workers::RunParts(
            context.parts,
            [](void* c, int32_t part) {
                const SContext& ctx = *static_cast<SContext*>(c);
                for (int32_t j = part; j < ctx.count; j += ctx.parts) {
                    SJob& job = *ctx.jobs[j];
                    job.result = gCPngIO::EncodeFrom(job.pixels, job.width, job.height,
                                                     job.title.c_str(), *ctx.options, *job.stream);
                }
            },
            &context);
        for (int32_t j = 0; j < count; ++j) {
            if (active[j]->result != eNoError) {
                return active[j]->result;
            }
        }
        return eNoError;
    }
};

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
    int32_t layerCount = 0;
    for (int32_t i = 0; i < ptgfile::kLayerCount; ++i) {
        layerCount += canvas->Layer(i) ? 1 : 0;
    }
    const gCPngIO::SWriteOptions layerOptions = ptgfile::LayerWriteOptions();
    if (ptgfile::EncodeThreads(layerCount) <= 1) {
        // One thread: each layer straight into the file, no copy in memory.
        for (int32_t i = 0; i < ptgfile::kLayerCount; ++i) {
            if (CImage* layer = canvas->Layer(i)) {
                if (const error e =
                        WriteImageBlock(out, eRecLayer0 + uint32_t(i), *layer, layerOptions);
                    e != eNoError) {
                    return e;
                }
            }
        }
    } else {
        SEncodedLayers layers;
        if (const error e = layers.Encode(*canvas, layerOptions); e != eNoError) {
            return e;
        }
        for (int32_t i = 0; i < ptgfile::kLayerCount; ++i) {
            gCMemFile* stream = layers.jobs[i].stream.get();
            if (!stream) {
                continue;
            }
            if (const error e = WriteBlockFrom(out, eRecLayer0 + uint32_t(i),
                                               stream->GetMemBlock()->GetData(), stream->GetSize());
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
