#pragma once
// Toolkit key codes as IsKeyDown takes them: printable characters by their
// code, 0x81..0x86 for the modifiers and 0x88..0xA4 for special keys.

#include <cstdint>

constexpr uint32_t kKeyShift = 0x81;
constexpr uint32_t kKeyControl = 0x82; // Super
constexpr uint32_t kKeyOption = 0x83;  // Alt
constexpr uint32_t kKeyOption2 = 0x84; // Alt
constexpr uint32_t kKeyCommand = 0x85; // Ctrl
constexpr uint32_t kKeyCapsLock = 0x86;

// The modifier bit a modifier code reads, or 0 for any other code.
uint32_t ModifierBitForKey(uint32_t code);

// The SDL scancode of a toolkit key code; 0 (no key) for a code the table
// does not list.
int32_t ScancodeForKey(uint32_t code);
