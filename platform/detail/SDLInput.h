#pragma once
// SDL events to the toolkit's input records.

#include <cstdint>

#include <SDL.h>

#include "platform/InputEvent.h"

// The toolkit's modifier bits of SDL's modifier state.
uint32_t ModifiersFromSDL(uint32_t kmod);

// Fills a record from an SDL event. Mouse records take the modifiers given
// (SDL's mouse events carry none); key records carry the event's own. False
// for events the toolkit does not take: the wheel, and the window-system
// messages whose data is gone once the event is queued. Key records carry
// the physical key and the toolkit key code, 0 when the key's character
// follows as text.
bool TranslateSDLEvent(const SDL_Event& sdl, uint32_t modifiers, CInputEvent& out);
