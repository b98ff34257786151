// The brush preview with the real tools: every tool paints a sample of its
// own, the pressure weight shows, and a preview leaves the painting and its
// undo history exactly as they were.

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "FileIO/gCFile.h"
#include "FileIO/gCResourceIndex.h"
#include "foundation/Input.h"
#include "foundation/MessageIds.h"
#include "imaging/ImNav.h"
#include "paint/Backbone.h"
#include "paint/canvas/Canvas.h"
#include "paint/ChannelValue.h"
#include "paint/PaintTool.h"
#include "paint/project/ProjectInfo.h"
#include "paint/canvas/ProxyCanvas.h"
#include "paint/ToolId.h"
#include "testsupport/FileIO/IndexedFile.h"
#include "testsupport/foundation/FakeAppServices.h"
#include "testsupport/foundation/RecordingModule.h"
#include "testsupport/paint/StartedDocument.h"
#include "tools/RegisterPaintTools.h"

namespace {

using CWords = std::vector<uint32_t>;

constexpr int32_t kTools[] = {eToolOilPaint, eToolPencils, eToolPaletteKnife, eToolPens,
                              eToolChalk,    eToolCrayon,  eToolEraser};

CWords Words(CImage* image) {
    CImNav view(image);
    CWords words;
    for (int32_t y = 0; y < view.GetHeight(); ++y) {
        for (int32_t x = 0; x < view.GetWidth(); ++x) {
            words.push_back(uint32_t(view.Row(y)[x]));
        }
    }
    return words;
}

class BrushPreviewTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_rSavedWeight = CTabletSource::m_rWeight;
        // The papers of the built resource file, as the program has them.
        ASSERT_TRUE(OpenIndexed(DAUBLIN_RESOURCE_DIR "/system.vrf", m_File, m_Index));
        app.m_pResFile = &m_File;
        app.m_pResIndex = &m_Index;
        RegisterPaintTools();
        StartDocument(backbone, ui, 200, 150);
        // The preview's project, as the picker's widget gives it.
        CProjectInfo info;
        info.m_nWidth = 104;
        info.m_nHeight = 136;
        proxy = std::make_unique<CProxyCanvas>();
        ASSERT_EQ(proxy->Initialise(), eNoError);
        ASSERT_EQ(proxy->ProcessData(eCmdNewProject, &ui, ChannelValueOf(&info), 1), 0);
    }
    void TearDown() override {
        CTabletSource::m_rWeight = m_rSavedWeight;
        gCCmdTarget::SetUIModule(nullptr);
        gCCmdTarget::SetBackboneModule(nullptr);
        EXPECT_TRUE(app.m_Alerts.empty());
        EXPECT_EQ(m_File.Close(), eNoError);
    }

    void Select(int32_t id) {
        ASSERT_EQ(backbone.ProcessData(eCmdSelectTool, &ui, id, 1), 0);
        ASSERT_EQ(proxy->ProcessData(eCmdSelectTool, &ui, id, 1), 0);
    }
    // The preview's paint (colour, depth and finish) after a sample of the
    // tool at the weight.
    CWords Preview(int32_t id, float weight) {
        CTabletSource::m_rWeight = weight;
        Select(id);
        EXPECT_EQ(proxy->RenderBrushProxy(0), eNoError);
        return Paint();
    }
    CWords Paint() {
        CWords words;
        for (int32_t layer = CCanvasLayers::kColour; layer <= CCanvasLayers::kFinish; ++layer) {
            const CWords one = Words(proxy->Layer(layer));
            words.insert(words.end(), one.begin(), one.end());
        }
        return words;
    }
    // A real stroke of oil paint across the painting, in one undo record.
    void PaintTheCanvas() {
        CCanvas* canvas = backbone.Canvas();
        Select(eToolOilPaint);
        CPaintTool* tool = backbone.CurrentTool();
        ASSERT_NE(tool, nullptr);
        canvas->StartProtect();
        CTabletPoint s;
        s.x = 20.0f;
        s.y = 30.0f;
        s.pressure = 900.0f;
        ASSERT_EQ(tool->ToolDown(nullptr, canvas, s), eNoError);
        for (int32_t i = 1; i <= 40; ++i) {
            s.x = 20.0f + 4.0f * float(i);
            s.y = 30.0f + 2.0f * float(i);
            ASSERT_EQ(tool->ToolMove(nullptr, canvas, s), eNoError);
        }
        ASSERT_EQ(tool->ToolUp(nullptr, canvas, s), eNoError);
        canvas->EndProtect();
    }

    gCFile m_File;
    gCResourceIndex m_Index;
    CFakeAppServices app;
    CRecordingModule ui;
    CSMKBackbone backbone;
    // Made once the backbone is registered: a canvas keeps the backbone
    // registered when it is made.
    std::unique_ptr<CProxyCanvas> proxy;
    float m_rSavedWeight = 0.5f;
};

