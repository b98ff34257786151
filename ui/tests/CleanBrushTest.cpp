// The clean-brush panel with the built resource file: the water's colour
// after cleans, the glass's pixels, the slide in and out of view, a panel
// at rest, and the inset's press.

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "imaging/ImNav.h"
#include "imaging/Image.h"
#include "imaging/PixelMix.h"
#include "testsupport/foundation/FakeClock.h"
#include "ui/panels/CleanBrush.h"
#include "ui/tests/ColourPanelsTest.h"
#include "widgets/ImWidget.h"

namespace {

int32_t Channel(CPixel p, int32_t shift) {
    return int32_t((uint32_t(p) >> shift) & 0xFFu);
}

class CleanBrushTest : public ColourPanelsTest {
protected:
    void SetUp() override {
        ColourPanelsTest::SetUp();
        if (HasFatalFailure()) {
            return;
        }
        m_pPanel = m_Backdrop.CleanBrush();
        ASSERT_NE(m_pPanel, nullptr);
        m_pRoot = m_pPanel->Root();
        m_pInset = m_pRoot->Child(0);
        ASSERT_NE(m_pInset, nullptr);
    }
    // The root's place as SetYPos takes it: its bottom that far above the
    // window's.
    int32_t Place() const { return m_Backdrop.Height() - m_pRoot->Rect().bottom; }
    // Heartbeats of the root, 5 ms apart, with the rollover widget given.
    void Beats(int32_t count, CWidget* rollover) {
        m_Backdrop.m_pPointed = rollover;
        for (int32_t i = 0; i < count; ++i) {
            m_Clock.AdvanceMilliseconds(5);
            ASSERT_EQ(CCleanBrush::RootHeart(m_pPanel, m_pRoot), eNoError);
        }
    }
    void Clean(uint32_t colour) {
        m_Backbone.m_nColour = colour;
        ASSERT_EQ(Press(m_pInset, {}), eNoError);
    }

    CFakeClock m_Clock;
    CCleanBrush* m_pPanel = nullptr;
    CImWidget* m_pRoot = nullptr;
    CWidget* m_pInset = nullptr;
};

class CleanBrushAutoCleanTest : public CleanBrushTest {
protected:
    void SetUp() override {
        m_fStartAutoClean = 1;
        CleanBrushTest::SetUp();
    }
};

} // namespace

TEST_F(CleanBrushTest, ItIsPanelFiveAtTheBottomWithItsGlass) {
    EXPECT_EQ(m_Backdrop.Panel(5), m_pPanel);
    EXPECT_EQ(m_Backdrop.PanelRoots()[5], m_pRoot);
    EXPECT_LE(m_pRoot->Height(), 90) << "-90 and -100 hide it whole";
    EXPECT_EQ(Place(), 10);
    EXPECT_EQ(m_pPanel->Oil(), 1) << "the saved tool, oil paint, came through the hub";
    EXPECT_EQ(m_pPanel->GlassColour(), CPixel(0xFF87FFFE));
    EXPECT_EQ(m_pPanel->Glass()->Image()->GetWidth(), m_pPanel->Glass()->Width());
}

TEST_F(CleanBrushTest, TheFirstCleanTintsTheWaterAndRepeatedCleansConverge) {
    Clean(0xFFFF0000);
    EXPECT_EQ(m_pPanel->GlassColour(), CPixel(0xFFACAFAE));
    EXPECT_EQ(m_Backbone.Values(eCmdCleanBrush), std::vector<int64_t>{0});
    EXPECT_EQ(Sounds(), std::vector<int32_t>{4});
    EXPECT_EQ(CCleanBrush::Tinted(CPixel(0xFF87FFFE), CPixel(0xFF6070A0)), CPixel(0xFF7BD2E0));

    const CPixel target(0xFF6070A0);
    int32_t distance[3] = {255, 255, 255};
    for (int32_t i = 0; i < 40; ++i) {
        Clean(uint32_t(target));
        for (int32_t c = 0; c < 3; ++c) {
            const int32_t d =
                std::abs(Channel(m_pPanel->GlassColour(), c * 8) - Channel(target, c * 8));
            EXPECT_LE(d, distance[c]) << "clean " << i << ", channel " << c;
            distance[c] = d;
        }
    }
    for (const int32_t d : distance) {
        EXPECT_LE(d, 2);
    }
}

