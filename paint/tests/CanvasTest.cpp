// The canvas: layers of a new project, the paper grain, clearing, and its
// ids of the data channel.

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "imaging/Blur.h"
#include "imaging/ImNav.h"
#include "paint/Backbone.h"
#include "paint/ChannelValue.h"
#include "paint/canvas/Canvas.h"
#include "paint/project/ProjectInfo.h"
#include "paint/tests/PaperFile.h"
#include "testsupport/foundation/FailingMemory.h"
#include "testsupport/foundation/RecordingModule.h"
#include "testsupport/paint/SpyTool.h"

namespace {

// A picture whose red bytes vary; green and blue carry other values the
// grain must ignore.
void PaintTexture(CImage& image, int32_t width, int32_t height, uint32_t seed) {
    ASSERT_EQ(image.Create(width, height), eNoError);
    CImNav view(&image);
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            const uint32_t red = 16 + (seed * 37 + uint32_t(x) * 53 + uint32_t(y) * 97) % 225;
            view.Row(y)[x] = 0xFF000000u | (red << 16) | (uint32_t(x * 40) << 8) | uint32_t(y);
        }
    }
}

// The words of an image, row after row.
std::vector<uint32_t> Words(CImage* image) {
    CImNav view(image);
    std::vector<uint32_t> words;
    for (int32_t y = 0; y < view.GetHeight(); ++y) {
        for (int32_t x = 0; x < view.GetWidth(); ++x) {
            words.push_back(view.Row(y)[x]);
        }
    }
    return words;
}

class Canvas : public PaperFile {
protected:
    void SetUp() override {
        PaperFile::SetUp();
        PaintTexture(m_Paper80, 7, 5, 1);
        PaintTexture(m_Paper81, 3, 2, 2);
        // 82 is missing; 83 is a picture with no pixels.
        Install(PaperBlock(80, m_Paper80) + PaperBlock(81, m_Paper81) + EmptyBmpBlock(83, 0, 0));
        ASSERT_EQ(canvas.Initialise(), eNoError);
    }

    error NewProject(int32_t width, int32_t height, uint32_t texture = 0) {
        CProjectInfo info;
        info.m_nWidth = width;
        info.m_nHeight = height;
        info.m_nPaperTexture = texture;
        info.m_nCanvasSetting = 0xFFFFFFFAu;
        return canvas.CreateProject(&info);
    }

    // L1 as FillBumpWithCanvasTexture lays it: the paper's red byte tiled
    // from the top-left corner into the high half, blurred at radius 0.5.
    std::vector<uint32_t> ExpectedHeight(CImage& paper, const std::vector<uint32_t>& low) {
        const int32_t w = canvas.Width(), h = canvas.Height();
        CImage expected(w, h);
        CImNav out(&expected), tile(&paper);
        for (int32_t y = 0; y < h; ++y) {
            for (int32_t x = 0; x < w; ++x) {
                const uint32_t t = tile.Row(y % tile.GetHeight())[x % tile.GetWidth()];
                out.Row(y)[x] = (t & 0x00FF0000u) | low[size_t(y) * size_t(w) + size_t(x)];
            }
        }
        EXPECT_NE(CBlur::GaussianBlur(&expected, 0.5f, 1), 0);
        return Words(&expected);
    }
    std::vector<uint32_t> ExpectedHeight(CImage& paper) {
        return ExpectedHeight(
            paper, std::vector<uint32_t>(size_t(canvas.Width()) * size_t(canvas.Height()), 0));
    }

    std::vector<uint32_t> Layer(int32_t which) { return Words(canvas.Layer(which)); }

    CImage m_Paper80, m_Paper81;
    CCanvas canvas;
};

