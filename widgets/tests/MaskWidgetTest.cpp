// The mask widget: its pixels from the mask's coverage, the compressed
// mask read in place, hit tests, alpha mattes and the image its effects
// follow, masks smaller than the widget, frames of a list, and what it
// owns.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "imaging/ImNav.h"
#include "imaging/Image.h"
#include "imaging/Image8.h"
#include "imaging/ImageList.h"
#include "widgets/MaskWidget.h"
#include "widgets/tests/PixelTesting.h"
#include "widgets/tests/StubEffect.h"

namespace {

constexpr uint32_t kUnder = 0xFF3060A0u;

CImage8* NewMask(int32_t width, int32_t height,
                 const std::function<uint8_t(int32_t, int32_t)>& value) {
    auto* mask = new CImage8(width, height);
    CImNav8 view(mask);
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            view.Row(y)[x] = value(x, y);
        }
    }
    return mask;
}

CImage8* Uniform(int32_t width, int32_t height, uint8_t value) {
    return NewMask(width, height, [value](int32_t, int32_t) { return value; });
}

std::vector<uint8_t> BytesOf(CImage8& image) {
    std::vector<uint8_t> out;
    CImNav8 view(&image);
    for (int32_t y = 0; y < view.GetHeight(); ++y) {
        out.insert(out.end(), view.Row(y), view.Row(y) + view.GetWidth());
    }
    return out;
}

std::unique_ptr<CImage> Drawn(CMaskWidget& widget, int32_t width, int32_t height,
                              uint32_t alpha = 255) {
    auto target = FilledImage(width, height, kUnder);
    EXPECT_EQ(widget.RenderArea(gCRect(0, 0, width, height), target.get(), alpha), eNoError);
    return target;
}

uint32_t Blend255(uint32_t under, int32_t level, uint32_t source) {
    CPixel p(under);
    CPixel::Blend255Proc(&p, level, CPixel(source));
    return p;
}

// An image deleted into a counter.
class CTrackedMask : public CImage8 {
public:
    CTrackedMask(int32_t* deaths, int32_t width, int32_t height)
        : CImage8(width, height), m_pDeaths(deaths) {}
    ~CTrackedMask() override { ++*m_pDeaths; }

private:
    int32_t* m_pDeaths;
};

} // namespace

TEST(MaskWidget, EachPixelFollowsTheMasksCoverage) {
    struct SCase {
        const char* name;
        int32_t withMask;
        uint8_t coverage;
        uint32_t colour;
        uint32_t alpha;
        uint32_t expect;
    };
    const SCase cases[] = {
        {"CoverageZeroDrawsNothing", 1, 0, 0xFF000000u, 255, kUnder},
        {"FullCoverageOpaqueBlackReplaces", 1, 255, 0xFF000000u, 255, 0xFF000000u},
        // A = (0x80FFFF * 256) >> 24 = 128, L = (128 * 256) >> 8 = 128.
        {"HalfWhiteBlendsAtLevel128", 1, 255, 0x80FFFFFFu, 255, Blend255(kUnder, 128, 0x80FFFFFFu)},
        // A = (0xFFFFFF * 101) >> 24 = 100, L = (100 * 201) >> 8 = 78.
        {"CoverageTimesAlpha", 1, 100, 0xFFFFFFFFu, 200, Blend255(kUnder, 78, 0x64FFFFFFu)},
        {"AlphaZeroDrawsNothing", 1, 255, 0xFF000000u, 0, kUnder},
        // Without a mask: the colour widget's 0xFFFFFF at 128 through the
        // blend hook.
        {"NoMaskDrawsAsAColourWidget", 0, 0, 0x80FFFFFFu, 255, Blend255(kUnder, 128, 0x80FFFFFFu)},
    };
    for (const SCase& c : cases) {
        SCOPED_TRACE(c.name);
        CMaskWidget widget;
        ASSERT_EQ(widget.SetClientColour(c.colour, 0), eNoError);
        if (c.withMask) {
            ASSERT_EQ(widget.SetImage(Uniform(3, 2, c.coverage), 1, 0), eNoError);
        } else {
            ASSERT_EQ(widget.SetImage(nullptr, 0, 0), eBadParameter);
            ASSERT_EQ(widget.Image(), nullptr); // no size, so no uniform mask either
        }
        EXPECT_EQ(PixelsOf(*Drawn(widget, 3, 2, c.alpha)), std::vector<uint32_t>(6, c.expect));
    }
}

