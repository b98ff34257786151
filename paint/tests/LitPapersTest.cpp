// The four built papers lit bare, and a patch of paint-depth ramps on each:
// golden hashes, with the pictures under the build folder for the eye.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "FileIO/gCFRef.h"
#include "FileIO/gCFile.h"
#include "FileIO/gCResourceIndex.h"
#include "imaging/Image.h"
#include "paint/ChannelValue.h"
#include "paint/canvas/Canvas.h"
#include "paint/project/ProjectInfo.h"
#include "paint/relight/StandardRenderer.h"
#include "testsupport/FileIO/IndexedFile.h"
#include "testsupport/foundation/FakeAppServices.h"
#include "testsupport/imaging/Goldens.h"
#include "widgets/ImWidget.h"

namespace {

constexpr int32_t kSide = 256;

// Four bands of paint, each deeper to the right at its own slope.
void PaintRamps(CCanvas& canvas) {
    const uint32_t colours[] = {0xFFB03020u, 0xFF2050A0u, 0xFFE0C040u, 0xFFF8F8F8u};
    CImNav* l0 = canvas.LayerView(CCanvasLayers::kColour);
    CImNav* l1 = canvas.LayerView(CCanvasLayers::kHeight);
    CImNav* l2 = canvas.LayerView(CCanvasLayers::kFinish);
    for (int32_t y = 48; y < 208; ++y) {
        const int32_t band = (y - 48) / 40;
        for (int32_t x = 32; x < 224; ++x) {
            l0->Row(y)[x] = colours[band];
            const uint32_t depth = uint32_t((x - 32) * (band + 1) * 40);
            l1->Row(y)[x] = (uint32_t(l1->Row(y)[x]) & 0xFFFF0000u) | depth;
            l2->Row(y)[x] = 0xC0000000u;
        }
    }
}

const std::vector<SGoldenCrc> kLitPapers = {
    {"paper0-bare", 0x11130C38u},  {"paper0-ramps", 0x85E2F52Bu}, {"paper1-bare", 0x76C732C6u},
    {"paper1-ramps", 0xBEF9BD7Bu}, {"paper2-bare", 0xCA0B1FF8u},  {"paper2-ramps", 0x6ED4432Eu},
    {"paper3-bare", 0x1976FCB9u},  {"paper3-ramps", 0xB47C1D7Fu},
};

TEST(LitPapers, EachPaperBareAndUnderPaint) {
    gCFile file;
    gCResourceIndex index;
    ASSERT_TRUE(OpenIndexed(DAUBLIN_RESOURCE_DIR "/system.vrf", file, index));
    CFakeAppServices app;
    app.m_pResFile = &file;
    app.m_pResIndex = &index;

    CStandardRenderer renderer;
    ASSERT_EQ(renderer.SetupRenderer(), eNoError);
    CCanvas canvas;
    CProjectInfo info;
    info.m_nWidth = kSide;
    info.m_nHeight = kSide;
    info.m_nCanvasSetting = 0xFFFFFFFAu;
    ASSERT_EQ(canvas.CreateProject(&info), eNoError);
    std::vector<std::unique_ptr<CImage>> made;
    for (uint32_t texture = 0; texture <= 3; ++texture) {
        ASSERT_EQ(canvas.ClearCanvas(), eNoError); // the last paper's ramps go
        ASSERT_EQ(canvas.ProcessData(eCmdCanvasTexture, nullptr, ChannelValueOf(&texture), 1), 0);
        for (int32_t ramps = 0; ramps < 2; ++ramps) {
            if (ramps) {
                PaintRamps(canvas);
            }
            made.push_back(std::make_unique<CImage>(kSide, kSide));
            ASSERT_EQ(renderer.Render(made.back().get(), canvas, 1), eNoError);
        }
    }
    auto pictures = [&](size_t i) -> CImage& { return *made[i]; };
    EXPECT_GOLDEN_CRCS(kLitPapers, {"paper0-bare", pictures(0)}, {"paper0-ramps", pictures(1)},
                       {"paper1-bare", pictures(2)}, {"paper1-ramps", pictures(3)},
                       {"paper2-bare", pictures(4)}, {"paper2-ramps", pictures(5)},
                       {"paper3-bare", pictures(6)}, {"paper3-ramps", pictures(7)});
    EXPECT_TRUE(app.m_Alerts.empty());
    EXPECT_EQ(file.Close(), eNoError);
}

// Each paper bare and under the ramps, relit into the composite and drawn by
// the canvas widget's render procedure at scales 1 and 2 (at 1 a copy: the
// renderer's own pictures above).
const std::vector<SGoldenCrc> kDisplayedPapers = {
    {"display1-paper0-bare", 0x11130C38u},  {"display2-paper0-bare", 0xC12C359Bu},
    {"display1-paper0-ramps", 0x85E2F52Bu}, {"display2-paper0-ramps", 0x50499A46u},
    {"display1-paper1-bare", 0x76C732C6u},  {"display2-paper1-bare", 0x0F1E28D4u},
    {"display1-paper1-ramps", 0xBEF9BD7Bu}, {"display2-paper1-ramps", 0x312859AAu},
    {"display1-paper2-bare", 0xCA0B1FF8u},  {"display2-paper2-bare", 0xB6CD519Bu},
    {"display1-paper2-ramps", 0x6ED4432Eu}, {"display2-paper2-ramps", 0x4CFC5B2Eu},
    {"display1-paper3-bare", 0x1976FCB9u},  {"display2-paper3-bare", 0xCDA490D3u},
    {"display1-paper3-ramps", 0xB47C1D7Fu}, {"display2-paper3-ramps", 0x77495E6Au},
};

TEST(LitPapers, EachPaperDisplayedAtScalesOneAndTwo) {
    gCFile file;
    gCResourceIndex index;
    ASSERT_TRUE(OpenIndexed(DAUBLIN_RESOURCE_DIR "/system.vrf", file, index));
    CFakeAppServices app;
    app.m_pResFile = &file;
    app.m_pResIndex = &index;

    CStandardRenderer renderer;
    ASSERT_EQ(renderer.SetupRenderer(), eNoError);
    CCanvas canvas;
    CProjectInfo info;
    info.m_nWidth = kSide;
    info.m_nHeight = kSide;
    info.m_nCanvasSetting = 0xFFFFFFFAu;
    ASSERT_EQ(canvas.CreateProject(&info), eNoError);
    ASSERT_NE(canvas.Composite(), nullptr);
    CImWidget widget;
    std::vector<std::unique_ptr<CImage>> made;
    std::vector<std::string> names;
    for (uint32_t texture = 0; texture <= 3; ++texture) {
        ASSERT_EQ(canvas.ClearCanvas(), eNoError); // the last paper's ramps go
        ASSERT_EQ(canvas.ProcessData(eCmdCanvasTexture, nullptr, ChannelValueOf(&texture), 1), 0);
        for (int32_t ramps = 0; ramps < 2; ++ramps) {
            if (ramps) {
                PaintRamps(canvas);
            }
            ASSERT_EQ(renderer.Render(canvas.Composite(), canvas, 1), eNoError);
            for (const int32_t scale : {1, 2}) {
                const int32_t side = kSide * scale;
                canvas.SetScale(float(scale), 0);
                ASSERT_EQ(widget.SetSize(side, side, 0), eNoError);
                made.push_back(std::make_unique<CImage>(side, side));
                ASSERT_EQ(CCanvas::CanvasRenderProc(&canvas, &widget, gCRect(0, 0, side, side),
                                                    made.back().get(), 255),
                          eNoError);
                names.push_back("display" + std::to_string(scale) + "-paper" +
                                std::to_string(texture) + (ramps ? "-ramps" : "-bare"));
            }
        }
    }
    std::vector<SNamedPicture> pictures;
    for (size_t i = 0; i < made.size(); ++i) {
        pictures.push_back({names[i], *made[i]});
    }
    EXPECT_GOLDEN_CRCS(kDisplayedPapers, pictures);
    EXPECT_TRUE(app.m_Alerts.empty());
    EXPECT_EQ(file.Close(), eNoError);
}

} // namespace
