#include "FileIO/gCResourceIndex.h"

#include <new>

#include "FileIO/ResourceTags.h"
#include "FileIO/gCFile.h"
#include "foundation/StringUnits.h"

error ReadResBlockSize(gCStream& stream, int32_t& size, int64_t& data) {
    error e = stream.ReadInt32(size);
    if (e != eNoError) {
        return e;
    }
    data = stream.GetFilePos();
    if (size < 0 || data < 0 || data + size > stream.Length()) {
        return eResourceReadError;
    }
    return eNoError;
}

error RewindOpenFile(gCFile* file) {
    return file && file->IsOpen() ? file->Rewind() : eBadParameter;
}

void DropLineEnd(gCString& text) {
    const int32_t n = text.GetLength();
    if (n > 0 && text.GetBuffer()[n - 1] == u'\n') {
        text.RemoveChar(n - 1, 1);
    }
}

error ReadResBlockName(gCStream& stream, int64_t blockEnd, gCString& name) {
    error e = stream.ReadString(name);
    if (e != eNoError) {
        return e;
    }
    if (stream.GetFilePos() > blockEnd) {
        return eResourceReadError;
    }
    DropLineEnd(name);
    return eNoError;
}

bool SameText(const gCString& a, const gCString& b) {
    return TextOf(a) == TextOf(b);
}

gCResourceIndex::~gCResourceIndex() {
    ClearContents();
}

void gCResourceIndex::ClearContents() {
    for (SResEntry* entry : m_aEntries) {
        entry->~SResEntry();
        gCMemory::Free(entry);
    }
    m_aEntries.RemoveAll();
}

error gCResourceIndex::SetupIndex(gCFile* file) {
    // Scanned into an index of its own, taken only when the whole file was.
    gCResourceIndex loaded;
    loaded.m_nVersion = m_nVersion;
    const error e = loaded.ScanFile(file);
    if (e != eNoError) {
        return e;
    }
    const error added = m_aEntries.Append(loaded.m_aEntries);
    if (added != eNoError) {
        return added; // the scanned entries go with the loaded index
    }
    // The entries belong to this index now.
    loaded.m_aEntries.RemoveAll();
    m_nVersion = loaded.m_nVersion;
    return eNoError;
}

error gCResourceIndex::ScanFile(gCFile* file) {
    error e = RewindOpenFile(file);
    if (e != eNoError) {
        return e;
    }
    while (!file->FileEnd()) {
        const int64_t location = file->GetFilePos();
        uint32_t tag = 0;
        int32_t size = 0;
        int64_t data = 0;
        if ((e = file->ReadUint32(tag)) != eNoError ||
            (e = ReadResBlockSize(*file, size, data)) != eNoError) {
            return e;
        }
        if (tag == kResVersionTag) {
            if (size != 4) {
                return eResourceReadError;
            }
            if ((e = file->ReadInt32(m_nVersion)) != eNoError) {
                return e;
            }
            continue;
        }
        if (size < kResHeaderMinimum) {
            return eResourceReadError;
        }
        void* memory = gCMemory::Alloc(sizeof(SResEntry));
        if (!memory) {
            // No room for the entry: drop it and go on with the next block.
            if ((e = file->SetFilePos(data + size)) != eNoError) {
                return e;
            }
            continue;
        }
        SResEntry* entry = new (memory) SResEntry;
        entry->m_nLocation = int32_t(location);
        if ((e = file->ReadInt32(entry->m_nID)) != eNoError ||
            (e = ReadResBlockName(*file, data + size, entry->m_Name)) != eNoError ||
            (e = file->SetFilePos(data + size)) != eNoError) {
            entry->~SResEntry();
            gCMemory::Free(entry);
            return e;
        }
        if (m_aEntries.Add(entry) != eNoError) {
            entry->~SResEntry();
            gCMemory::Free(entry);
        }
    }
    return eNoError;
}

int32_t gCResourceIndex::GetLocation(int32_t id) const {
    for (const SResEntry* entry : m_aEntries) {
        if (entry->m_nID == id) {
            return entry->m_nLocation;
        }
    }
    return -1;
}

int32_t gCResourceIndex::GetLocation(const gCString& name) const {
    for (const SResEntry* entry : m_aEntries) {
        if (SameText(entry->m_Name, name)) {
            return entry->m_nLocation;
        }
    }
    return -1;
}
