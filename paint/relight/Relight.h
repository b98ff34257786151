#pragma once
// The relight below the renderer: the per-call constants, the row driver
// with its split over the workers, and the height, normal and shading
// kernels of each instruction-set path, for the renderer, its tests and its
// benchmarks.

#include <algorithm>
#include <cstdint>

#include "imaging/PixelPaths.h"
#include "paint/relight/StandardRenderer.h"

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

// The heights of n L1 words with the grain weight k. One form per path, all
// giving the same values (the SSE2 path takes the plain loop, which the
// compiler vectorises).
using HeightsProc = void (*)(const uint32_t* words, int32_t n, uint32_t k, uint32_t* out);
void HeightsPlain(const uint32_t* words, int32_t n, uint32_t k, uint32_t* out);
#if defined(__SSE2__) && !defined(DAUBLIN_NO_SIMD)
void HeightsAvx2(const uint32_t* words, int32_t n, uint32_t k, uint32_t* out);
#endif
HeightsProc HeightsFor(CPixelPaths::EPath path);

// The normal of one pixel from its height differences.
CNormal NormalOf(int32_t dx, int32_t dy);

// The highlight of light index at a d past its table (d >= kHighlightSteps).
using HighlightProc = int32_t (*)(const void* context, int32_t index, int32_t d);

// One switched-on light as the shading loops take it.
struct ShadeLight {
    int32_t r = 0, g = 0, b = 0; // colour
    int32_t a = 0;               // diffuse intensity
    int32_t lx = 0, ly = 0, lz = 0;
    int32_t hx = 0, hy = 0, hz = 0;
    int32_t negative = 0;           // subtracts
    int32_t highlight = 0;          // strength non-zero
    const int32_t* table = nullptr; // highlights for d = 0 .. kHighlightSteps - 1
    int32_t index = 0;              // the light's place in the list, for beyond
};

// The lights of one call without an environment, ready for the shading
// loops: the fill light times its intensity, then the lights that are on.
struct Shading {
    static constexpr int32_t kMaxLights = 8;
    int32_t fillR = 0, fillG = 0, fillB = 0;
    int32_t count = 0;
    ShadeLight lights[kMaxLights];
    HighlightProc beyond = nullptr;
    const void* context = nullptr;
    // Every direction and half vector component and its negation fit in
    // 16 bits: the vector loops need it, and run the plain one otherwise.
    bool narrow = true;
};

// The shading of lights[0 .. count - 1] (at most kMaxLights) and the fill
// light; tables holds kHighlightSteps highlights per light, in the lights'
// order, and beyond(context, i, d) the highlight of light i past them.
Shading MakeShading(const CLight* lights, int32_t count, CPixel fill, const int32_t* tables,
                    HighlightProc beyond, const void* context);

// A light's highlight term for one pixel: 0 without highlight weight or
// for d <= 0, else the highlight at d scaled by the weight.
inline int32_t HighlightTerm(const Shading& s, const ShadeLight& l, int32_t d, uint32_t hw) {
    if (hw == 0 || d <= 0) {
        return 0;
    }
    const int32_t h =
        d < CStandardRenderer::kHighlightSteps ? l.table[d] : s.beyond(s.context, l.index, d);
    return int32_t((int64_t(h) * int64_t(hw)) >> 8);
}

// Shades n pixels: each paint word of l0 over the paper, the highlight
// weight from the finish word of l2 and the paint's cover, lit along its
// normal as RenderPixel lights it without an environment. The normals are
// those the normal kernels give (every component within +-1024). One form
// per path, all giving the same pixels.
using ShadeProc = void (*)(const Shading& s, const Params& p, const uint32_t* l0,
                           const uint32_t* l2, const int32_t* nx, const int32_t* ny,
                           const int32_t* nz, int32_t n, uint32_t* out);
void ShadePlain(const Shading& s, const Params& p, const uint32_t* l0, const uint32_t* l2,
                const int32_t* nx, const int32_t* ny, const int32_t* nz, int32_t n, uint32_t* out);
#if defined(__SSE2__) && !defined(DAUBLIN_NO_SIMD)
void ShadeSse2(const Shading& s, const Params& p, const uint32_t* l0, const uint32_t* l2,
               const int32_t* nx, const int32_t* ny, const int32_t* nz, int32_t n, uint32_t* out);
void ShadeAvx2(const Shading& s, const Params& p, const uint32_t* l0, const uint32_t* l2,
               const int32_t* nx, const int32_t* ny, const int32_t* nz, int32_t n, uint32_t* out);
// ShadeAvx2 with the highlight looked up lane by lane instead of gathered,
// weighed against it by the relight benchmark; the same pixels.
void ShadeAvx2Table(const Shading& s, const Params& p, const uint32_t* l0, const uint32_t* l2,
                    const int32_t* nx, const int32_t* ny, const int32_t* nz, int32_t n,
                    uint32_t* out);
#endif
ShadeProc ShadeFor(CPixelPaths::EPath path);

// Lights the rows of the job with the renderer's lights, splitting them
// over the workers when there are enough pixels.
void Run(const CStandardRenderer& renderer, const Job& job, const CImNav* environment);

// The pixels lit by every call so far, for the benchmarks that weigh the
// relight against the paint.
int64_t PixelsLit();

// How many parts a call of this many pixels is split into.
int32_t PartsFor(int64_t pixels);
// Test seam: every call, however small, is split into exactly n parts
// (n from 1 to 8); 0 goes back to the automatic choice.
void ForceParts(int32_t n);

} // namespace relight
