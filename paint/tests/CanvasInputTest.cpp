// The canvas's input: its widget hooks, the stroke loop as a tool sees it
// (samples, pressures, messages, the undo record, every way a stroke can
// end), the colour picks, the right button and the dab save.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "imaging/ImNav.h"
#include "paint/tests/CanvasInputFixture.h"

namespace {

using namespace CanvasInputTesting;

// A tool that takes the stroke protocol itself and records every sample it
// is handed, with what the canvas shows meanwhile; its k-th call of the
// three (from 1) can fail.
class CSampleTool : public CPaintTool {
public:
    struct SSeen {
        char call; // 'D'own, 'M'ove, 'U'p
        float x;
        float y;
        float pressure;
        float penPressure;
        int32_t running;
        int32_t rightPress;
        uint32_t colour;
        int32_t flip;
    };

    CSampleTool(EToolId type, Log* log, const SStrokeTraits& traits = {}) : m_pLog(log) {
        SetType(type);
        m_StrokeTraits = traits;
    }

    int32_t ProcessLocalData(uint32_t, const void*, int64_t, int32_t) override { return 0; }
    // The engine's own start runs too, so the stroke owes the tool its end
    // as a real one does.
    error ToolDown(CWidget* widget, CCanvas* canvas, CTabletPoint& s) override {
        (void)CPaintTool::ToolDown(widget, canvas, s); // always 0
        return See('D', "ToolDown", canvas, s);
    }
    error ToolMove(CWidget*, CCanvas* canvas, CTabletPoint& s) override {
        return See('M', "ToolMove", canvas, s);
    }
    error ToolUp(CWidget*, CCanvas* canvas, CTabletPoint& s) override {
        return See('U', "ToolUp", canvas, s);
    }
    error DabEnd() override {
        m_pLog->push_back("DabEnd");
        return eNoError;
    }
    float MaxPencilPressure() override { return m_rMax; }
    void SetMaxPencilPressure(float max) override {
        m_rMax = max;
        m_aMax.push_back(max);
    }

    std::vector<SSeen> Seen(char call) const {
        std::vector<SSeen> out;
        for (const SSeen& s : m_aSeen) {
            if (s.call == call) {
                out.push_back(s);
            }
        }
        return out;
    }

    std::vector<SSeen> m_aSeen;
    int32_t m_nFailAt = 0;
    error m_Fail = eNoError;
    std::function<void()> m_OnMove;
    float m_rMax = 1.0f;
    std::vector<float> m_aMax;

private:
    error See(char call, const char* name, CCanvas* canvas, const CTabletPoint& s) {
        m_aSeen.push_back({call, s.x, s.y, s.pressure, canvas->PenPressure(),
                           canvas->StrokeRunning(), canvas->RightPressEnabled(),
                           uint32_t(CurrentColour()), ProfileFlip()});
        m_pLog->push_back(name);
        if (int32_t(m_aSeen.size()) == m_nFailAt) {
            return m_Fail;
        }
        if (call == 'M' && m_OnMove) {
            m_OnMove();
        }
        return eNoError;
    }

