// The title bar base on a resource file of the test's own: a bar image
// 80 x 36 whose every pixel says where it came from, and a subclass 200
// pixels wide, for a bar at each edge. Its size and places, the picture
// painted into the root, the press on the cap and its release, and the
// slide on the fake clock.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "FileIO/gCFRef.h"
#include "FileIO/gCFile.h"
#include "FileIO/gCMemFile.h"
#include "FileIO/gCResourceIndex.h"
#include "foundation/MessageIds.h"
#include "foundation/Timing.h"
#include "imaging/ImNav.h"
#include "imaging/Image.h"
#include "imaging/ImageIO.h"
#include "testsupport/FileIO/FakeResourceServices.h"
#include "testsupport/FileIO/ResourceBytes.h"
#include "testsupport/FileIO/TempVolume.h"
#include "testsupport/foundation/FakeClock.h"
#include "testsupport/foundation/RecordingModule.h"
#include "testsupport/widgets/WidgetBlockWriter.h"
#include "ui/panels/Titlebar.h"
#include "widgets/Backdrop.h"
#include "widgets/ImWidget.h"

namespace {

constexpr int32_t kWindowWidth = 1024;
constexpr int32_t kWindowHeight = 768;
constexpr int32_t kImageWidth = 80;
constexpr int32_t kImageHeight = 36;
constexpr int32_t kBarWidth = 200;

// The test image's pixel: opaque, its column and row in red and green,
// the image in blue.
uint32_t SourcePixel(int32_t x, int32_t y, uint32_t image) {
    return 0xFF000000u | uint32_t(x) << 16 | uint32_t(y) << 8 | image;
}

std::string ImageBlock(int32_t id, const char* name) {
    CImage image(kImageWidth, kImageHeight);
    {
        CImNav view(&image);
        EXPECT_TRUE(view.IsLocked());
        for (int32_t y = 0; y < kImageHeight; ++y) {
            for (int32_t x = 0; x < kImageWidth; ++x) {
                view.Row(y)[x] = SourcePixel(x, y, uint32_t(id));
            }
        }
    }
    gCMemFile png;
    EXPECT_EQ(gCImageIO::WriteImage(png, image, gCImageIO::kPNG), eNoError);
    const std::string bytes(reinterpret_cast<const char*>(png.GetMemBlock()->GetData()),
                            size_t(png.GetSize()));
    return WriterBlock("imag", id, name, Le32(uint32_t(bytes.size())) + bytes);
}

// A bar 200 pixels wide that starts retracted, at the edge it is told.
class CTestBar : public CTitlebar {
public:
    CTestBar(CBackdrop* backdrop, int32_t leftAnchored) : CTitlebar(backdrop) {
        m_fLeftAnchored = leftAnchored;
    }
    using CTitlebar::OnCap;
    error m_nSetupResult = eNoError;

protected:
    error LocalSetupRoot() override {
        if (const error e = SizeTitlebar(0)) {
            return e;
        }
        if (const error e = SetBarExtended(m_fExtended, 0, 0)) {
            return e;
        }
        return m_nSetupResult;
    }
    error LocalSizeTitlebar() override { return m_pRoot->SetWidth(kBarWidth, 0); }
};

// Counts what the bars ask of the window: invalidated areas and redraws.
class CCountingBackdrop : public CBackdrop {
public:
    error PassInvalidatedAreaToParent(const gCRect& local, int32_t redraw) override {
        ++m_nInvalidated;
        return CBackdrop::PassInvalidatedAreaToParent(local, redraw);
    }
    error PassRedraw() override {
        ++m_nRedraws;
        return eNoError;
    }
    int32_t m_nInvalidated = 0;
    int32_t m_nRedraws = 0;
};

class TitlebarTest : public TempVolume {
protected:
    void SetUp() override {
        TempVolume::SetUp();
        const CWidgetChunks root = CWidgetChunks()
                                       .Int("vsbl", 1)
                                       .Real("ypos", 12)
                                       .Real("xsiz", 140)
                                       .Real("ysiz", 36)
                                       .Int("lbdn", 1)
                                       .Int("hrtb", 1);
        MakeFile("system.vrf",
                 ResourceFileBytes(2, {WidgetBlock("imwg", 100, "TitleBar", root),
                                       ImageBlock(101, "Left"), ImageBlock(102, "Right")}));
        gCFRef ref(S("HD:system.vrf"));
        ASSERT_EQ(m_File.Open(&ref, eAccessReadOnly), eNoError);
        ASSERT_EQ(m_Index.SetupIndex(&m_File), eNoError);
        m_Services.m_pResFile = &m_File;
        m_Services.m_pResIndex = &m_Index;
        ASSERT_EQ(m_Backdrop.SetSize(kWindowWidth, kWindowHeight, 0), eNoError);
        gCCmdTarget::SetUIModule(&m_UI);
    }
    void TearDown() override {
        gCCmdTarget::SetUIModule(nullptr);
        EXPECT_EQ(m_Backdrop.RemoveChildren(0), eNoError);
        EXPECT_TRUE(m_Services.m_Alerts.empty());
        TempVolume::TearDown();
    }

