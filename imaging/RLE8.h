#pragma once
// The run-length form of an 8-bit image, or of an 8-bit mask taken from one
// 16-bit channel of a 32-bit image: channel non-zero takes bits 24-31 of
// each word (the upper byte of the high channel), channel 0 bits 8-15 (the
// upper byte of the low channel). Runs hold at most 126 bytes.

#include <cstdint>

#include "foundation/Error.h"
#include "imaging/Pixel.h"
#include "imaging/RunLengthBlock.h"

class CImage;
class CImage8;
class CImNav;
class CImNav8;

class CRLE8 : public CRunLengthBlock<uint8_t> {
public:
    CRLE8() = default;
    ~CRLE8() override = default;

    // As CRLE, in bytes, with the same results and the same state after a
    // failure (5: unchanged; 6: emptied, or unchanged without an image).
    error CreateFromImage(CImage8* image);
    error CreateFromImage(CImNav8& view);
    static int32_t TestCompression(CImage8* image);
    static int32_t TestCompression(CImNav8& view);
    error DoCompress(CImNav8& view);
    static int32_t CountDuplicatePoints(const uint8_t* row, int32_t x, int32_t width);
    static int32_t CountUniquePoints(const uint8_t* row, int32_t x, int32_t width);

    // The same over one channel byte of each word of a 32-bit image.
    error CreateFromImage16(CImage* image, int32_t channel);
    error CreateFromImage16(CImNav& view, int32_t channel);
    static int32_t TestCompression16(CImage* image, int32_t channel);
    static int32_t TestCompression16(CImNav& view, int32_t channel);
    error DoCompress16(CImNav& view, int32_t channel);
    static int32_t CountDuplicatePoints16(const CPixel* row, int32_t x, int32_t width,
                                          int32_t channel);
    static int32_t CountUniquePoints16(const CPixel* row, int32_t x, int32_t width,
                                       int32_t channel);
};
