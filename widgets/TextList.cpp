// Text lists.

#include "widgets/TextList.h"

#include "FileIO/ResourceLoading.h"
#include "FileIO/gCFile.h"
#include "FileIO/gCResourceIndex.h"
#include "foundation/AppServices.h"
#include "foundation/ErrorReport.h"

namespace {

// The end of the block whose payload holds pos, found by walking the block
// headers from the start of the file; -1 when none does. The file is left
// at pos.
int64_t BlockEndAround(gCFile& file, int64_t pos) {
    int64_t end = -1;
    if (file.Rewind() != eNoError) {
        return -1;
    }
    const int64_t length = file.Length();
    while (file.GetFilePos() + 8 <= length) {
        int32_t type = 0;
        int32_t size = 0;
        if (file.ReadInt32(type) != eNoError || file.ReadInt32(size) != eNoError || size < 0) {
            break;
        }
        const int64_t start = file.GetFilePos();
        if (start <= pos && pos <= start + size) {
            end = start + size;
            break;
        }
        if (start + size > length || file.SetFilePos(start + size) != eNoError) {
            break;
        }
    }
    return file.SetFilePos(pos) == eNoError ? end : -1;
}

} // namespace

template <typename Key>
error CTextList::Load(const Key& key, gCFile* file, gCResourceIndex* index) {
    // The index LocateFromRes will use tells the items' format.
    CAppServices* app = CAppServices::Get();
    if (app && (!file || file == app->GetResFile())) {
        index = app->GetResIndex();
        if (index && index->GetCount() == 0) {
            index = nullptr;
        }
    }
    error e = LocateFromRes(key, file, index);
    if (e != eNoError) {
        return e;
    }
    const int32_t format = index ? index->GetVersion() : 1;
    int32_t exclusive = 0;
    if ((e = file->ReadInt32(exclusive)) != eNoError) {
        (void)ReportError(eResourceReadError, "Error reading exclusivity"); // shown
        return e;
    }
    const int64_t itemsStart = file->GetFilePos();
    const int64_t end = BlockEndAround(*file, itemsStart);
    int32_t count = 0;
    // Each item takes at least an empty text's terminator, and its id.
    const int32_t smallest = format == 2 ? 2 + 4 : 2;
    if (end < 0) {
        e = eResourceReadError;
    } else if ((e = ReadPayloadCount(file, count, smallest)) == eNoError &&
               int64_t(count) * smallest > end - file->GetFilePos()) {
        e = eResourceReadError;
    }
    if (e != eNoError) {
        (void)ReportError(eResourceReadError, "Error reading number of entries"); // shown
        return e;
    }
    if (format != 1 && format != 2) {
        return eNoError;
    }
    for (int32_t i = 0; i < count; ++i) {
        gCString text;
        int32_t id = 0;
        if ((e = file->ReadString(text)) != eNoError) {
            return e;
        }
        if (file->GetFilePos() > end) {
            return eResourceReadError;
        }
        if (format == 2) {
            if (file->GetFilePos() + 4 > end) {
                return eResourceReadError;
            }
            if ((e = file->ReadInt32(id)) != eNoError) {
                return e;
            }
            (void)Add(text, id); // Add always answers 0
        } else {
            (void)m_aTexts.Add(text); // an allocation failure leaves the item out
        }
    }
    return eNoError;
}

error CTextList::GetFromRes(int32_t id, gCFile* file, gCResourceIndex* index) {
    return Load(id, file, index);
}

error CTextList::GetFromRes(const gCString& name, gCFile* file, gCResourceIndex* index) {
    return Load(name, file, index);
}

CTextList* CTextList::CreateFromRes(int32_t id, gCFile* file, gCResourceIndex* index) {
    return CreateFromResource<CTextList>(id, file, index);
}

CTextList* CTextList::CreateFromRes(const gCString& name, gCFile* file, gCResourceIndex* index) {
    return CreateFromResource<CTextList>(name, file, index);
}

error CTextList::Add(const gCString& text, int32_t id) {
    if (m_aTexts.Add(text) == eNoError) {
        (void)m_aIDs.Add(id); // an allocation failure leaves the item without its id
    }
    return eNoError;
}

gCString CTextList::Text(int32_t index) {
    if (index < 0 || index >= m_aTexts.GetSize()) {
        return gCString();
    }
    m_nCurrentIndex = index;
    return m_aTexts[index];
}

gCString CTextList::Text() const {
    if (m_nCurrentIndex < 0 || m_nCurrentIndex >= m_aTexts.GetSize()) {
        return gCString();
    }
    return m_aTexts[m_nCurrentIndex];
}

int32_t CTextList::ID(int32_t index) const {
    if (index < 0 || index >= m_aTexts.GetSize() || index >= m_aIDs.GetSize()) {
        return -1;
    }
    return m_aIDs[index];
}

void CTextList::SetID(int32_t index, int32_t id) {
    if (index >= 0 && index < m_aTexts.GetSize() && index < m_aIDs.GetSize()) {
        m_aIDs[index] = id;
    }
}

error CTextList::SetText(int32_t index, const gCString& text) {
    if (index < 0 || index >= m_aTexts.GetSize()) {
        return eBadParameter;
    }
    m_aTexts[index] = text;
    return eNoError;
}

error CTextList::SetItem(int32_t index, const gCString& text, int32_t id) {
    if (index < 0 || index >= m_aTexts.GetSize() || index >= m_aIDs.GetSize()) {
        return eBadParameter;
    }
    m_aTexts[index] = text;
    m_aIDs[index] = id;
    return eNoError;
}

error CTextList::RemoveItem(int32_t index) {
    if (index < 0 || index >= m_aTexts.GetSize()) {
        return eBadParameter;
    }
    m_aTexts.RemoveAt(index);
    if (index < m_aIDs.GetSize()) {
        m_aIDs.RemoveAt(index);
    }
    return eNoError;
}

error CTextList::Clear() {
    for (int32_t i = m_aTexts.GetSize() - 1; i >= 0; --i) {
        const error e = RemoveItem(i);
        if (e != eNoError) {
            return e;
        }
    }
    return eNoError;
}

error CTextList::SetCurrentIndex(int32_t index) {
    if (index < 0 || index > m_aTexts.GetSize()) {
        return eBadParameter;
    }
    m_nCurrentIndex = index;
    return eNoError;
}
