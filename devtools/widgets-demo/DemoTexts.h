#pragma once
// The text widgets of the widgets demo: the title and, on a dark panel in
// the lower middle, a wrapped centred paragraph and a label, both from
// demo-texts.yaml; the code turns the label by 90 degrees (no chunk turns
// a text) and makes a captioned image (no block makes one).

#include <cstdint>

#include "foundation/Error.h"

class CWidget;

// What the smoke test (devtools/demo/demo-smoke-texts.sh) reads.
namespace demotexts {
// The colour of every text (the blocks' too).
inline constexpr uint32_t kInk = 0xFFECE6DAu;
// The captioned image: a flat image of this size and colour at this place
// in the panel (450,660 in the window), its caption centred on it.
inline constexpr int32_t kImageLeft = 20, kImageTop = 220, kImageWidth = 160, kImageHeight = 40;
inline constexpr uint32_t kImageColour = 0xFF4A7FB5u;
} // namespace demotexts

error AttachDemoTexts(CWidget& backdrop);
