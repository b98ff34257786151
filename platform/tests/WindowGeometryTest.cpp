#include <ostream>

#include "platform/tests/SDLEvents.h"
#include "testsupport/platform/HeadlessWindow.h"

namespace {

// The content rectangle of a display mode, on the fake screen, for a
// window of 800 x 600 whose content sits at (100, 150).
struct STargetCase {
    const char* name;
    int32_t mode;
    gCRPoint size;
    gCRPoint position;
    int32_t menuHidden; // the window's OS-menu-hidden flag beforehand
    gCRect expected;
    int32_t fullScreen;
};

void PrintTo(const STargetCase& c, std::ostream* os) {
    *os << c.name;
}

const STargetCase kTargetCases[] = {
    {"OversizeIsFullScreenBelowTheMenuBar", 0, {5000, 5000}, {0, 0}, 0, {0, 24, 1280, 1024}, 1},
    {"OversizeWithTheMenuHiddenIsTheWholeScreen",
     0,
     {5000, 5000},
     {0, 0},
     1,
     {0, 0, 1280, 1024},
     1},
    {"FullScreenBit", 1, {10, 10}, {3, 3}, 1, {0, 0, 1280, 1024}, 1},
    {"ScreenLessMenuBarSwitchesToFullScreen", 0, {1280, 1000}, {0, 0}, 0, {0, 24, 1280, 1024}, 1},
    {"JustBelowTheUsableHeightStaysWindowed", 0, {1280, 999}, {0, 0}, 0, {0, 24, 1280, 1023}, 0},
    {"MinusOneSizeKeepsTheClientSize", 0, {-1, -1}, {10, 20}, 0, {10, 44, 810, 644}, 0},
    {"FractionsAreClampedToOne", 0x18, {1.5f, 0.5f}, {0.5f, 0.5f}, 0, {640, 524, 1920, 1036}, 0},
    {"FractionsBelowZeroAreClampedToZero", 0x10, {0.25f, -0.5f}, {7, 8}, 0, {7, 32, 327, 32}, 0},
    {"HalfPositionPutsTheCornerMidScreen",
     0x18,
     {0.25f, 0.5f},
     {0.5f, 0.5f},
     0,
     {640, 524, 960, 1036},
     0},
    {"NegativePositionIsDesktopZero", 0, {300, 200}, {-5, -5}, 0, {0, 0, 300, 200}, 0},
    {"MinusOnePositionKeepsThePlace", 0, {300, 200}, {-1, -1}, 0, {100, 150, 400, 350}, 0},
    {"CentredBelowTheMenuBar", 6, {1024, 768}, {-1, -1}, 0, {128, 140, 1152, 908}, 0},
    {"SizesRoundHalvesAwayFromZero", 0, {300.5f, 200.4f}, {0, 0}, 0, {0, 24, 301, 224}, 0},
};

class TargetRect : public HeadlessWindow, public ::testing::WithParamInterface<STargetCase> {};

TEST_P(TargetRect, MatchesTheTable) {
    const STargetCase& c = GetParam();
    CMacWindow* window = MakeMain(0, gCRPoint(800, 600), gCRPoint(100, 126));
    ASSERT_NE(window, nullptr);
    ASSERT_EQ(window->ContentOrigin(), gCPoint(100, 150));
    window->PresetOSMenuHidden(c.menuHidden);
    int32_t menuHidden = -1;
    EXPECT_EQ(window->GetWindowTargetSizeAndPosition(c.mode, c.size, c.position, menuHidden),
              c.expected);
    EXPECT_EQ(window->IsFullScreen(), c.fullScreen);
    EXPECT_EQ(menuHidden, c.fullScreen ? c.menuHidden : 0);
}

INSTANTIATE_TEST_SUITE_P(Window, TargetRect, ::testing::ValuesIn(kTargetCases),
                         [](const auto& info) { return std::string(info.param.name); });

using Window = HeadlessWindow;

TEST_F(Window, TheApplicationsWindowFillsTheScreen) {
    // Mode 7 at 1024 x 768 with menu flag 0, as the application makes it.
    CMacWindow* window = MakeMain(7, gCRPoint(1024, 768), gCRPoint(-1, -1), 0);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->ClientWidth(), 1280);
    EXPECT_EQ(window->ClientHeight(), 1024);
    EXPECT_EQ(backdrop->Width(), 1280);
    EXPECT_EQ(backdrop->Height(), 1024);
    EXPECT_TRUE(SDL_GetWindowFlags(window->GetSDLWindow()) & SDL_WINDOW_FULLSCREEN_DESKTOP);
    EXPECT_EQ(backdrop->m_fCreationComplete, 1);
}

TEST_F(Window, OversizeRequestFillsTheScreenOneSidedOneIsClampedAndCentred) {
    CMacWindow* window = MakeMain(0, gCRPoint(400, 300), gCRPoint(0, 0));
    EXPECT_EQ(window->SetDisplayMode(5000, 5000, 1), eNoError);
    EXPECT_EQ(window->ClientWidth(), 1280);
    EXPECT_EQ(window->ClientHeight(), 1024);
    EXPECT_EQ(window->ContentOrigin(), gCPoint(0, 0));
    EXPECT_EQ(app.MBarWasHidden(), 1);

    EXPECT_EQ(window->SetDisplayMode(5000, 600, 1), eNoError);
    EXPECT_FALSE(SDL_GetWindowFlags(window->GetSDLWindow()) & SDL_WINDOW_FULLSCREEN);
    EXPECT_EQ(window->ClientWidth(), 1280);
    EXPECT_EQ(window->ClientHeight(), 600);
    EXPECT_EQ(window->ContentOrigin(), gCPoint(0, 212));
    EXPECT_EQ(backdrop->Height(), 600);

    EXPECT_EQ(window->SetDisplayMode(0, 600, 1), eBadParameter);
    EXPECT_EQ(window->ClientHeight(), 600);
}

