// The save prompt with the built resource file: its keys, the press
// tracked on a button, the sounds, the one answer with the pending action,
// a second request while it is up, a press outside it, and the dialog
// base's defaults.

#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

#include "FileIO/gCFile.h"
#include "FileIO/gCResourceIndex.h"
#include "foundation/Input.h"
#include "foundation/MessageIds.h"
#include "testsupport/FileIO/FakeResourceServices.h"
#include "testsupport/FileIO/IndexedFile.h"
#include "testsupport/FileIO/TempVolume.h"
#include "testsupport/foundation/FakeClock.h"
#include "testsupport/foundation/RecordingModule.h"
#include "ui/SMKBackdrop.h"
#include "ui/tests/BuiltInterface.h"
#include "ui/boxes/Dlg.h"
#include "ui/boxes/SavePrompt.h"

namespace {

// The rollover widget is whatever the test says, unless the test leaves it
// to the backdrop's own rollover test.
class CPromptBackdrop : public CSMKBackdrop {
public:
    CWidget* WidgetRollover() const override {
        return m_fScripted ? m_pPointed : CSMKBackdrop::WidgetRollover();
    }
    CWidget* m_pPointed = nullptr;
    int32_t m_fScripted = 1;
};

class SavePromptTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_Built.Open();
        ASSERT_FALSE(HasFatalFailure());
        ASSERT_EQ(m_Backdrop.GetFromRes(S("Daublin"), &m_File, nullptr), eNoError);
        ASSERT_EQ(m_Backdrop.SetSize(1024, 768, 0), eNoError);
        gCCmdTarget::SetBackboneModule(&m_Backbone);
        ASSERT_EQ(m_Backdrop.SetupInterface(), eNoError);
        // The answers and sounds go to a recorder instead of the hub.
        gCCmdTarget::SetUIModule(&m_UI);
        m_pPrompt = m_Backdrop.SavePrompt();
        ASSERT_NE(m_pPrompt, nullptr);
        m_pRoot = m_Backdrop.FindByID(CSavePrompt::kRootID);
        ASSERT_NE(m_pRoot, nullptr);
    }
    void TearDown() override {
        gCCmdTarget::SetUIModule(nullptr);
        gCCmdTarget::SetBackboneModule(nullptr);
    }

    // What reached the UI module: "sound N" or the answer with its value.
    std::vector<std::string> Heard() const {
        std::vector<std::string> heard;
        for (const CRecordingModule::Call& c : m_UI.m_Calls) {
            const std::string v = std::to_string(c.value);
            switch (c.id) {
            case eCmdPlaySound:
                heard.push_back("sound " + v);
                break;
            case eCmdSaveAndGo:
                heard.push_back("save " + v);
                break;
            case eCmdDiscardAndGo:
                heard.push_back("discard " + v);
                break;
            case eCmdCancelPrompt:
                heard.push_back("cancel " + v);
                break;
            default:
                heard.push_back("other " + v);
            }
        }
        return heard;
    }
    // Shows the prompt and forgets its opening sound.
    void ShowFor(int32_t action) {
        ASSERT_EQ(m_pPrompt->Show(action, 0), eNoError);
        m_UI.m_Calls.clear();
    }
    error Key(uint32_t key) {
        CWidget* taken = nullptr;
        return m_Backdrop.PassKeyDown(taken, key);
    }
    gCPoint CentreOf(uint32_t id) {
        CWidget* w = m_Backdrop.FindByID(id);
        gCRect r(0, 0, w->Width(), w->Height());
        w->LocalToBackdrop(r);
        return gCPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    }
    // A press on the button, then while it is held the pointer over each
    // of the widgets given in turn (null: off every widget), then the
    // release.
    error Click(uint32_t id, std::deque<CWidget*> path) {
        CWidget* button = m_Backdrop.FindByID(id);
        m_Backdrop.m_pPointed = button;
        m_Services.m_fLButton = 1;
        m_Services.m_OnPump = [this, path]() mutable {
            if (path.empty()) {
                m_Services.m_fLButton = 0;
                return;
            }
            m_Backdrop.m_pPointed = path.front();
            path.pop_front();
        };
        CWidget* taken = nullptr;
        gCPoint at = CentreOf(id);
        const error e = m_Backdrop.PassButtonDownL(taken, at);
        m_Services.m_OnPump = nullptr;
        return e;
    }

    CBuiltInterface m_Built;
    CFakeResourceServices& m_Services = m_Built.m_Services;
    gCFile& m_File = m_Built.m_File;
    gCResourceIndex& m_Index = m_Built.m_Index;
    CRecordingModule m_Backbone;
    CRecordingModule m_UI;
    CPromptBackdrop m_Backdrop;
    CSavePrompt* m_pPrompt = nullptr;
    CWidget* m_pRoot = nullptr;
};

