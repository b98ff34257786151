#pragma once
// Whole days from a date text such as "Jan 05 2004" to now.

#include <cstdint>

class gCString;

// The days from noon (local standard time) of the date to now, rounded half
// away from zero, positive for past dates. 0 for a text of 10 units or
// fewer or a month that is not one of "Jan" .. "Dec" (case-sensitive).
int32_t DaysSince(const gCString& date);
