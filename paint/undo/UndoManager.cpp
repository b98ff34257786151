#include "paint/undo/UndoManager.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <type_traits>

#include "imaging/CRegion.h"
#include "imaging/ImNav.h"

static_assert(sizeof(CPixel) == 4 && std::is_trivially_copyable_v<CPixel>,
              "tiles are copied as 32-bit words");

namespace {

// The rectangle all four views share, from the first pixel.
gCRect SharedBounds(CImNav* l0, CImNav* l1, CImNav* l2, CImNav* l3) {
    const int32_t w = std::min({l0->GetWidth(), l1->GetWidth(), l2->GetWidth(), l3->GetWidth()});
    const int32_t h =
        std::min({l0->GetHeight(), l1->GetHeight(), l2->GetHeight(), l3->GetHeight()});
    return gCRect(0, 0, w, h);
}

bool Usable(const CImNav* v) {
    return v && v->IsLocked() && v->GetData();
}

// The tile's rectangle clipped to the bounds (possibly empty).
gCRect TileRect(int32_t tileX, int32_t tileY, const gCRect& bounds) {
    const int64_t left = int64_t(tileX) * CSMKUndoManager::kTileSide;
    const int64_t top = int64_t(tileY) * CSMKUndoManager::kTileSide;
    gCRect r;
    r.left = int32_t(std::clamp<int64_t>(left, 0, bounds.right));
    r.top = int32_t(std::clamp<int64_t>(top, 0, bounds.bottom));
    r.right = int32_t(std::clamp<int64_t>(left + CSMKUndoManager::kTileSide, r.left, bounds.right));
    r.bottom = int32_t(std::clamp<int64_t>(top + CSMKUndoManager::kTileSide, r.top, bounds.bottom));
    return r;
}

} // namespace

CSMKUndoManager::CSMKUndoManager() = default;

CSMKUndoManager::~CSMKUndoManager() = default;

error CSMKUndoManager::Initialise(int32_t size, int32_t width, int32_t height) {
    if (size < 0) {
        return eBadParameter;
    }
    // Everything new is made before anything old goes.
    const int32_t columns = width > 0 ? int32_t((int64_t(width) + 15) >> 4) : 0;
    const int32_t rows = height > 0 ? int32_t((int64_t(height) + 15) >> 4) : 0;
    std::unique_ptr<CImage8> map(new (std::nothrow) CImage8(columns, rows));
    if (!map || (columns > 0 && rows > 0 && !map->IsValid())) {
        return eOutOfMemory;
    }
    // Zero-filled: every page of the ring is touched now, while the project
    // is made, not by the first strokes that reach it.
    if (!m_Ring.Resize(uint32_t(size), 1)) {
        return eOutOfMemory;
    }
    m_pTileMap = std::move(map);
    Reset();
    m_nOpenHeader = -1;
    m_fAbandoned = 0;
    return eNoError;
}

void CSMKUndoManager::Release() {
    (void)m_Ring.Resize(0, 0); // freeing always succeeds
    m_pTileMap.reset();
    Reset();
    m_nOpenHeader = -1;
    m_fAbandoned = 0;
}

int32_t CSMKUndoManager::CanUndo() const {
    return !IsRecordOpen() && !m_fAbandoned && m_nPosition != m_nLowWater ? 1 : 0;
}

int32_t CSMKUndoManager::CanRedo() const {
    return !IsRecordOpen() && !m_fAbandoned && m_nPosition != m_nTop ? 1 : 0;
}

void CSMKUndoManager::Reset() {
    m_nLowWater = m_nTop = m_nPosition = m_nWrapEnd = 0;
    ++m_nResets;
}

void CSMKUndoManager::Abandon() {
    Reset();
    if (m_nOpenHeader >= 0) {
        m_nOpenHeader = -1;
        m_fAbandoned = 1;
    }
}

void CSMKUndoManager::Put(int32_t offset, int32_t a, int32_t b) {
    const int32_t words[2] = {a, b};
    std::memcpy(m_Ring.GetData() + offset, words, sizeof words);
}

