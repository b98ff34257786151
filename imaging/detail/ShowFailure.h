#pragma once
// Showing a loader's failure to the user. ReportError's own result only
// says that the alert was dismissed (always 0); the loader goes on to return
// the failure it showed, so that result is not passed on.

#include <cstdint>

#include "foundation/ErrorReport.h"

inline void ShowFailure(int32_t code, const char* detail) {
    (void)ReportError(code, detail);
}
