// The layer shadow against a scalar oracle of its gather, reduction, blur
// and upsampling, in its three places; the shadow's layer hooks; and the
// walks under failing locks and odd sizes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "imaging/Blur.h"
#include "imaging/ImNav.h"
#include "imaging/Image.h"
#include "imaging/Image8.h"
#include "testsupport/foundation/FailingMemory.h"
#include "testsupport/imaging/Goldens.h"
#include "testsupport/widgets/RecordingRoot.h"
#include "widgets/Backdrop.h"
#include "widgets/CoWidget.h"
#include "widgets/detail/LayerUpsample.h"
#include "widgets/effects/EffectLayerShadow.h"
#include "widgets/effects/EffectShadow.h"
#include "widgets/tests/EffectOracles.h"
#include "widgets/tests/EffectTestSupport.h"
#include "widgets/tests/PixelTesting.h"

namespace {

// The layer shadow with its mattes reachable, recording the change rects
// it is handed.
class CTestLayerShadow : public CWidgetEffectLayerShadow {
public:
    error AddChangeRect(const gCRect& r) override {
        m_aChanges.push_back(r);
        return CWidgetEffectLayerShadow::AddChangeRect(r);
    }
    CImage8* Blurred() { return m_pBlurredMatte.get(); }
    std::vector<gCRect> m_aChanges;
};

// An 8-bit image whose locks fail once `allowed` of them have succeeded.
class CFailingLock8 : public CImage8 {
public:
    CFailingLock8(int32_t w, int32_t h, int32_t allowed) : CImage8(w, h), m_nAllowed(allowed) {}
    using CImage8::Lock;
    error Lock(void*& pixels, const gCRect* rect) override {
        if (m_nAllowed-- <= 0) {
            return eOutOfMemory;
        }
        return CImage8::Lock(pixels, rect);
    }
    int32_t m_nAllowed;
};

class CFailingLock : public CImage {
public:
    CFailingLock(int32_t w, int32_t h) : CImage(w, h) {}
    using CImage::Lock;
    error Lock(void*&, const gCRect*) override { return eOutOfMemory; }
};

uint8_t MatteAt(CImage8& matte, int32_t x, int32_t y) {
    const gCPoint o = matte.GetOrigin();
    matte.SetOrigin(gCPoint(0, 0));
    CImNav8 view(&matte);
    const uint8_t v = view.Row(y)[x];
    matte.SetOrigin(o);
    return v;
}

void FillMatte(CImage8& matte, uint8_t value) {
    CImNav8 view(&matte);
    view.Fill(value);
}

// --- The oracle: written from the formulas, one pixel at a time.
namespace lsoracle {

struct SCaster {
    gCRect rect;    // owner-local
    uint32_t alpha; // 0..255, the caster's alpha in the walk
};

// The blurred matte of a full rebuild: gather by maximum, reduce, blur,
// keep bits 8-15.
std::vector<uint8_t> Blurred(int32_t w, int32_t h, float radius, int32_t speed,
                             const std::vector<SCaster>& casters, int32_t& bw, int32_t& bh) {
    const int32_t m = int32_t(radius * 2.2f);
    const int32_t s = speed + 1;
    const int32_t rw = w + 2 * m;
    const int32_t rh = h + 2 * m;
    std::vector<uint8_t> raw(size_t(rw * rh), 0);
    for (const SCaster& c : casters) {
        for (int32_t y = c.rect.top; y < c.rect.bottom; ++y) {
            for (int32_t x = c.rect.left; x < c.rect.right; ++x) {
                const int32_t rx = x + m;
                const int32_t ry = y + m;
                if (rx < 0 || ry < 0 || rx >= rw || ry >= rh) {
                    continue;
                }
                uint8_t& b = raw[size_t(ry * rw + rx)];
                b = std::max<uint8_t>(b, uint8_t((c.alpha * 255u) >> 8));
            }
        }
    }
    const int32_t ww = rw / s + speed;
    const int32_t wh = rh / s + speed;
    CImage work(ww, wh);
    {
        CImNav view(&work);
        for (int32_t y = 0; y * s < rh; ++y) {
            for (int32_t x = 0; x * s < rw; ++x) {
                uint32_t sum = 0;
                uint32_t count = 0;
                for (int32_t j = 0; j < s; ++j) {
                    for (int32_t i = 0; i < s; ++i) {
                        const int32_t px = x * s + i;
                        const int32_t py = y * s + j;
                        if (px < rw && py < rh) {
                            sum += raw[size_t(py * rw + px)];
                            ++count;
                        }
                    }
                }
                view.Row(y)[x] = sum * 257u / count;
            }
        }
    }
    EXPECT_TRUE(CBlur::GaussianBlur(&work, radius / float(s), 0));
    bw = rw / s + s;
    bh = rh / s + s;
    std::vector<uint8_t> out(size_t(bw * bh), 0);
    CImNav view(&work);
    for (int32_t y = 0; y < std::min(bh, wh); ++y) {
        for (int32_t x = 0; x < std::min(bw, ww); ++x) {
            out[size_t(y * bw + x)] = uint8_t((uint32_t(view.Row(y)[x]) >> 8) & 255);
        }
    }
    return out;
}

// Draws the blurred matte over area (owner-local) onto the target as the
// under position does: 8.8 upsampling, the two weights.
void Draw(CImage& target, const gCRect& area, const std::vector<uint8_t>& blurred, int32_t bw,
          int32_t bh, int32_t m, int32_t speed, gCPoint offset, uint32_t colour, uint32_t alpha) {
    const int32_t s = speed + 1;
    auto src = [&](int32_t x, int32_t y) -> int32_t {
        return x >= 0 && y >= 0 && x < bw && y < bh ? blurred[size_t(y * bw + x)] : 0;
    };
    // The source rect's corner, and the area's first pixel in 8.8 reduced
    // units from it, half a step back.
    const int32_t left = (area.left + m - offset.x) / s;
    const int32_t top = (area.top + m - offset.y) / s;
    const int32_t x0 = area.left + m - offset.x - s / 2 - left * s;
    const int32_t y0 = area.top + m - offset.y - s / 2 - top * s;
    for (int32_t y = area.top; y < area.bottom; ++y) {
        for (int32_t x = area.left; x < area.right; ++x) {
            const int32_t u = std::max(0, ((x0 + x - area.left) * 256) / s);
            const int32_t v = std::max(0, ((y0 + y - area.top) * 256) / s);
            const int32_t X = left + (u >> 8);
            const int32_t Y = top + (v >> 8);
            const int32_t fx = u & 255;
            const int32_t fy = v & 255;
            const int32_t top = src(X, Y) + (((src(X + 1, Y) - src(X, Y)) * fx) >> 8);
            const int32_t bottom =
                src(X, Y + 1) + (((src(X + 1, Y + 1) - src(X, Y + 1)) * fx) >> 8);
            const int32_t value = (top + (((bottom - top) * fy) >> 8)) & 255;
            const int32_t weight = int32_t(((alpha + 1) * uint32_t(value)) >> 8);
            const int32_t tx = x + target.GetOrigin().x;
            const int32_t ty = y + target.GetOrigin().y;
            if (tx < 0 || ty < 0 || tx >= target.GetWidth() || ty >= target.GetHeight()) {
                continue;
            }
            CImNav view(&target);
            view.Row(ty)[tx] = oracle::Blend255(view.Row(ty)[tx], weight, colour);
        }
    }
}

} // namespace lsoracle

// A 200 x 80 bar at (50, 50) in a recording root, with a layer shadow in
// its under place 0 and shadow-casting children.
struct SBar {
    CRecordingRoot root{600, 400};
    CWidget* bar = nullptr;
    CTestLayerShadow* layer = nullptr;

