// Start-up and the documents the application is asked to open.
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
    text.CopyStringFromBuffer(colon.data(), int32_t(colon.size()));
    gCFRef ref(text);
    if (gCFileIO::Verify(ref)) {
        path = ref.FileReference();
    }
    return path;
}

void CAppMac::OpenDocuments(int32_t count, const char* const* posixPaths) {
    // Only the first document counts.
    gCString path = count > 0 ? DocumentPath(posixPaths[0]) : gCString();
    if (m_nStartupState > 0) {
        PassMessage(eMsgOpenDocument, this, reinterpret_cast<uintptr_t>(&path));
        return;
    }
    MacMain(path);
}

error CAppMac::MacMain(const gCString& path) {
    if (error e = InitServices()) {
        ReportError(e);
        return e;
    }
    if (error e = InitResFile()) {
        ReportError(e);
        return e;
    }
    m_nStartupState = 1;
    if (error e = Initialize(gCString(path))) {
        ReportError(e);
        if (m_pMainWnd) {
            CWindowBase* window = m_pMainWnd;
            m_pMainWnd = nullptr;
            window->DestroyWindow();
        }
        const error exit = ExitInstance();
        if (exit != eNoError) {
            ReportError(exit);
        }
        return exit;
    }
    m_nStartupState = 2;
    return eNoError;
}
