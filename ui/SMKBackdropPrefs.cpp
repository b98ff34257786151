// The preferences file's place: Daublin.prs in the program's folder of the
// user's configuration folder, and the file made anew there.

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>

#include "FileIO/VolumeTable.h"
#include "FileIO/gCFRef.h"
#include "FileIO/gCFile.h"
#include "FileIO/gCFileIO.h"
#include "ui/SMKBackdrop.h"

namespace {

constexpr char kPrefsFolderName[] = "daublin";
constexpr char kPrefsFileName[] = "Daublin.prs";

// Makes the folder and the missing ones above it, each readable by the
// user alone; true when the folder is there afterwards.
bool MakeFolders(const std::string& posix) {
    struct stat st;
    if (::stat(posix.c_str(), &st) == 0) {
        return S_ISDIR(st.st_mode);
    }
    const size_t slash = posix.find_last_of('/');
    if (slash != std::string::npos && slash > 0 && !MakeFolders(posix.substr(0, slash))) {
        return false;
    }
    // Another process may have made it meanwhile.
    return ::mkdir(posix.c_str(), 0700) == 0 || errno == EEXIST;
}

// The preferences folder of this user, as the environment names it.
std::string UserPrefsFolder() {
    const passwd* account = ::getpwuid(::getuid());
    return CSMKBackdrop::PrefsFolderPath(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"),
                                         account ? account->pw_dir : nullptr);
}

} // namespace

bool CSMKBackdrop::IsFirstRun() {
    const std::string folder = UserPrefsFolder();
    struct stat st;
    return folder.empty() || ::stat((folder + "/" + kPrefsFileName).c_str(), &st) != 0;
}

std::string CSMKBackdrop::PrefsFolderPath(const char* configHome, const char* home,
                                          const char* accountHome) {
    // A folder's text without its trailing slashes ("/" becomes empty).
    auto folder = [](const char* text) {
        std::string f = text;
        while (!f.empty() && f.back() == '/') {
            f.pop_back();
        }
        return f;
    };
    std::string config;
    if (configHome && configHome[0] == '/') {
        config = folder(configHome);
    } else if (home && home[0] == '/') {
        config = folder(home) + "/.config";
    } else if (accountHome && accountHome[0] == '/') {
        config = folder(accountHome) + "/.config";
    } else {
        return std::string();
    }
    return config + "/" + kPrefsFolderName;
}

error CSMKBackdrop::CreatePrefsFile(gCFile* file) {
    if (!file) {
        return eBadParameter;
    }
    const std::string folder = UserPrefsFolder();
    std::u16string colon;
    if (folder.empty() || !MakeFolders(folder) ||
        gCVolumeTable::PosixToColon(folder + "/" + kPrefsFileName, colon) != eNoError) {
        return eCreateFailed;
    }
    gCString path;
    if (const error e = path.CopyStringFromBuffer(colon.data(), int32_t(colon.size()))) {
        return e;
    }
    gCFRef ref(path);
    return gCFileIO::InitSaveFile(*file, ref, nullptr, eAccessWholeNew);
}
