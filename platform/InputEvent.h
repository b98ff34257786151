#pragma once
// The toolkit's own input event record. The SDL layer turns each SDL event
// into one of these; tests build them directly. Button, modifier and
// pointer state is kept from these records, never read from SDL.

#include <cstdint>

#include <SDL.h>

#include "foundation/Geometry.h"

enum class EInputKind : int32_t {
    eNone,
    eMouseDown,
    eMouseUp,
    eMouseMove,
    eKeyDown,
    eKeyUp,
    ePaint, // the window needs repainting
    eOther, // any other SDL event, kept whole for the event loop
};

// Modifier bits as the toolkit reports them. The command key is Ctrl, option
// is Alt, and control (control-click is the secondary button) is Super.
constexpr uint32_t kModCommand = 0x0100;
constexpr uint32_t kModShift = 0x0200;
constexpr uint32_t kModCapsLock = 0x0400;
constexpr uint32_t kModOption = 0x0800;
constexpr uint32_t kModControl = 0x1000;

// Mouse buttons as the records carry them.
constexpr int32_t kButtonPrimary = 1;
constexpr int32_t kButtonSecondary = 2;
constexpr int32_t kButtonMiddle = 3;

// The pressure of a sample that came without a pen.
constexpr float kNoPenPressure = -1000.0f;

// What a pen contributed to a mouse event: its sub-pixel position in the
// window, its pressure 0..1 (kNoPenPressure without a pen), and whether the
// eraser end is in use.
struct CPenSample {
    float x = 0.0f;
    float y = 0.0f;
    float pressure = kNoPenPressure;
    int32_t fEraser = 0;

    bool IsPen() const { return pressure != kNoPenPressure; }
};

struct CInputEvent {
    EInputKind kind = EInputKind::eNone;
    gCPoint point;          // window content pixels from the top-left
    uint32_t modifiers = 0; // the modifier bits at the time of the event
    int32_t button = 0;     // mouse events: 1 primary, 2 secondary, 3 middle
    uint32_t key = 0;       // key events: the toolkit key code
    int32_t scancode = 0;   // key events: the physical key (SDL_Scancode)
    CPenSample pen;         // mouse events: the pen sample, if any
    SDL_Event sdl{};        // eOther: the event as SDL delivered it
};
