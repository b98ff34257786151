#pragma once
// The toolkit's whole-file operations: opening a stream from a reference
// (asking the user when the reference is not valid yet), loading and
// saving whole memory files, checking, deleting, copying and moving files,
// copying and listing folders, making folders, listing volumes, finding
// the user's Documents folder, and opening links and files with the
// desktop's default handler.
//
// Path texts are application-relative for InitLoadFile, InitSaveFile,
// LoadMemFile, SaveMemFile, VerifyRelativeName, FileRelativePathDelete and
// MakeRelativeFolder, and full colon paths for FileDelete and OSExecute.
// Access modes are gCFile's. A cancelled dialog gives 2.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "FileIO/FSRef.h"
#include "FileIO/gCFile.h"
#include "foundation/gCArray.h"
#include "foundation/gCString.h"

class gCFile;
class gCFRef;
class gCFRelative;
class gCFolderRef;
class gCFTypeList;
class gCMemFile;
class gCStream;
class gCVolumeRef;

class gCFileIO {
public:
    // Opening.
    static error InitLoadFile(gCFile& file, gCFRef& ref, gCFTypeList* types, EFileAccess access);
    static error InitLoadFile(gCFile& file, gCFRelative& ref, EFileAccess access);
    static error InitLoadFile(gCFile& file, gCString relativePath, EFileAccess access);
    static error InitSaveFile(gCFile& file, gCFRef& ref, gCFTypeList* types, EFileAccess access);
    static error InitSaveFile(gCFile& file, gCFRelative& ref, EFileAccess access);
    static error InitSaveFile(gCFile& file, gCString relativePath, EFileAccess access);
    static error InitLoadFRef(gCFRef& ref, gCFTypeList* types);
    static error InitSaveFRef(gCFRef* ref, gCFTypeList* types);
    static error InitFolderRef(gCFolderRef& folder);

    // Whole memory files. Loading reads the whole file into the start of
    // the stream's block, the used length grown by the file's length (a
    // short read is 15); a failed load leaves the used length as it was.
    // Saving writes the stream's used length.
    static error LoadMemFile(gCMemFile& mem, gCFile* file);
    static error LoadMemFile(gCMemFile& mem, gCFRef* ref);
    static error LoadMemFile(gCMemFile& mem, gCFRelative* ref);
    static error LoadMemFile(gCMemFile& mem, gCString relativePath);
    static error SaveMemFile(gCMemFile* mem, gCFile* file);
    static error SaveMemFile(gCMemFile* mem, gCFRelative* ref);
    static error SaveMemFile(gCMemFile* mem, gCString relativePath);
    static error SaveMemFile(gCMemFile* mem, gCFRef* ref);

    // Existence and names.
    static bool Verify(gCFRef& ref);
    static bool Verify(gCFRelative& ref);
    // False also when the folder's text cannot be made without memory.
    static bool Verify(gCFolderRef& folder);
    static bool VerifyRelativeName(gCString relativePath);
    static bool VerifyRelativeFolderName(gCString relativePath);
    static bool IsLegalPath(gCString text);

    // Deleting: 0, 6 for a bad name or a file that may not be removed, 16
    // for anything else (a missing file too).
    static error FileDelete(FSRef& ref);
    static error FileDelete(gCFRef& ref);
    static error FileDelete(gCString fullPath);
    static error FileDelete(gCFRelative& ref);
    static error FileRelativePathDelete(gCString relativePath);
    static error FileDelete(gCFolderRef& folder, gCString name);

    // Copying and moving: 6 when the file system refuses (a missing
    // source, an existing target where one is not allowed).
    static error FileCopy(gCString source, gCString target, int32_t failIfExists);
    static error FileCopy(gCFRef& source, gCFRef& target, int32_t failIfExists);
    static error FileCopy(gCFRelative& source, gCFRelative& target, int32_t failIfExists);
    static error FileCopy(gCFRelative& source, gCFolderRef& target, int32_t failIfExists);
    static error FileCopy(gCFRef& source, gCFolderRef& target, int32_t failIfExists);
    static error FileMove(gCString source, gCString target);
    static error FileMove(gCFRef& source, gCFRef& target);
    static error FileMove(gCFRelative& source, gCFRelative& target);
    static error FileMove(gCFRelative& source, gCFolderRef& target, gCString name);
    static error FileMove(gCFRef& source, gCFolderRef& target, gCString name);
    // The whole source from its start to the destination's position, in
    // chunks of at most 262,144 bytes.
    static error ByteCopy(gCStream& source, gCStream& destination);
    // The first error of any step is returned (the files copied until then
    // stay), a listing that could not be made whole included.
    static error FolderCopy(gCFolderRef& source, gCFolderRef& destination, int32_t recursive);

    // Folders and volumes. The listed references are the caller's. Listing
    // appends an entry per file and folder; 5 when an entry cannot be made
    // or appended (the entries appended so far stay the caller's), so that
    // a list is never taken for whole when it is not. A folder that cannot
    // be read lists nothing.
    static error GetDirectoryContents(gCFolderRef& folder, gCArray<gCFRef*>* files,
                                      gCArray<gCFolderRef*>* folders);
    static error MakeFolder(gCFolderRef& folder);
    static error MakeRelativeFolder(gCString relativePath);
    static error RemoveRelativeFolder(gCString relativePath);
    // The volume table's volumes, then the mount points under /media and
    // /mnt (listed, not added to the table).
    static error GetVolumeList(gCArray<gCVolumeRef*>& volumes);
    // The Documents folder of the XDG user folders; 23 when it is missing.
    static error GetOSUserDocumentsFolder(gCFolderRef* folder);

    // Opening with the desktop's default handler (xdg-open, detached): 8
    // when it cannot be started.
    static error URLExecute(gCString url);
    static error OSExecute(gCString fullPath);
    static error OSExecute(gCFRef& ref);
    static error OSExecute(gCFRelative& ref);
    static error OSExecute(gCFolderRef& folder);

    // What starts the opener: the argument vector, program name first.
    // Tests replace it; an empty function restores the default.
    using Launcher = std::function<bool(const std::vector<std::string>&)>;
    static void SetLauncher(Launcher launcher);

    // The Documents folder that the XDG user folders name: the
    // XDG_DOCUMENTS_DIR line of user-dirs.dirs, else $HOME/Documents.
    static std::string DocumentsFolderPath(const std::string& home,
                                           const std::string& userDirsText);
};
