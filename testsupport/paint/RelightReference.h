#pragma once
// The relight written plainly, pixel by pixel as the renderer's formulas
// read, with no tables, blocks or threads: what every optimised path and
// every split over the workers must equal.

#include <cstdint>
#include <vector>

#include "paint/Relight.h"
#include "paint/StandardRenderer.h"

// Relights the job's rows and spans into its target; the environment, when
// given, goes to RenderPixel.
void ReferenceRelight(const CStandardRenderer& renderer, const relight::Job& job,
                      const CImNav* environment);

// The normal by the formula: the squared length summed in 64 bits, one
// float square root and division, halves away from zero.
CNormal ReferenceNormal(int32_t dx, int32_t dy);
