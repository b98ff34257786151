// Chalk, crayon and the eraser called directly: the pressure responses and
// sizes, the profile, the fresh brush, pick-up and refill, the pieces and
// turns of RenderDab, the grain, and the single dab.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

#include "paint/canvas/Canvas.h"
#include "testsupport/paint/StrokeCanvas.h"
#include "tools/dry/Chalk.h"
#include "tools/dry/Crayon.h"
#include "tools/dry/Eraser.h"
#include "tools/tests/DryToolsSupport.h"

namespace {

TEST(DryPressure, EasesTheResponseAndSizesThePiece) {
    struct Case {
        int32_t pressure;
        float eased; // 1 - sqrt(1 - p^2), p held to 0..1
        float dabP;  // min(1, pressure / 1024)
    };
    const Case cases[] = {
        {0, 0.0f, 0.0f},
        {512, 1.0f - std::sqrt(0.75f), 0.5f},
        {1024, 1.0f, 1.0f},
        {1224, 1.0f, 1.0f},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CChalk::EasedPressure(c.pressure), c.eased) << c.pressure;
        EXPECT_EQ(CEraser::DabPressure(c.pressure), c.dabP) << c.pressure;
    }
    EXPECT_NEAR(CChalk::EasedPressure(512), 0.13397f, 0.000005f);
    EXPECT_EQ(CChalk::DabPressure(-100), -100.0f / 1024.0f) << "Dab's p is not floored";
}

TEST(DryProfile, RisesByTheRecurrenceToOneInTheMiddle) {
    CEraser tool;
    ASSERT_EQ(tool.SetupTool(), eNoError);
    ASSERT_EQ(tool.SetFirstPt(Pt(5.0f, 5.0f, 0, 1.0f, 0.0f), 0), eNoError);
    const float* profile = tool.Profile();
    float b = 0.0f;
    for (int32_t k = 0; k < 49; ++k) {
        EXPECT_EQ(profile[k], b) << k;
        EXPECT_EQ(profile[99 - k], b) << k;
        EXPECT_NEAR(profile[k], 1.0 - std::pow(0.95, k), 1e-6) << k;
        b = b + (1.0f - b) * 0.05f;
    }
    EXPECT_EQ(profile[49], 1.0f);
    EXPECT_EQ(profile[50], 1.0f);
}

// Pieces and dabs on a 120 x 90 grained canvas, colour opaque blue.
class DryTool : public ::testing::Test {
protected:
    static constexpr uint32_t kBlue = 0xFF0000FFu;
    static constexpr uint32_t kRed = 0xFFFF0000u;

    void SetUp() override {
        ASSERT_TRUE(canvas.IsReady());
        canvas.SetColour(kBlue);
    }

    CStrokeCanvas canvas{120, 90};
};

TEST_F(DryTool, EveryStrokeStartsWithAFreshBrushOfTheColour) {
    TDriven<CCrayon> crayon;
    ASSERT_TRUE(crayon.Prepare(4, canvas));
    crayon.SetStrokeNum(7); // not the first stroke, colour unchanged
    canvas.SetColour(0x80FF8000u);
    ASSERT_EQ(crayon.Start(Pt(30.0f, 40.0f, 0, 1.0f, 0.0f)), eNoError);
    for (int32_t i = 0; i < CBrushTool::kBrushSlots; ++i) {
        ASSERT_EQ(uint32_t(crayon.BrushLoad()[i]), 0x80FF8000u) << i;
    }
    EXPECT_EQ(uint32_t(crayon.StrokeColour()), 0x80FF8000u);
    EXPECT_EQ(crayon.ColourChanged(), 0);
    EXPECT_EQ(crayon.PreviousPressureResponse(), -1.0f);
    const float* edge = crayon.PreviousEdge();
    EXPECT_EQ(edge[0], 30.0f);
    EXPECT_EQ(edge[1], 40.0f);
    EXPECT_EQ(edge[2], 30.0f);
    EXPECT_EQ(edge[3], 40.0f);

    // A used brush (after a stroke over red) starts clean again.
    canvas.SetColour(kBlue);
    crayon.SetResponses(0.5f, 0.5f);
    ASSERT_EQ(crayon.SetColour(10, kRed, 0, 0), eNoError);
    ASSERT_NE(uint32_t(crayon.BrushLoad()[10]), 0x80FF8000u);
    ASSERT_EQ(crayon.Start(Pt(30.0f, 40.0f, 0, 1.0f, 0.0f)), eNoError);
    for (int32_t i = 0; i < CBrushTool::kBrushSlots; ++i) {
        ASSERT_EQ(uint32_t(crayon.BrushLoad()[i]), kBlue) << i;
    }
}

