#include <gtest/gtest.h>

#include "imaging/Gradient.h"
#include "imaging/ImNav.h"
#include "imaging/Image.h"

namespace {

constexpr uint32_t kBlack = 0xFF000000u;
constexpr uint32_t kWhite = 0xFFFFFFFFu;
constexpr uint32_t kRed = 0xFFFF0000u;
constexpr uint32_t kBlue = 0xFF0000FFu;

uint32_t Entry(CGradient& g, int32_t i) {
    if (g.IsDirty()) {
        g.Rebuild();
    }
    return uint32_t(g.Table()[i]);
}

TEST(Gradient, DefaultRampFromBlackToWhite) {
    CGradient g{CPixel(kBlack), CPixel(kWhite)};
    EXPECT_EQ(Entry(g, 0), kBlack);
    EXPECT_EQ(Entry(g, 2048), 0xFF808080u);
    EXPECT_EQ(Entry(g, 4095), kWhite);
    EXPECT_EQ(Entry(g, 4096), kWhite) << "the partner of the last entry";
    // Each step: channel = (256 * i) / 4095.
    EXPECT_EQ(Entry(g, 1000), 0xFF3E3E3Eu);
}

TEST(Gradient, StopsInsideTheRangeRampFromBlackAndToWhite) {
    CGradient g{CPixel(kRed), CPixel(kBlue)};
    ASSERT_EQ(g.AddPoint(CPixel(kRed), 0.25f), 1);
    ASSERT_EQ(g.AddPoint(CPixel(kBlue), 0.75f), 2);
    g.RemovePoint(0);
    g.RemovePoint(2);
    ASSERT_EQ(g.GetLastIndex(), 1);
    // 0.25 * 4095 = 1023.75 -> 1024; 0.75 * 4095 = 3071.25 -> 3071.
    EXPECT_EQ(Entry(g, 0), kBlack);
    EXPECT_EQ(Entry(g, 512), 0xFF800000u) << "half way from black to red";
    EXPECT_EQ(Entry(g, 1024), kRed) << "the red stop starts the next segment";
    EXPECT_EQ(Entry(g, 3071), kBlue);
    EXPECT_EQ(Entry(g, 3583), 0xFF8080FFu) << "half way from blue to white";
    EXPECT_EQ(Entry(g, 4095), kWhite) << "the ramp's final value";
    EXPECT_EQ(Entry(g, 4096), kWhite);
    EXPECT_EQ(uint32_t(g.GetColourAtPoint(1.0f)), kWhite) << "never transparent black";
    EXPECT_EQ(uint32_t(g.GetColourAtPoint(1000, 1000)), kWhite);
}

TEST(Gradient, AddPointPositions) {
    CGradient g{CPixel(kBlack), CPixel(kWhite)};
    EXPECT_EQ(g.AddPoint(CPixel(kRed), 1.5f), 1) << "1.0 up to 2.0 replaces the last stop";
    EXPECT_EQ(g.Stops()[1].position, 1.5f);
    EXPECT_EQ(uint32_t(g.Stops()[1].colour), kRed);
    EXPECT_EQ(g.AddPoint(CPixel(kBlue), 2.0f), -1);
    EXPECT_EQ(g.GetLastIndex(), 1);
    EXPECT_EQ(g.AddPoint(CPixel(kBlue), -0.2f), 0) << "inserted before the first stop";
    EXPECT_EQ(g.GetLastIndex(), 2);
    EXPECT_EQ(g.AddPoint(CPixel(kWhite), 0.0f), 0) << "0.0 replaces the first stop";
    EXPECT_EQ(g.Stops()[0].position, 0.0f);
    EXPECT_EQ(g.IsPointAtPos(1.5f), 2);
    EXPECT_EQ(g.IsPointAtPos(0.7f), -1);
    // Stops outside 0..1 are kept to the table when it is built.
    EXPECT_EQ(Entry(g, 4095), kRed);
}

TEST(Gradient, LookUpsDirectAndInterpolated) {
    CGradient g{CPixel(kBlack), CPixel(kWhite)};
    EXPECT_EQ(uint32_t(g.GetColourAtPoint(50, 100)), Entry(g, 2048));
    // 2048 of 4096 reads table position 524160: entry 2047, fraction 128.
    const uint32_t a = Entry(g, 2047), b = Entry(g, 2048);
    const uint32_t ca = a & 0xFF, cb = b & 0xFF;
    const uint32_t mid = ca + (((cb - ca + 1) * 128) >> 8);
    EXPECT_EQ(uint32_t(g.GetColourAtPoint(2048, 4096)) & 0xFF, mid);
    EXPECT_EQ(uint32_t(g.GetInterpColour(524160)), uint32_t(g.GetColourAtPoint(2048, 4096)));
    EXPECT_EQ(uint32_t(g.GetColourAtPoint(0.0f)), kBlack);
}

TEST(Gradient, OtherModesLeaveTheTable) {
    CGradient g{CPixel(kRed), CPixel(kBlue)};
    g.SetMode(2);
    EXPECT_EQ(Entry(g, 1), 0u);
    EXPECT_EQ(Entry(g, 2048), 0u);
    EXPECT_EQ(Entry(g, 4094), 0u);
}

TEST(Gradient, SmoothEasesInAndOut) {
    CGradient g{CPixel(kBlack), CPixel(kWhite)};
    g.SetMode(CGradient::eSmooth);
    EXPECT_EQ(Entry(g, 0), kBlack);
    // f = 128 -> g = 32896 -> ((32896^2 >> 16) * (196608 - 65792)) >> 24 = 128.
    EXPECT_EQ(Entry(g, 2048), 0xFF808080u);
    EXPECT_LT(Entry(g, 512) & 0xFF, (512 * 256 / 4095)) << "slower than linear near the start";
}

TEST(Gradient, CubicOvershootIsClamped) {
    // Dark, slightly less dark, bright: the curve dips below 0 half way
    // through the first segment (about -10) and must not wrap to 246.
    CGradient g{CPixel(kBlack), CPixel(kWhite)};
    g.SetMode(CGradient::eCubic);
    ASSERT_EQ(g.AddPoint(CPixel(0xFF0A0A0Au), 0.5f), 1);
    EXPECT_EQ(Entry(g, 1024), kBlack);
    EXPECT_EQ(Entry(g, 2048), 0xFF0A0A0Au);
    EXPECT_EQ(Entry(g, 4095), kWhite);

    // Bright, slightly less bright, dark: the curve passes 255 and is held.
    CGradient h{CPixel(kWhite), CPixel(kBlack)};
    h.SetMode(CGradient::eCubic);
    ASSERT_EQ(h.AddPoint(CPixel(0xFFF5F5F5u), 0.5f), 1);
    EXPECT_EQ(Entry(h, 1024), kWhite);
}

TEST(Gradient, SixteenBitEntriesHoldAlphaAndGrey) {
    CGradient g{CPixel(0x80000000u), CPixel(0xFF3060C0u)};
    g.Set16Bit(1);
    EXPECT_EQ(Entry(g, 0), 0x80000000u);
    // Grey of 0x30, 0x60, 0xC0: (48 + 96 + 192) / 3 = 112, times 257.
    EXPECT_EQ(Entry(g, 4095), 0xFF000000u | (112u * 257u));
}

TEST(Gradient, ClearPointsBetweenIndices) {
    CGradient g{CPixel(kBlack), CPixel(kWhite)};
    for (float p : {0.2f, 0.4f, 0.6f, 0.8f}) {
        g.AddPoint(CPixel(kRed), p);
    }
    ASSERT_EQ(g.GetLastIndex(), 5);
    EXPECT_EQ(g.ClearPointsBetweenIndices(0, 3), eNoError);
    EXPECT_EQ(g.GetLastIndex(), 3);
    EXPECT_EQ(g.Stops()[1].position, 0.6f);
    EXPECT_EQ(g.ClearPointsBetweenIndices(3, 5), eBadParameter);
    EXPECT_EQ(g.ClearPointsBetweenIndices(1, 9), eBadParameter);
    EXPECT_EQ(g.ClearPointsBetweenIndices(-2, 0), eBadParameter);
    EXPECT_EQ(g.GetLastIndex(), 3);
    // The stops that follow index -1 are the first ones.
    EXPECT_EQ(g.ClearPointsBetweenIndices(-1, 1), eNoError);
    EXPECT_EQ(g.GetLastIndex(), 2);
    EXPECT_EQ(g.Stops()[0].position, 0.6f);
}

TEST(Gradient, AlphaColourAndNullPoints) {
    CGradient g{CPixel(kBlack), CPixel(kWhite)};
    const uint32_t before = uint32_t(g.GetColourAtPoint(0.5f));
    ASSERT_EQ(g.AddNullPoint(0.5f), 1);
    EXPECT_EQ(uint32_t(g.Stops()[1].colour), before);
    ASSERT_EQ(g.AddAlphaPoint(0x40, 0.5f), 1);
    EXPECT_EQ(uint32_t(g.Stops()[1].colour), (before & 0x00FFFFFFu) | 0x40000000u);
    ASSERT_EQ(g.AddColourPoint(CPixel(0xFF123456u), 0.5f), 1);
    EXPECT_EQ(uint32_t(g.Stops()[1].colour) & 0x00FFFFFFu, 0x123456u);
}

TEST(Gradient, PointAdjustSaturates) {
    CGradientPoint p;
    p.SetPoint(CPixel(0x10203040u), 0.5f);
    p.AdjustR(0x10);
    p.AdjustB(300);
    p.AdjustG(-0x40); // below 0: 255
    EXPECT_EQ(uint32_t(p.colour), 0x1030FFFFu);
}

TEST(Gradient, CheckeredPreview) {
    CGradient g{CPixel(0x80FF0000u), CPixel(0x80FF0000u)};
    CImage image;
    ASSERT_EQ(image.Create(8, 8), eNoError);
    ASSERT_EQ(g.FillGradientImage(&image, 0, 1), eNoError);
    CImNav view(&image);
    // Half-transparent red over white (0,0) and over light grey (4,0).
    const uint32_t overWhite = uint32_t(view.Row(0)[0]);
    const uint32_t overGrey = uint32_t(view.Row(0)[4]);
    EXPECT_EQ(overWhite, 0xFFFF8080u);
    EXPECT_EQ(overGrey, 0xFFE66666u);
    EXPECT_EQ(uint32_t(view.Row(4)[4]), overWhite) << "4 x 4 squares alternate";
    EXPECT_EQ(uint32_t(view.Row(4)[0]), overGrey);

    ASSERT_EQ(g.FillGradientImage(&image, 1, 0), eNoError);
    EXPECT_EQ(uint32_t(CImNav(&image).Row(3)[5]), 0x80FF0000u) << "no checker: unchanged";
}

} // namespace
