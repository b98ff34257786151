#include "FileIO/gCFRef.h"

#include <sys/stat.h>

#include "FileIO/VolumeTable.h"
#include "FileIO/detail/ApplicationRoot.h"
#include "FileIO/detail/StringText.h"
#include "FileIO/gCFRelative.h"
#include "FileIO/gCFileIO.h"
#include "FileIO/gCFolderRef.h"

namespace {

// The POSIX path without a trailing '/' (except for the root itself).
std::string TrimSlash(std::string p) {
    while (p.size() > 1 && p.back() == '/') {
        p.pop_back();
    }
    return p;
}

bool ExistsAt(const std::string& posix) {
    struct stat st;
    return !posix.empty() && ::stat(posix.c_str(), &st) == 0;
}

} // namespace

gCFRef::gCFRef(const gCString& text) {
    ExtractData(text);
}

void gCFRef::Init() {
    Invalidate();
    m_FSRef = FSRef();
}

void gCFRef::Invalidate() {
    m_fValid = 0;
    m_nFileType = eNoFileType;
    m_nMacType = kNoMacType;
    m_Suffix.Destroy();
    m_Volume.Destroy();
    m_Path.Destroy();
    m_Name.Destroy();
}

error gCFRef::SetFileReference(const gCString& text) {
    return ExtractData(text);
}

error gCFRef::SetFileReference(const FSRef& ref) {
    m_FSRef = ref;
    ExtractData(m_FSRef);
    m_fValid = 1;
    return eNoError;
}

error gCFRef::GetFSRefFromPath(const gCString& path, FSRef* ref) {
    std::string posix;
    if (gCVolumeTable::ColonToPosix(path, posix) != eNoError || !ExistsAt(posix)) {
        return eGenericFailure;
    }
    if (ref) {
        ref->path = TrimSlash(posix);
    }
    return eNoError;
}

error gCFRef::GetPathFromFSRef(const FSRef& ref, gCString& volume, gCString& path, gCString& name) {
    volume.Destroy();
    path.Destroy();
    name.Destroy();
    std::u16string colon;
    if (!ExistsAt(ref.path) || gCVolumeTable::PosixToColon(ref.path, colon) != eNoError) {
        return eBadParameter;
    }
    const size_t first = colon.find(u':');
    volume = MakeString(std::u16string_view(colon).substr(0, first + 1));
    const std::u16string_view rest = std::u16string_view(colon).substr(first + 1);
    if (rest.empty()) {
        return eNoError; // the volume's root folder
    }
    const size_t last = rest.rfind(u':');
    if (last == std::u16string_view::npos) {
        name = MakeString(rest);
    } else {
        path = MakeString(rest.substr(0, last + 1));
        name = MakeString(rest.substr(last + 1));
    }
    return eNoError;
}

error gCFRef::ExtractData(const FSRef& ref) {
    gCString volume, path, name;
    const error e = GetPathFromFSRef(ref, volume, path, name);
    if (e != eNoError) {
        return e;
    }
    m_Volume = volume;
    m_Path = path;
    m_Suffix = GetFileSuffix(name);
    const int32_t keep = name.GetLength() - m_Suffix.GetLength();
    name.Mid(0, keep > 0 ? keep : 0);
    m_Name = name;
    return eNoError;
}

error gCFRef::ExtractData(const gCString& text) {
    const std::u16string_view t = TextOf(text);
    if (t.empty()) {
        return eBadParameter;
    }
    FSRef resolved;
    if (GetFSRefFromPath(text, &resolved) == eNoError) {
        m_FSRef = resolved;
        ExtractData(m_FSRef);
    } else {
        const size_t lastColon = t.rfind(u':');
        const std::u16string_view folderText = lastColon == std::u16string_view::npos
                                                   ? std::u16string_view()
                                                   : t.substr(0, lastColon + 1);
        const std::u16string_view leaf =
            lastColon == std::u16string_view::npos ? t : t.substr(lastColon + 1);
        gCString volume, path, name;
        FSRef folder;
        if (!folderText.empty() && GetFSRefFromPath(MakeString(folderText), &folder) == eNoError) {
            gCString folderName;
            const error e = GetPathFromFSRef(folder, volume, path, folderName);
            if (e != eNoError) {
                return e;
            }
            path.AppendString(folderName);
            const std::u16string_view p = TextOf(path);
            if (!p.empty() && p.back() != u':') {
                path.AppendString(u":");
            }
            m_FSRef = folder;
        } else {
            // Neither the file nor its folder exists: the parts come from
            // the text itself, never from an earlier file.
            const size_t firstColon = folderText.find(u':');
            if (firstColon != std::u16string_view::npos) {
                volume = MakeString(folderText.substr(0, firstColon + 1));
                path = MakeString(folderText.substr(firstColon + 1));
            }
            m_FSRef = FSRef();
        }
        name = MakeString(leaf);
        m_Volume = volume;
        m_Path = path;
        m_Suffix = GetFileSuffix(name);
        name.Mid(0, name.GetLength() - m_Suffix.GetLength());
        m_Name = name;
    }
    UpdateFileType(m_Suffix);
    m_fValid = 1;
    return eNoError;
}

