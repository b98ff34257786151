#include "imaging/CRegionIndex.h"

#include <bit>

namespace {

// Takes an element from a pool's free list, or appends one; -1 when memory
// runs out.
template <typename T> int32_t Take(gCArray<T>& pool, int32_t& freeList, int32_t T::*link) {
    const int32_t i = freeList;
    if (i >= 0) {
        freeList = pool[i].*link;
        return i;
    }
    return AddDoubling(pool, T{}) == eNoError ? pool.GetSize() - 1 : -1;
}

} // namespace

CRegionIndex::Place CRegionIndex::PlaceOf(const gCRect& r) {
    const int64_t w = int64_t(r.right) - r.left;
    const int64_t h = int64_t(r.bottom) - r.top;
    const uint64_t side = uint64_t(w > h ? w : h);
    const int32_t bits = int32_t(std::bit_width(side - 1));
    const int32_t k = bits > kBaseShift ? bits - kBaseShift : 0;
    const int64_t cx = int64_t(r.left) >> (kBaseShift + k);
    const int64_t cy = int64_t(r.top) >> (kBaseShift + k);
    const int32_t cell =
        int32_t(((cy & (kChunkSide - 1)) << kChunkShift) | (cx & (kChunkSide - 1)));
    return Place{k, ChunkKey(cx >> kChunkShift, cy >> kChunkShift), cell};
}

uint64_t CRegionIndex::ChunkKey(int64_t ccx, int64_t ccy) {
    return (uint64_t(uint32_t(ccx)) << 32) | uint32_t(ccy);
}

uint32_t CRegionIndex::SlotOf(uint64_t chunkKey, uint32_t mask) {
    // A 64-bit finaliser spreads neighbouring chunks over the table.
    uint64_t z = chunkKey + 0x9E3779B97F4A7C15ull;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    z ^= z >> 31;
    return uint32_t(z) & mask;
}

int64_t CRegionIndex::FindSlot(const SizeClass& c, uint64_t chunkKey) {
    const int32_t size = c.slots.GetSize();
    if (size == 0) {
        return -1;
    }
    const uint32_t mask = uint32_t(size) - 1;
    for (uint32_t i = SlotOf(chunkKey, mask);; i = (i + 1) & mask) {
        const Slot& s = c.slots[int32_t(i)];
        if (s.chunk < 0) {
            return -1;
        }
        if (s.chunkKey == chunkKey) {
            return i;
        }
    }
}

uint32_t CRegionIndex::FreeSlot(const gCArray<Slot>& slots, uint64_t chunkKey) {
    const uint32_t mask = uint32_t(slots.GetSize()) - 1;
    uint32_t i = SlotOf(chunkKey, mask);
    while (slots[int32_t(i)].chunk >= 0) {
        i = (i + 1) & mask;
    }
    return i;
}

bool CRegionIndex::Grow(SizeClass& c) {
    const int32_t oldSize = c.slots.GetSize();
    const int32_t newSize = oldSize ? oldSize * 2 : 8;
    gCArray<Slot> slots;
    if (slots.SetSize(newSize) != eNoError) {
        return false;
    }
    for (Slot& s : slots) {
        s.chunk = -1;
    }
    for (const Slot& s : c.slots) {
        if (s.chunk < 0) {
            continue;
        }
        slots[int32_t(FreeSlot(slots, s.chunkKey))] = s;
    }
    c.slots = static_cast<gCArray<Slot>&&>(slots);
    return true;
}

void CRegionIndex::EraseSlot(SizeClass& c, uint32_t i) {
    // Linear probing: pull later members of the probe run back over the hole.
    const uint32_t mask = uint32_t(c.slots.GetSize()) - 1;
    uint32_t j = i;
    for (;;) {
        c.slots[int32_t(i)].chunk = -1;
        for (;;) {
            j = (j + 1) & mask;
            if (c.slots[int32_t(j)].chunk < 0) {
                --c.chunks;
                if (c.chunks == 0) {
                    m_occupied &= ~(1u << int32_t(&c - m_classes));
                }
                return;
            }
            const uint32_t home = SlotOf(c.slots[int32_t(j)].chunkKey, mask);
            const bool stays = i <= j ? (i < home && home <= j) : (i < home || home <= j);
            if (!stays) {
                break;
            }
        }
        c.slots[int32_t(i)] = c.slots[int32_t(j)];
        i = j;
    }
}

bool CRegionIndex::Insert(int64_t key, const gCRect& r) {
    const Place place = PlaceOf(r);
    SizeClass& c = m_classes[place.sizeClass];
    int64_t slot = FindSlot(c, place.chunkKey);
    if (slot < 0) {
        if ((c.chunks + 1) * 2 > c.slots.GetSize() && !Grow(c)) {
            return false;
        }
        const int32_t chunk = Take(m_chunks, m_freeChunk, &Chunk::nextFree);
        if (chunk < 0) {
            return false;
        }
        Chunk& fresh = m_chunks[chunk];
        for (int32_t& head : fresh.heads) {
            head = -1;
        }
        fresh.entries = 0;
        const uint32_t i = FreeSlot(c.slots, place.chunkKey);
        c.slots[int32_t(i)] = Slot{place.chunkKey, chunk};
        ++c.chunks;
        m_occupied |= 1u << place.sizeClass;
        slot = i;
    }
    const int32_t chunk = c.slots[int32_t(slot)].chunk;
    const int32_t e = Take(m_entries, m_freeEntry, &Entry::next);
    if (e < 0) {
        return false; // the index is dropped; an empty chunk does no harm
    }
    Chunk& ch = m_chunks[chunk];
    m_entries[e] = Entry{r, key, ch.heads[place.cell]};
    ch.heads[place.cell] = e;
    ++ch.entries;
    return true;
}

