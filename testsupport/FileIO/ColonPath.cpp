#include "testsupport/FileIO/ColonPath.h"

#include "FileIO/VolumeTable.h"

::testing::AssertionResult ColonFolder(const std::string& posixFolder, gCString& folder) {
    std::u16string colon;
    if (gCVolumeTable::PosixToColon(posixFolder, colon) != eNoError) {
        return ::testing::AssertionFailure() << "no colon path for " << posixFolder;
    }
    colon.push_back(u':');
    if (folder.CopyStringFromBuffer(colon.data(), int32_t(colon.size())) != eNoError) {
        return ::testing::AssertionFailure() << "no memory for the path of " << posixFolder;
    }
    return ::testing::AssertionSuccess();
}
