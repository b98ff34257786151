#include <gtest/gtest.h>

#include <vector>

#include "tools/PieceScanner.h"

namespace {

using Scanner = CPieceScanner;

struct Quad {
    gCRPoint p1, p2, p3, p4;
};

// One row as worked by hand: span, ends' edges, x and (u, v) at the ends,
// the span parameter's step and start, and the ramps (-1 for none).
struct RowCase {
    int32_t y, first, last;
    Scanner::EEdge leftEdge, rightEdge;
    float xL, xR, uL, vL, uR, vR, step, sigma0;
    float leftRamp0, leftRampStep;
    int32_t leftRampEnd;
    float rightRamp0, rightRampStep;
    int32_t rightRampAfter;
};

constexpr Scanner::EEdge B = Scanner::eBack, F = Scanner::eFront, R = Scanner::eRightSide,
                         L = Scanner::eLeftSide;
constexpr float kNone = -1.0f;

void ExpectRow(const Scanner& scanner, const RowCase& c) {
    SCOPED_TRACE(testing::Message() << "row " << c.y);
    Scanner::SRow row;
    ASSERT_TRUE(scanner.ScanRow(c.y, row));
    EXPECT_EQ(row.first, c.first);
    EXPECT_EQ(row.last, c.last);
    EXPECT_EQ(row.leftEdge, c.leftEdge);
    EXPECT_EQ(row.rightEdge, c.rightEdge);
    EXPECT_FLOAT_EQ(row.xL, c.xL);
    EXPECT_FLOAT_EQ(row.xR, c.xR);
    EXPECT_FLOAT_EQ(row.uL, c.uL);
    EXPECT_FLOAT_EQ(row.vL, c.vL);
    EXPECT_FLOAT_EQ(row.uR, c.uR);
    EXPECT_FLOAT_EQ(row.vR, c.vR);
    EXPECT_FLOAT_EQ(row.step, c.step);
    EXPECT_NEAR(row.sigma0, c.sigma0, 1e-6);
    EXPECT_EQ(row.leftRamp, c.leftRamp0 != kNone);
    if (row.leftRamp) {
        EXPECT_NEAR(row.leftRamp0, c.leftRamp0, 1e-6);
        EXPECT_FLOAT_EQ(row.leftRampStep, c.leftRampStep);
        EXPECT_EQ(row.leftRampEnd, c.leftRampEnd);
    }
    EXPECT_EQ(row.rightRamp, c.rightRamp0 != kNone);
    if (row.rightRamp) {
        EXPECT_NEAR(row.rightRamp0, c.rightRamp0, 1e-5);
        EXPECT_FLOAT_EQ(row.rightRampStep, c.rightRampStep);
        EXPECT_EQ(row.rightRampAfter, c.rightRampAfter);
    }
}

TEST(PieceScanner, SquareMovingDown) {
    // Back edge y = 2 from x 2 to 6, front edge y = 6; sides vertical.
    // Rows rnd(2.5) = 3 to rnd(6.5) = 7. Every row ends on the two sides:
    // each covers a single x (c0 = c1), so the span runs from rnd(2 - 0.5)
    // = 2 to rnd(6 + 0.5) = 7; ramps of width 1: pixel 2 at 0 (left of
    // rnd(2.5) = 3), and the fade-out from 1 at rnd(5.5) = 6 to 0 at 7.
    const Scanner s({2, 2}, {6, 2}, {2, 6}, {6, 6}, 20, 20);
    EXPECT_EQ(s.Top(), 3);
    EXPECT_EQ(s.Bottom(), 7);
    const RowCase rows[] = {
        {3, 2, 7, L, R, 2, 6, 0, 0.25f, 1, 0.25f, 0.25f, 0, 0, 1, 3, 5, 1, 6},
        {6, 2, 7, L, R, 2, 6, 0, 1, 1, 1, 0.25f, 0, 0, 1, 3, 5, 1, 6},
    };
    for (const RowCase& c : rows) {
        ExpectRow(s, c);
    }
    // The pixels of row 3: sigma from 0 by 0.25, u with it, v fixed.
    Scanner::SRow row;
    ASSERT_TRUE(s.ScanRow(3, row));
    struct Px {
        int32_t x;
        float sigma, u, uMid;
        bool ramped;
        float ramp;
    };
    const Px expected[] = {
        {2, 0.0f, 0.0f, 0.125f, true, 0.0f},  {3, 0.25f, 0.25f, 0.375f, false, 1.0f},
        {4, 0.5f, 0.5f, 0.625f, false, 1.0f}, {5, 0.75f, 0.75f, 0.875f, false, 1.0f},
        {6, 1.0f, 1.0f, 1.125f, false, 1.0f}, {7, 1.25f, 1.25f, 1.375f, true, 0.0f},
    };
    std::vector<Scanner::SPixel> seen;
    Scanner::ForEachPixel(row, [&](const Scanner::SPixel& p) { seen.push_back(p); });
    ASSERT_EQ(seen.size(), std::size(expected));
    for (size_t i = 0; i < seen.size(); ++i) {
        SCOPED_TRACE(expected[i].x);
        EXPECT_EQ(seen[i].x, expected[i].x);
        EXPECT_FLOAT_EQ(seen[i].sigma, expected[i].sigma);
        EXPECT_FLOAT_EQ(seen[i].sigmaMid, expected[i].sigma + 0.125f);
        EXPECT_FLOAT_EQ(seen[i].u, expected[i].u);
        EXPECT_FLOAT_EQ(seen[i].uMid, expected[i].uMid);
        EXPECT_FLOAT_EQ(seen[i].v, 0.25f);
        EXPECT_FLOAT_EQ(seen[i].vMid, 0.25f);
        EXPECT_EQ(seen[i].ramped, expected[i].ramped);
        EXPECT_FLOAT_EQ(seen[i].ramp, expected[i].ramp);
    }
}

TEST(PieceScanner, SlantedSidesRampOverTheirCoverage) {
    // Sides of slope 1/2: left (0,0)-(2,4), right (4,0)-(6,4). Row 2 meets
    // them at x 1 and 5 (t = 0.5); over y 1.5..2.5 the left covers
    // 0.75..1.25 and the right 4.75..5.25. Span: rnd(0.25) = 0 to
    // rnd(5.75) = 6, xL 0.75, xR 5.25, step 1/4.5, sigma0 = -0.75/4.5.
    // Ramps of width 1.5 (step 2/3): in from -0.5 at pixel 0 below
    // rnd(1.75) = 2; out from 1 + 0.75/1.5 = 1.5 at pixel rnd(4.25) = 4,
    // so 1.5 + 4 * 2/3 carried back to pixel 0.
    const Scanner s({0, 0}, {4, 0}, {2, 4}, {6, 4}, 20, 20);
    EXPECT_EQ(s.Top(), 1);
    EXPECT_EQ(s.Bottom(), 5);
    ExpectRow(s, {2, 0, 6, L, R, 0.75f, 5.25f, 0, 0.5f, 1, 0.5f, 1.0f / 4.5f, -0.75f / 4.5f, -0.5f,
                  2.0f / 3.0f, 2, 1.5f + 8.0f / 3.0f, 2.0f / 3.0f, 4});
    Scanner::SRow row;
    ASSERT_TRUE(s.ScanRow(2, row));
    std::vector<float> ramps;
    std::vector<bool> ramped;
    Scanner::ForEachPixel(row, [&](const Scanner::SPixel& p) {
        ramps.push_back(p.ramp);
        ramped.push_back(p.ramped);
    });
    // Pixel 0: -0.5 held at 0; 1: 1/6; 2..4 none; 5: 1.5 - 2/3; 6: 1.5 - 4/3.
    const float expected[] = {0.0f, 1.0f / 6.0f, 1, 1, 1, 5.0f / 6.0f, 1.0f / 6.0f};
    const bool expectedRamped[] = {true, true, false, false, false, true, true};
    ASSERT_EQ(ramps.size(), 7u);
    for (size_t i = 0; i < 7; ++i) {
        EXPECT_NEAR(ramps[i], expected[i], 1e-5) << i;
        EXPECT_EQ(ramped[i], expectedRamped[i]) << i;
    }
}

TEST(PieceScanner, SidewaysPieceEndsOnBackAndFront) {
    // Moving right: back edge x = 0 from y 4 up to 0, front edge x = 4;
    // the sides are flat and never cross a row. Row 1 meets the back at
    // t = 0.75 (u 0.75, v 0) and the front likewise (v 1); the span runs
    // from rnd(0.5) = 1 to rnd(3.5) = 4 with no ramps, sigma0 = 1/4.
    const Scanner s({0, 4}, {0, 0}, {4, 4}, {4, 0}, 20, 20);
    EXPECT_EQ(s.Top(), 1);
    EXPECT_EQ(s.Bottom(), 5);
    ExpectRow(s, {1, 1, 4, B, F, 0, 4, 0.75f, 0, 0.75f, 1, 0.25f, 0.25f, kNone, 0, 0, kNone, 0, 0});
    ExpectRow(s, {4, 1, 4, B, F, 0, 4, 0, 0, 0, 1, 0.25f, 0.25f, kNone, 0, 0, kNone, 0, 0});
}

TEST(PieceScanner, BowTie) {
    // After a sharp turn the sides cross: left (0,0)-(4,4), right (4,0)-(0,4),
    // meeting at (2,2). Row 2 meets both at x 2: left and right end are the
    // same edge (the later wins both ties), so it is skipped. Below the
    // crossing the right side is the row's left end: u runs from 1 to 0.
    const Scanner s({0, 0}, {4, 0}, {4, 4}, {0, 4}, 10, 10);
    EXPECT_EQ(s.Top(), 1);
    EXPECT_EQ(s.Bottom(), 5);
    // Row 1: left side covers 0.5..1.5 (first rnd(0) = 0), right side
    // 2.5..3.5 (last rnd(4) = 4); step 1/3; ramps of width 2: in from
    // -0.5/2 below rnd(2) = 2, out from 1 + 0.5/2 at pixel rnd(2) = 2.
    ExpectRow(s, {1, 0, 4, L, R, 0.5f, 3.5f, 0, 0.25f, 1, 0.25f, 1.0f / 3.0f, -0.5f / 3.0f, -0.25f,
                  0.5f, 2, 2.25f, 0.5f, 2});
    Scanner::SRow row;
    EXPECT_FALSE(s.ScanRow(2, row));
    ExpectRow(s, {3, 0, 4, R, L, 0.5f, 3.5f, 1, 0.75f, 0, 0.75f, 1.0f / 3.0f, -0.5f / 3.0f, -0.25f,
                  0.5f, 2, 2.25f, 0.5f, 2});
    // Row 4: the right side ends at x 0 and covers 0..0.5 (first rnd(-0.5)
    // = -1, clamped to 0); the left side covers 3.5..4 (last rnd(4.5) = 5).
    ExpectRow(s, {4, 0, 5, R, L, 0, 4, 1, 1, 0, 1, 0.25f, 0, 0, 1.0f / 1.5f, 1,
                  1.0f + 0.5f / 1.5f + 3.0f / 1.5f, 1.0f / 1.5f, 3});
}

TEST(PieceScanner, ClampedToTheCanvas) {
    // The square of the first case moved 5 left: the span rnd(-3.5) = -4
    // to rnd(1.5) = 2 starts at pixel 0 with sigma (0 + 3) / 4; the fade-in
    // ends before the canvas (below rnd(-2.5) = -3), the fade-out runs
    // from 1 at pixel rnd(0.5) = 1, so 2 at pixel 0.
    const Scanner s({-3, 2}, {1, 2}, {-3, 6}, {1, 6}, 10, 5);
    EXPECT_EQ(s.Top(), 3);
    EXPECT_EQ(s.Bottom(), 5); // rnd(6.5) = 7, clamped to the height
    ExpectRow(s, {3, 0, 2, L, R, -3, 1, 0, 0.25f, 1, 0.25f, 0.25f, 0.75f, 3, 1, -3, 2, 1, 1});

    // Off the right edge: every row is skipped.
    const Scanner right({12, 2}, {16, 2}, {12, 6}, {16, 6}, 10, 10);
    Scanner::SRow row;
    for (int32_t y = right.Top(); y < right.Bottom(); ++y) {
        EXPECT_FALSE(right.ScanRow(y, row)) << y;
    }
    // Ending at x = -1, just left of the canvas: last rnd(-0.5) = -1.
    const Scanner touching({-6, 2}, {-1, 2}, {-6, 6}, {-1, 6}, 10, 10);
    EXPECT_FALSE(touching.ScanRow(3, row)); // last rnd(-0.5) = -1
}

TEST(PieceScanner, RowsOffTheCanvasOrEmpty) {
    struct Case {
        Quad q;
        int32_t top, bottom; // -1, -1: no rows
    };
    const Case cases[] = {
        {{{0, 10}, {4, 10}, {0, 14}, {4, 14}}, -1, -1},   // top rnd(10.5) = 11 >= 10
        {{{0, -5}, {4, -5}, {0, -1}, {4, -1}}, -1, -1},   // bottom rnd(-0.5) = -1 < 1
        {{{0, -5}, {4, -5}, {0, 0.4f}, {4, 0.4f}}, 0, 1}, // bottom rnd(0.9) = 1
        {{{3, 3}, {3, 3}, {3, 3}, {3, 3}}, -1, -1},       // a point: top = bottom
        {{{0, 8}, {4, 8}, {0, 12}, {4, 12}}, 9, 10},      // rnd(8.5) = 9, 13 clamped
    };
    for (const Case& c : cases) {
        const Scanner s(c.q.p1, c.q.p2, c.q.p3, c.q.p4, 10, 10);
        if (c.top < 0) {
            EXPECT_EQ(s.Top(), s.Bottom()) << c.q.p1.y;
        } else {
            EXPECT_EQ(s.Top(), c.top) << c.q.p1.y;
            EXPECT_EQ(s.Bottom(), c.bottom) << c.q.p1.y;
        }
    }
}

TEST(PieceScanner, DegeneratePieces) {
    Scanner::SRow row;
    // No width: both sides lie on x = 2; in every row they tie, the later
    // (left) side is both ends, and the row is skipped.
    const Scanner line({2, 0}, {2, 0}, {2, 4}, {2, 4}, 10, 10);
    for (int32_t y = line.Top(); y < line.Bottom(); ++y) {
        EXPECT_FALSE(line.ScanRow(y, row)) << y;
    }
    // A triangle (the back edge collapsed to (2,0)): row 2 meets the right
    // side (2,0)-(4,4) at 3 and the left side (2,0)-(0,4) at 1, each
    // covering half a pixel either way: 0.75..1.25 and 2.75..3.25.
    const Scanner tri({2, 0}, {2, 0}, {0, 4}, {4, 4}, 10, 10);
    ExpectRow(tri, {2, 0, 4, L, R, 0.75f, 3.25f, 0, 0.5f, 1, 0.5f, 1.0f / 2.5f, -0.75f / 2.5f,
                    -0.5f, 2.0f / 3.0f, 2, 1.5f + 2.0f / 1.5f, 2.0f / 3.0f, 2});
    // Row 4 of the triangle lies on the flat front edge: the sides end
    // there (t = 1) at x 0 and 4; the front edge itself has no height.
    ASSERT_TRUE(tri.ScanRow(4, row));
    EXPECT_EQ(row.leftEdge, L);
    EXPECT_EQ(row.rightEdge, R);
}

} // namespace
