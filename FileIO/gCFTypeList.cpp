#include "FileIO/gCFTypeList.h"

#include "FileIO/detail/StringText.h"
#include "FileIO/gCFRef.h"

gCFTypeList& gCFTypeList::operator=(const gCFTypeList& other) {
    if (this != &other) {
        m_aTypes.Copy(other.m_aTypes);
        m_aCustom.Copy(other.m_aCustom);
        m_nDefaultEntry = other.m_nDefaultEntry;
        m_fAllFiles = other.m_fAllFiles;
    }
    return *this;
}

error gCFTypeList::SetDefaultList(eFileType flagRow) {
    int32_t first = 0, last = -1;
    switch (flagRow) {
    case eImageFilesFlag:
        first = eBMPFile, last = ePNGFile;
        break;
    case eTextFilesFlag:
        first = eTextFile, last = ePDFFile;
        break;
    case eVantorFilesFlag:
        first = eVantorResFile, last = eVantorResScript;
        break;
    case eAudioFilesFlag:
        first = eWAVFile, last = eWAVFile;
        break;
    default:
        return eBadParameter;
    }
    for (int32_t row = first; row <= last; ++row) {
        m_aTypes.Add(eFileType(row));
    }
    return eNoError;
}

void gCFTypeList::AddListType(std::initializer_list<int32_t> rows) {
    for (int32_t row : rows) {
        if (row == eLastTypeIndex) {
            return;
        }
        m_aTypes.Add(eFileType(row));
    }
}

error gCFTypeList::AddListTypeAt(eFileType row, int32_t position) {
    return m_aTypes.InsertAt(position, row);
}

void gCFTypeList::AddCustomType(int32_t id, const gCString& description, const gCString& extension,
                                uint32_t macType) {
    sCustomFileType t;
    t.id = id;
    t.description = description;
    t.extension = extension;
    t.macType = macType;
    m_aCustom.Add(t);
}

error gCFTypeList::SetDefaultEntry(int32_t entry) {
    m_nDefaultEntry = entry;
    return eNoError;
}

int32_t gCFTypeList::GetEntryFromIndex(int32_t index) const {
    const int32_t nCustom = m_aCustom.GetSize();
    if (index >= 0 && index < nCustom) {
        return m_aCustom[index].id;
    }
    if (index >= nCustom && index < nCustom + m_aTypes.GetSize()) {
        return m_aTypes[index - nCustom];
    }
    return eAllFiles;
}

int32_t gCFTypeList::GetIndexFromEntry(int32_t entry) const {
    const int32_t nCustom = m_aCustom.GetSize();
    const int32_t nRows = m_aTypes.GetSize();
    if (entry != -1) {
        for (int32_t i = 0; i < nCustom; ++i) {
            if (m_aCustom[i].id == entry) {
                return i;
            }
        }
        for (int32_t i = 0; i < nRows; ++i) {
            if (m_aTypes[i] == entry) {
                return nCustom + i;
            }
        }
        if (entry != eAllFiles) {
            return -1;
        }
    }
    return nCustom + nRows;
}

int32_t gCFTypeList::FindRefPos(const gCFRef* ref) const {
    const int32_t nRows = m_aTypes.GetSize();
    const int32_t nCustom = m_aCustom.GetSize();
    if (!ref || nRows + nCustom == 0) {
        return -1;
    }
    const std::u16string suffix = UpperAscii(TextOf(ref->TypeString()));
    auto extensionAt = [&](int32_t i) {
        return i < nRows ? UpperAscii(sPCFileType[m_aTypes[i]])
                         : UpperAscii(TextOf(m_aCustom[i - nRows].extension));
    };
    auto macTypeAt = [&](int32_t i) {
        return i < nRows ? eMacFileType[m_aTypes[i]] : m_aCustom[i - nRows].macType;
    };
    for (int32_t i = 0; i < nRows + nCustom; ++i) {
        if (extensionAt(i) == suffix) {
            return i;
        }
    }
    const uint32_t macType = ref->GetMacType();
    if (IsNoMacType(macType)) {
        return -1;
    }
    for (int32_t i = 0; i < nRows + nCustom; ++i) {
        if (macTypeAt(i) == macType) {
            return i;
        }
    }
    return -1;
}

error gCFTypeList::CheckRef(const gCFRef* ref, int32_t& accepted) const {
    if (m_aTypes.GetSize() + m_aCustom.GetSize() == 0) {
        accepted = 1;
        return eNoError;
    }
    accepted = FindRefPos(ref) >= 0 ? 1 : 0;
    return eNoError;
}

error gCFTypeList::CheckRefs(const gCArray<gCFRef*>& in, gCArray<gCFRef*>& out,
                             int32_t destroyRejected) const {
    if (m_aTypes.GetSize() + m_aCustom.GetSize() == 0) {
        return out.Copy(in);
    }
    for (int32_t i = 0; i < in.GetSize(); ++i) {
        gCFRef* ref = in[i];
        if (FindRefPos(ref) >= 0) {
            const error e = out.Add(ref);
            if (e != eNoError) {
                return e;
            }
        } else if (destroyRejected) {
            delete ref;
        }
    }
    return eNoError;
}
