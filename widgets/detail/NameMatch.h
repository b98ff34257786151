#pragma once
// How widgets are found by name: the names compare as exact UTF-16 unit
// sequences, and a widget without a name never matches.

#include <algorithm>

#include "foundation/gCString.h"

inline bool WidgetNameMatches(const gCString& widgetName, const gCString& name) {
    const int32_t length = widgetName.GetLength();
    if (length == 0 || length != name.GetLength()) {
        return false;
    }
    return std::equal(widgetName.GetBuffer(), widgetName.GetBuffer() + length, name.GetBuffer());
}
