#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>

#include "imaging/ImNav.h"
#include "imaging/RLE8.h"
#include "imaging/tests/RLEReading.h"
#include "imaging/tests/Reference.h"
#include "imaging/tests/TestImages.h"

namespace {

using rletest::Block;
using rletest::ReadAll;

uint32_t RowOffset(const CRLE8& rle, int32_t y) {
    uint32_t offset;
    std::memcpy(&offset, rle.GetData() + 4 * y, 4);
    return offset;
}

TEST(RLE8, LongRunsAreCutAt126) {
    CImage8 image(300, 9);
    CImNav8(&image).Fill(0x5A);
    CRLE8 rle;
    ASSERT_EQ(rle.CreateFromImage(&image), eNoError);
    ASSERT_EQ(rle.IsCompressed(), 1);
    // Table of 9 offsets, then per row three repeat runs, then the spare.
    ASSERT_EQ(rle.GetCount(), 4u * 9 + 9 * 6 + 1);
    for (int32_t y = 0; y < 9; ++y) {
        const uint32_t at = RowOffset(rle, y);
        EXPECT_EQ(at, 36u + 6 * y);
        const std::vector<uint32_t> row(rle.GetData() + at, rle.GetData() + at + 6);
        EXPECT_EQ(row, (std::vector<uint32_t>{126, 0x5A, 126, 0x5A, 48, 0x5A}));
    }
    EXPECT_EQ(ReadAll(rle, 120, 4, 10), std::vector<uint32_t>(10, 0x5A));
}

TEST(RLE8, LongLiteralsAreCutAt126) {
    uint8_t row[300];
    for (int i = 0; i < 300; ++i) {
        row[i] = uint8_t(i * 7 + i / 256); // no two neighbours equal
    }
    EXPECT_EQ(CRLE8::CountUniquePoints(row, 0, 300), 126);
    EXPECT_EQ(CRLE8::CountUniquePoints(row, 250, 300), 50);
    uint8_t same[200];
    std::memset(same, 3, sizeof same);
    EXPECT_EQ(CRLE8::CountDuplicatePoints(same, 10, 200), 126);
    EXPECT_EQ(CRLE8::CountDuplicatePoints(same, 190, 200), 10);

    // Encoded into a roomy block, the rows split as the plain encoder splits.
    CImage8 image(300, 9);
    std::vector<uint32_t> units;
    for (int32_t y = 0; y < 9; ++y) {
        units.insert(units.end(), row, row + 300);
    }
    testimg::Store8(image, units);
    CImNav8 view(&image);
    CRLE8 rle;
    ASSERT_EQ(rle.Resize(4000, 1), 1);
    ASSERT_EQ(rle.DoCompress(view), eNoError);
    const auto expected = ref::Encode(units, 300, 9, 126, 4, ref::UnitPair);
    auto block = Block(rle);
    block.resize(expected.size());
    EXPECT_EQ(block, expected);
    EXPECT_EQ(ReadAll(rle, 0, 0, units.size()), units);
}

TEST(RLE8, ChannelFormsTakeTheUpperByteOfAChannel) {
    const CPixel row[] = {0xAB12CD34u, 0xAB99CD00u, 0xAC12CD34u};
    EXPECT_EQ(CRLE8::CountDuplicatePoints16(row, 0, 3, 1), 2) << "AB AB AC";
    EXPECT_EQ(CRLE8::CountDuplicatePoints16(row, 0, 3, 0), 3) << "CD CD CD";
    EXPECT_EQ(CRLE8::CountUniquePoints16(row, 1, 3, 1), 2);

    for (auto [channel, expected] : {std::pair{1, 0xABu}, std::pair{0, 0xCDu}}) {
        CImage small(3, 2); // too small to encode: stored raw
        CImNav(&small).Fill(0xAB12CD34u);
        CRLE8 rle;
        ASSERT_EQ(rle.CreateFromImage16(&small, channel), eNoError);
        EXPECT_EQ(rle.IsCompressed(), 0);
        EXPECT_EQ(Block(rle), std::vector<uint32_t>(6, expected));

        CImage big(40, 40);
        CImNav(&big).Fill(0xAB12CD34u);
        EXPECT_EQ(CRLE8::TestCompression16(&big, channel), 4 * 40 + 40 * 2 + 1);
        ASSERT_EQ(rle.CreateFromImage16(&big, channel), eNoError);
        EXPECT_EQ(rle.IsCompressed(), 1);
        EXPECT_EQ(ReadAll(rle, 0, 0, 1600), std::vector<uint32_t>(1600, expected));
    }
}

// Both 8-bit encoders against the plain encoder of the run rules on seeded
// random pictures of odd sizes.
class RLE8MatchesReference : public ::testing::TestWithParam<testimg::Size> {
protected:
    // Checks the coder's form and reads against the reference for units.
    static void Check(CRLE8& rle, const std::vector<uint32_t>& units, testimg::Size s,
                      std::mt19937& rng) {
        const auto expected = ref::Encode(units, s.width, s.height, 126, 4, ref::UnitPair);
        const bool pays = s.width > 8 && s.height > 8 &&
                          long(expected.size()) < std::lround(0.8f * float(units.size()));
        ASSERT_EQ(rle.IsCompressed(), pays ? 1 : 0);
        EXPECT_EQ(Block(rle), pays ? expected : units);
        EXPECT_EQ(ReadAll(rle, 0, 0, units.size()), units);
        rletest::ExpectReadsFromRandomStarts(rle, units, s, rng);
    }
};

TEST_P(RLE8MatchesReference, Bytes) {
    const testimg::Size s = GetParam();
    std::mt19937 rng(uint32_t(s.width * 257 + s.height));
    auto units = testimg::RunnyPixels(rng, s.width, s.height);
    for (auto& u : units) {
        u = (u >> 16) & 0xC3u;
    }
    CImage8 image(s.width, s.height);
    testimg::Store8(image, units);
    CRLE8 rle;
    ASSERT_EQ(rle.CreateFromImage(&image), eNoError);
    Check(rle, units, s, rng);
}

TEST_P(RLE8MatchesReference, Channels) {
    const testimg::Size s = GetParam();
    std::mt19937 rng(uint32_t(s.width * 263 + s.height));
    const auto px = testimg::RunnyPixels(rng, s.width, s.height);
    CImage image(s.width, s.height);
    testimg::Store(image, px);
    for (int32_t channel : {0, 1}) {
        std::vector<uint32_t> units;
        for (uint32_t p : px) {
            units.push_back((p >> (channel ? 24 : 8)) & 0xFFu);
        }
        CRLE8 rle;
        ASSERT_EQ(rle.CreateFromImage16(&image, channel), eNoError);
        Check(rle, units, s, rng);
    }
}

INSTANTIATE_TEST_SUITE_P(OddSizes, RLE8MatchesReference, ::testing::ValuesIn(testimg::OddSizes()));

} // namespace
