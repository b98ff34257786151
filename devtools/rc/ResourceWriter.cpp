#include "devtools/rc/ResourceWriter.h"

#include <filesystem>

#include "FileIO/ResourceTags.h"
#include "FileIO/VolumeTable.h"
#include "FileIO/gCFRef.h"
#include "foundation/Utf8.h"

namespace {

gCString ToString(const std::string& utf8) {
    gCString s;
    gStringFromUtf8(s, utf8);
    return s;
}

// One block: the header with its size patched in once the data is written.
error WriteBlock(gCFile& file, const ResourceBlock& block, int64_t& location) {
    error e = eNoError;
    location = file.GetFilePos();
    if ((e = file.WriteUint32(block.tag)) != eNoError) {
        return e;
    }
    const int64_t sizeAt = file.GetFilePos();
    if ((e = file.WriteInt32(0)) != eNoError) {
        return e;
    }
    const int64_t data = file.GetFilePos();
    if ((e = file.WriteInt32(block.id)) != eNoError ||
        (e = file.WriteString(ToString(block.name), 1)) != eNoError ||
        (e = block.payload->Write(file)) != eNoError) {
        return e;
    }
    const int64_t end = file.GetFilePos();
    if (end - data > INT32_MAX) {
        return eResourceWriteError;
    }
    if ((e = file.SetFilePos(sizeAt)) != eNoError ||
        (e = file.WriteInt32(int32_t(end - data))) != eNoError) {
        return e;
    }
    return file.SetFilePos(end);
}

bool Finish(gCFile& file, const std::string& path, error e, Diagnostics& diagnostics) {
    const error closed = file.Close();
    if (e == eNoError) {
        e = closed;
    }
    if (e != eNoError) {
        diagnostics.Error("cannot write " + path + " (error " + std::to_string(int(e)) + ")");
        return false;
    }
    return true;
}

} // namespace

error OpenPosixFile(gCFile& file, const std::string& path, int32_t access) {
    std::error_code ec;
    const std::string absolute = std::filesystem::absolute(path, ec).lexically_normal().string();
    std::u16string colon;
    if (ec || gCVolumeTable::PosixToColon(absolute, colon) != eNoError) {
        return eBadParameter;
    }
    gCString text;
    text.CopyStringFromBuffer(colon.data(), int32_t(colon.size()));
    gCFRef ref(text);
    return file.Open(&ref, access);
}

bool WriteResourceFile(const std::string& path, const ResourceSources& sources,
                       std::vector<int64_t>& locations, Diagnostics& diagnostics) {
    gCFile file;
    error e = OpenPosixFile(file, path, 2);
    if (e != eNoError) {
        diagnostics.Error("cannot create " + path + " (error " + std::to_string(int(e)) + ")");
        return false;
    }
    if ((e = file.WriteUint32(kResVersionTag)) == eNoError &&
        (e = file.WriteInt32(4)) == eNoError) {
        e = file.WriteInt32(kResourceFileVersion);
    }
    locations.clear();
    for (const ResourceBlock& block : sources.blocks) {
        if (e != eNoError) {
            break;
        }
        int64_t location = 0;
        e = WriteBlock(file, block, location);
        locations.push_back(location);
    }
    return Finish(file, path, e, diagnostics);
}

bool WriteStringTableFile(const std::string& path, const ResourceSources& sources,
                          Diagnostics& diagnostics) {
    gCFile file;
    error e = OpenPosixFile(file, path, 2);
    if (e != eNoError) {
        diagnostics.Error("cannot create " + path + " (error " + std::to_string(int(e)) + ")");
        return false;
    }
    for (const StringEntry& s : sources.strings) {
        if ((e = file.WriteUint32(s.id)) != eNoError || (e = file.WriteInt32(0)) != eNoError ||
            (e = file.WriteString(ToString(s.name), 1)) != eNoError ||
            (e = file.WriteString(ToString(s.text), 1)) != eNoError) {
            break;
        }
    }
    return Finish(file, path, e, diagnostics);
}
