#pragma once
// The small arithmetic of the dry media (chalk, crayon, eraser): clamping
// that maps NaN to the low bound, truncation into int32_t (the tools'
// rounding is tooldetail::Rnd), and the 8-bit mix of two pixels.

#include <cstdint>

#include "foundation/Rounding.h"
#include "imaging/Pixel.h"
#include "tools/detail/ToolRounding.h"

namespace drydetail {

// v held to lo..hi; NaN gives lo.
inline float Clamp(float v, float lo, float hi) {
    return !(v >= lo) ? lo : (v > hi ? hi : v);
}

using tooldetail::Rnd;

// Toward zero, held to +-kFarOff as Rnd is.
inline int32_t Trunc(float v) {
    constexpr float kFar = float(tooldetail::kFarOff);
    return static_cast<int32_t>(Clamp(v, -kFar, kFar));
}

// Every channel (alpha too) of a moved toward b by weight / 256:
// a + floor((b - a + 1) * weight / 256).
inline CPixel MixPixel(CPixel a, CPixel b, int32_t weight) {
    const uint32_t wa = uint32_t(a), wb = uint32_t(b);
    uint32_t out = 0;
    for (uint32_t shift = 0; shift < 32; shift += 8) {
        const int32_t ca = int32_t((wa >> shift) & 0xFFu);
        const int32_t cb = int32_t((wb >> shift) & 0xFFu);
        const int32_t c = ca + (((cb - ca + 1) * weight) >> 8);
        out |= uint32_t(c & 0xFF) << shift;
    }
    return out;
}

// The colour's RGB with alpha level, composited over the pixel at that
// level.
inline void Lay(CPixel& pixel, CPixel colour, int32_t level) {
    pixel.AlphaBlend255(level, CPixel((uint32_t(colour) & 0x00FFFFFFu) | (uint32_t(level) << 24)));
}

} // namespace drydetail
