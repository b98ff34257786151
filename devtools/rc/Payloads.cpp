#include "devtools/rc/Payloads.h"

#include <cstring>

#include "FileIO/gCFile.h"
#include "FileIO/gCResourceIndex.h"
#include "FileIO/gCResourceObject.h"
#include "foundation/Utf8.h"
#include "foundation/gCString.h"

namespace {

gCString ToString(const std::string& utf8) {
    gCString s;
    gStringFromUtf8(s, utf8);
    return s;
}

bool Fail(std::string& why, const std::string& reason) {
    why = reason;
    return false;
}

bool ReadBytesBack(gCFile& file, const std::string& expected, std::string& why) {
    if (expected.empty()) {
        return true;
    }
    std::string bytes(expected.size(), '\0');
    if (file.ReadBlock(bytes.data(), int32_t(bytes.size())) != eNoError) {
        return Fail(why, "its bytes cannot be read back");
    }
    return bytes == expected || Fail(why, "its bytes read back differently");
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

error BytesPayload::Write(gCStream& stream) const {
    if (m_fWithLength) {
        const error e = stream.WriteInt32(int32_t(m_Bytes.size()));
        if (e != eNoError) {
            return e;
        }
    }
    return m_Bytes.empty() ? eNoError : stream.WriteBlock(m_Bytes.data(), int32_t(m_Bytes.size()));
}

bool BytesPayload::ReadBack(gCFile& file, gCResourceObject& found, std::string& why) const {
    if (m_fWithLength) {
        int32_t n = 0;
        if (found.ReadPayloadCount(&file, n, 1) != eNoError || n != int32_t(m_Bytes.size())) {
            return Fail(why, "its byte count does not read back");
        }
    }
    return ReadBytesBack(file, m_Bytes, why);
}

error ImageListPayload::Write(gCStream& stream) const {
    error e = eNoError;
    if ((e = stream.WriteInt32(m_fExclusive ? 1 : 0)) != eNoError ||
        (e = stream.WriteInt32(int32_t(m_Names.size()))) != eNoError) {
        return e;
    }
    for (const std::string& name : m_Names) {
        if ((e = stream.WriteString(ToString(name), 1)) != eNoError) {
            return e;
        }
    }
    return eNoError;
}

bool ImageListPayload::ReadBack(gCFile& file, gCResourceObject& found, std::string& why) const {
    int32_t exclusive = 0;
    int32_t count = 0;
    if (file.ReadInt32(exclusive) != eNoError || exclusive != (m_fExclusive ? 1 : 0)) {
        return Fail(why, "its exclusive flag does not read back");
    }
    // A name is at least its line end: 4 bytes.
    if (found.ReadPayloadCount(&file, count, 4) != eNoError || count != int32_t(m_Names.size())) {
        return Fail(why, "its image count does not read back");
    }
    for (const std::string& name : m_Names) {
        gCString read;
        if (file.ReadString(read) != eNoError) {
            return Fail(why, "the image name \"" + name + "\" cannot be read back");
        }
        DropLineEnd(read);
        if (gStringToUtf8(read) != name) {
            return Fail(why, "the image name \"" + name + "\" reads back differently");
        }
    }
    return true;
}

error GradientPayload::Write(gCStream& stream) const {
    error e = stream.WriteInt32(int32_t(m_Stops.size()));
    for (const GradientStop& stop : m_Stops) {
        if (e != eNoError) {
            break;
        }
        if ((e = stream.WriteInt32(int32_t(stop.colour))) == eNoError) {
            e = stream.WriteReal(stop.position);
        }
    }
    return e;
}

bool GradientPayload::ReadBack(gCFile& file, gCResourceObject& found, std::string& why) const {
    int32_t count = 0;
    // A stop is a colour and a position: 8 bytes.
    if (found.ReadPayloadCount(&file, count, 8) != eNoError || count != int32_t(m_Stops.size())) {
        return Fail(why, "its stop count does not read back");
    }
    for (const GradientStop& stop : m_Stops) {
        int32_t colour = 0;
        float position = 0;
        if (file.ReadInt32(colour) != eNoError || file.ReadReal(position) != eNoError ||
            uint32_t(colour) != stop.colour ||
            std::memcmp(&position, &stop.position, sizeof position) != 0) {
            return Fail(why, "a stop reads back differently");
        }
    }
    return true;
}

bool PngHasBackground(const std::string& b) {
    static const char kPng[] = "\x89PNG\r\n\x1a\n";
    if (b.size() < 8 || b.compare(0, 8, kPng, 8) != 0) {
        return false;
    }
    // Chunks: a big-endian length, the type, the data and a CRC.
    for (size_t at = 8; at + 8 <= b.size();) {
        const uint32_t length = (uint32_t(uint8_t(b[at])) << 24) |
                                (uint32_t(uint8_t(b[at + 1])) << 16) |
                                (uint32_t(uint8_t(b[at + 2])) << 8) | uint32_t(uint8_t(b[at + 3]));
        const std::string type = b.substr(at + 4, 4);
        if (type == "bKGD") {
            return true;
        }
        if (type == "IDAT" || type == "IEND" || length > b.size() - at - 8) {
            return false;
        }
        at += 12 + size_t(length);
    }
    return false;
}

bool IsImageFile(const std::string& b) {
    static const char kPng[] = "\x89PNG\r\n\x1a\n";
    return (b.size() >= 8 && b.compare(0, 8, kPng, 8) == 0) ||
           (b.size() >= 3 && uint8_t(b[0]) == 0xFF && uint8_t(b[1]) == 0xD8 &&
            uint8_t(b[2]) == 0xFF) ||
           (b.size() >= 26 && b[0] == 'B' && b[1] == 'M');
}

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
