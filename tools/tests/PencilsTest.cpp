// The pencil's own operations: its tips by style, the pressure tables, the
// ribbon's pieces worked pixel by pixel from the formulas (lead density,
// grain, flattened relief, ragged corners), and the single stamp.

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "foundation/Rounding.h"
#include "imaging/Pixel.h"
#include "imaging/ValueNoise.h"
#include "paint/canvas/Canvas.h"
#include "testsupport/paint/StrokeCanvas.h"
#include "tools/ribbon/Pencils.h"
#include "tools/tests/LineFixtures.h"

namespace {

using linetest::Pt;
using linetest::Rnd;

class CTestPencils : public linetest::CEngineSeam<CPencils> {
public:
    // Where the corner noise is read: a test may start it anywhere.
    void SetNoisePosition(uint32_t position) { m_nNoisePosition = position; }
};

// The tip as the table gives it.
float WorkedTip(int32_t style, int32_t k) {
    if (style != 0) {
        return float(k) * 0.01010101f;
    }
    return k < 48 ? float(k) / 48.0f : (k <= 51 ? 1.0f : 1.0f - float(k - 51) / 48.0f);
}

class PencilTest : public linetest::TLineToolTest<CTestPencils> {
protected:
    PencilTest() : TLineToolTest(eToolPencils, 0xFF202838u) {}

    // Every pixel's grain (L1's high half; the copy in L3 kept equal).
    void SetGrain(uint32_t (*grain)(int32_t x, int32_t y)) {
        for (int32_t y = 0; y < kH; ++y) {
            for (int32_t x = 0; x < kW; ++x) {
                const uint32_t g = grain(x, y);
                canvas.Pixel(1, x, y) = (g << 16) | (canvas.Pixel(1, x, y) & 0xFFFFu);
                canvas.Pixel(3, x, y) = g;
            }
        }
    }

    // The pencil's pixel rule over a straight piece along +x of half-width
    // w, applied to the colour and height layers.
    void ExpectPiece(CLayerWords& colours, CLayerWords& heights, float x0, float x1, float c,
                     float w, float r0, float r, int32_t taper, int32_t style, bool flip,
                     uint32_t noise) {
        // The grain range over the rows and the columns the spans reach.
        uint32_t lowest = 0xFFFFFFFFu, highest = 0;
        const int32_t top = std::max(0, Rnd(c - w + 0.5f));
        const int32_t bottom = std::min(kH, Rnd(c + w + 0.5f));
        for (int32_t y = top; y < bottom; ++y) {
            for (int32_t x = std::max(0, Rnd(x0 - 0.5f)); x <= std::min(kW - 1, Rnd(x1 + 0.5f));
                 ++x) {
                const uint32_t g = heights[size_t(y) * kW + size_t(x)] >> 16;
                lowest = std::min(lowest, g);
                highest = std::max(highest, g);
            }
        }
        linetest::ForEachStraightPixel(
            x0, x1, c, w, kW, kH, [&](const linetest::SStraightPixel& px) {
                const size_t at = size_t(px.y) * kW + size_t(px.x);
                const float u = flip ? 1.0f - px.u : px.u;
                const int32_t k = std::clamp(int32_t(u * 98.0f), 0, 98);
                const float V = RoundHalfAway(std::clamp(px.v * 255.0f, 0.0f, 255.0f));
                const float f = r0 + (r - r0) * V / 256.0f;
                const float q = std::min(1.0f, f * f);
                float p = WorkedTip(style, k) * (1.0f - std::sqrt(1.0f - q));
                int32_t a = Rnd(float(colour >> 24) * p);
                if (style == 1) {
                    p = std::min(p, 0.7f);
                }
                a = Rnd(float(a % 256) * p);
                if (lowest < highest) {
                    const float g = float(highest - (heights[at] >> 16)) / float(highest - lowest);
                    if (p < g) {
                        a = Rnd(float(a % 256) * p / g);
                    }
                }
                if (taper != 0) {
                    const float wv = taper == 1 ? px.vMid : 1.0f - px.vMid;
                    const uint32_t x = noise + uint32_t(Rnd(800000.0f * wv * 0.0001f));
                    const int32_t y = Rnd(800000.0f * (2.0f * px.uMid - 1.0f));
                    const float t = std::exp(-((3.5f * wv) * (3.5f * wv)) / 2.0f) +
                                    0.95f * 0.5f * float(ValueNoise(int32_t(x), y)) / 65535.0f;
                    a = t <= 0.5f ? 0 : (t < 0.73f ? Rnd(float(a) * (t - 0.5f) / 0.23f) : a);
                }
                CPixel out = colours[at];
                out.AlphaBlend255(a, (colour & 0xFFFFFFu) | uint32_t(a) << 24);
                colours[at] = out;
                heights[at] &= 0xFFFF0000u;
            });
    }

