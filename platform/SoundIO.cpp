#include "platform/SoundIO.h"

#include <bit>
#include <cstring>

#include "FileIO/gCFile.h"
#include "FileIO/gCMemFile.h"
#include "platform/Sound.h"
#include "platform/detail/WavStream.h"

namespace {

using wavstream::EZeroBits;

error ReadBlockSound(CMemBlock& block, CSound& sound) {
    if (block.GetCount() < 20) {
        return eInvalidFile;
    }
    if (std::memcmp(block.GetData(), "RIFF", 4) != 0) {
        return eNotImplemented;
    }
    return CSoundIO::ReadWAV(block, sound);
}

error SetStreamSoundFile(gCStream& stream, CSound& sound) {
    sound.UnbindSoundFile();
    uint32_t dataSize = 0;
    const error e = wavstream::ReadHeader(stream, stream.Length(), sound, dataSize,
                                          EZeroBits::eEightWhenAlignOne);
    if (e != eNoError) {
        return e;
    }
    sound.BindSoundFile(&stream, stream.GetFilePos(), dataSize);
    return eNoError;
}

// The samples little-endian, written in pieces through a buffer so that
// the sound's own samples never change.
error WriteSamples(gCFile& file, const char* samples, size_t bytes, bool sixteenBit) {
    if (!sixteenBit || std::endian::native == std::endian::little) {
        constexpr size_t kPiece = size_t(1) << 30;
        for (size_t done = 0; done < bytes;) {
            const size_t n = bytes - done < kPiece ? bytes - done : kPiece;
            const error e = file.WriteBlock(samples + done, int32_t(n));
            if (e != eNoError) {
                return e;
            }
            done += n;
        }
        return eNoError;
    }
    unsigned char piece[4096];
    for (size_t done = 0; done < bytes;) {
        const size_t n = bytes - done < sizeof piece ? bytes - done : sizeof piece;
        for (size_t i = 0; i + 1 < n; i += 2) {
            uint16_t v = 0;
            std::memcpy(&v, samples + done + i, 2);
            piece[i] = uint8_t(v & 0xFF);
            piece[i + 1] = uint8_t(v >> 8);
        }
        const error e = file.WriteBlock(piece, int32_t(n));
        if (e != eNoError) {
            return e;
        }
        done += n;
    }
    return eNoError;
}

} // namespace

error CSoundIO::ReadSound(gCFile& file, CSound& sound) {
    return wavstream::ReadSound(file, file.Length(), sound);
}

error CSoundIO::ReadSound(gCMemFile& file, CSound& sound) {
    return wavstream::ReadSound(file, file.Length(), sound);
}

error CSoundIO::ReadSound(CMemBlock& block, CSound& sound) {
    return ReadBlockSound(block, sound);
}

error CSoundIO::ReadWAV(gCFile& file, CSound& sound) {
    return wavstream::ReadWav(file, file.Length(), sound, EZeroBits::eEightWhenAlignOne);
}

error CSoundIO::ReadWAV(gCMemFile& file, CSound& sound) {
    return wavstream::ReadWav(file, file.Length(), sound, EZeroBits::eEightWhenAlignOne);
}

error CSoundIO::ReadWAV(CMemBlock& block, CSound& sound) {
    gCMemFile stream(&block);
    return wavstream::ReadWav(stream, stream.Length(), sound, EZeroBits::eRefuse);
}

error CSoundIO::ReadWAVHeader(gCFile& file, CSound& sound, uint32_t& dataSize) {
    return wavstream::ReadHeader(file, file.Length(), sound, dataSize,
                                 EZeroBits::eEightWhenAlignOne);
}

error CSoundIO::ReadWAVHeader(gCMemFile& file, CSound& sound, uint32_t& dataSize) {
    return wavstream::ReadHeader(file, file.Length(), sound, dataSize,
                                 EZeroBits::eEightWhenAlignOne);
}

error CSoundIO::ReadWAVHeader(CMemBlock& block, CSound& sound, uint32_t& dataSize) {
    gCMemFile stream(&block);
    return wavstream::ReadHeader(stream, stream.Length(), sound, dataSize, EZeroBits::eRefuse);
}

error CSoundIO::SetSoundFile(gCFile& file, CSound& sound) {
    return SetStreamSoundFile(file, sound);
}

error CSoundIO::SetSoundFile(gCMemFile& file, CSound& sound) {
    return SetStreamSoundFile(file, sound);
}

error CSoundIO::WriteSound(gCFile& file, CSound& sound, int32_t) {
    return WriteWAV(file, sound);
}

error CSoundIO::WriteWAV(gCFile& file, CSound& sound) {
    CSoundLock lock(&sound);
    const char* samples = lock.Samples();
    if (!samples) {
        return eOutOfMemory;
    }
    const uint32_t frameBytes = uint32_t(sound.BytesPerFrame());
    const uint32_t held =
        sound.DataSize() < sound.SampleCapacity() ? sound.DataSize() : sound.SampleCapacity();
    const uint32_t d = held - held % frameBytes;
    if (d > 0xFFFFFFFFu - 36) {
        return eInvalidFile;
    }
    error e = eNoError;
    auto tag = [&](const char* code) {
        if (e == eNoError) {
            e = file.WriteBlock(code, 4);
        }
    };
    auto u32 = [&](uint32_t v) {
        if (e == eNoError) {
            e = file.WriteUint32(v);
        }
    };
    auto u16 = [&](uint32_t v) {
        if (e == eNoError) {
            e = file.WriteUint16(uint16_t(v));
        }
    };
    tag("RIFF");
    u32(d + 36);
    tag("WAVE");
    tag("fmt ");
    u32(16);
    u16(1);
    u16(sound.IsStereo() ? 2 : 1);
    u32(uint32_t(sound.Rate()));
    u32(uint32_t(sound.Rate()) * frameBytes);
    u16(frameBytes);
    u16(sound.Is16Bit() ? 16 : 8);
    tag("data");
    u32(d);
    if (e != eNoError) {
        return e;
    }
    return WriteSamples(file, samples, d, sound.Is16Bit() != 0);
}

error CSoundIO::WriteSound(gCMemFile&, CSound&, int32_t) {
    return eNoError;
}

error CSoundIO::WriteSound(CMemBlock&, CSound&, int32_t) {
    return eNoError;
}

error CSoundIO::WriteWAV(gCMemFile&, CSound&) {
    return eNoError;
}

error CSoundIO::WriteWAV(CMemBlock&, CSound&) {
    return eNoError;
}
