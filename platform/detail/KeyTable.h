#pragma once
// Toolkit key codes as IsKeyDown takes them: printable characters by their
// code, 0x81..0x86 for the modifiers and 0x88..0xA4 for special keys.

#include <cstdint>

#include "foundation/Input.h"

// The SDL scancode of a toolkit key code; 0 (no key) for a code the table
// does not list.
int32_t ScancodeForKey(uint32_t code);
