// A move paints up to two points more while points wait for it: every tool lays
// the same paint as when held to one point a move, and the release is left
// with a few points to drain, not the stroke's whole backlog, while the
// samples come about 2 px apart.

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>

#include "paint/ToolId.h"
#include "testsupport/paint/StrokeCanvas.h"
#include "testsupport/paint/StrokeRecipes.h"
#include "tools/dry/Chalk.h"
#include "tools/dry/Crayon.h"
#include "tools/dry/Eraser.h"
#include "tools/ribbon/Pencils.h"
#include "tools/ribbon/Pens.h"
#include "tools/tests/StrokeTestSupport.h"
#include "tools/wet/OilPaint.h"
#include "tools/wet/PaletteKnife.h"

namespace {

// The tool T noting how many points its release finds unpainted.
template <class T> class CCountingTool : public T {
public:
    error ToolUp(CWidget* widget, CCanvas* canvas, CTabletPoint& sample) override {
        waiting = this->StrokePoints().GetSize() - this->RenderCursor();
        return T::ToolUp(widget, canvas, sample);
    }
    int32_t waiting = -1;
};

struct SPaced {
    CLayerSet layers;
    int32_t waiting = -1;
};

template <class T> SPaced Paint(int32_t id, const CStroke& stroke, float size, bool hold) {
    CPaintTool::HoldToPace(hold);
    CStrokeCanvas canvas(160, 120, 3);
    EXPECT_TRUE(canvas.IsReady());
    canvas.PaintStripes(17, {0xFFE01010u, 0x8040C040u, 0u}, 30);
    canvas.SetColour(0xFF1030E0u);
    CCountingTool<T> tool;
    EXPECT_EQ(tool.SetupTool(), eNoError);
    tool.SetType(id);
    tool.SetToolLinearSize(size);
    EXPECT_EQ(canvas.Run(tool, stroke), eNoError);
    CPaintTool::HoldToPace(false);
    return {canvas.CopyAll(), tool.waiting};
}

template <class T> void Compare(int32_t id) {
    // At about 2 px a sample a move makes up to three points, and the release
    // drains only what the smoothing holds back; sparser samples pile points
    // up faster than a move paints them, and the release drains fewer.
    const struct {
        CStroke stroke;
        int32_t mostWaiting; // -1: no bound but the held stroke's
    } cases[] = {
        {StrokeRecipes::FigureEight(240, 160, 120), 8},
        {StrokeRecipes::ZigZag(5, 50.0, 100.0, 2.0, 30.0, 30.0, 0.4, 1.1), 8},
        {StrokeRecipes::FigureEight(120, 160, 120), -1},
        {StrokeRecipes::ZigZag(6, 40.0, 160.0, 5.0, 40.0, 40.0, 0.4, 1.1), -1},
        {StrokeRecipes::RandomWalk(11, 80, 160.0, 120.0), -1},
    };
    for (const auto& c : cases) {
        for (const float size : {0.0f, 0.3f}) {
            const SPaced held = Paint<T>(id, c.stroke, size, true);
            const SPaced free = Paint<T>(id, c.stroke, size, false);
            EXPECT_TRUE(held.layers == free.layers) << "tool " << id << " size " << size;
            EXPECT_LE(free.waiting, held.waiting) << "tool " << id << " size " << size;
            if (c.mostWaiting >= 0) {
                EXPECT_LE(free.waiting, c.mostWaiting) << "tool " << id << " size " << size;
            }
        }
    }
}

TEST(StrokePace, PaintingAheadLaysThePaintOfOnePointAMove) {
    Compare<CChalk>(eToolChalk);
    Compare<CCrayon>(eToolCrayon);
    Compare<CEraser>(eToolEraser);
    Compare<COilPaint>(eToolOilPaint);
    Compare<CPaletteKnife>(eToolPaletteKnife);
    Compare<CPens>(eToolPens);
    Compare<CPencils>(eToolPencils);
}

// Held to the pace, the figure-eight at 2 px a sample leaves the release
// a backlog to drain; painting ahead leaves it what the smoothing holds.
TEST(StrokePace, HeldToThePaceTheBacklogGrows) {
    const CStroke stroke = StrokeRecipes::FigureEight(240, 160, 120);
    const SPaced held = Paint<CChalk>(eToolChalk, stroke, 0.0f, true);
    const SPaced free = Paint<CChalk>(eToolChalk, stroke, 0.0f, false);
    EXPECT_GT(held.waiting, 20);
    EXPECT_LE(free.waiting, 8);
}

} // namespace
