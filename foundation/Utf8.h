#pragma once
// UTF-16 <-> UTF-8 for everything that leaves the program: paths, the
// window title, the clipboard, message boxes, spawned commands.
//
// Bytes that are not valid UTF-8 decode one by one to the lone surrogates
// U+DC80..U+DCFF and encode back to the same bytes, so any byte string
// survives a round trip. Other lone surrogates encode as U+FFFD.

#include <string>
#include <string_view>

#include "foundation/Error.h"

class gCString;

std::string gUtf16ToUtf8(std::u16string_view units);
std::u16string gUtf8ToUtf16(std::string_view bytes);

// A string's text (up to its first NUL) as UTF-8.
std::string gStringToUtf8(const gCString& s);
// Sets the string to the decoded bytes; a decoded NUL ends the text. 0 or 5
// (the string then unchanged).
error gStringFromUtf8(gCString& s, std::string_view bytes);
