// The backbone's start-up, tools, renderer and its own ids.

#include <cmath>
#include <limits>
#include <vector>

#include "paint/canvas/Canvas.h"
#include "paint/tests/BackboneFixture.h"
#include "testsupport/FileIO/TempVolume.h"

namespace {

std::vector<int32_t> TypesOf(const gCArray<CPaintTool*>& tools) {
    std::vector<int32_t> types;
    for (CPaintTool* t : tools) {
        types.push_back(t->Type());
    }
    return types;
}

// A tablet service whose set-up answers as the test says.
class CFakeTablet : public CTabletSource {
public:
    int32_t GetPoint(CTabletPoint&) override { return 1; }
    int32_t ButtonDown() override { return 0; }
    void FlushQueue() override {}
    error SetupServices(int32_t flag) override {
        m_aFlags.push_back(flag);
        return m_eSetup;
    }
    error m_eSetup = eNoError;
    std::vector<int32_t> m_aFlags;
};

using Backbone = BackboneFixture;

// Whoever makes a project description starts from the default painting: a
// new painting made from a fresh one lies on the warm white paper, never on
// a black one.
TEST(ProjectInfo, AFreshOneDescribesTheDefaultPainting) {
    const CProjectInfo info;
    EXPECT_EQ(info.m_nWidth, 800);
    EXPECT_EQ(info.m_nHeight, 600);
    EXPECT_EQ(U(info.m_Name), "%%%");
    EXPECT_FALSE(info.m_File.IsValid());
    EXPECT_EQ(info.m_nModified, 0);
    EXPECT_EQ(info.m_TracingPath.GetLength(), 0);
    EXPECT_EQ(info.m_nPaperTexture, 0u);
    EXPECT_EQ(info.m_nCanvasSetting, 0xFFFFFFFAu);
}

TEST_F(Backbone, StartsWithTheDocumentsStartValues) {
    const CProjectInfo& info = backbone.ProjectInfo();
    EXPECT_EQ(info.m_nWidth, 800);
    EXPECT_EQ(info.m_nHeight, 600);
    EXPECT_EQ(U(info.m_Name), "%%%");
    EXPECT_FALSE(info.m_File.IsValid());
    EXPECT_EQ(info.m_nModified, 0);
    EXPECT_EQ(info.m_TracingPath.GetLength(), 0);
    EXPECT_EQ(info.m_nPaperTexture, 0u);
    EXPECT_EQ(int32_t(info.m_nCanvasSetting), -6);
    EXPECT_EQ(uint32_t(backbone.CurrentColour()), 0xFF000000u);
    EXPECT_EQ(backbone.AutoClean(), 0);
    EXPECT_EQ(backbone.CurrentTool(), nullptr);
    EXPECT_EQ(backbone.CurrentRenderer(), nullptr);
    EXPECT_EQ(backbone.TabletServices(), nullptr);
}

TEST_F(Backbone, InitMakesTheStartUpToolsInOrderAndNoneCurrent) {
    Init();
    EXPECT_EQ(CSpyTool::s_Created,
              (std::vector<int32_t>{eToolOilPaint, eToolPencils, eToolChalk, eToolCrayon,
                                    eToolEraser, eToolPaletteKnife, eToolPens}));
    EXPECT_EQ(TypesOf(backbone.Tools()),
              (std::vector<int32_t>{eToolOilPaint, eToolPencils, eToolChalk, eToolCrayon,
                                    eToolEraser, eToolPaletteKnife, eToolPens}));
    EXPECT_EQ(backbone.m_pSpyCanvas->m_nInitialiseCalls, 1);
    EXPECT_EQ(backbone.m_pSpyCanvas->m_nEraserCalls, 1);
    EXPECT_EQ(backbone.m_pSpyCanvas->Eraser(), backbone.GetTool(eToolEraser));
    EXPECT_EQ(backbone.CurrentTool(), nullptr);
    EXPECT_EQ(ToolType(), -1);
    EXPECT_EQ(backbone.CurrentRenderer(), backbone.m_pSpyRenderer);
    // Selecting the renderer redraws the canvas: a get down the chain.
    EXPECT_EQ(backbone.m_pSpyCanvas->m_Log.Count(eCmdRedrawCanvas), 1);
    EXPECT_EQ(UiCount(eCmdRedrawCanvas), 0);
    EXPECT_TRUE(app.m_Alerts.empty());
}

TEST_F(Backbone, InitWithTheRealCanvasAndRenderer) {
    CSMKBackbone real;
    gCCmdTarget::SetBackboneModule(&real);
    ASSERT_EQ(real.ProcessData(eCmdInitBackbone, &ui, 0, 1), 0);
    ASSERT_NE(real.Canvas(), nullptr);
    EXPECT_EQ(real.Canvas()->ProtectImage(0).GetWidth(), CCanvas::kProtectSide);
    ASSERT_NE(real.CurrentRenderer(), nullptr);
    EXPECT_EQ(real.CurrentRenderer()->RendererId(), 0);
    EXPECT_EQ(real.Tools().GetSize(), 7);
}

TEST_F(Backbone, TabletIsSetUpWhenThereIsOne) {
    CFakeTablet tablet;
    app.m_pTablet = &tablet;
    EXPECT_EQ(backbone.TabletServices(), &tablet);
    Init();
    EXPECT_EQ(tablet.m_aFlags, std::vector<int32_t>{1});

    tablet.m_eSetup = eGenericFailure;
    CSpyBackbone other;
    EXPECT_EQ(other.InitBackbone(), eGenericFailure);
    ASSERT_EQ(app.m_Alerts.size(), 1u);
    EXPECT_EQ(app.m_Alerts[0].text, AlertText(1, "Failed to set up the tablet manager."));
    EXPECT_EQ(other.Canvas(), nullptr);
}

struct InitFailure {
    const char* name;
    int32_t refuseCanvas;
    error canvasInit;
    int32_t refuseRenderer;
    error result;
    const char* alert;
};

// A backbone whose spy canvas fails its Initialise as scripted.
class CFailingInitBackbone : public CSpyBackbone {
public:
    error m_eInitialise = eNoError;

protected:
    CCanvas* MakeCanvas() override {
        CCanvas* canvas = CSpyBackbone::MakeCanvas();
        if (m_pSpyCanvas) {
            m_pSpyCanvas->m_eInitialise = m_eInitialise;
        }
        return canvas;
    }
};

class InitFailures : public BackboneFixture, public ::testing::WithParamInterface<InitFailure> {};

TEST_P(InitFailures, AreShownAndReturned) {
    const InitFailure& f = GetParam();
    CFailingInitBackbone subject;
    subject.m_eInitialise = f.canvasInit;
    subject.m_fRefuseCanvas = f.refuseCanvas;
    subject.m_fRefuseRenderer = f.refuseRenderer;
    EXPECT_EQ(subject.InitBackbone(), f.result);
    ASSERT_EQ(app.m_Alerts.size(), 1u);
    EXPECT_EQ(app.m_Alerts[0].headline, "Error.");
    const int32_t shown = f.canvasInit != eNoError ? f.canvasInit : eCreateFailed;
    EXPECT_EQ(app.m_Alerts[0].text, AlertText(shown, f.alert));
}

INSTANTIATE_TEST_SUITE_P(Backbone, InitFailures,
                         ::testing::Values(InitFailure{"NoCanvas", 1, eNoError, 0, eCreateFailed,
                                                       "Failed to create the canvas object."},
                                           InitFailure{"CanvasNotInitialised", 0, eOutOfMemory, 0,
                                                       eOutOfMemory,
                                                       "Failed to initialise the canvas object."},
                                           InitFailure{"NoRenderer", 0, eNoError, 1, eCreateFailed,
                                                       "Failed to select the standard renderer."}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Backbone, AToolWhoseSetUpFailsIsAbsentAndShown) {
    CSpyTool::s_aSetupResult[eToolChalk] = eOutOfMemory;
    Init();
    EXPECT_EQ(TypesOf(backbone.Tools()),
              (std::vector<int32_t>{eToolOilPaint, eToolPencils, eToolCrayon, eToolEraser,
                                    eToolPaletteKnife, eToolPens}));
    EXPECT_EQ(backbone.GetTool(eToolChalk), nullptr);
    ASSERT_EQ(app.m_Alerts.size(), 1u);
    EXPECT_EQ(app.m_Alerts[0].text, AlertText(5, "Failed to set up the requested tool."));
    EXPECT_EQ(CSpyTool::s_Alive.size(), 6u) << "the failed tool was destroyed";

    // Selecting it tries again, shows both failures and leaves no tool
    // current.
    ASSERT_EQ(Set(eCmdSelectTool, eToolOilPaint), 0);
    EXPECT_EQ(Set(eCmdSelectTool, eToolChalk), eCreateFailed);
    ASSERT_EQ(app.m_Alerts.size(), 3u);
    EXPECT_EQ(app.m_Alerts[1].text, AlertText(5, "Failed to set up the requested tool."));
    EXPECT_EQ(app.m_Alerts[2].text,
              AlertText(23, "Backbone failed to pick up the requested tool."));
    EXPECT_EQ(backbone.CurrentTool(), nullptr);
    EXPECT_EQ(UiCount(eCmdSelectTool), 1) << "a failed selection goes no further";
}

TEST_F(Backbone, ToolIdsWithoutCreatorOrOutOfRangeMakeNone) {
    CSMKBackbone::SetToolCreator(eToolCrayon, nullptr);
    EXPECT_EQ(backbone.CreateTool(eToolCrayon), nullptr);
    EXPECT_EQ(backbone.CreateTool(kToolCount), nullptr);
    EXPECT_EQ(backbone.CreateTool(-1), nullptr);
    EXPECT_TRUE(app.m_Alerts.empty());
    EXPECT_EQ(backbone.Tools().GetSize(), 0);
}

TEST_F(Backbone, SelectingOutOfRangeIdsSelectsOilPaint) {
    Init();
    for (int64_t id :
         {int64_t(eToolWatercolour), int64_t(kToolCount), int64_t(-1), int64_t(0x100000007)}) {
        SCOPED_TRACE(id);
        ASSERT_EQ(Set(eCmdNoTool, 0), 0);
        ASSERT_EQ(Set(eCmdSelectTool, id), 0);
        EXPECT_EQ(ToolType(), id == 0x100000007 ? eToolPens : eToolOilPaint)
            << "the low word is the id";
    }
    EXPECT_EQ(backbone.Tools().GetSize(), 7) << "no tool made twice";
}

TEST_F(Backbone, AirbrushIsMadeOnFirstSelectionAndFoundAfter) {
    Init();
    ASSERT_EQ(Set(eCmdSelectTool, eToolAirbrush), 0);
    CPaintTool* airbrush = backbone.CurrentTool();
    ASSERT_NE(airbrush, nullptr);
    EXPECT_EQ(TypesOf(backbone.Tools()),
              (std::vector<int32_t>{eToolOilPaint, eToolPencils, eToolChalk, eToolCrayon,
                                    eToolEraser, eToolPaletteKnife, eToolPens, eToolAirbrush}));
    ASSERT_EQ(Set(eCmdSelectTool, eToolPencils), 0);
    ASSERT_EQ(Set(eCmdSelectTool, eToolAirbrush), 0);
    EXPECT_EQ(backbone.CurrentTool(), airbrush);
    EXPECT_EQ(backbone.Tools().GetSize(), 8);
}

TEST_F(Backbone, ToolTypeIsMinusOneWithoutCurrentTool) {
    Init();
    EXPECT_EQ(ToolType(), -1);
    ASSERT_EQ(Set(eCmdSelectTool, eToolPaletteKnife), 0);
    EXPECT_EQ(ToolType(), eToolPaletteKnife);
    ASSERT_EQ(Set(eCmdNoTool, 0), 0);
    EXPECT_EQ(ToolType(), -1);
    EXPECT_EQ(backbone.m_pSpyCanvas->m_Log.Count(eCmdNoTool), 1);
}

TEST_F(Backbone, ModifiedIsAnsweredByTheBackboneAlone) {
    Init();
    ASSERT_EQ(Set(eCmdSelectTool, eToolOilPaint), 0);
    ui.m_Calls.clear();
    int32_t five = 5, read = 0;
    EXPECT_EQ(Set(eCmdModified, ChannelValueOf(&five)), 0);
    EXPECT_EQ(Get(eCmdModified, ChannelValueOf(&read)), 0);
    EXPECT_EQ(read, 5);
    EXPECT_EQ(Set(eCmdMarkModified, 0), 0);
    EXPECT_EQ(backbone.Modified(), 1);
    for (uint32_t id : {uint32_t(eCmdModified), uint32_t(eCmdMarkModified)}) {
        EXPECT_EQ(backbone.m_pSpyCanvas->m_Log.Count(id), 0);
        EXPECT_EQ(backbone.m_pSpyRenderer->m_Log.Count(id), 0);
        EXPECT_EQ(Tool(eToolOilPaint)->m_Log.Count(id), 0);
        EXPECT_EQ(UiCount(id), 0);
    }
}

TEST_F(Backbone, StrokeEndCleansTheBrushOnlyWithAutoClean) {
    Init();
    ASSERT_EQ(Set(eCmdSelectTool, eToolChalk), 0);
    ASSERT_EQ(Set(eMsgPaintColour, 0xFF102030), 0);
    CSpyTool* chalk = Tool(eToolChalk);
    chalk->m_Log.m_Calls.clear();

    EXPECT_EQ(Set(eCmdStrokeEnd, 0), 0);
    EXPECT_EQ(backbone.Modified(), 1);
    EXPECT_EQ(chalk->m_Log.Count(eMsgPaintColour), 0);
    EXPECT_EQ(chalk->m_Log.Count(eCmdStrokeEnd), 1);

    int32_t on = 1, read = 0;
    ASSERT_EQ(Set(eCmdAutoClean, ChannelValueOf(&on)), 0);
    ASSERT_EQ(Get(eCmdAutoClean, ChannelValueOf(&read)), 0);
    EXPECT_EQ(read, 1);
    chalk->m_Log.m_Calls.clear();
    EXPECT_EQ(Set(eCmdStrokeEnd, 0), 0);
    ASSERT_EQ(chalk->m_Log.m_Calls.size(), 2u);
    EXPECT_EQ(chalk->m_Log.m_Calls[0].id, eMsgPaintColour);
    EXPECT_EQ(chalk->m_Log.m_Calls[0].sender, &backbone);
    EXPECT_EQ(chalk->m_Log.m_Calls[0].value, 0xFF102030);
    EXPECT_EQ(chalk->m_Log.m_Calls[0].set, 1);
    EXPECT_EQ(chalk->m_Log.m_Calls[1].id, eCmdStrokeEnd);
}

TEST_F(Backbone, CleanBrushAnswersWithTheTool) {
    Init();
    EXPECT_EQ(Set(eCmdCleanBrush, 0), 0);
    EXPECT_EQ(UiCount(eCmdCleanBrush), 1) << "without a tool it goes down the chain";
    ASSERT_EQ(Set(eCmdSelectTool, eToolPens), 0);
    Tool(eToolPens)->m_Log.m_Answers[eMsgPaintColour] = 3;
    EXPECT_EQ(Set(eCmdCleanBrush, 0), 3);
    EXPECT_EQ(UiCount(eCmdCleanBrush), 1) << "with a tool it returns";
}

TEST_F(Backbone, PressureWeightIsClampedAndNaNGivesTheDefault) {
    const struct {
        float given, stored;
    } cases[] = {{1.7f, 1.0f},
                 {-0.2f, 0.0f},
                 {0.25f, 0.25f},
                 {std::numeric_limits<float>::quiet_NaN(), 0.5f},
                 {std::numeric_limits<float>::infinity(), 1.0f},
                 {-std::numeric_limits<float>::infinity(), 0.0f}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.given);
        float w = c.given, read = -1.0f;
        EXPECT_EQ(Set(eCmdPressureWeight, ChannelValueOf(&w)), 0);
        EXPECT_EQ(CTabletSource::m_rWeight, c.stored);
        EXPECT_EQ(Get(eCmdPressureWeight, ChannelValueOf(&read)), 0);
        EXPECT_EQ(read, c.stored);
    }
}

TEST_F(Backbone, ProjectInfoIsGotNeverSet) {
    Init();
    const size_t canvasCalls = backbone.m_pSpyCanvas->m_Log.m_Calls.size();
    CProjectInfo other;
    EXPECT_EQ(Set(eCmdGetProjectInfo, ChannelValueOf(&other)), 0);
    EXPECT_EQ(backbone.m_pSpyCanvas->m_Log.m_Calls.size(), canvasCalls);
    EXPECT_EQ(UiCount(eCmdGetProjectInfo), 0);

    CProjectInfo* info = nullptr;
    EXPECT_EQ(Get(eCmdGetProjectInfo, ChannelValueOf(&info)), 0);
    EXPECT_EQ(info, &backbone.ProjectInfo());
}

TEST_F(Backbone, SelectingTheCurrentRendererDoesNotRedraw) {
    Init();
    EXPECT_EQ(backbone.SelectRenderer(0), eNoError);
    EXPECT_EQ(backbone.m_nRenderersMade, 1);
    EXPECT_EQ(backbone.m_pSpyCanvas->m_Log.Count(eCmdRedrawCanvas), 1);
    EXPECT_EQ(backbone.SelectRenderer(-1), eBadParameter);
    EXPECT_EQ(backbone.SelectRenderer(1), eCreateFailed);
    EXPECT_EQ(backbone.CurrentRenderer(), nullptr);
    EXPECT_EQ(backbone.SelectRenderer(0), eNoError);
    EXPECT_EQ(backbone.m_pSpyCanvas->m_Log.Count(eCmdRedrawCanvas), 2);

    // The real renderer of id 0, and none for another id.
    CSMKBackbone real;
    std::unique_ptr<CRenderer> made(real.CreateRenderer(0));
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->RendererId(), 0);
    EXPECT_EQ(real.CreateRenderer(-1), nullptr);
    EXPECT_EQ(real.CreateRenderer(1), nullptr);
}

