#pragma once
// How the tools turn a float into an integer: RoundToInt32 held to kFarOff
// either way, far off any canvas and with room for the small sums done on
// the result. NaN gives -kFarOff: off every canvas.

#include <cstdint>

#include "foundation/Rounding.h"

namespace tooldetail {

inline constexpr int32_t kFarOff = 1000000000;

inline int32_t Rnd(float v) {
    return RoundToInt32(v, -kFarOff, kFarOff);
}

} // namespace tooldetail
