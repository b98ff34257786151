#pragma once
// Showing a failure to the user, and the debug assertion text.

#include <cstdint>

#include "foundation/Error.h"

// Shows a modal alert headed "Error." with the code's message and, when a
// detail is given, a line feed and the detail (UTF-8), both whole. A code
// outside 0..30 is shown as eGenericFailure. While the alert is up the drawn
// cursor is hidden, the system cursor shown and the heartbeat stopped; each
// is restored afterwards. Returns eNoError once the alert is dismissed.
error ReportError(int32_t code, const char* detail = nullptr);

// The text buffer of DoAssert.
extern char g_GlobalErrorBuf[300];

// Writes "Debug Assert: File:  <file>   Line: <line>" and a line feed into
// g_GlobalErrorBuf as a length-prefixed string (cut to fit); shows nothing.
void DoAssert(const char* file, uint32_t line);
