#pragma once
// The box reduction of SuperSample and StretchBlit with quality: each
// destination pixel is the per-channel average of its box of source pixels,
// the integer floor of the sum over the count. One loop per path, all
// giving the same pixels; SuperSampleFrame picks the active one.

#include <cstdint>

#include "imaging/detail/SimdBuild.h"
#include "imaging/detail/StretchSampling.h"

namespace stretch {

void SuperSampleFrame(const Frame& f);

// The average of one box, channel by channel in 64-bit sums (any box).
uint32_t AverageBoxPlain(const Frame& f, const Span& cols, const Span& rows);
void SuperSamplePlain(const Frame& f);
#if DAUBLIN_HAVE_SSE2
void SuperSampleSse2(const Frame& f);
#endif

} // namespace stretch
