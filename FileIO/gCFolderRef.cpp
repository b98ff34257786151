#include "FileIO/gCFolderRef.h"

#include <sys/stat.h>

#include "FileIO/VolumeTable.h"
#include "FileIO/detail/ApplicationRoot.h"
#include "FileIO/detail/StringText.h"
#include "FileIO/gCFRef.h"
#include "FileIO/gCFile.h"
#include "FileIO/gCFileIO.h"
#include "foundation/Utf8.h"

gCFolderRef::gCFolderRef(const gCString& text) {
    ExtractData(text);
}

gCFolderRef::gCFolderRef(const gCFolderRef& other) {
    *this = other;
}

gCFolderRef& gCFolderRef::operator=(const gCFolderRef& other) {
    if (this != &other) {
        m_fValid = other.m_fValid;
        m_Volume = other.m_Volume;
        m_Path = other.m_Path;
        m_Name = other.m_Name;
        m_FSRef = other.m_FSRef;
        ExtractData(FolderReference());
    }
    return *this;
}

error gCFolderRef::ExtractData(const gCString& text) {
    std::u16string_view t = TextOf(text);
    if (t.empty()) {
        return eNoError;
    }
    if (gCFRef::GetFSRefFromPath(text, &m_FSRef) != eNoError) {
        m_FSRef = FSRef();
    }
    while (!t.empty() && t.back() == u':') {
        t.remove_suffix(1);
    }
    if (t.empty()) {
        return eBadParameter;
    }
    gCArray<gCString> segments;
    MakeString(t).SplitString(segments, uint32_t(u':'));
    const int32_t n = segments.GetSize();
    m_Volume = segments[0];
    m_Path.Destroy();
    m_Name.Destroy();
    if (n >= 2) {
        m_Name = segments[n - 1];
        m_Path.CopyString(u":");
        for (int32_t i = 1; i < n - 1; ++i) {
            m_Path.AppendString(segments[i]);
            m_Path.AppendString(u":");
        }
    }
    m_fValid = 1;
    return eNoError;
}

error gCFolderRef::SetFolderReference(const gCString& text) {
    const error e = ExtractData(text);
    if (e == eNoError) {
        m_fValid = 1;
    }
    return e;
}

error gCFolderRef::SetFolderReference(const FSRef& ref) {
    m_FSRef = ref;
    gCFRef::GetPathFromFSRef(ref, m_Volume, m_Path, m_Name);
    m_fValid = 1;
    return eNoError;
}

error gCFolderRef::SetRelativeReference(const gCString& relative) {
    gCString root;
    gGetApplicationRoot(root);
    std::u16string r = TextCopy(root);
    while (!r.empty() && (r.back() == u'\\' || r.back() == u'/' || r.back() == u':')) {
        r.pop_back();
    }
    r += u':';
    r += TextOf(relative);
    const error e = ExtractData(MakeString(r));
    if (e == eNoError) {
        m_fValid = 1;
    }
    return e;
}

gCString gCFolderRef::FolderReference() const {
    gCString s = FolderSpecReference();
    const std::u16string_view t = TextOf(s);
    if (t.empty() || t.back() != u':') {
        s.AppendString(u":");
    }
    return s;
}

gCString gCFolderRef::FolderSpecReference() const {
    gCString s(m_Volume);
    s.AppendString(m_Path);
    s.AppendString(m_Name);
    return s;
}

void gCFolderRef::Reresolve() {
    if (gCFRef::GetFSRefFromPath(FolderSpecReference(), &m_FSRef) != eNoError) {
        m_FSRef = FSRef();
    }
}

error gCFolderRef::SetVolume(const gCString& volume) {
    m_Volume = volume;
    Reresolve();
    return eNoError;
}

error gCFolderRef::SetPath(const gCString& path) {
    m_Path = path;
    const std::u16string_view p = TextOf(m_Path);
    if (!p.empty() && p.back() != u':') {
        m_Path.AppendString(u":");
    }
    Reresolve();
    return eNoError;
}

error gCFolderRef::SetName(const gCString& name) {
    m_Name = name;
    Reresolve();
    return eNoError;
}

