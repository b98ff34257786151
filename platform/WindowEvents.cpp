// Input records and SDL window events to the window's On* operations.
#include "foundation/Utf8.h"
#include "platform/AppBase.h"
#include "platform/MacWindow.h"
#include "platform/detail/KeyDecoding.h"

namespace {

// A window point as the toolkit's 16-bit coordinates.
gCPoint WindowPoint(const gCPoint& p) {
    return gCPoint(int16_t(p.x), int16_t(p.y));
}

bool ValidScancode(int32_t scancode) {
    return scancode > 0 && scancode < SDL_NUM_SCANCODES;
}

} // namespace

void CMacWindow::DispatchInput(const CInputEvent& e) {
    switch (e.kind) {
    case EInputKind::eKeyDown:
        m_fSuppressText = e.key != 0 ? 1 : 0;
        if (e.key == 0) {
            m_nTextScancode = e.scancode; // its character follows as text
            return;
        }
        if (ValidScancode(e.scancode)) {
            m_aKeyCodes[size_t(e.scancode)] = e.key;
        }
        OnKeyDown(e.key);
        return;
    case EInputKind::eKeyUp: {
        uint32_t code = e.key;
        if (ValidScancode(e.scancode)) {
            if (code == 0) {
                code = m_aKeyCodes[size_t(e.scancode)];
            }
            m_aKeyCodes[size_t(e.scancode)] = 0;
        }
        if (code != 0) {
            OnKeyUp(code);
        }
        return;
    }
    case EInputKind::eMouseDown:
    case EInputKind::eMouseUp: {
        const bool down = e.kind == EInputKind::eMouseDown;
        const gCPoint where = WindowPoint(e.point);
        if (e.button == kButtonPrimary) {
            down ? OnLButtonDown(where) : OnLButtonUp(where);
        } else if (e.button == kButtonSecondary) {
            down ? OnRButtonDown(where) : OnRButtonUp(where);
        } else {
            down ? OnMButtonDown(where) : OnMButtonUp(where);
        }
        return;
    }
    case EInputKind::eMouseMove:
        OnMouseMove(WindowPoint(e.point));
        return;
    case EInputKind::eOther:
        if (e.sdl.type == SDL_TEXTINPUT) {
            if (m_fSuppressText) {
                m_fSuppressText = 0;
                return;
            }
            DecodeText(e.sdl.text.text);
        }
        return;
    default:
        return;
    }
}

void CMacWindow::DecodeText(const char* utf8) {
    const std::u16string units = gUtf8ToUtf16(utf8);
    for (size_t i = 0; i < units.size(); ++i) {
        char32_t c = units[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < units.size()) {
            c = 0x10000 + ((c - 0xD800) << 10) + (units[i + 1] - 0xDC00);
            ++i;
        }
        const int32_t byte = UnicodeToMacRoman(c);
        if (byte < 0x20 || byte == 0x7F) {
            continue; // outside Mac Roman, or not a character
        }
        const uint32_t code = KeyCodeOfMacRoman(uint8_t(byte));
        if (ValidScancode(m_nTextScancode)) {
            m_aKeyCodes[size_t(m_nTextScancode)] = code;
        }
        OnKeyDown(code);
        if (!StillAlive()) {
            return;
        }
    }
}

bool CMacWindow::HandleWindowEvent(const SDL_Event& e) {
    if (e.type != SDL_WINDOWEVENT || !m_pWindow ||
        e.window.windowID != SDL_GetWindowID(m_pWindow)) {
        return false;
    }
    switch (e.window.event) {
    case SDL_WINDOWEVENT_SIZE_CHANGED:
        OnSize(e.window.data1, e.window.data2);
        return false;
    case SDL_WINDOWEVENT_CLOSE:
        if (CAppBase* app = CAppBase::m_pApp) {
            app->AppClosing();
            app->DoSystemQuit();
        }
        return true;
    case SDL_WINDOWEVENT_SHOWN:
    case SDL_WINDOWEVENT_RESTORED:
        if (m_pBackdrop) {
            m_pBackdrop->InvalidateClient(1);
        }
        return false;
    case SDL_WINDOWEVENT_FOCUS_GAINED:
        m_fHasFocus = 1;
        OnGetFocus();
        return false;
    case SDL_WINDOWEVENT_FOCUS_LOST:
        m_fHasFocus = 0;
        return false;
    case SDL_WINDOWEVENT_ENTER:
        m_fMouseInside = 1;
        return false;
    case SDL_WINDOWEVENT_LEAVE:
        m_fMouseInside = 0;
        return false;
    default:
        return false;
    }
}
