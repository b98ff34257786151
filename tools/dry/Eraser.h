#pragma once
// The eraser: removes paint. Where a pixel still has paint depth it wears
// the depth down first; only where the depth is 0 does it take the colour's
// alpha away. It shares chalk's stroke geometry and single dab, carries no
// brush load and writes only L1's depth, L0's alpha and, in a single dab,
// the per-stroke marks.

#include <cstdint>

#include "imaging/Pixel.h"
#include "tools/PaintingTool.h"
#include "tools/dry/detail/DryTool.h"

class CEraser : public TDryTool<CEraser, CReloadTool> {
public:
    // Tool eToolEraser.
    error SetupTool() override;
    // Starts a stroke at pt: previous edge on the point, profile filled, no
    // pressure yet. The flag is not used.
    error SetFirstPt(pointStruct pt, int32_t) override;
    // Erases one circular dab at pt, at least at half strength; eOutOfMemory when a
    // layer cannot be locked.
    error Dab(pointStruct pt, gCRect& rect, CCanvas* canvas) override;
    // Erases one piece from the edge (p1 left, p2 right) to (p3 left, p4
    // right); mode 0 plain, 1 the cap at a sharp turn, 2 the piece after it.
    // Nothing without layers. Always 0.
    error RenderSegment(gCRPoint p1, gCRPoint p2, gCRPoint p3, gCRPoint p4, int32_t mode);

    // Erases one pixel by amount: the depth (L1's low half) falls by it,
    // held at 0; once the depth is 0 the alpha (L0's top byte) falls by it
    // too, held at 0. Colour, grain and everything else stay.
    static void ErasePixel(CPixel& colour, CPixel& height, uint32_t amount);
};
