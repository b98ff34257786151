// The image widget: frames of a list, what it owns and deletes, resizing,
// cross-fades, hit tests and masks, and drawing, with a compressed image
// behaving exactly as its uncompressed twin.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "imaging/ImNav.h"
#include "imaging/Image.h"
#include "imaging/Image8.h"
#include "imaging/ImageList.h"
#include "imaging/PixelPaths.h"
#include "testsupport/widgets/RecordingRoot.h"
#include "widgets/ImWidget.h"
#include "widgets/tests/PixelTesting.h"
#include "widgets/tests/StubEffect.h"
#include "widgets/tests/TestWidgets.h"

namespace {

constexpr uint32_t kWhite = 0xFFFFFFFFu;
constexpr uint32_t kBlack = 0xFF000000u;
constexpr uint32_t kBlue = 0xFF0000FFu;

// An image that counts its deletions.
class CTrackedImage : public CImage {
public:
    CTrackedImage(int32_t* deaths, int32_t width, int32_t height)
        : CImage(width, height), m_pDeaths(deaths) {}
    explicit CTrackedImage(int32_t* deaths) : m_pDeaths(deaths) {}
    ~CTrackedImage() override { ++*m_pDeaths; }

private:
    int32_t* m_pDeaths;
};

// An exclusive list of frames filled with the colours.
gCImageList* NewList(std::initializer_list<uint32_t> colours) {
    auto* list = new gCImageList(1);
    for (uint32_t colour : colours) {
        EXPECT_EQ(list->Add(FilledImage(4, 4, colour).release()), eNoError);
    }
    return list;
}

// --- Frames and lists

TEST(ImWidget, AdvanceFrameWrapsAndNeedsTwoFrames) {
    CImWidget widget;
    EXPECT_EQ(widget.AdvanceFrame(0, 0), eBadParameter); // no list
    gCImageList* one = NewList({kWhite});
    ASSERT_EQ(widget.SetImageList(one), eNoError);
    EXPECT_EQ(widget.AdvanceFrame(0, 0), eBadParameter);
    EXPECT_EQ(widget.Image(), nullptr);
    EXPECT_EQ(widget.ImageIndex(), 0);

    gCImageList* three = NewList({kWhite, kBlack, kBlue});
    ASSERT_EQ(widget.SetImageList(three), eNoError); // the first list goes
    EXPECT_EQ(widget.SetImage(3, 0, 0), eBadParameter);
    EXPECT_EQ(widget.SetImage(-1, 0, 0), eBadParameter);
    ASSERT_EQ(widget.SetImage(2, 0, 0), eNoError);
    EXPECT_EQ(widget.Image(), three->GetImage(2));
    EXPECT_EQ(widget.ImageIndex(), 2);
    ASSERT_EQ(widget.AdvanceFrame(0, 0), eNoError);
    EXPECT_EQ(widget.Image(), three->GetImage(0));
    EXPECT_EQ(widget.ImageIndex(), 0);
    ASSERT_EQ(widget.AdvanceFrame(1, 0), eNoError);
    EXPECT_EQ(widget.Image(), three->GetImage(1));
    EXPECT_EQ(widget.Width(), 4); // resized around the frame
}

TEST(ImWidget, AFrameGoesWithTheListThatOwnsIt) {
    CImWidget widget;
    ASSERT_EQ(widget.SetImageList(NewList({kWhite, kBlack})), eNoError);
    ASSERT_EQ(widget.SetImage(1, 0, 0), eNoError);
    EXPECT_EQ(widget.SetImageList(nullptr), eBadParameter);
    EXPECT_NE(widget.Image(), nullptr);
    ASSERT_EQ(widget.SetImageList(widget.ImageList()), eNoError); // the same: kept
    EXPECT_NE(widget.Image(), nullptr);
    ASSERT_EQ(widget.SetImageList(NewList({kBlue})), eNoError);
    EXPECT_EQ(widget.Image(), nullptr); // not left pointing into the deleted list
}

// --- What the widget owns

TEST(ImWidget, SetImageDeletesWhatItReplacesButNeverTheSameOrAPooledImage) {
    int32_t deaths = 0;
    CImWidget widget;
    EXPECT_EQ(widget.SetImage(nullptr, 0, 0), eBadParameter);
    CTrackedImage surfaceless(&deaths);
    EXPECT_EQ(widget.SetImage(&surfaceless, 0, 0), eBadParameter); // the caller keeps it

    auto* first = new CTrackedImage(&deaths, 4, 4);
    ASSERT_EQ(widget.SetImage(first, 0, 0), eNoError);
    ASSERT_EQ(widget.SetImage(first, 0, 0), eNoError);
    EXPECT_EQ(deaths, 0);
    ASSERT_EQ(widget.SetImage(new CTrackedImage(&deaths, 4, 4), 0, 0), eNoError);
    EXPECT_EQ(deaths, 1);

    CTrackedImage pooled(&deaths, 4, 4);
    pooled.SetPooled(1);
    ASSERT_EQ(widget.SetImage(&pooled, 0, 0), eNoError);
    EXPECT_EQ(deaths, 2);
    ASSERT_EQ(widget.SetImage(FilledImage(2, 2, kWhite).release(), 0, 0), eNoError);
    EXPECT_EQ(deaths, 2); // the pooled one stays
}

TEST(ImWidget, StretchModeDeletesTheGivenImageOnEveryPath) {
    int32_t deaths = 0;
    CImWidget widget;
    ASSERT_EQ(widget.SetSize(8, 6, 0), eNoError);
    widget.SetStretchImageOnSet(1);

    ASSERT_EQ(widget.SetImage(new CTrackedImage(&deaths, 4, 4), 1, 0), eNoError);
    EXPECT_EQ(deaths, 1);
    ASSERT_NE(widget.Image(), nullptr);
    EXPECT_EQ(widget.Image()->GetWidth(), 8);
    EXPECT_EQ(widget.Image()->GetHeight(), 6);
    EXPECT_EQ(widget.Width(), 8); // resize does not apply

    EXPECT_EQ(widget.SetImage(new CTrackedImage(&deaths), 0, 0), eBadParameter);
    EXPECT_EQ(deaths, 2);

    auto* packed = new CTrackedImage(&deaths, 64, 64); // zeros compress
    ASSERT_EQ(packed->Compress(), eNoError);
    ASSERT_TRUE(packed->IsCompressed());
    EXPECT_EQ(widget.SetImage(packed, 0, 0), eOutOfMemory); // cannot be viewed
    EXPECT_EQ(deaths, 3);
    EXPECT_EQ(widget.Image(), nullptr);

    CTrackedImage pooled(&deaths, 4, 4);
    pooled.SetPooled(1);
    ASSERT_EQ(widget.SetImage(&pooled, 0, 0), eNoError);
    EXPECT_EQ(deaths, 3);

    // The image held handed in again is scaled and replaced.
    CImage* held = widget.Image();
    ASSERT_EQ(widget.SetImage(held, 0, 0), eNoError);
    EXPECT_NE(widget.Image(), nullptr);
}

// --- Size

TEST(ImWidget, AnotherSizeGivesAFreshImageOfTheOpaqueClientColour) {
    CImWidget widget;
    ASSERT_EQ(widget.SetClientColour(0x80123456u, 0), eNoError);
    auto picture = MakeImage(10, 10, [](int32_t x, int32_t y) { return uint32_t(x * 16 + y); });
    const std::vector<uint32_t> pixels = PixelsOf(*picture);
    ASSERT_EQ(widget.SetImage(picture.release(), 1, 0), eNoError);
    EXPECT_EQ(PixelsOf(*widget.Image()), pixels); // its own size: kept

    ASSERT_EQ(widget.SetSize(20, 15, 0), eNoError);
    ASSERT_EQ(widget.Image()->GetWidth(), 20);
    ASSERT_EQ(widget.Image()->GetHeight(), 15);
    EXPECT_EQ(PixelsOf(*widget.Image()), std::vector<uint32_t>(300, 0xFF123456u));

    // Without a parent SetSize makes the image even when the rect stays.
    ASSERT_EQ(widget.SetImage(FilledImage(3, 3, kWhite).release(), 0, 0), eNoError);
    ASSERT_EQ(widget.SetSize(20, 15, 0), eNoError);
    EXPECT_EQ(widget.Image()->GetWidth(), 20);
    EXPECT_EQ(PixelsOf(*widget.Image()), std::vector<uint32_t>(300, 0xFF123456u));

    // A shared image is let go, never resized under its other users.
    auto shared = FilledImage(5, 5, kBlue);
    shared->SetPooled(1);
    ASSERT_EQ(widget.SetImage(shared.get(), 0, 0), eNoError);
    ASSERT_EQ(widget.SetSize(30, 30, 0), eNoError);
    EXPECT_NE(widget.Image(), shared.get());
    EXPECT_EQ(shared->GetWidth(), 5);
    EXPECT_EQ(PixelsOf(*shared), std::vector<uint32_t>(25, kBlue));
}

// --- Cross-fades

class LerpImage : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(widget.SetSize(4, 4, 0), eNoError);
        ASSERT_NE(widget.Image(), nullptr);
    }
    std::vector<uint32_t> Shown() { return PixelsOf(*widget.Image()); }

    CImWidget widget;
    std::unique_ptr<CImage> a = FilledImage(4, 4, kWhite);
    std::unique_ptr<CImage> b = FilledImage(6, 6, kBlack);
};