TEST_F(Backbone, LinearSizeIdsAddressTheToolArrayByPosition) {
    Init();
    // 0xFF003014 .. 0xFF00301A reach oil, pencils, knife, chalk, eraser,
    // crayon, pens.
    const EToolId reached[] = {eToolOilPaint, eToolPencils, eToolPaletteKnife, eToolChalk,
                               eToolEraser,   eToolCrayon,  eToolPens};
    for (uint32_t i = 0; i < 7; ++i) {
        float size = 0.1f * float(i + 1);
        ASSERT_EQ(Set(eRecLinearSizeOil + i, ChannelValueOf(&size)), 0);
        EXPECT_FLOAT_EQ(backbone.GetTool(reached[i])->ToolLinearSize(), size) << i;
        float read = -1.0f;
        ASSERT_EQ(Get(eRecLinearSizeOil + i, ChannelValueOf(&read)), 0);
        EXPECT_EQ(read, size);
    }
    EXPECT_EQ(UiCount(eRecLinearSizePens), 1) << "a set goes down the chain";
}

TEST_F(Backbone, LinearSizeIdWithoutToolChangesNothing) {
    CSpyTool::s_aSetupResult[eToolPens] = eOutOfMemory; // six tools: position 6 is empty
    Init();
    float size = 0.9f, read = -1.0f;
    EXPECT_EQ(Set(eRecLinearSizePens, ChannelValueOf(&size)), 0);
    EXPECT_EQ(Get(eRecLinearSizePens, ChannelValueOf(&read)), 0);
    EXPECT_EQ(read, -1.0f);
    EXPECT_EQ(UiCount(eRecLinearSizePens), 0);
    for (CPaintTool* tool : backbone.Tools()) {
        EXPECT_FLOAT_EQ(tool->ToolLinearSize(), 0.3f);
    }
}

