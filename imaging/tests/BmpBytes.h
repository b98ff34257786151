#pragma once
// BMP files built byte by byte for the tests: any header form, palette and
// stored pixel data, including wrong and hostile values.

#include <cstdint>
#include <vector>

#include "imaging/tests/CodecStreams.h"

namespace codectest {

struct BmpLayout {
    uint32_t headerSize = 40; // 12 for OS/2; beyond 40 is padded with zeros
    int32_t width = 1;
    int32_t height = 1; // negative: rows stored top-down
    uint16_t bits = 24;
    uint32_t compression = 0;
    uint32_t colorsUsed = 0;
    std::vector<uint32_t> palette; // 0x00RRGGBB, as many as are stored
    Bytes pixels;                  // stored exactly as given
    int64_t dataOffset = -1;       // default: right after the palette
};

inline void Put16(Bytes& b, uint32_t v) {
    b.push_back(uint8_t(v));
    b.push_back(uint8_t(v >> 8));
}
inline void Put32(Bytes& b, uint32_t v) {
    Put16(b, v);
    Put16(b, v >> 16);
}

inline Bytes MakeBmp(const BmpLayout& s) {
    const bool os2 = s.headerSize == 12;
    const uint32_t entry = os2 ? 3 : 4;
    const uint32_t offset = s.dataOffset >= 0
                                ? uint32_t(s.dataOffset)
                                : 14 + s.headerSize + uint32_t(s.palette.size()) * entry;
    Bytes b = {'B', 'M'};
    Put32(b, uint32_t(offset + s.pixels.size()));
    Put32(b, 0);
    Put32(b, offset);
    Put32(b, s.headerSize);
    if (os2) {
        Put16(b, uint32_t(s.width));
        Put16(b, uint32_t(s.height));
        Put16(b, 1);
        Put16(b, s.bits);
    } else {
        Put32(b, uint32_t(s.width));
        Put32(b, uint32_t(s.height));
        Put16(b, 1);
        Put16(b, s.bits);
        Put32(b, s.compression);
        Put32(b, 0);
        Put32(b, 2835);
        Put32(b, 2835);
        Put32(b, s.colorsUsed);
        Put32(b, 0);
        for (uint32_t i = 40; i < s.headerSize; ++i) {
            b.push_back(0);
        }
    }
    for (uint32_t c : s.palette) {
        b.push_back(uint8_t(c));
        b.push_back(uint8_t(c >> 8));
        b.push_back(uint8_t(c >> 16));
        if (!os2) {
            b.push_back(0x7F); // reserved, ignored
        }
    }
    while (s.dataOffset >= 0 && b.size() < size_t(s.dataOffset)) {
        b.push_back(0xEE);
    }
    Append(b, s.pixels);
    return b;
}

// Stored 24-bit rows (B, G, R, padded to 4 bytes) of 0x??RRGGBB pixels
// given top row first.
inline Bytes Rows24(const std::vector<uint32_t>& px, int32_t w, int32_t h, bool topDown) {
    Bytes out;
    for (int32_t r = 0; r < h; ++r) {
        const int32_t y = topDown ? r : h - 1 - r;
        for (int32_t x = 0; x < w; ++x) {
            const uint32_t p = px[size_t(y) * w + x];
            out.push_back(uint8_t(p));
            out.push_back(uint8_t(p >> 8));
            out.push_back(uint8_t(p >> 16));
        }
        while (out.size() % 4) {
            out.push_back(0);
        }
    }
    return out;
}

// Stored palette rows packed at bits per index, indexes given top row first,
// bottom-up and padded to 4 bytes.
inline Bytes PackedRows(const std::vector<uint8_t>& idx, int32_t w, int32_t h, int bits) {
    Bytes out;
    for (int32_t r = 0; r < h; ++r) {
        const int32_t y = h - 1 - r;
        const size_t start = out.size();
        uint32_t acc = 0;
        int filled = 0;
        for (int32_t x = 0; x < w; ++x) {
            acc = (acc << bits) | idx[size_t(y) * w + x];
            filled += bits;
            if (filled == 8) {
                out.push_back(uint8_t(acc));
                acc = 0;
                filled = 0;
            }
        }
        if (filled) {
            out.push_back(uint8_t(acc << (8 - filled)));
        }
        while ((out.size() - start) % 4) {
            out.push_back(0);
        }
    }
    return out;
}

} // namespace codectest