    SBar(float radius, int32_t speed) {
        bar = AddPlaced(root, gCRect(50, 50, 250, 130));
        layer = new CTestLayerShadow();
        (void)layer->SetRadius(radius, 0);
        (void)layer->SetSpeed(speed);
        EXPECT_EQ(bar->AddEffectU(layer, 0, 0), eNoError);
    }
    // A child at rect (bar-local) whose shadow casts into the layer.
    CWidget* Caster(const gCRect& rect, uint32_t opacity = 255) {
        CWidget* child = AddPlaced(*bar, rect);
        auto* shadow = new CWidgetEffectShadow();
        EXPECT_EQ(shadow->SetParentLayer(1, 0), eNoError);
        EXPECT_EQ(child->AddEffectU(shadow, 0, 0), eNoError);
        EXPECT_EQ(child->SetOpacity(opacity, 0), eNoError);
        return child;
    }
    std::vector<uint8_t> BlurredBytes() {
        std::vector<uint8_t> out;
        CImNav8 view(layer->Blurred());
        for (int32_t y = 0; y < view.GetHeight(); ++y) {
            out.insert(out.end(), view.Row(y), view.Row(y) + view.GetWidth());
        }
        return out;
    }
};

// --- Sizes and setters

TEST(LayerShadow, SizesAndSpeed) {
    CWidgetEffectLayerShadow detached;
    EXPECT_EQ(detached.TypeID(), 0x6C736678u);
    EXPECT_EQ(detached.SetSpeed(25), eNoError);
    EXPECT_EQ(detached.Speed(), 10);
    EXPECT_EQ(detached.SetSpeed(-3), eNoError);
    EXPECT_EQ(detached.Speed(), 0);
    EXPECT_EQ(detached.Margin(), 15);
    EXPECT_EQ(detached.ContainerAlpha(), nullptr);

    SEffectOwner o(100, 40);
    auto* layer = new CWidgetEffectLayerShadow();
    ASSERT_EQ(o.widget->AddEffectU(layer, 0, 0), eNoError);
    EXPECT_EQ(layer->Extent(), gCRect(-7, -7, 123, 63));
    ASSERT_EQ(layer->SetSpeed(2), eNoError);
    EXPECT_EQ(layer->ContainerAlpha()->GetWidth(), 130);
    EXPECT_EQ(layer->ContainerAlpha()->GetHeight(), 70);
    EXPECT_EQ(layer->BlurredMatte()->GetWidth(), 46);
    EXPECT_EQ(layer->BlurredMatte()->GetHeight(), 26);
    // The whole layer is marked changed, and the coverage reported moved by
    // the owner's place and the offset.
    EXPECT_EQ(layer->ChangeRegion().GetBounds(), gCRect(-30, -30, 130, 70));
}

TEST(LayerShadow, LiveLayerShadowsAreCounted) {
    const int32_t before = CWidgetEffectLayerShadow::m_nRefCount;
    {
        CWidgetEffectLayerShadow a;
        auto b = std::make_unique<CWidgetEffectLayerShadow>();
        EXPECT_EQ(CWidgetEffectLayerShadow::m_nRefCount, before + 2);
    }
    EXPECT_EQ(CWidgetEffectLayerShadow::m_nRefCount, before);
}

// --- Reduction

// With radius 0 nothing is blurred, so the blurred matte shows the
// reduction itself.
TEST(LayerShadow, ReductionCopiesAtSpeedZeroAndAveragesOnlyInsideAtOne) {
    for (int32_t speed : {0, 1}) {
        SCOPED_TRACE(speed);
        CRecordingRoot root{600, 400};
        CWidget* owner = AddPlaced(root, gCRect(10, 10, 15, 13)); // 5 x 3
        auto* layer = new CTestLayerShadow();
        (void)layer->SetRadius(0.0f, 0);
        (void)layer->SetSpeed(speed);
        ASSERT_EQ(owner->AddEffectU(layer, 0, 0), eNoError);
        CWidget* child = AddPlaced(*owner, gCRect(0, 0, 5, 3));
        auto* shadow = new CWidgetEffectShadow();
        ASSERT_EQ(child->AddEffectU(shadow, 0, 0), eNoError);
        ASSERT_EQ(shadow->SetParentLayer(1, 0), eNoError);
        // a = (255 x 201) >> 8 = 200, t = (200 x 255) >> 8 = 199.
        ASSERT_EQ(child->SetOpacity(200, 0), eNoError);
        ASSERT_EQ(layer->PreRenderNotification(layer->Extent(), nullptr, 255), eNoError);
        CImage8& blurred = *layer->Blurred();
        if (speed == 0) {
            for (int32_t x = 0; x < 5; ++x) {
                EXPECT_EQ(MatteAt(blurred, x, 0), 199) << x;
            }
            EXPECT_EQ(MatteAt(blurred, 5, 0), 0);
        } else {
            // Blocks at x 0, 2 and 4; the last has only its left column
            // inside F and still averages to 199 (x 257 = 0xC7C7), not
            // half of it.
            EXPECT_EQ(MatteAt(blurred, 0, 0), 199);
            EXPECT_EQ(MatteAt(blurred, 2, 0), 199);
            EXPECT_EQ(MatteAt(blurred, 2, 1), 199); // a single pixel
        }
    }
}

// --- Under position against the oracle

TEST(LayerShadow, UnderPositionEqualsTheOracle) {
    std::mt19937 rng(58);
    for (int32_t speed : {0, 1, 3}) {
        SCOPED_TRACE(speed);
        SBar b(8.0f, speed);
        b.Caster(gCRect(20, 20, 80, 60));
        b.Caster(gCRect(60, 30, 150, 70), 127);
        ASSERT_EQ(b.layer->PreRenderNotification(b.layer->Extent(), nullptr, 255), eNoError);
        EXPECT_TRUE(b.layer->ChangeRegion().IsEmpty());
        int32_t bw = 0;
        int32_t bh = 0;
        const std::vector<uint8_t> expected = lsoracle::Blurred(
            200, 80, 8.0f, speed,
            {{gCRect(20, 20, 80, 60), 255}, {gCRect(60, 30, 150, 70), (255u * 128u) >> 8}}, bw, bh);
        ASSERT_EQ(b.layer->Blurred()->GetWidth(), bw);
        ASSERT_EQ(b.BlurredBytes(), expected);

        const gCRect extent = b.layer->Extent();
        auto target = MakeImage(extent.Width() + 10, extent.Height() + 10,
                                [&](int32_t, int32_t) { return rng() | 0xFF000000u; });
        target->SetOrigin(gCPoint(-extent.left + 5, -extent.top + 5));
        CImage copy(target->GetWidth(), target->GetHeight());
        {
            CImNav from(target.get());
            CImNav to(&copy);
            for (int32_t y = 0; y < from.GetHeight(); ++y) {
                std::copy_n(from.Row(y), from.GetWidth(), to.Row(y));
            }
        }
        copy.SetOrigin(target->GetOrigin());
        (void)b.layer->SetColour(0xFF203040u, 0);
        for (int32_t trial = 0; trial < 4; ++trial) {
            const gCRect area = RandomRect(rng, extent);
            const uint32_t alpha = trial == 0 ? 255 : rng() % 256;
            ASSERT_EQ(b.layer->RenderEffect(area, target.get(), alpha), eNoError);
            lsoracle::Draw(copy, area, expected, bw, bh, 17, speed, gCPoint(8, 8), 0xFF203040u,
                           alpha);
        }
        ASSERT_EQ(PixelsOf(*target), PixelsOf(copy));
    }
}

TEST(LayerShadow, OverlappingCastersMergeByMaximumAndAlphaZeroDrawsNothing) {
    SBar b(4.0f, 0);
    b.Caster(gCRect(10, 10, 110, 70));
    b.Caster(gCRect(60, 10, 190, 70));
    ASSERT_EQ(b.layer->PreRenderNotification(b.layer->Extent(), nullptr, 255), eNoError);
    auto target = LocalTarget(200, 80, 20, 0xFFFFFFFFu);
    ASSERT_EQ(b.layer->RenderEffect(b.layer->Extent(), target.get(), 255), eNoError);
    // Deep under the overlap (shadow moved by 8, 8) as deep under one alone.
    const uint32_t overlap = LocalPixel(*target, 93, 48);
    EXPECT_EQ(overlap, LocalPixel(*target, 38, 48));
    EXPECT_EQ(overlap, LocalPixel(*target, 170, 48));
    EXPECT_NE(overlap, 0xFFFFFFFFu);
    auto untouched = LocalTarget(200, 80, 20, 0xFF808080u);
    ASSERT_EQ(b.layer->RenderEffect(b.layer->Extent(), untouched.get(), 0), eNoError);
    for (uint32_t p : PixelsOf(*untouched)) {
        ASSERT_EQ(p, 0xFF808080u);
    }
}

// An offset beyond twice the margin still rebuilds the whole layer.
TEST(LayerShadow, ALargeOffsetStillRebuildsTheWholeLayer) {
    SBar b(7.0f, 1);
    b.Caster(gCRect(0, 0, 200, 80));
    ASSERT_EQ(b.layer->PreRenderNotification(b.layer->Extent(), nullptr, 255), eNoError);
    FillMatte(*b.layer->Blurred(), 0x5A);
    ASSERT_EQ(b.layer->ShadowOffset(gCPoint(40, 40), 0), eNoError);
    ASSERT_EQ(b.bar->EffectChanged(b.layer, 0), eNoError);
    ASSERT_EQ(b.layer->PreRenderNotification(b.layer->Extent(), nullptr, 255), eNoError);
    int32_t bw = 0;
    int32_t bh = 0;
    EXPECT_EQ(b.BlurredBytes(),
              lsoracle::Blurred(200, 80, 7.0f, 1, {{gCRect(0, 0, 200, 80), 255}}, bw, bh));
    EXPECT_EQ(b.layer->Extent(), gCRect(40 - 15, 40 - 15, 200 + 15 + 40, 80 + 15 + 40));
}

// The fast upsampling steps the plain one's quotient: the same levels on
// seeded random rows of odd widths, at every step, from negative starts,
// with and without a mask, with rows missing.
TEST(LayerShadow, FastUpsamplingEqualsThePlainOne) {
    std::mt19937 rng(2058);
    std::vector<uint8_t> a(301);
    std::vector<uint8_t> b(301);
    std::vector<uint8_t> mask(700);
    for (int32_t trial = 0; trial < 3000; ++trial) {
        for (auto* v : {&a, &b, &mask}) {
            for (uint8_t& byte : *v) {
                byte = uint8_t(rng());
            }
        }
        effectdetail::SUpsampleRow row;
        row.width = 1 + int64_t(rng() % 300);
        row.rowA = rng() % 8 ? a.data() : nullptr;
        row.rowB = rng() % 8 ? b.data() : nullptr;
        row.step = 1 + int64_t(rng() % 11);
        row.srcLeft = int64_t(rng() % 40) - 10;
        row.x0 = int64_t(rng() % 30) - 12;
        row.fy = int32_t(rng() % 256);
        row.a1 = 1 + rng() % 256;
        row.mask = rng() % 2 ? mask.data() : nullptr;
        const int64_t first = int64_t(rng() % 200);
        const int32_t n = 1 + int32_t(rng() % 200);
        uint8_t plain[256];
        uint8_t fast[256];
        effectdetail::UpsampleLevelsPlain(row, first, n, plain);
        effectdetail::UpsampleLevelsFast(row, first, n, fast);
        ASSERT_TRUE(std::equal(plain, plain + n, fast)) << trial;
    }
}

// --- Change region

TEST(LayerShadow, OnlyTheChangedPartsAreRebuilt) {
    SBar b(4.0f, 1);
    CWidget* moving = b.Caster(gCRect(10, 10, 40, 40));
    b.Caster(gCRect(120, 20, 180, 60));
    ASSERT_EQ(b.layer->PreRenderNotification(b.layer->Extent(), nullptr, 255), eNoError);
    FillMatte(*b.layer->Blurred(), 0x5A);
    b.layer->m_aChanges.clear();
    ASSERT_EQ(moving->SetPosition(20, 30, 0), eNoError);
    // The old and the new rect, in the bar's coordinates.
    ASSERT_EQ(b.layer->m_aChanges.size(), 2u);
    EXPECT_EQ(b.layer->m_aChanges[0], gCRect(10, 10, 40, 40));
    EXPECT_EQ(b.layer->m_aChanges[1], gCRect(20, 30, 50, 60));
    {
        // A failure keeps the region for the next pre-render.
        CFailingMemory noMemory;
        EXPECT_EQ(b.layer->PreRenderNotification(b.layer->Extent(), nullptr, 255), eOutOfMemory);
    }
    EXPECT_FALSE(b.layer->ChangeRegion().IsEmpty());
    ASSERT_EQ(b.layer->PreRenderNotification(b.layer->Extent(), nullptr, 255), eNoError);
    EXPECT_TRUE(b.layer->ChangeRegion().IsEmpty());
    int32_t bw = 0;
    int32_t bh = 0;
    const std::vector<uint8_t> fresh = lsoracle::Blurred(
        200, 80, 4.0f, 1, {{gCRect(20, 30, 50, 60), 255}, {gCRect(120, 20, 180, 60), 255}}, bw, bh);
    CImage8& blurred = *b.layer->Blurred();
    // m = 8, s = 2: the changes grown by m span bar x 2..58, y 2..68, so the
    // reduced rect R' is x 5..32, y 5..37 of the blurred matte.
    EXPECT_EQ(MatteAt(blurred, 20, 20), fresh[size_t(20 * bw + 20)]);
    EXPECT_EQ(MatteAt(blurred, 15, 25), fresh[size_t(25 * bw + 15)]);
    EXPECT_NE(MatteAt(blurred, 5, 5), 0x5A);
    EXPECT_NE(MatteAt(blurred, 32, 37), 0x5A);
    EXPECT_EQ(MatteAt(blurred, 4, 20), 0x5A);
    EXPECT_EQ(MatteAt(blurred, 33, 20), 0x5A);
    EXPECT_EQ(MatteAt(blurred, 20, 38), 0x5A);
    EXPECT_EQ(MatteAt(blurred, 80, 20), 0x5A);
}

// A caster removed between redraws leaves only its rect behind: the next
// pre-render rebuilds the layer without it.
TEST(LayerShadow, RemovingACasterBetweenRedraws) {
    SBar b(4.0f, 0);
    CWidget* going = b.Caster(gCRect(10, 10, 60, 60));
    b.Caster(gCRect(120, 20, 180, 60));
    ASSERT_EQ(b.layer->PreRenderNotification(b.layer->Extent(), nullptr, 255), eNoError);
    CImage8& blurred = *b.layer->Blurred();
    EXPECT_EQ(MatteAt(blurred, 35 + 8, 35 + 8), 254);
    const uint8_t kept = MatteAt(blurred, 150 + 8, 40 + 8);
    ASSERT_EQ(b.bar->RemoveChild(going, 0), eNoError);
    ASSERT_EQ(b.layer->PreRenderNotification(b.layer->Extent(), nullptr, 255), eNoError);
    EXPECT_EQ(MatteAt(blurred, 35 + 8, 35 + 8), 0);
    EXPECT_EQ(MatteAt(blurred, 150 + 8, 40 + 8), kept);
}

// --- Between and over positions

// A backdrop root holding a container 'ctnr' (a colour widget of alpha
// 0x80 whose own shadow names another id, so its alpha comes from
// GetAlpha) with a layer shadow in a between place.
struct SContainer {
    CBackdrop root;
    CCoWidget* container = nullptr;
    CWidgetEffectLayerShadow* layer = nullptr;
    CWidget* inside = nullptr;            // a caster
    CWidgetEffectShadow* aimed = nullptr; // a shadow naming the container

