// Scaling with 8-bit sources or destinations, in 24.8 fixed point: the
// first and last pixels map onto each other, without start offsets.

#include <algorithm>

#include "imaging/Stretcher.h"
#include "imaging/detail/PackedBlend.h"

namespace {

// One destination pixel's four neighbours and weights.
struct Sample {
    int32_t x0, x1, y0, y1;
    uint32_t fx, fy;
};

// Walks the destination in 24.8 steps. A source one pixel wide (or high)
// has step 0; its second neighbour, of weight 0, is the same pixel, so
// nothing outside the source is read.
template <class Dst, class Src, class Fn> error Stretch24_8(Dst* dst, Src* src, Fn fn) {
    if (!dst || !src || !dst->IsLocked() || !src->IsLocked()) {
        return eNoError;
    }
    const int32_t dw = dst->GetWidth(), dh = dst->GetHeight();
    const int32_t sw = src->GetWidth(), sh = src->GetHeight();
    if (dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0) {
        return eNoError;
    }
    const int32_t xstep = (sw - 1) * 256 / dw;
    const int32_t ystep = (sh - 1) * 256 / dh;
    for (int32_t y = 0; y < dh; ++y) {
        const int32_t sy = y * ystep;
        Sample s{0, 0, sy >> 8, std::min((sy >> 8) + 1, sh - 1), 0, uint32_t(sy & 0xFF)};
        auto* out = dst->Row(y);
        for (int32_t x = 0; x < dw; ++x) {
            const int32_t sx = x * xstep;
            s.x0 = sx >> 8;
            s.x1 = std::min(s.x0 + 1, sw - 1);
            s.fx = uint32_t(sx & 0xFF);
            out[x] = fn(src->Row(s.y0), src->Row(s.y1), s);
        }
    }
    return eNoError;
}

// a + floor((b - a) * f / 256) on byte values.
int32_t Lerp8(int32_t a, int32_t b, uint32_t f) {
    return a + (((b - a) * int32_t(f)) >> 8);
}

uint32_t Bytes(const uint8_t* upper, const uint8_t* lower, const Sample& s) {
    const int32_t top = Lerp8(upper[s.x0], upper[s.x1], s.fx);
    const int32_t bottom = Lerp8(lower[s.x0], lower[s.x1], s.fx);
    return uint32_t(Lerp8(top, bottom, s.fy));
}

} // namespace

error CStretcher::StretchBlit(CImNav8* dst, CImNav8* src) {
    return Stretch24_8(dst, src, [](const uint8_t* u, const uint8_t* l, const Sample& s) {
        return uint8_t(Bytes(u, l, s));
    });
}

error CStretcher::StretchBlit(CImNav* dst, CImNav8* src) {
    return Stretch24_8(dst, src, [](const uint8_t* u, const uint8_t* l, const Sample& s) {
        return CPixel(packed::OpaqueGrey(Bytes(u, l, s)));
    });
}

error CStretcher::StretchBlit(CImNav8* dst, CImNav* src) {
    return Stretch24_8(dst, src, [](const CPixel* u, const CPixel* l, const Sample& s) {
        return packed::Grey(packed::Bilinear(u[s.x0], u[s.x1], l[s.x0], l[s.x1], s.fx, s.fy));
    });
}