TEST_F(SavePromptTest, ShowingBringsTheRootUpModalWithItsSound) {
    EXPECT_EQ(m_pRoot->Visible(), 0);
    EXPECT_EQ(m_pPrompt->PendingAction(), -1);
    ASSERT_EQ(m_pPrompt->Show(2, 0), eNoError);
    EXPECT_EQ(m_pRoot->Visible(), 1);
    EXPECT_EQ(m_Backdrop.TopModal(), m_pRoot);
    EXPECT_EQ(m_Backdrop.ModalCount(), 1);
    EXPECT_EQ(Heard(), std::vector<std::string>{"sound 2"});
}

TEST_F(SavePromptTest, KeysAnswerOrAreTakenAndIgnored) {
    const struct {
        uint32_t key;
        const char* answer; // null: ignored
    } kCases[] = {
        {'y', "save 1"},     {'Y', "save 1"},      {kKeyCodeReturn, "save 1"},
        {'n', "discard 1"},  {'N', "discard 1"},   {kKeyCodeEscape, "cancel 1"},
        {'q', nullptr},      {17, nullptr},        {' ', nullptr},
        {kKeyCodeTab, nullptr}, {kKeyCodeEnter, nullptr},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.key);
        ShowFor(1);
        CWidget* taken = nullptr;
        ASSERT_EQ(m_Backdrop.PassKeyDown(taken, c.key), eNoError);
        EXPECT_EQ(taken, m_pRoot) << "every key is the prompt's";
        if (c.answer) {
            EXPECT_EQ(Heard(), (std::vector<std::string>{"sound 3", c.answer}));
            EXPECT_EQ(m_pRoot->Visible(), 0);
            EXPECT_EQ(m_Backdrop.ModalCount(), 0);
        } else {
            EXPECT_TRUE(Heard().empty());
            EXPECT_EQ(m_pRoot->Visible(), 1);
            ASSERT_EQ(Key(kKeyCodeEscape), eNoError); // closes it for the next case
        }
    }
}

TEST_F(SavePromptTest, APressOnAButtonAnswersOnlyWhenReleasedOnIt) {
    CWidget* save = m_Backdrop.FindByID(CSavePrompt::kSaveID);
    const struct {
        const char* name;
        uint32_t button;
        std::deque<CWidget*> path;
        std::vector<std::string> heard;
    } kCases[] = {
        {"save", CSavePrompt::kSaveID, {}, {"sound 0", "sound 3", "save 0"}},
        {"discard", CSavePrompt::kDiscardID, {}, {"sound 0", "sound 3", "discard 0"}},
        {"cancel", CSavePrompt::kCancelID, {}, {"sound 0", "sound 3", "cancel 0"}},
        {"released off it", CSavePrompt::kSaveID, {nullptr}, {}},
        {"released on another", CSavePrompt::kSaveID,
         {m_Backdrop.FindByID(CSavePrompt::kCancelID)}, {}},
        {"off and back on", CSavePrompt::kSaveID, {nullptr, save},
         {"sound 0", "sound 3", "save 0"}},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        ShowFor(0);
        ASSERT_EQ(Click(c.button, c.path), eNoError);
        EXPECT_EQ(Heard(), c.heard);
        EXPECT_EQ(m_Backdrop.ModalCount(), c.heard.empty() ? 1 : 0) << "the button's entry went";
        if (c.heard.empty()) {
            EXPECT_EQ(m_Backdrop.TopModal(), m_pRoot);
            ASSERT_EQ(Key(kKeyCodeEscape), eNoError);
        }
    }
}

// A click so quick that no beat ran while the button was held: the pointer
// where the release finds it decides, not the rollover of the last beat.
TEST_F(SavePromptTest, AQuickClickIsDecidedWhereThePointerIsAtTheRelease) {
    m_Backdrop.m_fScripted = 0;
    m_Backdrop.SetWidgetRolloverEnabled(1);
    const struct {
        const char* name;
        gCPoint lastBeat; // where the pointer was at the last rollover test
        gCPoint release;  // where it is when the button is found up
        std::vector<std::string> heard;
    } kCases[] = {
        {"came onto Save between beats", gCPoint(5, 5), CentreOf(CSavePrompt::kSaveID),
         {"sound 0", "sound 3", "save 0"}},
        {"left Save between beats", CentreOf(CSavePrompt::kSaveID),
         CentreOf(CSavePrompt::kCancelID), {}},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        ShowFor(0);
        m_Services.m_CursorLoc = c.lastBeat;
        m_Backdrop.PassRolloverTest();
        m_Services.m_CursorLoc = c.release;
        m_Services.m_fLButton = 0; // already up when the press is handled
        CWidget* taken = nullptr;
        gCPoint at = CentreOf(CSavePrompt::kSaveID);
        ASSERT_EQ(m_Backdrop.PassButtonDownL(taken, at), eNoError);
        EXPECT_EQ(Heard(), c.heard);
        if (c.heard.empty()) {
            ASSERT_EQ(Key(kKeyCodeEscape), eNoError);
        }
    }
}

