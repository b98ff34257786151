#include "imaging/ValueNoise.h"

namespace {

constexpr uint32_t kGolden = 0x9E3779B9u;

// The column hash, shared by the lattice and its final mix.
uint32_t ColumnHash(uint32_t x) {
    return ((x * 214013u) * 0xD5B132B9u + 0x41C618B1u) * (x + kGolden);
}

} // namespace

uint32_t ValueNoiseLattice(int32_t xi, int32_t yi) {
    const uint32_t x = static_cast<uint32_t>(xi);
    const uint32_t y = static_cast<uint32_t>(yi);
    const uint32_t column = ColumnHash(x);
    const uint32_t h = ((y * 214013u + kGolden) * column * (y + kGolden)) ^ column;
    return (h ^ (h >> 16)) & 0xFFFFu;
}

uint32_t ValueNoise(int32_t X, int32_t Y) {
    const int32_t xi = X >> 16;
    const int32_t yi = Y >> 16;
    // The next cell in wrapping arithmetic; xi is at most 0x7FFF, so this
    // never leaves int32_t's range anyway.
    const int32_t xn = static_cast<int32_t>(static_cast<uint32_t>(xi) + 1u);
    const int32_t yn = static_cast<int32_t>(static_cast<uint32_t>(yi) + 1u);
    const uint32_t sx = ValueNoiseSmooth(static_cast<uint32_t>(X) & 0xFFFFu);
    const uint32_t sy = ValueNoiseSmooth(static_cast<uint32_t>(Y) & 0xFFFFu);
    const uint32_t a0 = ValueNoiseLerp(ValueNoiseLattice(xi, yi), ValueNoiseLattice(xi, yn), sy);
    const uint32_t a1 = ValueNoiseLerp(ValueNoiseLattice(xn, yi), ValueNoiseLattice(xn, yn), sy);
    return ValueNoiseLerp(a0, a1, sx);
}
