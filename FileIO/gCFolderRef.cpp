#include "FileIO/gCFolderRef.h"

#include <sys/stat.h>

#include <string>
#include <utility>

#include "FileIO/VolumeTable.h"
#include "FileIO/detail/ApplicationRoot.h"
#include "FileIO/detail/NewObject.h"
#include "FileIO/detail/StringText.h"
#include "FileIO/gCFRef.h"
#include "FileIO/gCFile.h"
#include "FileIO/gCFileIO.h"
#include "foundation/Utf8.h"

gCFolderRef::gCFolderRef(const gCString& text) {
    // A constructor has no result: a text that does not parse leaves the
    // new reference empty and invalid, which IsValid tells.
    (void)ExtractData(text);
}

gCFolderRef::gCFolderRef(const gCFolderRef& other) {
    *this = other;
}

gCFolderRef& gCFolderRef::operator=(const gCFolderRef& other) {
    if (this != &other) {
        gCString volume, path, name;
        if (SetText(volume, TextOf(other.m_Volume)) != eNoError ||
            SetText(path, TextOf(other.m_Path)) != eNoError ||
            SetText(name, TextOf(other.m_Name)) != eNoError) {
            // An assignment has no result: a folder that cannot be copied
            // leaves the empty invalid reference, never a mix of two.
            Invalidate();
            m_FSRef = FSRef();
            return *this;
        }
        m_fValid = other.m_fValid;
        m_Volume = std::move(volume);
        m_Path = std::move(path);
        m_Name = std::move(name);
        m_FSRef = other.m_FSRef;
        // The parts again in their text form, resolved again. When that
        // cannot be done they stay in the form copied, which names the same
        // folder.
        (void)ExtractData(FolderReference());
    }
    return *this;
}

error gCFolderRef::ExtractData(const gCString& text) {
    std::u16string_view t = TextOf(text);
    if (t.empty()) {
        return eNoError;
    }
    FSRef resolved;
    if (gCFRef::GetFSRefFromPath(text, &resolved) != eNoError) {
        resolved = FSRef();
    }
    while (!t.empty() && t.back() == u':') {
        t.remove_suffix(1);
    }
    if (t.empty()) {
        return eBadParameter;
    }
    // Volume: the first segment. With two or more: name the last, path ':'
    // and each segment between them followed by ':'.
    const size_t first = t.find(u':');
    const size_t last = t.rfind(u':');
    std::u16string path;
    if (first != std::u16string_view::npos) {
        path = u":";
        if (last > first) {
            path += t.substr(first + 1, last - first);
        }
    }
    gCString volume, middle, name;
    error e = eNoError;
    if ((e = SetText(volume, t.substr(0, first))) != eNoError ||
        (e = SetText(middle, path)) != eNoError ||
        (first != std::u16string_view::npos &&
         (e = SetText(name, t.substr(last + 1))) != eNoError)) {
        return e;
    }
    m_FSRef = resolved;
    m_Volume = std::move(volume);
    m_Path = std::move(middle);
    m_Name = std::move(name);
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
    gCString volume, path, name;
    const error e = gCFRef::GetPathFromFSRef(ref, volume, path, name);
    if (e != eNoError) {
        return e;
    }
    m_FSRef = ref;
    m_Volume = std::move(volume);
    m_Path = std::move(path);
    m_Name = std::move(name);
    m_fValid = 1;
    return eNoError;
}

error gCFolderRef::SetRelativeReference(const gCString& relative) {
    gCString root;
    const error rooted = gGetApplicationRoot(root);
    if (rooted != eNoError) {
        return rooted;
    }
    std::u16string r = TextCopy(root);
    while (!r.empty() && (r.back() == u'\\' || r.back() == u'/' || r.back() == u':')) {
        r.pop_back();
    }
    r += u':';
    r += TextOf(relative);
    gCString text;
    error e = SetText(text, r);
    if (e == eNoError && (e = ExtractData(text)) == eNoError) {
        m_fValid = 1;
    }
    return e;
}

// Without memory both texts are empty, which names no folder: never a part
// of the path that could name another one.
gCString gCFolderRef::FolderReference() const {
    std::u16string t = TextCopy(m_Volume) + TextCopy(m_Path) + TextCopy(m_Name);
    if (t.empty() || t.back() != u':') {
        t += u':';
    }
    return MakeString(t);
}

