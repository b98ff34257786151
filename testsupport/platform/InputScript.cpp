#include "testsupport/platform/InputScript.h"

#include "platform/AppMac.h"
#include "platform/InputEvent.h"

CInputScript& CInputScript::KeyRecord(bool down, uint32_t code, uint32_t modifiers) {
    m_App.InjectKey(code, down, modifiers);
    return *this;
}

CInputScript& CInputScript::Key(uint32_t code, uint32_t modifiers) {
    return KeyDown(code, modifiers).KeyUp(code, modifiers);
}

CInputScript& CInputScript::KeyDown(uint32_t code, uint32_t modifiers) {
    return KeyRecord(true, code, modifiers);
}

CInputScript& CInputScript::KeyUp(uint32_t code, uint32_t modifiers) {
    return KeyRecord(false, code, modifiers);
}

CInputScript& CInputScript::Text(const std::string& utf8) {
    m_App.InjectText(utf8);
    return *this;
}

CInputScript& CInputScript::Mouse(int32_t kind, gCPoint at, int32_t button, uint32_t modifiers,
                                  float pressure) {
    CInputEvent e;
    e.kind = EInputKind(kind);
    e.point = at;
    e.button = kind == int32_t(EInputKind::eMouseMove) ? 0 : button;
    e.modifiers = modifiers;
    if (pressure != kNoPenPressure) {
        e.pen.x = float(at.x);
        e.pen.y = float(at.y);
        e.pen.pressure = pressure;
    }
    m_App.InjectInput(e);
    return *this;
}

CInputScript& CInputScript::Move(gCPoint to, uint32_t modifiers) {
    return Mouse(int32_t(EInputKind::eMouseMove), to, 0, modifiers, kNoPenPressure);
}

CInputScript& CInputScript::Press(gCPoint at, int32_t button, uint32_t modifiers, float pressure) {
    return Mouse(int32_t(EInputKind::eMouseDown), at, button, modifiers, pressure);
}

CInputScript& CInputScript::Release(gCPoint at, int32_t button, uint32_t modifiers,
                                    float pressure) {
    return Mouse(int32_t(EInputKind::eMouseUp), at, button, modifiers, pressure);
}

CInputScript& CInputScript::Click(gCPoint at, int32_t button, uint32_t modifiers) {
    return Press(at, button, modifiers).Release(at, button, modifiers);
}

CInputScript& CInputScript::Drag(gCPoint from, gCPoint to, int32_t steps, float pressureFrom,
                                 float pressureTo, int32_t button) {
    const bool pen = pressureFrom != kNoPenPressure || pressureTo != kNoPenPressure;
    const float p0 = pressureFrom == kNoPenPressure ? 0.0f : pressureFrom;
    const float p1 = pressureTo == kNoPenPressure ? 0.0f : pressureTo;
    Press(from, button, 0, pen ? p0 : kNoPenPressure);
    steps = steps < 1 ? 1 : steps;
    for (int32_t i = 1; i <= steps; ++i) {
        const gCPoint at(from.x + (to.x - from.x) * i / steps,
                         from.y + (to.y - from.y) * i / steps);
        const float t = float(i) / float(steps);
        Mouse(int32_t(EInputKind::eMouseMove), at, button, 0,
              pen ? p0 + (p1 - p0) * t : kNoPenPressure);
    }
    return Release(to, button, 0, pen ? p1 : kNoPenPressure);
}

void CInputScript::Run() {
    m_App.PumpMessage();
}
