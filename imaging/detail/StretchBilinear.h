#pragma once
// The bilinear StretchBlit over a frame, fast: see StretchBilinear.cpp. Its
// two row loops come in one form per path (StretchBilinearPlain.cpp,
// StretchBilinearSse2.cpp), all giving the same pixels.

#include <cstdint>

#include "imaging/detail/SimdBuild.h"
#include "imaging/detail/StretchSampling.h"

namespace stretch {

void BilinearFast(const Frame& f);

// Destination columns handled together; their interpolated source rows
// live on the stack.
constexpr int32_t kBlock = 1024;

// The columns of one block: where each samples, and which of them lie
// between two source columns (the rest take the edge column blend).
struct Columns {
    int32_t first = 0; // destination column of entry 0
    int32_t count = 0;
    int32_t inner0 = 0, inner1 = 0; // entries inner0 .. inner1 - 1 interpolate
    uint32_t ix[kBlock];
    uint32_t fx[kBlock];
    // Per column the weights of the left and right pixel, four lanes each,
    // for the vector loops.
    alignas(16) uint16_t weights[kBlock][8];

    void Set(const Frame& f, int32_t x0, int32_t n);
};

// The two row loops of one path. BlendDown blends n pixels of two
// interpolated rows down by fy; Across interpolates one source row at the
// block's inner columns.
struct BilinearRows {
    void (*blendDown)(uint32_t* out, const uint32_t* up, const uint32_t* lo, uint32_t fy,
                      int32_t n);
    void (*across)(uint32_t* out, const uint32_t* row, const Columns& c);
};

extern const BilinearRows kBilinearPlain;
#if DAUBLIN_HAVE_SSE2
extern const BilinearRows kBilinearSse2;
#endif

} // namespace stretch
