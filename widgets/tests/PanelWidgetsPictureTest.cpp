// The frame, mask and shadow-panel widgets together over a checkerboard,
// drawn by the render pass: a golden picture.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>

#include "imaging/ImNav.h"
#include "imaging/Image.h"
#include "imaging/Image8.h"
#include "testsupport/imaging/Goldens.h"
#include "testsupport/widgets/RecordingRoot.h"
#include "widgets/FrameWidget.h"
#include "widgets/MaskWidget.h"
#include "widgets/ShadWidget.h"
#include "widgets/tests/PixelTesting.h"

namespace {

// A ring of outer radius 28 and inner radius 14 in a 64 x 64 mask, its
// edges soft over about two pixels.
CImage8* RingMask() {
    auto* mask = new CImage8(64, 64);
    CImNav8 view(mask);
    for (int32_t y = 0; y < 64; ++y) {
        for (int32_t x = 0; x < 64; ++x) {
            const float d = std::hypot(float(x) - 31.5f, float(y) - 31.5f);
            const float inside = std::min(28.0f - d, d - 14.0f);
            const float coverage = std::clamp(inside * 0.5f + 0.5f, 0.0f, 1.0f);
            view.Row(y)[x] = uint8_t(std::lround(coverage * 255.0f));
        }
    }
    return mask;
}

} // namespace

TEST(PanelWidgets, FrameMaskAndShadowStripOverACheckerboard) {
    CRecordingRoot root(200, 120);
    auto* frame = AddPlaced<CFrameWidget>(root, gCRect(8, 8, 88, 68));
    ASSERT_EQ(frame->SetClientColour(0xFF3060A0u, 0), eNoError);
    ASSERT_EQ(frame->SetRegionColour(0xC0F0D040u, 0), eNoError);
    ASSERT_EQ(frame->AddRect(gCRect(0, 0, 80, 12), 0), eNoError);
    ASSERT_EQ(frame->AddRect(gCRect(20, 24, 60, 48), 0), eNoError);
    ASSERT_EQ(frame->RemoveRect(gCRect(30, 30, 50, 42), 0), eNoError);

    auto* ring = AddPlaced<CMaskWidget>(root, gCRect(100, 4, 164, 68));
    ASSERT_EQ(ring->SetClientColour(0xFFE04020u, 0), eNoError);
    ASSERT_EQ(ring->SetImage(RingMask(), 0, 0), eNoError);

    auto* strip = AddPlaced<CShadWidget>(root, gCRect(8, 76, 192, 112));
    ASSERT_EQ(strip->SetShadowLocation(CShadWidget::eShadowBottom | CShadWidget::eShadowLeft |
                                           CShadWidget::eShadowRight,
                                       0),
              eNoError);
    ASSERT_EQ(strip->SetShadowRadius(4.0f, 0), eNoError);
    ASSERT_EQ(strip->SetOpacity(200, 0), eNoError);

    auto picture = MakeImage(200, 120, [](int32_t x, int32_t y) {
        return ((x / 8) + (y / 8)) % 2 ? 0xFF909090u : 0xFFD8D8D8u;
    });
    ASSERT_EQ(root.PassRenderAreaTransparent(gCRect(0, 0, 200, 120), picture.get(), 255), eNoError);
    EXPECT_GOLDEN_PNG(*picture, "panel-widgets");
}
