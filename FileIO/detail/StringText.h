#pragma once
// Conversions between the toolkit string and plain UTF-16 text for the file
// layer's parsing.

#include <string>
#include <string_view>

#include "foundation/StringUnits.h"
#include "foundation/gCString.h"

inline gCString MakeString(std::u16string_view text) {
    gCString s;
    s.CopyStringFromBuffer(text.data(), int32_t(text.size()));
    return s;
}

inline std::u16string TextCopy(const gCString& s) {
    return std::u16string(TextOf(s));
}

// 'a' to 'z' turned into 'A' to 'Z'; no other unit changes.
inline std::u16string UpperAscii(std::u16string_view text) {
    std::u16string out(text);
    for (char16_t& u : out) {
        if (u >= u'a' && u <= u'z') {
            u = char16_t(u - u'a' + u'A');
        }
    }
    return out;
}
