// Reading a project file whole, before any of it reaches the painting: the
// header lines, then every block checked against what remains of the file,
// its values kept in file order and its images decoded aside.

#include <cstring>
#include <limits>
#include <memory>
#include <new>
#include <string>

#include "FileIO/gCFile.h"
#include "FileIO/gCMemFile.h"
#include "foundation/CMemBlock.h"
#include "foundation/MessageIds.h"
#include "imaging/ImNav.h"
#include "imaging/ImageIO.h"
#include "imaging/PngIO.h"
#include "paint/Backbone.h"
#include "paint/detail/Workers.h"
#include "paint/project/ProjectFile.h"

namespace {

// A header line longer than this is no header of ours.
constexpr size_t kLongestHeaderUnits = 256;

// One header line from the position: the units before its LF or CR (the
// other of the pair after it is taken too). A byte-order mark anywhere in
// the line is dropped and sets the order of the units after it, in this
// line and the next, as the stream's line reader does. A file that ends
// before the line does holds no header of ours (16), nor does one without
// a line end within kLongestHeaderUnits; 1 when a read or seek fails.
error ReadHeaderLine(gCFile& file, bool& bigEndian, std::u16string& text) {
    const int64_t start = file.GetFilePos();
    if (start < 0) {
        return eGenericFailure;
    }
    unsigned char bytes[(kLongestHeaderUnits + 3) * 2];
    int32_t count = 0;
    if (file.ReadBufferLen(bytes, int32_t(sizeof bytes), count) != eNoError) {
        return eGenericFailure;
    }
    const size_t units = size_t(count) / 2;
    text.clear();
    char16_t lineEnd = 0; // the first unit of the line's end, once met
    for (size_t i = 0; i < units; ++i) {
        const unsigned char* p = bytes + 2 * i;
        const char16_t unit =
            bigEndian ? char16_t((p[0] << 8) | p[1]) : char16_t(p[0] | (p[1] << 8));
        if (lineEnd != 0) {
            // The unit after the LF or CR: the other of the pair ends the
            // line with it; anything else starts the next line.
            const bool pair = unit != lineEnd && (unit == u'\n' || unit == u'\r');
            if (file.SetFilePos(start + int64_t(2 * (i + (pair ? 1 : 0)))) != eNoError) {
                return eGenericFailure;
            }
            return eNoError;
        }
        // FF FE and FE FF stand for the two orders whichever is current.
        if ((p[0] == 0xFF && p[1] == 0xFE) || (p[0] == 0xFE && p[1] == 0xFF)) {
            bigEndian = p[0] == 0xFE;
            continue;
        }
        if (unit == u'\n' || unit == u'\r') {
            lineEnd = unit;
            continue;
        }
        text.push_back(unit);
    }
    return eInvalidFile; // the file ends inside the line or its end
}

bool SameText(const std::u16string& text, const gCString& expected) {
    return text.size() == size_t(expected.GetLength()) &&
           std::equal(text.begin(), text.end(), expected.GetBuffer());
}

uint32_t BigEndian32(const unsigned char* p) {
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3];
}

// The payload of a block read whole into memory from the position: 0, 16
// for one too long for a memory stream, 5 without memory, or the read's
// error.
error ReadPayload(gCFile& file, uint64_t length, CMemBlock& payload) {
    if (length > uint64_t(std::numeric_limits<int32_t>::max())) {
        return eInvalidFile;
    }
    if (!payload.Resize(uint32_t(length), 0)) {
        return eOutOfMemory;
    }
    return file.ReadBlock(payload.GetData(), int32_t(length));
}

// An image decoded from a payload in memory by the codecs: 0, 5 without
// memory, or the decoder's error.
error DecodePayload(CMemBlock& payload, std::unique_ptr<CImage>& image) {
    image.reset(new (std::nothrow) CImage);
    if (!image) {
        return eOutOfMemory;
    }
    gCMemFile stream(&payload);
    return gCImageIO::ReadImage(stream, *image);
}

