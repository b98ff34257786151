#pragma once
// A failed command shown once through the alert sink: the code's message,
// the interface's text for it and, when there is a file, its path on a line
// of its own. The commands that show their own failures answer 0 after it.

#include <cstdint>
#include <string>

#include "FileIO/gCFRef.h"
#include "foundation/Error.h"
#include "foundation/ErrorReport.h"
#include "foundation/Utf8.h"
#include "ui/InterfaceText.h"

inline void ShowFailure(int32_t code, uint32_t textID, const gCFRef* file) {
    std::string detail = gStringToUtf8(InterfaceText(textID));
    const std::string path = file ? file->PosixPath() : std::string();
    if (!path.empty()) {
        detail.push_back('\n');
        detail.append(path);
    }
    (void)ReportError(code, detail.c_str()); // answered once the alert is gone
}

// A dialog program that could not be run at all has shown its own alert.
inline bool DialogShownItself(error asked) {
    return asked == eCreateFailed;
}
