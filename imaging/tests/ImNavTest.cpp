#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <random>

#include "imaging/ImNav.h"
#include "imaging/tests/TestImages.h"

namespace {

struct ClipCase {
    const char* name;
    gCPoint origin;
    std::optional<gCRect> rect;
    gCRect area; // expected, in image coordinates
};

void PrintTo(const ClipCase& c, std::ostream* os) {
    *os << c.name;
}

class ViewClipping : public ::testing::TestWithParam<ClipCase> {};

TEST_P(ViewClipping, AreaIsMovedByTheOriginAndClippedToTheImage) {
    const ClipCase& c = GetParam();
    CImage image(8, 8);
    image.SetOrigin(c.origin);
    void* first = nullptr;
    ASSERT_EQ(image.Lock(first), eNoError);

    CImNav view(&image, c.rect ? &*c.rect : nullptr);
    ASSERT_EQ(view.IsLocked(), 1);
    EXPECT_EQ(view.GetArea(), c.area);
    EXPECT_EQ(view.GetWidth(), c.area.Width());
    EXPECT_EQ(view.GetHeight(), c.area.Height());
    EXPECT_EQ(view.GetStride(), 8);
    EXPECT_EQ(view.GetRowBytes(), 32);
    EXPECT_EQ(view.GetBytesPerPixel(), 4);
    EXPECT_EQ(view.GetData(), static_cast<CPixel*>(first) + c.area.top * 8 + c.area.left);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ViewClipping,
    ::testing::Values(
        ClipCase{"whole_image", {0, 0}, std::nullopt, {0, 0, 8, 8}},
        ClipCase{"overhanging_rect", {0, 0}, gCRect(-5, -5, 10, 10), {0, 0, 8, 8}},
        ClipCase{"overhanging_rect_with_origin", {2, 3}, gCRect(-5, -5, 10, 10), {0, 0, 8, 8}},
        ClipCase{"inner_rect_with_origin", {2, 3}, gCRect(1, 1, 3, 4), {3, 4, 5, 7}},
        ClipCase{"no_rect_with_origin_is_the_whole_image", {2, 3}, std::nullopt, {0, 0, 8, 8}},
        ClipCase{"no_rect_with_negative_origin", {-3, -1}, std::nullopt, {0, 0, 8, 8}},
        ClipCase{"rect_right_of_image", {0, 0}, gCRect(20, 2, 30, 4), {8, 2, 8, 4}},
        ClipCase{"rect_above_image", {0, 0}, gCRect(1, -9, 4, -2), {1, 0, 4, 0}},
        ClipCase{"extreme_rect",
                 {5, 5},
                 gCRect(INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX),
                 {0, 0, 8, 8}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ImageView, EmptyOrMissingImageDoesNotLock) {
    CImage empty;
    CImNav view(&empty);
    EXPECT_EQ(view.IsLocked(), 0);
    EXPECT_EQ(view.GetWidth(), 0);
    EXPECT_EQ(view.GetHeight(), 0);
    EXPECT_EQ(view.GetData(), nullptr);
    view.Fill(0xFFFFFFFFu); // nothing to write, no crash
    CImNav8 none(nullptr);
    EXPECT_EQ(none.IsLocked(), 0);
}

TEST(ImageView, UnlockTwiceAndFillAfterUnlockAreHarmless) {
    CImage image(4, 4);
    CImNav view(&image);
    EXPECT_EQ(view.Unlock(), eNoError);
    EXPECT_EQ(view.IsLocked(), 0);
    EXPECT_EQ(view.GetData(), nullptr);
    EXPECT_EQ(view.GetWidth(), 4) << "the size stays";
    EXPECT_EQ(view.Unlock(), eNoError);
    view.Fill(0xFFFFFFFFu);
    view.SetAlpha(3);
    EXPECT_EQ(testimg::Load(image), std::vector<uint32_t>(16, 0u));
}

TEST(ImageView, SetAlphaChangesOnlyTheViewsAlpha) {
    CImage image(6, 5);
    CImNav(&image).Fill(0xFFFF0000u);
    const gCRect r(1, 1, 4, 3);
    CImNav view(&image, &r);
    view.SetAlpha(128);
    const auto px = testimg::Load(image);
    for (int32_t y = 0; y < 5; ++y) {
        for (int32_t x = 0; x < 6; ++x) {
            const uint32_t expected = r.Contains({x, y}) ? 0x80FF0000u : 0xFFFF0000u;
            ASSERT_EQ(px[size_t(y) * 6 + x], expected) << x << "," << y;
        }
    }
}

TEST(ImageView, EightBitFillWritesExactlyTheViewsBytes) {
    CImage8 image(9, 4);
    CImNav8 whole(&image);
    whole.Fill(0xEE); // marks everything outside the view
    const gCRect r(2, 1, 7, 3);
    CImNav8 view(&image, &r);
    ASSERT_EQ(view.GetWidth(), 5);
    EXPECT_EQ(view.GetStride(), 9);
    view.Fill(0x11);
    for (int32_t y = 0; y < 4; ++y) {
        for (int32_t x = 0; x < 9; ++x) {
            const uint8_t expected = r.Contains({x, y}) ? 0x11 : 0xEE;
            ASSERT_EQ(whole.Row(y)[x], expected) << x << "," << y;
        }
    }
}

// Fill and SetAlpha against plain loops over seeded random views of odd
// sizes inside a larger image.
class ViewMatchesReference : public ::testing::TestWithParam<testimg::Size> {};

TEST_P(ViewMatchesReference, FillAndSetAlphaAndEightBitFill) {
    const testimg::Size s = GetParam();
    const int32_t w = s.width + 3, h = s.height + 2;
    std::mt19937 rng(uint32_t(s.width * 31 + s.height));
    const auto px = testimg::RandomPixels(rng, size_t(w) * h);
    const gCRect r(2, 1, 2 + s.width, 1 + s.height);
    const uint32_t colour = 0x7F123456u;
    const uint32_t alpha = 0x9Cu;

    CImage image(w, h);
    testimg::Store(image, px);
    CImNav(&image, &r).SetAlpha(alpha);
    auto expected = px;
    for (int32_t y = r.top; y < r.bottom; ++y) {
        for (int32_t x = r.left; x < r.right; ++x) {
            uint32_t& p = expected[size_t(y) * w + x];
            p = (p & 0x00FFFFFFu) | (alpha << 24);
        }
    }
    EXPECT_EQ(testimg::Load(image), expected);

    CImNav(&image, &r).Fill(colour);
    for (int32_t y = r.top; y < r.bottom; ++y) {
        for (int32_t x = r.left; x < r.right; ++x) {
            expected[size_t(y) * w + x] = colour;
        }
    }
    EXPECT_EQ(testimg::Load(image), expected);

    CImage8 mask(w, h);
    auto bytes = testimg::RandomPixels(rng, size_t(w) * h);
    for (auto& b : bytes) {
        b &= 0xFFu;
    }
    testimg::Store8(mask, bytes);
    CImNav8(&mask, &r).Fill(0xA5);
    for (int32_t y = r.top; y < r.bottom; ++y) {
        for (int32_t x = r.left; x < r.right; ++x) {
            bytes[size_t(y) * w + x] = 0xA5;
        }
    }
    EXPECT_EQ(testimg::Load8(mask), bytes);
}

INSTANTIATE_TEST_SUITE_P(OddSizes, ViewMatchesReference, ::testing::ValuesIn(testimg::OddSizes()));

} // namespace
