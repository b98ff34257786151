// Listing and making folders, listing volumes, and the user's Documents
// folder.

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>

#include "FileIO/VolumeTable.h"
#include "FileIO/detail/NewObject.h"
#include "FileIO/detail/StringText.h"
#include "FileIO/gCFRef.h"
#include "FileIO/gCFileIO.h"
#include "FileIO/gCFolderRef.h"
#include "FileIO/gCVolumeRef.h"
#include "foundation/Utf8.h"

namespace {

std::vector<std::string> FolderEntries(const std::string& posix) {
    std::vector<std::string> names;
    DIR* dir = ::opendir(posix.c_str());
    if (!dir) {
        return names;
    }
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..") {
            names.push_back(name);
        }
    }
    ::closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// A mount point's field from /proc/mounts, with its octal escapes undone.
std::string Unescape(const std::string& field) {
    std::string out;
    for (size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size() + 0 && field[i + 1] >= '0' &&
            field[i + 1] <= '7') {
            out.push_back(
                char((field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 + (field[i + 3] - '0')));
            i += 3;
        } else {
            out.push_back(field[i]);
        }
    }
    return out;
}

// The mount points below /media and /mnt.
std::vector<std::string> RemovableMounts() {
    std::vector<std::string> mounts;
    const std::string text = ReadText("/proc/mounts");
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            end = text.size();
        }
        const std::string line = text.substr(start, end - start);
        start = end + 1;
        const size_t a = line.find(' ');
        const size_t b = a == std::string::npos ? a : line.find(' ', a + 1);
        if (b == std::string::npos) {
            continue;
        }
        const std::string point = Unescape(line.substr(a + 1, b - a - 1));
        if ((point.rfind("/media/", 0) == 0 || point.rfind("/mnt/", 0) == 0) &&
            std::find(mounts.begin(), mounts.end(), point) == mounts.end()) {
            mounts.push_back(point);
        }
    }
    return mounts;
}

} // namespace

error gCFileIO::GetDirectoryContents(gCFolderRef& folder, gCArray<gCFRef*>* files,
                                     gCArray<gCFolderRef*>* folders) {
    const gCString folderText = folder.FolderReference();
    if (TextOf(folderText).empty()) {
        return eOutOfMemory; // even an empty folder reference holds its ':'
    }
    std::string posix;
    if (gCVolumeTable::ColonToPosix(folderText, posix) != eNoError) {
        return eNoError;
    }
    while (posix.size() > 1 && posix.back() == '/') {
        posix.pop_back();
    }
    for (const std::string& name : FolderEntries(posix)) {
        const std::string path = (posix == "/" ? "" : posix) + "/" + name;
        std::u16string colon;
        struct stat st;
        if (gCVolumeTable::PosixToColon(path, colon) != eNoError ||
            ::stat(path.c_str(), &st) != 0) {
            continue;
        }
        gCString text;
        if (SetText(text, colon) != eNoError) {
            return eOutOfMemory;
        }
        // An entry that cannot be set or appended is deleted and the list
        // reported as not whole.
        error e = eNoError;
        if (S_ISDIR(st.st_mode)) {
            if (folders) {
                std::unique_ptr<gCFolderRef> item = NewObject<gCFolderRef>();
                if (!item) {
                    e = eOutOfMemory;
                } else if ((e = item->SetFolderReference(text)) == eNoError &&
                           (e = folders->Add(item.get())) == eNoError) {
                    item.release();
                }
            }
        } else if (files) {
            std::unique_ptr<gCFRef> item = NewObject<gCFRef>();
            if (!item) {
                e = eOutOfMemory;
            } else if ((e = item->SetFileReference(text)) == eNoError &&
                       (e = files->Add(item.get())) == eNoError) {
                item.release();
            }
        }
        if (e != eNoError) {
            return e;
        }
    }
    return eNoError;
}

error gCFileIO::MakeFolder(gCFolderRef& folder) {
    if (Verify(folder)) {
        return eNoError;
    }
    return folder.Create() == eNoError ? eNoError : eCreateFailed;
}

error gCFileIO::MakeRelativeFolder(gCString relativePath) {
    gCFolderRef folder;
    const error e = folder.SetRelativeReference(relativePath);
    if (e != eNoError) {
        return e;
    }
    return MakeFolder(folder);
}

error gCFileIO::RemoveRelativeFolder(gCString) {
    return eNotImplemented;
}

error gCFileIO::GetVolumeList(gCArray<gCVolumeRef*>& volumes) {
    std::vector<std::u16string> names;
    std::vector<std::string> folders;
    for (const gCVolumeTable::Volume& v : gCVolumeTable::Volumes()) {
        names.push_back(v.name);
        folders.push_back(v.folder);
    }
    for (const std::string& point : RemovableMounts()) {
        if (std::find(folders.begin(), folders.end(), point) != folders.end()) {
            continue;
        }
        names.push_back(gUtf8ToUtf16(point.substr(point.rfind('/') + 1)));
        folders.push_back(point);
    }
    for (size_t i = 0; i < names.size(); ++i) {
        std::unique_ptr<gCVolumeRef> ref = NewObject<gCVolumeRef>();
        if (!ref) {
            return eCreateFailed;
        }
        gCString text;
        if (JoinText(text, {names[i], names[i].empty() ? u"" : u":"}) != eNoError) {
            return eOutOfMemory;
        }
        if (ref->SetReference(text) != eNoError) {
            return eOutOfMemory;
        }
        ref->SetVolumeNumber(int16_t(i + 1));
        if (volumes.Add(ref.get()) != eNoError) {
            return eOutOfMemory;
        }
        ref.release();
    }
    return eNoError;
}

std::string gCFileIO::DocumentsFolderPath(const std::string& home,
                                          const std::string& userDirsText) {
    const std::string key = "XDG_DOCUMENTS_DIR=";
    size_t start = 0;
    while (start < userDirsText.size()) {
        size_t end = userDirsText.find('\n', start);
        if (end == std::string::npos) {
            end = userDirsText.size();
        }
        std::string line = userDirsText.substr(start, end - start);
        start = end + 1;
        const size_t first = line.find_first_not_of(" \t");
        if (first == std::string::npos || line.compare(first, key.size(), key) != 0) {
            continue;
        }
        std::string value = line.substr(first + key.size());
        while (!value.empty() && (value.back() == ' ' || value.back() == '\r')) {
            value.pop_back();
        }
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
            value = value.substr(1, value.size() - 2);
        }
        if (value.rfind("$HOME", 0) == 0) {
            value = home + value.substr(5);
        }
        if (!value.empty() && value.front() == '/') {
            while (value.size() > 1 && value.back() == '/') {
                value.pop_back();
            }
            return value;
        }
    }
    return home + "/Documents";
}

error gCFileIO::GetOSUserDocumentsFolder(gCFolderRef* folder) {
    if (!folder) {
        return eBadParameter;
    }
    const char* home = std::getenv("HOME");
    if (!home || !*home) {
        return eCreateFailed;
    }
    const char* config = std::getenv("XDG_CONFIG_HOME");
    const std::string configFolder =
        config && *config ? std::string(config) : std::string(home) + "/.config";
    const std::string path = DocumentsFolderPath(home, ReadText(configFolder + "/user-dirs.dirs"));
    struct stat st;
    std::u16string colon;
    if (::stat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) ||
        gCVolumeTable::PosixToColon(path, colon) != eNoError) {
        return eCreateFailed;
    }
    gCString text;
    if (SetText(text, colon) != eNoError) {
        return eOutOfMemory;
    }
    return folder->SetFolderReference(text) == eNoError ? eNoError : eCreateFailed;
}
