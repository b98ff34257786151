// The nine tools: what SetupTool gives each, the size steps, and the
// colour-changed flag.

#include <gtest/gtest.h>

#include <iterator>
#include <memory>
#include <string>

#include "imaging/Image.h"
#include "paint/Backbone.h"
#include "paint/ChannelValue.h"
#include "testsupport/FileIO/TempVolume.h"
#include "testsupport/paint/SpyTool.h"
#include "tools/Airbrush.h"
#include "tools/RegisterPaintTools.h"
#include "tools/Watercolour.h"
#include "tools/dry/Chalk.h"
#include "tools/dry/Crayon.h"
#include "tools/dry/Eraser.h"
#include "tools/ribbon/Pencils.h"
#include "tools/ribbon/Pens.h"
#include "tools/wet/OilPaint.h"
#include "tools/wet/PaletteKnife.h"

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
    ::testing::Values(
        SetupCase{eToolOilPaint, &Is<COilPaint>, "Oil Paint", 1, 0, 1.0f, true},
        SetupCase{eToolPencils, &Is<CPencils>, "Pencils", 0, -1, 1.0f, true},
        SetupCase{eToolAirbrush, &Is<CAirbrush>, "Airbrush", 0, -1, 0.0f, false},
        SetupCase{eToolChalk, &Is<CChalk>, "Chalk", 1, 1, 1.0f, true},
        SetupCase{eToolCrayon, &Is<CCrayon>, "Crayon", 1, 1, 1.0f, true},
        SetupCase{eToolEraser, &Is<CEraser>, "Eraser", 1, 1, 1.0f, true},
        SetupCase{eToolPaletteKnife, &Is<CPaletteKnife>, "Palette Paint", 1, 0, 1.0f, true},
        SetupCase{eToolPens, &Is<CPens>, "Pens", 1, 1, 3.0f, true},
        SetupCase{eToolWatercolour, &Is<CWatercolour>, "Watercolour", 0, -1, 0.0f, false}),
    [](const auto& info) { return "Id" + std::to_string(info.param.id); });

TEST_F(Tools, OnlyTheBrushToolsCarryABrushLoad) {
    for (int32_t id = 0; id < kToolCount; ++id) {
        std::unique_ptr<CPaintTool> tool = Make(id);
        const bool carries = id == eToolOilPaint || id == eToolChalk || id == eToolCrayon ||
                             id == eToolPaletteKnife || id == eToolPens;
        EXPECT_EQ(dynamic_cast<CBrushTool*>(tool.get()) != nullptr, carries) << id;
    }
}

