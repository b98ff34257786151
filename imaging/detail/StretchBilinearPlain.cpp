// The plain row loops of the bilinear StretchBlit; the twins of
// StretchBilinearSse2.cpp. Per channel they compute exactly
// floor((a * (256 - f) + b * f) / 256).

#include "imaging/detail/PackedBlend.h"
#include "imaging/detail/StretchBilinear.h"

namespace stretch {
namespace {

void BlendDown(uint32_t* out, const uint32_t* up, const uint32_t* lo, uint32_t fy, int32_t n) {
    for (int32_t x = 0; x < n; ++x) {
        const packed::Halves h = packed::Linear(up[x], lo[x], fy);
        out[x] = h.rb | h.ag;
    }
}

void Across(uint32_t* out, const uint32_t* row, const Columns& c) {
    for (int32_t i = c.inner0; i < c.inner1; ++i) {
        const uint32_t ix = c.ix[i];
        const packed::Halves h = packed::Linear(row[ix], row[ix + 1], c.fx[i]);
        out[i] = h.rb | h.ag;
    }
}

} // namespace

const BilinearRows kBilinearPlain = {BlendDown, Across};

} // namespace stretch
