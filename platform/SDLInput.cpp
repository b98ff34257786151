#include "platform/detail/SDLInput.h"

#include <string>

#include "foundation/Utf8.h"
#include "platform/detail/KeyDecoding.h"
#include "platform/detail/SDLOwners.h"

uint32_t ModifiersFromSDL(uint32_t kmod) {
    uint32_t bits = 0;
    if (kmod & KMOD_CTRL) {
        bits |= kModCommand;
    }
    if (kmod & KMOD_SHIFT) {
        bits |= kModShift;
    }
    if (kmod & KMOD_CAPS) {
        bits |= kModCapsLock;
    }
    if (kmod & KMOD_ALT) {
        bits |= kModOption;
    }
    if (kmod & KMOD_GUI) {
        bits |= kModControl;
    }
    return bits;
}

namespace {

int32_t ButtonFromSDL(uint8_t button) {
    switch (button) {
    case SDL_BUTTON_LEFT:
        return kButtonPrimary;
    case SDL_BUTTON_RIGHT:
        return kButtonSecondary;
    default:
        return kButtonMiddle;
    }
}

EWindowChange ChangeFromSDL(uint8_t event) {
    switch (event) {
    case SDL_WINDOWEVENT_SIZE_CHANGED:
        return EWindowChange::eSizeChanged;
    case SDL_WINDOWEVENT_CLOSE:
        return EWindowChange::eClose;
    case SDL_WINDOWEVENT_SHOWN:
        return EWindowChange::eShown;
    case SDL_WINDOWEVENT_RESTORED:
        return EWindowChange::eRestored;
    case SDL_WINDOWEVENT_FOCUS_GAINED:
        return EWindowChange::eFocusGained;
    case SDL_WINDOWEVENT_FOCUS_LOST:
        return EWindowChange::eFocusLost;
    case SDL_WINDOWEVENT_ENTER:
        return EWindowChange::eEnter;
    case SDL_WINDOWEVENT_LEAVE:
        return EWindowChange::eLeave;
    default:
        return EWindowChange::eNone;
    }
}

// Takes SDL's drop text (null for none) and frees it.
std::string TakeDropText(char* text) {
    const SDLText owned(text);
    return owned ? std::string(owned.get()) : std::string();
}

} // namespace

void CSDLInput::Translate(const SDL_Event& sdl, uint32_t modifiers, std::vector<CInputEvent>& out) {
    CInputEvent e;
    switch (sdl.type) {
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
        e.kind = sdl.type == SDL_MOUSEBUTTONDOWN ? EInputKind::eMouseDown : EInputKind::eMouseUp;
        e.point = gCPoint(sdl.button.x, sdl.button.y);
        e.button = ButtonFromSDL(sdl.button.button);
        e.modifiers = modifiers;
        out.push_back(std::move(e));
        return;
    case SDL_MOUSEMOTION:
        e.kind = EInputKind::eMouseMove;
        e.point = gCPoint(sdl.motion.x, sdl.motion.y);
        e.modifiers = modifiers;
        out.push_back(std::move(e));
        return;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        KeyRecord(sdl.key, sdl.type == SDL_KEYDOWN, out);
        return;
    case SDL_TEXTINPUT:
        if (m_fSuppressText) {
            m_fSuppressText = false;
            return;
        }
        TextKeys(sdl.text.text, modifiers, out);
        return;
    case SDL_DROPFILE:
    case SDL_DROPTEXT:
        e.kind = sdl.type == SDL_DROPFILE ? EInputKind::eDropFile : EInputKind::eDropText;
        e.windowID = sdl.drop.windowID;
        e.text = TakeDropText(sdl.drop.file);
        out.push_back(std::move(e));
        return;
    case SDL_QUIT:
        e.kind = EInputKind::eQuit;
        out.push_back(std::move(e));
        return;
    case SDL_WINDOWEVENT:
        e.windowID = sdl.window.windowID;
        if (sdl.window.event == SDL_WINDOWEVENT_EXPOSED) {
            e.kind = EInputKind::ePaint;
            out.push_back(std::move(e));
            return;
        }
        e.change = ChangeFromSDL(sdl.window.event);
        if (e.change == EWindowChange::eNone) {
            return;
        }
        e.kind = EInputKind::eWindow;
        e.size = gCPoint(sdl.window.data1, sdl.window.data2);
        out.push_back(std::move(e));
        return;
    default:
        return; // the wheel, window-system messages and the rest
    }
}

void CSDLInput::KeyRecord(const SDL_KeyboardEvent& key, bool down, std::vector<CInputEvent>& out) {
    CInputEvent e;
    e.kind = down ? EInputKind::eKeyDown : EInputKind::eKeyUp;
    e.scancode = int32_t(key.keysym.scancode);
    e.modifiers = ModifiersFromSDL(key.keysym.mod);
    e.key = DecodeKey(key.keysym.sym, e.modifiers);
    const bool valid = ValidScancode(e.scancode);
    if (down) {
        m_fSuppressText = e.key != 0;
        if (e.key == 0) {
            m_nTextScancode = e.scancode; // its character follows as text
        } else if (valid) {
            m_aKeyCodes[size_t(e.scancode)] = e.key;
        }
    } else if (valid) {
        if (e.key == 0) {
            e.key = m_aKeyCodes[size_t(e.scancode)];
        }
        m_aKeyCodes[size_t(e.scancode)] = 0;
    }
    out.push_back(std::move(e));
}

void CSDLInput::TextKeys(const char* utf8, uint32_t modifiers, std::vector<CInputEvent>& out) {
    const std::u16string units = gUtf8ToUtf16(utf8 ? utf8 : "");
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
        CInputEvent e;
        e.kind = EInputKind::eKeyDown;
        e.key = KeyCodeOfMacRoman(uint8_t(byte));
        e.modifiers = modifiers;
        if (ValidScancode(m_nTextScancode)) {
            m_aKeyCodes[size_t(m_nTextScancode)] = e.key;
        }
        out.push_back(std::move(e));
    }
}

void CSDLInput::Reset() {
    m_fSuppressText = false;
    m_nTextScancode = 0;
    m_aKeyCodes.fill(0);
}
