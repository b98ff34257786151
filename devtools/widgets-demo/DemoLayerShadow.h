#pragma once
// The layer shadow part of the widgets demo, attached in code (no resource
// chunk makes a layer shadow), in the lower left of the window: on a flat
// ground, a see-through bar of three buttons under one soft shadow (radius
// 8, speed 1) into which each button casts its own.

#include <cstdint>

#include "foundation/Error.h"

class CWidget;

// The ground, bar and buttons, their places and colours, as the smoke test
// (demo-smoke.sh) reads them.
namespace demolayershadow {
inline constexpr int32_t kGroundLeft = 40, kGroundTop = 700, kGroundRight = 420,
                         kGroundBottom = 860;
inline constexpr uint32_t kGroundColour = 0xFFD8D4CCu;
inline constexpr int32_t kBarLeft = 60, kBarTop = 730, kBarWidth = 200, kBarHeight = 75;
// Buttons of kButtonWidth x kButtonHeight every kButtonStep pixels along
// the bar's top.
inline constexpr int32_t kButtonWidth = 55, kButtonHeight = 50, kButtonStep = 60;
inline constexpr uint32_t kButtonColour = 0xFF4A7FB5u;
} // namespace demolayershadow

error AttachDemoLayerShadow(CWidget& backdrop);
