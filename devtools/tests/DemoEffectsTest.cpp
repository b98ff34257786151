// The widgets demo's gradient panel, loaded from the demo's own compiled
// resources and drawn headless: the colours its smoke test (demo-smoke.sh)
// reads from the screen, worked out here from the gradient's table.

#include <gtest/gtest.h>

#include <memory>

#include "FileIO/gCFile.h"
#include "FileIO/gCResourceIndex.h"
#include "devtools/rc/PosixFile.h"
#include "foundation/Utf8.h"
#include "imaging/ImNav.h"
#include "imaging/Image.h"
#include "testsupport/FileIO/FakeResourceServices.h"
#include "testsupport/widgets/RecordingRoot.h"
#include "widgets/Widget.h"
#include "widgets/WidgetConstructor.h"
#include "widgets/effects/EffectGradient.h"

namespace {

uint32_t PixelAt(CImage& image, int32_t x, int32_t y) {
    CImNav view(&image);
    return view.Row(y)[x];
}

TEST(DemoEffects, TheGradientPanelShowsTheColoursTheSmokeTestReads) {
    CFakeResourceServices services;
    gCFile file;
    gCResourceIndex index;
    ASSERT_EQ(OpenPosixFile(file, DAUBLIN_DEMO_RESOURCE_DIR "/system.vrf", eAccessReadOnly),
              eNoError);
    ASSERT_EQ(index.SetupIndex(&file), eNoError);
    services.m_pResFile = &file;
    services.m_pResIndex = &index;
    gCString name;
    ASSERT_EQ(gStringFromUtf8(name, "DemoGradientPanel"), eNoError);
    std::unique_ptr<CWidget> panel(CWidgetConstructor::ConstructFromName(name, nullptr));
    ASSERT_NE(panel, nullptr);
    auto* gradient = dynamic_cast<CWidgetEffectGradient*>(panel->EffectOver(0));
    ASSERT_NE(gradient, nullptr);
    // At 600,60 in the window, drawn over the panel's own grey: Normal at
    // full alpha leaves the table's opaque colour.
    CRecordingRoot root(700, 160);
    ASSERT_EQ(root.AddChild(panel.get(), 0), eNoError);
    panel.release(); // the root owns it now
    // Angle 0.25 on 100 x 100: the indexes of the gradient effect's tests.
    const CGradientIndexer indexer = gradient->Indexer();
    EXPECT_EQ(indexer.Index(0, 50), 4094);
    EXPECT_EQ(indexer.Index(99, 50), 40);
    EXPECT_EQ(indexer.Index(50, 50), 2047);
    CImage picture(700, 160);
    ASSERT_EQ(root.PassRenderAreaTransparent(gCRect(600, 60, 700, 160), &picture, 255), eNoError);
    const CPixel* table = gradient->Gradient().Table();
    EXPECT_EQ(PixelAt(picture, 600, 110), uint32_t(table[4094]));
    EXPECT_EQ(PixelAt(picture, 699, 110), uint32_t(table[40]));
    EXPECT_EQ(PixelAt(picture, 650, 110), uint32_t(table[2047]));
    // The smoke test's values: round(255 x i / 4095) for i = 4094, 40, 2047.
    EXPECT_EQ(PixelAt(picture, 600, 110), 0xFFFFFFFFu);
    EXPECT_EQ(PixelAt(picture, 699, 110), 0xFF020202u);
    EXPECT_EQ(PixelAt(picture, 650, 110), 0xFF7F7F7Fu);
}

} // namespace
