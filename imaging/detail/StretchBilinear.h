#pragma once
// The bilinear StretchBlit over a frame, fast: see StretchBilinear.cpp.

#include "imaging/detail/StretchSampling.h"

namespace stretch {

void BilinearFast(const Frame& f);

} // namespace stretch
