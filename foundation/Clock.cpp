#include "foundation/Clock.h"

#include <time.h>

uint64_t gCClock::SystemMicroseconds() {
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return uint64_t(ts.tv_sec) * 1000000u + uint64_t(ts.tv_nsec) / 1000u;
}

void gCClock::SetSource(Source source) {
    s_pSource = source ? source : &SystemMicroseconds;
}