TEST_F(LerpImage, MovesATowardBByTheClampedLevel) {
    struct SCase {
        float t;
        uint32_t expect;
    };
    const float inf = std::numeric_limits<float>::infinity();
    for (const SCase& c : {SCase{0.0f, kWhite}, SCase{1.0f, kBlack},
                           // Level 128 through the premultiplied interpolation.
                           SCase{0.5f, 0xFF7E7E7Eu}, SCase{7.0f, kBlack}, SCase{-3.0f, kWhite},
                           SCase{std::nanf(""), kWhite}, SCase{inf, kWhite}}) {
        ASSERT_EQ(widget.LerpImage(a.get(), b.get(), c.t, 0, 0), eNoError);
        EXPECT_EQ(Shown(), std::vector<uint32_t>(16, c.expect)) << c.t;
    }
}

TEST_F(LerpImage, AMissingImageOnlyRedrawsAndEffectsFollowWhenAsked) {
    Log log;
    CRecordingRoot root(50, 50);
    auto* placed = AddPlaced<CImWidget>(root, gCRect(0, 0, 4, 4));
    ASSERT_EQ(placed->AddEffectU(new CStubEffect(&log, "U0"), 0, 0), eNoError);
    root.m_aLog.clear();
    log.clear();
    const std::vector<uint32_t> before = PixelsOf(*placed->Image());
    ASSERT_EQ(placed->LerpImage(a.get(), nullptr, 1.0f, 1, 1), eNoError);
    EXPECT_EQ(root.m_aLog, (Log{"redraw"}));
    EXPECT_EQ(PixelsOf(*placed->Image()), before);

    root.m_aLog.clear();
    ASSERT_EQ(placed->LerpImage(a.get(), b.get(), 1.0f, 1, 1), eNoError);
    EXPECT_EQ(log, (Log{"U0 changed image"}));
    EXPECT_EQ(root.m_aLog.back(), "redraw");
}

