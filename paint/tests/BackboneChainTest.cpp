// The backbone's chain: canvas, renderer, current tool, then the UI module
// for a set; the first non-zero answer ends it.

#include "paint/tests/BackboneFixture.h"

namespace {

enum EMember { eNone, eCanvas, eRenderer, eTool, eUI };

struct ChainCase {
    const char* name;
    EMember answers;
    int32_t set;
    int32_t result;
    // Who saw the id: canvas, renderer, tool, UI.
    bool saw[4];
};

void PrintTo(const ChainCase& c, std::ostream* os) {
    *os << c.name;
}

class Chain : public BackboneFixture, public ::testing::WithParamInterface<ChainCase> {};

// An id the backbone does not handle itself.
constexpr uint32_t kPassedId = eCmdPlaySound;

TEST_P(Chain, FirstNonZeroAnswerEndsIt) {
    Init();
    ASSERT_EQ(Set(eCmdSelectTool, eToolCrayon), 0);
    CSpyTool* tool = Tool(eToolCrayon);
    ASSERT_NE(tool, nullptr);
    const ChainCase& c = GetParam();
    backbone.m_pSpyCanvas->m_Log.m_Answers[kPassedId] = c.answers == eCanvas ? 7 : 0;
    backbone.m_pSpyRenderer->m_Log.m_Answers[kPassedId] = c.answers == eRenderer ? 8 : 0;
    tool->m_Log.m_Answers[kPassedId] = c.answers == eTool ? 9 : 0;
    ui.m_nResult = c.answers == eUI ? 10 : 0;
    ui.m_Calls.clear();

    int32_t variable = 0;
    const void* sender = &variable; // any sender travels unchanged
    EXPECT_EQ(backbone.ProcessData(kPassedId, sender, 0x1234, c.set), c.result);

    EXPECT_EQ(backbone.m_pSpyCanvas->m_Log.Count(kPassedId), c.saw[0] ? 1 : 0);
    EXPECT_EQ(backbone.m_pSpyRenderer->m_Log.Count(kPassedId), c.saw[1] ? 1 : 0);
    EXPECT_EQ(tool->m_Log.Count(kPassedId), c.saw[2] ? 1 : 0);
    ASSERT_EQ(UiCount(kPassedId), c.saw[3] ? 1 : 0);
    if (c.saw[3]) {
        EXPECT_EQ(ui.m_Calls.back().sender, sender) << "the original sender reaches the UI";
        EXPECT_EQ(ui.m_Calls.back().value, 0x1234);
        EXPECT_EQ(ui.m_Calls.back().set, 1);
    }
    for (CSpyLog* log :
         {&backbone.m_pSpyCanvas->m_Log, &backbone.m_pSpyRenderer->m_Log, &tool->m_Log}) {
        for (const SSpyCall& call : log->m_Calls) {
            if (call.id == kPassedId) {
                EXPECT_EQ(call.sender, sender);
                EXPECT_EQ(call.set, c.set);
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Backbone, Chain,
    ::testing::Values(ChainCase{"SetNobodyAnswers", eNone, 1, 0, {true, true, true, true}},
                      ChainCase{"GetNobodyAnswers", eNone, 0, 0, {true, true, true, false}},
                      ChainCase{"SetCanvasAnswers", eCanvas, 1, 7, {true, false, false, false}},
                      ChainCase{"GetCanvasAnswers", eCanvas, 0, 7, {true, false, false, false}},
                      ChainCase{"SetRendererAnswers", eRenderer, 1, 8, {true, true, false, false}},
                      ChainCase{"GetRendererAnswers", eRenderer, 0, 8, {true, true, false, false}},
                      ChainCase{"SetToolAnswers", eTool, 1, 9, {true, true, true, false}},
                      ChainCase{"GetToolAnswers", eTool, 0, 9, {true, true, true, false}},
                      ChainCase{"SetUIAnswers", eUI, 1, 10, {true, true, true, true}},
                      ChainCase{"GetNeverReachesTheUI", eUI, 0, 0, {true, true, true, false}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(BackboneFixture, BeforeInitIdsGoStraightToTheUI) {
    EXPECT_EQ(Set(kPassedId, 5), 0);
    ASSERT_EQ(UiCount(kPassedId), 1);
    EXPECT_EQ(ui.m_Calls.back().sender, &ui);
    ui.m_nResult = 4;
    EXPECT_EQ(Set(kPassedId, 5), 4);
    EXPECT_EQ(Get(kPassedId, 5), 0);
    EXPECT_EQ(UiCount(kPassedId), 2) << "a get never reaches the UI";
    EXPECT_EQ(backbone.m_pSpyCanvas, nullptr);
}

TEST_F(BackboneFixture, PaintColourReachesEveryMemberAndSetsTheColour) {
    Init();
    ASSERT_EQ(Set(eCmdSelectTool, eToolOilPaint), 0);
    EXPECT_EQ(Set(eMsgPaintColour, 0x80112233), 0);
    EXPECT_EQ(uint32_t(backbone.CurrentColour()), 0x80112233u);
    EXPECT_EQ(backbone.m_pSpyCanvas->m_Log.Count(eMsgPaintColour), 1);
    EXPECT_EQ(backbone.m_pSpyRenderer->m_Log.Count(eMsgPaintColour), 1);
    EXPECT_EQ(Tool(eToolOilPaint)->m_Log.Count(eMsgPaintColour), 1);
    EXPECT_EQ(UiCount(eMsgPaintColour), 1);

    // The set flag is not consulted for the colour; a get stops before the
    // UI.
    EXPECT_EQ(Get(eMsgPaintColour, 0xFF445566), 0);
    EXPECT_EQ(uint32_t(backbone.CurrentColour()), 0xFF445566u);
    EXPECT_EQ(UiCount(eMsgPaintColour), 1);

    uint32_t colour = 0;
    EXPECT_EQ(Get(eCmdGetColour, ChannelValueOf(&colour)), 0);
    EXPECT_EQ(colour, 0xFF445566u);
}

} // namespace