TEST_F(BrushPreviewTest, EveryToolPaintsASampleOfItsOwn) {
    ASSERT_EQ(proxy->ProcessData(eCmdNoTool, &ui, 0, 1), 0);
    ASSERT_EQ(proxy->RenderBrushProxy(0), eNoError);
    const CWords blank = Paint();

    std::vector<CWords> samples;
    for (const int32_t id : kTools) {
        samples.push_back(Preview(id, 0.5f));
        EXPECT_NE(samples.back(), blank) << "tool " << id;
    }
    // On the clean ground the crayon picks up no colour but its own, the
    // one difference it has from chalk: their samples are the same.
    auto sameMedium = [](int32_t a, int32_t b) {
        return (a == eToolChalk && b == eToolCrayon) || (a == eToolCrayon && b == eToolChalk);
    };
    for (size_t i = 0; i < samples.size(); ++i) {
        for (size_t j = i + 1; j < samples.size(); ++j) {
            if (sameMedium(kTools[i], kTools[j])) {
                EXPECT_EQ(samples[i], samples[j]);
                continue;
            }
            EXPECT_NE(samples[i], samples[j]) << "tools " << kTools[i] << " and " << kTools[j];
        }
    }
    // Each preview starts afresh: the same tool gives the same sample.
    EXPECT_EQ(Preview(kTools[0], 0.5f), samples[0]);
}

TEST_F(BrushPreviewTest, ThePressureWeightShows) {
    for (const int32_t id : kTools) {
        EXPECT_NE(Preview(id, 0.1f), Preview(id, 1.0f)) << "tool " << id;
    }
}

TEST_F(BrushPreviewTest, PreviewsLeaveThePaintingAndItsHistoryAlone) {
    PaintTheCanvas();
    CCanvas* canvas = backbone.Canvas();
    std::vector<CWords> before;
    for (int32_t layer = CCanvasLayers::kColour; layer <= CCanvasLayers::kComposite; ++layer) {
        before.push_back(Words(canvas->Layer(layer)));
    }
    CSMKUndoManager& undo = backbone.UndoManager();
    const int32_t position = undo.Position();
    const int32_t top = undo.Top();
    const std::vector<uint8_t> ring(undo.RingData(), undo.RingData() + undo.RingSize());
    ASSERT_EQ(undo.CanUndo(), 1);

    for (const float weight : {0.1f, 0.5f, 1.0f}) {
        for (const int32_t id : kTools) {
            (void)Preview(id, weight);
        }
    }
    for (int32_t layer = CCanvasLayers::kColour; layer <= CCanvasLayers::kComposite; ++layer) {
        EXPECT_EQ(Words(canvas->Layer(layer)), before[size_t(layer)]) << "layer " << layer;
    }
    EXPECT_EQ(undo.Position(), position);
    EXPECT_EQ(undo.Top(), top);
    EXPECT_EQ(std::vector<uint8_t>(undo.RingData(), undo.RingData() + undo.RingSize()), ring);
    EXPECT_EQ(undo.IsRecordOpen(), 0);
}

} // namespace