TEST_F(LerpImage, BetweenFramesNeverPaintsOverAFrame) {
    gCImageList* list = NewList({kWhite, kBlack});
    ASSERT_EQ(widget.SetImageList(list), eNoError);
    ASSERT_EQ(widget.SetImage(0, 0, 0), eNoError);
    ASSERT_EQ(widget.LerpImage(0, 1, 1.0f, 0, 0), eNoError);
    EXPECT_NE(widget.Image(), list->GetImage(0));
    EXPECT_EQ(Shown(), std::vector<uint32_t>(16, kBlack));
    EXPECT_EQ(PixelsOf(*list->GetImage(0)), std::vector<uint32_t>(16, kWhite));
    // Out of range: nothing.
    EXPECT_EQ(widget.LerpImage(0, 2, 0.0f, 0, 0), eNoError);
    EXPECT_EQ(Shown(), std::vector<uint32_t>(16, kBlack));
}

// --- Hit tests

TEST(ImWidget, OpaquePixelReadsTheImagesAlpha) {
    CImWidget widget;
    gCPoint far(-5, 100);
    EXPECT_EQ(widget.OpaquePixel(far), 1); // threshold 0: everywhere
    widget.SetOpaqueThreshold(120);
    EXPECT_EQ(widget.OpaquePixel(far), 0); // no image
    ASSERT_EQ(
        widget.SetImage(
            MakeImage(4, 1, [](int32_t x, int32_t) { return (uint32_t(x) * 60u) << 24; }).release(),
            0, 0),
        eNoError);
    for (int32_t x = -1; x <= 4; ++x) {
        gCPoint p(x, 0);
        EXPECT_EQ(widget.OpaquePixel(p), x == 2 || x == 3 ? 1 : 0) << x;
    }
    widget.SetOpaqueThreshold(0);
    EXPECT_EQ(widget.OpaquePixel(far), 1);
}

