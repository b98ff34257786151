#pragma once
// Input as every layer above the platform sees it: modifier bits, mouse
// buttons, the toolkit's key codes, and the pen samples of the tablet
// service. Free of any window system: the platform layer fills these in,
// and the application services hand out the current state.

#include <cmath>
#include <cstdint>

#include "foundation/Error.h"

// Modifier bits as the toolkit reports them. The command key is Ctrl,
// option is Alt, and control (control-click is the secondary button) is
// Super.
constexpr uint32_t kModCommand = 0x0100;
constexpr uint32_t kModShift = 0x0200;
constexpr uint32_t kModCapsLock = 0x0400;
constexpr uint32_t kModOption = 0x0800;
constexpr uint32_t kModControl = 0x1000;

// Mouse buttons.
constexpr int32_t kButtonPrimary = 1;
constexpr int32_t kButtonSecondary = 2;
constexpr int32_t kButtonMiddle = 3;

// Key codes as key events deliver them: a character as its Mac Roman byte
// taken as a signed 8-bit value (0x80..0xFF arrive as -128..-1, that is
// 0xFFFFFF80..0xFFFFFFFF), the special keys as codes of their own.
constexpr uint32_t kKeyCodeEnter = 3; // keypad Enter
constexpr uint32_t kKeyCodeBackspace = 8;
constexpr uint32_t kKeyCodeTab = 9;
constexpr uint32_t kKeyCodeReturn = 13;
constexpr uint32_t kKeyCodeEscape = 27;
constexpr uint32_t kKeyCodeDelete = 127; // forward delete
constexpr uint32_t kKeyCodeLeft = uint32_t(-256);
constexpr uint32_t kKeyCodeRight = uint32_t(-255);
constexpr uint32_t kKeyCodeUp = uint32_t(-254);
constexpr uint32_t kKeyCodeDown = uint32_t(-253);
constexpr uint32_t kKeyCodeHome = uint32_t(-252);
constexpr uint32_t kKeyCodeEnd = uint32_t(-251);
constexpr uint32_t kKeyCodePageUp = uint32_t(-250);
constexpr uint32_t kKeyCodePageDown = uint32_t(-249);
// F1..F12 are -248..-237.
constexpr uint32_t kKeyCodeF1 = uint32_t(-248);
constexpr uint32_t kKeyCodeF7 = uint32_t(-242);
constexpr uint32_t kKeyCodeF8 = uint32_t(-241);
constexpr uint32_t kKeyCodeF11 = uint32_t(-238);
constexpr uint32_t kKeyCodeF12 = uint32_t(-237);

// The key code of a Mac Roman byte.
constexpr uint32_t KeyCodeOfMacRoman(uint8_t byte) {
    return uint32_t(int32_t(int8_t(byte)));
}

// Codes IsKeyDown takes besides printable characters: the modifiers
// 0x81..0x86 and the special keys 0x88..0xA4.
constexpr uint32_t kKeyShift = 0x81;
constexpr uint32_t kKeyControl = 0x82; // Super
constexpr uint32_t kKeyOption = 0x83;  // Alt
constexpr uint32_t kKeyOption2 = 0x84; // Alt
constexpr uint32_t kKeyCommand = 0x85; // Ctrl
constexpr uint32_t kKeyCapsLock = 0x86;

// The modifier bit an IsKeyDown modifier code reads, or 0 for any other
// code.
constexpr uint32_t ModifierBitForKey(uint32_t code) {
    switch (code) {
    case kKeyShift:
        return kModShift;
    case kKeyControl:
        return kModControl;
    case kKeyOption:
    case kKeyOption2:
        return kModOption;
    case kKeyCommand:
        return kModCommand;
    case kKeyCapsLock:
        return kModCapsLock;
    default:
        return 0;
    }
}

// The pressure of a sample that came without a pen.
constexpr float kNoPenPressure = -1000.0f;
// The pen pressed fully, on the scale of the pressure GetPoint delivers.
constexpr float kFullPenPressure = 1024.0f;

// One sample of the pen or the mouse.
struct CTabletPoint {
    float x = 0.0f;
    float y = 0.0f;
    // Its unit depends on where the sample is. Stored by the tablet
    // service: the pen's 0..1, or kNoPenPressure. From GetPoint: the pen's
    // 0..kFullPenPressure, or the pressure weight (0..1) for the mouse.
    // Handed to the stroke engine: on the pen's scale, where a mouse's
    // made-up pressure may go past full.
    float pressure = kNoPenPressure;

    // The eraser end of the pen is in use.
    static inline int32_t m_fInverted = 0;
};

// What the stroke engine asks of the tablet service.
class CTabletSource {
public:
    virtual ~CTabletSource() = default;

    // The current sample: 0 for a pen sample (x, y in the window, pressure
    // 0..kFullPenPressure), 1 for mouse input (the cursor on the desktop, pressure the
    // weight).
    virtual int32_t GetPoint(CTabletPoint& point) = 0;
    // The primary button held.
    virtual int32_t ButtonDown() = 0;
    virtual void FlushQueue() = 0;
    // Prepares the tablet again after a window or dialog change; 0.
    virtual error SetupServices(int32_t flag) = 0;

    // The pressure weight, 0..1.
    static constexpr float kDefaultWeight = 0.5f;
    static inline float m_rWeight = kDefaultWeight;

    // A weight from a file or a sender as it is taken: kept to 0..1, the
    // infinities to the ends, NaN the default.
    static float ClampedWeight(float value) {
        if (std::isnan(value)) {
            return kDefaultWeight;
        }
        return value < 0.0f ? 0.0f : (value > 1.0f ? 1.0f : value);
    }
};
