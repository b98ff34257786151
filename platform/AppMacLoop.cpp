// The event loop and its 3 ms heartbeat.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "FileIO/Spawn.h"
#include "FileIO/gCFileDlg.h"
#include "foundation/Clock.h"
#include "foundation/ErrorReport.h"
#include "foundation/Input.h"
#include "platform/AppMac.h"
#include "platform/MacWindow.h"
#include "platform/QuitSignals.h"
#include "platform/detail/InputQueue.h"

#include <SDL.h>
#include <X11/Xlib.h>
#include <unistd.h>

namespace {

constexpr uint64_t kHeartbeatMicroseconds = 3000;

// SDL's stand-ins for a display, taken only when a test asks for them.
bool IsStandInDriver(const char* driver) {
    return driver && (std::strcmp(driver, "dummy") == 0 || std::strcmp(driver, "offscreen") == 0);
}

// The line said when the display goes away while the program runs: made
// at start, written by the handler without allocating (and alive while
// static objects end).
char s_DisplayLostLine[512];

// Nothing can be shown or torn down through a display that has gone (the
// window's own ending would wait on it for ever): one line, and the process
// ends at once.
int DisplayLost(Display*) {
    const ssize_t written =
        ::write(STDERR_FILENO, s_DisplayLostLine, std::strlen(s_DisplayLostLine));
    (void)written; // nothing more can be done about a line that cannot be written
    ::_exit(1);
}

// The program's name as the user started it, for the lines it says.
std::string ProgramName(const char* argv0) {
    const char* slash = argv0 ? std::strrchr(argv0, '/') : nullptr;
    return slash ? slash + 1 : (argv0 && *argv0 ? argv0 : "daublin");
}

// The one line said when no display can be opened.
std::string NoDisplayLine(const std::string& program) {
    const char* display = std::getenv("DISPLAY");
    if (!display || !*display) {
        return program + ": no display to open (DISPLAY is not set)";
    }
    return program + ": cannot open the display \"" + display + "\"";
}

// Starts SDL's video on X11: 0, else the process's exit status. Without a
// display there is nobody to show anything to: one line and out. SDL's
// stand-in drivers are taken only when asked for by name.
int StartVideo(const std::string& program) {
    const char* asked = std::getenv("SDL_VIDEODRIVER");
    const bool driverAsked = asked && *asked;
    if (!driverAsked) {
        SDL_SetHint(SDL_HINT_VIDEODRIVER, "x11");
    }
    const bool started = SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS) == 0;
    if (!driverAsked && (!started || IsStandInDriver(SDL_GetCurrentVideoDriver()))) {
        if (started) {
            SDL_Quit();
        }
        std::fprintf(stderr, "%s\n", NoDisplayLine(program).c_str());
        return 1;
    }
    if (!started) {
        // ReportError answers 0 once the alert is gone.
        (void)ReportError(eCreateFailed, "Vantor internal error - Event handler install failed");
        return -1;
    }
    const char* driver = SDL_GetCurrentVideoDriver();
    if (driver && std::strcmp(driver, "x11") == 0) {
        const char* display = std::getenv("DISPLAY");
        std::snprintf(s_DisplayLostLine, sizeof s_DisplayLostLine,
                      "%s: the display \"%s\" was lost\n", program.c_str(), display ? display : "");
        XSetIOErrorHandler(&DisplayLost);
    }
    return 0;
}

} // namespace

bool CAppMac::IsQuitKey(const CInputEvent& e) {
    // Ctrl+Q, the application menu's Quit; with Shift, Alt or Super it is
    // another key.
    constexpr uint32_t kOthers = kModShift | kModOption | kModControl;
    return e.kind == EInputKind::eKeyDown && e.key == 'q' && (e.modifiers & kModCommand) &&
           !(e.modifiers & kOthers);
}

void CAppMac::DialogEnded() {
    auto* app = dynamic_cast<CAppMac*>(m_pApp);
    if (CMacWindow* window = app ? app->MainWindow() : nullptr) {
        window->TakeFocus();
    }
}

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
    // While a key or mouse record is handled, the modifier queries answer
    // what came with it; a nested loop may handle later records meanwhile,
    // and this one is the handled one again once they are.
    struct SHandled {
        const CInputEvent*& handled;
        const CInputEvent* const outer;
        ~SHandled() { handled = outer; }
    } scope{m_pHandledRecord, m_pHandledRecord};
    if (e.kind == EInputKind::eKeyDown || e.kind == EInputKind::eKeyUp ||
        e.kind == EInputKind::eMouseDown || e.kind == EInputKind::eMouseUp ||
        e.kind == EInputKind::eMouseMove) {
        m_pHandledRecord = &e;
    }
    if (PlatformMessage(e) != 0) {
        return;
    }
    if (IsQuitKey(e)) {
        AppClosing();
        DoSystemQuit();
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
    if (CQuitSignals::Take()) {
        m_fQuitPending = 1; // the desktop's quit, as SIGTERM and SIGINT ask
    }
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

void CAppMac::WaitForInput() {
    if (SDL_WasInit(SDL_INIT_EVENTS) == 0 || m_pInput->GetCount() > 0) {
        return;
    }
    SDL_WaitEventTimeout(nullptr, kInputWaitMs);
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
    if (CQuitSignals::Take()) {
        app->m_fQuitPending = 1;
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
    const std::string program = ProgramName(argc > 0 ? argv[0] : nullptr);
    // The quit signals are the loop's own, never SDL's.
    const CQuitSignals quitSignals;
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (const int status = StartVideo(program)) {
        return status;
    }
    SDL_EventState(SDL_DROPFILE, SDL_ENABLE);
    gCFileDlg::SetModalPump(&CAppMac::ModalPump);
    gSetDialogEndHook(&CAppMac::DialogEnded);
    struct Shutdown {
        ~Shutdown() {
            gSetDialogEndHook(nullptr);
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
