#include "FileIO/gCFTypeList.h"

#include <utility>
#include <vector>

#include "FileIO/detail/StringText.h"
#include "FileIO/gCFRef.h"

namespace {

// A custom type's copy: 0, or 5 with the target unchanged.
error CopyCustom(gCFTypeList::sCustomFileType& to, const gCFTypeList::sCustomFileType& from) {
    gCString description, extension;
    error e = eNoError;
    if ((e = SetText(description, TextOf(from.description))) != eNoError ||
        (e = SetText(extension, TextOf(from.extension))) != eNoError) {
        return e;
    }
    to.id = from.id;
    to.description = std::move(description);
    to.extension = std::move(extension);
    to.macType = from.macType;
    return eNoError;
}

} // namespace

gCFTypeList& gCFTypeList::operator=(const gCFTypeList& other) {
    // An assignment has no result: a list that cannot be copied without
    // memory keeps what it held, never a part of the other. CopyFrom is
    // the form that reports it.
    (void)CopyFrom(other);
    return *this;
}

error gCFTypeList::CopyFrom(const gCFTypeList& other) {
    if (this == &other) {
        return eNoError;
    }
    gCArray<eFileType> types;
    gCArray<sCustomFileType> custom;
    error e = types.Copy(other.m_aTypes);
    if (e == eNoError) {
        e = custom.SetSize(other.m_aCustom.GetSize());
    }
    for (int32_t i = 0; e == eNoError && i < custom.GetSize(); ++i) {
        e = CopyCustom(custom[i], other.m_aCustom[i]);
    }
    if (e != eNoError) {
        return e;
    }
    m_aTypes = std::move(types);
    m_aCustom = std::move(custom);
    m_nDefaultEntry = other.m_nDefaultEntry;
    m_fAllFiles = other.m_fAllFiles;
    return eNoError;
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
    std::vector<int32_t> rows;
    for (int32_t row = first; row <= last; ++row) {
        rows.push_back(row);
    }
    return AppendRows(rows);
}

error gCFTypeList::AddListType(std::initializer_list<int32_t> rows) {
    std::vector<int32_t> taken;
    for (int32_t row : rows) {
        if (row == eLastTypeIndex) {
            break;
        }
        taken.push_back(row);
    }
    return AppendRows(taken);
}

error gCFTypeList::AppendRows(const std::vector<int32_t>& rows) {
    // Room for all first, so that the list takes every row or none.
    const int32_t size = m_aTypes.GetSize();
    const error e = m_aTypes.SetSize(size + int32_t(rows.size()));
    if (e != eNoError) {
        return e;
    }
    for (size_t i = 0; i < rows.size(); ++i) {
        m_aTypes[size + int32_t(i)] = eFileType(rows[i]);
    }
    return eNoError;
}

error gCFTypeList::AddListTypeAt(eFileType row, int32_t position) {
    return m_aTypes.InsertAt(position, row);
}

error gCFTypeList::AddCustomType(int32_t id, const gCString& description, const gCString& extension,
                                 uint32_t macType) {
    sCustomFileType given;
    given.id = id;
    given.macType = macType;
    const int32_t size = m_aCustom.GetSize();
    error e = SetText(given.description, TextOf(description));
    if (e == eNoError) {
        e = SetText(given.extension, TextOf(extension));
    }
    if (e == eNoError) {
        e = m_aCustom.SetSize(size + 1);
    }
    if (e != eNoError) {
        return e;
    }
    // The new slot is empty: the texts move in without allocating.
    m_aCustom[size].id = given.id;
    m_aCustom[size].description = std::move(given.description);
    m_aCustom[size].extension = std::move(given.extension);
    m_aCustom[size].macType = given.macType;
    return eNoError;
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
