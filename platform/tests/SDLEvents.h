#pragma once
// SDL events pushed as the desktop would send them, for the platform's own
// tests of its SDL decoding.

#include <cstring>

#include <SDL.h>

#include "platform/MacWindow.h"

inline Uint32 WindowID(const CMacWindow* window) {
    return SDL_GetWindowID(window->GetSDLWindow());
}

inline void PushWindowEvent(Uint32 windowID, Uint8 event, Sint32 a = 0, Sint32 b = 0) {
    SDL_Event e{};
    e.type = SDL_WINDOWEVENT;
    e.window.windowID = windowID;
    e.window.event = event;
    e.window.data1 = a;
    e.window.data2 = b;
    SDL_PushEvent(&e);
}

inline void PushKey(Uint32 type, SDL_Keycode sym, SDL_Scancode scancode, Uint16 mod = 0) {
    SDL_Event e{};
    e.type = type;
    e.key.keysym.sym = sym;
    e.key.keysym.scancode = scancode;
    e.key.keysym.mod = mod;
    SDL_PushEvent(&e);
}

inline void PushText(const char* utf8) {
    SDL_Event e{};
    e.type = SDL_TEXTINPUT;
    std::strncpy(e.text.text, utf8, sizeof e.text.text - 1);
    SDL_PushEvent(&e);
}

inline void PushMotion(int x, int y) {
    SDL_Event e{};
    e.type = SDL_MOUSEMOTION;
    e.motion.x = x;
    e.motion.y = y;
    SDL_PushEvent(&e);
}

inline void PushButton(Uint32 type, Uint8 button, int x, int y) {
    SDL_Event e{};
    e.type = type;
    e.button.button = button;
    e.button.state = type == SDL_MOUSEBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
    e.button.x = x;
    e.button.y = y;
    SDL_PushEvent(&e);
}
