// The second engine's oil brush, piece by piece: its profiles and widths,
// loading, the provisional dab and its restore, the turn cap, the pick-up
// along a dab edge and the paint of single pixels in each phase.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>
#include <algorithm>

#include "foundation/MessageIds.h"
#include "imaging/ValueNoise.h"
#include "paint/canvas/Canvas.h"
#include "testsupport/foundation/FakeClock.h"
#include "testsupport/paint/StrokeCanvas.h"
#include "testsupport/paint/StrokeRecipes.h"
#include "tools/RegisterPaintTools.h"
#include "tools/wet/OilPaintNew.h"

namespace {

// The brush with its inner state opened up.
class COilProbe : public COilPaintNew {
public:
    COilProbe() { (void)SetupTool(); }
    void Face(float x, float y, float pressure, gCRPoint dir, gCRPoint previousDir) {
        m_Current = SDabPoint{x, y, pressure};
        m_CurrentDir = dir;
        m_PreviousDir = previousDir;
    }
    void SetStrokes(int32_t n) { m_nStrokeCount = n; }
    void FillWells(uint32_t colour, int32_t amount) {
        for (int32_t i = 0; i < kWells; ++i) {
            SetWell(i, colour, amount);
            SetPreviousWell(i, colour, amount);
        }
    }
};

CTabletPoint Sample(float x, float y, float pressure) {
    CTabletPoint p;
    p.x = x;
    p.y = y;
    p.pressure = pressure;
    return p;
}

TEST(OilNewBrush, EachCanvasHoldsOneOnceTheToolsAreRegistered) {
    RegisterPaintTools();
    CCanvas canvas;
    ASSERT_NE(canvas.SecondEngine(), nullptr);
    EXPECT_NE(dynamic_cast<COilPaintNew*>(canvas.SecondEngine()), nullptr);
    EXPECT_EQ(canvas.SecondEngine()->Type(), 0);
    EXPECT_EQ(canvas.SecondEngine()->ToolSize(), 0.5f);
    EXPECT_EQ(canvas.SecondEngine()->StrokeNum(), 0);
}

TEST(OilNewBrush, ProfilesByStepping) {
    COilProbe oil;
    for (const int32_t i : {0, 1, 20, 21, 30, 49}) {
        const double deposit = i <= 20 ? 1.0 - std::pow(0.8, i) : 1.0;
        const double pickUp = i <= 30 ? 0.05 + 0.65 * std::pow(0.6, i) : 0.05;
        EXPECT_NEAR(oil.Deposit(i), deposit, 1e-5) << i;
        EXPECT_NEAR(oil.PickUp(i), pickUp, 1e-5) << i;
        EXPECT_EQ(oil.Deposit(99 - i), oil.Deposit(i)) << i;
        EXPECT_EQ(oil.PickUp(99 - i), oil.PickUp(i)) << i;
    }
    EXPECT_EQ(oil.Deposit(0), 0.0f);
    EXPECT_EQ(oil.PickUp(0), 0.7f);
}

TEST(OilNewBrush, WidthBySizeAndPressure) {
    COilProbe oil;
    for (const float size : {0.0f, 0.5f, 1.0f}) {
        ASSERT_EQ(oil.SetToolSize(size), eNoError);
        const double pixels = 4.0 + 96.0 * size;
        for (const double q : {0.0, 0.5, 1.0, 1.195}) {
            const double expected = pixels * (q + std::sqrt(1.0 - (q - 1.0) * (q - 1.0))) / 2.0;
            EXPECT_NEAR(oil.BrushWidth(float(q * 1024.0), 2.0f), expected, 1e-4 * pixels)
                << size << " " << q;
        }
        // Outside 0..2 the pressure is held for the width; DoDab's at 1.
        EXPECT_EQ(oil.BrushWidth(-50.0f, 2.0f), 0.0f);
        EXPECT_FLOAT_EQ(oil.BrushWidth(3000.0f, 2.0f), float(pixels));
        EXPECT_FLOAT_EQ(oil.BrushWidth(1224.0f, 1.0f), float(pixels));
    }
}

class OilNewCanvas : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(canvas.IsReady());
        canvas.SetColour(0xFF2040C0u);
    }
    CCanvas& C() { return canvas.Canvas(); }

    CFakeClock clock;
    CStrokeCanvas canvas{120, 90};
    COilProbe oil;
};

