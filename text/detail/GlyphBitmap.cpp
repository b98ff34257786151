#include "text/detail/GlyphBitmap.h"

#include <algorithm>
#include <cstddef>

#include "imaging/ImNav.h"

namespace {

// The coverage of one bitmap pixel: gray bitmaps give their byte, 1-bit
// bitmaps 0 or 255; other pixel modes give none.
uint8_t BitmapCoverage(const FT_Bitmap& bitmap, const unsigned char* row, uint32_t x) {
    switch (bitmap.pixel_mode) {
    case FT_PIXEL_MODE_GRAY:
        return row[x];
    case FT_PIXEL_MODE_MONO:
        return (row[x >> 3] >> (7 - (x & 7))) & 1 ? 255 : 0;
    default:
        return 0;
    }
}

// How many pixels of a row can be read within the row's bytes.
uint32_t ReadableWidth(const FT_Bitmap& bitmap) {
    const uint32_t rowBytes = uint32_t(bitmap.pitch < 0 ? -bitmap.pitch : bitmap.pitch);
    const uint32_t pixels = bitmap.pixel_mode == FT_PIXEL_MODE_MONO ? rowBytes * 8 : rowBytes;
    return std::min(bitmap.width, pixels);
}

// Row r from the top, whichever way the bitmap's rows run.
const unsigned char* BitmapRow(const FT_Bitmap& bitmap, uint32_t r) {
    const ptrdiff_t pitch = bitmap.pitch;
    const ptrdiff_t top = pitch < 0 ? -pitch * ptrdiff_t(bitmap.rows - 1) : 0;
    return bitmap.buffer + top + pitch * ptrdiff_t(r);
}

} // namespace

void CopyCoverage(const FT_Bitmap& bitmap, const uint8_t* lut, CImage8& image) {
    if (!bitmap.buffer || bitmap.width == 0 || bitmap.rows == 0) {
        return;
    }
    CImNav8 view(&image);
    if (!view.IsLocked()) {
        return;
    }
    const uint32_t width = std::min(ReadableWidth(bitmap), uint32_t(view.GetWidth()));
    const uint32_t rows = std::min(bitmap.rows, uint32_t(view.GetHeight()));
    for (uint32_t r = 0; r < rows; ++r) {
        const unsigned char* source = BitmapRow(bitmap, r);
        uint8_t* target = view.Row(int32_t(r));
        for (uint32_t x = 0; x < width; ++x) {
            const uint8_t value = lut[BitmapCoverage(bitmap, source, x)];
            target[x] = std::max(target[x], value);
        }
    }
}
