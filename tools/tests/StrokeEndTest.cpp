// What every painting tool shares around a stroke: the end that clears the
// per-stroke marks, the brush emptied at the start when it must be, and the
// two tools that run the whole engine without painting.

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <utility>

#include "foundation/MessageIds.h"
#include "imaging/CRegion.h"
#include "paint/ToolId.h"
#include "paint/canvas/Canvas.h"
#include "testsupport/paint/StrokeCanvas.h"
#include "testsupport/paint/StrokeRecipes.h"
#include "tools/Airbrush.h"
#include "tools/PaintingTool.h"
#include "tools/RegisterPaintTools.h"
#include "tools/Watercolour.h"

namespace {

TEST(StrokeEnd, EveryPaintingToolClearsTheMarksAndKeepsTheGrainCopy) {
    RegisterPaintTools();
    CStrokeCanvas canvas(37, 23); // no multiple of anything
    ASSERT_TRUE(canvas.IsReady());
    for (const int32_t id : {eToolOilPaint, eToolPencils, eToolChalk, eToolCrayon, eToolEraser,
                             eToolPaletteKnife, eToolPens}) {
        std::unique_ptr<CPaintTool> tool(CSMKBackbone::ToolCreator(id)());
        ASSERT_NE(tool, nullptr);
        ASSERT_EQ(tool->SetupTool(), eNoError);
        tool->SetType(id);
        ASSERT_EQ(tool->SetSources(canvas.Canvas().Layer(0), canvas.Canvas().Layer(1),
                                   canvas.Canvas().Layer(2), canvas.Canvas().Layer(3)),
                  eNoError);
        std::mt19937 rng(uint32_t(id) + 1u);
        for (int32_t y = 0; y < canvas.Height(); ++y) {
            for (int32_t x = 0; x < canvas.Width(); ++x) {
                canvas.Pixel(3, x, y) = rng();
            }
        }
        const CLayerWords before = canvas.Copy(3);

        ASSERT_EQ(tool->DabEnd(), eNoError);
        const CLayerWords after = canvas.Copy(3);
        for (size_t k = 0; k < after.size(); ++k) {
            ASSERT_EQ(after[k], before[k] & 0xFFFFu) << "tool " << id << " word " << k;
        }
        const CPaintingTool* painting = dynamic_cast<CPaintingTool*>(tool.get());
        ASSERT_NE(painting, nullptr);
        for (int32_t i = 0; i < 4; ++i) {
            EXPECT_EQ(painting->PreviousEdge()[i], -1.0f) << id;
        }
        EXPECT_EQ(tool->DabNum(), 0);
    }
}

// A brush tool with its load and flags opened up.
class COpenBrush : public CBrushTool {
public:
    using CBrushTool::ResetBrushLoad;
    void Load(uint32_t colour) {
        for (CPixel& slot : m_aBrushLoad) {
            slot = colour;
        }
    }
    void SetFlags(int32_t reload, int32_t changed) {
        m_fReload = reload;
        m_fColourChanged = changed;
    }
    bool Empty() const {
        for (const CPixel& slot : m_aBrushLoad) {
            if (uint32_t(slot) != 0u) {
                return false;
            }
        }
        return true;
    }
};

TEST(StrokeEnd, TheBrushEmptiesOnTheFirstStrokeOnReloadAndAfterAColourChange) {
    struct Case {
        const char* what;
        int32_t stroke, reload, changed;
        bool colourMessage; // a paint colour message, as a get
        bool empties;
    } cases[] = {
        {"the tool's first stroke", 0, 0, 0, false, true},
        {"a later stroke keeps its paint", 3, 0, 0, false, false},
        {"reloading every stroke", 3, 1, 0, false, true},
        {"the colour changed", 3, 0, 1, false, true},
        {"the colour message, even a get", 3, 0, 0, true, true},
    };
    for (const Case& c : cases) {
        COpenBrush brush;
        brush.Load(0xFF336699u);
        brush.SetStrokeNum(c.stroke);
        brush.SetFlags(c.reload, c.changed);
        if (c.colourMessage) {
            uint32_t colour = 0;
            EXPECT_EQ(brush.ProcessData(eMsgPaintColour, nullptr, int64_t(colour), 0), 0);
        }
        EXPECT_EQ(brush.ResetBrushLoad(), c.empties) << c.what;
        EXPECT_EQ(brush.Empty(), c.empties) << c.what;
        EXPECT_EQ(brush.ColourChanged(), 0) << c.what;
    }
}

TEST(StrokeEnd, AirbrushAndWatercolourRunTheEngineAndPaintNothing) {
    CStrokeCanvas canvas(160, 120);
    ASSERT_TRUE(canvas.IsReady());
    canvas.PaintPatch(gCRect(40, 30, 100, 90), 0xFF804020u, 500);
    CAirbrush airbrush;
    CWatercolour watercolour;
    const std::pair<CPaintTool*, EToolId> tools[] = {{&airbrush, eToolAirbrush},
                                                     {&watercolour, eToolWatercolour}};
    for (const auto& [tool, id] : tools) {
        ASSERT_EQ(tool->SetupTool(), eNoError);
        tool->SetType(id);
        const CStroke stroke = StrokeRecipes::FigureEight(200, 160.0, 120.0);
        // No pixel changes, and the undo record holds no tile.
        const CLayerSet before = canvas.CopyAll();
        ASSERT_EQ(canvas.Run(*tool, stroke), eNoError);
        EXPECT_TRUE(canvas.CopyAll() == before);
        EXPECT_GT(tool->StrokePoints().GetSize(), 50);
        EXPECT_EQ(tool->StrokeNum(), 1);
        CRegion restored;
        CCanvas& c = canvas.Canvas();
        (void)canvas.Backbone().UndoManager().DoUndo(restored, c.LayerView(0), c.LayerView(1),
                                                     c.LayerView(2),
                                                     c.LayerView(3)); // an empty step or none
        EXPECT_TRUE(restored.IsEmpty());
    }
}

} // namespace
