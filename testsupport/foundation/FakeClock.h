#pragma once
// Replaces the toolkit's clock while it lives: time stands still until a
// test advances it.

#include <cstdint>

#include "foundation/Clock.h"

class CFakeClock {
public:
    CFakeClock() { gCClock::SetSource(&Now); }
    ~CFakeClock() { gCClock::SetSource(nullptr); }
    CFakeClock(const CFakeClock&) = delete;
    CFakeClock& operator=(const CFakeClock&) = delete;

    void AdvanceMilliseconds(uint64_t ms) { s_nMicroseconds += ms * 1000u; }
    void AdvanceMicroseconds(uint64_t us) { s_nMicroseconds += us; }

private:
    static uint64_t Now() { return s_nMicroseconds; }
    // Starts well away from 0, as a real clock does.
    static inline uint64_t s_nMicroseconds = 5'000'000'000u;
};
