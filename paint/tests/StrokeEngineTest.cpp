// The stroke engine: samples in, evenly spaced smoothed points out to the
// tool, the display refreshed at the pen's pace, and strokes that end whole.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "foundation/Input.h"
#include "imaging/Image.h"
#include "paint/SharpTurn.h"
#include "paint/canvas/Canvas.h"
#include "paint/project/ProjectInfo.h"
#include "paint/relight/Renderer.h"
#include "testsupport/foundation/FailingMemory.h"
#include "testsupport/foundation/FakeAppServices.h"
#include "testsupport/foundation/FakeClock.h"
#include "testsupport/paint/RecordingTool.h"
#include "testsupport/paint/StrokeRecipes.h"

namespace {

using Kind = CRecordingTool::EKind;
using Point = CPaintTool::pointStruct;

// One log of what happened, in order: the tool's calls and the relights.
struct SEvents {
    std::string sequence; // 'F' SetFirstPt, 'D' RenderDab, 'S' Dab, 'E' DabEnd, 'R' relight
};

class CLoggingRenderer : public CRenderer {
public:
    explicit CLoggingRenderer(SEvents& events) : CRenderer(0), m_Events(events) {}
    int32_t ProcessData(uint32_t, const void*, int64_t, int32_t) override { return 0; }
    error SetupRenderer() override { return eNoError; }
    error Render(CImage*, CCanvas&, int32_t whole) override {
        m_Events.sequence += 'R';
        m_nLastWhole = whole;
        return m_Fail;
    }
    SEvents& m_Events;
    error m_Fail = eNoError;
    int32_t m_nLastWhole = -1;
};

class CEngineCanvas : public CCanvas {
public:
    explicit CEngineCanvas(SEvents& events) : m_Renderer(events) {}
    CRenderer* CurrentRenderer() override { return &m_Renderer; }
    CLoggingRenderer m_Renderer;
};

// The recording tool with the engine's inner steps opened up and every call
// logged into the shared sequence.
class CEngineTool : public CRecordingTool {
public:
    CEngineTool(SEvents& events, const SStrokeTraits& traits)
        : CRecordingTool(eToolAirbrush, traits), m_Events(events) {}
    using CPaintTool::AddStrokePt;
    using CPaintTool::NormalCalc;

    error SetFirstPt(Point pt, int32_t flag) override {
        m_Events.sequence += 'F';
        return CRecordingTool::SetFirstPt(pt, flag);
    }
    error RenderDab(Point pt, gCRect& rect, CCanvas* canvas) override {
        m_Events.sequence += 'D';
        return CRecordingTool::RenderDab(pt, rect, canvas);
    }
    error Dab(Point pt, gCRect& rect, CCanvas* canvas) override {
        m_Events.sequence += 'S';
        return CRecordingTool::Dab(pt, rect, canvas);
    }
    error DabEnd() override {
        m_Events.sequence += 'E';
        return CRecordingTool::DabEnd();
    }
    std::vector<SCall> Of(Kind kind) const {
        std::vector<SCall> calls;
        for (const SCall& c : m_Calls) {
            if (c.kind == kind) {
                calls.push_back(c);
            }
        }
        return calls;
    }
    SEvents& m_Events;
};

CTabletPoint Sample(float x, float y, float pressure = 0.0f) {
    CTabletPoint p;
    p.x = x;
    p.y = y;
    p.pressure = pressure;
    return p;
}

// The lengths of the runs of dabs that each relight closes.
std::vector<int32_t> DabsPerRelight(const std::string& sequence) {
    std::vector<int32_t> runs;
    int32_t run = 0;
    for (const char c : sequence) {
        if (c == 'D' || c == 'S') {
            ++run;
        } else if (c == 'R') {
            runs.push_back(run);
            run = 0;
        }
    }
    return runs;
}

// Holds the engine to one point a move for a test's length: the pace in
// which the relight rhythm and the retry of a failed dab are stated.
struct SHeldToPace {
    SHeldToPace() { CPaintTool::HoldToPace(true); }
    ~SHeldToPace() { CPaintTool::HoldToPace(false); }
    SHeldToPace(const SHeldToPace&) = delete;
    SHeldToPace& operator=(const SHeldToPace&) = delete;
};

class StrokeEngine : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(canvas.Initialise(), eNoError);
        CProjectInfo info;
        info.m_nWidth = 400;
        info.m_nHeight = 300;
        info.m_nCanvasSetting = 0xFFFFFFFAu;
        ASSERT_EQ(canvas.CreateProject(&info), eNoError);
        UseTool();
    }
    // A fresh tool answering the traits.
    void UseTool(const SStrokeTraits& traits = {}) {
        tool = std::make_unique<CEngineTool>(events, traits);
        tool->m_bMark = true;
        tool->m_MarkRect = gCRect(5, 6, 7, 8);
        events.sequence.clear();
    }
    error Down(float x, float y) {
        CTabletPoint p = Sample(x, y);
        return tool->ToolDown(nullptr, &canvas, p);
    }
    // Each sample comes moveMicroseconds after the last: by default a
    // display refresh, so the relights follow the dab counts alone.
    error Move(float x, float y, float pressure) {
        clock.AdvanceMicroseconds(moveMicroseconds);
        CTabletPoint p = Sample(x, y, pressure);
        return tool->ToolMove(nullptr, &canvas, p);
    }
    error Up(float x, float y) {
        CTabletPoint p = Sample(x, y);
        return tool->ToolUp(nullptr, &canvas, p);
    }
    // Every sample of the stroke: the first pressed, the rest moved to,
    // released at the last.
    error Stroke(const CStroke& stroke) {
        error e = Down(stroke.front().x, stroke.front().y);
        for (size_t i = 1; e == eNoError && i < stroke.size(); ++i) {
            e = Move(stroke[i].x, stroke[i].y, float(stroke[i].q));
        }
        return e != eNoError ? e : Up(stroke.back().x, stroke.back().y);
    }

    CFakeAppServices app;
    CFakeClock clock;
    uint64_t moveMicroseconds = 16667;
    SEvents events;
    CEngineCanvas canvas{events};
    std::unique_ptr<CEngineTool> tool;
};

