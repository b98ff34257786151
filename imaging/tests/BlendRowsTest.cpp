// The widget blends' row loops: the plain form against the per-channel
// reference, and every instruction-set path against the plain form, on
// seeded random rows of odd lengths.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "imaging/BlendRows.h"
#include "imaging/tests/Reference.h"

namespace {

const CPixelPaths::EPath kPaths[] = {CPixelPaths::eSse2, CPixelPaths::eAvx2};
const int32_t kLengths[] = {1, 3, 4, 5, 7, 8, 9, 15, 17, 31, 63, 257, 1021};

// Pixels in runs of one kind of alpha (0, 255 or anything), as pictures
// have them, so that whole vectors of each kind occur; colours anything.
std::vector<uint32_t> RandomRow(std::mt19937& rng, int32_t n) {
    std::vector<uint32_t> row(static_cast<size_t>(n));
    uint32_t kind = 0;
    for (size_t i = 0; i < row.size(); ++i) {
        if (rng() % 9 == 0) {
            kind = rng() % 3;
        }
        const uint32_t alpha = kind == 0 ? 0u : kind == 1 ? 255u : rng() & 0xFFu;
        row[i] = (alpha << 24) | (rng() & 0x00FFFFFFu);
    }
    return row;
}

struct SRowCase {
    std::vector<uint32_t> dst, src;
    uint32_t opacity, colour, level;
};

SRowCase RandomCase(std::mt19937& rng, int32_t n) {
    SRowCase c{RandomRow(rng, n), RandomRow(rng, n), 0, uint32_t(rng()), 0};
    const uint32_t kind = rng() % 3;
    c.opacity = kind == 0 ? 255u : kind == 1 ? 0u : rng() & 0xFFu;
    c.level = rng() % 2 ? 255u * (rng() % 2) : rng() & 0xFFu;
    return c;
}

TEST(BlendRows, PlainRowsEqualThePerChannelBlends) {
    std::mt19937 rng(2024);
    const blendrows::SRows& plain = blendrows::RowsFor(CPixelPaths::ePlain);
    for (int32_t n : kLengths) {
        const SRowCase c = RandomCase(rng, n);
        std::vector<uint32_t> over = c.dst, alphaOver = c.dst, toward = c.dst;
        plain.over(over.data(), c.src.data(), c.opacity, n);
        plain.alphaOver(alphaOver.data(), c.src.data(), c.opacity, n);
        plain.toward(toward.data(), c.colour, c.level, n);
        for (int32_t i = 0; i < n; ++i) {
            const int32_t level = int32_t(((c.src[size_t(i)] >> 24) * (c.opacity + 1)) >> 8);
            ASSERT_EQ(over[size_t(i)], ref::Blend255(c.dst[size_t(i)], level, c.src[size_t(i)]));
            ASSERT_EQ(alphaOver[size_t(i)],
                      ref::AlphaBlend255(c.dst[size_t(i)], level, c.src[size_t(i)]));
            ASSERT_EQ(toward[size_t(i)],
                      ref::Blend255(c.dst[size_t(i)], int32_t(c.level), c.colour));
        }
    }
}

TEST(BlendRows, EveryPathEqualsThePlainRows) {
    const blendrows::SRows& plain = blendrows::RowsFor(CPixelPaths::ePlain);
    for (CPixelPaths::EPath path : kPaths) {
        if (!CPixelPaths::IsPresent(path)) {
            continue; // a build without vector paths, or no AVX2 here
        }
        const blendrows::SRows& rows = blendrows::RowsFor(path);
        std::mt19937 rng(99);
        for (int32_t round = 0; round < 20; ++round) {
            for (int32_t n : kLengths) {
                SCOPED_TRACE(std::string(CPixelPaths::Name(path)) + " " + std::to_string(n));
                SRowCase c = RandomCase(rng, n);
                if (round % 2) {
                    // An opaque target, as the back buffer is.
                    for (uint32_t& p : c.dst) {
                        p |= 0xFF000000u;
                    }
                }
                std::vector<uint32_t> want = c.dst, got = c.dst;
                plain.over(want.data(), c.src.data(), c.opacity, n);
                rows.over(got.data(), c.src.data(), c.opacity, n);
                ASSERT_EQ(got, want) << "over";
                want = got = c.dst;
                plain.alphaOver(want.data(), c.src.data(), c.opacity, n);
                rows.alphaOver(got.data(), c.src.data(), c.opacity, n);
                ASSERT_EQ(got, want) << "alpha over";
                want = got = c.dst;
                plain.toward(want.data(), c.colour, c.level, n);
                rows.toward(got.data(), c.colour, c.level, n);
                ASSERT_EQ(got, want) << "toward";
            }
        }
    }
}

TEST(BlendRows, TheActivePathFollowsTheForcedOne) {
    CForcePixelPath force(CPixelPaths::ePlain);
    EXPECT_EQ(&blendrows::Rows(), &blendrows::RowsFor(CPixelPaths::ePlain));
}

} // namespace
