#pragma once
// Whether a text is a legal path: none of '\', '/', '*', '?', '<', '>'
// and '|'. ':' and '.' are legal.

#include "foundation/gCString.h"

bool IsLegalPath(const gCString& text);
