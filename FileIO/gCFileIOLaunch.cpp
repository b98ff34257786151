// Opening links, files and folders with the desktop's default handler.

#include <sys/stat.h>

#include "FileIO/Spawn.h"
#include "FileIO/VolumeTable.h"
#include "FileIO/gCFRef.h"
#include "FileIO/gCFRelative.h"
#include "FileIO/gCFileIO.h"
#include "FileIO/gCFolderRef.h"
#include "foundation/Utf8.h"

namespace {

bool LaunchDetached(const std::vector<std::string>& argv) {
    if (argv.empty()) {
        return false;
    }
    std::vector<std::string> resolved = argv;
    resolved[0] = gFindProgram(argv[0]);
    return !resolved[0].empty() && gSpawnDetached(resolved);
}

gCFileIO::Launcher& CurrentLauncher() {
    static gCFileIO::Launcher launcher = LaunchDetached;
    return launcher;
}

error OpenPosix(const std::string& posix) {
    struct stat st;
    if (posix.empty() || ::stat(posix.c_str(), &st) != 0) {
        return eFileNotFound;
    }
    return CurrentLauncher()({"xdg-open", posix}) ? eNoError : eFileNotFound;
}

} // namespace

void gCFileIO::SetLauncher(Launcher launcher) {
    CurrentLauncher() = launcher ? std::move(launcher) : Launcher(LaunchDetached);
}

error gCFileIO::URLExecute(gCString url) {
    const std::string text = gStringToUtf8(url);
    if (text.empty()) {
        return eFileNotFound;
    }
    return CurrentLauncher()({"xdg-open", text}) ? eNoError : eFileNotFound;
}

error gCFileIO::OSExecute(gCString fullPath) {
    std::string posix;
    if (gCVolumeTable::ColonToPosix(fullPath, posix) != eNoError) {
        return eFileNotFound;
    }
    return OpenPosix(posix);
}

error gCFileIO::OSExecute(gCFRef& ref) {
    return OpenPosix(ref.PosixPath());
}

error gCFileIO::OSExecute(gCFRelative& ref) {
    return OSExecute(ref.FileReference());
}

error gCFileIO::OSExecute(gCFolderRef& folder) {
    return OSExecute(folder.FolderReference());
}