TEST(MaskWidget, ACompressedMaskAnswersAsItsPlainTwin) {
    // Runs along each row, so that the run-length form pays (with its
    // table of row starts, only for masks of some size).
    constexpr int32_t kW = 20;
    constexpr int32_t kH = 12;
    Log log; // outlives the widgets' effects
    auto value = [](int32_t x, int32_t y) { return uint8_t(x < 7 ? 0 : 20 * y + 30); };
    CMaskWidget plain;
    CMaskWidget packed;
    for (CMaskWidget* w : {&plain, &packed}) {
        ASSERT_EQ(w->SetClientColour(0xC0408020u, 0), eNoError);
        ASSERT_EQ(w->SetImage(NewMask(kW, kH, value), 1, 0), eNoError);
    }
    ASSERT_EQ(packed.CompressImage(), eNoError);
    ASSERT_EQ(packed.Compressed(), 1);
    ASSERT_EQ(plain.Compressed(), 0);

    EXPECT_EQ(PixelsOf(*Drawn(packed, kW, kH)), PixelsOf(*Drawn(plain, kW, kH)));
    EXPECT_EQ(PixelsOf(*Drawn(packed, kW, kH, 90)), PixelsOf(*Drawn(plain, kW, kH, 90)));
    // A part of the area, starting inside a run.
    auto partPacked = FilledImage(kW, kH, kUnder);
    auto partPlain = FilledImage(kW, kH, kUnder);
    ASSERT_EQ(packed.RenderArea(gCRect(5, 1, 17, 9), partPacked.get(), 255), eNoError);
    ASSERT_EQ(plain.RenderArea(gCRect(5, 1, 17, 9), partPlain.get(), 255), eNoError);
    EXPECT_EQ(PixelsOf(*partPacked), PixelsOf(*partPlain));

    for (uint32_t threshold : {1u, 100u, 255u}) {
        plain.SetOpaqueThreshold(threshold);
        packed.SetOpaqueThreshold(threshold);
        for (int32_t y = -1; y <= kH; ++y) {
            for (int32_t x = -1; x <= kW; ++x) {
                gCPoint p(x, y);
                gCPoint q(x, y);
                const bool inside = x >= 0 && x < kW && y >= 0 && y < kH;
                const int32_t expect = inside && value(x, y) >= threshold ? 1 : 0;
                ASSERT_EQ(plain.OpaquePixel(p), expect) << x << "," << y;
                ASSERT_EQ(packed.OpaquePixel(q), expect) << x << "," << y;
            }
        }
    }
    // Mattes larger and smaller than the mask: the mask's part written, the
    // rest left alone.
    for (const gCPoint size : {gCPoint(kW + 3, kH + 2), gCPoint(9, 5)}) {
        SCOPED_TRACE(size.x);
        CImage8 fromPlain(size.x, size.y);
        CImage8 fromPacked(size.x, size.y);
        CImNav8(&fromPlain).Fill(7);
        CImNav8(&fromPacked).Fill(7);
        ASSERT_EQ(plain.GetAlpha(&fromPlain), eNoError);
        ASSERT_EQ(packed.GetAlpha(&fromPacked), eNoError);
        const std::vector<uint8_t> bytes = BytesOf(fromPlain);
        EXPECT_EQ(BytesOf(fromPacked), bytes);
        for (int32_t y = 0; y < size.y; ++y) {
            for (int32_t x = 0; x < size.x; ++x) {
                const bool inside = x < kW && y < kH;
                ASSERT_EQ(bytes[size_t(y * size.x + x)], inside ? value(x, y) : 7) << x << "," << y;
            }
        }
    }
    // The effects see the client colour with the mask as alpha.
    std::vector<uint32_t> expect;
    for (int32_t y = 0; y < kH; ++y) {
        for (int32_t x = 0; x < kW; ++x) {
            expect.push_back(0x00408020u | uint32_t(value(x, y)) << 24);
        }
    }
    for (CMaskWidget* w : {&plain, &packed}) {
        auto* effect = new CStubEffect(&log, "U0");
        ASSERT_EQ(w->AddEffectU(effect, 0, 0), eNoError);
        EXPECT_EQ(effect->m_nSeenWidth, kW);
        EXPECT_EQ(effect->m_aSeenPixels, expect);
    }
}

