#include "FileIO/gCStringTable.h"

#include <new>
#include <utility>

#include "FileIO/detail/StringText.h"
#include "FileIO/gCFile.h"
#include "FileIO/gCFileIO.h"
#include "FileIO/gCResourceIndex.h"

namespace {

// One record of a string-table file: id, the ignored word, name and text,
// the line ends dropped.
error ReadRecord(gCFile& file, uint32_t& id, gCString& name, gCString& text) {
    int32_t unused = 0;
    error e = eNoError;
    if ((e = file.ReadUint32(id)) != eNoError || (e = file.ReadInt32(unused)) != eNoError ||
        (e = file.ReadString(name)) != eNoError || (e = file.ReadString(text)) != eNoError) {
        return e;
    }
    DropLineEnd(name);
    DropLineEnd(text);
    return eNoError;
}

template <typename Matches> gCString FindInFile(gCFile* file, int32_t field, Matches matches) {
    if (RewindOpenFile(file) != eNoError) {
        return gCStringTable::FailureText();
    }
    while (!file->FileEnd()) {
        uint32_t id = 0;
        gCString name;
        gCString text;
        if (ReadRecord(*file, id, name, text) != eNoError) {
            break;
        }
        if (matches(id, name)) {
            gCString variant;
            if (SelectStringVariant(text, field, variant)) {
                return variant;
            }
            break;
        }
    }
    return gCStringTable::FailureText();
}

// Opens a file below the application folder for reading.
error OpenRelative(gCFile& file, const gCString& path) {
    const error e = gCFileIO::InitLoadFile(file, path, eAccessReadOnly);
    if (e == eNoError && !file.IsOpen()) {
        return eInvalidFile;
    }
    return e;
}

} // namespace

bool SelectStringVariant(const gCString& text, int32_t field, gCString& variant) {
    if (field < 0) {
        return false;
    }
    const char16_t* units = text.GetBuffer();
    const int32_t n = text.GetLength();
    int32_t start = 0;
    for (int32_t passed = 0; passed < field; ++start) {
        if (start >= n) {
            return false;
        }
        if (units[start] == u'|') {
            ++passed;
        }
    }
    if (start >= n) {
        return false;
    }
    int32_t end = start;
    while (end < n && units[end] != u'|') {
        ++end;
    }
    return variant.CopyStringFromBuffer(units + start, end - start) == eNoError;
}

gCString gCStringTable::FailureText() {
    gCString text;
    // A text returned by value cannot report: without memory it is empty.
    (void)text.CopyString(u"%%String Table Error");
    return text;
}

gCStringTable* gCStringTable::CreateFromRes(gCFile*, int32_t keepNames) {
    return new (std::nothrow) gCStringTable(keepNames);
}

error gCStringTable::GetFromRes(gCFile* file) {
    // Loaded into a table of its own, taken only when the whole file was.
    gCStringTable loaded(m_fKeepNames);
    const error e = loaded.AppendRecords(file, 1);
    if (e != eNoError) {
        return e;
    }
    Swap(loaded);
    return eNoError;
}

error gCStringTable::GetFromRes(const gCString& path) {
    gCFile file;
    const error e = OpenRelative(file, path);
    if (e != eNoError) {
        return e;
    }
    return GetFromRes(&file);
}

error gCStringTable::AppendFromRes(const gCString& path, int32_t replace) {
    gCFile file;
    const error e = OpenRelative(file, path);
    if (e != eNoError) {
        return e;
    }
    return AppendFromRes(&file, replace);
}

error gCStringTable::AppendFromRes(gCFile* file, int32_t replace) {
    // The records go into a copy, taken only when the whole file was read.
    gCStringTable updated(m_fKeepNames);
    error e = updated.CopyEntries(*this);
    if (e == eNoError) {
        e = updated.AppendRecords(file, replace);
    }
    if (e != eNoError) {
        return e;
    }
    Swap(updated);
    return eNoError;
}

error gCStringTable::CopyEntries(const gCStringTable& other) {
    const int32_t n = other.m_aIDs.GetSize();
    const int32_t names = other.m_aNames.GetSize();
    error e = eNoError;
    if ((e = m_aIDs.Copy(other.m_aIDs)) != eNoError || (e = m_aTexts.SetSize(n)) != eNoError ||
        (e = m_aNames.SetSize(names)) != eNoError) {
        return e;
    }
    for (int32_t i = 0; i < n; ++i) {
        if ((e = SetText(m_aTexts[i], TextOf(other.m_aTexts[i]))) != eNoError) {
            return e;
        }
    }
    for (int32_t i = 0; i < names; ++i) {
        if ((e = SetText(m_aNames[i], TextOf(other.m_aNames[i]))) != eNoError) {
            return e;
        }
    }
    return eNoError;
}

void gCStringTable::Swap(gCStringTable& other) {
    std::swap(m_aIDs, other.m_aIDs);
    std::swap(m_aTexts, other.m_aTexts);
    std::swap(m_aNames, other.m_aNames);
}