// --- Drawing

TEST(ImWidget, PixelsBlendByAlphaTimesOpacityOrCopyForOpaqueBlit) {
    CImWidget widget;
    auto picture = MakeImage(3, 1, [](int32_t x, int32_t) {
        return std::vector<uint32_t>{0x80FF0000u, 0xFF00FF00u, 0x00FFFFFFu}[size_t(x)];
    });
    ASSERT_EQ(widget.SetImage(picture.release(), 1, 0), eNoError);
    auto target = FilledImage(3, 1, kBlue);

    CCountingBlends blends;
    ASSERT_EQ(widget.RenderArea(gCRect(0, 0, 3, 1), target.get(), 255), eNoError);
    EXPECT_EQ(PixelsOf(*target), (std::vector<uint32_t>{0xFF800080u, 0xFF00FF00u, kBlue}));
    EXPECT_EQ(blends.Blends255(), 1);

    target = FilledImage(3, 1, kBlue);
    ASSERT_EQ(widget.RenderArea(gCRect(0, 0, 3, 1), target.get(), 127), eNoError);
    // Alphas (128 * 128) >> 8 = 64 and (255 * 128) >> 8 = 127.
    CPixel green = kBlue;
    CPixel::Blend255Proc(&green, 127, 0xFF00FF00u);
    EXPECT_EQ(PixelsOf(*target), (std::vector<uint32_t>{0xFF4000BFu, uint32_t(green), kBlue}));

    widget.SetOpaqueBlit(1);
    target = FilledImage(3, 1, kBlue);
    ASSERT_EQ(widget.RenderArea(gCRect(0, 0, 3, 1), target.get(), 10), eNoError);
    EXPECT_EQ(PixelsOf(*target), (std::vector<uint32_t>{0x80FF0000u, 0xFF00FF00u, 0x00FFFFFFu}));

    CImage empty;
    EXPECT_EQ(widget.RenderArea(gCRect(0, 0, 3, 1), &empty, 255), eOutOfMemory);
}

TEST(ImWidget, WithoutAnImageItDrawsAsAColourWidget) {
    CImWidget widget;
    ASSERT_EQ(widget.SetClientColour(0xFF112233u, 0), eNoError);
    auto target = FilledImage(4, 2, kBlue);
    ASSERT_EQ(widget.RenderArea(gCRect(1, 0, 3, 2), target.get(), 255), eNoError);
    EXPECT_EQ(PixelsOf(*target), (std::vector<uint32_t>{kBlue, 0xFF112233u, 0xFF112233u, kBlue,
                                                        kBlue, 0xFF112233u, 0xFF112233u, kBlue}));
}

