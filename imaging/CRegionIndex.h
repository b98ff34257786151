#pragma once
// A spatial index beside a region's ordered rectangle list: it finds the
// stored rectangles that overlap an area without walking all of them.
//
// Rectangles are sorted into size classes; class k holds those whose larger
// side is at most 16 << k, each in the grid cell (of that size) holding its
// top-left corner. A rectangle of a class therefore reaches at most one cell
// further right and down, so a query looks at the cells under the area plus
// one more row and column above and to the left, in every occupied class.
// Cells are grouped in square chunks found through a hash table per class.
//
// Every entry carries the caller's key, which the region uses to keep the
// stored order. All memory comes from the toolkit's memory hooks; a method
// that returns false ran out of memory and leaves the index unusable until
// it is cleared.

#include <cstdint>

#include "foundation/Geometry.h"
#include "foundation/gCArray.h"

// Appends to a region's arrays, doubling the capacity when full: their
// containers' growth step is capped, which would make building a region of
// tens of thousands of rectangles copy it over and over.
template <typename T> error AddDoubling(gCArray<T>& a, const T& value) {
    const int32_t n = a.GetSize();
    if (n == a.GetCapacity() && n >= 8) {
        // The same size only sets the next growth step, which cannot fail.
        (void)a.SetSize(n, n);
    }
    return a.Add(value);
}

class CRegionIndex {
public:
    struct Hit {
        int64_t key;
        gCRect rect;
    };

    CRegionIndex() = default;
    CRegionIndex(const CRegionIndex&) = delete;
    CRegionIndex& operator=(const CRegionIndex&) = delete;

    bool Insert(int64_t key, const gCRect& r);
    // Removes the entry with this key, stored under exactly this rectangle.
    void Remove(int64_t key, const gCRect& r);
    // Appends to out every entry overlapping the area {left, top, right,
    // bottom} by at least one pixel, in no particular order.
    bool Query(int64_t left, int64_t top, int64_t right, int64_t bottom, gCArray<Hit>& out) const;
    void Clear();

private:
    static constexpr int32_t kClasses = 29; // 16 << 28 covers any int32 width
    static constexpr int32_t kBaseShift = 4;
    // Cells are kept in chunks of 8 x 8, so that neighbouring cells share
    // one look-up and one stretch of memory.
    static constexpr int32_t kChunkShift = 3;
    static constexpr int32_t kChunkSide = 1 << kChunkShift;
    static constexpr int32_t kChunkCells = kChunkSide * kChunkSide;

    struct Entry {
        gCRect rect;
        int64_t key;
        int32_t next; // next entry in the same cell, or in the free list
    };
    struct Chunk {
        int32_t heads[kChunkCells]; // first entry of each cell, -1 when none
        int32_t entries;            // entries in all its cells
        int32_t nextFree;
    };
    struct Slot {
        uint64_t chunkKey;
        int32_t chunk; // -1 marks a free slot
    };
    struct SizeClass {
        gCArray<Slot> slots; // open addressing, a power of two long
        int32_t chunks = 0;  // occupied slots
    };
    struct Place {
        int32_t sizeClass;
        uint64_t chunkKey;
        int32_t cell;
    };

    static Place PlaceOf(const gCRect& r);
    static uint64_t ChunkKey(int64_t ccx, int64_t ccy);
    static uint32_t SlotOf(uint64_t chunkKey, uint32_t mask);
    // The slot holding the chunk, or -1.
    static int64_t FindSlot(const SizeClass& c, uint64_t chunkKey);
    // The free slot where a chunk not yet in the table goes.
    static uint32_t FreeSlot(const gCArray<Slot>& slots, uint64_t chunkKey);
    bool Grow(SizeClass& c);
    void EraseSlot(SizeClass& c, uint32_t i);
    bool CollectCell(int32_t head, int64_t left, int64_t top, int64_t right, int64_t bottom,
                     gCArray<Hit>& out) const;

    SizeClass m_classes[kClasses];
    uint32_t m_occupied = 0; // bit k: class k holds a chunk
    gCArray<Chunk> m_chunks;
    int32_t m_freeChunk = -1;
    gCArray<Entry> m_entries;
    int32_t m_freeEntry = -1;
};
