#pragma once
// The one value noise of the program: a smooth 2-D texture, 0..65535, used
// for the streaks and ragged ends of the paint tools and for test paper.
//
// Both coordinates are 16.16 fixed point in int32_t: the lattice cell is the
// arithmetic shift X >> 16, the fraction X & 0xFFFF (so -1 lies just left of
// cell 0, in cell -1). Lattice values come from a multiplicative hash of the
// cell; the fractions are eased with a smoothstep and the four corners
// blended first along Y, then along X. Every product, sum and difference is
// uint32_t and wraps, the lerps too: a falling lerp wraps through 2^32 and is
// brought back by its 16-bit mask, which is why a blend at fraction 0xFFFF
// reaches a lower corner exactly and a higher one minus 1.
//
// Callers whose texture runs the other way round (the lattice with rows and
// columns exchanged) call ValueNoise(Y, X). Positions kept as uint32_t and
// advanced with wrapping adds are read as int32_t here (modular).

#include <cstdint>

// 3f^2 - 2f^3 on a 16-bit fraction: s(0) = 0, s(0x8000) = 0x8000,
// s(0xFFFF) = 0xFFFF. The largest product is 0xFFFFFFFC, so 32 bits hold it.
inline uint32_t ValueNoiseSmooth(uint32_t f) {
    return ((((f * f) >> 16) * (0x30000u - 2u * f)) >> 16);
}

// a + (b - a) * t / 65536 in wrapping uint32_t, kept to 16 bits.
inline uint32_t ValueNoiseLerp(uint32_t a, uint32_t b, uint32_t t) {
    return (a + (((b - a) * t) >> 16)) & 0xFFFFu;
}

// The value at lattice point (xi, yi), 0..65535.
uint32_t ValueNoiseLattice(int32_t xi, int32_t yi);

// The noise at (X, Y), both 16.16; 0..65535.
uint32_t ValueNoise(int32_t X, int32_t Y);
