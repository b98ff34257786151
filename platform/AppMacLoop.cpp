// The event loop and its 3 ms heartbeat.
#include "FileIO/gCFileDlg.h"
#include "foundation/Clock.h"
#include "foundation/ErrorReport.h"
#include "platform/AppMac.h"
#include "platform/MacWindow.h"
#include "platform/detail/InputQueue.h"

#include <SDL.h>

namespace {

constexpr uint64_t kHeartbeatMicroseconds = 3000;

} // namespace

CMacWindow* CAppMac::MainWindow() const {
    return dynamic_cast<CMacWindow*>(m_pMainWnd.get());
}

void CAppMac::TimerTick() {
    if (m_fInTimer) {
        return; // a beat while one runs (a modal loop pumping) is dropped
    }
    m_fInTimer = 1;
    // The idle tick's answer is for callers of AppHeartbeat; the timer goes
    // on beating whatever it was.
    (void)OnIdle(0);
    m_fInTimer = 0;
}

void CAppMac::HeartbeatIfDue() {
    const uint64_t now = gCClock::Microseconds();
    if (now < m_nNextBeat) {
        return;
    }
    m_nNextBeat = now + kHeartbeatMicroseconds;
    TimerTick();
}

void CAppMac::DispatchRecord(CInputEvent& e) {
    if (PlatformMessage(e) != 0) {
        return;
    }
    CMacWindow* window = MainWindow();
    switch (e.kind) {
    case EInputKind::ePaint:
        if (window) {
            window->OnPaint();
        }
        return;
    case EInputKind::eKeyDown:
    case EInputKind::eKeyUp:
    case EInputKind::eMouseDown:
    case EInputKind::eMouseUp:
    case EInputKind::eMouseMove:
        if (window && window->HasFocus()) {
            window->DispatchInput(e);
        }
        return;
    case EInputKind::eQuit:
        AppClosing();
        DoSystemQuit();
        return;
    case EInputKind::eWindow:
        if (window) {
            window->HandleWindowEvent(e);
        }
        return;
    case EInputKind::eDropFile: {
        const char* paths[] = {e.text.c_str()};
        OpenDocuments(1, paths);
        return;
    }
    default:
        return;
    }
}

int32_t CAppMac::PumpMessage() {
    if (m_fQuitPending && !m_fClosing) {
        m_fQuitPending = 0;
        AppClosing();
        DoSystemQuit();
    }
    m_pInput->Pump();
    CInputEvent e;
    while (!m_fClosing && m_pInput->TakeNext(e)) {
        DispatchRecord(e);
    }
    if (m_fClosing) {
        m_pInput->Clear(); // nothing reaches a window that is gone
    }
    HeartbeatIfDue();
    return 0;
}

void CAppMac::WaitForEvents() {
    if (SDL_WasInit(SDL_INIT_EVENTS) == 0 || m_pInput->GetCount() > 0) {
        return;
    }
    const uint64_t now = gCClock::Microseconds();
    if (now >= m_nNextBeat) {
        return;
    }
    const uint64_t wait = (m_nNextBeat - now + 999) / 1000;
    SDL_WaitEventTimeout(nullptr, int(wait));
}

void CAppMac::RunEventLoop() {
    while (!m_fClosing) {
        PumpMessage();
        if (!m_fClosing) {
            WaitForEvents();
        }
    }
}

error CAppMac::Run() {
    RunEventLoop();
    AppClosing();
    return eNoError;
}

void CAppMac::ModalPump() {
    auto* app = dynamic_cast<CAppMac*>(m_pApp);
    if (!app) {
        return;
    }
    app->m_pInput->Pump();
    bool paint = false;
    CInputEvent e;
    while (app->m_pInput->TakeNext(e)) {
        if (e.kind == EInputKind::ePaint) {
            paint = true;
        } else if (e.kind == EInputKind::eQuit ||
                   (e.kind == EInputKind::eWindow && e.change == EWindowChange::eClose)) {
            app->m_fQuitPending = 1;
        } else if (e.kind == EInputKind::eWindow && e.change != EWindowChange::eSizeChanged &&
                   e.change != EWindowChange::eShown && e.change != EWindowChange::eRestored) {
            // Focus and pointer are followed even now.
            if (CMacWindow* window = app->MainWindow()) {
                window->HandleWindowEvent(e);
            }
        }
    }
    if (paint && app->m_pMainWnd) {
        app->m_pMainWnd->OnPaint();
    }
}

int CAppMac::Main(int argc, char** argv) {
    auto* app = dynamic_cast<CAppMac*>(m_pApp);
    // ReportError answers 0 once the alert is gone: the failure is the
    // process's answer.
    if (!app) {
        (void)ReportError(eCreateFailed,
                          "Vantor internal error - the application object is missing");
        return -1;
    }
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
        (void)ReportError(eCreateFailed, "Vantor internal error - Event handler install failed");
        return -1;
    }
    SDL_EventState(SDL_DROPFILE, SDL_ENABLE);
    gCFileDlg::SetModalPump(&CAppMac::ModalPump);
    struct Shutdown {
        ~Shutdown() {
            gCFileDlg::SetModalPump(nullptr);
            SDL_Quit();
        }
    } shutdown;

    // The first argument is the document given at launch; others are
    // ignored.
    const char* first = argc > 1 ? argv[1] : nullptr;
    if (first) {
        app->OpenDocuments(1, &first);
    } else {
        // MacMain shows its own failure; the start-up state below tells
        // whether it succeeded (its answer is ExitInstance's after a failed
        // Initialize).
        (void)app->MacMain(gCString());
    }
    if (app->m_nStartupState != 2 || !m_pMainWnd) {
        // The failure has been shown; never leave a process without a
        // window.
        if (app->m_nStartupState == 2) {
            (void)ReportError(eCreateFailed, "The application made no window.");
        }
        m_pMainWnd.reset();
        return 1;
    }
    app->RunEventLoop();
    if (m_pApp) {
        m_pApp->DoSystemQuit();
    }
    return 0;
}