error ReadProjectBlock(gCFile& file, uint64_t length, ptgfile::SContents& contents) {
    if (contents.width != 0) {
        return eInvalidFile; // a second project block
    }
    // The name is read for its zero unit alone: the project keeps the name
    // it is loaded under. The width and height must follow it within the
    // payload.
    const int64_t start = file.GetFilePos();
    uint64_t at = 0;
    bool ended = false;
    unsigned char chunk[4096];
    while (!ended && at + 2 + 8 <= length) {
        const uint64_t want = std::min<uint64_t>(sizeof chunk, (length - 8 - at) & ~uint64_t(1));
        if (const error e = file.ReadBlock(chunk, int32_t(want)); e != eNoError) {
            return e;
        }
        for (uint64_t i = 0; i + 1 < want; i += 2) {
            if (chunk[i] == 0 && chunk[i + 1] == 0) {
                at += i;
                ended = true;
                break;
            }
        }
        if (!ended) {
            at += want;
        }
    }
    if (!ended) {
        return eInvalidFile;
    }
    if (const error e = file.SetFilePos(start + int64_t(at) + 2); e != eNoError) {
        return e;
    }
    uint32_t width = 0, height = 0;
    if (const error e = file.ReadUint32(width); e != eNoError) {
        return e;
    }
    if (const error e = file.ReadUint32(height); e != eNoError) {
        return e;
    }
    if (width < uint32_t(ptgfile::kSmallestSide) || width > uint32_t(ptgfile::kLargestSide) ||
        height < uint32_t(ptgfile::kSmallestSide) || height > uint32_t(ptgfile::kLargestSide)) {
        return eInvalidFile;
    }
    contents.width = int32_t(width);
    contents.height = int32_t(height);
    return contents.entries.Add({eRecProject, 0});
}

// The pending layers decoded, each into a new image of the project's
// size, on worker threads that run libpng and zlib alone (libpng's blocks
// from the memory hooks, capped); the images are made here before any
// worker starts. Returns
// the error of the first failing block in file order; on success each
// layer's image replaces the one before.
error DecodePending(ptgfile::SContents& contents) {
    struct SJob {
        ptgfile::SContents::SPendingLayer* pending;
        std::unique_ptr<CImage> image;
        std::unique_ptr<CImNav> view;
        uint32_t* pixels;
        error result;
        int32_t layer;
    };
    SJob jobs[ptgfile::kLayerCount];
    int32_t count = 0;
    for (int32_t i = 0; i < ptgfile::kLayerCount; ++i) {
        ptgfile::SContents::SPendingLayer& pending = contents.pending[i];
        if (pending.entry < 0) {
            continue;
        }
        SJob& job = jobs[count++];
        job.pending = &pending;
        job.layer = i;
        job.result = eNoError;
        job.image.reset(new (std::nothrow) CImage(contents.width, contents.height));
        if (!job.image || !job.image->IsValid()) {
            return eOutOfMemory;
        }
        job.view.reset(new (std::nothrow) CImNav(job.image.get()));
        if (!job.view || !job.view->IsLocked() || !job.view->GetData()) {
            return eOutOfMemory;
        }
        job.pixels = reinterpret_cast<uint32_t*>(job.view->GetData());
    }
    if (count == 0) {
        return eNoError;
    }
    struct SContext {
        SJob* jobs;
        int32_t count;
        int32_t parts;
        int32_t width, height;
    } context{jobs, count, ptgfile::DecodeThreads(count), contents.width, contents.height};
    workers::RunParts(
        context.parts,
        [](void* c, int32_t part) {
            const SContext& ctx = *static_cast<SContext*>(c);
            for (int32_t j = part; j < ctx.count; j += ctx.parts) {
                SJob& job = ctx.jobs[j];
                job.result = gCPngIO::DecodeInto(job.pending->payload.GetData(),
                                                 job.pending->payload.GetCount(), job.pixels,
                                                 ctx.width, ctx.height);
            }
        },
        &context);
    const SJob* failed = nullptr;
    for (int32_t j = 0; j < count; ++j) {
        if (jobs[j].result != eNoError &&
            (!failed || jobs[j].pending->entry < failed->pending->entry)) {
            failed = &jobs[j];
        }
    }
    if (failed) {
        return failed->result;
    }
    for (int32_t j = 0; j < count; ++j) {
        jobs[j].view.reset();
        contents.layers[jobs[j].layer] = std::move(jobs[j].image);
        (void)jobs[j].pending->payload.Resize(0, 0); // releasing cannot fail
        jobs[j].pending->entry = -1;
    }
    return eNoError;
}

// A layer is a PNG of the project's size: its header is checked before
// anything the size of a layer is made. Its payload waits to be decoded
// with the others.
error ReadLayerBlock(gCFile& file, uint32_t id, uint64_t length, ptgfile::SContents& contents) {
    if (contents.width == 0) {
        return eInvalidFile; // no project block before it
    }
    static constexpr unsigned char kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    // Signature, then the first chunk: 13 bytes of IHDR starting with the
    // width and height.
    unsigned char head[24];
    if (length < sizeof head + 9 + 4) {
        return eInvalidFile;
    }
    const int64_t start = file.GetFilePos();
    if (const error e = file.ReadBlock(head, int32_t(sizeof head)); e != eNoError) {
        return e;
    }
    if (std::memcmp(head, kSignature, sizeof kSignature) != 0 || BigEndian32(head + 8) != 13 ||
        std::memcmp(head + 12, "IHDR", 4) != 0 ||
        BigEndian32(head + 16) != uint32_t(contents.width) ||
        BigEndian32(head + 20) != uint32_t(contents.height)) {
        return eInvalidFile;
    }
    if (const error e = file.SetFilePos(start); e != eNoError) {
        return e;
    }
    const int32_t layer = ptgfile::LayerIndex(id);
    if (contents.pending[layer].entry >= 0) {
        // A second block of the same layer: the first is decoded now, so
        // that its faults count where it stands.
        if (const error e = DecodePending(contents); e != eNoError) {
            return e;
        }
    }
    ptgfile::SContents::SPendingLayer& pending = contents.pending[layer];
    if (const error e = ReadPayload(file, length, pending.payload); e != eNoError) {
        (void)pending.payload.Resize(0, 0); // releasing cannot fail
        return e;
    }
    if (const error e = contents.entries.Add({id, 0}); e != eNoError) {
        (void)pending.payload.Resize(0, 0); // releasing cannot fail
        return e;
    }
    pending.entry = contents.entries.GetSize() - 1;
    return eNoError;
}

