// The pen's own operations: its profile and brush at the start of a stroke,
// the pressure and width tables, the ribbon's pieces worked pixel by pixel
// from the formulas, its corners, and the single square dab.

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "foundation/Rounding.h"
#include "imaging/Pixel.h"
#include "paint/canvas/Canvas.h"
#include "testsupport/paint/StrokeCanvas.h"
#include "tools/ribbon/Pens.h"
#include "tools/tests/LineFixtures.h"

namespace {

using linetest::Pt;
using linetest::Rnd;
using CTestPens = linetest::CEngineSeam<CPens>;

constexpr uint32_t kPaper = 0xFFFFFFFAu;

// 1 - 0.95^k step by step, as the profile is built.
std::vector<float> WorkedProfile() {
    std::vector<float> b(100);
    float v = 0.0f;
    for (int32_t k = 0; k < 50; ++k) {
        b[size_t(k)] = v;
        v = v + (1.0f - v) * 0.05f;
    }
    b[49] = v;
    for (int32_t k = 0; k < 50; ++k) {
        b[size_t(99 - k)] = b[size_t(k)];
    }
    return b;
}

class PenTest : public linetest::TLineToolTest<CTestPens> {
protected:
    PenTest() : TLineToolTest(eToolPens, 0xFF3080C0u) {}

    // The pen's pixel rule over a straight piece along +x of half-width w,
    // with the given pressure responses and taper, applied to `layer`.
    void ExpectPiece(CLayerWords& layer, float x0, float x1, float c, float w, float r0, float r,
                     int32_t taper) {
        const std::vector<float> b = WorkedProfile();
        const float half = RoundHalfAway(100.0f / std::max(1.0f, 2.0f * w)) * 0.5f;
        linetest::ForEachStraightPixel(
            x0, x1, c, w, kW, kH, [&](const linetest::SStraightPixel& px) {
                const float m = RoundHalfAway(std::clamp(px.uMid * 100.0f, 0.0f, 99.0f));
                const int32_t lo = Rnd(std::clamp(m - half, 0.0f, 99.0f));
                const int32_t hi = Rnd(std::clamp(m + half, 0.0f, 99.0f));
                float beta = 0.0f;
                for (int32_t i = lo; i <= hi; ++i) {
                    beta += b[size_t(i)];
                }
                beta /= float(hi - lo + 1);
                int32_t alpha = int32_t(colour >> 24); // every slot holds the colour
                if (taper != 0) {
                    const float wv = taper == 1 ? px.vMid : 1.0f - px.vMid;
                    const float g = std::exp(-((3.5f * wv) * (3.5f * wv)) / 2.0f) + 0.3325f;
                    alpha = g <= 0.5f
                                ? 0
                                : (g < 0.73f ? Rnd(float(alpha) * (g - 0.5f) / 0.23f) : alpha);
                }
                const float V = RoundHalfAway(std::clamp(px.vMid * 255.0f, 0.0f, 255.0f));
                const float f = r0 + (r - r0) * V / 256.0f;
                const int32_t a = Rnd(float(alpha) * beta * std::max(0.0f, f));
                uint32_t& word = layer[size_t(px.y) * kW + size_t(px.x)];
                CPixel shown = kPaper;
                shown.AlphaBlend255(int32_t(word >> 24), word);
                const uint32_t s = shown;
                const uint32_t red = ((colour >> 16 & 0xFF) * (s >> 16 & 0xFF)) / 256;
                const uint32_t green = ((colour >> 8 & 0xFF) * (s >> 8 & 0xFF)) / 256;
                const uint32_t blue = ((colour & 0xFF) * (s & 0xFF)) / 256;
                CPixel out = word;
                out.AlphaBlend255(a, (uint32_t(a) << 24) | red << 16 | green << 8 | blue);
                word = out;
            });
    }

