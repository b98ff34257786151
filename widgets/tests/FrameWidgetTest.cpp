// The frame widget: its two regions through adds, removes and size changes,
// their pixels at every alpha, and changes that run out of memory.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "imaging/Image.h"
#include "testsupport/foundation/FailingMemory.h"
#include "testsupport/widgets/RecordingRoot.h"
#include "widgets/FrameWidget.h"
#include "widgets/tests/PixelTesting.h"

namespace {

constexpr uint32_t kClient = 0xFF2040C0u;
constexpr uint32_t kFrame = 0xFFE0A020u;
constexpr uint32_t kUnder = 0xFF102030u;

// A parentless frame widget of that size in the two colours.
std::unique_ptr<CFrameWidget> Frame(int32_t width, int32_t height) {
    auto frame = std::make_unique<CFrameWidget>();
    EXPECT_EQ(frame->SetClientColour(kClient, 0), eNoError);
    EXPECT_EQ(frame->SetRegionColour(kFrame, 0), eNoError);
    EXPECT_EQ(frame->SetSize(width, height, 0), eNoError);
    return frame;
}

// The widget drawn over a target of its size in kUnder.
std::unique_ptr<CImage> Drawn(CFrameWidget& frame, uint32_t alpha = 255) {
    auto target = FilledImage(frame.Width(), frame.Height(), kUnder);
    EXPECT_EQ(frame.RenderArea(gCRect(0, 0, frame.Width(), frame.Height()), target.get(), alpha),
              eNoError);
    return target;
}

// Every pixel of the picture: in the rects the frame colour, else the
// client colour.
void ExpectPicture(CImage& image, const std::vector<gCRect>& frames) {
    for (int32_t y = 0; y < image.GetHeight(); ++y) {
        for (int32_t x = 0; x < image.GetWidth(); ++x) {
            bool inFrame = false;
            for (const gCRect& r : frames) {
                inFrame = inFrame || (x >= r.left && x < r.right && y >= r.top && y < r.bottom);
            }
            ASSERT_EQ(PixelAt(image, x, y), inFrame ? kFrame : kClient) << x << "," << y;
        }
    }
}

// The area of a region, in pixels.
int64_t AreaOf(const CRegion& region) {
    int64_t area = 0;
    for (const gCRect& r : region.GetRects()) {
        area += int64_t(r.Width()) * r.Height();
    }
    return area;
}

} // namespace

TEST(FrameWidget, ANewFrameIsClientColourUntilARectIsAdded) {
    auto frame = Frame(100, 40);
    EXPECT_EQ(frame->TypeID(), kFrameWidgetTypeID);
    ExpectPicture(*Drawn(*frame), {});
    ASSERT_EQ(frame->AddRect(gCRect(10, 10, 30, 30), 0), eNoError);
    ExpectPicture(*Drawn(*frame), {gCRect(10, 10, 30, 30)});
    EXPECT_EQ(AreaOf(frame->ClientRegion()) + AreaOf(frame->FrameRegion()), 100 * 40);
}

TEST(FrameWidget, AutoClearDecidesWhetherRectsSurviveAResize) {
    for (int32_t autoClear : {1, 0}) {
        SCOPED_TRACE(autoClear);
        auto frame = Frame(100, 40);
        frame->SetAutoClearOnSize(autoClear);
        ASSERT_EQ(frame->AddRect(gCRect(10, 10, 30, 30), 0), eNoError);
        ASSERT_EQ(frame->SetSize(120, 50, 0), eNoError);
        auto picture = Drawn(*frame);
        ASSERT_EQ(picture->GetWidth(), 120);
        if (autoClear) {
            ExpectPicture(*picture, {});
            EXPECT_EQ(frame->FrameRegion().GetCount(), 0);
        } else {
            ExpectPicture(*picture, {gCRect(10, 10, 30, 30)});
        }
        EXPECT_EQ(AreaOf(frame->ClientRegion()) + AreaOf(frame->FrameRegion()), 120 * 50);
    }
}

TEST(FrameWidget, RemoveRectGivesAreaBackAndInvalidatesIt) {
    CRecordingRoot root(200, 100);
    auto* frame = AddPlaced<CFrameWidget>(root, gCRect(20, 10, 120, 50));
    ASSERT_EQ(frame->SetClientColour(kClient, 0), eNoError);
    ASSERT_EQ(frame->SetRegionColour(kFrame, 0), eNoError);
    ASSERT_EQ(frame->AddRect(gCRect(0, 0, 100, 40), 0), eNoError);
    root.m_aLog.clear();
    // Never added as such: the middle goes back all the same.
    ASSERT_EQ(frame->RemoveRect(gCRect(40, 10, 60, 20), 1), eNoError);
    EXPECT_EQ(root.m_aLog, (std::vector<std::string>{"dirty 60,20,80,30", "redraw"}));
    auto target = FilledImage(100, 40, kUnder);
    ASSERT_EQ(frame->RenderArea(gCRect(0, 0, 100, 40), target.get(), 255), eNoError);
    EXPECT_EQ(PixelAt(*target, 45, 15), kClient);
    EXPECT_EQ(PixelAt(*target, 39, 15), kFrame);
    EXPECT_EQ(PixelAt(*target, 60, 20), kFrame);
    // And one outside everything added also joins the client region.
    auto lone = Frame(50, 20);
    ASSERT_EQ(lone->ClearAll(0), eNoError);
    ASSERT_EQ(lone->RemoveRect(gCRect(5, 5, 10, 10), 0), eNoError);
    EXPECT_EQ(AreaOf(lone->ClientRegion()), 50 * 20);
}

