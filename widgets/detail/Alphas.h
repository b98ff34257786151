#pragma once
// The alphas the render passes derive. Opacities are stored as read (a
// resource may hold 300), so every derived alpha is clamped to 255 here and
// no pixel arithmetic sees more.

#include <algorithm>
#include <cstdint>

namespace widgetdetail {

// An alpha that arrives from outside the passes.
inline uint32_t ClampAlpha(uint32_t alpha) {
    return std::min<uint32_t>(alpha, 255);
}

// A widget's own alpha under its parent's: (alpha * (opacity + 1)) >> 8, so
// opacity 255 keeps the parent's alpha and 0 gives 0.
inline uint32_t WidgetAlpha(uint32_t alpha, uint32_t opacity) {
    const uint64_t a = (uint64_t(ClampAlpha(alpha)) * (uint64_t(opacity) + 1)) >> 8;
    return uint32_t(std::min<uint64_t>(a, 255));
}

// What an effect draws at under its widget's alpha: ((alpha + 1) * opacity)
// >> 8, an opacity below 0 counting as 0.
inline uint32_t EffectAlpha(uint32_t alpha, int32_t opacity) {
    const uint64_t o = uint64_t(std::clamp<int32_t>(opacity, 0, 255));
    return uint32_t(std::min<uint64_t>(((uint64_t(ClampAlpha(alpha)) + 1) * o) >> 8, 255));
}

} // namespace widgetdetail
