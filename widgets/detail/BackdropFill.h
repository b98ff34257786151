#pragma once
// The backdrop's background, pixel by pixel: the base colour or a tiled
// image, under a vertical, angled or radial gradient at an opacity. The
// gradient's table index is always clamped to 0..4095, and sizes of 0 or
// non-finite angles and centres never divide by zero or convert NaN.

#include <cstdint>

#include "foundation/Geometry.h"
#include "imaging/Gradient.h"
#include "imaging/ImNav.h"
#include "imaging/Pixel.h"

namespace backdropfill {

inline constexpr int32_t kLastIndex = 4095;
inline constexpr int32_t kTableEntries = kLastIndex + 1;

struct SFill {
    int32_t width = 0;
    int32_t height = 0;
    CPixel base;
    int32_t opacity = 0;
    float angle = 0.0f;
    int32_t radial = 0;
    float centreX = 0.5f;
    float centreY = 0.5f;
    CGradient* gradient = nullptr; // null: no gradient
};

// The step of an angled gradient: the index accumulator (16.16) moves by dx
// along a row and dy down a column, starting from offset at (0, 0).
struct SLinearStep {
    int64_t dx = 0;
    int64_t dy = 0;
    int64_t offset = 0;
};
SLinearStep LinearStep(float angle, int32_t width, int32_t height);
// The table index of an angled gradient at (x, y), clamped.
int32_t LinearIndex(const SLinearStep& step, int32_t x, int32_t y);

// The radial gradient's centre and scale.
struct SRadial {
    int32_t cx = 0;
    int32_t cy = 0;
    double scale = 0.0;
};
SRadial RadialOf(float centreX, float centreY, int32_t width, int32_t height);
// The table index of a radial gradient at (x, y), clamped.
int32_t RadialIndex(const SRadial& radial, int32_t x, int32_t y);

// The gradient colour g over d at the gradient opacity; over the base
// colour (overImage 0) the alpha is 255, over an image the image's own.
uint32_t BlendGradient(uint32_t d, uint32_t g, int32_t opacity, int32_t overImage);

// Fills the view, which covers the area (backdrop coordinates); tile is the
// locked background image or null.
void FillArea(const SFill& fill, const gCRect& area, CImNav& view, const CImNav* tile);

} // namespace backdropfill
