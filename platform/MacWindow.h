#pragma once
// The application window over an SDL window: creation, placement and
// display modes over the screen's measures, painting the backdrop's back
// buffer, and the decoding of input records and window events into the
// window's On* operations.

#include <cstdint>
#include <memory>

#include "platform/InputEvent.h"
#include "platform/WindowBase.h"

struct SDL_Window;

// The owner of an SDL window: destroys it.
struct SDLWindowDestroy {
    void operator()(SDL_Window* window) const;
};

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

    // Routes one key or mouse record to its On* operation. The record's
    // tablet sample has already gone to the tablet service.
    void DispatchInput(const CInputEvent& e);
    // Follows this window's size, close box, focus, pointer and showing
    // from a window record; true when the record was handled. Another
    // window's records are ignored.
    bool HandleWindowEvent(const CInputEvent& e);

    SDL_Window* GetSDLWindow() const { return m_pWindow.get(); }
    // Whether the window has the keyboard focus.
    int32_t HasFocus() const { return m_fActive; }
    // Raises the window and asks for the keyboard focus (after a dialog
    // took it): the keys that follow are the window's.
    void TakeFocus();

    // The screen's measures: from SDL's main display unless a test sets its
    // own (null restores SDL's).
    static void SetScreenSource(ScreenSource source) { s_pScreenSource = source; }
    static CScreenMeasures Screen();

private:
    // Creates the SDL window (hidden) at a size with its surface; false
    // when no window results.
    bool CreatePlatformWindow(int32_t width, int32_t height, const gCString& title, uint32_t flags);
    // Sizes and places the SDL window; full screen as the desktop's.
    void PlaceWindow(const gCRect& content, bool fullScreen);
    // False (the window destroyed) when no backdrop is attached.
    bool EnsureBackdrop();
    void ReleasePlatformWindow();

    static CScreenMeasures SDLScreen();
    static inline ScreenSource s_pScreenSource = nullptr;

    std::unique_ptr<SDL_Window, SDLWindowDestroy> m_pWindow;
    gCPoint m_Origin;
    int32_t m_fMouseInside = 0;
};

// The class the application object makes.
class CAppWindow : public CMacWindow {
public:
    CAppWindow() = default;
};
