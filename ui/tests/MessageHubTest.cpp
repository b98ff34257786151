// The main backdrop as the UI module: which ids it handles itself, which
// reach the panels, and what the save prompt's answers run.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "foundation/MessageIds.h"
#include "foundation/Utf8.h"
#include "paint/ChannelValue.h"
#include "testsupport/foundation/RecordingModule.h"
#include "ui/SMKBackdrop.h"

namespace {

using Strings = std::vector<std::string>;

// Records what the hub calls of the features that join later.
class CHubBackdrop : public CSMKBackdrop {
public:
    Strings m_aCalls;
    error m_nPromptAnswer = eNoError;
    error m_nSaveAnswer = eNoError;
    error m_nLoadAnswer = eNoError;

protected:
    void CheckPanelsOnDrag(const gCPoint& p) override {
        Call("drag " + std::to_string(p.x) + "," + std::to_string(p.y));
    }
    void CalculatePanelRects() override { Call("rects"); }
    void TogglePanelsHidden(int32_t r) override { Call("toggle " + std::to_string(r)); }
    void HideAllPanels(int32_t r) override { Call("hide " + std::to_string(r)); }
    void ShowAllPanels(int32_t r) override { Call("show " + std::to_string(r)); }
    void UnhideDragPanels() override { Call("unhide"); }
    void ShowAboutBox() override { Call("about"); }
    error ShowSavePrompt(int32_t action) override {
        Call("prompt " + std::to_string(action));
        return m_nPromptAnswer;
    }
    void ShowHelp() override { Call("help"); }
    error SaveProject(int32_t as) override {
        Call("save " + std::to_string(as));
        return m_nSaveAnswer;
    }
    error LoadProject() override {
        Call("load");
        return m_nLoadAnswer;
    }
    error NewProject() override {
        Call("new");
        return eNoError;
    }
    error ImportImage() override {
        Call("import");
        return eNoError;
    }
    void QuitApplication() override { Call("quit"); }

private:
    void Call(const std::string& what) { m_aCalls.push_back(what); }
};

class MessageHub : public ::testing::Test {
protected:
    void SetUp() override {
        gCCmdTarget::SetBackboneModule(&m_Backbone);
        for (int32_t i = 0; i < CSMKBackdrop::kPanelCount; ++i) {
            m_Hub.SetPanel(i, &m_aPanels[i]);
        }
    }
    void TearDown() override { gCCmdTarget::SetBackboneModule(nullptr); }

    // How many panels heard the last message.
    int32_t PanelsReached() const {
        int32_t n = 0;
        for (const CRecordingModule& panel : m_aPanels) {
            n += panel.m_Calls.empty() ? 0 : 1;
        }
        return n;
    }
    void Forget() {
        m_Hub.m_aCalls.clear();
        m_Backbone.m_Calls.clear();
        for (CRecordingModule& panel : m_aPanels) {
            panel.m_Calls.clear();
        }
    }