TEST_F(Canvas, NewProjectHasBlankLayersOnTheTiledGrain) {
    ASSERT_EQ(NewProject(800, 600), eNoError);
    EXPECT_EQ(canvas.Width(), 800);
    EXPECT_EQ(canvas.Height(), 600);
    EXPECT_EQ(canvas.DisplayScale(), 1.0f);
    EXPECT_EQ(canvas.FirstInvalidRow(), 0x7FFFFFFF);
    EXPECT_EQ(canvas.LastInvalidRow(), -1);
    EXPECT_EQ(canvas.PaperColour(), 0xFFFFFFFAu);

    const std::vector<uint32_t> zeros(800 * 600, 0);
    EXPECT_EQ(Layer(CCanvasLayers::kColour), zeros);
    EXPECT_EQ(Layer(CCanvasLayers::kFinish), zeros);
    EXPECT_EQ(Layer(CCanvasLayers::kComposite), zeros);
    const std::vector<uint32_t> height = ExpectedHeight(m_Paper80);
    EXPECT_EQ(Layer(CCanvasLayers::kHeight), height);
    std::vector<uint32_t> grain;
    for (uint32_t v : height) {
        grain.push_back(v >> 16);
    }
    EXPECT_EQ(Layer(CCanvasLayers::kGrain), grain);

    // Pixel memory: one block per image, rows without padding.
    for (int32_t i = 0; i < CCanvasLayers::kCount; ++i) {
        ASSERT_NE(canvas.LayerView(i), nullptr);
        EXPECT_EQ(canvas.LayerView(i)->GetStride(), 800);
    }
    ASSERT_NE(canvas.SpanStarts(), nullptr);
    ASSERT_EQ(canvas.SpanStarts()->GetCount(), 600u);
    EXPECT_EQ(canvas.SpanStarts()->GetData()[599], 0x7FFFFFFF);
    EXPECT_EQ(canvas.SpanEnds()->GetData()[0], -1);
}

TEST_F(Canvas, TextureIdsAboveThreeGivePaperEighty) {
    for (uint32_t texture : {7u, 0xFFFFFFFFu}) {
        SCOPED_TRACE(texture);
        ASSERT_EQ(NewProject(20, 11, texture), eNoError);
        EXPECT_EQ(canvas.PaperTexture(), 0u);
        EXPECT_EQ(Layer(CCanvasLayers::kHeight), ExpectedHeight(m_Paper80));
    }
    // Set through the channel, the id is kept and its paper is 80's.
    ASSERT_EQ(NewProject(20, 11, 1), eNoError);
    int32_t minusOne = -1;
    EXPECT_EQ(canvas.ProcessData(eCmdCanvasTexture, this, ChannelValueOf(&minusOne), 1), 0);
    uint32_t read = 0;
    EXPECT_EQ(canvas.ProcessData(eCmdCanvasTexture, this, ChannelValueOf(&read), 0), 0);
    EXPECT_EQ(read, 0xFFFFFFFFu);
    EXPECT_EQ(Layer(CCanvasLayers::kHeight), ExpectedHeight(m_Paper80));
}

TEST_F(Canvas, ChangingThePaperKeepsPaintDepthAndMark) {
    ASSERT_EQ(NewProject(13, 9), eNoError);
    std::vector<uint32_t> depth;
    {
        CPixel* height = canvas.LayerView(CCanvasLayers::kHeight)->GetData();
        CPixel* mark = canvas.LayerView(CCanvasLayers::kGrain)->GetData();
        for (uint32_t i = 0; i < 13 * 9; ++i) {
            depth.push_back((i * 4099u) & 0xFFFFu);
            height[i] = (uint32_t(height[i]) & 0xFFFF0000u) | depth.back();
            mark[i] = (uint32_t(mark[i]) & 0xFFFFu) | ((i + 1) << 16);
        }
    }
    uint32_t texture = 1;
    EXPECT_EQ(canvas.ProcessData(eCmdCanvasTexture, this, ChannelValueOf(&texture), 1), 0);
    EXPECT_EQ(canvas.PaperTexture(), 1u);
    const std::vector<uint32_t> height = ExpectedHeight(m_Paper81, depth);
    EXPECT_EQ(Layer(CCanvasLayers::kHeight), height);
    const std::vector<uint32_t> grain = Layer(CCanvasLayers::kGrain);
    for (uint32_t i = 0; i < 13 * 9; ++i) {
        ASSERT_EQ(height[i] & 0xFFFFu, depth[i]) << i;
        ASSERT_EQ(grain[i], ((i + 1) << 16) | (height[i] >> 16)) << i;
    }
}

