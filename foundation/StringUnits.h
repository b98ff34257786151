#pragma once
// Small helpers over runs of UTF-16 units shared by the string's sources.

#include <cstdint>
#include <string_view>

#include "foundation/gCString.h"

// The number of units before the first NUL.
inline int32_t UnitCount(const char16_t* text) {
    int32_t n = 0;
    while (text[n] != 0) {
        ++n;
    }
    return n;
}

// A string's text: its units up to the first NUL (empty without a buffer).
inline std::u16string_view TextOf(const gCString& s) {
    const char16_t* p = s.GetBuffer();
    if (!p || s.GetLength() <= 0) {
        return {};
    }
    return std::u16string_view(p, size_t(UnitCount(p)));
}

// Whether a unit occurs in a set's text.
inline bool InSet(char16_t unit, std::u16string_view set) {
    return set.find(unit) != std::u16string_view::npos;
}

// A copy of s with an edit applied: the Get... forms of the in-place edits.
template <typename Edit> gCString EditedCopy(const gCString& s, Edit edit) {
    gCString copy(s);
    edit(copy);
    return copy;
}
