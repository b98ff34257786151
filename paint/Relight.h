#pragma once
// The relight below the renderer: the per-call constants, the row driver
// with its split over the workers, and the normal kernels of each
// instruction-set path, for the renderer, its tests and its benchmarks.

#include <algorithm>
#include <cstdint>

#include "imaging/PixelPaths.h"
#include "paint/StandardRenderer.h"

namespace relight {

// The constants of one call, worked out from the canvas settings.
struct Params {
    uint32_t k = 0;     // grain weight in the height, 16.16
    uint32_t paper = 0; // paper colour
    uint32_t hp = 0;    // bare paper's highlight weight
    uint32_t ep = 0;    // bare paper's environment weight
};

// Settings outside 0..1 are brought into it first; a non-finite one takes
// its default (relief 0.5, highlight 0.2, environment 0).
Params ParamsFrom(float relief, uint32_t paper, float highlight, float environment);

// The height of an L1 word: depth plus the grain weighted by k.
inline uint32_t Height(uint32_t v, uint32_t k) {
    return (v & 0xFFFFu) + (((v >> 16) * k) >> 16);
}

// A weight blended from bare paper's value toward the paint's byte by the
// coverage a, in unsigned arithmetic: a byte below the paper's value under
// full cover comes out as that byte + 1.
inline uint32_t Weight(uint32_t paper, uint32_t byte, uint32_t a) {
    return (paper + (((byte - paper + 1) * a) >> 8)) & 0xFFFFFFu;
}

// What one call reads and writes. The layers are width × height words;
// the target is targetWidth words a row. Pixels are lit only where both
// exist: columns 0 .. min(width, targetWidth) - 1, rows likewise.
struct Job {
    const uint32_t* l0 = nullptr;
    const uint32_t* l1 = nullptr;
    const uint32_t* l2 = nullptr;
    int32_t width = 0, height = 0;
    uint32_t* target = nullptr;
    int32_t targetWidth = 0, targetHeight = 0, targetStride = 0;
    // Rows first .. last; per row the columns starts[y] .. ends[y], or
    // every column when starts is null.
    int32_t first = 0, last = -1;
    const int32_t* starts = nullptr;
    const int32_t* ends = nullptr;
    int32_t spanRows = 0; // rows the span arrays hold
    Params params;
};

// The accumulators of a lit pixel to its colour: negatives to 0, 16-bit
// scale, overflow spilled into the other channels.
inline CPixel Finish(int32_t r0, int32_t g0, int32_t b0) {
    uint32_t r = uint32_t(r0 < 0 ? 0 : r0) >> 8;
    uint32_t g = uint32_t(g0 < 0 ? 0 : g0) >> 8;
    uint32_t b = uint32_t(b0 < 0 ? 0 : b0) >> 8;
    if (r > 0xFFFFu) {
        const uint32_t e = (r - 0xFFFFu) >> 1;
        r = 0xFFFFu;
        g += e;
        b += e;
    }
    if (g > 0xFFFFu) {
        uint32_t e = (g - 0xFFFFu) >> 1;
        g = 0xFFFFu;
        r += e;
        if (r > 0xFFFFu) {
            e += r - 0xFFFFu;
            r = 0xFFFFu;
        }
        b += e;
    }
    if (b > 0xFFFFu) {
        uint32_t e = (b - 0xFFFFu) >> 1;
        b = 0xFFFFu;
        r += e;
        if (r > 0xFFFFu) {
            e += r - 0xFFFFu;
            r = 0xFFFFu;
        }
        g += e;
        if (g > 0xFFFFu) {
            r = std::min(0xFFFFu, r + (g - 0xFFFFu));
            g = 0xFFFFu;
        }
    }
    return 0xFF000000u | ((r & 0xFF00u) << 8) | (g & 0xFF00u) | (b >> 8);
}

// Normals of n pixels from the heights to their left, right, above and
// below: one form per path, all giving the same values.
using NormalsProc = void (*)(const uint32_t* left, const uint32_t* right, const uint32_t* up,
                             const uint32_t* down, int32_t n, int32_t* nx, int32_t* ny,
                             int32_t* nz);
void NormalsPlain(const uint32_t* left, const uint32_t* right, const uint32_t* up,
                  const uint32_t* down, int32_t n, int32_t* nx, int32_t* ny, int32_t* nz);
#if defined(__SSE2__) && !defined(DAUBLIN_NO_SIMD)
void NormalsSse2(const uint32_t* left, const uint32_t* right, const uint32_t* up,
                 const uint32_t* down, int32_t n, int32_t* nx, int32_t* ny, int32_t* nz);
void NormalsAvx2(const uint32_t* left, const uint32_t* right, const uint32_t* up,
                 const uint32_t* down, int32_t n, int32_t* nx, int32_t* ny, int32_t* nz);
#endif
NormalsProc NormalsFor(CPixelPaths::EPath path);

// The normal of one pixel from its height differences.
CNormal NormalOf(int32_t dx, int32_t dy);

// Lights the rows of the job with the renderer's lights, splitting them
// over the workers when there are enough pixels.
void Run(const CStandardRenderer& renderer, const Job& job, const CImNav* environment);

// How many parts a call of this many pixels is split into.
int32_t PartsFor(int64_t pixels);
// Test seam: every call, however small, is split into exactly n parts
// (n from 1 to 8); 0 goes back to the automatic choice.
void ForceParts(int32_t n);

} // namespace relight
