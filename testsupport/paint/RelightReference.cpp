#include "testsupport/paint/RelightReference.h"

#include <algorithm>
#include <cmath>

#include "imaging/Pixel.h"

CNormal ReferenceNormal(int32_t dx, int32_t dy) {
    CNormal n;
    if (dx == 0 && dy == 0) {
        n.z = -1024;
        return n;
    }
    const int64_t sum = int64_t(dx) * int64_t(dx) + int64_t(dy) * int64_t(dy) + 1440000;
    const float len = sqrtf(float(sum));
    const float f = 1023.0f / len;
    n.x = int32_t(roundf(f * float(dx)));
    n.y = int32_t(roundf(f * float(dy)));
    n.z = int32_t(roundf(f * -1200.0f));
    return n;
}

void ReferenceRelight(const CStandardRenderer& renderer, const relight::Job& job,
                      const CImNav* environment) {
    const int32_t w = job.width, h = job.height;
    const uint32_t k = job.params.k;
    const auto height = [&](int32_t x, int32_t y) {
        const uint32_t v = job.l1[size_t(y) * size_t(w) + size_t(x)];
        return (v & 0xFFFFu) + (((v >> 16) * k) >> 16);
    };
    for (int32_t y = std::max(job.first, 0); y <= job.last; ++y) {
        if (y >= h || y >= job.targetHeight || (job.starts && y >= job.spanRows)) {
            break;
        }
        const int32_t x0 = job.starts ? job.starts[y] : 0;
        const int32_t x1 = job.starts ? job.ends[y] : job.targetWidth - 1;
        for (int32_t x = std::max(x0, 0); x <= x1 && x < w && x < job.targetWidth; ++x) {
            const int32_t left = x == 0 ? x : x - 1, right = x == w - 1 ? x : x + 1;
            const int32_t up = y == 0 ? y : y - 1, down = y == h - 1 ? y : y + 1;
            const int32_t dx = int32_t(height(left, y) - height(right, y));
            const int32_t dy = int32_t(height(x, up) - height(x, down));
            const size_t at = size_t(y) * size_t(w) + size_t(x);
            const uint32_t pc = job.l0[at];
            const uint32_t a = pc >> 24;
            CPixel colour = job.params.paper;
            if (a == 255) {
                colour = pc;
            } else if (a != 0) {
                CPixel::Blend255Proc(&colour, int32_t(a), pc);
            }
            const uint32_t m = job.l2[at];
            const uint32_t hp = job.params.hp, ep = job.params.ep;
            const uint32_t hw = (hp + ((((m >> 24) - hp + 1) * a) >> 8)) & 0xFFFFFFu;
            const uint32_t ew = (ep + (((((m >> 16) & 255) - ep + 1) * a) >> 8)) & 0xFFFFFFu;
            job.target[size_t(y) * size_t(job.targetStride) + size_t(x)] =
                renderer.RenderPixel(ReferenceNormal(dx, dy), colour, environment, hw, ew);
        }
    }
}

CPixel ReferenceLitPixel(const std::vector<CLight>& lights, CPixel fill,
                         const std::function<int32_t(int32_t, int32_t)>& highlight, CNormal n,
                         CPixel colour, uint32_t hw) {
    const int32_t cR = int32_t((colour >> 16) & 255);
    const int32_t cG = int32_t((colour >> 8) & 255);
    const int32_t cB = int32_t(colour & 255);
    const int32_t aA = int32_t(fill >> 24);
    int32_t r = int32_t((fill >> 16) & 255) * aA * cR;
    int32_t g = int32_t((fill >> 8) & 255) * aA * cG;
    int32_t b = int32_t(fill & 255) * aA * cB;
    for (size_t i = 0; i < lights.size(); ++i) {
        const CLight& light = lights[i];
        if (light.m_fOff) {
            continue;
        }
        const uint32_t lc = light.m_Colour;
        const int32_t lR = int32_t((lc >> 16) & 255), lG = int32_t((lc >> 8) & 255),
                      lB = int32_t(lc & 255), lA = int32_t(lc >> 24);
        if (hw != 0 && light.m_nStrength != 0) {
            const int32_t* hv = light.m_aHalfVector;
            const int32_t d = (hv[0] * n.x - hv[1] * n.y - hv[2] * n.z) >> 10;
            const int32_t s = d > 0 ? highlight(int32_t(i), d) : 0;
            const int32_t q = int32_t((int64_t(s) * int64_t(hw)) >> 8);
            r += q * lR;
            g += q * lG;
            b += q * lB;
        }
        const int32_t* lv = light.m_aDirection;
        int32_t t = ((lv[0] * n.x - lv[1] * n.y - lv[2] * n.z) * lA) >> 22;
        t = std::max(t, 0);
        if (light.m_fNegative) {
            t = -t;
        }
        r += t * lR * cR;
        g += t * lG * cG;
        b += t * lB * cB;
    }
    return relight::Finish(r, g, b);
}

CPixel ReferencePaintOverPaper(uint32_t paper, uint32_t paint) {
    const uint32_t a = paint >> 24;
    CPixel colour = paper;
    if (a == 255) {
        colour = paint;
    } else if (a != 0) {
        CPixel::Blend255Proc(&colour, int32_t(a), paint);
    }
    return colour;
}

uint32_t ReferenceWeight(uint32_t paper, uint32_t byte, uint32_t cover) {
    return (paper + (((byte - paper + 1) * cover) >> 8)) & 0xFFFFFFu;
}
