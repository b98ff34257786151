// The window and its root meet only through the root role: input reaches a
// command target through it, a root let go inside its own pass outlives the
// pass, and the desktop coordinates of the cursor and of the root agree.
#include <gtest/gtest.h>

#include <memory>

#include "imaging/ImLocker.h"
#include "platform/TabletServices.h"
#include "testsupport/foundation/RecordingModule.h"
#include "testsupport/platform/HeadlessWindow.h"

namespace {

constexpr uint32_t kKeyTyped = 0xFF00FFF0u;

// Sends every key it is given to the UI module over the data channel.
class CKeyForwardingRoot : public CTestRoot {
public:
    error PassKeyDown(CWidget*& taken, uint32_t key) override {
        taken = reinterpret_cast<CWidget*>(this);
        return error(SetUIData(kKeyTyped, this, int64_t(key)));
    }
};

// A root that quits the program from its own key handler, as a Quit button
// does: the window lets it go in the middle of the pass, and it deletes
// itself only when the pass returns.
class CQuittingRoot : public CTestRoot {
public:
    ~CQuittingRoot() override {
        if (m_pDeleted) {
            *m_pDeleted = 1;
        }
    }
    error PassKeyDown(CWidget*&, uint32_t) override {
        ++m_nDepth;
        CAppBase::m_pApp->DoSystemQuit();
        m_fHostGoneInPass = Host() == nullptr ? 1 : 0;
        m_fAliveInPass = m_fReleased ? 1 : 0;
        if (m_pAliveAfterRelease) {
            *m_pAliveAfterRelease = m_fAliveInPass;
            *m_pHostGone = m_fHostGoneInPass;
        }
        --m_nDepth;
        if (m_nDepth == 0 && m_fReleased) {
            delete this;
        }
        return eNoError;
    }
    void ReleasedByWindow() override {
        m_fReleased = 1;
        if (m_nDepth == 0) {
            delete this;
        }
    }

    int32_t* m_pDeleted = nullptr;
    int32_t* m_pAliveAfterRelease = nullptr;
    int32_t* m_pHostGone = nullptr;

private:
    int32_t m_nDepth = 0;
    int32_t m_fReleased = 0;
    int32_t m_fHostGoneInPass = 0;
    int32_t m_fAliveInPass = 0;
};

using RootRole = HeadlessWindow;

TEST_F(RootRole, KeysReachACommandTargetThroughTheRoot) {
    CRecordingModule ui;
    gCCmdTarget::SetUIModule(&ui);
    MakeMainAround(new CKeyForwardingRoot, 0, gCRPoint(320, 240), gCRPoint(10, 10));
    Focus();
    Script().Text("s\xC3\xA9").Key(kKeyCodeF8).Key('x', kModCommand).Run();

    ASSERT_EQ(ui.m_Calls.size(), 4u);
    EXPECT_EQ(ui.m_Calls[0].id, kKeyTyped);
    EXPECT_EQ(ui.m_Calls[0].value, 's');
    EXPECT_EQ(ui.m_Calls[1].value, int64_t(KeyCodeOfMacRoman(0x8E))); // e acute in Mac Roman
    EXPECT_EQ(ui.m_Calls[2].value, int64_t(kKeyCodeF8));
    EXPECT_EQ(ui.m_Calls[3].value, 'x');
    // The root took F8: the window kept its size.
    EXPECT_EQ(Main()->ClientWidth(), 320);
    gCCmdTarget::SetUIModule(nullptr);
}

TEST_F(RootRole, ScriptedLettersAreHeldUntilReleased) {
    MakeMain(0, gCRPoint(64, 48), gCRPoint(0, 0));
    Focus();
    Script().KeyDown('a', kModShift).Run();
    EXPECT_EQ(app.IsKeyDown('a'), 1u);
    EXPECT_EQ(app.IsShiftKeyDown(), kModShift);
    Script().KeyUp('a').Run();
    EXPECT_EQ(app.IsKeyDown('a'), 0u);
    EXPECT_EQ(app.IsShiftKeyDown(), 0u);
}

TEST_F(RootRole, ARootLetGoInsideItsOwnPassIsDeletedWhenThePassReturns) {
    int32_t deleted = 0;
    int32_t aliveAfterRelease = 0;
    int32_t hostGone = 0;
    auto* root = new CQuittingRoot;
    root->m_pDeleted = &deleted;
    root->m_pAliveAfterRelease = &aliveAfterRelease;
    root->m_pHostGone = &hostGone;
    MakeMainAround(root, 0, gCRPoint(64, 48), gCRPoint(0, 0));
    Focus();
    Script().Key('q').Run();

    EXPECT_EQ(aliveAfterRelease, 1); // released during its pass, still there
    EXPECT_EQ(hostGone, 1);          // and it knew the window had let it go
    EXPECT_EQ(deleted, 1);           // deleted once the pass returned
    EXPECT_EQ(CAppBase::m_pMainWnd, nullptr);
    EXPECT_EQ(app.IsAppClosing(), 1);
}

TEST_F(RootRole, CursorAndRootAgreeOnTheDesktopAfterTheWindowMoves) {
    MakeMain(0, gCRPoint(320, 240), gCRPoint(10, 10));
    Focus();
    const gCPoint inWindow(5, 7);
    Script().Move(inWindow).Run();
    gCPoint before = inWindow;
    backdrop->LocalToDesktop(before);
    EXPECT_EQ(before, gCPoint(15, 17 + kMenuBar));
    EXPECT_EQ(app.CursorLoc(), before);

    // F8: a centred window of 80 % of the 1280 x 1024 screen.
    Script().Key(kKeyCodeF8).Run();
    gCPoint after = inWindow;
    backdrop->LocalToDesktop(after);
    EXPECT_EQ(after, gCPoint(128 + 5, 102 + 7));
    EXPECT_EQ(app.CursorLoc(), after);
}

TEST_F(RootRole, ScriptedPenDragReachesTheRootAndTheTablet) {
    MakeMain(0, gCRPoint(320, 240), gCRPoint(0, 0));
    Focus();
    CTabletServices::m_rWeight = 0.5f;
    Script().Drag(gCPoint(10, 10), gCPoint(50, 30), 2, 0.2f, 0.6f).Run();

    const std::vector<std::string> expected = {"LDown 10,10", "Move 30,20", "Move 50,30",
                                               "LUp 50,30"};
    EXPECT_EQ(backdrop->m_aEvents, expected);
    CTabletPoint point;
    ASSERT_EQ(app.GetTabletSource()->GetPoint(point), 0); // a pen sample
    EXPECT_EQ(point.x, 50.0f);
    EXPECT_EQ(point.y, 30.0f);
    EXPECT_FLOAT_EQ(point.pressure, 0.6f * 1024.0f);
    EXPECT_EQ(app.LButtonDown(), 0);
}

TEST_F(RootRole, CaptureCopiesTheBackBuffer) {
    MakeMain(0, gCRPoint(16, 8), gCRPoint(0, 0));
    SetBackPixel(3, 2, 0xFF102030u);
    std::unique_ptr<CImage> shown = CaptureBackBuffer();
    ASSERT_NE(shown, nullptr);
    ASSERT_EQ(shown->GetWidth(), 16);
    ASSERT_EQ(shown->GetHeight(), 8);
    SetBackPixel(3, 2, 0xFF000000u); // the capture is a copy
    const uint32_t* pixels = nullptr;
    const CImLocker lock(shown.get(), pixels);
    ASSERT_TRUE(lock.IsLocked() && pixels);
    EXPECT_EQ(pixels[2 * 16 + 3], 0xFF102030u);
}

} // namespace
