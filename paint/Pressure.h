#pragma once
// Pressure on its way from the pen to the tools. The canvas hands the stroke
// engine pressure on the pen's scale, where kFullPenPressure is the pen
// pressed fully; the engine keeps it as an integer on that scale, and the
// tools work with it as a fraction of full pressure. A mouse has no
// pressure: the canvas makes one up from the pressure weight, by the tool's
// row of the mouse table, and a mouse may go past full pressure.

#include <algorithm>
#include <cstdint>

#include "foundation/Input.h"

// The most pressure a mouse sample gets, on the pen's scale.
inline constexpr float kMostMousePressure = 1224.0f;
// The pen pressure the canvas reports from a press until its first sample.
inline constexpr float kPressPressure = 768.0f;

// The engine's integer pressure as the tools read it: a fraction of full
// pressure (1 at kFullPenPressure), neither floored nor capped.
inline float ToolPressure(int32_t pressure) {
    return float(pressure) / kFullPenPressure;
}

// The rows of the mouse table.
enum EMousePressure : int32_t {
    eMouseOilPaint = 0,
    eMousePencils = 1,
    eMouseOtherTools = 2,
};

// One row of the mouse table: at pressure weight w (0..1) a mouse sample
// presses lightSlope x w + lightBase below half weight; from half weight up
// it presses halfWeight plus kMouseRise for every step of 2w - 1, held to
// most. Both halves meet at w = 0.5.
struct SMousePressure {
    float lightSlope;
    float lightBase;
    float halfWeight;
    float most;
};

// The rise from half weight to full weight.
inline constexpr float kMouseRise = 274.0f;

inline constexpr SMousePressure kMousePressures[] = {
    {1400.0f, 50.0f, 750.0f, kFullPenPressure},    // eMouseOilPaint
    {1800.0f, 75.0f, 975.0f, kMostMousePressure},  // eMousePencils
    {1900.0f, 50.0f, 1000.0f, kMostMousePressure}, // eMouseOtherTools
};

// The pressure a mouse sample gets at pressure weight w for a row of the
// table.
inline float MousePressure(EMousePressure row, float w) {
    const SMousePressure& r = kMousePressures[row];
    if (w < 0.5f) {
        return w * r.lightSlope + r.lightBase;
    }
    return std::min(r.most, (2.0f * w - 1.0f) * kMouseRise + r.halfWeight);
}
