#include <unistd.h>

#include <climits>
#include <cstdio>
#include <string>

#include "FileIO/VolumeTable.h"
#include "FileIO/gCFileDlg.h"
#include "foundation/MessageIds.h"
#include "foundation/Utf8.h"
#include "platform/tests/SDLEvents.h"
#include "testsupport/platform/HeadlessWindow.h"

namespace {

// A real file to open, and its full colon path.
class TempDocument {
public:
    TempDocument() {
        char name[] = "/tmp/daublin-doc-XXXXXX";
        const int fd = mkstemp(name);
        EXPECT_GE(fd, 0);
        close(fd);
        m_Path = name;
        std::u16string colon;
        EXPECT_EQ(gCVolumeTable::PosixToColon(m_Path, colon), eNoError);
        m_Colon = gUtf16ToUtf8(colon);
    }
    ~TempDocument() { std::remove(m_Path.c_str()); }
    const char* Path() const { return m_Path.c_str(); }
    const std::string& Colon() const { return m_Colon; }

private:
    std::string m_Path;
    std::string m_Colon;
};

using EventLoop = HeadlessWindow;

TEST_F(EventLoop, TheFirstDocumentStartsTheApplicationFurtherOnesAreIgnored) {
    TempDocument first;
    TempDocument second;
    const char* paths[] = {first.Path(), second.Path()};
    app.m_fMakeWindow = 1;
    app.OpenDocuments(2, paths);
    ASSERT_EQ(app.m_aStartPaths.size(), 1u);
    EXPECT_EQ(gStringToUtf8(app.m_aStartPaths[0]), first.Colon());
    EXPECT_EQ(app.StartupState(), 2);
    ASSERT_NE(Main(), nullptr);
    EXPECT_TRUE(app.m_aMessages.empty());

    // Once running, a document is broadcast.
    app.OpenDocuments(1, paths + 1);
    ASSERT_EQ(app.m_aOpenedPaths.size(), 1u);
    EXPECT_EQ(gStringToUtf8(app.m_aOpenedPaths[0]), second.Colon());
    EXPECT_EQ(app.m_aStartPaths.size(), 1u);
}

TEST_F(EventLoop, AnUnverifiablePathIsEmpty) {
    const char* paths[] = {"/nonexistent/folder/picture.ptg"};
    app.m_fMakeWindow = 1;
    app.OpenDocuments(1, paths);
    ASSERT_EQ(app.m_aStartPaths.size(), 1u);
    EXPECT_EQ(app.m_aStartPaths[0].GetLength(), 0);
}

TEST_F(EventLoop, ADroppedFileIsBroadcastAsOpenDocument) {
    TempDocument doc;
    app.m_fMakeWindow = 1;
    ASSERT_EQ(app.MacMain(gCString()), eNoError);
    SDL_Event drop{};
    drop.type = SDL_DROPFILE;
    drop.drop.file = SDL_strdup(doc.Path());
    drop.drop.windowID = WindowID(Main());
    SDL_PushEvent(&drop);
    app.PumpMessage();
    ASSERT_EQ(app.m_aOpenedPaths.size(), 1u);
    EXPECT_EQ(gStringToUtf8(app.m_aOpenedPaths[0]), doc.Colon());
    EXPECT_EQ(app.m_aMessages.back(), uint32_t(eMsgOpenDocument));
}

TEST_F(EventLoop, AFailedInitializeDestroysTheWindow) {
    app.m_fMakeWindow = 1;
    app.m_nInitResult = eBadParameter;
    EXPECT_EQ(app.MacMain(gCString()), eNoError); // ExitInstance's result
    EXPECT_EQ(app.StartupState(), 1);
    EXPECT_EQ(CAppBase::m_pMainWnd, nullptr);
    EXPECT_EQ(CWindowBase::m_pThis, nullptr);
}

TEST_F(EventLoop, TheHeartbeatFiresEveryThreeMilliseconds) {
    app.PumpMessage();
    EXPECT_EQ(app.m_nIdles, 1); // the first beat comes at once
    app.PumpMessage();
    clock.AdvanceMicroseconds(2999);
    app.PumpMessage();
    EXPECT_EQ(app.m_nIdles, 1);
    clock.AdvanceMicroseconds(1);
    app.PumpMessage();
    EXPECT_EQ(app.m_nIdles, 2);
}

CFakeClock* s_pClock = nullptr;
int32_t s_nNestedPumps = 0;

TEST_F(EventLoop, ANestedPumpDoesNotReenterTheIdleTick) {
    s_pClock = &clock;
    app.m_pDuringIdle = [] {
        // A modal loop inside the idle tick pumps while beats fall due.
        while (s_nNestedPumps < 3) {
            ++s_nNestedPumps;
            s_pClock->AdvanceMilliseconds(10);
            CAppBase::m_pApp->PumpMessage();
        }
    };
    app.PumpMessage();
    clock.AdvanceMilliseconds(10);
    app.PumpMessage();
    EXPECT_EQ(app.m_nIdles, 2);
    EXPECT_EQ(app.m_nMaxIdleDepth, 1);
    app.m_pDuringIdle = nullptr;
}

TEST_F(EventLoop, ToggleMBarTwiceRestoresTheFlag) {
    MakeMain(0, gCRPoint(400, 300), gCRPoint(0, 0));
    const int32_t first = app.MBarWasHidden();
    EXPECT_EQ(app.ToggleMBar(), 0);
    EXPECT_NE(app.MBarWasHidden(), first);
    EXPECT_EQ(app.ToggleMBar(), 0);
    EXPECT_EQ(app.MBarWasHidden(), first);
}

TEST_F(EventLoop, ClipboardTextRoundTripsAndNoTextPastesEmpty) {
    gCString text;
    ASSERT_EQ(text.CopyString(u"Daublin \u00e9\u20ac \u3042"), eNoError);
    ASSERT_EQ(app.OSCopy(text), eNoError);
    if (!SDL_HasClipboardText()) {
        GTEST_SKIP() << "the video driver keeps no clipboard";
    }
    gCString pasted;
    ASSERT_EQ(app.OSPaste(pasted), eNoError);
    EXPECT_EQ(gStringToUtf8(pasted), gStringToUtf8(text));

    SDL_SetClipboardText("");
    ASSERT_EQ(pasted.CopyString(u"stale"), eNoError);
    EXPECT_EQ(app.OSPaste(pasted), eNoError);
    EXPECT_EQ(pasted.GetLength(), 0);
}

TEST_F(EventLoop, AFileDialogsPumpRepaintsDropsInputAndKeepsTheQuit) {
    MakeMain(0, gCRPoint(400, 300), gCRPoint(0, 0));
    Focus();
    app.PumpMessage();
    backdrop->m_aEvents.clear();
    PushKey(SDL_KEYDOWN, SDLK_ESCAPE, SDL_SCANCODE_ESCAPE);
    PushButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 5, 6);
    PushWindowEvent(WindowID(Main()), SDL_WINDOWEVENT_CLOSE);
    SetBackPixel(3, 4, 0xFF102030u);
    PushWindowEvent(WindowID(Main()), SDL_WINDOWEVENT_EXPOSED);
    CAppMac::ModalPump();
    EXPECT_TRUE(backdrop->m_aEvents.empty());
    EXPECT_EQ(ScreenPixel(3, 4), 0x102030u);
    EXPECT_EQ(app.IsAppClosing(), 0);
    ASSERT_NE(Main(), nullptr);
    // The quit asked for during the dialog is acted on afterwards.
    app.PumpMessage();
    EXPECT_EQ(app.IsAppClosing(), 1);
    EXPECT_EQ(CAppBase::m_pMainWnd, nullptr);
}

} // namespace

