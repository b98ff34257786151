// The fast loops of the effects against their plain twins: the level blend
// on every instruction-set path, the rounding without the maths library,
// and drawing that never allocates.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <vector>

#include "imaging/PixelPaths.h"
#include "testsupport/foundation/FailingMemory.h"
#include "widgets/detail/EffectMath.h"
#include "widgets/detail/LevelBlend.h"
#include "widgets/effects/EffectCutout.h"
#include "widgets/effects/EffectGlow.h"
#include "widgets/effects/EffectShadow.h"
#include "widgets/tests/EffectOracles.h"
#include "widgets/tests/EffectTestSupport.h"

namespace {

const CPixelPaths::EPath kPaths[] = {CPixelPaths::ePlain, CPixelPaths::eSse2, CPixelPaths::eAvx2};

TEST(EffectPaths, TheLevelBlendIsTheSameOnEveryPath) {
    std::mt19937 rng(31337);
    for (int32_t count : {1, 3, 4, 5, 7, 17, 31, 63, 255, 257, 1021}) {
        std::vector<CPixel> start(static_cast<size_t>(count));
        std::vector<uint8_t> levels(static_cast<size_t>(count));
        for (int32_t i = 0; i < count; ++i) {
            start[size_t(i)] = uint32_t(rng());
            const uint32_t kind = rng() % 4;
            // Runs of 0 and 255 as well as anything between.
            levels[size_t(i)] = kind == 0 ? 0 : kind == 1 ? 255 : uint8_t(rng());
        }
        const CPixel src = uint32_t(rng());
        std::vector<CPixel> reference = start;
        for (int32_t i = 0; i < count; ++i) {
            CPixel::Blend255Proc(&reference[size_t(i)], levels[size_t(i)], src);
        }
        for (CPixelPaths::EPath path : kPaths) {
            SCOPED_TRACE(std::string(CPixelPaths::Name(path)) + " " + std::to_string(count));
            CForcePixelPath force(path);
            std::vector<CPixel> got = start;
            effectdetail::BlendLevels(got.data(), levels.data(), count, src);
            ASSERT_EQ(std::memcmp(got.data(), reference.data(), size_t(count) * 4), 0);
        }
    }
}

TEST(EffectPaths, RoundingWithoutTheMathsLibraryEqualsRound) {
    // Every float in [0, 1024) at a stride, and both neighbours of every
    // half below 1024.
    for (uint32_t bits = 0; bits < 0x44800000u; bits += 97) {
        float v;
        std::memcpy(&v, &bits, 4);
        ASSERT_EQ(effectdetail::RoundNonNegative(v), int32_t(std::round(v))) << v;
    }
    for (int32_t k = 0; k < 1024; ++k) {
        const float half = float(k) + 0.5f;
        for (float v : {std::nextafter(half, 0.0f), half, std::nextafter(half, 2048.0f)}) {
            ASSERT_EQ(effectdetail::RoundNonNegative(v), int32_t(std::round(v))) << v;
        }
    }
}

// Every form of the shadow and the cut-out, drawn on each path and through
// hooks that are not the default ones (the plain calls), gives the same
// pixels; and drawing asks for no memory.
TEST(EffectPaths, EveryFormIsTheSameOnEveryPathThroughTheHooksAndWithoutMemory) {
    std::mt19937 rng(77);
    for (int32_t form = 0; form < 9; ++form) {
        const bool shaped = form & 1;
        const bool outside = form & 2;
        const bool masked = form & 4;
        const bool cutout = form == 8;
        SCOPED_TRACE(form);
        const int32_t w = 41 + int32_t(rng() % 8) * 2;
        const int32_t h = 19 + int32_t(rng() % 8) * 2;
        SImageOwner io(SoftDisc(w, h), w, h);
        io.widget->SetOpaqueBlit(shaped ? 0 : 1);
        CWidgetEffectBase* effect = nullptr;
        CWidgetEffectShadow* shadow = nullptr;
        if (cutout) {
            auto* c = new CWidgetEffectCutout();
            (void)c->SetRadius(2.0f, 0);
            effect = c;
        } else {
            shadow = new CWidgetEffectShadow();
            (void)shadow->SetOutsideOnly(outside ? 1 : 0, 0);
            (void)shadow->ShadowOffset(gCPoint(3, 5), 0);
            effect = shadow;
        }
        ASSERT_EQ(io.widget->AddEffectU(effect, 0, 0), eNoError);
        std::unique_ptr<CImage8> mask;
        if (masked) {
            mask = std::make_unique<CImage8>(w + 5, h + 7);
            mask->SetOrigin(gCPoint(3, 3));
            CImNav8 mv(mask.get());
            for (int32_t y = 0; y < mask->GetHeight(); ++y) {
                for (int32_t x = 0; x < mask->GetWidth(); ++x) {
                    mv.Row(y)[x] = uint8_t(rng());
                }
            }
        }
        auto draw = [&](CImage& target, uint32_t alpha) {
            return shadow ? shadow->DoShadowRender(effect->Extent(), &target, alpha, mask.get())
                          : effect->RenderEffect(effect->Extent(), &target, alpha);
        };
        auto start = LocalTarget(w, h, 20, 0);
        oracle::Randomise(*start, rng);
        const uint32_t alpha = 1 + uint32_t(rng() % 255);
        CImage plain;
        oracle::CopyInto(*start, plain);
        {
            CCountingBlends hooks;
            ASSERT_EQ(draw(plain, alpha), eNoError);
            EXPECT_GT(hooks.Blends() + hooks.Blends255(), 0);
        }
        for (CPixelPaths::EPath path : kPaths) {
            SCOPED_TRACE(CPixelPaths::Name(path));
            CForcePixelPath force(path);
            CImage fast;
            oracle::CopyInto(*start, fast);
            {
                CFailingMemory noMemory;
                ASSERT_EQ(draw(fast, alpha), eNoError);
            }
            ASSERT_EQ(oracle::Words(fast), oracle::Words(plain));
        }
    }
}

TEST(EffectPaths, TheGlowDrawsWithoutMemory) {
    for (bool shaped : {false, true}) {
        SImageOwner io(SoftDisc(40, 30), 40, 30);
        io.widget->SetOpaqueBlit(shaped ? 0 : 1);
        auto* g = new CWidgetEffectGlow();
        ASSERT_EQ(io.widget->AddEffectU(g, 0, 0), eNoError);
        auto a = LocalTarget(40, 30, 22, 0xFF101010u);
        auto b = LocalTarget(40, 30, 22, 0xFF101010u);
        ASSERT_EQ(g->RenderEffect(g->Extent(), a.get(), 200), eNoError);
        {
            CFailingMemory noMemory;
            ASSERT_EQ(g->RenderEffect(g->Extent(), b.get(), 200), eNoError);
        }
        EXPECT_EQ(oracle::Words(*a), oracle::Words(*b));
    }
}

} // namespace
