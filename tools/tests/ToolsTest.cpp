// The nine tools: what SetupTool gives each, the size steps, and the
// colour-changed flag.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "imaging/Image.h"
#include "paint/Backbone.h"
#include "paint/ChannelValue.h"
#include "testsupport/FileIO/TempVolume.h"
#include "testsupport/paint/SpyTool.h"
#include "tools/Airbrush.h"
#include "tools/Chalk.h"
#include "tools/Crayon.h"
#include "tools/Eraser.h"
#include "tools/OilPaint.h"
#include "tools/PaletteKnife.h"
#include "tools/Pencils.h"
#include "tools/Pens.h"
#include "tools/RegisterPaintTools.h"
#include "tools/Watercolour.h"

namespace {

class Tools : public ::testing::Test {
protected:
    void SetUp() override { RegisterPaintTools(); }
    void TearDown() override { ResetSpyTools(); } // removes every creator

    // A tool of the id as the backbone makes it.
    std::unique_ptr<CPaintTool> Make(int32_t id) {
        std::unique_ptr<CPaintTool> tool(CSMKBackbone::ToolCreator(id)());
        EXPECT_NE(tool, nullptr);
        if (tool) {
            tool->SetType(id);
        }
        return tool;
    }
};

template <class T> bool Is(CPaintTool* tool) {
    return dynamic_cast<T*>(tool) != nullptr;
}

struct SetupCase {
    int32_t id;
    bool (*isClass)(CPaintTool*);
    const char* name;
    int32_t sizeStep;
    int32_t flags; // reload and colour-changed; -1: the tool has none
    float spacing;
    bool setsUp; // clears layers, stroke number and size (painting tools)
};

void PrintTo(const SetupCase& c, std::ostream* os) {
    *os << c.name;
}

class ToolSetup : public Tools, public ::testing::WithParamInterface<SetupCase> {};

TEST_P(ToolSetup, GivesTheToolsDefaults) {
    const SetupCase& c = GetParam();
    std::unique_ptr<CPaintTool> tool = Make(c.id);
    ASSERT_NE(tool, nullptr);
    EXPECT_TRUE(c.isClass(tool.get()));
    EXPECT_EQ(tool->Type(), c.id);

    // Values that set-up replaces (or, for the two that paint nothing,
    // keeps).
    CImage l0(5, 3), l1(5, 3), l2(5, 3), l3(5, 3);
    ASSERT_EQ(tool->SetSources(&l0, &l1, &l2, &l3), eNoError);
    tool->SetStrokeNum(12);
    (void)tool->SetToolSize(2); // every tool takes 2

    ASSERT_EQ(tool->SetupTool(), eNoError);
    EXPECT_EQ(U(tool->Name()), c.name);
    EXPECT_FLOAT_EQ(tool->ToolLinearSize(), 0.3f);
    EXPECT_EQ(tool->ToolStyle(), 0);
    EXPECT_EQ(tool->ProfileFlip(), 0);
    EXPECT_EQ(tool->DirectionX(), 0.0f);
    EXPECT_EQ(tool->DirectionY(), 0.0f);
    EXPECT_NE(tool->Layer3(), nullptr) << "L3's address is not set-up's";
    if (c.setsUp) {
        EXPECT_EQ(tool->ToolSize(), c.sizeStep);
        EXPECT_EQ(tool->StrokeNum(), 0);
        EXPECT_EQ(tool->PointSpacing(), c.spacing);
        EXPECT_EQ(tool->Layer0(), nullptr);
        EXPECT_EQ(tool->Layer1(), nullptr);
        EXPECT_EQ(tool->Layer2(), nullptr);
        EXPECT_EQ(tool->LayerWidth(), 0);
        EXPECT_EQ(tool->LayerHeight(), 0);
    } else {
        EXPECT_EQ(tool->ToolSize(), 2);
        EXPECT_EQ(tool->StrokeNum(), 12);
        EXPECT_NE(tool->Layer0(), nullptr);
        EXPECT_EQ(tool->LayerWidth(), 5);
    }
    if (auto* reload = dynamic_cast<CReloadTool*>(tool.get())) {
        ASSERT_GE(c.flags, 0);
        EXPECT_EQ(reload->Reload(), c.flags);
        EXPECT_EQ(reload->ColourChanged(), c.flags);
    } else {
        EXPECT_EQ(c.flags, -1);
    }
    if (auto* brush = dynamic_cast<CBrushTool*>(tool.get())) {
        for (int32_t i = 0; i < CBrushTool::kBrushSlots; ++i) {
            ASSERT_EQ(uint32_t(brush->BrushLoad()[i]), 0u);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Tools, ToolSetup,
    ::testing::Values(SetupCase{0, &Is<COilPaint>, "Oil Paint", 1, 0, 1.0f, true},
                      SetupCase{1, &Is<CPencils>, "Pencils", 0, -1, 1.0f, true},
                      SetupCase{2, &Is<CAirbrush>, "Airbrush", 0, -1, 0.0f, false},
                      SetupCase{3, &Is<CChalk>, "Chalk", 1, 1, 1.0f, true},
                      SetupCase{4, &Is<CCrayon>, "Crayon", 1, 1, 1.0f, true},
                      SetupCase{5, &Is<CEraser>, "Eraser", 1, 1, 1.0f, true},
                      SetupCase{6, &Is<CPaletteKnife>, "Palette Paint", 1, 0, 1.0f, true},
                      SetupCase{7, &Is<CPens>, "Pens", 1, 1, 3.0f, true},
                      SetupCase{8, &Is<CWatercolour>, "Watercolour", 0, -1, 0.0f, false}),
    [](const auto& info) { return "Id" + std::to_string(info.param.id); });

TEST_F(Tools, OnlyTheBrushToolsCarryABrushLoad) {
    for (int32_t id = 0; id < CSMKBackbone::kToolCount; ++id) {
        std::unique_ptr<CPaintTool> tool = Make(id);
        const bool carries = id == 0 || id == 3 || id == 4 || id == 6 || id == 7;
        EXPECT_EQ(dynamic_cast<CBrushTool*>(tool.get()) != nullptr, carries) << id;
    }
}

TEST_F(Tools, PencilsStartAtFullPressureAndOilKeepsItsNoise) {
    std::unique_ptr<CPaintTool> pencils = Make(1);
    auto* p = static_cast<CPencils*>(pencils.get());
    p->SetMaxPencilPressure(1.1f);
    ASSERT_EQ(p->SetupTool(), eNoError);
    EXPECT_EQ(p->MaxPencilPressure(), 1.0f);
    EXPECT_EQ(p->NoisePosition(), 0);

    std::unique_ptr<CPaintTool> oil = Make(0);
    auto* o = static_cast<COilPaint*>(oil.get());
    o->SetNoisePos(0xFFFFFFF0u);
    EXPECT_EQ(o->NoisePos(), 0xFFFFFFF0u);
    ASSERT_EQ(o->SetupTool(), eNoError);
    EXPECT_EQ(o->NoisePos(), 0u);
}

struct StepCase {
    const char* name;
    int32_t id;
    int32_t start;
    uint32_t command; // eCmdSizeUp / eCmdSizeDown, or 0 for SetToolSize
    int32_t given;
    int32_t result;
};

void PrintTo(const StepCase& c, std::ostream* os) {
    *os << c.name;
}

class SizeSteps : public Tools, public ::testing::WithParamInterface<StepCase> {};

TEST_P(SizeSteps, WrapOrClamp) {
    const StepCase& c = GetParam();
    std::unique_ptr<CPaintTool> tool = Make(c.id);
    ASSERT_EQ(tool->SetupTool(), eNoError);
    int32_t start = c.start;
    ASSERT_EQ(tool->ProcessData(eCmdToolSize, nullptr, ChannelValueOf(&start), 1), 0);
    if (c.command) {
        // Stepping takes no value and steps whether set or get.
        EXPECT_EQ(tool->ProcessData(c.command, nullptr, 0, c.given), 0);
    } else {
        int32_t given = c.given;
        EXPECT_EQ(tool->ProcessData(eCmdToolSize, nullptr, ChannelValueOf(&given), 1), 0);
    }
    int32_t read = -99;
    EXPECT_EQ(tool->ProcessData(eCmdToolSize, nullptr, ChannelValueOf(&read), 0), 0);
    EXPECT_EQ(read, c.result);
}

INSTANTIATE_TEST_SUITE_P(
    Tools, SizeSteps,
    ::testing::Values(StepCase{"ChalkUpFromTwoWraps", 3, 2, eCmdSizeUp, 1, 0},
                      StepCase{"ChalkDownFromZeroWraps", 3, 0, eCmdSizeDown, 0, 2},
                      StepCase{"OilUpFromOne", 0, 1, eCmdSizeUp, 0, 2},
                      StepCase{"PensDownFromOne", 7, 1, eCmdSizeDown, 1, 0},
                      StepCase{"EraserSetFiveClamps", 5, 1, 0, 5, 2},
                      StepCase{"KnifeSetMinusThreeClamps", 6, 1, 0, -3, 0},
                      StepCase{"CrayonSetOne", 4, 0, 0, 1, 1},
                      StepCase{"PencilsUpFromThreeWraps", 1, 3, eCmdSizeUp, 1, 0},
                      StepCase{"PencilsDownFromZeroWraps", 1, 0, eCmdSizeDown, 0, 3},
                      StepCase{"PencilsUpFromOne", 1, 1, eCmdSizeUp, 1, 2},
                      StepCase{"PencilsSetSevenClamps", 1, 0, 0, 7, 3},
                      StepCase{"PencilsSetMinusOneClamps", 1, 2, 0, -1, 0},
                      StepCase{"AirbrushStoresNine", 2, 0, 0, 9, 9},
                      StepCase{"AirbrushDoesNotStep", 2, 9, eCmdSizeUp, 1, 9},
                      StepCase{"WatercolourDoesNotStep", 8, -4, eCmdSizeDown, 0, -4}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Tools, PaintColourMarksTheColourChangedSetOrGot) {
    for (int32_t id : {0, 6}) { // the two whose flag starts clear
        for (int32_t set : {0, 1}) {
            std::unique_ptr<CPaintTool> tool = Make(id);
            ASSERT_EQ(tool->SetupTool(), eNoError);
            auto* reload = static_cast<CReloadTool*>(tool.get());
            ASSERT_EQ(reload->ColourChanged(), 0);
            EXPECT_EQ(tool->ProcessData(eCmdPlaySound, nullptr, 0, set), 0);
            EXPECT_EQ(reload->ColourChanged(), 0) << "other ids change nothing";
            EXPECT_EQ(tool->ProcessData(eMsgPaintColour, nullptr, 0xFF123456, set), 0);
            EXPECT_EQ(reload->ColourChanged(), 1) << id << " set " << set;
        }
    }
    for (int32_t id : {1, 2, 8}) { // tools that ignore every id of their own
        std::unique_ptr<CPaintTool> tool = Make(id);
        ASSERT_EQ(tool->SetupTool(), eNoError);
        EXPECT_EQ(tool->ProcessData(eMsgPaintColour, nullptr, 0xFF123456, 1), 0);
        EXPECT_EQ(dynamic_cast<CReloadTool*>(tool.get()), nullptr);
    }
}

TEST_F(Tools, LinearSizeIsClamped) {
    std::unique_ptr<CPaintTool> tool = Make(4);
    for (auto [given, stored] :
         {std::pair{1.5f, 1.0f}, std::pair{-0.2f, 0.0f}, std::pair{0.45f, 0.45f}}) {
        float value = given, read = -1.0f;
        EXPECT_EQ(tool->ProcessData(eCmdToolLinearSize, nullptr, ChannelValueOf(&value), 1), 0);
        EXPECT_EQ(tool->ProcessData(eCmdToolLinearSize, nullptr, ChannelValueOf(&read), 0), 0);
        EXPECT_EQ(read, stored);
    }
}

TEST_F(Tools, TheBackboneMakesEveryToolThroughTheCreators) {
    CSMKBackbone backbone;
    for (int32_t id = 0; id < CSMKBackbone::kToolCount; ++id) {
        CPaintTool* tool = backbone.CreateTool(id);
        ASSERT_NE(tool, nullptr) << id;
        EXPECT_EQ(tool->Type(), id);
    }
    EXPECT_EQ(U(backbone.GetTool(6)->Name()), "Palette Paint");
    ASSERT_EQ(backbone.SelectTool(8), eNoError);
    EXPECT_EQ(backbone.CurrentTool()->Type(), 0) << "the watercolour is never current";
}

} // namespace
