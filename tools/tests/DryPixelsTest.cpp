// What chalk, crayon and the eraser do at each pixel: the grain rule of a
// piece, the eraser's amounts, and the single dab, against values worked
// out here from the formulas.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>

#include "paint/canvas/Canvas.h"
#include "testsupport/paint/StrokeCanvas.h"
#include "tools/dry/Chalk.h"
#include "tools/dry/Crayon.h"
#include "tools/dry/Eraser.h"
#include "tools/tests/DryToolsSupport.h"

namespace {

using namespace drytest;

// A straight piece along +x from x0 to x1, centred on row 45, half-width
// 25: its back edge is 50 long, so the brush is wide (2 slots per pixel).
// On row 45, u is 0.5 (slot 49, weight 1) and v runs 0..1 from x0 to x1.
struct SPiece {
    static constexpr float x0 = 20.0f, x1 = 80.0f, y0 = 45.0f, w = 25.0f;
    gCRPoint p1{x0, y0 + w}, p2{x0, y0 - w}, p3{x1, y0 + w}, p4{x1, y0 - w};
    // Row 45's pixels: rnd(x0 + 0.5) .. rnd(x1 - 0.5).
    static constexpr int32_t first = 21, last = 80;
    // The span parameter at each of them, grown by 1 / (x1 - x0) from
    // step x (first - x0).
    static float Sigma(int32_t x) {
        const float step = 1.0f / (x1 - x0);
        float sigma = step * (float(first) - x0);
        for (int32_t k = first; k < x; ++k) {
            sigma += step;
        }
        return sigma;
    }
};

class DryPixels : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(canvas.IsReady());
        canvas.SetColour(kBlue);
    }
    void SetGrain(const std::function<uint32_t(int32_t, int32_t)>& grain) {
        for (int32_t y = 0; y < kH; ++y) {
            for (int32_t x = 0; x < kW; ++x) {
                canvas.Pixel(1, x, y) = (canvas.Pixel(1, x, y) & 0xFFFFu) | (grain(x, y) << 16);
            }
        }
    }
    uint32_t Grain(int32_t x, int32_t y) { return canvas.Pixel(1, x, y) >> 16; }

    CStrokeCanvas canvas{kW, kH};
};

// Ridged grain 20..200 over the piece's box.
uint32_t Ridges(int32_t x, int32_t y) {
    return 20u + uint32_t((x * 13 + y * 7) % 181);
}

