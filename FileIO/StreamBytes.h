#pragma once
// Exact reads and checked writes over a toolkit stream, for the image
// codecs. A file stream's read that runs past the end succeeds with only part
// of the buffer filled; these helpers look at what remains first, so a short
// read is always an error and never leaves stale bytes behind as data.

#include <cstddef>
#include <cstdint>

#include "FileIO/gCStream.h"
#include "foundation/Error.h"

namespace streambytes {

// Bytes from the position to the end of the stream, never negative.
int64_t Remaining(gCStream& stream);

// Reads exactly n bytes: 0, or 15 when fewer remain or the read fails.
error ReadExact(gCStream& stream, void* data, size_t n);

// At most n bytes, as many as remain: the count read, 0 at the end of the
// stream, or -1 when the stream refuses the read.
int64_t ReadSome(gCStream& stream, void* data, size_t n);

// Moves the position forward by n bytes: 0, or 15 when fewer remain.
error Skip(gCStream& stream, int64_t n);

// Writes n bytes: 0, or 15 whatever the stream's own failure was.
error Write(gCStream& stream, const void* data, size_t n);

// Little-endian fields of file headers.
inline uint16_t Get16(const uint8_t* p) {
    return uint16_t(p[0] | (p[1] << 8));
}
inline uint32_t Get32(const uint8_t* p) {
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}
inline void Put16(uint8_t* p, uint32_t v) {
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
}
inline void Put32(uint8_t* p, uint32_t v) {
    Put16(p, v);
    Put16(p + 2, v >> 16);
}

} // namespace streambytes