    CTestPens& pen = tool;
};

TEST_F(PenTest, ProfileRisesByFivePercentStepsAndMirrors) {
    ASSERT_EQ(pen.SetFirstPt(Pt(10, 10, 0), 0), eNoError);
    const float* b = pen.DensityProfile();
    const std::vector<float> want = WorkedProfile();
    for (int32_t k = 0; k < 100; ++k) {
        EXPECT_EQ(b[k], want[size_t(k)]) << k;
    }
    EXPECT_EQ(b[0], 0.0f);
    EXPECT_EQ(b[99], 0.0f);
    EXPECT_FLOAT_EQ(b[1], 0.05f);
    EXPECT_FLOAT_EQ(b[2], 0.0975f);
    // 49 and 50 hold the value after fifty steps, not after 49.
    EXPECT_NEAR(b[49], 1.0 - std::pow(0.95, 50), 1e-5);
    EXPECT_EQ(b[49], b[50]);
    EXPECT_NEAR(b[48], 1.0 - std::pow(0.95, 48), 1e-5);
}

TEST_F(PenTest, FirstPointFillsTheBrushWithTheColourAndForgetsThePressure) {
    (void)pen.ProcessLocalData(eMsgPaintColour, nullptr, 0, 1); // marks the colour changed
    pen.SetStrokeNum(4);
    ASSERT_EQ(pen.SetFirstPt(Pt(12.5f, 7.25f, 300), 0), eNoError);
    for (int32_t i = 0; i < 100; ++i) {
        EXPECT_EQ(uint32_t(pen.BrushLoad()[i]), colour) << i;
    }
    EXPECT_EQ(pen.ColourChanged(), 0);
    EXPECT_EQ(pen.PreviousPressureResponse(), -1.0f);
    const float* e = pen.PreviousEdge();
    EXPECT_EQ(e[0], 12.5f);
    EXPECT_EQ(e[1], 7.25f);
    EXPECT_EQ(e[2], 12.5f);
    EXPECT_EQ(e[3], 7.25f);
}

// Pressure response r = 1 - sqrt(1 - p'^2), p' = min(1, max(0, q) / 1024),
// and half-width 15 lin + 2 + 2r, read off the cross-section a piece leaves.
struct PenPressureCase {
    float linear;
    int32_t q;
    float r;
    float halfWidth;
};

class PenPressure : public PenTest, public ::testing::WithParamInterface<PenPressureCase> {};

TEST_P(PenPressure, GivesTheResponseAndHalfWidth) {
    const PenPressureCase& c = GetParam();
    pen.SetToolLinearSize(c.linear);
    StartAt(Pt(60, 40, c.q, 0.0f, 1.0f));
    EXPECT_NEAR(pen.PressureResponse(), c.r, 1e-5f);
    const float* e = pen.PreviousEdge();
    // Direction (0, 1): the ends lie at x -/+ w.
    EXPECT_NEAR(60.0f - e[0], c.halfWidth, 1e-4f);
    EXPECT_NEAR(e[2] - 60.0f, c.halfWidth, 1e-4f);
    EXPECT_EQ(e[1], 40.0f);
}

INSTANTIATE_TEST_SUITE_P(Table, PenPressure,
                         ::testing::Values(PenPressureCase{0.0f, 0, 0.0f, 2.0f},
                                           PenPressureCase{1.0f, 1024, 1.0f, 19.0f},
                                           PenPressureCase{0.0f, 512, 0.13397f, 2.26795f},
                                           PenPressureCase{0.3f, 512, 0.13397f, 6.76795f},
                                           PenPressureCase{1.0f, 1224, 1.0f,
                                                           19.0f}, // above full is full
                                           PenPressureCase{0.5f, -300, 0.0f, 9.5f}));

TEST_F(PenTest, StraightPieceInksEveryPixelAsTheFormulaSays) {
    pen.SetToolLinearSize(0.4f);                              // w = 6 + 2 + 2 at full pressure
    canvas.PaintPatch(gCRect(40, 0, 50, kH), 0x80FF2000u, 0); // half-covered red
    StartAt(Pt(20.0f, 30.25f, 1024));
    CLayerWords want = canvas.Copy(0);
    const CLayerWords want0 = want;
    const CLayerWords before1 = canvas.Copy(1), before2 = canvas.Copy(2), before3 = canvas.Copy(3);
    const gCRect rect = Step(Pt(60.0f, 30.25f, 1024));
    ExpectPiece(want, 20.0f, 60.0f, 30.25f, 10.0f, 1.0f, 1.0f, 0);
    EXPECT_TRUE(linetest::SameLayer(want, canvas.Copy(0), kW));
    // Only the colour layer is written.
    EXPECT_EQ(canvas.Copy(1), before1);
    EXPECT_EQ(canvas.Copy(2), before2);
    EXPECT_EQ(canvas.Copy(3), before3);
    EXPECT_EQ(pen.DabNum(), 1);
    // The area of both cross-sections, widened by 2 and then 1.
    EXPECT_EQ(rect, gCRect(17, 17, 63, 43));
    // The rows written are marked with their ring, inside the rect: row 30
    // is scanned from x 21 to 60, so marked from 20 to 61.
    EXPECT_TRUE(canvas.MarksCoverChanges({want0, before1, before2, before3}));
    EXPECT_TRUE(canvas.MarksInside(rect));
    EXPECT_EQ(canvas.Canvas().SpanStarts()->GetData()[30], 20);
    EXPECT_EQ(canvas.Canvas().SpanEnds()->GetData()[30], 61);
}

TEST_F(PenTest, TheSameColourOverItselfDarkens) {
    pen.SetToolLinearSize(0.4f);
    StartAt(Pt(20.0f, 30.25f, 1024));
    Step(Pt(60.0f, 30.25f, 1024));
    CLayerWords want = canvas.Copy(0);
    const uint32_t once = want[30 * kW + 40];
    StartAt(Pt(20.0f, 30.25f, 1024));
    Step(Pt(60.0f, 30.25f, 1024));
    ExpectPiece(want, 20.0f, 60.0f, 30.25f, 10.0f, 1.0f, 1.0f, 0);
    EXPECT_TRUE(linetest::SameLayer(want, canvas.Copy(0), kW));
    const uint32_t twice = canvas.Pixel(0, 40, 30);
    EXPECT_LT(twice >> 16 & 0xFF, once >> 16 & 0xFF);
    EXPECT_LT(twice >> 8 & 0xFF, once >> 8 & 0xFF);
    EXPECT_LT(twice & 0xFF, once & 0xFF);
}

TEST_F(PenTest, FirstPieceIsAWedgeFromTheFirstPoint) {
    pen.SetToolLinearSize(0.4f);
    ASSERT_EQ(pen.SetFirstPt(Pt(20.0f, 40.5f, 1024), 0), eNoError);
    pen.SetPrevious(Pt(20.0f, 40.5f, 1024));
    Step(Pt(60.0f, 40.5f, 1024));
    // The inked rows of each column grow from the point to the full width.
    auto inked = [&](int32_t x) {
        int32_t n = 0;
        for (int32_t y = 0; y < kH; ++y) {
            n += canvas.Pixel(0, x, y) != 0 ? 1 : 0;
        }
        return n;
    };
    EXPECT_LE(inked(21), 2);
    EXPECT_LT(inked(21), inked(30));
    EXPECT_LT(inked(30), inked(45));
    EXPECT_GE(inked(59), 18);
    EXPECT_EQ(inked(19), 0);
    EXPECT_EQ(inked(62), 0);
}

TEST_F(PenTest, EdgePixelOfTheRibbonGetsNoInk) {
    // Travel along +y: the left side runs down x = 30 + w, the right side
    // down x = 30 - w. Each row's first pixel lies on a side edge, whose
    // coverage there is 0.
    pen.SetToolLinearSize(0.4f);
    StartAt(Pt(30.3f, 10.0f, 1024, 0.0f, 1.0f));
    Step(Pt(30.3f, 60.0f, 1024, 0.0f, 1.0f));
    for (int32_t y = 15; y < 55; ++y) {
        // The right side at x = 20.3: pixel 20 starts the row.
        EXPECT_EQ(canvas.Pixel(0, 20, y), 0u) << y;
        EXPECT_NE(canvas.Pixel(0, 21, y), 0u) << y;
        EXPECT_EQ(canvas.Pixel(0, 19, y), 0u) << y;
    }
}

TEST_F(PenTest, SharpTurnPaintsAFadingCapAndAPieceFadingIn) {
    pen.SetToolLinearSize(0.4f);
    StartAt(Pt(20.0f, 50.0f, 1024));
    Step(Pt(50.0f, 50.0f, 1024));
    CLayerWords want = canvas.Copy(0);
    ASSERT_EQ(pen.ProfileFlip(), 0);
    // Turning up by 90 degrees: the cap carries the old way on by w / 2 = 5,
    // fading out; the next piece starts half a width behind the point.
    const gCRect rect = Step(Pt(50.0f, 40.0f, 1024, 0.0f, -1.0f));
    EXPECT_EQ(pen.DabNum(), 3);
    EXPECT_EQ(pen.ProfileFlip(), 1);
    ExpectPiece(want, 50.0f, 55.0f, 50.0f, 10.0f, 1.0f, 1.0f, 1);
    // The cap's far half is bare, its near end full.
    for (int32_t y = 46; y < 60; ++y) {
        EXPECT_EQ(want[size_t(y) * kW + 54], canvas.Pixel(0, 54, y)) << y;
        EXPECT_EQ(canvas.Pixel(0, 54, y), 0u) << y;
    }
    for (int32_t y = 46; y < 60; ++y) {
        EXPECT_EQ(canvas.Pixel(0, 51, y), want[size_t(y) * kW + 51]) << y;
    }
    // After the corner, over rows 41..45 from (50, 45) up to the point: no
    // ink where it starts (row 44, v = 0.2), full ink near the point (row
    // 41, v = 0.8), over what the first piece left.
    for (int32_t x = 41; x < 48; ++x) {
        EXPECT_EQ(canvas.Pixel(0, x, 44), want[44 * kW + size_t(x)]) << x;
        EXPECT_NE(canvas.Pixel(0, x, 41), want[41 * kW + size_t(x)]) << x;
    }
    // The rectangle takes in both pieces: x 40..60, y 40..60, widened by 3.
    EXPECT_EQ(rect, gCRect(37, 37, 63, 63));
}

TEST_F(PenTest, TurnOfEightyDegreesIsNoCorner) {
    pen.SetToolLinearSize(0.4f);
    StartAt(Pt(20.0f, 50.0f, 1024));
    Step(Pt(50.0f, 50.0f, 1024));
    const float a = 80.0f * 3.14159265f / 180.0f;
    Step(Pt(50.0f + 10.0f * std::cos(a), 50.0f - 10.0f * std::sin(a), 1024, std::cos(a),
            -std::sin(a)));
    EXPECT_EQ(pen.DabNum(), 2);
    EXPECT_EQ(pen.ProfileFlip(), 0);
}

TEST_F(PenTest, CornerTakesTheNextStrokePointsDirection) {
    pen.SetToolLinearSize(0.0f);
    StartAt(Pt(20.0f, 50.0f, 1024));
    Step(Pt(50.0f, 50.0f, 1024));
    // The engine holds a point after the one being rendered: the piece
    // leaves along that point's direction, here straight up.
    const CPaintTool::pointStruct p = Pt(50.0f, 40.0f, 1024, -1.0f, 0.0f);
    pen.SetStrokePoints({Pt(50.0f, 50.0f, 1024), p, Pt(50.0f, 30.0f, 1024, 0.0f, -1.0f)}, 1);
    Step(p);
    const float* e = pen.PreviousEdge(); // w = 2 + 2: left (54, 40), right (46, 40)
    EXPECT_FLOAT_EQ(e[0], 54.0f);
    EXPECT_FLOAT_EQ(e[1], 40.0f);
    EXPECT_FLOAT_EQ(e[2], 46.0f);
    EXPECT_FLOAT_EQ(e[3], 40.0f);
}

TEST_F(PenTest, WithoutLayersNothingIsPaintedAndTheStrokeStateStays) {
    CTestPens fresh;
    ASSERT_EQ(fresh.SetupTool(), eNoError);
    ASSERT_EQ(fresh.SetFirstPt(Pt(10, 10, 0), 0), eNoError);
    const CLayerSet before = canvas.CopyAll();
    gCRect rect(1, 2, 3, 4);
    EXPECT_EQ(fresh.RenderDab(Pt(30, 10, 1024), rect, &canvas.Canvas()), eOutOfMemory);
    EXPECT_EQ(fresh.Dab(Pt(30, 10, 1024), rect, &canvas.Canvas()), eOutOfMemory);
    EXPECT_EQ(pen.RenderDab(Pt(30, 10, 1024), rect, nullptr), eOutOfMemory);
    EXPECT_EQ(rect, gCRect(1, 2, 3, 4));
    EXPECT_EQ(fresh.PreviousEdge()[0], 10.0f);
    EXPECT_EQ(fresh.PreviousPressureResponse(), -1.0f);
    EXPECT_EQ(fresh.DabNum(), 0);
    EXPECT_EQ(canvas.CopyAll(), before);
}

// Dab half-side round(15 lin + 2), seen in the rectangle it returns: the
// square's box widened by 2 and then 1.
struct PenDabCase {
    float linear;
    int32_t w;
};

class PenDabSize : public PenTest, public ::testing::WithParamInterface<PenDabCase> {};

TEST_P(PenDabSize, IsRoundedFromTheLinearSize) {
    pen.SetToolLinearSize(GetParam().linear);
    ASSERT_EQ(pen.SetFirstPt(Pt(60, 45, 800), 1), eNoError);
    gCRect rect;
    ASSERT_EQ(pen.Dab(Pt(60, 45, 800), rect, &canvas.Canvas()), eNoError);
    const int32_t w = GetParam().w;
    EXPECT_EQ(rect, gCRect(57 - w, 42 - w, 63 + w, 48 + w));
    EXPECT_EQ(pen.DabNum(), 0); // a single dab is no piece
}

INSTANTIATE_TEST_SUITE_P(Table, PenDabSize,
                         ::testing::Values(PenDabCase{0.0f, 2}, PenDabCase{0.3f, 7},
                                           PenDabCase{0.5f, 10}, PenDabCase{1.0f, 17}));

TEST_F(PenTest, DabInksEachPixelOnceAsWorked) {
    pen.SetToolLinearSize(0.0f);                             // w = 2
    const CPaintTool::pointStruct p = Pt(30.0f, 20.0f, 256); // r = 0.25: half strength
    ASSERT_EQ(pen.SetFirstPt(p, 1), eNoError);
    CLayerWords want = canvas.Copy(0);
    std::vector<bool> marked(size_t(kW * kH), false);
    const std::vector<float> b = WorkedProfile();
    // Lines across from (30, 22) to (30, 18) at t steps of 1/8, each of
    // half-length round(2 B[k]) along +x, samples at s steps of 1 / 4h.
    for (float t = 0.0f; t < 1.0f; t += 0.5f / 4.0f) {
        const int32_t k = std::min(99, Rnd(100.0f * t));
        const int32_t h = Rnd(2.0f * b[size_t(k)]);
        const float qy = 22.0f + (18.0f - 22.0f) * t;
        const float sx = 30.0f + float(h), ex = 30.0f - float(h);
        const float sStep = h == 0 ? 2.0f : 0.5f / float(2 * h);
        for (float s = 0.0f; s < 1.0f; s += sStep) {
            const int32_t j = std::min(99, Rnd(100.0f * s));
            const int32_t x = int32_t(sx + (ex - sx) * s), y = int32_t(qy);
            const size_t at = size_t(y) * kW + size_t(x);
            if (marked[at]) {
                continue;
            }
            marked[at] = true;
            const int32_t a = Rnd(255.0f * b[size_t(k)] * b[size_t(j)]) & 0xFF;
            const int32_t alpha = Rnd(float(a) * b[size_t(k)] * 0.5f);
            const uint32_t red = (0x30 * 0xFF) / 256, green = (0x80 * 0xFF) / 256,
                           blue = (0xC0 * 0xFA) / 256;
            CPixel out = want[at];
            out.AlphaBlend255(alpha, uint32_t(alpha) << 24 | red << 16 | green << 8 | blue);
            want[at] = out;
        }
    }
    gCRect rect;
    ASSERT_EQ(pen.Dab(p, rect, &canvas.Canvas()), eNoError);
    EXPECT_TRUE(linetest::SameLayer(want, canvas.Copy(0), kW));
    for (int32_t y = 0; y < kH; ++y) {
        for (int32_t x = 0; x < kW; ++x) {
            EXPECT_EQ(canvas.Pixel(3, x, y) >> 16, marked[size_t(y) * kW + x] ? 1u : 0u);
        }
    }
    // A second dab in the same stroke finds every pixel marked.
    const CLayerWords once = canvas.Copy(0);
    ASSERT_EQ(pen.Dab(p, rect, &canvas.Canvas()), eNoError);
    EXPECT_EQ(canvas.Copy(0), once);
    // The ribbon may ink a pixel twice.
    StartAt(Pt(20.0f, 20.0f, 1024));
    Step(Pt(40.0f, 20.0f, 1024));
    const CLayerWords ribbonOnce = canvas.Copy(0);
    StartAt(Pt(20.0f, 20.0f, 1024));
    Step(Pt(40.0f, 20.0f, 1024));
    EXPECT_NE(canvas.Copy(0), ribbonOnce);
    // The end of the stroke clears every mark and keeps the grain copy.
    const CLayerWords grain = canvas.Copy(3);
    ASSERT_EQ(pen.DabEnd(), eNoError);
    for (size_t k = 0; k < grain.size(); ++k) {
        ASSERT_EQ(canvas.Copy(3)[k], grain[k] & 0xFFFFu);
    }
}

} // namespace
