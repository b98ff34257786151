#pragma once
// The window's root widget, as far as the application object uses it: the
// cursor it draws and the broadcast down its widget tree. This is the
// smallest form of the widget toolkit's backdrop; the widget toolkit
// replaces it with the real one.

#include <cstdint>

#include "gCCmdTarget.h"

class CBackdrop : public gCCmdTarget {
public:
    CBackdrop() = default;
    ~CBackdrop() override = default;

    // The cursor drawn as a widget.
    virtual void HideCursor() { m_fCursorVisible = 0; }
    virtual void ShowCursor() { m_fCursorVisible = 1; }
    virtual int32_t IsCursorVisible() { return m_fCursorVisible; }
    // Moves the drawn cursor to the mouse.
    virtual void UpdateCursorPos() {}
    // Offers a broadcast to the widget tree; the first non-zero answer.
    virtual int32_t PassMessage(uint32_t, void*, uintptr_t) { return 0; }

private:
    int32_t m_fCursorVisible = 0;
};
