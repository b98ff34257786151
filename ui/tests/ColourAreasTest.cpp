// The colour picker's areas without widgets: what each type paints, how a
// point becomes a colour, and where the indicators stand, on a 180 x 180
// main area and a 180-row strip as the picker has them; goldens of the six
// types on a 64 x 64 area.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "imaging/ImNav.h"
#include "imaging/Image.h"
#include "testsupport/imaging/Goldens.h"
#include "ui/panels/ColourAreas.h"

namespace {

using namespace ColourAreas;

constexpr int32_t kSide = 180;

// An image of the given size, every pixel fill.
std::unique_ptr<CImage> Filled(int32_t width, int32_t height, uint32_t fill) {
    auto image = std::make_unique<CImage>(width, height);
    CImNav view(image.get());
    view.Fill(CPixel(fill));
    return image;
}

uint32_t At(CImage& image, int32_t x, int32_t y) {
    CImNav view(&image);
    return uint32_t(view.Row(y)[x]);
}

SColourState StateOf(int32_t type, float hue, float lightness, float saturation,
                     uint32_t colour = 0xFF000000u) {
    SColourState s;
    s.type = type;
    s.hue = hue;
    s.lightness = lightness;
    s.saturation = saturation;
    s.colour = CPixel(colour);
    return s;
}

} // namespace

TEST(ColourAreas, HlsAndGreyRoundAsWrittenAndHoldBytesInRange) {
    EXPECT_EQ(HLS(0.0f, 0.25f, 1.0f), 0x800000u);
    EXPECT_EQ(HLS(0.0f, 0.5f, 1.0f), 0xFF0000u);
    EXPECT_EQ(HLS(1.0f / 3.0f, 0.5f, 1.0f), 0x00FF00u);
    EXPECT_EQ(Grey(0.25f), 0x404040u);
    EXPECT_EQ(Grey(0.5f), 0x808080u);
    // Values past the ends stay at the ends instead of wrapping in a byte.
    EXPECT_EQ(Grey(1.01f), 0xFFFFFFu);
    EXPECT_EQ(Grey(-0.1f), 0x000000u);
    EXPECT_EQ(HLS(0.0f, 1.5f, 1.0f), 0xFFFFFFu);
}

TEST(ColourAreas, TheHoleIsGreyBlackOrTheAngleGreyAndPaintingKeepsAlpha) {
    // Pixels 20 from the centre: straight above it (angle 1) and along the
    // bottom row (angle 0); the corner (0, 0) lies outside the disc.
    struct SCase {
        int32_t type;
        uint32_t above;
        uint32_t left;
    } const kCases[] = {
        {eHueLightness, 0x000000, 0x000000},
        {eHueSaturation, 0x808080, 0x808080},
        {eLightnessSaturation, 0xFFFFFF, 0x000000},
    };
    for (const SCase& c : kCases) {
        SCOPED_TRACE(c.type);
        auto image = Filled(kSide, kSide, 0x7F123456);
        ASSERT_EQ(PaintMain(image.get(), StateOf(c.type, 0.6f, 0.5f, 0.5f)), eNoError);
        EXPECT_EQ(At(*image, 179, 159), 0x7F000000u | c.above);
        EXPECT_EQ(At(*image, 159, 179), 0x7F000000u | c.left);
        EXPECT_EQ(At(*image, 179 - 37, 179), 0x7F000000u | c.left) << "the hole's edge";
        EXPECT_EQ(At(*image, 0, 0), 0x7F123456u) << "outside the disc";
    }
    // Every pixel of the hole in type 1.
    auto image = Filled(kSide, kSide, 0xFF000000);
    ASSERT_EQ(PaintMain(image.get(), StateOf(eHueSaturation, 0.0f, 0.5f, 1.0f)), eNoError);
    for (int32_t dy = 0; dy <= 37; ++dy) {
        for (int32_t dx = 0; dx * dx + dy * dy <= 37 * 37; ++dx) {
            ASSERT_EQ(At(*image, 179 - dx, 179 - dy), 0xFF808080u) << dx << "," << dy;
        }
    }
    // Painting spreads the radius over one pixel more than picking: the
    // rim's pixel on the bottom row is just short of full saturation.
    EXPECT_EQ(At(*image, 0, 179), 0xFF000000u | HLS(0.0f, 0.5f, 142.0f / 143.0f));
    EXPECT_EQ(At(*image, 0, 179), 0xFFFF0101u);
}