TEST_F(Window, SetSizeAndPositionAnswersNineHavingDoneBoth) {
    CMacWindow* window = MakeMain(0, gCRPoint(400, 300), gCRPoint(0, 0));
    EXPECT_EQ(window->SetSizeAndPosition(30, 40, 500, 350, 1), eNotImplemented);
    EXPECT_EQ(window->ClientWidth(), 500);
    EXPECT_EQ(window->ClientHeight(), 350);
    EXPECT_EQ(window->ContentOrigin(), gCPoint(30, 40));
}

TEST_F(Window, NarrowAndSameSizeBoundsChangesLeaveTheBackdrop) {
    CMacWindow* window = MakeMain(0, gCRPoint(400, 300), gCRPoint(0, 0));
    const int32_t sizes = backdrop->m_nSetSizes;
    EXPECT_FALSE(window->HandleWindowEvent([&] {
        CInputEvent e;
        e.kind = EInputKind::eWindow;
        e.change = EWindowChange::eSizeChanged;
        e.windowID = WindowID(Main());
        e.size = gCPoint(7, 500);
        return e;
    }()));
    Focus();
    PushWindowEvent(WindowID(Main()), SDL_WINDOWEVENT_SIZE_CHANGED, 400, 300);
    PushWindowEvent(WindowID(Main()) + 100, SDL_WINDOWEVENT_SIZE_CHANGED, 640, 480);
    app.PumpMessage();
    EXPECT_EQ(backdrop->m_nSetSizes, sizes);
    EXPECT_EQ(backdrop->Width(), 400);

    PushWindowEvent(WindowID(Main()), SDL_WINDOWEVENT_SIZE_CHANGED, 640, 480);
    app.PumpMessage();
    EXPECT_EQ(backdrop->m_nSetSizes, sizes + 1);
    EXPECT_EQ(backdrop->Width(), 640);
    EXPECT_EQ(backdrop->Height(), 480);
}

TEST_F(Window, PaintCopiesTheBackBufferToTheWindow) {
    CMacWindow* window = MakeMain(0, gCRPoint(64, 48), gCRPoint(0, 0));
    SetBackPixel(7, 5, 0xFF123456u);
    window->OnPaint();
    EXPECT_EQ(ScreenPixel(7, 5), 0x123456u);
    EXPECT_EQ(ScreenPixel(8, 5), 0u);

    // A list of rectangles is copied, each clipped to the window.
    SetBackPixel(1, 1, 0xFFABCDEFu);
    SetBackPixel(60, 40, 0xFF010203u);
    SetBackPixel(30, 30, 0xFF777777u);
    const gCRect rects[] = {gCRect(0, 0, 2, 2), gCRect(50, 30, 100, 100)};
    EXPECT_EQ(window->CopyToScreen(*backdrop->BackBuffer(), rects, 2), eNoError);
    EXPECT_EQ(ScreenPixel(1, 1), 0xABCDEFu);
    EXPECT_EQ(ScreenPixel(60, 40), 0x010203u);
    EXPECT_EQ(ScreenPixel(30, 30), 0u); // outside the list
}

TEST_F(Window, HeartbeatRunsRolloverWhileTheMouseIsInsideOrTheWindowIsActive) {
    CMacWindow* window = MakeMain(0, gCRPoint(64, 48), gCRPoint(0, 0));
    PushWindowEvent(WindowID(Main()), SDL_WINDOWEVENT_FOCUS_LOST);
    app.PumpMessage();
    EXPECT_EQ(window->IsActive(), 0);
    backdrop->m_nHeartbeatResult = eBadParameter;
    EXPECT_EQ(window->Heartbeat(), eBadParameter);
    EXPECT_EQ(backdrop->m_nRolloverClears, 1);
    EXPECT_EQ(backdrop->m_nRolloverTests, 0);
    EXPECT_EQ(backdrop->m_nHeartbeats, 1);

    // The backdrop's heartbeat answer is the window's, wherever the mouse is.
    PushWindowEvent(WindowID(Main()), SDL_WINDOWEVENT_ENTER);
    app.PumpMessage();
    EXPECT_EQ(window->Heartbeat(), eBadParameter);
    EXPECT_EQ(backdrop->m_nRolloverTests, 1);
    PushWindowEvent(WindowID(Main()), SDL_WINDOWEVENT_LEAVE);
    app.PumpMessage();
    EXPECT_EQ(window->Heartbeat(), eBadParameter);
    EXPECT_EQ(backdrop->m_nRolloverTests, 1);

    // With the keyboard focus the rollover runs wherever the mouse is.
    Focus();
    EXPECT_EQ(window->IsActive(), 1);
    EXPECT_EQ(window->Heartbeat(), eBadParameter);
    EXPECT_EQ(backdrop->m_nRolloverTests, 2);
}

TEST_F(Window, ReleasingTheWindowClosesAndUnregistersTheBackdrop) {
    MakeMain(0, gCRPoint(64, 48), gCRPoint(0, 0));
    int32_t closed = 0;
    int32_t released = 0;
    backdrop->m_pClosed = &closed;
    backdrop->m_pReleased = &released;
    gCCmdTarget::SetUIModule(backdrop);
    app.CAppMac::DoSystemQuit();
    EXPECT_EQ(closed, 1);
    EXPECT_EQ(released, 1); // handed back through its release, never deleted by the window
    EXPECT_EQ(CAppBase::m_pMainWnd, nullptr);
    EXPECT_EQ(CWindowBase::m_pThis, nullptr);
    EXPECT_EQ(gCCmdTarget::UIModule(), nullptr);
}

} // namespace
