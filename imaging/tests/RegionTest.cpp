#include <gtest/gtest.h>

#include <cstdlib>
#include <ostream>
#include <random>
#include <vector>

#include "imaging/CRegion.h"
#include "testsupport/foundation/FailingMemory.h"

namespace {

std::vector<gCRect> Rects(const CRegion& region) {
    return std::vector<gCRect>(region.GetRects().begin(), region.GetRects().end());
}

bool Contains(const gCRect& outer, const gCRect& inner) {
    return outer.left <= inner.left && inner.right <= outer.right && outer.top <= inner.top &&
           inner.bottom <= outer.bottom;
}

bool Meets(const gCRect& a, const gCRect& b) {
    return std::max(a.left, b.left) <= std::min(a.right, b.right) &&
           std::max(a.top, b.top) <= std::min(a.bottom, b.bottom);
}

// The region algorithm written as plainly as possible: every operation
// walks the whole list.
struct PlainRegion {
    gCRect bounds;
    std::vector<gCRect> rects;

    void Recalc() {
        if (rects.empty()) {
            bounds = gCRect();
            return;
        }
        bounds = rects[0];
        for (const gCRect& s : rects) {
            bounds.left = std::min(bounds.left, s.left);
            bounds.top = std::min(bounds.top, s.top);
            bounds.right = std::max(bounds.right, s.right);
            bounds.bottom = std::max(bounds.bottom, s.bottom);
        }
    }

    void Add(const gCRect& r) {
        if (r.IsEmpty()) {
            return;
        }
        if (bounds.IsEmpty()) {
            bounds = r;
            rects.push_back(r);
            return;
        }
        bounds.left = std::min(bounds.left, r.left);
        bounds.top = std::min(bounds.top, r.top);
        bounds.right = std::max(bounds.right, r.right);
        bounds.bottom = std::max(bounds.bottom, r.bottom);
        bool meets = false;
        for (size_t i = 0; i < rects.size();) {
            if (Contains(rects[i], r)) {
                return;
            }
            if (Contains(r, rects[i])) {
                rects.erase(rects.begin() + long(i));
                continue;
            }
            meets = meets || Meets(rects[i], r);
            ++i;
        }
        if (!meets) {
            rects.push_back(r);
            return;
        }
        std::vector<gCRect> pieces{r};
        for (const gCRect& s : rects) {
            size_t n = pieces.size();
            for (size_t j = 0; j < n; ++j) {
                if (Contains(s, pieces[j])) {
                    pieces.erase(pieces.begin() + long(j));
                    --j;
                    --n;
                    continue;
                }
                gCRect out[4];
                const int32_t k = gCRect::Difference(pieces[j], s, out);
                pieces[j] = out[0];
                pieces.insert(pieces.end(), out + 1, out + k);
            }
        }
        rects.insert(rects.end(), pieces.begin(), pieces.end());
    }

