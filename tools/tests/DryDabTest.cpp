// The single dab of chalk, crayon and the eraser: its samples, its grain
// rule, its strength, no pixel twice, and dabs on the canvas's top and left
// borders.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <map>
#include <utility>

#include "paint/canvas/Canvas.h"
#include "testsupport/paint/StrokeCanvas.h"
#include "tools/dry/Chalk.h"
#include "tools/dry/Crayon.h"
#include "tools/dry/Eraser.h"
#include "tools/tests/DryToolsSupport.h"

namespace {

using namespace drytest;

// The slots (i across, j along) of the first sample that lands on each
// pixel, walking the dab as written: u over 0, 0.5 / |R - L|, ... below 1;
// at each u, v over 0, 0.5 / 2h, ... below 1 from Q + h d to Q - h d.
using CFirstSamples = std::map<std::pair<int32_t, int32_t>, std::pair<int32_t, int32_t>>;
CFirstSamples FirstSamples(CPaintTool::pointStruct pt, int32_t r, const float* profile, bool flip) {
    CFirstSamples first;
    const float rf = float(r);
    const float lx = pt.x - pt.dy * rf, ly = pt.y + pt.dx * rf;
    const float rx = pt.x + pt.dy * rf, ry = pt.y - pt.dx * rf;
    const float du = 0.5f / std::sqrt((rx - lx) * (rx - lx) + (ry - ly) * (ry - ly));
    for (float u = 0.0f; u < 1.0f; u += du) {
        int32_t i = std::min(99, Rnd(100.0f * u));
        i = flip ? 99 - i : i;
        const int32_t h = Rnd(rf * profile[i]);
        const float qx = lx + (rx - lx) * u, qy = ly + (ry - ly) * u;
        const float sx = qx + float(h) * pt.dx, sy = qy + float(h) * pt.dy;
        const float ex = qx - float(h) * pt.dx, ey = qy - float(h) * pt.dy;
        for (float v = 0.0f; v < 1.0f; v += 0.5f / (2.0f * float(h))) {
            int32_t j = std::min(99, Rnd(100.0f * v));
            j = flip ? 99 - j : j;
            const int32_t x = Rnd(sx + (ex - sx) * v - 0.5f);
            const int32_t y = Rnd(sy + (ey - sy) * v - 0.5f);
            if (x >= 0 && x < kW && y >= 0 && y < kH) {
                first.emplace(std::make_pair(x, y), std::make_pair(i, j));
            }
            if (h == 0) {
                break;
            }
        }
    }
    return first;
}

class DryDab : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(canvas.IsReady());
        canvas.SetColour(kBlue);
    }
    uint32_t Mark(int32_t x, int32_t y) { return canvas.Pixel(3, x, y) >> 16; }

    CStrokeCanvas canvas{kW, kH};
};

TEST_F(DryDab, ChalkFollowsTheProfileAndTheGrainRange) {
    // Flat grain 100 with one valley (50) and one peak (200) in the dab.
    for (int32_t y = 0; y < kH; ++y) {
        for (int32_t x = 0; x < kW; ++x) {
            canvas.Pixel(1, x, y) = 100u << 16;
        }
    }
    canvas.Pixel(1, 58, 44) = 50u << 16;
    canvas.Pixel(1, 61, 46) = 200u << 16;
    for (int32_t pressure : {300, 1024}) {
        SCOPED_TRACE(pressure);
        canvas.PaintPatch(gCRect(0, 0, kW, kH), 0u, 0u);
        TDriven<CChalk> chalk;
        ASSERT_TRUE(chalk.Prepare(3, canvas));
        chalk.SetToolLinearSize(0.3f);
        chalk.SetProfileFlip(1);
        const CPaintTool::pointStruct pt = Pt(60.3f, 45.2f, pressure, 0.6f, 0.8f);
        ASSERT_EQ(chalk.SetFirstPt(pt, 1), eNoError);
        gCRect rect;
        ASSERT_EQ(chalk.Dab(pt, rect, &canvas.Canvas()), eNoError);
        EXPECT_EQ(chalk.PressureResponse(), float(pressure) / 1024.0f);

        const int32_t r = Rnd(30.0f * 0.3f + 7.0f); // 16
        const CFirstSamples first = FirstSamples(pt, r, chalk.Profile(), true);
        ASSERT_TRUE(first.count({58, 44}) && first.count({61, 46}));
        const float p = float(pressure) / 1024.0f;
        const float* profile = chalk.Profile();
        for (int32_t y = 0; y < kH; ++y) {
            for (int32_t x = 0; x < kW; ++x) {
                const auto at = first.find({x, y});
                if (at == first.end()) {
                    ASSERT_EQ(canvas.Pixel(0, x, y), 0u) << x << ", " << y;
                    ASSERT_EQ(Mark(x, y), 0u) << x << ", " << y;
                    continue;
                }
                const auto [i, j] = at->second;
                const int32_t a1 = Rnd(255.0f * profile[i] * profile[j]);
                const int32_t a2 = Rnd(float(a1) * profile[i] * std::max(0.5f, p));
                const float g = float((canvas.Pixel(1, x, y) >> 16) - 50u);
                const float lift =
                    std::max(0.0f, 0.2f + 0.8f * p * profile[i] - (1.0f - g / 150.0f));
                const int32_t a = std::min(255, Rnd(float(a2) * lift / 0.2f));
                ASSERT_EQ(canvas.Pixel(0, x, y), a ? (0x0000FFu | (uint32_t(a) << 24)) : 0u)
                    << x << ", " << y;
                ASSERT_EQ(Mark(x, y), 1u);
            }
        }
        // The peak takes colour; the valley stays bare.
        EXPECT_GT(canvas.Pixel(0, 61, 46) >> 24, 0u);
        EXPECT_EQ(canvas.Pixel(0, 58, 44), 0u);
        ASSERT_EQ(chalk.DabEnd(), eNoError);
    }
}

