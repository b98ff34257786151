// The cut-out effect: the darkening strengths of a rectangular and an
// image-shaped widget against the oracle, and its drawing.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "widgets/effects/EffectCutout.h"
#include "widgets/tests/EffectOracles.h"
#include "widgets/tests/EffectTestSupport.h"

namespace {

std::vector<uint8_t> Strengths(const CRLE8* cache) {
    std::vector<uint8_t> out;
    CRLE8& c = const_cast<CRLE8&>(*cache);
    for (int32_t y = 0; y < c.GetHeight(); ++y) {
        c.StartRLE(0, y);
        for (int32_t x = 0; x < c.GetWidth(); ++x) {
            out.push_back(c.NextRLE());
        }
    }
    return out;
}

const std::vector<uint8_t> kFull50x20(50 * 20, 255);

TEST(CutoutEffect, A50By20WidgetDarkensTheTopAndLeftEdges) {
    SEffectOwner o(50, 20);
    auto* c = new CWidgetEffectCutout();
    ASSERT_EQ(o.widget->AddEffectU(c, 0, 0), eNoError);
    EXPECT_EQ(c->TypeID(), FourCC("ctfx"));
    EXPECT_EQ(c->Opacity(), 255);
    EXPECT_EQ(c->Margin(), 2);
    EXPECT_EQ(c->Extent(), gCRect(0, 0, 50, 20));
    ASSERT_NE(c->CutoutCache(), nullptr);
    const std::vector<uint8_t> s = Strengths(c->CutoutCache());
    ASSERT_EQ(s, oracle::CutoutStrengths(kFull50x20, 50, 20, 1.0f, 1, 1));
    auto at = [&](int32_t x, int32_t y) { return int32_t(s[size_t(y * 50 + x)]); };
    EXPECT_EQ(at(25, 10), 0);
    EXPECT_GT(at(25, 0), 100); // top row
    EXPECT_GT(at(0, 10), 100); // left column
    EXPECT_LT(at(25, 19), 5);  // bottom row
    EXPECT_LT(at(49, 10), 5);  // right column
    for (int32_t x = 1; x < 49; ++x) {
        EXPECT_GT(at(x, 0), at(x, 19)) << x;
    }
    // Drawn at full strength: the colour by level (256 x s) >> 8 = s.
    auto target = LocalTarget(50, 20, 0, 0xFFC0A080u);
    ASSERT_EQ(o.widget->RenderEffectsU(gCRect(0, 0, 50, 20), target.get(), 255), eNoError);
    for (int32_t y = 0; y < 20; ++y) {
        for (int32_t x = 0; x < 50; ++x) {
            ASSERT_EQ(LocalPixel(*target, x, y), oracle::Blend255(0xFFC0A080u, at(x, y), 0xFF000000u))
                << x << "," << y;
        }
    }
}

TEST(CutoutEffect, AnOffsetPastTheMarginGivesFullStrengthAndShadowOffsetRebuilds) {
    SEffectOwner o(50, 20);
    auto* c = new CWidgetEffectCutout();
    ASSERT_EQ(o.widget->AddEffectU(c, 0, 0), eNoError);
    ASSERT_EQ(c->ShadowOffset(gCPoint(5, 0), 0), eNoError);
    const std::vector<uint8_t> s = Strengths(c->CutoutCache());
    ASSERT_EQ(s, oracle::CutoutStrengths(kFull50x20, 50, 20, 1.0f, 5, 0));
    for (int32_t y = 0; y < 20; ++y) {
        for (int32_t x = 0; x < 3; ++x) {
            EXPECT_EQ(s[size_t(y * 50 + x)], 255) << x << "," << y;
        }
        EXPECT_LT(s[size_t(y * 50 + 6)], 255);
    }
}

TEST(CutoutEffect, NoOffsetDarkensTheFourEdgesAlike) {
    SEffectOwner o(50, 20);
    auto* c = new CWidgetEffectCutout();
    ASSERT_EQ(c->ShadowOffset(gCPoint(0, 0), 0), eNoError);
    ASSERT_EQ(o.widget->AddEffectU(c, 0, 0), eNoError);
    const std::vector<uint8_t> s = Strengths(c->CutoutCache());
    ASSERT_EQ(s, oracle::CutoutStrengths(kFull50x20, 50, 20, 1.0f, 0, 0));
    auto at = [&](int32_t x, int32_t y) { return s[size_t(y * 50 + x)]; };
    EXPECT_EQ(at(0, 10), at(49, 10));
    EXPECT_EQ(at(25, 0), at(25, 19));
    EXPECT_EQ(at(0, 10), at(25, 0));
    // The blur's three-tap kernel leaves the outermost pixel at 3/4 of the
    // shape, so the edge darkens by a quarter.
    EXPECT_GE(at(25, 0), 60);
    EXPECT_LT(at(25, 0), 192);
    EXPECT_LT(at(25, 1), at(25, 0));
    EXPECT_EQ(at(25, 10), 0);
}

TEST(CutoutEffect, AnImageShapesTheCutout) {
    auto image = SoftDisc(36, 24);
    std::vector<uint8_t> shape;
    for (int32_t y = 0; y < 24; ++y) {
        for (int32_t x = 0; x < 36; ++x) {
            shape.push_back(uint8_t(PixelAt(*image, x, y) >> 24));
        }
    }
    SImageOwner o(std::move(image), 36, 24);
    auto* c = new CWidgetEffectCutout();
    (void)c->SetRadius(2.5f, 0);
    ASSERT_EQ(o.widget->AddEffectU(c, 0, 0), eNoError);
    EXPECT_EQ(Strengths(c->CutoutCache()), oracle::CutoutStrengths(shape, 36, 24, 2.5f, 1, 1));
}

TEST(CutoutEffect, AlphaZeroDrawsNothingAndHalfAlphaDrawsHalf) {
    SEffectOwner o(50, 20);
    auto* c = new CWidgetEffectCutout();
    ASSERT_EQ(o.widget->AddEffectU(c, 0, 0), eNoError);
    const std::vector<uint8_t> s = Strengths(c->CutoutCache());
    auto target = LocalTarget(50, 20, 0, 0xFFC0A080u);
    ASSERT_EQ(c->RenderEffect(gCRect(0, 0, 50, 20), target.get(), 0), eNoError);
    EXPECT_EQ(oracle::Words(*target), oracle::Words(*LocalTarget(50, 20, 0, 0xFFC0A080u)));
    ASSERT_EQ(c->RenderEffect(gCRect(3, 0, 20, 7), target.get(), 127), eNoError);
    for (int32_t y = 0; y < 20; ++y) {
        for (int32_t x = 0; x < 50; ++x) {
            const bool in = x >= 3 && x < 20 && y < 7;
            const int32_t level = in ? int32_t((128u * s[size_t(y * 50 + x)]) >> 8) : 0;
            ASSERT_EQ(LocalPixel(*target, x, y), oracle::Blend255(0xFFC0A080u, level, 0xFF000000u));
        }
    }
}

} // namespace