TEST(MaskWidget, OutsideASmallerMaskTheCoverageIsZero) {
    CMaskWidget widget;
    ASSERT_EQ(widget.SetClientColour(0xFF000000u, 0), eNoError);
    ASSERT_EQ(widget.SetSize(8, 8, 0), eNoError);
    ASSERT_EQ(widget.SetImage(Uniform(4, 4, 255), 0, 0), eNoError);
    EXPECT_EQ(widget.Width(), 8); // resize 0 keeps the widget's size
    auto target = Drawn(widget, 8, 8);
    for (int32_t y = 0; y < 8; ++y) {
        for (int32_t x = 0; x < 8; ++x) {
            const bool inside = x < 4 && y < 4;
            ASSERT_EQ(PixelAt(*target, x, y), inside ? 0xFF000000u : kUnder) << x << "," << y;
        }
    }
    gCPoint outside(6, 6);
    gCPoint inside(1, 1);
    widget.SetOpaqueThreshold(1);
    EXPECT_EQ(widget.OpaquePixel(outside), 0);
    EXPECT_EQ(widget.OpaquePixel(inside), 1);
    widget.SetOpaqueThreshold(0);
    EXPECT_EQ(widget.OpaquePixel(outside), 1);
    gCPoint far(-20, 50);
    EXPECT_EQ(widget.OpaquePixel(far), 1);
    // The next size change refills a mask of the widget's size uniformly.
    ASSERT_EQ(widget.SetClientColour(0x40000000u, 0), eNoError);
    ASSERT_EQ(widget.SetSize(6, 5, 0), eNoError);
    ASSERT_EQ(widget.Image()->GetWidth(), 6);
    ASSERT_EQ(widget.Image()->GetHeight(), 5);
    EXPECT_EQ(BytesOf(*widget.Image()), std::vector<uint8_t>(30, 0x40));
}

TEST(MaskWidget, FramesOfAList) {
    CMaskWidget widget;
    EXPECT_EQ(widget.SetImage(0, 0, 0), eBadParameter);
    EXPECT_EQ(widget.AdvanceFrame(0, 0), eBadParameter);
    auto* one = new gCImageList8(1);
    ASSERT_EQ(one->Add(Uniform(2, 2, 10)), eNoError);
    ASSERT_EQ(widget.SetImageList(one), eNoError);
    EXPECT_EQ(widget.AdvanceFrame(0, 0), eBadParameter); // one frame
    auto* three = new gCImageList8(1);
    for (uint8_t v : {20, 30, 40}) {
        ASSERT_EQ(three->Add(Uniform(2 + v / 10, 2, v)), eNoError);
    }
    ASSERT_EQ(widget.SetImageList(three), eNoError);
    EXPECT_EQ(widget.SetImage(3, 0, 0), eBadParameter);
    EXPECT_EQ(widget.SetImage(-1, 0, 0), eBadParameter);
    ASSERT_EQ(widget.SetImage(2, 1, 0), eNoError);
    EXPECT_EQ(widget.Image(), three->GetImage(2));
    EXPECT_EQ(widget.ImageIndex(), 2);
    EXPECT_EQ(widget.Width(), 6);
    ASSERT_EQ(widget.AdvanceFrame(0, 0), eNoError); // the last wraps to the first
    EXPECT_EQ(widget.ImageIndex(), 0);
    EXPECT_EQ(widget.Image(), three->GetImage(0));
    // A frame is never resized or refilled: another size gives a private
    // mask, and the frame keeps its bytes.
    ASSERT_EQ(widget.SetSize(3, 3, 0), eNoError);
    EXPECT_NE(widget.Image(), three->GetImage(0));
    EXPECT_EQ(BytesOf(*three->GetImage(0)), std::vector<uint8_t>(8, 20));
    ASSERT_EQ(widget.SetImage(1, 0, 0), eNoError);
    ASSERT_EQ(widget.MakeContents(), eNoError);
    EXPECT_NE(widget.Image(), three->GetImage(1));
    EXPECT_EQ(BytesOf(*three->GetImage(1)), std::vector<uint8_t>(10, 30));
    // A list replaced while its frame is the mask takes the mask with it
    // (under ASan: nothing read after it is freed).
    ASSERT_EQ(widget.SetImage(1, 0, 0), eNoError);
    ASSERT_EQ(widget.SetImageList(new gCImageList8(1)), eNoError);
    EXPECT_EQ(widget.Image(), nullptr);
    auto target = Drawn(widget, 2, 2);
    EXPECT_EQ(PixelAt(*target, 0, 0), 0xFFFFFFFFu); // as a colour widget
}

