// Whole pictures of the effects, reviewed by eye: a glass panel with the
// interface's drop shadow over mid-grey, a glow round a soft disc, a
// cut-out and a border on small panels.
#include <gtest/gtest.h>

#include <memory>

#include "testsupport/imaging/Goldens.h"
#include "widgets/CoWidget.h"
#include "widgets/RoRectWidget.h"
#include "widgets/effects/EffectBorder.h"
#include "widgets/effects/EffectCutout.h"
#include "widgets/effects/EffectGlow.h"
#include "widgets/effects/EffectShadow.h"
#include "widgets/tests/EffectTestSupport.h"

namespace {

// A root of w x h covered by a panel of the ground colour.
struct SScene {
    CRecordingRoot root;
    explicit SScene(int32_t w, int32_t h, uint32_t ground) : root(w, h) {
        auto* back = AddPlaced<CCoWidget>(root, gCRect(0, 0, w, h));
        EXPECT_EQ(back->SetClientColour(ground, 0), eNoError);
    }
    std::unique_ptr<CImage> Draw() {
        auto target = FilledImage(root.Width(), root.Height(), 0xFF000000u);
        EXPECT_EQ(root.PassRenderAreaTransparent(gCRect(0, 0, root.Width(), root.Height()),
                                                 target.get(), 255),
                  eNoError);
        return target;
    }
};

TEST(EffectGoldens, GlassPanelWithTheInterfaceShadow) {
    SScene scene(200, 140, 0xFF808080u);
    auto* panel = AddPlaced<CRoRectWidget>(scene.root, gCRect(30, 20, 170, 100));
    ASSERT_EQ(panel->SetClientColour(0xE01E1D1Au, 0, 0), eNoError);
    ASSERT_EQ(panel->SetBorderWidth(0.0f, 0, 0), eNoError);
    ASSERT_EQ(panel->SetRadius(10.0f, 1, 0), eNoError);
    auto* shadow = new CWidgetEffectShadow();
    ASSERT_EQ(shadow->SetRadius(12.0f, 0), eNoError);
    ASSERT_EQ(shadow->ShadowOffset(gCPoint(0, 4), 0), eNoError);
    ASSERT_EQ(shadow->Opacity(102, 0), eNoError);
    ASSERT_EQ(panel->AddEffectU(shadow, 0, 0), eNoError);
    ASSERT_NE(shadow->ShadowCache(), nullptr);
    auto picture = scene.Draw();
    // Beyond the extent the grey is untouched; just below the panel darker.
    EXPECT_EQ(PixelAt(*picture, 100, 139), 0xFF808080u);
    EXPECT_LT(PixelAt(*picture, 100, 101) & 0xFF, 0x80u);
    EXPECT_GOLDEN_PNG(*picture, "effect-shadow-panel");
}

TEST(EffectGoldens, GlowRoundASoftDisc) {
    SScene scene(160, 120, 0xFF26241Fu);
    auto* disc = AddPlaced<CImWidget>(scene.root, gCRect(50, 30, 110, 90));
    auto image = SoftDisc(60, 60);
    ASSERT_EQ(disc->SetImage(image.release(), 0, 0), eNoError);
    auto* glow = new CWidgetEffectGlow();
    ASSERT_EQ(glow->SetColour(0xFFE39B45u, 0), eNoError);
    ASSERT_EQ(glow->Opacity(160, 0), eNoError);
    ASSERT_EQ(disc->AddEffectU(glow, 0, 0), eNoError);
    auto picture = scene.Draw();
    EXPECT_GOLDEN_PNG(*picture, "effect-glow");
}

TEST(EffectGoldens, CutoutAndBorderOnSmallPanels) {
    SScene scene(200, 90, 0xFF26241Fu);
    auto* pressed = AddPlaced<CCoWidget>(scene.root, gCRect(10, 15, 90, 75));
    ASSERT_EQ(pressed->SetClientColour(0xFFA39C90u, 0), eNoError);
    auto* cutout = new CWidgetEffectCutout();
    ASSERT_EQ(cutout->SetRadius(3.0f, 0), eNoError);
    ASSERT_EQ(cutout->ShadowOffset(gCPoint(2, 2), 0), eNoError);
    ASSERT_EQ(pressed->AddEffectB(cutout, 0, 0), eNoError);
    auto* raised = AddPlaced<CCoWidget>(scene.root, gCRect(110, 15, 190, 75));
    ASSERT_EQ(raised->SetClientColour(0xFF6A655Cu, 0), eNoError);
    ASSERT_EQ(raised->AddEffectO(new CWidgetEffectBorder(), 0, 0), eNoError);
    auto picture = scene.Draw();
    EXPECT_GOLDEN_PNG(*picture, "effect-cutout-border");
}

} // namespace
