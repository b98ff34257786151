#pragma once
// The rows a tool's pieces wrote since the last marking, each as its first
// and last pixel, and their marking for the relight: every written pixel
// and the ring of pixels whose normals it changes (its left and right
// neighbours on the row, the pixels above and below it). Marking only these
// spans, not the pieces' bounding boxes, keeps the relight near the area
// actually painted.

#include <cstdint>

#include "foundation/Geometry.h"

class CCanvas;

class CWrittenRows {
public:
    // Rows held at once; a piece reaching further is marked by its box.
    static constexpr int32_t kRows = 512;

    // Pixels first .. last of row y were written (first <= last).
    void Add(int32_t y, int32_t first, int32_t last);
    // Marks the rows written and their ring on the canvas and forgets them.
    // When some row found no room, the whole of fallback (right and bottom
    // exclusive) is marked as well.
    void MarkOn(CCanvas& canvas, const gCRect& fallback);
    // Forgets every row without marking.
    void Clear();

    // Rows held from Top(); the span of row Top() + i, empty when i is
    // outside or the row was not written.
    int32_t Top() const { return m_nTop; }
    int32_t Rows() const { return m_nRows; }
    bool Overflowed() const { return m_fOverflow; }
    bool Span(int32_t i, int32_t& first, int32_t& last) const;

private:
    int32_t m_nTop = 0;
    int32_t m_nRows = 0;
    bool m_fOverflow = false;
    int32_t m_aFirst[kRows] = {};
    int32_t m_aLast[kRows] = {};
};