    Log* m_pLog;
};

// What a tool with a stroke pressure cap answers, as the pencils do.
SStrokeTraits CappedTraits() {
    SStrokeTraits traits;
    traits.strokePressureCap = 1.1f;
    traits.mouse = eMousePencils;
    return traits;
}

// What a tool answers that reads the row of the mouse table.
SStrokeTraits MouseTraits(EMousePressure row) {
    SStrokeTraits traits;
    traits.mouse = row;
    return traits;
}

class CanvasInput : public CanvasInputFixture {
protected:
    // The stroke has ended: no stroke running, the right button back.
    void ExpectEnded() {
        EXPECT_EQ(canvas->StrokeRunning(), 0);
        EXPECT_EQ(canvas->RightPressEnabled(), 1);
    }
};

TEST_F(CanvasInput, SetupHooksThePressesAndShowsTheComposite) {
    EXPECT_EQ(canvas->SetupCanvasWidget(nullptr), eBadParameter);
    EXPECT_EQ(canvas->CanvasWidget(), widget);

    // A fresh widget: the handlers and the render procedure go in; no
    // mouse-move handler.
    CImWidget* other = AddPlaced<CImWidget>(backdrop, gCRect(0, 0, kW, kH));
    ASSERT_NE(other, nullptr);
    ASSERT_EQ(canvas->SetupCanvasWidget(other), eNoError);
    EXPECT_EQ(canvas->CanvasWidget(), other);
    EXPECT_EQ(other->EventProc(CWidget::eButtonDownLEntry),
              reinterpret_cast<CWidget::AnyProc>(&CCanvas::CanvasLDown));
    EXPECT_EQ(other->EventProc(CWidget::eButtonDownREntry),
              reinterpret_cast<CWidget::AnyProc>(&CCanvas::CanvasRDown));
    EXPECT_EQ(other->EventProc(CWidget::eRenderEntry),
              reinterpret_cast<CWidget::AnyProc>(&CCanvas::CanvasRenderProc));
    EXPECT_EQ(other->EventProc(CWidget::eMouseMoveEntry), nullptr);
    EXPECT_EQ(other->EventsHandled() & (CWidget::eLButtonEvent | CWidget::eRButtonEvent),
              uint32_t(CWidget::eLButtonEvent | CWidget::eRButtonEvent));
    EXPECT_EQ(other->EventsHandled() & CWidget::eMouseMoveEvent, 0u);

    // What the backdrop draws there is the composite the renderer lit.
    backdrop.CreationComplete();
    ASSERT_EQ(backdrop.PassRedraw(), eNoError);
    const Words composite = Copy(canvas->Composite());
    ASSERT_NE(composite[0], 0u);
    CImNav shown(backdrop.BackBuffer());
    for (int32_t y = 0; y < kH; y += 37) {
        for (int32_t x = 0; x < kW; x += 29) {
            ASSERT_EQ(uint32_t(shown.Row(y)[x]), composite[size_t(y) * kW + size_t(x)])
                << x << "," << y;
        }
    }
}

TEST_F(CanvasInput, MousePressuresFollowTheWeightAndTheTool) {
    struct Case {
        float weight;
        EMousePressure row;
        float pressure;
    };
    const Case cases[] = {
        {0.5f, eMouseOilPaint, 750.0f},    {0.5f, eMousePencils, 975.0f},
        {0.5f, eMouseOtherTools, 1000.0f}, {1.0f, eMouseOilPaint, 1024.0f},
        {1.0f, eMousePencils, 1224.0f},    {1.0f, eMouseOtherTools, 1224.0f},
        {0.25f, eMouseOilPaint, 400.0f},   {0.25f, eMousePencils, 525.0f},
        {0.25f, eMouseOtherTools, 525.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "weight " << c.weight << " row " << c.row);
        CTabletSource::m_rWeight = c.weight;
        CSampleTool tool(eToolAirbrush, &log, MouseTraits(c.row));
        Select(&tool);
        ASSERT_EQ(Stroke({Mouse(10, 10), Mouse(14, 11), Mouse(20, 12)}), eNoError);
        ASSERT_EQ(tool.Seen('D').size(), 1u);
        EXPECT_EQ(tool.Seen('D')[0].pressure, 0.0f);
        const auto moves = tool.Seen('M');
        ASSERT_EQ(moves.size(), 3u);
        for (const auto& m : moves) {
            EXPECT_EQ(m.pressure, c.pressure);
            EXPECT_EQ(m.penPressure, c.pressure);
        }
        ASSERT_EQ(tool.Seen('U').size(), 1u);
        EXPECT_EQ(tool.Seen('U')[0].pressure, 0.0f);
        EXPECT_EQ(canvas->PenPressure(), 0.0f);
    }
}

TEST_F(CanvasInput, SamplesBecomeCanvasPointsThroughWidgetScaleAndWindow) {
    SetScale(2.0f);
    CSampleTool tool(eToolAirbrush, &log);
    Select(&tool);
    // Widget coordinates; the window's place on the desktop and the
    // widget's in the backdrop are taken off, the scale divides.
    ASSERT_EQ(Stroke({Mouse(21, 15), Mouse(40, 8), Mouse(0, 0), Mouse(599, 399)}), eNoError);
    const auto down = tool.Seen('D');
    ASSERT_EQ(down.size(), 1u);
    EXPECT_EQ(down[0].x, 10.5f);
    EXPECT_EQ(down[0].y, 7.5f);
    const auto moves = tool.Seen('M');
    ASSERT_EQ(moves.size(), 4u);
    const float expected[][2] = {{10.5f, 7.5f}, {20.0f, 4.0f}, {0.0f, 0.0f}, {299.5f, 199.5f}};
    for (size_t i = 0; i < moves.size(); ++i) {
        EXPECT_EQ(moves[i].x, expected[i][0]) << i;
        EXPECT_EQ(moves[i].y, expected[i][1]) << i;
    }
    // The interface is shown the pen in widget coordinates, before the
    // scale.
    ASSERT_EQ(ui.m_aPen.size(), 4u);
    EXPECT_EQ(ui.m_aPen[1], (std::vector<float>{40.0f, 8.0f}));
    const auto up = tool.Seen('U');
    ASSERT_EQ(up.size(), 1u);
    EXPECT_EQ(up[0].x, 299.5f);
    EXPECT_EQ(up[0].y, 199.5f);

    // The pen's samples come in backdrop coordinates, with its pressure.
    tool.m_aSeen.clear();
    ASSERT_EQ(
        Stroke({Pen(41.0f, 9.0f, 300.0f), Pen(42.5f, 9.25f, 512.0f), Pen(50.0f, 11.0f, 700.0f)}),
        eNoError);
    const auto pen = tool.Seen('M');
    ASSERT_EQ(pen.size(), 3u);
    EXPECT_EQ(tool.Seen('D')[0].x, 20.5f);
    EXPECT_EQ(tool.Seen('D')[0].pressure, 300.0f);
    EXPECT_EQ(pen[1].x, 21.25f);
    EXPECT_EQ(pen[1].y, 4.625f);
    EXPECT_EQ(pen[1].pressure, 512.0f);
    EXPECT_EQ(tool.Seen('U')[0].x, 25.0f);
    EXPECT_EQ(tool.Seen('U')[0].pressure, 700.0f);
}

TEST_F(CanvasInput, MessagesComeInOrderAroundOneUndoRecord) {
    CSampleTool tool(eToolAirbrush, &log);
    Select(&tool);
    ASSERT_EQ(backbone.Modified(), 0);
    ASSERT_EQ(Stroke({Mouse(10, 10), Mouse(12, 10), Mouse(15, 10)}), eNoError);
    EXPECT_EQ(log, (Log{"UI StrokeStart", "StartProtect", "ToolDown", "UI StrokePoint", "ToolMove",
                        "UI StrokePoint", "ToolMove", "UI StrokePoint", "ToolMove", "ToolUp",
                        "EndProtect", "UI StrokeEnd 2"}));
    EXPECT_EQ(backbone.Modified(), 1);
    EXPECT_EQ(tablet.m_nFlushes, 1);
    // While the stroke runs the canvas says so and refuses the right
    // button; both come back at the end.
    for (const auto& s : tool.m_aSeen) {
        EXPECT_EQ(s.running, 1);
        EXPECT_EQ(s.rightPress, 0);
    }
    ExpectEnded();
}

TEST_F(CanvasInput, ThePensEraserEndPaintsWithTheEraser) {
    CSampleTool chalk(eToolChalk, &log);
    CSampleTool eraser(eToolEraser, &log);
    Select(&chalk);
    canvas->SetEraserPointer(&eraser);
    ASSERT_EQ(Stroke({Pen(10, 10, 200, 1), Pen(14, 10, 300, 1), Pen(18, 10, 400, 1)}), eNoError);
    EXPECT_TRUE(chalk.m_aSeen.empty());
    EXPECT_EQ(eraser.Seen('D').size(), 1u);
    EXPECT_EQ(eraser.Seen('M').size(), 3u);
    EXPECT_EQ(eraser.Seen('U').size(), 1u);
    EXPECT_EQ(log.back(), "UI StrokeEnd 5");
}

TEST_F(CanvasInput, WithoutAToolAPressDoesNothing) {
    Select(nullptr);
    const Words before = Layers();
    EXPECT_EQ(Stroke({Mouse(10, 10), Mouse(20, 10)}), eNoError);
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(backbone.Modified(), 0);
    EXPECT_EQ(tablet.m_nFlushes, 1);
    EXPECT_EQ(Layers(), before);
    ExpectEnded();

    // Nor does the eraser end without an eraser.
    CSampleTool chalk(eToolChalk, &log);
    Select(&chalk);
    canvas->SetEraserPointer(nullptr);
    EXPECT_EQ(Stroke({Pen(10, 10, 200, 1), Pen(20, 10, 300, 1)}), eNoError);
    EXPECT_TRUE(chalk.m_aSeen.empty());
    EXPECT_TRUE(log.empty());
}

TEST_F(CanvasInput, PencilsGetTheirRaisedCapForTheStrokeOnly) {
    CSampleTool pencils(eToolPencils, &log, CappedTraits());
    pencils.SetProfileFlip(1);
    Select(&pencils);
    ASSERT_EQ(Stroke({Mouse(10, 10), Mouse(14, 10), Mouse(18, 10)}), eNoError);
    // Raised at the start and again with every mouse sample, back after.
    EXPECT_EQ(pencils.m_aMax, (std::vector<float>{1.1f, 1.1f, 1.1f, 1.1f, 1.0f}));
    EXPECT_EQ(pencils.MaxPencilPressure(), 1.0f);
    ASSERT_FALSE(pencils.m_aSeen.empty());
    EXPECT_EQ(pencils.m_aSeen[0].flip, 0); // the alternating dab starts afresh

    // Another tool's flag is its own.
    CSampleTool pens(eToolAirbrush, &log);
    pens.SetProfileFlip(1);
    Select(&pens);
    ASSERT_EQ(Stroke({Mouse(10, 10), Mouse(14, 10)}), eNoError);
    EXPECT_EQ(pens.ProfileFlip(), 1);
    EXPECT_TRUE(pens.m_aMax.empty());
}

// Every way a stroke can break off after its start: it still ends whole.
TEST_F(CanvasInput, AFailingStrokeStillEndsWhole) {
    struct Case {
        const char* what;
        int32_t failAt; // calls: ToolDown 1, moves 2..4, ToolUp 5
        error code;
    };
    const Case cases[] = {
        {"ToolDown", 1, eOutOfMemory},
        {"first move", 2, eBadParameter},
        {"third move", 4, eCreateFailed},
        {"ToolUp", 5, eOutOfMemory},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        log.clear();
        backbone.m_nStarts = backbone.m_nEnds = 0;
        tablet.m_nFlushes = 0;
        CSampleTool pencils(eToolPencils, &log, CappedTraits());
        pencils.m_nFailAt = c.failAt;
        pencils.m_Fail = c.code;
        Select(&pencils);
        EXPECT_EQ(Stroke({Mouse(10, 10), Mouse(14, 10), Mouse(18, 10)}), c.code);
        EXPECT_EQ(int32_t(pencils.m_aSeen.size()), c.failAt); // nothing after the failure
        EXPECT_EQ(backbone.m_nStarts, 1);
        EXPECT_EQ(backbone.m_nEnds, 1);
        // The tool's end runs once, inside the record, before the end is
        // told.
        ASSERT_GE(log.size(), 3u);
        EXPECT_EQ(Count("DabEnd"), 1);
        EXPECT_EQ(log[log.size() - 3], "DabEnd");
        EXPECT_EQ(log[log.size() - 2], "EndProtect");
        EXPECT_EQ(log.back(), "UI StrokeEnd 1");
        EXPECT_EQ(pencils.MaxPencilPressure(), 1.0f);
        EXPECT_EQ(backbone.Modified(), 1);
        EXPECT_EQ(tablet.m_nFlushes, 1);
        ExpectEnded();
        // The button may still be held after a failure; nothing else runs.
        steps.clear();
    }
}

TEST_F(CanvasInput, ARefusedStartPaintsNothing) {
    CSampleTool pencils(eToolPencils, &log, CappedTraits());
    Select(&pencils);
    ui.m_nRefuse = eCmdStrokeStart;
    ui.m_nRefusal = eCreateFailed;
    EXPECT_EQ(Stroke({Mouse(10, 10), Mouse(14, 10)}), eCreateFailed);
    EXPECT_TRUE(pencils.m_aSeen.empty());
    EXPECT_EQ(log, Log{"UI StrokeStart"});
    EXPECT_EQ(pencils.MaxPencilPressure(), 1.0f);
    ExpectEnded();
}

TEST_F(CanvasInput, ADamagedDisplayScalePaintsNothing) {
    CSampleTool tool(eToolAirbrush, &log);
    Select(&tool);
    auto* open = static_cast<CCanvasAccess*>(canvas);
    for (const float scale : {0.0f, -1.0f, std::numeric_limits<float>::infinity(),
                              std::numeric_limits<float>::quiet_NaN()}) {
        SCOPED_TRACE(scale);
        open->StoreDisplayScale(scale);
        EXPECT_EQ(Stroke({Mouse(10, 10), Mouse(14, 10)}), eNoError);
        EXPECT_TRUE(tool.m_aSeen.empty());
        EXPECT_TRUE(log.empty());
        ExpectEnded();
        steps.clear();
    }
}

TEST_F(CanvasInput, AltPicksTheScreenColourUnderTheMovingCursor) {
    CSampleTool tool(eToolAirbrush, &log);
    Select(&tool);
    // A different word at every backdrop pixel.
    {
        CImNav buffer(backdrop.BackBuffer());
        for (int32_t y = 0; y < buffer.GetHeight(); ++y) {
            for (int32_t x = 0; x < buffer.GetWidth(); ++x) {
                buffer.Row(y)[x] = 0xFF000000u | uint32_t(x) << 12 | uint32_t(y);
            }
        }
    }
    auto shown = [](int32_t x, int32_t y) {
        // Widget coordinates to the backdrop's.
        return 0xFF000000u | uint32_t(x + kWidgetAt.x) << 12 | uint32_t(y + kWidgetAt.y);
    };
    const Words before = Layers();
    app.m_nModifiers = kModOption;
    // The press, then the cursor moves: a point it stays on is picked once.
    ASSERT_EQ(Stroke({Mouse(5, 6), Mouse(30, 40), Mouse(30, 40), Mouse(-20, 7), Mouse(200, 150)}),
              eNoError);
    EXPECT_EQ(ui.m_aColours,
              (std::vector<uint32_t>{shown(5, 6), shown(30, 40), shown(-20, 7), shown(200, 150)}));
    EXPECT_EQ(uint32_t(backbone.CurrentColour()), shown(200, 150));
    EXPECT_TRUE(tool.m_aSeen.empty());
    EXPECT_TRUE(log.empty()); // no stroke messages, no undo record
    EXPECT_EQ(Layers(), before);
    EXPECT_FALSE(backbone.UndoManager().CanUndo());
    ExpectEnded();
}

TEST_F(CanvasInput, RightClickTogglesThePanelsAndADragPans) {
    struct Case {
        int32_t dx;
        int32_t dy;
        bool pans;
    };
    const Case cases[] = {{0, 0, false}, {3, -3, false}, {-3, 2, false},
                          {4, 0, true},  {0, -4, true},  {-6, 5, true}};
    backdrop.SetWidgetRolloverEnabled(1);
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.dx << "," << c.dy);
        log.clear();
        ASSERT_EQ(widget->SetPosition(kWidgetAt, 0), eNoError);
        const gCPoint start(kWindow.x + kWidgetAt.x + 20, kWindow.y + kWidgetAt.y + 20);
        app.m_CursorLoc = start;
        app.m_fRButton = 1;
        steps.push_back([&] { app.m_CursorLoc = start + gCPoint(c.dx, c.dy); });
        steps.push_back([&] {
            backdrop.PassRolloverTest();
            app.m_fRButton = 0;
        });
        gCPoint at(20, 20);
        CWidget* capture = nullptr;
        EXPECT_EQ(CCanvas::CanvasRDown(canvas, widget, capture, at), eNoError);
        EXPECT_EQ(capture, widget);
        EXPECT_EQ(backdrop.ModalCount(), 0);
        EXPECT_EQ(Count("UI TogglePanels"), c.pans ? 0 : 1);
        const gCPoint moved = c.pans ? gCPoint(c.dx, c.dy) : gCPoint();
        EXPECT_EQ(widget->Rect().left, kWidgetAt.x + moved.x);
        EXPECT_EQ(widget->Rect().top, kWidgetAt.y + moved.y);
    }

    // A click off the canvas toggles nothing.
    log.clear();
    ASSERT_EQ(widget->SetPosition(kWidgetAt, 0), eNoError);
    app.m_CursorLoc = kWindow + gCPoint(5, 5);
    app.m_fRButton = 1;
    steps.push_back([&] {
        backdrop.PassRolloverTest();
        app.m_fRButton = 0;
    });
    gCPoint at(-95, -45);
    CWidget* capture = nullptr;
    EXPECT_EQ(CCanvas::CanvasRDown(canvas, widget, capture, at), eNoError);
    EXPECT_EQ(Count("UI TogglePanels"), 0);
}

