#pragma once
// The undo ring: before a stroke changes the four paint layers, the 16 × 16
// tiles it is about to touch are copied, once per stroke, into one byte ring
// sized from the canvas. One stroke's tiles form one record:
//
//   header   8 bytes: 32-bit id, 32-bit block count
//   blocks   4,104 bytes each: 32-bit tile x, 32-bit tile y, then for each
//            pixel row of the tile, top to bottom, the row of L0, of L1, of
//            L2 and of L3 (an edge tile clipped to the layers stores fewer
//            pixels but still takes the whole block)
//   trailer  8 bytes: the id and the count again
//
// in host byte order; the ring never leaves memory. Each element lies in
// one piece: one that would reach the ring's end goes to offset 0 instead,
// and the wrap end remembers where the data before that wrap stops. Undo
// swaps a record's tiles with the layers, so the same record then holds
// the stroke's result for redo. When the ring is full the oldest records
// go: before any element is written, every record it would overlap, or that
// its wrap skips, is dropped, so the history never holds a damaged record.

#include <cstdint>
#include <memory>

#include "foundation/CMemBlock.h"
#include "foundation/Error.h"
#include "foundation/Geometry.h"
#include "foundation/gCCmdTarget.h"
#include "imaging/Image8.h"

class CImNav;
class CRegion;

class CSMKUndoManager : public gCCmdTarget {
public:
    static constexpr int32_t kTileSide = 16;
    static constexpr int32_t kHeaderBytes = 8;
    static constexpr int32_t kBlockBytes = 8 + kTileSide * kTileSide * 4 * 4;
    // A record is its header, its blocks and its trailer.
    static constexpr int32_t kRecordOverhead = 2 * kHeaderBytes;

    struct CUndoBlockHeader {
        int32_t m_nTileX;
        int32_t m_nTileY;
    };

    CSMKUndoManager();
    ~CSMKUndoManager() override;
    CSMKUndoManager(const CSMKUndoManager&) = delete;
    CSMKUndoManager& operator=(const CSMKUndoManager&) = delete;

    // A ring of size bytes (0 frees it) and a fresh tile map for a canvas of
    // width × height; the history is forgotten. eOutOfMemory when memory runs out and
    // eBadParameter for a negative size: ring, tile map and history then stay as they
    // were.
    virtual error Initialise(int32_t size, int32_t width, int32_t height);
    // Frees the ring and the tile map: nothing is recorded until the next
    // Initialise.
    void Release();
    // Whether a record lies before or after the position; neither while a
    // record is open.
    virtual int32_t CanUndo() const;
    virtual int32_t CanRedo() const;
    // Opens a record; any records that could have been redone are gone.
    // Without a ring nothing is recorded until the next Initialise.
    virtual void StartProtect(int32_t id);
    // Saves every tile of the four layers the rectangle touches that the
    // open record does not hold yet. Always 0.
    virtual error ProtectArea(gCRect& rect, CImNav* l0, CImNav* l1, CImNav* l2, CImNav* l3);
    // Closes the record: writes its trailer and forgets the saved tiles.
    virtual void EndProtect();
    // Undo or redo one record: its tiles are swapped with the layers and
    // the changed rectangles collected in the region (emptied first). 0
    // when the step was taken or there is none; 1 when the bookkeeping was
    // found damaged and the history reset (the layers untouched); eOutOfMemory when
    // the region could not take the rectangles (the step is still taken).
    virtual error DoUndo(CRegion& region, CImNav* l0, CImNav* l1, CImNav* l2, CImNav* l3);
    virtual error DoRedo(CRegion& region, CImNav* l0, CImNav* l1, CImNav* l2, CImNav* l3);
    // Drops the oldest record, unless it is the newest there is.
    virtual void AdvanceLowWaterMark();
    // Writes one tile's block into the open record.
    virtual void ProtectStrokeBlock(int32_t tileX, int32_t tileY, CImNav* l0, CImNav* l1,
                                    CImNav* l2, CImNav* l3);
    // Swaps the block's pixels with the layers; rect becomes the block's
    // tile clipped to the first layer (empty when it lies outside).
    virtual void DoUndoRedo(CUndoBlockHeader* block, gCRect& rect, CImNav* l0, CImNav* l1,
                            CImNav* l2, CImNav* l3);

    // The bookkeeping, for tests and checks.
    int32_t RingSize() const { return int32_t(m_Ring.GetCount()); }
    const uint8_t* RingData() const { return m_Ring.GetData(); }
    int32_t LowWaterMark() const { return m_nLowWater; }
    int32_t Top() const { return m_nTop; }
    int32_t Position() const { return m_nPosition; }
    int32_t WrapEnd() const { return m_nWrapEnd; }
    int32_t IsRecordOpen() const { return m_nOpenHeader >= 0 ? 1 : 0; }
    int32_t TileColumns() const { return m_pTileMap ? m_pTileMap->GetWidth() : 0; }
    int32_t TileRows() const { return m_pTileMap ? m_pTileMap->GetHeight() : 0; }

private:
    // Finds room for an element of n bytes at the position, dropping the
    // records in its way; the offset to write at, or -1 when the open
    // record itself is in the way (the record is then abandoned).
    int32_t Reserve(int32_t n);
    // Where the records that may be dropped end: the open record's header,
    // or the top between records.
    int32_t Boundary() const { return m_nOpenHeader >= 0 ? m_nOpenHeader : m_nTop; }
    void Reset();
    void Abandon();
    void Put(int32_t offset, int32_t a, int32_t b);
    void Get(int32_t offset, int32_t& a, int32_t& b) const;

    std::unique_ptr<CImage8> m_pTileMap;
    CMemBlockT<uint8_t> m_Ring;
    int32_t m_nLowWater = 0;
    int32_t m_nTop = 0;
    int32_t m_nPosition = 0;
    int32_t m_nWrapEnd = 0;
    // Offset of the open record's header, -1 between records.
    int32_t m_nOpenHeader = -1;
    // The open record did not fit: the rest of the stroke records nothing.
    int32_t m_fAbandoned = 0;
    // Counts resets, so that dropping records can tell one happened.
    uint32_t m_nResets = 0;
};
