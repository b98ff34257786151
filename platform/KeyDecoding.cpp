#include "platform/detail/KeyDecoding.h"

#include "foundation/Input.h"
#include "foundation/MacRoman.h"

namespace {

struct SKeyRow {
    SDL_Keycode sym;
    int32_t code;
};

constexpr SKeyRow kKeyRows[] = {
    {SDLK_ESCAPE, 27},   {SDLK_DELETE, 127},    {SDLK_F1, -248},   {SDLK_F2, -247},
    {SDLK_F3, -246},     {SDLK_F4, -245},       {SDLK_F5, -244},   {SDLK_F6, -243},
    {SDLK_F7, -242},     {SDLK_F8, -241},       {SDLK_F9, -240},   {SDLK_F10, -239},
    {SDLK_F11, -238},    {SDLK_F12, -237},      {SDLK_LEFT, -256}, {SDLK_RIGHT, -255},
    {SDLK_UP, -254},     {SDLK_DOWN, -253},     {SDLK_HOME, -252}, {SDLK_END, -251},
    {SDLK_PAGEUP, -250}, {SDLK_PAGEDOWN, -249}, {SDLK_RETURN, 13}, {SDLK_KP_ENTER, 3},
    {SDLK_TAB, 9},       {SDLK_BACKSPACE, 8},
};

} // namespace

uint32_t DecodeKey(SDL_Keycode sym, uint32_t modifiers) {
    for (const SKeyRow& row : kKeyRows) {
        if (row.sym == sym) {
            return uint32_t(row.code);
        }
    }
    if (sym >= SDLK_a && sym <= SDLK_z) {
        const int32_t index = int32_t(sym - SDLK_a);
        if (modifiers & kModControl) {
            return uint32_t(1 + index);
        }
        if (modifiers & kModCommand) {
            return uint32_t((modifiers & kModShift) ? 'A' + index : 'a' + index);
        }
    }
    return 0;
}

int32_t UnicodeToMacRoman(char32_t c) {
    if (c < 0x80) {
        return int32_t(c);
    }
    for (int32_t byte = 0x80; byte <= 0xFF; ++byte) {
        if (char32_t(MacRomanToUnicode(uint8_t(byte))) == c) {
            return byte;
        }
    }
    return -1;
}
