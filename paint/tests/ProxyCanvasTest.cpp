// The brush preview driven headless: a backbone with spy tools, the preview
// canvas on a project of the preview's size, the sample stroke read back
// from the spy's record.

#include <gtest/gtest.h>

#include <memory>

#include "foundation/Input.h"
#include "foundation/MessageIds.h"
#include "imaging/ImNav.h"
#include "paint/Backbone.h"
#include "paint/ChannelValue.h"
#include "paint/project/ProjectInfo.h"
#include "paint/canvas/ProxyCanvas.h"
#include "testsupport/foundation/RecordingModule.h"
#include "testsupport/paint/SpyTool.h"
#include "widgets/ImWidget.h"

namespace {

constexpr int32_t kPreviewWidth = 104;
constexpr int32_t kPreviewHeight = 136;
constexpr uint32_t kPainterColour = 0xFF3C5A1Eu;

class ProxyCanvasTest : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterSpyTools();
        gCCmdTarget::SetBackboneModule(&backbone);
        gCCmdTarget::SetUIModule(&ui);
        m_rSavedWeight = CTabletSource::m_rWeight;
        ASSERT_EQ(backbone.ProcessData(eCmdInitBackbone, &ui, 0, 1), 0);
        backbone.SetColourForProxy(kPainterColour);
        CProjectInfo info;
        info.m_nWidth = kPreviewWidth;
        info.m_nHeight = kPreviewHeight;
        proxy = std::make_unique<CProxyCanvas>();
        ASSERT_EQ(proxy->Initialise(), eNoError);
        ASSERT_EQ(proxy->ProcessData(eCmdNewProject, &backbone, ChannelValueOf(&info), 1), 0);
    }
    void TearDown() override {
        CTabletSource::m_rWeight = m_rSavedWeight;
        gCCmdTarget::SetUIModule(nullptr);
        gCCmdTarget::SetBackboneModule(nullptr);
        ResetSpyTools();
    }

    // The backbone's tool of that id made current, and the preview told.
    CSpyTool* Select(int32_t id) {
        EXPECT_EQ(backbone.ProcessData(eCmdSelectTool, &ui, id, 1), 0);
        EXPECT_EQ(proxy->ProcessData(eCmdSelectTool, &ui, id, 1), 0);
        auto* tool = static_cast<CSpyTool*>(backbone.CurrentTool());
        EXPECT_NE(tool, nullptr);
        return tool;
    }
    uint32_t Pixel(int32_t layer, int32_t x, int32_t y) const {
        return uint32_t(proxy->LayerView(layer)->Row(y)[x]);
    }

    CRecordingModule ui;
    CSMKBackbone backbone;
    // Made once the backbone is registered: a canvas keeps the backbone
    // registered when it is made.
    std::unique_ptr<CProxyCanvas> proxy;
    float m_rSavedWeight = 0.5f;
};

TEST_F(ProxyCanvasTest, PressuresFollowTheWeightAndOilPressesLighter) {
    struct Case {
        int32_t tool;
        float weight;
        float expected[10]; // down, eight moves, up
    };
    const Case cases[] = {
        {eToolPencils, 0.5f,
         {1024, 1024, 1024, 1024, 1024, 819.2f, 614.4f, 409.6f, 256, 102.4f}},
        {eToolOilPaint, 0.5f, {800, 800, 800, 800, 800, 640, 480, 320, 200, 80}},
        {eToolChalk, 0.25f, {640, 640, 640, 640, 640, 512, 384, 256, 160, 64}},
        // Above half weight the pressure is held at full.
        {eToolCrayon, 1.0f, {1024, 1024, 1024, 1024, 1024, 1024, 1024, 819.2f, 512, 204.8f}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.tool);
        CTabletSource::m_rWeight = c.weight;
        CSpyTool* tool = Select(c.tool);
        tool->m_Strokes.clear();
        ASSERT_EQ(proxy->RenderBrushProxy(0), eNoError);
        ASSERT_EQ(tool->m_Strokes.size(), 11u);
        EXPECT_EQ(tool->m_Strokes.front().kind, 'D');
        EXPECT_EQ(tool->m_Strokes.back().kind, 'U');
        for (size_t i = 0; i < 10; ++i) {
            EXPECT_FLOAT_EQ(tool->m_Strokes[i].pressure, c.expected[i]) << "call " << i;
        }
        EXPECT_FLOAT_EQ(tool->m_Strokes[10].pressure, c.expected[9]);
    }
}

