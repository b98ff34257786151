// The backdrop's back buffer, redraw, compositing and background fill.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "imaging/ImNav.h"
#include "imaging/Image8.h"
#include "testsupport/foundation/FakeAppServices.h"
#include "testsupport/widgets/RecordingRoot.h"
#include "widgets/CoWidget.h"
#include "widgets/detail/BackdropFill.h"
#include "widgets/tests/BackdropTestSupport.h"
#include "widgets/tests/PixelTesting.h"

namespace {

using Strings = std::vector<std::string>;

constexpr uint32_t kBlack = 0xFF000000u;
constexpr uint32_t kWhite = 0xFFFFFFFFu;

// A render procedure that logs the areas it is asked to draw.
struct SAreaLog {
    Strings areas;
    error result = eNoError;
};

error LogArea(void* user, CWidget*, const gCRect& area, CImage*, uint32_t) {
    auto& log = *static_cast<SAreaLog*>(user);
    log.areas.push_back(RectTexts({area})[0]);
    return log.result;
}

class Backdrop : public ::testing::Test {
protected:
    // A backdrop of the size, complete and held by the recording window.
    std::unique_ptr<CTestBackdrop> Make(int32_t width, int32_t height) {
        auto backdrop = std::make_unique<CTestBackdrop>();
        EXPECT_EQ(backdrop->SetSize(width, height, 0), eNoError);
        backdrop->CreationComplete();
        backdrop->SetHost(&host);
        // The first size marked the whole backdrop dirty: drawn and
        // forgotten.
        EXPECT_EQ(backdrop->PassRedraw(), eNoError);
        host.m_aCopies.clear();
        return backdrop;
    }
    // Composites the whole backdrop and reads pixel (x, y).
    static uint32_t Drawn(CTestBackdrop& backdrop, int32_t x, int32_t y) {
        EXPECT_EQ(backdrop.CompositeArea(gCRect(0, 0, backdrop.Width(), backdrop.Height())),
                  eNoError);
        return backdrop.GetColourAtPoint(gCPoint(x, y));
    }