TEST(MaskWidget, WhatSetImageDeletes) {
    int32_t deaths = 0;
    CMaskWidget widget;
    EXPECT_EQ(widget.SetImage(nullptr, 0, 0), eBadParameter);
    CImage8 surfaceless;
    EXPECT_EQ(widget.SetImage(&surfaceless, 0, 0), eBadParameter);
    auto* first = new CTrackedMask(&deaths, 4, 4);
    ASSERT_EQ(widget.SetImage(first, 0, 0), eNoError);
    ASSERT_EQ(widget.SetImage(first, 0, 0), eNoError); // the mask it holds
    EXPECT_EQ(deaths, 0);
    auto* second = new CTrackedMask(&deaths, 4, 4);
    CImNav8(second).Fill(255);
    ASSERT_EQ(widget.SetImage(second, 0, 0), eNoError);
    EXPECT_EQ(deaths, 1);

    // Stretch mode: the given image goes on every path; the old mask only
    // once the scaled one is made.
    widget.SetStretchImageOnSet(1);
    EXPECT_EQ(widget.SetImage(new CTrackedMask(&deaths, 2, 2), 0, 0), eOutOfMemory); // width 0
    EXPECT_EQ(deaths, 2);
    ASSERT_NE(widget.Image(), nullptr);
    ASSERT_EQ(widget.SetImage(widget.Image(), 0, 0), eOutOfMemory); // its own, kept
    EXPECT_EQ(deaths, 2);
    ASSERT_EQ(widget.Image()->GetWidth(), 4);
    auto target = Drawn(widget, 4, 4);
    EXPECT_EQ(PixelAt(*target, 3, 3), 0xFFFFFFFFu); // the old mask still drawn

    ASSERT_EQ(widget.SetSize(6, 3, 0), eNoError); // a new mask of that size
    EXPECT_EQ(deaths, 3);
    auto* small = new CTrackedMask(&deaths, 2, 2);
    CImNav8(small).Fill(200);
    ASSERT_EQ(widget.SetImage(small, 1, 0), eNoError);
    EXPECT_EQ(deaths, 4); // the given one
    ASSERT_EQ(widget.Image()->GetWidth(), 6);
    EXPECT_EQ(BytesOf(*widget.Image()), std::vector<uint8_t>(18, 200));
    EXPECT_EQ(widget.Width(), 6);
    ASSERT_EQ(widget.SetImage(widget.Image(), 0, 0), eNoError); // its own: scaled anew
    EXPECT_EQ(BytesOf(*widget.Image()), std::vector<uint8_t>(18, 200));

    CImage8 pooled(2, 2);
    pooled.SetPooled(1);
    ASSERT_EQ(widget.SetImage(&pooled, 0, 0), eNoError); // not deleted (ASan)
}

TEST(MaskWidget, TwoWidgetsSharingAPooledMask) {
    CImage8 shared(4, 4);
    CImNav8(&shared).Fill(99);
    shared.SetPooled(1);
    CMaskWidget a;
    CMaskWidget b;
    ASSERT_EQ(a.SetImage(&shared, 1, 0), eNoError);
    ASSERT_EQ(b.SetImage(&shared, 1, 0), eNoError);
    ASSERT_EQ(a.SetSize(5, 5, 0), eNoError);
    EXPECT_NE(a.Image(), &shared);
    EXPECT_EQ(b.Image(), &shared);
    EXPECT_EQ(shared.GetWidth(), 4);
    EXPECT_EQ(BytesOf(shared), std::vector<uint8_t>(16, 99));
    ASSERT_EQ(b.MakeContents(), eNoError);
    EXPECT_NE(b.Image(), &shared);
    EXPECT_EQ(BytesOf(shared), std::vector<uint8_t>(16, 99));
}