void ExpectPoint(const Point& p, float x, float y, int32_t pressure, float dx, float dy) {
    EXPECT_FLOAT_EQ(p.x, x);
    EXPECT_FLOAT_EQ(p.y, y);
    EXPECT_EQ(p.pressure, pressure);
    EXPECT_FLOAT_EQ(p.dx, dx);
    EXPECT_FLOAT_EQ(p.dy, dy);
}

// --- The corner test, the curve, the spacing.

TEST(StrokeEngineGeometry, CornersAreTurnsOfMoreThanAbout88Degrees) {
    struct Case {
        float degrees;
        bool corner;
    } cases[] = {{0.0f, false}, {45.0f, false}, {87.0f, false},
                 {89.0f, true}, {135.0f, true}, {180.0f, true}};
    for (const Case& c : cases) {
        const float r = c.degrees * 3.14159265f / 180.0f;
        // Lengths differ: only the directions count.
        EXPECT_EQ(CPaintTool::IsCorner(3.0f, 0.0f, 0.5f * std::cos(r), 0.5f * std::sin(r)),
                  c.corner)
            << c.degrees;
    }
    // A step of no length counts as a turn.
    EXPECT_TRUE(CPaintTool::IsCorner(0.0f, 0.0f, 1.0f, 0.0f));
    EXPECT_TRUE(CPaintTool::IsCorner(0.0f, 0.0f, 0.0f, 0.0f));
}

// The engine's corners and the tools' caps part at a sum of exactly
// kSharpTurnSum (the square root of its square is itself): the engine goes
// on there, the tools turn; either side of it they agree.
TEST(StrokeEngineGeometry, EngineAndToolsPartOnlyOnTheSharpTurnBoundary) {
    struct Case {
        float sum;
        bool engineTurns, toolsTurn;
    } cases[] = {
        {std::nextafter(kSharpTurnSum, 0.0f), true, true},
        {kSharpTurnSum, false, true},
        {std::nextafter(kSharpTurnSum, 2.0f), false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.sum);
        for (const auto& [sx, sy] : {std::pair{c.sum, 0.0f}, std::pair{0.0f, -c.sum}}) {
            EXPECT_EQ(IsSharpTurn(sx, sy, ETurnEdge::eEdgeGoesOn), c.engineTurns);
            EXPECT_EQ(IsSharpTurn(sx, sy, ETurnEdge::eEdgeTurns), c.toolsTurn);
        }
    }
}

