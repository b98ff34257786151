// The gradient effect: its per-pixel table indexes for the three types,
// the cache against the direct drawing, and random areas against an
// oracle written from the formulas.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <random>

#include "imaging/PixelMix.h"
#include "widgets/effects/EffectGradient.h"
#include "widgets/tests/EffectOracles.h"
#include "widgets/tests/EffectTestSupport.h"

namespace {

// The index by the formulas, one pixel at a time (not for the vertical
// linear form).
int32_t OracleIndex(int32_t type, float angle, float cx, float cy, int32_t W, int32_t H, int32_t x,
                    int32_t y) {
    const float twoPi = 6.2831855f;
    int64_t index = 0;
    if (type == 0) {
        const float t = angle * twoPi;
        const float sn = float(std::sin(double(t)));
        const float cs = float(std::cos(double(t)));
        const float L = std::fabs(cs * float(H)) + std::fabs(sn * float(W));
        const int64_t dx = int64_t(std::round(((-sn / L) * 65535.0f) * 4095.0f));
        const int64_t dy = int64_t(std::round(((cs / L) * 65535.0f) * 4095.0f));
        const int64_t S = 0x7FF8000 - (dx * W) / 2 - (dy * H) / 2;
        index = (S + x * dx + y * dy) >> 16;
    } else {
        float phi = ((1.0f - angle) - 0.25f) * twoPi;
        if (phi > twoPi) {
            phi -= twoPi;
        } else if (phi < 0) {
            phi += twoPi;
        }
        const float rot = float(double(phi) + M_PI);
        const int64_t px = int64_t(std::round(cx * float(W)));
        const int64_t py = int64_t(std::round(cy * float(H)));
        const float rx = (cx > 0.5f ? cx : 1 - cx) * float(W);
        const float ry = (cy > 0.5f ? cy : 1 - cy) * float(H);
        const double rad = std::sqrt(double(rx * rx + ry * ry));
        const float k = float(4095.0 / rad);
        if (type == 1) {
            const float d2 = float((x - px) * (x - px) + (y - py) * (y - py));
            index = int64_t(std::round(std::sqrt(double(d2)) * double(k)));
        } else {
            float a = float(std::atan2(double(float(y - py)), double(float(x - px))) + double(rot));
            if (a > twoPi) {
                a -= twoPi;
            }
            index = int64_t(std::round(a * 651.7395f));
        }
    }
    return int32_t(std::clamp<int64_t>(index, 0, 4096));
}

int32_t At(int32_t type, float angle, int32_t W, int32_t H, int32_t x, int32_t y, float cx = 0.5f,
           float cy = 0.5f) {
    return CGradientIndexer(type, angle, cx, cy, W, H).Index(x, y);
}

TEST(GradientEffect, LinearIndexesAtAnAngle) {
    EXPECT_EQ(At(0, 0.25f, 100, 100, 0, 0), 4094);
    EXPECT_EQ(At(0, 0.25f, 100, 100, 0, 77), 4094);
    EXPECT_EQ(At(0, 0.25f, 100, 100, 99, 10), 40);
    EXPECT_EQ(At(0, 0.25f, 100, 100, 50, 50), 2047);
    EXPECT_EQ(At(0, 0.75f, 100, 100, 0, 30), 0);
    EXPECT_EQ(At(0, 0.75f, 100, 100, 99, 30), 4054);
    EXPECT_TRUE(CGradientIndexer(0, 0.0f, 0.5f, 0.5f, 100, 100).Vertical());
}

TEST(GradientEffect, RadialAndAngularIndexes) {
    EXPECT_EQ(At(1, 0.0f, 100, 60, 50, 30), 0);
    // Angular at angle 0: 4095 above the centre, 1024 right, 2047 below,
    // 3071 left; a quarter turn on at 0.25.
    EXPECT_EQ(At(2, 0.0f, 100, 100, 50, 20), 4095);
    EXPECT_EQ(At(2, 0.0f, 100, 100, 80, 50), 1024);
    EXPECT_EQ(At(2, 0.0f, 100, 100, 50, 80), 2047);
    EXPECT_EQ(At(2, 0.0f, 100, 100, 20, 50), 3071);
    EXPECT_EQ(At(2, 0.25f, 100, 100, 80, 50), 4095);
    EXPECT_EQ(At(2, 0.25f, 100, 100, 50, 80), 1024);
    EXPECT_FALSE(CGradientIndexer(3, 0.0f, 0.5f, 0.5f, 10, 10).Draws());
    EXPECT_FALSE(CGradientIndexer(-1, 0.0f, 0.5f, 0.5f, 10, 10).Draws());
}

TEST(GradientEffect, IndexesStayInTheTable) {
    // A 3 x 3 radial reaches past 4096 at the far corners before clamping;
    // a 6000 x 3000 linear past both ends.
    for (int32_t y = 0; y < 3; ++y) {
        for (int32_t x = 0; x < 3; ++x) {
            const int32_t i = At(1, 0.0f, 3, 3, x, y);
            EXPECT_TRUE(i >= 0 && i <= 4096) << i;
        }
    }
    for (float angle : {0.125f, 0.3f, 0.6f, 0.9f}) {
        for (int32_t y : {0, 2999}) {
            for (int32_t x : {0, 5999}) {
                const int32_t i = At(0, angle, 6000, 3000, x, y);
                EXPECT_TRUE(i >= 0 && i <= 4096) << i;
            }
        }
    }
    // Drawn, near those corners, with a non-finite centre and angle.
    SEffectOwner o(6000, 3000);
    auto* g = new CWidgetEffectGradient();
    (void)g->SetAngle(0.125f, 0);
    ASSERT_EQ(o.widget->AddEffectO(g, 0, 0), eNoError);
    auto target = FilledImage(8, 8, 0xFF808080u);
    target->SetOrigin(gCPoint(-5992, -2992));
    ASSERT_EQ(g->RenderEffect(gCRect(5992, 2992, 6000, 3000), target.get(), 255), eNoError);
    ASSERT_EQ(g->SetType(1, 0), eNoError);
    ASSERT_EQ(g->SetCentre(std::nanf(""), INFINITY, 0), eNoError);
    ASSERT_EQ(g->RenderEffect(gCRect(5992, 2992, 6000, 3000), target.get(), 255), eNoError);
}

// A gradient effect on a w x h owner, direct or cached over an image.
struct SGradientCase {
    int32_t type;
    float angle;
    float cx, cy;
    int32_t mode;
};

TEST(GradientEffect, RandomAreasEqualTheOracleForEveryType) {
    std::mt19937 rng(99);
    const SGradientCase cases[] = {{0, 0.0f, 0.5f, 0.5f, 0},   {0, 0.125f, 0.5f, 0.5f, 1},
                                   {0, 0.7f, 0.5f, 0.5f, 2},   {1, 0.0f, 0.5f, 0.5f, 3},
                                   {1, 0.3f, 0.2f, 0.9f, 6},   {2, 0.0f, 0.5f, 0.5f, 4},
                                   {2, 0.6f, 0.7f, 0.25f, 5}};
    for (const SGradientCase& c : cases) {
        SCOPED_TRACE(c.type * 100 + c.mode);
        const int32_t w = 47;
        const int32_t h = 31;
        SEffectOwner o(w, h);
        auto* g = new CWidgetEffectGradient();
        (void)g->SetType(c.type, 0);
        (void)g->SetAngle(c.angle, 0);
        (void)g->SetCentre(c.cx, c.cy, 0);
        (void)g->SetBlendMode(c.mode, 0);
        ASSERT_EQ(g->AddStop(0xC0E39B45u, 0.4f, 0), eNoError);
        ASSERT_EQ(o.widget->AddEffectO(g, 0, 0), eNoError);
        ASSERT_EQ(g->Cache(), nullptr);
        auto target = LocalTarget(w, h, 0, 0);
        oracle::Randomise(*target, rng);
        CImage expected;
        oracle::CopyInto(*target, expected);
        for (int32_t i = 0; i < 10; ++i) {
            const gCRect r = RandomRect(rng, gCRect(0, 0, w, h));
            const uint32_t alpha = 1 + rng() % 255;
            ASSERT_EQ(g->RenderEffect(r, target.get(), alpha), eNoError);
            CImNav view(&expected);
            for (int32_t y = r.top; y < r.bottom; ++y) {
                for (int32_t x = r.left; x < r.right; ++x) {
                    const uint32_t colour =
                        (c.type == 0 && c.angle == 0.0f)
                            ? uint32_t(g->Gradient().GetColourAtPoint(y, h))
                            : uint32_t(g->Gradient().Table()[OracleIndex(c.type, c.angle, c.cx,
                                                                         c.cy, w, h, x, y)]);
                    const uint32_t blend =
                        (colour & 0xFFFFFF) | (((colour >> 8) * (alpha + 1)) & 0xFF000000u);
                    CPixel& d = view.Row(y)[x];
                    d = CPixelMix::MixPixel(c.mode, blend, d);
                }
            }
        }
        ASSERT_EQ(oracle::Words(*target), oracle::Words(expected));
    }
}

TEST(GradientEffect, TheCacheEqualsTheDirectDrawingOverAnOpaqueImage) {
    for (int32_t type : {0, 1, 2}) {
        SEffectOwner plain(40, 30);
        SImageOwner image(FilledImage(40, 30, 0xFF102030u), 40, 30);
        auto* direct = new CWidgetEffectGradient();
        auto* cached = new CWidgetEffectGradient();
        for (auto* g : {direct, cached}) {
            (void)g->SetType(type, 0);
            (void)g->SetAngle(0.2f, 0);
            (void)g->SetBlendMode(1, 0);
        }
        ASSERT_EQ(plain.widget->AddEffectO(direct, 0, 0), eNoError);
        ASSERT_EQ(image.widget->AddEffectO(cached, 0, 0), eNoError);
        ASSERT_EQ(direct->Cache(), nullptr);
        ASSERT_NE(cached->Cache(), nullptr);
        auto a = LocalTarget(40, 30, 0, 0xFF8090A0u);
        auto b = LocalTarget(40, 30, 0, 0xFF8090A0u);
        ASSERT_EQ(direct->RenderEffect(gCRect(3, 2, 40, 30), a.get(), 180), eNoError);
        ASSERT_EQ(cached->RenderEffect(gCRect(3, 2, 40, 30), b.get(), 180), eNoError);
        EXPECT_EQ(oracle::Words(*a), oracle::Words(*b)) << type;
    }
}

TEST(GradientEffect, OverATransparentImageOnlySoftLightChangesAnything) {
    for (int32_t mode = 0; mode < 7; ++mode) {
        SImageOwner o(FilledImage(20, 10, 0x00FFFFFFu), 20, 10);
        auto* g = new CWidgetEffectGradient();
        (void)g->SetBlendMode(mode, 0);
        (void)g->SetAngle(0.25f, 0);
        ASSERT_EQ(o.widget->AddEffectO(g, 0, 0), eNoError);
        auto target = LocalTarget(20, 10, 0, 0xFF808080u);
        ASSERT_EQ(g->RenderEffect(gCRect(0, 0, 20, 10), target.get(), 255), eNoError);
        // Column 0 takes the white end; SoftLight raises 0x80 by one there.
        EXPECT_EQ(LocalPixel(*target, 0, 5), mode == 6 ? 0xFF818181u : 0xFF808080u) << mode;
    }
}

TEST(GradientEffect, TypesOutsideTheThreeWriteNothing) {
    for (int32_t type : {3, -1}) {
        for (bool cached : {false, true}) {
            SImageOwner o(FilledImage(20, 10, 0xFF000000u), 20, 10);
            o.widget->SetOpaqueBlit(cached ? 0 : 1);
            auto* g = new CWidgetEffectGradient();
            (void)g->SetType(type, 0);
            ASSERT_EQ(o.widget->AddEffectO(g, 0, 0), eNoError);
            auto target = LocalTarget(20, 10, 0, 0xFF808080u);
            ASSERT_EQ(g->RenderEffect(gCRect(0, 0, 20, 10), target.get(), 255), eNoError);
            if (cached) {
                // The cache holds zeros: Normal over alpha 0 leaves the target.
                ASSERT_NE(g->Cache(), nullptr);
            }
            EXPECT_EQ(oracle::Words(*target), oracle::Words(*LocalTarget(20, 10, 0, 0xFF808080u)));
        }
    }
    CWidgetEffectGradient g;
    EXPECT_EQ(g.TypeID(), FourCC("grfx"));
    CImage unlockable;
    EXPECT_EQ(g.RenderEffect(gCRect(0, 0, 5, 5), &unlockable, 0), eNoError);
}

} // namespace
