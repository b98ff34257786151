#pragma once
// The backdrop background's row loops, in one form per instruction-set path
// (BackdropFillRowsPlain.cpp, BackdropFillRowsSse2.cpp,
// BackdropFillRowsAvx2.cpp), all giving the plain form's pixels to the bit.

#include <cstdint>

#include "imaging/PixelPaths.h"

namespace backdropfill {

struct SRows {
    // The angled gradient along a row: out[i] = table[(acc + i * dx) >> 16],
    // the index clamped to 0..kLastIndex; the table may be read as far as
    // entries (at least kLastIndex + 1) words.
    void (*linear)(uint32_t* out, const uint32_t* table, int32_t entries, int64_t acc, int64_t dx,
                   int32_t n);
    // px[i] = BlendGradient(px[i], g[i], opacity, overImage).
    void (*blend)(uint32_t* px, const uint32_t* g, int32_t opacity, int32_t overImage, int32_t n);
};

// The loops of the path: the best form at or below it.
const SRows& RowsFor(CPixelPaths::EPath path);

extern const SRows kRowsPlain;
#if defined(__SSE2__) && !defined(DAUBLIN_NO_SIMD)
extern const SRows kRowsSse2;
extern const SRows kRowsAvx2;
#endif

} // namespace backdropfill
