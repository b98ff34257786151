// The rounded panel: corners, border and title band worked out from the
// drawing rules, the settings that remake its picture, a picture that
// cannot be replaced, panels too small or settings too wild for the rules,
// and one golden picture with every feature.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>
#include <ostream>
#include <vector>

#include "imaging/Image.h"
#include "testsupport/imaging/Goldens.h"
#include "testsupport/widgets/RecordingRoot.h"
#include "widgets/RoRectWidget.h"
#include "widgets/tests/PixelTesting.h"
#include "widgets/tests/TestWidgets.h"

namespace {

constexpr uint32_t kWhite = 0xFFFFFFFFu;
constexpr uint32_t kBlack = 0xFF000000u;
// White moved toward black by level 128, and that once more.
constexpr uint32_t kHalf = 0xFF7E7E7Eu;
constexpr uint32_t kQuarter = 0xFF3E3E3Eu;

struct SPanelSettings {
    float r = 20.0f;
    float b = 0.0f;
    float t = 0.0f;
    uint32_t corners = CRoRectWidget::eAllCorners;
};

// A white panel with a black border, drawn at its size.
std::unique_ptr<CRoRectWidget> MakePanel(int32_t width, int32_t height, const SPanelSettings& s) {
    auto panel = std::make_unique<CRoRectWidget>();
    EXPECT_EQ(panel->SetRadius(s.r, 0, 0), eNoError);
    EXPECT_EQ(panel->SetBorderWidth(s.b, 0, 0), eNoError);
    EXPECT_EQ(panel->SetTitleBarHeight(s.t, 0, 0), eNoError);
    EXPECT_EQ(panel->SetCornerFlags(s.corners, 0, 0), eNoError);
    EXPECT_EQ(panel->SetSize(width, height, 0), eNoError);
    return panel;
}

TEST(RoRectWidget, RoundedCornersAreTransparentOutsideTheRadius) {
    auto panel = MakePanel(100, 40, SPanelSettings{});
    CImage& image = *panel->Image();
    ASSERT_EQ(image.GetWidth(), 100);
    ASSERT_EQ(image.GetHeight(), 40);
    EXPECT_EQ(panel->Compressed(), 1);
    for (const gCPoint& corner : {gCPoint(0, 0), gCPoint(99, 0), gCPoint(0, 39), gCPoint(99, 39)}) {
        EXPECT_EQ(PixelAt(image, corner.x, corner.y), 0u) << PointText(corner);
    }
    EXPECT_EQ(PixelAt(image, 20, 20), kWhite);
    EXPECT_EQ(PixelAt(image, 50, 0), kWhite);
    // At distance sqrt(401) from the centre: alpha ((0xFFFFFF * (249 + 1)) >> 24).
    EXPECT_EQ(PixelAt(image, 0, 19), 0xF9FFFFFFu);
    EXPECT_EQ(PixelAt(image, 0, 20), 0xF9FFFFFFu);
}

TEST(RoRectWidget, WithoutCornersThePanelIsAPlainUncompressedRectangle) {
    for (const SPanelSettings& s : {SPanelSettings{20.0f, 0.0f, 0.0f, 0}, SPanelSettings{0.0f}}) {
        auto panel = MakePanel(100, 40, s);
        EXPECT_EQ(panel->Compressed(), 0);
        EXPECT_EQ(PixelsOf(*panel->Image()), std::vector<uint32_t>(4000, kWhite));
    }
}

// The expected pixel of a 100 x 40 panel without corners.
using Expectation = uint32_t (*)(int32_t x, int32_t y);

struct SBandCase {
    const char* name;
    float b;
    float t;
    Expectation expect;
};

void PrintTo(const SBandCase& c, std::ostream* os) {
    *os << c.name;
}

class PanelBands : public ::testing::TestWithParam<SBandCase> {};

TEST_P(PanelBands, FollowTheBorderAndTitleBand) {
    const SBandCase& c = GetParam();
    auto panel = MakePanel(100, 40, SPanelSettings{20.0f, c.b, c.t, 0});
    for (int32_t y = 0; y < 40; ++y) {
        for (int32_t x = 0; x < 100; ++x) {
            ASSERT_EQ(PixelAt(*panel->Image(), x, y), c.expect(x, y)) << x << "," << y;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(RoRectWidget, PanelBands,
                         ::testing::Values(
                             // Title rows 0..9, two columns each side, two bottom rows.
                             SBandCase{"Border2Title10", 2.0f, 10.0f,
                                       [](int32_t x, int32_t y) {
                                           const bool band = y < 10 || y >= 38 || x < 2 || x >= 98;
                                           return band ? kBlack : kWhite;
                                       }},
                             // One blended row and column on each side; where they cross, both.
                             SBandCase{"Border1Point5", 1.5f, 0.0f,
                                       [](int32_t x, int32_t y) {
                                           if (y == 0 || y == 39 || x == 0 || x == 99) {
                                               return kBlack;
                                           }
                                           const bool row = y == 1 || y == 38;
                                           const bool column = x == 1 || x == 98;
                                           return row && column   ? kQuarter
                                                  : row || column ? kHalf
                                                                  : kWhite;
                                       }}),
                         [](const ::testing::TestParamInfo<SBandCase>& info) {
                             return info.param.name;
                         });

TEST(RoRectWidget, ThePictureCannotBeReplaced) {
    auto panel = MakePanel(30, 20, SPanelSettings{5.0f});
    CImage* image = panel->Image();
    const std::vector<uint32_t> before = PixelsOf(*image);
    auto other = FilledImage(4, 4, kBlack);
    std::unique_ptr<gCImageList> list(new gCImageList(1));
    ASSERT_EQ(list->Add(FilledImage(4, 4, kBlack).release()), eNoError);
    ASSERT_EQ(list->Add(FilledImage(4, 4, kBlack).release()), eNoError);

    EXPECT_EQ(panel->SetImage(other.get(), 1, 1), eNoError);
    EXPECT_EQ(panel->SetImageList(list.get()), eNoError);
    EXPECT_EQ(panel->SetImage(1, 1, 1), eNoError);
    EXPECT_EQ(panel->AdvanceFrame(1, 1), eNoError);
    EXPECT_EQ(panel->Image(), image);
    EXPECT_EQ(panel->ImageList(), nullptr);
    EXPECT_EQ(panel->Width(), 30);
    EXPECT_EQ(PixelsOf(*image), before);
}

TEST(RoRectWidget, SettersRemakeThePictureWhenAsked) {
    CRecordingRoot root(200, 100);
    auto* panel = AddPlaced<CRoRectWidget>(root, gCRect(10, 10, 110, 50));
    ASSERT_NE(panel->Image(), nullptr);
    root.m_aLog.clear();

    // Without remake only the client area is invalidated.
    CImage* image = panel->Image();
    ASSERT_EQ(panel->SetBorderWidth(3.0f, 0, 0), eNoError);
    EXPECT_EQ(panel->Image(), image);
    EXPECT_EQ(PixelAt(*image, 50, 1), kWhite);
    EXPECT_EQ(root.m_aLog, (Log{"dirty 10,10,110,50"}));

    root.m_aLog.clear();
    ASSERT_EQ(panel->RemoveCornerFlags(CRoRectWidget::eTopLeft, 1, 1), eNoError);
    EXPECT_EQ(panel->CornerFlags(), 14u);
    EXPECT_EQ(PixelAt(*panel->Image(), 50, 1), kBlack); // the new border
    EXPECT_EQ(PixelAt(*panel->Image(), 0, 0), kBlack);  // a square corner
    EXPECT_EQ(PixelAt(*panel->Image(), 99, 0), 0u);
    // The effects' update invalidates the total rect, then the client area.
    EXPECT_EQ(root.m_aLog, (Log{"dirty 10,10,110,50", "dirty 10,10,110,50", "redraw"}));

    ASSERT_EQ(panel->SetClientColour(0xFF204060u, 1, 0), eNoError);
    EXPECT_EQ(PixelAt(*panel->Image(), 50, 20), 0xFF204060u);
    ASSERT_EQ(panel->SetBorderColour(0xFF804020u, 1, 0), eNoError);
    EXPECT_EQ(PixelAt(*panel->Image(), 50, 0), 0xFF804020u);
    ASSERT_EQ(panel->AddCornerFlags(CRoRectWidget::eTopLeft, 1, 0), eNoError);
    EXPECT_EQ(PixelAt(*panel->Image(), 0, 0), 0u);
    ASSERT_EQ(panel->SetTitleBarHeight(12.0f, 1, 0), eNoError);
    EXPECT_EQ(PixelAt(*panel->Image(), 50, 11), 0xFF804020u);
    ASSERT_EQ(panel->SetRadius(0.0f, 1, 0), eNoError);
    EXPECT_EQ(panel->Compressed(), 0);
}

struct SWildCase {
    const char* name;
    int32_t w;
    int32_t h;
    SPanelSettings s;
};

void PrintTo(const SWildCase& c, std::ostream* os) {
    *os << c.name;
}

class WildPanels : public ::testing::TestWithParam<SWildCase> {};

TEST_P(WildPanels, StayInsideTheirImage) {
    const SWildCase& c = GetParam();
    auto panel = MakePanel(c.w, c.h, c.s);
    ASSERT_NE(panel->Image(), nullptr);
    EXPECT_EQ(panel->Image()->GetWidth(), c.w);
    EXPECT_EQ(panel->Image()->GetHeight(), c.h);
    EXPECT_EQ(PixelsOf(*panel->Image()).size(), size_t(c.w) * size_t(c.h));
}

const float kNaN = std::numeric_limits<float>::quiet_NaN();
const float kInf = std::numeric_limits<float>::infinity();

INSTANTIATE_TEST_SUITE_P(
    RoRectWidget, WildPanels,
    ::testing::Values(SWildCase{"OneByOne", 1, 1, {20.0f, 0.0f, 0.0f, 15}},
                      SWildCase{"ThreeByTwo", 3, 2, {20.0f, 1.5f, 0.0f, 15}},
                      SWildCase{"BorderWiderThanPanel", 3, 2, {1.0f, 5.0f, 10.0f, 15}},
                      SWildCase{"TitleTallerThanPanel", 8, 6, {2.0f, 0.5f, 40.0f, 15}},
                      SWildCase{"NegativeBorder", 8, 6, {2.0f, -3.0f, 1.0f, 15}},
                      SWildCase{"NaN", 2, 7, {kNaN, kNaN, kNaN, 15}},
                      SWildCase{"Huge", 5, 5, {1e30f, 1e30f, 1e30f, 15}},
                      SWildCase{"HugeAndNegative", 5, 5, {-1e30f, -3.0f, 1e30f, 15}},
                      SWildCase{"Infinite", 6, 4, {kInf, 2.0f, -kInf, 15}},
                      SWildCase{"InfiniteBorder", 6, 4, {3.0f, kInf, 0.0f, 15}},
                      SWildCase{"NaNBorder", 4, 4, {2.0f, kNaN, 3.0f, 15}}),
    [](const ::testing::TestParamInfo<SWildCase>& info) { return info.param.name; });

TEST(RoRectWidget, OnePixelPanelIsTransparentWithRoundedCorners) {
    auto panel = MakePanel(1, 1, SPanelSettings{});
    EXPECT_EQ(PixelAt(*panel->Image(), 0, 0), 0u);
}

TEST(RoRectWidget, GoldenPanelWithEveryFeature) {
    auto panel = std::make_unique<CRoRectWidget>();
    ASSERT_EQ(panel->SetClientColour(0xFFE8E0D0u, 0, 0), eNoError);
    ASSERT_EQ(panel->SetBorderColour(0xFF303060u, 0, 0), eNoError);
    ASSERT_EQ(panel->SetRadius(16.0f, 0, 0), eNoError);
    ASSERT_EQ(panel->SetBorderWidth(2.5f, 0, 0), eNoError);
    ASSERT_EQ(panel->SetTitleBarHeight(14.0f, 0, 0), eNoError);
    ASSERT_EQ(panel->SetCornerFlags(CRoRectWidget::eTopLeft | CRoRectWidget::eTopRight |
                                        CRoRectWidget::eBottomRight,
                                    0, 0),
              eNoError);
    ASSERT_EQ(panel->SetSize(120, 80, 0), eNoError);
    ASSERT_EQ(panel->Compressed(), 1);
    const std::vector<uint32_t> pixels = PixelsOf(*panel->Image());
    auto picture =
        MakeImage(120, 80, [&](int32_t x, int32_t y) { return pixels[size_t(y * 120 + x)]; });
    EXPECT_GOLDEN_PNG(*picture, "rounded-panel");
}

} // namespace