// A 40 x 30 picture with transparent space, an opaque block and
// half-transparent stripes: it compresses, and every alpha case occurs.
std::unique_ptr<CImage> TwinPicture() {
    return MakeImage(40, 30, [](int32_t x, int32_t y) -> uint32_t {
        if (x >= 5 && x < 30 && y >= 4 && y < 20) {
            return 0xFF336699u;
        }
        if (y % 7 == 3) {
            return (uint32_t(x * 6) << 24) | 0x00C08040u;
        }
        return 0;
    });
}

// Two widgets showing the same picture, the second compressed.
class CompressedTwin : public ::testing::Test {
protected:
    void SetUp() override {
        auto picture = TwinPicture();
        uncompressedPixels = PixelsOf(*picture);
        ASSERT_EQ(plain.SetImage(picture.release(), 1, 0), eNoError);
        ASSERT_EQ(packed.SetImage(TwinPicture().release(), 1, 0), eNoError);
        ASSERT_EQ(packed.CompressImage(), eNoError);
        ASSERT_EQ(packed.Compressed(), 1);
        ASSERT_EQ(plain.Compressed(), 0);
    }
    static std::unique_ptr<CImage> Backdrop() {
        auto target = MakeImage(50, 40, [](int32_t x, int32_t y) {
            return 0xFF000000u | uint32_t(x * 5) | (uint32_t(y * 6) << 8);
        });
        target->SetOrigin(gCPoint(5, 4));
        return target;
    }

    Log log; // outlives the widgets' effects
    CImWidget plain;
    CImWidget packed;
    std::vector<uint32_t> uncompressedPixels;
};

TEST_F(CompressedTwin, RendersExactlyAsTheUncompressedImage) {
    for (int32_t blit : {0, 1}) {
        for (uint32_t opacity : {255u, 100u}) {
            for (const gCRect& area : {gCRect(0, 0, 40, 30), gCRect(7, 3, 33, 25),
                                       gCRect(-5, -4, 45, 36), gCRect(38, 28, 60, 60)}) {
                SCOPED_TRACE(RectText(area) + " opacity " + std::to_string(opacity) + " blit " +
                             std::to_string(blit));
                plain.SetOpaqueBlit(blit);
                packed.SetOpaqueBlit(blit);
                auto expect = Backdrop();
                auto actual = Backdrop();
                ASSERT_EQ(plain.RenderArea(area, expect.get(), opacity), eNoError);
                ASSERT_EQ(packed.RenderArea(area, actual.get(), opacity), eNoError);
                ASSERT_EQ(PixelsOf(*actual), PixelsOf(*expect));
            }
        }
    }
    EXPECT_EQ(packed.Compressed(), 1);
}

