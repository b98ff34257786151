// The plain row loops of the widget blends: the reference forms, and the
// choice of form by path.

#include "imaging/Pixel.h"
#include "imaging/detail/BlendRows.h"

namespace blendrows {
namespace {

inline int32_t LevelOf(uint32_t src, uint32_t opacity) {
    return int32_t(((src >> 24) * (opacity + 1)) >> 8);
}

void Over(uint32_t* dst, const uint32_t* src, uint32_t opacity, int32_t n) {
    for (int32_t i = 0; i < n; ++i) {
        CPixel p(dst[i]);
        CPixel::Blend255Proc(&p, LevelOf(src[i], opacity), CPixel(src[i]));
        dst[i] = p;
    }
}

void AlphaOver(uint32_t* dst, const uint32_t* src, uint32_t opacity, int32_t n) {
    for (int32_t i = 0; i < n; ++i) {
        CPixel p(dst[i]);
        p.AlphaBlend255(LevelOf(src[i], opacity), CPixel(src[i]));
        dst[i] = p;
    }
}

void TowardColour(uint32_t* dst, uint32_t colour, uint32_t level, int32_t n) {
    for (int32_t i = 0; i < n; ++i) {
        CPixel p(dst[i]);
        CPixel::Blend255Proc(&p, int32_t(level), CPixel(colour));
        dst[i] = p;
    }
}

} // namespace

const SRows kRowsPlain = {Over, AlphaOver, TowardColour};

const SRows& RowsFor(CPixelPaths::EPath path) {
#if DAUBLIN_HAVE_SSE2
    if (path == CPixelPaths::eAvx2 && CPixelPaths::IsPresent(CPixelPaths::eAvx2)) {
        return kRowsAvx2;
    }
    if (path != CPixelPaths::ePlain) {
        return kRowsSse2;
    }
#else
    (void)path;
#endif
    return kRowsPlain;
}

} // namespace blendrows