TEST_F(ProxyCanvasTest, KnifeDragsDownThenBendsLeftAndOthersRunDiagonally) {
    const float ts[] = {0, 3, 7, 15, 20, 50, 77, 94, 98, 100, 100};
    for (const int32_t id : {eToolPaletteKnife, eToolPens}) {
        SCOPED_TRACE(id);
        CSpyTool* tool = Select(id);
        tool->m_Strokes.clear();
        ASSERT_EQ(proxy->RenderBrushProxy(0), eNoError);
        ASSERT_EQ(tool->m_Strokes.size(), 11u);
        const bool knife = id == eToolPaletteKnife;
        const float sx = knife ? 40.0f : 70.0f;
        const float sy = knife ? 0.0f : 15.0f;
        const float dx = ((knife ? 30.0f : 10.0f) - sx) / 100.0f;
        const float dy = (120.0f - sy) / 100.0f;
        for (size_t i = 0; i < 11; ++i) {
            const float t = ts[i];
            const float x = knife && i <= 4 ? sx : sx + dx * t;
            EXPECT_FLOAT_EQ(tool->m_Strokes[i].x, x) << "call " << i;
            EXPECT_FLOAT_EQ(tool->m_Strokes[i].y, sy + dy * t) << "call " << i;
        }
        if (knife) {
            EXPECT_FLOAT_EQ(tool->m_Strokes[4].x, 40.0f);
            EXPECT_FLOAT_EQ(tool->m_Strokes[4].y, 20.0f * 1.2f);
            EXPECT_FLOAT_EQ(tool->m_Strokes[10].x, 30.0f);
        }
    }
}

// The stroke runs with the sample colour, the pencils' flip and oil's
// noise at 0; the painter's colour, the flip and the noise are back after
// it, and after a stroke the tool broke off.
TEST_F(ProxyCanvasTest, PainterStateIsBackAfterAPreviewAndAfterAFailingMove) {
    struct Case {
        int32_t tool;
        int32_t failMoveAt;
        error expected;
        uint32_t strokeColour;
        int32_t strokeFlip;
    };
    const Case cases[] = {
        {eToolPencils, 0, eNoError, 0xFF000000u, 1},
        {eToolOilPaint, 0, eNoError, 0xFF6070A0u, 0},
        {eToolOilPaint, 3, eOutOfMemory, 0xFF6070A0u, 0},
        {eToolPencils, 6, eCreateFailed, 0xFF000000u, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.tool << " failing at " << c.failMoveAt);
        CSpyTool* tool = Select(c.tool);
        tool->m_Strokes.clear();
        tool->SetProfileFlip(c.strokeFlip ? 0 : 1);
        tool->m_nNoisePos = 77;
        tool->m_nPaintColour = kPainterColour;
        tool->m_nFailMoveAt = c.failMoveAt;
        tool->m_eFailCode = c.expected;
        EXPECT_EQ(proxy->RenderBrushProxy(0), c.expected);
        ASSERT_FALSE(tool->m_Strokes.empty());
        EXPECT_EQ(tool->m_Strokes.front().colour, c.strokeColour);
        EXPECT_EQ(tool->m_Strokes.front().flip, c.strokeFlip);
        EXPECT_EQ(tool->m_Strokes.front().noisePos, c.tool == eToolOilPaint ? 0u : 77u);
        EXPECT_EQ(uint32_t(backbone.CurrentColour()), kPainterColour);
        EXPECT_EQ(tool->m_nPaintColour, kPainterColour);
        EXPECT_EQ(tool->ProfileFlip(), c.strokeFlip ? 0 : 1);
        EXPECT_EQ(tool->m_nNoisePos, 77u);
        tool->m_nFailMoveAt = 0;
    }
}

