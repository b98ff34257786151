#pragma once
// What the two boxes in which the painter chooses a paper share (the
// new-painting panel and the canvas picker): a root over the whole window
// showing the window behind it blurred, the highlights of their buttons
// and paper options, which option is chosen, and the paper colour taken
// from the backdrop's canvas-colour chooser.

#include <cstdint>

#include "foundation/Error.h"
#include "foundation/Geometry.h"
#include "widgets/Widget.h"

class CBackdrop;
class CImWidget;

namespace PaperBox {

// Creates the tree `id` from the resource file and adds it in front of
// the backdrop's children without a redraw, its image the window behind
// it blurred (or its image as loaded when the blur cannot be made). 23
// without the tree; the adding's code, the tree deleted.
error AddOverBlur(CBackdrop* backdrop, uint32_t id, CImWidget*& root);

// The heartbeats: a button's own opacity between 0 and 50 as the pointer
// comes and goes; a paper option's glow (the under-effect 0 of its first
// child) between 0 and 255, held at 255 while the option is chosen (user
// data 0 is 1).
error ButtonHeart(void* user, CWidget* widget);
error DentHeart(void* user, CWidget* widget);

// Hooks a button: its time step, ButtonHeart and the click. 23 without
// the time step.
error SetupButton(CWidget* button, CWidget::PointProc click, void* user);

// Hooks a paper option: its time step, DentHeart and the click, user data
// 0 = 1 when it is the chosen one, else 0; the chosen one is lit at once.
// 23 without the time step.
error SetupOption(CWidget* option, bool chosen, CWidget::PointProc click, void* user);

// Makes `chosen` the chosen one of the `count` options from `firstId` in
// the root, in order; false at the first one missing (those before it
// already changed). The glows follow on their next heartbeat.
bool Choose(CWidget* root, uint32_t firstId, int32_t count, const CWidget* chosen);

// The index of the first of the `count` options from `firstId` that is
// chosen; `count` when none is, -1 when any of them is missing.
int32_t ChosenIndex(CWidget* root, uint32_t firstId, int32_t count);

// The press on a paper-colour swatch (a CCoWidget): the backdrop's
// canvas-colour chooser comes up over it, and while the button is held
// the swatch takes the colour under the pointer whenever it is on one of
// the chooser's colours, opaque; a point outside the window is ignored.
// The chooser goes with the release. The user pointer is not read.
error ColourClick(void* user, CWidget* widget, CWidget*& target, gCPoint& point);

} // namespace PaperBox
