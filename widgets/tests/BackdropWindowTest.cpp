// A backdrop in a real window on the headless fixture: its composite on the
// screen, only where it changes, the window's focus for the rollover, and
// the window letting it go from inside its own pass.

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>

#include "imaging/ImNav.h"
#include "testsupport/platform/HeadlessWindow.h"
#include "testsupport/widgets/RecordingRoot.h"
#include "widgets/CoWidget.h"
#include "widgets/tests/BackdropTestSupport.h"
#include "widgets/tests/TestWidgets.h"

namespace {

class BackdropWindow : public HeadlessWindow {};

TEST_F(BackdropWindow, TheWindowShowsTheCompositeWhereItChanges) {
    auto* backdrop = new CTestBackdrop;
    backdrop->SetBackgroundColour(0xFF112233u);
    ASSERT_NE(MakeMainAround(backdrop, 0, gCRPoint(64, 48), gCRPoint(0, 0)), nullptr);
    EXPECT_EQ(backdrop->IsCreationComplete(), 1);
    EXPECT_EQ(backdrop->Width(), 64);
    EXPECT_EQ(ScreenPixel(0, 0), 0x112233u);
    EXPECT_EQ(ScreenPixel(63, 47), 0x112233u);
    auto* panel = AddPlaced<CCoWidget>(*backdrop, gCRect(10, 10, 20, 20), 0);
    ASSERT_NE(panel, nullptr);
    ASSERT_EQ(panel->SetClientColour(CPixel(0xFFFF8000u), 0), eNoError);
    const uint32_t cycle = backdrop->RenderCycle();
    ASSERT_EQ(panel->SetVisibility(1, 1), eNoError);
    EXPECT_EQ(backdrop->RenderCycle(), cycle + 1);
    EXPECT_EQ(ScreenPixel(10, 10), 0xFF8000u);
    EXPECT_EQ(ScreenPixel(19, 19), 0xFF8000u);
    EXPECT_EQ(ScreenPixel(20, 20), 0x112233u);
    // Outside the dirty area the screen is left as it is.
    {
        CImNav view(backdrop->BackBuffer());
        ASSERT_TRUE(view.IsLocked());
        view.Row(30)[30] = CPixel(0xFF000000u);
    }
    ASSERT_EQ(panel->SetClientColour(CPixel(0xFF0000FFu), 1), eNoError);
    EXPECT_EQ(ScreenPixel(15, 15), 0x0000FFu);
    EXPECT_EQ(ScreenPixel(30, 30), 0x112233u);
}

TEST_F(BackdropWindow, RolloverCountsOnlyWhileTheWindowHasTheFocus) {
    auto* backdrop = new CTestBackdrop;
    ASSERT_NE(MakeMainAround(backdrop, 0, gCRPoint(64, 48), gCRPoint(0, 0)), nullptr);
    CWidget* panel = AddPlaced(*backdrop, gCRect(0, 0, 64, 48));
    panel->SetOpaqueThreshold(1);
    backdrop->SetWidgetRolloverEnabled(1);
    Script().Move(gCPoint(5, 5)).Run();
    backdrop->PassRolloverTest();
    ASSERT_EQ(backdrop->WidgetRollover(), panel);
    Focus();
    EXPECT_EQ(backdrop->WidgetRolloverIfActive(), panel);
    CWindowBase::m_fActive = 0; // as the window's focus-lost event leaves it
    EXPECT_EQ(backdrop->WidgetRollover(), panel);
    EXPECT_EQ(backdrop->WidgetRolloverIfActive(), nullptr);
}

TEST_F(BackdropWindow, AButtonCallbackEndingTheWindowLeavesNothingBehind) {
    Log log;
    CReactions reactions(&log);
    auto* backdrop = new CTestBackdrop;
    ASSERT_NE(MakeMainAround(backdrop, 0, gCRPoint(64, 48), gCRPoint(0, 0)), nullptr);
    {
        auto owned = std::make_unique<CLoggingWidget>(&log, "child");
        ASSERT_NE(AddPlaced(*backdrop, std::move(owned), gCRect(40, 40, 50, 45)), nullptr);
    }
    CWidget* quit = AddPlaced(*backdrop, gCRect(0, 0, 20, 20));
    quit->SetOpaqueThreshold(1);
    quit->SetCanGetFocus(0);
    SReaction& press = reactions.Add("quit");
    press.take = true;
    press.action = [](CWidget*) { CAppBase::m_pMainWnd.reset(); };
    quit->SetButtonDownL(PointReaction, &press);
    Focus();
    Script().Click(gCPoint(5, 5)).Run();
    EXPECT_EQ(Main(), nullptr);
    EXPECT_EQ(log, (Log{"quit 5,5", "child:deleted"}));
}

} // namespace