TEST(StrokeEngineGeometry, TheCurvePassesThroughItsInnerPoints) {
    EXPECT_FLOAT_EQ(CPaintTool::DoSpline(0.0f, 1.0f, 3.0f, 6.0f, 0.0f), 1.0f);
    EXPECT_FLOAT_EQ(CPaintTool::DoSpline(0.0f, 1.0f, 3.0f, 6.0f, 1.0f), 3.0f);
    // 0.5 (2 + 3/2 + (0 - 5 + 12 - 6)/4 + (0 + 3 - 9 + 6)/8)
    EXPECT_FLOAT_EQ(CPaintTool::DoSpline(0.0f, 1.0f, 3.0f, 6.0f, 0.5f), 1.875f);
}

TEST_F(StrokeEngine, SpacingFollowsTheLinearSizeAndTheTool) {
    struct Case {
        float perSize; // the tool's spacing per linear size
        float linear;
        float spacing;
    } cases[] = {{3.0f, 0.3f, 1.9f},
                 {1.0f, 0.3f, 1.3f},
                 {3.0f, 1.0f, 4.0f},
                 {1.0f, 1.0f, 2.0f},
                 {3.0f, 0.0f, 1.0f}};
    for (const Case& c : cases) {
        SStrokeTraits traits;
        traits.spacingPerSize = c.perSize;
        UseTool(traits);
        tool->SetToolLinearSize(c.linear);
        ASSERT_EQ(Down(10.0f, 10.0f), eNoError);
        EXPECT_FLOAT_EQ(tool->PointSpacing(), c.spacing) << c.perSize << " " << c.linear;
    }
}

// --- Points into the stroke.

TEST_F(StrokeEngine, PointsCloserThanTheSpacingOnBothAxesAreDropped) {
    ASSERT_EQ(Down(0.0f, 0.0f), eNoError); // spacing 1.9
    struct Case {
        float x, y;
        int32_t final;
        bool kept;
    } cases[] = {
        {0.0f, 0.0f, 0, true}, // the first is always kept
        {1.0f, 1.0f, 0, false}, {1.89f, -1.89f, 0, false}, {2.0f, 0.0f, 0, true},
        {3.5f, 1.5f, 0, false}, {2.0f, 2.5f, 0, true}, // one axis is enough
        {4.1f, 2.6f, 0, true},  {4.2f, 2.7f, 1, true}, // the end is always kept
    };
    int32_t count = 0;
    for (const Case& c : cases) {
        Point p;
        p.x = c.x;
        p.y = c.y;
        tool->AddStrokePt(p, c.final);
        count += c.kept ? 1 : 0;
        EXPECT_EQ(tool->StrokePoints().GetSize(), count) << c.x << ", " << c.y;
    }
}

TEST_F(StrokeEngine, EachPointIsPulledTowardTheChordAheadLessSoNearCorners) {
    tool->SetToolLinearSize(0.0f); // spacing 1
    struct Case {
        const char* what;
        std::vector<std::pair<float, float>> points;
        int32_t moved;
        float x, y;
    } cases[] = {
        {"straight: a quarter of the chord three ahead",
         {{0, 0}, {10, 0}, {20, 0}, {30, 0}},
         1,
         7.5f,
         0.0f},
        {"a corner after it: halfway back", {{0, 0}, {10, 0}, {10, 10}, {10, 20}}, 1, 5.0f, 0.0f},
        {"a corner one further: a third of the chord two ahead",
         {{0, 0}, {10, 0}, {20, 0}, {20, 10}},
         1,
         20.0f * 0.33333f,
         0.0f},
        // The first smoothing halves the step into the corner at (0, 0); then
        // the point after the corner stays where it was.
        {"right after a corner: nothing moves",
         {{0, 10}, {0, 0}, {10, 5}, {20, 5}, {30, 5}},
         2,
         10.0f,
         5.0f},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(Down(0.0f, 0.0f), eNoError);
        for (const auto& [x, y] : c.points) {
            Point p;
            p.x = x;
            p.y = y;
            tool->AddStrokePt(p, 0);
        }
        const Point& q = tool->StrokePoints()[c.moved];
        EXPECT_FLOAT_EQ(q.x, c.x) << c.what;
        EXPECT_FLOAT_EQ(q.y, c.y) << c.what;
    }
}

