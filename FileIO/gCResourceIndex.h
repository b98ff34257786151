#pragma once
// The index of one resource file: for every block but the version block, its
// resource id, the file position of its header and its name, in file order.
//
// A resource file is a chain of blocks with no file header: a tag (a
// four-character code as a little-endian int32), the size of the data that
// follows the 8-byte header, and the data. The version block ('vers', size 4)
// holds one int32; every other block's data starts with the resource header:
// the int32 id and the name as UTF-16LE text ending in LF CR.

#include <cstdint>

#include "foundation/Error.h"
#include "foundation/gCArray.h"
#include "foundation/gCBaseObject.h"
#include "foundation/gCString.h"

class gCFile;
class gCStream;

class gCResourceIndex : public gCBaseObject {
public:
    struct SResEntry {
        int32_t m_nID = 0;
        int32_t m_nLocation = 0; // position of the block's header
        gCString m_Name;         // without the line end
    };

    gCResourceIndex() = default;
    ~gCResourceIndex() override;
    gCResourceIndex(const gCResourceIndex&) = delete;
    gCResourceIndex& operator=(const gCResourceIndex&) = delete;

    // Scans the file from its start and appends an entry per block. 6 for a
    // null or closed file; a read error as the stream gives it (15 for a
    // header cut short by the end of the file); 22 for a block whose size is
    // negative or runs past the end of the file, or a version block whose
    // size is not 4; 5 when the entries cannot be appended. A failure
    // leaves the index (entries and version) exactly as it was. An entry
    // that cannot be allocated is left out and the scan goes on: the index
    // only speeds up the search, which finds a block it does not know.
    error SetupIndex(gCFile* file);

    // The header position of the first entry with that id or that exact
    // name (code unit by code unit, case-sensitive), or -1.
    int32_t GetLocation(int32_t id) const;
    int32_t GetLocation(const gCString& name) const;

    // Destroys every entry.
    void ClearContents();

    int32_t GetCount() const { return m_aEntries.GetSize(); }
    const SResEntry* GetEntry(int32_t i) const { return m_aEntries[i]; }
    // The value of the last version block seen (0 until one is).
    int32_t GetVersion() const { return m_nVersion; }

private:
    // SetupIndex's scan into this index; the entries made before a failure
    // stay in it.
    error ScanFile(gCFile* file);

    gCArray<SResEntry*> m_aEntries;
    int32_t m_nVersion = 0;
};

// Shared by the index and the block search.

// Reads a block's size (the stream just after the tag) and gives the
// position of its data. 22 when the size is negative or the data would run
// past the end of the stream.
error ReadResBlockSize(gCStream& stream, int32_t& size, int64_t& data);
// The smallest resource header: the id and an empty name's line end.
inline constexpr int32_t kResHeaderMinimum = 8;
// Reads the resource header's name (the stream at the name) and drops its
// line end. 22 when the name does not end within the block.
error ReadResBlockName(gCStream& stream, int64_t blockEnd, gCString& name);
// Rewinds a file about to be read from its start: 6 for a null or closed
// file, else the result of Rewind.
error RewindOpenFile(gCFile* file);
// Drops the LF that the stream's line reader leaves at the end of a text.
void DropLineEnd(gCString& text);
// Whether two texts are equal unit for unit up to their first NUL.
bool SameText(const gCString& a, const gCString& b);