    CTestPencils& pencil = tool;
};

TEST_F(PencilTest, TipProfilesByStyle) {
    for (int32_t style : {0, 1, 2, 7}) {
        pencil.SetToolStyle(style);
        ASSERT_EQ(pencil.SetFirstPt(Pt(5, 5, 0), 0), eNoError);
        for (int32_t k = 0; k < 100; ++k) {
            EXPECT_EQ(pencil.TipProfile()[k], WorkedTip(style, k)) << style << " " << k;
        }
    }
    pencil.SetToolStyle(0);
    ASSERT_EQ(pencil.SetFirstPt(Pt(5, 5, 0), 0), eNoError);
    const float* p = pencil.TipProfile();
    EXPECT_EQ(p[24], 0.5f);
    for (int32_t k = 48; k <= 51; ++k) {
        EXPECT_EQ(p[k], 1.0f);
    }
    EXPECT_EQ(p[99], 0.0f);
    EXPECT_EQ(p[0], 0.0f);
}

// Ribbon response r = min(max pencil pressure, max(0, q) / 1024), linear;
// half-width 5 lin + 1, or 12 lin + 2 for style 1.
struct PencilPressureCase {
    float linear;
    int32_t style;
    float maxPressure;
    int32_t q;
    float r;
    float halfWidth;
};

class PencilPressure : public PencilTest,
                       public ::testing::WithParamInterface<PencilPressureCase> {};

TEST_P(PencilPressure, GivesTheResponseAndHalfWidth) {
    const PencilPressureCase& c = GetParam();
    pencil.SetToolLinearSize(c.linear);
    pencil.SetToolStyle(c.style);
    pencil.SetMaxPencilPressure(c.maxPressure);
    StartAt(Pt(60, 40, c.q, 0.0f, 1.0f));
    EXPECT_FLOAT_EQ(pencil.PressureResponse(), c.r);
    EXPECT_NEAR(60.0f - pencil.PreviousEdge()[0], c.halfWidth, 1e-5f);
    EXPECT_NEAR(pencil.PreviousEdge()[2] - 60.0f, c.halfWidth, 1e-5f);
}

INSTANTIATE_TEST_SUITE_P(Table, PencilPressure,
                         ::testing::Values(PencilPressureCase{0.0f, 0, 1.0f, 0, 0.0f, 1.0f},
                                           PencilPressureCase{1.0f, 0, 1.0f, 1224, 1.0f, 6.0f},
                                           PencilPressureCase{1.0f, 0, 1.1f, 1224, 1.1f, 6.0f},
                                           PencilPressureCase{0.5f, 0, 1.1f, 1126,
                                                              1126.0f / 1024.0f, 3.5f},
                                           PencilPressureCase{0.5f, 0, 1.1f, 512, 0.5f, 3.5f},
                                           PencilPressureCase{0.5f, 1, 1.0f, 512, 0.5f, 8.0f},
                                           PencilPressureCase{0.5f, 2, 1.0f, -40, 0.0f, 3.5f},
                                           PencilPressureCase{1.0f, 1, 1.0f, 1024, 1.0f, 14.0f}));

// A straight piece on the test grain over a painted patch, worked pixel by
// pixel, for each style and a pressure ramp.
struct PencilPieceCase {
    const char* name;
    int32_t style;
    float linear;
    int32_t q0, q1;
    bool flip;
};

void PrintTo(const PencilPieceCase& c, std::ostream* os) {
    *os << c.name;
}

class PencilPiece : public PencilTest, public ::testing::WithParamInterface<PencilPieceCase> {};

TEST_P(PencilPiece, LaysTheLeadAsWorked) {
    const PencilPieceCase& c = GetParam();
    pencil.SetToolStyle(c.style);
    pencil.SetToolLinearSize(c.linear);
    pencil.SetProfileFlip(c.flip ? 1 : 0);
    canvas.PaintPatch(gCRect(30, 20, 50, 50), 0xC0E0A040u, 700);
    const float w = c.style == 1 ? 12.0f * c.linear + 2.0f : 5.0f * c.linear + 1.0f;
    StartAt(Pt(20.0f, 35.5f, c.q0));
    CLayerWords colours = canvas.Copy(0), heights = canvas.Copy(1);
    const CLayerWords finish = canvas.Copy(2), marks = canvas.Copy(3);
    Step(Pt(70.0f, 35.5f, c.q1));
    ExpectPiece(colours, heights, 20.0f, 70.0f, 35.5f, w, float(c.q0) / 1024.0f,
                float(c.q1) / 1024.0f, 0, c.style, c.flip, 0);
    EXPECT_TRUE(linetest::SameLayer(colours, canvas.Copy(0), kW));
    EXPECT_TRUE(linetest::SameLayer(heights, canvas.Copy(1), kW));
    EXPECT_EQ(canvas.Copy(2), finish);
    EXPECT_EQ(canvas.Copy(3), marks); // no marks outside the single dab
    EXPECT_EQ(pencil.NoisePosition(), uint32_t(Rnd(float(c.q1) / 1024.0f * 20.0f + 5.5f)));
}

INSTANTIATE_TEST_SUITE_P(
    Table, PencilPiece,
    ::testing::Values(PencilPieceCase{"TentFull", 0, 1.0f, 1024, 1024, false},
                      PencilPieceCase{"TentRamp", 0, 1.0f, 200, 900, false},
                      PencilPieceCase{"WideFull", 1, 0.5f, 1024, 1024, false},
                      PencilPieceCase{"WideFlipped", 1, 0.5f, 1024, 1024, true},
                      PencilPieceCase{"RampNarrow", 2, 1.0f, 700, 400, false}),
    [](const ::testing::TestParamInfo<PencilPieceCase>& info) { return info.param.name; });

TEST_F(PencilTest, LightLeadColoursThePeaksAndFullLeadFillsTheValleys) {
    // Grain in columns: peaks (200) on even x, valleys (40) on odd x.
    SetGrain([](int32_t x, int32_t) { return x % 2 == 0 ? 200u : 40u; });
    pencil.SetToolLinearSize(1.0f);
    // Along the middle row (u = 0.5, P = 1) a light stroke has P' = 0.27:
    // a = round(round(255 P') P') = 19 on a peak, round(19 P') = 5 in a
    // valley, where the grain's depth g is 1.
    StartAt(Pt(20.0f, 30.0f, 700));
    Step(Pt(70.0f, 30.0f, 700));
    for (int32_t x = 24; x < 66; x += 2) {
        EXPECT_EQ(canvas.Pixel(0, x, 30) >> 24, 19u) << x;
        EXPECT_EQ(canvas.Pixel(0, x + 1, 30) >> 24, 5u) << x;
    }
    // At full pressure P' = 1 there: peaks and valleys alike fill.
    StartAt(Pt(20.0f, 60.0f, 1024));
    Step(Pt(70.0f, 60.0f, 1024));
    for (int32_t x = 24; x < 66; ++x) {
        EXPECT_EQ(canvas.Pixel(0, x, 60), colour) << x;
    }
}

TEST_F(PencilTest, FlatGrainDoesNotWeaken) {
    pencil.SetToolLinearSize(1.0f);
    std::vector<CLayerWords> results;
    for (uint32_t (*grain)(int32_t, int32_t) :
         {+[](int32_t, int32_t) { return 0u; }, +[](int32_t, int32_t) { return 77u; }}) {
        canvas.PaintPatch(gCRect(0, 0, kW, kH), 0, 0);
        SetGrain(grain);
        StartAt(Pt(20.0f, 35.5f, 400));
        CLayerWords colours = canvas.Copy(0), heights = canvas.Copy(1);
        Step(Pt(70.0f, 35.5f, 400));
        // Worked without any grain weakening.
        ExpectPiece(colours, heights, 20.0f, 70.0f, 35.5f, 6.0f, 400.0f / 1024.0f, 400.0f / 1024.0f,
                    0, 0, false, 0);
        EXPECT_TRUE(linetest::SameLayer(colours, canvas.Copy(0), kW));
        results.push_back(canvas.Copy(0));
    }
    EXPECT_EQ(results[0], results[1]);
}

TEST_F(PencilTest, ClearsTheDepthAlongThePathAlsoWhereItLaysNothing) {
    canvas.PaintPatch(gCRect(0, 0, kW, kH), 0x80406080u, 1234);
    const CLayerWords colours = canvas.Copy(0), finish = canvas.Copy(2);
    pencil.SetToolLinearSize(1.0f);
    StartAt(Pt(20.0f, 35.5f, 0));
    Step(Pt(70.0f, 35.5f, 0)); // no pressure: no lead
    EXPECT_EQ(canvas.Copy(0), colours);
    EXPECT_EQ(canvas.Copy(2), finish);
    for (int32_t y = 0; y < kH; ++y) {
        for (int32_t x = 0; x < kW; ++x) {
            const bool onPath = y >= 30 && y <= 41 && x >= 21 && x <= 70;
            EXPECT_EQ(canvas.Pixel(1, x, y) & 0xFFFFu, onPath ? 0u : 1234u) << x << "," << y;
        }
    }
}

TEST_F(PencilTest, WideStyleIsWiderAndNeverDenserThanSevenTenths) {
    pencil.SetToolLinearSize(0.5f);
    pencil.SetToolStyle(1);
    StartAt(Pt(20.0f, 35.5f, 1024));
    Step(Pt(70.0f, 35.5f, 1024));
    uint32_t densest = 0;
    int32_t rows = 0;
    for (int32_t y = 0; y < kH; ++y) {
        densest = std::max(densest, canvas.Pixel(0, 45, y) >> 24);
        rows += canvas.Pixel(0, 45, y) != 0 ? 1 : 0;
    }
    EXPECT_LE(densest, uint32_t(Rnd(255.0f * 0.7f)));
    EXPECT_GT(densest, 150u);
    EXPECT_GE(rows, 13); // 8 each side, the thinnest edge bare
}

TEST_F(PencilTest, CornerFlipsTheWideTipAndRoughensItsEnds) {
    pencil.SetToolLinearSize(0.5f); // w = 8
    pencil.SetToolStyle(1);
    // Noise positions just below 2^31 and 2^32: the cap's noise is read
    // across the signed edge and across the wrap.
    for (const uint32_t start : {0x7FFFFFD0u, 0xFFFFFFD0u}) {
        SCOPED_TRACE(start);
        canvas.PaintPatch(gCRect(0, 0, kW, kH), 0, 0);
        pencil.SetProfileFlip(0);
        pencil.SetNoisePosition(start);
        StartAt(Pt(20.0f, 50.0f, 1024));
        Step(Pt(50.0f, 50.0f, 1024));
        // Each piece moves the noise on by round(20 r + 5.5) = 26.
        EXPECT_EQ(pencil.NoisePosition(), start + 26u);
        // On the way out the ramp tip is dense on the right of the travel, up.
        EXPECT_GT(canvas.Pixel(0, 30, 43) >> 24, 100u);
        EXPECT_LT(canvas.Pixel(0, 30, 57) >> 24, 10u);
        CLayerWords colours = canvas.Copy(0), heights = canvas.Copy(1);
        // A right turn down: the cap goes on along +x by w / 2, ragged at
        // its far end; the next piece leaves down from (50, 56) to the point.
        Step(Pt(50.0f, 60.0f, 1024, 0.0f, 1.0f));
        EXPECT_EQ(pencil.ProfileFlip(), 1);
        EXPECT_EQ(pencil.DabNum(), 3);
        EXPECT_EQ(pencil.NoisePosition(), start + 78u);
        ExpectPiece(colours, heights, 50.0f, 54.0f, 50.0f, 8.0f, 1.0f, 1.0f, 1, 1, false,
                    start + 26u);
        for (int32_t y = 40; y < 57; ++y) {
            for (int32_t x = 50; x < 57; ++x) {
                EXPECT_EQ(canvas.Pixel(0, x, y), colours[size_t(y) * kW + size_t(x)])
                    << x << "," << y;
            }
        }
        // Mirrored, the tip is dense on the left of the new travel (west),
        // where without the flip it would be thin.
        EXPECT_GT(canvas.Pixel(0, 43, 60) >> 24, 100u);
        EXPECT_LT(canvas.Pixel(0, 57, 60) >> 24, 10u);
    }
    EXPECT_EQ(pencil.NoisePosition(), 30u); // 0xFFFFFFD0 + 78, wrapped
}

TEST_F(PencilTest, ColourChangeShowsInTheNextPiece) {
    pencil.SetToolLinearSize(1.0f);
    StartAt(Pt(10.0f, 35.0f, 1024));
    Step(Pt(40.0f, 35.0f, 1024));
    canvas.SetColour(0xFFC02010u);
    Step(Pt(70.0f, 35.0f, 1024));
    EXPECT_EQ(canvas.Pixel(0, 25, 35), colour);
    EXPECT_EQ(canvas.Pixel(0, 55, 35), 0xFFC02010u);
}

TEST_F(PencilTest, MaxPressureAboveOneKeepsTheDensityCapped) {
    pencil.SetToolLinearSize(1.0f);
    StartAt(Pt(20.0f, 35.5f, 1024));
    Step(Pt(70.0f, 35.5f, 1024));
    const CLayerWords atOne = canvas.Copy(0);
    canvas.PaintPatch(gCRect(0, 0, kW, kH), 0, 0);
    pencil.SetMaxPencilPressure(1.1f);
    StartAt(Pt(20.0f, 35.5f, 1224));
    Step(Pt(70.0f, 35.5f, 1224));
    EXPECT_FLOAT_EQ(pencil.PressureResponse(), 1.1f);
    EXPECT_EQ(canvas.Copy(0), atOne);
    pencil.SetMaxPencilPressure(NAN);
    EXPECT_EQ(pencil.MaxPencilPressure(), 1.0f);
}

// Dab half-side round(4 lin + 0.3 r + 0.5), doubled for style 1, with
// r = min(1, q / 1024) whatever the maximum pencil pressure.
struct PencilDabCase {
    float linear;
    int32_t style;
    int32_t q;
    int32_t w;
};

class PencilDabSize : public PencilTest, public ::testing::WithParamInterface<PencilDabCase> {};

TEST_P(PencilDabSize, IsRoundedFromSizeAndPressure) {
    const PencilDabCase& c = GetParam();
    pencil.SetToolLinearSize(c.linear);
    pencil.SetToolStyle(c.style);
    pencil.SetMaxPencilPressure(1.1f);
    ASSERT_EQ(pencil.SetFirstPt(Pt(60, 45, c.q), 1), eNoError);
    gCRect rect;
    ASSERT_EQ(pencil.Dab(Pt(60, 45, c.q), rect, &canvas.Canvas()), eNoError);
    EXPECT_EQ(rect, gCRect(57 - c.w, 42 - c.w, 63 + c.w, 48 + c.w));
    EXPECT_LE(pencil.PressureResponse(), 1.0f);
}

INSTANTIATE_TEST_SUITE_P(Table, PencilDabSize,
                         ::testing::Values(PencilDabCase{0.0f, 0, 0, 1},
                                           PencilDabCase{1.0f, 0, 1024, 5},
                                           PencilDabCase{1.0f, 1, 1024, 10},
                                           PencilDabCase{0.42f, 0, 1224, 2}, // r held at 1
                                           PencilDabCase{0.5f, 2, 512, 3},
                                           PencilDabCase{0.0f, 0, -5000, 1})); // no negative size

TEST_F(PencilTest, DabStampsRoundOncePerPixelAndAdvancesTheNoiseBySample) {
    SetGrain([](int32_t x, int32_t y) { return uint32_t((x * 7 + y * 13) % 90); });
    canvas.PaintPatch(gCRect(0, 0, kW, kH), 0, 321);
    pencil.SetToolLinearSize(0.5f); // w = round(2 + 0.15 + 0.5) = 3
    const CPaintTool::pointStruct p = Pt(30.0f, 20.0f, 512);
    ASSERT_EQ(pencil.SetFirstPt(p, 1), eNoError);
    const float* tip = pencil.TipProfile();
    CLayerWords colours = canvas.Copy(0), heights = canvas.Copy(1);
    std::vector<bool> marked(size_t(kW * kH), false);
    // The grain range from the pen-like sampling: lines across from (30, 23)
    // to (30, 17), half-length round(3 P[k]) along +x.
    uint32_t lowest = 0xFFFFFFFFu, highest = 0;
    for (float t = 0.0f; t < 1.0f; t += 0.5f / 6.0f) {
        const int32_t h = Rnd(3.0f * tip[std::min(99, Rnd(100.0f * t))]);
        const float qy = 23.0f + (17.0f - 23.0f) * t;
        for (float s = 0.0f; s < 1.0f; s += h == 0 ? 2.0f : 0.5f / float(2 * h)) {
            const float x = (30.0f + float(h)) + ((30.0f - float(h)) - (30.0f + float(h))) * s;
            const uint32_t g = heights[size_t(qy) * kW + size_t(x)] >> 16;
            lowest = std::min(lowest, g);
            highest = std::max(highest, g);
        }
    }
    uint32_t samples = 0;
    for (float t = 0.0f; t < 1.0f; t += 0.5f / 6.0f) {
        const float qy = 23.0f + (17.0f - 23.0f) * t;
        for (float s = 0.0f; s < 1.0f; s += 0.5f / 6.0f) {
            ++samples;
            const float x = 33.0f + (27.0f - 33.0f) * s;
            const size_t at = size_t(qy) * kW + size_t(x);
            if (marked[at]) {
                continue;
            }
            marked[at] = true;
            const float d = std::sqrt((2 * t - 1) * (2 * t - 1) + (2 * s - 1) * (2 * s - 1));
            const int32_t k = std::min(99, Rnd(50.0f * d) + 49);
            const float g = (float(highest) - float(heights[at] >> 16)) /
                            float(std::max<int32_t>(1, int32_t(highest - lowest)));
            const float lead = tip[k] * 0.5f;
            int32_t a = Rnd(255.0f * lead) % 256;
            if (lead < g) {
                a = Rnd(float(a) * lead / g);
            }
            CPixel out = colours[at];
            out.AlphaBlend255(a, (colour & 0xFFFFFFu) | uint32_t(a) << 24);
            colours[at] = out;
            heights[at] &= 0xFFFF0000u;
        }
    }
    gCRect rect;
    ASSERT_EQ(pencil.Dab(p, rect, &canvas.Canvas()), eNoError);
    EXPECT_TRUE(linetest::SameLayer(colours, canvas.Copy(0), kW));
    EXPECT_TRUE(linetest::SameLayer(heights, canvas.Copy(1), kW));
    EXPECT_EQ(pencil.NoisePosition(), 50u * samples);
    for (int32_t y = 0; y < kH; ++y) {
        for (int32_t x = 0; x < kW; ++x) {
            ASSERT_EQ(canvas.Pixel(3, x, y) >> 16, marked[size_t(y) * kW + x] ? 1u : 0u);
        }
    }
    // Once per pixel a stroke.
    const CLayerWords once = canvas.Copy(0);
    ASSERT_EQ(pencil.Dab(p, rect, &canvas.Canvas()), eNoError);
    EXPECT_EQ(canvas.Copy(0), once);
}

TEST_F(PencilTest, WithoutLayersNothingIsPainted) {
    CTestPencils fresh;
    ASSERT_EQ(fresh.SetupTool(), eNoError);
    ASSERT_EQ(fresh.SetFirstPt(Pt(10, 10, 0), 0), eNoError);
    gCRect rect;
    EXPECT_EQ(fresh.RenderDab(Pt(30, 10, 1024), rect, &canvas.Canvas()), eOutOfMemory);
    EXPECT_EQ(fresh.Dab(Pt(30, 10, 1024), rect, &canvas.Canvas()), eOutOfMemory);
    EXPECT_EQ(fresh.PreviousEdge()[0], 10.0f);
    EXPECT_EQ(fresh.NoisePosition(), 0u);
}

} // namespace
