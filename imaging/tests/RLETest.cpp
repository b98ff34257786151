#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <random>

#include "imaging/ImNav.h"
#include "imaging/RLE.h"
#include "imaging/detail/RunLengthCoder.h"
#include "imaging/tests/RLEReading.h"
#include "imaging/tests/Reference.h"
#include "imaging/tests/TestImages.h"

namespace {

using rletest::Block;
using rletest::ReadAll;

std::unique_ptr<CImage> Picture(int32_t w, int32_t h, const std::vector<uint32_t>& px) {
    auto image = std::make_unique<CImage>(w, h);
    testimg::Store(*image, px);
    return image;
}

TEST(RLE, UniformNineByNineIsTwentyEightWords) {
    auto image = Picture(9, 9, std::vector<uint32_t>(81, 0xFF224466u));
    CRLE rle;
    EXPECT_EQ(CRLE::TestCompression(image.get()), 28);
    ASSERT_EQ(rle.CreateFromImage(image.get()), eNoError);
    EXPECT_EQ(rle.IsCompressed(), 1);
    EXPECT_EQ(rle.GetWidth(), 9);
    EXPECT_EQ(rle.GetHeight(), 9);
    const auto block = Block(rle);
    ASSERT_EQ(block.size(), 28u);
    for (uint32_t y = 0; y < 9; ++y) {
        EXPECT_EQ(block[y], 9 + 2 * y) << "row table";
        EXPECT_EQ(block[9 + 2 * y], 9u) << "one repeat run of 9";
        EXPECT_EQ(block[10 + 2 * y], 0xFF224466u);
    }
    EXPECT_EQ(block[27], 0u) << "spare word";
}

TEST(RLE, AllDifferentNineByNineStaysRaw) {
    std::vector<uint32_t> px(81);
    for (uint32_t i = 0; i < 81; ++i) {
        px[i] = 0xFF000000u | i;
    }
    auto image = Picture(9, 9, px);
    EXPECT_EQ(CRLE::TestCompression(image.get()), 81);
    CRLE rle;
    ASSERT_EQ(rle.CreateFromImage(image.get()), eNoError);
    EXPECT_EQ(rle.IsCompressed(), 0);
    EXPECT_EQ(Block(rle), px);
    EXPECT_EQ(ReadAll(rle, 4, 3, 81 - 31), std::vector<uint32_t>(px.begin() + 31, px.end()));
}

TEST(RLE, EightPixelSideIsNeverEncoded) {
    for (auto [w, h] : {std::pair{8, 50}, std::pair{50, 8}}) {
        auto image = Picture(w, h, std::vector<uint32_t>(size_t(w) * h, 0xFFFFFFFFu));
        EXPECT_EQ(CRLE::TestCompression(image.get()), w * h);
        CRLE rle;
        ASSERT_EQ(rle.CreateFromImage(image.get()), eNoError);
        EXPECT_EQ(rle.IsCompressed(), 0);
    }
}

TEST(RLE, RunsOfDistinctAndRepeatedPixels) {
    const uint32_t P = 0xFF000001u, Q = 0xFF000002u, R = 0x80000003u, S = 0x01000004u;
    const CPixel row[] = {P, Q, R, R, R, S};
    EXPECT_EQ(CRLE::CountDuplicatePoints(row, 0, 6), 1);
    EXPECT_EQ(CRLE::CountUniquePoints(row, 0, 6), 3) << "P Q R";
    EXPECT_EQ(CRLE::CountDuplicatePoints(row, 3, 6), 2) << "R R";
    EXPECT_EQ(CRLE::CountDuplicatePoints(row, 5, 6), 1);
    EXPECT_EQ(CRLE::CountUniquePoints(row, 5, 6), 1) << "S";

    // Rows of ten T then P Q R R R S encode to: repeat 10 x T, literal
    // P Q R, repeat 2 x R, literal S.
    const uint32_t T = 0xFFFFFFFFu;
    std::vector<uint32_t> px;
    for (int y = 0; y < 16; ++y) {
        px.insert(px.end(), 10, T);
        px.insert(px.end(), {P, Q, R, R, R, S});
    }
    auto image = Picture(16, 16, px);
    CRLE rle;
    ASSERT_EQ(rle.CreateFromImage(image.get()), eNoError);
    ASSERT_EQ(rle.IsCompressed(), 1);
    const auto block = Block(rle);
    ASSERT_EQ(block.size(), 16u + 16 * 10 + 1);
    const std::vector<uint32_t> firstRow(block.begin() + block[0], block.begin() + block[1]);
    EXPECT_EQ(firstRow, (std::vector<uint32_t>{10, T, 0x80000003u, P, Q, R, 2, R, 0x80000001u, S}));

    // Reading from inside a repeat or a literal continues as the raw rows do.
    for (int32_t x : {5, 9, 11, 12, 14, 15}) {
        EXPECT_EQ(ReadAll(rle, x, 3, 16 - x + 16),
                  std::vector<uint32_t>(px.begin() + 3 * 16 + x, px.begin() + 5 * 16))
            << "from column " << x;
    }
}

TEST(RLE, TransparentPixelsOfAnyColourShareOneRun) {
    const CPixel row[] = {0x00FF0000u, 0x0000FF00u, 0x000000FFu, 0xFF000000u};
    EXPECT_EQ(CRLE::CountDuplicatePoints(row, 0, 4), 3);
    std::vector<uint32_t> px;
    for (int i = 0; i < 10 * 10; ++i) {
        px.push_back(uint32_t(i) & 0x00FFFFFFu);
    }
    auto image = Picture(10, 10, px);
    CRLE rle;
    ASSERT_EQ(rle.CreateFromImage(image.get()), eNoError);
    ASSERT_EQ(rle.IsCompressed(), 1);
    for (int32_t y = 0; y < 10; ++y) {
        EXPECT_EQ(ReadAll(rle, 0, y, 10), std::vector<uint32_t>(10, uint32_t(y * 10)));
    }
}

TEST(RLE, ReadingPastTheImageGivesZeros) {
    auto image = Picture(10, 10, std::vector<uint32_t>(100, 0xFFABCDEFu));
    CRLE rle;
    ASSERT_EQ(rle.CreateFromImage(image.get()), eNoError);
    auto tail = ReadAll(rle, 8, 9, 6);
    EXPECT_EQ(tail, (std::vector<uint32_t>{0xFFABCDEFu, 0xFFABCDEFu, 0, 0, 0, 0}));
    EXPECT_EQ(ReadAll(rle, 10, 0, 2), (std::vector<uint32_t>{0, 0})) << "outside";
    EXPECT_EQ(ReadAll(rle, 0, -1, 2), (std::vector<uint32_t>{0, 0})) << "outside";
    CRLE empty;
    EXPECT_EQ(ReadAll(empty, 0, 0, 3), (std::vector<uint32_t>{0, 0, 0}));
}

TEST(RLE, EncoderOutOfRoomEmptiesTheCoder) {
    auto image = Picture(20, 20, std::vector<uint32_t>(400, 0xFF010203u));
    CImNav view(image.get());
    CRLE rle;
    ASSERT_EQ(rle.Resize(uint32_t(CRLE::TestCompression(view) - 1), 1), 1);
    EXPECT_EQ(rle.DoCompress(view), eBadParameter);
    EXPECT_EQ(rle.GetCount(), 0u);
    EXPECT_EQ(rle.GetWidth(), 0);
    EXPECT_EQ(rle.IsCompressed(), 0);
    EXPECT_EQ(ReadAll(rle, 0, 0, 1), (std::vector<uint32_t>{0}));
}

TEST(RLE, ImageThatCannotBeViewedIsRefused) {
    CImage empty;
    CRLE rle;
    EXPECT_EQ(rle.CreateFromImage(&empty), eOutOfMemory);
    CImage compressed(30, 30);
    ASSERT_EQ(compressed.Compress(), eNoError);
    ASSERT_EQ(compressed.IsCompressed(), 1);
    EXPECT_EQ(rle.CreateFromImage(&compressed), eOutOfMemory);
    EXPECT_EQ(CRLE::TestCompression(&compressed), 900);
}

// Four fifths of the pixel count in single precision (0.8f is
// 13421773 / 2^24), rounded with halves away from zero.
TEST(RLEThreshold, FourFifthsOfThePixelsRounded) {
    struct Case {
        int64_t pixels, threshold;
    };
    for (Case c : {Case{0, 0}, Case{81, 65}, Case{1000000, 800000},
                   Case{int64_t(1) << 22, 3355443},     // 3355443.25
                   Case{int64_t(1) << 23, 6710887},     // 6710886.5
                   Case{4095 * 4097, 13421772},         // 13421772.2
                   Case{int64_t(1) << 24, 13421773},    // exactly, and odd
                   Case{int64_t(3) << 23, 20132660}}) { // 20132659.5 becomes a float first
        EXPECT_EQ(runlength::Threshold(c.pixels), c.threshold) << c.pixels << " pixels";
    }
}

// A 4096 x 4096 picture whose estimate is the threshold itself stays raw,
// one word less is encoded. The rows: 3274 of all different pixels
// (one literal, 4097 words), 821 of one colour (2 words) and one of 1643
// or 1644 pixels of one colour and then all different ones
// (2 + 4097 - 1643 = 2456 words); with the row table and the spare word
// 4096 + 3274 * 4097 + 821 * 2 + 2456 + 1 = 13421773.
TEST(RLEThreshold, EstimateAtTheThresholdOfA4096Square) {
    const int32_t side = 4096;
    CImage image(side, side);
    CImNav view(&image);
    ASSERT_TRUE(view.IsLocked());
    auto fill = [&](int32_t y, int32_t uniform) {
        CPixel* row = view.Row(y);
        for (int32_t x = 0; x < side; ++x) {
            row[x] = CPixel(x < uniform ? 0xFF000000u : 0xFF000000u | uint32_t(x + 1));
        }
    };
    for (int32_t y = 0; y < side; ++y) {
        fill(y, y < 3274 ? 0 : side);
    }
    struct Case {
        int32_t uniform; // pixels of one colour leading the mixed row
        int32_t estimate;
        int32_t compressed;
    };
    for (Case c : {Case{1643, 13421773, 0}, Case{1644, 13421772, 1}}) {
        fill(3274, c.uniform);
        EXPECT_EQ(CRLE::TestCompression(view), c.estimate);
        CRLE rle;
        ASSERT_EQ(rle.CreateFromImage(view), eNoError);
        EXPECT_EQ(rle.IsCompressed(), c.compressed) << "estimate " << c.estimate;
        EXPECT_EQ(rle.GetCount(), uint32_t(c.compressed ? c.estimate : side * side));
    }
}

// The encoder against a plain encoder of the run rules, and the readers
// against plain decoding, on seeded random pictures of odd sizes.
class RLEMatchesReference : public ::testing::TestWithParam<testimg::Size> {};

TEST_P(RLEMatchesReference, EncodeAndRead) {
    const testimg::Size s = GetParam();
    std::mt19937 rng(uint32_t(s.width * 65537 + s.height));
    const auto px = testimg::RunnyPixels(rng, s.width, s.height);
    auto image = Picture(s.width, s.height, px);
    CRLE rle;
    ASSERT_EQ(rle.CreateFromImage(image.get()), eNoError);

    const auto expectedBlock = ref::Encode(px, s.width, s.height, 0x7FFFFFFF, 1, ref::PixelPair);
    const bool pays = s.width > 8 && s.height > 8 &&
                      long(expectedBlock.size()) < std::lround(0.8f * float(px.size()));
    std::vector<uint32_t> decoded = px;
    ASSERT_EQ(rle.IsCompressed(), pays ? 1 : 0);
    if (pays) {
        EXPECT_EQ(Block(rle), expectedBlock);
        decoded = ref::Decode(expectedBlock, s.width, s.height, 1);
    } else {
        EXPECT_EQ(Block(rle), px);
    }

    EXPECT_EQ(ReadAll(rle, 0, 0, px.size()), decoded) << "one read through the whole image";
    rletest::ExpectReadsFromRandomStarts(rle, decoded, s, rng);
}

INSTANTIATE_TEST_SUITE_P(OddSizes, RLEMatchesReference, ::testing::ValuesIn(testimg::OddSizes()));

} // namespace
