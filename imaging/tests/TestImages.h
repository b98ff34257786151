#pragma once
// Seeded test pictures and helpers to move pixels in and out of images.

#include <cstdint>
#include <ostream>
#include <random>
#include <vector>

#include "imaging/ImNav.h"
#include "imaging/Image.h"
#include "imaging/Image8.h"

namespace testimg {

struct Size {
    int32_t width;
    int32_t height;
};

inline void PrintTo(const Size& s, std::ostream* os) {
    *os << s.width << "x" << s.height;
}

// Odd shapes: single rows and columns, widths that are no multiple of 4 or
// 8, and the sizes around the encoder's 8-pixel limit.
inline const std::vector<Size>& OddSizes() {
    static const std::vector<Size> sizes = {{1, 1},  {1, 37}, {37, 1}, {8, 8},   {9, 9},
                                            {13, 7}, {9, 31}, {31, 9}, {67, 23}, {130, 11}};
    return sizes;
}

// Pixels with every kind of neighbour the run rules care about: stretches of
// one colour from a small palette (so equal words recur), stretches of fully
// transparent pixels with differing colour bits, and lone random pixels.
inline std::vector<uint32_t> RunnyPixels(std::mt19937& rng, int32_t width, int32_t height) {
    static const uint32_t palette[] = {0xFF102030u, 0xFFFFFFFFu, 0x80FF0000u,
                                       0x01000000u, 0xFF000000u, 0x00000000u};
    std::vector<uint32_t> px;
    px.reserve(size_t(width) * height);
    std::uniform_int_distribution<int> kind(0, 5), len(1, 12), pick(0, 5);
    std::uniform_int_distribution<uint32_t> any;
    while (px.size() < size_t(width) * height) {
        const int k = kind(rng);
        const int n = len(rng);
        const uint32_t colour = palette[pick(rng)];
        for (int i = 0; i < n && px.size() < size_t(width) * height; ++i) {
            if (k < 4) {
                px.push_back(colour);
            } else if (k == 4) {
                px.push_back(any(rng) & 0x00FFFFFFu); // transparent, any colour
            } else {
                px.push_back(any(rng));
            }
        }
    }
    return px;
}

// Uniformly random words, with the alpha byte drawn from 0, 255 and random
// values so that the cheap cases of the blends come up often.
inline std::vector<uint32_t> RandomPixels(std::mt19937& rng, size_t count) {
    std::uniform_int_distribution<uint32_t> any;
    std::uniform_int_distribution<int> alphaKind(0, 3);
    std::vector<uint32_t> px(count);
    for (auto& p : px) {
        p = any(rng);
        const int k = alphaKind(rng);
        if (k == 0) {
            p &= 0x00FFFFFFu;
        } else if (k == 1) {
            p |= 0xFF000000u;
        }
    }
    return px;
}

inline void Store(CImage& image, const std::vector<uint32_t>& px) {
    CImNav view(&image);
    for (int32_t y = 0; y < view.GetHeight(); ++y) {
        for (int32_t x = 0; x < view.GetWidth(); ++x) {
            view.Row(y)[x] = px[size_t(y) * view.GetWidth() + x];
        }
    }
}

inline std::vector<uint32_t> Load(CImage& image) {
    CImNav view(&image);
    std::vector<uint32_t> px;
    for (int32_t y = 0; y < view.GetHeight(); ++y) {
        for (int32_t x = 0; x < view.GetWidth(); ++x) {
            px.push_back(view.Row(y)[x]);
        }
    }
    return px;
}

inline void Store8(CImage8& image, const std::vector<uint32_t>& bytes) {
    CImNav8 view(&image);
    for (int32_t y = 0; y < view.GetHeight(); ++y) {
        for (int32_t x = 0; x < view.GetWidth(); ++x) {
            view.Row(y)[x] = uint8_t(bytes[size_t(y) * view.GetWidth() + x]);
        }
    }
}

inline std::vector<uint32_t> Load8(CImage8& image) {
    CImNav8 view(&image);
    std::vector<uint32_t> bytes;
    for (int32_t y = 0; y < view.GetHeight(); ++y) {
        for (int32_t x = 0; x < view.GetWidth(); ++x) {
            bytes.push_back(view.Row(y)[x]);
        }
    }
    return bytes;
}

// The same by the image's kind, for tests written once for both.
inline void Store(CImage8& image, const std::vector<uint32_t>& bytes) {
    Store8(image, bytes);
}
inline std::vector<uint32_t> Load(CImage8& image) {
    return Load8(image);
}

} // namespace testimg
