#include "platform/AppMac.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <SDL.h>

#include "FileIO/Spawn.h"
#include "FileIO/gCFileDlg.h"
#include "platform/TabletServices.h"
#include "platform/WindowBase.h"
#include "platform/detail/InputQueue.h"
#include "platform/detail/KeyTable.h"
#include "platform/detail/XInputPenReader.h"

CAppMac::CAppMac() : m_pInput(std::make_unique<CInputQueue>()) {
    m_pInput->SetListener([this](const CInputEvent& e) { StoreTabletSample(e); });
    m_pInput->SetExtrasSource([this](const SDL_Event& e) {
        CXInputPenReader* reader = m_pTabletServices ? m_pTabletServices->PenReader() : nullptr;
        return reader ? reader->TakeExtras(e) : CMouseExtras();
    });
}

CAppMac::~CAppMac() {
    // The window ends while the application object it asks still is one.
    m_pMainWnd.reset();
    m_pInput->SetListener(nullptr);
    m_pInput->SetExtrasSource(nullptr);
}

void CAppMac::StoreTabletSample(const CInputEvent& e) {
    if (e.kind != EInputKind::eMouseDown && e.kind != EInputKind::eMouseUp &&
        e.kind != EInputKind::eMouseMove) {
        return;
    }
    if (!m_pTabletServices) {
        return;
    }
    CTabletPoint point;
    if (e.pen.IsPen()) {
        point.x = e.pen.x;
        point.y = e.pen.y;
        point.pressure = e.pen.pressure;
        CTabletPoint::m_fInverted = e.pen.fEraser;
    } else {
        point.pressure = kNoPenPressure;
    }
    m_pTabletServices->SetMacData(point);
}

void CAppMac::InjectInput(const CInputEvent& e) {
    m_pInput->Inject(e);
}

void CAppMac::InjectKey(uint32_t code, bool down, uint32_t modifiers) {
    m_pInput->InjectKey(code, down, modifiers);
}

void CAppMac::InjectText(const std::string& utf8) {
    m_pInput->InjectText(utf8);
}

void CAppMac::ClearInput() {
    m_pInput->Clear();
}

void CAppMac::DoSystemQuit() {
    m_fClosing = 1;
    m_pMainWnd.reset(); // cleared before the window ends
}

const CInputState& CAppMac::PumpedState() const {
    m_pInput->Pump();
    return m_pInput->State();
}

int32_t CAppMac::LButtonDown() const {
    return PumpedState().IsButtonDown(kButtonPrimary);
}

int32_t CAppMac::RButtonDown() const {
    return PumpedState().IsButtonDown(kButtonSecondary);
}

int32_t CAppMac::LButtonStillDown() const {
    return PumpedState().IsButtonDown(kButtonPrimary) && !m_pInput->ButtonEventWaiting();
}

int32_t CAppMac::RButtonStillDown() const {
    return PumpedState().IsButtonDown(kButtonSecondary) && !m_pInput->ButtonEventWaiting();
}

int32_t CAppMac::AnyButtonDown() const {
    return PumpedState().AnyButtonDown();
}

int32_t CAppMac::AnyButtonStillDown() const {
    return PumpedState().AnyButtonDown() && !m_pInput->ButtonEventWaiting();
}

int32_t CAppMac::ButtonDownsInQueue() const {
    m_pInput->Pump();
    return m_pInput->TakeFirst(EInputKind::eMouseDown) ? 1 : 0;
}

uint32_t CAppMac::IsKeyDown(uint32_t code) const {
    const CInputState& state = PumpedState();
    if (const uint32_t bit = ModifierBitForKey(code)) {
        return (m_pHandledRecord ? m_pHandledRecord->modifiers : state.Modifiers()) & bit;
    }
    const int32_t scancode = ScancodeForKey(code);
    return scancode ? uint32_t(state.IsScancodeDown(scancode)) : 0;
}

uint32_t CAppMac::IsShiftKeyDown() const {
    return IsKeyDown(kKeyShift);
}

uint32_t CAppMac::IsCtrlKeyDown() const {
    return IsKeyDown(kKeyCommand);
}

uint32_t CAppMac::IsAltKeyDown() const {
    return IsKeyDown(kKeyOption);
}

uint32_t CAppMac::IsMenuKeyDown() const {
    return IsKeyDown(kKeyControl);
}

uint32_t CAppMac::IsKeyDownAtRelease(uint32_t code) const {
    const uint32_t bit = ModifierBitForKey(code);
    return bit ? PumpedState().ReleaseModifiers() & bit : IsKeyDown(code);
}

uint32_t CAppMac::HandledButtonMilliseconds() const {
    return m_pHandledRecord ? m_pHandledRecord->milliseconds : 0;
}

