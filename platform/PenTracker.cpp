#include "platform/detail/PenTracker.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <limits>

#include <SDL.h>

static bool ContainsEraser(std::string_view name) {
    static constexpr std::string_view kEraser = "eraser";
    if (name.size() < kEraser.size()) {
        return false;
    }
    for (size_t i = 0; i + kEraser.size() <= name.size(); ++i) {
        size_t k = 0;
        while (k < kEraser.size() &&
               std::tolower(static_cast<unsigned char>(name[i + k])) == kEraser[k]) {
            ++k;
        }
        if (k == kEraser.size()) {
            return true;
        }
    }
    return false;
}

bool PenDeviceFromInfo(int32_t id, bool isSlavePointer, std::string_view name,
                       const std::vector<CValuatorInfo>& valuators, CPenDevice& pen) {
    if (!isSlavePointer) {
        return false;
    }
    for (const CValuatorInfo& v : valuators) {
        if (v.label != "Abs Pressure") {
            continue;
        }
        if (!std::isfinite(v.min) || !std::isfinite(v.max) || !(v.max > v.min) ||
            !std::isfinite(v.max - v.min)) {
            return false;
        }
        pen.id = id;
        pen.pressureValuator = v.number;
        pen.min = v.min;
        pen.max = v.max;
        pen.fEraser = ContainsEraser(name) ? 1 : 0;
        return true;
    }
    return false;
}

bool PackedValuator(const unsigned char* mask, int32_t maskLen, const double* values,
                    int32_t number, double& value) {
    if (!mask || !values || number < 0 || number >= maskLen * 8) {
        return false;
    }
    if (!(mask[number >> 3] & (1u << (number & 7)))) {
        return false;
    }
    int32_t index = 0;
    for (int32_t i = 0; i < number; ++i) {
        if (mask[i >> 3] & (1u << (i & 7))) {
            ++index;
        }
    }
    value = values[index];
    return true;
}

float MapPressure(const CPenDevice& pen, double raw) {
    const double p = (raw - pen.min) / (pen.max - pen.min);
    if (!std::isfinite(p)) {
        return std::numeric_limits<float>::quiet_NaN();
    }
    return float(std::clamp(p, 0.0, 1.0));
}

void CPenTracker::SetDevices(std::vector<CPenDevice> devices) {
    std::vector<CDeviceState> states;
    for (const CPenDevice& d : devices) {
        CDeviceState* old = State(d.id);
        states.push_back(old ? *old : CDeviceState{d.id, 0.0f, false});
    }
    m_Devices = std::move(devices);
    m_States = std::move(states);
    if (m_fWaiting && !IsPen(m_nWaitingDevice)) {
        m_fWaiting = false;
    }
}

bool CPenTracker::IsPen(int32_t device) const {
    return Device(device) != nullptr;
}

const CPenDevice* CPenTracker::Device(int32_t device) const {
    for (const CPenDevice& d : m_Devices) {
        if (d.id == device) {
            return &d;
        }
    }
    return nullptr;
}

CPenTracker::CDeviceState* CPenTracker::State(int32_t device) {
    for (CDeviceState& s : m_States) {
        if (s.id == device) {
            return &s;
        }
    }
    return nullptr;
}

float CPenTracker::Pressure(int32_t device) const {
    for (const CDeviceState& s : m_States) {
        if (s.id == device) {
            return s.lastGood;
        }
    }
    return 0.0f;
}

void CPenTracker::PenEvent(const CPenEvent& e) {
    const CPenDevice* pen = Device(e.device);
    CDeviceState* state = State(e.device);
    if (!pen || !state) {
        return;
    }
    bool down = e.tipWasDown;
    if (e.button == 1 && e.kind == EPenEventKind::ePress) {
        down = true;
    } else if (e.button == 1 && e.kind == EPenEventKind::eRelease) {
        down = false;
    }
    state->down = down;
    if (e.hasPressure) {
        const float p = MapPressure(*pen, e.rawPressure);
        // A value that is not a number, or a drop to 0 while the tip is
        // down, is a glitch: the last good value stands.
        if (std::isfinite(p) && !(p == 0.0f && down)) {
            state->lastGood = p;
        }
    }
    m_Waiting.x = float(e.x);
    m_Waiting.y = float(e.y);
    m_Waiting.pressure = state->lastGood;
    m_Waiting.fEraser = pen->fEraser;
    m_nWaitingDevice = e.device;
    m_fWaiting = true;
}

void CPenTracker::ButtonEvent(uint32_t serverMilliseconds) {
    m_nButtonMilliseconds = serverMilliseconds;
    m_fButtonWaiting = true;
}

void CPenTracker::MousePassing(uint32_t type, uint32_t timestamp, int32_t x, int32_t y) {
    CMouseExtras extras;
    if (m_fWaiting) {
        const double px = std::floor(double(m_Waiting.x));
        const double py = std::floor(double(m_Waiting.y));
        if (std::fabs(px - x) <= 1.0 && std::fabs(py - y) <= 1.0) {
            extras.pen = m_Waiting;
        }
        m_fWaiting = false;
    }
    // A wheel's turn comes as a core button too, and no SDL button follows
    // it: only a button event takes the time, and only the latest.
    if ((type == SDL_MOUSEBUTTONDOWN || type == SDL_MOUSEBUTTONUP) && m_fButtonWaiting) {
        extras.milliseconds = m_nButtonMilliseconds;
        m_fButtonWaiting = false;
    }
    if (m_Pairings.size() >= kMaxPairings) {
        m_Pairings.pop_front();
    }
    m_Pairings.push_back({type, timestamp, x, y, extras});
}

CMouseExtras CPenTracker::TakeExtras(uint32_t type, uint32_t timestamp, int32_t x, int32_t y) {
    for (auto it = m_Pairings.begin(); it != m_Pairings.end(); ++it) {
        if (it->type == type && it->timestamp == timestamp && it->x == x && it->y == y) {
            const CMouseExtras extras = it->extras;
            m_Pairings.erase(m_Pairings.begin(), it + 1);
            return extras;
        }
    }
    return CMouseExtras();
}