void CSMKUndoManager::Get(int32_t offset, int32_t& a, int32_t& b) const {
    int32_t words[2];
    std::memcpy(words, m_Ring.GetData() + offset, sizeof words);
    a = words[0];
    b = words[1];
}

void CSMKUndoManager::AdvanceLowWaterMark() {
    const int32_t boundary = Boundary();
    if (m_nLowWater == boundary) {
        return;
    }
    const int32_t size = RingSize();
    if (m_nLowWater < 0 || m_nLowWater > size - kHeaderBytes) {
        Abandon();
        return;
    }
    int32_t id = 0, count = 0;
    Get(m_nLowWater, id, count);
    if (count < 0 || int64_t(count) * kBlockBytes >= size) {
        Abandon();
        return;
    }
    int64_t next = int64_t(m_nLowWater) + int64_t(count) * kBlockBytes + kRecordOverhead;
    // The record that ends where the newest data ends is followed by the
    // boundary itself, even when that lies at the wrap end.
    if (next != boundary && next >= m_nWrapEnd) {
        next -= m_nWrapEnd;
    }
    if (next < 0 || next >= size) {
        Abandon();
        return;
    }
    m_nLowWater = int32_t(next);
}

int32_t CSMKUndoManager::Reserve(int32_t n) {
    const int32_t size = RingSize();
    if (n >= size) {
        return -1;
    }
    const uint32_t resets = m_nResets;
    int32_t at = m_nPosition;
    if (uint32_t(at) + uint32_t(n) >= uint32_t(size)) {
        // The element goes to offset 0. The records between the position
        // and the old wrap end are skipped: they go before the wrap end
        // moves, since it is what locates them.
        while (m_nLowWater != Boundary() && m_nLowWater > at) {
            AdvanceLowWaterMark();
            if (m_nResets != resets) {
                return -1;
            }
        }
        m_nWrapEnd = at;
        at = 0;
    }
    // The oldest records ahead of the element go until it lies clear.
    while (m_nLowWater != Boundary() && at <= m_nLowWater && at + n >= m_nLowWater) {
        AdvanceLowWaterMark();
        if (m_nResets != resets) {
            return -1;
        }
    }
    // Nothing older is left: the open record must not run into itself.
    if (m_nOpenHeader >= 0 && m_nLowWater == m_nOpenHeader && at < m_nOpenHeader &&
        at + n >= m_nOpenHeader) {
        return -1;
    }
    return at;
}

void CSMKUndoManager::StartProtect(int32_t id) {
    if (IsRecordOpen() || m_fAbandoned || RingSize() == 0) {
        return;
    }
    // What could have been redone is overwritten from here on.
    m_nTop = m_nPosition;
    const int32_t at = Reserve(kHeaderBytes);
    if (at < 0) {
        Reset();
        m_fAbandoned = 1;
        return;
    }
    if (m_nLowWater == m_nTop) {
        m_nLowWater = at; // the new record is the oldest
    }
    Put(at, id, 0);
    m_nOpenHeader = at;
    m_nPosition = at + kHeaderBytes;
    m_nWrapEnd = std::max(m_nWrapEnd, m_nPosition);
}

error CSMKUndoManager::ProtectArea(gCRect& rect, CImNav* l0, CImNav* l1, CImNav* l2, CImNav* l3) {
    if (!IsRecordOpen() || !m_pTileMap || !Usable(l0) || !Usable(l1) || !Usable(l2) ||
        !Usable(l3)) {
        return eNoError;
    }
    CImNav8 map(m_pTileMap.get());
    if (!map.IsLocked() || !map.GetData()) {
        return eNoError;
    }
    const int32_t firstColumn = std::max(0, rect.left >> 4);
    const int32_t endColumn =
        int32_t(std::min<int64_t>(map.GetWidth(), (int64_t(rect.right) + 15) >> 4));
    const int32_t firstRow = std::max(0, rect.top >> 4);
    const int32_t endRow =
        int32_t(std::min<int64_t>(map.GetHeight(), (int64_t(rect.bottom) + 15) >> 4));
    for (int32_t y = firstRow; y < endRow; ++y) {
        uint8_t* saved = map.Row(y);
        for (int32_t x = firstColumn; x < endColumn; ++x) {
            if (saved[x]) {
                continue;
            }
            ProtectStrokeBlock(x, y, l0, l1, l2, l3);
            if (!IsRecordOpen()) {
                return eNoError; // the record was abandoned
            }
            saved[x] = 1;
        }
    }
    return eNoError;
}

