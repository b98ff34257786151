#pragma once
// A reference to a folder: volume, path and name, in one of two forms that
// give the same FolderReference(). Parsed from text: volume "HD", path
// ":Users:me:", name "Docs". Taken from a resolved folder: volume "HD:",
// path "Users:me:", name "Docs".
//
// Every operation that sets parts makes them all before it takes any: a
// failed call (6 for a text or item that cannot be described, 5 without
// memory) leaves the reference exactly as it was.

#include <memory>
#include <string_view>

#include "FileIO/FSRef.h"
#include "foundation/gCBaseObject.h"
#include "foundation/gCString.h"

class gCFRef;

class gCFolderRef : public gCBaseObject {
public:
    gCFolderRef() = default;
    // ExtractData of the text; when that fails the reference stays invalid.
    explicit gCFolderRef(const gCString& text);
    // Copies the parts, then parses them again in their text form. A copy
    // that cannot be made without memory is the empty invalid reference.
    gCFolderRef(const gCFolderRef& other);
    gCFolderRef& operator=(const gCFolderRef& other);
    ~gCFolderRef() override = default;

    // Parses a folder's colon path and resolves it; marks the reference
    // valid. An empty text changes nothing (0); 6 for a text of only ':'.
    error ExtractData(const gCString& text);
    error SetFolderReference(const gCString& text);
    // Takes a resolved folder and its parts; 6 when it cannot be described.
    error SetFolderReference(const FSRef& ref);
    // A folder below the application folder; 18 when there is none.
    error SetRelativeReference(const gCString& relative);

    // Volume + path + name + ':' (no second ':' when that already ends in
    // one, as for a volume's root folder). Without memory both texts are
    // '', which names no folder.
    gCString FolderReference() const;
    gCString FolderSpecReference() const;
    const gCString& Volume() const { return m_Volume; }
    const gCString& Path() const { return m_Path; }
    const gCString& Name() const { return m_Name; }
    const FSRef* FolderSpec() const { return &m_FSRef; }
    int32_t IsValid() const { return m_fValid; }

    // Replace one part and resolve again; the valid flag stays.
    error SetVolume(const gCString& volume);
    error SetPath(const gCString& path);
    error SetName(const gCString& name);

    bool Exists() const;
    // Makes the folder when it does not exist yet; 0 or 23.
    error Create();
    void Invalidate();

    // Sets the given folder to volume + path; its error (it then stays as
    // it was).
    error GetParentDirectory(gCFolderRef& parent) const;
    // The parent folder, null when the path is empty or it cannot be made
    // (memory running out included).
    std::unique_ptr<gCFolderRef> GetParentFolder() const;
    // The given folder becomes the parent, or invalid when there is none or
    // it cannot be made; always 0.
    error GetParentFolder(gCFolderRef& parent) const;
    // The reference of a file in this folder: a new object (invalid when
    // it cannot be set, null when memory runs out), or the given reference
    // set, its error returned with the reference as it was.
    std::unique_ptr<gCFRef> GetFileRef(const gCString& name) const;
    error GetFileRef(const gCString& name, gCFRef& ref) const;
    // A child folder: null, or the given folder made invalid, when it
    // cannot be set.
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
    // Sets one text part and resolves again; 5 with nothing changed.
    error SetPart(gCString& part, std::u16string_view text);
    // The folder's reference followed by a name; 5 without memory.
    error InFolder(const gCString& name, gCString& text) const;

    int32_t m_fValid = 0;
    gCString m_Volume;
    gCString m_Path;
    gCString m_Name;
    FSRef m_FSRef;
};
