// What every painting tool shares around a stroke: the end that clears the
// per-stroke marks, the brush emptied at the start when it must be, and the
// two tools that run the whole engine without painting.

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <tuple>
#include <utility>
#include <vector>

#include "foundation/MessageIds.h"
#include "imaging/CRegion.h"
#include "paint/ToolId.h"
#include "paint/canvas/Canvas.h"
#include "testsupport/paint/StrokeCanvas.h"
#include "testsupport/paint/StrokeRecipes.h"
#include "tools/Airbrush.h"
#include "tools/PaintingTool.h"
#include "tools/detail/MarkClear.h"
#include "tools/detail/StrokeTiles.h"
#include "tools/RegisterPaintTools.h"
#include "tools/Watercolour.h"

namespace {

// The marks a stroke leaves lie in the tiles it protected for undo, so its
// end clears them there: every mark of the 16 x 16 tiles under the stroke
// goes, the grain copy stays, and tiles far from it are left alone. A tool
// that protected nothing has nothing to clear.
TEST(StrokeEnd, EveryPaintingToolClearsTheMarksAndKeepsTheGrainCopy) {
    RegisterPaintTools();
    CStrokeCanvas canvas(101, 67); // no multiple of anything
    ASSERT_TRUE(canvas.IsReady());
    CCanvas& c = canvas.Canvas();
    for (const int32_t id : {eToolOilPaint, eToolPencils, eToolChalk, eToolCrayon, eToolEraser,
                             eToolPaletteKnife, eToolPens}) {
        std::unique_ptr<CPaintTool> tool(CSMKBackbone::ToolCreator(id)());
        ASSERT_NE(tool, nullptr);
        ASSERT_EQ(tool->SetupTool(), eNoError);
        tool->SetType(id);
        tool->SetToolLinearSize(0.0f);
        std::mt19937 rng(uint32_t(id) + 1u);
        const auto scramble = [&] {
            for (int32_t y = 0; y < canvas.Height(); ++y) {
                for (int32_t x = 0; x < canvas.Width(); ++x) {
                    canvas.Pixel(3, x, y) = rng();
                }
            }
            return canvas.Copy(3);
        };

        ASSERT_EQ(tool->SetSources(c.Layer(0), c.Layer(1), c.Layer(2), c.Layer(3)), eNoError);
        CLayerWords before = scramble();
        ASSERT_EQ(tool->DabEnd(), eNoError);
        CLayerWords after = canvas.Copy(3);
        ASSERT_EQ(after, before) << "tool " << id;

        // A short stroke in tile (1, 1), left open: its end clears that
        // tile and leaves the tiles from column 64 on.
        c.StartProtect();
        tool->BeginStroke();
        CTabletPoint p;
        p.x = 20.0f;
        p.y = 22.0f;
        p.pressure = 600.0f;
        ASSERT_EQ(tool->ToolDown(nullptr, &c, p), eNoError);
        for (int32_t i = 1; i <= 12; ++i) {
            p.x = 20.0f + 0.75f * float(i);
            p.y = 22.0f + 0.5f * float(i);
            ASSERT_EQ(tool->ToolMove(nullptr, &c, p), eNoError);
        }
        ASSERT_GT(tool->DabNum(), 0) << id;
        before = scramble();
        ASSERT_EQ(tool->DabEnd(), eNoError);
        after = canvas.Copy(3);
        c.EndProtect();
        for (int32_t y = 0; y < canvas.Height(); ++y) {
            for (int32_t x = 0; x < canvas.Width(); ++x) {
                const size_t k = size_t(y) * size_t(canvas.Width()) + size_t(x);
                if (x >= 16 && x < 32 && y >= 16 && y < 32) {
                    ASSERT_EQ(after[k], before[k] & 0xFFFFu) << id << " at " << x << ", " << y;
                } else if (x >= 64) {
                    ASSERT_EQ(after[k], before[k]) << id << " at " << x << ", " << y;
                } else {
                    ASSERT_TRUE(after[k] == before[k] || after[k] == (before[k] & 0xFFFFu));
                }
            }
        }
        const CPaintingTool* painting = dynamic_cast<CPaintingTool*>(tool.get());
        ASSERT_NE(painting, nullptr);
        for (int32_t i = 0; i < 4; ++i) {
            EXPECT_EQ(painting->PreviousEdge()[i], -1.0f) << id;
        }
        EXPECT_EQ(tool->DabNum(), 0);
    }
}

// The mark clear that writes only the steps holding a mark leaves the words
// the plain one leaves: runs of every length and start, marks none, sparse
// (one in a step, at its first and last word) and everywhere.
TEST(StrokeEnd, TheMarkClearMatchesItsPlainTwin) {
    std::mt19937 rng(53);
    for (const int32_t density : {0, 1, 37, 100}) {
        std::vector<uint32_t> words(300);
        for (uint32_t& w : words) {
            w = rng() & 0xFFFFu;
            if (int32_t(rng() % 100) < density) {
                w |= (rng() | 1u) << 16;
            }
        }
        words[8] |= 0x10000u;
        words[23] |= 0x10000u;
        for (const int32_t start : {0, 1, 3, 7}) {
            for (int32_t n = 0; n <= 40; ++n) {
                std::vector<uint32_t> plain = words, fast = words;
                tooldetail::ClearMarksPlain(plain.data() + start, n);
                tooldetail::ClearMarks(fast.data() + start, n);
                ASSERT_EQ(fast, plain) << "density " << density << " start " << start << " n " << n;
            }
        }
        std::vector<uint32_t> plain = words, fast = words;
        tooldetail::ClearMarksPlain(plain.data(), 300);
        tooldetail::ClearMarks(fast.data(), 300);
        EXPECT_EQ(fast, plain) << density;
    }
}

// The runs of noted tiles, clipped to the layer; once the layers change
// size under a stroke, every row whole.
TEST(StrokeEnd, TheNotedTilesGiveTheirRowsOnce) {
    using SRun = std::tuple<int32_t, int32_t, int32_t>;
    CStrokeTiles tiles;
    const auto take = [&](int32_t w, int32_t h) {
        std::vector<SRun> runs;
        tiles.Take(w, h, [&](int32_t y, int32_t x0, int32_t x1) { runs.emplace_back(y, x0, x1); });
        return runs;
    };
    tiles.Add(gCRect(5, 5, 20, 10), 40, 30);  // tiles (0, 0) and (1, 0)
    tiles.Add(gCRect(39, 29, 45, 35), 40, 30); // tile (2, 1), clipped
    std::vector<SRun> want;
    for (int32_t y = 0; y < 16; ++y) {
        want.emplace_back(y, 0, 32);
    }
    for (int32_t y = 16; y < 30; ++y) {
        want.emplace_back(y, 32, 40);
    }
    EXPECT_EQ(take(40, 30), want);
    EXPECT_TRUE(take(40, 30).empty()); // forgotten

    tiles.Add(gCRect(0, 0, 1, 1), 40, 30);
    tiles.Add(gCRect(0, 0, 1, 1), 50, 30);
    EXPECT_TRUE(tiles.Whole());
    const std::vector<SRun> whole = take(50, 30);
    ASSERT_EQ(whole.size(), 30u);
    EXPECT_EQ(whole.back(), SRun(29, 0, 50));
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
