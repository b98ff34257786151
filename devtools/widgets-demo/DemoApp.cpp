#include "devtools/widgets-demo/DemoApp.h"

#include <memory>

#include "FileIO/ResourceLoading.h"
#include "devtools/widgets-demo/DemoEffects.h"
#include "foundation/ErrorReport.h"
#include "platform/WindowBase.h"

error CDemoBackdrop::SetupInterface() {
    CWindowHost* host = Host();
    CImage* buffer = BackBuffer();
    if (!host || !buffer) {
        return eNoError;
    }
    // The window's first copy makes its drawing surface; made before the
    // window is shown, no window manager remakes the window afterwards.
    // The area stays dirty for the first redraw.
    if (error e = RedrawNoShow()) {
        return e;
    }
    const gCRect whole(0, 0, buffer->GetWidth(), buffer->GetHeight());
    // What cannot be shown now is shown by the first redraw.
    (void)host->CopyToScreen(*buffer, &whole, 1);
    return eNoError;
}

CDemoApp::CDemoApp() {
    m_nMacType = 0x44574447; // 'DWDG'
    SetName(m_ResFolder, u"Resources");
}

error CDemoApp::Initialize(const gCString&) {
    gCString name;
    if (error e = name.CopyString(u"WidgetsDemo")) {
        return e;
    }
    // A failed load has shown its alert already.
    std::unique_ptr<CDemoBackdrop> backdrop(
        CreateFromResource<CDemoBackdrop>(name, nullptr, nullptr));
    if (!backdrop) {
        return eCreateFailed;
    }
    // --- The effects, attached in code to the loaded tree. ---
    if (error e = AttachDemoEffects(*backdrop)) {
        (void)ReportError(e, "Error attaching the demo's effects."); // shown; the failure is answered
        return e;
    }
    // --- End of the effects. ---
    // The window owns the backdrop from here on.
    if (error e = MakeWindow(backdrop.release(), -1, 7, gCRPoint(1024.0f, 768.0f),
                             gCRPoint(-1.0f, -1.0f), "Daublin Widgets Demo", 0)) {
        (void)ReportError(e, "Error creating the demo window."); // shown; the failure is answered
        return e;
    }
    if (m_pMainWnd) {
        m_pMainWnd->SetSysKeyOverride(1);
    }
    StartHeartbeat();
    return eNoError;
}
