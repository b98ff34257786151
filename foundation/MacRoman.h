#pragma once
// The Mac Roman character set (Apple's latest mapping, with the euro sign
// at 0xDB): every byte is one UTF-16 unit.

#include <cstdint>

char16_t MacRomanToUnicode(unsigned char byte);
