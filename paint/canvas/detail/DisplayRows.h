#pragma once
// The row loops of the canvas display, in one form per instruction-set
// path (DisplayRowsPlain.cpp, DisplayRowsSse2.cpp,
// DisplayRowsAvx2.cpp), all giving the same
// pixels to the bit. Every blend is the standard packed blend of one pixel
// toward another at a level 0..255 (CPixel::Blend255Proc).

#include <cstddef>
#include <cstdint>

#include "imaging/PixelPaths.h"

namespace display {

struct SRows {
    // out[k] = row[i0[k]] blended toward row[i1[k]] at level[k].
    void (*across)(uint32_t* out, const uint32_t* row, const int32_t* i0, const int32_t* i1,
                   const uint32_t* level, int32_t n);
    // out[k] = top[k] blended toward bottom[k] at level.
    void (*down)(uint32_t* out, const uint32_t* top, const uint32_t* bottom, uint32_t level,
                 int32_t n);
    // The tracing overlay: px[k] blended toward (bg blended toward p[k] at
    // 120) at 100.
    void (*trace)(uint32_t* px, const uint32_t* p, uint32_t bg, int32_t n);
    // acc[4 * i + c] = the sum of byte c (0 blue .. 3 alpha) of pixel i of
    // rows rows from first on, stride words apart, for i < n.
    void (*sum)(uint32_t* acc, const uint32_t* first, ptrdiff_t stride, int32_t rows, int32_t n);
};

// The loops of the path: the best form at or below it.
const SRows& RowsFor(CPixelPaths::EPath path);

extern const SRows kRowsPlain;
#if defined(__SSE2__) && !defined(DAUBLIN_NO_SIMD)
extern const SRows kRowsSse2;
extern const SRows kRowsAvx2;
#endif

} // namespace display