TEST_F(StrokeEngine, DirectionAndPressureAverageTheNeighboursExceptAcrossACorner) {
    struct Case {
        const char* what;
        float x2, y2;
        float dx, dy;
        int32_t pressure;
    } cases[] = {
        {"straight: from the point before to the one after", 20.0f, 0.0f, 1.0f, 0.0f, 300},
        // (10, 10) - (10, 0); the point's own pressure counts twice.
        {"a corner: from the point itself", 10.0f, 10.0f, 0.0f, 1.0f, 400},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(Down(0.0f, 0.0f), eNoError);
        const Point points[] = {{0.0f, 0.0f, 0, 0.0f, 0.0f},
                                {10.0f, 0.0f, 300, 0.0f, 0.0f},
                                {c.x2, c.y2, 600, 0.0f, 0.0f}};
        for (const Point& p : points) {
            tool->AddStrokePt(p, 0);
        }
        tool->NormalCalc(1);
        ExpectPoint(tool->StrokePoints()[1], 10.0f, 0.0f, c.pressure, c.dx, c.dy);
        // Provisionally the next point's too.
        EXPECT_FLOAT_EQ(tool->StrokePoints()[2].dx, c.dx) << c.what;
        EXPECT_FLOAT_EQ(tool->StrokePoints()[2].dy, c.dy) << c.what;
    }
}

// --- Short strokes: one dab.

TEST_F(StrokeEngine, AClickDabsOnceAtTheReleaseAndKeepsItsDirection) {
    ASSERT_EQ(Down(10.0f, 20.0f), eNoError);
    ASSERT_EQ(Up(10.0f, 20.0f), eNoError);
    EXPECT_EQ(events.sequence, "FSRE");
    ASSERT_EQ(tool->m_Calls.size(), 3u);
    EXPECT_EQ(tool->m_Calls[0].flag, 1);
    ExpectPoint(tool->m_Calls[0].pt, 10.0f, 20.0f, 0, 0.70710677f, 0.70710677f);
    ExpectPoint(tool->m_Calls[1].pt, 10.0f, 20.0f, 0, 0.70710677f, 0.70710677f);
    EXPECT_FLOAT_EQ(tool->DirectionX(), 0.70710677f);
    EXPECT_EQ(tool->StrokeNum(), 1);
    EXPECT_EQ(tool->RawPoints().GetSize(), 0);
    EXPECT_EQ(tool->DabEndDue(), 0);
    EXPECT_EQ(canvas.m_Renderer.m_nLastWhole, 0); // only the marked spans

    // Released away from the press: pointing from one to the other.
    tool->m_Calls.clear();
    ASSERT_EQ(Down(0.0f, 0.0f), eNoError);
    ASSERT_EQ(Up(3.0f, 4.0f), eNoError);
    ExpectPoint(tool->Of(Kind::eDab)[0].pt, 3.0f, 4.0f, 0, 0.6f, 0.8f);

    // The next click in place points the same way.
    tool->m_Calls.clear();
    ASSERT_EQ(Down(50.0f, 50.0f), eNoError);
    ASSERT_EQ(Up(50.0f, 50.0f), eNoError);
    ExpectPoint(tool->Of(Kind::eDab)[0].pt, 50.0f, 50.0f, 0, 0.6f, 0.8f);
}

TEST_F(StrokeEngine, AFlickDabsOnceWithItsPeakPressureTowardTheRelease) {
    ASSERT_EQ(Down(0.0f, 0.0f), eNoError);
    ASSERT_EQ(Move(3.0f, 0.0f, 500.0f), eNoError);
    ASSERT_EQ(Move(6.0f, 0.0f, 800.0f), eNoError);
    EXPECT_LE(tool->StrokePoints().GetSize(), 3);
    ASSERT_EQ(Up(6.0f, 0.0f), eNoError);
    EXPECT_EQ(events.sequence, "FSRE");
    EXPECT_EQ(tool->m_Calls[0].flag, 1);
    ExpectPoint(tool->Of(Kind::eDab)[0].pt, 6.0f, 0.0f, 800, 1.0f, 0.0f);
    EXPECT_FLOAT_EQ(tool->DirectionX(), 1.0f);
    EXPECT_FLOAT_EQ(tool->DirectionY(), 0.0f);
}