TEST_F(CanvasInput, TheRightButtonWaitsWhileAStrokeRuns) {
    CSampleTool tool(eToolAirbrush, &log);
    Select(&tool);
    int32_t pressed = 0;
    tool.m_OnMove = [&] {
        app.m_fRButton = 1;
        gCPoint at(20, 20);
        CWidget* capture = nullptr;
        EXPECT_EQ(CCanvas::CanvasRDown(canvas, widget, capture, at), eNoError);
        EXPECT_EQ(capture, nullptr);
        app.m_fRButton = 0;
        ++pressed;
    };
    ASSERT_EQ(Stroke({Mouse(10, 10), Mouse(20, 10)}), eNoError);
    EXPECT_EQ(pressed, 2);
    EXPECT_EQ(Count("UI TogglePanels"), 0);
    EXPECT_EQ(backdrop.ModalCount(), 0);
}

TEST_F(CanvasInput, ThePanControlDragsTheCanvasWithoutAThreshold) {
    const gCPoint start = kWindow + gCPoint(150, 150);
    app.m_CursorLoc = start;
    app.m_fLButton = 1;
    steps.push_back([&] { app.m_CursorLoc = start + gCPoint(1, 0); });
    steps.push_back([&] { app.m_CursorLoc = start + gCPoint(3, -2); });
    steps.push_back([&] { app.m_fLButton = 0; });
    ASSERT_EQ(canvas->ProcessData(eRecDragCanvas, &ui, 0, 1), 0);
    EXPECT_EQ(widget->Rect().left, kWidgetAt.x + 3);
    EXPECT_EQ(widget->Rect().top, kWidgetAt.y - 2);
    EXPECT_EQ(backdrop.ModalCount(), 0);
}

