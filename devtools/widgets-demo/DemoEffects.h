#pragma once
// The effects part of the widgets demo, attached in code once the tree has
// loaded, in the lower right of the window: a flat grey ground holding a
// rounded glass panel on the interface's soft shadow, a small panel on a
// hard (radius 0) shadow, a pressed panel (cut-out) and a raised one
// (border); and a glow round the sun image.

#include <cstdint>

#include "foundation/Error.h"

class CWidget;

// The ground and panels, their places and colours, as the smoke test
// (demo-smoke.sh) reads them.
namespace demoeffects {
inline constexpr int32_t kGroundLeft = 840, kGroundTop = 660, kGroundRight = 1270,
                         kGroundBottom = 1010;
inline constexpr uint32_t kGroundColour = 0xFF808080u;
} // namespace demoeffects

error AttachDemoEffects(CWidget& backdrop);