// Four or five points are too few to paint while moving, but enough for a
// line: the release paints them, its first piece set up and straightened.
TEST_F(StrokeEngine, FourOrFivePointsArePaintedAsALineAtTheRelease) {
    struct Case {
        int32_t moves; // 1 px apart along x at pressure 600
        int32_t points;
    } cases[] = {{7, 4}, {9, 5}};
    for (const Case& c : cases) {
        UseTool();
        ASSERT_EQ(Down(0.0f, 0.0f), eNoError);
        for (int32_t i = 1; i <= c.moves; ++i) {
            ASSERT_EQ(Move(float(i), 0.0f, 600.0f), eNoError);
        }
        ASSERT_EQ(tool->StrokePoints().GetSize(), c.points);
        EXPECT_EQ(tool->Count(Kind::eRenderDab), 0);
        ASSERT_EQ(Up(float(c.moves), 0.0f), eNoError);

        std::string expected(size_t(c.points) + 3, 'D');
        expected.front() = 'F';
        expected.replace(expected.size() - 2, 2, "RE");
        EXPECT_EQ(events.sequence, expected);
        const std::vector<CRecordingTool::SCall> dabs = tool->Of(Kind::eRenderDab);
        const Point first = tool->m_Calls[0].pt;
        EXPECT_EQ(tool->m_Calls[0].flag, 0);
        // Laid evenly on the line from the first point toward the release.
        const float step = dabs[1].pt.x;
        EXPECT_GT(step, 1.0f);
        for (int32_t k = 0; k < c.points; ++k) {
            const Point& p = dabs[size_t(k)].pt;
            EXPECT_NEAR(p.x, float(k) * step, 1e-5f) << k;
            EXPECT_FLOAT_EQ(p.y, 0.0f);
            EXPECT_FLOAT_EQ(p.dx, 1.0f);
        }
        EXPECT_FLOAT_EQ(first.x, 0.0f);
    }
    // Worked through for four: the tail ramps 200, 150, 100, 50 to the
    // release's 0, and the last point lands at 6 (seen above as 6 * k / 5).
    UseTool();
    ASSERT_EQ(Down(0.0f, 0.0f), eNoError);
    for (int32_t i = 1; i <= 7; ++i) {
        ASSERT_EQ(Move(float(i), 0.0f, 600.0f), eNoError);
    }
    ASSERT_EQ(Up(7.0f, 0.0f), eNoError);
    const std::vector<CRecordingTool::SCall> dabs = tool->Of(Kind::eRenderDab);
    const int32_t pressures[] = {200, 150, 100, 50};
    for (size_t k = 0; k < 4; ++k) {
        ExpectPoint(dabs[k].pt, 6.0f * float(k) / 5.0f, 0.0f, pressures[k], 1.0f, 0.0f);
    }
}

// --- Painting while moving.

TEST_F(StrokeEngine, NothingIsPaintedBeforeSixPointsAndTheStartIsStraightened) {
    ASSERT_EQ(Down(100.0f, 100.0f), eNoError);
    // An arc: the first points are not on one line until straightened.
    int32_t i = 1;
    for (; tool->Count(Kind::eRenderDab) == 0 && i < 200; ++i) {
        const float a = float(i) * 0.05f;
        ASSERT_EQ(Move(100.0f + 40.0f * std::sin(a), 140.0f - 40.0f * std::cos(a), 700.0f),
                  eNoError);
        if (tool->Count(Kind::eRenderDab) == 0) {
            // Not even the set-up of the first piece before it paints.
            EXPECT_TRUE(tool->m_Calls.empty());
            continue;
        }
        EXPECT_GE(tool->StrokePoints().GetSize(), 6);
    }
    ASSERT_EQ(events.sequence.substr(0, 2), "FD");
    EXPECT_EQ(tool->m_Calls[0].flag, 0);
    const gCArray<Point>& points = tool->StrokePoints();
    const Point f = points[0];
    const float sx = points[1].x - f.x, sy = points[1].y - f.y;
    const float length = std::sqrt(sx * sx + sy * sy);
    for (int32_t k = 0; k < points.GetSize(); ++k) {
        EXPECT_NEAR(points[k].x, f.x + float(k) * sx, 1e-3f) << k;
        EXPECT_NEAR(points[k].y, f.y + float(k) * sy, 1e-3f) << k;
        EXPECT_NEAR(points[k].dx, sx / length, 1e-5f);
        EXPECT_NEAR(points[k].dy, sy / length, 1e-5f);
    }
    ExpectPoint(tool->m_Calls[1].pt, f.x, f.y, f.pressure, f.dx, f.dy);
}