// One channel of an opaque pixel moved toward s at a level:
// d + floor((s - d + 1) * level / 256).
uint32_t Toward(uint32_t d, uint32_t s, int32_t level) {
    uint32_t out = 0xFF000000u;
    for (uint32_t shift = 0; shift < 24; shift += 8) {
        const int32_t dc = int32_t((d >> shift) & 0xFFu), sc = int32_t((s >> shift) & 0xFFu);
        const int32_t c = dc + int32_t(std::floor(double((sc - dc + 1) * level) / 256.0));
        out |= uint32_t(c) << shift;
    }
    return out;
}

TEST_F(DryTool, PickUpFollowsTheFactorAndRefillFollowsPressureAndProfile) {
    struct Case {
        const char* name;
        float pickUp;
        int32_t slot;
        float eased;
    };
    const Case cases[] = {
        {"chalk middle", 0.0f, 49, 0.5f}, {"crayon middle", 0.4f, 49, 0.5f},
        {"crayon full", 0.4f, 49, 1.0f},  {"crayon edge", 0.4f, 10, 1.0f},
        {"crayon light", 0.4f, 30, 0.1f}, {"chalk edge", 0.0f, 3, 1.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TDriven<CChalk> chalk;
        TDriven<CCrayon> crayon;
        ASSERT_TRUE(chalk.Prepare(3, canvas));
        ASSERT_TRUE(crayon.Prepare(4, canvas));
        CDryMedia& tool = c.pickUp == 0.0f ? static_cast<CDryMedia&>(chalk) : crayon;
        ASSERT_EQ(tool.PickUp(), c.pickUp);
        ASSERT_EQ(tool.SetFirstPt(Pt(5.0f, 5.0f, 0, 1.0f, 0.0f), 0), eNoError);
        chalk.SetResponses(c.eased, c.eased);
        crayon.SetResponses(c.eased, c.eased);
        ASSERT_EQ(tool.SetColour(c.slot, kRed, 0, 0), eNoError);

        // Pick-up: red at rnd(255 x k x p'); refill: blue at
        // rnd(255 x max(0.01, p'^5 x w)); both over an opaque slot.
        const float w = tool.Profile()[c.slot];
        const int32_t pick = int32_t(std::round(255.0f * c.pickUp * c.eased));
        const float e = c.eased;
        const int32_t fill = int32_t(std::round(255.0f * std::max(0.01f, e * e * e * e * e * w)));
        uint32_t want = Toward(kBlue, kRed, pick);
        want = fill == 255 ? kBlue : Toward(want, kBlue, fill);
        EXPECT_EQ(uint32_t(tool.BrushLoad()[c.slot]), want);
        for (int32_t i = 0; i < CBrushTool::kBrushSlots; ++i) {
            if (i != c.slot) {
                ASSERT_EQ(uint32_t(tool.BrushLoad()[i]), kBlue) << i;
            }
        }
    }
    // The worked middle case: red 51 in, then 8 of blue back.
    TDriven<CCrayon> crayon;
    ASSERT_TRUE(crayon.Prepare(4, canvas));
    ASSERT_EQ(crayon.SetFirstPt(Pt(5.0f, 5.0f, 0, 1.0f, 0.0f), 0), eNoError);
    crayon.SetResponses(0.5f, 0.5f);
    ASSERT_EQ(crayon.SetColour(49, kRed, 0, 0), eNoError);
    EXPECT_EQ(uint32_t(crayon.BrushLoad()[49]), 0xFF3100CDu);
    EXPECT_EQ(crayon.SetColour(100, kRed, 0, 0), eBadParameter);
    EXPECT_EQ(crayon.SetColour(-1, kRed, 0, 0), eBadParameter);
}

TEST_F(DryTool, RenderDabLaysAPieceFromThePreviousEdge) {
    TDriven<CChalk> chalk;
    ASSERT_TRUE(chalk.Prepare(3, canvas));
    chalk.SetToolLinearSize(0.0f);
    canvas.Canvas().ResetInvLut();
    const CLayerSet before = canvas.CopyAll();
    ASSERT_EQ(chalk.Start(Pt(20.0f, 45.0f, 0, 1.0f, 0.0f)), eNoError);

    // No pressure at lin 0: half-width 5; the first piece starts on the
    // collapsed edge.
    gCRect rect;
    ASSERT_EQ(chalk.Render(Pt(20.0f, 45.0f, 0, 1.0f, 0.0f), rect, &canvas.Canvas()), eNoError);
    EXPECT_EQ(chalk.PressureResponse(), 0.0f);
    EXPECT_EQ(chalk.PreviousPressureResponse(), 0.0f);
    const float* edge = chalk.PreviousEdge();
    EXPECT_EQ(edge[0], 20.0f);
    EXPECT_EQ(edge[1], 50.0f);
    EXPECT_EQ(edge[2], 20.0f);
    EXPECT_EQ(edge[3], 40.0f);
    EXPECT_EQ(chalk.DabNum(), 1);
    EXPECT_EQ(rect, gCRect(17, 37, 23, 53));

    // Full pressure: half-width 7. Box (18, 36)..(32, 54), rect one wider.
    ASSERT_EQ(chalk.Render(Pt(30.0f, 45.0f, 1024, 1.0f, 0.0f), rect, &canvas.Canvas()), eNoError);
    EXPECT_EQ(chalk.PressureResponse(), 1.0f);
    EXPECT_EQ(chalk.PreviousPressureResponse(), 1.0f);
    EXPECT_EQ(edge[0], 30.0f);
    EXPECT_EQ(edge[1], 52.0f);
    EXPECT_EQ(edge[2], 30.0f);
    EXPECT_EQ(edge[3], 38.0f);
    EXPECT_EQ(chalk.DabNum(), 2);
    EXPECT_EQ(rect, gCRect(17, 35, 33, 55));
    // rnd(20 p' + 5.5) per piece: 6, then 26.
    EXPECT_EQ(chalk.NoisePosition(), 32u);

    // The rows each piece wrote are marked with their ring, inside the
    // rows of the pieces' boxes over their rects' columns.
    EXPECT_TRUE(canvas.MarksCoverChanges(before));
    EXPECT_TRUE(canvas.MarksInside(gCRect(17, 36, 34, 55)));

    // The widest piece: half-width 37 at lin 1 and full pressure.
    TDriven<CEraser> eraser;
    ASSERT_TRUE(eraser.Prepare(5, canvas));
    eraser.SetToolLinearSize(1.0f);
    ASSERT_EQ(eraser.Start(Pt(60.0f, 45.0f, 0, 0.0f, 1.0f)), eNoError);
    ASSERT_EQ(eraser.Render(Pt(60.0f, 45.0f, 1024, 0.0f, 1.0f), &canvas.Canvas()), eNoError);
    EXPECT_EQ(eraser.PreviousEdge()[0], 23.0f);
    EXPECT_EQ(eraser.PreviousEdge()[2], 97.0f);
}

TEST_F(DryTool, WithoutAPreviousEdgeNothingIsPainted) {
    TDriven<CChalk> chalk;
    ASSERT_TRUE(chalk.Prepare(3, canvas));
    ASSERT_EQ(chalk.Start(Pt(20.0f, 45.0f, 800, 1.0f, 0.0f)), eNoError);
    ASSERT_EQ(chalk.DabEnd(), eNoError);
    const CLayerSet before = canvas.CopyAll();
    gCRect rect(1, 2, 3, 4);
    ASSERT_EQ(chalk.Render(Pt(40.0f, 45.0f, 800, 1.0f, 0.0f), rect, &canvas.Canvas()), eNoError);
    EXPECT_EQ(rect, gCRect(1, 2, 3, 4));
    EXPECT_EQ(chalk.DabNum(), 0);
    EXPECT_EQ(canvas.CopyAll(), before);
    const float w = 30.0f * 0.3f + 5.0f + 2.0f * CChalk::EasedPressure(800);
    EXPECT_EQ(chalk.PreviousEdge()[1], 45.0f + w);
    EXPECT_EQ(chalk.PreviousEdge()[3], 45.0f - w);
    EXPECT_EQ(chalk.PreviousPressureResponse(), CChalk::EasedPressure(800));
}

TEST_F(DryTool, ASharpTurnPaintsACapAndTurnsTheBrushOver) {
    struct Case {
        float degrees;
        bool turns; // |n + d| = 2 cos(angle / 2) <= 1.44
    };
    const Case cases[] = {{0.0f, false}, {80.0f, false}, {90.0f, true}, {180.0f, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.degrees);
        TDriven<CChalk> chalk;
        ASSERT_TRUE(chalk.Prepare(3, canvas));
        chalk.SetToolLinearSize(0.0f);
        ASSERT_EQ(chalk.Start(Pt(40.0f, 45.0f, 1024, 1.0f, 0.0f)), eNoError);
        ASSERT_EQ(chalk.Render(Pt(40.0f, 45.0f, 1024, 1.0f, 0.0f), &canvas.Canvas()), eNoError);
        ASSERT_EQ(chalk.Render(Pt(50.0f, 45.0f, 1024, 1.0f, 0.0f), &canvas.Canvas()), eNoError);
        const int32_t flip = chalk.ProfileFlip();
        const float a = c.degrees * 3.14159265f / 180.0f;
        const float dx = std::cos(a), dy = std::sin(a);
        gCRect rect;
        ASSERT_EQ(chalk.Render(Pt(50.0f + 10.0f * dx, 45.0f + 10.0f * dy, 1024, dx, dy), rect,
                               &canvas.Canvas()),
                  eNoError);
        EXPECT_EQ(chalk.DabNum(), c.turns ? 4 : 3);
        EXPECT_EQ(chalk.ProfileFlip(), c.turns ? 1 - flip : flip);
        if (c.turns) {
            // The cap reaches half a width (3.5) past (50, 45) along +x: its
            // box ends at rnd(53.5) + 2, its rect one further.
            EXPECT_GE(rect.right, 57);
            EXPECT_LE(rect.left, 47);
        }
        ASSERT_EQ(chalk.DabEnd(), eNoError);
    }
}

TEST_F(DryTool, APieceOffTheCanvasPaintsNothingButCounts) {
    for (float y : {-60.0f, 160.0f}) {
        TDriven<CCrayon> crayon;
        ASSERT_TRUE(crayon.Prepare(4, canvas));
        const CLayerSet before = canvas.CopyAll();
        ASSERT_EQ(crayon.Start(Pt(200.0f, y, 1024, 1.0f, 0.0f)), eNoError);
        ASSERT_EQ(crayon.Render(Pt(200.0f, y, 1024, 1.0f, 0.0f), &canvas.Canvas()), eNoError);
        ASSERT_EQ(crayon.Render(Pt(210.0f, y, 1024, 1.0f, 0.0f), &canvas.Canvas()), eNoError);
        EXPECT_EQ(crayon.DabNum(), 2);
        EXPECT_EQ(canvas.CopyAll(), before);
    }
}

TEST_F(DryTool, LayersThatCannotBeLockedChangeNothing) {
    CCanvas bare; // no project: no layers
    TDriven<CChalk> chalk;
    ASSERT_TRUE(chalk.Prepare(3, canvas));
    ASSERT_EQ(chalk.Start(Pt(20.0f, 45.0f, 0, 1.0f, 0.0f)), eNoError);
    gCRect rect(1, 2, 3, 4);
    EXPECT_EQ(chalk.RenderDab(Pt(30.0f, 45.0f, 500, 1.0f, 0.0f), rect, &bare), eOutOfMemory);
    EXPECT_EQ(chalk.Dab(Pt(30.0f, 45.0f, 500, 1.0f, 0.0f), rect, &bare), eOutOfMemory);
    EXPECT_EQ(chalk.RenderDab(Pt(30.0f, 45.0f, 500, 1.0f, 0.0f), rect, nullptr), eOutOfMemory);
    EXPECT_EQ(rect, gCRect(1, 2, 3, 4));
    EXPECT_EQ(chalk.DabNum(), 0);
    EXPECT_EQ(chalk.PreviousEdge()[0], 20.0f);
    EXPECT_EQ(chalk.PreviousPressureResponse(), -1.0f);

    // A tool handed other layers than the canvas's does not write them.
    TDriven<CEraser> eraser;
    ASSERT_EQ(eraser.SetupTool(), eNoError);
    CImage l0(120, 90), l1(120, 90), l2(120, 90), l3(120, 90);
    ASSERT_EQ(eraser.SetSources(&l0, &l1, &l2, &l3), eNoError);
    ASSERT_EQ(eraser.Start(Pt(20.0f, 45.0f, 0, 1.0f, 0.0f)), eNoError);
    EXPECT_EQ(eraser.RenderDab(Pt(30.0f, 45.0f, 500, 1.0f, 0.0f), rect, &canvas.Canvas()),
              eOutOfMemory);
    EXPECT_EQ(eraser.Dab(Pt(30.0f, 45.0f, 500, 1.0f, 0.0f), rect, &canvas.Canvas()), eOutOfMemory);
}

} // namespace
