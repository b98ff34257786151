// The second stroke engine through a brush that records its calls: the
// input filter, the spline and its points, the dab loop's budgets, the data
// channel; then its geometry: crossings, the quad scan and the wells.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

#include "foundation/Input.h"
#include "foundation/MessageIds.h"
#include "paint/ChannelValue.h"
#include "paint/ToolBase.h"
#include "paint/canvas/Canvas.h"
#include "paint/project/ProjectInfo.h"
#include "testsupport/foundation/FakeClock.h"
#include "testsupport/paint/RecordingEngine.h"

namespace {

using Point = CToolBase::CPointInterp;

// A canvas that logs its relights and protects, with a project when asked.
class CSweepCanvas : public CCanvas {
public:
    error Render(gCRect& r) override {
        m_Renders.push_back(r);
        m_RenderTicks.push_back(m_Tick ? m_Tick() : 0);
        return eNoError;
    }
    error ProtectArea(gCRect& r) override {
        m_Protected.push_back(r);
        return m_ProtectFail;
    }
    bool MakeProject(int32_t w, int32_t h) {
        if (Initialise() != eNoError) {
            return false;
        }
        CProjectInfo info;
        info.m_nWidth = w;
        info.m_nHeight = h;
        info.m_nCanvasSetting = 0xFFFFFFFAu;
        return CreateProject(&info) == eNoError;
    }
    std::vector<gCRect> m_Renders;
    std::vector<int32_t> m_RenderTicks;
    std::vector<gCRect> m_Protected;
    std::function<int32_t()> m_Tick;
    error m_ProtectFail = eNoError;
};

CTabletPoint Sample(float x, float y, float pressure = 512.0f) {
    CTabletPoint p;
    p.x = x;
    p.y = y;
    p.pressure = pressure;
    return p;
}

class SweepEngine : public ::testing::Test {
protected:
    error Down(float x, float y, float q = 512.0f) {
        CTabletPoint p = Sample(x, y, q);
        return engine.ToolDown(&canvas, p);
    }
    error Move(float x, float y, float q = 512.0f) {
        CTabletPoint p = Sample(x, y, q);
        return engine.ToolMove(&canvas, p);
    }
    error Up(float x, float y, float q = 512.0f) {
        CTabletPoint p = Sample(x, y, q);
        return engine.ToolUp(&canvas, p);
    }
    error Filter(float x, float y) {
        CTabletPoint p = Sample(x, y);
        return engine.MouseMove(&canvas, p);
    }
    // A straight stroke along +x from x = 10, samples `gap` apart.
    error Straight(int32_t samples, float gap) {
        error e = Down(10.0f, 20.0f);
        for (int32_t i = 1; i < samples && e == eNoError; ++i) {
            e = Move(10.0f + gap * float(i), 20.0f);
        }
        return e;
    }

