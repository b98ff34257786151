#pragma once
// Reading FreeType's glyph bitmaps into coverage images: by their pitch
// (rows running down or up) and pixel mode (8-bit gray, or 1-bit expanded
// to 0 and 255; other modes give no coverage), never reading beyond a row.

#include <cstdint>

#include "imaging/Image8.h"
#include "text/detail/FreeType.h"

// Writes the bitmap's coverage through the table into the image's top-left
// corner, keeping the larger value at each pixel; what lies outside the
// image is left out.
void CopyCoverage(const FT_Bitmap& bitmap, const uint8_t* lut, CImage8& image);
