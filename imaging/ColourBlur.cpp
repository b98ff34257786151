// The colour blurs: red and blue are spread into the two 16-bit channels of
// a temporary image (times 257) and blurred together, then green and alpha
// the same way; the results are taken back from the channels' upper bytes.

#include <cstdint>

#include "imaging/Blur.h"

namespace {

constexpr uint32_t kRB = 0x00FF00FFu;
constexpr uint32_t kAG = 0xFF00FF00u;

using TwoChannelBlur = int32_t (*)(CImage*, float);
using OneChannelBlur = int32_t (*)(CImNav&, float, int32_t);

// Where the image's part of the area lies in the temporary, and how big it
// is: only that part is read from and written to the image, so an area
// reaching past the image never addresses outside it.
struct Overlap {
    int32_t x, y, width, height;

    template <class Fn> void ForEach(CImNav& image, CImNav& temp, Fn fn) const {
        for (int32_t j = 0; j < height; ++j) {
            uint32_t* p = reinterpret_cast<uint32_t*>(image.Row(j));
            uint32_t* t = reinterpret_cast<uint32_t*>(temp.Row(y + j)) + x;
            for (int32_t i = 0; i < width; ++i) {
                fn(p[i], t[i]);
            }
        }
    }

    // Clears the temporary outside the image's part.
    void ClearOutside(CImNav& temp) const {
        for (int32_t j = 0; j < temp.GetHeight(); ++j) {
            uint32_t* t = reinterpret_cast<uint32_t*>(temp.Row(j));
            const bool inside = j >= y && j < y + height;
            for (int32_t i = 0; i < temp.GetWidth(); ++i) {
                if (!inside || i < x || i >= x + width) {
                    t[i] = 0;
                }
            }
        }
    }
};

int32_t ColourBlur(CImage* image, float radius, const gCRect* area, TwoChannelBlur twoChannels,
                   OneChannelBlur green, bool withAlpha) {
    if (!image) {
        return 0;
    }
    int64_t width = image->GetWidth();
    int64_t height = image->GetHeight();
    if (area) {
        width = int64_t(area->right) - area->left;
        height = int64_t(area->bottom) - area->top;
    }
    if (width <= 0 || height <= 0 || width > CImageBase::kMaxSide ||
        height > CImageBase::kMaxSide) {
        return 0;
    }
    CImage temp{int32_t(width), int32_t(height)};
    if (!temp.IsValid()) {
        return 0;
    }
    CImNav view(image, area);
    CImNav tempView(&temp);
    if (!view.IsLocked() || !tempView.IsLocked()) {
        return 0;
    }
    Overlap part{0, 0, view.GetWidth(), view.GetHeight()};
    if (area) {
        const gCPoint origin = image->GetOrigin();
        part.x = int32_t(view.GetArea().left - (int64_t(area->left) + origin.x));
        part.y = int32_t(view.GetArea().top - (int64_t(area->top) + origin.y));
    }

    part.ForEach(view, tempView,
                 [](uint32_t& p, uint32_t& t) { t = (p & kRB) | ((p & kRB) << 8); });
    if (!twoChannels(&temp, radius)) {
        return 0;
    }
    part.ForEach(view, tempView, [](uint32_t& p, uint32_t& t) {
        const uint32_t g = p & kAG;
        p = ((t & kAG) >> 8) | g;
        t = g | (g >> 8);
    });
    part.ClearOutside(tempView);
    if (withAlpha) {
        if (!twoChannels(&temp, radius)) {
            return 0;
        }
        part.ForEach(view, tempView, [](uint32_t& p, uint32_t& t) { p = (p & kRB) | (t & kAG); });
    } else {
        if (!green(tempView, radius, 0)) {
            return 0;
        }
        part.ForEach(view, tempView,
                     [](uint32_t& p, uint32_t& t) { p = (p & 0xFFFF00FFu) | (t & 0x0000FF00u); });
    }
    return 1;
}

constexpr OneChannelBlur kBoth = &CBlur::GaussianBlur;
constexpr OneChannelBlur kAcross = &CBlur::GaussianBlurH;
constexpr OneChannelBlur kDown = &CBlur::GaussianBlurV;

} // namespace

int32_t CBlur::GaussianBlurRGB(CImage* image, float radius, const gCRect* area) {
    return ColourBlur(image, radius, area, &GaussianBlur16x2, kBoth, false);
}
int32_t CBlur::GaussianBlurRGBH(CImage* image, float radius, const gCRect* area) {
    return ColourBlur(image, radius, area, &GaussianBlur16x2H, kAcross, false);
}
int32_t CBlur::GaussianBlurRGBV(CImage* image, float radius, const gCRect* area) {
    return ColourBlur(image, radius, area, &GaussianBlur16x2V, kDown, false);
}
int32_t CBlur::GaussianBlurRGBA(CImage* image, float radius, const gCRect* area) {
    return ColourBlur(image, radius, area, &GaussianBlur16x2, nullptr, true);
}
int32_t CBlur::GaussianBlurRGBAH(CImage* image, float radius, const gCRect* area) {
    return ColourBlur(image, radius, area, &GaussianBlur16x2H, nullptr, true);
}
int32_t CBlur::GaussianBlurRGBAV(CImage* image, float radius, const gCRect* area) {
    return ColourBlur(image, radius, area, &GaussianBlur16x2V, nullptr, true);
}
