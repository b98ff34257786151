#include <gtest/gtest.h>

#include <vector>

#include "platform/MessageHub.h"

namespace {

// A target that records what reaches it and answers with a set result.
class CRecordingTarget : public gCCmdTarget {
public:
    explicit CRecordingTarget(std::vector<int>* log, int name, int32_t answer = 0)
        : m_pLog(log), m_nName(name), m_nAnswer(answer) {}
    int32_t Message(uint32_t, void*, uintptr_t) override {
        m_pLog->push_back(m_nName);
        return m_nAnswer;
    }

private:
    std::vector<int>* m_pLog;
    int m_nName;
    int32_t m_nAnswer;
};

TEST(MessageHub, EmptyHubAnswersZero) {
    CMessageHub hub;
    EXPECT_EQ(hub.Message(eMsgOpenDocument, nullptr, 0), 0);
}

TEST(MessageHub, FirstNonZeroAnswerStopsTheWalk) {
    std::vector<int> log;
    CRecordingTarget first(&log, 1), second(&log, 2, 7), third(&log, 3, 9);
    CMessageHub hub;
    ASSERT_EQ(hub.AddTarget(&first), eNoError);
    ASSERT_EQ(hub.AddTarget(&second), eNoError);
    ASSERT_EQ(hub.AddTarget(&third), eNoError);
    EXPECT_EQ(hub.Message(eMsgPaintColour, nullptr, 0), 7);
    EXPECT_EQ(log, (std::vector<int>{1, 2}));
}

TEST(MessageHub, RemovingAnUnregisteredTargetChangesNothing) {
    std::vector<int> log;
    CRecordingTarget a(&log, 1), b(&log, 2), stranger(&log, 3);
    CMessageHub hub;
    ASSERT_EQ(hub.AddTarget(&a), eNoError);
    ASSERT_EQ(hub.AddTarget(&b), eNoError);
    hub.RemoveTarget(&stranger);
    EXPECT_EQ(hub.GetCount(), 2);
    hub.Message(eMsgPaintColour, nullptr, 0);
    EXPECT_EQ(log, (std::vector<int>{1, 2}));
}

TEST(MessageHub, TargetRegisteredTwiceAndRemovedOnceStillReceivesOnce) {
    std::vector<int> log;
    CRecordingTarget a(&log, 1), b(&log, 2);
    CMessageHub hub;
    ASSERT_EQ(hub.AddTarget(&a), eNoError);
    ASSERT_EQ(hub.AddTarget(&b), eNoError);
    ASSERT_EQ(hub.AddTarget(&a), eNoError);
    hub.RemoveTarget(&a); // the first registration goes, order kept
    hub.Message(eMsgPaintColour, nullptr, 0);
    EXPECT_EQ(log, (std::vector<int>{2, 1}));
}

} // namespace

#include "foundation/gCMemory.h"

namespace {

TEST(MessageHub, TargetThatCannotBeAddedLeavesTheListAsItWas) {
    std::vector<int> log;
    CRecordingTarget a(&log, 1), b(&log, 2);
    CMessageHub hub;
    ASSERT_EQ(hub.AddTarget(&a), eNoError);
    gCMemory::m_pAllocProc = [](size_t) -> void* { return nullptr; };
    gCMemory::m_pReallocProc = [](void*, size_t) -> void* { return nullptr; };
    // Growing past the first exact allocation needs memory.
    const error e = hub.AddTarget(&b);
    gCMemory::ResetProcs();
    EXPECT_EQ(e, eOutOfMemory);
    EXPECT_EQ(hub.GetCount(), 1);
    hub.Message(eMsgPaintColour, nullptr, 0);
    EXPECT_EQ(log, (std::vector<int>{1}));
}

} // namespace
