// The relight's row driver: heights of three rows into small buffers, the
// normals of a block of pixels at once on the active path, then each pixel
// shaded with the lights prepared for the call. The rows of a large call
// are split over the workers; every path and every split gives the same
// pixels as RenderPixel on each pixel.

#include <algorithm>
#include <atomic>
#include <cmath>

#include "foundation/Rounding.h"
#include "imaging/ImNav.h"
#include "paint/Relight.h"
#include "paint/detail/Workers.h"

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

// One light ready for the inner loop.
struct Lit {
    int32_t r, g, b, a;
    int32_t lx, ly, lz;
    int32_t hx, hy, hz;
    bool negative;
    bool highlight; // strength non-zero
    const int32_t* table;
};

struct Shader {
    const CStandardRenderer* renderer;
    const CImNav* env;
    bool fast; // no environment and the tables are there
    int32_t fillR, fillG, fillB;
    Lit lights[8];
    int32_t count;
    int32_t index[8];
};

Shader MakeShader(const CStandardRenderer& renderer, const CImNav* env) {
    Shader s{};
    s.renderer = &renderer;
    s.env = env;
    const uint32_t fill = renderer.FillLight();
    const int32_t aA = int32_t(fill >> 24);
    s.fillR = int32_t((fill >> 16) & 255) * aA;
    s.fillG = int32_t((fill >> 8) & 255) * aA;
    s.fillB = int32_t(fill & 255) * aA;
    const gCArray<CLight>& lights = renderer.Lights();
    s.fast = env == nullptr && renderer.HasHighlightTables() && lights.GetSize() <= 8;
    s.count = 0;
    for (int32_t i = 0; s.fast && i < lights.GetSize(); ++i) {
        const CLight& l = lights[i];
        if (l.m_fOff) {
            continue;
        }
        const uint32_t c = l.m_Colour;
        Lit& lit = s.lights[s.count];
        s.index[s.count++] = i;
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
        lit.table = renderer.HighlightTable(i);
    }
    return s;
}

// RenderPixel without an environment, the highlight from the tables.
inline uint32_t Shade(const Shader& s, int32_t nx, int32_t ny, int32_t nz, uint32_t colour,
                      uint32_t hw) {
    const int32_t cR = int32_t((colour >> 16) & 255);
    const int32_t cG = int32_t((colour >> 8) & 255);
    const int32_t cB = int32_t(colour & 255);
    int32_t r = s.fillR * cR, g = s.fillG * cG, b = s.fillB * cB;
    for (int32_t i = 0; i < s.count; ++i) {
        const Lit& l = s.lights[i];
        if (hw != 0 && l.highlight) {
            const int32_t d = (l.hx * nx - l.hy * ny - l.hz * nz) >> 10;
            if (d > 0) {
                const int32_t h = d < CStandardRenderer::kHighlightSteps
                                      ? l.table[d]
                                      : s.renderer->HighlightOf(s.index[i], d);
                const int32_t q = int32_t((int64_t(h) * int64_t(hw)) >> 8);
                r += q * l.r;
                g += q * l.g;
                b += q * l.b;
            }
        }
        int32_t t = ((l.lx * nx - l.ly * ny - l.lz * nz) * l.a) >> 22;
        t = std::max(t, 0);
        if (l.negative) {
            t = -t;
        }
        r += t * l.r * cR;
        g += t * l.g * cG;
        b += t * l.b * cB;
    }
    return Finish(r, g, b);
}

struct Call {
    const Job* job;
    const Shader* shader;
    NormalsProc normals;
    int32_t first, rows, parts;
    int32_t columns; // shared with the target
};

// Heights of row y at columns x0 .. x0 + n - 1, each clamped into L1.
void Heights(const Job& job, int32_t y, int32_t x0, int32_t n, uint32_t* out) {
    const uint32_t* row = job.l1 + ptrdiff_t(y) * job.width;
    const uint32_t k = job.params.k;
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
        Heights(job, y, bx - 1, n + 2, hRow);
        Heights(job, up, bx, n, hUp);
        Heights(job, down, bx, n, hDown);
        c.normals(hRow, hRow + 2, hUp, hDown, n, nx, ny, nz);
        for (int32_t i = 0; i < n; ++i) {
            const int32_t x = bx + i;
            const uint32_t pc = job.l0[at + x];
            const uint32_t a = pc >> 24;
            CPixel colour = p.paper;
            CPixel::Blend255Proc(&colour, int32_t(a), pc);
            const uint32_t m = job.l2[at + x];
            const uint32_t hw = Weight(p.hp, m >> 24, a);
            if (c.shader->fast) {
                out[x] = Shade(*c.shader, nx[i], ny[i], nz[i], colour, hw);
            } else {
                const uint32_t ew = Weight(p.ep, (m >> 16) & 255, a);
                CNormal normal;
                normal.x = nx[i];
                normal.y = ny[i];
                normal.z = nz[i];
                out[x] = c.shader->renderer->RenderPixel(normal, colour, c.shader->env, hw, ew);
            }
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
    c.normals = NormalsFor(CPixelPaths::Active());
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
    c.parts = PartsFor(pixels);
    workers::RunParts(c.parts, LightPart, &c);
}

} // namespace relight
