#include <gtest/gtest.h>

#include <cstdint>
#include <random>

#include "imaging/ValueNoise.h"

namespace {

TEST(ValueNoiseSmooth, FixedPoints) {
    struct Case {
        uint32_t f, s;
    };
    // s(0x4000): (0x10000000 >> 16) = 0x1000, 0x30000 - 0x8000 = 0x28000,
    // 0x1000 * 0x28000 = 0x28000000 >> 16 = 0x2800 (3/16 - 2/64 = 5/32).
    // s(0xC000): 0x90000000 >> 16 = 0x9000, 0x30000 - 0x18000 = 0x18000,
    // 0x9000 * 0x18000 = 0xD8000000 >> 16 = 0xD800 (27/32).
    // s(0xFFFF): 0xFFFE0001 >> 16 = 0xFFFE, 0x30000 - 0x1FFFE = 0x10002,
    // 0xFFFE * 0x10002 = 0xFFFFFFFC >> 16 = 0xFFFF.
    const Case cases[] = {
        {0x0000, 0x0000}, {0x0001, 0x0000}, {0x4000, 0x2800},
        {0x8000, 0x8000}, {0xC000, 0xD800}, {0xFFFF, 0xFFFF},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ValueNoiseSmooth(c.f), c.s) << std::hex << c.f;
    }
}

TEST(ValueNoiseLerp, WrapsFallingDifferences) {
    struct Case {
        uint32_t a, b, t, r;
    };
    const Case cases[] = {
        {0x4354, 0xF380, 0x8000, 0x9B6A}, // rising: + 0xB02C / 2
        {0xF380, 0x4354, 0x8000, 0x9B6A}, // falling 0xB02C: - 0x5816
        {0x0010, 0x0005, 0x8000, 0x000A}, // falling odd 11: - 6 (rounds down)
        {0x4354, 0xF380, 0xFFFF, 0xF37F}, // rising at 0xFFFF: b - 1
        {0xB545, 0x4354, 0xFFFF, 0x4354}, // falling at 0xFFFF: b exactly
        {0x1234, 0xFFFF, 0x0000, 0x1234},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ValueNoiseLerp(c.a, c.b, c.t), c.r) << std::hex << c.a << " " << c.b;
    }
}

// Lattice values worked from the hash with a 32-bit calculator, e.g. (0, 0):
// column = 0x41C618B1 * 0x9E3779B9, then
// h = (0x9E3779B9 * column * 0x9E3779B9) ^ column, folded to 0x4354.
TEST(ValueNoiseLattice, HandWorkedPoints) {
    struct Case {
        int32_t x, y;
        uint32_t v;
    };
    const Case cases[] = {
        {0, 0, 0x4354},      {1, 0, 0xF380},      {0, 1, 0x5A6F},       {1, 1, 0x3C53},
        {-1, 0, 0xB545},     {0, -1, 0xC303},     {-1, -1, 0xE0E1},     {5, 7, 0xBBB2},
        {0x7FFF, 0, 0xE1A5}, {0x8000, 0, 0x50C4}, {-0x8000, 0, 0xD1A4},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ValueNoiseLattice(c.x, c.y), c.v) << c.x << "," << c.y;
    }
}