TEST_F(DryDab, TheRadiusFollowsTheLinearSize) {
    struct Case {
        float linear;
        int32_t r; // rnd(30 lin + 7)
    };
    const Case cases[] = {{0.0f, 7}, {0.3f, 16}, {0.5f, 22}, {1.0f, 37}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.linear);
        TDriven<CEraser> eraser;
        ASSERT_TRUE(eraser.Prepare(5, canvas));
        eraser.SetToolLinearSize(c.linear);
        EXPECT_EQ(CEraser::DabRadius(c.linear), c.r);
        const CPaintTool::pointStruct pt = Pt(60.0f, 45.0f, 1224, 1.0f, 0.0f);
        ASSERT_EQ(eraser.SetFirstPt(pt, 1), eNoError);
        gCRect rect;
        ASSERT_EQ(eraser.Dab(pt, rect, &canvas.Canvas()), eNoError);
        EXPECT_EQ(eraser.PressureResponse(), 1.0f);
        // The square's box widened by 2, then rect one more.
        EXPECT_EQ(rect, gCRect(60 - c.r - 3, 45 - c.r - 3, 60 + c.r + 3, 45 + c.r + 3));
        int32_t left = kW, right = -1, top = kH, bottom = -1;
        for (int32_t y = 0; y < kH; ++y) {
            for (int32_t x = 0; x < kW; ++x) {
                if (Mark(x, y)) {
                    left = std::min(left, x), right = std::max(right, x);
                    top = std::min(top, y), bottom = std::max(bottom, y);
                }
            }
        }
        // Across (y) the dab spans 2r; along (x) the profile's 2r at most.
        EXPECT_EQ(top, 45 - c.r);
        EXPECT_EQ(bottom, 45 + c.r);
        EXPECT_GE(left, 60 - c.r - 1);
        EXPECT_LE(right, 60 + c.r);
        ASSERT_EQ(eraser.DabEnd(), eNoError);
    }
}

TEST_F(DryDab, GrainWithoutReliefLeavesTheDabUnmodulated) {
    // Flat grain would put every sample in the lowest valley, where the
    // rule leaves nothing; like a piece, such a dab is laid unmodulated, as
    // on paper without grain.
    for (uint32_t grain : {0u, 100u}) {
        SCOPED_TRACE(grain);
        for (int32_t y = 0; y < kH; ++y) {
            for (int32_t x = 0; x < kW; ++x) {
                canvas.Pixel(1, x, y) = grain << 16;
                canvas.Pixel(0, x, y) = 0;
            }
        }
        TDriven<CCrayon> crayon;
        ASSERT_TRUE(crayon.Prepare(4, canvas));
        const CPaintTool::pointStruct pt = Pt(40.0f, 40.0f, 1224, 0.70710677f, 0.70710677f);
        ASSERT_EQ(crayon.SetFirstPt(pt, 1), eNoError);
        gCRect rect;
        ASSERT_EQ(crayon.Dab(pt, rect, &canvas.Canvas()), eNoError);
        const float* profile = crayon.Profile();
        const CFirstSamples first = FirstSamples(pt, 16, profile, false);
        ASSERT_FALSE(first.empty());
        for (const auto& [at, slots] : first) {
            const auto [i, j] = slots;
            const int32_t a1 = Rnd(255.0f * profile[i] * profile[j]);
            const int32_t a = Rnd(float(a1) * profile[i] * 1.0f);
            ASSERT_EQ(canvas.Pixel(0, at.first, at.second),
                      a ? (0x0000FFu | uint32_t(a) << 24) : 0u)
                << at.first << ", " << at.second;
        }
        ASSERT_EQ(crayon.DabEnd(), eNoError);
    }
}

