#include <csignal>
#include <string>
#include <vector>

#include "foundation/Input.h"
#include "platform/QuitSignals.h"
#include "platform/TabletServices.h"
#include "platform/tests/SDLEvents.h"
#include "testsupport/platform/HeadlessWindow.h"

namespace {

using Strings = std::vector<std::string>;

class Decoding : public HeadlessWindow {
protected:
    void SetUp() override {
        HeadlessWindow::SetUp();
        MakeMain(0, gCRPoint(400, 300), gCRPoint(0, 0));
        Focus();
        app.PumpMessage();
        backdrop->m_aEvents.clear();
    }
    Strings Pump() {
        app.PumpMessage();
        Strings events = backdrop->m_aEvents;
        backdrop->m_aEvents.clear();
        return events;
    }
};

TEST_F(Decoding, ButtonsBecomePrimarySecondaryAndMiddle) {
    PushButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT, 1, 2);
    PushButton(SDL_MOUSEBUTTONUP, SDL_BUTTON_RIGHT, 1, 2);
    PushButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_MIDDLE, 3, 4);
    PushButton(SDL_MOUSEBUTTONUP, SDL_BUTTON_X1, 3, 4);
    PushButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 5, 6);
    PushButton(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, 5, 6);
    EXPECT_EQ(Pump(),
              (Strings{"RDown 1,2", "RUp 1,2", "MDown 3,4", "MUp 3,4", "LDown 5,6", "LUp 5,6"}));
}

TEST_F(Decoding, SuperClickIsTheSecondaryButton) {
    PushKey(SDL_KEYDOWN, SDLK_LGUI, SDL_SCANCODE_LGUI, KMOD_LGUI);
    PushButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 5, 6);
    PushButton(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, 5, 6);
    EXPECT_EQ(Pump(), (Strings{"RDown 5,6", "RUp 5,6"}));
}

TEST_F(Decoding, TheWheelIsNotDelivered) {
    SDL_Event wheel{};
    wheel.type = SDL_MOUSEWHEEL;
    wheel.wheel.y = 1;
    SDL_PushEvent(&wheel);
    EXPECT_EQ(Pump(), Strings{});
}

TEST_F(Decoding, EveryMouseEventGivesTheTabletServiceASample) {
    CTabletServices* tablet = app.TabletServices();
    CInputEvent pen;
    pen.kind = EInputKind::eMouseMove;
    pen.point = gCPoint(8, 9);
    pen.pen.x = 8.25f;
    pen.pen.y = 9.5f;
    pen.pen.pressure = 0.75f;
    pen.pen.fEraser = 1;
    app.InjectInput(pen);
    EXPECT_EQ(Pump(), Strings{"Move 8,9"});
    CTabletPoint point;
    EXPECT_EQ(tablet->GetPoint(point), 0);
    EXPECT_EQ(point.x, 8.25f);
    EXPECT_EQ(CTabletPoint::m_fInverted, 1); // the eraser end is in use

    // A mouse event without a pen sample carries the no-pen marker.
    PushButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 5, 6);
    EXPECT_EQ(Pump(), Strings{"LDown 5,6"});
    EXPECT_EQ(tablet->GetPoint(point), 1);
    CTabletPoint::m_fInverted = 0;
}

// One key press as SDL gives it: the key event, then its text when it
// makes any.
struct SKeyCase {
    const char* name;
    SDL_Keycode sym;
    SDL_Scancode scancode;
    Uint16 mod;
    const char* text; // null: SDL sends no text
    Strings expected;
};

void PrintTo(const SKeyCase& c, std::ostream* os) {
    *os << c.name;
}

