#include <gtest/gtest.h>

#include <cstdint>

#include "foundation/gCCmdTarget.h"
#include "testsupport/foundation/RecordingModule.h"

namespace {

class DataChannel : public ::testing::Test {
protected:
    void TearDown() override {
        gCCmdTarget::SetUIModule(nullptr);
        gCCmdTarget::SetBackboneModule(nullptr);
    }

    gCCmdTarget m_Caller;
    gCCmdTarget m_Sender;
};

TEST_F(DataChannel, WithNoModuleEverySendAnswersZero) {
    EXPECT_EQ(m_Caller.SetUIData(eCmdStrokeStart, &m_Sender, 1), 0);
    EXPECT_EQ(m_Caller.GetUIData(eCmdStrokeStart, &m_Sender, 1), 0);
    EXPECT_EQ(m_Caller.SetBackboneData(eCmdUndo, &m_Sender, 0), 0);
    EXPECT_EQ(m_Caller.GetBackboneData(eCmdModified, &m_Sender, 0), 0);
    EXPECT_EQ(m_Caller.Message(eMsgOpenDocument, nullptr, 0), 0);
    EXPECT_EQ(m_Caller.ProcessData(eCmdUndo, &m_Sender, 0, 1), 0);
}

struct SendCase {
    const char* name;
    int32_t (gCCmdTarget::*send)(uint32_t, const void*, int64_t);
    bool toUI;
    int32_t set;
};

void PrintTo(const SendCase& c, std::ostream* os) {
    *os << c.name;
}

class DataChannelSend : public DataChannel, public ::testing::WithParamInterface<SendCase> {};

TEST_P(DataChannelSend, ReachesTheModuleAndItsResultComesBack) {
    const SendCase& c = GetParam();
    CRecordingModule ui, backbone;
    ui.m_nResult = eFileNotFound;
    backbone.m_nResult = eBadTaste;
    gCCmdTarget::SetUIModule(&ui);
    gCCmdTarget::SetBackboneModule(&backbone);

    const int64_t value = int64_t(0xFFFFFFFF00000005); // all 64 bits travel
    EXPECT_EQ((m_Caller.*c.send)(eRecLinearSizeKnife, &m_Sender, value),
              c.toUI ? eFileNotFound : eBadTaste);

    const CRecordingModule& target = c.toUI ? ui : backbone;
    const CRecordingModule& other = c.toUI ? backbone : ui;
    ASSERT_EQ(target.m_Calls.size(), 1u);
    EXPECT_TRUE(other.m_Calls.empty());
    const CRecordingModule::Call& call = target.m_Calls[0];
    EXPECT_EQ(call.id, uint32_t(eRecLinearSizeKnife));
    EXPECT_EQ(call.sender, &m_Sender) << "the sender, not the object called on";
    EXPECT_EQ(call.value, value);
    EXPECT_EQ(call.set, c.set);

    (m_Caller.*c.send)(eCmdUndo, nullptr, 0);
    ASSERT_EQ(target.m_Calls.size(), 2u);
    EXPECT_EQ(target.m_Calls[1].sender, nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DataChannelSend,
    ::testing::Values(SendCase{"set_ui", &gCCmdTarget::SetUIData, true, 1},
                      SendCase{"get_ui", &gCCmdTarget::GetUIData, true, 0},
                      SendCase{"set_backbone", &gCCmdTarget::SetBackboneData, false, 1},
                      SendCase{"get_backbone", &gCCmdTarget::GetBackboneData, false, 0}),
    [](const auto& info) { return std::string(info.param.name); });

// A backbone that answers a get by writing through the pointer it is given.
class CModifiedFlag : public gCCmdTarget {
public:
    int32_t ProcessData(uint32_t id, const void*, int64_t value, int32_t set) override {
        if (id == eCmdModified && !set) {
            *reinterpret_cast<int32_t*>(intptr_t(value)) = 1;
        }
        return 0;
    }
};

TEST_F(DataChannel, AGetWritesIntoTheCallersVariable) {
    CModifiedFlag backbone;
    gCCmdTarget::SetBackboneModule(&backbone);
    int32_t modified = 0;
    EXPECT_EQ(m_Caller.GetBackboneData(eCmdModified, &m_Caller,
                                       int64_t(reinterpret_cast<intptr_t>(&modified))),
              0);
    EXPECT_EQ(modified, 1);
}

TEST_F(DataChannel, ClearingTheUIModuleStopsDataToIt) {
    CRecordingModule ui, backbone;
    ui.m_nResult = eGenericFailure;
    backbone.m_nResult = eHandled;
    gCCmdTarget::SetUIModule(&ui);
    gCCmdTarget::SetBackboneModule(&backbone);
    gCCmdTarget::SetUIModule(nullptr);

    EXPECT_EQ(m_Caller.SetUIData(eCmdStrokeEnd, &m_Sender, 0), 0);
    EXPECT_EQ(m_Caller.GetUIData(eCmdStrokeEnd, &m_Sender, 0), 0);
    EXPECT_TRUE(ui.m_Calls.empty());
    EXPECT_EQ(m_Caller.SetBackboneData(eCmdStrokeEnd, &m_Sender, 0), eHandled);
    EXPECT_EQ(backbone.m_Calls.size(), 1u);
}

} // namespace
