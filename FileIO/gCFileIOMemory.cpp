// Whole memory files and stream-to-stream copies.

#include <algorithm>
#include <limits>
#include <string>
#include <vector>

#include "FileIO/gCFRef.h"
#include "FileIO/gCFRelative.h"
#include "FileIO/gCFile.h"
#include "FileIO/gCFileIO.h"
#include "FileIO/gCMemFile.h"
#include "foundation/ErrorReport.h"
#include "foundation/Utf8.h"

error gCFileIO::LoadMemFile(gCMemFile& mem, gCFile* file) {
    if (!file || !file->IsOpen()) {
        return eBadParameter;
    }
    // A file too long for one memory block is refused, never loaded in
    // part under a wrapped 32-bit length.
    const int64_t whole = file->Length();
    if (whole > int64_t(std::numeric_limits<int32_t>::max())) {
        return eOutOfMemory;
    }
    const int32_t length = int32_t(whole);
    error e = file->Rewind();
    if (e != eNoError) {
        return e;
    }
    const int64_t before = mem.GetSize();
    if ((e = mem.GrowBy(length)) != eNoError) {
        return e;
    }
    int32_t count = 0;
    e = file->ReadBufferLen(mem.GetMemBlock()->GetData(), length, count);
    if (e == eNoError && count != length) {
        e = eFileReadWriteError;
    }
    if (e != eNoError) {
        // A load that fails never leaves a grown stream of stale bytes.
        mem.CutTo(before);
    }
    return e;
}

error gCFileIO::LoadMemFile(gCMemFile& mem, gCFRef* ref) {
    if (!ref || !ref->IsValid()) {
        return eBadParameter;
    }
    gCFile file;
    const error e = file.Open(ref, eAccessReadOnly);
    return e != eNoError ? e : LoadMemFile(mem, &file);
}

error gCFileIO::LoadMemFile(gCMemFile& mem, gCFRelative* ref) {
    if (!ref || !ref->IsValid()) {
        return eBadParameter;
    }
    gCFile file;
    const error e = file.Open(ref, eAccessReadOnly);
    return e != eNoError ? e : LoadMemFile(mem, &file);
}

error gCFileIO::LoadMemFile(gCMemFile& mem, gCString relativePath) {
    gCFRelative ref(relativePath);
    if (!ref.IsValid()) {
        return eCreateFailed;
    }
    return LoadMemFile(mem, &ref);
}

error gCFileIO::SaveMemFile(gCMemFile* mem, gCFile* file) {
    if (!file || !file->IsOpen()) {
        // The alert always answers 0.
        (void)ReportError(eBadParameter, "Invalid file passed to SaveMemFile.");
        return eBadParameter;
    }
    if (!mem) {
        return eBadParameter;
    }
    // In pieces that a 32-bit count holds, so that a block past 2 GB is
    // written whole and never cut short under a wrapped count.
    constexpr int64_t kPiece = int64_t(1) << 30;
    const unsigned char* data = mem->GetMemBlock() ? mem->GetMemBlock()->GetData() : nullptr;
    const int64_t used = mem->GetSize();
    for (int64_t done = 0; data && done < used;) {
        const int32_t n = int32_t(std::min(kPiece, used - done));
        const error e = file->WriteBuffer(data + done, n);
        if (e != eNoError) {
            return e;
        }
        done += n;
    }
    return eNoError;
}

namespace {

// Writes the memory file as a whole new file; the file is in place only
// when every write and the close succeeded.
template <typename Ref> error SaveWhole(gCMemFile* mem, Ref* ref) {
    gCFile file;
    error e = file.Open(ref, eAccessWholeNew);
    if (e != eNoError) {
        return e;
    }
    e = gCFileIO::SaveMemFile(mem, &file);
    const error closed = file.Close();
    return e != eNoError ? e : closed;
}

} // namespace

error gCFileIO::SaveMemFile(gCMemFile* mem, gCFRelative* ref) {
    return SaveWhole(mem, ref);
}

error gCFileIO::SaveMemFile(gCMemFile* mem, gCString relativePath) {
    gCFRelative ref;
    const error e = ref.SetReference(relativePath);
    if (e != eNoError) {
        std::string detail = "Failed to set file reference:\n";
        detail += gStringToUtf8(relativePath); // the alert takes UTF-8 text
        (void)ReportError(e, detail.c_str());  // the alert always answers 0
        return e;
    }
    return SaveMemFile(mem, &ref);
}

error gCFileIO::SaveMemFile(gCMemFile* mem, gCFRef* ref) {
    if (!ref || !ref->IsValid()) {
        return eBadParameter;
    }
    return SaveWhole(mem, ref);
}

error gCFileIO::ByteCopy(gCStream& source, gCStream& destination) {
    constexpr int64_t kChunk = 262144;
    error e = source.Rewind();
    if (e != eNoError) {
        return e;
    }
    std::vector<char> buffer;
    for (;;) {
        const int64_t remaining = source.Length() - source.GetFilePos();
        if (remaining <= 0) {
            return eNoError;
        }
        const int32_t n = int32_t(std::min(kChunk, remaining));
        buffer.resize(size_t(n));
        e = source.ReadBlock(buffer.data(), n);
        if (e == eNoError) {
            e = destination.WriteBlock(buffer.data(), n);
        }
        if (e != eNoError) {
            return e;
        }
    }
}