TEST_F(CleanBrushTest, TheGlassIsTheTintedMaskMultipliedOverThePicture) {
    Clean(0xFF3080C0);
    CImage* glass = CImage::CreateSharedFromRes(CCleanBrush::kGlassImageID, nullptr, nullptr);
    CImage* mask = CImage::CreateSharedFromRes(CCleanBrush::kTintImageID, nullptr, nullptr);
    ASSERT_NE(glass, nullptr);
    ASSERT_NE(mask, nullptr);
    CImNav base(glass);
    CImNav tint(mask);
    CImNav shown(m_pPanel->Glass()->Image());
    ASSERT_EQ(shown.GetWidth(), base.GetWidth());
    ASSERT_EQ(shown.GetHeight(), base.GetHeight());
    const uint32_t rgb = uint32_t(m_pPanel->GlassColour()) & 0xFFFFFFu;
    int32_t tinted = 0;
    for (int32_t y = 0; y < base.GetHeight(); ++y) {
        for (int32_t x = 0; x < base.GetWidth(); ++x) {
            const CPixel blend((uint32_t(tint.Row(y)[x]) & 0xFF000000u) | rgb);
            ASSERT_EQ(shown.Row(y)[x], CPixelMix::Multiply(blend, base.Row(y)[x])) << x << "," << y;
            tinted += shown.Row(y)[x] != base.Row(y)[x] ? 1 : 0;
        }
    }
    EXPECT_GT(tinted, 500) << "the water shows the tint";
}

TEST_F(CleanBrushTest, ItSlidesAwayAndBackAsAutoCleanAndTheToolSay) {
    int32_t on = 1;
    int32_t off = 0;
    struct SCase {
        const char* what;
        uint32_t id;
        int64_t value;
        bool rollover;
        int32_t place;
    } const kCases[] = {
        {"oil and auto-clean off: still at 10", 0, 0, true, 10},
        {"auto-clean on: away", eCmdAutoClean, ChannelValueOf(&on), true, -100},
        {"auto-clean off again: back", eCmdAutoClean, ChannelValueOf(&off), true, 10},
        {"another tool: away", eCmdSelectTool, 3, true, -100},
        {"oil again: back", eCmdSelectTool, 0, true, 10},
        {"no rollover widget: it stays", eCmdSelectTool, 4, false, 10},
    };
    for (const SCase& c : kCases) {
        SCOPED_TRACE(c.what);
        if (c.id) {
            EXPECT_EQ(m_Backdrop.ProcessData(c.id, &m_Backbone, c.value, 1), 0);
        }
        Beats(200, c.rollover ? static_cast<CWidget*>(&m_Backdrop) : nullptr);
        EXPECT_EQ(Place(), c.place);
    }
}

TEST_F(CleanBrushTest, APanelAtRestAsksNoRedraw) {
    Beats(5, &m_Backdrop);
    const int32_t before = m_Backdrop.m_nRedraws;
    Beats(300, &m_Backdrop);
    EXPECT_EQ(m_Backdrop.m_nRedraws, before);
    EXPECT_EQ(Place(), 10);
    // Away and at rest there too.
    int32_t on = 1;
    EXPECT_EQ(m_pPanel->ProcessData(eCmdAutoClean, &m_Backbone, ChannelValueOf(&on), 1), 0);
    Beats(200, &m_Backdrop);
    const int32_t away = m_Backdrop.m_nRedraws;
    EXPECT_GT(away, before) << "the slide itself redraws";
    Beats(300, &m_Backdrop);
    EXPECT_EQ(m_Backdrop.m_nRedraws, away);
}

TEST_F(CleanBrushAutoCleanTest, WithAutoCleanOnItKeepsItsPlaceUntilARolloverThenGoes) {
    EXPECT_EQ(m_pPanel->Wanted(), 0);
    EXPECT_EQ(Place(), 10) << "the resource file's place";
    Beats(50, nullptr);
    EXPECT_EQ(Place(), 10);
    Beats(1, &m_Backdrop);
    EXPECT_EQ(Place(), -90);
    Beats(200, &m_Backdrop);
    EXPECT_EQ(Place(), -100);
}

TEST_F(CleanBrushTest, TheInsetCleansOnlyOnARelease) {
    // Released off it: nothing.
    m_Backbone.m_nColour = 0xFFFF0000;
    ASSERT_EQ(Press(m_pInset, {Point(&m_Backdrop)}), eNoError);
    EXPECT_TRUE(m_Backbone.m_Sets.empty());
    EXPECT_TRUE(Sounds().empty());
    EXPECT_EQ(m_pPanel->GlassColour(), CPixel(0xFF87FFFE));
    // A colour that cannot be asked for: cleaned and heard, the water kept.
    m_Backbone.m_nColourError = eBadParameter;
    ASSERT_EQ(Press(m_pInset, {}), eNoError);
    EXPECT_EQ(m_Backbone.Values(eCmdCleanBrush), std::vector<int64_t>{0});
    EXPECT_EQ(Sounds(), std::vector<int32_t>{4});
    EXPECT_EQ(m_pPanel->GlassColour(), CPixel(0xFF87FFFE));
    EXPECT_EQ(m_Backdrop.ModalCount(), 0);
}
