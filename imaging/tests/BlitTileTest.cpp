#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "imaging/Stretcher.h"
#include "imaging/tests/StretchReference.h"
#include "testsupport/foundation/FailingMemory.h"

namespace {

using sref::Picture;

Picture Numbered(int32_t w, int32_t h) {
    Picture p(w, h);
    for (int32_t y = 0; y < h; ++y) {
        for (int32_t x = 0; x < w; ++x) {
            p.at(x, y) = 0xFF000000u | uint32_t(y << 8) | uint32_t(x);
        }
    }
    return p;
}

// Copies src's rectangle to dst's the way a snapshot would: what every
// overlapping copy must give.
Picture CopiedFromSnapshot(const Picture& p, gCRect to, gCRect from) {
    Picture out = p;
    for (int32_t y = 0; y < to.Height(); ++y) {
        for (int32_t x = 0; x < to.Width(); ++x) {
            out.at(to.left + x, to.top + y) = p.at(from.left + x, from.top + y);
        }
    }
    return out;
}

struct OverlapCase {
    const char* name;
    gCRect to, from;
};

void PrintTo(const OverlapCase& c, std::ostream* os) {
    *os << c.name;
}

class BlitOverlap : public ::testing::TestWithParam<OverlapCase> {};

TEST_P(BlitOverlap, CopiesAsFromASnapshot) {
    const OverlapCase& c = GetParam();
    const Picture start = Numbered(9, 10);
    CImage image(9, 10);
    sref::Put(image, start);
    {
        CImNav dst(&image, &c.to), src(&image, &c.from);
        ASSERT_EQ(CStretcher::Blit(&dst, &src), eNoError);
    }
    EXPECT_EQ(sref::Take(image).px, CopiedFromSnapshot(start, c.to, c.from).px);
}

INSTANTIATE_TEST_SUITE_P(Shifts, BlitOverlap,
                         ::testing::Values(OverlapCase{"OneRowLower", {0, 1, 9, 10}, {0, 0, 9, 9}},
                                           OverlapCase{"OneRowHigher", {0, 0, 9, 9}, {0, 1, 9, 10}},
                                           OverlapCase{"ShiftRight", {2, 3, 9, 8}, {0, 3, 7, 8}},
                                           OverlapCase{"ShiftLeft", {0, 3, 7, 8}, {2, 3, 9, 8}},
                                           OverlapCase{"DownAndRight", {1, 2, 8, 10}, {0, 0, 7, 8}},
                                           OverlapCase{"UpAndLeft", {0, 0, 7, 8}, {2, 1, 9, 9}}),
                         [](const auto& info) { return std::string(info.param.name); });

// FastBlit copies top-down whatever the overlap: one row lower repeats the
// first row all the way down.
TEST(FastBlit, CopiesTopDownWithoutOverlapCare) {
    CImage image(4, 5);
    sref::Put(image, Numbered(4, 5));
    const gCRect to(0, 1, 4, 5), from(0, 0, 4, 4);
    {
        CImNav dst(&image, &to), src(&image, &from);
        ASSERT_EQ(CStretcher::FastBlit(&dst, &src), eNoError);
    }
    const Picture out = sref::Take(image);
    for (int32_t y = 0; y < 5; ++y) {
        for (int32_t x = 0; x < 4; ++x) {
            EXPECT_EQ(out.at(x, y), 0xFF000000u | uint32_t(x));
        }
    }
}

// Views of different sizes copy only the area both have; views of
// different pixel sizes copy nothing.
TEST(Blit, OnlyTheCommonArea) {
    std::mt19937 rng(2);
    const Picture small = sref::Random(rng, 4, 3), big = sref::Random(rng, 10, 10);
    CImage s(4, 3), b(10, 10);
    sref::Put(s, small);
    sref::Put(b, big);
    {
        CImNav sv(&s), bv(&b);
        ASSERT_EQ(CStretcher::Blit(&bv, &sv), eNoError); // small into big
    }
    Picture expected = big;
    for (int32_t y = 0; y < 3; ++y) {
        for (int32_t x = 0; x < 4; ++x) {
            expected.at(x, y) = small.at(x, y);
        }
    }
    EXPECT_EQ(sref::Take(b).px, expected.px);
    {
        CImNav sv(&s), bv(&b);
        ASSERT_EQ(CStretcher::FastBlit(&sv, &bv), eNoError); // big into small
    }
    EXPECT_EQ(sref::Take(s).px,
              std::vector<uint32_t>({expected.px[0], expected.px[1], expected.px[2], expected.px[3],
                                     expected.px[10], expected.px[11], expected.px[12],
                                     expected.px[13], expected.px[20], expected.px[21],
                                     expected.px[22], expected.px[23]}));
    CImage8 grey(10, 10);
    CImNav8 gv(&grey);
    CImNav bv(&b);
    ASSERT_EQ(CStretcher::Blit(static_cast<CImNavBase*>(&gv), static_cast<CImNavBase*>(&bv)),
              eNoError);
    EXPECT_EQ(testimg::Load8(grey), std::vector<uint32_t>(100, 0));
}

TEST(Blit, GreyConversions) {
    CImage pixels(3, 2);
    CImage8 bytes(2, 3);
    testimg::Store(pixels, {0x00102030u, 0xFFFFFFFFu, 0x80030201u, 1, 2, 3});
    testimg::Store8(bytes, {0, 255, 7, 8, 9, 10});
    {
        CImNav8 b(&bytes);
        CImNav p(&pixels);
        ASSERT_EQ(CStretcher::Blit(&b, &p), eNoError); // 2 x 2 common
    }
    EXPECT_EQ(testimg::Load8(bytes), (std::vector<uint32_t>{0x20, 255, 0, 0, 9, 10}));
    {
        CImNav8 b(&bytes);
        CImNav p(&pixels);
        ASSERT_EQ(CStretcher::Blit(&p, &b), eNoError);
    }
    EXPECT_EQ(testimg::Load(pixels), (std::vector<uint32_t>{0xFF202020u, 0xFFFFFFFFu, 0x80030201u,
                                                            0xFF000000u, 0xFF000000u, 3}));
}

// The 8-bit and mixed scalers against the plain 24.8 walk, including
// sources one pixel wide or high.
struct GreyCase {
    int32_t sw, sh, dw, dh;
};

void PrintTo(const GreyCase& c, std::ostream* os) {
    *os << c.sw << "x" << c.sh << "_to_" << c.dw << "x" << c.dh;
}

class GreyScaling : public ::testing::TestWithParam<GreyCase> {};

TEST_P(GreyScaling, EqualThePlainWalk) {
    const GreyCase& c = GetParam();
    std::mt19937 rng(uint32_t(c.sw * 7 + c.sh * 3 + c.dw * 11 + c.dh));
    const Picture bytes = sref::RandomBytes(rng, c.sw, c.sh);
    const Picture pixels = sref::Random(rng, c.sw, c.sh);
    CImage8 s8(c.sw, c.sh), d8(c.dw, c.dh), d8b(c.dw, c.dh);
    CImage s32(c.sw, c.sh), d32(c.dw, c.dh);
    sref::Put8(s8, bytes);
    sref::Put(s32, pixels);
    {
        CImNav8 sv8(&s8), dv8(&d8), dv8b(&d8b);
        CImNav sv32(&s32), dv32(&d32);
        ASSERT_EQ(CStretcher::StretchBlit(&dv8, &sv8), eNoError);
        ASSERT_EQ(CStretcher::StretchBlit(&dv32, &sv8), eNoError);
        ASSERT_EQ(CStretcher::StretchBlit(&dv8b, &sv32), eNoError);
    }
    Picture bytesOut(c.dw, c.dh), greyPixels(c.dw, c.dh), greyBytes(c.dw, c.dh);
    sref::Walk24_8(bytes, c.dw, c.dh,
                   [&](int32_t x, int32_t y, uint32_t a, uint32_t b, uint32_t cc, uint32_t d,
                       uint32_t fx, uint32_t fy) {
                       const int64_t top = sref::Lerp8(a, b, fx), bottom = sref::Lerp8(cc, d, fx);
                       const uint32_t v = uint32_t(sref::Lerp8(top, bottom, fy));
                       bytesOut.at(x, y) = v;
                       greyPixels.at(x, y) = 0xFF000000u | v * 0x010101u;
                   });
    sref::Walk24_8(pixels, c.dw, c.dh,
                   [&](int32_t x, int32_t y, uint32_t a, uint32_t b, uint32_t cc, uint32_t d,
                       uint32_t fx, uint32_t fy) {
                       greyBytes.at(x, y) = sref::GreyOf(sref::Bilinear(a, b, cc, d, fx, fy));
                   });
    EXPECT_EQ(testimg::Load8(d8), bytesOut.px);
    EXPECT_EQ(testimg::Load(d32), greyPixels.px);
    EXPECT_EQ(testimg::Load8(d8b), greyBytes.px);
}

INSTANTIATE_TEST_SUITE_P(Shapes, GreyScaling,
                         ::testing::Values(GreyCase{1, 1, 4, 3}, GreyCase{1, 9, 5, 20},
                                           GreyCase{9, 1, 31, 2}, GreyCase{13, 7, 13, 7},
                                           GreyCase{67, 23, 17, 70}, GreyCase{5, 6, 41, 9},
                                           GreyCase{40, 30, 7, 3}),
                         [](const auto& info) {
                             const GreyCase& c = info.param;
                             return std::to_string(c.sw) + "x" + std::to_string(c.sh) + "_to_" +
                                    std::to_string(c.dw) + "x" + std::to_string(c.dh);
                         });

// ---- Tile ----

using Pos = CStretcher::ETileStartPos;

// The phase table, written out for one axis.
int32_t PlainPhase(Pos pos, bool xAxis, bool eightBit, int32_t t, int32_t d) {
    const bool fromEnd =
        xAxis ? (pos == CStretcher::eTileRight || pos == CStretcher::eTileBottomRight)
              : (pos == CStretcher::eTileBottom || pos == CStretcher::eTileBottomRight);
    int32_t p = 0;
    if (pos == CStretcher::eTileCentre) {
        p = eightBit ? t - ((d % t) / 2) - 1 : t - (((d - t) / 2) % t) - 1;
    } else if (fromEnd) {
        p = t - (d % t) - 1;
    }
    if (!eightBit) {
        p = ((p % t) + t) % t;
    }
    return p;
}

Picture PlainTile(const Picture& src, int32_t dw, int32_t dh, Pos pos, bool eightBit) {
    const int32_t px = PlainPhase(pos, true, eightBit, src.w, dw);
    const int32_t py = PlainPhase(pos, false, eightBit, src.h, dh);
    Picture out(dw, dh);
    for (int32_t y = 0; y < dh; ++y) {
        for (int32_t x = 0; x < dw; ++x) {
            out.at(x, y) = src.at((px + x) % src.w, (py + y) % src.h);
        }
    }
    return out;
}

TEST(Tile, CentreAndRightPhases) {
    Picture src(10, 10);
    for (int32_t y = 0; y < 10; ++y) {
        for (int32_t x = 0; x < 10; ++x) {
            src.at(x, y) = uint32_t(x);
        }
    }
    CImage s(10, 10), d(25, 1), r(20, 1);
    CImage8 s8(10, 10), d8(25, 1);
    sref::Put(s, src);
    sref::Put8(s8, src);
    ASSERT_EQ(CStretcher::Tile(&d, &s, CStretcher::eTileCentre), eNoError);
    ASSERT_EQ(CStretcher::Tile(&d8, &s8, CStretcher::eTileCentre), eNoError);
    ASSERT_EQ(CStretcher::Tile(&r, &s, CStretcher::eTileRight), eNoError);
    EXPECT_EQ(testimg::Load(d)[0], 2u) << "32-bit centre starts at column 2";
    EXPECT_EQ(testimg::Load8(d8)[0], 7u) << "8-bit centre starts at column 7";
    EXPECT_EQ(testimg::Load(r)[0], 9u) << "right with a multiple of the width starts at 9";
}

TEST(Tile, EveryAnchorEqualsThePhaseTable) {
    std::mt19937 rng(17);
    const testimg::Size shapes[] = {{1, 1}, {3, 7}, {10, 10}, {9, 4}};
    const testimg::Size targets[] = {{1, 1}, {2, 9}, {25, 13}, {40, 3}, {7, 7}};
    for (const testimg::Size& t : shapes) {
        for (const testimg::Size& dsz : targets) {
            for (int pos = 0; pos < 5; ++pos) {
                const Picture src = sref::Random(rng, t.width, t.height);
                const Picture bytes = sref::RandomBytes(rng, t.width, t.height);
                CImage s(t.width, t.height), d(dsz.width, dsz.height);
                CImage8 s8(t.width, t.height), d8(dsz.width, dsz.height);
                sref::Put(s, src);
                sref::Put8(s8, bytes);
                ASSERT_EQ(CStretcher::Tile(&d, &s, Pos(pos)), eNoError);
                ASSERT_EQ(CStretcher::Tile(&d8, &s8, Pos(pos)), eNoError);
                EXPECT_EQ(testimg::Load(d),
                          PlainTile(src, dsz.width, dsz.height, Pos(pos), false).px)
                    << "anchor " << pos;
                EXPECT_EQ(testimg::Load8(d8),
                          PlainTile(bytes, dsz.width, dsz.height, Pos(pos), true).px)
                    << "anchor " << pos;
            }
        }
    }
}

TEST(Tile, BadAnchorOrImageWritesNothing) {
    CImage s(3, 3), d(5, 5), empty;
    CImNav(&s).Fill(CPixel(0xFFFFFFFFu));
    CImNav sv(&s), dv(&d);
    EXPECT_EQ(CStretcher::Tile(&dv, &sv, Pos(5)), eNoError);
    EXPECT_EQ(CStretcher::Tile(&d, &empty, CStretcher::eTileTopLeft), eOutOfMemory);
    EXPECT_EQ(testimg::Load(d), std::vector<uint32_t>(25, 0));
}

// ---- Pan ----

Picture PlainPan(const Picture& p, int32_t dx, int32_t dy) {
    Picture out(p.w, p.h);
    for (int32_t y = 0; y < p.h; ++y) {
        for (int32_t x = 0; x < p.w; ++x) {
            const int32_t ox = int32_t(((int64_t(x) - dx) % p.w + p.w) % p.w);
            const int32_t oy = int32_t(((int64_t(y) - dy) % p.h + p.h) % p.h);
            out.at(x, y) = p.at(ox, oy);
        }
    }
    return out;
}

TEST(Pan, WholeTurnsAndNoOffsetChangeNothing) {
    const Picture p = Numbered(7, 5);
    for (gCPoint offset : {gCPoint(0, 0), gCPoint(7, 5), gCPoint(-14, 10)}) {
        CImage image(7, 5);
        sref::Put(image, p);
        CImNav view(&image);
        ASSERT_EQ(CStretcher::Pan(view, offset), eNoError);
        EXPECT_EQ(sref::Take(image).px, p.px);
    }
}

TEST(Pan, OneToTheRightWrapsTheLastColumn) {
    CImage image(4, 2);
    testimg::Store(image, {1, 2, 3, 4, 5, 6, 7, 8});
    CImNav view(&image);
    ASSERT_EQ(CStretcher::Pan(view, gCPoint(1, 0)), eNoError);
    EXPECT_EQ(testimg::Load(image), (std::vector<uint32_t>{4, 1, 2, 3, 8, 5, 6, 7}));
}

TEST(Pan, AnyOffsetMovesEveryPixel) {
    std::mt19937 rng(23);
    const gCPoint offsets[] = {{3, 0}, {-2, 0}, {5, 0},   {0, 1}, {0, -4},
                               {2, 3}, {-3, 7}, {13, -9}, {6, 6}, {-100001, 77777}};
    for (gCPoint o : offsets) {
        // A view inside a larger image: the pixels around it stay.
        const Picture inner = sref::Random(rng, 9, 12);
        CImage image(13, 15);
        Picture whole(13, 15, 0x5A5A5A5Au);
        for (int32_t y = 0; y < 12; ++y) {
            for (int32_t x = 0; x < 9; ++x) {
                whole.at(x + 2, y + 1) = inner.at(x, y);
            }
        }
        sref::Put(image, whole);
        const gCRect rect(2, 1, 11, 13);
        {
            CImNav view(&image, &rect);
            ASSERT_EQ(CStretcher::Pan(view, o), eNoError);
        }
        const Picture panned = PlainPan(inner, o.x, o.y);
        for (int32_t y = 0; y < 12; ++y) {
            for (int32_t x = 0; x < 9; ++x) {
                whole.at(x + 2, y + 1) = panned.at(x, y);
            }
        }
        EXPECT_EQ(sref::Take(image).px, whole.px) << "offset " << o.x << "," << o.y;
    }
    // Bytes as well.
    const Picture bytes = sref::RandomBytes(rng, 11, 6);
    CImage8 grey(11, 6);
    sref::Put8(grey, bytes);
    CImNav8 view(&grey);
    ASSERT_EQ(CStretcher::Pan(view, gCPoint(-4, 2)), eNoError);
    EXPECT_EQ(testimg::Load8(grey), PlainPan(bytes, -4, 2).px);
}

TEST(Pan, NoBufferLeavesTheViewUnchanged) {
    const Picture p = Numbered(6, 4);
    CImage image(6, 4);
    sref::Put(image, p);
    CImNav view(&image);
    {
        CFailingMemory noMemory;
        EXPECT_EQ(CStretcher::Pan(view, gCPoint(2, 0)), eOutOfMemory);
        EXPECT_EQ(CStretcher::Pan(view, gCPoint(1, 1)), eOutOfMemory);
    }
    EXPECT_EQ(sref::Take(image).px, p.px);
}

} // namespace
