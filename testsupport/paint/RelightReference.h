#pragma once
// The relight written plainly, pixel by pixel as the renderer's formulas
// read, with no tables, blocks or threads: what every optimised path and
// every split over the workers must equal.

#include <cstdint>
#include <functional>
#include <vector>

#include "paint/relight/Relight.h"
#include "paint/relight/StandardRenderer.h"

// Relights the job's rows and spans into its target; the environment, when
// given, goes to RenderPixel.
void ReferenceRelight(const CStandardRenderer& renderer, const relight::Job& job,
                      const CImNav* environment);

// The normal by the formula: the squared length summed in 64 bits, one
// float square root and division, halves away from zero.
CNormal ReferenceNormal(int32_t dx, int32_t dy);

// A pixel lit as RenderPixel lights it without an environment, for any
// list of lights and fill light; highlight(i, d) is light i's highlight at
// d, as HighlightOf gives it for the renderer's own lights.
CPixel ReferenceLitPixel(const std::vector<CLight>& lights, CPixel fill,
                         const std::function<int32_t(int32_t, int32_t)>& highlight, CNormal n,
                         CPixel colour, uint32_t hw);

// The paint word over the paper at the paint's cover, and the weight
// blended from the paper's value toward the byte by that cover.
CPixel ReferencePaintOverPaper(uint32_t paper, uint32_t paint);
uint32_t ReferenceWeight(uint32_t paper, uint32_t byte, uint32_t cover);
