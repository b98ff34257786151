#pragma once
// Pixel copies between views and whole images: plain copies (Blit), scaling
// with bilinear interpolation (StretchBlit), box reduction (SuperSample), an
// alpha-aware high-quality scale (StretchHiQ, StretchHiQBlend), repeating a
// pattern (Tile), an in-place shift with wrap-around (Pan) and frames built
// from a small source (ConstructFromCorners, ConstructFromEdges). The
// destination comes first; the view forms write the destination view's
// pixels and nothing outside it.
//
// 32-bit scale steps and sample positions are 16.16 fixed point, the 8-bit
// and mixed forms use 24.8; interpolation weights are 8-bit.

#include <cstdint>

#include "foundation/Error.h"
#include "foundation/Geometry.h"
#include "imaging/ImNav.h"
#include "imaging/Image.h"
#include "imaging/Image8.h"

class CStretcher {
public:
    enum ETileStartPos {
        eTileTopLeft = 0,
        eTileRight = 1,
        eTileBottom = 2,
        eTileBottomRight = 3,
        eTileCentre = 4,
    };

    // Scales src to fill dst; with quality and both steps at least 2.0, a
    // box reduction instead. Nothing is written when either view is empty or
    // did not lock.
    static error StretchBlit(CImNav* dst, CImNav* src, int32_t quality);
    static error SuperSample(CImNav* dst, CImNav* src);
    // Alpha-weighted: transparent source pixels add nothing to the colour.
    static error StretchHiQ(CImNav* dst, CImNav* src);
    // As StretchHiQ, composited over the destination.
    static error StretchHiQBlend(CImNav* dst, CImNav* src);

    // Row copies of the area both views have (same pixel size only); Blit is
    // safe for overlapping views of one image, FastBlit copies top-down.
    static error Blit(CImNavBase* dst, CImNavBase* src);
    static error FastBlit(CImNavBase* dst, CImNavBase* src);

    // Reading a compressed source image in place.
    static error StretchBlitCompressed(CImNav* dst, CImage* src, int32_t quality);
    static error SuperSampleCompressed(CImNav* dst, CImage* src);
    static error BlitCompressed(CImNavBase* dst, CImageBase* src);

    // Image forms: a compressed destination is decompressed for the work and
    // compressed again afterwards.
    static error StretchBlit(CImage* dst, CImage* src, int32_t quality);
    static error StretchHiQ(CImage* dst, CImage* src);
    static error StretchHiQBlend(CImage* dst, CImage* src);
    static error Blit(CImageBase* dst, CImageBase* src);

    // 8-bit and mixed forms: grey bytes and opaque grey pixels.
    static error StretchBlit(CImNav8* dst, CImNav8* src);
    static error StretchBlit(CImNav* dst, CImNav8* src);
    static error StretchBlit(CImNav8* dst, CImNav* src);
    static error Blit(CImNav* dst, CImNav8* src);
    static error Blit(CImNav8* dst, CImNav* src);

    static error Tile(CImNav* dst, CImNav* src, ETileStartPos start);
    static error Tile(CImNav8* dst, CImNav8* src, ETileStartPos start);
    static error Tile(CImage* dst, CImage* src, ETileStartPos start);
    static error Tile(CImage8* dst, CImage8* src, ETileStartPos start);

    // Afterwards the pixel at (x, y) is the one that was at
    // ((x - offset.x) mod width, (y - offset.y) mod height).
    static error Pan(CImNavBase& view, const gCPoint& offset);

    // A frame from a source laid out as a 3 x 3 grid: corners copied, the
    // rest tiled (tile != 0) or stretched.
    static error ConstructFromCorners(CImage* dst, CImage* src, int32_t tile);
    // A bar from three pieces of the source, stretched.
    static error ConstructFromEdges(CImage* dst, CImage* src, int32_t vertical, int32_t unused);
};

// The bilinear blend of four pixels that never pulls the colour of a fully
// transparent neighbour into the result.
uint32_t SafeBlerp(uint32_t tl, uint32_t tr, uint32_t bl, uint32_t br, uint32_t fx, uint32_t fy);
