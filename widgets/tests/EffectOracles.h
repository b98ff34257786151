#pragma once
// Scalar oracles for the effect tests, written from the effects' formulas
// one pixel at a time, apart from the effects' own code: the fall-off
// tables, the two blends, the glow's add, the blurred silhouettes, and
// whole renders of the shadow, glow and cut-out onto a copy of a target.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "imaging/Blur.h"
#include "imaging/ImNav.h"
#include "imaging/Image.h"
#include "imaging/Image8.h"

namespace oracle {

inline int64_t Margin(float radius) {
    return int64_t(radius * 2.2f);
}

// One fall-off table of count entries.
inline std::vector<float> Table(int64_t count, float radius) {
    std::vector<float> t(size_t(count), 1.0f);
    const float k = 3.5f / std::max(0.5f, radius * 3.5f);
    const int64_t n = int64_t(std::round(radius * 3.5f));
    const int64_t q = std::min((count + 1) / 2, n);
    for (int64_t i = 0; i < q; ++i) {
        const double ki = double(k * float(i));
        const float v = float(std::exp(-(ki * ki) * 0.5));
        t[size_t(q - 1 - i)] = v;
        t[size_t(count - q + i)] = v;
    }
    return t;
}

// Each colour channel d becomes d + floor((s - d + 1) * level / 256); the
// target's alpha stays; level 0 leaves it, 255 copies the source.
inline uint32_t Blend255(uint32_t d, int32_t level, uint32_t s) {
    if (level <= 0) {
        return d;
    }
    if (level >= 255) {
        return s;
    }
    uint32_t out = d & 0xFF000000u;
    for (int shift = 0; shift <= 16; shift += 8) {
        const int32_t dc = int32_t((d >> shift) & 0xFF);
        const int32_t sc = int32_t((s >> shift) & 0xFF);
        const int32_t v = dc + int32_t(std::floor(double((sc - dc + 1) * level) / 256.0));
        out |= uint32_t(v & 0xFF) << shift;
    }
    return out;
}

inline uint32_t Blend(uint32_t d, uint32_t s) {
    return Blend255(d, int32_t(s >> 24), s);
}

// The glow's add, step by step.
inline uint32_t GlowAdd(uint32_t t, uint32_t c, int64_t strength) {
    if (strength == 0 || (c >> 24) == 0 || (t & 0xFFFFFF) == 0xFFFFFF) {
        return t;
    }
    const int64_t f = int64_t(c >> 24) * strength;
    int64_t R = ((t >> 16) & 0xFF) + ((((c >> 16) & 0xFF) * f) >> 16);
    int64_t G = ((t >> 8) & 0xFF) + ((((c >> 8) & 0xFF) * f) >> 16);
    int64_t B = (t & 0xFF) + (((c & 0xFF) * f) >> 16);
    if (R > 255) {
        G += (R - 255) >> 1;
        B += (R - 255) >> 1;
        R = 255;
    }
    if (G > 255) {
        int64_t x = (G - 255) >> 1;
        G = 255;
        R += x;
        if (R > 255) {
            x += R - 255;
            R = 255;
        }
        B += x;
    }
    if (B > 255) {
        int64_t x = (B - 255) >> 1;
        B = 255;
        R += x;
        if (R > 255) {
            x += R - 255;
            R = 255;
        }
        G += x;
        if (G > 255) {
            R = std::min<int64_t>(255, R + (G - 255));
            G = 255;
        }
    }
    return 0xFF000000u | uint32_t(R) << 16 | uint32_t(G) << 8 | uint32_t(B);
}

// The alpha of image (w x h of it, within its bounds) blurred in the low
// 16 bits of a (w + 2e) x (h + 2e) work image; with outsideOnly dimmed
// under the image's alpha moved by the offset. Returns the high bytes.
struct SSilhouette {
    int64_t width = 0;
    int64_t height = 0;
    std::vector<uint8_t> v;
    int32_t At(int64_t x, int64_t y) const {
        return (x < 0 || y < 0 || x >= width || y >= height) ? 0 : v[size_t(y * width + x)];
    }
};

inline SSilhouette Silhouette(CImage& image, int32_t w, int32_t h, float radius, int32_t ox,
                              int32_t oy, bool outsideOnly) {
    const int32_t e = int32_t(Margin(radius));
    CImage work(w + 2 * e, h + 2 * e);
    CImNav src(&image);
    const int32_t sw = std::min(w, image.GetWidth());
    const int32_t sh = std::min(h, image.GetHeight());
    {
        CImNav dst(&work);
        for (int32_t y = 0; y < sh; ++y) {
            for (int32_t x = 0; x < sw; ++x) {
                dst.Row(y + e)[x + e] = (uint32_t(src.Row(y)[x]) >> 24) * 257u;
            }
        }
    }
    CBlur::GaussianBlur(&work, radius, 0);
    CImNav dst(&work);
    if (outsideOnly) {
        for (int32_t y = 0; y < sh; ++y) {
            for (int32_t x = 0; x < sw; ++x) {
                const int32_t wx = x + e - ox;
                const int32_t wy = y + e - oy;
                if (wx < 0 || wy < 0 || wx >= work.GetWidth() || wy >= work.GetHeight()) {
                    continue;
                }
                const uint32_t a = uint32_t(src.Row(y)[x]) >> 24;
                const uint32_t v = uint32_t(dst.Row(wy)[wx]) & 0xFFFF;
                dst.Row(wy)[wx] = ((256 - a) * v) >> 8;
            }
        }
    }
    SSilhouette s;
    s.width = work.GetWidth();
    s.height = work.GetHeight();
    for (int32_t y = 0; y < work.GetHeight(); ++y) {
        for (int32_t x = 0; x < work.GetWidth(); ++x) {
            s.v.push_back(uint8_t((uint32_t(dst.Row(y)[x]) >> 8) & 0xFF));
        }
    }
    return s;
}

// A shadow's or glow's parameters as the oracles take them.
struct SShadow {
    int32_t w = 0;
    int32_t h = 0;
    float radius = 7.0f;
    int32_t ox = 8;
    int32_t oy = 8;
    uint32_t colour = 0xFF000000u;
    bool outsideOnly = false;
    const SSilhouette* shape = nullptr; // null: rectangular
};

// The mask byte under owner-local (x, y), or -1 outside the mask.
inline int32_t MaskAt(CImage8* mask, int32_t x, int32_t y) {
    const int32_t mx = x + mask->GetOrigin().x;
    const int32_t my = y + mask->GetOrigin().y;
    if (mx < 0 || my < 0 || mx >= mask->GetWidth() || my >= mask->GetHeight()) {
        return -1;
    }
    CImNav8 view(mask);
    return view.Row(my)[mx];
}

// The shadow drawn pixel by pixel over area (owner-local) into target,
// whose origin makes owner-local coordinates address it.
inline void Shadow(const SShadow& p, const gCRect& area, CImage& target, uint32_t alpha,
                   CImage8* mask) {
    const int32_t e = int32_t(Margin(p.radius));
    const std::vector<float> xt = Table(p.w + 2 * e, p.radius);
    const std::vector<float> yt = Table(p.h + 2 * e, p.radius);
    const uint32_t a1 = alpha + 1;
    CImNav view(&target);
    const gCPoint o = target.GetOrigin();
    for (int64_t y64 = area.top; y64 < area.bottom; ++y64) {
        for (int64_t x64 = area.left; x64 < area.right; ++x64) {
            const int32_t x = int32_t(x64);
            const int32_t y = int32_t(y64);
            const int32_t m = mask ? MaskAt(mask, x, y) : 0;
            if (m < 0) {
                continue;
            }
            const bool inWidget = x >= 0 && y >= 0 && x < p.w && y < p.h;
            if (p.outsideOnly && !p.shape && inWidget) {
                continue;
            }
            CPixel& d = view.Row(int32_t(int64_t(y) + o.y))[int64_t(x) + o.x];
            const int64_t ix = int64_t(x) + e - p.ox;
            const int64_t iy = int64_t(y) + e - p.oy;
            if (p.shape) {
                const uint32_t s = uint32_t(p.shape->At(ix, iy));
                int32_t level = int32_t((a1 * s) >> 8);
                if (mask) {
                    level = p.outsideOnly ? int32_t((a1 * s * uint32_t(m)) >> 16)
                                          : int32_t((a1 * (s + 1) * uint32_t(m)) >> 16);
                }
                if (ix >= 0 && iy >= 0 && ix < p.shape->width && iy < p.shape->height) {
                    d = Blend255(d, level, p.colour);
                }
                continue;
            }
            if (ix < 0 || iy < 0 || ix >= int64_t(xt.size()) || iy >= int64_t(yt.size())) {
                continue;
            }
            const float tx = xt[size_t(ix)];
            const float ty = yt[size_t(iy)];
            const float v = mask ? ((float(a1) * ty) / 255.0f) * tx * float(m)
                                 : float(a1) * ty * tx;
            const uint32_t A = uint32_t(std::min(255.0f, std::round(v)));
            d = Blend(d, (p.colour & 0xFFFFFF) | (A << 24));
        }
    }
}

inline void Glow(const SShadow& p, const gCRect& area, CImage& target, uint32_t alpha) {
    const int32_t e = int32_t(Margin(p.radius));
    const std::vector<float> xt = Table(p.w + 2 * e, p.radius);
    const std::vector<float> yt = Table(p.h + 2 * e, p.radius);
    const uint32_t k = 2 * alpha + 2;
    CImNav view(&target);
    const gCPoint o = target.GetOrigin();
    for (int32_t y = area.top; y < area.bottom; ++y) {
        for (int32_t x = area.left; x < area.right; ++x) {
            if (p.outsideOnly && x >= 0 && y >= 0 && x < p.w && y < p.h) {
                continue;
            }
            CPixel& d = view.Row(int32_t(int64_t(y) + o.y))[int64_t(x) + o.x];
            const int64_t ix = int64_t(x) + e - p.ox;
            const int64_t iy = int64_t(y) + e - p.oy;
            int64_t s = 0;
            if (p.shape) {
                s = (int64_t(k) * p.shape->At(ix, iy)) >> 8;
            } else if (ix >= 0 && iy >= 0 && ix < int64_t(xt.size()) && iy < int64_t(yt.size())) {
                s = int64_t(std::round(float(k) * yt[size_t(iy)] * xt[size_t(ix)]));
            }
            d = GlowAdd(d, p.colour, s);
        }
    }
}

// The cut-out's strengths for a w x h shape (0..255 per pixel).
inline std::vector<uint8_t> CutoutStrengths(const std::vector<uint8_t>& shape, int32_t w, int32_t h,
                                            float radius, int32_t ox, int32_t oy) {
    const int32_t e = int32_t(Margin(radius));
    CImage work(w + 2 * e, h + 2 * e);
    {
        CImNav v(&work);
        for (int32_t y = 0; y < h; ++y) {
            for (int32_t x = 0; x < w; ++x) {
                v.Row(y + e)[x + e] = uint32_t(shape[size_t(y * w + x)]) * 257u;
            }
        }
    }
    CBlur::GaussianBlur(&work, radius, 0);
    CImNav v(&work);
    std::vector<uint8_t> out(size_t(w * h));
    for (int32_t y = 0; y < h; ++y) {
        for (int32_t x = 0; x < w; ++x) {
            const int32_t sx = x - ox + e;
            const int32_t sy = y - oy + e;
            if (sx < 0 || sy < 0 || sx >= work.GetWidth() || sy >= work.GetHeight()) {
                out[size_t(y * w + x)] = 255;
                continue;
            }
            const uint32_t low = uint32_t(v.Row(sy)[sx]) & 0xFFFF;
            out[size_t(y * w + x)] =
                uint8_t(((uint32_t(shape[size_t(y * w + x)]) + 1) * (0xFFFF - low)) >> 16);
        }
    }
    return out;
}

// A target of random opaque-or-not pixels.
inline void Randomise(CImage& image, std::mt19937& rng) {
    CImNav v(&image);
    for (int32_t y = 0; y < v.GetHeight(); ++y) {
        for (int32_t x = 0; x < v.GetWidth(); ++x) {
            v.Row(y)[x] = uint32_t(rng());
        }
    }
}

inline std::vector<uint32_t> Words(CImage& image) {
    std::vector<uint32_t> out;
    CImNav v(&image);
    for (int32_t y = 0; y < v.GetHeight(); ++y) {
        for (int32_t x = 0; x < v.GetWidth(); ++x) {
            out.push_back(v.Row(y)[x]);
        }
    }
    return out;
}

// A copy of an image's size, pixels and origin.
inline void CopyInto(CImage& from, CImage& to) {
    (void)to.SetSize(from.GetWidth(), from.GetHeight());
    to.SetOrigin(from.GetOrigin());
    CImNav a(&from);
    CImNav b(&to);
    for (int32_t y = 0; y < a.GetHeight(); ++y) {
        std::copy(a.Row(y), a.Row(y) + a.GetWidth(), b.Row(y));
    }
}

} // namespace oracle
