#include <gtest/gtest.h>

#include <cstdlib>

#include "imaging/ImLocker.h"
#include "imaging/ImNav.h"
#include "imaging/Image.h"
#include "imaging/Image8.h"
#include "testsupport/foundation/FailingMemory.h"

namespace {

using ImageSurface = ::testing::Test;

TEST_F(ImageSurface, CreateMakesAZeroedLockableSurface) {
    CImage image(10, 4);
    EXPECT_EQ(image.IsValid(), 1);
    EXPECT_EQ(image.GetBitsPerPixel(), 32);
    {
        const uint32_t* px = nullptr;
        CImLocker lock(&image, px);
        ASSERT_EQ(lock.IsLocked(), 1);
        ASSERT_NE(px, nullptr);
        EXPECT_EQ(image.GetRowBytes(), 40);
        EXPECT_EQ(image.GetStride(), 10);
        EXPECT_EQ(image.GetBytesPerPixel(), 4);
        for (int i = 0; i < 40; ++i) {
            ASSERT_EQ(px[i], 0u);
        }
    }
    // A memory surface has nothing to release.
    EXPECT_EQ(image.Unlock(), eNoError);
    void* p = nullptr;

    CImage8 mask(7, 3);
    ASSERT_EQ(mask.Lock(p), eNoError);
    EXPECT_EQ(mask.GetBitsPerPixel(), 8);
    EXPECT_EQ(mask.GetRowBytes(), 7);
    EXPECT_EQ(mask.GetStride(), 7);
    EXPECT_EQ(mask.GetBytesPerPixel(), 1);
}

TEST_F(ImageSurface, LockWithRectangleHandsOutItsFirstPixel) {
    CImage image(10, 6);
    void* whole = nullptr;
    void* part = nullptr;
    ASSERT_EQ(image.Lock(whole), eNoError);
    const gCRect rect(3, 2, 5, 4);
    ASSERT_EQ(image.Lock(part, &rect), eNoError);
    EXPECT_EQ(static_cast<uint8_t*>(part), static_cast<uint8_t*>(whole) + 2 * 40 + 3 * 4);
    EXPECT_EQ(image.GetStride(), 10);
}

TEST_F(ImageSurface, LockRefusesWhatHasNoPixelsOrLiesOutside) {
    CImage empty;
    void* p = &empty;
    EXPECT_EQ(empty.Lock(p), eGenericFailure);
    EXPECT_EQ(p, nullptr);

    CImage image(4, 4);
    for (const gCRect& r :
         {gCRect(-1, 0, 2, 2), gCRect(0, -1, 2, 2), gCRect(5, 0, 6, 2), gCRect(0, 5, 2, 6)}) {
        p = &empty;
        EXPECT_EQ(image.Lock(p, &r), eBadParameter);
        EXPECT_EQ(p, nullptr);
    }
}

struct BadSizeCase {
    const char* name;
    int32_t width, height;
};

void PrintTo(const BadSizeCase& c, std::ostream* os) {
    *os << c.name;
}

class ImageBadSize : public ::testing::TestWithParam<BadSizeCase> {};

TEST_P(ImageBadSize, IsRefusedAndLeavesTheImage) {
    const BadSizeCase& c = GetParam();
    CImage image(3, 2);
    EXPECT_EQ(image.Create(c.width, c.height), eBadParameter);
    EXPECT_EQ(image.SetSize(c.width, c.height), eBadParameter);
    EXPECT_EQ(image.GetWidth(), 3);
    EXPECT_EQ(image.GetHeight(), 2);
    EXPECT_EQ(image.IsValid(), 1);

    CImage fresh(c.width, c.height);
    EXPECT_EQ(fresh.IsValid(), 0);
    CImage8 mask(c.width, c.height);
    EXPECT_EQ(mask.IsValid(), 0);
}

INSTANTIATE_TEST_SUITE_P(Cases, ImageBadSize,
                         ::testing::Values(BadSizeCase{"negative_width", -1, 5},
                                           BadSizeCase{"negative_height", 5, -1},
                                           BadSizeCase{"width_past_cap", 32768, 1},
                                           BadSizeCase{"height_past_cap", 1, 32768},
                                           // 65536 x 65536 x 4 wraps to 0 in 32 bits.
                                           BadSizeCase{"wraps_in_32_bits", 65536, 65536}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ImageSurface, TheLargestSideIsAccepted) {
    CImage8 mask(CImageBase::kMaxSide, 1);
    EXPECT_EQ(mask.IsValid(), 1);
    EXPECT_EQ(mask.GetWidth(), 32767);
}

TEST_F(ImageSurface, CreateWithoutMemoryKeepsTheSizeButNoSurface) {
    CImage image(4, 4);
    {
        CFailingMemory noMemory;
        EXPECT_EQ(image.Create(5, 6), eOutOfMemory);
    }
    EXPECT_EQ(image.IsValid(), 0);
    EXPECT_EQ(image.GetWidth(), 5);
    EXPECT_EQ(image.GetHeight(), 6);
    void* p = nullptr;
    EXPECT_EQ(image.Lock(p), eGenericFailure);
}

TEST_F(ImageSurface, SetSizeAfterAFailedCreateMakesTheSurface) {
    CImage image(4, 4);
    {
        CFailingMemory noMemory;
        ASSERT_EQ(image.Create(5, 6), eOutOfMemory);
        EXPECT_EQ(image.SetSize(5, 6), eOutOfMemory) << "no surface is no success";
    }
    ASSERT_EQ(image.SetSize(5, 6), eNoError);
    EXPECT_EQ(image.IsValid(), 1);
    void* p = nullptr;
    EXPECT_EQ(image.Lock(p), eNoError);
    EXPECT_NE(p, nullptr);
}

TEST_F(ImageSurface, SetSizeSameClearsInPlaceOtherRecreates) {
    CImage image(5, 3);
    void* before = nullptr;
    ASSERT_EQ(image.Lock(before), eNoError);
    static_cast<uint32_t*>(before)[7] = 0xDEADBEEFu;

    ASSERT_EQ(image.SetSize(5, 3), eNoError);
    void* after = nullptr;
    ASSERT_EQ(image.Lock(after), eNoError);
    EXPECT_EQ(after, before) << "the same surface is kept";
    EXPECT_EQ(static_cast<uint32_t*>(after)[7], 0u) << "and cleared";

    static_cast<uint32_t*>(after)[7] = 0xDEADBEEFu;
    ASSERT_EQ(image.SetSize(2, 9), eNoError);
    EXPECT_EQ(image.GetWidth(), 2);
    EXPECT_EQ(image.GetHeight(), 9);
    ASSERT_EQ(image.Lock(after), eNoError);
    for (int i = 0; i < 18; ++i) {
        ASSERT_EQ(static_cast<uint32_t*>(after)[i], 0u);
    }
}

TEST_F(ImageSurface, PlatformImageIsMarkedAndZeroed) {
    CImage image(6, 5, 1);
    EXPECT_EQ(image.IsPlatform(), 1);
    EXPECT_EQ(image.IsValid(), 1);
    CImage later(1);
    EXPECT_EQ(later.IsValid(), 0);
    EXPECT_EQ(later.SetSize(3, 3), eNoError);
    EXPECT_EQ(later.IsPlatform(), 1);
    EXPECT_EQ(later.IsValid(), 1);
}

TEST_F(ImageSurface, DestroySurfaceEmptiesTheImage) {
    CImage image(3, 3);
    image.DestroySurface();
    EXPECT_EQ(image.IsValid(), 0);
    void* p = nullptr;
    EXPECT_EQ(image.Lock(p), eGenericFailure);
}

TEST_F(ImageSurface, TakeSurfaceMovesThePixelsAndKeepsTheRest) {
    CImage from(3, 2);
    uint32_t* px = nullptr;
    {
        CImLocker lock(&from, px);
        ASSERT_EQ(lock.IsLocked(), 1);
        px[5] = 0xCAFEF00Du;
    }
    CImage to(8, 8);
    to.SetOrigin(gCPoint(2, 1));
    ASSERT_EQ(to.TakeSurface(from), eNoError);
    EXPECT_EQ(to.GetWidth(), 3);
    EXPECT_EQ(to.GetHeight(), 2);
    EXPECT_EQ(to.GetOrigin(), gCPoint(2, 1));
    uint32_t* taken = nullptr;
    CImLocker lock(&to, taken);
    ASSERT_EQ(taken, px) << "the very block, not a copy";
    EXPECT_EQ(taken[5], 0xCAFEF00Du);
    EXPECT_EQ(from.IsValid(), 0);
    EXPECT_EQ(from.GetWidth(), 0);
    EXPECT_EQ(to.TakeSurface(to), eNoError);
    EXPECT_EQ(to.GetWidth(), 3);
}

TEST_F(ImageSurface, TakeSurfaceRefusesAnotherDepthOrACompressedImage) {
    CImage to(4, 4);
    CImage8 mask(2, 2);
    EXPECT_EQ(to.TakeSurface(mask), eBadParameter);
    CImage flat(20, 20);
    CImNav(&flat).Fill(CPixel(0xFF000000u));
    ASSERT_EQ(flat.Compress(), eNoError);
    ASSERT_TRUE(flat.IsCompressed());
    EXPECT_EQ(to.TakeSurface(flat), eBadParameter);
    EXPECT_EQ(to.GetWidth(), 4);
    EXPECT_EQ(mask.GetWidth(), 2);
    EXPECT_TRUE(flat.IsCompressed());
}

TEST_F(ImageSurface, LockerLocksAWholeImageForItsScope) {
    CImage image(4, 2);
    uint32_t* px = nullptr;
    {
        CImLocker lock(&image, px);
        EXPECT_EQ(lock.IsLocked(), 1);
        ASSERT_NE(px, nullptr);
        px[7] = 5;
    }
    uint32_t* again = nullptr;
    CImLocker lock(&image, again);
    EXPECT_EQ(again, px);
    EXPECT_EQ(again[7], 5u);

    uint32_t* untouched = px;
    CImLocker none(nullptr, untouched);
    EXPECT_EQ(none.IsLocked(), 0);
    EXPECT_EQ(untouched, px);
}

} // namespace
