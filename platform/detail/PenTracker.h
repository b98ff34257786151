#pragma once
// The pen bookkeeping behind the XInput2 reader, free of X11 so that it can
// be driven by recorded values: which devices are pens, the latest pressure
// of each, and which SDL mouse event a pen event belongs to.

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "platform/InputEvent.h"

// One valuator of an input device as the X server describes it.
struct CValuatorInfo {
    std::string label; // the name of its label atom, e.g. "Abs Pressure"
    int32_t number = 0;
    double min = 0.0;
    double max = 0.0;
};

// A pressure-capable device.
struct CPenDevice {
    int32_t id = 0;
    int32_t pressureValuator = 0;
    double min = 0.0;
    double max = 0.0;
    int32_t fEraser = 0; // the eraser end, known by the device's name
};

// Whether a device is a pen: a slave pointer with an "Abs Pressure"
// valuator whose range is finite and not empty. Fills the description.
bool PenDeviceFromInfo(int32_t id, bool isSlavePointer, std::string_view name,
                       const std::vector<CValuatorInfo>& valuators, CPenDevice& pen);

// The value of valuator `number` in XInput2's packed form, where `values`
// holds one entry for each bit set in `mask`; false when it is absent.
bool PackedValuator(const unsigned char* mask, int32_t maskLen, const double* values,
                    int32_t number, double& value);

// The raw valuator value as 0..1 over the device's range; NaN when the
// value is not a number or infinite.
float MapPressure(const CPenDevice& pen, double raw);

enum class EPenEventKind : int32_t { eMotion, ePress, eRelease };

// One XInput2 device event of a pen, reduced to what matters here.
struct CPenEvent {
    int32_t device = 0;
    EPenEventKind kind = EPenEventKind::eMotion;
    int32_t button = 0;       // press and release: the button number
    bool tipWasDown = false;  // button 1 was held before this event
    bool hasPressure = false; // the pressure valuator came with the event
    double rawPressure = 0.0;
    double x = 0.0; // position in the window, sub-pixel
    double y = 0.0;
};

class CPenTracker {
public:
    // The pen devices now present. Devices that stay keep their state;
    // removed ones are forgotten, and a pending sample of one is dropped.
    void SetDevices(std::vector<CPenDevice> devices);
    const std::vector<CPenDevice>& Devices() const { return m_Devices; }
    bool IsPen(int32_t device) const;

    // Takes in a pen event: updates the device's pressure and makes its
    // sample wait for the mouse event that the same movement produces.
    void PenEvent(const CPenEvent& e);
    // The latest pressure of a device (0 before any).
    float Pressure(int32_t device) const;

    // The X server's time of a core button press or release, which SDL
    // turns into the next button event to pass.
    void ButtonEvent(uint32_t serverMilliseconds);

    // An SDL mouse event passes: the waiting sample belongs to it when it is
    // at the pen's place (the pen's position truncated, within a pixel);
    // otherwise the event came without a pen. The waiting sample is used up
    // either way; a button event takes the waiting button time. The pairing
    // is kept for TakeExtras.
    void MousePassing(uint32_t type, uint32_t timestamp, int32_t x, int32_t y);
    // What was paired with that mouse event, when it is read from the
    // queue; no pen and no time when it has no pairing. Older pairings are
    // dropped.
    CMouseExtras TakeExtras(uint32_t type, uint32_t timestamp, int32_t x, int32_t y);

private:
    struct CDeviceState {
        int32_t id = 0;
        float lastGood = 0.0f;
        bool down = false;
    };
    struct CPairing {
        uint32_t type;
        uint32_t timestamp;
        int32_t x;
        int32_t y;
        CMouseExtras extras;
    };
    static constexpr size_t kMaxPairings = 512;

    CDeviceState* State(int32_t device);
    const CPenDevice* Device(int32_t device) const;

    std::vector<CPenDevice> m_Devices;
    std::vector<CDeviceState> m_States;
    bool m_fWaiting = false;
    int32_t m_nWaitingDevice = 0;
    CPenSample m_Waiting;
    bool m_fButtonWaiting = false;
    uint32_t m_nButtonMilliseconds = 0;
    std::deque<CPairing> m_Pairings;
};
