#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "platform/detail/PenTracker.h"

#include <SDL.h>

namespace {

// Valuators as an X server reports them for a pen, a mouse and a touch pad.
const std::vector<CValuatorInfo> kStylusValuators = {
    {"Abs X", 0, 0.0, 44704.0},        {"Abs Y", 1, 0.0, 27940.0},
    {"Abs Pressure", 2, 0.0, 65535.0}, {"Abs Tilt X", 3, -64.0, 63.0},
    {"Abs Tilt Y", 4, -64.0, 63.0},    {"Abs Wheel", 5, -900.0, 899.0}};
const std::vector<CValuatorInfo> kMouseValuators = {{"Rel X", 0, -1.0, -1.0},
                                                    {"Rel Y", 1, -1.0, -1.0}};

TEST(PenDevices, OnlySlavePointersWithAUsablePressureRangeArePens) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const struct {
        const char* name;
        bool slave;
        std::vector<CValuatorInfo> valuators;
        bool pen;
        int32_t eraser;
    } rows[] = {
        {"Wacom Intuos Pro M Pen stylus", true, kStylusValuators, true, 0},
        {"Wacom Intuos Pro M Pen eraser", true, kStylusValuators, true, 1},
        {"Wacom Intuos S Pen Eraser (0x80a)", true, kStylusValuators, true, 1},
        {"Virtual core pointer", false, kStylusValuators, false, 0},
        {"Logitech USB Optical Mouse", true, kMouseValuators, false, 0},
        {"Empty range", true, {{"Abs Pressure", 2, 10.0, 10.0}}, false, 0},
        {"Broken range", true, {{"Abs Pressure", 2, 0.0, nan}}, false, 0},
    };
    for (const auto& row : rows) {
        CPenDevice pen;
        EXPECT_EQ(PenDeviceFromInfo(11, row.slave, row.name, row.valuators, pen), row.pen)
            << row.name;
        if (row.pen) {
            EXPECT_EQ(pen.id, 11);
            EXPECT_EQ(pen.pressureValuator, 2);
            EXPECT_EQ(pen.max, 65535.0);
            EXPECT_EQ(pen.fEraser, row.eraser) << row.name;
        }
    }
}

TEST(PenDevices, PackedValuatorsAreFoundByTheirBit) {
    // Valuators 0, 1, 2 and 5 came with the event.
    const unsigned char mask[] = {0x27, 0x00};
    const double values[] = {1200.0, 800.0, 32768.0, -15.0};
    double v = 0.0;
    ASSERT_TRUE(PackedValuator(mask, 2, values, 2, v));
    EXPECT_EQ(v, 32768.0);
    ASSERT_TRUE(PackedValuator(mask, 2, values, 5, v));
    EXPECT_EQ(v, -15.0);
    EXPECT_FALSE(PackedValuator(mask, 2, values, 3, v));
    EXPECT_FALSE(PackedValuator(mask, 2, values, 16, v));
    EXPECT_FALSE(PackedValuator(nullptr, 0, nullptr, 2, v));
}

TEST(PenDevices, RawPressureMapsOverTheDevicesRange) {
    CPenDevice pen{11, 2, 0.0, 2048.0, 0};
    EXPECT_EQ(MapPressure(pen, 1024.0), 0.5f);
    EXPECT_EQ(MapPressure(pen, 2048.0), 1.0f);
    EXPECT_EQ(MapPressure(pen, 4000.0), 1.0f);
    EXPECT_EQ(MapPressure(pen, -3.0), 0.0f);
    EXPECT_TRUE(std::isnan(MapPressure(pen, std::numeric_limits<double>::quiet_NaN())));
    EXPECT_TRUE(std::isnan(MapPressure(pen, std::numeric_limits<double>::infinity())));
    CPenDevice offset{12, 2, 100.0, 300.0, 0};
    EXPECT_EQ(MapPressure(offset, 150.0), 0.25f);
}

class PenTracking : public ::testing::Test {
protected:
    static constexpr int32_t kStylus = 11;
    static constexpr int32_t kEraser = 12;

    void SetUp() override {
        tracker.SetDevices({{kStylus, 2, 0.0, 65535.0, 0}, {kEraser, 2, 0.0, 65535.0, 1}});
    }

    // A pen event at (x, y) with a raw pressure (-1: not in the event).
    void Pen(int32_t device, EPenEventKind kind, bool tipWasDown, double raw, double x = 10.6,
             double y = 20.2) {
        CPenEvent e;
        e.device = device;
        e.kind = kind;
        e.button = kind == EPenEventKind::eMotion ? 0 : 1;
        e.tipWasDown = tipWasDown;
        e.hasPressure = !(raw == -1.0);
        e.rawPressure = raw;
        e.x = x;
        e.y = y;
        tracker.PenEvent(e);
    }