TEST_F(OilNewCanvas, LoadingEmptiesWhenItMustAndKeepsATraceOtherwise) {
    const uint32_t colour = 0xFF2040C0u;
    CPixel kept = colour;
    kept.AlphaBlend255(204, CPixel(0xCC00FF00u));
    const struct {
        const char* name;
        int32_t strokes, emptyFlag;
        bool colourChange;
        uint32_t expected;
    } cases[] = {
        {"stroke 0", 0, 0, false, colour},
        {"colour change", 3, 0, true, colour},
        {"empty-wells flag", 3, 1, false, colour},
        {"used brush", 3, 0, false, uint32_t(kept)},
    };
    for (const auto& c : cases) {
        COilProbe o;
        o.SetStrokes(c.strokes);
        o.SetEmptyWells(c.emptyFlag);
        (void)o.ProcessData(eMsgPaintColour, nullptr, 0, 1);
        if (!c.colourChange) {
            // SetupTool marked it too: a stroke has consumed that mark.
            gCRect r;
            ASSERT_EQ(o.DoFirstDab(&C(), Sample(-500, -500, 0), r), eNoError);
        }
        o.FillWells(0xFF00FF00u, 5);
        gCRect rect;
        C().StartProtect();
        ASSERT_EQ(o.DoFirstDab(&C(), Sample(60, 45, 512), rect), eNoError) << c.name;
        C().EndProtect();
        for (int32_t i = 0; i < CToolBase::kWells; ++i) {
            ASSERT_EQ(uint32_t(o.WellColour(i)), c.expected) << c.name << " " << i;
            ASSERT_EQ(o.WellAmount(i), CToolBase::kFullWell);
            ASSERT_EQ(uint32_t(o.PreviousWellColour(i)), c.expected);
        }
        EXPECT_EQ(o.NeedsSetup(), 0);
    }
}

TEST_F(OilNewCanvas, TheProvisionalSquare) {
    // Pressure 0: a square of side 1 at the rounded point.
    gCRect rect;
    oil.Face(0, 0, 0, {1, 0}, {1, 0});
    C().StartProtect();
    ASSERT_EQ(oil.DoFirstDab(&C(), Sample(20.4f, 30.6f, 0), rect), eNoError);
    C().EndProtect();
    EXPECT_EQ(rect, gCRect(20, 31, 21, 32));
    EXPECT_EQ(oil.Phase(), COilPaintNew::eFirstDab);
    EXPECT_EQ(oil.FirstDab(), 1);
}

TEST_F(OilNewCanvas, TheFirstDabRestoresEveryPixelTheProvisionalOneChanged) {
    // At pressure 1224 and at the widest (q = 1.71) with tool size 1 the
    // square's side is 155 and 172.
    const struct {
        float pressure;
        int32_t side;
    } cases[] = {{1224.0f, 155}, {1751.0f, 172}};
    for (const auto& c : cases) {
        CStrokeCanvas big(240, 220);
        ASSERT_TRUE(big.IsReady());
        big.SetColour(0xFF2040C0u);
        COilProbe o;
        ASSERT_EQ(o.SetToolSize(1.0f), eNoError);
        o.Face(0, 0, 0, {0.6f, 0.8f}, {0.6f, 0.8f});
        const CLayerWords before = big.Copy(0);
        gCRect rect;
        big.Canvas().StartProtect();
        ASSERT_EQ(o.DoFirstDab(&big.Canvas(), Sample(120, 110, c.pressure), rect), eNoError);
        EXPECT_EQ(rect.Width(), c.side);
        EXPECT_NE(big.Copy(0), before) << c.pressure;
        gCRect restored;
        ASSERT_EQ(big.Canvas().ProtectDabArea(restored, 1), eNoError);
        big.Canvas().EndProtect();
        EXPECT_EQ(restored, rect);
        EXPECT_EQ(big.Copy(0), before) << c.pressure;
    }
}

TEST_F(OilNewCanvas, ATapKeepsItsSquare) {
    // A tap after a stroke: the filter's direction runs from the last
    // stroke's end to the tap, so the provisional square has its width.
    ASSERT_EQ(canvas.Run(oil, StrokeRecipes::SlowDrag(20, 10.0, 20.0, 0.5)), eNoError);
    const CLayerWords before = canvas.Copy(0);
    CTabletPoint p = Sample(60, 60, 700);
    C().StartProtect();
    ASSERT_EQ(oil.ToolDown(&C(), p), eNoError);
    const CLayerWords dabbed = canvas.Copy(0);
    EXPECT_NE(dabbed, before);
    ASSERT_EQ(oil.ToolUp(&C(), p), eNoError);
    C().EndProtect();
    EXPECT_EQ(canvas.Copy(0), dabbed);
    EXPECT_EQ(oil.StrokeNum(), 2);
    EXPECT_EQ(oil.Phase(), COilPaintNew::eFirstDab);
}