    SContainer() {
        EXPECT_EQ(root.SetSize(400, 300, 0), eNoError);
        root.CreationComplete();
        container = static_cast<CCoWidget*>(
            AddPlaced(root, std::make_unique<CCoWidget>(), gCRect(40, 30, 240, 130)));
        container->SetResID(int32_t(FourCC("ctnr")));
        EXPECT_EQ(container->SetClientColour(0x80FFFFFFu, 0), eNoError);
        auto* own = new CWidgetEffectShadow();
        EXPECT_EQ(container->AddEffectU(own, 0, 0), eNoError);
        EXPECT_EQ(own->AddDestContainerID(FourCC("none"), 0), eNoError);
        layer = new CWidgetEffectLayerShadow();
        EXPECT_EQ(container->AddEffectB(layer, 0, 0), eNoError);
        inside = AddPlaced(*container, gCRect(10, 10, 50, 50));
        auto* cast = new CWidgetEffectShadow();
        EXPECT_EQ(inside->AddEffectU(cast, 0, 0), eNoError);
        EXPECT_EQ(cast->SetParentLayer(1, 0), eNoError);
        CWidget* other = AddPlaced(*container, gCRect(100, 40, 160, 80));
        aimed = new CWidgetEffectShadow();
        EXPECT_EQ(other->AddEffectU(aimed, 0, 0), eNoError);
        EXPECT_EQ(aimed->AddDestContainerID(FourCC("ctnr"), 0), eNoError);
    }
};

TEST(LayerShadow, ContainerAlphaAddsOrCutsTheChildrenAndTagsTheCycle) {
    for (int32_t include : {1, 0}) {
        SCOPED_TRACE(include);
        SContainer c;
        ASSERT_EQ(c.layer->SetIncludeChildren(include, 0), eNoError);
        ASSERT_EQ(c.layer->PreRenderNotification(gCRect(0, 0, 200, 100), nullptr, 255), eNoError);
        EXPECT_EQ(c.layer->BlurredMatte(), nullptr);
        CImage8& matte = *c.layer->ContainerAlpha();
        // The container alone: (255 x 0x80) >> 8; a caster on it, t = 254:
        // max, or min(0x7F, 255 - t). The aimed shadow's plain widget has
        // no alpha of its own to cast.
        EXPECT_EQ(MatteAt(matte, 5, 5), 0x7F);
        EXPECT_EQ(MatteAt(matte, 20, 20), include ? 0xFE : 0x01);
        EXPECT_EQ(MatteAt(matte, 120, 50), 0x7F);
        EXPECT_EQ(MatteAt(matte, 199, 99), 0x7F);
        EXPECT_EQ(c.aimed->PendingCycle(), c.root.RenderCycle());
        auto* cast = static_cast<CWidgetEffectShadow*>(c.inside->EffectUnder(0));
        EXPECT_EQ(cast->PendingCycle(), c.root.RenderCycle());
    }
}

TEST(LayerShadow, AShadowNamingTheContainerDrawsThroughItsAlphaInThatCycleOnly) {
    SContainer c;
    ASSERT_EQ(c.layer->PreRenderNotification(gCRect(0, 0, 200, 100), nullptr, 255), eNoError);
    // The aimed shadow's owner stands at (100, 40) in the container.
    CImage8& matte = *c.layer->ContainerAlpha();
    auto target = LocalTarget(60, 40, 30, 0xFFFFFFFFu);
    auto expected = LocalTarget(60, 40, 30, 0xFFFFFFFFu);
    const gCRect area = c.aimed->Extent();
    ASSERT_EQ(c.aimed->RenderEffect(area, target.get(), 255), eNoError);
    matte.SetOrigin(gCPoint(100, 40));
    ASSERT_EQ(c.aimed->DoShadowRender(area, expected.get(), 255, &matte), eNoError);
    matte.SetOrigin(gCPoint(0, 0));
    EXPECT_EQ(PixelsOf(*target), PixelsOf(*expected));
    EXPECT_NE(LocalPixel(*target, 30, 45), 0xFFFFFFFFu);
    // Below the container (y 60 on in the owner) nothing is drawn.
    EXPECT_EQ(LocalPixel(*target, 30, 61), 0xFFFFFFFFu);
    // The cycle moves on: nothing.
    const uint32_t cycle = c.root.RenderCycle();
    ASSERT_EQ(c.root.RedrawNoShow(), eNoError);
    EXPECT_NE(c.root.RenderCycle(), cycle);
    auto later = LocalTarget(60, 40, 30, 0xFFFFFFFFu);
    ASSERT_EQ(c.aimed->RenderEffect(area, later.get(), 255), eNoError);
    for (uint32_t p : PixelsOf(*later)) {
        ASSERT_EQ(p, 0xFFFFFFFFu);
    }
}

// The over position: an owner 'ownr' between a widget behind it and one in
// front of it, each with a shadow aimed at the owner, and its own.
struct SOver {
    CRecordingRoot root{400, 300};
    CCoWidget* owner = nullptr;
    CWidgetEffectLayerShadow* layer = nullptr;
    CWidgetEffectShadow* front = nullptr;

