#pragma once
// WAV files (RIFF/WAVE, uncompressed 8- or 16-bit PCM, mono or stereo) for
// sounds, over a file stream, a memory stream or a bare memory block. Every
// number in the file is little-endian; offsets are from the stream's
// position when an operation begins (byte 0 of a block).
//
// A sound holds 8- or 16-bit samples, mono or stereo, and nothing else: a
// file of more than 2 channels or of another sample width is refused (16),
// never played as mono 8-bit data, which would only be noise.
//
// Results: 0, 16 for anything that breaks the layout or that the sound
// could not play (channels other than 1 or 2, bits other than 8 or 16, a
// rate of 0), 9 for a source that is not RIFF data, 5 when the samples
// cannot be stored, or the stream's own error. A failed read may leave the
// sound with the new format and a partly filled block, and the stream
// wherever the failing step stopped.

#include <cstdint>

#include "foundation/CMemBlock.h"
#include "foundation/Error.h"

class CSound;
class gCFile;
class gCMemFile;

class CSoundIO {
public:
    // Fewer than 20 bytes left gives 16; data that does not begin with
    // "RIFF" gives 9 with the position kept; else ReadWAV.
    static error ReadSound(gCFile& file, CSound& sound);
    static error ReadSound(gCMemFile& file, CSound& sound);
    static error ReadSound(CMemBlock& block, CSound& sound);

    // Unbinds any sound file, reads the header, sizes the sample block and
    // loads the whole frames of the data, in host byte order.
    static error ReadWAV(gCFile& file, CSound& sound);
    static error ReadWAV(gCMemFile& file, CSound& sound);
    static error ReadWAV(CMemBlock& block, CSound& sound);

    // Checks the header, sets the sound's format and gives the data size;
    // a stream is left at the first sample byte.
    static error ReadWAVHeader(gCFile& file, CSound& sound, uint32_t& dataSize);
    static error ReadWAVHeader(gCMemFile& file, CSound& sound, uint32_t& dataSize);
    static error ReadWAVHeader(CMemBlock& block, CSound& sound, uint32_t& dataSize);

    // Binds the sound to the stream: its samples are read from there while
    // it plays. The stream must outlive the binding.
    static error SetSoundFile(gCFile& file, CSound& sound);
    static error SetSoundFile(gCMemFile& file, CSound& sound);

    // Writes the sound as a WAV file at the stream's position: the 44-byte
    // header and its whole frames, little-endian; the samples in memory are
    // left as they were. 5 for a sound without samples in memory. The
    // count argument plays no part.
    static error WriteSound(gCFile& file, CSound& sound, int32_t unused);
    static error WriteWAV(gCFile& file, CSound& sound);
    // Writing to memory is not provided: 0, and nothing is written.
    static error WriteSound(gCMemFile& file, CSound& sound, int32_t unused);
    static error WriteSound(CMemBlock& block, CSound& sound, int32_t unused);
    static error WriteWAV(gCMemFile& file, CSound& sound);
    static error WriteWAV(CMemBlock& block, CSound& sound);
};
