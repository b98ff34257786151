#pragma once
// The block tags of the text subsystem's resources.

#include <cstdint>

#include "FileIO/FileTypes.h"

// A font: Int32 n, then the n bytes of one font file (TrueType, OpenType).
inline constexpr uint32_t kResFontTag = FourCC("font");
// A text: one string as block names are stored (UTF-16LE, then LF CR).
inline constexpr uint32_t kResTextTag = FourCC("text");
