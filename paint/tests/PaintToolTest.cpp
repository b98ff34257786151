// The paint tools' base: accessors, its ids of the data channel, the layer
// addresses and the current colour.

#include <gtest/gtest.h>

#include <limits>

#include "imaging/ImNav.h"
#include "imaging/Image.h"
#include "paint/Backbone.h"
#include "paint/ChannelValue.h"
#include "paint/PaintTool.h"
#include "testsupport/FileIO/TempVolume.h"

namespace {

// A tool that keeps the base's behaviour and counts its size steps.
class CCountingTool : public CPaintTool {
public:
    error ModSetting(int32_t delta) override {
        m_nSteps += delta;
        return m_eStep;
    }
    int32_t ProcessLocalData(uint32_t id, const void*, int64_t, int32_t set) override {
        m_nLocalId = id;
        m_nLocalSet = set;
        return 4;
    }
    int32_t m_nSteps = 0;
    error m_eStep = eNoError;
    uint32_t m_nLocalId = 0;
    int32_t m_nLocalSet = -1;
};

TEST(PaintTool, StartsAsAnUnnamedTool) {
    CCountingTool tool;
    EXPECT_EQ(tool.Type(), -1);
    EXPECT_EQ(U(tool.Name()), "Paint Tool");
    EXPECT_FLOAT_EQ(tool.ToolLinearSize(), 0.3f);
    EXPECT_EQ(tool.ToolStyle(), 0);
    EXPECT_EQ(tool.ToolSize(), 0);
    EXPECT_EQ(tool.StrokeNum(), 0);
    EXPECT_EQ(tool.DabNum(), 0);
    EXPECT_EQ(tool.ProfileFlip(), 0);
    EXPECT_EQ(tool.Layer3(), nullptr);
    gCRect rect;
    EXPECT_EQ(tool.Dab({}, rect, nullptr), eNoError);
    EXPECT_EQ(tool.RenderDab({}, rect, nullptr), eNoError);
    EXPECT_EQ(tool.SetFirstPt({}, 1), eNoError);
    EXPECT_EQ(tool.DabEnd(), eNoError);
    EXPECT_EQ(tool.SetupTool(), eNoError);
}

TEST(PaintTool, LinearSizeIsClampedAndNonFiniteGivesTheDefault) {
    CCountingTool tool;
    const struct {
        float given, stored;
    } cases[] = {{1.5f, 1.0f},
                 {-0.2f, 0.0f},
                 {0.75f, 0.75f},
                 {std::numeric_limits<float>::quiet_NaN(), 0.3f},
                 {-std::numeric_limits<float>::infinity(), 0.3f}};
    for (const auto& c : cases) {
        float value = c.given, read = -1.0f;
        EXPECT_EQ(tool.ProcessData(eCmdToolLinearSize, nullptr, ChannelValueOf(&value), 1), 0);
        EXPECT_EQ(tool.ProcessData(eCmdToolLinearSize, nullptr, ChannelValueOf(&read), 0), 0);
        EXPECT_EQ(read, c.stored) << c.given;
    }
}

TEST(PaintTool, SizeAndStyleIdsAreSetAndGot) {
    CCountingTool tool;
    int32_t size = 9, style = 2, read = -1;
    EXPECT_EQ(tool.ProcessData(eCmdToolSize, nullptr, ChannelValueOf(&size), 1), 0);
    EXPECT_EQ(tool.ProcessData(eCmdToolSize, nullptr, ChannelValueOf(&read), 0), 0);
    EXPECT_EQ(read, 9) << "the base stores the step unchecked";
    EXPECT_EQ(tool.ProcessData(eCmdToolStyle, nullptr, ChannelValueOf(&style), 1), 0);
    EXPECT_EQ(tool.ProcessData(eCmdToolStyle, nullptr, ChannelValueOf(&read), 0), 0);
    EXPECT_EQ(read, 2);
    EXPECT_EQ(tool.ProcessData(eCmdToolSize, nullptr, 0, 0), eBadParameter);
}

TEST(PaintTool, SizeStepsWhetherSetOrGot) {
    CCountingTool tool;
    for (int32_t set : {0, 1}) {
        EXPECT_EQ(tool.ProcessData(eCmdSizeUp, nullptr, 0, set), 0);
        EXPECT_EQ(tool.ProcessData(eCmdSizeUp, nullptr, 0, set), 0);
        EXPECT_EQ(tool.ProcessData(eCmdSizeDown, nullptr, 0, set), 0);
    }
    EXPECT_EQ(tool.m_nSteps, 2);
    tool.m_eStep = eGenericFailure;
    EXPECT_EQ(tool.ProcessData(eCmdSizeUp, nullptr, 0, 1), eGenericFailure);
}

TEST(PaintTool, OtherIdsGoToTheToolsOwnData) {
    CCountingTool tool;
    EXPECT_EQ(tool.ProcessData(eMsgPaintColour, nullptr, 0xFF00FF00, 0), 4);
    EXPECT_EQ(tool.m_nLocalId, eMsgPaintColour);
    EXPECT_EQ(tool.m_nLocalSet, 0);
}

TEST(PaintTool, SourcesAreTheLayersFirstPixels) {
    CCountingTool tool;
    CImage l0(6, 4), l1(6, 4), l2(6, 4), l3(6, 4), empty;
    ASSERT_EQ(tool.SetSources(&l0, &l1, &l2, &l3), eNoError);
    EXPECT_EQ(tool.Layer0(), CImNav(&l0).GetData());
    EXPECT_EQ(tool.Layer1(), CImNav(&l1).GetData());
    EXPECT_EQ(tool.Layer2(), CImNav(&l2).GetData());
    EXPECT_EQ(tool.Layer3(), CImNav(&l3).GetData());
    EXPECT_EQ(tool.LayerWidth(), 6);
    EXPECT_EQ(tool.LayerHeight(), 4);

    // Layers without pixels leave the addresses; L3 is taken as it is.
    ASSERT_EQ(tool.SetSources(nullptr, &empty, nullptr, nullptr), eNoError);
    EXPECT_EQ(tool.Layer0(), CImNav(&l0).GetData());
    EXPECT_EQ(tool.Layer1(), CImNav(&l1).GetData());
    EXPECT_EQ(tool.Layer3(), nullptr);
}

TEST(PaintTool, CurrentColourIsTheBackbones) {
    CCountingTool tool;
    EXPECT_EQ(uint32_t(tool.CurrentColour()), 0xFF000000u) << "opaque black without a backbone";
    CSMKBackbone backbone;
    gCCmdTarget::SetBackboneModule(&backbone);
    backbone.SetColourForProxy(0x80336699u);
    EXPECT_EQ(uint32_t(tool.CurrentColour()), 0x80336699u);

    // A registered module that is no backbone counts as none.
    gCCmdTarget other;
    gCCmdTarget::SetBackboneModule(&other);
    EXPECT_EQ(uint32_t(tool.CurrentColour()), 0xFF000000u);
    gCCmdTarget::SetBackboneModule(nullptr);
}

} // namespace
