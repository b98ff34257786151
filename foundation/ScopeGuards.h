#pragma once
// Scope guards around modal interactions: each saves one piece of the
// application's heartbeat and cursor state, changes it, and at its end
// restores only what it changed. Guards nest in any order. Without
// registered application services they do nothing.

#include <cstdint>

// Stops the heartbeat; starts it again only when it was running.
class CStopHeartbeat {
public:
    CStopHeartbeat();
    ~CStopHeartbeat();
    CStopHeartbeat(const CStopHeartbeat&) = delete;
    CStopHeartbeat& operator=(const CStopHeartbeat&) = delete;

private:
    int32_t m_fWasRunning = 0;
};

// Hides the system cursor; shows it again only when it was visible.
class CHideSystemCursor {
public:
    CHideSystemCursor();
    ~CHideSystemCursor();
    CHideSystemCursor(const CHideSystemCursor&) = delete;
    CHideSystemCursor& operator=(const CHideSystemCursor&) = delete;

private:
    int32_t m_fWasVisible = 0;
};

// Shows the system cursor; hides it again only when it was hidden.
class CShowSystemCursor {
public:
    CShowSystemCursor();
    ~CShowSystemCursor();
    CShowSystemCursor(const CShowSystemCursor&) = delete;
    CShowSystemCursor& operator=(const CShowSystemCursor&) = delete;

private:
    int32_t m_fWasVisible = 0;
};

// Hides both cursors; shows the system cursor again when it was visible,
// otherwise the drawn cursor when that was visible.
class CHideCursor {
public:
    CHideCursor();
    ~CHideCursor();
    CHideCursor(const CHideCursor&) = delete;
    CHideCursor& operator=(const CHideCursor&) = delete;

private:
    int32_t m_fSystemWasVisible = 0;
    int32_t m_fVantorWasVisible = 0;
};
