#pragma once
// Plain reference versions of the pixel routines, written straight from
// their per-channel definitions (one channel at a time, 64-bit arithmetic,
// explicit floors). The real routines must equal them bit for bit.

#include <cmath>
#include <cstdint>
#include <vector>

namespace ref {

inline uint32_t Channel(uint32_t p, int shift) {
    return (p >> shift) & 0xFFu;
}

// floor(n / d) for d > 0, also for negative n.
inline int64_t FloorDiv(int64_t n, int64_t d) {
    int64_t q = n / d;
    if ((n % d != 0) && (n < 0)) {
        --q;
    }
    return q;
}

inline uint32_t Blend255(uint32_t d, int32_t a, uint32_t s) {
    if (a == 0) {
        return d;
    }
    if (a == 255) {
        return s;
    }
    uint32_t out = d & 0xFF000000u;
    for (int shift : {16, 8, 0}) {
        const int64_t dc = Channel(d, shift), sc = Channel(s, shift);
        const int64_t v = dc + FloorDiv((sc - dc + 1) * a, 256);
        out |= uint32_t(v) << shift;
    }
    return out;
}

inline uint32_t AlphaBlend255(uint32_t d, int32_t level, uint32_t s) {
    if (level == 0) {
        return d;
    }
    if (level == 255) {
        return s;
    }
    const uint64_t dA = d >> 24;
    if (dA == 0) {
        return (s & 0x00FFFFFFu) | (uint32_t(level) << 24);
    }
    if (dA == 255) {
        return Blend255(d, level, s);
    }
    const uint64_t l16 = uint64_t(level) * 257, dA16 = dA * 257;
    const uint64_t outA16 = dA16 + (((65535 - dA16) * (l16 + 1)) >> 16);
    const uint64_t wD = (dA16 * (65535 - l16)) >> 16;
    const uint64_t recip = 16843009 / outA16;
    uint32_t out = uint32_t(outA16 >> 8) << 24;
    for (int shift : {16, 8, 0}) {
        const uint64_t c = ((l16 * Channel(s, shift) + wD * Channel(d, shift)) * recip) >> 24;
        out |= uint32_t(c) << shift;
    }
    return out;
}

inline uint32_t AlphaMasked(uint32_t d, uint32_t m, uint32_t s) {
    if (m == 0) {
        return d;
    }
    if (m == 255) {
        return s;
    }
    const int64_t k = int64_t(m) * 257 + 1;
    const int64_t dA = d >> 24, sA = s >> 24;
    if (dA == 0) {
        return (s & 0x00FFFFFFu) | (uint32_t((sA * k) >> 16) << 24);
    }
    if (sA == 0) {
        return (d & 0x00FFFFFFu) | (uint32_t((dA * (65536 - k)) >> 16) << 24);
    }
    const int64_t outA = dA + FloorDiv((sA - dA) * k, 65536);
    uint32_t out = uint32_t(outA) << 24;
    for (int shift : {16, 8, 0}) {
        const int64_t dp = (int64_t(Channel(d, shift)) * (dA + 1)) >> 8;
        const int64_t sp = (int64_t(Channel(s, shift)) * (sA + 1)) >> 8;
        const int64_t op = dp + FloorDiv((sp - dp) * k, 65536);
        const int64_t c = (op * (16777216 / (outA + 1))) >> 16;
        out |= uint32_t(c) << shift;
    }
    return out;
}

// Each of the four channels as a + floor((b - a) * f / 256).
inline uint32_t Lerp(uint32_t a, uint32_t b, int32_t f) {
    uint32_t out = 0;
    for (int shift : {24, 16, 8, 0}) {
        const int64_t ac = Channel(a, shift), bc = Channel(b, shift);
        out |= uint32_t(ac + FloorDiv((bc - ac) * f, 256)) << shift;
    }
    return out;
}

// The run-length form of rows of units, built from the run rules: first
// mark which neighbours pair, then take runs. The 32-bit form (table of
// word indexes, headers with bit 31) when tableUnits is 1, the 8-bit form
// (table of little-endian byte offsets, headers with bit 7) when it is 4.
template <class PairFn>
std::vector<uint32_t> Encode(const std::vector<uint32_t>& units, int32_t width, int32_t height,
                             int32_t maxRun, int32_t tableUnits, PairFn pair) {
    const uint32_t literalBit = tableUnits == 1 ? 0x80000000u : 0x80u;
    std::vector<uint32_t> out(size_t(height) * tableUnits, 0);
    for (int32_t y = 0; y < height; ++y) {
        const uint32_t* row = units.data() + size_t(y) * width;
        const uint32_t start = uint32_t(out.size());
        if (tableUnits == 1) {
            out[y] = start;
        } else {
            for (int b = 0; b < 4; ++b) {
                out[size_t(y) * 4 + b] = (start >> (8 * b)) & 0xFFu;
            }
        }
        std::vector<bool> pairsNext(size_t(width), false);
        for (int32_t x = 0; x + 1 < width; ++x) {
            pairsNext[x] = pair(row[x], row[x + 1]);
        }
        int32_t x = 0;
        while (x < width) {
            int32_t n = 1;
            while (x + n < width && pairsNext[x + n - 1] && n < maxRun) {
                ++n;
            }
            if (n > 1) {
                out.push_back(uint32_t(n));
                out.push_back(row[x]);
            } else {
                int32_t end = x + 1; // one past the literal
                while (end < width && !(end - 1 > x && pairsNext[end - 1]) && end - x < maxRun) {
                    ++end;
                }
                n = end - x;
                out.push_back(uint32_t(n) | literalBit);
                for (int32_t i = 0; i < n; ++i) {
                    out.push_back(row[x + i]);
                }
            }
            x += n;
        }
    }
    out.push_back(0);
    return out;
}

inline bool PixelPair(uint32_t a, uint32_t b) {
    return (a >> 24 == 0 && b >> 24 == 0) || (a == b);
}
inline bool UnitPair(uint32_t a, uint32_t b) {
    return a == b;
}

// What decoding the 32-bit form gives: a repeat run of transparent pixels
// takes the first one's colour bits.
inline std::vector<uint32_t> Decode(const std::vector<uint32_t>& block, int32_t width,
                                    int32_t height, int32_t tableUnits) {
    const uint32_t literalBit = tableUnits == 1 ? 0x80000000u : 0x80u;
    std::vector<uint32_t> out;
    for (int32_t y = 0; y < height; ++y) {
        size_t p = 0;
        if (tableUnits == 1) {
            p = block[y];
        } else {
            for (int b = 0; b < 4; ++b) {
                p |= size_t(block[size_t(y) * 4 + b]) << (8 * b);
            }
        }
        int32_t covered = 0;
        while (covered < width) {
            const uint32_t header = block[p++];
            const int32_t n = int32_t(header & (literalBit - 1));
            if (header & literalBit) {
                for (int32_t i = 0; i < n; ++i) {
                    out.push_back(block[p++]);
                }
            } else {
                out.insert(out.end(), size_t(n), block[p++]);
            }
            covered += n;
        }
    }
    return out;
}

} // namespace ref
