// Start-up and the documents the application is asked to open.
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <string>

#include "FileIO/VolumeTable.h"
#include "FileIO/gCFRef.h"
#include "FileIO/gCFileIO.h"
#include "foundation/ErrorReport.h"
#include "foundation/MessageIds.h"
#include "platform/AppMac.h"
#include "platform/WindowBase.h"

gCString CAppMac::DocumentPath(const char* posixPath) {
    gCString path;
    if (!posixPath || !*posixPath) {
        return path;
    }
    char resolved[PATH_MAX];
    if (!realpath(posixPath, resolved)) {
        return path;
    }
    std::u16string colon;
    if (gCVolumeTable::PosixToColon(resolved, colon) != eNoError) {
        return path;
    }
    gCString text;
    if (text.CopyStringFromBuffer(colon.data(), int32_t(colon.size())) != eNoError) {
        return path;
    }
    gCFRef ref(text);
    if (gCFileIO::Verify(ref)) {
        path = ref.FileReference();
    }
    return path;
}

void CAppMac::OpenDocuments(int32_t count, const char* const* posixPaths) {
    // Only the first document counts.
    const char* first = count > 0 ? posixPaths[0] : nullptr;
    gCString path = DocumentPath(first);
    if (m_nStartupState > 0) {
        PassMessage(eMsgOpenDocument, this, reinterpret_cast<uintptr_t>(&path));
        return;
    }
    // MacMain shows its own failure and leaves the start-up state to tell
    // the outcome.
    (void)MacMain(path);
    if (m_nStartupState == 2 && first && *first && path.GetLength() == 0) {
        // The program runs without it: the user is told which file it was.
        // ReportError answers 0 once the alert is gone.
        const error why = ::access(first, F_OK) == 0 ? eFileOpenError : eFileNotFound;
        (void)ReportError(why, first);
    }
}

// Every failure is shown here (ReportError answers 0 once the alert is
// gone) and then answered.
error CAppMac::MacMain(const gCString& path) {
    if (error e = InitServices()) {
        (void)ReportError(e);
        return e;
    }
    if (error e = InitResFile()) {
        (void)ReportError(e);
        return e;
    }
    m_nStartupState = 1;
    if (error e = Initialize(gCString(path))) {
        (void)ReportError(e);
        m_pMainWnd.reset();
        const error exit = ExitInstance();
        if (exit != eNoError) {
            (void)ReportError(exit);
        }
        return exit;
    }
    m_nStartupState = 2;
    return eNoError;
}