TEST_F(OilNewCanvas, ASharpTurnCapsAndFlipsTheWells) {
    C().StartProtect();
    CTabletPoint p = Sample(60, 45, 600);
    ASSERT_EQ(oil.ToolDown(&C(), p), eNoError);
    gCRect rect;
    oil.Face(60, 45, 600, {1, 0}, {1, 0});
    ASSERT_EQ(oil.DoDab(&C(), Sample(60, 45, 600), rect), eNoError);
    EXPECT_EQ(oil.Phase(), COilPaintNew::eStart);
    EXPECT_EQ(oil.Flip(), 0);
    oil.Face(50, 45, 600, {-1, 0}, {1, 0});
    ASSERT_EQ(oil.DoDab(&C(), Sample(50, 45, 600), rect), eNoError);
    EXPECT_EQ(oil.Phase(), COilPaintNew::eTurn);
    EXPECT_EQ(oil.Flip(), 1);
    oil.Face(40, 45, 600, {-1, 0}, {-1, 0});
    ASSERT_EQ(oil.DoDab(&C(), Sample(40, 45, 600), rect), eNoError);
    EXPECT_EQ(oil.Phase(), COilPaintNew::eBody);
    EXPECT_EQ(oil.Flip(), 1);
    C().EndProtect();
}

// --- The pick-up.

TEST_F(OilNewCanvas, PickUpMapsPixelsToWellsByRoundTTimes100) {
    // Even columns red, odd ones blue, every third bare (alpha 0). The edge
    // runs 10 pixels along row 5, so pixel x0 + k feeds wells 10 (k - 1) ..
    // 10 k - 1; the walk's t passes 1 by a rounding before the last pixel.
    for (int32_t x = 0; x < canvas.Width(); ++x) {
        canvas.Pixel(0, x, 5) = x % 3 == 2 ? 0x00FFFFFFu : (x % 2 ? 0xFF0000FFu : 0xFFFF0000u);
    }
    const struct {
        const char* name;
        float a, b;
        int32_t flip;
    } cases[] = {{"along", 20, 30, 0}, {"flipped", 20, 30, 1}, {"off the left", -5, 5, 0}};
    int32_t reachedWells = 0, movedWells = 0;
    for (const auto& c : cases) {
        COilProbe o;
        o.FillWells(0xFFFFFFFFu, 1000);
        o.SetFlip(c.flip);
        o.Face(0, 0, 512, {1, 0}, {1, 0});
        o.SampleCanvasPaint(&C(), {c.a, 5}, {c.b, 5});
        for (int32_t j = 0; j < CToolBase::kWells; ++j) {
            const int32_t w = c.flip ? 99 - j : j;
            const int32_t x = int32_t(c.a) + j / 10 + 1;
            const bool reached = j < 90 && x >= 0 && x % 3 != 2;
            const uint32_t got = uint32_t(o.WellColour(w));
            if (!reached) {
                EXPECT_EQ(got, 0xFFFFFFFFu) << c.name << " well " << w;
                EXPECT_EQ(o.WellAmount(w), 1000) << c.name << " well " << w;
                continue;
            }
            // Where the noise is low the level rounds to 0 and the colour
            // stays; otherwise it moves toward its own pixel's.
            const uint32_t red = (got >> 16) & 0xFFu, blue = got & 0xFFu;
            const bool towardRed = red == 255u && blue < 255u;
            const bool towardBlue = blue == 255u && red < 255u;
            EXPECT_TRUE(got == 0xFFFFFFFFu || (x % 2 ? towardBlue : towardRed))
                << c.name << " well " << w << std::hex << " 0x" << got;
            ++reachedWells;
            movedWells += got != 0xFFFFFFFFu ? 1 : 0;
        }
    }
    EXPECT_GT(movedWells, reachedWells * 3 / 4);
}

TEST_F(OilNewCanvas, PickUpBothBranchesByHand) {
    // One opaque colour under the whole edge; wells 0..49 hold less than the
    // cap (they gain), 50..99 more (they lose).
    const uint32_t paint = 0xFF804020u;
    for (int32_t x = 0; x < canvas.Width(); ++x) {
        canvas.Pixel(0, x, 7) = paint;
    }
    for (const uint32_t position : {0u, 0x7FFFFFF0u, 0xFFFFFFF0u}) {
        COilProbe o;
        for (int32_t i = 0; i < CToolBase::kWells; ++i) {
            o.SetWell(i, 0xFF10E0F0u, i < 50 ? 1500 : 20000);
        }
        o.SetNoisePosition(position);
        o.Face(0, 0, 300.0f, {1, 0}, {1, 0});
        o.SampleCanvasPaint(&C(), {10, 7}, {20, 7});
        const float K = 10.0f * 500.0f + 20000.0f;
        const int32_t cap = (255 * 20000) >> 10;
        for (int32_t w = 0; w < 90; ++w) {
            const float y = (K * 300.0f + K + 150.0f) * float(w);
            const float n = float(ValueNoise(int32_t(position), int32_t(std::lround(y)))) / 65535.0f;
            const float e = 1.0f - o.PickUp(w);
            int32_t amount = w < 50 ? 1500 : 20000, level;
            if (amount < cap) {
                amount += int32_t(std::lround(e * 0.25f * n * float(cap - amount)));
                level = int32_t(std::lround(e * float(amount) * 20.0f * n / float(cap)));
            } else {
                level = int32_t(std::lround(e * float(amount) * 10.0f * n / float(cap)));
                amount -= int32_t(std::lround(n * 200.0f));
            }
            level = std::min(level, 128);
            CPixel expected = 0xFF10E0F0u;
            expected.AlphaBlend255(level, CPixel((paint & 0xFFFFFFu) | (uint32_t(level) << 24)));
            ASSERT_EQ(o.WellAmount(w), amount) << position << " well " << w;
            ASSERT_EQ(uint32_t(o.WellColour(w)), uint32_t(expected)) << position << " well " << w;
        }
    }
}