TEST_F(CanvasInput, TheMoveLoopFollowsTheCursorUnconstrained) {
    // An application whose cursor walks a path, one point a round, while
    // the right button is held.
    class CWalkingApp : public CFakeAppServices {
    public:
        gCPoint CursorLoc() const override { return m_aPath[std::min(m_nAt, m_aPath.size() - 1)]; }
        int32_t RButtonStillDown() const override { return ++m_nAt < m_aPath.size() ? 1 : 0; }
        std::vector<gCPoint> m_aPath;
        mutable size_t m_nAt = 0;
    };
    CWalkingApp walking; // stands in for the fixture's while it lives
    const gCPoint start(400, 300);
    walking.m_aPath = {start, start + gCPoint(2, 1), start + gCPoint(602, -3)};
    EXPECT_EQ(canvas->DoMoveLoop(), eNoError);
    // Far past the panning limit (left 320 at most): nothing holds it back.
    EXPECT_EQ(widget->Rect().left, kWidgetAt.x + 602);
    EXPECT_EQ(widget->Rect().top, kWidgetAt.y - 3);
    EXPECT_EQ(backdrop.ModalCount(), 0);
}

TEST_F(CanvasInput, ASimulatedPressPaintsWhereThePenIsOverTheWidget) {
    CSampleTool tool(eToolAirbrush, &log);
    Select(&tool);
    // The mouse: the tablet's own answer comes back and nothing is painted.
    Apply(Mouse(10, 10));
    EXPECT_EQ(canvas->ProcessData(eCmdCanvasPress, &ui, 0, 1), 1);
    EXPECT_TRUE(tool.m_aSeen.empty());
    // The pen off the widget: nothing.
    Apply(Pen(-30, 10, 300));
    EXPECT_EQ(canvas->ProcessData(eCmdCanvasPress, &ui, 0, 1), 0);
    EXPECT_TRUE(tool.m_aSeen.empty());
    // The pen over it: a stroke from there.
    Apply(Pen(30.5f, 10.75f, 300));
    steps.push_back([&] { Apply(SStep{30.5f, 10.75f, 0, true, 300}); });
    EXPECT_EQ(canvas->ProcessData(eCmdCanvasPress, &ui, 0, 1), 0);
    ASSERT_EQ(tool.Seen('D').size(), 1u);
    EXPECT_EQ(tool.Seen('D')[0].x, 30.5f);
    EXPECT_EQ(tool.Seen('D')[0].y, 10.75f);
    EXPECT_EQ(tool.Seen('U').size(), 1u);
}