    // A bar at the given edge, set up and retracted.
    std::unique_ptr<CTestBar> MakeBar(int32_t leftAnchored) {
        auto bar = std::make_unique<CTestBar>(&m_Backdrop, leftAnchored);
        EXPECT_EQ(bar->SetupRoot(), eNoError);
        return bar;
    }
    // The root's x offset as the positioner holds it.
    static int32_t Offset(const CTitlebar& bar) {
        return int32_t(bar.Root()->Positioner()->m_rXPos);
    }
    std::vector<int32_t> Sounds() const {
        std::vector<int32_t> sounds;
        for (const auto& c : m_UI.m_Calls) {
            if (c.id == eCmdPlaySound) {
                sounds.push_back(int32_t(c.value));
            }
        }
        return sounds;
    }

    CFakeResourceServices m_Services;
    CFakeClock m_Clock;
    gCFile m_File;
    gCResourceIndex m_Index;
    CRecordingModule m_UI;
    CCountingBackdrop m_Backdrop;
};

TEST_F(TitlebarTest, TheRootIsTheBarPlusFortyWithTheCapInsideTheWindow) {
    for (const int32_t left : {1, 0}) {
        SCOPED_TRACE(left ? "left-anchored" : "right-anchored");
        auto bar = MakeBar(left);
        CImWidget* root = bar->Root();
        ASSERT_NE(root, nullptr);
        EXPECT_EQ(root->Parent(), &m_Backdrop);
        EXPECT_EQ(root->Width(), 240);
        EXPECT_EQ(root->Height(), 36);
        EXPECT_EQ(bar->CapWidth(), 40);
        EXPECT_EQ(bar->ExtendedPlace(), -40);
        EXPECT_EQ(bar->RetractedPlace(), 40 - 240);

        // Retracted, only the cap shows, at the bar's own edge.
        EXPECT_EQ(bar->Extended(), 0);
        const gCRect retracted =
            left ? gCRect(-200, 12, 40, 48) : gCRect(kWindowWidth - 40, 12, kWindowWidth + 200, 48);
        EXPECT_EQ(root->Rect(), retracted);
        ASSERT_EQ(bar->SetBarExtended(1, 0, 0), eNoError);
        EXPECT_EQ(bar->Extended(), 1);
        const gCRect extended =
            left ? gCRect(-40, 12, 200, 48) : gCRect(kWindowWidth - 200, 12, kWindowWidth + 40, 48);
        EXPECT_EQ(root->Rect(), extended);
        // Offset 0 puts the bar's outer edge on the window's edge.
        ASSERT_EQ(root->SetXPos(0, 0), eNoError);
        EXPECT_EQ(left ? root->Rect().left : root->Rect().right, left ? 0 : kWindowWidth);
        ASSERT_EQ(m_Backdrop.RemoveChild(root, 0), eNoError);
    }
}

TEST_F(TitlebarTest, TheCapIsTheImagesOuterHalfAndTheInnerHalfRepeats) {
    for (const int32_t left : {1, 0}) {
        SCOPED_TRACE(left ? "left-anchored" : "right-anchored");
        auto bar = MakeBar(left);
        CImage* picture = bar->Root()->Image();
        ASSERT_NE(picture, nullptr);
        ASSERT_EQ(picture->GetWidth(), 240);
        {
            CImNav view(picture);
            ASSERT_TRUE(view.IsLocked());
            const uint32_t image = left ? 101u : 102u;
            for (int32_t y = 0; y < 36; ++y) {
                for (int32_t x = 0; x < 240; ++x) {
                    int32_t from;
                    if (left) {
                        from = x >= 200 ? x - 200 + 40 : x % 40;
                    } else {
                        from = x < 40 ? x : 40 + (x - 40) % 40;
                    }
                    ASSERT_EQ(uint32_t(view.Row(y)[x]), SourcePixel(from, y, image))
                        << "at " << x << ", " << y;
                }
            }
        } // the view lets the picture go before the root does
        ASSERT_EQ(m_Backdrop.RemoveChild(bar->Root(), 0), eNoError);
    }
}

TEST_F(TitlebarTest, ASetUpThatFailsTakesItsRootOutOfTheWindow) {
    CTestBar bar(&m_Backdrop, 1);
    bar.m_nSetupResult = eResourceNotFound;
    EXPECT_EQ(bar.SetupRoot(), eResourceNotFound);
    EXPECT_EQ(bar.Root(), nullptr);
    EXPECT_EQ(m_Backdrop.ChildCount(), 0) << "no widget is left calling the bar";
    EXPECT_EQ(bar.SetBarExtended(1, 0, 0), eCreateFailed) << "no time step without a root";

    CTestBar homeless(nullptr, 1);
    EXPECT_EQ(homeless.SetupRoot(), eResourceNotFound);
}

// A press on the root at a point in its own coordinates, released where
// the case says. What the bar did meanwhile is noted at the first beat.
struct SPress {
    int32_t left;      // anchoring
    int32_t extended;  // the bar's state before
    int32_t pressX;    // in root coordinates
    const char* where; // the release: "on", "left-10", "left-11", "right+10", "right+11", "below"
    bool onCap;
    int32_t toggles;
};

TEST_F(TitlebarTest, APressOnTheCapTogglesOrSlidesBackOnRelease) {
    const SPress kCases[] = {
        {1, 1, 100, "on", false, 0},      {1, 1, 199, "on", false, 0},
        {1, 0, 200, "on", true, 1},       {1, 1, 239, "on", true, 1},
        {1, 0, 220, "left-10", true, 1},  {1, 0, 220, "left-11", true, 0},
        {1, 1, 220, "right+10", true, 1}, {1, 1, 220, "right+11", true, 0},
        {1, 0, 220, "below", true, 0},    {0, 0, 40, "on", true, 1},
        {0, 1, 41, "on", false, 0},       {0, 1, 0, "on", true, 1},
        {0, 1, 20, "right+11", true, 0},
    };
    for (const SPress& c : kCases) {
        SCOPED_TRACE(std::string(c.left ? "left " : "right ") + std::to_string(c.extended) +
                     " press " + std::to_string(c.pressX) + " release " + c.where);
        auto bar = MakeBar(c.left);
        CImWidget* root = bar->Root();
        ASSERT_EQ(bar->SetBarExtended(c.extended, 0, 0), eNoError);
        const int32_t before = Offset(*bar);
        m_UI.m_Calls.clear();
        m_Services.m_nAppHeartbeats = 0;

        const gCRect r = root->Rect();
        const std::string where = c.where;
        gCPoint release((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        if (where == "left-10") {
            release.x = r.left - 10;
        } else if (where == "left-11") {
            release.x = r.left - 11;
        } else if (where == "right+10") {
            release.x = r.right + 10;
        } else if (where == "right+11") {
            release.x = r.right + 11;
        } else if (where == "below") {
            release.y = r.bottom + 100;
        }
        float feedback = 0.0f;
        bool modal = false;
        m_Services.m_fLButton = 1;
        m_Services.m_OnPump = [&] {
            feedback = bar->TimeStep()->m_rTarget;
            modal = m_Backdrop.TopModal() == root;
            m_Services.m_CursorLoc = release;
            m_Services.m_fLButton = 0;
        };
        gCPoint at(r.left + c.pressX, r.top + 10);
        CWidget* taker = nullptr;
        ASSERT_EQ(m_Backdrop.PassButtonDownL(taker, at), eNoError);
        m_Services.m_OnPump = nullptr;
        m_Services.m_fLButton = 0;

        EXPECT_EQ(taker, root) << "the root takes every press";
        EXPECT_EQ(m_Backdrop.ModalCount(), 0);
        if (!c.onCap) {
            EXPECT_TRUE(Sounds().empty());
            EXPECT_EQ(m_Services.m_nAppHeartbeats, 0) << "the press is not followed";
            EXPECT_EQ(bar->Extended(), c.extended);
            EXPECT_EQ(bar->TimeStep()->m_rTarget, float(before));
            EXPECT_EQ(Offset(*bar), before);
        } else {
            EXPECT_TRUE(modal) << "the root is modal while the button is down";
            EXPECT_EQ(feedback, float(before + (c.extended ? 5 : -5)));
            EXPECT_EQ(Sounds(), std::vector<int32_t>{0});
            const int32_t now = c.toggles ? !c.extended : c.extended;
            EXPECT_EQ(bar->Extended(), now);
            EXPECT_EQ(bar->TimeStep()->m_rTarget,
                      float(now ? bar->ExtendedPlace() : bar->RetractedPlace()));
            EXPECT_EQ(bar->TimeStep()->m_fRunning, 1) << "it slides";
        }
        ASSERT_EQ(m_Backdrop.RemoveChild(root, 0), eNoError);
    }
}

TEST_F(TitlebarTest, TheSlideRunsAPixelPerTwoMillisecondsAndRestsQuietly) {
    auto bar = MakeBar(1);
    CImWidget* root = bar->Root();
    ASSERT_EQ(bar->SetBarExtended(1, 0, 0), eNoError);
    ASSERT_EQ(CTitlebar::TitlebarHeart(bar.get(), root), eNoError);
    EXPECT_EQ(root->Rect().left, -40);

    ASSERT_EQ(bar->SetBarExtended(0, 1, 1), eNoError);
    EXPECT_EQ(root->Rect().left, -40) << "a slide moves nothing until the beat";
    std::vector<int32_t> seen;
    for (int32_t ms = 0; ms <= 320; ms += 2) {
        ASSERT_EQ(CTitlebar::TitlebarHeart(bar.get(), root), eNoError);
        seen.push_back(root->Rect().left);
        m_Clock.AdvanceMilliseconds(2);
    }
    EXPECT_EQ(seen.front(), -40);
    EXPECT_EQ(seen[80], -120) << "half way at 160 ms";
    // Eased: at 300 ms, 150 of 160 steps, smoothstep(0.9375) = 0.98877.
    EXPECT_EQ(seen[150], -198) << "not there at 300 ms";
    EXPECT_EQ(seen.back(), -200) << "there at 320 ms";
    for (size_t i = 1; i < seen.size(); ++i) {
        EXPECT_LE(seen[i], seen[i - 1]) << i;
    }

    // At rest: no x is set and nothing is invalidated or redrawn.
    const int32_t invalidated = m_Backdrop.m_nInvalidated;
    const int32_t redraws = m_Backdrop.m_nRedraws;
    for (int32_t i = 0; i < 10; ++i) {
        m_Clock.AdvanceMilliseconds(16);
        ASSERT_EQ(CTitlebar::TitlebarHeart(bar.get(), root), eNoError);
    }
    EXPECT_EQ(m_Backdrop.m_nInvalidated, invalidated);
    EXPECT_EQ(m_Backdrop.m_nRedraws, redraws);
    EXPECT_EQ(root->Rect().left, -200);

    // Sliding back starts from where the bar is.
    ASSERT_EQ(bar->SetBarExtended(1, 1, 1), eNoError);
    m_Clock.AdvanceMilliseconds(100);
    ASSERT_EQ(CTitlebar::TitlebarHeart(bar.get(), root), eNoError);
    EXPECT_GT(root->Rect().left, -200);
    EXPECT_LT(root->Rect().left, -150);
}

TEST_F(TitlebarTest, AHeartbeatWithoutATimeStepLeavesTheBarAlone) {
    auto bar = MakeBar(1);
    CImWidget* root = bar->Root();
    const gCRect before = root->Rect();
    // Taken off the root, the time step is the test's to delete.
    std::unique_ptr<gCResourceObject> step(root->GetUserObject(0));
    root->SetUserObject(0, nullptr);
    ASSERT_EQ(bar->TimeStep(), nullptr);
    EXPECT_EQ(CTitlebar::TitlebarHeart(bar.get(), root), eNoError);
    EXPECT_EQ(bar->SetBarExtended(1, 0, 0), eCreateFailed);
    EXPECT_EQ(root->Rect(), before);
    // A press on the cap is still taken, and does nothing more.
    gCPoint at(before.left + 220, before.top + 10);
    CWidget* taker = nullptr;
    ASSERT_EQ(m_Backdrop.PassButtonDownL(taker, at), eNoError);
    EXPECT_EQ(taker, root);
    EXPECT_TRUE(Sounds().empty());
    EXPECT_EQ(root->Rect(), before);
}

} // namespace