    CRecordingModule m_Backbone;
    CRecordingModule m_aPanels[CSMKBackdrop::kPanelCount];
    CHubBackdrop m_Hub;
};

TEST_F(MessageHub, EachIdIsHandledAndReachesThePanelsAsTheTableSays) {
    const struct {
        uint32_t id;
        int64_t value;
        Strings calls;
        bool panels;
    } kCases[] = {
        {eCmdNewProject, 0, {}, true}, // no canvas widget: nothing to size
        {eCmdStrokeStart, 0, {"rects"}, true},
        {eCmdTogglePanels, 0, {"toggle 1"}, true},
        {eCmdHidePanels, 0, {"hide 1"}, true},
        {eCmdShowPanels, 0, {"show 1"}, true},
        {eCmdShowAbout, 0, {"about"}, true},
        {eCmdStrokeEnd, 0, {"unhide"}, true},
        {eCmdUndo, 0, {}, true},
        {eCmdSavePrompt, 3, {"prompt 3"}, false},
        {eCmdSaveAndGo, 0, {"save 0", "quit"}, false},
        {eCmdSaveAndGo, 1, {"save 0", "load"}, false},
        {eCmdSaveAndGo, 2, {"save 0", "new"}, false},
        {eCmdSaveAndGo, 3, {"save 0", "import"}, false},
        {eCmdSaveAndGo, 7, {"save 0"}, false},
        {eCmdDiscardAndGo, 0, {"quit"}, false},
        {eCmdDiscardAndGo, 1, {"load"}, false},
        {eCmdDiscardAndGo, 2, {"new"}, false},
        {eCmdDiscardAndGo, 3, {"import"}, false},
        {eCmdDiscardAndGo, 5, {}, false},
        {eCmdCancelPrompt, 2, {}, false},
        {eCmdShowHelp, 0, {"help"}, false},
        {eCmdPlaySound, 2, {}, false}, // the sound player, which answers 0
    };
    for (const auto& c : kCases) {
        Forget();
        EXPECT_EQ(m_Hub.ProcessData(c.id, this, c.value, 1), 0) << std::hex << c.id;
        EXPECT_EQ(m_Hub.m_aCalls, c.calls) << std::hex << c.id << " " << c.value;
        EXPECT_EQ(PanelsReached(), c.panels ? CSMKBackdrop::kPanelCount : 0) << std::hex << c.id;
        if (c.panels) {
            const CRecordingModule::Call& heard = m_aPanels[5].m_Calls.at(0);
            EXPECT_EQ(heard.id, c.id);
            EXPECT_EQ(heard.sender, this);
            EXPECT_EQ(heard.value, c.value);
            EXPECT_EQ(heard.set, 1);
        }
    }
}

TEST_F(MessageHub, APenPositionIsRoundedHalvesAwayFromZero) {
    const float pen[2] = {10.5f, -10.5f};
    EXPECT_EQ(m_Hub.ProcessData(eCmdStrokePoint, this, ChannelValueOf(&pen[0]), 1), 0);
    EXPECT_EQ(m_Hub.m_aCalls, Strings{"drag 11,-11"});
    EXPECT_EQ(PanelsReached(), CSMKBackdrop::kPanelCount);
}

TEST_F(MessageHub, ANullPanelIsSkippedAndAFailingOneStopsNone) {
    m_Hub.SetPanel(1, nullptr);
    m_aPanels[2].m_nResult = eCreateFailed;
    EXPECT_EQ(m_Hub.ProcessData(eCmdStrokeEnd, this, 0, 1), 0);
    EXPECT_EQ(PanelsReached(), CSMKBackdrop::kPanelCount - 1);
    EXPECT_EQ(m_aPanels[5].m_Calls.size(), 1u);
}

TEST_F(MessageHub, TheSavePromptRecordsTheFlagAndAnswersWithTheShowing) {
    m_Hub.m_nPromptAnswer = eObjectBusy;
    EXPECT_EQ(m_Hub.ProcessData(eCmdSavePrompt, this, 0, 1), eObjectBusy);
    ASSERT_EQ(m_Backbone.m_Calls.size(), 1u);
    EXPECT_EQ(m_Backbone.m_Calls[0].id, eCmdModified);
    EXPECT_EQ(m_Backbone.m_Calls[0].set, 0);
    EXPECT_EQ(m_Backbone.m_Calls[0].sender, &m_Hub);
    // A flag that cannot be read shows no prompt.
    Forget();
    m_Backbone.m_nResult = eFileReadWriteError;
    EXPECT_EQ(m_Hub.ProcessData(eCmdSavePrompt, this, 0, 1), eFileReadWriteError);
    EXPECT_TRUE(m_Hub.m_aCalls.empty());
}

TEST_F(MessageHub, WithoutASavePromptTheRequestFails) {
    CSMKBackdrop plain;
    EXPECT_EQ(plain.ProcessData(eCmdSavePrompt, this, 0, 1), eNotImplemented);
}

TEST_F(MessageHub, DiscardingClearsTheFlagFirstAndAFailedClearRunsNothing) {
    EXPECT_EQ(m_Hub.ProcessData(eCmdDiscardAndGo, this, 1, 1), 0);
    ASSERT_EQ(m_Backbone.m_Calls.size(), 1u);
    EXPECT_EQ(m_Backbone.m_Calls[0].id, eCmdModified);
    EXPECT_EQ(m_Backbone.m_Calls[0].set, 1);
    Forget();
    m_Backbone.m_nResult = eFileReadWriteError;
    EXPECT_EQ(m_Hub.ProcessData(eCmdDiscardAndGo, this, 0, 1), eFileReadWriteError);
    EXPECT_TRUE(m_Hub.m_aCalls.empty());
}

TEST_F(MessageHub, AFailedSaveRunsNoActionAndAnActionAnswersItsCode) {
    m_Hub.m_nSaveAnswer = eFileReadWriteError;
    EXPECT_EQ(m_Hub.ProcessData(eCmdSaveAndGo, this, 0, 1), eFileReadWriteError);
    EXPECT_EQ(m_Hub.m_aCalls, Strings{"save 0"});
    Forget();
    m_Hub.m_nSaveAnswer = eNoError;
    m_Hub.m_nLoadAnswer = eFileNotFound;
    EXPECT_EQ(m_Hub.ProcessData(eCmdSaveAndGo, this, 1, 1), eFileNotFound);
}

// A cancelled prompt, a save (done or failed) and a failed discard end the
// cycle for every action: no stale flag marks a later painting modified.
// Only a discard that goes on keeps it, for the action to put back.
TEST_F(MessageHub, TheRestoreFlagFollowsTheActionsThatWaitBehindThePrompt) {
    const struct {
        uint32_t id;
        int64_t action;
        error save, clear;
        int32_t after;
    } kCases[] = {
        {eCmdCancelPrompt, 2, eNoError, eNoError, 0},
        {eCmdCancelPrompt, 3, eNoError, eNoError, 0},
        {eCmdCancelPrompt, 1, eNoError, eNoError, 0},
        {eCmdCancelPrompt, 0, eNoError, eNoError, 0},
        {eCmdSaveAndGo, 2, eNoError, eNoError, 0},
        {eCmdSaveAndGo, 3, eNoError, eNoError, 0},
        {eCmdSaveAndGo, 1, eNoError, eNoError, 0},
        {eCmdSaveAndGo, 1, eFileReadWriteError, eNoError, 0},
        {eCmdDiscardAndGo, 2, eNoError, eNoError, 1},
        {eCmdDiscardAndGo, 1, eNoError, eNoError, 1},
        {eCmdDiscardAndGo, 3, eNoError, eFileReadWriteError, 0},
    };
    for (const auto& c : kCases) {
        m_Hub.SetRestoreModified(1);
        m_Hub.m_nSaveAnswer = c.save;
        m_Backbone.m_nResult = c.clear;
        const int32_t failure = c.save != eNoError ? c.save : c.clear;
        EXPECT_EQ(m_Hub.ProcessData(c.id, this, c.action, 1), failure);
        EXPECT_EQ(m_Hub.RestoreModified(), c.after) << std::hex << c.id << " " << c.action;
    }
}

// A dropped document whose prompt is cancelled is forgotten, so that the
// next open asks with the dialog; other actions keep nothing of it.
TEST_F(MessageHub, ACancelledOpenForgetsTheHandedOverPath) {
    gCString path;
    ASSERT_EQ(gStringFromUtf8(path, "Root:tmp:x.ptg"), eNoError);
    ASSERT_EQ(m_Hub.Message(eMsgOpenDocument, nullptr, reinterpret_cast<uintptr_t>(&path)), 0);
    EXPECT_EQ(m_Hub.ProcessData(eCmdCancelPrompt, this, 2, 1), 0);
    EXPECT_EQ(gStringToUtf8(m_Hub.DocumentPath()), "Root:tmp:x.ptg");
    EXPECT_EQ(m_Hub.ProcessData(eCmdCancelPrompt, this, 1, 1), 0);
    EXPECT_EQ(m_Hub.DocumentPath().GetLength(), 0);
}

TEST_F(MessageHub, AnOpenDocumentBroadcastKeepsThePathOpensItAndGoesOn) {
    gCString path;
    ASSERT_EQ(gStringFromUtf8(path, "Root:tmp:x.ptg"), eNoError);
    EXPECT_EQ(m_Hub.Message(eMsgOpenDocument, nullptr, reinterpret_cast<uintptr_t>(&path)), 0);
    EXPECT_EQ(gStringToUtf8(m_Hub.DocumentPath()), "Root:tmp:x.ptg");
    EXPECT_EQ(m_Hub.m_aCalls, Strings{"load"});
    m_Hub.m_aCalls.clear();
    EXPECT_EQ(m_Hub.Message(eMsgButtonDownL, nullptr, 0), 0);
    EXPECT_TRUE(m_Hub.m_aCalls.empty());
}

} // namespace