TEST_F(DryDab, TheEraserDabErasesEachPixelOnceAtLeastAtHalfStrength) {
    struct Case {
        int32_t pressure;
        float strength; // max(0.5, p)
    };
    const Case cases[] = {{0, 0.5f}, {300, 0.5f}, {768, 0.75f}, {1224, 1.0f}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pressure);
        canvas.PaintPatch(gCRect(0, 0, kW, kH), kRed, 0);
        canvas.PaintPatch(gCRect(60, 0, kW, kH), kRed, 1000);
        // Pixels marked before the dab are left alone.
        for (int32_t y = 40; y < 50; ++y) {
            canvas.Pixel(3, 55, y) |= 0x10000u;
        }
        TDriven<CEraser> eraser;
        ASSERT_TRUE(eraser.Prepare(5, canvas));
        eraser.SetToolLinearSize(0.0f);
        const CPaintTool::pointStruct pt = Pt(57.6f, 44.9f, c.pressure, 1.0f, 0.0f);
        ASSERT_EQ(eraser.SetFirstPt(pt, 1), eNoError);
        gCRect rect;
        ASSERT_EQ(eraser.Dab(pt, rect, &canvas.Canvas()), eNoError);
        // Radius 7: the square 50.6..64.6 x 37.9..51.9, rounded and widened.
        EXPECT_EQ(rect, gCRect(48, 35, 68, 55));

        const CFirstSamples first = FirstSamples(pt, 7, eraser.Profile(), false);
        int32_t strongest = 0;
        for (int32_t y = 0; y < kH; ++y) {
            for (int32_t x = 0; x < kW; ++x) {
                const uint32_t depth = x >= 60 ? 1000u : 0u;
                uint32_t alpha = 255, mark = 0;
                const auto at = first.find({x, y});
                if (x == 55 && y >= 40 && y < 50) {
                    mark = 1;
                } else if (at != first.end()) {
                    const int32_t amount =
                        Rnd(eraser.Profile()[at->second.first] * 50.0f * c.strength);
                    strongest = std::max(strongest, amount);
                    mark = 1;
                    if (depth == 0) {
                        alpha -= uint32_t(amount);
                    } else {
                        ASSERT_EQ(canvas.Pixel(1, x, y) & 0xFFFFu, depth - uint32_t(amount));
                    }
                }
                ASSERT_EQ(canvas.Pixel(0, x, y), (alpha << 24) | 0xFF0000u) << x << ", " << y;
                ASSERT_EQ(Mark(x, y), mark) << x << ", " << y;
            }
        }
        EXPECT_EQ(strongest, Rnd(50.0f * c.strength));
        ASSERT_EQ(eraser.DabEnd(), eNoError);
    }
}

TEST_F(DryDab, DabsOnTheTopAndLeftBordersStayOnTheCanvas) {
    // With the brush across x (direction (0, 1)) or across y (direction
    // (-1, 0)), the dab's first sample lies exactly on column 0 or row 0,
    // which rounds to pixel -1: nothing may be written there.
    struct Case {
        const char* name;
        CPaintTool::pointStruct pt;
    };
    const Case cases[] = {
        {"left", Pt(7.0f, 50.0f, 1024, 0.0f, 1.0f)},
        {"top", Pt(50.0f, 7.0f, 1024, -1.0f, 0.0f)},
        {"corner", Pt(7.0f, 0.0f, 1024, 0.0f, 1.0f)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        canvas.PaintPatch(gCRect(0, 0, kW, kH), kRed, 0);
        const CLayerSet before = canvas.CopyAll();
        TDriven<CCrayon> crayon;
        TDriven<CEraser> eraser;
        ASSERT_TRUE(crayon.Prepare(4, canvas));
        ASSERT_TRUE(eraser.Prepare(5, canvas));
        for (CPaintTool* tool :
             {static_cast<CPaintTool*>(&crayon), static_cast<CPaintTool*>(&eraser)}) {
            tool->SetToolLinearSize(0.0f);
            ASSERT_EQ(tool->SetFirstPt(c.pt, 1), eNoError);
            gCRect rect;
            ASSERT_EQ(tool->Dab(c.pt, rect, &canvas.Canvas()), eNoError);
            // The last pixel of the row above the sample's row (where
            // pixel -1 of that row would land) is untouched.
            if (c.pt.x == 7.0f && c.pt.y > 0.0f) {
                EXPECT_EQ(Mark(kW - 1, 49), 0u);
                EXPECT_EQ(canvas.Pixel(0, kW - 1, 49), before[0][49 * kW + kW - 1]);
            }
            for (int32_t y = 0; y < kH; ++y) {
                for (int32_t x = 0; x < kW; ++x) {
                    if (Mark(x, y)) {
                        ASSERT_TRUE(x >= rect.left && x < rect.right && y >= rect.top &&
                                    y < rect.bottom)
                            << x << ", " << y;
                    }
                }
            }
            ASSERT_EQ(tool->DabEnd(), eNoError);
        }
        // Something was painted and erased near the border.
        EXPECT_NE(canvas.CopyAll(), before);
    }
}

} // namespace
