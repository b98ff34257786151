// The effects under bad numbers and failing memory: radii they cannot use,
// offsets at the ends of the 32-bit range, owner images of another size
// than the widget, work images too large, and an allocation failing at
// every step of a rebuild.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>

#include "testsupport/foundation/FailingMemory.h"
#include "widgets/effects/EffectCutout.h"
#include "widgets/effects/EffectGlow.h"
#include "widgets/effects/EffectShadow.h"
#include "widgets/tests/EffectOracles.h"
#include "widgets/tests/EffectTestSupport.h"

namespace {

TEST(EffectFaults, ARadiusTheEffectCannotUse) {
    SEffectOwner o(100, 40);
    auto* s = new CWidgetEffectShadow();
    (void)s->SetRadius(-3.0f, 0);
    ASSERT_EQ(o.widget->AddEffectU(s, 0, 0), eNoError);
    // Negative: 0, a hard rectangle.
    EXPECT_EQ(s->Margin(), 0);
    EXPECT_EQ(s->Extent(), gCRect(8, 8, 108, 48));
    EXPECT_EQ(s->XTable().GetCount(), 100u);
    for (uint32_t i = 0; i < 100; ++i) {
        ASSERT_EQ(s->XTable().GetData()[i], 1.0f);
    }
    // Not finite: the class's default.
    for (float r : {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                    -std::numeric_limits<float>::infinity()}) {
        ASSERT_EQ(s->SetRadius(r, 0), eNoError);
        EXPECT_EQ(s->Margin(), 15);
        EXPECT_EQ(s->Extent(), gCRect(-7, -7, 123, 63));
    }
    auto* g = new CWidgetEffectGlow();
    (void)g->SetRadius(std::numeric_limits<float>::quiet_NaN(), 0);
    ASSERT_EQ(o.widget->AddEffectO(g, 0, 0), eNoError);
    EXPECT_EQ(g->Margin(), 22);
    // Too large for any work image: 5, and nothing changes.
    ASSERT_EQ(s->SetRadius(1e30f, 0), eOutOfMemory);
    EXPECT_EQ(s->Extent(), gCRect(-7, -7, 123, 63));
    EXPECT_EQ(s->XTable().GetCount(), 130u);
    auto target = LocalTarget(100, 40, 20, 0xFF808080u);
    ASSERT_EQ(s->RenderEffect(s->Extent(), target.get(), 255), eNoError);
    // The same for the cut-out and for a shaped shadow.
    auto* c = new CWidgetEffectCutout();
    (void)c->SetRadius(-3.0f, 0);
    ASSERT_EQ(o.widget->AddEffectB(c, 0, 0), eNoError);
    EXPECT_EQ(c->Margin(), 0);
    ASSERT_EQ(c->SetRadius(1e30f, 0), eOutOfMemory);
    EXPECT_EQ(c->Extent(), gCRect(0, 0, 100, 40));
    SImageOwner io(SoftDisc(30, 20), 30, 20);
    auto* shaped = new CWidgetEffectShadow();
    (void)shaped->SetRadius(1e30f, 0);
    EXPECT_EQ(io.widget->AddEffectU(shaped, 0, 0), eOutOfMemory);
    EXPECT_EQ(shaped->Extent(), gCRect());
}

TEST(EffectFaults, AWidgetTooWideForAWorkImageChangesNothing) {
    SEffectOwner o(100, 40);
    auto* s = new CWidgetEffectShadow();
    ASSERT_EQ(o.widget->AddEffectU(s, 0, 0), eNoError);
    ASSERT_EQ(o.widget->SetSize(32767 - 30 + 1, 40, 0), eOutOfMemory);
    EXPECT_EQ(s->Extent(), gCRect(-7, -7, 123, 63));
    EXPECT_EQ(s->XTable().GetCount(), 130u);
    ASSERT_EQ(o.widget->SetSize(32767 - 30, 40, 0), eNoError);
    EXPECT_EQ(s->XTable().GetCount(), 32767u);
}

// Offsets at the ends of the 32-bit range: the extent sticks at the ends,
// the tables are read only where they are, and moving back restores it.
TEST(EffectFaults, OffsetsAtTheEndsOfTheRange) {
    const int32_t far = std::numeric_limits<int32_t>::max();
    SEffectOwner o(100, 40);
    auto* s = new CWidgetEffectShadow();
    ASSERT_EQ(o.widget->AddEffectU(s, 0, 0), eNoError);
    ASSERT_EQ(s->ShadowOffset(gCPoint(far, -far), 0), eNoError);
    EXPECT_EQ(s->Extent(), gCRect(far - 15, std::numeric_limits<int32_t>::min(), far,
                                  40 + 15 - far));
    ASSERT_EQ(s->ShadowOffset(gCPoint(far, 0), 0), eNoError);
    EXPECT_EQ(s->Extent(), gCRect(far - 15, -15, far, 55));
    // A target whose left column is local x = far - 15: the shadow's first
    // columns land on it.
    auto target = FilledImage(20, 70, 0xFF808080u);
    target->SetOrigin(gCPoint(-(far - 15), 15));
    CImage expected;
    oracle::CopyInto(*target, expected);
    ASSERT_EQ(s->RenderEffect(s->Extent(), target.get(), 255), eNoError);
    oracle::SShadow p{100, 40, 7.0f, far, 0, 0xFF000000u, false, nullptr};
    oracle::Shadow(p, gCRect(far - 15, -15, far, 55), expected, 255, nullptr);
    EXPECT_EQ(oracle::Words(*target), oracle::Words(expected));
    EXPECT_NE(oracle::Words(*target), oracle::Words(*FilledImage(20, 70, 0xFF808080u)));
    ASSERT_EQ(s->ShadowOffset(gCPoint(-far, far), 0), eNoError);
    ASSERT_EQ(s->RenderEffect(s->Extent(), target.get(), 255), eNoError);
    ASSERT_EQ(s->ShadowOffset(gCPoint(8, 8), 0), eNoError);
    EXPECT_EQ(s->Extent(), gCRect(-7, -7, 123, 63));

    // The glow and a shaped shadow read their tables and cache the same way.
    SImageOwner io(SoftDisc(30, 20), 30, 20);
    auto* g = new CWidgetEffectGlow();
    auto* shaped = new CWidgetEffectShadow();
    ASSERT_EQ(io.widget->AddEffectO(g, 0, 0), eNoError);
    ASSERT_EQ(io.widget->AddEffectU(shaped, 0, 0), eNoError);
    for (const gCPoint& offset : {gCPoint(far, far), gCPoint(-far, -far), gCPoint(far, -far)}) {
        ASSERT_EQ(g->ShadowOffset(offset, 0), eNoError);
        ASSERT_EQ(shaped->ShadowOffset(offset, 0), eNoError);
        auto t = FilledImage(40, 40, 0xFF000000u);
        // The extent's top-left corner on the target's first pixel (its
        // negation held in 32 bits).
        auto negated = [](int32_t v) {
            return int32_t(std::min<int64_t>(-int64_t(v), std::numeric_limits<int32_t>::max()));
        };
        t->SetOrigin(gCPoint(negated(g->Extent().left), negated(g->Extent().top)));
        ASSERT_EQ(g->RenderEffect(g->Extent(), t.get(), 255), eNoError);
        ASSERT_EQ(shaped->RenderEffect(shaped->Extent(), t.get(), 255), eNoError);
    }
    // The cut-out: every pixel's shifted position leaves the work image.
    SEffectOwner co(50, 20);
    auto* c = new CWidgetEffectCutout();
    ASSERT_EQ(co.widget->AddEffectU(c, 0, 0), eNoError);
    ASSERT_EQ(c->ShadowOffset(gCPoint(far, -far), 0), eNoError);
    auto t = LocalTarget(50, 20, 0, 0xFFFFFFFFu);
    ASSERT_EQ(c->RenderEffect(c->Extent(), t.get(), 255), eNoError);
    EXPECT_EQ(oracle::Words(*t), oracle::Words(*LocalTarget(50, 20, 0, 0xFF000000u)));
}

// A 20 x 10 image in a 40 x 20 widget: the image within its bounds, the
// rest transparent.
TEST(EffectFaults, AnImageSmallerThanTheWidget) {
    auto small = SoftDisc(20, 10);
    auto padded = MakeImage(40, 20, [&](int32_t x, int32_t y) {
        return x < 20 && y < 10 ? PixelAt(*small, x, y) : 0u;
    });
    SImageOwner o(std::move(small), 40, 20);
    ASSERT_EQ(o.widget->Width(), 40);
    auto* s = new CWidgetEffectShadow();
    (void)s->SetOutsideOnly(1, 0);
    ASSERT_EQ(o.widget->AddEffectU(s, 0, 0), eNoError);
    const oracle::SSilhouette shape = oracle::Silhouette(*padded, 40, 20, 7.0f, 8, 8, true);
    oracle::SShadow p{40, 20, 7.0f, 8, 8, 0xFF000000u, true, &shape};
    auto target = LocalTarget(40, 20, 30, 0xFFC0C0C0u);
    CImage expected;
    oracle::CopyInto(*target, expected);
    ASSERT_EQ(s->RenderEffect(s->Extent(), target.get(), 255), eNoError);
    oracle::Shadow(p, s->Extent(), expected, 255, nullptr);
    EXPECT_EQ(oracle::Words(*target), oracle::Words(expected));

    auto* c = new CWidgetEffectCutout();
    ASSERT_EQ(o.widget->AddEffectB(c, 0, 0), eNoError);
    std::vector<uint8_t> shapeBytes;
    for (int32_t y = 0; y < 20; ++y) {
        for (int32_t x = 0; x < 40; ++x) {
            shapeBytes.push_back(uint8_t(PixelAt(*padded, x, y) >> 24));
        }
    }
    const std::vector<uint8_t> want = oracle::CutoutStrengths(shapeBytes, 40, 20, 1.0f, 1, 1);
    CRLE8& cache = const_cast<CRLE8&>(*c->CutoutCache());
    ASSERT_EQ(cache.GetWidth(), 40);
    for (int32_t y = 0; y < 20; ++y) {
        cache.StartRLE(0, y);
        for (int32_t x = 0; x < 40; ++x) {
            ASSERT_EQ(cache.NextRLE(), want[size_t(y * 40 + x)]) << x << "," << y;
        }
    }
}

TEST(EffectFaults, AnImageLargerThanTheWidgetIsReadOverTheWidgetOnly) {
    auto big = SoftDisc(60, 40);
    auto cropped = MakeImage(30, 20, [&](int32_t x, int32_t y) { return PixelAt(*big, x, y); });
    SImageOwner o(std::move(big), 30, 20);
    auto* s = new CWidgetEffectShadow();
    ASSERT_EQ(o.widget->AddEffectU(s, 0, 0), eNoError);
    const oracle::SSilhouette shape = oracle::Silhouette(*cropped, 30, 20, 7.0f, 8, 8, false);
    oracle::SShadow p{30, 20, 7.0f, 8, 8, 0xFF000000u, false, &shape};
    auto target = LocalTarget(30, 20, 30, 0xFFC0C0C0u);
    CImage expected;
    oracle::CopyInto(*target, expected);
    ASSERT_EQ(s->RenderEffect(s->Extent(), target.get(), 255), eNoError);
    oracle::Shadow(p, s->Extent(), expected, 255, nullptr);
    EXPECT_EQ(oracle::Words(*target), oracle::Words(expected));
}

// Every allocation of a rebuild fails in turn: the rebuild answers 5 with
// an empty extent and nothing kept, and a render then draws nothing; once
// every allocation succeeds the effect draws again.
template <class Effect, class Owner>
void FailEveryStep(Owner& o, Effect* effect, CImage* image) {
    auto render = [&](bool expectNothing) {
        auto target = LocalTarget(40, 20, 30, 0xFF808080u);
        ASSERT_EQ(effect->RenderEffect(gCRect(-30, -30, 70, 50), target.get(), 255), eNoError);
        const bool nothing =
            oracle::Words(*target) == oracle::Words(*LocalTarget(40, 20, 30, 0xFF808080u));
        EXPECT_EQ(nothing, expectNothing);
    };
    for (int32_t allowed = 0;; ++allowed) {
        SCOPED_TRACE(allowed);
        error e;
        {
            CFailingMemory failing(allowed);
            e = image ? effect->WidgetChanged(image) : effect->WidgetChanged();
        }
        if (e == eNoError) {
            render(false);
            EXPECT_GT(allowed, 0);
            return;
        }
        ASSERT_EQ(e, eOutOfMemory);
        EXPECT_EQ(effect->Extent(), gCRect());
        render(true);
        ASSERT_LT(allowed, 50);
    }
    (void)o;
}

TEST(EffectFaults, AnAllocationFailingInEveryRebuild) {
    {
        SCOPED_TRACE("rectangular shadow");
        SEffectOwner o(40, 20);
        auto* s = new CWidgetEffectShadow();
        ASSERT_EQ(o.widget->AddEffectU(s, 0, 0), eNoError);
        FailEveryStep(o, s, nullptr);
    }
    {
        SCOPED_TRACE("shaped shadow");
        SImageOwner o(SoftDisc(40, 20), 40, 20);
        auto* s = new CWidgetEffectShadow();
        ASSERT_EQ(o.widget->AddEffectU(s, 0, 0), eNoError);
        EXPECT_NE(s->ShadowCache(), nullptr);
        FailEveryStep(o, s, o.widget->Image());
    }
    {
        SCOPED_TRACE("shaped glow");
        SImageOwner o(SoftDisc(40, 20), 40, 20);
        auto* g = new CWidgetEffectGlow();
        ASSERT_EQ(o.widget->AddEffectU(g, 0, 0), eNoError);
        FailEveryStep(o, g, o.widget->Image());
    }
    for (bool shaped : {false, true}) {
        SCOPED_TRACE(shaped ? "shaped cut-out" : "cut-out");
        SImageOwner o(SoftDisc(40, 20), 40, 20);
        auto* c = new CWidgetEffectCutout();
        ASSERT_EQ(o.widget->AddEffectU(c, 0, 0), eNoError);
        FailEveryStep(o, c, shaped ? o.widget->Image() : nullptr);
    }
}

} // namespace
