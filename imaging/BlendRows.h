#pragma once
// The widget blends a row at a time, in one form per instruction-set path
// (detail/BlendRowsPlain.cpp, detail/BlendRowsSse2.cpp,
// detail/BlendRowsAvx2.cpp), all giving the plain form's pixels to the bit.
// Levels and opacities are 0..255.

#include <cstdint>

#include "imaging/PixelPaths.h"

namespace blendrows {

struct SRows {
    // dst[i] toward src[i] by CPixel::Blend255Proc at the level
    // (alpha(src[i]) * (opacity + 1)) >> 8.
    void (*over)(uint32_t* dst, const uint32_t* src, uint32_t opacity, int32_t n);
    // The same level by CPixel::AlphaBlend255, which honours the
    // destination's alpha.
    void (*alphaOver)(uint32_t* dst, const uint32_t* src, uint32_t opacity, int32_t n);
    // dst[i] toward one colour by CPixel::Blend255Proc at one level.
    void (*toward)(uint32_t* dst, uint32_t colour, uint32_t level, int32_t n);
};

// The loops of the path: the best form at or below it.
const SRows& RowsFor(CPixelPaths::EPath path);
// The loops of the active path.
inline const SRows& Rows() {
    return RowsFor(CPixelPaths::Active());
}

} // namespace blendrows