TEST_F(Canvas, MissingOrEmptyPaperGivesGrainZero) {
    // Paper 83 is a picture of no pixels: never tiled (that would divide by
    // zero), whether it loads or not.
    for (uint32_t texture : {2u, 3u}) {
        SCOPED_TRACE(texture);
        ASSERT_EQ(NewProject(9, 4), eNoError);
        {
            CPixel* height = canvas.LayerView(CCanvasLayers::kHeight)->GetData();
            for (int32_t i = 0; i < 36; ++i) {
                height[i] = uint32_t(height[i]) | 0x1234u;
            }
        }
        EXPECT_EQ(canvas.ProcessData(eCmdCanvasTexture, this, ChannelValueOf(&texture), 1), 0);
        EXPECT_EQ(Layer(CCanvasLayers::kHeight), std::vector<uint32_t>(36, 0x1234u));
        EXPECT_EQ(Layer(CCanvasLayers::kGrain), std::vector<uint32_t>(36, 0u));
        ASSERT_EQ(NewProject(9, 4, texture), eNoError);
        EXPECT_EQ(Layer(CCanvasLayers::kHeight), std::vector<uint32_t>(36, 0u));
    }
}

TEST_F(Canvas, ClearingKeepsTheGrainAndWipesThePaint) {
    ASSERT_EQ(NewProject(10, 6), eNoError);
    const std::vector<uint32_t> height = ExpectedHeight(m_Paper80);
    for (int32_t which = 0; which <= CCanvasLayers::kGrain; ++which) {
        CPixel* p = canvas.LayerView(which)->GetData();
        for (int32_t i = 0; i < 60; ++i) {
            p[i] = uint32_t(p[i]) | (which == CCanvasLayers::kGrain ? 0x7F7F0000u : 0x3F3Fu);
        }
    }
    EXPECT_EQ(canvas.ClearCanvas(), eNoError);
    EXPECT_EQ(Layer(CCanvasLayers::kColour), std::vector<uint32_t>(60, 0));
    EXPECT_EQ(Layer(CCanvasLayers::kFinish), std::vector<uint32_t>(60, 0));
    EXPECT_EQ(Layer(CCanvasLayers::kHeight), height);
    std::vector<uint32_t> grain;
    for (uint32_t v : height) {
        grain.push_back(v >> 16);
    }
    EXPECT_EQ(Layer(CCanvasLayers::kGrain), grain) << "the mark is cleared too";

    CCanvas empty;
    EXPECT_EQ(empty.ClearCanvas(), eOutOfMemory);
}

TEST_F(Canvas, BadSizesAreRefusedAndTheProjectStays) {
    ASSERT_EQ(NewProject(10, 6), eNoError);
    CImage* l0 = canvas.Layer(CCanvasLayers::kColour);
    for (auto [w, h] : {std::pair{0, 600}, std::pair{800, 0}, std::pair{-5, -5}}) {
        EXPECT_EQ(NewProject(w, h), eBadParameter) << w << " x " << h;
        EXPECT_EQ(canvas.Width(), 10);
        EXPECT_EQ(canvas.Height(), 6);
        EXPECT_EQ(canvas.Layer(CCanvasLayers::kColour), l0);
    }
    EXPECT_EQ(canvas.CreateProject(nullptr), eBadParameter);
}

