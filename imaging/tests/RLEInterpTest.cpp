#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "imaging/RLE.h"
#include "imaging/RLEInterp.h"
#include "imaging/tests/Reference.h"
#include "imaging/tests/TestImages.h"

namespace {

// The bilinear sample of a plain pixel array: columns and rows clamped into
// the picture, the right neighbour equal to the left one outside 0..w-2.
uint32_t RefInterp(const std::vector<uint32_t>& px, int32_t w, int32_t h, int32_t x, int32_t y0,
                   int32_t y1, int32_t fx, int32_t fy) {
    const auto at = [&](int32_t cx, int32_t cy) {
        return px[size_t(std::clamp(cy, 0, h - 1)) * w + std::clamp(cx, 0, w - 1)];
    };
    const bool inside = x >= 0 && x < w - 1;
    const uint32_t tl = at(x, y0), tr = inside ? at(x + 1, y0) : tl;
    const uint32_t bl = at(x, y1), br = inside ? at(x + 1, y1) : bl;
    return ref::Lerp(ref::Lerp(tl, tr, fx), ref::Lerp(bl, br, fx), fy);
}

class Interp : public ::testing::Test {
protected:
    void Make(int32_t w, int32_t h, const std::vector<uint32_t>& px) {
        m_image = std::make_unique<CImage>(w, h);
        testimg::Store(*m_image, px);
        ASSERT_EQ(m_rle.CreateFromImage(m_image.get()), eNoError);
    }
    std::unique_ptr<CImage> m_image;
    CRLE m_rle;
};

TEST_F(Interp, LastColumnUsesTheLastPixelOnBothSides) {
    std::vector<uint32_t> px(12 * 10, 0xFF000000u);
    for (int32_t y = 0; y < 10; ++y) {
        px[size_t(y) * 12 + 11] = 0xFFFFFFFFu;
    }
    Make(12, 10, px);
    ASSERT_EQ(m_rle.IsCompressed(), 1);
    CRLEInterp interp(&m_rle);
    interp.StartInterp(11, 2, 3);
    EXPECT_EQ(uint32_t(interp.Interp(11, 200, 100)), 0xFFFFFFFFu);
    EXPECT_EQ(uint32_t(interp.Interp(12, 200, 100)), 0xFFFFFFFFu) << "past the edge";
    interp.StartInterp(10, 2, 3);
    EXPECT_EQ(uint32_t(interp.Interp(10, 128, 0)), 0xFF7F7F7Fu);
}

TEST_F(Interp, StartLeftOfTheImageThenStepIn) {
    std::vector<uint32_t> px(10 * 10);
    for (size_t i = 0; i < px.size(); ++i) {
        px[i] = 0xFF000000u | uint32_t((i % 10) * 20); // blue rises by column
    }
    Make(10, 10, px);
    CRLEInterp interp(&m_rle);
    interp.StartInterp(-1, 0, 1);
    EXPECT_EQ(uint32_t(interp.Interp(-1, 128, 0)), 0xFF000000u) << "column 0 on both sides";
    EXPECT_EQ(uint32_t(interp.Interp(0, 128, 0)), 0xFF00000Au) << "columns 0 and 1";
    EXPECT_EQ(uint32_t(interp.Interp(1, 64, 0)), 0xFF000019u) << "columns 1 and 2";
}

TEST(InterpLerp, PackedChannelsEqualPerChannelFloors) {
    std::mt19937 rng(11);
    const auto px = testimg::RandomPixels(rng, 20000);
    for (size_t i = 0; i + 1 < px.size(); ++i) {
        const int32_t f = int32_t(i % 256);
        ASSERT_EQ(uint32_t(CRLEInterp::Lerp(px[i], px[i + 1], f)), ref::Lerp(px[i], px[i + 1], f))
            << i;
    }
}

// Walks of the reader, in steps of one column and in jumps, against the
// plain bilinear sample, over raw and encoded pictures of odd sizes.
class InterpMatchesReference : public ::testing::TestWithParam<testimg::Size> {};

TEST_P(InterpMatchesReference, OverRows) {
    const testimg::Size s = GetParam();
    std::mt19937 rng(uint32_t(s.width * 4099 + s.height));
    const auto source = testimg::RunnyPixels(rng, s.width, s.height);
    CImage image(s.width, s.height);
    testimg::Store(image, source);
    CRLE rle;
    ASSERT_EQ(rle.CreateFromImage(&image), eNoError);
    // Compare with what the reader decodes (transparent runs recoloured).
    std::vector<uint32_t> px;
    rle.StartRLE(0, 0);
    for (size_t i = 0; i < source.size(); ++i) {
        px.push_back(rle.NextRLE());
    }

    std::uniform_int_distribution<int32_t> frac(0, 255), jump(-3, s.width + 2);
    CRLEInterp interp(&rle);
    for (int32_t y = -1; y <= s.height; ++y) {
        interp.StartInterp(-2, y, y + 1);
        for (int32_t x = -2; x <= s.width + 1; ++x) {
            const int32_t fx = frac(rng), fy = frac(rng);
            ASSERT_EQ(uint32_t(interp.Interp(x, fx, fy)),
                      RefInterp(px, s.width, s.height, x, y, y + 1, fx, fy))
                << "step to " << x << "," << y;
        }
        for (int i = 0; i < 8; ++i) {
            const int32_t x = jump(rng), fx = frac(rng), fy = frac(rng);
            ASSERT_EQ(uint32_t(interp.Interp(x, fx, fy)),
                      RefInterp(px, s.width, s.height, x, y, y + 1, fx, fy))
                << "jump to " << x << "," << y;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(OddSizes, InterpMatchesReference,
                         ::testing::ValuesIn(testimg::OddSizes()));

} // namespace
