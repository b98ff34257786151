#pragma once
// A press held on a button: the button is the backdrop's modal widget while
// the left button stays down (heartbeats keep the highlights moving), and
// the press counts only when it is released with the pointer on it.

#include "foundation/Error.h"

class CBackdrop;
class CWidget;

namespace PressTracking {

// Tracks the press until the release; true when the pointer is on the
// button then. False also when the button cannot be made modal.
bool ReleasedOn(CBackdrop* backdrop, CWidget* button);

} // namespace PressTracking