TEST_F(StrokeEngine, TheDisplayFollowsThePensPace) {
    const SHeldToPace held;
    // One long piece leaves many points waiting to be painted.
    ASSERT_EQ(Down(0.0f, 150.0f), eNoError);
    ASSERT_EQ(Move(2.0f, 150.0f, 600.0f), eNoError);
    ASSERT_EQ(Move(200.0f, 150.0f, 600.0f), eNoError);
    ASSERT_EQ(Move(202.0f, 150.0f, 600.0f), eNoError); // paints one, 2 px: every 2
    ASSERT_EQ(tool->Count(Kind::eRenderDab), 1);
    for (int32_t i = 0; i < 39; ++i) {
        ASSERT_EQ(Move(202.0f, 150.0f, 600.0f), eNoError); // held still: every 30
    }
    for (int32_t i = 1; i <= 6; ++i) {
        ASSERT_EQ(Move(202.0f + 2.0f * float(i), 150.0f, 600.0f), eNoError); // every 2
    }
    for (int32_t i = 1; i <= 30; ++i) {
        ASSERT_EQ(Move(214.0f + 8.0f * float(i), 150.0f, 600.0f), eNoError); // every 15
    }
    // The held pen's run closes at 30; the first slow move closes the 10
    // held since at once; the sixth slow dab opens the first fast run.
    const std::vector<int32_t> expected = {30, 11, 2, 2, 15, 15};
    EXPECT_EQ(DabsPerRelight(events.sequence), expected) << events.sequence;
}

TEST_F(StrokeEngine, TheRelightWaitsForTheDisplaysRefresh) {
    const SHeldToPace held;
    // Samples 4 ms apart, one dab each: a relight is due every 2 dabs but
    // comes only once a refresh (16.667 ms) has passed, so every 5 samples
    // after the stroke's first, which comes at once; the release relights
    // what is left.
    moveMicroseconds = 4000;
    ASSERT_EQ(Down(0.0f, 150.0f), eNoError);
    ASSERT_EQ(Move(2.0f, 150.0f, 600.0f), eNoError);
    ASSERT_EQ(Move(200.0f, 150.0f, 600.0f), eNoError);
    for (int32_t i = 1; i <= 21; ++i) {
        ASSERT_EQ(Move(200.0f + 2.0f * float(i), 150.0f, 600.0f), eNoError);
    }
    const std::vector<int32_t> moving = {2, 5, 5, 5};
    EXPECT_EQ(DabsPerRelight(events.sequence), moving) << events.sequence;
    // With the clock standing still, a held pen's run of 30 dabs still
    // relights.
    moveMicroseconds = 0;
    for (int32_t i = 22; i <= 60; ++i) {
        ASSERT_EQ(Move(200.0f + 2.0f * float(i), 150.0f, 600.0f), eNoError);
    }
    const std::vector<int32_t> still = {2, 5, 5, 5, 30};
    EXPECT_EQ(DabsPerRelight(events.sequence), still) << events.sequence;
    // The release drains the rest, relit every 81 dabs and at the end.
    ASSERT_EQ(Up(320.0f, 150.0f), eNoError);
    const std::vector<int32_t> runs = DabsPerRelight(events.sequence);
    ASSERT_GT(runs.size(), still.size()) << events.sequence;
    EXPECT_EQ(runs[still.size()], 81) << events.sequence;
    EXPECT_EQ(events.sequence.substr(events.sequence.size() - 2), "RE");
}

TEST_F(StrokeEngine, TheReleaseDrainsTheRestRelightingEvery81Dabs) {
    const SHeldToPace held;
    ASSERT_EQ(Down(0.0f, 150.0f), eNoError);
    ASSERT_EQ(Move(2.0f, 150.0f, 600.0f), eNoError);
    ASSERT_EQ(Move(380.0f, 150.0f, 600.0f), eNoError);
    ASSERT_EQ(Move(382.0f, 150.0f, 600.0f), eNoError);
    const int32_t waiting = tool->StrokePoints().GetSize() - tool->RenderCursor();
    ASSERT_GT(waiting, 100);
    ASSERT_EQ(Up(382.0f, 150.0f), eNoError);
    const std::vector<int32_t> runs = DabsPerRelight(events.sequence);
    ASSERT_EQ(runs.size(), 2u) << events.sequence;
    EXPECT_EQ(runs[0], 81); // one painted while moving, 80 drained
    EXPECT_EQ(runs[1], waiting - 80);
    EXPECT_EQ(events.sequence.back(), 'E');
}

