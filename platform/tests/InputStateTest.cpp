#include <gtest/gtest.h>

#include "platform/detail/InputQueue.h"
#include "platform/detail/KeyTable.h"
#include "platform/tests/SDLEvents.h"
#include "testsupport/platform/TestApp.h"

namespace {

class Input : public ::testing::Test {
protected:
    // Takes every waiting record, as the event loop would dispatch them.
    void Dispatch() {
        CInputEvent e;
        while (app.Input().TakeNext(e)) {
        }
    }

    CTestApp app;
};

TEST_F(Input, ModifierQueriesAnswerTheirBitNotOne) {
    app.InjectInput(KeyRecord(EInputKind::eKeyDown, SDL_SCANCODE_LSHIFT, kModShift));
    EXPECT_EQ(app.IsShiftKeyDown(), 0x0200u);
    EXPECT_EQ(app.IsCtrlKeyDown(), 0u);

    const uint32_t all = kModShift | kModCommand | kModOption | kModControl | kModCapsLock;
    app.InjectInput(KeyRecord(EInputKind::eKeyDown, SDL_SCANCODE_LGUI, all));
    EXPECT_EQ(app.IsCtrlKeyDown(), 0x0100u);
    EXPECT_EQ(app.IsAltKeyDown(), 0x0800u);
    EXPECT_EQ(app.IsKeyDown(kKeyOption2), 0x0800u);
    EXPECT_EQ(app.IsMenuKeyDown(), 0x1000u);
    EXPECT_EQ(app.IsKeyDown(kKeyCapsLock), 0x0400u);

    app.InjectInput(KeyRecord(EInputKind::eKeyUp, SDL_SCANCODE_LSHIFT, 0));
    EXPECT_EQ(app.IsShiftKeyDown(), 0u);
    EXPECT_EQ(app.IsMenuKeyDown(), 0u);
}

TEST_F(Input, KeysAreReadByTheirPlace) {
    app.InjectInput(KeyRecord(EInputKind::eKeyDown, SDL_SCANCODE_A, 0));
    app.InjectInput(KeyRecord(EInputKind::eKeyDown, SDL_SCANCODE_F12, 0));
    EXPECT_EQ(app.IsKeyDown('a'), 1u);
    EXPECT_EQ(app.IsKeyDown('A'), 1u);
    EXPECT_EQ(app.IsKeyDown(0xA3), 1u); // F12
    EXPECT_EQ(app.IsKeyDown('b'), 0u);
    // A code the table does not list is no key, not the 'A' key.
    EXPECT_EQ(app.IsKeyDown(0xFF), 0u);
    EXPECT_EQ(app.IsKeyDown(0x87), 0u);

    app.InjectInput(KeyRecord(EInputKind::eKeyUp, SDL_SCANCODE_A, 0));
    EXPECT_EQ(app.IsKeyDown('a'), 0u);
}

TEST(KeyTable, SpecialKeysMapToTheirPlaces) {
    const struct {
        uint32_t code;
        int32_t scancode;
    } rows[] = {{9, SDL_SCANCODE_TAB},
                {13, SDL_SCANCODE_KP_ENTER},
                {27, SDL_SCANCODE_ESCAPE},
                {'0', SDL_SCANCODE_0},
                {'9', SDL_SCANCODE_9},
                {'z', SDL_SCANCODE_Z},
                {0x88, SDL_SCANCODE_RETURN},
                {0x89, SDL_SCANCODE_RETURN},
                {0x8D, SDL_SCANCODE_DELETE},
                {0x8E, SDL_SCANCODE_BACKSPACE},
                {0x8F, SDL_SCANCODE_SPACE},
                {0x90, SDL_SCANCODE_RIGHT},
                {0x93, SDL_SCANCODE_DOWN},
                {0x97, SDL_SCANCODE_PAGEDOWN},
                {0x98, SDL_SCANCODE_F1},
                {0xA4, SDL_SCANCODE_INSERT},
                {0x81, 0},
                {0x20, 0}};
    for (const auto& row : rows) {
        EXPECT_EQ(ScancodeForKey(row.code), row.scancode) << "code " << row.code;
    }
}

TEST_F(Input, SuperClickIsTheRightButtonOnly) {
    app.InjectInput(KeyRecord(EInputKind::eKeyDown, SDL_SCANCODE_LGUI, kModControl));
    app.InjectInput(MouseRecord(EInputKind::eMouseDown, kButtonPrimary, kModControl));
    EXPECT_EQ(app.RButtonDown(), 1);
    EXPECT_EQ(app.LButtonDown(), 0);
    Dispatch();
    EXPECT_EQ(app.RButtonStillDown(), 1);
    EXPECT_EQ(app.LButtonStillDown(), 0);

    // Letting go of Super mid-drag keeps it the right button, and the
    // release ends it.
    app.InjectInput(KeyRecord(EInputKind::eKeyUp, SDL_SCANCODE_LGUI, 0));
    EXPECT_EQ(app.LButtonDown(), 0);
    app.InjectInput(MouseRecord(EInputKind::eMouseUp, kButtonPrimary));
    EXPECT_EQ(app.RButtonDown(), 0);
    EXPECT_EQ(app.AnyButtonDown(), 0);
}

TEST_F(Input, MiddleButtonIsNeverReported) {
    app.InjectInput(MouseRecord(EInputKind::eMouseDown, kButtonMiddle));
    Dispatch();
    EXPECT_EQ(app.MButtonDown(), 0);
    EXPECT_EQ(app.MButtonStillDown(), 0);
    EXPECT_EQ(app.LButtonDown(), 0);
    EXPECT_EQ(app.AnyButtonDown(), 1);
    EXPECT_EQ(app.AnyButtonStillDown(), 1);
}

TEST_F(Input, StillDownIsFalseWhileAButtonEventWaits) {
    app.InjectInput(MouseRecord(EInputKind::eMouseDown, kButtonPrimary));
    EXPECT_EQ(app.LButtonDown(), 1);
    EXPECT_EQ(app.LButtonStillDown(), 0); // the press itself still waits
    Dispatch();
    EXPECT_EQ(app.LButtonStillDown(), 1);
    app.InjectInput(MouseRecord(EInputKind::eMouseUp, kButtonPrimary));
    EXPECT_EQ(app.LButtonDown(), 0);
    EXPECT_EQ(app.LButtonStillDown(), 0);
}

TEST_F(Input, ButtonDownsInQueueTakesTheWaitingPress) {
    app.InjectInput(MouseRecord(EInputKind::eMouseMove, 0));
    app.InjectInput(MouseRecord(EInputKind::eMouseDown, kButtonPrimary));
    EXPECT_EQ(app.ButtonDownsInQueue(), 1);
    EXPECT_EQ(app.ButtonDownsInQueue(), 0);
    EXPECT_EQ(app.Input().GetCount(), 1); // the move stays
    app.InjectInput(MouseRecord(EInputKind::eMouseDown, kButtonSecondary));
    EXPECT_EQ(app.ButtonDownsInQueue(), 1);
}

TEST_F(Input, CursorLocIsTheLastMousePosition) {
    EXPECT_EQ(app.CursorLoc(), gCPoint(0, 0));
    app.InjectInput(MouseRecord(EInputKind::eMouseMove, 0, 0, gCPoint(31, -4)));
    EXPECT_EQ(app.CursorLoc(), gCPoint(31, -4));
}

TEST_F(Input, LowLevelCursorCallsDoNotNest) {
    app.LowLevelCursorVisible(0);
    app.LowLevelCursorVisible(0);
    EXPECT_EQ(app.IsSystemCursorVisible(), 0);
    app.LowLevelCursorVisible(1);
    EXPECT_EQ(app.IsSystemCursorVisible(), 1);
}

TEST_F(Input, DrawnCursorCallsDoNothingBeforeAWindowExists) {
    app.ShowVantorCursor();
    EXPECT_EQ(app.IsSystemCursorVisible(), 1); // not hidden for a cursor that is not there
    EXPECT_EQ(app.IsVantorCursorVisible(), 0);
    app.HideVantorCursor();
    app.HideSystemCursor();
    EXPECT_EQ(app.IsVantorCursorVisible(), 0);
    app.CursorHeartbeat();
}

TEST_F(Input, DrawnCursorIsHiddenWheneverTheSystemCursorShows) {
    app.OpenWindow();
    app.ShowVantorCursor();
    EXPECT_EQ(app.IsVantorCursorVisible(), 1);
    EXPECT_EQ(app.IsSystemCursorVisible(), 0);
    app.ShowSystemCursor();
    EXPECT_EQ(app.IsVantorCursorVisible(), 0);
    EXPECT_EQ(app.m_pBackdrop->IsCursorVisible(), 0);

    // Even with the backdrop's cursor widget shown, a visible system cursor
    // wins.
    app.m_pBackdrop->ShowCursor();
    EXPECT_EQ(app.IsVantorCursorVisible(), 0);
}

TEST_F(Input, NestedTemporarySystemCursorRestoresTheFirstState) {
    app.OpenWindow();
    app.ShowVantorCursor();
    app.DoSystemCursorTemp();
    EXPECT_EQ(app.IsSystemCursorVisible(), 1);
    EXPECT_EQ(app.IsVantorCursorVisible(), 0);
    app.HideCursor();
    app.DoSystemCursorTemp(); // in force already: saves nothing
    app.EndSystemCursorTemp();
    EXPECT_EQ(app.IsVantorCursorVisible(), 1);
    EXPECT_EQ(app.IsSystemCursorVisible(), 0);
    app.EndSystemCursorTemp(); // none in force: nothing
    EXPECT_EQ(app.IsVantorCursorVisible(), 1);
}

TEST_F(Input, EndingTheTemporaryCursorWithNeitherVisibleLeavesTheSystemCursor) {
    app.OpenWindow();
    app.HideCursor();
    app.DoSystemCursorTemp();
    app.EndSystemCursorTemp();
    EXPECT_EQ(app.IsSystemCursorVisible(), 1);
    EXPECT_EQ(app.IsVantorCursorVisible(), 0);
}

} // namespace
