#pragma once
// Making and reading toolkit strings in tests.

#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "foundation/Utf8.h"
#include "foundation/gCString.h"

inline gCString Str(const char16_t* text) {
    gCString s;
    EXPECT_EQ(s.CopyString(text), eNoError) << "a test string could not be made";
    return s;
}

// All of a string's units by its length.
inline std::u16string U(const gCString& s) {
    return s.GetBuffer() ? std::u16string(s.GetBuffer(), size_t(s.GetLength())) : u"";
}

inline void PrintTo(const gCString& s, std::ostream* os) {
    *os << '"' << gStringToUtf8(s) << '"';
}
