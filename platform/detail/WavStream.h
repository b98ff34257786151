#pragma once
// The WAV reader over any stream with the end of its source given: the
// whole stream for a WAV file, the end of its block for a sound in the
// resource file, so that a damaged length never reads into the next block.

#include <cstdint>

#include "foundation/Error.h"

class CSound;
class gCStream;

namespace wavstream {

// How the header reader treats a bits-per-sample of 0.
enum class EZeroBits { eEightWhenAlignOne, eRefuse };

// CSoundIO::ReadSound with the source ending at `end`.
error ReadSound(gCStream& stream, int64_t end, CSound& sound);
// CSoundIO::ReadWAV with the source ending at `end`.
error ReadWav(gCStream& stream, int64_t end, CSound& sound, EZeroBits zeroBits);
// CSoundIO::ReadWAVHeader with the source ending at `end`.
error ReadHeader(gCStream& stream, int64_t end, CSound& sound, uint32_t& dataSize,
                 EZeroBits zeroBits);

} // namespace wavstream