bool gCFolderRef::Exists() const {
    struct stat st;
    return m_FSRef.IsSet() && ::stat(m_FSRef.path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

error gCFolderRef::Create() {
    const gCString ref = FolderReference();
    FSRef existing;
    if (gCFRef::GetFSRefFromPath(ref, &existing) == eNoError) {
        m_FSRef = existing;
        return eNoError;
    }
    std::string posix;
    if (gCVolumeTable::ColonToPosix(ref, posix) != eNoError) {
        return eCreateFailed;
    }
    while (posix.size() > 1 && posix.back() == '/') {
        posix.pop_back();
    }
    if (::mkdir(posix.c_str(), 0777) != 0) {
        return eCreateFailed;
    }
    m_FSRef.path = posix;
    return eNoError;
}

void gCFolderRef::Invalidate() {
    m_fValid = 0;
    m_Volume.Destroy();
    m_Path.Destroy();
    m_Name.Destroy();
}

error gCFolderRef::GetParentDirectory(gCFolderRef& parent) const {
    gCString text(m_Volume);
    text.AppendString(m_Path);
    parent.SetFolderReference(text);
    return eNoError;
}

std::unique_ptr<gCFolderRef> gCFolderRef::GetParentFolder() const {
    if (TextOf(m_Path).empty()) {
        return nullptr;
    }
    auto parent = std::make_unique<gCFolderRef>();
    GetParentDirectory(*parent);
    return parent;
}

error gCFolderRef::GetParentFolder(gCFolderRef& parent) const {
    if (TextOf(m_Path).empty()) {
        parent.Invalidate();
        return eNoError;
    }
    gCString text(m_Volume);
    text.AppendString(m_Path);
    if (parent.SetFolderReference(text) != eNoError) {
        parent.Invalidate();
    }
    return eNoError;
}

std::unique_ptr<gCFRef> gCFolderRef::GetFileRef(const gCString& name) const {
    auto ref = std::make_unique<gCFRef>();
    GetFileRef(name, *ref);
    return ref;
}

void gCFolderRef::GetFileRef(const gCString& name, gCFRef& ref) const {
    gCString text = FolderReference();
    text.AppendString(name);
    ref.SetFileReference(text);
}

std::unique_ptr<gCFolderRef> gCFolderRef::GetChildFolder(const gCString& name) const {
    auto child = std::make_unique<gCFolderRef>();
    gCString text = FolderReference();
    text.AppendString(name);
    if (child->SetFolderReference(text) != eNoError) {
        return nullptr;
    }
    return child;
}

void gCFolderRef::GetChildFolder(const gCString& name, gCFolderRef& child) const {
    gCString text = FolderReference();
    text.AppendString(name);
    if (child.SetFolderReference(text) != eNoError) {
        child.Invalidate();
    }
}

bool gCFolderRef::IsInside(const gCFolderRef* folder) const {
    if (!folder) {
        return false;
    }
    const std::u16string target = UpperAscii(TextOf(folder->FolderReference()));
    if (UpperAscii(TextOf(FolderReference())) == target) {
        return true;
    }
    std::unique_ptr<gCFolderRef> parent = GetParentFolder();
    while (parent) {
        if (UpperAscii(TextOf(parent->FolderReference())) == target) {
            return true;
        }
        parent = parent->GetParentFolder();
    }
    return false;
}

bool gCFolderRef::IsWritable() const {
    // A probe file, "X" and a line end, written as a whole new file and
    // deleted again. A file of the user's that already bears the probe's
    // name is never touched: the probe takes a free name beside it.
    gCFRef probe;
    GetFileRef(MakeString(u"test.tst"), probe);
    for (int32_t n = 1; probe.IsValid() && probe.Exists() && n <= 100; ++n) {
        GetFileRef(MakeString(u"test-" + gUtf8ToUtf16(std::to_string(n)) + u".tst"), probe);
    }
    if (!probe.IsValid() || probe.Exists()) {
        return false;
    }
    gCFile file;
    if (gCFileIO::InitSaveFile(file, probe, nullptr, eAccessWholeNew) != eNoError) {
        return false;
    }
    const bool wrote = file.WriteString(MakeString(u"X"), 1) == eNoError;
    const bool closed = file.Close() == eNoError;
    return wrote && closed && gCFileIO::FileDelete(probe) == eNoError;
}

error gCFolderRef::Browse() {
    return eNotImplemented;
}
