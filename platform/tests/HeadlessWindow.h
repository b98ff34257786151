#pragma once
// A fixture with SDL on its dummy video driver, a fake screen of 1280 x
// 1024 whose usable part starts 24 pixels down (the "menu bar"), a fake
// clock and the test application object, with helpers that make the main
// window and push SDL events as the desktop would send them.

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "FakeClock.h"
#include "TestApp.h"

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
        SDL_Event e{};
        e.type = type;
        e.button.button = button;
        e.button.state = type == SDL_MOUSEBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
        e.button.x = x;
        e.button.y = y;
        SDL_PushEvent(&e);
    }

    static CScreenMeasures FakeScreen() { return s_Screen; }
    static inline CScreenMeasures s_Screen;

    CFakeClock clock;
    CTestApp app;
    CRecordingBackdrop* backdrop = nullptr;
};