TEST_F(Canvas, RefusedMemoryLeavesTheOpenProjectAsItWas) {
    ASSERT_EQ(NewProject(30, 20, 1), eNoError);
    CPixel* l0 = canvas.LayerView(CCanvasLayers::kColour)->GetData();
    for (int32_t i = 0; i < 600; ++i) {
        l0[i] = 0xFF000000u | uint32_t(i);
    }
    uint32_t paper = 0xFF102030u;
    ASSERT_EQ(canvas.ProcessData(eCmdCanvasSetting, this, ChannelValueOf(&paper), 1), 0);
    std::vector<std::vector<uint32_t>> before;
    for (int32_t i = 0; i < CCanvasLayers::kCount; ++i) {
        before.push_back(Layer(i));
    }
    CImage* images[CCanvasLayers::kCount];
    for (int32_t i = 0; i < CCanvasLayers::kCount; ++i) {
        images[i] = canvas.Layer(i);
    }

    // Every block of the new project refused in turn: by size (the first
    // layer), then after each number of allocations that succeed.
    {
        CRefuseLargeBlocks refuse(1000);
        EXPECT_EQ(NewProject(300, 200, 0), eCreateFailed);
    }
    for (int32_t allowed = 0; allowed < 17; ++allowed) {
        CFailingMemory failing(allowed);
        const error e = NewProject(300, 200, 0);
        EXPECT_TRUE(e == eCreateFailed || e == eOutOfMemory) << allowed << ": " << e;
    }
    EXPECT_EQ(canvas.Width(), 30);
    EXPECT_EQ(canvas.Height(), 20);
    EXPECT_EQ(canvas.PaperTexture(), 1u);
    EXPECT_EQ(canvas.PaperColour(), 0xFF102030u);
    for (int32_t i = 0; i < CCanvasLayers::kCount; ++i) {
        EXPECT_EQ(canvas.Layer(i), images[i]);
        EXPECT_EQ(Layer(i), before[size_t(i)]) << i;
    }
    EXPECT_EQ(canvas.SpanStarts()->GetCount(), 20u);
}

TEST_F(Canvas, ProtectImagesAreMadeOnce) {
    for (int32_t i = 0; i < 4; ++i) {
        EXPECT_EQ(canvas.ProtectImage(i).GetWidth(), CCanvas::kProtectSide);
        EXPECT_EQ(canvas.ProtectImage(i).GetHeight(), CCanvas::kProtectSide);
    }
    void* before = nullptr;
    ASSERT_EQ(canvas.ProtectImage(2).Lock(before), eNoError);
    ASSERT_EQ(canvas.Initialise(), eNoError);
    void* after = nullptr;
    ASSERT_EQ(canvas.ProtectImage(2).Lock(after), eNoError);
    EXPECT_EQ(before, after) << "an image of the right size is kept";
}

TEST_F(Canvas, SettingsAreSetAndGot) {
    const struct {
        uint32_t id;
        int32_t value;
    } settings[] = {{eCmdCanvasSetting, int32_t(0xFF804020)},
                    {eCmdTracingSetting2, 0},
                    {eCmdTracingSetting3, 2}};
    for (const auto& s : settings) {
        int32_t value = s.value, read = 77;
        EXPECT_EQ(canvas.ProcessData(s.id, this, ChannelValueOf(&value), 1), 0);
        EXPECT_EQ(canvas.ProcessData(s.id, this, ChannelValueOf(&read), 0), 0);
        EXPECT_EQ(read, s.value) << std::hex << s.id;
    }
    EXPECT_EQ(canvas.PaperColour(), 0xFF804020u);
    EXPECT_EQ(canvas.TracingColourPick(), 0);
    EXPECT_EQ(canvas.TracingFitMode(), 2);
    CImage* tracing = &m_Paper80;
    EXPECT_EQ(canvas.ProcessData(eCmdGetTracing, this, ChannelValueOf(&tracing), 0), 0);
    EXPECT_EQ(tracing, nullptr);
    EXPECT_EQ(canvas.ProcessData(eCmdCanvasSetting, this, 0, 1), eBadParameter);
}

