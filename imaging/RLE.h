#pragma once
// The run-length form of a 32-bit image. Fully transparent pixels of any
// colour bits repeat one another, so a run of them decodes to the first
// one's colour. The form lives only in memory.

#include <cstdint>

#include "foundation/Error.h"
#include "imaging/Pixel.h"
#include "imaging/RunLengthBlock.h"

class CImage;
class CImNav;

class CRLE : public CRunLengthBlock<CPixel> {
public:
    CRLE() = default;
    ~CRLE() override = default;

    // Encodes the whole image: as the view form, and 6 without an image (the
    // object unchanged); 5 when it cannot be viewed, for example when it is
    // empty or compressed.
    error CreateFromImage(CImage* image);
    // Encodes the view when the estimate comes below four fifths of its
    // pixels, else stores it raw: 0, 5 (no memory, or a view that did not
    // lock; the object is unchanged) or 6 (the encoder ran out of room; the
    // object is then emptied).
    error CreateFromImage(CImNav& view);

    // The size of the encoded form in words, or width * height when it is
    // not worth encoding (or the image cannot be viewed).
    static int32_t TestCompression(CImage* image);
    static int32_t TestCompression(CImNav& view);

    // Writes the run-length form of the view into the block, which must
    // already have room for it. 6 when it has not: the object is then
    // emptied rather than left half-written.
    error DoCompress(CImNav& view);

    static int32_t CountDuplicatePoints(const CPixel* row, int32_t x, int32_t width);
    static int32_t CountUniquePoints(const CPixel* row, int32_t x, int32_t width);
};
