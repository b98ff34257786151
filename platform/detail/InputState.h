#pragma once
// Button, modifier, key and pointer state, kept from the input records the
// application has taken in.

#include <bitset>
#include <cstdint>

#include "platform/InputEvent.h"

// Physical keys are numbered below this (SDL's scancodes).
constexpr int32_t kScancodeCount = 512;

class CInputState {
public:
    // Takes in one record. A mouse record first gets the button it stands
    // for: a primary press with the control modifier (Super) is a secondary
    // press, and the primary release then releases that same button.
    void Process(CInputEvent& e);
    void Reset();

    int32_t IsButtonDown(int32_t button) const;
    int32_t AnyButtonDown() const { return m_nButtons != 0; }
    uint32_t Modifiers() const { return m_nModifiers; }
    // The modifiers that came with the latest button release.
    uint32_t ReleaseModifiers() const { return m_nReleaseModifiers; }
    // Where the pointer was at the latest button release.
    gCPoint ReleasePoint() const { return m_ReleasePoint; }
    int32_t IsScancodeDown(int32_t scancode) const;
    gCPoint Pointer() const { return m_Pointer; }

private:
    static uint32_t Bit(int32_t button) { return 1u << (button & 7); }

    uint32_t m_nButtons = 0;
    // What the primary button's current press became.
    int32_t m_nPrimaryAs = kButtonPrimary;
    uint32_t m_nModifiers = 0;
    uint32_t m_nReleaseModifiers = 0;
    std::bitset<kScancodeCount> m_Keys;
    gCPoint m_Pointer;
    gCPoint m_ReleasePoint;
};
