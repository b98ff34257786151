// The glow effect: its defaults, the add with its spills, and its four
// forms (tables or cache, normal or outside-only) against the oracle.
#include <gtest/gtest.h>

#include <memory>
#include <random>

#include "widgets/effects/EffectGlow.h"
#include "widgets/tests/EffectOracles.h"
#include "widgets/tests/EffectTestSupport.h"

namespace {

uint32_t Added(uint32_t target, uint32_t colour, int32_t strength) {
    CPixel p = target;
    CWidgetEffectGlow::Add(p, colour, strength);
    return p;
}

TEST(GlowEffect, DefaultsOverBlackAdd200ToRedAndGreen) {
    SEffectOwner o(60, 30);
    auto* g = new CWidgetEffectGlow();
    ASSERT_EQ(o.widget->AddEffectU(g, 0, 0), eNoError);
    EXPECT_EQ(g->TypeID(), FourCC("glfx"));
    EXPECT_EQ(g->Opacity(), 100);
    EXPECT_EQ(g->Margin(), 22);
    EXPECT_EQ(g->Extent(), gCRect(-22, -22, 82, 52));
    auto target = LocalTarget(60, 30, 22, 0xFF000000u);
    // The pass gives alpha (256 x 100) >> 8 = 100, so k = 202.
    ASSERT_EQ(o.widget->RenderEffectsU(g->Extent(), target.get(), 255), eNoError);
    EXPECT_EQ(LocalPixel(*target, 30, 15), 0xFFC8C800u);
    oracle::SShadow p{60, 30, 10.0f, 0, 0, 0xFFFFFF00u, false, nullptr};
    auto expected = LocalTarget(60, 30, 22, 0xFF000000u);
    oracle::Glow(p, g->Extent(), *expected, 100);
    EXPECT_EQ(oracle::Words(*target), oracle::Words(*expected));
}

TEST(GlowEffect, AWhiteTargetNeverChanges) {
    for (uint32_t white : {0xFFFFFFFFu, 0x00FFFFFFu, 0x80FFFFFFu}) {
        EXPECT_EQ(Added(white, 0xFFFFFF00u, 512), white);
        EXPECT_EQ(Added(white, 0xFF0000FFu, 100000), white);
    }
}

struct SAddCase {
    const char* what;
    uint32_t target;
    uint32_t colour;
    int32_t strength;
    uint32_t expected; // 0: only the oracle
};

const SAddCase kAddCases[] = {
    {"nothing at strength 0", 0x80102030u, 0xFFFFFFFFu, 0, 0x80102030u},
    {"nothing for a colour of alpha 0", 0x80102030u, 0x00FFFFFFu, 300, 0x80102030u},
    {"plain add, made opaque", 0x00102030u, 0xFF404040u, 256, 0xFF4F5F6Fu},
    {"white at a large strength", 0xFFFAFAFAu, 0xFFFFFFFFu, 100000, 0xFFFFFFFFu},
    {"red overflow of 10 spills 5", 0xFFF5100Au, 0xFFFF0000u, 100, 0},
    {"green overflow spills into red and blue", 0xFF10F010u, 0xFF00FF00u, 200, 0},
    {"green overflow lifting red past 255", 0xFFFAF010u, 0xFF00FF00u, 512, 0},
    {"blue overflow spills into red and green", 0xFF1010F0u, 0xFF0000FFu, 200, 0},
    {"blue overflow lifting red past 255", 0xFFFA10F0u, 0xFF0000FFu, 512, 0},
    {"blue overflow lifting green past 255", 0xFF10FAF0u, 0xFF0000FFu, 512, 0},
    {"all three overflow", 0xFFF0F0F0u, 0xFFFFFFFFu, 300, 0},
    {"half-alpha colour", 0xFF000000u, 0x80FF8040u, 512, 0},
};

TEST(GlowEffect, AddFollowsEveryBranchOfTheSpill) {
    for (const SAddCase& c : kAddCases) {
        SCOPED_TRACE(c.what);
        const uint32_t got = Added(c.target, c.colour, c.strength);
        EXPECT_EQ(got, oracle::GlowAdd(c.target, c.colour, c.strength));
        if (c.expected) {
            EXPECT_EQ(got, c.expected);
        }
        if (c.strength > 0 && (c.colour >> 24) != 0) {
            EXPECT_EQ(got >> 24, 0xFFu); // every result opaque
        }
    }
    // A red overflow of 10: 245 + 20 = 265 adds 5 to green and blue.
    EXPECT_EQ(Added(0xFFF5100Au, 0xFFFF0000u, 21), 0xFFFF150Fu);
}

TEST(GlowEffect, ItsFourFormsEqualTheOracleOnRandomRectangles) {
    std::mt19937 rng(2718);
    for (bool shaped : {false, true}) {
        for (bool outside : {false, true}) {
            SCOPED_TRACE(std::string(shaped ? "cache" : "tables") + (outside ? " outside" : ""));
            const int32_t w = 33;
            const int32_t h = 21;
            std::unique_ptr<SImageOwner> io;
            std::unique_ptr<SEffectOwner> po;
            CWidget* owner = nullptr;
            if (shaped) {
                io = std::make_unique<SImageOwner>(SoftDisc(w, h), w, h);
                owner = io->widget;
            } else {
                po = std::make_unique<SEffectOwner>(w, h);
                owner = po->widget;
            }
            auto* g = new CWidgetEffectGlow();
            (void)g->SetRadius(4.0f, 0);
            (void)g->ShadowOffset(gCPoint(-2, 3), 0);
            (void)g->SetColour(0xC0FF8020u, 0);
            (void)g->SetOutsideOnly(outside ? 1 : 0, 0);
            ASSERT_EQ(owner->AddEffectU(g, 0, 0), eNoError);
            ASSERT_EQ(g->ShadowCache() != nullptr, shaped);
            oracle::SSilhouette shape;
            if (shaped) {
                shape = oracle::Silhouette(*io->widget->Image(), w, h, 4.0f, -2, 3, outside);
            }
            oracle::SShadow p{w, h, 4.0f, -2, 3, 0xC0FF8020u, outside, shaped ? &shape : nullptr};
            auto target = LocalTarget(w, h, 12, 0);
            oracle::Randomise(*target, rng);
            CImage expected;
            oracle::CopyInto(*target, expected);
            for (int32_t i = 0; i < 25; ++i) {
                const gCRect r = RandomRect(rng, g->Extent());
                const uint32_t alpha = i == 0 ? 255 : uint32_t(rng() % 256);
                ASSERT_EQ(g->RenderEffect(r, target.get(), alpha), eNoError);
                if (alpha) {
                    oracle::Glow(p, r, expected, alpha);
                }
            }
            ASSERT_EQ(oracle::Words(*target), oracle::Words(expected));
        }
    }
}

TEST(GlowEffect, OpacityZeroDrawsNothing) {
    SEffectOwner o(60, 30);
    auto* g = new CWidgetEffectGlow();
    ASSERT_EQ(o.widget->AddEffectU(g, 0, 0), eNoError);
    ASSERT_EQ(g->Opacity(0, 0), eNoError);
    auto target = LocalTarget(60, 30, 22, 0xFF000000u);
    ASSERT_EQ(o.widget->RenderEffectsU(g->Extent(), target.get(), 255), eNoError);
    EXPECT_EQ(oracle::Words(*target), oracle::Words(*LocalTarget(60, 30, 22, 0xFF000000u)));
}

} // namespace
