// The relight's row driver: heights of three rows into small buffers, then
// the normals and the shading of a block of pixels at once on the active
// path, with the lights prepared for the call. The rows of a large call
// are split over the workers; every path and every split gives the same
// pixels as RenderPixel on each pixel.

#include <algorithm>
#include <atomic>
#include <cmath>

#include "foundation/Rounding.h"
#include "imaging/ImNav.h"
#include "paint/detail/Workers.h"
#include "paint/relight/Relight.h"

namespace relight {
namespace {

// A setting into 0..1; a non-finite one becomes its default.
float Unit(float v, float fallback) {
    return std::isfinite(v) ? std::clamp(v, 0.0f, 1.0f) : fallback;
}

// Pixels of one block: the normals come a block at a time.
constexpr int32_t kBlock = 256;

// Calls below this many pixels stay on the calling thread: a dab's spans
// cost less than waking the workers.
constexpr int64_t kPixelsPerPart = 65536;

std::atomic<int32_t> g_nForcedParts{0};
std::atomic<int64_t> g_nPixelsLit{0};

struct Shader {
    const CStandardRenderer* renderer;
    const CImNav* env;
    bool fast; // no environment and the tables are there
    Shading shading;
};

int32_t RendererHighlight(const void* context, int32_t index, int32_t d) {
    return static_cast<const CStandardRenderer*>(context)->HighlightOf(index, d);
}

Shader MakeShader(const CStandardRenderer& renderer, const CImNav* env) {
    Shader s{};
    s.renderer = &renderer;
    s.env = env;
    const gCArray<CLight>& lights = renderer.Lights();
    s.fast =
        env == nullptr && renderer.HasHighlightTables() && lights.GetSize() <= Shading::kMaxLights;
    if (s.fast) {
        s.shading = MakeShading(lights.GetData(), lights.GetSize(), renderer.FillLight(),
                                renderer.HighlightTable(0), RendererHighlight, &renderer);
    }
    return s;
}

struct Call {
    const Job* job;
    const Shader* shader;
    HeightsProc heights;
    NormalsProc normals;
    ShadeProc shade;
    int32_t first, rows, parts;
    int32_t columns; // shared with the target
};

// Heights of row y at columns x0 .. x0 + n - 1, each clamped into L1.
void Heights(const Call& c, int32_t y, int32_t x0, int32_t n, uint32_t* out) {
    const Job& job = *c.job;
    const uint32_t* row = job.l1 + ptrdiff_t(y) * job.width;
    const uint32_t k = job.params.k;
    if (x0 >= 0 && x0 + n <= job.width) {
        c.heights(row + x0, n, k, out);
        return;
    }
    for (int32_t i = 0; i < n; ++i) {
        const int32_t x = std::clamp(x0 + i, 0, job.width - 1);
        out[i] = Height(row[x], k);
    }
}

void LightRow(const Call& c, int32_t y, int32_t x0, int32_t x1) {
    const Job& job = *c.job;
    const Params& p = job.params;
    const int32_t up = std::max(y - 1, 0), down = std::min(y + 1, job.height - 1);
    const ptrdiff_t at = ptrdiff_t(y) * job.width;
    uint32_t* out = job.target + ptrdiff_t(y) * job.targetStride;
    uint32_t hRow[kBlock + 2], hUp[kBlock], hDown[kBlock];
    int32_t nx[kBlock], ny[kBlock], nz[kBlock];
    for (int32_t bx = x0; bx <= x1; bx += kBlock) {
        const int32_t n = std::min(kBlock, x1 - bx + 1);
        Heights(c, y, bx - 1, n + 2, hRow);
        Heights(c, up, bx, n, hUp);
        Heights(c, down, bx, n, hDown);
        c.normals(hRow, hRow + 2, hUp, hDown, n, nx, ny, nz);
        if (c.shader->fast) {
            c.shade(c.shader->shading, p, job.l0 + at + bx, job.l2 + at + bx, nx, ny, nz, n,
                    out + bx);
            continue;
        }
        for (int32_t i = 0; i < n; ++i) {
            const int32_t x = bx + i;
            const uint32_t pc = job.l0[at + x];
            const uint32_t a = pc >> 24;
            CPixel colour = p.paper;
            CPixel::Blend255Proc(&colour, int32_t(a), pc);
            const uint32_t m = job.l2[at + x];
            const uint32_t hw = Weight(p.hp, m >> 24, a);
            const uint32_t ew = Weight(p.ep, (m >> 16) & 255, a);
            CNormal normal;
            normal.x = nx[i];
            normal.y = ny[i];
            normal.z = nz[i];
            out[x] = c.shader->renderer->RenderPixel(normal, colour, c.shader->env, hw, ew);
        }
    }
}

void LightPart(void* context, int32_t part) {
    const Call& c = *static_cast<const Call*>(context);
    const Job& job = *c.job;
    const int32_t from = c.first + int32_t(int64_t(c.rows) * part / c.parts);
    const int32_t to = c.first + int32_t(int64_t(c.rows) * (part + 1) / c.parts);
    for (int32_t y = from; y < to; ++y) {
        int32_t x0 = 0, x1 = c.columns - 1;
        if (job.starts) {
            x0 = std::max(job.starts[y], 0);
            x1 = std::min(job.ends[y], c.columns - 1);
        }
        if (x0 <= x1) {
            LightRow(c, y, x0, x1);
        }
    }
}

} // namespace

Params ParamsFrom(float relief, uint32_t paper, float highlight, float environment) {
    Params p;
    p.k = uint32_t(RoundHalfAway(Unit(relief, 0.5f) * 1024.0f * 256.0f));
    p.paper = paper;
    p.hp = uint32_t(RoundHalfAway(Unit(highlight, 0.2f) * 255.0f));
    p.ep = uint32_t(RoundHalfAway(Unit(environment, 0.0f) * 256.0f));
    return p;
}

Shading MakeShading(const CLight* lights, int32_t count, CPixel fill, const int32_t* tables,
                    HighlightProc beyond, const void* context) {
    Shading s;
    const int32_t aA = int32_t(fill >> 24);
    s.fillR = int32_t((fill >> 16) & 255) * aA;
    s.fillG = int32_t((fill >> 8) & 255) * aA;
    s.fillB = int32_t(fill & 255) * aA;
    s.beyond = beyond;
    s.context = context;
    const auto narrow = [](int32_t v) { return v >= -32767 && v <= 32767; };
    for (int32_t i = 0; i < count && i < Shading::kMaxLights; ++i) {
        const CLight& l = lights[i];
        if (l.m_fOff) {
            continue;
        }
        const uint32_t c = l.m_Colour;
        ShadeLight& lit = s.lights[s.count++];
        lit.r = int32_t((c >> 16) & 255);
        lit.g = int32_t((c >> 8) & 255);
        lit.b = int32_t(c & 255);
        lit.a = int32_t(c >> 24);
        lit.lx = l.m_aDirection[0];
        lit.ly = l.m_aDirection[1];
        lit.lz = l.m_aDirection[2];
        lit.hx = l.m_aHalfVector[0];
        lit.hy = l.m_aHalfVector[1];
        lit.hz = l.m_aHalfVector[2];
        lit.negative = l.m_fNegative != 0;
        lit.highlight = l.m_nStrength != 0;
        lit.table = tables + ptrdiff_t(i) * CStandardRenderer::kHighlightSteps;
        lit.index = i;
        for (const int32_t v : {lit.lx, lit.ly, lit.lz, lit.hx, lit.hy, lit.hz}) {
            s.narrow = s.narrow && narrow(v);
        }
    }
    return s;
}

ShadeProc ShadeFor(CPixelPaths::EPath path) {
#if defined(__SSE2__) && !defined(DAUBLIN_NO_SIMD)
    if (path >= CPixelPaths::eAvx2) {
        return ShadeAvx2;
    }
    if (path >= CPixelPaths::eSse2) {
        return ShadeSse2;
    }
#else
    (void)path; // only the plain loop is built
#endif
    return ShadePlain;
}

HeightsProc HeightsFor(CPixelPaths::EPath path) {
#if defined(__SSE2__) && !defined(DAUBLIN_NO_SIMD)
    if (path >= CPixelPaths::eAvx2) {
        return HeightsAvx2;
    }
#else
    (void)path; // only the plain loop is built
#endif
    return HeightsPlain;
}

NormalsProc NormalsFor(CPixelPaths::EPath path) {
#if defined(__SSE2__) && !defined(DAUBLIN_NO_SIMD)
    if (path >= CPixelPaths::eAvx2) {
        return NormalsAvx2;
    }
    if (path >= CPixelPaths::eSse2) {
        return NormalsSse2;
    }
#else
    (void)path; // only the plain loop is built
#endif
    return NormalsPlain;
}

int32_t PartsFor(int64_t pixels) {
    const int32_t forced = g_nForcedParts.load();
    if (forced > 0) {
        return forced;
    }
    const int64_t parts = std::min<int64_t>(workers::Available(), pixels / kPixelsPerPart);
    return int32_t(std::max<int64_t>(parts, 1));
}

int64_t PixelsLit() {
    return g_nPixelsLit.load(std::memory_order_relaxed);
}

void ForceParts(int32_t n) {
    g_nForcedParts.store(std::clamp(n, 0, workers::kMaxThreads));
}

void Run(const CStandardRenderer& renderer, const Job& job, const CImNav* environment) {
    // Only where the layers and the target both have pixels.
    const int32_t columns = std::min(job.width, job.targetWidth);
    int32_t last = std::min({job.last, job.height - 1, job.targetHeight - 1});
    if (job.starts) {
        last = std::min(last, job.spanRows - 1);
    }
    const int32_t first = std::max(job.first, 0);
    if (columns <= 0 || first > last) {
        return;
    }
    const Shader shader = MakeShader(renderer, environment);
    Call c;
    c.job = &job;
    c.shader = &shader;
    const CPixelPaths::EPath path = CPixelPaths::Active();
    c.heights = HeightsFor(path);
    c.normals = NormalsFor(path);
    c.shade = ShadeFor(path);
    c.first = first;
    c.rows = last - first + 1;
    c.columns = columns;
    int64_t pixels = 0;
    if (job.starts) {
        for (int32_t y = first; y <= last; ++y) {
            pixels +=
                std::max(0, std::min(job.ends[y], columns - 1) - std::max(job.starts[y], 0) + 1);
        }
    } else {
        pixels = int64_t(c.rows) * columns;
    }
    g_nPixelsLit.fetch_add(pixels, std::memory_order_relaxed);
    c.parts = PartsFor(pixels);
    workers::RunParts(c.parts, LightPart, &c);
}

} // namespace relight
