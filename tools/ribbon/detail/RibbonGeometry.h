#pragma once
// The geometry the ribbon tools (pens, pencils) share: cross-sections of the
// ribbon, the areas their pieces and stamps touch, the invalidation spans
// they mark, and the check that the canvas's layers can be painted.

#include <cstdint>
#include <initializer_list>

#include "foundation/Geometry.h"

class CCanvas;
class CPaintTool;

namespace ribbon {

// The ends of a cross-section: left = q + w (-dy, dx), right = q - w (-dy, dx).
struct SCrossSection {
    gCRPoint left;
    gCRPoint right;
};

// The cross-section of half-width w at (x, y) with unit direction (dx, dy).
SCrossSection CrossSectionAt(float x, float y, float dx, float dy, float w);

// The bounding box of the points, each side rounded, widened by 2 and held
// to the layer: inclusive 0..width - 1, 0..height - 1.
gCRect AreaOf(std::initializer_list<gCRPoint> points, int32_t width, int32_t height);

// r grown by `by` on every side.
gCRect Widened(const gCRect& r, int32_t by);

// The spans MarkSpans marks: the (inclusive) area's rows over rect's
// columns, right and bottom exclusive.
gCRect SpansOf(const gCRect& area, const gCRect& rect);

// Every row of the (inclusive) area takes in rect's columns, held to the
// canvas; the canvas's changed rows take in the area's rows.
void MarkSpans(CCanvas& canvas, const gCRect& area, const gCRect& rect);

// Whether the tool may paint the canvas: the canvas holds a locked view on
// each of its four layers, unpadded and of the tool's layer size, and the
// tool holds the four layer addresses.
bool LayersReady(const CPaintTool& tool, CCanvas* canvas);

} // namespace ribbon
