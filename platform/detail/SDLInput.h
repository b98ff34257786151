#pragma once
// SDL events to the toolkit's input records, decoded to the end: key events
// get their toolkit codes, typed text becomes one key record a character,
// drops and window events become records of their own kinds. Keeps what
// decoding needs between events: the code each held key delivered (for its
// release), and whether a key's text is still to come.

#include <array>
#include <cstdint>
#include <vector>

#include <SDL.h>

#include "platform/InputEvent.h"

// The toolkit's modifier bits of SDL's modifier state.
uint32_t ModifiersFromSDL(uint32_t kmod);

class CSDLInput {
public:
    // Appends the records of one SDL event (none for events the toolkit
    // does not take: the wheel, window-system messages, and window events
    // nobody follows). Mouse records take the modifiers given (SDL's mouse
    // events carry none); key records carry the event's own.
    void Translate(const SDL_Event& sdl, uint32_t modifiers, std::vector<CInputEvent>& out);
    // Appends one key-down record for each character of the UTF-8 text that
    // Mac Roman has; other characters and control characters give none.
    void TextKeys(const char* utf8, uint32_t modifiers, std::vector<CInputEvent>& out);
    // Forgets held keys and pending text.
    void Reset();

private:
    void KeyRecord(const SDL_KeyboardEvent& key, bool down, std::vector<CInputEvent>& out);
    static bool ValidScancode(int32_t scancode) {
        return scancode > 0 && scancode < SDL_NUM_SCANCODES;
    }

    // A key decoded from its key event makes no text of its own.
    bool m_fSuppressText = false;
    // The key whose character comes as text.
    int32_t m_nTextScancode = 0;
    // The code each held key delivered, for its release.
    std::array<uint32_t, SDL_NUM_SCANCODES> m_aKeyCodes{};
};
