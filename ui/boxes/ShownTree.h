#pragma once
// The tree of a box or panel built on demand: added in front of the
// backdrop's children when shown, taken out whole when hidden or when its
// showing fails part-way.

#include "foundation/Error.h"

class CBackdrop;
class CWidget;

namespace ShownTree {

// Adds the root in front of every other child, without a redraw; when it
// cannot be added the root is deleted and the error answered.
error Add(CBackdrop* backdrop, CWidget* root);
// Leaves the modal stack when the root is on top, hides the root and
// removes it (its tree deleted); the removal's code.
error Remove(CBackdrop* backdrop, CWidget* root);

} // namespace ShownTree
