// The clipboard as the other programs on a real X display see it: what the
// application copies is handed to a second X client (xclip) that asks for it
// while the application does nothing but idle in its event loop. Runs on a
// display of its own (testsupport/x11-run.sh, CTest's platform_x11_clipboard).
#include <gtest/gtest.h>

#include <SDL.h>

#include <atomic>
#include <cstdlib>
#include <string>
#include <thread>

#include "FileIO/Spawn.h"
#include "foundation/Utf8.h"
#include "testsupport/platform/TestApp.h"

namespace {

class X11Clipboard : public ::testing::Test {
protected:
    void SetUp() override {
        // Run whole from a shell, the binary has no display of its own to
        // take the clipboard of: it says so and passes over the case.
        const char* own = std::getenv("DAUBLIN_X11_DISPLAY");
        if (!own || !*own) {
            GTEST_SKIP() << "needs a display of its own: run through testsupport/x11-run.sh "
                            "(ctest -R platform_x11_clipboard)";
        }
        ASSERT_FALSE(gFindProgram("xclip").empty()) << "xclip is missing (scripts/install-deps.sh)";
        setenv("SDL_VIDEODRIVER", "x11", 1);
        ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
        ASSERT_EQ(app.InitServices(), eNoError);
        ASSERT_EQ(app.MakeWindow(new CRecordingBackdrop, -1, 0, gCRPoint(320.0f, 240.0f),
                                 gCRPoint(10.0f, 10.0f), "Clipboard", 1),
                  eNoError);
    }
    void TearDown() override {
        if (CAppBase::m_pMainWnd) {
            app.CAppMac::DoSystemQuit();
        }
        SDL_Quit();
    }

    // What a second client reads from the clipboard (xclip, given at most
    // a minute), while this thread idles as the application's loop does.
    std::string ReadByPeer(int& status) {
        std::string output;
        std::atomic<bool> done{false};
        std::thread peer([&] {
            status = gSpawnAndCapture({gFindProgram("timeout"), "60", gFindProgram("xclip"), "-o",
                                       "-selection", "clipboard"},
                                      output, nullptr);
            done = true;
        });
        while (!done) {
            app.PumpMessage();
            app.WaitForInput();
        }
        peer.join();
        return output;
    }

    CTestApp app;
};

TEST_F(X11Clipboard, ASecondClientGetsWhatWasCopiedWhileTheApplicationIdles) {
    for (const char* utf8 : {"caf\u00e9", "Daublin \u2713 \U0001D11E"}) {
        gCString text;
        ASSERT_EQ(gStringFromUtf8(text, utf8), eNoError);
        ASSERT_EQ(app.OSCopy(text), eNoError);
        int status = -1;
        EXPECT_EQ(ReadByPeer(status), utf8);
        EXPECT_EQ(status, 0) << "xclip -o ended with " << status << " (124: no answer in 60 s)";
    }
}

} // namespace