gCString gCFRef::FileReference() const {
    gCString s(m_Volume);
    s.AppendString(m_Path);
    s.AppendString(m_Name);
    s.AppendString(m_Suffix);
    return s;
}

std::string gCFRef::PosixPath() const {
    std::string posix;
    if (gCVolumeTable::ColonToPosix(FileReference(), posix) != eNoError) {
        return std::string();
    }
    return posix;
}

void gCFRef::Reresolve() {
    // The file itself when it exists, else its folder (the place where it
    // is to be created), else nothing.
    FSRef ref;
    if (GetFSRefFromPath(FileReference(), &ref) == eNoError) {
        m_FSRef = ref;
        return;
    }
    gCString folder(m_Volume);
    folder.AppendString(m_Path);
    if (GetFSRefFromPath(folder, &ref) == eNoError) {
        m_FSRef = ref;
        return;
    }
    m_FSRef = FSRef();
}

error gCFRef::SetVolume(const gCString& volume) {
    m_Volume = volume;
    Reresolve();
    return eNoError;
}

error gCFRef::SetPath(const gCString& path) {
    m_Path = path;
    Reresolve();
    return eNoError;
}

error gCFRef::SetName(const gCString& name) {
    m_Name = name;
    Reresolve();
    return eNoError;
}

error gCFRef::SetType(eFileType row) {
    if (row < eNoFileType || row > eNumTypesIndex) {
        return eBadParameter;
    }
    m_nFileType = row;
    m_nMacType = eMacFileType[row];
    m_Suffix = MakeString(sPCFileType[row]);
    return eNoError;
}

error gCFRef::SetType(const gCString& suffix) {
    m_Suffix = suffix;
    ExtractData(FileReference());
    return eNoError;
}

error gCFRef::SetType(uint32_t macType) {
    m_nMacType = macType;
    for (int32_t row = 0; row <= eUnknownFileType; ++row) {
        if (eMacFileType[row] == macType) {
            m_nFileType = eFileType(row);
            m_Suffix = MakeString(sPCFileType[row]);
            return eNoError;
        }
    }
    m_nFileType = eUnknownFileType;
    m_Suffix.Destroy();
    return eNoError;
}

gCString gCFRef::GetFileSuffix(const gCString& name) {
    const std::u16string_view t = TextOf(name);
    const size_t dot = t.rfind(u'.');
    if (dot == std::u16string_view::npos || dot == 0) {
        return gCString();
    }
    return MakeString(t.substr(dot));
}

void gCFRef::UpdateFileType(const gCString& suffix) {
    const std::u16string_view s = TextOf(suffix);
    m_nFileType = FileTypeFromSuffix(s.data(), int32_t(s.size()));
    m_nMacType = eMacFileType[m_nFileType];
}

int64_t gCFRef::GetSize() const {
    struct stat st;
    const std::string posix = PosixPath();
    if (posix.empty() || ::stat(posix.c_str(), &st) != 0) {
        return -1;
    }
    return int64_t(st.st_size);
}

bool gCFRef::Exists() const {
    gCFRef copy(*this);
    return gCFileIO::Verify(copy);
}

error gCFRef::GetParentDirectory(gCFolderRef& folder) const {
    gCString text(m_Volume);
    text.AppendString(m_Path);
    return folder.SetFolderReference(text);
}

bool gCFRef::IsWithinFolder(const gCFolderRef& folder) const {
    const std::u16string file = UpperAscii(TextOf(FileReference()));
    const std::u16string dir = UpperAscii(TextOf(folder.FolderReference()));
    if (dir.size() >= file.size()) {
        return false;
    }
    return file.compare(0, dir.size(), dir) == 0;
}

gCString gCFRef::ReferenceWithinFolder(const gCFolderRef& folder) const {
    const gCString fileRef = FileReference();
    const std::u16string_view file = TextOf(fileRef);
    const size_t dirLength = TextOf(folder.FolderReference()).size();
    if (dirLength >= file.size()) {
        return gCString();
    }
    return MakeString(file.substr(dirLength));
}

error gCFRef::SetRelativeRef(gCFRelative& relative) const {
    gCString folderText(m_Volume);
    folderText.AppendString(m_Path);
    gCString root;
    gGetApplicationRoot(root);
    folderText.Replace(uint32_t(u'\\'), uint32_t(u':'));
    root.Replace(uint32_t(u'\\'), uint32_t(u':'));
    const std::u16string_view f = TextOf(folderText);
    const std::u16string_view r = TextOf(root);
    if (f.size() < r.size() || UpperAscii(f.substr(0, r.size())) != UpperAscii(r)) {
        return eGenericFailure;
    }
    gCString text = MakeString(f.substr(r.size()));
    text.AppendString(m_Name);
    text.AppendString(m_Suffix);
    const error e = relative.SetReference(text);
    if (e != eNoError) {
        return e;
    }
    relative.SetMacType(m_nMacType);
    return eNoError;
}
