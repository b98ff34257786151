#include <gtest/gtest.h>

#include <cmath>

#include "testsupport/paint/RecordingTool.h"
#include "testsupport/paint/StrokeRecipes.h"

namespace {

using Tool = CRecordingTool;

TEST(RecordingTool, LogsCallsMarksAndFailsOnce) {
    Tool tool(eToolChalk);
    EXPECT_EQ(tool.Type(), eToolChalk);
    tool.m_bMark = true;
    tool.m_MarkRect = gCRect(1, 2, 3, 4);
    tool.m_nFailAt = 3;
    tool.m_FailCode = eOutOfMemory;
    CPaintTool& engineSide = tool;
    const CPaintTool::pointStruct a{1.5f, 2.5f, 700, 0.6f, 0.8f};
    const CPaintTool::pointStruct b{4.0f, 6.0f, 1024, 0.0f, 1.0f};
    gCRect r1(9, 9, 9, 9), r2(9, 9, 9, 9), r3(9, 9, 9, 9);
    EXPECT_EQ(engineSide.SetFirstPt(a, 1), eNoError);
    EXPECT_EQ(engineSide.RenderDab(a, r1, nullptr), eNoError);
    EXPECT_EQ(engineSide.RenderDab(b, r2, nullptr), eOutOfMemory); // the third call
    EXPECT_EQ(engineSide.Dab(b, r3, nullptr), eNoError);           // only once
    EXPECT_EQ(engineSide.DabEnd(), eNoError);
    EXPECT_EQ(r1, gCRect(1, 2, 3, 4));
    EXPECT_EQ(r2, gCRect(9, 9, 9, 9)); // a failed call marks nothing
    EXPECT_EQ(r3, gCRect(1, 2, 3, 4));

    struct Expected {
        Tool::EKind kind;
        float x;
        int32_t pressure, flag;
        error result;
    };
    const Expected expected[] = {
        {Tool::eSetFirstPt, 1.5f, 700, 1, eNoError},     {Tool::eRenderDab, 1.5f, 700, 0, eNoError},
        {Tool::eRenderDab, 4.0f, 1024, 0, eOutOfMemory}, {Tool::eDab, 4.0f, 1024, 0, eNoError},
        {Tool::eDabEnd, 0.0f, 0, 0, eNoError},
    };
    ASSERT_EQ(tool.m_Calls.size(), std::size(expected));
    for (size_t i = 0; i < tool.m_Calls.size(); ++i) {
        EXPECT_EQ(tool.m_Calls[i].kind, expected[i].kind) << i;
        EXPECT_EQ(tool.m_Calls[i].pt.x, expected[i].x) << i;
        EXPECT_EQ(tool.m_Calls[i].pt.pressure, expected[i].pressure) << i;
        EXPECT_EQ(tool.m_Calls[i].flag, expected[i].flag) << i;
        EXPECT_EQ(tool.m_Calls[i].result, expected[i].result) << i;
    }
    EXPECT_EQ(tool.m_Calls[0].pt.dy, 0.8f);
    EXPECT_EQ(tool.Count(Tool::eRenderDab), 2);
    EXPECT_EQ(tool.Count(Tool::eDabEnd), 1);

    // Unmarked: the caller's rectangle stays.
    Tool plain;
    gCRect r(5, 6, 7, 8);
    EXPECT_EQ(plain.Dab(a, r, nullptr), eNoError);
    EXPECT_EQ(r, gCRect(5, 6, 7, 8));
}

TEST(StrokeRecipes, Quantisers) {
    EXPECT_EQ(StrokeRecipes::QuantiseCoord(1565.685425), 1565.6875f); // 100203.87 / 64
    EXPECT_EQ(StrokeRecipes::QuantiseCoord(-0.0078125), -0.015625f);  // -0.5 / 64: away
    EXPECT_EQ(StrokeRecipes::QuantisePressure(0.818198), 838);        // 837.83
    EXPECT_EQ(StrokeRecipes::QuantisePressure(0.05), 51);             // 51.2
    EXPECT_EQ(StrokeRecipes::QuantisePressure(1.5), 1224);
    EXPECT_EQ(StrokeRecipes::QuantisePressure(-0.1), 0);
}

TEST(StrokeRecipes, FigureEight) {
    struct Case {
        int32_t n, i;
        uint32_t t;
        float x, y;
        int32_t q;
    };
    // On 2000 x 1500: centre (1000, 750), x swing 800, y swing 1200 sin cos.
    const Case cases[] = {
        {4, 0, 0, 1000.0f, 750.0f, 512},     // p 0.5
        {4, 1, 5, 1800.0f, 750.0f, 51},      // sin 3pi/2: p 0.05
        {4, 2, 10, 1000.0f, 750.0f, 512},    // sin 3pi ~ 0
        {4, 3, 15, 200.0f, 750.0f, 973},     // p 0.95: 972.8
        {8, 1, 5, 1565.6875f, 1350.0f, 838}, // 800 / sqrt 2; 1200 / 2; 0.5 + 0.45 / sqrt 2
    };
    for (const Case& c : cases) {
        const CStroke s = StrokeRecipes::FigureEight(c.n, 2000, 1500);
        ASSERT_EQ(s.size(), static_cast<size_t>(c.n));
        EXPECT_EQ(s[c.i].t, c.t) << c.n << " " << c.i;
        EXPECT_EQ(s[c.i].x, c.x) << c.n << " " << c.i;
        EXPECT_EQ(s[c.i].y, c.y) << c.n << " " << c.i;
        EXPECT_EQ(s[c.i].q, c.q) << c.n << " " << c.i;
    }
}

TEST(StrokeRecipes, ZigZag) {
    // Two legs of 4 px sampled every 2 px from (10, 10); at 90 degrees the
    // second leg runs straight down; pressure ramps 0 to 1 over 5 samples.
    const CStroke right = StrokeRecipes::ZigZag(2, 4, 90, 2, 10, 10, 0.0, 1.0);
    const float xs[] = {10, 12, 14, 14, 14}, ys[] = {10, 10, 10, 12, 14};
    const int32_t qs[] = {0, 256, 512, 768, 1024};
    ASSERT_EQ(right.size(), 5u);
    for (size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(right[i].x, xs[i]) << i;
        EXPECT_EQ(right[i].y, ys[i]) << i;
        EXPECT_EQ(right[i].q, qs[i]) << i;
        EXPECT_EQ(right[i].t, 5 * i) << i;
    }
    // At 100 degrees: 14 + 2 cos 100 = 13.6527 -> 874 / 64; 10 + 2 sin 100
    // = 11.9696 -> 766 / 64.
    const CStroke sharp = StrokeRecipes::ZigZag(2, 4, 100, 2, 10, 10, 0.5, 0.5);
    EXPECT_EQ(sharp[3].x, 874.0f / 64.0f);
    EXPECT_EQ(sharp[3].y, 766.0f / 64.0f);
    EXPECT_EQ(sharp[3].q, 512);
    // A third leg turns back: heading 0 again.
    const CStroke three = StrokeRecipes::ZigZag(3, 4, 90, 2, 0, 0, 0.5, 0.5);
    ASSERT_EQ(three.size(), 7u);
    EXPECT_EQ(three[6].x, 8.0f);
    EXPECT_EQ(three[6].y, 4.0f);
}

TEST(StrokeRecipes, ShortStrokes) {
    const CStroke click = StrokeRecipes::Click(3.3, 4.4, 0.5);
    ASSERT_EQ(click.size(), 2u);
    EXPECT_EQ(click[1].x, click[0].x);
    EXPECT_EQ(click[0].x, 211.0f / 64.0f); // 3.3 * 64 = 211.2
    const CStroke flick = StrokeRecipes::Flick(10, 20, 1.0);
    ASSERT_EQ(flick.size(), 4u);
    const float fx[] = {10, 13, 16, 16};
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(flick[i].x, fx[i]) << i;
        EXPECT_EQ(flick[i].y, 20.0f) << i;
        EXPECT_EQ(flick[i].q, 1024) << i;
    }
    const CStroke drag = StrokeRecipes::SlowDrag(3, 5, 5, 0.25);
    EXPECT_EQ(drag[2].x, 7.0f);
    EXPECT_EQ(drag[2].q, 256);
    const CStroke held = StrokeRecipes::HeldPen(30, 8, 9, 1.0);
    ASSERT_EQ(held.size(), 30u);
    EXPECT_EQ(held[29].x, 8.0f);
    EXPECT_EQ(held[29].t, 145u);
}