    CFakeAppServices services;
    CRecordingHost host;
};

TEST_F(Backdrop, StartsAsTheRootOfAWindow) {
    CBackdrop backdrop;
    EXPECT_EQ(backdrop.TypeID(), 0x626B6470u);
    EXPECT_EQ(backdrop.EventsHandled(), 0xFFFFFFFFu);
    EXPECT_EQ(backdrop.Visible(), 0);
    EXPECT_EQ(backdrop.BackBuffer(), nullptr);
    EXPECT_EQ(backdrop.WindowHasBorder(), 1);
    EXPECT_EQ(backdrop.RenderCycle(), 0u);
    EXPECT_EQ(backdrop.IsCreationComplete(), 0);
    ASSERT_EQ(backdrop.SetSize(30, 20, 0), eNoError);
    ASSERT_NE(backdrop.BackBuffer(), nullptr);
    EXPECT_EQ(backdrop.BackBuffer()->GetWidth(), 30);
    EXPECT_EQ(backdrop.BackBuffer()->GetHeight(), 20);
    EXPECT_EQ(backdrop.Visible(), 1);
    ASSERT_EQ(backdrop.SetSize(gCPoint(40, 10), 0), eNoError);
    EXPECT_EQ(backdrop.BackBuffer()->GetWidth(), 40);
    EXPECT_EQ(backdrop.Width(), 40);
    EXPECT_EQ(backdrop.Height(), 10);
}

TEST_F(Backdrop, ABackBufferThatCannotBeMadeKeepsTheOldOneAndTheSize) {
    CBackdrop fresh;
    EXPECT_EQ(fresh.SetSize(0, 10, 0), eOutOfMemory);
    EXPECT_EQ(fresh.BackBuffer(), nullptr);
    EXPECT_EQ(fresh.Visible(), 0);
    auto backdrop = Make(30, 20);
    CImage* before = backdrop->BackBuffer();
    EXPECT_EQ(backdrop->SetSize(40000, 10, 0), eOutOfMemory);
    EXPECT_EQ(backdrop->BackBuffer(), before);
    EXPECT_EQ(backdrop->Width(), 30);
}

TEST_F(Backdrop, ColourAtPointOutsideIsTransparentBlack) {
    auto backdrop = Make(10, 8);
    backdrop->SetBackgroundColour(0x00123456u);
    ASSERT_EQ(backdrop->CompositeArea(gCRect(0, 0, 10, 8)), eNoError);
    struct Case {
        gCPoint p;
        uint32_t want;
    };
    const Case cases[] = {
        {{0, 0}, 0xFF123456u}, {{9, 7}, 0xFF123456u}, {{10, 0}, 0u},
        {{-1, 0}, 0u},         {{0, 8}, 0u},          {{0, -1}, 0u},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(uint32_t(backdrop->GetColourAtPoint(c.p)), c.want) << c.p.x << "," << c.p.y;
    }
}

TEST_F(Backdrop, TheBackdropIsOpaqueEverywhere) {
    auto backdrop = Make(4, 3);
    gCPoint anywhere(100, 100);
    EXPECT_EQ(backdrop->OpaquePixel(anywhere), 1);
    CImage8 mask(6, 2);
    ASSERT_EQ(backdrop->GetAlpha(&mask), eNoError);
    CImNav8 view(&mask);
    for (int32_t y = 0; y < 2; ++y) {
        for (int32_t x = 0; x < 6; ++x) {
            EXPECT_EQ(view.Row(y)[x], x < 4 ? 255 : 0) << x << "," << y;
        }
    }
    EXPECT_EQ(backdrop->GetAlpha(nullptr), eNoError);
}

// --- Redraw

TEST_F(Backdrop, NothingIsDrawnBeforeCreationCompleteOrWhilePrevented) {
    CTestBackdrop backdrop;
    ASSERT_EQ(backdrop.SetSize(20, 20, 0), eNoError);
    backdrop.SetHost(&host);
    ASSERT_EQ(backdrop.PassInvalidatedAreaToParent(gCRect(1, 2, 5, 6), 1), eNoError);
    EXPECT_TRUE(host.m_aCopies.empty());
    EXPECT_EQ(backdrop.DirtyRegion().GetCount(), 1);
    EXPECT_EQ(backdrop.RenderCycle(), 0u);
    backdrop.CreationComplete();
    backdrop.SetRedrawPrevented(1);
    EXPECT_EQ(backdrop.RedrawPrevented(), 1);
    ASSERT_EQ(backdrop.PassRedraw(), eNoError);
    EXPECT_TRUE(host.m_aCopies.empty());
    EXPECT_EQ(backdrop.DirtyRegion().GetCount(), 1);
    backdrop.SetRedrawPrevented(0);
    ASSERT_EQ(backdrop.PassRedraw(), eNoError);
    ASSERT_EQ(host.m_aCopies.size(), 1u);
    // The first size marked the whole backdrop.
    EXPECT_EQ(RectTexts(host.m_aCopies[0]), (Strings{"0,0,20,20"}));
    EXPECT_TRUE(backdrop.DirtyRegion().IsEmpty());
    EXPECT_EQ(backdrop.RenderCycle(), 1u);
}

TEST_F(Backdrop, ExactlyTheDirtyRectanglesAreCopiedAndTheCycleCounted) {
    auto backdrop = Make(100, 80);
    ASSERT_EQ(backdrop->PassInvalidatedAreaToParent(gCRect(10, 10, 20, 20), 0), eNoError);
    ASSERT_EQ(backdrop->PassInvalidatedAreaToParent(gCRect(50, 40, 60, 45), 0), eNoError);
    // Clipped to the backdrop.
    ASSERT_EQ(backdrop->PassInvalidatedAreaToParent(gCRect(90, 70, 120, 90), 0), eNoError);
    EXPECT_TRUE(host.m_aCopies.empty());
    ASSERT_EQ(backdrop->PassRedraw(), eNoError);
    ASSERT_EQ(host.m_aCopies.size(), 1u);
    EXPECT_EQ(RectTexts(host.m_aCopies[0]),
              (Strings{"10,10,20,20", "50,40,60,45", "90,70,100,80"}));
    EXPECT_TRUE(backdrop->DirtyRegion().IsEmpty());
    EXPECT_EQ(backdrop->RenderCycle(), 2u);
    // An empty region copies nothing but still counts a cycle.
    ASSERT_EQ(backdrop->PassRedraw(), eNoError);
    EXPECT_EQ(host.m_aCopies.size(), 1u);
    EXPECT_EQ(backdrop->RenderCycle(), 3u);
}

TEST_F(Backdrop, ARectangleWhollyOutsideAddsNothingButRedraws) {
    auto backdrop = Make(50, 50);
    ASSERT_EQ(backdrop->PassInvalidatedAreaToParent(gCRect(60, 0, 80, 10), 1), eNoError);
    EXPECT_TRUE(backdrop->DirtyRegion().IsEmpty());
    EXPECT_TRUE(host.m_aCopies.empty());
    EXPECT_EQ(backdrop->RenderCycle(), 2u);
    ASSERT_EQ(backdrop->PassInvalidatedAreaToParent(gCRect(-10, -10, 0, 5), 0), eNoError);
    EXPECT_TRUE(backdrop->DirtyRegion().IsEmpty());
    EXPECT_EQ(backdrop->RenderCycle(), 2u);
}

TEST_F(Backdrop, RedrawNoShowCopiesNothingAndKeepsTheRegion) {
    auto backdrop = Make(40, 40);
    ASSERT_EQ(backdrop->BackBuffer()->Zero(), eNoError);
    ASSERT_EQ(backdrop->PassInvalidatedAreaToParent(gCRect(0, 0, 10, 10), 0), eNoError);
    backdrop->SetRedrawPrevented(1); // no check of its own
    ASSERT_EQ(backdrop->RedrawNoShow(), eNoError);
    EXPECT_TRUE(host.m_aCopies.empty());
    EXPECT_EQ(backdrop->DirtyRegion().GetCount(), 1);
    EXPECT_EQ(backdrop->RenderCycle(), 2u);
    EXPECT_EQ(uint32_t(backdrop->GetColourAtPoint(gCPoint(20, 20))), 0u);
    EXPECT_EQ(uint32_t(backdrop->GetColourAtPoint(gCPoint(5, 5))), 0xFF303050u);
    backdrop->SetRedrawPrevented(0);
    ASSERT_EQ(backdrop->PassRedraw(), eNoError);
    ASSERT_EQ(host.m_aCopies.size(), 1u);
    EXPECT_EQ(RectTexts(host.m_aCopies[0]), (Strings{"0,0,10,10"}));
    EXPECT_EQ(backdrop->RenderCycle(), 3u);
}

TEST_F(Backdrop, AroundAnOpaquePanelOnlyTheDifferencePiecesComposite) {
    auto backdrop = Make(100, 100);
    SAreaLog behind;
    CWidget* back = AddPlaced(*backdrop, gCRect(0, 0, 100, 100));
    ASSERT_NE(back, nullptr);
    back->SetRenderProc(LogArea, &behind);
    auto* panel = AddPlaced<CCoWidget>(*backdrop, gCRect(20, 30, 60, 70));
    ASSERT_NE(panel, nullptr);
    panel->SetOpaqueBlit(1);
    ASSERT_EQ(panel->SetClientColour(CPixel(0xFF112233u), 0), eNoError);
    ASSERT_EQ(backdrop->CompositeArea(gCRect(0, 0, 100, 100)), eNoError);
    gCRect pieces[4];
    const int32_t count =
        gCRect::Difference(gCRect(0, 0, 100, 100), gCRect(20, 30, 60, 70), pieces);
    EXPECT_EQ(count, 4);
    EXPECT_EQ(behind.areas, RectTexts(std::vector<gCRect>(pieces, pieces + count)));
    EXPECT_EQ(uint32_t(backdrop->GetColourAtPoint(gCPoint(20, 30))), 0xFF112233u);
    EXPECT_EQ(uint32_t(backdrop->GetColourAtPoint(gCPoint(59, 69))), 0xFF112233u);
    EXPECT_EQ(uint32_t(backdrop->GetColourAtPoint(gCPoint(19, 30))), 0xFF303050u);
    // Wholly inside the panel: nothing behind it is asked.
    behind.areas.clear();
    ASSERT_EQ(backdrop->CompositeArea(gCRect(30, 40, 50, 60)), eNoError);
    EXPECT_TRUE(behind.areas.empty());
}

TEST_F(Backdrop, ARedrawErrorIsShownOnceUntilARedrawSucceeds) {
    auto backdrop = Make(40, 40);
    SAreaLog failing;
    failing.result = eBadParameter;
    CWidget* widget = AddPlaced(*backdrop, gCRect(0, 0, 10, 10));
    ASSERT_NE(widget, nullptr);
    widget->SetRenderProc(LogArea, &failing);
    failing.result = eNoError;
    ASSERT_EQ(backdrop->PassRedraw(), eNoError); // the child's own area
    host.m_aCopies.clear();
    failing.result = eBadParameter;
    ASSERT_EQ(backdrop->PassInvalidatedAreaToParent(gCRect(0, 0, 5, 5), 0), eNoError);
    EXPECT_EQ(backdrop->PassRedraw(), eBadParameter);
    EXPECT_EQ(backdrop->PassRedraw(), eBadParameter);
    EXPECT_EQ(backdrop->PassInvalidatedAreaToParent(gCRect(6, 6, 8, 8), 1), eBadParameter);
    EXPECT_EQ(services.m_Alerts.size(), 1u);
    EXPECT_FALSE(backdrop->DirtyRegion().IsEmpty());
    EXPECT_TRUE(host.m_aCopies.empty());
    EXPECT_EQ(backdrop->RenderCycle(), 2u);
    failing.result = eNoError;
    ASSERT_EQ(backdrop->PassRedraw(), eNoError);
    ASSERT_EQ(host.m_aCopies.size(), 1u);
    EXPECT_EQ(RectTexts(host.m_aCopies[0]), (Strings{"0,0,5,5", "6,6,8,8"}));
    failing.result = eBadParameter;
    ASSERT_EQ(backdrop->PassInvalidatedAreaToParent(gCRect(0, 0, 5, 5), 0), eNoError);
    EXPECT_EQ(backdrop->PassRedraw(), eBadParameter);
    EXPECT_EQ(services.m_Alerts.size(), 2u);
}

TEST_F(Backdrop, SetWindowHasBorderWithoutAWindowOnlyStores) {
    CBackdrop alone;
    ASSERT_EQ(alone.SetSize(30, 20, 0), eNoError);
    ASSERT_EQ(alone.SetWindowHasBorder(0, 0), eNoError);
    EXPECT_EQ(alone.WindowHasBorder(), 0);
    auto backdrop = Make(30, 20);
    host.m_Origin = gCPoint(100, 50);
    ASSERT_EQ(backdrop->SetWindowHasBorder(1, 0), eNoError); // unchanged
    EXPECT_TRUE(host.m_aPlaces.empty());
    ASSERT_EQ(backdrop->SetWindowHasBorder(0, 0), eNoError);
    EXPECT_EQ(RectTexts(host.m_aPlaces), (Strings{"100,50,130,70"}));
}

// --- Background

TEST_F(Backdrop, GradientOpacityZeroGivesTheOpaqueBaseColour) {
    auto backdrop = Make(8, 8);
    backdrop->SetBackgroundColour(0x00123456u);
    backdrop->SetGradient(new CGradient(CPixel(kWhite), CPixel(kWhite)));
    backdrop->SetGradientOpacity(0);
    EXPECT_EQ(Drawn(*backdrop, 3, 3), 0xFF123456u);
    backdrop->SetRadial(1, 0.5f, 0.5f);
    EXPECT_EQ(Drawn(*backdrop, 0, 0), 0xFF123456u);
}

TEST_F(Backdrop, TheGradientBlendsByItsOpacity) {
    auto backdrop = Make(8, 8);
    backdrop->SetBackgroundColour(kBlack);
    backdrop->SetGradient(new CGradient(CPixel(kWhite), CPixel(kWhite)));
    // a = ((0x00FFFFFF * 128) >> 24) = 127; each channel 0 + (256 * 127) >> 8.
    backdrop->SetGradientOpacity(127);
    EXPECT_EQ(Drawn(*backdrop, 5, 2), 0xFF7F7F7Fu);
    backdrop->SetGradientOpacity(255);
    EXPECT_EQ(Drawn(*backdrop, 5, 2), kWhite);
    // Over the base colour the alpha is 255 whatever the gradient's.
    backdrop->SetGradient(new CGradient(CPixel(0x00FFFFFFu), CPixel(0x00FFFFFFu)));
    EXPECT_EQ(Drawn(*backdrop, 5, 2), kBlack);
}

TEST_F(Backdrop, TheVerticalGradientHasOneColourPerRow) {
    auto backdrop = Make(5, 40);
    auto* gradient = new CGradient(CPixel(kBlack), CPixel(kWhite));
    backdrop->SetGradient(gradient);
    backdrop->SetGradientOpacity(255);
    ASSERT_EQ(backdrop->CompositeArea(gCRect(0, 0, 5, 40)), eNoError);
    for (int32_t y = 0; y < 40; ++y) {
        const uint32_t want = uint32_t(gradient->GetColourAtPoint(y, 40)) | 0xFF000000u;
        for (int32_t x = 0; x < 5; ++x) {
            ASSERT_EQ(uint32_t(backdrop->GetColourAtPoint(gCPoint(x, y))), want) << x << "," << y;
        }
    }
    EXPECT_NE(uint32_t(backdrop->GetColourAtPoint(gCPoint(0, 0))),
              uint32_t(backdrop->GetColourAtPoint(gCPoint(0, 39))));
}

// The angled gradient's table index at (x, y), worked out from the formula
// without stepping.
int32_t PlainAngledIndex(float angle, int32_t w, int32_t h, int32_t x, int32_t y) {
    const float a = angle * 6.2831855f;
    const float s = std::sin(a);
    const float c = std::cos(a);
    const double length = std::fabs(double(c) * h) + std::fabs(double(s) * w);
    auto round = [](double v) { return int64_t(v > 0 ? v + 0.5 : v - 0.5); };
    const int64_t dx = round(-double(s) / length * 65535.0 * 4095.0);
    const int64_t dy = round(double(c) / length * 65535.0 * 4095.0);
    const int64_t offset = int64_t(4095) * 32767 - dy * h / 2 - dx * w / 2;
    const int64_t index = (int64_t(y) * dy + int64_t(x) * dx + offset) >> 16;
    return int32_t(index < 0 ? 0 : (index > 4095 ? 4095 : index));
}

TEST_F(Backdrop, TheAngledGradientFollowsTheFormula) {
    auto backdrop = Make(64, 48);
    auto* gradient = new CGradient(CPixel(kBlack), CPixel(kWhite));
    backdrop->SetGradient(gradient);
    backdrop->SetGradientOpacity(255);
    backdrop->SetGradientAngle(0.125f);
    ASSERT_EQ(backdrop->CompositeArea(gCRect(0, 0, 64, 48)), eNoError);
    const CPixel* table = gradient->Table();
    for (int32_t y = 0; y < 48; ++y) {
        for (int32_t x = 0; x < 64; ++x) {
            const uint32_t want =
                uint32_t(table[PlainAngledIndex(0.125f, 64, 48, x, y)]) | 0xFF000000u;
            ASSERT_EQ(uint32_t(backdrop->GetColourAtPoint(gCPoint(x, y))), want) << x << "," << y;
        }
    }
    // A part of the backdrop on its own steps from the same place.
    ASSERT_EQ(backdrop->BackBuffer()->Zero(), eNoError);
    ASSERT_EQ(backdrop->CompositeArea(gCRect(17, 5, 40, 9)), eNoError);
    EXPECT_EQ(uint32_t(backdrop->GetColourAtPoint(gCPoint(33, 7))),
              uint32_t(table[PlainAngledIndex(0.125f, 64, 48, 33, 7)]) | 0xFF000000u);
}

TEST_F(Backdrop, TheRadialGradientRunsFromItsCentre) {
    const backdropfill::SRadial radial = backdropfill::RadialOf(0.5f, 0.5f, 100, 60);
    EXPECT_EQ(backdropfill::RadialIndex(radial, 0, 0), 4095);
    EXPECT_EQ(backdropfill::RadialIndex(radial, 50, 30), 0);
    EXPECT_EQ(backdropfill::RadialIndex(radial, 100, 60), 4095);
    auto backdrop = Make(100, 60);
    auto* gradient = new CGradient(CPixel(kBlack), CPixel(kWhite));
    backdrop->SetGradient(gradient);
    backdrop->SetGradientOpacity(255);
    backdrop->SetRadial(1, 0.5f, 0.5f);
    const uint32_t corner = Drawn(*backdrop, 0, 0);
    EXPECT_EQ(corner, uint32_t(gradient->Table()[4095]) | 0xFF000000u);
    EXPECT_EQ(Drawn(*backdrop, 50, 30), uint32_t(gradient->Table()[0]) | 0xFF000000u);
    EXPECT_NE(corner, uint32_t(gradient->Table()[0]) | 0xFF000000u);
}

TEST_F(Backdrop, TheGradientIndexStaysInItsTable) {
    // An odd-sized backdrop's corner: about 5460 before the clamp.
    EXPECT_EQ(backdropfill::RadialIndex(backdropfill::RadialOf(0.5f, 0.5f, 3, 3), 0, 0), 4095);
    // Centres outside 0..1.
    const backdropfill::SRadial left = backdropfill::RadialOf(-1.0f, 2.0f, 10, 10);
    EXPECT_EQ(backdropfill::RadialIndex(left, 30, -10), 4095);
    const backdropfill::SRadial right = backdropfill::RadialOf(3.0f, 0.5f, 10, 10);
    EXPECT_EQ(backdropfill::RadialIndex(right, -10, 5), 4095);
    EXPECT_EQ(backdropfill::RadialIndex(right, 30, 5), 0);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    // Zero sizes and non-finite centres: no division by zero, no NaN.
    EXPECT_EQ(backdropfill::RadialOf(0.5f, 0.5f, 0, 0).scale, 0.0);
    EXPECT_EQ(backdropfill::RadialIndex(backdropfill::RadialOf(0.5f, 0.5f, 0, 0), 5, 5), 0);
    const backdropfill::SRadial fromNan = backdropfill::RadialOf(nan, inf, 10, 10);
    const backdropfill::SRadial centred = backdropfill::RadialOf(0.5f, 0.5f, 10, 10);
    EXPECT_EQ(fromNan.cx, centred.cx);
    EXPECT_EQ(fromNan.cy, centred.cy);
    EXPECT_EQ(fromNan.scale, centred.scale);
    const backdropfill::SLinearStep zero = backdropfill::LinearStep(0.25f, 0, 0);
    EXPECT_EQ(zero.dx, 0);
    EXPECT_EQ(zero.dy, 0);
    EXPECT_EQ(backdropfill::LinearIndex(zero, 0, 0), 4095 * 32767 >> 16);
    const backdropfill::SLinearStep fromNanAngle = backdropfill::LinearStep(nan, 10, 10);
    const backdropfill::SLinearStep vertical = backdropfill::LinearStep(0.0f, 10, 10);
    EXPECT_EQ(fromNanAngle.dx, vertical.dx);
    EXPECT_EQ(fromNanAngle.dy, vertical.dy);
    // Far outside the backdrop the linear index clamps too.
    const backdropfill::SLinearStep step = backdropfill::LinearStep(0.125f, 64, 48);
    EXPECT_EQ(backdropfill::LinearIndex(step, -100000, 100000), 4095);
    EXPECT_EQ(backdropfill::LinearIndex(step, 100000, -100000), 0);
    // A whole backdrop of zero-sized or odd gradients fills without fault.
    auto backdrop = Make(3, 3);
    backdrop->SetGradient(new CGradient(CPixel(kBlack), CPixel(kWhite)));
    backdrop->SetGradientOpacity(255);
    backdrop->SetRadial(1, nan, -5.0f);
    EXPECT_EQ(backdrop->CompositeArea(gCRect(0, 0, 3, 3)), eNoError);
    backdrop->SetRadial(0, 0.5f, 0.5f);
    backdrop->SetGradientAngle(inf);
    EXPECT_EQ(backdrop->CompositeArea(gCRect(0, 0, 3, 3)), eNoError);
}

TEST_F(Backdrop, TheImageIsTiledFromTheOrigin) {
    auto backdrop = Make(8, 5);
    auto tilePixel = [](int32_t x, int32_t y) { return 0xFF000000u | uint32_t(x << 8 | y); };
    backdrop->SetBackgroundImage(MakeImage(3, 2, tilePixel).release());
    ASSERT_EQ(backdrop->CompositeArea(gCRect(0, 0, 8, 5)), eNoError);
    for (int32_t y = 0; y < 5; ++y) {
        for (int32_t x = 0; x < 8; ++x) {
            ASSERT_EQ(uint32_t(backdrop->GetColourAtPoint(gCPoint(x, y))), tilePixel(x % 3, y % 2))
                << x << "," << y;
        }
    }
    // A part on its own starts in the middle of a tile.
    ASSERT_EQ(backdrop->BackBuffer()->Zero(), eNoError);
    ASSERT_EQ(backdrop->CompositeArea(gCRect(4, 3, 8, 5)), eNoError);
    EXPECT_EQ(uint32_t(backdrop->GetColourAtPoint(gCPoint(4, 3))), tilePixel(1, 1));
    EXPECT_EQ(uint32_t(backdrop->GetColourAtPoint(gCPoint(6, 4))), tilePixel(0, 0));
    EXPECT_EQ(uint32_t(backdrop->GetColourAtPoint(gCPoint(3, 3))), 0u);
}

TEST_F(Backdrop, TheGradientOverAnImageKeepsItsAlpha) {
    auto backdrop = Make(4, 4);
    backdrop->SetBackgroundImage(FilledImage(2, 2, 0x80000000u).release());
    backdrop->SetGradient(new CGradient(CPixel(kWhite), CPixel(kWhite)));
    backdrop->SetGradientOpacity(127);
    EXPECT_EQ(Drawn(*backdrop, 1, 3), 0x807F7F7Fu);
    backdrop->SetGradientOpacity(255);
    EXPECT_EQ(Drawn(*backdrop, 1, 3), 0x80FFFFFFu);
    backdrop->SetGradientOpacity(0);
    EXPECT_EQ(Drawn(*backdrop, 1, 3), 0x80000000u);
}

} // namespace
