#pragma once
// A reference to a file: its colon path split into volume ("HD:"), folder
// path ("Users:me:"), name and suffix (".jpg"), its row of the file-type
// table and Finder type, and beside them the file system's own reference as
// last resolved. For a file still to be created the text parts are the
// authority.
//
// Every operation that sets parts makes them all before it takes any: a
// failed call (6 for a text or item that cannot be described, 5 without
// memory) leaves the reference exactly as it was.

#include <cstdint>
#include <string_view>

#include "FileIO/FSRef.h"
#include "FileIO/FileTypes.h"
#include "foundation/gCBaseObject.h"
#include "foundation/gCString.h"

class gCFolderRef;
class gCFRelative;

class gCFRef : public gCBaseObject {
public:
    gCFRef() = default;
    // ExtractData of the text; when that fails the reference stays invalid.
    explicit gCFRef(const gCString& text);
    // Copies every field. A copy that cannot be made without memory is the
    // empty invalid reference, never a mix of two files' parts.
    gCFRef(const gCFRef& other);
    gCFRef& operator=(const gCFRef& other);
    gCFRef(gCFRef&& other) noexcept = default;
    gCFRef& operator=(gCFRef&& other) noexcept = default;
    ~gCFRef() override = default;

    // Empty and invalid: file type 0, Mac type "????", all texts empty.
    void Init();
    void Invalidate();

    // ExtractData of the text.
    error SetFileReference(const gCString& text);
    // Takes a resolved file and its parts and marks the reference valid;
    // file and Mac type stay. 6 when the item cannot be described.
    error SetFileReference(const FSRef& ref);
    // Parses a full colon path into the parts, resolves it (the file, else
    // its folder) and marks the reference valid; 6 for an empty text.
    error ExtractData(const gCString& text);
    // Takes the parts of a resolved item; the stored reference, the valid
    // flag and the types stay. 6 when the item cannot be described.
    error ExtractData(const FSRef& ref);

    // 0 when the colon path names an existing file or folder, else 1.
    static error GetFSRefFromPath(const gCString& path, FSRef* ref);
    static error GetFSRefFromPath(std::u16string_view path, FSRef* ref);
    // Volume ("HD:"), folder path and name of a resolved item; 6 when it
    // cannot be described, 5 without memory, and then all three are empty.
    static error GetPathFromFSRef(const FSRef& ref, gCString& volume, gCString& path,
                                  gCString& name);

    // Volume + path + name + suffix; '' when memory runs out.
    gCString FileReference() const;
    const FSRef* FileSpecReference() const { return &m_FSRef; }
    const gCString& Volume() const { return m_Volume; }
    const gCString& Path() const { return m_Path; }
    const gCString& FileName() const { return m_Name; }
    const gCString& TypeString() const { return m_Suffix; }

    // Replace one part and resolve the reference again (the file, else its
    // folder, else nothing); valid flag and types stay.
    error SetVolume(const gCString& volume);
    error SetPath(const gCString& path);
    error SetName(const gCString& name);

    // By table row (0 to 24; 6 otherwise), by suffix (the text parsed again
    // with the new suffix, as ExtractData), or by Finder type.
    error SetType(eFileType row);
    error SetType(const gCString& suffix);
    error SetType(uint32_t macType);
    // Sets the table row and Finder type alone; the suffix stays.
    void SetFileTypes(eFileType row, uint32_t macType) {
        m_nFileType = row;
        m_nMacType = macType;
    }

    // The text from the last '.' (not in the first position) to the end;
    // '' also when memory runs out.
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
    // outside it (or there is no application folder), or the relative
    // reference's error (which leaves it as its
    // SetReference does).
    error SetRelativeRef(gCFRelative& relative) const;

    // The absolute POSIX path that the text parts name ("" when the volume
    // is unknown).
    std::string PosixPath() const;

private:
    void Reresolve();
    // Sets one text part and resolves again; 5 with nothing changed.
    error SetPart(gCString& part, const gCString& text);

    int32_t m_fValid = 0;
    eFileType m_nFileType = eNoFileType;
    uint32_t m_nMacType = kNoMacType;
    gCString m_Suffix;
    gCString m_Volume;
    gCString m_Path;
    gCString m_Name;
    FSRef m_FSRef;
};