gCString gCFolderRef::FolderSpecReference() const {
    gCString s;
    (void)JoinText(s, {TextOf(m_Volume), TextOf(m_Path), TextOf(m_Name)}); // '' without memory
    return s;
}

void gCFolderRef::Reresolve() {
    // The text is made outside the memory hooks, so a resolution never
    // fails for want of them.
    const std::u16string text = TextCopy(m_Volume) + TextCopy(m_Path) + TextCopy(m_Name);
    if (gCFRef::GetFSRefFromPath(text, &m_FSRef) != eNoError) {
        m_FSRef = FSRef();
    }
}

error gCFolderRef::SetPart(gCString& part, std::u16string_view text) {
    const error e = SetText(part, text);
    if (e != eNoError) {
        return e;
    }
    Reresolve();
    return eNoError;
}

error gCFolderRef::SetVolume(const gCString& volume) {
    return SetPart(m_Volume, TextOf(volume));
}

error gCFolderRef::SetPath(const gCString& path) {
    std::u16string p = TextCopy(path);
    if (!p.empty() && p.back() != u':') {
        p += u':';
    }
    return SetPart(m_Path, p);
}

error gCFolderRef::SetName(const gCString& name) {
    return SetPart(m_Name, TextOf(name));
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
    // Freeing cannot fail.
    (void)m_Volume.Destroy();
    (void)m_Path.Destroy();
    (void)m_Name.Destroy();
}

error gCFolderRef::InFolder(const gCString& name, gCString& text) const {
    const gCString folder = FolderReference();
    if (TextOf(folder).empty()) {
        return eOutOfMemory; // even an empty folder reference holds its ':'
    }
    return JoinText(text, {TextOf(folder), TextOf(name)});
}

error gCFolderRef::GetParentDirectory(gCFolderRef& parent) const {
    gCString text;
    const error e = JoinText(text, {TextOf(m_Volume), TextOf(m_Path)});
    return e != eNoError ? e : parent.SetFolderReference(text);
}

std::unique_ptr<gCFolderRef> gCFolderRef::GetParentFolder() const {
    if (TextOf(m_Path).empty()) {
        return nullptr;
    }
    std::unique_ptr<gCFolderRef> parent = NewObject<gCFolderRef>();
    if (!parent || GetParentDirectory(*parent) != eNoError) {
        return nullptr; // a parent that cannot be made is no parent
    }
    return parent;
}

error gCFolderRef::GetParentFolder(gCFolderRef& parent) const {
    if (TextOf(m_Path).empty() || GetParentDirectory(parent) != eNoError) {
        parent.Invalidate();
    }
    return eNoError;
}

std::unique_ptr<gCFRef> gCFolderRef::GetFileRef(const gCString& name) const {
    std::unique_ptr<gCFRef> ref = NewObject<gCFRef>();
    if (ref && GetFileRef(name, *ref) != eNoError) {
        ref->Invalidate();
    }
    return ref;
}

error gCFolderRef::GetFileRef(const gCString& name, gCFRef& ref) const {
    gCString text;
    const error e = InFolder(name, text);
    return e != eNoError ? e : ref.SetFileReference(text);
}

std::unique_ptr<gCFolderRef> gCFolderRef::GetChildFolder(const gCString& name) const {
    std::unique_ptr<gCFolderRef> child = NewObject<gCFolderRef>();
    gCString text;
    if (!child || InFolder(name, text) != eNoError || child->SetFolderReference(text) != eNoError) {
        return nullptr;
    }
    return child;
}

void gCFolderRef::GetChildFolder(const gCString& name, gCFolderRef& child) const {
    gCString text;
    if (InFolder(name, text) != eNoError || child.SetFolderReference(text) != eNoError) {
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
    error e = GetFileRef(MakeString(u"test.tst"), probe);
    for (int32_t n = 1; e == eNoError && probe.Exists() && n <= 100; ++n) {
        e = GetFileRef(MakeString(u"test-" + gUtf8ToUtf16(std::to_string(n)) + u".tst"), probe);
    }
    // A probe name that cannot be made would leave an earlier name, maybe
    // that of a file of the user's: no probe then.
    if (e != eNoError || !probe.IsValid() || probe.Exists()) {
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