    CFakeClock clock;
    CSweepCanvas canvas;
    CRecordingEngine engine;
};

// --- The input filter.

TEST_F(SweepEngine, MovesUpTo0901AreIgnored) {
    const struct {
        float x;
        bool taken;
    } cases[] = {{0.901f, false}, {0.902f, true}};
    for (const auto& c : cases) {
        CRecordingEngine fresh;
        CTabletPoint p = Sample(c.x, 0.0f);
        ASSERT_EQ(fresh.MouseMove(&canvas, p), eNoError);
        EXPECT_EQ(fresh.HistorySeeded(), 1);
        // Seeded with the sample itself, the midpoint rule leaves no
        // direction.
        EXPECT_EQ(fresh.CurrentPoint().x, c.taken ? c.x : 0.0f) << c.x;
        EXPECT_EQ(fresh.CurrentDirection(), gCRPoint());
        EXPECT_EQ(fresh.History(0).x, c.x);
    }
}

TEST_F(SweepEngine, TheMiddleEntryMovesToTheMidpointUnder142) {
    const struct {
        float x, current;
    } cases[] = {{1.41f, 0.705f}, {1.43f, 0.0f}};
    for (const auto& c : cases) {
        CRecordingEngine fresh;
        CTabletPoint seed = Sample(0.0f, 0.0f), p = Sample(c.x, 0.0f);
        ASSERT_EQ(fresh.MouseMove(&canvas, seed), eNoError); // seeds, moves nothing
        ASSERT_EQ(fresh.MouseMove(&canvas, p), eNoError);
        EXPECT_FLOAT_EQ(fresh.CurrentPoint().x, c.current) << c.x;
        EXPECT_EQ(fresh.CurrentDirection(), gCRPoint(1.0f, 0.0f));
        EXPECT_EQ(fresh.History(0), gCRPoint(c.x, 0.0f));
        EXPECT_EQ(fresh.History(2), gCRPoint(0.0f, 0.0f));
    }
}

TEST_F(SweepEngine, TheHistoryIsSeededOncePerEngine) {
    ASSERT_EQ(Down(100.0f, 100.0f), eNoError);
    ASSERT_EQ(Up(100.0f, 100.0f), eNoError);
    EXPECT_EQ(engine.History(3), gCRPoint(100.0f, 100.0f));
    // A second stroke far away shifts the old entries on, twice (the third
    // call does not move).
    ASSERT_EQ(Down(10.0f, 10.0f), eNoError);
    EXPECT_EQ(engine.History(1), gCRPoint(10.0f, 10.0f));
    EXPECT_EQ(engine.History(2), gCRPoint(100.0f, 100.0f));
    EXPECT_EQ(engine.CurrentPoint().x, 10.0f);
}

// --- Samples into stroke points.

TEST_F(SweepEngine, ASampleUnderHalfAPixelAddsNothing) {
    ASSERT_EQ(Down(50.0f, 50.0f), eNoError);
    ASSERT_EQ(Move(50.49f, 50.0f), eNoError);
    EXPECT_EQ(engine.RawPoints().GetSize(), 1);
    EXPECT_EQ(engine.StrokePoints().GetSize(), 0);
    ASSERT_EQ(Move(50.5f, 50.0f), eNoError);
    EXPECT_EQ(engine.RawPoints().GetSize(), 2);
}

TEST_F(SweepEngine, PressureZeroSpacesAsHalf) {
    ASSERT_EQ(Down(50.0f, 50.0f, 0.0f), eNoError);
    ASSERT_EQ(Move(53.0f, 50.0f, 0.0f), eNoError);
    ASSERT_GE(engine.m_SpaceAsked.size(), 2u);
    EXPECT_EQ(engine.m_SpaceAsked[0], 0.0f);
    EXPECT_EQ(engine.m_SpaceAsked[1], 0.5f);
}

TEST_F(SweepEngine, NoDabBeforeSixPointsAndAShortStrokeIsPaintedByToolUp) {
    ASSERT_EQ(Down(10.0f, 20.0f), eNoError);
    for (int32_t i = 1; engine.StrokePoints().GetSize() <= 5; ++i) {
        ASSERT_LT(i, 50);
        EXPECT_EQ(engine.Count(CRecordingEngine::eDab), 0);
        ASSERT_EQ(Move(10.0f + 3.0f * float(i), 20.0f), eNoError);
    }
    EXPECT_GT(engine.Count(CRecordingEngine::eDab), 0);

    CRecordingEngine shortOne;
    CTabletPoint p = Sample(10.0f, 20.0f);
    ASSERT_EQ(shortOne.ToolDown(&canvas, p), eNoError);
    for (int32_t i = 1; i <= 4; ++i) {
        p = Sample(10.0f + 3.0f * float(i), 20.0f);
        ASSERT_EQ(shortOne.ToolMove(&canvas, p), eNoError);
    }
    ASSERT_LE(shortOne.StrokePoints().GetSize(), 5);
    EXPECT_EQ(shortOne.Count(CRecordingEngine::eDab), 0);
    ASSERT_EQ(shortOne.ToolUp(&canvas, p), eNoError);
    // The first dab counts for point 0; points 1 to the last but one get
    // theirs, unless they have no direction.
    const int32_t n = shortOne.StrokePoints().GetSize() - 1;
    int32_t still = 0;
    for (int32_t i = 1; i < n; ++i) {
        const Point& q = shortOne.StrokePoints()[i];
        still += q.dx == 0.0f && q.dy == 0.0f ? 1 : 0;
    }
    EXPECT_GT(n, still);
    EXPECT_EQ(shortOne.Count(CRecordingEngine::eDab), n - 1 - still);
    EXPECT_EQ(shortOne.DabCount(), n);
    EXPECT_EQ(shortOne.Count(CRecordingEngine::eLastDab), 1);
    EXPECT_EQ(shortOne.StrokeNum(), 1);
    EXPECT_EQ(shortOne.RawPoints().GetSize(), 0);
}

TEST_F(SweepEngine, ToolUpSkipsStillPointsButCountsThem) {
    const gCRPoint dirs[] = {{1.0f, 0.0f}, {0.0f, 0.0f}, {0.0f, 1.0f}, {0.0f, 0.0f}};
    for (int32_t i = 0; i < 4; ++i) {
        ASSERT_EQ(engine.Points().Add(Point{float(i) * 5.0f, 0.0f, 512.0f, dirs[i].x, dirs[i].y}),
                  eNoError);
    }
    ASSERT_EQ(Up(100.0f, 0.0f), eNoError);
    ASSERT_EQ(engine.Count(CRecordingEngine::eDab), 2);
    EXPECT_EQ(engine.m_Calls[0].x, 0.0f);
    EXPECT_EQ(engine.m_Calls[1].x, 10.0f);
    EXPECT_EQ(engine.m_Calls[1].dabCount, 2);
    EXPECT_EQ(engine.DabCount(), 4);
}

TEST_F(SweepEngine, ATapMakesTheFirstAndLastDabOnly) {
    ASSERT_EQ(Down(30.0f, 30.0f), eNoError);
    ASSERT_EQ(Up(30.0f, 30.0f), eNoError);
    ASSERT_EQ(engine.m_Calls.size(), 2u);
    EXPECT_EQ(engine.m_Calls[0].kind, CRecordingEngine::eFirstDab);
    EXPECT_EQ(engine.m_Calls[1].kind, CRecordingEngine::eLastDab);
    EXPECT_EQ(engine.StrokePoints().GetSize(), 1);
}

// --- The time budgets.

TEST_F(SweepEngine, ToolMoveDabsFor20MsAndRendersTheirUnionOnce) {
    engine.m_pClock = &clock;
    engine.m_nMsPerDab = 100; // one dab per move: points pile up ahead
    ASSERT_EQ(Straight(12, 10.0f), eNoError);
    ASSERT_GE(engine.DirectionIndex() - engine.DabCount(), 4);
    engine.m_nMsPerDab = 7;
    engine.m_Rect = gCRect(5, 6, 9, 10);
    engine.m_nRectShift = 2;
    const size_t calls = engine.m_Calls.size();
    canvas.m_Renders.clear();
    ASSERT_EQ(Move(10.0f + 110.0f, 20.0f), eNoError);
    ASSERT_EQ(engine.m_Calls.size() - calls, 3u); // at 0, 7 and 14 ms
    ASSERT_EQ(canvas.m_Renders.size(), 1u);
    const int32_t first = int32_t(calls) * 2;
    // The union of the three, made exclusive by the render.
    EXPECT_EQ(canvas.m_Renders[0], gCRect(5 + first, 6, 9 + first + 4, 10));
}

TEST_F(SweepEngine, ToolUpRendersEvery40MsAndAtTheEnd) {
    engine.m_pClock = &clock;
    engine.m_nMsPerDab = 100; // one dab per move: the rest piles up
    ASSERT_EQ(Straight(12, 10.0f), eNoError);
    engine.m_nMsPerDab = 15;
    engine.m_Rect = gCRect(1, 1, 3, 3);
    canvas.m_Renders.clear();
    canvas.m_Tick = [this] { return int32_t(engine.m_Calls.size()); };
    const int32_t before = int32_t(engine.m_Calls.size());
    ASSERT_EQ(Up(10.0f + 110.0f, 20.0f), eNoError);
    const int32_t dabs = engine.Count(CRecordingEngine::eDab) - (before - 1);
    ASSERT_GE(dabs, 7);
    std::vector<int32_t> expected;
    for (int32_t k = 3; k < dabs; k += 3) {
        expected.push_back(before + k);
    }
    expected.push_back(before + dabs);     // the last body dab
    expected.push_back(before + dabs + 1); // the last dab's own
    std::vector<int32_t> got = canvas.m_RenderTicks;
    EXPECT_EQ(got, expected);
}

TEST_F(SweepEngine, AFailingDabIsReturnedAndNotCounted) {
    for (const int32_t k : {1, 2, 5}) {
        CRecordingEngine failing;
        failing.m_nFailAt = k;
        failing.m_FailCode = eBadParameter;
        CTabletPoint p = Sample(10.0f, 20.0f);
        error e = failing.ToolDown(&canvas, p);
        for (int32_t i = 1; i < 12 && e == eNoError; ++i) {
            p = Sample(10.0f + 10.0f * float(i), 20.0f);
            e = failing.ToolMove(&canvas, p);
        }
        if (e == eNoError) {
            e = failing.ToolUp(&canvas, p);
        }
        EXPECT_EQ(e, eBadParameter) << k;
        EXPECT_EQ(int32_t(failing.m_Calls.size()), k);
        EXPECT_EQ(failing.DabCount(), k - 1);
    }
}

// --- The spline and the stroke points.

TEST_F(SweepEngine, TheSplineAtTheFirstAndTheLastButOneAnchor) {
    // Segments of length 2 at pressure 100 or more (spacing under 1) are
    // walked in steps of 0.5: the points at t = 0 and 0.5, worked by hand.
    struct SCase {
        const char* name;
        std::vector<Point> raw;
        int32_t anchor;
        Point half; // x, y, pressure at t = 0.5
    } cases[] = {
        // P0 = P1 = (0, 0), P2 = (2, 0), P3 = (2, 8).
        {"first", {{0, 0, 100, 0, 0}, {2, 0, 300, 0, 0}, {2, 8, 200, 0, 0}}, 0,
         {1.0f, -0.5f, 206.25f, 0, 0}},
        // P0 = (0, 0), P1 = (2, 0), P2 = P3 = (4, 0).
        {"last but one", {{0, 0, 100, 0, 0}, {2, 0, 100, 0, 0}, {4, 0, 300, 0, 0}}, 1,
         {3.125f, 0.0f, 200.0f, 0, 0}},
    };
    for (const SCase& c : cases) {
        CRecordingEngine e;
        ASSERT_EQ(e.SetToolSize(1.0f), eNoError);
        for (const Point& p : c.raw) {
            ASSERT_EQ(e.Raw().Add(p), eNoError);
        }
        e.SetAnchor(c.anchor);
        e.Spline(2.0f);
        EXPECT_EQ(e.SplineAnchor(), c.anchor + 1) << c.name;
        ASSERT_EQ(e.StrokePoints().GetSize(), 2) << c.name;
        const Point& s0 = e.StrokePoints()[0];
        const Point& p1 = c.raw[size_t(c.anchor)];
        EXPECT_EQ(s0.x, p1.x) << c.name;
        EXPECT_EQ(s0.y, p1.y) << c.name;
        EXPECT_FLOAT_EQ(s0.pressure, p1.pressure) << c.name;
        const Point& s1 = e.StrokePoints()[1];
        EXPECT_FLOAT_EQ(s1.x, c.half.x) << c.name;
        EXPECT_FLOAT_EQ(s1.y, c.half.y) << c.name;
        EXPECT_FLOAT_EQ(s1.pressure, c.half.pressure) << c.name;
    }
    // From five raw points on the oldest goes and the anchor stays.
    CRecordingEngine e;
    for (int32_t i = 0; i < 5; ++i) {
        ASSERT_EQ(e.Raw().Add(Point{float(i) * 2.0f, 0, 100, 0, 0}), eNoError);
    }
    e.SetAnchor(2);
    e.Spline(2.0f);
    EXPECT_EQ(e.RawPoints().GetSize(), 4);
    EXPECT_EQ(e.SplineAnchor(), 2);
    EXPECT_EQ(e.RawPoints()[0].x, 2.0f);
}

TEST_F(SweepEngine, OneAxisIsEnoughToAcceptAPoint) {
    const struct {
        float x, y;
        bool taken;
    } cases[] = {{1.9f, 1.9f, false}, {2.0f, 0.0f, true}, {0.0f, -2.0f, true}, {-2.0f, 1.0f, true}};
    for (const auto& c : cases) {
        CRecordingEngine e;
        e.AddStrokePt(2.0f, Point{0, 0, 10, 0, 0}, 0);
        e.AddStrokePt(2.0f, Point{c.x, c.y, -5, 0, 0}, 0);
        ASSERT_EQ(e.StrokePoints().GetSize(), c.taken ? 2 : 1) << c.x << "," << c.y;
        if (c.taken) {
            EXPECT_EQ(e.StrokePoints()[1].pressure, 0.0f); // never negative
        }
    }
}

TEST_F(SweepEngine, SmoothingBelowA90DegreeTurnNoneSharper) {
    const struct {
        float turn;
        bool smoothed;
    } cases[] = {{80.0f, true}, {90.0f, false}, {100.0f, false}};
    for (const auto& c : cases) {
        CRecordingEngine e;
        const float r = c.turn * 3.14159265f / 180.0f;
        const Point pts[] = {{0, 0, 0, 0, 0},
                             {10, 0, 0, 0, 0},
                             {20, 0, 0, 0, 0},
                             {20 + 10 * std::cos(r), 10 * std::sin(r), 0, 0, 0}};
        for (const Point& p : pts) {
            e.AddStrokePt(0.0f, p, 0);
        }
        const Point& moved = e.StrokePoints()[1];
        const float onChord = pts[0].x + (pts[3].x - pts[0].x) * 0.333333f;
        EXPECT_EQ(moved.x == onChord && moved.x != 10.0f, c.smoothed) << c.turn;
        EXPECT_EQ(e.SmoothingIndex(), 1);
        EXPECT_EQ(e.DirectionIndex(), 1);
    }
}

TEST_F(SweepEngine, NormalCalcOfTheFirstPoint) {
    ASSERT_EQ(engine.Points().Add(Point{1, 1, 30, 0, 0}), eNoError);
    ASSERT_EQ(engine.Points().Add(Point{4, 5, 60, 0, 0}), eNoError);
    engine.NormalCalc(0);
    const Point& p0 = engine.StrokePoints()[0];
    EXPECT_FLOAT_EQ(p0.dx, 0.6f);
    EXPECT_FLOAT_EQ(p0.dy, 0.8f);
    EXPECT_EQ(engine.StrokePoints()[1].dx, p0.dx);
    EXPECT_FLOAT_EQ(p0.pressure, 40.0f);
    // Two points in one place: no direction.
    engine.Points()[1] = Point{1, 1, 30, 0, 0};
    engine.NormalCalc(0);
    EXPECT_EQ(engine.StrokePoints()[0].dx, 0.0f);
    EXPECT_EQ(engine.StrokePoints()[0].dy, 0.0f);
}

TEST_F(SweepEngine, TheTailIsReLaidStraightWithPressureRunningToTheRelease) {
    for (int32_t i = 0; i < 7; ++i) {
        engine.AddStrokePt(0.0f, Point{float(i) * 4.0f, float(i % 2), 100.0f, 0, 0}, 0);
    }
    const int32_t k = engine.SmoothingIndex();
    ASSERT_GT(k, 0);
    const Point before = engine.StrokePoints()[k];
    const Point back = engine.StrokePoints()[k - 1];
    engine.AddStrokePt(0.0f, Point{60.0f, 9.0f, 900.0f, 0, 0}, 1);
    const int32_t n = engine.LastStrokePoint();
    const float dp = (900.0f - back.pressure) / float(n - k + 1);
    for (int32_t i = k; i <= n; ++i) {
        const Point& p = engine.StrokePoints()[i];
        const Point& q = engine.StrokePoints()[i - 1];
        EXPECT_FLOAT_EQ(p.x - q.x, before.x - back.x) << i;
        EXPECT_FLOAT_EQ(p.y - q.y, before.y - back.y) << i;
        EXPECT_EQ(p.dx, q.dx);
        EXPECT_FLOAT_EQ(p.pressure, back.pressure + dp * float(i - k + 1)) << i;
    }
    EXPECT_FLOAT_EQ(engine.StrokePoints()[n].pressure, 900.0f);
}

// --- The data channel.

TEST_F(SweepEngine, SizeStepsAndDataIds) {
    const struct {
        float from;
        uint32_t id;
        float to;
    } steps[] = {{0.05f, eCmdSizeDown, 0.0f},
                 {0.5f, eCmdSizeDown, 0.4f},
                 {0.95f, eCmdSizeUp, 1.0f},
                 {0.5f, eCmdSizeUp, 0.6f}};
    for (const auto& s : steps) {
        ASSERT_EQ(engine.SetToolSize(s.from), eNoError);
        EXPECT_EQ(engine.ProcessData(s.id, nullptr, 0, 1), 0);
        EXPECT_FLOAT_EQ(engine.ToolSize(), s.to) << s.from;
    }
    float v = 0.25f;
    EXPECT_EQ(engine.ProcessData(eCmdToolSize, nullptr, ChannelValueOf(&v), 1), 0);
    EXPECT_EQ(engine.ToolSize(), 0.25f);
    EXPECT_FLOAT_EQ(engine.ToolPixelSize(), 28.0f);
    v = 0.0f;
    EXPECT_EQ(engine.ProcessData(eCmdToolSize, nullptr, ChannelValueOf(&v), 0), 0);
    EXPECT_EQ(v, 0.25f);
    EXPECT_EQ(engine.ProcessData(eCmdSizeLowLimit, nullptr, ChannelValueOf(&v), 0), 0);
    EXPECT_EQ(v, 4.0f);
    EXPECT_EQ(engine.ProcessData(eCmdSizeHighLimit, nullptr, ChannelValueOf(&v), 0), 0);
    EXPECT_EQ(v, 100.0f);
    EXPECT_EQ(engine.ProcessData(eCmdSizeHighLimit, nullptr, 0, 0), int32_t(eBadParameter));
    EXPECT_EQ(engine.NeedsSetup(), 0);
    EXPECT_EQ(engine.ProcessData(eMsgPaintColour, nullptr, 0, 1), 0);
    EXPECT_EQ(engine.NeedsSetup(), 1);
    EXPECT_EQ(engine.ProcessData(0x12345678u, nullptr, 0, 1), 7);
    EXPECT_EQ(engine.m_LocalIds, std::vector<uint32_t>{0x12345678u});
}

// --- Geometry.

TEST(SweepGeometry, DabSelfIntersect) {
    const float none = CToolBase::kNoCrossing;
    const struct {
        const char* name;
        gCRPoint p1, p2, p3, p4, expected;
    } cases[] = {
        {"crossing", {0, 0}, {10, 10}, {0, 10}, {10, 0}, {5, 5}},
        {"parallel", {0, 0}, {10, 0}, {0, 1}, {10, 1}, {none, none}},
        {"touching", {0, 0}, {10, 0}, {5, 0}, {5, 5}, {5, 0}},
        {"box miss on x", {0, 0}, {1, 1}, {5, 0}, {6, 1}, {none, none}},
        {"box miss on y", {0, 0}, {1, 1}, {0, 5}, {1, 6}, {none, none}},
        {"lines cross outside", {0, 0}, {4, 4}, {0, 10}, {6, 4}, {none, none}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CToolBase::DabSelfIntersect(c.p1, c.p2, c.p3, c.p4), c.expected) << c.name;
    }
}

TEST(SweepGeometry, RasterIntersect) {
    const float none = CToolBase::kNoCrossing;
    const struct {
        const char* name;
        gCRPoint a, b;
        int32_t row;
        float x, line;
    } cases[] = {
        {"above", {0, 0}, {10, 4}, 5, none, 12.5f},
        {"below", {0, 6}, {10, 9}, 5, none, -3.333333f},
        {"horizontal", {0, 5}, {10, 5}, 5, none, none},
        {"through an end", {3, 5}, {10, 9}, 5, 3.0f, 3.0f},
        {"across", {0, 0}, {10, 10}, 4, 4.0f, 4.0f},
    };
    for (const auto& c : cases) {
        EXPECT_FLOAT_EQ(CToolBase::RasterIntersect(c.a, c.b, c.row), c.x) << c.name;
        EXPECT_FLOAT_EQ(CToolBase::RasterIntersectExtrapolate(c.a, c.b, c.row), c.line) << c.name;
    }
}

class SweepQuads : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(canvas.MakeProject(40, 30)); }
    error Quad(gCRPoint p1, gCRPoint p2, gCRPoint p3, gCRPoint p4) {
        engine.m_Pixels.clear();
        return engine.DrawQuad(&canvas, p1, p2, p3, p4);
    }
    CSweepCanvas canvas;
    CRecordingEngine engine;
};