void CSMKUndoManager::ProtectStrokeBlock(int32_t tileX, int32_t tileY, CImNav* l0, CImNav* l1,
                                         CImNav* l2, CImNav* l3) {
    if (!IsRecordOpen()) {
        return;
    }
    const int32_t at = Reserve(kBlockBytes);
    if (at < 0) {
        Abandon();
        return;
    }
    uint8_t* block = m_Ring.GetData() + at;
    Put(at, tileX, tileY);
    const gCRect r = TileRect(tileX, tileY, SharedBounds(l0, l1, l2, l3));
    const size_t rowBytes = size_t(r.Width()) * 4;
    uint8_t* out = block + sizeof(CUndoBlockHeader);
    CImNav* const views[4] = {l0, l1, l2, l3};
    for (int32_t y = r.top; y < r.bottom; ++y) {
        for (CImNav* view : views) {
            std::memcpy(out, view->Row(y) + r.left, rowBytes);
            out += rowBytes;
        }
    }
    int32_t id = 0, count = 0;
    Get(m_nOpenHeader, id, count);
    Put(m_nOpenHeader, id, count + 1);
    m_nPosition = at + kBlockBytes;
    m_nWrapEnd = std::max(m_nWrapEnd, m_nPosition);
}

void CSMKUndoManager::EndProtect() {
    if (m_pTileMap) {
        (void)m_pTileMap->Zero(); // always succeeds
    }
    if (!IsRecordOpen()) {
        m_fAbandoned = 0;
        return;
    }
    int32_t id = 0, count = 0;
    Get(m_nOpenHeader, id, count);
    const int32_t at = Reserve(kHeaderBytes);
    if (at < 0) {
        Abandon();
        m_fAbandoned = 0;
        return;
    }
    Put(at, id, count);
    m_nOpenHeader = -1;
    m_nPosition = at + kHeaderBytes;
    m_nTop = m_nPosition;
    m_nWrapEnd = std::max(m_nWrapEnd, m_nPosition);
}

void CSMKUndoManager::DoUndoRedo(CUndoBlockHeader* block, gCRect& rect, CImNav* l0, CImNav* l1,
                                 CImNav* l2, CImNav* l3) {
    rect = TileRect(block->m_nTileX, block->m_nTileY, SharedBounds(l0, l1, l2, l3));
    if (rect.IsEmpty()) {
        return;
    }
    const int32_t n = rect.Width();
    const size_t rowBytes = size_t(n) * 4;
    uint8_t* stored = reinterpret_cast<uint8_t*>(block) + sizeof(CUndoBlockHeader);
    CImNav* const views[4] = {l0, l1, l2, l3};
    uint32_t held[kTileSide];
    for (int32_t y = rect.top; y < rect.bottom; ++y) {
        for (CImNav* view : views) {
            CPixel* live = view->Row(y) + rect.left;
            std::memcpy(held, stored, rowBytes);
            std::memcpy(stored, static_cast<const void*>(live), rowBytes);
            std::memcpy(static_cast<void*>(live), held, rowBytes);
            stored += rowBytes;
        }
    }
}

