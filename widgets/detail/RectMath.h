#pragma once
// Rectangle arithmetic of the widget passes: offsets that stick at the ends
// of the 32-bit range instead of wrapping round.

#include <algorithm>
#include <cstdint>

#include "foundation/Geometry.h"

namespace widgetdetail {

inline int32_t Saturated(int64_t v) {
    return int32_t(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
}

inline gCRect Shifted(const gCRect& r, int32_t dx, int32_t dy) {
    return gCRect(Saturated(int64_t(r.left) + dx), Saturated(int64_t(r.top) + dy),
                  Saturated(int64_t(r.right) + dx), Saturated(int64_t(r.bottom) + dy));
}

} // namespace widgetdetail
