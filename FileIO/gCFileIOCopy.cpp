// Deleting, copying and moving files, and copying folders.

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <memory>

#include "FileIO/VolumeTable.h"
#include "FileIO/detail/StringText.h"
#include "FileIO/gCFRef.h"
#include "FileIO/gCFRelative.h"
#include "FileIO/gCFile.h"
#include "FileIO/gCFileIO.h"
#include "FileIO/gCFolderRef.h"

namespace {

bool Exists(const std::string& posix) {
    struct stat st;
    return !posix.empty() && ::lstat(posix.c_str(), &st) == 0;
}

bool IsFile(const std::string& posix) {
    struct stat st;
    return !posix.empty() && ::stat(posix.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// Copies a file's bytes into a whole new file at the target.
bool CopyBytes(const gCString& source, const gCString& target) {
    gCFRef from(source);
    gCFRef to(target);
    gCFile in;
    gCFile out;
    if (in.Open(&from, eAccessReadOnly) != eNoError || out.Open(&to, eAccessWholeNew) != eNoError) {
        return false;
    }
    // A copy that stops part-way (a read failure too) never replaces the
    // target.
    if (gCFileIO::ByteCopy(in, out) != eNoError) {
        out.Discard();
        return false;
    }
    return out.Close() == eNoError;
}

// The folder's reference text followed by a file name.
gCString InFolder(gCFolderRef& folder, const gCString& name) {
    gCString text = folder.FolderReference();
    text.AppendString(name);
    return text;
}

gCString NameOf(const gCFRef& ref) {
    gCString name = ref.FileName();
    name.AppendString(ref.TypeString());
    return name;
}

gCString NameOf(const gCFRelative& ref) {
    gCString name = ref.Name();
    name.AppendString(ref.Suffix());
    return name;
}

// The listed references of a folder, deleted with the list.
template <typename T> struct OwnedList {
    gCArray<T*> items;
    OwnedList() = default;
    OwnedList(const OwnedList&) = delete;
    OwnedList& operator=(const OwnedList&) = delete;
    ~OwnedList() {
        for (T* p : items) {
            delete p;
        }
    }
};

} // namespace

error gCFileIO::FileDelete(FSRef& ref) {
    if (ref.path.empty()) {
        return eInvalidFile;
    }
    int result = ::unlink(ref.path.c_str());
    if (result != 0 && (errno == EISDIR || errno == EPERM)) {
        struct stat st;
        if (::lstat(ref.path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
            result = ::rmdir(ref.path.c_str());
        }
    }
    if (result == 0) {
        return eNoError;
    }
    switch (errno) {
    case EACCES:
    case EPERM:
    case EROFS:
    case EBUSY:
    case ETXTBSY:
    case ENAMETOOLONG:
    case EINVAL:
        return eBadParameter;
    default:
        return eInvalidFile;
    }
}

error gCFileIO::FileDelete(gCFRef& ref) {
    FSRef target{ref.PosixPath()};
    return FileDelete(target);
}

error gCFileIO::FileDelete(gCString fullPath) {
    gCFRef ref(fullPath);
    if (!ref.IsValid()) {
        return eBadParameter;
    }
    return FileDelete(ref);
}

error gCFileIO::FileDelete(gCFRelative& ref) {
    return FileDelete(ref.FileReference());
}

error gCFileIO::FileRelativePathDelete(gCString relativePath) {
    gCFRelative ref(relativePath);
    return FileDelete(ref);
}

error gCFileIO::FileDelete(gCFolderRef& folder, gCString name) {
    gCFRef ref;
    folder.GetFileRef(name, ref);
    if (!ref.IsValid()) {
        return eFileReadWriteError;
    }
    return FileDelete(ref);
}

error gCFileIO::FileCopy(gCString source, gCString target, int32_t failIfExists) {
    std::string from, to;
    if (gCVolumeTable::ColonToPosix(source, from) != eNoError ||
        gCVolumeTable::ColonToPosix(target, to) != eNoError || !IsFile(from) ||
        (failIfExists > 0 && Exists(to))) {
        return eBadParameter;
    }
    return CopyBytes(source, target) ? eNoError : eBadParameter;
}

error gCFileIO::FileCopy(gCFRef& source, gCFRef& target, int32_t failIfExists) {
    return FileCopy(source.FileReference(), target.FileReference(), failIfExists);
}

error gCFileIO::FileCopy(gCFRelative& source, gCFRelative& target, int32_t failIfExists) {
    return FileCopy(source.FileReference(), target.FileReference(), failIfExists);
}

error gCFileIO::FileCopy(gCFRelative& source, gCFolderRef& target, int32_t failIfExists) {
    return FileCopy(source.FileReference(), InFolder(target, NameOf(source)), failIfExists);
}

error gCFileIO::FileCopy(gCFRef& source, gCFolderRef& target, int32_t failIfExists) {
    return FileCopy(source.FileReference(), InFolder(target, NameOf(source)), failIfExists);
}

error gCFileIO::FileMove(gCString source, gCString target) {
    std::string from, to;
    if (gCVolumeTable::ColonToPosix(source, from) != eNoError ||
        gCVolumeTable::ColonToPosix(target, to) != eNoError || !Exists(from) || Exists(to)) {
        return eBadParameter;
    }
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) {
        return eNoError;
    }
    if (errno == EXDEV && IsFile(from)) {
        // Another file system: copy, then remove the original.
        if (!CopyBytes(source, target)) {
            return eBadParameter;
        }
        return ::unlink(from.c_str()) == 0 ? eNoError : eBadParameter;
    }
    return eBadParameter;
}

error gCFileIO::FileMove(gCFRef& source, gCFRef& target) {
    return FileMove(source.FileReference(), target.FileReference());
}

error gCFileIO::FileMove(gCFRelative& source, gCFRelative& target) {
    return FileMove(source.FileReference(), target.FileReference());
}

error gCFileIO::FileMove(gCFRelative& source, gCFolderRef& target, gCString name) {
    return FileMove(source.FileReference(),
                    InFolder(target, TextOf(name).empty() ? NameOf(source) : name));
}

error gCFileIO::FileMove(gCFRef& source, gCFolderRef& target, gCString name) {
    return FileMove(source.FileReference(),
                    InFolder(target, TextOf(name).empty() ? NameOf(source) : name));
}

error gCFileIO::FolderCopy(gCFolderRef& source, gCFolderRef& destination, int32_t recursive) {
    if (!source.IsValid()) {
        return eGenericFailure;
    }
    if (!Verify(source)) {
        return eNoError;
    }
    OwnedList<gCFRef> files;
    OwnedList<gCFolderRef> folders;
    GetDirectoryContents(source, &files.items, &folders.items);
    for (gCFRef* file : files.items) {
        gCFile in;
        error e = InitLoadFile(in, *file, nullptr, eAccessReadOnly);
        if (e != eNoError) {
            return e;
        }
        gCFRef target;
        destination.GetFileRef(NameOf(*file), target);
        gCFile out;
        e = out.Open(&target, eAccessWholeNew);
        if (e == eNoError && (e = ByteCopy(in, out)) != eNoError) {
            out.Discard();
        }
        const error closed = out.Close();
        if (e != eNoError || closed != eNoError) {
            return e != eNoError ? e : closed;
        }
    }
    if (recursive) {
        for (gCFolderRef* folder : folders.items) {
            std::unique_ptr<gCFolderRef> child = destination.GetChildFolder(folder->Name());
            if (!child) {
                return eCreateFailed;
            }
            error e = MakeFolder(*child);
            if (e == eNoError) {
                e = FolderCopy(*folder, *child, recursive);
            }
            if (e != eNoError) {
                return e;
            }
        }
    }
    return eNoError;
}
