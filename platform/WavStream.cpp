// Reading WAV data from a stream whose source ends at a given position.

#include <cstring>
#include <limits>

#include "FileIO/gCStream.h"
#include "platform/Sound.h"
#include "platform/detail/WavStream.h"

namespace wavstream {

namespace {

// Reads of the header never pass the end of the source: what would is 15,
// as a read at the end of a stream is.
error Need(gCStream& stream, int64_t end, int64_t n) {
    return stream.GetFilePos() + n > end ? eFileReadWriteError : eNoError;
}

error ReadTag(gCStream& stream, int64_t end, char (&tag)[4]) {
    const error e = Need(stream, end, 4);
    return e != eNoError ? e : stream.ReadBlock(tag, 4);
}

error Read16(gCStream& stream, int64_t end, uint16_t& value) {
    const error e = Need(stream, end, 2);
    return e != eNoError ? e : stream.ReadUint16(value);
}

error Read32(gCStream& stream, int64_t end, uint32_t& value) {
    const error e = Need(stream, end, 4);
    return e != eNoError ? e : stream.ReadUint32(value);
}

bool Is(const char (&tag)[4], const char* code) {
    return std::memcmp(tag, code, 4) == 0;
}

// 16-bit samples stored little-endian, put in host order in place.
void LittleEndianToHost(char* samples, size_t bytes) {
    auto* p = reinterpret_cast<unsigned char*>(samples);
    for (size_t i = 0; i + 1 < bytes; i += 2) {
        const int16_t v = int16_t(uint16_t(p[i] | (p[i + 1] << 8)));
        std::memcpy(p + i, &v, 2);
    }
}

} // namespace

error ReadHeader(gCStream& stream, int64_t end, CSound& sound, uint32_t& dataSize,
                 EZeroBits zeroBits) {
    const int64_t start = stream.GetFilePos();
    if (end - start < 20) {
        return eInvalidFile;
    }
    char tag[4];
    uint32_t riffSize = 0, fmtSize = 0;
    error e = ReadTag(stream, end, tag);
    if (e != eNoError) {
        return e;
    }
    if (!Is(tag, "RIFF")) {
        return eInvalidFile;
    }
    if ((e = Read32(stream, end, riffSize)) != eNoError) {
        return e;
    }
    if (int64_t(riffSize) > end - start - 4) {
        return eInvalidFile;
    }
    if ((e = ReadTag(stream, end, tag)) != eNoError) {
        return e;
    }
    if (!Is(tag, "WAVE")) {
        return eInvalidFile;
    }
    if ((e = ReadTag(stream, end, tag)) != eNoError) {
        return e;
    }
    if (!Is(tag, "fmt ")) {
        return eInvalidFile;
    }
    if ((e = Read32(stream, end, fmtSize)) != eNoError) {
        return e;
    }
    const int64_t fmtBody = stream.GetFilePos();
    // A format chunk too short for its fields, or running past the source.
    if (fmtSize < 16 || int64_t(fmtSize) > end - fmtBody) {
        return eInvalidFile;
    }
    uint16_t formatTag = 0, channels = 0, align = 0, bits = 0;
    uint32_t rate = 0, byteRate = 0;
    if ((e = Read16(stream, end, formatTag)) != eNoError ||
        (e = Read16(stream, end, channels)) != eNoError ||
        (e = Read32(stream, end, rate)) != eNoError ||
        (e = Read32(stream, end, byteRate)) != eNoError ||
        (e = Read16(stream, end, align)) != eNoError ||
        (e = Read16(stream, end, bits)) != eNoError) {
        return e;
    }
    if (bits == 0 && align == 1 && zeroBits == EZeroBits::eEightWhenAlignOne) {
        bits = 8;
    }
    if (align == 0 || align != (uint32_t(channels) * bits) / 8) {
        return eInvalidFile;
    }
    // What a sound cannot play is refused, never played as something else.
    if ((channels != 1 && channels != 2) || (bits != 8 && bits != 16) || rate == 0 ||
        rate > uint32_t(std::numeric_limits<int32_t>::max())) {
        return eInvalidFile;
    }
    if ((e = stream.SetFilePos(fmtBody + fmtSize)) != eNoError ||
        (e = ReadTag(stream, end, tag)) != eNoError) {
        return e;
    }
    if (Is(tag, "fact")) {
        uint32_t factSize = 0;
        if ((e = Read32(stream, end, factSize)) != eNoError) {
            return e;
        }
        const int64_t body = stream.GetFilePos();
        if (int64_t(factSize) > end - body) {
            return eInvalidFile;
        }
        if ((e = stream.SetFilePos(body + factSize)) != eNoError ||
            (e = ReadTag(stream, end, tag)) != eNoError) {
            return e;
        }
    }
    if (!Is(tag, "data")) {
        return eInvalidFile;
    }
    uint32_t size = 0;
    if ((e = Read32(stream, end, size)) != eNoError) {
        return e;
    }
    if (stream.GetFilePos() + int64_t(size) > end) {
        return eInvalidFile;
    }
    if ((e = sound.Create(bits, channels == 2, int32_t(rate), 0)) != eNoError) {
        return e;
    }
    dataSize = size;
    return eNoError;
}

error ReadWav(gCStream& stream, int64_t end, CSound& sound, EZeroBits zeroBits) {
    sound.UnbindSoundFile();
    uint32_t dataSize = 0;
    error e = ReadHeader(stream, end, sound, dataSize, zeroBits);
    if (e != eNoError) {
        return e;
    }
    const uint32_t frameBytes = uint32_t(sound.BytesPerFrame());
    const uint32_t frames = dataSize / frameBytes;
    if (frames > uint32_t(std::numeric_limits<int32_t>::max())) {
        return eOutOfMemory;
    }
    if ((e = sound.SetSampleCount(int32_t(frames))) != eNoError) {
        return e;
    }
    CSoundLock lock(&sound);
    char* samples = lock.Samples();
    if (!samples) {
        return eOutOfMemory;
    }
    const size_t bytes = size_t(frames) * frameBytes;
    constexpr size_t kPiece = size_t(1) << 30;
    for (size_t done = 0; done < bytes;) {
        const size_t n = bytes - done < kPiece ? bytes - done : kPiece;
        if ((e = stream.ReadBlock(samples + done, int32_t(n))) != eNoError) {
            return e;
        }
        done += n;
    }
    if (sound.Is16Bit()) {
        LittleEndianToHost(samples, bytes);
    }
    return eNoError;
}

error ReadSound(gCStream& stream, int64_t end, CSound& sound) {
    const int64_t start = stream.GetFilePos();
    if (end - start < 20) {
        return eInvalidFile;
    }
    char tag[4];
    error e = stream.ReadBlock(tag, 4);
    if (e != eNoError) {
        return e;
    }
    if ((e = stream.SetFilePos(start)) != eNoError) {
        return e;
    }
    if (!Is(tag, "RIFF")) {
        return eNotImplemented;
    }
    return ReadWav(stream, end, sound, EZeroBits::eEightWhenAlignOne);
}

} // namespace wavstream