TEST(FrameWidget, ColoursScaleByAlphaAndOpaqueBlitMakesThemOpaque) {
    struct SCase {
        const char* name;
        uint32_t client;
        uint32_t alpha;
        int32_t opaqueBlit;
        uint32_t expect; // the client area's pixel over kUnder
    };
    // 0x80FFFFFF at alpha 255: (0x80FFFF * 256) keeps 0x80; the blend moves
    // each channel d by ((255 - d + 1) * 128) >> 8.
    const SCase cases[] = {
        {"OpaqueAtFullAlphaStaysOpaque", 0xFF405060u, 255, 0, 0xFF405060u},
        {"HalfTransparentBlends", 0x80FFFFFFu, 255, 0, 0xFF889098u},
        {"OpaqueBlitWritesItOpaque", 0x80FFFFFFu, 255, 1, 0xFFFFFFFFu},
        {"AlphaZeroDrawsNothing", 0xFF405060u, 0, 0, kUnder},
    };
    for (const SCase& c : cases) {
        SCOPED_TRACE(c.name);
        auto frame = Frame(6, 4);
        ASSERT_EQ(frame->SetClientColour(c.client, 0), eNoError);
        frame->SetOpaqueBlit(c.opaqueBlit);
        auto target = Drawn(*frame, c.alpha);
        EXPECT_EQ(PixelsOf(*target), std::vector<uint32_t>(24, c.expect));
    }
}

TEST(FrameWidget, AnAreaMissingEveryRectPaintsNothing) {
    auto frame = Frame(10, 10);
    ASSERT_EQ(frame->AddRect(gCRect(2, 2, 4, 4), 0), eNoError);
    auto target = FilledImage(30, 30, kUnder);
    CCountingBlends blends;
    ASSERT_EQ(frame->RenderArea(gCRect(12, 12, 30, 30), target.get(), 255), eNoError);
    EXPECT_EQ(PixelsOf(*target), std::vector<uint32_t>(900, kUnder));
}

TEST(FrameWidget, AChangeThatRunsOutOfMemoryLeavesBothRegions) {
    auto frame = Frame(100, 40);
    ASSERT_EQ(frame->AddRect(gCRect(10, 10, 30, 30), 0), eNoError);
    ASSERT_EQ(frame->AddRect(gCRect(50, 5, 70, 35), 0), eNoError);
    const std::vector<gCRect> before = {gCRect(10, 10, 30, 30), gCRect(50, 5, 70, 35)};
    // Every allowance up to one that lets the change through.
    for (int32_t allowed = 0; allowed < 64; ++allowed) {
        SCOPED_TRACE(allowed);
        error added = eNoError;
        error removed = eNoError;
        {
            CFailingMemory memory(allowed);
            added = frame->AddRect(gCRect(80, 0, 90, 40), 0);
        }
        if (added == eNoError) {
            ASSERT_EQ(frame->RemoveRect(gCRect(80, 0, 90, 40), 0), eNoError);
        } else {
            EXPECT_EQ(added, eOutOfMemory);
        }
        ExpectPicture(*Drawn(*frame), before);
        {
            CFailingMemory memory(allowed);
            removed = frame->RemoveRect(gCRect(15, 15, 25, 25), 0);
        }
        if (removed == eNoError) {
            ASSERT_EQ(frame->AddRect(gCRect(15, 15, 25, 25), 0), eNoError);
        }
        ExpectPicture(*Drawn(*frame), before);
        error cleared = eNoError;
        {
            CFailingMemory memory(allowed);
            cleared = frame->ClearAll(0);
        }
        if (cleared != eNoError) {
            ExpectPicture(*Drawn(*frame), before);
        } else {
            ASSERT_EQ(frame->AddRect(before[0], 0), eNoError);
            ASSERT_EQ(frame->AddRect(before[1], 0), eNoError);
        }
        EXPECT_EQ(AreaOf(frame->ClientRegion()) + AreaOf(frame->FrameRegion()), 100 * 40);
        if (added == eNoError && removed == eNoError) {
            break;
        }
    }
}