TEST_F(Canvas, TracingToggleGoesRoundTheChain) {
    RegisterSpyTools();
    CSMKBackbone backbone;
    CRecordingModule ui;
    gCCmdTarget::SetBackboneModule(&backbone);
    gCCmdTarget::SetUIModule(&ui);
    ASSERT_EQ(backbone.ProcessData(eCmdInitBackbone, &ui, 0, 1), 0);
    CCanvas& c = *backbone.Canvas();
    ASSERT_EQ(c.TracingDisplay(), 1);
    ui.m_Calls.clear();
    EXPECT_EQ(c.ProcessData(eCmdTracingMode, &ui, 2, 1), 0);
    EXPECT_EQ(c.TracingDisplay(), 0);
    EXPECT_EQ(c.ProcessData(eCmdTracingMode, &ui, 2, 1), 0);
    EXPECT_EQ(c.TracingDisplay(), 1);
    ASSERT_EQ(ui.m_Calls.size(), 2u);
    EXPECT_EQ(ui.m_Calls[0].value, 0);
    EXPECT_EQ(ui.m_Calls[1].value, 1);
    EXPECT_EQ(ui.m_Calls[0].sender, &c);
    int32_t read = 5;
    EXPECT_EQ(c.ProcessData(eCmdTracingMode, &ui, ChannelValueOf(&read), 0), 0);
    EXPECT_EQ(read, 1);
    EXPECT_EQ(c.ProcessData(eCmdTracingMode, &ui, 0, 1), 0);
    EXPECT_EQ(c.TracingDisplay(), 0);
    EXPECT_EQ(c.ProcessData(eCmdTracingMode, &ui, 7, 1), 0);
    EXPECT_EQ(c.TracingDisplay(), 0) << "other values change nothing";

    // The canvas caches the backbone's current tool.
    ASSERT_EQ(backbone.ProcessData(eCmdSelectTool, &ui, eToolOilPaint, 1), 0);
    EXPECT_EQ(c.CurrentTool(), backbone.CurrentTool());
    ASSERT_EQ(backbone.ProcessData(eCmdNoTool, &ui, 0, 1), 0);
    EXPECT_EQ(c.CurrentTool(), nullptr);
    gCCmdTarget::SetUIModule(nullptr);
    gCCmdTarget::SetBackboneModule(nullptr);
    ResetSpyTools();
}

// The canvas looks the backbone up once, when it is made: one registered
// later, or taken away, changes nothing for it, and a registered module that
// is not a backbone counts as none.
TEST_F(Canvas, KeepsTheBackboneRegisteredWhenItWasMade) {
    RegisterSpyTools();
    CRecordingModule ui;
    gCCmdTarget::SetUIModule(&ui);

    gCCmdTarget::SetBackboneModule(&ui); // a module, not a backbone
    CCanvas alone;
    CSMKBackbone backbone;
    gCCmdTarget::SetBackboneModule(&backbone);
    ASSERT_EQ(backbone.ProcessData(eCmdInitBackbone, &ui, 0, 1), 0);
    CCanvas& kept = *backbone.Canvas();
    gCCmdTarget::SetBackboneModule(nullptr);

    ui.m_Calls.clear();
    ASSERT_EQ(alone.ProcessData(eCmdTracingMode, &ui, 2, 1), 0);
    EXPECT_TRUE(ui.m_Calls.empty()) << "no backbone: the canvas toggles by itself";
    ASSERT_EQ(kept.ProcessData(eCmdTracingMode, &ui, 2, 1), 0);
    ASSERT_EQ(ui.m_Calls.size(), 1u) << "round the kept backbone's chain";
    EXPECT_EQ(ui.m_Calls[0].sender, &kept);
    EXPECT_EQ(kept.TracingDisplay(), 0);

    gCCmdTarget::SetUIModule(nullptr);
    ResetSpyTools();
}

} // namespace