TEST_F(Backbone, AddressIdsWithoutAnAddressAreRefused) {
    Init();
    for (uint32_t id : {uint32_t(eCmdModified), uint32_t(eCmdPressureWeight),
                        uint32_t(eCmdNewProject), uint32_t(eRecLinearSizeOil)}) {
        EXPECT_EQ(Set(id, 0), eBadParameter) << std::hex << id;
    }
    EXPECT_EQ(Get(eCmdGetToolType, 0), eBadParameter);
}

TEST_F(Backbone, ClearCanvasAndTracingChangesMarkModified) {
    Init();
    for (uint32_t id :
         {uint32_t(eCmdClearCanvas), uint32_t(eCmdTracingImage), uint32_t(eCmdTracingSetting3)}) {
        int32_t zero = 0;
        ASSERT_EQ(Set(eCmdModified, ChannelValueOf(&zero)), 0);
        EXPECT_EQ(Set(id, 0), 0);
        EXPECT_EQ(backbone.Modified(), 1) << std::hex << id;
        EXPECT_EQ(UiCount(id), 1);
    }
    EXPECT_EQ(backbone.m_pSpyCanvas->m_nClearCalls, 1);
}

// What the project keeps of the tracing image marks the painting when it
// is set, whoever sets it; reading it (the tracing menu's ticks) or
// choosing a paper, which the project does not keep, never does.
TEST_F(Backbone, TracingSetsMarkModifiedAndGetsAndPapersDoNot) {
    Init();
    struct SCase {
        uint32_t id;
        int32_t set;
        bool address; // the value points at a long
        int32_t marks;
    } const kCases[] = {
        {eCmdClearTracing, 1, false, 1},   {eCmdTracingMode, 1, false, 1},
        {eCmdTracingSetting2, 1, true, 1}, {eCmdTracingSetting3, 1, true, 1},
        {eCmdTracingSetting3, 0, true, 0}, {eCmdTracingSetting2, 0, true, 0},
        {eCmdTracingMode, 0, true, 0},     {eCmdGetTracing, 0, true, 0},
        {eCmdCanvasTexture, 1, true, 0},   {eCmdCanvasTexture, 0, true, 0},
    };
    for (const SCase& c : kCases) {
        SCOPED_TRACE(::testing::Message() << std::hex << c.id << (c.set ? " set" : " get"));
        int32_t zero = 0;
        ASSERT_EQ(Set(eCmdModified, ChannelValueOf(&zero)), 0);
        int64_t slot = 1; // wide enough for a pointer written by a get
        const int64_t value = c.address ? ChannelValueOf(&slot) : 1;
        EXPECT_EQ(backbone.ProcessData(c.id, &ui, value, c.set), 0);
        EXPECT_EQ(backbone.Modified(), c.marks);
    }
}

