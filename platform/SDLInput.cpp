#include "platform/detail/SDLInput.h"

#include "platform/detail/KeyDecoding.h"

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

static int32_t ButtonFromSDL(uint8_t button) {
    switch (button) {
    case SDL_BUTTON_LEFT:
        return kButtonPrimary;
    case SDL_BUTTON_RIGHT:
        return kButtonSecondary;
    default:
        return kButtonMiddle;
    }
}

bool TranslateSDLEvent(const SDL_Event& sdl, uint32_t modifiers, CInputEvent& out) {
    out = CInputEvent();
    switch (sdl.type) {
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
        out.kind = sdl.type == SDL_MOUSEBUTTONDOWN ? EInputKind::eMouseDown : EInputKind::eMouseUp;
        out.point = gCPoint(sdl.button.x, sdl.button.y);
        out.button = ButtonFromSDL(sdl.button.button);
        out.modifiers = modifiers;
        return true;
    case SDL_MOUSEMOTION:
        out.kind = EInputKind::eMouseMove;
        out.point = gCPoint(sdl.motion.x, sdl.motion.y);
        out.modifiers = modifiers;
        return true;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        out.kind = sdl.type == SDL_KEYDOWN ? EInputKind::eKeyDown : EInputKind::eKeyUp;
        out.scancode = int32_t(sdl.key.keysym.scancode);
        out.modifiers = ModifiersFromSDL(sdl.key.keysym.mod);
        out.key = DecodeKey(sdl.key.keysym.sym, out.modifiers);
        return true;
    case SDL_MOUSEWHEEL:
    case SDL_SYSWMEVENT:
        return false;
    case SDL_WINDOWEVENT:
        if (sdl.window.event == SDL_WINDOWEVENT_EXPOSED) {
            out.kind = EInputKind::ePaint;
            return true;
        }
        break;
    default:
        break;
    }
    out.kind = EInputKind::eOther;
    out.sdl = sdl;
    return true;
}
