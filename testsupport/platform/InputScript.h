#pragma once
// Scripted input for tests that run the real application object and window:
// each step queues the records the input layer would make of the desktop's
// events (final key codes, typed text decoded through the input layer, mouse
// records with their pen samples), and Run hands them to the application as
// its event loop does. Points are window-content pixels.
//
//   CInputScript(app).Text("Hi").Key(kKeyCodeReturn).Drag({10, 10}, {50, 10}, 4, 0.2f, 0.8f).Run();

#include <cstdint>
#include <string>

#include "foundation/Geometry.h"
#include "foundation/Input.h"

class CAppMac;

class CInputScript {
public:
    explicit CInputScript(CAppMac& app) : m_App(app) {}

    // A key pressed and released, with its final code (the key's place is
    // known for letters and digits, so IsKeyDown sees them held).
    CInputScript& Key(uint32_t code, uint32_t modifiers = 0);
    CInputScript& KeyDown(uint32_t code, uint32_t modifiers = 0);
    CInputScript& KeyUp(uint32_t code, uint32_t modifiers = 0);
    // Typed text (UTF-8), one key-down record for each character Mac Roman
    // has, as the input layer decodes it.
    CInputScript& Text(const std::string& utf8);

    CInputScript& Move(gCPoint to, uint32_t modifiers = 0);
    // A press or release; a pressure (0..1) makes it a pen sample.
    CInputScript& Press(gCPoint at, int32_t button = kButtonPrimary, uint32_t modifiers = 0,
                        float pressure = kNoPenPressure);
    CInputScript& Release(gCPoint at, int32_t button = kButtonPrimary, uint32_t modifiers = 0,
                          float pressure = kNoPenPressure);
    CInputScript& Click(gCPoint at, int32_t button = kButtonPrimary, uint32_t modifiers = 0);
    // A press at `from`, `steps` moves along the line to `to` (the last one
    // at `to`), and the release there. The pen pressure goes linearly from
    // the first to the second value over the moves; kNoPenPressure for both
    // drags with the mouse.
    CInputScript& Drag(gCPoint from, gCPoint to, int32_t steps, float pressureFrom = kNoPenPressure,
                       float pressureTo = kNoPenPressure, int32_t button = kButtonPrimary);

    // Hands every queued record to the application (one PumpMessage).
    void Run();

private:
    CInputScript& Mouse(int32_t kind, gCPoint at, int32_t button, uint32_t modifiers,
                        float pressure);
    CInputScript& KeyRecord(bool down, uint32_t code, uint32_t modifiers);

    CAppMac& m_App;
};