// Points waiting past two: a move paints up to two more, until two wait.
TEST_F(StrokeEngine, AMovePaintsAheadWhilePointsWait) {
    ASSERT_EQ(Down(0.0f, 150.0f), eNoError);
    ASSERT_EQ(Move(2.0f, 150.0f, 600.0f), eNoError);
    ASSERT_EQ(Move(40.0f, 150.0f, 600.0f), eNoError);
    ASSERT_EQ(Move(42.0f, 150.0f, 600.0f), eNoError);
    ASSERT_EQ(tool->Count(Kind::eRenderDab), 3);
    int32_t dabs = 3;
    for (int32_t i = 0; i < 30; ++i) {
        ASSERT_EQ(Move(42.0f, 150.0f, 600.0f), eNoError); // held still: no new points
        const int32_t now = tool->Count(Kind::eRenderDab);
        ASSERT_LE(now - dabs, 3);
        dabs = now;
    }
    const int32_t waiting = tool->StrokePoints().GetSize() - tool->RenderCursor();
    EXPECT_GE(waiting, 2);
    EXPECT_LE(waiting, 2 + 3); // the smoothing's few beside the two
}

TEST_F(StrokeEngine, TheTailFadesToNothingExceptForPencils) {
    for (const bool keeps : {false, true}) {
        SStrokeTraits traits;
        traits.tailKeepsPressure = keeps;
        UseTool(traits);
        ASSERT_EQ(Stroke(StrokeRecipes::SlowDrag(80, 20.0, 100.0, 1000.0 / 1024.0)), eNoError);
        const std::vector<CRecordingTool::SCall> dabs = tool->Of(Kind::eRenderDab);
        ASSERT_GT(dabs.size(), 10u);
        // Each point averages itself with its neighbours, truncating.
        const int32_t steady = dabs[dabs.size() / 2].pt.pressure;
        EXPECT_EQ(steady, 999);
        const int32_t end = dabs.back().pt.pressure;
        if (keeps) {
            EXPECT_GE(end, steady);
        } else {
            EXPECT_LT(end, 1000 / 2);
            for (size_t k = dabs.size() - 3; k < dabs.size(); ++k) {
                EXPECT_LT(dabs[k].pt.pressure, dabs[k - 1].pt.pressure) << k;
            }
        }
    }
}

// --- Strokes that end badly.

TEST_F(StrokeEngine, APressStartsAfreshAfterAStrokeThatNeverEnded) {
    ASSERT_EQ(Down(0.0f, 0.0f), eNoError);
    ASSERT_EQ(Move(5.0f, 0.0f, 900.0f), eNoError);
    ASSERT_EQ(Move(10.0f, 0.0f, 900.0f), eNoError);
    ASSERT_EQ(Down(50.0f, 60.0f), eNoError);
    ASSERT_EQ(tool->RawPoints().GetSize(), 1);
    ExpectPoint(tool->RawPoints()[0], 50.0f, 60.0f, 0, 0.0f, 0.0f);
    EXPECT_EQ(tool->StrokePoints().GetSize(), 0);
}

TEST_F(StrokeEngine, AFailingDabIsReturnedAndTriedAgainByTheNextMove) {
    const SHeldToPace held;
    ASSERT_EQ(Down(0.0f, 0.0f), eNoError);
    tool->m_nFailAt = 3; // F, D, then this D
    tool->m_FailCode = eOutOfMemory;
    error failed = eNoError;
    int32_t i = 1;
    for (; failed == eNoError && i < 100; ++i) {
        failed = Move(3.0f * float(i), 0.0f, 500.0f);
    }
    EXPECT_EQ(failed, eOutOfMemory);
    EXPECT_EQ(tool->RenderCursor(), 1);
    ASSERT_EQ(Move(3.0f * float(i), 0.0f, 500.0f), eNoError);
    const std::vector<CRecordingTool::SCall> dabs = tool->Of(Kind::eRenderDab);
    ASSERT_EQ(dabs.size(), 3u);
    ExpectPoint(dabs[2].pt, dabs[1].pt.x, dabs[1].pt.y, dabs[1].pt.pressure, dabs[1].pt.dx,
                dabs[1].pt.dy);
    EXPECT_EQ(tool->RenderCursor(), 2);
}

TEST_F(StrokeEngine, ARelightFailureIsReturned) {
    ASSERT_EQ(Down(0.0f, 0.0f), eNoError);
    canvas.m_Renderer.m_Fail = eOutOfMemory;
    error failed = eNoError;
    for (int32_t i = 1; failed == eNoError && i < 100; ++i) {
        failed = Move(3.0f * float(i), 0.0f, 500.0f);
    }
    EXPECT_EQ(failed, eOutOfMemory);
    EXPECT_EQ(Up(300.0f, 0.0f), eOutOfMemory);
    EXPECT_EQ(tool->DabEndDue(), 1); // the release broke off before the end
}