TEST_F(SweepQuads, AnAxisAlignedQuadPixelByPixel) {
    // Back edge x = 2 and front edge x = 8 from y = 2 to 6; its sides are
    // horizontal, so the first and last rows (3 and 6) are left out.
    ASSERT_EQ(Quad({2, 2}, {2, 6}, {8, 2}, {8, 6}), eNoError);
    ASSERT_EQ(engine.m_Pixels.size(), 14u);
    size_t i = 0;
    for (const int32_t y : {4, 5}) {
        for (int32_t x = 2; x <= 8; ++x, ++i) {
            const CRecordingEngine::SPixel& p = engine.m_Pixels[i];
            EXPECT_EQ(p.x, x);
            EXPECT_EQ(p.y, y);
            EXPECT_FLOAT_EQ(p.u, float(x - 2) / 6.0f) << x << "," << y;
            EXPECT_FLOAT_EQ(p.v, float(y - 2) / 4.0f);
            EXPECT_EQ(p.coverage, 1.0f);
            EXPECT_FLOAT_EQ(p.width, 4.0f);
        }
    }
}

TEST_F(SweepQuads, SidesRampWithTheirSlope) {
    // Vertical sides x = 5 and x = 15, back edge y = 2, front edge y = 9.
    ASSERT_EQ(Quad({5, 2}, {15, 2}, {5, 9}, {15, 9}), eNoError);
    std::vector<CRecordingEngine::SPixel> row;
    for (const auto& p : engine.m_Pixels) {
        if (p.y == 5) {
            row.push_back(p);
        }
    }
    // Left run 5..6 (coverage x - 5), inner, right run 14..15 (15 - x).
    ASSERT_EQ(row.size(), 11u);
    for (const auto& p : row) {
        const float expected = p.x == 5 ? 0.0f : (p.x == 15 ? 0.0f : 1.0f);
        EXPECT_EQ(p.coverage, expected) << p.x;
        EXPECT_FLOAT_EQ(p.u, 3.0f / 7.0f);
        EXPECT_FLOAT_EQ(p.v, float(p.x - 5) / 10.0f);
    }
    // Thinner than a pixel: one side's run covers the pixel before it too.
    ASSERT_EQ(Quad({5, 2}, {5.3f, 2}, {5, 9}, {5.3f, 9}), eNoError);
    std::vector<float> cov;
    for (const auto& p : engine.m_Pixels) {
        if (p.y == 5) {
            cov.push_back(p.coverage);
        }
    }
    ASSERT_EQ(cov.size(), 2u);
    EXPECT_EQ(cov[0], 1.0f);
    EXPECT_NEAR(cov[1], 0.3f, 1e-5);
}

