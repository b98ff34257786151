// The texture effect: the owner's picture mixed over the target by a mode,
// weighted by the render alpha.
#include <gtest/gtest.h>

#include <memory>

#include "imaging/PixelMix.h"
#include "widgets/effects/EffectTexture.h"
#include "widgets/tests/EffectOracles.h"
#include "widgets/tests/EffectTestSupport.h"

namespace {

// An image widget of 6 x 4 showing a picture of one colour, with a texture
// in the given mode.
struct STextured {
    SImageOwner owner;
    CWidgetEffectTexture* texture = new CWidgetEffectTexture();
    STextured(uint32_t colour, int32_t mode) : owner(FilledImage(6, 4, colour), 6, 4) {
        EXPECT_EQ(texture->SetBlendMode(mode, 0), eNoError);
        EXPECT_EQ(owner.widget->AddEffectO(texture, 0, 0), eNoError);
    }
    uint32_t Over(uint32_t base, uint32_t alpha) {
        auto target = LocalTarget(6, 4, 0, base);
        EXPECT_EQ(texture->RenderEffect(gCRect(0, 0, 6, 4), target.get(), alpha), eNoError);
        return LocalPixel(*target, 2, 1);
    }
};

TEST(TextureEffect, DefaultsAndAlphaZero) {
    STextured t(0xFF808080u, 1);
    EXPECT_EQ(t.texture->TypeID(), FourCC("txtr"));
    EXPECT_EQ(t.texture->Opacity(), 255);
    EXPECT_EQ(CWidgetEffectTexture().BlendMode(), 1);
    EXPECT_EQ(t.texture->Extent(), gCRect(0, 0, 6, 4));
    ASSERT_NE(t.texture->Texture(), nullptr);
    CImage unlockable; // no pixels
    EXPECT_EQ(t.texture->RenderEffect(gCRect(0, 0, 6, 4), &unlockable, 0), eNoError);
}

TEST(TextureEffect, ModesOutsideTheSevenChangeNothing) {
    for (int32_t mode : {7, -1}) {
        STextured t(0xFF123456u, mode);
        EXPECT_EQ(t.Over(0xFF808080u, 255), 0xFF808080u) << mode;
    }
}

TEST(TextureEffect, MultiplyByWhiteAndScreenByBlackKeepTheBase) {
    STextured white(0xFFFFFFFFu, 1);
    STextured black(0xFF000000u, 2);
    for (uint32_t base : {0xFF000000u, 0xFF7F80FEu, 0x40FFFFFFu, 0xFF010203u}) {
        EXPECT_EQ(white.Over(base, 255), base);
        EXPECT_EQ(black.Over(base, 255), base);
    }
}

TEST(TextureEffect, AlphaIsWeightedWithTheColourBytesCarrying) {
    // At 254 the weight is 255: 0x80000000 gives (0x800000 x 255) >> 24 =
    // 0x7F, 0x80FFFFFF gives (0x80FFFF x 255) >> 24 = 0x80.
    STextured dark(0x80000000u, 0);
    STextured light(0x80FFFFFFu, 0);
    const uint32_t base = 0xFF406080u;
    EXPECT_EQ(dark.Over(base, 254), uint32_t(CPixelMix::Normal(0x7F000000u, base)));
    EXPECT_EQ(light.Over(base, 254), uint32_t(CPixelMix::Normal(0x80FFFFFFu, base)));
    EXPECT_EQ(dark.Over(base, 255), uint32_t(CPixelMix::Normal(0x80000000u, base)));
}

TEST(TextureEffect, EveryModeMixesThePicturePixelByPixel) {
    auto picture = SoftDisc(9, 7);
    for (int32_t mode = 0; mode < 7; ++mode) {
        auto varied = MakeImage(9, 7, [&](int32_t x, int32_t y) {
            return PixelAt(*picture, x, y) ^ (uint32_t(x * 40) << 8);
        });
        SImageOwner o(std::move(varied), 9, 7);
        auto* t = new CWidgetEffectTexture();
        (void)t->SetBlendMode(mode, 0);
        ASSERT_EQ(o.widget->AddEffectU(t, 0, 0), eNoError);
        std::mt19937 rng{uint32_t(mode)};
        auto target = LocalTarget(9, 7, 0, 0);
        oracle::Randomise(*target, rng);
        CImage before;
        oracle::CopyInto(*target, before);
        ASSERT_EQ(t->RenderEffect(gCRect(0, 0, 9, 7), target.get(), 200), eNoError);
        for (int32_t y = 0; y < 7; ++y) {
            for (int32_t x = 0; x < 9; ++x) {
                const uint32_t p = PixelAt(*o.widget->Image(), x, y);
                const uint32_t blend = (p & 0xFFFFFF) | (((p >> 8) * 201) & 0xFF000000u);
                ASSERT_EQ(LocalPixel(*target, x, y),
                          uint32_t(CPixelMix::MixPixel(mode, blend, LocalPixel(before, x, y))));
            }
        }
    }
}

TEST(TextureEffect, WidgetChangedDropsTheTextureAndASmallImageIsPadded) {
    SImageOwner o(FilledImage(3, 2, 0xFF000000u), 6, 4);
    auto* t = new CWidgetEffectTexture();
    (void)t->SetBlendMode(0, 0);
    ASSERT_EQ(o.widget->AddEffectU(t, 0, 0), eNoError);
    ASSERT_NE(t->Texture(), nullptr);
    auto target = LocalTarget(6, 4, 0, 0xFFFFFFFFu);
    ASSERT_EQ(t->RenderEffect(gCRect(0, 0, 6, 4), target.get(), 255), eNoError);
    EXPECT_EQ(LocalPixel(*target, 0, 0), 0xFF000000u);
    EXPECT_EQ(LocalPixel(*target, 5, 3), 0xFFFFFFFFu); // transparent beyond the image
    ASSERT_EQ(t->WidgetChanged(), eNoError);
    EXPECT_EQ(t->Texture(), nullptr);
    auto untouched = LocalTarget(6, 4, 0, 0xFFFFFFFFu);
    ASSERT_EQ(t->RenderEffect(gCRect(0, 0, 6, 4), untouched.get(), 255), eNoError);
    EXPECT_EQ(oracle::Words(*untouched), oracle::Words(*LocalTarget(6, 4, 0, 0xFFFFFFFFu)));
}

} // namespace
