#include <gtest/gtest.h>

#include <vector>

#include "imaging/BmpIO.h"

namespace {

// A codec with a palette of the given entries at the given depth.
struct CPaletteFixture {
    CPaletteFixture(uint32_t bits, std::vector<uint32_t> entries) {
        codec.SetBitsPerPixel(bits);
        codec.SetColorCount(uint32_t(entries.size()));
        EXPECT_EQ(codec.SetupColorMap(), eNoError);
        for (size_t i = 0; i < entries.size(); ++i) {
            codec.GetColorMap().GetData()[i] = entries[i];
        }
    }
    std::vector<uint32_t> Rgba(std::vector<char> src, uint32_t count) const {
        std::vector<CPixel> out(count);
        codec.GetRGBARowFromByteStream(src.data(), out.data(), count);
        return std::vector<uint32_t>(out.begin(), out.end());
    }
    gCBmpIO codec;
};

TEST(PaletteUnpacking, OneBitIsMostSignificantFirst) {
    CPaletteFixture f(1, {0xFF000000u, 0xFFFFFFFFu});
    const uint32_t w = 0xFFFFFFFFu, k = 0xFF000000u;
    EXPECT_EQ(f.Rgba({char(0xA5)}, 8), (std::vector<uint32_t>{w, k, w, k, k, w, k, w}));
    std::vector<uint8_t> grey(8);
    const char byte = char(0xA5);
    f.codec.GetMonoRowFromByteStream(&byte, grey.data(), 8);
    EXPECT_EQ(grey, (std::vector<uint8_t>{255, 0, 255, 0, 0, 255, 0, 255}));
}

TEST(PaletteUnpacking, TwoFourAndEightBits) {
    const std::vector<uint32_t> palette = {0x000001, 0x000002, 0x000003, 0x000004};
    auto op = [](uint32_t c) { return 0xFF000000u | c; };
    CPaletteFixture two(2, palette);
    // 0x1B = 00 01 10 11; 0xE4 = 11 10 01 00
    EXPECT_EQ(two.Rgba({char(0x1B), char(0xE4)}, 6),
              (std::vector<uint32_t>{op(1), op(2), op(3), op(4), op(4), op(3)}));
    CPaletteFixture four(4, palette);
    EXPECT_EQ(four.Rgba({char(0x21), char(0x3F)}, 3), (std::vector<uint32_t>{op(3), op(2), op(4)}));
    CPaletteFixture eight(8, palette);
    EXPECT_EQ(eight.Rgba({3, 0, 2}, 3), (std::vector<uint32_t>{op(4), op(1), op(3)}));
}

// Palette alpha is ignored, and indexes beyond the colour map take entry 0.
TEST(PaletteUnpacking, OpaqueAndNeverOutsideTheMap) {
    CPaletteFixture f(4, {0x00102030u, 0x80405060u});
    EXPECT_EQ(f.Rgba({char(0x1F)}, 2), (std::vector<uint32_t>{0xFF405060u, 0xFF102030u}));
    uint32_t r = 0, g = 0, b = 0;
    f.codec.GetRGBFromByte(3, char(0xF1), r, g, b); // pixel 3: the low nibble
    EXPECT_EQ((std::vector<uint32_t>{r, g, b}), (std::vector<uint32_t>{0x40, 0x50, 0x60}));
    f.codec.GetRGBFromByte(2, char(0xF1), r, g, b); // high nibble 15: beyond the map
    EXPECT_EQ((std::vector<uint32_t>{r, g, b}), (std::vector<uint32_t>{0x10, 0x20, 0x30}));
}

TEST(PaletteUnpacking, ArgbToRgbaReordersWholePixels) {
    gCBmpIO codec;
    const char src[6] = {1, 2, 3, 4, 5, 6};
    char dst[6] = {9, 9, 9, 9, 9, 9};
    codec.ConvertARGBRowToRGBARow(src, dst, 6);
    EXPECT_EQ(std::vector<char>(dst, dst + 6), (std::vector<char>{2, 3, 4, 1, 0, 0}));
}

} // namespace
