#pragma once
// The sources' UTF-8 texts as the toolkit's strings, and back.

#include <string>

#include "foundation/Utf8.h"
#include "foundation/gCString.h"

inline gCString ToGString(const std::string& utf8) {
    gCString s;
    gStringFromUtf8(s, utf8);
    return s;
}

inline bool SameText(const gCString& s, const std::string& utf8) {
    return gStringToUtf8(s) == utf8;
}
