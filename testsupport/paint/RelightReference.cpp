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