TEST_F(SavePromptTest, AskedAgainWhileUpItKeepsOneEntryAndTakesTheNewerAction) {
    ASSERT_EQ(m_pPrompt->Show(2, 0), eNoError);
    ASSERT_EQ(m_pPrompt->Show(0, 1), eNoError);
    EXPECT_EQ(m_Backdrop.ModalCount(), 1);
    EXPECT_EQ(Heard(), std::vector<std::string>{"sound 2"}) << "no second sound";
    ASSERT_EQ(Key('n'), eNoError);
    EXPECT_EQ(Heard(), (std::vector<std::string>{"sound 2", "sound 3", "discard 0"}));
    EXPECT_EQ(m_Backdrop.ModalCount(), 0);
    EXPECT_EQ(m_pPrompt->PendingAction(), 0) << "kept after the answer";

    // A later click reaches the canvas, no longer the prompt.
    struct SHit {
        int32_t count = 0;
    } hit;
    CWidget* canvas = m_Backdrop.CanvasWidget();
    ASSERT_EQ(canvas->SetVisibility(1, 0), eNoError);
    canvas->SetButtonDownL(
        [](void* user, CWidget* w, CWidget*& taker, gCPoint&) -> error {
            ++static_cast<SHit*>(user)->count;
            taker = w;
            return eNoError;
        },
        &hit);
    CWidget* taken = nullptr;
    gCPoint at = CentreOf(5);
    ASSERT_EQ(m_Backdrop.PassButtonDownL(taken, at), eNoError);
    EXPECT_EQ(hit.count, 1);
    EXPECT_EQ(taken, canvas);
}

TEST_F(SavePromptTest, APressOutsideTheBoxCancelsAndOneOnItsGlassDoesNot) {
    ShowFor(3);
    const gCRect box = m_pRoot->Rect();
    CWidget* taken = nullptr;
    gCPoint glass(box.left + 30, box.top + 30);
    ASSERT_EQ(m_Backdrop.PassButtonDownL(taken, glass), eNoError);
    EXPECT_TRUE(Heard().empty());
    EXPECT_EQ(m_pRoot->Visible(), 1);

    for (const auto pass : {&CWidget::PassButtonDownL, &CWidget::PassButtonDownR}) {
        m_UI.m_Calls.clear();
        gCPoint outside(box.left - 20, box.top - 20);
        taken = nullptr;
        ASSERT_EQ((m_Backdrop.*pass)(taken, outside), eNoError);
        EXPECT_EQ(Heard(), (std::vector<std::string>{"sound 3", "cancel 3"}));
        EXPECT_EQ(m_Backdrop.ModalCount(), 0);
        EXPECT_EQ(m_pRoot->Visible(), 0);
        ShowFor(3);
    }
}

TEST_F(SavePromptTest, HideLeavesAModalEntryAboveItAlone) {
    ShowFor(0);
    CWidget* other = m_Backdrop.FindByID(2500);
    ASSERT_EQ(m_Backdrop.DoModal(other), eNoError);
    ASSERT_EQ(m_pPrompt->Hide(CSavePrompt::kCancelID, 0), eNoError);
    EXPECT_EQ(m_Backdrop.TopModal(), other);
    EXPECT_EQ(m_Backdrop.ModalCount(), 2);
}

TEST_F(SavePromptTest, TheButtonsLightUpUnderThePointer) {
    CFakeClock clock;
    ShowFor(0);
    CWidget* cancel = m_Backdrop.FindByID(CSavePrompt::kCancelID);
    EXPECT_EQ(cancel->Opacity(), 0u);
    m_Backdrop.m_pPointed = cancel;
    ASSERT_EQ(CSavePrompt::ButtonHeart(m_pPrompt, cancel), eNoError);
    clock.AdvanceMilliseconds(130);
    ASSERT_EQ(m_Backdrop.PassHeartbeat(), eNoError); // the root passes it on
    EXPECT_EQ(cancel->Opacity(), 50u);
    // Without a time step the button is left as it is.
    CWidget* save = m_Backdrop.FindByID(CSavePrompt::kSaveID);
    delete save->GetUserObject(0);
    save->SetUserObject(0, nullptr);
    m_Backdrop.m_pPointed = save;
    ASSERT_EQ(CSavePrompt::ButtonHeart(m_pPrompt, save), eNoError);
    EXPECT_EQ(save->Opacity(), 0u);
}

TEST(Dlg, TheBaseDoesNothing) {
    CDlg dialog;
    EXPECT_EQ(dialog.Root(), nullptr);
    EXPECT_EQ(dialog.Word(), 0);
    EXPECT_EQ(dialog.SetupRoot(), eNoError);
    EXPECT_EQ(dialog.Show(), eNoError);
    EXPECT_EQ(dialog.LocalSetupRoot(), eNoError);
    EXPECT_EQ(dialog.LocalShow(), eNoError);
}

} // namespace
