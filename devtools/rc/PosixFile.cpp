#include "devtools/rc/PosixFile.h"

#include <filesystem>

#include "FileIO/VolumeTable.h"
#include "FileIO/gCFRef.h"

error OpenPosixFile(gCFile& file, const std::string& path, EFileAccess access) {
    std::error_code ec;
    const std::string absolute = std::filesystem::absolute(path, ec).lexically_normal().string();
    std::u16string colon;
    if (ec || gCVolumeTable::PosixToColon(absolute, colon) != eNoError) {
        return eBadParameter;
    }
    gCString text;
    if (error e = text.CopyStringFromBuffer(colon.data(), int32_t(colon.size()))) {
        return e;
    }
    gCFRef ref(text);
    return file.Open(&ref, access);
}

bool CloseWritten(gCFile& file, const std::string& path, error e, Diagnostics& diagnostics) {
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
