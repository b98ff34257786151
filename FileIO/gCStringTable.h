#pragma once
// The interface's texts: entries of a 32-bit id, an optional name and a
// text, loaded from a string-table file and looked up by id or name. A text
// may hold variants separated by '|', picked by index.
//
// The file is a sequence of records with no header and no count: the uint32
// id, an int32 that is read and ignored, the name and the text, each a
// UTF-16LE line ending in LF CR. Every failed look-up gives the text
// "%%String Table Error".

#include <cstdint>

#include "foundation/Error.h"
#include "foundation/gCArray.h"
#include "foundation/gCBaseObject.h"
#include "foundation/gCString.h"

class gCFile;

class gCStringTable : public gCBaseObject {
public:
    explicit gCStringTable(int32_t keepNames = 0) : m_fKeepNames(keepNames) {}
    ~gCStringTable() override = default;
    gCStringTable(const gCStringTable&) = delete;
    gCStringTable& operator=(const gCStringTable&) = delete;

    // A new empty table (the file is not read); null without memory.
    static gCStringTable* CreateFromRes(gCFile* file, int32_t keepNames);

    // Loading takes a whole file or nothing: every failure (6 for a null or
    // closed file, 5 without memory, the opening's or the stream's error)
    // leaves the table exactly as it was.
    //
    // Replaces the contents by the file's records.
    error GetFromRes(gCFile* file);
    // The same from a file at a path relative to the application folder.
    error GetFromRes(const gCString& path);
    // Adds the records of a file. An entry of the same id (or, keeping
    // names, the same name) is replaced when replace is non-zero, the new
    // one going to the end; with replace 0 the first definition stays.
    error AppendFromRes(gCFile* file, int32_t replace);
    error AppendFromRes(const gCString& path, int32_t replace);

    error ClearContents();
    // Appends an entry: 2 when the id is present already (nothing added),
    // 5 without memory. The name is kept only when the table keeps names.
    error AddEntry(uint32_t id, const gCString& text, const gCString& name);

    // Variant field (0 the first) of the first entry with that id or name.
    gCString GetString(uint32_t id, int32_t field) const;
    gCString GetString(const gCString& name, int32_t field) const;
    gCString GetStringAndID(int32_t& id, const gCString& name, int32_t field) const;
    // The whole text of an entry.
    gCString GetEntry(uint32_t id) const;
    gCString GetEntry(const gCString& name) const;

    // The variant read straight from an open string-table file.
    static gCString FindFromFile(gCFile* file, uint32_t id, int32_t field);
    static gCString FindFromFile(gCFile* file, const gCString& name, int32_t field);

    int32_t GetCount() const { return m_aIDs.GetSize(); }
    int32_t KeepsNames() const { return m_fKeepNames; }

    // The text every failed look-up gives.
    static gCString FailureText();

private:
    // The first entry with that id, or with that name when names are kept;
    // -1 when none.
    int32_t FindIndex(uint32_t id) const;
    int32_t FindIndex(const gCString& name) const;
    // The entry a read record replaces: the first with its id or, when
    // names are kept, its (non-empty) name; -1 when none.
    int32_t FindRecordMatch(uint32_t id, const gCString& name) const;
    void RemoveEntry(int32_t index);
    error AppendEntry(uint32_t id, const gCString& text, const gCString& name);
    // Reads a file's records into this table, stopping at the first
    // failure (the records before it stay): the loaders run it on a table
    // of their own.
    error AppendRecords(gCFile* file, int32_t replace);
    // Copies the other table's entries into this empty one; 5 without
    // memory.
    error CopyEntries(const gCStringTable& other);
    void Swap(gCStringTable& other);

    gCArray<uint32_t> m_aIDs;
    gCArray<gCString> m_aTexts;
    gCArray<gCString> m_aNames;
    int32_t m_fKeepNames = 0;
};

// Variant field of a text: the part after the field-th '|' up to the next
// one. False when the text ends before that '|' has been passed with at
// least one unit after it (so an empty text and an empty last variant
// fail), or for a negative field.
bool SelectStringVariant(const gCString& text, int32_t field, gCString& variant);