const SKeyCase kKeyCases[] = {
    {"PlainLetterFromItsText", SDLK_a, SDL_SCANCODE_A, 0, "a", {"KeyDown 97", "KeyUp 97"}},
    {"ShiftedLetterFromItsText",
     SDLK_a,
     SDL_SCANCODE_A,
     KMOD_LSHIFT,
     "A",
     {"KeyDown 65", "KeyUp 65"}},
    {"MacRomanCharacterIsNegative",
     SDLK_e,
     SDL_SCANCODE_E,
     0,
     "\xC3\xA9", // e acute, 0x8E
     {"KeyDown -114", "KeyUp -114"}},
    {"EuroSignIsMacRomanDB",
     SDLK_e,
     SDL_SCANCODE_E,
     KMOD_RALT,
     "\xE2\x82\xAC",
     {"KeyDown -37", "KeyUp -37"}},
    {"CharacterOutsideMacRomanGivesNoKey", SDLK_UNKNOWN, SDL_SCANCODE_Q, 0, "\xE3\x81\x82", {}},
    {"CtrlLetterIsTheLetter",
     SDLK_x,
     SDL_SCANCODE_X,
     KMOD_LCTRL,
     nullptr,
     {"KeyDown 120", "KeyUp 120"}},
    {"SuperLetterIsItsControlCode",
     SDLK_s,
     SDL_SCANCODE_S,
     KMOD_LGUI,
     "s",
     {"KeyDown 19", "KeyUp 19"}},
    {"Escape", SDLK_ESCAPE, SDL_SCANCODE_ESCAPE, 0, nullptr, {"KeyDown 27", "KeyUp 27"}},
    {"F1", SDLK_F1, SDL_SCANCODE_F1, 0, nullptr, {"KeyDown -248", "KeyUp -248"}},
    {"F12", SDLK_F12, SDL_SCANCODE_F12, 0, nullptr, {"KeyDown -237", "KeyUp -237"}},
    {"LeftArrow", SDLK_LEFT, SDL_SCANCODE_LEFT, 0, nullptr, {"KeyDown -256", "KeyUp -256"}},
    {"PageDown", SDLK_PAGEDOWN, SDL_SCANCODE_PAGEDOWN, 0, nullptr, {"KeyDown -249", "KeyUp -249"}},
    {"ForwardDelete", SDLK_DELETE, SDL_SCANCODE_DELETE, 0, nullptr, {"KeyDown 127", "KeyUp 127"}},
    {"Return", SDLK_RETURN, SDL_SCANCODE_RETURN, 0, nullptr, {"KeyDown 13", "KeyUp 13"}},
    {"KeypadEnter", SDLK_KP_ENTER, SDL_SCANCODE_KP_ENTER, 0, nullptr, {"KeyDown 3", "KeyUp 3"}},
    {"Backspace", SDLK_BACKSPACE, SDL_SCANCODE_BACKSPACE, 0, nullptr, {"KeyDown 8", "KeyUp 8"}},
};

class KeyDecoding : public Decoding, public ::testing::WithParamInterface<SKeyCase> {};

