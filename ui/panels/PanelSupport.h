#pragma once
// What the panels share: their root hung into the backdrop, the
// application's button, cursor, heartbeat and wait for their press loops
// (each harmless without application services), the time step a button
// animates with, and a press held on a widget until the button is
// released.

#include <cstdint>

#include "foundation/Error.h"
#include "foundation/Geometry.h"
#include "widgets/Backdrop.h"

namespace PanelSupport {

// Adds the root made from the resource file to the backdrop (second
// argument 0). 21 without a backdrop or a root; when the backdrop refuses
// it, the root is deleted, cleared and the refusal returned.
template <typename T> error AddRoot(CBackdrop* backdrop, T*& root) {
    if (!backdrop || !root) {
        return eResourceNotFound;
    }
    if (const error e = backdrop->AddChild(root, 0)) {
        delete root;
        root = nullptr;
        return e;
    }
    return eNoError;
}

// Whether the application reports the left button still down.
bool ButtonHeld();
// One application heartbeat; a beat that fails still lets the press end.
void Heartbeat();
// Waits for the next input: a polling loop without a heartbeat sleeps.
void WaitForInput();
// The cursor in desktop coordinates.
gCPoint Cursor();
// Where the pointer was at the latest button release, in desktop
// coordinates.
gCPoint ReleasePoint();

// Gives the widget a time step (start, target, one step of 1 every
// stepInterval ms, running) as its user object 0; 23 when it cannot be
// made.
error GiveStep(CWidget* widget, float start, float target, float stepInterval);

// Holds the press on the widget (on the backdrop's modal stack) until the
// button is released; whether it was released on the widget.
bool Confirmed(CBackdrop* backdrop, CWidget* widget);

} // namespace PanelSupport
