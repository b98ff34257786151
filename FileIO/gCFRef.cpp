#include "FileIO/gCFRef.h"

#include <sys/stat.h>

#include <algorithm>
#include <string>
#include <utility>

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

// Where a name's suffix starts: its last '.', not in the first position;
// the name's length when it has none.
size_t SuffixStart(std::u16string_view name) {
    const size_t dot = name.rfind(u'.');
    return dot == std::u16string_view::npos || dot == 0 ? name.size() : dot;
}

// A file name split into name and suffix: 0, or 5 with both unchanged.
error SplitName(std::u16string_view leaf, gCString& name, gCString& suffix) {
    const size_t dot = SuffixStart(leaf);
    gCString n, x;
    const error e = SetText(n, leaf.substr(0, dot));
    if (e != eNoError) {
        return e;
    }
    const error f = SetText(x, leaf.substr(dot));
    if (f != eNoError) {
        return f;
    }
    name = std::move(n);
    suffix = std::move(x);
    return eNoError;
}

} // namespace

gCFRef::gCFRef(const gCString& text) {
    // A constructor has no result: a text that does not parse leaves the
    // new reference empty and invalid, which IsValid tells.
    (void)ExtractData(text);
}

gCFRef::gCFRef(const gCFRef& other) : gCBaseObject() {
    *this = other;
}

gCFRef& gCFRef::operator=(const gCFRef& other) {
    if (this == &other) {
        return *this;
    }
    gCString suffix, volume, path, name;
    if (SetText(suffix, TextOf(other.m_Suffix)) != eNoError ||
        SetText(volume, TextOf(other.m_Volume)) != eNoError ||
        SetText(path, TextOf(other.m_Path)) != eNoError ||
        SetText(name, TextOf(other.m_Name)) != eNoError) {
        // An assignment has no result: without memory the reference is
        // emptied, never left naming a mix of two files.
        Init();
        return *this;
    }
    m_fValid = other.m_fValid;
    m_nFileType = other.m_nFileType;
    m_nMacType = other.m_nMacType;
    m_Suffix = std::move(suffix);
    m_Volume = std::move(volume);
    m_Path = std::move(path);
    m_Name = std::move(name);
    m_FSRef = other.m_FSRef;
    return *this;
}

void gCFRef::Init() {
    Invalidate();
    m_FSRef = FSRef();
}

void gCFRef::Invalidate() {
    m_fValid = 0;
    m_nFileType = eNoFileType;
    m_nMacType = kNoMacType;
    // Freeing cannot fail.
    (void)m_Suffix.Destroy();
    (void)m_Volume.Destroy();
    (void)m_Path.Destroy();
    (void)m_Name.Destroy();
}

error gCFRef::SetFileReference(const gCString& text) {
    return ExtractData(text);
}

error gCFRef::SetFileReference(const FSRef& ref) {
    // The parts of the new file or nothing: never the new file's reference
    // beside an earlier file's parts.
    const error e = ExtractData(ref);
    if (e != eNoError) {
        return e;
    }
    m_FSRef = ref;
    m_fValid = 1;
    return eNoError;
}

error gCFRef::GetFSRefFromPath(const gCString& path, FSRef* ref) {
    return GetFSRefFromPath(TextOf(path), ref);
}

error gCFRef::GetFSRefFromPath(std::u16string_view path, FSRef* ref) {
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
    // Freeing cannot fail.
    (void)volume.Destroy();
    (void)path.Destroy();
    (void)name.Destroy();
    std::u16string colon;
    if (!ExistsAt(ref.path) || gCVolumeTable::PosixToColon(ref.path, colon) != eNoError) {
        return eBadParameter;
    }
    const std::u16string_view text(colon);
    const size_t first = text.find(u':');
    const std::u16string_view rest = text.substr(first + 1);
    // The volume's root folder has neither path nor name.
    const size_t last = rest.empty() ? std::u16string_view::npos : rest.rfind(u':');
    const std::u16string_view folders =
        last == std::u16string_view::npos ? std::u16string_view() : rest.substr(0, last + 1);
    const std::u16string_view leaf =
        last == std::u16string_view::npos ? rest : rest.substr(last + 1);
    gCString v, p, n;
    error e = eNoError;
    if ((e = SetText(v, text.substr(0, first + 1))) != eNoError ||
        (e = SetText(p, folders)) != eNoError || (e = SetText(n, leaf)) != eNoError) {
        return e;
    }
    volume = std::move(v);
    path = std::move(p);
    name = std::move(n);
    return eNoError;
}

error gCFRef::ExtractData(const FSRef& ref) {
    gCString volume, path, leaf, name, suffix;
    error e = GetPathFromFSRef(ref, volume, path, leaf);
    if (e != eNoError || (e = SplitName(TextOf(leaf), name, suffix)) != eNoError) {
        return e;
    }
    m_Volume = std::move(volume);
    m_Path = std::move(path);
    m_Name = std::move(name);
    m_Suffix = std::move(suffix);
    return eNoError;
}

