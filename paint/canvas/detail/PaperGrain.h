#pragma once
// The paper grain of a texture id laid into an image's words: the paper
// image tiled from the top-left corner, its red byte in bits 16-23, then
// blurred a little in the high 16 bits.

#include <cstdint>

#include "foundation/Error.h"

class CImage;

// The low 16 bits of each word are kept when keepPaint is non-zero, else
// they become 0; without the paper image the grain is 0 and the low 16 bits
// stay. eOutOfMemory when the image or the paper cannot be
// locked or blurred; 0 for an image without pixels.
error gLayPaperGrain(CImage& image, uint32_t texture, int32_t keepPaint);
