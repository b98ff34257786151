#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/TabletServices.h"
#include "platform/detail/InputQueue.h"
#include "platform/detail/XInputPenReader.h"
#include "platform/tests/SDLEvents.h"
#include "testsupport/platform/TestApp.h"

namespace {

// SDL on its dummy video driver, as on a machine without a display.
class Headless : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
        m_pWindow = SDL_CreateWindow("test", 0, 0, 64, 64, SDL_WINDOW_HIDDEN);
        ASSERT_NE(m_pWindow, nullptr) << SDL_GetError();
        ASSERT_EQ(app.InitServices(), eNoError);
    }
    void TearDown() override {
        SDL_DestroyWindow(m_pWindow);
        SDL_Quit();
    }

    CTestApp app;
    SDL_Window* m_pWindow = nullptr;
};

TEST_F(Headless, WithoutX11ThereIsNoPenReaderAndTheMouseApplies) {
    EXPECT_EQ(app.TabletServices()->AttachWindow(m_pWindow), eNoError);
    EXPECT_EQ(app.TabletServices()->PenReader(), nullptr);
    EXPECT_EQ(app.TabletServices()->SetupServices(1), eNoError);

    PushButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 5, 6);
    EXPECT_EQ(app.LButtonDown(), 1);
    EXPECT_EQ(app.CursorLoc(), gCPoint(5, 6));
    CTabletPoint point;
    EXPECT_EQ(app.TabletServices()->GetPoint(point), 1);
    EXPECT_EQ(point.pressure, 0.5f);
}

TEST_F(Headless, SDLEventsBecomeTheToolkitsRecords) {
    PushButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT, 1, 2);
    PushButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_X1, 1, 2);
    SDL_Event wheel{};
    wheel.type = SDL_MOUSEWHEEL;
    SDL_PushEvent(&wheel);
    SDL_Event key{};
    key.type = SDL_KEYDOWN;
    key.key.keysym.scancode = SDL_SCANCODE_LCTRL;
    key.key.keysym.mod = KMOD_LCTRL | KMOD_LSHIFT;
    SDL_PushEvent(&key);
    PushButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 3, 4);

    app.Input().Pump();
    CInputEvent e;
    int mouse = 0;
    while (app.Input().TakeNext(e)) {
        ASSERT_NE(e.kind, EInputKind::eNone);
        if (e.kind == EInputKind::eMouseDown) {
            ++mouse;
            EXPECT_FALSE(e.pen.IsPen());
            if (mouse == 1) {
                EXPECT_EQ(e.button, kButtonSecondary);
            } else if (mouse == 2) {
                EXPECT_EQ(e.button, kButtonMiddle);
            } else {
                // A press after the key carries its modifiers.
                EXPECT_EQ(e.button, kButtonPrimary);
                EXPECT_EQ(e.modifiers, kModCommand | kModShift);
            }
        }
    }
    EXPECT_EQ(mouse, 3); // the wheel is not delivered
    EXPECT_EQ(app.IsCtrlKeyDown(), kModCommand);
    EXPECT_EQ(app.AnyButtonDown(), 1);
}

} // namespace