namespace {

// The process's entry, run on SDL's dummy driver.
class Startup : public ::testing::Test {
protected:
    void SetUp() override { setenv("SDL_VIDEODRIVER", "dummy", 1); }
    int RunMain() {
        char name[] = "daublin";
        char* argv[] = {name, nullptr};
        return CAppMac::Main(1, argv);
    }
    CTestApp app;
};

TEST_F(Startup, AFailedInitializeEndsTheProgramNonZero) {
    app.m_fMakeWindow = 1;
    app.m_nInitResult = eBadParameter;
    EXPECT_NE(RunMain(), 0);
    EXPECT_EQ(CAppBase::m_pMainWnd, nullptr);
}

TEST_F(Startup, AnApplicationThatMakesNoWindowEndsNonZero) {
    EXPECT_NE(RunMain(), 0);
}

TEST_F(Startup, TheLoopRunsUntilTheApplicationQuitsThenEndsWithZero) {
    app.m_fMakeWindow = 1;
    app.m_pDuringIdle = [] {
        if (CAppBase::m_pMainWnd) {
            CAppBase::m_pApp->DoSystemQuit();
        }
    };
    EXPECT_EQ(RunMain(), 0);
    EXPECT_EQ(app.IsAppClosing(), 1);
    EXPECT_EQ(CAppBase::m_pMainWnd, nullptr);
    EXPECT_GE(app.m_nIdles, 1);
    EXPECT_EQ(gCFileDlg::ModalPump(), nullptr);
}

} // namespace
