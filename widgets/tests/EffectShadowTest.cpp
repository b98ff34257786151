// The shadow effect: its geometry and fall-off tables, the rectangular and
// shaped forms with and without a mask, normal and outside-only, against
// the scalar oracle; the inlined blend against the hook.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <random>

#include "imaging/Image8.h"
#include "widgets/effects/EffectShadow.h"
#include "widgets/tests/EffectOracles.h"
#include "widgets/tests/EffectTestSupport.h"

namespace {

CWidgetEffectShadow* AddShadow(CWidget* owner, float radius = 7.0f,
                               gCPoint offset = gCPoint(8, 8)) {
    auto* s = new CWidgetEffectShadow();
    EXPECT_EQ(s->SetRadius(radius, 0), eNoError);
    EXPECT_EQ(s->ShadowOffset(offset, 0), eNoError);
    EXPECT_EQ(owner->AddEffectU(s, 0, 0), eNoError);
    return s;
}

std::vector<float> TableOf(const CMemBlockT<float>& t) {
    return std::vector<float>(t.GetData(), t.GetData() + t.GetCount());
}

TEST(ShadowEffect, DefaultsOnA100By40WidgetGiveTheMarginExtentAndTables) {
    SEffectOwner o(100, 40);
    CWidgetEffectShadow* s = AddShadow(o.widget);
    EXPECT_EQ(s->TypeID(), FourCC("shfx"));
    EXPECT_EQ(s->Opacity(), 200);
    EXPECT_EQ(uint32_t(s->Colour()), 0xFF000000u);
    EXPECT_EQ(s->Margin(), 15);
    EXPECT_EQ(s->Extent(), gCRect(-7, -7, 123, 63));
    EXPECT_EQ(s->ShadowCache(), nullptr);
    const std::vector<float> x = TableOf(s->XTable());
    ASSERT_EQ(x.size(), 130u);
    ASSERT_EQ(s->YTable().GetCount(), 70u);
    EXPECT_EQ(x, oracle::Table(130, 7.0f));
    EXPECT_EQ(TableOf(s->YTable()), oracle::Table(70, 7.0f));
    // n = 25: entries 0-24 rise to 1.0 (entry 24 is exp(0)), 25-104 are
    // 1.0, 105-129 fall from it.
    for (int i = 1; i < 25; ++i) {
        EXPECT_LT(x[size_t(i - 1)], x[size_t(i)]) << i;
    }
    for (int i = 24; i < 106; ++i) {
        EXPECT_EQ(x[size_t(i)], 1.0f) << i;
    }
    for (int i = 106; i < 130; ++i) {
        EXPECT_LT(x[size_t(i)], x[size_t(i - 1)]) << i;
    }
    for (int i = 0; i < 130; ++i) {
        EXPECT_EQ(x[size_t(i)], x[size_t(129 - i)]) << i;
    }
    EXPECT_NEAR(x[0], 0.0028f, 0.00005f);
}

TEST(ShadowEffect, RadiusTwelveGivesMargin26AndAnEdgeOf42) {
    SEffectOwner o(100, 40);
    CWidgetEffectShadow* s = AddShadow(o.widget, 12.0f);
    EXPECT_EQ(s->Margin(), 26);
    const std::vector<float> x = TableOf(s->XTable());
    ASSERT_EQ(x.size(), 152u);
    EXPECT_EQ(x, oracle::Table(152, 12.0f));
    // n = 42: the edge is entries 0-41 (41 being exp(0)) and 110-151.
    EXPECT_LT(x[40], x[41]);
    EXPECT_EQ(x[41], 1.0f);
    EXPECT_EQ(x[110], 1.0f);
    EXPECT_LT(x[111], 1.0f);
}

TEST(ShadowEffect, RadiusZeroIsAHardRectangleMovedByTheOffset) {
    SEffectOwner o(100, 40);
    CWidgetEffectShadow* s = AddShadow(o.widget, 0.0f);
    EXPECT_EQ(s->Margin(), 0);
    EXPECT_EQ(s->Extent(), gCRect(8, 8, 108, 48));
    auto target = LocalTarget(100, 40, 20, 0xFF808080u);
    ASSERT_EQ(s->RenderEffect(s->Extent(), target.get(), 255), eNoError);
    for (int32_t y = -20; y < 60; ++y) {
        for (int32_t x = -20; x < 120; ++x) {
            const bool in = x >= 8 && x < 108 && y >= 8 && y < 48;
            ASSERT_EQ(LocalPixel(*target, x, y), in ? 0xFF000000u : 0xFF808080u) << x << "," << y;
        }
    }
}

TEST(ShadowEffect, RadiusZeroShapedShadowIsTheUnblurredAlpha) {
    SImageOwner o(SoftDisc(31, 17), 31, 17);
    auto* s = new CWidgetEffectShadow();
    (void)s->SetRadius(0.0f, 0);
    ASSERT_EQ(o.widget->AddEffectU(s, 0, 0), eNoError);
    ASSERT_NE(s->ShadowCache(), nullptr);
    auto target = LocalTarget(31, 17, 10, 0xFFFFFFFFu);
    ASSERT_EQ(s->RenderEffect(s->Extent(), target.get(), 255), eNoError);
    CImage* image = o.widget->Image();
    for (int32_t y = 0; y < 17; ++y) {
        for (int32_t x = 0; x < 31; ++x) {
            const int32_t a = int32_t(PixelAt(*image, x, y) >> 24);
            // level = (256 x a) >> 8 = a
            ASSERT_EQ(LocalPixel(*target, x + 8, y + 8), oracle::Blend255(0xFFFFFFFFu, a, 0xFF000000u))
                << x << "," << y;
        }
    }
}

TEST(ShadowEffect, ClipToWidgetCutsTheExtentToTheWidget) {
    SEffectOwner o(100, 40);
    CWidgetEffectShadow* s = AddShadow(o.widget);
    ASSERT_EQ(s->SetClipToWidget(1, 0), eNoError);
    EXPECT_EQ(s->Extent(), gCRect(0, 0, 100, 40));
    // Moving it keeps it inside the widget.
    ASSERT_EQ(s->ShadowOffset(gCPoint(-200, 0), 0), eNoError);
    EXPECT_EQ(s->Extent(), gCRect());
}

TEST(ShadowEffect, ShadowOffsetMovesTheExtentAndKeepsTheTables) {
    SEffectOwner o(100, 40);
    CWidgetEffectShadow* s = AddShadow(o.widget);
    const float* table = s->XTable().GetData();
    o.root.m_aLog.clear();
    ASSERT_EQ(s->ShadowOffset(gCPoint(0, 4), 0), eNoError);
    EXPECT_EQ(s->Extent(), gCRect(-15, -11, 115, 59));
    EXPECT_EQ(s->XTable().GetData(), table);
    EXPECT_FALSE(o.root.m_aLog.empty()); // the owner invalidated
}

TEST(ShadowEffect, AWidthOfZeroChangesNothing) {
    SEffectOwner o(100, 40);
    CWidgetEffectShadow* s = AddShadow(o.widget);
    const std::vector<float> before = TableOf(s->XTable());
    ASSERT_EQ(o.widget->SetSize(0, 40, 0), eNoError);
    ASSERT_EQ(s->WidgetChanged(), eNoError);
    EXPECT_EQ(s->Extent(), gCRect(-7, -7, 123, 63));
    EXPECT_EQ(TableOf(s->XTable()), before);
}

TEST(ShadowEffect, TheMiddleIsDrawnAtFullAlphaAndOpacityZeroDrawsNothing) {
    SEffectOwner o(100, 40);
    CWidgetEffectShadow* s = AddShadow(o.widget);
    ASSERT_EQ(s->Opacity(255, 0), eNoError);
    auto target = LocalTarget(100, 40, 30, 0xFF808080u);
    // The root's pass at alpha 255 with opacity 255 draws with alpha 255.
    ASSERT_EQ(o.widget->RenderEffectsU(gCRect(-30, -30, 130, 70), target.get(), 255), eNoError);
    EXPECT_EQ(LocalPixel(*target, 58, 28), 0xFF000000u);
    auto untouched = LocalTarget(100, 40, 30, 0xFF808080u);
    ASSERT_EQ(s->Opacity(0, 0), eNoError);
    ASSERT_EQ(o.widget->RenderEffectsU(gCRect(-30, -30, 130, 70), untouched.get(), 255), eNoError);
    ASSERT_EQ(s->RenderEffect(s->Extent(), untouched.get(), 0), eNoError);
    EXPECT_EQ(oracle::Words(*untouched), oracle::Words(*LocalTarget(100, 40, 30, 0xFF808080u)));
}

TEST(ShadowEffect, OutsideOnlyDrawsNothingWhereTheWidgetStands) {
    SEffectOwner o(100, 40);
    CWidgetEffectShadow* s = AddShadow(o.widget);
    ASSERT_EQ(s->SetOutsideOnly(1, 0), eNoError);
    auto target = LocalTarget(100, 40, 30, 0xFF808080u);
    auto expected = LocalTarget(100, 40, 30, 0xFF808080u);
    ASSERT_EQ(s->RenderEffect(s->Extent(), target.get(), 255), eNoError);
    oracle::SShadow p{100, 40, 7.0f, 8, 8, 0xFF000000u, true, nullptr};
    oracle::Shadow(p, s->Extent(), *expected, 255, nullptr);
    EXPECT_EQ(oracle::Words(*target), oracle::Words(*expected));
    for (int32_t y = 0; y < 40; ++y) {
        for (int32_t x = 0; x < 100; ++x) {
            ASSERT_EQ(LocalPixel(*target, x, y), 0xFF808080u) << x << "," << y;
        }
    }
}

TEST(ShadowEffect, ShapedOutsideOnlyDrawsNothingUnderOpaquePixels) {
    auto image = MakeImage(40, 30, [](int32_t x, int32_t y) {
        return (x >= 10 && x < 30 && y >= 5 && y < 25) ? 0xFF406080u : 0x00000000u;
    });
    SImageOwner o(std::move(image), 40, 30);
    auto* s = new CWidgetEffectShadow();
    (void)s->SetOutsideOnly(1, 0);
    ASSERT_EQ(o.widget->AddEffectU(s, 0, 0), eNoError);
    ASSERT_NE(s->ShadowCache(), nullptr);
    auto target = LocalTarget(40, 30, 30, 0xFF808080u);
    ASSERT_EQ(s->RenderEffect(s->Extent(), target.get(), 255), eNoError);
    for (int32_t y = 5; y < 25; ++y) {
        for (int32_t x = 10; x < 30; ++x) {
            ASSERT_EQ(LocalPixel(*target, x, y), 0xFF808080u) << x << "," << y;
        }
    }
    EXPECT_NE(LocalPixel(*target, 35, 32), 0xFF808080u); // beside it, the shadow
}

// Every form of the drawing on random rectangles of a random target.
struct SForm {
    const char* name;
    bool shaped;
    bool outsideOnly;
    bool masked;
};
const SForm kForms[] = {
    {"rect", false, false, false},       {"rect mask", false, false, true},
    {"rect outside", false, true, false}, {"rect outside mask", false, true, true},
    {"shaped", true, false, false},      {"shaped mask", true, false, true},
    {"shaped outside", true, true, false}, {"shaped outside mask", true, true, true},
};

TEST(ShadowEffect, EveryFormEqualsTheOracleOnRandomRectangles) {
    std::mt19937 rng(4242);
    for (const SForm& f : kForms) {
        SCOPED_TRACE(f.name);
        const int32_t w = 37;
        const int32_t h = 23;
        std::unique_ptr<SImageOwner> imageOwner;
        std::unique_ptr<SEffectOwner> plainOwner;
        CWidget* owner = nullptr;
        if (f.shaped) {
            imageOwner = std::make_unique<SImageOwner>(SoftDisc(w, h), w, h);
            owner = imageOwner->widget;
        } else {
            plainOwner = std::make_unique<SEffectOwner>(w, h);
            owner = plainOwner->widget;
        }
        auto* s = new CWidgetEffectShadow();
        (void)s->SetRadius(3.3f, 0);
        (void)s->ShadowOffset(gCPoint(3, -2), 0);
        (void)s->SetColour(0xFF203040u, 0);
        (void)s->SetOutsideOnly(f.outsideOnly ? 1 : 0, 0);
        ASSERT_EQ(owner->AddEffectU(s, 0, 0), eNoError);
        ASSERT_EQ(s->ShadowCache() != nullptr, f.shaped);
        oracle::SSilhouette shape;
        if (f.shaped) {
            shape = oracle::Silhouette(*static_cast<CImWidget*>(owner)->Image(), w, h, 3.3f, 3, -2,
                                       f.outsideOnly);
        }
        oracle::SShadow p{w, h, 3.3f, 3, -2, 0xFF203040u, f.outsideOnly, f.shaped ? &shape : nullptr};
        // A small matte with an origin: it covers owner-local (-4, -6) on.
        std::unique_ptr<CImage8> mask;
        if (f.masked) {
            mask = std::make_unique<CImage8>(29, 31);
            mask->SetOrigin(gCPoint(4, 6));
            CImNav8 mv(mask.get());
            for (int32_t y = 0; y < 31; ++y) {
                for (int32_t x = 0; x < 29; ++x) {
                    mv.Row(y)[x] = uint8_t(rng());
                }
            }
        }
        auto target = LocalTarget(w, h, 12, 0);
        oracle::Randomise(*target, rng);
        CImage expected;
        oracle::CopyInto(*target, expected);
        for (int32_t i = 0; i < 25; ++i) {
            const gCRect r = RandomRect(rng, s->Extent());
            const uint32_t alpha = i == 0 ? 255 : uint32_t(rng() % 256);
            ASSERT_EQ(s->DoShadowRender(r, target.get(), alpha, mask.get()), eNoError);
            oracle::Shadow(p, r, expected, alpha, mask.get());
        }
        ASSERT_EQ(oracle::Words(*target), oracle::Words(expected));
    }
}

TEST(ShadowEffect, AnAlphaEdgedImageTakesTheShapedFormAndItsCompressedTwinTheSamePixels) {
    SImageOwner plain(SoftDisc(45, 33), 45, 33);
    SImageOwner packed(SoftDisc(45, 33), 45, 33);
    ASSERT_EQ(packed.widget->CompressImage(), eNoError);
    ASSERT_TRUE(packed.widget->Image()->IsCompressed());
    auto* a = new CWidgetEffectShadow();
    auto* b = new CWidgetEffectShadow();
    ASSERT_EQ(plain.widget->AddEffectU(a, 0, 0), eNoError);
    ASSERT_EQ(packed.widget->AddEffectU(b, 0, 0), eNoError);
    ASSERT_NE(a->ShadowCache(), nullptr);
    ASSERT_NE(b->ShadowCache(), nullptr);
    auto ta = LocalTarget(45, 33, 30, 0xFFC0C0C0u);
    auto tb = LocalTarget(45, 33, 30, 0xFFC0C0C0u);
    ASSERT_EQ(a->RenderEffect(a->Extent(), ta.get(), 200), eNoError);
    ASSERT_EQ(b->RenderEffect(b->Extent(), tb.get(), 200), eNoError);
    EXPECT_EQ(oracle::Words(*ta), oracle::Words(*tb));
    EXPECT_NE(oracle::Words(*ta), oracle::Words(*LocalTarget(45, 33, 30, 0xFFC0C0C0u)));
}

TEST(ShadowEffect, AnOpaqueBlitOwnerTakesTheRectangularForm) {
    SImageOwner o(SoftDisc(45, 33), 45, 33);
    o.widget->SetOpaqueBlit(1);
    auto* s = new CWidgetEffectShadow();
    ASSERT_EQ(o.widget->AddEffectU(s, 0, 0), eNoError);
    EXPECT_EQ(s->ShadowCache(), nullptr);
    EXPECT_EQ(s->XTable().GetCount(), 45u + 30u);
    // A shaped shadow goes back to the rectangular form the same way.
    o.widget->SetOpaqueBlit(0);
    ASSERT_EQ(o.widget->EffectChanged(s, 0), eNoError);
    EXPECT_NE(s->ShadowCache(), nullptr);
    ASSERT_EQ(s->WidgetChanged(), eNoError);
    EXPECT_EQ(s->ShadowCache(), nullptr);
}

TEST(ShadowEffect, SettersOnlyStoreWhileDetached) {
    CWidgetEffectShadow s;
    EXPECT_EQ(s.SetRadius(3.0f, 1), eNoError);
    EXPECT_EQ(s.SetColour(0xFF102030u, 1), eNoError);
    EXPECT_EQ(s.SetClipToWidget(1, 1), eNoError);
    EXPECT_EQ(s.SetOutsideOnly(1, 1), eNoError);
    EXPECT_EQ(s.ShadowOffset(gCPoint(1, 2), 1), eNoError);
    EXPECT_EQ(s.Extent(), gCRect());
    EXPECT_EQ(s.Radius(), 3.0f);
    EXPECT_EQ(s.Offset(), gCPoint(1, 2));
    EXPECT_EQ(s.WidgetChanged(), eNoError);
    EXPECT_EQ(s.Extent(), gCRect());
}

} // namespace