// --- One pixel at a time.

struct SPixelCase {
    const char* name;
    int32_t phase;
    uint32_t wells;
    int32_t amount;
    float width, u, v, coverage;
    uint32_t expected;
};

TEST(OilNewPixels, ApplyPaintByPhase) {
    const SPixelCase cases[] = {
        // Full wells: alpha round(0.5 x 511 x 0.5 x 2 x 0.5) = 128, about
        // 255 x coverage x deposit.
        {"body, full wells", COilPaintNew::eBody, 0xFF204080u, 20000, 50, 0.5f, 0.5f, 0.5f,
         0x80204080u},
        // Full cover: round(0.5 x 511 x 1 x 2 x 0.5) = 256, held to 255.
        {"body, full cover", COilPaintNew::eBody, 0xFF204080u, 20000, 50, 0.5f, 0.5f, 1.0f,
         0xFF204080u},
        // Empty wells: (width / 100)^2 x coverage x D = 1.
        {"body, empty wells", COilPaintNew::eBody, 0x00000000u, 20000, 100, 0.5f, 0.5f, 1.0f,
         0x01000000u},
        // 1000 of paint under the pixel: m = 500 and f = 128 halve alpha 128.
        {"body, running dry", COilPaintNew::eBody, 0xFF204080u, 500, 50, 0.5f, 0.5f, 0.5f,
         0x40204080u},
        // At the start's back edge v' = (0.4 - 0.5) / g + 0.5 is below 0.
        {"start, outside v'", COilPaintNew::eStart, 0xFF204080u, 20000, 50, 0.0f, 0.4f, 1.0f,
         0u},
        // The first dab's centre: f >= 0.63 gives 255.
        {"first dab, centre", COilPaintNew::eFirstDab, 0xFF204080u, 20000, 50, 0.5f, 0.5f, 1.0f,
         0xFF204080u},
        // The end's back edge: t = 0, f >= 0.73 gives the base alpha.
        {"end, back edge", COilPaintNew::eEnd, 0xFF204080u, 20000, 50, 0.0f, 0.5f, 0.5f,
         0x80204080u},
    };
    for (const SPixelCase& c : cases) {
        COilProbe o;
        o.FillWells(c.wells, c.amount);
        o.SetPhase(c.phase);
        CPixel pixel = 0u;
        o.ApplyPaint(nullptr, &pixel, gCRPoint(c.u, c.v), c.width, 0, 0, c.coverage);
        EXPECT_EQ(uint32_t(pixel), c.expected) << c.name;
    }
}

// The lattice of the oil brush's texture as its own rule states it (seed 0),
// against the program's one value noise called with (X, Y).
uint32_t Lattice(uint32_t X, uint32_t Y) {
    const uint32_t hx = ((0u + X * 214013u) * 0xD5B132B9u + 0x41C618B1u) * (X + 0x9E3779B9u);
    const uint32_t h = ((Y * 214013u + 0x9E3779B9u) * hx * (Y + 0x9E3779B9u)) ^ hx;
    return (h ^ (h >> 16)) & 0xFFFFu;
}

TEST(OilNewPixels, TheTextureIsTheValueNoiseAsWritten) {
    const int32_t points[][2] = {{0, 0}, {1, 0}, {0, 1}, {7, -3}, {-2, 5}, {32767, -32768}};
    for (const auto& p : points) {
        EXPECT_EQ(ValueNoise(p[0] * 65536, p[1] * 65536), Lattice(uint32_t(p[0]), uint32_t(p[1])))
            << p[0] << "," << p[1];
    }
    // Half-way between two lattice points along X.
    const uint32_t a = Lattice(3, 4), b = Lattice(4, 4);
    EXPECT_EQ(ValueNoise(3 * 65536 + 0x8000, 4 * 65536), ValueNoiseLerp(a, b, 0x8000u));
}

} // namespace
