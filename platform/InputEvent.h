#pragma once
// The toolkit's own input record. The input layer turns each SDL event into
// records that are final: keys carry the toolkit key code (characters
// included, one record a character), drops carry their text, window events
// their kind and numbers. Tests build records directly. Button, modifier and
// pointer state is kept from these records, never read from SDL.

#include <cstdint>
#include <string>

#include "foundation/Geometry.h"
#include "foundation/Input.h"

enum class EInputKind : int32_t {
    eNone,
    eMouseDown,
    eMouseUp,
    eMouseMove,
    eKeyDown, // key is the code the window passes on; 0: state only
    eKeyUp,
    ePaint,    // the window needs repainting
    eWindow,   // a change of the window: see EWindowChange
    eDropFile, // a file dropped on the window: text is its POSIX path
    eDropText, // text dropped on the window
    eQuit,     // the desktop asks the program to quit
};

enum class EWindowChange : int32_t {
    eNone,
    eSizeChanged, // width and height in size
    eClose,
    eShown,
    eRestored,
    eFocusGained,
    eFocusLost,
    eEnter, // the pointer entered the window
    eLeave,
};

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

// What the window system told of a mouse event beyond SDL's own: the pen
// sample, and for a button's press or release the moment it happened, in
// milliseconds on the X server's clock (0 when not known). SDL stamps an
// event when it reads it, which a busy program does late.
struct CMouseExtras {
    CPenSample pen;
    uint32_t milliseconds = 0;
};

struct CInputEvent {
    EInputKind kind = EInputKind::eNone;
    gCPoint point;          // window content pixels from the top-left
    uint32_t modifiers = 0; // the modifier bits at the time of the event
    int32_t button = 0;     // mouse events: 1 primary, 2 secondary, 3 middle
    uint32_t key = 0;       // key events: the toolkit key code
    int32_t scancode = 0;   // key events: the physical key
    CPenSample pen;         // mouse events: the pen sample, if any
    uint32_t milliseconds = 0; // button events: when it happened (CMouseExtras)
    EWindowChange change = EWindowChange::eNone;
    uint32_t windowID = 0; // window events: the window they concern
    gCPoint size;          // eSizeChanged: the new client size
    std::string text;      // drops: the path or text, UTF-8
};
