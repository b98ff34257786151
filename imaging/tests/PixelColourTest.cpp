#include <gtest/gtest.h>

#include "foundation/gCArray.h"
#include "imaging/Pixel.h"

namespace {

struct HLSCase {
    const char* name;
    uint32_t pixel;
    float hue, lightness, saturation;
};

void PrintTo(const HLSCase& c, std::ostream* os) {
    *os << c.name;
}

class PixelHLS : public ::testing::TestWithParam<HLSCase> {};

TEST_P(PixelHLS, GivesHueLightnessAndSaturation) {
    const HLSCase& c = GetParam();
    float h = -1, l = -1, s = -1;
    CPixel(c.pixel).GetHLS(h, l, s);
    EXPECT_FLOAT_EQ(h, c.hue);
    EXPECT_FLOAT_EQ(l, c.lightness);
    EXPECT_FLOAT_EQ(s, c.saturation);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PixelHLS,
    ::testing::Values(HLSCase{"red", 0xFFFF0000u, 0.0f, 0.5f, 1.0f},
                      HLSCase{"blue", 0xFF0000FFu, 2.0f / 3.0f, 0.5f, 1.0f},
                      HLSCase{"green_alpha_ignored", 0x000FF00u, 1.0f / 3.0f, 0.5f, 1.0f},
                      HLSCase{"magenta_wraps_to_positive", 0xFFFF00FFu, 5.0f / 6.0f, 0.5f, 1.0f},
                      HLSCase{"grey", 0xFF808080u, 0.0f, 128.0f / 255.0f, 0.0f},
                      HLSCase{"black", 0xFF000000u, 0.0f, 0.0f, 0.0f},
                      HLSCase{"white", 0xFFFFFFFFu, 0.0f, 1.0f, 0.0f}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PixelValue, HueBandsBetweenTheBounds) {
    const float m1 = 0.2f, m2 = 0.8f;
    EXPECT_FLOAT_EQ(CPixel::Value(m1, m2, 1.25f), m2) << "1.25 wraps to 0.25";
    EXPECT_FLOAT_EQ(CPixel::Value(m1, m2, -0.75f), m2) << "-0.75 wraps to 0.25";
    EXPECT_FLOAT_EQ(CPixel::Value(m1, m2, 0.0f), m1);
    EXPECT_FLOAT_EQ(CPixel::Value(m1, m2, 0.1f), m1 + (m2 - m1) * 0.1f * 6.0f);
    EXPECT_FLOAT_EQ(CPixel::Value(m1, m2, 0.6f), m1 + (m2 - m1) * (0.6666667f - 0.6f) * 6.0f);
    EXPECT_FLOAT_EQ(CPixel::Value(m1, m2, 0.9f), m1);
}

TEST(PixelWord, DefaultIsZeroAndChannelsSitByShift) {
    EXPECT_EQ(uint32_t(CPixel()), 0u);
    gCArray<CPixel> row;
    ASSERT_EQ(row.SetSize(5), eNoError);
    for (const CPixel& p : row) {
        EXPECT_EQ(uint32_t(p), 0u) << "new array elements are 0";
    }
    const CPixel p = 0x11223344u;
    EXPECT_EQ(uint32_t(p) >> 24, 0x11u);
    EXPECT_EQ((uint32_t(p) >> 16) & 0xFFu, 0x22u);
}

TEST(PixelWord, AColourAtAnOpacityTakesTheTopByteOfTheProduct) {
    struct SCase {
        uint32_t colour;
        uint32_t k;
        uint32_t expected;
    };
    for (const SCase& c :
         {SCase{0x80FFFFFFu, 255, 0x80FFFFFFu}, // red and green carry in
          SCase{0x80000000u, 255, 0x7F000000u}, SCase{0xFF102030u, 256, 0xFF102030u},
          SCase{0xFFFFFFFFu, 26, 0x19FFFFFFu}, SCase{0xFFFFFFFFu, 1, 0x00FFFFFFu},
          SCase{0x12345678u, 0, 0x00345678u}}) {
        EXPECT_EQ(CPixel::AtOpacity(c.colour, c.k), c.expected)
            << std::hex << c.colour << " " << c.k;
    }
}

} // namespace