error ReadTracingBlock(gCFile& file, uint64_t length, ptgfile::SContents& contents) {
    std::unique_ptr<CImage> image;
    {
        CMemBlock payload;
        if (const error e = ReadPayload(file, length, payload); e != eNoError) {
            return e;
        }
        if (const error e = DecodePayload(payload, image); e != eNoError) {
            return e;
        }
    }
    if (!image->IsValid()) {
        return eInvalidFile;
    }
    if (const error e = contents.entries.Add({eRecTracingImage, 0}); e != eNoError) {
        return e;
    }
    // An earlier tracing image would only be replaced by this one.
    contents.tracing = std::move(image);
    contents.tracingEntry = contents.entries.GetSize() - 1;
    return eNoError;
}

// The walk stopped with e: a layer block before that point that does not
// decode is the first fault in file order.
error Failed(ptgfile::SContents& contents, error e) {
    const error decoded = DecodePending(contents);
    return decoded != eNoError ? decoded : e;
}

} // namespace

error CSMKBackbone::ReadProject(gCFile& file, ptgfile::SContents& contents) {
    std::u16string line;
    bool bigEndian = false; // the text's order until a byte-order mark
    if (const error e = ReadHeaderLine(file, bigEndian, line); e != eNoError) {
        return e;
    }
    if (line != ptgfile::kHeaderText) {
        return eInvalidFile;
    }
    if (const error e = ReadHeaderLine(file, bigEndian, line); e != eNoError) {
        return e;
    }
    if (!SameText(line, ptgfile::ApplicationName()) && line != ptgfile::kOlderAppName) {
        return eInvalidFile;
    }
    if (file.FileEnd()) {
        return eInvalidFile; // the header lines and nothing after them
    }
    uint32_t version = 0; // any version is read
    if (const error e = file.ReadUint32(version); e != eNoError) {
        return e;
    }
    const int64_t end = file.Length();
    int64_t position = file.GetFilePos();
    while (position < end) {
        if (end - position < ptgfile::kBlockHeaderBytes) {
            // A block header cut by the end of the file.
            return Failed(contents, eFileReadWriteError);
        }
        uint32_t id = 0;
        int64_t length = 0;
        if (const error e = file.ReadUint32(id); e != eNoError) {
            return Failed(contents, e);
        }
        if (const error e = file.ReadInt64(length); e != eNoError) {
            return Failed(contents, e);
        }
        if (length <= 0 || length > end - position - ptgfile::kBlockHeaderBytes) {
            return Failed(contents, eInvalidFile);
        }
        if (const error e = ParseBlock(file, id, uint64_t(length), contents); e != eNoError) {
            return Failed(contents, e);
        }
        // The next block starts where this one's length says, whatever its
        // reader took.
        position += ptgfile::kBlockHeaderBytes + length;
        if (const error e = file.SetFilePos(position); e != eNoError) {
            return Failed(contents, e);
        }
    }
    // A file without its project block holds no painting.
    return contents.width != 0 ? DecodePending(contents) : eInvalidFile;
}

error CSMKBackbone::ParseBlock(gCFile& file, uint32_t id, uint64_t length,
                               ptgfile::SContents& contents) {
    if (!ptgfile::IsKnownBlock(id)) {
        return eNoError;
    }
    if (ptgfile::IsFourByteBlock(id)) {
        // A longer block gives its first four bytes: the walk moves on by
        // its length.
        if (length < 4) {
            return eInvalidFile;
        }
        uint32_t value = 0;
        if (const error e = file.ReadUint32(value); e != eNoError) {
            return e;
        }
        return contents.entries.Add({id, value});
    }
    if (id == eRecProject) {
        return ReadProjectBlock(file, length, contents);
    }
    if (ptgfile::LayerIndex(id) >= 0) {
        return ReadLayerBlock(file, id, length, contents);
    }
    return ReadTracingBlock(file, length, contents);
}