// The blended blit on every instruction-set path, through both standard
// blends, compressed or not: each pixel as the blend gives it at the
// picture's alpha times the opacity.
TEST(ImWidget, TheBlendedBlitIsTheBlendOnEveryPath) {
    std::mt19937 rng(5150);
    const int32_t w = 67, h = 29;
    std::vector<uint32_t> source(size_t(w * h));
    for (size_t i = 0; i < source.size(); ++i) {
        // Runs of six and single pixels, so that the picture compresses,
        // with every kind of alpha.
        const uint32_t kind = rng() % 4;
        const uint32_t alpha = kind == 0 ? 0u : kind == 1 ? 255u : rng() & 0xFFu;
        source[i] = i % 6 != 0 && i % 18 < 12 ? source[i - 1] : (alpha << 24) | (rng() & 0xFFFFFFu);
    }
    std::vector<uint32_t> under(size_t(w * h));
    for (uint32_t& p : under) {
        p = rng() % 2 ? uint32_t(rng()) | 0xFF000000u : uint32_t(rng());
    }
    const CPixel::Blend255ProcPtr saved = CPixel::m_pBlend255Proc;
    for (CPixel::Blend255ProcPtr blend : {&CPixel::Blend255Proc, &CPixel::AlphaBlend255Proc}) {
        for (int32_t compressed : {0, 1}) {
            CImWidget widget;
            ASSERT_EQ(
                widget.SetImage(
                    MakeImage(w, h, [&](int32_t x, int32_t y) { return source[size_t(y * w + x)]; })
                        .release(),
                    1, 0),
                eNoError);
            if (compressed) {
                ASSERT_EQ(widget.CompressImage(), eNoError);
                ASSERT_EQ(widget.Compressed(), 1);
            }
            for (uint32_t opacity : {255u, 200u, 1u}) {
                std::vector<uint32_t> want = under;
                for (size_t i = 0; i < want.size(); ++i) {
                    const int32_t level = int32_t(((source[i] >> 24) * (opacity + 1)) >> 8);
                    CPixel p(want[i]);
                    blend(&p, level, CPixel(source[i]));
                    want[i] = p;
                }
                for (CPixelPaths::EPath path :
                     {CPixelPaths::ePlain, CPixelPaths::eSse2, CPixelPaths::eAvx2}) {
                    SCOPED_TRACE(std::string(CPixelPaths::Name(path)) + " opacity " +
                                 std::to_string(opacity) + " compressed " +
                                 std::to_string(compressed));
                    CForcePixelPath force(path);
                    CPixel::m_pBlend255Proc = blend;
                    auto target = MakeImage(
                        w, h, [&](int32_t x, int32_t y) { return under[size_t(y * w + x)]; });
                    const error e = widget.RenderArea(gCRect(0, 0, w, h), target.get(), opacity);
                    CPixel::m_pBlend255Proc = saved;
                    ASSERT_EQ(e, eNoError);
                    ASSERT_EQ(PixelsOf(*target), want);
                }
            }
        }
    }
}

TEST_F(CompressedTwin, HitTestsAndMasksExactlyAsTheUncompressedImage) {
    plain.SetOpaqueThreshold(128);
    packed.SetOpaqueThreshold(128);
    for (int32_t y = -1; y <= 30; ++y) {
        for (int32_t x = -1; x <= 40; ++x) {
            gCPoint p(x, y);
            gCPoint q(x, y);
            ASSERT_EQ(packed.OpaquePixel(q), plain.OpaquePixel(p)) << x << "," << y;
        }
    }
    for (const gCPoint& size : {gCPoint(45, 35), gCPoint(12, 9)}) {
        CImage8 expect(size.x, size.y);
        CImage8 actual(size.x, size.y);
        ASSERT_EQ(plain.GetAlpha(&expect), eNoError);
        ASSERT_EQ(packed.GetAlpha(&actual), eNoError);
        CImNav8 e(&expect);
        CImNav8 a(&actual);
        for (int32_t y = 0; y < size.y; ++y) {
            for (int32_t x = 0; x < size.x; ++x) {
                ASSERT_EQ(a.Row(y)[x], e.Row(y)[x]) << x << "," << y;
                const uint8_t alpha =
                    x < 40 && y < 30 ? uint8_t(uncompressedPixels[size_t(y * 40 + x)] >> 24) : 0;
                ASSERT_EQ(e.Row(y)[x], alpha) << x << "," << y;
            }
        }
    }
}

TEST_F(CompressedTwin, EffectsAreShownAnUncompressedCopy) {
    auto* effect = new CStubEffect(&log, "U0", gCRect(-2, -2, 42, 32));
    ASSERT_EQ(packed.AddEffectU(effect, 0, 0), eNoError);
    EXPECT_EQ(log, (Log{"U0 changed image"}));
    EXPECT_FALSE(effect->m_fSeenCompressed);
    EXPECT_EQ(effect->m_nSeenWidth, 40);
    EXPECT_EQ(effect->m_aSeenPixels, uncompressedPixels);
    EXPECT_EQ(packed.Compressed(), 1);

    // Without an image the effect hears nothing; the total rect is rebuilt.
    CImWidget bare;
    log.clear();
    ASSERT_EQ(bare.AddEffectO(new CStubEffect(&log, "O0"), 0, 0), eNoError);
    EXPECT_EQ(log, Log{});
}

} // namespace
