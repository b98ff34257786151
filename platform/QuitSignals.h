#pragma once
// SIGTERM and SIGINT as a quit request: while an object of this class
// lives, either signal only sets a flag, which the event loop takes and
// handles as the desktop's quit (nothing is torn down inside the handler).
// The handlers in place before are put back when it goes.

#include <csignal>

class CQuitSignals {
public:
    CQuitSignals();
    ~CQuitSignals();
    CQuitSignals(const CQuitSignals&) = delete;
    CQuitSignals& operator=(const CQuitSignals&) = delete;

    // Whether a quit signal came since the last call; clears it.
    static bool Take();

private:
    struct sigaction m_OldTerm {};
    struct sigaction m_OldInt {};
};
