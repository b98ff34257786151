// Whole strokes through the canvas and the real stroke engine, with a tool
// that paints and marks what the engine hands it: one undo record per
// stroke, and every failure (a dab, a relight, memory, the tool's end)
// still ends the stroke whole, undoable, with the next one starting clean.

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "imaging/ImNav.h"
#include "paint/tests/CanvasInputFixture.h"
#include "testsupport/foundation/FailingMemory.h"
#include "testsupport/paint/RecordingTool.h"

namespace {

using namespace CanvasInputTesting;

// The recording tool, painting: every dab protects and changes a 5 x 5
// square around its point in all four layers (the mark in L3's high half),
// and its end clears the marks as the painting tools' does. A call that
// fails changes nothing.
class CPaintingRecorder : public CRecordingTool {
public:
    explicit CPaintingRecorder(CanvasInputTesting::Log* log)
        : CRecordingTool(eToolAirbrush), m_pLog(log) {}

    error RenderDab(pointStruct pt, gCRect& rect, CCanvas* canvas) override {
        if (const error e = CRecordingTool::RenderDab(pt, rect, canvas); e != eNoError) {
            return e;
        }
        return Paint(pt, rect, canvas);
    }
    error Dab(pointStruct pt, gCRect& rect, CCanvas* canvas) override {
        if (const error e = CRecordingTool::Dab(pt, rect, canvas); e != eNoError) {
            return e;
        }
        return Paint(pt, rect, canvas);
    }
    error DabEnd() override {
        m_pLog->push_back("DabEnd");
        if (const error e = CRecordingTool::DabEnd(); e != eNoError) {
            return e;
        }
        if (m_pLayer3) {
            const size_t count = size_t(m_nLayerWidth) * size_t(m_nLayerHeight);
            for (size_t i = 0; i < count; ++i) {
                m_pLayer3[i] = uint32_t(m_pLayer3[i]) & 0xFFFFu;
            }
        }
        return eNoError;
    }

private:
    error Paint(const pointStruct& pt, gCRect& rect, CCanvas* canvas) {
        const int32_t x = int32_t(pt.x);
        const int32_t y = int32_t(pt.y);
        gCRect r(std::max(0, x - 2), std::max(0, y - 2), std::min(kW, x + 3), std::min(kH, y + 3));
        if (r.IsEmpty()) {
            return eNoError;
        }
        gCRect saved = r;
        if (const error e = canvas->ProtectArea(saved); e != eNoError) {
            return e;
        }
        for (int32_t py = r.top; py < r.bottom; ++py) {
            for (int32_t px = r.left; px < r.right; ++px) {
                const size_t k = size_t(py) * size_t(kW) + size_t(px);
                m_pLayer0[k] = 0xFF000000u | uint32_t(pt.pressure & 0xFF) << 16 | uint32_t(px);
                m_pLayer1[k] = uint32_t(m_pLayer1[k]) + 7u;
                m_pLayer2[k] = 0x00300030u;
                m_pLayer3[k] = uint32_t(m_pLayer3[k]) | 0x00010000u;
            }
        }
        canvas->InvalidateSpans(r);
        rect = r;
        return eNoError;
    }

    CanvasInputTesting::Log* m_pLog;
};

class CanvasStroke : public CanvasInputFixture {
protected:
    void SetUp() override {
        CanvasInputFixture::SetUp();
        Select(&tool);
    }
    // A drag to the right from (x, y) in widget pixels (scale 1, so canvas
    // pixels too): a press and `moves` samples 3 px apart.
    std::vector<SStep> Drag(float x, float y, int32_t moves) {
        std::vector<SStep> path;
        for (int32_t i = 0; i <= moves; ++i) {
            path.push_back(Mouse(x + 3.0f * float(i), y));
        }
        return path;
    }
    // Every L3 high half is 0.
    bool MarksClear() {
        const Words l3 = Copy(canvas->Layer(CCanvasLayers::kGrain));
        return std::all_of(l3.begin(), l3.end(), [](uint32_t w) { return (w >> 16) == 0; });
    }
    std::vector<CRecordingTool::SCall> Calls(CRecordingTool::EKind kind) const {
        std::vector<CRecordingTool::SCall> out;
        for (const auto& c : tool.m_Calls) {
            if (c.kind == kind) {
                out.push_back(c);
            }
        }
        return out;
    }
    // The stroke ended whole: one record opened and closed, the stroke end
    // sent after it, nothing running, the right button back, the marks
    // clear; one undo gives back the layers as they were (with only, it
    // was the one record there was).
    void ExpectEndedWhole(const Words& before, bool painted = true, bool only = true) {
        EXPECT_EQ(backbone.m_nStarts, 1);
        EXPECT_EQ(backbone.m_nEnds, 1);
        EXPECT_EQ(Count("UI StrokeEnd 2"), 1);
        ASSERT_FALSE(log.empty());
        EXPECT_EQ(log.back(), "UI StrokeEnd 2");
        EXPECT_EQ(canvas->StrokeRunning(), 0);
        EXPECT_EQ(canvas->RightPressEnabled(), 1);
        EXPECT_EQ(backbone.Modified(), 1);
        EXPECT_TRUE(MarksClear());
        if (!painted) {
            EXPECT_EQ(Layers(), before);
            return;
        }
        EXPECT_NE(Layers(), before);
        ASSERT_TRUE(backbone.UndoManager().CanUndo());
        ASSERT_EQ(backbone.ProcessData(eCmdUndo, &ui, 0, 1), 0);
        EXPECT_EQ(Layers(), before);
        if (only) {
            EXPECT_FALSE(backbone.UndoManager().CanUndo());
        }
    }
    // The next stroke paints from its own press.
    void ExpectNextStrokeStartsAtItsPress() {
        tool.m_Calls.clear();
        tool.m_nFailAt = 0;
        backbone.m_pRenderer->m_nFailAt = 0;
        ASSERT_EQ(Stroke(Drag(40, 120, 20)), eNoError);
        const auto first = Calls(CRecordingTool::eSetFirstPt);
        ASSERT_EQ(first.size(), 1u);
        EXPECT_EQ(first[0].flag, 0);
        EXPECT_EQ(first[0].pt.x, 40.0f);
        EXPECT_EQ(first[0].pt.y, 120.0f);
        EXPECT_TRUE(MarksClear());
    }