    // The sample an SDL motion at (x, y) receives.
    CPenSample Mouse(int32_t x = 10, int32_t y = 20) {
        ++m_nTime;
        tracker.MousePassing(SDL_MOUSEMOTION, m_nTime, x, y);
        return tracker.TakeExtras(SDL_MOUSEMOTION, m_nTime, x, y).pen;
    }

    CPenTracker tracker;
    uint32_t m_nTime = 100;
};

TEST_F(PenTracking, PressureFollowsThePenAndIgnoresGlitches) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    // Before any good value, 0 stays 0 even with the tip down.
    Pen(kStylus, EPenEventKind::ePress, false, 0.0);
    EXPECT_EQ(Mouse().pressure, 0.0f);
    Pen(kStylus, EPenEventKind::eMotion, true, 32767.5);
    EXPECT_EQ(Mouse().pressure, 0.5f);
    // Not a number, or a drop to 0 with the tip down: the last good value.
    Pen(kStylus, EPenEventKind::eMotion, true, nan);
    EXPECT_EQ(Mouse().pressure, 0.5f);
    Pen(kStylus, EPenEventKind::eMotion, true, 0.0);
    EXPECT_EQ(Mouse().pressure, 0.5f);
    // No pressure in the event: the device's latest.
    Pen(kStylus, EPenEventKind::eMotion, true, -1.0);
    EXPECT_EQ(Mouse().pressure, 0.5f);
    // Out of range is clamped.
    Pen(kStylus, EPenEventKind::eMotion, true, 90000.0);
    EXPECT_EQ(Mouse().pressure, 1.0f);
    // Lifting the tip brings a real 0.
    Pen(kStylus, EPenEventKind::eRelease, true, 0.0);
    EXPECT_EQ(Mouse().pressure, 0.0f);
    EXPECT_EQ(tracker.Pressure(kStylus), 0.0f);
}

TEST_F(PenTracking, SamplesCarryPositionAndTheEraser) {
    Pen(kEraser, EPenEventKind::eMotion, false, 13107.0, 10.6, 20.2);
    const CPenSample s = Mouse(10, 20);
    ASSERT_TRUE(s.IsPen());
    EXPECT_EQ(s.fEraser, 1);
    EXPECT_FLOAT_EQ(s.x, 10.6f);
    EXPECT_FLOAT_EQ(s.y, 20.2f);
    EXPECT_FLOAT_EQ(s.pressure, 0.2f);
    Pen(kStylus, EPenEventKind::eMotion, false, 13107.0);
    EXPECT_EQ(Mouse().fEraser, 0);
}

TEST_F(PenTracking, MouseEventsWithoutTheirPenEventHaveNoPen) {
    // The mouse moved, not the pen.
    EXPECT_FALSE(Mouse().IsPen());
    // A pen event pairs with one mouse event only.
    Pen(kStylus, EPenEventKind::eMotion, false, 100.0);
    EXPECT_TRUE(Mouse().IsPen());
    EXPECT_FALSE(Mouse().IsPen());
    // A pen event elsewhere does not belong to this mouse event.
    Pen(kStylus, EPenEventKind::eMotion, false, 100.0, 300.0, 400.0);
    EXPECT_FALSE(Mouse(10, 20).IsPen());
    // Events of devices that are not pens are ignored.
    Pen(99, EPenEventKind::eMotion, false, 100.0);
    EXPECT_FALSE(Mouse().IsPen());
}

TEST_F(PenTracking, RemovedDeviceLosesItsWaitingSampleAndItsState) {
    Pen(kStylus, EPenEventKind::eMotion, false, 32767.5);
    EXPECT_TRUE(Mouse().IsPen());
    Pen(kEraser, EPenEventKind::eMotion, false, 65535.0);
    tracker.SetDevices({{kStylus, 2, 0.0, 65535.0, 0}});
    EXPECT_FALSE(tracker.IsPen(kEraser));
    EXPECT_FALSE(Mouse().IsPen());
    // The staying device keeps its pressure.
    EXPECT_EQ(tracker.Pressure(kStylus), 0.5f);
    Pen(kEraser, EPenEventKind::eMotion, false, 65535.0);
    EXPECT_FALSE(Mouse().IsPen());
}

TEST_F(PenTracking, PairingsAreTakenByTheirEvent) {
    Pen(kStylus, EPenEventKind::eMotion, false, 65535.0);
    tracker.MousePassing(SDL_MOUSEMOTION, 7, 10, 20); // pen
    tracker.MousePassing(SDL_MOUSEMOTION, 8, 11, 20); // no pen
    Pen(kStylus, EPenEventKind::ePress, false, 65535.0);
    tracker.MousePassing(SDL_MOUSEBUTTONDOWN, 8, 10, 20); // pen
    // An event that never passed finds nothing and drops nothing.
    EXPECT_FALSE(tracker.TakeExtras(SDL_MOUSEMOTION, 99, 1, 1).pen.IsPen());
    // Taking a later event drops the ones before it.
    EXPECT_TRUE(tracker.TakeExtras(SDL_MOUSEBUTTONDOWN, 8, 10, 20).pen.IsPen());
    EXPECT_FALSE(tracker.TakeExtras(SDL_MOUSEMOTION, 7, 10, 20).pen.IsPen());
}

