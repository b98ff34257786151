#include "tools/ribbon/detail/InkRules.h"

namespace ink {

void BuildDensityProfile(float (&profile)[100]) {
    float b = 0.0f;
    for (int32_t k = 0; k < 50; ++k) {
        profile[k] = b;
        b = b + (1.0f - b) * 0.05f;
    }
    profile[49] = b; // the value after fifty steps
    for (int32_t k = 0; k < 50; ++k) {
        profile[99 - k] = profile[k];
    }
}

CPixel CanvasShows(CPixel paper, CPixel colour) {
    CPixel shown = uint32_t(paper) | 0xFF000000u;
    shown.AlphaBlend255(int32_t(uint32_t(colour) >> 24), colour);
    return shown;
}

CPixel Darken(CPixel ink, CPixel shown, uint32_t alpha) {
    const uint32_t i = ink, s = shown;
    const uint32_t r = (((i >> 16) & 0xFFu) * ((s >> 16) & 0xFFu)) >> 8;
    const uint32_t g = (((i >> 8) & 0xFFu) * ((s >> 8) & 0xFFu)) >> 8;
    const uint32_t b = ((i & 0xFFu) * (s & 0xFFu)) >> 8;
    return (alpha << 24) | (r << 16) | (g << 8) | b;
}

} // namespace ink
