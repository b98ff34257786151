#include <gtest/gtest.h>

#include <random>

#include "imaging/ImLocker.h"
#include "imaging/Image.h"
#include "imaging/Image8.h"
#include "imaging/RLE.h"
#include "imaging/RLE8.h"
#include "imaging/tests/TestImages.h"
#include "testsupport/foundation/FailingMemory.h"

namespace {

class ImageCompress : public ::testing::Test {
protected:
    // A uniform opaque picture whose transparent last row mixes colour bits.
    static std::vector<uint32_t> Uniform(int32_t w, int32_t h) {
        std::vector<uint32_t> px(size_t(w) * h, 0xFF336699u);
        for (int32_t x = 0; x < w; ++x) {
            px[size_t(h - 1) * w + x] = uint32_t(x * 0x010203);
        }
        return px;
    }
};

struct ThresholdCase {
    const char* name;
    int32_t width, height;
    bool distinct; // every pixel different
    int32_t compressed;
};

void PrintTo(const ThresholdCase& c, std::ostream* os) {
    *os << c.name;
}

class CompressThreshold : public ::testing::TestWithParam<ThresholdCase> {};

TEST_P(CompressThreshold, KeepsOnlyWhatPays) {
    const ThresholdCase& c = GetParam();
    CImage image(c.width, c.height);
    std::vector<uint32_t> px(size_t(c.width) * c.height, 0xFF00FF00u);
    if (c.distinct) {
        for (size_t i = 0; i < px.size(); ++i) {
            px[i] = 0xFF000000u | uint32_t(i);
        }
    }
    testimg::Store(image, px);
    ASSERT_EQ(image.Compress(), eNoError);
    EXPECT_EQ(image.IsCompressed(), c.compressed);
    EXPECT_EQ(image.GetRLE() != nullptr, c.compressed == 1);
    EXPECT_EQ(image.IsValid(), 1);
    ASSERT_EQ(image.Decompress(), eNoError);
    EXPECT_EQ(testimg::Load(image), px);
}

INSTANTIATE_TEST_SUITE_P(Cases, CompressThreshold,
                         ::testing::Values(ThresholdCase{"uniform_9x9", 9, 9, false, 1},
                                           ThresholdCase{"distinct_9x9", 9, 9, true, 0},
                                           ThresholdCase{"uniform_width_8", 8, 100, false, 0},
                                           ThresholdCase{"uniform_height_8", 100, 8, false, 0},
                                           ThresholdCase{"uniform_100x100", 100, 100, false, 1}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ImageCompress, CompressedImageHasNoPixelBlockToLock) {
    CImage image(100, 100);
    testimg::Store(image, Uniform(100, 100));
    ASSERT_EQ(image.Compress(), eNoError);
    ASSERT_EQ(image.IsCompressed(), 1);
    void* p = &image;
    EXPECT_EQ(image.Lock(p), eGenericFailure);
    EXPECT_EQ(p, nullptr);

    uint32_t* untouched = reinterpret_cast<uint32_t*>(&image);
    {
        CImLocker lock(&image, untouched);
        EXPECT_EQ(lock.IsLocked(), 0);
    }
    EXPECT_EQ(untouched, reinterpret_cast<uint32_t*>(&image));
    EXPECT_EQ(image.Compress(), eNoError) << "compressing again changes nothing";
    EXPECT_EQ(image.IsCompressed(), 1);
}

TEST_F(ImageCompress, DecompressRestoresEveryPixelButTransparentColours) {
    const auto px = Uniform(100, 100);
    CImage image(100, 100);
    testimg::Store(image, px);
    ASSERT_EQ(image.Compress(), eNoError);
    ASSERT_EQ(image.Decompress(), eNoError);
    EXPECT_EQ(image.IsCompressed(), 0);
    EXPECT_EQ(image.GetRLE(), nullptr);
    const auto out = testimg::Load(image);
    for (size_t i = 0; i < out.size(); ++i) {
        if (px[i] >> 24) {
            ASSERT_EQ(out[i], px[i]) << i;
        } else {
            // One transparent run: every pixel takes the first one's colour.
            ASSERT_EQ(out[i], px[size_t(99) * 100]) << i;
        }
    }
}

TEST_F(ImageCompress, SetSizeOnCompressedImage) {
    CImage image(100, 100);
    testimg::Store(image, Uniform(100, 100));
    ASSERT_EQ(image.Compress(), eNoError);
    EXPECT_EQ(image.SetSize(100, 100), eNoError);
    EXPECT_EQ(image.IsCompressed(), 1) << "the same size has no block to clear";
    EXPECT_EQ(image.SetSize(20, 10), eNoError);
    EXPECT_EQ(image.IsCompressed(), 0);
    EXPECT_EQ(image.GetRLE(), nullptr);
    EXPECT_EQ(testimg::Load(image), std::vector<uint32_t>(200, 0u));
}

TEST_F(ImageCompress, PlatformAndUncompressedImagesAreLeftAlone) {
    CImage platform(100, 100, 1);
    EXPECT_EQ(platform.Compress(), eNoError);
    EXPECT_EQ(platform.IsCompressed(), 0);
    EXPECT_EQ(platform.GetRLE(), nullptr);

    CImage plain(20, 20);
    void* before = nullptr;
    ASSERT_EQ(plain.Lock(before), eNoError);
    EXPECT_EQ(plain.Decompress(), eNoError);
    void* after = nullptr;
    ASSERT_EQ(plain.Lock(after), eNoError);
    EXPECT_EQ(after, before);
}

TEST_F(ImageCompress, CompressWithoutMemoryLeavesTheImage) {
    const auto px = Uniform(50, 50);
    for (int allowed : {0, 1}) { // the coder object, then its block
        CImage image(50, 50);
        testimg::Store(image, px);
        {
            CFailingMemory noMemory(allowed);
            EXPECT_EQ(image.Compress(), eOutOfMemory) << allowed;
        }
        EXPECT_EQ(image.IsCompressed(), 0);
        EXPECT_EQ(image.GetRLE(), nullptr);
        EXPECT_EQ(testimg::Load(image), px);
    }
}

TEST_F(ImageCompress, DecompressWithoutMemoryStaysCompressed) {
    const auto px = Uniform(50, 50);
    CImage image(50, 50);
    testimg::Store(image, px);
    ASSERT_EQ(image.Compress(), eNoError);
    {
        CFailingMemory noMemory;
        EXPECT_EQ(image.Decompress(), eOutOfMemory);
    }
    EXPECT_EQ(image.IsCompressed(), 1);
    ASSERT_EQ(image.Decompress(), eNoError);
    EXPECT_EQ(testimg::Load(image)[0], px[0]);
}

// Random pictures of odd sizes survive a round trip; transparent pixels in
// one repeat run come back with the run's first colour.
class ImageRoundTrip : public ::testing::TestWithParam<testimg::Size> {};

TEST_P(ImageRoundTrip, ThirtyTwoBit) {
    const testimg::Size s = GetParam();
    std::mt19937 rng(uint32_t(s.width * 7919 + s.height));
    const auto px = testimg::RunnyPixels(rng, s.width, s.height);
    CImage image(s.width, s.height);
    testimg::Store(image, px);
    ASSERT_EQ(image.Compress(), eNoError);
    ASSERT_EQ(image.Decompress(), eNoError);
    const auto out = testimg::Load(image);
    ASSERT_EQ(out.size(), px.size());
    for (size_t i = 0; i < px.size(); ++i) {
        if (px[i] >> 24) {
            ASSERT_EQ(out[i], px[i]) << i;
        } else {
            ASSERT_EQ(out[i] >> 24, 0u) << i;
        }
    }
}

TEST_P(ImageRoundTrip, EightBit) {
    const testimg::Size s = GetParam();
    std::mt19937 rng(uint32_t(s.width * 104729 + s.height));
    auto bytes = testimg::RunnyPixels(rng, s.width, s.height);
    for (auto& b : bytes) {
        b = (b >> 24) & 0xF0u; // few distinct values, so runs form
    }
    CImage8 image(s.width, s.height);
    testimg::Store8(image, bytes);
    ASSERT_EQ(image.Compress(), eNoError);
    ASSERT_EQ(image.Decompress(), eNoError);
    EXPECT_EQ(testimg::Load8(image), bytes);
}

INSTANTIATE_TEST_SUITE_P(OddSizes, ImageRoundTrip, ::testing::ValuesIn(testimg::OddSizes()));

} // namespace