    void Remove(const gCRect& r) {
        if (r.IsEmpty() || bounds.IsEmpty()) {
            return;
        }
        bool meets = false;
        bool deleted = false;
        for (size_t i = 0; i < rects.size();) {
            if (Contains(r, rects[i])) {
                rects.erase(rects.begin() + long(i));
                deleted = true;
                continue;
            }
            meets = meets || Meets(rects[i], r);
            ++i;
        }
        if (meets) {
            const size_t n = rects.size();
            for (size_t i = 0; i < n; ++i) {
                gCRect out[4];
                const int32_t k = gCRect::Difference(rects[i], r, out);
                rects[i] = out[0];
                rects.insert(rects.end(), out + 1, out + k);
            }
            Recalc();
        } else if (deleted) {
            Recalc();
        }
    }
};

// Every stored rectangle is non-empty and no two overlap.
void ExpectDisjoint(const CRegion& region) {
    const std::vector<gCRect> rects = Rects(region);
    for (size_t i = 0; i < rects.size(); ++i) {
        EXPECT_FALSE(rects[i].IsEmpty());
        for (size_t j = i + 1; j < rects.size(); ++j) {
            gCRect out[4];
            EXPECT_EQ(gCRect::Difference(rects[i], rects[j], out), 1);
            EXPECT_EQ(out[0], rects[i]);
        }
    }
}

TEST(Region, OverlappingAddIsSplitIntoThreePieces) {
    CRegion region;
    ASSERT_EQ(region.AddRect({0, 0, 10, 10}), eNoError);
    ASSERT_EQ(region.AddRect({5, 5, 15, 15}), eNoError);
    EXPECT_EQ(Rects(region),
              (std::vector<gCRect>{{0, 0, 10, 10}, {5, 10, 15, 15}, {10, 5, 15, 10}}));
    EXPECT_EQ(region.GetBounds(), gCRect(0, 0, 15, 15));
}

TEST(Region, AddInsideStoredRectangleChangesNothing) {
    CRegion region;
    ASSERT_EQ(region.AddRect({0, 0, 10, 10}), eNoError);
    ASSERT_EQ(region.AddRect({2, 3, 8, 9}), eNoError);
    EXPECT_EQ(Rects(region), (std::vector<gCRect>{{0, 0, 10, 10}}));
    EXPECT_EQ(region.GetBounds(), gCRect(0, 0, 10, 10));
}

TEST(Region, CoveringAddReplacesWhatItCovers) {
    CRegion region;
    ASSERT_EQ(region.AddRect({0, 0, 5, 5}), eNoError);
    ASSERT_EQ(region.AddRect({10, 10, 12, 12}), eNoError);
    ASSERT_EQ(region.AddRect({30, 0, 40, 5}), eNoError); // outside the new one: stays first
    ASSERT_EQ(region.AddRect({-1, -1, 20, 20}), eNoError);
    EXPECT_EQ(Rects(region), (std::vector<gCRect>{{30, 0, 40, 5}, {-1, -1, 20, 20}}));
    EXPECT_EQ(region.GetBounds(), gCRect(-1, -1, 40, 20));
}

TEST(Region, RectanglesSharingAnEdgeAreStoredUnchanged) {
    CRegion region;
    ASSERT_EQ(region.AddRect({0, 0, 10, 10}), eNoError);
    ASSERT_EQ(region.AddRect({10, 0, 20, 10}), eNoError);
    ASSERT_EQ(region.AddRect({0, 10, 10, 20}), eNoError);
    EXPECT_EQ(Rects(region),
              (std::vector<gCRect>{{0, 0, 10, 10}, {10, 0, 20, 10}, {0, 10, 10, 20}}));
    EXPECT_EQ(region.GetBounds(), gCRect(0, 0, 20, 20));
}

TEST(Region, EmptyRectanglesAreIgnored) {
    CRegion region;
    EXPECT_EQ(region.AddRect({5, 5, 5, 10}), eNoError);
    EXPECT_TRUE(region.IsEmpty());
    ASSERT_EQ(region.AddRect({0, 0, 10, 10}), eNoError);
    EXPECT_EQ(region.RemoveRect({3, 3, 7, 3}), eNoError);
    EXPECT_EQ(Rects(region), (std::vector<gCRect>{{0, 0, 10, 10}}));
}

TEST(Region, RemovingEverythingEmptiesTheRegion) {
    CRegion region;
    ASSERT_EQ(region.AddRect({1, 1, 5, 5}), eNoError);
    ASSERT_EQ(region.AddRect({8, 2, 12, 19}), eNoError);
    ASSERT_EQ(region.RemoveRect({0, 0, 20, 20}), eNoError);
    EXPECT_EQ(region.GetCount(), 0);
    EXPECT_TRUE(region.IsEmpty());
    EXPECT_EQ(region.GetBounds(), gCRect(0, 0, 0, 0));
}

TEST(Region, RemovingTheMiddleLeavesFourPiecesAndTheBounds) {
    CRegion region;
    ASSERT_EQ(region.AddRect({0, 0, 10, 10}), eNoError);
    ASSERT_EQ(region.RemoveRect({2, 2, 8, 8}), eNoError);
    EXPECT_EQ(Rects(region),
              (std::vector<gCRect>{{0, 0, 10, 2}, {0, 8, 10, 10}, {0, 2, 2, 8}, {8, 2, 10, 8}}));
    EXPECT_EQ(region.GetBounds(), gCRect(0, 0, 10, 10));
}

TEST(Region, RemovingTheLeftHalfShrinksTheBounds) {
    CRegion region;
    ASSERT_EQ(region.AddRect({0, 0, 10, 10}), eNoError);
    ASSERT_EQ(region.RemoveRect({-5, -5, 5, 15}), eNoError);
    EXPECT_EQ(Rects(region), (std::vector<gCRect>{{5, 0, 10, 10}}));
    EXPECT_EQ(region.GetBounds(), gCRect(5, 0, 10, 10));
}

TEST(Region, ResetFreesEverything) {
    CRegion region;
    for (int32_t i = 0; i < 200; ++i) {
        ASSERT_EQ(region.AddRect({i * 3, i % 7, i * 3 + 5, i % 7 + 4}), eNoError);
    }
    ASSERT_EQ(region.RemoveRect({10, 0, 50, 3}), eNoError);
    region.Reset();
    EXPECT_EQ(region.GetCount(), 0);
    EXPECT_EQ(region.GetRects().GetCapacity(), 0);
    EXPECT_EQ(region.GetBounds(), gCRect(0, 0, 0, 0));
    ASSERT_EQ(region.AddRect({4, 4, 6, 6}), eNoError);
    EXPECT_EQ(Rects(region), (std::vector<gCRect>{{4, 4, 6, 6}}));
}

// Seeded random sequences of adds and removes: the region must produce the
// very list and bounds of the plain walk, small and past the index threshold.
struct RandomCase {
    const char* name;
    uint32_t seed;
    int32_t ops;
    int32_t area;    // coordinates fall in [-area / 8, area)
    int32_t maxSide; // sides are 1..maxSide
    int32_t removePercent;
    bool tiles; // mostly 16 x 16 grid tiles, now and then a large rectangle
};

void PrintTo(const RandomCase& c, std::ostream* os) {
    *os << c.name;
}

class RegionMatchesPlainWalk : public ::testing::TestWithParam<RandomCase> {};

TEST_P(RegionMatchesPlainWalk, SameRectanglesInTheSameOrder) {
    const RandomCase& c = GetParam();
    std::mt19937 rng(c.seed);
    auto pick = [&](int32_t lo, int32_t hi) {
        return std::uniform_int_distribution<int32_t>(lo, hi)(rng);
    };
    CRegion region;
    PlainRegion plain;
    int32_t largest = 0;
    for (int32_t op = 0; op < c.ops; ++op) {
        gCRect r;
        if (c.tiles && pick(0, 99) < 90) {
            const int32_t x = pick(0, c.area / 16) * 16;
            const int32_t y = pick(0, c.area / 16) * 16;
            r = gCRect(x, y, x + 16, y + 16);
        } else {
            const int32_t x = pick(-c.area / 8, c.area - 1);
            const int32_t y = pick(-c.area / 8, c.area - 1);
            // Sides spread over every size from 0 to maxSide on a log scale.
            const int32_t w = int32_t(std::min<int64_t>(c.maxSide, int64_t(1) << pick(0, 30)));
            const int32_t h = int32_t(std::min<int64_t>(c.maxSide, int64_t(1) << pick(0, 30)));
            r = gCRect(x, y, x + pick(0, w), y + pick(0, h));
        }
        const bool remove = pick(0, 99) < c.removePercent;
        if (remove) {
            ASSERT_EQ(region.RemoveRect(r), eNoError);
            plain.Remove(r);
        } else {
            ASSERT_EQ(region.AddRect(r), eNoError);
            plain.Add(r);
        }
        ASSERT_EQ(Rects(region), plain.rects) << "after operation " << op;
        ASSERT_EQ(region.GetBounds(), plain.bounds) << "after operation " << op;
        largest = std::max(largest, region.GetCount());
    }
    EXPECT_GT(largest, 100) << "the sequence never grew the region past the index threshold";
    ExpectDisjoint(region);
}

INSTANTIATE_TEST_SUITE_P(
    Sequences, RegionMatchesPlainWalk,
    ::testing::Values(RandomCase{"Dense", 1, 1500, 120, 40, 25, false},
                      RandomCase{"DenseMostlyAdds", 2, 1500, 200, 30, 8, false},
                      RandomCase{"Tiles", 3, 2500, 640, 300, 15, true},
                      RandomCase{"WideCoordinates", 4, 1500, 1000000000, 600000000, 20, false},
                      RandomCase{"Sparse", 5, 2000, 5000, 120, 20, false}),
    [](const ::testing::TestParamInfo<RandomCase>& info) { return info.param.name; });

// Running out of memory is reported and leaves a region that still works:
// disjoint rectangles, and later operations give the right area.
TEST(RegionMemory, FailureIsReportedAndTheRegionStaysUsable) {
    CRegion region;
    for (int32_t y = 0; y < 10; ++y) {
        for (int32_t x = 0; x < 10; ++x) {
            ASSERT_EQ(region.AddRect({x * 10, y * 10, x * 10 + 5, y * 10 + 5}), eNoError);
        }
    }
    {
        CFailingMemory noMemory;
        EXPECT_EQ(region.AddRect({3, 3, 47, 47}), eOutOfMemory);
        EXPECT_EQ(region.RemoveRect({52, 52, 98, 98}), eOutOfMemory);
    }

    ExpectDisjoint(region);
    ASSERT_EQ(region.AddRect({3, 3, 47, 47}), eNoError);
    ASSERT_EQ(region.RemoveRect({52, 52, 98, 98}), eNoError);
    ExpectDisjoint(region);
    int32_t covered = 0;
    for (const gCRect& s : region.GetRects()) {
        covered += s.Width() * s.Height();
    }
    int32_t expected = 0;
    for (int32_t y = 0; y < 100; ++y) {
        for (int32_t x = 0; x < 100; ++x) {
            const bool tile = x % 10 < 5 && y % 10 < 5;
            const bool added = x >= 3 && x < 47 && y >= 3 && y < 47;
            const bool removed = x >= 52 && x < 98 && y >= 52 && y < 98;
            expected += (tile || added) && !removed;
        }
    }
    EXPECT_EQ(covered, expected);
}

} // namespace
