#pragma once
// The paint-like painting the relight and project benchmarks share: paper
// grain from a seeded generator and diagonal bands of paint whose depth
// ramps across, with soft edges and finish values.

#include <cstdint>
#include <random>

struct SPaintLikePixel {
    uint32_t l0, l1, l2, grain;
};

// Pixel (x, y), drawing its grain from rng: call it for every pixel row by
// row with one generator seeded 7 to get the same painting each time.
inline SPaintLikePixel PaintLikePixel(int32_t x, int32_t y, std::mt19937& rng) {
    const uint32_t grain = 16 + rng() % 225;
    const int32_t band = (x + y / 2) % 300;
    const bool painted = band < 180;
    const uint32_t depth = painted ? uint32_t(band * 300) : 0;
    const uint32_t cover = painted ? (band < 10 ? uint32_t(band * 25) : 255u) : 0;
    return {(cover << 24) | (0x2060A0u + uint32_t(band) * 0x010101u), (grain << 16) | depth,
            painted ? 0xC0200000u : 0u, grain};
}
