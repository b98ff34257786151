#pragma once
// One colour blended into a run of pixels at a level per pixel: what the
// default Blend255Proc hook does to each pixel, dst[i] := Blend255(dst[i],
// levels[i], src), one loop per instruction-set path, all giving the same
// pixels. BlendLevels takes the active path (CPixelPaths).

#include <cstdint>

#include "imaging/Pixel.h"

#if defined(__SSE2__) && !defined(DAUBLIN_NO_SIMD)
#define DAUBLIN_WIDGETS_SSE2 1
#else
#define DAUBLIN_WIDGETS_SSE2 0
#endif

namespace effectdetail {

// Pixels a row is cut into for its levels (a buffer on the stack).
inline constexpr int32_t kLevelChunk = 256;

void BlendLevels(CPixel* dst, const uint8_t* levels, int32_t count, CPixel src);
void BlendLevelsPlain(CPixel* dst, const uint8_t* levels, int32_t count, CPixel src);
#if DAUBLIN_WIDGETS_SSE2
void BlendLevelsSse2(CPixel* dst, const uint8_t* levels, int32_t count, CPixel src);
#endif

} // namespace effectdetail
