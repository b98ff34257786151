#include <gtest/gtest.h>

#include <unistd.h>

#include <climits>
#include <string>

#include "FileIO/CResourcePool.h"
#include "FileIO/gCResourceObject.h"
#include "foundation/Utf8.h"
#include "foundation/gCMemory.h"
#include "platform/TabletServices.h"
#include "platform/detail/InputQueue.h"
#include "platform/tests/SDLEvents.h"
#include "testsupport/platform/TestApp.h"

namespace {

class AppObject : public ::testing::Test {
protected:
    CTestApp app;
};

TEST(AppObjectLife, RegistersItselfAndUnregistersWhenDestroyed) {
    {
        CTestApp inner;
        EXPECT_EQ(CAppBase::m_pApp, &inner);
        EXPECT_EQ(CAppServices::Get(), &inner);
    }
    EXPECT_EQ(CAppBase::m_pApp, nullptr);
    EXPECT_EQ(CAppServices::Get(), nullptr);
}

TEST_F(AppObject, ApplicationFolderIsTheExecutablesFolderAsAColonPath) {
    char buffer[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    ASSERT_GT(n, 0);
    std::string folder(buffer, size_t(n));
    folder.resize(folder.rfind('/'));
    const std::string leaf = folder.substr(folder.rfind('/') + 1);

    gCString root;
    app.GetApplicationRoot(root);
    const std::string text = gStringToUtf8(root);
    ASSERT_FALSE(text.empty());
    EXPECT_EQ(text.back(), ':');
    EXPECT_NE(text.find(":" + leaf + ":"), std::string::npos) << text;
}

TEST_F(AppObject, IdleBeforeTheWindowExistsStopsAtTheStoppedHeartbeat) {
    app.InjectInput(PaintRecord());
    EXPECT_EQ(app.OnIdle(0), eHandled);
    EXPECT_EQ(app.m_nHeartbeats, 0);
    // The queued repaint was taken even without a window to paint.
    EXPECT_EQ(app.Input().GetCount(), 0);
}

TEST_F(AppObject, IdleAfterQuittingDoesNoHeartbeat) {
    app.StartHeartbeat();
    app.DoSystemQuit();
    EXPECT_EQ(app.OnIdle(0), eNoError);
    EXPECT_EQ(app.m_nHeartbeats, 0);
}

TEST_F(AppObject, AppHeartbeatWithTheHeartbeatStoppedAnswersZero) {
    EXPECT_EQ(app.AppHeartbeat(), eNoError);
    app.StartHeartbeat();
    app.m_nHeartbeatResult = eBadParameter;
    EXPECT_EQ(app.AppHeartbeat(), eBadParameter);
}

TEST_F(AppObject, RunningHeartbeatReachesTheApplicationThenTheWindow) {
    CRecordingWindow* window = app.OpenWindow();
    app.StartHeartbeat();
    app.InjectInput(PaintRecord());
    EXPECT_EQ(app.OnIdle(0), eNoError);
    EXPECT_EQ(app.m_nHeartbeats, 1);
    EXPECT_EQ(window->m_nHeartbeats, 1);
    EXPECT_EQ(window->m_nPaints, 1);
    EXPECT_EQ(app.m_pBackdrop->m_nCursorUpdates, 1);

    // An application heartbeat error stops before the window.
    app.m_nHeartbeatResult = eGenericFailure;
    EXPECT_EQ(app.OnIdle(0), eGenericFailure);
    EXPECT_EQ(window->m_nHeartbeats, 1);
    app.m_nHeartbeatResult = eNoError;
    window->m_nHeartbeatResult = eOutOfMemory;
    EXPECT_EQ(app.OnIdle(0), eOutOfMemory);

    // The drawn cursor follows the mouse only while the cursor heartbeat runs.
    app.StopCursorHeart();
    EXPECT_EQ(app.OnIdle(0), eOutOfMemory);
    EXPECT_EQ(app.m_pBackdrop->m_nCursorUpdates, 3);
}

TEST_F(AppObject, AudioIsCleanedUpEvery256Ticks) {
    // The heartbeat is stopped: every tick answers 2, AppHeartbeat 0.
    for (int i = 0; i < 255; ++i) {
        ASSERT_EQ(app.OnIdle(0), eHandled);
    }
    EXPECT_EQ(app.m_nCollections, 0);
    EXPECT_EQ(app.OnIdle(0), eHandled);
    EXPECT_EQ(app.m_nCollections, 1);
    for (int i = 0; i < 256; ++i) {
        ASSERT_EQ(app.AppHeartbeat(), eNoError);
    }
    EXPECT_EQ(app.m_nCollections, 2);
}

TEST_F(AppObject, SecondInitServicesKeepsTheFirstTabletService) {
    ASSERT_EQ(app.InitServices(), eNoError);
    CTabletServices* first = app.TabletServices();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(app.InitServices(), eNoError);
    EXPECT_EQ(app.TabletServices(), first);
}

TEST_F(AppObject, InitServicesWithoutMemoryAnswers5) {
    gCMemory::m_pAllocProc = [](size_t) -> void* { return nullptr; };
    const error e = app.InitServices();
    gCMemory::ResetProcs();
    EXPECT_EQ(e, eOutOfMemory);
    EXPECT_EQ(app.TabletServices(), nullptr);
}

gCResourceObject* NoObject() {
    return nullptr;
}

// A factory entry is whole or absent: a name that cannot be stored leaves
// the list as it was and answers 5.
TEST_F(AppObject, RegisterFactoryWithoutMemoryForTheNameAddsNothing) {
    ASSERT_EQ(CAppBase::m_aObjectFactoryList.GetSize(), 0);
    ASSERT_EQ(CAppBase::RegisterFactory("CBrush", &NoObject), eNoError);
    ASSERT_EQ(CAppBase::RegisterFactory("CPaper", &NoObject), eNoError); // room to spare now
    gCMemory::m_pAllocProc = [](size_t) -> void* { return nullptr; };
    gCMemory::m_pReallocProc = [](void*, size_t) -> void* { return nullptr; };
    const error e = CAppBase::RegisterFactory("CCanvas", &NoObject);
    gCMemory::ResetProcs();
    EXPECT_EQ(e, eOutOfMemory);
    ASSERT_EQ(CAppBase::m_aObjectFactoryList.GetSize(), 2);
    EXPECT_EQ(gStringToUtf8(CAppBase::m_aObjectFactoryList[1].name), "CPaper");
    EXPECT_EQ(CAppBase::m_aObjectFactoryList[1].creator, &NoObject);
}

// A target of the hub that records the order of arrival.
class COrderTarget : public gCCmdTarget {
public:
    COrderTarget(std::vector<int>* log, int name, int32_t answer)
        : m_pLog(log), m_nName(name), m_nAnswer(answer) {}
    int32_t Message(uint32_t, void*, uintptr_t) override {
        m_pLog->push_back(m_nName);
        return m_nAnswer;
    }
    std::vector<int>* m_pLog;
    int m_nName;
    int32_t m_nAnswer;
};

TEST_F(AppObject, PassMessageAsksTheApplicationThenTheHubThenTheWindow) {
    std::vector<int> log;
    COrderTarget quiet(&log, 1, 0), answering(&log, 2, 5), late(&log, 3, 6);
    ASSERT_EQ(app.AddMessageTarget(&quiet), eNoError);
    ASSERT_EQ(app.AddMessageTarget(&answering), eNoError);
    ASSERT_EQ(app.AddMessageTarget(&late), eNoError);
    app.OpenWindow();

    // The application answers first: the hub never sees it.
    app.m_nMessageAnswer = 4;
    EXPECT_EQ(app.PassMessage(eMsgOpenDocument, &app, 0), 4);
    EXPECT_TRUE(log.empty());

    // Then the hub's first non-zero answer.
    app.m_nMessageAnswer = 0;
    EXPECT_EQ(app.PassMessage(eMsgOpenDocument, &app, 0), 5);
    EXPECT_EQ(log, (std::vector<int>{1, 2}));
    EXPECT_EQ(app.m_pBackdrop->m_nMessages, 0);

    // Nobody in the hub answers: the window's backdrop has the last word.
    app.RemoveMessageTarget(&answering);
    app.RemoveMessageTarget(&late);
    app.m_pBackdrop->m_nAnswer = 9;
    EXPECT_EQ(app.PassMessage(eMsgOpenDocument, &app, 0), 9);
    EXPECT_EQ(app.m_aMessages.size(), 3u);
}

class CNamedObject : public gCResourceObject {
public:
    CNamedObject(int32_t id, const char16_t* name) {
        SetResID(id);
        gCString text;
        EXPECT_EQ(text.CopyString(name), eNoError);
        SetResName(text);
    }
};

TEST_F(AppObject, SearchingAllPoolsLeavesOutTheFontPool) {
    ASSERT_EQ(app.GetResourcePool(eResPoolFonts)->Add(new CNamedObject(7, u"Body")), eNoError);
    ASSERT_EQ(app.GetResourcePool(eResPoolImages)->Add(new CNamedObject(8, u"Brush")), eNoError);
    gCString body, brush;
    ASSERT_EQ(body.CopyString(u"Body"), eNoError);
    ASSERT_EQ(brush.CopyString(u"Brush"), eNoError);

    EXPECT_EQ(app.FindResourceByName(eResPoolSearch, body), nullptr);
    EXPECT_EQ(app.FindResourceByID(eResPoolSearch, 7), nullptr);
    EXPECT_NE(app.FindResourceByName(eResPoolFonts, body), nullptr);
    EXPECT_NE(app.FindResourceByName(eResPoolSearch, brush), nullptr);
    EXPECT_NE(app.FindResourceByID(eResPoolSearch, 8), nullptr);
    EXPECT_EQ(app.FindResourceByID(eResPoolGeneral, 8), nullptr);
    EXPECT_EQ(app.FindResourceByID(6, 8), nullptr);
    EXPECT_EQ(app.FindResourceByID(-2, 8), nullptr);
}

TEST_F(AppObject, SettingsAndPointerMovesAreNotAvailable) {
    gCString section, key, text;
    uint32_t number = 17;
    EXPECT_EQ(app.LocalMachineString(section, key, text), eNotImplemented);
    EXPECT_EQ(app.CurrentUserUint32(section, key, number), eNotImplemented);
    EXPECT_EQ(app.SetCurrentUserString(section, key, text), eNotImplemented);
    EXPECT_EQ(app.SetLocalMachineUint32(section, key, 3), eNotImplemented);
    EXPECT_EQ(number, 17u);
    EXPECT_EQ(app.SetCursorLoc(gCPoint(3, 4)), eNotImplemented);
}

} // namespace