    CPaintingRecorder tool{&log};
};

TEST_F(CanvasStroke, AStrokeIsOneUndoRecordAndLeavesNoMarks) {
    const Words before = Layers();
    ASSERT_EQ(Stroke(Drag(20, 30, 20)), eNoError);
    EXPECT_GT(Calls(CRecordingTool::eRenderDab).size(), 10u);
    EXPECT_EQ(Calls(CRecordingTool::eDabEnd).size(), 1u);
    EXPECT_EQ(Count("DabEnd"), 1);
    EXPECT_EQ(tool.StrokeNum(), 1);
    ExpectEndedWhole(before);
}

// What a stroke's refreshes composite: only the backdrop's dirty
// rectangles, each inside the canvas widget and near the dabs, never the
// whole backdrop or the whole canvas.
TEST_F(CanvasStroke, ItsRefreshesCompositeOnlyTheAreaItPainted) {
    backdrop.CreationComplete();
    ASSERT_EQ(backdrop.InvalidateClient(1), eNoError);
    ASSERT_EQ(host.m_aCopies.size(), 1u) << "the whole backdrop, once";
    host.m_aCopies.clear();
    ASSERT_EQ(Stroke(Drag(20, 30, 20)), eNoError);
    ASSERT_FALSE(host.m_aCopies.empty());
    const gCRect canvasRect = widget->Rect();
    // The dabs' squares reach 2 px round the points (20..80, 30), and a
    // refresh widens its rectangle by one; a margin of a 16-px tile.
    const gCRect near(kWidgetAt.x + 20 - 16, kWidgetAt.y + 30 - 16, kWidgetAt.x + 80 + 16,
                      kWidgetAt.y + 30 + 16);
    int64_t composited = 0;
    for (const std::vector<gCRect>& copy : host.m_aCopies) {
        for (const gCRect& r : copy) {
            SCOPED_TRACE(std::to_string(r.left) + "," + std::to_string(r.top) + " " +
                         std::to_string(r.right) + "," + std::to_string(r.bottom));
            EXPECT_EQ(r.Intersected(canvasRect), r);
            EXPECT_EQ(r.Intersected(near), r);
            composited += int64_t(r.Width()) * r.Height();
        }
    }
    EXPECT_LT(composited, int64_t(kW) * kH);
}

TEST_F(CanvasStroke, AFailingStrokeEndsWholeAndTheNextStartsAtItsPress) {
    struct Case {
        const char* what;
        bool click;       // a click, whose one dab and relight come at the release
        int32_t toolFail; // the tool's k-th call fails
        int32_t renderFail;
        int32_t dabEnds; // the tool's end: the engine's or the canvas's
        bool painted;    // something was painted before the failure
    };
    const Case cases[] = {
        // A dab while the pen moves: the canvas runs the end.
        {"dab 3", false, 3, 0, 1, true},
        // The relight while the pen moves.
        {"relight", false, 0, 1, 1, true},
        // The release's relight comes before the engine's end.
        {"relight at the release", true, 0, 1, 1, true},
        // The click's dab.
        {"dab at the release", true, 2, 0, 1, false},
        // The tool's own end fails: the canvas runs it once more.
        {"DabEnd", true, 3, 0, 2, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Words before = Layers();
        log.clear();
        backbone.m_nStarts = backbone.m_nEnds = 0;
        tool.m_Calls.clear();
        tool.m_nFailAt = c.toolFail;
        tool.m_FailCode = eOutOfMemory;
        backbone.m_pRenderer->m_nSpanRenders = 0;
        backbone.m_pRenderer->m_nFailAt = c.renderFail;
        backbone.m_pRenderer->m_Fail = eCreateFailed;
        const error expected = c.toolFail ? eOutOfMemory : eCreateFailed;
        EXPECT_EQ(Stroke(c.click ? std::vector<SStep>{Mouse(60, 70)} : Drag(60, 70, 20)), expected);
        steps.clear();
        EXPECT_EQ(Count("DabEnd"), c.dabEnds);
        // Earlier cases left records behind.
        ExpectEndedWhole(before, c.painted, false);
        ExpectNextStrokeStartsAtItsPress();
    }
}

TEST_F(CanvasStroke, MemoryRunningOutInTheMovesLeavesTheStrokeGoingOn) {
    const Words before = Layers();
    std::unique_ptr<CFailingMemory> failing;
    m_OnPump = [&](int32_t pump) {
        if (pump == 3) {
            failing = std::make_unique<CFailingMemory>();
        } else if (pump == 12) {
            failing.reset();
        }
    };
    EXPECT_EQ(Stroke(Drag(20, 30, 24)), eNoError);
    failing.reset();
    EXPECT_EQ(Calls(CRecordingTool::eDabEnd).size(), 1u);
    EXPECT_GT(Calls(CRecordingTool::eRenderDab).size(), 5u);
    ExpectEndedWhole(before);
    m_OnPump = nullptr;
    ExpectNextStrokeStartsAtItsPress();
}

} // namespace
