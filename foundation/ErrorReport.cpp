#include "foundation/ErrorReport.h"

#include <cstdio>
#include <string>

#include "foundation/Alert.h"
#include "foundation/PascalString.h"
#include "foundation/ScopeGuards.h"

char g_GlobalErrorBuf[300];

error ReportError(int32_t code, const char* detail) {
    // Destroyed in reverse: heartbeat first, then the system cursor, then
    // the drawn cursor.
    const CHideCursor hideCursor;
    const CShowSystemCursor showSystemCursor;
    const CStopHeartbeat stopHeartbeat;

    std::string message = ErrorMessage(code);
    if (detail) {
        message += '\n';
        message += detail;
    }
    gShowAlert("Error.", message);
    return eNoError;
}

void DoAssert(const char* file, uint32_t line) {
    std::snprintf(g_GlobalErrorBuf, sizeof(g_GlobalErrorBuf),
                  "Debug Assert: File:  %s   Line: %u\n", file ? file : "", unsigned(line));
    gC2PStr(g_GlobalErrorBuf);
}
