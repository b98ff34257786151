#pragma once
// Making and reading toolkit strings in tests.

#include <ostream>
#include <string>

#include "foundation/Utf8.h"
#include "foundation/gCString.h"

inline gCString Str(const char16_t* text) {
    gCString s;
    s.CopyString(text);
    return s;
}

// All of a string's units by its length.
inline std::u16string U(const gCString& s) {
    return s.GetBuffer() ? std::u16string(s.GetBuffer(), size_t(s.GetLength())) : u"";
}

inline void PrintTo(const gCString& s, std::ostream* os) {
    *os << '"' << gStringToUtf8(s) << '"';
}
