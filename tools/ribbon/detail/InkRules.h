#pragma once
// The pen's ink: its density across the nib and how it darkens the canvas.

#include <cstdint>

#include "imaging/Pixel.h"

namespace ink {

// B[k] = 1 - 0.95^k for k = 0..48, built step by step in float; entries 49
// and 50 take the value after fifty steps; B[99 - k] = B[k].
void BuildDensityProfile(float (&profile)[100]);

// What the canvas shows at a pixel: the paper colour made opaque with the
// colour layer's pixel composited over it at its own alpha.
CPixel CanvasShows(CPixel paper, CPixel colour);

// The ink darkening what the canvas shows: each channel ink x shown / 256,
// truncating, with the given alpha.
CPixel Darken(CPixel ink, CPixel shown, uint32_t alpha);

} // namespace ink