void CRegionIndex::Remove(int64_t key, const gCRect& r) {
    const Place place = PlaceOf(r);
    SizeClass& c = m_classes[place.sizeClass];
    const int64_t slot = FindSlot(c, place.chunkKey);
    if (slot < 0) {
        return;
    }
    const int32_t chunk = c.slots[int32_t(slot)].chunk;
    Chunk& ch = m_chunks[chunk];
    int32_t* link = &ch.heads[place.cell];
    while (*link >= 0 && m_entries[*link].key != key) {
        link = &m_entries[*link].next;
    }
    const int32_t e = *link;
    if (e < 0) {
        return;
    }
    *link = m_entries[e].next;
    m_entries[e].next = m_freeEntry;
    m_freeEntry = e;
    if (--ch.entries == 0) {
        EraseSlot(c, uint32_t(slot));
        ch.nextFree = m_freeChunk;
        m_freeChunk = chunk;
    }
}

bool CRegionIndex::CollectCell(int32_t head, int64_t left, int64_t top, int64_t right,
                               int64_t bottom, gCArray<Hit>& out) const {
    for (int32_t e = head; e >= 0; e = m_entries[e].next) {
        const gCRect& s = m_entries[e].rect;
        if (s.left < right && s.right > left && s.top < bottom && s.bottom > top) {
            if (out.Add(Hit{m_entries[e].key, s}) != eNoError) {
                return false;
            }
        }
    }
    return true;
}

bool CRegionIndex::Query(int64_t left, int64_t top, int64_t right, int64_t bottom,
                         gCArray<Hit>& out) const {
    if (left >= right || top >= bottom) {
        return true;
    }
    for (uint32_t occupied = m_occupied; occupied != 0; occupied &= occupied - 1) {
        const int32_t k = std::countr_zero(occupied);
        const SizeClass& c = m_classes[k];
        const int32_t shift = kBaseShift + k;
        const int64_t cx0 = (left >> shift) - 1;
        const int64_t cx1 = (right - 1) >> shift;
        const int64_t cy0 = (top >> shift) - 1;
        const int64_t cy1 = (bottom - 1) >> shift;
        const int64_t ccx0 = cx0 >> kChunkShift, ccx1 = cx1 >> kChunkShift;
        const int64_t ccy0 = cy0 >> kChunkShift, ccy1 = cy1 >> kChunkShift;
        if ((ccx1 - ccx0 + 1) * (ccy1 - ccy0 + 1) > c.chunks) {
            // The area spans more chunks than the class holds: walk them all.
            for (const Slot& s : c.slots) {
                if (s.chunk < 0) {
                    continue;
                }
                for (const int32_t head : m_chunks[s.chunk].heads) {
                    if (head >= 0 && !CollectCell(head, left, top, right, bottom, out)) {
                        return false;
                    }
                }
            }
            continue;
        }
        for (int64_t ccy = ccy0; ccy <= ccy1; ++ccy) {
            for (int64_t ccx = ccx0; ccx <= ccx1; ++ccx) {
                const int64_t slot = FindSlot(c, ChunkKey(ccx, ccy));
                if (slot < 0) {
                    continue;
                }
                const Chunk& ch = m_chunks[c.slots[int32_t(slot)].chunk];
                // The cells of this chunk that lie in the searched range.
                const int64_t x0 = ccx == ccx0 ? cx0 & (kChunkSide - 1) : 0;
                const int64_t x1 = ccx == ccx1 ? cx1 & (kChunkSide - 1) : kChunkSide - 1;
                const int64_t y0 = ccy == ccy0 ? cy0 & (kChunkSide - 1) : 0;
                const int64_t y1 = ccy == ccy1 ? cy1 & (kChunkSide - 1) : kChunkSide - 1;
                for (int64_t y = y0; y <= y1; ++y) {
                    for (int64_t x = x0; x <= x1; ++x) {
                        const int32_t head = ch.heads[(y << kChunkShift) | x];
                        if (head >= 0 && !CollectCell(head, left, top, right, bottom, out)) {
                            return false;
                        }
                    }
                }
            }
        }
    }
    return true;
}

void CRegionIndex::Clear() {
    for (SizeClass& c : m_classes) {
        c.slots.RemoveAll();
        c.chunks = 0;
    }
    m_occupied = 0;
    m_chunks.RemoveAll();
    m_freeChunk = -1;
    m_entries.RemoveAll();
    m_freeEntry = -1;
}
