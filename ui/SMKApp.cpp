#include "ui/SMKApp.h"

#include <new>

#include "foundation/ErrorReport.h"
#include "platform/WindowBase.h"
#include "text/TextFontEngine.h"
#include "ui/SMKBackdrop.h"

CSMKApp::CSMKApp() {
    m_nMacType = 0x44424C4E; // 'DBLN'
    SetName(m_ResFolder, u"Resources");
    gRegisterFontEngine(gTextFontEngine());
}

error CSMKApp::Initialize(const gCString&) {
    // ReportError answers 0 once the alert is gone; the failure is then
    // answered (and shown once more by the start-up).
    auto* backdrop = new (std::nothrow) CSMKBackdrop();
    if (!backdrop) {
        (void)ReportError(eCreateFailed, "Error creating the Backdrop.");
        return eCreateFailed;
    }
    // The window owns the backdrop from here on.
    if (error e = MakeWindow(backdrop, -1, 7, gCRPoint(1024.0f, 768.0f), gCRPoint(-1.0f, -1.0f),
                             nullptr, 0)) {
        (void)ReportError(e, "Error creating a new Daublin window.");
        return e;
    }
    if (m_pMainWnd) {
        m_pMainWnd->SetSysKeyOverride(1);
    }
    StartHeartbeat();
    return eNoError;
}

void CSMKApp::DoSystemQuit() {
    // The preferences are written through the window's backdrop, and only
    // while the window exists.
    CApp::DoSystemQuit();
}
