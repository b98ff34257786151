#pragma once
// Owners of what SDL hands out to be freed, so that every way out of a
// function lets go of it.

#include <memory>

#include <SDL.h>

struct SDLSurfaceFree {
    void operator()(SDL_Surface* surface) const { SDL_FreeSurface(surface); }
};
// A surface made by SDL_Create...Surface (never a window's own surface).
using SDLSurface = std::unique_ptr<SDL_Surface, SDLSurfaceFree>;

struct SDLMemoryFree {
    void operator()(char* text) const { SDL_free(text); }
};
// Text SDL allocated for the caller (clipboard text, a dropped path).
using SDLText = std::unique_ptr<char, SDLMemoryFree>;