error gCFRef::ExtractData(const gCString& text) {
    const std::u16string_view t = TextOf(text);
    if (t.empty()) {
        return eBadParameter;
    }
    // Every part is made before any is taken, so that a failure leaves the
    // reference as it was.
    gCString volume, path, name, suffix;
    FSRef resolved;
    error e = eNoError;
    if (GetFSRefFromPath(text, &resolved) == eNoError) {
        gCString leaf;
        if ((e = GetPathFromFSRef(resolved, volume, path, leaf)) != eNoError ||
            (e = SplitName(TextOf(leaf), name, suffix)) != eNoError) {
            return e;
        }
    } else {
        const size_t lastColon = t.rfind(u':');
        const std::u16string_view folderText = lastColon == std::u16string_view::npos
                                                   ? std::u16string_view()
                                                   : t.substr(0, lastColon + 1);
        const std::u16string_view leaf =
            lastColon == std::u16string_view::npos ? t : t.substr(lastColon + 1);
        gCString folderRef;
        if (!folderText.empty() && (e = SetText(folderRef, folderText)) != eNoError) {
            return e;
        }
        FSRef folder;
        if (!folderText.empty() && GetFSRefFromPath(folderRef, &folder) == eNoError) {
            gCString folderName;
            if ((e = GetPathFromFSRef(folder, volume, path, folderName)) != eNoError) {
                return e;
            }
            std::u16string p = TextCopy(path) + TextCopy(folderName);
            if (!p.empty() && p.back() != u':') {
                p += u':';
            }
            if ((e = SetText(path, p)) != eNoError) {
                return e;
            }
            resolved = folder;
        } else {
            // Neither the file nor its folder exists: the parts come from
            // the text itself, never from an earlier file.
            const size_t firstColon = folderText.find(u':');
            if (firstColon != std::u16string_view::npos &&
                ((e = SetText(volume, folderText.substr(0, firstColon + 1))) != eNoError ||
                 (e = SetText(path, folderText.substr(firstColon + 1))) != eNoError)) {
                return e;
            }
            resolved = FSRef();
        }
        if ((e = SplitName(leaf, name, suffix)) != eNoError) {
            return e;
        }
    }
    m_FSRef = resolved;
    m_Volume = std::move(volume);
    m_Path = std::move(path);
    m_Name = std::move(name);
    m_Suffix = std::move(suffix);
    UpdateFileType(m_Suffix);
    m_fValid = 1;
    return eNoError;
}

gCString gCFRef::FileReference() const {
    gCString s;
    // Without memory the text is empty, which names no file: never a part
    // of the path that could name another one.
    (void)JoinText(s, {TextOf(m_Volume), TextOf(m_Path), TextOf(m_Name), TextOf(m_Suffix)});
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
    // is to be created), else nothing. The texts are made outside the
    // memory hooks, so a resolution never fails for want of them.
    const std::u16string folder = TextCopy(m_Volume) + TextCopy(m_Path);
    FSRef ref;
    if (GetFSRefFromPath(folder + TextCopy(m_Name) + TextCopy(m_Suffix), &ref) == eNoError) {
        m_FSRef = ref;
        return;
    }
    if (GetFSRefFromPath(folder, &ref) == eNoError) {
        m_FSRef = ref;
        return;
    }
    m_FSRef = FSRef();
}

error gCFRef::SetPart(gCString& part, const gCString& text) {
    const error e = SetText(part, TextOf(text));
    if (e != eNoError) {
        return e;
    }
    Reresolve();
    return eNoError;
}

error gCFRef::SetVolume(const gCString& volume) {
    return SetPart(m_Volume, volume);
}

error gCFRef::SetPath(const gCString& path) {
    return SetPart(m_Path, path);
}

error gCFRef::SetName(const gCString& name) {
    return SetPart(m_Name, name);
}

error gCFRef::SetType(eFileType row) {
    if (row < eNoFileType || row > eNumTypesIndex) {
        return eBadParameter;
    }
    const error e = SetText(m_Suffix, sPCFileType[row]);
    if (e != eNoError) {
        return e;
    }
    m_nFileType = row;
    m_nMacType = eMacFileType[row];
    return eNoError;
}

error gCFRef::SetType(const gCString& suffix) {
    // The full text with the new suffix, parsed again.
    gCString text;
    const error e =
        JoinText(text, {TextOf(m_Volume), TextOf(m_Path), TextOf(m_Name), TextOf(suffix)});
    return e != eNoError ? e : ExtractData(text);
}

error gCFRef::SetType(uint32_t macType) {
    for (int32_t row = 0; row <= eUnknownFileType; ++row) {
        if (eMacFileType[row] == macType) {
            const error e = SetText(m_Suffix, sPCFileType[row]);
            if (e != eNoError) {
                return e;
            }
            m_nMacType = macType;
            m_nFileType = eFileType(row);
            return eNoError;
        }
    }
    m_nMacType = macType;
    m_nFileType = eUnknownFileType;
    (void)m_Suffix.Destroy(); // freeing cannot fail
    return eNoError;
}

gCString gCFRef::GetFileSuffix(const gCString& name) {
    const std::u16string_view t = TextOf(name);
    return MakeString(t.substr(SuffixStart(t)));
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
    gCString text;
    const error e = JoinText(text, {TextOf(m_Volume), TextOf(m_Path)});
    return e != eNoError ? e : folder.SetFolderReference(text);
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
    std::u16string f = TextCopy(m_Volume) + TextCopy(m_Path);
    gCString rootText;
    if (gGetApplicationRoot(rootText) != eNoError) {
        return eGenericFailure; // no application folder to lie inside
    }
    std::u16string r = TextCopy(rootText);
    std::replace(f.begin(), f.end(), u'\\', u':');
    std::replace(r.begin(), r.end(), u'\\', u':');
    if (f.size() < r.size() ||
        UpperAscii(std::u16string_view(f).substr(0, r.size())) != UpperAscii(r)) {
        return eGenericFailure;
    }
    gCString text;
    error e =
        JoinText(text, {std::u16string_view(f).substr(r.size()), TextOf(m_Name), TextOf(m_Suffix)});
    if (e != eNoError || (e = relative.SetReference(text)) != eNoError) {
        return e;
    }
    return relative.SetMacType(m_nMacType);
}