TEST_F(SweepQuads, ARotatedQuadStaysInItsHull) {
    const gCRPoint q[4] = {{10.3f, 4}, {4.3f, 10}, {20.3f, 14}, {14.3f, 20}};
    ASSERT_EQ(Quad(q[0], q[1], q[2], q[3]), eNoError);
    ASSERT_GT(engine.m_Pixels.size(), 60u);
    bool partial = false;
    for (const auto& p : engine.m_Pixels) {
        EXPECT_GE(p.coverage, 0.0f);
        EXPECT_LE(p.coverage, 1.0f);
        partial = partial || (p.coverage > 0.0f && p.coverage < 1.0f);
        EXPECT_GE(p.x, 3);
        EXPECT_LE(p.x, 21);
        EXPECT_GE(p.y, 4);
        EXPECT_LE(p.y, 20);
    }
    EXPECT_TRUE(partial);
}

TEST_F(SweepQuads, ANearlyHorizontalShortSideStaysInTheQuadsColumns) {
    // Side p1-p3 crosses row 6 at x = 20 with slope 500: its run would
    // start 500 pixels left of there; it stops one column past the quad.
    ASSERT_EQ(Quad({10, 5.98f}, {10, 15}, {30, 6.02f}, {30, 15}), eNoError);
    ASSERT_FALSE(engine.m_Pixels.empty());
    for (const auto& p : engine.m_Pixels) {
        EXPECT_TRUE(p.x >= 9 && p.x <= 31) << p.x << "," << p.y;
    }
}

