// What a stroke marks for relighting covers everything it changed: for every
// painting tool, the composite lit piece by piece during the stroke equals
// one lit whole afterwards, over strokes with sharp turns, a wandering one
// and a flick; and the rows a tool writes are marked with their ring, not
// the pieces' boxes.

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>

#include "imaging/ImNav.h"
#include "paint/ToolId.h"
#include "paint/canvas/Canvas.h"
#include "paint/relight/Renderer.h"
#include "testsupport/paint/StrokeCanvas.h"
#include "testsupport/paint/StrokeRecipes.h"
#include "tools/detail/WrittenRows.h"
#include "tools/dry/Chalk.h"
#include "tools/dry/Crayon.h"
#include "tools/dry/Eraser.h"
#include "tools/ribbon/Pencils.h"
#include "tools/ribbon/Pens.h"
#include "tools/tests/StrokeTestSupport.h"
#include "tools/wet/OilPaint.h"
#include "tools/wet/PaletteKnife.h"

namespace {

using stroketest::MakeTool;

constexpr uint32_t kBlue = 0xFF1030E0u;
constexpr uint32_t kRed = 0xFFE01010u;

std::unique_ptr<CPaintTool> MakeAnyTool(int32_t id) {
    switch (id) {
    case eToolChalk:
        return MakeTool<CChalk>(id);
    case eToolCrayon:
        return MakeTool<CCrayon>(id);
    case eToolEraser:
        return MakeTool<CEraser>(id);
    case eToolOilPaint:
        return MakeTool<COilPaint>(id);
    case eToolPaletteKnife:
        return MakeTool<CPaletteKnife>(id);
    case eToolPens:
        return MakeTool<CPens>(id);
    default:
        return MakeTool<CPencils>(id);
    }
}

TEST(RelitSpans, TheCompositeLitDuringAStrokeEqualsOneLitWhole) {
    const CStroke strokes[] = {
        StrokeRecipes::ZigZag(5, 50.0, 100.0, 2.0, 30.0, 30.0, 0.4, 1.1),
        StrokeRecipes::RandomWalk(7, 60, 160.0, 120.0),
        StrokeRecipes::Flick(3.0, 3.0, 0.9),
        StrokeRecipes::FigureEight(200, 160, 120),
    };
    for (int32_t id : {eToolChalk, eToolCrayon, eToolEraser, eToolOilPaint, eToolPaletteKnife,
                       eToolPens, eToolPencils}) {
        for (const CStroke& stroke : strokes) {
            CStrokeCanvas canvas(160, 120, 3);
            ASSERT_TRUE(canvas.IsReady());
            canvas.PaintStripes(17, {kRed, 0x8040C040u, 0u}, 30);
            canvas.SetColour(kBlue);
            CRenderer* renderer = canvas.Backbone().CurrentRenderer();
            ASSERT_NE(renderer, nullptr);
            ASSERT_EQ(renderer->Render(canvas.Canvas().Composite(), canvas.Canvas(), 1), eNoError);
            std::unique_ptr<CPaintTool> tool = MakeAnyTool(id);
            ASSERT_NE(tool, nullptr);
            tool->SetToolLinearSize(0.2f);
            const CLayerSet before = canvas.CopyAll();
            ASSERT_EQ(canvas.Run(*tool, stroke), eNoError);
            ASSERT_NE(canvas.CopyAll(), before) << "tool " << id;
            CImNav lit(canvas.Canvas().Composite());
            CImNav whole(&canvas.Relit());
            ASSERT_TRUE(lit.GetData() && whole.GetData());
            for (int32_t y = 0; y < 120; ++y) {
                for (int32_t x = 0; x < 160; ++x) {
                    ASSERT_EQ(uint32_t(lit.Row(y)[x]), uint32_t(whole.Row(y)[x]))
                        << "tool " << id << " at (" << x << ", " << y << ")";
                }
            }
        }
    }
}

// Rows marked on a 40 x 30 canvas: each row's span one pixel wider, the
// rows above and below as wide as it; rows added above the first move the
// held ones; rows beyond the capacity mark the fallback box instead.
TEST(RelitSpans, WrittenRowsMarkTheirRing) {
    CStrokeCanvas canvas(40, 30, 3);
    ASSERT_TRUE(canvas.IsReady());
    CCanvas& c = canvas.Canvas();
    c.ResetInvLut();
    CWrittenRows rows;
    rows.Add(10, 5, 8);
    rows.Add(11, 20, 21);
    rows.Add(8, 30, 30); // above the first: the rows move down
    rows.Add(10, 7, 12); // grows row 10
    EXPECT_EQ(rows.Top(), 8);
    EXPECT_EQ(rows.Rows(), 4);
    rows.MarkOn(c, gCRect(0, 0, 40, 30));
    EXPECT_EQ(rows.Rows(), 0);
    const int32_t* s = c.SpanStarts()->GetData();
    const int32_t* e = c.SpanEnds()->GetData();
    const struct {
        int32_t y, start, end;
    } want[] = {{7, 30, 30}, {8, 29, 31},  {9, 5, 30},  {10, 4, 21},
                {11, 5, 22}, {12, 20, 21}, {13, 0x7FFFFFFF, -1}};
    for (const auto& w : want) {
        EXPECT_EQ(s[w.y], w.start) << w.y;
        EXPECT_EQ(e[w.y], w.end) << w.y;
    }
    EXPECT_EQ(c.FirstInvalidRow(), 7);
    EXPECT_EQ(c.LastInvalidRow(), 12);

    c.ResetInvLut();
    rows.Add(0, 1, 2);
    rows.Add(CWrittenRows::kRows, 3, 4); // no room
    EXPECT_TRUE(rows.Overflowed());
    rows.MarkOn(c, gCRect(0, 0, 40, 30));
    EXPECT_EQ(c.FirstInvalidRow(), 0);
    EXPECT_EQ(c.LastInvalidRow(), 29);
    EXPECT_EQ(s[20], 0);
    EXPECT_EQ(e[20], 39);
    EXPECT_FALSE(rows.Overflowed());
}

} // namespace