TEST(ColourAreas, MainPicksFollowTheType) {
    struct SCase {
        const char* what;
        SColourState state;
        gCPoint point;
        uint32_t colour;
        float hue, lightness, saturation;
    } const kCases[] = {
        {"bottom-left, type 1 at lightness 0.5: pure red",
         StateOf(eHueSaturation, 0.7f, 0.5f, 0.2f),
         {0, 179},
         0xFFFF0000,
         0.0f,
         0.5f,
         1.0f},
        {"straight above the centre: t 1, r 1",
         StateOf(eHueSaturation, 0.0f, 0.5f, 0.2f),
         {179, 0},
         0xFFFF0000,
         1.0f,
         0.5f,
         1.0f},
        {"the hole in type 1: the grey of the lightness",
         StateOf(eHueSaturation, 0.3f, 0.25f, 0.8f),
         {170, 170},
         0xFF404040,
         0.5f,
         0.25f,
         0.0f},
        {"type 0 at saturation 0: a grey, hue and lightness kept",
         StateOf(eHueLightness, 0.9f, 0.2f, 0.0f),
         {71, 179},
         0xFF808080,
         0.0f,
         0.5f,
         0.0f},
        {"type 2: lightness and saturation, the hue kept",
         StateOf(eLightnessSaturation, 0.0f, 0.2f, 0.2f),
         {0, 179},
         0xFF000000,
         0.0f,
         0.0f,
         1.0f},
        {"type 3: red and green, blue kept, HLS from the colour",
         StateOf(eRedGreen, 0.5f, 0.5f, 0.5f, 0x800000FF),
         {0, 179},
         0x8000FFFF,
         0.5f,
         0.5f,
         1.0f},
        {"type 5: blue and green, red kept",
         StateOf(eBlueGreen, 0.5f, 0.5f, 0.5f, 0xFFFF0000),
         {179, 0},
         0xFFFFFFFF,
         0.0f,
         1.0f,
         0.0f},
    };
    for (const SCase& c : kCases) {
        SCOPED_TRACE(c.what);
        SColourState s = c.state;
        gCPoint at = c.point;
        PickMain(s, at, kSide, kSide);
        EXPECT_EQ(uint32_t(s.colour), c.colour);
        EXPECT_FLOAT_EQ(s.hue, c.hue);
        EXPECT_FLOAT_EQ(s.lightness, c.lightness);
        EXPECT_FLOAT_EQ(s.saturation, c.saturation);
    }
}

TEST(ColourAreas, TheStripPicksZeroAtTheBottomAndPaintsOneRowAbove) {
    for (int32_t type = 0; type < kTypeCount; ++type) {
        SCOPED_TRACE(type);
        SColourState s = StateOf(type, 0.4f, 0.6f, 0.7f, 0xFFC0C0C0);
        PickStrip(s, kSide - 1, kSide);
        const float strip[] = {s.saturation, s.lightness, s.hue};
        if (type <= eLightnessSaturation) {
            EXPECT_EQ(strip[type], 0.0f);
        } else {
            const uint32_t channel[] = {uint32_t(s.colour) & 0xFFu,
                                        (uint32_t(s.colour) >> 8) & 0xFFu,
                                        (uint32_t(s.colour) >> 16) & 0xFFu};
            EXPECT_EQ(channel[type - eRedGreen], 0u);
        }
    }
    // Type 3's row 90 is blue 127 (255 - 22950 / 179, cut).
    SColourState blue = StateOf(eRedGreen, 0.0f, 0.0f, 0.0f, 0xFF102030);
    PickStrip(blue, 90, kSide);
    EXPECT_EQ(uint32_t(blue.colour), 0xFF10207Fu);

    // Painted: the bottom row is v = 1/180, the top v = 1; alpha kept.
    auto image = Filled(20, kSide, 0x40000000);
    ASSERT_EQ(PaintStrip(image.get(), StateOf(eRedGreen, 0.0f, 0.0f, 0.0f)), eNoError);
    EXPECT_EQ(At(*image, 0, 179), 0x40000001u);
    EXPECT_EQ(At(*image, 19, 0), 0x400000FFu);
    ASSERT_EQ(PaintStrip(image.get(), StateOf(eHueSaturation, 0.0f, 0.0f, 1.0f)), eNoError);
    EXPECT_EQ(At(*image, 7, 179), 0x40000000u | HLS(0.0f, 1.0f - 179.0f * (1.0f / 180.0f), 1.0f));
    EXPECT_EQ(At(*image, 7, 90), 0x40FF0000u) << "lightness 0.5 halfway";
    ASSERT_EQ(PaintStrip(image.get(), StateOf(eHueSaturation, 0.0f, 0.0f, 0.0f)), eNoError);
    EXPECT_EQ(At(*image, 7, 0), 0x40FFFFFFu) << "a grey ramp without saturation";
}

