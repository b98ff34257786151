#pragma once
// A fixture with SDL on its dummy video driver, a fake screen of 1280 x
// 1024 whose usable part starts 24 pixels down (the "menu bar"), a fake
// clock and the test application object, with helpers that make the main
// window and push SDL events as the desktop would send them.

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "testsupport/foundation/FakeClock.h"
#include "testsupport/platform/TestApp.h"

class HeadlessWindow : public ::testing::Test {
protected:
    static constexpr int32_t kMenuBar = 24;

    void SetUp() override {
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
        s_Screen.bounds = gCRect(0, 0, 1280, 1024);
        s_Screen.usable = gCRect(0, kMenuBar, 1280, 1024);
        CMacWindow::SetScreenSource(&FakeScreen);
        ASSERT_EQ(app.InitServices(), eNoError);
    }
    void TearDown() override {
        if (CAppBase::m_pMainWnd) {
            app.CAppMac::DoSystemQuit();
        }
        app.Input().Clear();
        CMacWindow::SetScreenSource(nullptr);
        SDL_Quit();
    }

    // Makes the main window around a recording backdrop; the window.
    CMacWindow* MakeMain(int32_t mode, gCRPoint size, gCRPoint position, int32_t menuFlag = 1) {
        backdrop = new CRecordingBackdrop;
        EXPECT_EQ(app.MakeWindow(backdrop, -1, mode, size, position, "Test", menuFlag), eNoError);
        return Main();
    }
    CMacWindow* Main() const { return dynamic_cast<CMacWindow*>(CAppBase::m_pMainWnd); }
    Uint32 MainID() const { return SDL_GetWindowID(Main()->GetSDLWindow()); }

    static void PushWindowEvent(Uint32 windowID, Uint8 event, Sint32 a = 0, Sint32 b = 0) {
        SDL_Event e{};
        e.type = SDL_WINDOWEVENT;
        e.window.windowID = windowID;
        e.window.event = event;
        e.window.data1 = a;
        e.window.data2 = b;
        SDL_PushEvent(&e);
    }
    void Focus() { PushWindowEvent(MainID(), SDL_WINDOWEVENT_FOCUS_GAINED); }
    static void PushKey(Uint32 type, SDL_Keycode sym, SDL_Scancode scancode, Uint16 mod = 0) {
        SDL_Event e{};
        e.type = type;
        e.key.keysym.sym = sym;
        e.key.keysym.scancode = scancode;
        e.key.keysym.mod = mod;
        SDL_PushEvent(&e);
    }
    static void PushText(const char* utf8) {
        SDL_Event e{};
        e.type = SDL_TEXTINPUT;
        std::strncpy(e.text.text, utf8, sizeof e.text.text - 1);
        SDL_PushEvent(&e);
    }
    static void PushButton(Uint32 type, Uint8 button, int x, int y) {
        PushSDLButton(type, button, x, y);
    }

    // Sets one pixel of the back buffer.
    void SetBackPixel(int32_t x, int32_t y, uint32_t pixel) {
        CImage* buffer = backdrop->BackBuffer();
        void* pixels = nullptr;
        ASSERT_EQ(buffer->Lock(pixels), eNoError);
        static_cast<uint32_t*>(pixels)[y * buffer->GetWidth() + x] = pixel;
        buffer->Unlock();
    }
    // The window's pixel as 0xRRGGBB.
    uint32_t ScreenPixel(int32_t x, int32_t y) const {
        SDL_Surface* surface = SDL_GetWindowSurface(Main()->GetSDLWindow());
        if (!surface || surface->format->BytesPerPixel != 4) {
            ADD_FAILURE() << "no 32-bit window surface";
            return 0;
        }
        SDL_LockSurface(surface);
        const auto* row = static_cast<const uint8_t*>(surface->pixels) + y * surface->pitch;
        const uint32_t word = reinterpret_cast<const uint32_t*>(row)[x];
        SDL_UnlockSurface(surface);
        Uint8 r = 0, g = 0, b = 0;
        SDL_GetRGB(word, surface->format, &r, &g, &b);
        return uint32_t(r) << 16 | uint32_t(g) << 8 | b;
    }

    static CScreenMeasures FakeScreen() { return s_Screen; }
    static inline CScreenMeasures s_Screen;

    CFakeClock clock;
    CTestApp app;
    CRecordingBackdrop* backdrop = nullptr;
};