TEST_F(SweepQuads, OffEachEdgeNothingAndNoLayerIs5) {
    const struct {
        const char* name;
        gCRPoint p1, p2, p3, p4;
    } cases[] = {
        {"left", {-9, 2}, {-9, 8}, {-1, 2}, {-1, 8}},
        {"right", {40, 2}, {40, 8}, {50, 2}, {50, 8}},
        {"above", {2, -9}, {8, -9}, {2, -1}, {8, -1}},
        {"below", {2, 30}, {8, 30}, {2, 40}, {8, 40}},
        {"far", {-3e30f, 2}, {-3e30f, 8}, {-1e30f, 2}, {-1e30f, 8}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Quad(c.p1, c.p2, c.p3, c.p4), eNoError) << c.name;
        EXPECT_TRUE(engine.m_Pixels.empty()) << c.name;
    }
    CSweepCanvas bare;
    EXPECT_EQ(engine.DrawQuad(&bare, {1, 1}, {1, 5}, {5, 1}, {5, 5}), eOutOfMemory);
}

TEST_F(SweepQuads, CrossedEdgesPaintOneSimpleQuad) {
    engine.m_fMarkPixels = true;
    engine.SetEdges({10, 10}, {20, 20});
    gCRect rect;
    ASSERT_EQ(engine.StartQuad(&canvas, {10, 20}, {20, 10}, rect), eNoError);
    EXPECT_EQ(engine.EdgeA(), gCRPoint(10, 20));
    EXPECT_EQ(rect, gCRect(9, 9, 21, 21));
    ASSERT_EQ(canvas.m_Protected.size(), 1u);
    ASSERT_GT(engine.m_Pixels.size(), 80u);
    for (const auto& p : engine.m_Pixels) {
        EXPECT_TRUE(p.x >= 9 && p.x <= 21 && p.y >= 9 && p.y <= 21) << p.x << "," << p.y;
    }
    // A quad whose save fails is not painted and the edges stay.
    canvas.m_ProtectFail = eOutOfMemory;
    engine.m_Pixels.clear();
    EXPECT_EQ(engine.StartQuad(&canvas, {30, 20}, {30, 10}, rect), eOutOfMemory);
    EXPECT_TRUE(engine.m_Pixels.empty());
    EXPECT_EQ(engine.EdgeA(), gCRPoint(10, 20));
}

