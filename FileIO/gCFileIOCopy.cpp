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

const gCString& NameOf(const gCFRef& ref) {
    return ref.FileName();
}
const gCString& SuffixOf(const gCFRef& ref) {
    return ref.TypeString();
}
const gCString& NameOf(const gCFRelative& ref) {
    return ref.Name();
}
const gCString& SuffixOf(const gCFRelative& ref) {
    return ref.Suffix();
}

// The folder's reference text followed by a file name (the given one, or
// else the source's name and suffix). Without memory the text is '', which
// names no file: never a target under a shortened name.
template <typename Ref>
gCString InFolder(gCFolderRef& folder, const gCString& name, const Ref& source) {
    const gCString folderText = folder.FolderReference();
    gCString text;
    if (TextOf(folderText).empty()) {
        return text;
    }
    if (!TextOf(name).empty()) {
        (void)JoinText(text, {TextOf(folderText), TextOf(name)}); // '' without memory
    } else {
        (void)JoinText(text,
                       {TextOf(folderText), TextOf(NameOf(source)), TextOf(SuffixOf(source))});
    }
    return text;
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
    if (folder.GetFileRef(name, ref) != eNoError || !ref.IsValid()) {
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
    return FileCopy(source.FileReference(), InFolder(target, gCString(), source), failIfExists);
}

error gCFileIO::FileCopy(gCFRef& source, gCFolderRef& target, int32_t failIfExists) {
    return FileCopy(source.FileReference(), InFolder(target, gCString(), source), failIfExists);
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
    return FileMove(source.FileReference(), InFolder(target, name, source));
}

error gCFileIO::FileMove(gCFRef& source, gCFolderRef& target, gCString name) {
    return FileMove(source.FileReference(), InFolder(target, name, source));
}

error gCFileIO::FolderCopy(gCFolderRef& source, gCFolderRef& destination, int32_t recursive) {
    if (!source.IsValid()) {
        return eGenericFailure;
    }
    // Even an empty folder reference holds its ':': an empty text is one
    // that could not be made, never a missing source.
    const gCString sourceText = source.FolderReference();
    if (TextOf(sourceText).empty()) {
        return eOutOfMemory;
    }
    std::string posix;
    struct stat st;
    if (gCVolumeTable::ColonToPosix(sourceText, posix) != eNoError ||
        ::stat(posix.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
        return eNoError; // a missing source: nothing to copy
    }
    OwnedList<gCFRef> files;
    OwnedList<gCFolderRef> folders;
    // A listing that is not whole would copy a folder in part under a
    // result of success.
    const error listed = GetDirectoryContents(source, &files.items, &folders.items);
    if (listed != eNoError) {
        return listed;
    }
    for (gCFRef* file : files.items) {
        gCFile in;
        error e = InitLoadFile(in, *file, nullptr, eAccessReadOnly);
        if (e != eNoError) {
            return e;
        }
        gCString name;
        if ((e = JoinText(name, {TextOf(file->FileName()), TextOf(file->TypeString())})) !=
            eNoError) {
            return e;
        }
        gCFRef target;
        if ((e = destination.GetFileRef(name, target)) != eNoError) {
            return e;
        }
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
