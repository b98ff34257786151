#pragma once
// The brush slots under one pixel of a piece, shared by the segment
// renderers of chalk, crayon and the eraser.
//
// Wide brushes (fewer than 3 slots per pixel) interpolate between two
// neighbouring slots in 8-bit fixed point; narrow ones average the slots
// under the pixel, which depend only on the rounded slot at its centre, so a
// piece works them out once per centre slot.

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "foundation/Geometry.h"
#include "imaging/Pixel.h"
#include "tools/dry/detail/DryMath.h"
#include "tools/dry/detail/DryTool.h"

namespace drydetail {

// Slots per pixel across a piece whose back edge has the given length.
inline int32_t SlotsPerPixel(gCRPoint p1, gCRPoint p2) {
    const float ex = p2.x - p1.x, ey = p2.y - p1.y;
    return Rnd(100.0f / std::max(1.0f, std::sqrt(ex * ex + ey * ey)));
}

inline bool IsWide(int32_t slotsPerPixel) {
    return slotsPerPixel < 3;
}

// A wide brush at u: the lower slot j (0..98) and the fraction toward
// j + 1. u runs the other way while the brush is flipped.
struct SWideSlot {
    int32_t j = 0;
    int32_t fraction = 0;
};
inline SWideSlot WideSlot(float u, bool flip) {
    const float across = flip ? 1.0f - u : u;
    const int32_t f = Trunc(std::min(across * 98.0f * 256.0f, 25088.0f));
    return SWideSlot{std::clamp(f >> 8, 0, kSlots - 2), f & 255};
}

// A narrow brush's slots at centre slot e: lo..hi inclusive, before
// flipping.
inline void NarrowRange(int32_t e, int32_t slotsPerPixel, int32_t& lo, int32_t& hi) {
    const float half = float(slotsPerPixel) / 2.0f;
    lo = Rnd(Clamp(float(e) - half, 0.0f, 99.0f));
    hi = Rnd(Clamp(float(e) + half, 0.0f, 99.0f));
}

// The centre slot of a narrow brush at u (half a pixel on).
inline int32_t NarrowCentre(float uMid) {
    return Rnd(Clamp(100.0f * uMid, 0.0f, 99.0f));
}

// The mean profile weight of the slots lo..hi (flipped while the brush is).
inline float MeanProfile(const float* profile, int32_t lo, int32_t hi, bool flip) {
    float sum = 0.0f;
    for (int32_t k = lo; k <= hi; ++k) {
        sum += profile[flip ? kSlots - 1 - k : k];
    }
    return sum / float(hi - lo + 1);
}

// The channel-by-channel mean of the slots lo..hi, rounded half away from
// zero (flipped while the brush is).
inline CPixel MeanColour(const CPixel* slots, int32_t lo, int32_t hi, bool flip) {
    uint32_t sum[4] = {0, 0, 0, 0};
    for (int32_t k = lo; k <= hi; ++k) {
        const uint32_t c = slots[flip ? kSlots - 1 - k : k];
        for (uint32_t ch = 0; ch < 4; ++ch) {
            sum[ch] += (c >> (8 * ch)) & 0xFFu;
        }
    }
    const uint32_t n = uint32_t(hi - lo + 1);
    uint32_t out = 0;
    for (uint32_t ch = 0; ch < 4; ++ch) {
        out |= ((2u * sum[ch] + n) / (2u * n)) << (8 * ch);
    }
    return out;
}

// The mix weight along a piece: 255 v held to 0..255, rounded.
inline int32_t MixWeight(float v) {
    return RoundToInt32(255.0f * v, 0, 255);
}

// The rounded cap's shape at (u, v'), both half a pixel on: the factor for
// the alpha (chalk) or the mix weight (eraser), 0 outside the cap, 1 well
// inside it. Mode 1 is the cap itself (v' = v), mode 2 the piece after it
// (v' = 1 - v); mode 0 has none.
struct SCap {
    bool cut = false;    // g <= 0.5: nothing
    bool scaled = false; // 0.5 < g < 0.73: scale by factor
    float factor = 1.0f;
};
inline SCap CapShape(int32_t mode, float uMid, float vMid) {
    SCap cap;
    if (mode != 1 && mode != 2) {
        return cap;
    }
    const float along = 3.5f * (mode == 1 ? vMid : 1.0f - vMid);
    const float across = 3.5f * (uMid - 0.5f);
    const float g =
        std::exp(-(along * along) / 2.0f) * std::exp(-(across * across) / 2.0f) + 0.285f;
    if (g <= 0.5f) {
        cap.cut = true;
    } else if (g < 0.73f) {
        cap.scaled = true;
        cap.factor = (g - 0.5f) / 0.23f;
    }
    return cap;
}

// v (an alpha or a mix weight) under the cap of the mode at (u, v'): 0
// where the cap cuts the pixel off, scaled down where it fades.
inline int32_t UnderCap(int32_t v, int32_t mode, float uMid, float vMid) {
    const SCap cap = CapShape(mode, uMid, vMid);
    if (cap.cut) {
        return 0;
    }
    return cap.scaled ? RoundToInt32(float(v) * cap.factor, 0, 255) : v;
}

// The pressure along a piece at mix weight mu: from the previous response
// (mu 0) toward the current one, never below 0.
inline float PiecePressure(float previous, float current, int32_t mu) {
    return std::max(0.0f, previous + (current - previous) * float(mu) / 256.0f);
}

} // namespace drydetail