TEST_F(CanvasInput, APressWherePenIsNotANumberOrInfinitePaintsNothing) {
    CSampleTool tool(eToolAirbrush, &log);
    Select(&tool);
    // Even with the widget over the backdrop's corner, where such a
    // position would land were it taken as 0.
    ASSERT_EQ(widget->SetPosition(gCPoint(0, 0), 0), eNoError);
    for (const float bad : {std::numeric_limits<float>::quiet_NaN(),
                            std::numeric_limits<float>::infinity(),
                            -std::numeric_limits<float>::infinity()}) {
        SCOPED_TRACE(bad);
        Apply(Pen(30.0f, 10.0f, 300));
        tablet.m_Pen.x = bad;
        EXPECT_EQ(canvas->ProcessData(eCmdCanvasPress, &ui, 0, 1), 0);
        EXPECT_TRUE(tool.m_aSeen.empty());
    }
}

TEST_F(CanvasInput, AutoStrokeRunsTheToolWithoutARecord) {
    CSampleTool tool(eToolAirbrush, &log);
    Select(&tool);
    gCPoint from(5, 6);
    gCPoint to(40, 30);
    EXPECT_EQ(canvas->AutoStroke(from, to), eNoError);
    EXPECT_EQ(log, (Log{"ToolDown", "ToolMove", "ToolUp"}));
    ASSERT_EQ(tool.m_aSeen.size(), 3u);
    EXPECT_EQ(tool.m_aSeen[0].x, 5.0f);
    EXPECT_EQ(tool.m_aSeen[1].x, 40.0f);
    EXPECT_EQ(tool.m_aSeen[2].y, 30.0f);
    for (const auto& s : tool.m_aSeen) {
        EXPECT_EQ(s.pressure, 0.0f);
    }
    // The first failure comes back.
    log.clear();
    tool.m_aSeen.clear();
    tool.m_nFailAt = 2;
    tool.m_Fail = eOutOfMemory;
    EXPECT_EQ(canvas->AutoStroke(from, to), eOutOfMemory);
    EXPECT_EQ(log, (Log{"ToolDown", "ToolMove"}));
}

