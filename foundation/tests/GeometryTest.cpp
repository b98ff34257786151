#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "foundation/Geometry.h"

namespace {

struct DifferenceCase {
    const char* name;
    gCRect a, b;
    std::vector<gCRect> pieces;
};

void PrintTo(const DifferenceCase& c, std::ostream* os) {
    *os << c.name;
}

class RectDifference : public ::testing::TestWithParam<DifferenceCase> {};

TEST_P(RectDifference, PiecesAndTheirOrder) {
    const DifferenceCase& c = GetParam();
    gCRect out[4];
    const int32_t n = gCRect::Difference(c.a, c.b, out);
    ASSERT_EQ(n, int32_t(c.pieces.size()));
    for (int32_t i = 0; i < n; ++i) {
        EXPECT_EQ(out[i], c.pieces[size_t(i)]) << "piece " << i;
    }
}

// The overlap and the union of two rectangles, either way round: the
// overlap is empty when they do not meet, and the union spans them whatever
// they hold.
TEST(RectOverlapAndUnion, EitherWayRound) {
    struct Case {
        const char* what;
        gCRect a, b, overlap, both;
        bool meet;
    };
    const Case cases[] = {
        {"nested", {0, 0, 10, 10}, {2, 3, 8, 9}, {2, 3, 8, 9}, {0, 0, 10, 10}, true},
        {"crossing", {0, 0, 10, 10}, {5, -5, 15, 5}, {5, 0, 10, 5}, {0, -5, 15, 10}, true},
        {"apart", {0, 0, 4, 4}, {6, 6, 9, 9}, {6, 6, 4, 4}, {0, 0, 9, 9}, false},
        {"touching", {0, 0, 4, 4}, {4, 0, 8, 4}, {4, 0, 4, 4}, {0, 0, 8, 4}, false},
        {"an empty one", {0, 0, 0, 0}, {5, 5, 7, 7}, {5, 5, 0, 0}, {0, 0, 7, 7}, false},
        {"far ends",
         {INT32_MIN, INT32_MIN, 0, 0},
         {-1, -1, INT32_MAX, INT32_MAX},
         {-1, -1, 0, 0},
         {INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX},
         true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.a.Intersected(c.b), c.overlap) << c.what;
        EXPECT_EQ(c.b.Intersected(c.a), c.overlap) << c.what;
        EXPECT_EQ(c.a.United(c.b), c.both) << c.what;
        EXPECT_EQ(c.b.United(c.a), c.both) << c.what;
        EXPECT_EQ(c.overlap.IsEmpty(), !c.meet) << c.what;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RectDifference,
    ::testing::Values(
        DifferenceCase{"disjoint", {0, 0, 10, 10}, {20, 20, 30, 30}, {{0, 0, 10, 10}}},
        DifferenceCase{"touching_edge", {0, 0, 10, 10}, {10, 0, 20, 10}, {{0, 0, 10, 10}}},
        DifferenceCase{"covered", {2, 2, 8, 8}, {0, 0, 10, 10}, {}},
        DifferenceCase{"equal", {0, 0, 10, 10}, {0, 0, 10, 10}, {}},
        DifferenceCase{"hole_in_the_middle",
                       {0, 0, 10, 10},
                       {2, 2, 8, 8},
                       {{0, 0, 10, 2}, {0, 8, 10, 10}, {0, 2, 2, 8}, {8, 2, 10, 8}}},
        DifferenceCase{"right_half_cut", {0, 0, 10, 10}, {5, -5, 15, 15}, {{0, 0, 5, 10}}},
        DifferenceCase{
            "corner_cut", {0, 0, 10, 10}, {5, 5, 15, 15}, {{0, 0, 10, 5}, {0, 5, 5, 10}}},
        DifferenceCase{"bottom_band_only", {0, 0, 10, 10}, {-1, -1, 11, 6}, {{0, 6, 10, 10}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RectDistance, ToTheBorder) {
    const gCRect r(0, 0, 10, 10);
    EXPECT_FLOAT_EQ(r.DistanceToPoint({5, 3}), 3.0f);
    EXPECT_FLOAT_EQ(r.DistanceToPoint({13, 14}), 5.0f);
    EXPECT_FLOAT_EQ(r.DistanceToPoint({-2, 5}), 2.0f);
    EXPECT_FLOAT_EQ(r.DistanceToPoint({-3, -4}), 5.0f);
}

TEST(Circle, ThroughThreePoints) {
    gCRPoint centre(7.0f, 7.0f);
    float radius = -1.0f;
    EXPECT_EQ(CircleFromThreePoints({0, 0}, {2, 0}, {0, 2}, centre, radius), 0);
    EXPECT_FLOAT_EQ(centre.x, 1.0f);
    EXPECT_FLOAT_EQ(centre.y, 1.0f);
    EXPECT_NEAR(radius, 1.41421356f, 1e-6f);

    gCRPoint unchanged(7.0f, 7.0f);
    EXPECT_EQ(CircleFromThreePoints({0, 0}, {1, 1}, {2, 2}, unchanged, radius), 0);
    EXPECT_EQ(radius, 0.0f);
    EXPECT_EQ(unchanged, gCRPoint(7.0f, 7.0f));
}

} // namespace
