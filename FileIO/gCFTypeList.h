#pragma once
// A chosen list of file types for the open and save dialogs and for
// filtering references: rows of the file-type table, plus the
// application's own custom types.

#include <cstdint>
#include <initializer_list>
#include <vector>

#include "FileIO/FileTypes.h"
#include "foundation/gCArray.h"
#include "foundation/gCBaseObject.h"
#include "foundation/gCString.h"

class gCFRef;

class gCFTypeList : public gCBaseObject {
public:
    struct sCustomFileType {
        int32_t id = 0;
        gCString description;
        gCString extension; // with its '.'
        uint32_t macType = 0;
    };

    gCFTypeList() = default;
    // Copies cannot report: a list that cannot be copied without memory
    // keeps what it held (a new copy is then the empty list, which accepts
    // everything). CopyFrom reports it: 0, or 5 with the list unchanged.
    gCFTypeList(const gCFTypeList& other) : gCBaseObject() { *this = other; }
    gCFTypeList& operator=(const gCFTypeList& other);
    error CopyFrom(const gCFTypeList& other);
    ~gCFTypeList() override = default;

    // The adding operations take all they are given or nothing: 5 without
    // memory, the list then unchanged.
    // Appends the members of the group that the flag row opens; 6 for a row
    // that opens no group.
    error SetDefaultList(eFileType flagRow);
    // Appends each row in order, up to the end marker eLastTypeIndex.
    error AddListType(std::initializer_list<int32_t> rows);
    error AddListTypeAt(eFileType row, int32_t position);
    error AddCustomType(int32_t id, const gCString& description, const gCString& extension,
                        uint32_t macType);
    error SetDefaultEntry(int32_t entry);
    int32_t GetDefaultEntry() const { return m_nDefaultEntry; }
    void SetAllFilesItem(int32_t flag) { m_fAllFiles = flag; }
    int32_t GetAllFilesItem() const { return m_fAllFiles; }

    // Custom types first (their ids), then the rows; any other index gives
    // 1, the all-files entry.
    int32_t GetEntryFromIndex(int32_t index) const;
    int32_t GetIndexFromEntry(int32_t entry) const;
    gCString GetExtension(const gCString&) const { return gCString(); }
    gCString GetExtension(int32_t) const { return gCString(); }

    // Whether the reference's type is in the list: by suffix (case-
    // insensitive), then by Finder type, where "????" and 0 mean no type
    // and never match. An empty list accepts everything.
    error CheckRef(const gCFRef* ref, int32_t& accepted) const;
    // Appends every reference of in that the list accepts to out; a
    // rejected one is destroyed when destroyRejected is non-zero.
    error CheckRefs(const gCArray<gCFRef*>& in, gCArray<gCFRef*>& out,
                    int32_t destroyRejected) const;
    // The position of the entry the reference matches: rows first, then
    // custom types; -1 when none.
    int32_t FindRefPos(const gCFRef* ref) const;

    const gCArray<eFileType>& Types() const { return m_aTypes; }
    const gCArray<sCustomFileType>& CustomTypes() const { return m_aCustom; }

private:
    error AppendRows(const std::vector<int32_t>& rows);

    gCArray<eFileType> m_aTypes;
    gCArray<sCustomFileType> m_aCustom;
    int32_t m_nDefaultEntry = 0;
    int32_t m_fAllFiles = 1;
};