// --- The tracing image's colour pick.

// The standard blend, channel by channel (alpha kept).
uint32_t Blend(uint32_t d, uint32_t s, uint32_t level) {
    if (level == 255) {
        return s;
    }
    uint32_t out = d & 0xFF000000u;
    for (int32_t shift = 0; shift < 24; shift += 8) {
        const int32_t dc = int32_t(d >> shift & 0xFF);
        const int32_t sc = int32_t(s >> shift & 0xFF);
        out |= uint32_t(dc + (((sc - dc + 1) * int32_t(level)) >> 8)) << shift;
    }
    return out;
}

class TracingPick : public CanvasInput {
protected:
    void SetUp() override {
        CanvasInput::SetUp();
        auto image = std::make_unique<CImage>(kTW, kTH);
        CImNav v(image.get());
        std::mt19937 rng(5);
        for (int32_t y = 0; y < kTH; ++y) {
            for (int32_t x = 0; x < kTW; ++x) {
                v.Row(y)[x] = 0xFF000000u | (rng() & 0xFFFFFFu);
            }
        }
        pixels = Copy(image.get());
        canvas->SetTracingImage(std::move(image));
        SetScale(2.0f);
    }
    uint32_t At(int32_t x, int32_t y) const { return pixels[size_t(y) * kTW + size_t(x)]; }
    uint32_t Mix(int32_t ix, int32_t iy, uint32_t fx, uint32_t fy) const {
        return Blend(Blend(At(ix, iy), At(ix + 1, iy), fx),
                     Blend(At(ix, iy + 1), At(ix + 1, iy + 1), fx), fy);
    }
    void SetFitMode(int32_t mode) {
        ASSERT_EQ(canvas->ProcessData(eCmdTracingSetting3, &ui, ChannelValueOf(&mode), 1), 0);
    }
    // A press at the widget point with no tool: only the pick happens.
    uint32_t PickAt(int32_t x, int32_t y) {
        Select(nullptr);
        gCPoint at(x, y);
        Apply(Mouse(float(x), float(y)));
        app.m_fLButton = 0;
        CWidget* capture = nullptr;
        EXPECT_EQ(CCanvas::CanvasLDown(canvas, widget, capture, at), eNoError);
        return uint32_t(backbone.CurrentColour());
    }

