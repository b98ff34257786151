#include "devtools/rc/kinds/WavFile.h"

#include <cstdint>

namespace {

bool Fail(std::string& why, const std::string& reason) {
    why = reason;
    return false;
}

uint32_t Le(const std::string& b, size_t at, int width) {
    uint32_t v = 0;
    for (int i = width - 1; i >= 0; --i) {
        v = (v << 8) | uint8_t(b[at + size_t(i)]);
    }
    return v;
}

void PutLe(std::string& out, uint32_t v, int width) {
    for (int i = 0; i < width; ++i) {
        out.push_back(char((v >> (8 * i)) & 0xFF));
    }
}

} // namespace

bool NormaliseWav(const std::string& wav, std::string& canonical, std::string& why) {
    if (wav.size() < 12 || wav.compare(0, 4, "RIFF") != 0 || wav.compare(8, 4, "WAVE") != 0) {
        return Fail(why, "not a RIFF WAVE file");
    }
    // The chunks after "WAVE", each padded to an even length.
    size_t fmt = 0, fmtSize = 0, data = 0, dataSize = 0;
    bool haveFmt = false, haveData = false;
    for (size_t at = 12; at + 8 <= wav.size();) {
        const size_t size = Le(wav, at + 4, 4);
        const size_t body = at + 8;
        if (size > wav.size() - body) {
            return Fail(why, "a chunk runs past the end of the file");
        }
        if (wav.compare(at, 4, "fmt ") == 0 && !haveFmt) {
            fmt = body;
            fmtSize = size;
            haveFmt = true;
        } else if (wav.compare(at, 4, "data") == 0 && !haveData) {
            data = body;
            dataSize = size;
            haveData = true;
        }
        at = body + size + (size & 1);
    }
    if (!haveFmt || fmtSize < 16) {
        return Fail(why, "no format chunk");
    }
    if (!haveData) {
        return Fail(why, "no data chunk");
    }
    const uint32_t format = Le(wav, fmt, 2);
    const uint32_t channels = Le(wav, fmt + 2, 2);
    const uint32_t rate = Le(wav, fmt + 4, 4);
    const uint32_t align = Le(wav, fmt + 12, 2);
    const uint32_t bits = Le(wav, fmt + 14, 2);
    if (format != 1) {
        return Fail(why, "not uncompressed PCM");
    }
    if ((channels != 1 && channels != 2) || (bits != 8 && bits != 16)) {
        return Fail(why, "only 8- or 16-bit mono or stereo sound is supported");
    }
    if (align != channels * bits / 8 || rate == 0) {
        return Fail(why, "inconsistent format chunk");
    }
    const uint32_t d = uint32_t(dataSize - dataSize % align);
    canonical.clear();
    canonical += "RIFF";
    PutLe(canonical, d + 36, 4);
    canonical += "WAVEfmt ";
    PutLe(canonical, 16, 4);
    PutLe(canonical, 1, 2);
    PutLe(canonical, channels, 2);
    PutLe(canonical, rate, 4);
    PutLe(canonical, rate * align, 4);
    PutLe(canonical, align, 2);
    PutLe(canonical, bits, 2);
    canonical += "data";
    PutLe(canonical, d, 4);
    canonical.append(wav, data, d);
    return true;
}
