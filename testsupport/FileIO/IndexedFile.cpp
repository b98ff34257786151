#include "testsupport/FileIO/IndexedFile.h"

#include <filesystem>

#include "FileIO/VolumeTable.h"
#include "FileIO/gCFRef.h"
#include "foundation/gCString.h"

::testing::AssertionResult OpenByPosixPath(const std::string& posixPath, gCFile& file) {
    std::error_code ec;
    const std::string absolute = std::filesystem::absolute(posixPath, ec).string();
    std::u16string colon;
    if (ec || gCVolumeTable::PosixToColon(absolute, colon) != eNoError) {
        return ::testing::AssertionFailure() << "no colon path for " << posixPath;
    }
    gCString path;
    if (path.CopyStringFromBuffer(colon.data(), int32_t(colon.size())) != eNoError) {
        return ::testing::AssertionFailure() << "no memory for the path of " << posixPath;
    }
    gCFRef ref(path);
    if (const error e = file.Open(&ref, eAccessReadOnly); e != eNoError) {
        return ::testing::AssertionFailure() << posixPath << " does not open: " << int(e);
    }
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult OpenIndexed(const std::string& posixPath, gCFile& file,
                                       gCResourceIndex& index) {
    if (::testing::AssertionResult opened = OpenByPosixPath(posixPath, file); !opened) {
        return opened;
    }
    if (const error e = index.SetupIndex(&file); e != eNoError) {
        return ::testing::AssertionFailure() << posixPath << " does not index: " << int(e);
    }
    return ::testing::AssertionSuccess();
}
