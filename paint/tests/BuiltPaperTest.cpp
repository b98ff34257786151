// The papers of the built resource file under a real canvas: every pixel of
// a large project has grain, whichever paper.

#include <gtest/gtest.h>

#include <string>

#include "FileIO/gCFRef.h"
#include "FileIO/gCFile.h"
#include "FileIO/gCResourceIndex.h"
#include "paint/ChannelValue.h"
#include "paint/canvas/Canvas.h"
#include "paint/project/ProjectInfo.h"
#include "testsupport/FileIO/IndexedFile.h"
#include "testsupport/foundation/FakeAppServices.h"

namespace {

TEST(BuiltPapers, LeaveNoPixelWithoutGrain) {
    gCFile file;
    gCResourceIndex index;
    ASSERT_TRUE(OpenIndexed(DAUBLIN_RESOURCE_DIR "/system.vrf", file, index));
    CFakeAppServices app;
    app.m_pResFile = &file;
    app.m_pResIndex = &index;

    CCanvas canvas;
    CProjectInfo info;
    info.m_nWidth = 1024;
    info.m_nHeight = 768;
    ASSERT_EQ(canvas.CreateProject(&info), eNoError);
    for (uint32_t texture = 0; texture <= 3; ++texture) {
        SCOPED_TRACE(texture);
        ASSERT_EQ(canvas.ProcessData(eCmdCanvasTexture, nullptr, ChannelValueOf(&texture), 1), 0);
        const CPixel* height = canvas.LayerView(CCanvasLayers::kHeight)->GetData();
        const CPixel* grain = canvas.LayerView(CCanvasLayers::kGrain)->GetData();
        uint32_t lowest = 0xFFFF, highest = 0;
        for (int32_t i = 0; i < 1024 * 768; ++i) {
            const uint32_t g = uint32_t(height[i]) >> 16;
            lowest = g < lowest ? g : lowest;
            highest = g > highest ? g : highest;
            ASSERT_EQ(uint32_t(grain[i]), g) << i;
        }
        EXPECT_GT(lowest, 0u);
        EXPECT_LE(highest, 255u);
        EXPECT_LT(lowest, highest);
    }
    EXPECT_TRUE(app.m_Alerts.empty());
    EXPECT_EQ(file.Close(), eNoError);
}

} // namespace