TEST_F(DryPixels, TheGrainDecidesWhereChalkSticks) {
    struct Case {
        const char* name;
        uint32_t (*grain)(int32_t, int32_t);
        float pressure; // the piece's response, before and after
        bool modulated;
    };
    const Case cases[] = {
        {"light on ridges", &Ridges, 0.2f, true},
        {"full on ridges", &Ridges, 1.0f, true},
        {"a valley at 0",
         [](int32_t x, int32_t y) { return x == 50 && y == 30 ? 0u : Ridges(x, y); }, 0.2f, false},
        {"flat", [](int32_t, int32_t) { return 100u; }, 0.2f, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        canvas.PaintPatch(gCRect(0, 0, kW, kH), 0u, 0u);
        SetGrain(c.grain);
        TDriven<CChalk> chalk;
        ASSERT_TRUE(chalk.Prepare(3, canvas));
        ASSERT_EQ(chalk.SetFirstPt(Pt(20.0f, 45.0f, 0, 1.0f, 0.0f), 0), eNoError);
        chalk.SetResponses(c.pressure, c.pressure);
        const SPiece piece;
        ASSERT_EQ(chalk.RenderSegment(piece.p1, piece.p2, piece.p3, piece.p4, 0), eNoError);

        // The grain range over the box: rows rnd(20.5)..rnd(70.5) - 1,
        // columns rnd(19.5)..rnd(80.5).
        uint32_t gmin = 0xFFFFu, gmax = 0;
        for (int32_t y = 21; y < 71; ++y) {
            for (int32_t x = 20; x <= 81; ++x) {
                gmin = std::min(gmin, Grain(x, y));
                gmax = std::max(gmax, Grain(x, y));
            }
        }
        const float pi = c.pressure;
        const int32_t a = Rnd(255.0f * 1.0f * pi); // alpha x w x pi
        int32_t bare = 0;
        for (int32_t x = SPiece::first; x <= SPiece::last; ++x) {
            int32_t want = a;
            if (c.modulated) {
                const float h = float(Grain(x, 45) - gmin) * (1.0f / float(gmax - gmin));
                const float g0 = 0.2f + 0.2f * pi;
                const float lift = std::max(0.0f, g0 + 0.8f * pi * 1.0f + h - 1.0f);
                want = std::min(255, Rnd(float(a) * lift / g0));
                if (pi == 0.2f && h <= 0.6f) {
                    EXPECT_EQ(want, 0);
                }
            }
            bare += want == 0;
            const uint32_t expected = want == 0 ? 0u : (0x000000FFu | (uint32_t(want) << 24));
            ASSERT_EQ(canvas.Pixel(0, x, 45), expected) << x;
        }
        if (c.modulated && pi == 0.2f) {
            EXPECT_GT(bare, 10) << "the valleys stay bare";
        } else {
            EXPECT_EQ(bare, 0) << "full pressure fills the valleys";
        }
        if (c.modulated && pi == 1.0f) {
            for (int32_t x = SPiece::first; x <= SPiece::last; ++x) {
                EXPECT_GE(canvas.Pixel(0, x, 45) >> 24, 128u) << x;
            }
        }
    }
}

TEST_F(DryPixels, TheEraserWearsDepthFirstThenAlpha) {
    canvas.PaintPatch(gCRect(0, 0, kW, kH), kRed, 200);
    TDriven<CEraser> eraser;
    ASSERT_TRUE(eraser.Prepare(5, canvas));
    ASSERT_EQ(eraser.SetFirstPt(Pt(20.0f, 45.0f, 0, 1.0f, 0.0f), 0), eNoError);
    eraser.SetResponses(1.0f, 1.0f);
    const SPiece piece;
    // Full weight and pressure on row 45: 50 a piece, depth first.
    const uint32_t depths[] = {150, 100, 50, 0, 0};
    const uint32_t alphas[] = {255, 255, 255, 205, 155};
    for (int32_t n = 0; n < 5; ++n) {
        SCOPED_TRACE(n);
        ASSERT_EQ(eraser.RenderSegment(piece.p1, piece.p2, piece.p3, piece.p4, 0), eNoError);
        for (int32_t x = SPiece::first; x <= SPiece::last; ++x) {
            ASSERT_EQ(canvas.Pixel(1, x, 45) & 0xFFFFu, depths[n]) << x;
            ASSERT_EQ(canvas.Pixel(0, x, 45), (alphas[n] << 24) | 0xFF0000u) << x;
        }
    }

    // Pressure rising along a piece on flat colour: pi = mu / 256 with
    // mu = rnd(255 v), so the amount rnd(50 mu / 256) grows from 0.
    canvas.PaintPatch(gCRect(0, 0, kW, kH), kRed, 0);
    eraser.SetResponses(0.0f, 1.0f);
    ASSERT_EQ(eraser.RenderSegment(piece.p1, piece.p2, piece.p3, piece.p4, 0), eNoError);
    for (int32_t x = SPiece::first; x <= SPiece::last; ++x) {
        const int32_t mu = Rnd(std::clamp(255.0f * SPiece::Sigma(x), 0.0f, 255.0f));
        const uint32_t amount = uint32_t(Rnd(1.0f * 50.0f * (float(mu) / 256.0f) * 1.0f));
        ASSERT_EQ(canvas.Pixel(0, x, 45), ((255u - amount) << 24) | 0xFF0000u) << x;
    }
    EXPECT_EQ(canvas.Pixel(0, SPiece::last, 45) >> 24, 255u - 50u); // mu 255 at the end
}

TEST_F(DryPixels, NoPieceErasesMoreThanFifty) {
    TDriven<CEraser> eraser;
    ASSERT_TRUE(eraser.Prepare(5, canvas));
    eraser.SetToolLinearSize(0.7f);
    // Pieces of every slant at full pressure, with the ramps of their
    // sides: the first (on the collapsed edge) is wiped out again.
    for (int32_t k = 0; k < 12; ++k) {
        const float a = float(k) * 0.5f;
        const float dx = std::cos(a), dy = std::sin(a);
        const auto from = Pt(60.0f - 8.0f * dx, 45.0f - 8.0f * dy, 1024, dx, dy);
        ASSERT_EQ(eraser.Start(from), eNoError);
        ASSERT_EQ(eraser.Render(from, &canvas.Canvas()), eNoError);
        canvas.PaintPatch(gCRect(0, 0, kW, kH), kRed, 0);
        ASSERT_EQ(eraser.Render(Pt(60.0f, 45.0f, 1024, dx, dy), &canvas.Canvas()), eNoError);
        uint32_t lowest = 255;
        for (int32_t y = 0; y < kH; ++y) {
            for (int32_t x = 0; x < kW; ++x) {
                lowest = std::min(lowest, canvas.Pixel(0, x, y) >> 24);
            }
        }
        EXPECT_GE(lowest, 205u) << k;
        EXPECT_LE(lowest, 210u) << k;
        ASSERT_EQ(eraser.DabEnd(), eNoError);
    }
}

} // namespace
