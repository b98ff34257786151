#pragma once
// An area made of disjoint, non-empty rectangles: the dirty area of the
// window, the exclusions of widget effects, the area an undo step changed.
// Consumers read the bounds and walk the rectangle list; every pixel of the
// area lies in exactly one listed rectangle.
//
// The list keeps the order in which the rectangles were produced. Beside it,
// once a region holds more than a handful of rectangles, a spatial index
// finds those a new rectangle can touch, so that building a region from tens
// of thousands of tiles costs about as much per tile as building a small one.

#include <cstdint>

#include "foundation/Error.h"
#include "foundation/Geometry.h"
#include "foundation/gCArray.h"
#include "foundation/gCBaseObject.h"
#include "imaging/CRegionIndex.h"

class CRegion : public gCBaseObject {
public:
    CRegion();
    ~CRegion() override;

    CRegion(const CRegion&) = delete;
    CRegion& operator=(const CRegion&) = delete;

    // Empties the region and frees its memory.
    void Reset();
    // Adds the parts of r not yet covered; 0, or 5 when memory runs out.
    error AddRect(const gCRect& r);
    // Cuts r out of the area; 0, or 5 when memory runs out.
    error RemoveRect(const gCRect& r);
    // Sets the bounds to the bounding box of the stored rectangles.
    void RecalcBounds();

    // {0, 0, 0, 0} when the region is empty.
    const gCRect& GetBounds() const { return m_rBounds; }
    const gCArray<gCRect>& GetRects() const { return m_aRects; }
    int32_t GetCount() const { return m_aRects.GetSize(); }
    bool IsEmpty() const { return m_rBounds.IsEmpty(); }

private:
    using Hit = CRegionIndex::Hit;

    // Stored rectangles overlapping the area, in stored order.
    error Overlapping(int64_t left, int64_t top, int64_t right, int64_t bottom);
    error Append(const gCRect& r);
    void Replace(int64_t key, const gCRect& r);
    // Deletes the stored rectangles whose keys are listed in m_aDoomed.
    void DeleteDoomed();
    int32_t PositionOf(int64_t key) const;
    void UseIndexIfLarge();
    void DropIndex();

    gCRect m_rBounds;
    gCArray<gCRect> m_aRects;
    // Beside each rectangle, a key that grows with its position in the list.
    gCArray<int64_t> m_aKeys;
    int64_t m_nNextKey = 0;

    CRegionIndex m_index;
    bool m_fIndexed = false;
    // The bounds are the union's bounding box (always, but after a failure).
    bool m_fBoundsExact = true;

    // Scratch lists, kept between calls.
    gCArray<Hit> m_aHits;
    gCArray<int64_t> m_aDoomed;
    gCArray<gCRect> m_aPieces;
};