TEST(ValueNoise, HandWorkedPoints) {
    struct Case {
        uint32_t X, Y; // 16.16, as the tools hold their positions
        uint32_t v;
    };
    const Case cases[] = {
        // On the lattice: its values.
        {0x00000000, 0x00000000, 0x4354},
        {0x00010000, 0x00000000, 0xF380},
        {0x00000000, 0x00010000, 0x5A6F},
        {0xFFFF0000, 0x00000000, 0xB545}, // X = -1.0
        // Half way along X: 0x4354 + 0xB02C / 2.
        {0x00008000, 0x00000000, 0x9B6A},
        // Half way along Y: 0x4354 + 0x171B / 2 (rounded down).
        {0x00000000, 0x00008000, 0x4EE1},
        // Half way along both: Y first on each column, a0 = 0x4EE1 and
        // a1 = 0xF380 falling 0xB72D to 0x3C53, half of it 0x5B97: 0x97E9;
        // then 0x4EE1 + (0x97E9 - 0x4EE1) / 2 = 0x4EE1 + 0x2484 = 0x7365.
        {0x00008000, 0x00008000, 0x7365},
        // A quarter along X (s = 0x2800), three quarters along Y (s = 0xD800).
        {0x00004000, 0x0000C000, 0x5727},
        // Negative coordinates: -1/65536 lies in cell -1 at fraction 0xFFFF;
        // along X the blend falls from 0xB545 to 0x4354 and lands on it.
        {0xFFFFFFFF, 0x00000000, 0x4354},
        {0x00000000, 0xFFFFFFFF, 0x4354},
        {0xFFFFFFFF, 0xFFFFFFFF, 0x4354},
        {0xFFFF8000, 0xFFFF8000, 0xA71F},
        // Just below 2^31: cell 0x7FFF at 0xFFFF, whose right neighbour is
        // cell 0x8000 (0x50C4); one step on, the position reads as -2^31,
        // cell -0x8000 (0xD1A4): the texture jumps there.
        {0x7FFFFFFF, 0x00000000, 0x50C4},
        {0x80000000, 0x00000000, 0xD1A4},
        {0x7FFF8000, 0x00012345, 0x8130},
        // Just below 2^32: cell -1, so the texture joins cell 0 seamlessly.
        {0xFFFF8000, 0x7FFFFFFF, 0x48EE},
        {0xFFFFFFF0, 0x00010000, 0x5A6F},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ValueNoise(static_cast<int32_t>(c.X), static_cast<int32_t>(c.Y)), c.v)
            << std::hex << c.X << " " << c.Y;
    }
}

// The oil brush's texture as its own text gives it: rows hashed by the
// second coordinate, corners blended along X first, then along Y.
uint32_t RowHash(uint32_t j) {
    return (j * 214013u * 0xD5B132B9u + 0x41C618B1u) * (j + 0x9E3779B9u);
}
uint32_t OilLattice(uint32_t i, uint32_t j) {
    const uint32_t h = ((i * 214013u + 0x9E3779B9u) * RowHash(j) * (i + 0x9E3779B9u)) ^ RowHash(j);
    return (h ^ (h >> 16)) & 0xFFFFu;
}
uint32_t OilNoise(uint32_t X, uint32_t Y) {
    const uint32_t ix = static_cast<uint32_t>(static_cast<int32_t>(X) >> 16);
    const uint32_t iy = static_cast<uint32_t>(static_cast<int32_t>(Y) >> 16);
    const uint32_t sx = ValueNoiseSmooth(X & 0xFFFFu), sy = ValueNoiseSmooth(Y & 0xFFFFu);
    const uint32_t top = ValueNoiseLerp(OilLattice(ix, iy), OilLattice(ix + 1, iy), sx);
    const uint32_t bottom = ValueNoiseLerp(OilLattice(ix, iy + 1), OilLattice(ix + 1, iy + 1), sx);
    return ValueNoiseLerp(top, bottom, sy);
}

TEST(ValueNoise, OilTextureIsTheTranspose) {
    // Corner values: the oil lattice at (i, j) is ours at (j, i).
    EXPECT_EQ(OilLattice(0, 1), 0xF380u);
    EXPECT_EQ(OilLattice(1, 0), 0x5A6Fu);
    std::mt19937 rng(25);
    for (int n = 0; n < 20000; ++n) {
        uint32_t X = rng(), Y = rng();
        if (n % 4 == 1) { // near the 2^31 and 2^32 seams
            X = (n & 8 ? 0x7FFF0000u : 0xFFFF0000u) | (X & 0x1FFFFu);
        }
        ASSERT_EQ(OilNoise(X, Y), ValueNoise(static_cast<int32_t>(Y), static_cast<int32_t>(X)))
            << std::hex << X << " " << Y;
    }
}

} // namespace
