// The backdrop background's plain row loops: the reference forms, and the
// choice of form by path.

#include <algorithm>

#include "widgets/detail/BackdropFill.h"
#include "widgets/detail/BackdropFillRows.h"

namespace backdropfill {
namespace {

void Linear(uint32_t* out, const uint32_t* table, int32_t entries, int64_t acc, int64_t dx,
            int32_t n) {
    (void)entries; // the clamped index is always inside
    for (int32_t i = 0; i < n; ++i) {
        out[i] = table[std::clamp<int64_t>(acc >> 16, 0, kLastIndex)];
        acc += dx;
    }
}

void Blend(uint32_t* px, const uint32_t* g, int32_t opacity, int32_t overImage, int32_t n) {
    for (int32_t i = 0; i < n; ++i) {
        px[i] = BlendGradient(px[i], g[i], opacity, overImage);
    }
}

} // namespace

const SRows kRowsPlain = {Linear, Blend};

const SRows& RowsFor(CPixelPaths::EPath path) {
#if defined(__SSE2__) && !defined(DAUBLIN_NO_SIMD)
    if (path == CPixelPaths::eAvx2 && CPixelPaths::IsPresent(CPixelPaths::eAvx2)) {
        return kRowsAvx2;
    }
    if (path != CPixelPaths::ePlain) {
        return kRowsSse2;
    }
#else
    (void)path; // only the plain loops are built
#endif
    return kRowsPlain;
}

} // namespace backdropfill