TEST_F(Tools, PencilsStartAtFullPressureAndOilKeepsItsNoise) {
    std::unique_ptr<CPaintTool> pencils = Make(eToolPencils);
    auto* p = static_cast<CPencils*>(pencils.get());
    p->SetMaxPencilPressure(1.1f);
    ASSERT_EQ(p->SetupTool(), eNoError);
    EXPECT_EQ(p->MaxPencilPressure(), 1.0f);
    EXPECT_EQ(p->NoisePosition(), 0);

    std::unique_ptr<CPaintTool> oil = Make(eToolOilPaint);
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
    ::testing::Values(StepCase{"ChalkUpFromTwoWraps", eToolChalk, 2, eCmdSizeUp, 1, 0},
                      StepCase{"ChalkDownFromZeroWraps", eToolChalk, 0, eCmdSizeDown, 0, 2},
                      StepCase{"OilUpFromOne", eToolOilPaint, 1, eCmdSizeUp, 0, 2},
                      StepCase{"PensDownFromOne", eToolPens, 1, eCmdSizeDown, 1, 0},
                      StepCase{"EraserSetFiveClamps", eToolEraser, 1, 0, 5, 2},
                      StepCase{"KnifeSetMinusThreeClamps", eToolPaletteKnife, 1, 0, -3, 0},
                      StepCase{"CrayonSetOne", eToolCrayon, 0, 0, 1, 1},
                      StepCase{"PencilsUpFromThreeWraps", eToolPencils, 3, eCmdSizeUp, 1, 0},
                      StepCase{"PencilsDownFromZeroWraps", eToolPencils, 0, eCmdSizeDown, 0, 3},
                      StepCase{"PencilsUpFromOne", eToolPencils, 1, eCmdSizeUp, 1, 2},
                      StepCase{"PencilsSetSevenClamps", eToolPencils, 0, 0, 7, 3},
                      StepCase{"PencilsSetMinusOneClamps", eToolPencils, 2, 0, -1, 0},
                      StepCase{"AirbrushStoresNine", eToolAirbrush, 0, 0, 9, 9},
                      StepCase{"AirbrushDoesNotStep", eToolAirbrush, 9, eCmdSizeUp, 1, 9},
                      StepCase{"WatercolourDoesNotStep", eToolWatercolour, -4, eCmdSizeDown, 0,
                               -4}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Tools, PaintColourMarksTheColourChangedSetOrGot) {
    for (int32_t id : {eToolOilPaint, eToolPaletteKnife}) { // the two whose flag starts clear
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
    for (int32_t id : {eToolPencils, eToolAirbrush, eToolWatercolour}) { // they ignore every id
        std::unique_ptr<CPaintTool> tool = Make(id);
        ASSERT_EQ(tool->SetupTool(), eNoError);
        EXPECT_EQ(tool->ProcessData(eMsgPaintColour, nullptr, 0xFF123456, 1), 0);
        EXPECT_EQ(dynamic_cast<CReloadTool*>(tool.get()), nullptr);
    }
}

TEST_F(Tools, LinearSizeIsClamped) {
    std::unique_ptr<CPaintTool> tool = Make(eToolCrayon);
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
    for (int32_t id = 0; id < kToolCount; ++id) {
        CPaintTool* tool = backbone.CreateTool(id);
        ASSERT_NE(tool, nullptr) << id;
        EXPECT_EQ(tool->Type(), id);
    }
    EXPECT_EQ(U(backbone.GetTool(eToolPaletteKnife)->Name()), "Palette Paint");
    ASSERT_EQ(backbone.SelectTool(eToolWatercolour), eNoError);
    EXPECT_EQ(backbone.CurrentTool()->Type(), eToolOilPaint) << "the watercolour is never current";
}

// What the shared stroke path asks of each tool: the spacing of its stroke
// points per linear size, whether its tail keeps the last weight, the cap
// raised for a stroke and the row of the mouse table.
TEST_F(Tools, EachToolAnswersItsStrokeTraits) {
    struct Case {
        EToolId id;
        float spacingPerSize;
        bool tailKeepsPressure;
        float strokePressureCap;
        EMousePressure mouse;
    };
    const Case cases[] = {
        {eToolOilPaint, 3.0f, false, 0.0f, eMouseOilPaint},
        {eToolPencils, 1.0f, true, 1.1f, eMousePencils},
        {eToolAirbrush, 3.0f, false, 0.0f, eMouseOtherTools},
        {eToolChalk, 3.0f, false, 0.0f, eMouseOtherTools},
        {eToolCrayon, 3.0f, false, 0.0f, eMouseOtherTools},
        {eToolEraser, 3.0f, false, 0.0f, eMouseOtherTools},
        {eToolPaletteKnife, 1.0f, false, 0.0f, eMouseOtherTools},
        {eToolPens, 3.0f, false, 0.0f, eMouseOtherTools},
        {eToolWatercolour, 3.0f, false, 0.0f, eMouseOtherTools},
    };
    static_assert(std::size(cases) == size_t(kToolCount));
    for (const Case& c : cases) {
        std::unique_ptr<CPaintTool> tool = Make(c.id);
        ASSERT_NE(tool, nullptr);
        const SStrokeTraits& traits = tool->StrokeTraits();
        EXPECT_EQ(traits.spacingPerSize, c.spacingPerSize) << c.id;
        EXPECT_EQ(traits.tailKeepsPressure, c.tailKeepsPressure) << c.id;
        EXPECT_EQ(traits.strokePressureCap, c.strokePressureCap) << c.id;
        EXPECT_EQ(traits.mouse, c.mouse) << c.id;
    }
}

// The pencils' cap goes up for the stroke and back after it, and their
// alternating dab starts afresh; another tool's state is left alone.
TEST_F(Tools, AStrokeRaisesOnlyThePencilsCap) {
    std::unique_ptr<CPaintTool> pencils = Make(eToolPencils);
    ASSERT_EQ(pencils->SetupTool(), eNoError);
    pencils->SetProfileFlip(1);
    pencils->BeginStroke();
    EXPECT_EQ(pencils->MaxPencilPressure(), 1.1f);
    EXPECT_EQ(pencils->ProfileFlip(), 0);
    pencils->EndStroke();
    EXPECT_EQ(pencils->MaxPencilPressure(), 1.0f);

    std::unique_ptr<CPaintTool> pens = Make(eToolPens);
    ASSERT_EQ(pens->SetupTool(), eNoError);
    pens->SetProfileFlip(1);
    pens->BeginStroke();
    EXPECT_EQ(pens->ProfileFlip(), 1);
    EXPECT_EQ(pens->MaxPencilPressure(), 1.0f);
    pens->EndStroke();
}

} // namespace
