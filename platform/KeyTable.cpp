#include "platform/detail/KeyTable.h"

#include <SDL_scancode.h>

int32_t ScancodeForKey(uint32_t code) {
    if (code >= 'a' && code <= 'z') {
        return SDL_SCANCODE_A + int32_t(code - 'a');
    }
    if (code >= 'A' && code <= 'Z') {
        return SDL_SCANCODE_A + int32_t(code - 'A');
    }
    if (code == '0') {
        return SDL_SCANCODE_0;
    }
    if (code >= '1' && code <= '9') {
        return SDL_SCANCODE_1 + int32_t(code - '1');
    }
    if (code >= 0x98 && code <= 0xA3) {
        return SDL_SCANCODE_F1 + int32_t(code - 0x98);
    }
    switch (code) {
    case 9:
        return SDL_SCANCODE_TAB;
    case 13:
        return SDL_SCANCODE_KP_ENTER;
    case 27:
        return SDL_SCANCODE_ESCAPE;
    case 0x88:
    case 0x89:
        return SDL_SCANCODE_RETURN;
    case 0x8C:
        return SDL_SCANCODE_NUMLOCKCLEAR; // keypad clear
    case 0x8D:
        return SDL_SCANCODE_DELETE;
    case 0x8E:
        return SDL_SCANCODE_BACKSPACE;
    case 0x8F:
        return SDL_SCANCODE_SPACE;
    case 0x90:
        return SDL_SCANCODE_RIGHT;
    case 0x91:
        return SDL_SCANCODE_LEFT;
    case 0x92:
        return SDL_SCANCODE_UP;
    case 0x93:
        return SDL_SCANCODE_DOWN;
    case 0x94:
        return SDL_SCANCODE_HOME;
    case 0x95:
        return SDL_SCANCODE_END;
    case 0x96:
        return SDL_SCANCODE_PAGEUP;
    case 0x97:
        return SDL_SCANCODE_PAGEDOWN;
    case 0xA4:
        return SDL_SCANCODE_INSERT; // Help sits where Insert is
    default:
        return SDL_SCANCODE_UNKNOWN;
    }
}