TEST(StrokeRecipes, RandomWalk) {
    const CStroke a = StrokeRecipes::RandomWalk(7, 2000, 300, 200);
    const CStroke b = StrokeRecipes::RandomWalk(7, 2000, 300, 200);
    const CStroke c = StrokeRecipes::RandomWalk(8, 2000, 300, 200);
    ASSERT_EQ(a.size(), 2000u);
    int32_t same = 0, jumps = 0, outside = 0;
    for (size_t i = 0; i < a.size(); ++i) {
        EXPECT_EQ(a[i].x, b[i].x);
        EXPECT_EQ(a[i].y, b[i].y);
        EXPECT_EQ(a[i].q, b[i].q);
        same += a[i].x == c[i].x ? 1 : 0;
        EXPECT_GE(a[i].q, 0);
        EXPECT_LE(a[i].q, 1224);
        EXPECT_EQ(a[i].x * 64.0f, std::round(a[i].x * 64.0f)); // on the 1/64 grid
        outside += (a[i].x < 0 || a[i].x >= 300 || a[i].y < 0 || a[i].y >= 200) ? 1 : 0;
        if (i > 0) {
            const float d = std::hypot(a[i].x - a[i - 1].x, a[i].y - a[i - 1].y);
            jumps += d > 40.05f ? 1 : 0;
        }
    }
    EXPECT_LT(same, 10);
    EXPECT_GT(jumps, 20);   // about one in 32 is a jump
    EXPECT_GT(outside, 10); // some samples lie past the edges
}

} // namespace
