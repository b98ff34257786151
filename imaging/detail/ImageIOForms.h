#pragma once
// The facade's shared steps, for the file and path forms.

#include <cstdint>

#include "foundation/Error.h"

class CImage;
class CImage8;
class gCStream;

namespace imageio {
// Sniffs, makes the codec and reads: 6 for no image, 23 without a codec.
template <class Image> error Read(gCStream& stream, Image& image);
// Makes the codec for the type and writes: 23 for another type.
template <class Image> error Write(gCStream& stream, Image& image, uint32_t type);
} // namespace imageio
