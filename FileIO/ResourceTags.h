#pragma once
// The block tags of the resource file, four-character codes compared as
// 32-bit values ('imag' is 0x696D6167) and stored as little-endian int32
// (the bytes g a m i).

#include <cstdint>

#include "FileIO/FileTypes.h"

inline constexpr uint32_t kResVersionTag = FourCC("vers");
inline constexpr uint32_t kResImageTag = FourCC("imag");
inline constexpr uint32_t kResImageListTag = FourCC("imlt");
inline constexpr uint32_t kResImageList8Tag = FourCC("iml8");
inline constexpr uint32_t kResGradientTag = FourCC("grad");
inline constexpr uint32_t kResSoundTag = FourCC("audi");