error gCStringTable::AppendRecords(gCFile* file, int32_t replace) {
    error e = RewindOpenFile(file);
    if (e != eNoError) {
        return e;
    }
    while (!file->FileEnd()) {
        uint32_t id = 0;
        gCString name;
        gCString text;
        if ((e = ReadRecord(*file, id, name, text)) != eNoError) {
            return e;
        }
        const int32_t existing = FindRecordMatch(id, name);
        if (existing >= 0) {
            if (!replace) {
                continue;
            }
            RemoveEntry(existing);
        }
        if ((e = AppendEntry(id, text, name)) != eNoError) {
            return e;
        }
    }
    return eNoError;
}

error gCStringTable::ClearContents() {
    m_aIDs.RemoveAll();
    m_aTexts.RemoveAll();
    m_aNames.RemoveAll();
    return eNoError;
}

error gCStringTable::AddEntry(uint32_t id, const gCString& text, const gCString& name) {
    if (FindIndex(id) >= 0) {
        return eHandled;
    }
    return AppendEntry(id, text, name);
}

error gCStringTable::AppendEntry(uint32_t id, const gCString& text, const gCString& name) {
    // All arrays grow together or not at all, so that they stay parallel.
    // The texts are made first; the slots then take them without
    // allocating, so the arrays grow together or not at all.
    gCString textCopy, nameCopy;
    if (SetText(textCopy, TextOf(text)) != eNoError ||
        (m_fKeepNames && SetText(nameCopy, TextOf(name)) != eNoError)) {
        return eOutOfMemory;
    }
    const int32_t n = m_aIDs.GetSize();
    if (m_aIDs.SetSize(n + 1) != eNoError) {
        return eOutOfMemory;
    }
    if (m_aTexts.SetSize(n + 1) != eNoError ||
        (m_fKeepNames && m_aNames.SetSize(n + 1) != eNoError)) {
        // Shrinking back to the old size never allocates and cannot fail.
        (void)m_aTexts.SetSize(n);
        (void)m_aIDs.SetSize(n);
        return eOutOfMemory;
    }
    m_aIDs[n] = id;
    m_aTexts[n] = std::move(textCopy);
    if (m_fKeepNames) {
        m_aNames[n] = std::move(nameCopy);
    }
    return eNoError;
}

void gCStringTable::RemoveEntry(int32_t index) {
    m_aIDs.RemoveAt(index);
    m_aTexts.RemoveAt(index);
    if (index < m_aNames.GetSize()) {
        m_aNames.RemoveAt(index);
    }
}

int32_t gCStringTable::FindIndex(uint32_t id) const {
    for (int32_t i = 0; i < m_aIDs.GetSize(); ++i) {
        if (m_aIDs[i] == id) {
            return i;
        }
    }
    return -1;
}

int32_t gCStringTable::FindRecordMatch(uint32_t id, const gCString& name) const {
    const bool byName = m_fKeepNames && name.GetLength() > 0;
    for (int32_t i = 0; i < m_aIDs.GetSize(); ++i) {
        if (m_aIDs[i] == id || (byName && i < m_aNames.GetSize() && m_aNames[i].GetLength() > 0 &&
                                SameText(m_aNames[i], name))) {
            return i;
        }
    }
    return -1;
}

int32_t gCStringTable::FindIndex(const gCString& name) const {
    // A name without a buffer is no name and matches nothing.
    if (!m_fKeepNames || !name.GetBuffer()) {
        return -1;
    }
    for (int32_t i = 0; i < m_aNames.GetSize(); ++i) {
        if (SameText(m_aNames[i], name)) {
            return i;
        }
    }
    return -1;
}

gCString gCStringTable::GetString(uint32_t id, int32_t field) const {
    const int32_t i = FindIndex(id);
    gCString variant;
    if (i < 0 || !SelectStringVariant(m_aTexts[i], field, variant)) {
        return FailureText();
    }
    return variant;
}

gCString gCStringTable::GetString(const gCString& name, int32_t field) const {
    int32_t id = 0;
    return GetStringAndID(id, name, field);
}

gCString gCStringTable::GetStringAndID(int32_t& id, const gCString& name, int32_t field) const {
    const int32_t i = FindIndex(name);
    gCString variant;
    if (i < 0 || !SelectStringVariant(m_aTexts[i], field, variant)) {
        return FailureText();
    }
    id = int32_t(m_aIDs[i]);
    return variant;
}

gCString gCStringTable::GetEntry(uint32_t id) const {
    const int32_t i = FindIndex(id);
    return i < 0 ? FailureText() : m_aTexts[i];
}

gCString gCStringTable::GetEntry(const gCString& name) const {
    const int32_t i = FindIndex(name);
    return i < 0 ? FailureText() : m_aTexts[i];
}

gCString gCStringTable::FindFromFile(gCFile* file, uint32_t id, int32_t field) {
    return FindInFile(file, field,
                      [id](uint32_t recordID, const gCString&) { return recordID == id; });
}

gCString gCStringTable::FindFromFile(gCFile* file, const gCString& name, int32_t field) {
    if (!name.GetBuffer()) {
        return FailureText();
    }
    return FindInFile(file, field, [&name](uint32_t, const gCString& recordName) {
        return SameText(recordName, name);
    });
}