error CSMKUndoManager::DoUndo(CRegion& region, CImNav* l0, CImNav* l1, CImNav* l2, CImNav* l3) {
    region.Reset();
    if (!CanUndo() || !Usable(l0) || !Usable(l1) || !Usable(l2) || !Usable(l3)) {
        return eNoError;
    }
    const int32_t size = RingSize();
    const auto fits = [size](int32_t offset, int32_t n) {
        return offset >= 0 && int64_t(offset) + n <= size;
    };
    // The record before the position ends there, or at the wrap end when
    // the position is at the start of the ring.
    const int32_t trailer = (m_nPosition >= kHeaderBytes ? m_nPosition : m_nWrapEnd) - kHeaderBytes;
    if (!fits(trailer, kHeaderBytes)) {
        Reset();
        return eGenericFailure;
    }
    int32_t id = 0, count = 0;
    Get(trailer, id, count);
    if (count < 0 || int64_t(count) * kBlockBytes >= size) {
        Reset();
        return eGenericFailure;
    }
    // Every element is checked before any pixel moves.
    const auto previous = [this](int32_t offset, int32_t n) {
        return offset - n >= 0 ? offset - n : m_nWrapEnd - n;
    };
    int32_t offset = trailer;
    for (int32_t i = 0; i < count; ++i) {
        offset = previous(offset, kBlockBytes);
        if (!fits(offset, kBlockBytes)) {
            Reset();
            return eGenericFailure;
        }
    }
    const int32_t header = previous(offset, kHeaderBytes);
    int32_t headerId = 0, headerCount = 0;
    if (!fits(header, kHeaderBytes) || (Get(header, headerId, headerCount), headerCount != count)) {
        Reset();
        return eGenericFailure;
    }
    error result = eNoError;
    offset = trailer;
    for (int32_t i = 0; i < count; ++i) {
        offset = previous(offset, kBlockBytes);
        gCRect r;
        DoUndoRedo(reinterpret_cast<CUndoBlockHeader*>(m_Ring.GetData() + offset), r, l0, l1, l2,
                   l3);
        if (!r.IsEmpty() && region.AddRect(r) != eNoError) {
            result = eOutOfMemory;
        }
    }
    m_nPosition = header;
    return result;
}

error CSMKUndoManager::DoRedo(CRegion& region, CImNav* l0, CImNav* l1, CImNav* l2, CImNav* l3) {
    region.Reset();
    if (!CanRedo() || !Usable(l0) || !Usable(l1) || !Usable(l2) || !Usable(l3)) {
        return eNoError;
    }
    const int32_t size = RingSize();
    const auto fits = [size](int32_t offset, int32_t n) {
        return offset >= 0 && int64_t(offset) + n <= size;
    };
    // The writer's own rule: an element that would reach the ring's end
    // lies at offset 0.
    const auto place = [size](int32_t offset, int32_t n) {
        return uint32_t(offset) + uint32_t(n) >= uint32_t(size) ? 0 : offset;
    };
    const int32_t header = place(m_nPosition, kHeaderBytes);
    if (!fits(header, kHeaderBytes)) {
        Reset();
        return eGenericFailure;
    }
    int32_t id = 0, count = 0;
    Get(header, id, count);
    if (count < 0 || int64_t(count) * kBlockBytes >= size) {
        Reset();
        return eGenericFailure;
    }
    int32_t offset = header + kHeaderBytes;
    for (int32_t i = 0; i < count; ++i) {
        offset = place(offset, kBlockBytes);
        if (!fits(offset, kBlockBytes)) {
            Reset();
            return eGenericFailure;
        }
        offset += kBlockBytes;
    }
    const int32_t trailer = place(offset, kHeaderBytes);
    int32_t trailerId = 0, trailerCount = 0;
    if (!fits(trailer, kHeaderBytes) ||
        (Get(trailer, trailerId, trailerCount), trailerCount != count)) {
        Reset();
        return eGenericFailure;
    }
    error result = eNoError;
    offset = header + kHeaderBytes;
    for (int32_t i = 0; i < count; ++i) {
        offset = place(offset, kBlockBytes);
        gCRect r;
        DoUndoRedo(reinterpret_cast<CUndoBlockHeader*>(m_Ring.GetData() + offset), r, l0, l1, l2,
                   l3);
        if (!r.IsEmpty() && region.AddRect(r) != eNoError) {
            result = eOutOfMemory;
        }
        offset += kBlockBytes;
    }
    m_nPosition = trailer + kHeaderBytes;
    return result;
}