TEST_P(KeyDecoding, GivesTheToolkitCode) {
    const SKeyCase& c = GetParam();
    backdrop->m_bTakeKeys = true; // no default key gets in the way
    PushKey(SDL_KEYDOWN, c.sym, c.scancode, c.mod);
    if (c.text) {
        PushText(c.text);
    }
    PushKey(SDL_KEYUP, c.sym, c.scancode, c.mod);
    EXPECT_EQ(Pump(), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Window, KeyDecoding, ::testing::ValuesIn(kKeyCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Decoding, CtrlXReadsCtrlDown) {
    backdrop->m_bTakeKeys = true;
    PushKey(SDL_KEYDOWN, SDLK_LCTRL, SDL_SCANCODE_LCTRL, KMOD_LCTRL);
    PushKey(SDL_KEYDOWN, SDLK_x, SDL_SCANCODE_X, KMOD_LCTRL);
    EXPECT_EQ(Pump(), Strings{"KeyDown 120"});
    EXPECT_NE(app.IsCtrlKeyDown(), 0u);
}

// A chord and a gesture sent at once arrive whole before their first record
// is handled: each record is handled with the modifiers that came with it,
// and the release's are kept for a gesture that ends there.
std::string Held(const CAppServices& app) {
    std::string held;
    held += app.IsCtrlKeyDown() ? "C" : "-";
    held += app.IsShiftKeyDown() ? "S" : "-";
    held += app.IsAltKeyDown() ? "A" : "-";
    return held;
}

TEST_F(Decoding, EachRecordIsHandledWithTheModifiersThatCameWithIt) {
    backdrop->m_bTakeKeys = true;
    Strings held;
    backdrop->m_OnEvent = [&] { held.push_back(backdrop->m_aEvents.back() + " " + Held(app)); };
    PushKey(SDL_KEYDOWN, SDLK_LCTRL, SDL_SCANCODE_LCTRL, KMOD_LCTRL);
    PushKey(SDL_KEYDOWN, SDLK_c, SDL_SCANCODE_C, KMOD_LCTRL);
    PushKey(SDL_KEYUP, SDLK_c, SDL_SCANCODE_C, KMOD_LCTRL);
    PushKey(SDL_KEYUP, SDLK_LCTRL, SDL_SCANCODE_LCTRL, KMOD_NONE);
    PushKey(SDL_KEYDOWN, SDLK_LSHIFT, SDL_SCANCODE_LSHIFT, KMOD_LSHIFT);
    PushButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 5, 6);
    PushKey(SDL_KEYUP, SDLK_LSHIFT, SDL_SCANCODE_LSHIFT, KMOD_NONE);
    PushButton(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, 5, 6);
    Pump();
    EXPECT_EQ(held, (Strings{"KeyDown 99 C--", "KeyUp 99 C--", "LDown 5,6 -S-", "LUp 5,6 ---"}));
    EXPECT_EQ(Held(app), "---"); // outside a record: what is held now
}

TEST_F(Decoding, AGestureEndingAtTheReleaseReadsTheModifiersOfTheRelease) {
    // Control and Shift at the press, Alt at the release, all sent at once;
    // the press's handler waits for the release as the inspector's does.
    std::string atPress;
    uint32_t altAtRelease = 0;
    backdrop->m_OnEvent = [&] {
        if (backdrop->m_aEvents.back() != "LDown 5,6") {
            return;
        }
        atPress = Held(app);
        while (app.LButtonStillDown()) {
            app.PumpMessage();
        }
        altAtRelease = app.IsKeyDownAtRelease(kKeyOption);
    };
    PushKey(SDL_KEYDOWN, SDLK_LCTRL, SDL_SCANCODE_LCTRL, KMOD_LCTRL);
    PushKey(SDL_KEYDOWN, SDLK_LSHIFT, SDL_SCANCODE_LSHIFT, KMOD_LCTRL | KMOD_LSHIFT);
    PushButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 5, 6);
    PushKey(SDL_KEYDOWN, SDLK_LALT, SDL_SCANCODE_LALT, KMOD_LCTRL | KMOD_LSHIFT | KMOD_LALT);
    PushButton(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, 5, 6);
    PushKey(SDL_KEYUP, SDLK_LALT, SDL_SCANCODE_LALT, KMOD_LCTRL | KMOD_LSHIFT);
    PushKey(SDL_KEYUP, SDLK_LSHIFT, SDL_SCANCODE_LSHIFT, KMOD_LCTRL);
    PushKey(SDL_KEYUP, SDLK_LCTRL, SDL_SCANCODE_LCTRL, KMOD_NONE);
    Pump();
    EXPECT_EQ(atPress, "CS-");
    EXPECT_NE(altAtRelease, 0u);
    EXPECT_EQ(app.IsAltKeyDown(), 0u); // released since

    // A release without Alt is read as one.
    PushButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 5, 6);
    PushButton(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, 5, 6);
    Pump();
    EXPECT_EQ(atPress, "---");
    EXPECT_EQ(altAtRelease, 0u);
}

// A click is decided where it ended: the pointer may have moved on before
// the press's handler, waiting for the release, looks.
TEST_F(Decoding, TheReleasePointIsKeptWhenThePointerMovesOnAtOnce) {
    gCPoint atRelease, now;
    backdrop->m_OnEvent = [&] {
        if (backdrop->m_aEvents.back() != "LDown 5,6") {
            return;
        }
        while (app.LButtonStillDown()) {
            app.PumpMessage();
        }
        atRelease = app.CursorLocAtRelease();
        now = app.CursorLoc();
    };
    PushButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 5, 6);
    PushButton(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, 7, 8);
    PushMotion(300, 200);
    Pump();
    const gCPoint origin = Main()->ContentOrigin();
    EXPECT_EQ(atRelease, gCPoint(7, 8) + origin);
    EXPECT_EQ(now, gCPoint(300, 200) + origin);
}

TEST_F(Decoding, ConsumedKeysNeverTriggerTheDefaultKeys) {
    backdrop->m_bTakeKeys = true;
    app.StartHeartbeat();
    for (SDL_Keycode sym : {SDLK_ESCAPE, SDLK_F7, SDLK_F8, SDLK_F11}) {
        PushKey(SDL_KEYDOWN, sym, SDL_GetScancodeFromKey(sym));
    }
    Pump();
    EXPECT_EQ(app.IsAppClosing(), 0);
    EXPECT_EQ(app.IsHeartbeatRunning(), 1);
    EXPECT_EQ(Main()->ClientWidth(), 400);
}

