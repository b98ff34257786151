// The colour widget: its pixels at every alpha, when the blend hook is
// used, the client-colour setter's invalidation, its mask and hit test.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <ostream>

#include "imaging/ImNav.h"
#include "imaging/Image.h"
#include "imaging/Image8.h"
#include "testsupport/widgets/RecordingRoot.h"
#include "widgets/CoWidget.h"
#include "widgets/tests/PixelTesting.h"
#include "widgets/tests/TestWidgets.h"

namespace {

constexpr uint32_t kBlue = 0xFF0000FFu;

struct SColourCase {
    const char* name;
    uint32_t client;
    uint32_t opacity;
    int32_t opaqueBlit;
    uint32_t expect;
    int32_t expectBlends; // calls of the blend hook over the 8 x 4 widget
};

void PrintTo(const SColourCase& c, std::ostream* os) {
    *os << c.name;
}

class ColourWidgetPixels : public ::testing::TestWithParam<SColourCase> {};

TEST_P(ColourWidgetPixels, FillTheWidgetsAreaOverWhatIsThere) {
    const SColourCase& c = GetParam();
    CRecordingRoot root(20, 10);
    auto* widget = AddPlaced<CCoWidget>(root, gCRect(2, 3, 10, 7));
    ASSERT_EQ(widget->SetClientColour(c.client, 0), eNoError);
    ASSERT_EQ(widget->SetOpacity(c.opacity, 0), eNoError);
    widget->SetOpaqueBlit(c.opaqueBlit);
    auto target = FilledImage(20, 10, kBlue);

    CCountingBlends blends;
    ASSERT_EQ(root.PassRenderAreaTransparent(gCRect(0, 0, 20, 10), target.get(), 255), eNoError);
    for (int32_t y = 0; y < 10; ++y) {
        for (int32_t x = 0; x < 20; ++x) {
            const bool inside = x >= 2 && x < 10 && y >= 3 && y < 7;
            ASSERT_EQ(PixelAt(*target, x, y), inside ? c.expect : kBlue) << x << "," << y;
        }
    }
    EXPECT_EQ(blends.Blends(), c.expectBlends);
}

INSTANTIATE_TEST_SUITE_P(
    CoWidget, ColourWidgetPixels,
    ::testing::Values(SColourCase{"OpaqueIsStored", 0xFFAABBCCu, 255, 0, 0xFFAABBCCu, 0},
                      SColourCase{"TransparentWithOpaqueBlitIsOpaque", 0x00AABBCCu, 255, 1,
                                  0xFFAABBCCu, 0},
                      // Red at 128 over blue: each channel d + floor((s - d + 1) * 128 / 256).
                      SColourCase{"HalfAlphaBlends", 0x80FF0000u, 255, 0, 0xFF800080u, 32},
                      SColourCase{"OpacityScalesTheAlpha", 0xFFFF0000u, 128, 0, 0xFF800080u, 32},
                      SColourCase{"OpacityZeroDrawsNothing", 0xFFAABBCCu, 0, 0, kBlue, 0},
                      SColourCase{"ClientAlphaZeroLeavesTheTarget", 0x00AABBCCu, 255, 0, kBlue, 32},
                      SColourCase{"Opacity300IsClamped", 0xFFAABBCCu, 300, 0, 0xFFAABBCCu, 0}),
    [](const ::testing::TestParamInfo<SColourCase>& info) { return info.param.name; });

TEST(CoWidget, ATargetThatCannotBeLockedGives5) {
    CCoWidget widget;
    CImage empty;
    EXPECT_EQ(widget.RenderArea(gCRect(0, 0, 4, 4), &empty, 255), eOutOfMemory);
    EXPECT_EQ(widget.RenderArea(gCRect(0, 0, 4, 4), &empty, 0), eNoError);
}

TEST(CoWidget, SetClientColourInvalidatesOnlyAChange) {
    CRecordingRoot root(200, 100);
    auto* widget = AddPlaced<CCoWidget>(root, gCRect(10, 10, 50, 30));
    root.m_aLog.clear();

    ASSERT_EQ(widget->SetClientColour(0xFFFFFFFFu, 1), eNoError); // the initial colour
    EXPECT_EQ(root.m_aLog, (Log{"redraw"}));
    root.m_aLog.clear();
    ASSERT_EQ(widget->SetClientColour(0xFF102030u, 0), eNoError);
    EXPECT_EQ(root.m_aLog, (Log{"dirty 10,10,50,30"}));
    EXPECT_EQ(uint32_t(widget->GetClientColour()), 0xFF102030u);
    root.m_aLog.clear();
    ASSERT_EQ(widget->SetClientColour(0x80102030u, 1), eNoError);
    EXPECT_EQ(root.m_aLog, (Log{"dirty 10,10,50,30", "redraw"}));
}

// The mask's bytes, row after row.
std::vector<uint8_t> BytesOf(CImage8& mask) {
    std::vector<uint8_t> out;
    CImNav8 view(&mask);
    for (int32_t y = 0; y < view.GetHeight(); ++y) {
        out.insert(out.end(), view.Row(y), view.Row(y) + view.GetWidth());
    }
    return out;
}

std::unique_ptr<CImage8> FilledMask(int32_t width, int32_t height, uint8_t value) {
    auto mask = std::make_unique<CImage8>(width, height);
    CImNav8(mask.get()).Fill(value);
    return mask;
}

TEST(CoWidget, GetAlphaFillsTheOverlapOfMaskAndWidget) {
    CRecordingRoot root(200, 100);
    auto* widget = AddPlaced<CCoWidget>(root, gCRect(10, 10, 20, 16)); // 10 x 6
    ASSERT_EQ(widget->SetClientColour(0x40FFFFFFu, 0), eNoError);

    EXPECT_EQ(widget->GetAlpha(nullptr), eNoError);
    CImage8 empty;
    EXPECT_EQ(widget->GetAlpha(&empty), eNoError);

    auto small = FilledMask(4, 3, 7);
    ASSERT_EQ(widget->GetAlpha(small.get()), eNoError);
    EXPECT_EQ(BytesOf(*small), std::vector<uint8_t>(12, 0x40));

    auto large = FilledMask(20, 10, 7);
    ASSERT_EQ(widget->GetAlpha(large.get()), eNoError);
    std::vector<uint8_t> expect(200, 7);
    for (int32_t y = 0; y < 6; ++y) {
        for (int32_t x = 0; x < 10; ++x) {
            expect[size_t(y * 20 + x)] = 0x40;
        }
    }
    EXPECT_EQ(BytesOf(*large), expect);

    widget->SetOpaqueBlit(1);
    ASSERT_EQ(widget->GetAlpha(small.get()), eNoError);
    EXPECT_EQ(BytesOf(*small), std::vector<uint8_t>(12, 255));

    // A compressed mask is left alone.
    auto packed = FilledMask(64, 64, 0);
    ASSERT_EQ(packed->Compress(), eNoError);
    ASSERT_TRUE(packed->IsCompressed());
    ASSERT_EQ(widget->GetAlpha(packed.get()), eNoError);
    ASSERT_TRUE(packed->IsCompressed());
    ASSERT_EQ(packed->Decompress(), eNoError);
    EXPECT_EQ(BytesOf(*packed), std::vector<uint8_t>(64 * 64, 0));
}

struct SOpaqueCase {
    uint32_t opacity;
    uint32_t threshold;
    int32_t expect;
};

TEST(CoWidget, OpaquePixelComparesOpacityWithTheThreshold) {
    for (const SOpaqueCase& c : {SOpaqueCase{0, 0, 1}, SOpaqueCase{10, 20, 0},
                                 SOpaqueCase{20, 20, 1}, SOpaqueCase{300, 255, 1}}) {
        CCoWidget widget;
        ASSERT_EQ(widget.SetOpacity(c.opacity, 0), eNoError);
        widget.SetOpaqueThreshold(c.threshold);
        gCPoint anywhere(-40, 900);
        EXPECT_EQ(widget.OpaquePixel(anywhere), c.expect) << c.opacity << " " << c.threshold;
    }
}

} // namespace