TEST_F(Backbone, NewProjectTakesTheInformationAndClearsModified) {
    Init();
    ASSERT_EQ(Set(eCmdSelectTool, eToolChalk), 0);
    ASSERT_EQ(Set(eCmdMarkModified, 0), 0);
    CProjectInfo info;
    info.m_nWidth = 640;
    info.m_nHeight = 480;
    ASSERT_EQ(info.m_Name.CopyString("Harbour"), eNoError);
    info.m_nPaperTexture = 2;
    Tool(eToolChalk)->m_Log.m_Calls.clear();

    EXPECT_EQ(Set(eCmdNewProject, ChannelValueOf(&info)), 0);
    EXPECT_EQ(backbone.ProjectInfo().m_nWidth, 640);
    EXPECT_EQ(backbone.ProjectInfo().m_nHeight, 480);
    EXPECT_EQ(U(backbone.ProjectInfo().m_Name), "Harbour");
    EXPECT_EQ(backbone.ProjectInfo().m_nPaperTexture, 0u) << "the start value stays";
    EXPECT_EQ(backbone.Modified(), 0);
    EXPECT_EQ(Tool(eToolChalk)->m_Log.Count(eMsgPaintColour), 1) << "the brush is cleaned";
    EXPECT_EQ(backbone.m_pSpyCanvas->m_Log.Count(eCmdNewProject), 1);
    EXPECT_EQ(UiCount(eCmdNewProject), 1);
}