TEST_F(ProxyCanvasTest, GroundsSuitTheTool) {
    Select(eToolEraser);
    ASSERT_EQ(proxy->ClearCanvas(), eNoError);
    EXPECT_EQ(Pixel(CCanvasLayers::kColour, 0, 0), CProxyCanvas::kEraserGround);
    EXPECT_EQ(Pixel(CCanvasLayers::kColour, kPreviewWidth - 1, kPreviewHeight - 1),
              0x6E242A3Cu);

    Select(eToolPaletteKnife);
    ASSERT_EQ(proxy->ClearCanvas(), eNoError);
    // The ridge: depth round(sin(y / 30 pi) x 128) in L1's low half.
    EXPECT_EQ(Pixel(CCanvasLayers::kHeight, 5, 0) & 0xFFFFu, 0u);
    EXPECT_EQ(Pixel(CCanvasLayers::kHeight, 5, 15) & 0xFFFFu, 128u);
    EXPECT_EQ(Pixel(CCanvasLayers::kHeight, 5, 5) & 0xFFFFu, 64u); // sin(pi/6) = 1/2
    EXPECT_EQ(Pixel(CCanvasLayers::kColour, 5, 29), 0xFF6070A0u);
    EXPECT_EQ(Pixel(CCanvasLayers::kFinish, 5, 29), 0x0000FFFFu);
    EXPECT_EQ(Pixel(CCanvasLayers::kColour, 5, 30), 0u);
    EXPECT_EQ(Pixel(CCanvasLayers::kHeight, 5, 30) & 0xFFFFu, 0u);

    // Another tool clears to the paper alone.
    Select(eToolPens);
    ASSERT_EQ(proxy->ClearCanvas(), eNoError);
    EXPECT_EQ(Pixel(CCanvasLayers::kColour, 5, 15), 0u);
    EXPECT_EQ(Pixel(CCanvasLayers::kHeight, 5, 15) & 0xFFFFu, 0u);
}

TEST_F(ProxyCanvasTest, WithoutAToolOrLayersNothingIsPainted) {
    EXPECT_EQ(proxy->ProcessData(eCmdNoTool, &ui, 0, 1), 0);
    EXPECT_EQ(proxy->RenderBrushProxy(0), eNoError);
    CProxyCanvas bare;
    EXPECT_EQ(bare.RenderBrushProxy(0), eNoError);
    EXPECT_EQ(bare.ClearCanvas(), eOutOfMemory);
    EXPECT_EQ(bare.SetupCanvasWidget(nullptr), eBadParameter);
}

// The widget's image is the mask: alpha 0 keeps the target, 255 copies the
// composite, 128 blends halfway by the standard blend.
TEST_F(ProxyCanvasTest, RenderProcShowsTheCompositeThroughTheWidgetImage) {
    CImWidget widget;
    auto mask = std::make_unique<CImage>(kPreviewWidth, kPreviewHeight);
    {
        CImNav m(mask.get());
        for (int32_t y = 0; y < kPreviewHeight; ++y) {
            m.Row(y)[0] = 0x00FFFFFFu;
            m.Row(y)[1] = 0xFFFFFFFFu;
            m.Row(y)[2] = 0x80FFFFFFu;
        }
    }
    ASSERT_EQ(widget.SetImage(mask.release(), 1, 0), eNoError);
    CImNav(proxy->Composite()).Fill(0xFFC86432u);

    CImage target(3, 2);
    CImNav(&target).Fill(0xFF000000u);
    const gCRect area(0, 0, 3, 2);
    ASSERT_EQ(CProxyCanvas::CanvasRenderProc(proxy.get(), &widget, area, &target, 255), eNoError);
    CImNav out(&target);
    EXPECT_EQ(uint32_t(out.Row(1)[0]), 0xFF000000u);
    EXPECT_EQ(uint32_t(out.Row(1)[1]), 0xFFC86432u);
    // r 0 + floor(201 x 128 / 256), g floor(101 x 128 / 256), b 51 likewise.
    EXPECT_EQ(uint32_t(out.Row(1)[2]), 0xFF643219u);
}

// The preview's project is its own: setting it up asks nothing of the
// backbone, so the painting's tracing image stays.
TEST(ProxyCanvasProject, LeavesThePaintingsTracingAlone) {
    CRecordingModule backbone;
    gCCmdTarget::SetBackboneModule(&backbone);
    auto proxy = std::make_unique<CProxyCanvas>();
    CImWidget widget;
    ASSERT_EQ(widget.SetSize(kPreviewWidth, kPreviewHeight, 0), eNoError);
    ASSERT_EQ(proxy->SetupCanvasWidget(&widget), eNoError);
    EXPECT_EQ(proxy->Width(), kPreviewWidth);
    EXPECT_EQ(proxy->Height(), kPreviewHeight);
    EXPECT_EQ(proxy->PaperColour(), 0xFFFFFFFAu);
    CProjectInfo info;
    info.m_nWidth = 50;
    info.m_nHeight = 60;
    EXPECT_EQ(proxy->ProcessData(eCmdNewProject, &backbone, ChannelValueOf(&info), 1), 0);
    EXPECT_TRUE(backbone.m_Calls.empty());
    gCCmdTarget::SetBackboneModule(nullptr);
}

} // namespace
