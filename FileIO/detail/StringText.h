#pragma once
// Conversions between the toolkit string and plain UTF-16 text for the file
// layer's parsing.

#include <initializer_list>
#include <string>
#include <string_view>

#include "foundation/Error.h"
#include "foundation/StringUnits.h"
#include "foundation/gCString.h"

// Sets the string to the text (up to a NUL within it): 0, or 5 with the
// string unchanged.
inline error SetText(gCString& s, std::u16string_view text) {
    return s.CopyStringFromBuffer(text.data(), int32_t(text.size()));
}

// The parts one after the other: 0, or 5 with the string unchanged.
inline error JoinText(gCString& s, std::initializer_list<std::u16string_view> parts) {
    std::u16string all;
    for (const std::u16string_view part : parts) {
        all += part;
    }
    return SetText(s, all);
}

// A string of the text for results that cannot report: without memory it
// is the empty string, which names nothing. Where losing the text matters
// the caller uses SetText.
inline gCString MakeString(std::u16string_view text) {
    gCString s;
    (void)SetText(s, text); // empty without memory, as documented above
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
