#pragma once
// The backdrop at the root of a widget's own tree, found through the
// parents: the render cycle that layer shadows tag shadows with is that
// backdrop's. A tree whose root is no backdrop has no cycle.

#include "widgets/Backdrop.h"
#include "widgets/Widget.h"

namespace widgetdetail {

inline CWidget* TreeRoot(CWidget* widget) {
    if (!widget) {
        return nullptr;
    }
    while (widget->Parent()) {
        widget = widget->Parent();
    }
    return widget;
}

inline CBackdrop* RootBackdrop(CWidget* widget) {
    CWidget* root = TreeRoot(widget);
    return root && root->TypeID() == kBackdropTypeID ? static_cast<CBackdrop*>(root) : nullptr;
}

} // namespace widgetdetail
