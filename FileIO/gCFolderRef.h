#pragma once
// A reference to a folder: volume, path and name, in one of two forms that
// give the same FolderReference(). Parsed from text: volume "HD", path
// ":Users:me:", name "Docs". Taken from a resolved folder: volume "HD:",
// path "Users:me:", name "Docs".

#include <memory>

#include "FileIO/FSRef.h"
#include "foundation/gCBaseObject.h"
#include "foundation/gCString.h"

class gCFRef;

class gCFolderRef : public gCBaseObject {
public:
    gCFolderRef() = default;
    explicit gCFolderRef(const gCString& text);
    gCFolderRef(const gCFolderRef& other);
    gCFolderRef& operator=(const gCFolderRef& other);
    ~gCFolderRef() override = default;

    error ExtractData(const gCString& text);
    error SetFolderReference(const gCString& text);
    error SetFolderReference(const FSRef& ref);
    // A folder below the application folder.
    error SetRelativeReference(const gCString& relative);

    // Volume + path + name + ':' (no second ':' when that already ends in
    // one, as for a volume's root folder).
    gCString FolderReference() const;
    gCString FolderSpecReference() const;
    gCString Volume() const { return m_Volume; }
    gCString Path() const { return m_Path; }
    gCString Name() const { return m_Name; }
    const FSRef* FolderSpec() const { return &m_FSRef; }
    int32_t IsValid() const { return m_fValid; }

    error SetVolume(const gCString& volume);
    error SetPath(const gCString& path);
    error SetName(const gCString& name);

    bool Exists() const;
    // Makes the folder when it does not exist yet; 0 or 23.
    error Create();
    void Invalidate();

    error GetParentDirectory(gCFolderRef& parent) const;
    // The parent folder, null when the path is empty.
    std::unique_ptr<gCFolderRef> GetParentFolder() const;
    error GetParentFolder(gCFolderRef& parent) const;
    std::unique_ptr<gCFRef> GetFileRef(const gCString& name) const;
    void GetFileRef(const gCString& name, gCFRef& ref) const;
    std::unique_ptr<gCFolderRef> GetChildFolder(const gCString& name) const;
    void GetChildFolder(const gCString& name, gCFolderRef& child) const;

    // This folder is the given one or lies anywhere inside it.
    bool IsInside(const gCFolderRef* folder) const;
    // A probe file can be written and deleted in the folder.
    bool IsWritable() const;
    // There is no folder browser: 9.
    error Browse();

private:
    void Reresolve();

    int32_t m_fValid = 0;
    gCString m_Volume;
    gCString m_Path;
    gCString m_Name;
    FSRef m_FSRef;
};
