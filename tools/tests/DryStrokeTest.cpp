// Whole strokes of chalk, crayon and the eraser through the stroke engine:
// what the brush carries, the seeded fuzz of what each tool may write and
// that undo restores every layer, and the golden pictures.

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "paint/canvas/Canvas.h"
#include "testsupport/FileIO/TempVolume.h"
#include "testsupport/paint/StrokeCanvas.h"
#include "testsupport/paint/StrokeRecipes.h"
#include "tools/dry/Chalk.h"
#include "tools/dry/Crayon.h"
#include "tools/dry/Eraser.h"
#include "tools/tests/DryToolsSupport.h"
#include "tools/tests/StrokeTestSupport.h"

namespace {

constexpr uint32_t kBlue = 0xFF1030E0u;
constexpr uint32_t kRed = 0xFFE01010u;

using stroketest::MakeTool;

// The mean red of the stroke's marks on bare paper right of column x0.
struct SMarks {
    int32_t count = 0;
    int32_t pure = 0; // exactly the stroke colour's RGB
    double red = 0.0;
};
SMarks MarksRightOf(CStrokeCanvas& canvas, int32_t x0, uint32_t colour) {
    SMarks m;
    for (int32_t y = 0; y < canvas.Height(); ++y) {
        for (int32_t x = x0; x < canvas.Width(); ++x) {
            const uint32_t c = canvas.Pixel(0, x, y);
            if ((c >> 24) == 0) {
                continue;
            }
            ++m.count;
            m.pure += (c & 0xFFFFFFu) == (colour & 0xFFFFFFu);
            m.red += double((c >> 16) & 0xFFu);
        }
    }
    if (m.count) {
        m.red /= m.count;
    }
    return m;
}

TEST(DryStroke, ChalkLaysOnlyItsColourAndCrayonCarriesRedAlong) {
    double carried[2] = {0.0, 0.0};
    for (int32_t heavy = 0; heavy < 2; ++heavy) {
        for (int32_t crayonTool = 0; crayonTool < 2; ++crayonTool) {
            SCOPED_TRACE(std::string(crayonTool ? "crayon" : "chalk") +
                         (heavy ? " heavy" : " light"));
            CStrokeCanvas canvas(240, 120);
            ASSERT_TRUE(canvas.IsReady());
            canvas.PaintPatch(gCRect(0, 0, 100, 120), kRed, 0);
            canvas.SetColour(kBlue);
            std::unique_ptr<CPaintTool> tool;
            if (crayonTool) {
                tool = MakeTool<CCrayon>(eToolCrayon);
            } else {
                tool = MakeTool<CChalk>(eToolChalk);
            }
            ASSERT_NE(tool, nullptr);
            const double p = heavy ? 0.8 : 0.5;
            const CStroke stroke = StrokeRecipes::ZigZag(1, 200.0, 0.0, 2.0, 20.0, 60.0, p, p);
            ASSERT_EQ(canvas.Run(*tool, stroke), eNoError);
            const SMarks marks = MarksRightOf(canvas, 110, kBlue);
            ASSERT_GT(marks.count, 500);
            if (!crayonTool) {
                EXPECT_EQ(marks.pure, marks.count) << "chalk picks up nothing";
            } else {
                EXPECT_LT(marks.pure, marks.count);
                EXPECT_GT(marks.red, double((kBlue >> 16) & 0xFFu));
                carried[heavy] = marks.red;
            }
        }
    }
    // Up to about 0.8 the refill stays at its floor of 0.01 and the pick-up
    // (0.4 x the response) decides; beyond it the refill (response^5 x
    // profile) washes the middle slots back to the stroke colour.
    EXPECT_GT(carried[1], carried[0]) << "more red at higher pressure";
}

// Seeded strokes of every kind (random walks with corners and jumps past
// the edges, clicks, flicks) at linear sizes 0..1 with the brush either way
// round, over a grained canvas with thick and flat paint: each tool writes
// only what it may, leaves no mark, and undo restores all four layers.
TEST(DryStroke, SeededStrokesKeepTheRulesAndUndoRestoresEveryLayer) {
    constexpr int32_t kW = 160, kH = 120;
    int32_t painted = 0, runCount = 0;
    for (uint32_t seed = 1; seed <= 24; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        CStrokeCanvas canvas(kW, kH, seed);
        ASSERT_TRUE(canvas.IsReady());
        canvas.PaintStripes(23, {kRed, 0x8040C040u, 0u, 0xFF202020u}, 0);
        canvas.PaintPatch(gCRect(30, 20, 110, 70), 0xFFC08020u, 300);
        canvas.PaintPatch(gCRect(90, 60, 150, 110), 0xD01070A0u, 40);
        canvas.SetColour(seed % 3 == 0 ? 0x90306090u : kBlue);

        std::mt19937 random(seed);
        CStroke stroke;
        switch (seed % 6) {
        case 0:
            stroke = StrokeRecipes::Click(double(random() % kW), double(random() % kH),
                                          double(random() % 1225u) / 1024.0);
            break;
        case 1:
            stroke = StrokeRecipes::Flick(double(random() % kW), double(random() % kH),
                                          double(random() % 1225u) / 1024.0);
            break;
        default:
            stroke = StrokeRecipes::RandomWalk(seed, 30 + int32_t(random() % 60u), kW, kH);
            break;
        }
        const float linear = float(seed % 5) / 4.0f;
        const int32_t flip = int32_t(seed / 2 % 2);

        auto chalk = MakeTool<CChalk>(eToolChalk);
        auto crayon = MakeTool<CCrayon>(eToolCrayon);
        auto eraser = MakeTool<CEraser>(eToolEraser);
        ASSERT_TRUE(chalk && crayon && eraser);
        const struct {
            CPaintTool* tool;
            EToolWrites kind;
        } runs[] = {{chalk.get(), EToolWrites::eDryColour},
                    {crayon.get(), EToolWrites::eDryColour},
                    {eraser.get(), EToolWrites::eEraser}};
        for (const auto& run : runs) {
            SCOPED_TRACE(U(run.tool->Name()));
            run.tool->SetToolLinearSize(linear);
            run.tool->SetProfileFlip(flip);
            const CLayerSet before = canvas.CopyAll();
            CLayerSet after;
            EXPECT_TRUE(canvas.StrokeKeepsRules(*run.tool, stroke, run.kind, &after));
            painted += after != before;
            EXPECT_EQ(run.tool->StrokeNum(), 1);
            ++runCount;
            if (canvas.CopyAll() != before) {
                break; // reported above
            }
        }
    }
    EXPECT_GE(painted * 10, runCount * 9) << "most strokes change the canvas";
}

} // namespace
