#pragma once
// The scaling, tiling and shifting routines written plainly from their
// definitions, on pictures held in vectors: positions from products rather
// than running sums, every index checked.

#include <cstdint>
#include <random>
#include <vector>

#include "imaging/Image.h"
#include "imaging/Image8.h"
#include "imaging/tests/Reference.h"
#include "imaging/tests/TestImages.h"

namespace sref {

struct Picture {
    int32_t w = 0, h = 0;
    std::vector<uint32_t> px;

    Picture() = default;
    Picture(int32_t width, int32_t height, uint32_t fill = 0)
        : w(width), h(height), px(size_t(width) * height, fill) {}
    uint32_t& at(int32_t x, int32_t y) { return px.at(size_t(y) * w + x); }
    uint32_t at(int32_t x, int32_t y) const { return px.at(size_t(y) * w + x); }
};

inline Picture Random(std::mt19937& rng, int32_t w, int32_t h) {
    Picture p(w, h);
    p.px = testimg::RandomPixels(rng, size_t(w) * h);
    return p;
}

inline Picture RandomBytes(std::mt19937& rng, int32_t w, int32_t h) {
    Picture p(w, h);
    for (auto& v : p.px) {
        v = rng() & 0xFF;
    }
    return p;
}

const uint32_t M = 0x00FF00FFu, N = 0xFF00FF00u;

inline uint32_t Bilinear(uint32_t tl, uint32_t tr, uint32_t bl, uint32_t br, uint32_t fx,
                         uint32_t fy) {
    const uint32_t trb = ((tl & M) + ((((tr & M) - (tl & M)) * fx) >> 8)) & M;
    const uint32_t tag = ((tl & N) + ((((tr & N) >> 8) - ((tl & N) >> 8)) * fx)) & N;
    const uint32_t brb = ((bl & M) + ((((br & M) - (bl & M)) * fx) >> 8)) & M;
    const uint32_t bag = ((bl & N) + ((((br & N) >> 8) - ((bl & N) >> 8)) * fx)) & N;
    const uint32_t rb = (trb + (((brb - trb) * fy) >> 8)) & M;
    const uint32_t ag = (tag + (((bag >> 8) - (tag >> 8)) * fy)) & N;
    return ag | rb;
}

inline uint32_t Column(uint32_t u, uint32_t l, uint32_t fy) {
    uint32_t out = 0;
    for (int shift : {24, 16, 8, 0}) {
        const int64_t uc = ref::Channel(u, shift), lc = ref::Channel(l, shift);
        out |= uint32_t(uc + ref::FloorDiv((lc - uc + 1) * int64_t(fy), 256)) << shift;
    }
    return out;
}

inline uint32_t SafeBlerp(uint32_t tl, uint32_t tr, uint32_t bl, uint32_t br, uint32_t fx,
                          uint32_t fy) {
    auto a = [](uint32_t p) { return p >> 24; };
    if (a(tl) && a(tr) && a(bl) && a(br)) {
        return Bilinear(tl, tr, bl, br, fx, fy);
    }
    if (!a(tl) && !a(tr) && !a(bl) && !a(br)) {
        return 0;
    }
    const bool upperClear = !a(tl) && !a(tr), lowerClear = !a(bl) && !a(br);
    const uint32_t C = 0x00FFFFFFu;
    if (!a(tl)) {
        tl = tr & C;
    } else if (!a(tr)) {
        tr = tl & C;
    }
    if (!a(bl)) {
        bl = br & C;
    } else if (!a(br)) {
        br = bl & C;
    }
    if (upperClear) {
        tl = bl & C;
        tr = br & C;
    }
    if (lowerClear) {
        bl = tl & C;
        br = tr & C;
    }
    return Bilinear(tl, tr, bl, br, fx, fy);
}

// Steps in 16.16 and start offsets: a sample position is i * step - offset.
struct Steps {
    int32_t x, y;
    int64_t xoff, yoff;
};

// The start offset of one axis, as the rule states it: half a source pixel
// back when enlarging more than two times, otherwise one pixel less the
// step, so that each destination pixel samples the last source pixel of its
// span (0 for 1:1, a step forward when reducing).
inline int64_t StartOffset(int32_t source, int32_t destination, int32_t step) {
    return destination > 2 * source ? 0x8000 : 0x10000 - int64_t(step);
}

inline Steps StepsFor(const Picture& src, int32_t dw, int32_t dh) {
    Steps s;
    s.x = int32_t(int64_t(src.w) * 65536 / dw);
    s.y = int32_t(int64_t(src.h) * 65536 / dh);
    s.xoff = StartOffset(src.w, dw, s.x);
    s.yoff = StartOffset(src.h, dh, s.y);
    return s;
}

// Destination pixel i of an axis samples at i * step - offset in 16.16,
// which may lie before the first source pixel: the position as a signed
// number, never a wrapped one.
inline int64_t SamplePosition(int32_t i, int32_t step, int64_t offset) {
    return int64_t(i) * step - offset;
}

// The source pixels around a sample position on an axis of size pixels and
// the 8-bit weight of the second. The edge rule: a position before the
// first pixel takes the first pixel alone, one at or past the last pixel
// takes the last alone; only a position between two pixels blends them.
struct Neighbours {
    int32_t first, second;
    uint32_t weight;
    bool between;
};

inline Neighbours NeighboursAt(int64_t position, int32_t size) {
    const int64_t pixel = ref::FloorDiv(position, 65536);
    const uint32_t weight = uint32_t(ref::FloorDiv(position, 256) & 0xFF);
    if (pixel < 0) {
        return {0, 0, weight, false};
    }
    if (pixel >= size - 1) {
        return {size - 1, size - 1, weight, false};
    }
    return {int32_t(pixel), int32_t(pixel) + 1, weight, true};
}

// Box reductions: plain (weighted = false) or alpha-weighted colours.
inline Picture Boxes(const Picture& src, int32_t dw, int32_t dh, bool weighted) {
    const Steps s = StepsFor(src, dw, dh);
    Picture out(dw, dh);
    for (int32_t y = 0; y < dh; ++y) {
        const int32_t y0 = int32_t((int64_t(y) * s.y) >> 16);
        const int32_t y1 = int32_t((int64_t(y + 1) * s.y) >> 16);
        for (int32_t x = 0; x < dw; ++x) {
            const int32_t x0 = int32_t((int64_t(x) * s.x) >> 16);
            const int32_t x1 = int32_t((int64_t(x + 1) * s.x) >> 16);
            const uint64_t n = uint64_t(y1 - y0) * uint64_t(x1 - x0);
            uint64_t sum[4] = {0, 0, 0, 0}; // A, R, G, B
            for (int32_t j = y0; j < y1; ++j) {
                for (int32_t i = x0; i < x1; ++i) {
                    const uint32_t p = src.at(i, j);
                    const uint64_t a = p >> 24;
                    sum[0] += a;
                    for (int c = 1; c < 4; ++c) {
                        const uint64_t v = (p >> (24 - 8 * c)) & 0xFF;
                        sum[c] += weighted ? v * a : v;
                    }
                }
            }
            uint32_t p = 0;
            if (!weighted) {
                for (int c = 0; c < 4; ++c) {
                    p |= uint32_t(sum[c] / n) << (24 - 8 * c);
                }
            } else if (n != 0 && sum[0] != 0) {
                p = uint32_t(sum[0] / n) << 24;
                for (int c = 1; c < 4; ++c) {
                    p |= uint32_t(sum[c] / sum[0]) << (24 - 8 * c);
                }
            }
            out.at(x, y) = p;
        }
    }
    return out;
}

// The bilinear sampling of StretchBlit; safe = the StretchHiQ blends.
inline Picture Sampled(const Picture& src, int32_t dw, int32_t dh, bool safe) {
    const Steps s = StepsFor(src, dw, dh);
    Picture out(dw, dh);
    for (int32_t y = 0; y < dh; ++y) {
        const Neighbours rows = NeighboursAt(SamplePosition(y, s.y, s.yoff), src.h);
        const int32_t up = rows.first, lo = rows.second;
        const uint32_t fy = rows.weight;
        for (int32_t x = 0; x < dw; ++x) {
            const Neighbours cols = NeighboursAt(SamplePosition(x, s.x, s.xoff), src.w);
            const uint32_t fx = cols.weight;
            if (cols.between) {
                const uint32_t tl = src.at(cols.first, up), tr = src.at(cols.second, up);
                const uint32_t bl = src.at(cols.first, lo), br = src.at(cols.second, lo);
                out.at(x, y) =
                    safe ? SafeBlerp(tl, tr, bl, br, fx, fy) : Bilinear(tl, tr, bl, br, fx, fy);
            } else {
                const int32_t c = cols.first;
                uint32_t u = src.at(c, up), l = src.at(c, lo);
                if (safe && (u >> 24) == 0) {
                    u = l & 0x00FFFFFFu;
                } else if (safe && (l >> 24) == 0) {
                    l = u & 0x00FFFFFFu;
                }
                out.at(x, y) = Column(u, l, fy);
            }
        }
    }
    return out;
}

inline Picture StretchBlit(const Picture& src, int32_t dw, int32_t dh, bool quality) {
    const Steps s = StepsFor(src, dw, dh);
    if (quality && s.x > 0x1FFFF && s.y > 0x1FFFF) {
        return Boxes(src, dw, dh, false);
    }
    return Sampled(src, dw, dh, false);
}

inline Picture StretchHiQ(const Picture& src, int32_t dw, int32_t dh) {
    const Steps s = StepsFor(src, dw, dh);
    if (s.x > 0x1FFFF && s.y > 0x1FFFF) {
        return Boxes(src, dw, dh, true);
    }
    return Sampled(src, dw, dh, true);
}

inline void CompositeOnto(Picture& dst, const Picture& over) {
    for (size_t i = 0; i < dst.px.size(); ++i) {
        dst.px[i] = ref::AlphaBlend255(dst.px[i], int32_t(over.px[i] >> 24), over.px[i]);
    }
}

// 24.8 scaling of bytes or pixels: the four neighbours of each
// destination pixel and their weights.
template <class Fn> void Walk24_8(const Picture& src, int32_t dw, int32_t dh, Fn fn) {
    const int32_t xs = (src.w - 1) * 256 / dw, ys = (src.h - 1) * 256 / dh;
    for (int32_t y = 0; y < dh; ++y) {
        for (int32_t x = 0; x < dw; ++x) {
            const int32_t sx = x * xs, sy = y * ys;
            const int32_t ix = sx >> 8, iy = sy >> 8;
            // Weight 0 on a second neighbour that a one-pixel source lacks.
            const int32_t ix1 = src.w > 1 ? ix + 1 : ix, iy1 = src.h > 1 ? iy + 1 : iy;
            fn(x, y, src.at(ix, iy), src.at(ix1, iy), src.at(ix, iy1), src.at(ix1, iy1),
               uint32_t(sx & 0xFF), uint32_t(sy & 0xFF));
        }
    }
}

inline int64_t Lerp8(int64_t a, int64_t b, uint32_t f) {
    return a + ref::FloorDiv((b - a) * f, 256);
}

inline uint32_t GreyOf(uint32_t p) {
    return (((p >> 16) & 0xFF) + ((p >> 8) & 0xFF) + (p & 0xFF)) / 3;
}

// Picture <-> images and views.
inline void Put(CImage& image, const Picture& p) {
    testimg::Store(image, p.px);
}
inline Picture Take(CImage& image) {
    Picture p(image.GetWidth(), image.GetHeight());
    p.px = testimg::Load(image);
    return p;
}
inline void Put8(CImage8& image, const Picture& p) {
    testimg::Store8(image, p.px);
}
inline Picture Take8(CImage8& image) {
    Picture p(image.GetWidth(), image.GetHeight());
    p.px = testimg::Load8(image);
    return p;
}

} // namespace sref