    static constexpr int32_t kTW = 100, kTH = 80;
    Words pixels;
};

TEST_F(TracingPick, ThePressTakesTheBilinearColourUnderIt) {
    // Canvas 300 x 200, picture 100 x 80, scale 2. Fit inside: steps
    // 25600/300 = 85 and 20480/200 = 102 take the larger, 102; offsets
    // (25600 - 300 * 102) / 2 = -2500 and (20480 - 200 * 102) / 2 = 40.
    // Widget (130, 75): tx = -2500 + 6630 = 4130 (pixel 16, 34/256),
    // ty = 40 + 3825 = 3865 (pixel 15, 25/256).
    const uint32_t fitInside = Mix(16, 15, 34, 25);
    // Stretch: tx = 85 * 130 / 2 = 5525 (21, 149/256), ty = 3825 (14, 241/256).
    const uint32_t stretch = Mix(21, 14, 149, 241);
    // Fill: the step 85; offsets (25600 - 25500) / 2 = 50, (20480 - 17000)
    // / 2 = 1740: tx = 50 + 5525 = 5575 (21, 199/256), ty = 1740 + 3188 =
    // 4928 (19, 64/256), 85 * 75 / 2 = 3187.5 rounding away from zero.
    const uint32_t fill = Mix(21, 19, 199, 64);
    struct Case {
        int32_t mode;
        uint32_t colour;
    };
    const Case cases[] = {{1, fitInside},
                          {0, stretch},
                          {2, fill},
                          // A damaged file's mode reads as fit inside.
                          {7, fitInside},
                          {-1, fitInside}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        SetFitMode(c.mode);
        EXPECT_EQ(PickAt(130, 75), c.colour);
    }
}

TEST_F(TracingPick, OutsideThePictureTheColourStays) {
    SetFitMode(1);
    ASSERT_EQ(backbone.ProcessData(eMsgPaintColour, &ui, 0xFF123456, 1), 0);
    // The letterbox: tx = -2500 + round(102 * x / 2) is below 0 up to
    // x = 49, and the last pair of columns starts at pixel 98.
    EXPECT_EQ(PickAt(2, 75), 0xFF123456u);
    EXPECT_EQ(PickAt(48, 75), 0xFF123456u);
    // tx = -2500 + round(102 * 589 / 2) = 27539: pixel 107, past 98.
    EXPECT_EQ(PickAt(589, 75), 0xFF123456u);
    // Just inside: x = 50 gives tx = 50, pixel 0.
    EXPECT_EQ(PickAt(50, 0), Mix(0, 0, 50, 40));
    // The pick off: nothing changes.
    int32_t off = 0;
    ASSERT_EQ(canvas->ProcessData(eCmdTracingSetting2, &ui, ChannelValueOf(&off), 1), 0);
    ASSERT_EQ(backbone.ProcessData(eMsgPaintColour, &ui, 0xFF123456, 1), 0);
    EXPECT_EQ(PickAt(130, 75), 0xFF123456u);
}

