#pragma once
// Pen pressure on X11. SDL's mouse events carry no pressure, so this reader
// listens through XInput2 on the slave pointer devices that have an
// "Abs Pressure" valuator (never on all devices: that would take the clicks
// away from SDL). It reads their events in an SDL event watch, the only
// place where the event data is valid, keeps the latest pressure of each
// device, and pairs the latest sample with each SDL mouse event as it
// passes, with the X server's time of each button press and release. Devices are rescanned when they come and go.

#include <cstdint>
#include <memory>

#include <SDL.h>

#include "platform/detail/PenTracker.h"

class CXInputPenReader {
public:
    // A reader on the window's X11 display, or null when the window is not
    // on X11 or the server lacks XInput 2.
    static std::unique_ptr<CXInputPenReader> Create(SDL_Window* window);
    ~CXInputPenReader();
    CXInputPenReader(const CXInputPenReader&) = delete;
    CXInputPenReader& operator=(const CXInputPenReader&) = delete;

    // Finds the pen devices again and listens on them.
    void Rescan();
    // The pen sample, and a button's X server time, that came with an SDL
    // mouse event taken from the queue.
    CMouseExtras TakeExtras(const SDL_Event& e);
    const CPenTracker& Tracker() const { return m_Tracker; }

private:
    CXInputPenReader(void* display, unsigned long window, int opcode);
    static int SDLCALL Watch(void* self, SDL_Event* e);
    void OnXEvent(void* xevent);
    void SelectHierarchy();

    void* m_pDisplay;
    unsigned long m_Window;
    int m_nOpcode;
    uint8_t m_nPrevSysWMState = SDL_DISABLE;
    std::vector<int32_t> m_aSelected;
    CPenTracker m_Tracker;
};
