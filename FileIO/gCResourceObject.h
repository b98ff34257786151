#pragma once
// The base of everything loaded from a resource file: images, image lists,
// gradients, widgets, fonts, sounds, texts. It keeps the resource id and
// name it was loaded by, its class's block tag and whether a resource pool
// holds it, and finds its block in the file.

#include <cstdint>

#include "foundation/Error.h"
#include "foundation/gCCmdTarget.h"
#include "foundation/gCString.h"

class gCFile;
class gCResourceIndex;

class gCResourceObject : public gCCmdTarget {
public:
    explicit gCResourceObject(uint32_t type = 0) : m_nResType(type) {}
    ~gCResourceObject() override = default;

    virtual float Version() { return 0.7f; }

    // Positions the file at the payload of the block with this tag and id
    // (or exact name), scanning on from the file's position, wrapping at
    // the end of the file once and giving up where the scan started. On
    // success the object takes the block's id and name. A null file is the
    // application's resource file. 16 for a closed file, 21 when no block
    // matches, 22 for a damaged block, or the stream's error; a failure
    // leaves the object's id and name as they were (the file's position is
    // then wherever the scan stopped).
    error FindBlock(uint32_t type, int32_t id, gCFile* file);
    error FindBlock(uint32_t type, const gCString& name, gCFile* file);

    // Reads an Int32 count of payload items (bytes, names, stops) of at
    // least unitBytes bytes each, after FindBlock has found this object's
    // block: 22 when the count is negative or that many items cannot fit
    // in what is left of the block, so that a loader never sizes anything
    // from a damaged count. On failure count is untouched.
    error ReadPayloadCount(gCFile* file, int32_t& count, int32_t unitBytes);

    int32_t GetResID() const { return m_nResID; }
    void SetResID(int32_t id) { m_nResID = id; }
    uint32_t GetResType() const { return m_nResType; }
    int32_t IsPooled() const { return m_fPooled; }
    void SetPooled(int32_t pooled) { m_fPooled = pooled; }
    const gCString& GetResName() const { return m_ResName; }
    void SetResName(const gCString& name) { m_ResName = name; }
    gCString& SecondText() { return m_SecondText; }

protected:
    // The loading convention's first half, shared by every class's
    // GetFromRes: a null file, or the application's resource file, becomes
    // the application's file and index (the index only when it has
    // entries); an index that knows the resource moves the file to its
    // block; then FindBlock with the class's tag confirms it, scanning on
    // when the index was wrong or missing. The file then stands at the
    // payload. 6 when there is no file at all.
    error LocateFromRes(int32_t id, gCFile*& file, gCResourceIndex* index);
    error LocateFromRes(const gCString& name, gCFile*& file, gCResourceIndex* index);

    int32_t m_nResID = 0;
    uint32_t m_nResType = 0;
    int32_t m_fPooled = 0;
    gCString m_ResName;
    gCString m_SecondText;

private:
    // The end of the block FindBlock found last (-1 before any).
    int64_t m_nBlockEnd = -1;

    // The scan of both FindBlock forms; match tells a block of the right
    // tag by its id and the reader standing at its name.
    template <typename Match> error ScanBlocks(uint32_t type, gCFile* file, Match match);
    template <typename Key> error Locate(const Key& key, gCFile*& file, gCResourceIndex* index);
};