TEST(ColourAreas, RaisingTheSaturationBringsThePickedHueBack) {
    SColourState s = StateOf(eHueLightness, 0.0f, 0.0f, 0.0f);
    // At angle 1/2 (45 degrees up) and radius 1/2 of the disc.
    PickMain(s, gCPoint(179 - 76, 179 - 76), kSide, kSide);
    const float hue = s.hue;
    EXPECT_NEAR(hue, 0.5f, 1e-6f);
    EXPECT_EQ(uint32_t(s.colour) & 0xFFFFFFu, Grey(s.lightness)) << "grey at saturation 0";
    PickStrip(s, 0, kSide);
    EXPECT_EQ(s.saturation, 1.0f);
    EXPECT_EQ(s.hue, hue);
    EXPECT_EQ(uint32_t(s.colour) & 0xFFFFFFu, HLS(hue, s.lightness, 1.0f));
    EXPECT_NE(uint32_t(s.colour) & 0xFF, (uint32_t(s.colour) >> 16) & 0xFF) << "coloured again";
}

TEST(ColourAreas, IndicatorsCentreOnTheColour) {
    const SColourState red = StateOf(eHueSaturation, 0.0f, 0.5f, 1.0f, 0xFFFF0000);
    const gCPoint main = MainIndicator(red, kSide, kSide, 12, 12);
    EXPECT_EQ(main.x + 6, 0);
    EXPECT_EQ(main.y + 6, 179);
    EXPECT_EQ(StripIndicator(red, kSide, 6) + 3, 90);
    // Straight above the centre at the rim, and the hole's edge for radius 0.
    const gCPoint top =
        MainIndicator(StateOf(eHueSaturation, 1.0f, 1.0f, 1.0f), kSide, kSide, 12, 12);
    EXPECT_EQ(top, gCPoint(179 - 6, -6));
    const gCPoint hole =
        MainIndicator(StateOf(eHueSaturation, 0.0f, 1.0f, 0.0f), kSide, kSide, 12, 12);
    EXPECT_EQ(hole, gCPoint(179 - 37 - 6, 179 - 6));
    // An RGB type reads the channels: type 4's strip is green.
    EXPECT_EQ(StripIndicator(StateOf(eRedBlue, 0, 0, 0, 0xFF00FF00), kSide, 6), -3);
}

TEST(ColourAreas, WithoutAnImageNothingIsPainted) {
    EXPECT_EQ(PaintMain(nullptr, SColourState{}), eBadParameter);
    EXPECT_EQ(PaintStrip(nullptr, SColourState{}), eBadParameter);
}

TEST(ColourAreas, TheSixTypesMatchTheirGoldens) {
    // The picker's first colour: in type 2 the disc shows its hue.
    SColourState s;
    s.TakeHLS();
    for (int32_t type = 0; type < kTypeCount; ++type) {
        SCOPED_TRACE(type);
        s.type = type;
        auto image = Filled(64, 64, 0xFF000000);
        ASSERT_EQ(PaintMain(image.get(), s), eNoError);
        EXPECT_GOLDEN_PNG(*image, "colour-area-type" + std::to_string(type));
    }
}
