#pragma once
// The soft background of the about box, the new-painting panel and the
// canvas picker: the window behind the box, brought up to date, squeezed
// into a scratch image half the box's width and a third of its height,
// blurred vertically and stretched back up into the box root's own image.
// The back buffer itself is only read.

#include "foundation/Error.h"

class CBackdrop;
class CImWidget;

namespace BlurredBackground {

// The blur's radius, in pixels of the squeezed picture.
inline constexpr float kRadius = 40.0f;

// Brings the back buffer up to date (a prompt closed a moment ago is gone
// from it); called before the box's own root is added, which would cover
// the window in it.
void Refresh(CBackdrop* backdrop);

// Paints the blurred window into the root's image (sized to the root). The
// root keeps its image as loaded when the back buffer or the image cannot
// be viewed, the scratch image cannot be made or the squeeze fails; the
// code says why (0 when the blur is in place).
error Paint(CBackdrop* backdrop, CImWidget* root);

} // namespace BlurredBackground