    CWidgetEffectShadow* Aimed(CWidget& w) {
        auto* s = new CWidgetEffectShadow();
        EXPECT_EQ(w.AddEffectU(s, 0, 0), eNoError);
        EXPECT_EQ(s->AddDestContainerID(FourCC("ownr"), 0), eNoError);
        return s;
    }
    explicit SOver(bool withFront) {
        CWidget* behind = AddPlaced(root, gCRect(20, 20, 120, 120));
        Aimed(*behind);
        owner = static_cast<CCoWidget*>(
            AddPlaced(root, std::make_unique<CCoWidget>(), gCRect(50, 50, 250, 150)));
        owner->SetResID(int32_t(FourCC("ownr")));
        Aimed(*owner);
        layer = new CWidgetEffectLayerShadow();
        EXPECT_EQ(owner->AddEffectO(layer, 0, 0), eNoError);
        if (withFront) {
            CWidget* inFront = AddPlaced(root, gCRect(100, 60, 160, 100));
            front = Aimed(*inFront);
            EXPECT_EQ(inFront->SetOpacity(127, 0), eNoError); // not applied to its own shadow
        }
    }
};

TEST(LayerShadow, OverPositionDrawsOnlyTheShadowsFromInFront) {
    for (bool withFront : {false, true}) {
        SCOPED_TRACE(withFront);
        SOver o(withFront);
        // The owner's own alpha fills the container alpha.
        ASSERT_EQ(o.layer->PreRenderNotification(gCRect(0, 0, 200, 100), nullptr, 255), eNoError);
        EXPECT_EQ(MatteAt(*o.layer->ContainerAlpha(), 10, 10), 0xFE);
        auto target = FilledImage(400, 300, 0xFFFFFFFFu);
        target->SetOrigin(gCPoint(50, 50)); // as the render pass leaves it
        ASSERT_EQ(o.layer->RenderEffect(gCRect(0, 0, 200, 100), target.get(), 90), eNoError);
        EXPECT_EQ(target->GetOrigin(), gCPoint(50, 50));
        EXPECT_EQ(o.layer->ContainerAlpha()->GetOrigin(), gCPoint(0, 0));
        auto expected = FilledImage(400, 300, 0xFFFFFFFFu);
        if (withFront) {
            // The front widget's shadow at alpha 255, through the owner's
            // alpha, clipped to the owner.
            CImage8& matte = *o.layer->ContainerAlpha();
            matte.SetOrigin(gCPoint(-50 + 100, -50 + 60));
            expected->SetOrigin(gCPoint(100, 60));
            ASSERT_EQ(o.front->DoShadowRender(o.front->Extent(), expected.get(), 255, &matte),
                      eNoError);
            matte.SetOrigin(gCPoint(0, 0));
            expected->SetOrigin(gCPoint(0, 0));
        }
        target->SetOrigin(gCPoint(0, 0));
        EXPECT_EQ(PixelsOf(*target), PixelsOf(*expected));
    }
}

// --- The shadow's hooks

TEST(LayerShadow, ParentAlphaIsKeptOnlyForShadowsThatCastIntoLayers) {
    CRecordingRoot root{400, 300};
    auto* owner = static_cast<CCoWidget*>(
        AddPlaced(root, std::make_unique<CCoWidget>(), gCRect(10, 10, 40, 30)));
    ASSERT_EQ(owner->SetClientColour(0x40FFFFFFu, 0), eNoError);
    auto* s = new CWidgetEffectShadow();
    ASSERT_EQ(owner->AddEffectU(s, 0, 0), eNoError);
    EXPECT_EQ(s->ParentAlpha(), nullptr);
    // An id: built once, from the owner's alpha.
    ASSERT_EQ(s->AddDestContainerID(7, 0), eNoError);
    ASSERT_EQ(s->AddDestContainerID(9, 0), eNoError);
    ASSERT_EQ(s->AddDestContainerID(7, 0), eNoError);
    CRLE8* alpha = s->ParentAlpha();
    ASSERT_NE(alpha, nullptr);
    EXPECT_EQ(s->ParentAlpha(), alpha);
    EXPECT_EQ(alpha->GetWidth(), 30);
    alpha->StartRLE(29, 19);
    EXPECT_EQ(alpha->NextRLE(), 0x40);
    EXPECT_EQ(s->DestContainerCount(), 3);
    EXPECT_EQ(s->DestContainerID(1), 9u);
    EXPECT_EQ(s->DestContainerID(3), 0u);
    EXPECT_EQ(s->DestContainerID(-1), 0u);
    ASSERT_EQ(s->RemoveDestContainerID(7, 0), eNoError);
    EXPECT_EQ(s->DestContainerCount(), 1);
    EXPECT_EQ(s->DestContainerID(0), 9u);
    // A rebuild keeps the rectangle whole; without ids the alpha goes.
    ASSERT_EQ(owner->EffectChanged(s, 0), eNoError);
    s->ParentAlpha()->StartRLE(0, 0);
    EXPECT_EQ(s->ParentAlpha()->NextRLE(), 0xFF);
    ASSERT_EQ(s->RemoveDestContainerID(9, 0), eNoError);
    ASSERT_EQ(owner->EffectChanged(s, 0), eNoError);
    EXPECT_EQ(s->ParentAlpha(), nullptr);
    // The flag's setter rebuilds; a flagged shadow draws nothing itself.
    ASSERT_EQ(s->SetParentLayer(1, 0), eNoError);
    EXPECT_NE(s->ParentAlpha(), nullptr);
    auto target = LocalTarget(30, 20, 20, 0xFFFFFFFFu);
    ASSERT_EQ(s->RenderEffect(s->Extent(), target.get(), 255), eNoError);
    for (uint32_t p : PixelsOf(*target)) {
        ASSERT_EQ(p, 0xFFFFFFFFu);
    }
}

TEST(LayerShadow, AMovedCasterTellsEveryLayerAboveItInItsOwnersCoordinates) {
    CRecordingRoot root{600, 400};
    CWidget* panel = AddPlaced(root, gCRect(100, 50, 500, 350));
    auto* outer = new CTestLayerShadow();
    ASSERT_EQ(panel->AddEffectU(outer, 0, 0), eNoError);
    CWidget* bar = AddPlaced(*panel, gCRect(30, 40, 330, 140));
    auto* inner = new CTestLayerShadow();
    ASSERT_EQ(bar->AddEffectU(inner, 0, 0), eNoError);
    CWidget* button = AddPlaced(*bar, gCRect(10, 10, 50, 30));
    auto* shadow = new CWidgetEffectShadow();
    ASSERT_EQ(button->AddEffectU(shadow, 0, 0), eNoError);
    outer->m_aChanges.clear();
    inner->m_aChanges.clear();
    // Without the flag nothing is told.
    ASSERT_EQ(button->SetPosition(12, 10, 0), eNoError);
    EXPECT_TRUE(inner->m_aChanges.empty());
    ASSERT_EQ(shadow->SetParentLayer(1, 0), eNoError); // the rebuild tells them too
    EXPECT_EQ(inner->m_aChanges, (std::vector<gCRect>{gCRect(12, 10, 52, 30)}));
    EXPECT_EQ(outer->m_aChanges, (std::vector<gCRect>{gCRect(42, 50, 82, 70)}));
    outer->m_aChanges.clear();
    inner->m_aChanges.clear();
    ASSERT_EQ(button->SetPosition(20, 15, 0), eNoError);
    EXPECT_EQ(inner->m_aChanges,
              (std::vector<gCRect>{gCRect(12, 10, 52, 30), gCRect(20, 15, 60, 35)}));
    EXPECT_EQ(outer->m_aChanges,
              (std::vector<gCRect>{gCRect(42, 50, 82, 70), gCRect(50, 55, 90, 75)}));
    // While the count says no layer shadow lives, nothing is looked for.
    const int32_t live = CWidgetEffectLayerShadow::m_nRefCount;
    CWidgetEffectLayerShadow::m_nRefCount = 0;
    inner->m_aChanges.clear();
    const error moved = button->SetPosition(30, 15, 0);
    CWidgetEffectLayerShadow::m_nRefCount = live;
    ASSERT_EQ(moved, eNoError);
    EXPECT_TRUE(inner->m_aChanges.empty());
}

// --- Odd sizes and failing locks

TEST(LayerShadow, OddSizesAndChangesAtTheMargins) {
    struct SCase {
        gCRect owner;
        int32_t speed;
    };
    for (const SCase& k : {SCase{gCRect(5, 5, 6, 6), 0}, SCase{gCRect(5, 5, 10, 10), 10},
                           SCase{gCRect(5, 5, 6, 6), 10}}) {
        CRecordingRoot root{100, 100};
        CWidget* owner = AddPlaced(root, k.owner);
        auto* layer = new CTestLayerShadow();
        (void)layer->SetSpeed(k.speed);
        ASSERT_EQ(owner->AddEffectU(layer, 0, 0), eNoError);
        CWidget* child = AddPlaced(*owner, gCRect(0, 0, k.owner.Width(), k.owner.Height()));
        auto* s = new CWidgetEffectShadow();
        ASSERT_EQ(child->AddEffectU(s, 0, 0), eNoError);
        ASSERT_EQ(s->SetParentLayer(1, 0), eNoError);
        for (const gCRect& r :
             {gCRect(-15, -15, -14, -14), gCRect(-40, -40, -20, -20), gCRect(0, 0, 1, 1),
              gCRect(k.owner.Width() + 14, 0, 1000, 3), gCRect(-1000, -1000, 1000, 1000)}) {
            ASSERT_EQ(layer->AddChangeRect(r), eNoError);
            ASSERT_EQ(layer->PreRenderNotification(layer->Extent(), nullptr, 255), eNoError);
        }
        auto target = LocalTarget(k.owner.Width(), k.owner.Height(), 40, 0xFFFFFFFFu);
        ASSERT_EQ(layer->RenderEffect(layer->Extent(), target.get(), 255), eNoError);
        ASSERT_EQ(layer->RenderEffect(gCRect(-100, -100, 100, 100), target.get(), 255), eNoError);
        CImage8 dst(7, 7);
        ASSERT_EQ(layer->MaskAlpha(dst, gCRect(-10, -10, 200, 200)), eNoError);
    }
}

// A matte side above 32767 gives 5 and leaves the mattes, extent and
// region as they were.
TEST(LayerShadow, AMatteTooLargeChangesNothing) {
    CRecordingRoot root{600, 400};
    CWidget* owner = AddPlaced(root, gCRect(10, 10, 110, 50));
    auto* layer = new CTestLayerShadow();
    ASSERT_EQ(owner->AddEffectU(layer, 0, 0), eNoError);
    ASSERT_EQ(layer->PreRenderNotification(layer->Extent(), nullptr, 255), eNoError);
    EXPECT_EQ(owner->SetSize(32767 - 30 + 1, 40, 0), eOutOfMemory);
    EXPECT_EQ(layer->ContainerAlpha()->GetWidth(), 130);
    EXPECT_EQ(layer->Blurred()->GetWidth(), 131);
    EXPECT_EQ(layer->Extent(), gCRect(-7, -7, 123, 63));
    EXPECT_TRUE(layer->ChangeRegion().IsEmpty());
    // At speed 0 the blurred matte is one wider than the raw one.
    EXPECT_EQ(owner->SetSize(32767 - 30, 40, 0), eOutOfMemory);
    EXPECT_EQ(layer->ContainerAlpha()->GetWidth(), 130);
    ASSERT_EQ(owner->SetSize(32767 - 31, 40, 0), eNoError);
    EXPECT_EQ(layer->ContainerAlpha()->GetWidth(), 32766);
    EXPECT_EQ(layer->Blurred()->GetWidth(), 32767);
    // Speed 1 would make the blurred matte 32766 / 2 + 2 wide: it fits.
    // The owner one wider at speed 0 does not; the speed is not kept.
    ASSERT_EQ(layer->SetSpeed(1), eNoError);
    EXPECT_EQ(owner->SetSize(32767 - 30, 40, 0), eNoError);
    EXPECT_EQ(layer->SetSpeed(0), eOutOfMemory);
    EXPECT_EQ(layer->Speed(), 1);
}

TEST(LayerShadow, EveryWalkRestoresTheOriginsWhenALockFails) {
    SBar b(4.0f, 0);
    b.Caster(gCRect(10, 10, 60, 60));
    b.Caster(gCRect(70, 10, 120, 60));
    for (int32_t allowed : {0, 1}) {
        CFailingLock8 matte(300, 200, allowed);
        matte.SetOrigin(gCPoint(3, 4));
        EXPECT_EQ(b.layer->TraverseChildren(b.bar, gCRect(0, 0, 600, 400), &matte, 255),
                  eOutOfMemory);
        EXPECT_EQ(matte.GetOrigin(), gCPoint(3, 4));
        CFailingLock8 again(300, 200, allowed);
        again.SetOrigin(gCPoint(3, 4));
        EXPECT_EQ(b.layer->AlphaMattChildren(b.bar, gCRect(0, 0, 600, 400), &again, 255),
                  eOutOfMemory);
        EXPECT_EQ(again.GetOrigin(), gCPoint(3, 4));
    }
    SOver o(true);
    ASSERT_EQ(o.layer->PreRenderNotification(gCRect(0, 0, 200, 100), nullptr, 255), eNoError);
    CFailingLock image(400, 300);
    image.SetOrigin(gCPoint(5, 6));
    CImage8& matte = *o.layer->ContainerAlpha();
    matte.SetOrigin(gCPoint(-50, -50));
    EXPECT_EQ(
        o.layer->AlphaMattFromAbove(&o.root, gCRect(0, 0, 400, 300), &image, &matte, 255, o.owner),
        eOutOfMemory);
    EXPECT_EQ(image.GetOrigin(), gCPoint(5, 6));
    EXPECT_EQ(matte.GetOrigin(), gCPoint(-50, -50));
    matte.SetOrigin(gCPoint(0, 0));
    // The render restores them too.
    image.SetOrigin(gCPoint(50, 50));
    EXPECT_EQ(o.layer->RenderEffect(gCRect(0, 0, 200, 100), &image, 255), eOutOfMemory);
    EXPECT_EQ(image.GetOrigin(), gCPoint(50, 50));
    EXPECT_EQ(matte.GetOrigin(), gCPoint(0, 0));
}

// --- The picture

// Three buttons on a see-through bar with room for their shadows: at the
// left under one layer shadow (radius 8, speed 1), at the right each with a
// shadow of its own.
TEST(LayerShadow, GoldenThreeButtonsUnderOneShadowBesideThreeShadows) {
    CRecordingRoot root{440, 140};
    auto* ground = AddPlaced<CCoWidget>(root, gCRect(0, 0, 440, 140));
    ASSERT_EQ(ground->SetClientColour(0xFFD8D4CCu, 0), eNoError);
    for (int32_t side = 0; side < 2; ++side) {
        CWidget* bar = AddPlaced(root, gCRect(20 + side * 210, 35, 220 + side * 210, 110));
        if (side == 0) {
            auto* layer = new CWidgetEffectLayerShadow();
            ASSERT_EQ(layer->SetRadius(8.0f, 0), eNoError);
            ASSERT_EQ(layer->SetSpeed(1), eNoError);
            ASSERT_EQ(bar->AddEffectU(layer, 0, 0), eNoError);
        }
        for (int32_t i = 0; i < 3; ++i) {
            auto* button = AddPlaced<CCoWidget>(*bar, gCRect(i * 60, 0, i * 60 + 55, 50));
            ASSERT_EQ(button->SetClientColour(0xFF4A7FB5u, 0), eNoError);
            auto* shadow = new CWidgetEffectShadow();
            ASSERT_EQ(shadow->SetRadius(8.0f, 0), eNoError);
            ASSERT_EQ(shadow->SetParentLayer(side == 0 ? 1 : 0, 0), eNoError);
            ASSERT_EQ(button->AddEffectU(shadow, 0, 0), eNoError);
        }
    }
    auto picture = FilledImage(440, 140, 0xFF000000u);
    const gCRect all(0, 0, 440, 140);
    ASSERT_EQ(root.PassPreRenderNotification(all, picture.get(), 255), eNoError);
    ASSERT_EQ(root.PassRenderAreaTransparent(all, picture.get(), 255), eNoError);
    // Between the first two buttons, under the merged shadow: darker than
    // the ground, and no darker than under a button's own single shadow
    // at the same place on the right.
    const uint32_t merged = PixelAt(*picture, 20 + 57, 35 + 45);
    EXPECT_LT(merged & 0xFF, 0xCCu);
    EXPECT_GE(merged & 0xFF, PixelAt(*picture, 230 + 57, 35 + 45) & 0xFF);
    // Beyond the extent the ground is untouched.
    EXPECT_EQ(PixelAt(*picture, 100, 137), 0xFFD8D4CCu);
    EXPECT_GOLDEN_PNG(*picture, "effect-layer-shadow");
}

} // namespace
