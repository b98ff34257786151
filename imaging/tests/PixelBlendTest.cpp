#include <gtest/gtest.h>

#include <random>

#include "imaging/Pixel.h"
#include "imaging/tests/Reference.h"
#include "imaging/tests/TestImages.h"

namespace {

// One channel of the blend: dst value d, src value s at level a.
struct ChannelCase {
    const char* name;
    uint32_t d, s;
    int32_t a;
    uint32_t expected;
};

void PrintTo(const ChannelCase& c, std::ostream* os) {
    *os << c.name;
}

class BlendChannel : public ::testing::TestWithParam<ChannelCase> {};

TEST_P(BlendChannel, EachChannelGetsTheFlooredStep) {
    const ChannelCase& c = GetParam();
    for (int shift : {16, 8, 0}) {
        // The other channels carry values that would show a borrow or carry.
        const uint32_t others = 0x7F00FF00u & ~(0xFFu << shift);
        CPixel dst = (others & 0x00FFFFFFu) | 0x5A000000u | (c.d << shift);
        const CPixel src = 0x33FF00FFu & ~(0xFFu << shift);
        CPixel::Blend255Proc(&dst, c.a, CPixel(uint32_t(src) | (c.s << shift)));
        EXPECT_EQ((uint32_t(dst) >> shift) & 0xFFu, c.expected) << "channel shift " << shift;
        EXPECT_EQ(uint32_t(dst) >> 24, 0x5Au) << "alpha is kept below level 255";
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, BlendChannel,
                         ::testing::Values(ChannelCase{"white_over_black_at_1", 0, 255, 1, 1},
                                           ChannelCase{"white_over_black_at_254", 0, 255, 254, 254},
                                           ChannelCase{"black_over_white_at_254", 255, 0, 254, 2},
                                           ChannelCase{"black_over_white_at_1", 255, 0, 1, 254},
                                           ChannelCase{"white_over_black_at_128", 0, 255, 128, 128},
                                           ChannelCase{"equal_at_1", 77, 77, 1, 77},
                                           ChannelCase{"equal_at_200", 77, 77, 200, 77},
                                           ChannelCase{"equal_white_at_254", 255, 255, 254, 255},
                                           ChannelCase{"equal_black_at_254", 0, 0, 254, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Blend, PairFormEqualsPerChannelFormulaForEveryLevelAndValue) {
    // Red sees (d, s), green (255 - d, 255 - s) and blue (s, d), so every
    // channel meets every pair of values at every level.
    for (int32_t a = 0; a < 256; ++a) {
        for (uint32_t d = 0; d < 256; ++d) {
            for (uint32_t s = 0; s < 256; ++s) {
                const uint32_t dw = 0x9C000000u | (d << 16) | ((255 - d) << 8) | s;
                const uint32_t sw = 0x41000000u | (s << 16) | ((255 - s) << 8) | d;
                CPixel dst = dw;
                CPixel::Blend255Proc(&dst, a, sw);
                if (uint32_t(dst) != ref::Blend255(dw, a, sw)) {
                    FAIL() << "a=" << a << " d=" << d << " s=" << s;
                }
            }
        }
    }
}

TEST(Blend, SourceAlphaDecidesTheExtremes) {
    CPixel dst = 0x12345678u;
    CPixel::BlendProc(&dst, 0xFFABCDEFu);
    EXPECT_EQ(uint32_t(dst), 0xFFABCDEFu) << "opaque source copies the word";
    dst = 0x12345678u;
    CPixel::BlendProc(&dst, 0x00ABCDEFu);
    EXPECT_EQ(uint32_t(dst), 0x12345678u) << "transparent source leaves the destination";
    dst = 0x12345678u;
    CPixel::Blend255Proc(&dst, 255, 0x80ABCDEFu);
    EXPECT_EQ(uint32_t(dst), 0x80ABCDEFu) << "level 255 takes the source alpha";
}

TEST(Blend, HooksStartAtThePlainBlends) {
    EXPECT_EQ(CPixel::m_pBlendProc, &CPixel::BlendProc);
    EXPECT_EQ(CPixel::m_pBlend255Proc, &CPixel::Blend255Proc);
}

TEST(AlphaBlend255, OntoTransparentTakesSourceColourWithLevelAsAlpha) {
    for (int32_t level : {1, 77, 128, 254}) {
        CPixel dst = 0x00FFFFFFu;
        dst.AlphaBlend255(level, 0x20123456u);
        EXPECT_EQ(uint32_t(dst), 0x00123456u | (uint32_t(level) << 24)) << level;
    }
}

TEST(AlphaBlend255, OntoOpaqueEqualsThePlainBlend) {
    std::mt19937 rng(7);
    const auto px = testimg::RandomPixels(rng, 4000);
    for (size_t i = 0; i + 1 < px.size(); i += 2) {
        const int32_t level = int32_t(i % 256);
        CPixel a = px[i] | 0xFF000000u;
        CPixel b = a;
        a.AlphaBlend255(level, px[i + 1]);
        CPixel::Blend255Proc(&b, level, px[i + 1]);
        ASSERT_EQ(uint32_t(a), uint32_t(b)) << i;
    }
}

TEST(AlphaBlend255, HalfCoverageOverHalfCoverage) {
    // Coverage 128/255 over 128/255 is about three quarters, and the
    // colours weigh about 2:1 for the source.
    CPixel dst = 0x80000000u;
    dst.AlphaBlend255(128, 0x00FFFFFFu);
    EXPECT_EQ(uint32_t(dst), ref::AlphaBlend255(0x80000000u, 128, 0x00FFFFFFu));
    EXPECT_NEAR(double(uint32_t(dst) >> 24), 191.5, 1.0);
    EXPECT_NEAR(double(uint32_t(dst) & 0xFFu), 170.0, 2.0);
}

TEST(AlphaMasked, TransparentSourceFadesOnlyTheAlpha) {
    CPixel dst = 0xC0123456u;
    dst.AlphaMasked(128, 0x00FFFFFFu);
    EXPECT_EQ(uint32_t(dst) & 0x00FFFFFFu, 0x123456u);
    EXPECT_EQ(uint32_t(dst) >> 24, (0xC0u * (65536u - (128u * 257u + 1u))) >> 16);
}

TEST(AlphaMasked, TransparentDestinationTakesTheSourceColour) {
    CPixel dst = 0x00FFFFFFu;
    dst.AlphaMasked(128, 0xC0123456u);
    EXPECT_EQ(uint32_t(dst) & 0x00FFFFFFu, 0x123456u);
    EXPECT_EQ(uint32_t(dst) >> 24, (0xC0u * (128u * 257u + 1u)) >> 16);
}

TEST(AlphaMasked, MaskExtremes) {
    CPixel dst = 0x80123456u;
    dst.AlphaMasked(0, 0xFFFFFFFFu);
    EXPECT_EQ(uint32_t(dst), 0x80123456u);
    dst.AlphaMasked(255, 0x40ABCDEFu);
    EXPECT_EQ(uint32_t(dst), 0x40ABCDEFu);
}

// The real blends against the plain per-channel versions over seeded random
// images of odd sizes, at every level.
class BlendMatchesReference : public ::testing::TestWithParam<testimg::Size> {};

TEST_P(BlendMatchesReference, OverRandomImages) {
    const testimg::Size size = GetParam();
    std::mt19937 rng(uint32_t(size.width * 1000 + size.height));
    const size_t n = size_t(size.width) * size.height;
    const auto dst = testimg::RandomPixels(rng, n);
    const auto src = testimg::RandomPixels(rng, n);
    for (int32_t level = 0; level < 256; ++level) {
        for (size_t i = 0; i < n; ++i) {
            CPixel blend = dst[i], alpha = dst[i], masked = dst[i], bySource = dst[i];
            CPixel::Blend255Proc(&blend, level, src[i]);
            alpha.AlphaBlend255(level, src[i]);
            masked.AlphaMasked(uint32_t(level), src[i]);
            CPixel::m_pBlendProc(&bySource, src[i]);
            ASSERT_EQ(uint32_t(blend), ref::Blend255(dst[i], level, src[i])) << i;
            ASSERT_EQ(uint32_t(alpha), ref::AlphaBlend255(dst[i], level, src[i])) << i;
            ASSERT_EQ(uint32_t(masked), ref::AlphaMasked(dst[i], uint32_t(level), src[i])) << i;
            ASSERT_EQ(uint32_t(bySource), ref::Blend255(dst[i], int32_t(src[i] >> 24), src[i]));
        }
    }
}

INSTANTIATE_TEST_SUITE_P(OddSizes, BlendMatchesReference, ::testing::ValuesIn(testimg::OddSizes()));

} // namespace