gCPoint CAppMac::CursorLoc() const {
    // The pointer is kept in window coordinates; the desktop adds the
    // content area's place on the screen.
    const gCPoint inWindow = PumpedState().Pointer();
    return m_pMainWnd ? inWindow + m_pMainWnd->ContentOrigin() : inWindow;
}

gCPoint CAppMac::CursorLocAtRelease() const {
    const gCPoint inWindow = PumpedState().ReleasePoint();
    return m_pMainWnd ? inWindow + m_pMainWnd->ContentOrigin() : inWindow;
}

void CAppMac::HideSystemCursor() {
    LowLevelCursorVisible(0);
}

void CAppMac::ShowSystemCursor() {
    HideVantorCursor();
    LowLevelCursorVisible(1);
}

void CAppMac::LowLevelCursorVisible(int32_t show) {
    const bool video = SDL_WasInit(SDL_INIT_VIDEO) != 0;
    if (!show) {
        if (m_fSysCursorVisible) {
            if (video) {
                SDL_ShowCursor(SDL_DISABLE);
            }
            m_fSysCursorVisible = 0;
        }
    } else if (!m_fSysCursorVisible) {
        if (video) {
            if (SDL_Cursor* arrow = SDL_GetDefaultCursor()) {
                SDL_SetCursor(arrow);
            }
            SDL_ShowCursor(SDL_ENABLE);
        }
        m_fSysCursorVisible = 1;
    }
}

int32_t CAppMac::PaintMessageQueued() {
    m_pInput->Pump();
    return m_pInput->TakeFirst(EInputKind::ePaint) ? 1 : 0;
}

// Settings are not kept through the application object on this platform.
error CAppMac::LocalMachineString(const gCString&, const gCString&, gCString&) {
    return eNotImplemented;
}
error CAppMac::LocalMachineUint32(const gCString&, const gCString&, uint32_t&) {
    return eNotImplemented;
}
error CAppMac::SetLocalMachineString(const gCString&, const gCString&, const gCString&) {
    return eNotImplemented;
}
error CAppMac::SetLocalMachineUint32(const gCString&, const gCString&, uint32_t) {
    return eNotImplemented;
}
error CAppMac::CurrentUserString(const gCString&, const gCString&, gCString&) {
    return eNotImplemented;
}
error CAppMac::CurrentUserUint32(const gCString&, const gCString&, uint32_t&) {
    return eNotImplemented;
}
error CAppMac::SetCurrentUserString(const gCString&, const gCString&, const gCString&) {
    return eNotImplemented;
}
error CAppMac::SetCurrentUserUint32(const gCString&, const gCString&, uint32_t) {
    return eNotImplemented;
}

bool CAppMac::CanShowDialogs() {
    if (SDL_WasInit(SDL_INIT_VIDEO)) {
        const char* driver = SDL_GetCurrentVideoDriver();
        return driver && std::strcmp(driver, "dummy") != 0 && std::strcmp(driver, "offscreen") != 0;
    }
    const char* requested = std::getenv("SDL_VIDEODRIVER");
    if (requested &&
        (std::strcmp(requested, "dummy") == 0 || std::strcmp(requested, "offscreen") == 0)) {
        return false;
    }
    return std::getenv("DISPLAY") || std::getenv("WAYLAND_DISPLAY");
}

bool CAppMac::ShowMessageBox(const std::string& message) {
    const SDL_MessageBoxButtonData ok = {
        SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT | SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, 0, "OK"};
    SDL_MessageBoxData box{};
    box.flags = SDL_MESSAGEBOX_ERROR;
    box.window = SDL_WasInit(SDL_INIT_VIDEO) ? SDL_GetKeyboardFocus() : nullptr;
    box.title = "";
    box.message = message.c_str();
    box.numbuttons = 1;
    box.buttons = &ok;
    int pressed = 0;
    return SDL_ShowMessageBox(&box, &pressed) == 0;
}

bool CAppMac::RunAlertProgram(std::string_view headline, const std::string& message) {
    const std::string zenity = gFindProgram("zenity");
    if (zenity.empty()) {
        return false;
    }
    const std::vector<std::string> argv = {zenity, headline == "Error." ? "--error" : "--info",
                                           "--no-markup", "--text=" + message};
    std::string output;
    // 0 is the button, 1 the window closed: answered either way. The
    // window goes on repainting meanwhile and takes the focus back after.
    const int status = gSpawnAndCapture(argv, output, gCFileDlg::ModalPump());
    return status == 0 || status == 1;
}

void CAppMac::ShowAlert(std::string_view headline, std::string_view text) {
    std::string message(headline);
    if (!text.empty()) {
        message += "\n\n";
        message += text;
    }
    std::fprintf(stderr, "%s\n", message.c_str());
    std::fflush(stderr);
    if (!CanShowDialogs()) {
        return;
    }
    if (ShowMessageBox(message)) {
        gDialogEnded();
        return;
    }
    // Standard error has it already when no program can show it either.
    (void)RunAlertProgram(headline, message);
}
