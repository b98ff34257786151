#pragma once
// The monotonic clock behind the toolkit's timing, in microseconds. Tests
// replace the source to step time by hand.

#include <cstdint>

class gCClock {
public:
    using Source = uint64_t (*)();

    static uint64_t Microseconds() { return s_pSource(); }
    // Replaces the source; null puts the system's monotonic clock back.
    static void SetSource(Source source);

private:
    static uint64_t SystemMicroseconds();
    static inline Source s_pSource = &gCClock::SystemMicroseconds;
};
