#pragma once
// The fixed-point pixel blends of scaling, two channels per product: red
// and blue under 0x00FF00FF, alpha and green under 0xFF00FF00. Weights are
// 0..255 (256ths). All arithmetic is unsigned 32-bit, modulo 2^32.

#include <cstdint>

namespace packed {

constexpr uint32_t kRB = 0x00FF00FFu;
constexpr uint32_t kAG = 0xFF00FF00u;

// P toward Q by f: the red-blue and alpha-green halves, each still masked.
struct Halves {
    uint32_t rb, ag;
};

inline Halves Linear(uint32_t p, uint32_t q, uint32_t f) {
    const uint32_t rb = ((p & kRB) + ((((q & kRB) - (p & kRB)) * f) >> 8)) & kRB;
    const uint32_t ag = ((p & kAG) + ((((q & kAG) >> 8) - ((p & kAG) >> 8)) * f)) & kAG;
    return {rb, ag};
}

// The four neighbours, the upper pair first: across by fx, then down by fy.
inline uint32_t Bilinear(uint32_t tl, uint32_t tr, uint32_t bl, uint32_t br, uint32_t fx,
                         uint32_t fy) {
    const Halves top = Linear(tl, tr, fx);
    const Halves bottom = Linear(bl, br, fx);
    const uint32_t rb = (top.rb + (((bottom.rb - top.rb) * fy) >> 8)) & kRB;
    const uint32_t ag = (top.ag + (((bottom.ag >> 8) - (top.ag >> 8)) * fy)) & kAG;
    return ag | rb;
}

// Where only one column is available: each channel, alpha included, is
// u + floor((l - u + 1) * fy / 256).
inline uint32_t Column(uint32_t u, uint32_t l, uint32_t fy) {
    uint32_t out = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        const int32_t uc = int32_t((u >> shift) & 0xFF);
        const int32_t lc = int32_t((l >> shift) & 0xFF);
        out |= uint32_t(uc + (((lc - uc + 1) * int32_t(fy)) >> 8)) << shift;
    }
    return out;
}

// The grey level of a pixel: the mean of its colours, truncated.
inline uint8_t Grey(uint32_t p) {
    return uint8_t((((p >> 16) & 0xFF) + ((p >> 8) & 0xFF) + (p & 0xFF)) / 3);
}

// An opaque pixel of grey level v.
inline uint32_t OpaqueGrey(uint32_t v) {
    return 0xFF000000u | (v * 0x010101u);
}

} // namespace packed
