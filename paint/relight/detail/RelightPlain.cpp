// The relight's normals one pixel at a time: the plain twin of
// RelightSse2.cpp and RelightAvx2.cpp, and the definition they match.

#include <cmath>

#include "foundation/Rounding.h"
#include "paint/relight/Relight.h"

namespace relight {

CNormal NormalOf(int32_t dx, int32_t dy) {
    CNormal n;
    if (dx == 0 && dy == 0) {
        n.z = -1024;
        return n;
    }
    // The sum exactly in 64 bits, one rounding to float.
    const int64_t sum = int64_t(dx) * dx + int64_t(dy) * dy + 1440000;
    const float f = 1023.0f / std::sqrt(float(sum));
    n.x = int32_t(RoundHalfAway(f * float(dx)));
    n.y = int32_t(RoundHalfAway(f * float(dy)));
    n.z = int32_t(RoundHalfAway(f * -1200.0f));
    return n;
}

void HeightsPlain(const uint32_t* words, int32_t n, uint32_t k, uint32_t* out) {
    for (int32_t i = 0; i < n; ++i) {
        out[i] = Height(words[i], k);
    }
}

void NormalsPlain(const uint32_t* left, const uint32_t* right, const uint32_t* up,
                  const uint32_t* down, int32_t n, int32_t* nx, int32_t* ny, int32_t* nz) {
    for (int32_t i = 0; i < n; ++i) {
        const CNormal v = NormalOf(int32_t(left[i] - right[i]), int32_t(up[i] - down[i]));
        nx[i] = v.x;
        ny[i] = v.y;
        nz[i] = v.z;
    }
}

} // namespace relight