TEST_F(StrokeEngine, AFailedEndKeepsTheSamplesAndTheStrokeCount) {
    ASSERT_EQ(Down(10.0f, 10.0f), eNoError);
    tool->m_nFailAt = 3; // F, S, then DabEnd
    tool->m_FailCode = eBadParameter;
    EXPECT_EQ(tool->DabEndDue(), 1);
    EXPECT_EQ(Up(10.0f, 10.0f), eBadParameter);
    EXPECT_EQ(tool->DabEndDue(), 1); // a failed end is still owed
    EXPECT_EQ(tool->RawPoints().GetSize(), 1);
    EXPECT_EQ(tool->StrokeNum(), 0);
    // The next press starts its own stroke.
    ASSERT_EQ(Down(30.0f, 40.0f), eNoError);
    EXPECT_EQ(tool->RawPoints().GetSize(), 1);
    EXPECT_FLOAT_EQ(tool->RawPoints()[0].x, 30.0f);
}

TEST_F(StrokeEngine, MovesWithoutMemoryGoOnWithThePointsTheyHave) {
    ASSERT_EQ(Down(0.0f, 0.0f), eNoError);
    for (int32_t i = 1; i <= 20; ++i) {
        ASSERT_EQ(Move(3.0f * float(i), 0.0f, 500.0f), eNoError);
    }
    const int32_t points = tool->StrokePoints().GetSize();
    {
        CFailingMemory refuse;
        for (int32_t i = 21; i <= 60; ++i) {
            ASSERT_EQ(Move(3.0f * float(i), 0.0f, 500.0f), eNoError);
        }
    }
    // What could not be stored is missing; the rest still paints and ends.
    EXPECT_LE(tool->StrokePoints().GetSize(), points + 40);
    ASSERT_EQ(Up(200.0f, 0.0f), eNoError);
    EXPECT_EQ(tool->StrokeNum(), 1);
    EXPECT_EQ(events.sequence.back(), 'E');
}

// --- One whole stroke with a corner, against its reviewed log.

TEST_F(StrokeEngine, AStrokeWithACornerMakesItsReviewedCalls) {
    // Two legs of 24 px joined at a 100 degree turn, 3 px a sample.
    const CStroke stroke =
        StrokeRecipes::ZigZag(2, 24.0, 100.0, 3.0, 50.0, 50.0, 600.0 / 1024.0, 600.0 / 1024.0);
    ASSERT_EQ(Stroke(stroke), eNoError);
    std::string log;
    for (const CRecordingTool::SCall& c : tool->m_Calls) {
        char line[128];
        std::snprintf(line, sizeof line, "%c %.3f %.3f %d %.4f %.4f %d\n", "FDSE"[c.kind], c.pt.x,
                      c.pt.y, c.pt.pressure, c.pt.dx, c.pt.dy, c.flag);
        log += line;
    }
    // The start straightened and ramping up from the first point's 0, the
    // turn rounded over three points, the tail laid straight on and fading.
    const char* expected = "F 50.000 50.000 200 1.0000 0.0000 0\n"
                           "D 50.000 50.000 200 1.0000 0.0000 0\n"
                           "D 52.317 50.000 466 1.0000 0.0000 0\n"
                           "D 54.633 50.000 555 1.0000 0.0000 0\n"
                           "D 56.950 50.000 585 1.0000 0.0000 0\n"
                           "D 58.963 50.000 595 1.0000 0.0000 0\n"
                           "D 60.947 50.000 598 1.0000 0.0000 0\n"
                           "D 63.185 50.000 599 1.0000 0.0000 0\n"
                           "D 65.669 50.000 599 0.9864 0.1641 0\n"
                           "D 67.623 50.738 599 0.9969 0.0783 0\n"
                           "D 70.372 50.369 599 0.8810 0.4731 0\n"
                           "D 70.888 52.492 599 0.1714 0.9852 0\n"
                           "D 71.147 54.822 599 0.0662 0.9978 0\n"
                           "D 71.208 57.308 599 -0.0044 1.0000 0\n"
                           "D 71.124 59.911 449 -0.0044 1.0000 0\n"
                           "D 71.041 62.513 299 -0.0044 1.0000 0\n"
                           "D 70.958 65.116 150 -0.0044 1.0000 0\n"
                           "E 0.000 0.000 0 0.0000 0.0000 0\n";
    EXPECT_EQ(log, expected);
}

} // namespace