TEST_F(Backbone, FailedNewProjectLeavesTheProjectAsItWas) {
    Init();
    backbone.m_pSpyCanvas->m_Log.m_Answers[eCmdNewProject] = eOutOfMemory;
    ASSERT_EQ(Set(eCmdMarkModified, 0), 0);
    CProjectInfo info;
    info.m_nWidth = 640;
    info.m_nHeight = 480;
    ASSERT_EQ(info.m_Name.CopyString("Harbour"), eNoError);
    ASSERT_EQ(info.m_TracingPath.CopyString("HD:trace.png"), eNoError);
    backbone.m_pSpyCanvas->SetTracingDisplay(0);

    EXPECT_EQ(Set(eCmdNewProject, ChannelValueOf(&info)), eOutOfMemory);
    EXPECT_EQ(backbone.ProjectInfo().m_nWidth, 800);
    EXPECT_EQ(backbone.ProjectInfo().m_nHeight, 600);
    EXPECT_EQ(U(backbone.ProjectInfo().m_Name), "%%%");
    EXPECT_EQ(backbone.Modified(), 1);
    EXPECT_EQ(backbone.m_pSpyCanvas->TracingDisplay(), 0);
    EXPECT_EQ(UiCount(eCmdNewProject), 0);
}

TEST_F(Backbone, NewProjectOfBadSizeIsRefusedByTheRealCanvas) {
    backbone.m_fCanvasPassesOn = 1;
    Init();
    CProjectInfo good;
    good.m_nWidth = 120;
    good.m_nHeight = 100;
    ASSERT_EQ(Set(eCmdNewProject, ChannelValueOf(&good)), 0);
    ASSERT_EQ(backbone.Canvas()->Width(), 120);
    for (auto [w, h] : {std::pair{0, 600}, std::pair{800, 0}, std::pair{-5, -5}}) {
        SCOPED_TRACE(testing::Message() << w << " x " << h);
        CProjectInfo bad;
        bad.m_nWidth = w;
        bad.m_nHeight = h;
        app.m_Alerts.clear();
        EXPECT_EQ(Set(eCmdNewProject, ChannelValueOf(&bad)), eBadParameter);
        ASSERT_EQ(app.m_Alerts.size(), 1u);
        EXPECT_EQ(app.m_Alerts[0].text, AlertText(6, "CCanvas Failed to set up a new project."));
        EXPECT_EQ(backbone.ProjectInfo().m_nWidth, 120);
        EXPECT_EQ(backbone.Canvas()->Width(), 120);
        EXPECT_EQ(backbone.Canvas()->Height(), 100);
    }
}

} // namespace
