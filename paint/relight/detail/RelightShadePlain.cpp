// The relight's shading one pixel at a time: the plain twin of
// RelightShadeSse2.cpp and RelightShadeAvx2.cpp, and the definition they
// match.

#include "paint/relight/Relight.h"

namespace relight {
namespace {

// RenderPixel without an environment, the highlight from the tables.
inline uint32_t ShadeOne(const Shading& s, int32_t nx, int32_t ny, int32_t nz, uint32_t colour,
                         uint32_t hw) {
    const int32_t cR = int32_t((colour >> 16) & 255);
    const int32_t cG = int32_t((colour >> 8) & 255);
    const int32_t cB = int32_t(colour & 255);
    int32_t r = s.fillR * cR, g = s.fillG * cG, b = s.fillB * cB;
    for (int32_t i = 0; i < s.count; ++i) {
        const ShadeLight& l = s.lights[i];
        if (l.highlight) {
            const int32_t q = HighlightTerm(s, l, (l.hx * nx - l.hy * ny - l.hz * nz) >> 10, hw);
            r += q * l.r;
            g += q * l.g;
            b += q * l.b;
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

} // namespace

void ShadePlain(const Shading& s, const Params& p, const uint32_t* l0, const uint32_t* l2,
                const int32_t* nx, const int32_t* ny, const int32_t* nz, int32_t n, uint32_t* out) {
    for (int32_t i = 0; i < n; ++i) {
        const uint32_t pc = l0[i];
        const uint32_t a = pc >> 24;
        CPixel colour = p.paper;
        CPixel::Blend255Proc(&colour, int32_t(a), pc);
        const uint32_t hw = Weight(p.hp, l2[i] >> 24, a);
        out[i] = ShadeOne(s, nx[i], ny[i], nz[i], colour, hw);
    }
}

} // namespace relight