TEST_F(Decoding, DefaultKeysResizeToggleTheHeartbeatAndQuit) {
    PushKey(SDL_KEYDOWN, SDLK_F8, SDL_SCANCODE_F8);
    Pump();
    EXPECT_EQ(Main()->ClientWidth(), 1024);
    EXPECT_EQ(Main()->ClientHeight(), 819);
    EXPECT_EQ(Main()->ContentOrigin(), gCPoint(128, 102));

    PushKey(SDL_KEYDOWN, SDLK_F7, SDL_SCANCODE_F7);
    Pump();
    EXPECT_EQ(Main()->ClientWidth(), 1280);
    EXPECT_EQ(Main()->ClientHeight(), 1024);

    app.StopHeartbeat();
    PushKey(SDL_KEYDOWN, SDLK_F11, SDL_SCANCODE_F11);
    Pump();
    EXPECT_EQ(app.IsHeartbeatRunning(), 1);

    // Escape never quits: the key behind it still arrives.
    PushKey(SDL_KEYDOWN, SDLK_ESCAPE, SDL_SCANCODE_ESCAPE);
    PushKey(SDL_KEYDOWN, SDLK_F8, SDL_SCANCODE_F8);
    app.PumpMessage();
    EXPECT_EQ(app.IsAppClosing(), 0);
    EXPECT_EQ(app.IsHeartbeatRunning(), 1);
    ASSERT_NE(Main(), nullptr);
    EXPECT_EQ(Main()->ClientWidth(), 1024);
}

// Ctrl+Q is the application menu's Quit, whatever has the keys; the same
// letter with another modifier is a key for the window.
TEST_F(Decoding, CtrlQQuitsBeforeTheWindowSeesIt) {
    backdrop->m_bTakeKeys = true;
    PushKey(SDL_KEYDOWN, SDLK_q, SDL_SCANCODE_Q, KMOD_LCTRL | KMOD_LSHIFT);
    PushKey(SDL_KEYDOWN, SDLK_q, SDL_SCANCODE_Q, KMOD_LCTRL | KMOD_LALT);
    PushKey(SDL_KEYDOWN, SDLK_q, SDL_SCANCODE_Q, KMOD_LGUI);
    EXPECT_EQ(Pump(), (Strings{"KeyDown 81", "KeyDown 113", "KeyDown 17"}))
        << "Shift+Ctrl+Q is Q, Alt+Ctrl+Q q, Super+Q the control code";
    EXPECT_EQ(app.IsAppClosing(), 0);
    int32_t closed = 0;
    backdrop->m_pClosed = &closed;
    PushKey(SDL_KEYDOWN, SDLK_q, SDL_SCANCODE_Q, KMOD_RCTRL);
    app.PumpMessage(); // the backdrop goes with the window
    EXPECT_EQ(closed, 1);
    EXPECT_EQ(app.IsAppClosing(), 1);
    EXPECT_EQ(CAppBase::m_pMainWnd, nullptr);
}

TEST_F(Decoding, EventsWhileUnfocusedAreNotDispatched) {
    PushWindowEvent(WindowID(Main()), SDL_WINDOWEVENT_FOCUS_LOST);
    PushKey(SDL_KEYDOWN, SDLK_ESCAPE, SDL_SCANCODE_ESCAPE);
    PushText("a");
    PushButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 5, 6);
    EXPECT_EQ(Pump(), Strings{});
    EXPECT_EQ(app.IsAppClosing(), 0);
    // The state still follows the input.
    EXPECT_EQ(app.LButtonDown(), 1);

    Focus();
    PushButton(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, 5, 6);
    EXPECT_EQ(Pump(), Strings{"LUp 5,6"});
}

TEST_F(Decoding, PlatformMessageSeesEveryRecordFirst) {
    app.m_nPlatformAnswer = 2;
    PushButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 5, 6);
    EXPECT_EQ(Pump(), Strings{});
    app.m_nPlatformAnswer = 1;
    PushButton(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, 5, 6);
    EXPECT_EQ(Pump(), Strings{});
}

TEST_F(Decoding, SigtermQuitsAsTheCloseBoxDoes) {
    const CQuitSignals signals;
    ASSERT_EQ(std::raise(SIGTERM), 0);
    EXPECT_NE(CAppBase::m_pMainWnd, nullptr) << "nothing is torn down in the handler";
    app.PumpMessage();
    EXPECT_EQ(app.IsAppClosing(), 1);
    EXPECT_EQ(CAppBase::m_pMainWnd, nullptr);
    EXPECT_FALSE(CQuitSignals::Take()) << "taken once";
}

TEST_F(Decoding, TheCloseBoxQuits) {
    PushWindowEvent(WindowID(Main()) + 100, SDL_WINDOWEVENT_CLOSE);
    app.PumpMessage();
    EXPECT_EQ(app.IsAppClosing(), 0);
    PushWindowEvent(WindowID(Main()), SDL_WINDOWEVENT_CLOSE);
    app.PumpMessage();
    EXPECT_EQ(app.IsAppClosing(), 1);
    EXPECT_EQ(CAppBase::m_pMainWnd, nullptr);
}

} // namespace
