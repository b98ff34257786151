#pragma once
// The sources' UTF-8 texts as the toolkit's strings, and back.

#include <new>
#include <string>

#include "foundation/Utf8.h"
#include "foundation/gCString.h"

// The text as a toolkit string; without memory for it std::bad_alloc, as
// the compiler's own strings do (a name must never be written empty).
inline gCString ToGString(const std::string& utf8) {
    gCString s;
    if (gStringFromUtf8(s, utf8) != eNoError) {
        throw std::bad_alloc();
    }
    return s;
}

inline bool SameText(const gCString& s, const std::string& utf8) {
    return gStringToUtf8(s) == utf8;
}
