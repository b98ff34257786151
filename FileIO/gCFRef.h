#pragma once
// A reference to a file: its colon path split into volume ("HD:"), folder
// path ("Users:me:"), name and suffix (".jpg"), its row of the file-type
// table and Finder type, and beside them the file system's own reference as
// last resolved. For a file still to be created the text parts are the
// authority.

#include <cstdint>

#include "FileIO/FSRef.h"
#include "FileIO/FileTypes.h"
#include "foundation/gCBaseObject.h"
#include "foundation/gCString.h"

class gCFolderRef;
class gCFRelative;

class gCFRef : public gCBaseObject {
public:
    gCFRef() = default;
    explicit gCFRef(const gCString& text);
    gCFRef(const gCFRef& other) = default;
    gCFRef& operator=(const gCFRef& other) = default;
    ~gCFRef() override = default;

    // Empty and invalid: file type 0, Mac type "????", all texts empty.
    void Init();
    void Invalidate();

    error SetFileReference(const gCString& text);
    // Takes the parts of a resolved file; file and Mac type stay.
    error SetFileReference(const FSRef& ref);
    error ExtractData(const gCString& text);
    error ExtractData(const FSRef& ref);

    // 0 when the colon path names an existing file or folder, else 1.
    static error GetFSRefFromPath(const gCString& path, FSRef* ref);
    // Volume ("HD:"), folder path and name of a resolved item; 6 when it
    // cannot be described.
    static error GetPathFromFSRef(const FSRef& ref, gCString& volume, gCString& path,
                                  gCString& name);

    gCString FileReference() const;
    const FSRef* FileSpecReference() const { return &m_FSRef; }
    gCString Volume() const { return m_Volume; }
    gCString Path() const { return m_Path; }
    gCString FileName() const { return m_Name; }
    gCString TypeString() const { return m_Suffix; }

    error SetVolume(const gCString& volume);
    error SetPath(const gCString& path);
    error SetName(const gCString& name);

    // By table row (0 to 24; 6 otherwise), by suffix, or by Finder type.
    error SetType(eFileType row);
    error SetType(const gCString& suffix);
    error SetType(uint32_t macType);
    // Sets the table row and Finder type alone; the suffix stays.
    void SetFileTypes(eFileType row, uint32_t macType) {
        m_nFileType = row;
        m_nMacType = macType;
    }

    // The text from the last '.' (not in the first position) to the end.
    static gCString GetFileSuffix(const gCString& name);
    void UpdateFileType(const gCString& suffix);

    int32_t IsValid() const { return m_fValid; }
    eFileType GetFileType() const { return m_nFileType; }
    uint32_t GetMacType() const { return m_nMacType; }

    // Size in bytes, -1 when the file cannot be queried.
    int64_t GetSize() const;
    // True when the file opens for reading.
    bool Exists() const;

    error GetParentDirectory(gCFolderRef& folder) const;
    bool IsWithinFolder(const gCFolderRef& folder) const;
    gCString ReferenceWithinFolder(const gCFolderRef& folder) const;
    // This file's place relative to the application folder; 1 when it lies
    // outside it.
    error SetRelativeRef(gCFRelative& relative) const;

    // The absolute POSIX path that the text parts name ("" when the volume
    // is unknown).
    std::string PosixPath() const;

private:
    void Reresolve();

    int32_t m_fValid = 0;
    eFileType m_nFileType = eNoFileType;
    uint32_t m_nMacType = kNoMacType;
    gCString m_Suffix;
    gCString m_Volume;
    gCString m_Path;
    gCString m_Name;
    FSRef m_FSRef;
};
