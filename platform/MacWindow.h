#pragma once
// The application window over an SDL window: creation, placement and
// display modes over the screen's measures, painting the backdrop's back
// buffer, and the decoding of input records and window events into the
// window's On* operations.

#include <array>
#include <cstdint>

#include <SDL.h>

#include "platform/InputEvent.h"
#include "platform/WindowBase.h"

// The main screen: its bounds and the part of it that windows may use. The
// top inset of the usable part stands for the system menu bar.
struct CScreenMeasures {
    gCRect bounds;
    gCRect usable;

    int32_t MenuBarHeight() const { return usable.top > bounds.top ? usable.top - bounds.top : 0; }
};

class CMacWindow : public CWindowBase {
public:
    using ScreenSource = CScreenMeasures (*)();

    CMacWindow() = default;
    ~CMacWindow() override;

    int32_t MakeWindow(int32_t width, int32_t height, const gCString& title,
                       int32_t style) override;
    virtual int32_t MakeWindow(int32_t mode, gCRPoint size, gCRPoint position,
                               const gCString& title, int32_t style);
    error SetDisplayMode(int32_t width, int32_t height, int32_t update) override;
    error SetDisplayModeR(float fx, float fy, int32_t update) override;
    error ShowWindow(int32_t show) override;
    void DestroyWindow() override;
    using CWindowBase::SetPosition;
    error SetPosition(int32_t x, int32_t y, int32_t flag) override;
    error SetPosition(float fx, float fy, int32_t flag) override;
    error CentreWindow(int32_t flag) override;
    error SetSizeAndPosition(int32_t x, int32_t y, int32_t width, int32_t height,
                             int32_t flag) override;
    error SetWindowSizeAndPosition(int32_t mode, gCRPoint size, gCRPoint position,
                                   int32_t flag) override;
    gCRect GetWindowTargetSizeAndPosition(int32_t mode, gCRPoint size, gCRPoint position,
                                          int32_t& menuHidden) override;
    void PlatformSetOSMenuHidden(int32_t, int32_t) override {}
    void OnPaint() override;
    int32_t IsMouseInWindow() override { return m_fMouseInside; }
    error CopyToScreen(CImage& image, const gCRect* rects, int32_t count) override;
    gCPoint ContentOrigin() const override;
    // Deletes this object only.
    virtual void PostNcDestroy() { delete this; }
    virtual void OnGetFocus() {}

    // Decodes one input record (keys, text, mouse) into the On* operations.
    // The record's tablet sample has already gone to the tablet service.
    void DispatchInput(const CInputEvent& e);
    // Follows this window's size, close box, focus, pointer and showing;
    // true when the event was handled. Another window's events are ignored.
    bool HandleWindowEvent(const SDL_Event& e);

    SDL_Window* GetSDLWindow() const { return m_pWindow; }
    // Whether the window has the keyboard focus.
    int32_t HasFocus() const { return m_fHasFocus; }

    // The screen's measures: from SDL's main display unless a test sets its
    // own (null restores SDL's).
    static void SetScreenSource(ScreenSource source) { s_pScreenSource = source; }
    static CScreenMeasures Screen();

private:
    // Creates the SDL window (hidden) at a size; false when none results.
    bool CreatePlatformWindow(int32_t width, int32_t height, const gCString& title, uint32_t flags);
    // Sizes and places the SDL window; full screen as the desktop's.
    void PlaceWindow(const gCRect& content, bool fullScreen);
    // Makes a toolkit backdrop when none is attached; false (the window
    // destroyed) when none can be had.
    bool EnsureBackdrop();
    void ReleasePlatformWindow();
    void DecodeText(const char* utf8);

    static CScreenMeasures SDLScreen();
    static inline ScreenSource s_pScreenSource = nullptr;

    SDL_Window* m_pWindow = nullptr;
    gCPoint m_Origin;
    int32_t m_fHasFocus = 0;
    int32_t m_fMouseInside = 0;
    // A key decoded from its key event makes no text of its own.
    int32_t m_fSuppressText = 0;
    int32_t m_nTextScancode = 0;
    // The code each held key delivered, for its release.
    std::array<uint32_t, SDL_NUM_SCANCODES> m_aKeyCodes{};
};

// The class the application object makes.
class CAppWindow : public CMacWindow {
public:
    CAppWindow() = default;
};
