#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <ostream>

#include "platform/TabletServices.h"
#include "platform/tests/SDLEvents.h"
#include "testsupport/platform/TestApp.h"

namespace {

struct PressureCase {
    const char* name;
    float weight;
    float pen;
    float expected;
};

void PrintTo(const PressureCase& c, std::ostream* os) {
    *os << c.name;
}

class TabletPressure : public ::testing::TestWithParam<PressureCase> {
protected:
    void TearDown() override { CTabletServices::m_rWeight = 0.5f; }
};

TEST_P(TabletPressure, PenPressureIsShapedByTheWeight) {
    const PressureCase& c = GetParam();
    CTabletServices tablet;
    CTabletServices::m_rWeight = c.weight;
    tablet.SetMacData(CTabletPoint{12.5f, 7.25f, c.pen});
    CTabletPoint point;
    EXPECT_EQ(tablet.GetPoint(point), 0);
    EXPECT_FLOAT_EQ(point.pressure, c.expected);
    EXPECT_EQ(point.x, 12.5f);
    EXPECT_EQ(point.y, 7.25f);
}

INSTANTIATE_TEST_SUITE_P(Weights, TabletPressure,
                         ::testing::Values(PressureCase{"Half", 0.5f, 0.6f, 614.4f},
                                           PressureCase{"NoWeight", 0.0f, 1.0f, 256.0f},
                                           PressureCase{"FullSaturates", 1.0f, 0.6f, 1024.0f},
                                           PressureCase{"FullDoubles", 1.0f, 0.25f, 512.0f},
                                           PressureCase{"Quarter", 0.25f, 1.0f, 640.0f}),
                         [](const auto& info) { return std::string(info.param.name); });

class Tablet : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(app.InitServices(), eNoError); }
    void TearDown() override { CTabletPoint::m_fInverted = 0; }

    static CInputEvent PenRecord(float x, float y, float pressure, int32_t eraser) {
        CInputEvent e = MouseRecord(EInputKind::eMouseMove, 0, 0, gCPoint(int32_t(x), int32_t(y)));
        e.pen = CPenSample{x, y, pressure, eraser};
        return e;
    }

    CTestApp app;
};

TEST_F(Tablet, BeforeAnyMouseEventTheMouseAnswersWithTheWeight) {
    CTabletPoint::m_fInverted = 1;
    CTabletPoint point;
    EXPECT_EQ(app.TabletServices()->GetPoint(point), 1);
    EXPECT_EQ(point.pressure, 0.5f);
    EXPECT_EQ(point.x, 0.0f);
    EXPECT_EQ(point.y, 0.0f);
    EXPECT_EQ(CTabletPoint::m_fInverted, 0);
}

TEST_F(Tablet, MouseEventsAndPenEventsSwitchTheService) {
    CTabletServices& tablet = *app.TabletServices();
    CTabletPoint point;

    app.InjectInput(PenRecord(40.5f, 30.25f, 0.6f, 1));
    EXPECT_EQ(CTabletPoint::m_fInverted, 1); // the eraser end
    EXPECT_EQ(tablet.GetPoint(point), 0);
    EXPECT_FLOAT_EQ(point.pressure, 614.4f);
    EXPECT_EQ(point.x, 40.5f);
    // Reading does not use the sample up.
    EXPECT_EQ(tablet.GetPoint(point), 0);
    EXPECT_EQ(point.y, 30.25f);

    // A mouse event without a pen returns the service to the mouse, at the
    // cursor, and the eraser is forgotten.
    app.InjectInput(MouseRecord(EInputKind::eMouseMove, 0, 0, gCPoint(8, 9)));
    EXPECT_EQ(tablet.GetPoint(point), 1);
    EXPECT_EQ(point.x, 8.0f);
    EXPECT_EQ(point.y, 9.0f);
    EXPECT_EQ(point.pressure, 0.5f);
    EXPECT_EQ(CTabletPoint::m_fInverted, 0);

    // Key records leave the sample alone.
    app.InjectInput(PenRecord(1.0f, 2.0f, 0.25f, 0));
    app.InjectInput(KeyRecord(EInputKind::eKeyDown, SDL_SCANCODE_A, 0));
    EXPECT_EQ(tablet.GetPoint(point), 0);
    EXPECT_FLOAT_EQ(point.pressure, 256.0f);
}

TEST_F(Tablet, BadPenPressureIsKeptInRange) {
    CTabletServices& tablet = *app.TabletServices();
    CTabletPoint point;
    tablet.SetMacData(CTabletPoint{0, 0, std::numeric_limits<float>::quiet_NaN()});
    EXPECT_EQ(tablet.GetPoint(point), 0);
    EXPECT_EQ(point.pressure, 0.0f); // no earlier pen pressure
    tablet.SetMacData(CTabletPoint{0, 0, 0.75f});
    tablet.SetMacData(CTabletPoint{0, 0, std::numeric_limits<float>::infinity()});
    tablet.GetPoint(point);
    EXPECT_FLOAT_EQ(point.pressure, 768.0f);
    tablet.SetMacData(CTabletPoint{0, 0, 3.0f});
    tablet.GetPoint(point);
    EXPECT_FLOAT_EQ(point.pressure, 1024.0f);
    tablet.SetMacData(CTabletPoint{0, 0, -0.5f});
    tablet.GetPoint(point);
    EXPECT_EQ(point.pressure, 0.0f);
}

TEST_F(Tablet, ButtonDownIsThePrimaryButton) {
    app.InjectInput(MouseRecord(EInputKind::eMouseDown, kButtonPrimary, kModControl));
    EXPECT_EQ(app.TabletServices()->ButtonDown(), 0);
    app.InjectInput(MouseRecord(EInputKind::eMouseUp, kButtonPrimary));
    app.InjectInput(MouseRecord(EInputKind::eMouseDown, kButtonPrimary));
    EXPECT_EQ(app.TabletServices()->ButtonDown(), 1);
}

} // namespace
