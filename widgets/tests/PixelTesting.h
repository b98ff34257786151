#pragma once
// Images for the pixel tests of the widget classes: made from a function of
// the position, read back word by word (through the run-length reader when
// compressed), and the blend hooks swapped for counting ones while a test
// runs.

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "imaging/ImNav.h"
#include "imaging/Image.h"
#include "imaging/Pixel.h"
#include "imaging/RLE.h"

inline std::unique_ptr<CImage> MakeImage(int32_t width, int32_t height,
                                         const std::function<uint32_t(int32_t, int32_t)>& pixel) {
    auto image = std::make_unique<CImage>(width, height);
    CImNav view(image.get());
    for (int32_t y = 0; y < view.GetHeight(); ++y) {
        for (int32_t x = 0; x < view.GetWidth(); ++x) {
            view.Row(y)[x] = pixel(x, y);
        }
    }
    return image;
}

inline std::unique_ptr<CImage> FilledImage(int32_t width, int32_t height, uint32_t colour) {
    return MakeImage(width, height, [colour](int32_t, int32_t) { return colour; });
}

// The pixel at (x, y), compressed or not.
inline uint32_t PixelAt(CImage& image, int32_t x, int32_t y) {
    if (image.IsCompressed()) {
        image.GetRLE()->StartRLE(x, y);
        return image.GetRLE()->NextRLE();
    }
    CImNav view(&image);
    return view.Row(y)[x];
}

// Every pixel, row after row.
inline std::vector<uint32_t> PixelsOf(CImage& image) {
    std::vector<uint32_t> out;
    for (int32_t y = 0; y < image.GetHeight(); ++y) {
        for (int32_t x = 0; x < image.GetWidth(); ++x) {
            out.push_back(PixelAt(image, x, y));
        }
    }
    return out;
}

// Counts the calls of the two blend hooks while it lives, blending as the
// default hooks do.
class CCountingBlends {
public:
    CCountingBlends()
        : m_pSavedBlend(CPixel::m_pBlendProc), m_pSavedBlend255(CPixel::m_pBlend255Proc) {
        s_nBlends = 0;
        s_nBlends255 = 0;
        CPixel::m_pBlendProc = [](CPixel* dst, CPixel src) {
            ++s_nBlends;
            CPixel::BlendProc(dst, src);
        };
        CPixel::m_pBlend255Proc = [](CPixel* dst, int32_t level, CPixel src) {
            ++s_nBlends255;
            CPixel::Blend255Proc(dst, level, src);
        };
    }
    ~CCountingBlends() {
        CPixel::m_pBlendProc = m_pSavedBlend;
        CPixel::m_pBlend255Proc = m_pSavedBlend255;
    }
    CCountingBlends(const CCountingBlends&) = delete;
    CCountingBlends& operator=(const CCountingBlends&) = delete;

    int32_t Blends() const { return s_nBlends; }
    int32_t Blends255() const { return s_nBlends255; }

private:
    static inline int32_t s_nBlends = 0;
    static inline int32_t s_nBlends255 = 0;
    CPixel::BlendProcPtr m_pSavedBlend;
    CPixel::Blend255ProcPtr m_pSavedBlend255;
};
