#pragma once
// Keys and characters to the toolkit's key codes. A key reaches the window
// as one 32-bit code: a character as its Mac Roman byte taken as a signed
// 8-bit value (0x80..0xFF arrive as -128..-1), the special keys as codes
// of their own (Escape 27, F1..F12 -248..-237, arrows -256..-253, ...).

#include <cstdint>

#include <SDL_keycode.h>

// The toolkit code of a key event, or 0 when the key's character comes as
// text instead. Ctrl+letter gives the letter itself and Super+letter its
// control code 1..26 (neither makes text); keys that produce a control
// character give it (Return 13, keypad Enter 3, Tab 9, Backspace 8).
uint32_t DecodeKey(SDL_Keycode sym, uint32_t modifiers);

// The Mac Roman byte of a Unicode character, or -1 when Mac Roman has none.
int32_t UnicodeToMacRoman(char32_t c);
