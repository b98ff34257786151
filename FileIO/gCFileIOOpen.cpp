// Opening streams from references, asking the user when a reference is not
// valid yet, and checking that files and folders exist.

#include <sys/stat.h>

#include "FileIO/VolumeTable.h"
#include "FileIO/detail/ApplicationRoot.h"
#include "FileIO/detail/LegalPath.h"
#include "FileIO/detail/StringText.h"
#include "FileIO/gCFRef.h"
#include "FileIO/gCFRelative.h"
#include "FileIO/gCFile.h"
#include "FileIO/gCFileDlg.h"
#include "FileIO/gCFileIO.h"
#include "FileIO/gCFolderRef.h"

error gCFileIO::InitLoadFile(gCFile& file, gCFRef& ref, gCFTypeList* types, EFileAccess access) {
    if (!ref.IsValid()) {
        const error e = InitLoadFRef(ref, types);
        if (e != eNoError) {
            return e;
        }
    }
    if (!ref.IsValid()) {
        return eBadParameter;
    }
    return file.Open(&ref, access);
}

error gCFileIO::InitLoadFile(gCFile& file, gCFRelative& ref, EFileAccess access) {
    if (!ref.IsValid()) {
        return eBadParameter;
    }
    return file.Open(&ref, access);
}

error gCFileIO::InitLoadFile(gCFile& file, gCString relativePath, EFileAccess access) {
    gCFRelative ref(relativePath);
    return InitLoadFile(file, ref, access);
}

error gCFileIO::InitSaveFile(gCFile& file, gCFRef& ref, gCFTypeList* types, EFileAccess access) {
    if (!ref.IsValid()) {
        const error e = InitSaveFRef(&ref, types);
        if (e != eNoError) {
            return e;
        }
    }
    if (!ref.IsValid()) {
        return eBadParameter;
    }
    return file.Open(&ref, access);
}

error gCFileIO::InitSaveFile(gCFile& file, gCFRelative& ref, EFileAccess access) {
    return InitLoadFile(file, ref, access);
}

error gCFileIO::InitSaveFile(gCFile& file, gCString relativePath, EFileAccess access) {
    return InitLoadFile(file, relativePath, access);
}

error gCFileIO::InitLoadFRef(gCFRef& ref, gCFTypeList* types) {
    gCFileDlg dialog;
    gCString path;
    const error e = dialog.ShowLoadFile(path, types);
    if (e != eNoError) {
        return e;
    }
    if (TextOf(path).empty()) {
        return eBadParameter;
    }
    // A path that cannot be taken leaves the reference as it was: its
    // error, never an earlier file opened in the chosen one's place.
    const error set = ref.SetFileReference(path);
    if (set != eNoError) {
        return set;
    }
    return ref.IsValid() ? eNoError : eBadParameter;
}

error gCFileIO::InitSaveFRef(gCFRef* ref, gCFTypeList* types) {
    if (!ref) {
        return eBadParameter;
    }
    gCFileDlg dialog;
    const error e = dialog.ShowSaveFile(ref, types);
    if (e != eNoError) {
        return e;
    }
    return ref->IsValid() ? eNoError : eBadParameter;
}

error gCFileIO::InitFolderRef(gCFolderRef& folder) {
    gCFileDlg dialog;
    gCString path;
    const error e = dialog.ShowChooseFolder(path);
    if (e != eNoError) {
        return e;
    }
    return folder.SetFolderReference(path) == eNoError ? eNoError : eCreateFailed;
}

bool gCFileIO::Verify(gCFRef& ref) {
    gCFile file;
    return file.Open(&ref, eAccessReadOnly) == eNoError;
}

bool gCFileIO::Verify(gCFRelative& ref) {
    gCFile file;
    return file.Open(&ref, eAccessReadOnly) == eNoError;
}

bool gCFileIO::Verify(gCFolderRef& folder) {
    std::string posix;
    struct stat st;
    return gCVolumeTable::ColonToPosix(folder.FolderReference(), posix) == eNoError &&
           ::stat(posix.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool gCFileIO::VerifyRelativeName(gCString relativePath) {
    gCFRelative ref(relativePath);
    return Verify(ref);
}

bool gCFileIO::VerifyRelativeFolderName(gCString relativePath) {
    gCString root;
    if (gGetApplicationRoot(root) != eNoError) {
        return false; // no application folder: nothing below it exists
    }
    const std::u16string_view r = TextOf(root);
    const std::u16string_view t = TextOf(relativePath);
    const bool colon = (r.empty() || r.back() != u':') && (t.empty() || t.front() != u':');
    gCString text;
    gCFolderRef folder;
    // Without memory no folder is named, and none is taken for verified.
    return JoinText(text, {r, colon ? u":" : u"", t}) == eNoError &&
           folder.SetFolderReference(text) == eNoError && Verify(folder);
}

bool gCFileIO::IsLegalPath(gCString text) {
    return ::IsLegalPath(text);
}