// A button event carries the X server's time of its own press or release,
// however late SDL stamped it; a wheel's turn (a core button SDL turns into
// no button event) and motion take none.
TEST_F(PenTracking, ButtonEventsTakeTheServersTimeOfTheirOwnPressAndRelease) {
    tracker.ButtonEvent(1000);
    tracker.MousePassing(SDL_MOUSEBUTTONDOWN, 50, 10, 20);
    tracker.MousePassing(SDL_MOUSEMOTION, 60, 11, 20);
    tracker.ButtonEvent(1100); // a wheel's turn
    tracker.ButtonEvent(1150);
    tracker.MousePassing(SDL_MOUSEBUTTONUP, 60, 11, 20);
    tracker.MousePassing(SDL_MOUSEBUTTONDOWN, 70, 11, 20); // no X event seen for it
    EXPECT_EQ(tracker.TakeExtras(SDL_MOUSEBUTTONDOWN, 50, 10, 20).milliseconds, 1000u);
    EXPECT_EQ(tracker.TakeExtras(SDL_MOUSEMOTION, 60, 11, 20).milliseconds, 0u);
    EXPECT_EQ(tracker.TakeExtras(SDL_MOUSEBUTTONUP, 60, 11, 20).milliseconds, 1150u);
    EXPECT_EQ(tracker.TakeExtras(SDL_MOUSEBUTTONDOWN, 70, 11, 20).milliseconds, 0u);
}

} // namespace

#include "platform/detail/XInputPenEvent.h"
#include "platform/tests/SDLEvents.h"

namespace {

// An XInput2 device event as the server sends it for a pen: valuators 0, 1
// and 2 (x, y, pressure) present, button 1 held before the event.
class XInputEvents : public ::testing::Test {
protected:
    void SetUp() override {
        de.deviceid = 11;
        de.event_x = 120.75;
        de.event_y = 64.5;
        de.valuators.mask = m_aValuatorMask;
        de.valuators.mask_len = sizeof m_aValuatorMask;
        de.valuators.values = m_aValues;
        de.buttons.mask = m_aButtonMask;
        de.buttons.mask_len = sizeof m_aButtonMask;
    }

    unsigned char m_aValuatorMask[1] = {0x07};
    double m_aValues[3] = {30000.0, 16000.0, 49151.25};
    unsigned char m_aButtonMask[1] = {0x02};
    XIDeviceEvent de{};
    std::vector<CPenDevice> pens = {{11, 2, 0.0, 65535.0, 0}};
};

TEST_F(XInputEvents, DeviceEventsOfPensAreRead) {
    CPenEvent e;
    ASSERT_TRUE(PenEventFromXI2(XI_Motion, de, pens, e));
    EXPECT_EQ(e.device, 11);
    EXPECT_EQ(e.kind, EPenEventKind::eMotion);
    EXPECT_TRUE(e.tipWasDown);
    ASSERT_TRUE(e.hasPressure);
    EXPECT_EQ(e.rawPressure, 49151.25);
    EXPECT_EQ(e.x, 120.75);
    EXPECT_EQ(e.y, 64.5);

    CPenTracker tracker;
    tracker.SetDevices(pens);
    tracker.PenEvent(e);
    EXPECT_FLOAT_EQ(tracker.Pressure(11), 0.75f);

    de.detail = 1;
    m_aButtonMask[0] = 0;
    ASSERT_TRUE(PenEventFromXI2(XI_ButtonPress, de, pens, e));
    EXPECT_EQ(e.kind, EPenEventKind::ePress);
    EXPECT_EQ(e.button, 1);
    EXPECT_FALSE(e.tipWasDown);
    ASSERT_TRUE(PenEventFromXI2(XI_ButtonRelease, de, pens, e));
    EXPECT_EQ(e.kind, EPenEventKind::eRelease);
}

TEST_F(XInputEvents, OtherDevicesAndEventsAreLeftAlone) {
    CPenEvent e;
    m_aValuatorMask[0] = 0x03; // no pressure in this event
    ASSERT_TRUE(PenEventFromXI2(XI_Motion, de, pens, e));
    EXPECT_FALSE(e.hasPressure);
    EXPECT_FALSE(PenEventFromXI2(XI_Enter, de, pens, e));
    EXPECT_FALSE(PenEventFromXI2(XI_TouchBegin, de, pens, e));
    de.deviceid = 2;
    EXPECT_FALSE(PenEventFromXI2(XI_Motion, de, pens, e));
    EXPECT_FALSE(PenEventFromXI2(XI_Motion, de, {}, e));
}

} // namespace