TEST_F(SweepQuads, FarCornersAreClamped) {
    engine.SetEdges({-1e20f, 5}, {1e20f, 5});
    gCRect rect;
    ASSERT_EQ(engine.StartQuad(&canvas, {-1e20f, 1e25f}, {3e38f, -3e38f}, rect), eNoError);
    EXPECT_EQ(rect.left, -1000000000);
    EXPECT_EQ(rect.bottom, 1000000000);
}

TEST_F(SweepQuads, TheInvalidationIsClampedIntoTheCanvas) {
    canvas.ResetInvLut();
    CToolBase::SetCanvasInvalidationArea(&canvas, gCRect(-5, 28, 7, 400));
    EXPECT_EQ(canvas.FirstInvalidRow(), 28);
    EXPECT_EQ(canvas.LastInvalidRow(), 29);
    EXPECT_EQ(canvas.SpanStarts()->GetData()[29], 0);
    EXPECT_EQ(canvas.SpanEnds()->GetData()[29], 7);
    CToolBase::SetCanvasInvalidationArea(&canvas, gCRect(-20, -9, -10, -2));
    EXPECT_EQ(canvas.FirstInvalidRow(), 0);
    EXPECT_EQ(canvas.SpanStarts()->GetData()[0], 0);
    EXPECT_EQ(canvas.SpanEnds()->GetData()[0], 0);
}

TEST(SweepWells, FilterWellsEmptyAndOneLoaded) {
    CRecordingEngine e;
    e.FilterWells();
    for (int32_t i = 0; i < CToolBase::kWells; ++i) {
        ASSERT_EQ(uint32_t(e.WellColour(i)), 0u) << i;
        ASSERT_EQ(e.WellAmount(i), 0);
    }
    e.SetWell(50, 0xFF102030u, 20000);
    e.FilterWells();
    EXPECT_EQ(uint32_t(e.WellColour(48)), 0u);
    EXPECT_EQ(uint32_t(e.WellColour(49)), 0x3F102030u);
    EXPECT_EQ(uint32_t(e.WellColour(50)), 0x800F1F2Fu);
    EXPECT_EQ(uint32_t(e.WellColour(51)), 0x400F1F2Fu);
    EXPECT_EQ(uint32_t(e.WellColour(52)), 0u);
    EXPECT_EQ(e.WellAmount(50), 20000);
    EXPECT_EQ(e.WellAmount(49), 0);
}

} // namespace