TEST_F(TracingPick, TheStrokePaintsWithThePickedColour) {
    CSampleTool tool(eToolAirbrush, &log);
    Select(&tool);
    Apply(Mouse(130, 75));
    ASSERT_EQ(Stroke({Mouse(130, 75), Mouse(134, 75)}), eNoError);
    ASSERT_FALSE(tool.m_aSeen.empty());
    EXPECT_EQ(tool.m_aSeen[0].colour, Mix(16, 15, 34, 25));
}

// --- The dab save of the second engine.

class DabArea : public CanvasInput {
protected:
    void Scribble(uint32_t seed) {
        std::mt19937 rng(seed);
        for (int32_t i = 0; i < 4; ++i) {
            CImNav v(canvas->Layer(i));
            for (int32_t y = 0; y < kH; ++y) {
                for (int32_t x = 0; x < kW; ++x) {
                    v.Row(y)[x] = rng();
                }
            }
        }
    }
    uint32_t LayerAt(int32_t i, int32_t x, int32_t y) {
        return uint32_t(CImNav(canvas->Layer(i)).Row(y)[x]);
    }
};

TEST_F(DabArea, SaveThenRestoreLeavesTheLayersAsTheyWere) {
    const gCRect cases[] = {
        gCRect(20, 30, 60, 45),     // inside
        gCRect(-10, -5, 40, 30),    // over the top-left corner
        gCRect(280, 190, 330, 260), // past the right and bottom
        gCRect(-500, 10, -400, 20), // off the canvas: nothing to keep
    };
    uint32_t seed = 1;
    for (gCRect rect : cases) {
        SCOPED_TRACE(DirtyEntry(rect));
        Scribble(seed++);
        const Words before = Layers();
        ASSERT_EQ(canvas->ProtectDabArea(rect, 0), eNoError);
        EXPECT_EQ(canvas->SavedDabRect(), rect);
        Scribble(seed++);
        const Words dabbed = Layers();
        gCRect back(1, 2, 3, 4);
        ASSERT_EQ(canvas->ProtectDabArea(back, 1), eNoError);
        EXPECT_EQ(back, rect); // the saved rectangle comes back
        // Inside the clipped rectangle the old pixels, outside the new.
        const Words after = Layers();
        for (size_t k = 0; k < after.size(); ++k) {
            const int32_t x = int32_t(k % kW);
            const int32_t y = int32_t(k / kW % kH);
            const bool inside =
                x >= rect.left && x < rect.right && y >= rect.top && y < rect.bottom;
            ASSERT_EQ(after[k], inside ? before[k] : dabbed[k]) << x << "," << y;
        }
    }
}

TEST_F(DabArea, TheProtectImagesHoldTheRectangleFromItsOwnCorner) {
    Scribble(9);
    gCRect rect(-10, -5, 40, 30);
    ASSERT_EQ(canvas->ProtectDabArea(rect, 0), eNoError);
    for (int32_t i = 0; i < 4; ++i) {
        CImNav kept(&canvas->ProtectImage(i));
        EXPECT_EQ(uint32_t(kept.Row(5)[10]), LayerAt(i, 0, 0));
        EXPECT_EQ(uint32_t(kept.Row(34)[49]), LayerAt(i, 39, 29));
    }
}

TEST_F(DabArea, OnlyTheProtectImagesTopLeftIsKept) {
    Scribble(3);
    const Words before = Layers();
    gCRect rect(0, 0, kW, kH);
    ASSERT_EQ(canvas->ProtectDabArea(rect, 0), eNoError);
    Scribble(4);
    const Words dabbed = Layers();
    ASSERT_EQ(canvas->ProtectDabArea(rect, 1), eNoError);
    const Words after = Layers();
    for (size_t k = 0; k < after.size(); ++k) {
        const int32_t x = int32_t(k % kW);
        const int32_t y = int32_t(k / kW % kH);
        ASSERT_EQ(after[k],
                  x < CCanvas::kProtectSide && y < CCanvas::kProtectSide ? before[k] : dabbed[k]) << x << "," << y;
    }
}

} // namespace
