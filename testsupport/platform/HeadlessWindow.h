#pragma once
// A fixture with the real application object and window on SDL's dummy
// video driver: a fake screen of 1280 x 1024 whose usable part starts 24
// pixels down (the "menu bar"), a fake clock, the test application object,
// an input script and a capture of what the window shows.
//
//   MakeMain(0, gCRPoint(320, 240), gCRPoint(10, 10));  // a window around a recording root
//   Focus();
//   Script().Text("a").Click(gCPoint(5, 5)).Run();
//   EXPECT_EQ(backdrop->m_aEvents[0], "KeyDown 97");
//   std::unique_ptr<CImage> shown = CaptureBackBuffer();

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>

#include "imaging/Image.h"
#include "testsupport/foundation/FakeClock.h"
#include "testsupport/platform/InputScript.h"
#include "testsupport/platform/TestApp.h"

class HeadlessWindow : public ::testing::Test {
protected:
    static constexpr int32_t kMenuBar = 24;

    void SetUp() override;
    void TearDown() override;

    // Makes the main window around a recording root (or the root given,
    // which the window then owns); the window.
    CMacWindow* MakeMain(int32_t mode, gCRPoint size, gCRPoint position, int32_t menuFlag = 1);
    CMacWindow* MakeMainAround(CWindowRoot* root, int32_t mode, gCRPoint size, gCRPoint position,
                               int32_t menuFlag = 1);
    CMacWindow* Main() const { return dynamic_cast<CMacWindow*>(CAppBase::m_pMainWnd.get()); }
    // The window gets the keyboard focus, as the desktop would give it.
    void Focus();
    // The desktop's change of the main window (its close box, a focus),
    // handed to the application.
    void SendWindowChange(EWindowChange change);

    // Input for the application, as the desktop would send it.
    CInputScript Script() { return CInputScript(app); }

    // A copy of the root's back buffer; null without one (or when either
    // image cannot be locked).
    std::unique_ptr<CImage> CaptureBackBuffer() const;
    // Sets one pixel of the back buffer.
    void SetBackPixel(int32_t x, int32_t y, uint32_t pixel);
    // The window's pixel as 0xRRGGBB, as it is on the screen.
    uint32_t ScreenPixel(int32_t x, int32_t y) const;

    static CScreenMeasures FakeScreen() { return s_Screen; }
    static inline CScreenMeasures s_Screen;

    CFakeClock clock;
    CTestApp app;
    CRecordingBackdrop* backdrop = nullptr;
};
