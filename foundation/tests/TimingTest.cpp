#include <gtest/gtest.h>

#include "foundation/Timing.h"
#include "testsupport/foundation/FakeClock.h"

namespace {

class Timing : public ::testing::Test {
protected:
    CFakeClock clock;
};

TEST_F(Timing, TimerMeasuresMilliseconds) {
    const CTimer t;
    EXPECT_EQ(t.ElapsedMilliseconds(), 0.0f);
    clock.AdvanceMicroseconds(2500);
    EXPECT_EQ(t.ElapsedMilliseconds(), 2.0f);
    clock.AdvanceMilliseconds(1000);
    EXPECT_EQ(t.ElapsedMilliseconds(), 1002.0f);
}

TEST_F(Timing, StepStartingAtItsTargetStopsAtOnce) {
    CTimeStep s(5.0f, 5.0f, 50.0f, 1.0f, 1);
    EXPECT_EQ(s.CalcVal(), 5.0f);
    EXPECT_EQ(s.m_fRunning, 0);
}

TEST_F(Timing, LinearStepsOverTime) {
    CTimeStep s(0.0f, 100.0f, 50.0f, 10.0f, 1);
    s.m_nCurve = CTimeStep::eLinear;
    clock.AdvanceMilliseconds(120);
    EXPECT_EQ(s.CalcVal(), 20.0f);
    EXPECT_EQ(s.m_fRunning, 1);
    clock.AdvanceMilliseconds(380);
    EXPECT_EQ(s.CalcVal(), 100.0f);
    EXPECT_EQ(s.m_fRunning, 0);
    clock.AdvanceMilliseconds(1000);
    EXPECT_EQ(s.CalcVal(), 100.0f);
}

TEST_F(Timing, TheSignOfTheStepSizeIsIgnored) {
    CTimeStep s(100.0f, 0.0f, 50.0f, 10.0f, 1);
    s.m_nCurve = CTimeStep::eLinear;
    clock.AdvanceMilliseconds(120);
    EXPECT_EQ(s.CalcVal(), 80.0f);
    EXPECT_EQ(s.m_rCurrent, 80.0f);
}

TEST_F(Timing, CurvesShapeOnlyTheReturnedValue) {
    struct Case {
        int32_t curve;
        float expected; // at t = 0.2 (20 of 100)
    };
    const Case cases[] = {
        {CTimeStep::eLinear, 20.0f},
        {CTimeStep::eSmoothStep, 10.4f}, // 0.04 * 2.6
        // Bias 0.75: 1/b - 2 = 4/3 - 2 = -2/3; times (1 - t) = 0.8 gives
        // -8/15; plus 1 gives 7/15; t / (7/15) = 0.2 * 15/7 = 3/7, so 300/7.
        {CTimeStep::eBias, 42.857143f},
        // Gain 0.75: g = -2/3 * (1 - 2t) = -2/3 * 0.6 = -0.4; t < 0.5, so
        // t / (g + 1) = 0.2 / 0.6 = 1/3, so 100/3.
        {CTimeStep::eGain, 33.333333f},
        {7, 20.0f}, // unknown curves act as linear
    };
    for (const Case& c : cases) {
        CFakeClock local;
        CTimeStep s(0.0f, 100.0f, 50.0f, 10.0f, 1);
        s.m_nCurve = c.curve;
        local.AdvanceMilliseconds(100);
        EXPECT_FLOAT_EQ(s.CalcVal(), c.expected) << "curve " << c.curve;
        EXPECT_EQ(s.m_rCurrent, 20.0f) << "the stored value stays linear";
    }
}

TEST_F(Timing, OvershootTakesLongerAndPassesTheTarget) {
    CTimeStep s(0.0f, 100.0f, 10.0f, 1.0f, 1);
    s.m_nCurve = CTimeStep::eOvershoot;
    clock.AdvanceMilliseconds(1000); // 800 ms of steps: 80 of 100
    EXPECT_NEAR(s.CalcVal(), 110.0f, 1e-3f);
}

TEST_F(Timing, StepWithoutAnIntervalGivesItsTarget) {
    for (float interval : {0.0f, -5.0f}) {
        CTimeStep s(0.0f, 10.0f, interval, 1.0f, 1);
        EXPECT_EQ(s.CalcVal(), 10.0f);
        EXPECT_EQ(s.m_fRunning, 0);
    }
}

TEST(Overshoot, KeyPoints) {
    EXPECT_EQ(Overshoot(0.0f), 0.0f);
    EXPECT_FLOAT_EQ(Overshoot(0.8f), 1.1f);
    EXPECT_FLOAT_EQ(Overshoot(0.92f), 0.95f);
    EXPECT_FLOAT_EQ(Overshoot(1.0f), 1.0f);
}

struct TrackCase {
    const char* name;
    CTimeTrack::ERepeatType repeat;
    float steps;
    uint64_t ms;
    float expected;
};
void PrintTo(const TrackCase& c, std::ostream* os) {
    *os << c.name;
}

class TrackValues : public ::testing::TestWithParam<TrackCase> {};

TEST_P(TrackValues, ZeroToOneOverASecond) {
    const TrackCase& c = GetParam();
    CFakeClock clock;
    const CTimeTrack track(0.0f, 1.0f, 1000.0f, c.steps, c.repeat, 1);
    clock.AdvanceMilliseconds(c.ms);
    EXPECT_NEAR(track.CalcVal(), c.expected, 1e-6f) << "values carry a 1e-9 offset";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TrackValues,
    ::testing::Values(TrackCase{"once_half", CTimeTrack::eOnce, 0, 500, 0.5f},
                      TrackCase{"once_end", CTimeTrack::eOnce, 0, 1000, 1.0f},
                      TrackCase{"once_after", CTimeTrack::eOnce, 0, 5000, 1.0f},
                      TrackCase{"once_steps_600", CTimeTrack::eOnce, 4, 600, 0.5f},
                      TrackCase{"once_steps_800", CTimeTrack::eOnce, 4, 800, 0.75f},
                      TrackCase{"loop_wraps", CTimeTrack::eLoop, 0, 1250, 0.25f},
                      TrackCase{"back_half", CTimeTrack::eBackAndForth, 0, 500, 0.5f},
                      TrackCase{"back_top", CTimeTrack::eBackAndForth, 0, 1000, 1.0f},
                      TrackCase{"back_returning", CTimeTrack::eBackAndForth, 0, 1500, 0.5f},
                      TrackCase{"back_bottom", CTimeTrack::eBackAndForth, 0, 2000, 0.0f}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Timing, TrackEdgeCases) {
    const CTimeTrack flat(3.0f, 3.0f, 1000.0f, 0, CTimeTrack::eLoop, 1);
    const CTimeTrack noPeriod(0.0f, 2.0f, 0.0f, 0, CTimeTrack::eLoop, 1);
    clock.AdvanceMilliseconds(777);
    EXPECT_EQ(flat.CalcVal(), 3.0f);
    EXPECT_EQ(noPeriod.CalcVal(), 2.0f);
    EXPECT_EQ(CTimeTrack(0, 1, 10, 0, CTimeTrack::eOnce, 0).m_fRunning, 0);
    EXPECT_EQ(CTimeTrack(0, 1, 10, 0, CTimeTrack::eOnce, 1).m_fRunning, 1);
}

} // namespace
