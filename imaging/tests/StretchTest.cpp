#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "imaging/Stretcher.h"
#include "imaging/tests/StretchReference.h"
#include "testsupport/imaging/PixelPaths.h"

namespace {

using sref::Picture;

// A picture placed inside a larger image, so that its view has a stride
// wider than itself and neighbours that must stay untouched.
struct Placed {
    static constexpr int32_t kLeft = 3, kTop = 2, kMargin = 5;
    CImage image;
    gCRect rect;

    explicit Placed(const Picture& p, uint32_t border = 0xDEADBEEFu)
        : image(p.w + kMargin, p.h + kMargin), rect(kLeft, kTop, kLeft + p.w, kTop + p.h) {
        Picture whole(p.w + kMargin, p.h + kMargin, border);
        for (int32_t y = 0; y < p.h; ++y) {
            for (int32_t x = 0; x < p.w; ++x) {
                whole.at(x + kLeft, y + kTop) = p.at(x, y);
            }
        }
        sref::Put(image, whole);
    }
    // The placed picture, and whether everything around it kept the border.
    Picture Inner(uint32_t border, bool& borderKept) {
        const Picture whole = sref::Take(image);
        Picture p(rect.Width(), rect.Height());
        borderKept = true;
        for (int32_t y = 0; y < whole.h; ++y) {
            for (int32_t x = 0; x < whole.w; ++x) {
                const bool inside =
                    x >= rect.left && x < rect.right && y >= rect.top && y < rect.bottom;
                if (inside) {
                    p.at(x - rect.left, y - rect.top) = whole.at(x, y);
                } else {
                    borderKept = borderKept && whole.at(x, y) == border;
                }
            }
        }
        return p;
    }
};

struct ScaleCase {
    int32_t sw, sh, dw, dh;
};

void PrintTo(const ScaleCase& c, std::ostream* os) {
    *os << c.sw << "x" << c.sh << "_to_" << c.dw << "x" << c.dh;
}

class Scaling : public ::testing::TestWithParam<ScaleCase> {};

enum Op { kBilinear, kQuality, kHiQ, kHiQBlend, kSuperSample };
const char* const kOpNames[] = {"StretchBlit", "StretchBlitQuality", "StretchHiQ",
                                "StretchHiQBlend", "SuperSample"};

// Every scaler on every path present equals the plain version.
TEST_P(Scaling, EveryScalerEqualsThePlainVersion) {
    const ScaleCase& c = GetParam();
    const sref::Steps steps = sref::StepsFor(Picture(c.sw, c.sh), c.dw, c.dh);
    for (CPixelPaths::EPath path : PresentPixelPaths()) {
        CForcePixelPath force(path);
        SCOPED_TRACE(CPixelPaths::Name(path));
        std::mt19937 rng(uint32_t(c.sw * 131 + c.sh * 17 + c.dw * 7 + c.dh));
        for (Op op : {kBilinear, kQuality, kHiQ, kHiQBlend, kSuperSample}) {
            if (op == kSuperSample && (steps.x < 0x10000 || steps.y < 0x10000)) {
                continue; // a reduction only
            }
            const Picture src = sref::Random(rng, c.sw, c.sh);
            const Picture before = sref::Random(rng, c.dw, c.dh);
            Placed s(src), d(before, 0x12345678u);
            {
                CImNav sv(&s.image, &s.rect), dv(&d.image, &d.rect);
                switch (op) {
                case kBilinear:
                    ASSERT_EQ(CStretcher::StretchBlit(&dv, &sv, 0), eNoError);
                    break;
                case kQuality:
                    ASSERT_EQ(CStretcher::StretchBlit(&dv, &sv, 1), eNoError);
                    break;
                case kHiQ:
                    ASSERT_EQ(CStretcher::StretchHiQ(&dv, &sv), eNoError);
                    break;
                case kHiQBlend:
                    ASSERT_EQ(CStretcher::StretchHiQBlend(&dv, &sv), eNoError);
                    break;
                case kSuperSample:
                    ASSERT_EQ(CStretcher::SuperSample(&dv, &sv), eNoError);
                    break;
                }
            }
            Picture expected;
            switch (op) {
            case kBilinear:
                expected = sref::StretchBlit(src, c.dw, c.dh, false);
                break;
            case kQuality:
                expected = sref::StretchBlit(src, c.dw, c.dh, true);
                break;
            case kHiQ:
                expected = sref::StretchHiQ(src, c.dw, c.dh);
                break;
            case kHiQBlend:
                expected = before;
                sref::CompositeOnto(expected, sref::StretchHiQ(src, c.dw, c.dh));
                break;
            case kSuperSample:
                expected = sref::Boxes(src, c.dw, c.dh, false);
                break;
            }
            bool borderKept = false;
            EXPECT_EQ(d.Inner(0x12345678u, borderKept).px, expected.px) << kOpNames[op];
            EXPECT_TRUE(borderKept) << kOpNames[op] << " wrote outside the destination view";
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Shapes, Scaling,
                         ::testing::Values(ScaleCase{1, 1, 5, 3}, ScaleCase{1, 9, 7, 20},
                                           ScaleCase{9, 1, 30, 2}, ScaleCase{1, 40, 1, 9},
                                           ScaleCase{13, 7, 13, 7}, ScaleCase{9, 31, 37, 5},
                                           ScaleCase{64, 48, 24, 18}, ScaleCase{64, 48, 32, 24},
                                           ScaleCase{64, 48, 33, 25}, ScaleCase{31, 9, 130, 41},
                                           ScaleCase{5, 5, 20, 20}, ScaleCase{67, 23, 17, 70},
                                           ScaleCase{130, 11, 3, 2}, ScaleCase{3, 1, 1, 1},
                                           ScaleCase{199, 10, 100, 5}, ScaleCase{7, 6, 3, 2},
                                           ScaleCase{2, 2, 1, 1}, ScaleCase{45, 45, 11, 11},
                                           // Boxes past 257 and past 65536 pixels; rows wider
                                           // than the stretch's column blocks.
                                           ScaleCase{200, 150, 3, 2}, ScaleCase{600, 400, 2, 1},
                                           ScaleCase{5, 3, 1100, 4}, ScaleCase{1030, 2, 1027, 3}),
                         [](const auto& info) {
                             const ScaleCase& c = info.param;
                             return std::to_string(c.sw) + "x" + std::to_string(c.sh) + "_to_" +
                                    std::to_string(c.dw) + "x" + std::to_string(c.dh);
                         });

// Seeded random shapes, from one pixel up, enlarging and reducing, on
// every path present.
TEST(ScalingRandomShapes, EqualThePlainVersions) {
    for (CPixelPaths::EPath path : PresentPixelPaths()) {
        CForcePixelPath force(path);
        SCOPED_TRACE(CPixelPaths::Name(path));
        std::mt19937 rng(2024);
        auto side = [&] { return int32_t(1 + rng() % 70); };
        for (int i = 0; i < 40; ++i) {
            const int32_t sw = side(), sh = side(), dw = side(), dh = side();
            const Picture src = sref::Random(rng, sw, sh);
            CImage s(sw, sh), a(dw, dh), b(dw, dh), c(dw, dh);
            sref::Put(s, src);
            CImNav sv(&s), av(&a), bv(&b), cv(&c);
            ASSERT_EQ(CStretcher::StretchBlit(&av, &sv, 0), eNoError);
            ASSERT_EQ(CStretcher::StretchBlit(&bv, &sv, 1), eNoError);
            ASSERT_EQ(CStretcher::StretchHiQ(&cv, &sv), eNoError);
            const std::string shape = std::to_string(sw) + "x" + std::to_string(sh) + " to " +
                                      std::to_string(dw) + "x" + std::to_string(dh);
            EXPECT_EQ(sref::Take(a).px, sref::StretchBlit(src, dw, dh, false).px) << shape;
            EXPECT_EQ(sref::Take(b).px, sref::StretchBlit(src, dw, dh, true).px) << shape;
            EXPECT_EQ(sref::Take(c).px, sref::StretchHiQ(src, dw, dh).px) << shape;
        }
    }
}

TEST(StretchBlit, OneToOneIsAnExactCopy) {
    std::mt19937 rng(1);
    const Picture src = sref::Random(rng, 13, 7);
    CImage s(13, 7), d(13, 7);
    sref::Put(s, src);
    CImNav sv(&s), dv(&d);
    ASSERT_EQ(CStretcher::StretchBlit(&dv, &sv, 1), eNoError);
    EXPECT_EQ(sref::Take(d).px, src.px);
}

// Four times wider: the first column lies half a source pixel before
// column 0 and takes column 0 alone; the last column takes the column blend
// with its + 1, not the plain interpolation.
TEST(StretchBlit, FourTimesEnlargementEdgeColumns) {
    Picture src(4, 2);
    for (int32_t x = 0; x < 4; ++x) {
        src.at(x, 0) = 0xFF000000u | uint32_t(x * 40);
        src.at(x, 1) = 0xFFFFFFFFu;
    }
    CImage s(4, 2), d(16, 8);
    sref::Put(s, src);
    CImNav sv(&s), dv(&d);
    ASSERT_EQ(CStretcher::StretchBlit(&dv, &sv, 0), eNoError);
    const Picture out = sref::Take(d);
    const sref::Steps st = sref::StepsFor(src, 16, 8);
    ASSERT_EQ(sref::SamplePosition(0, st.x, st.xoff), -0x8000) << "half a pixel before column 0";
    int32_t blended = 0;
    for (int32_t y = 0; y < 8; ++y) {
        const sref::Neighbours rows = sref::NeighboursAt(sref::SamplePosition(y, st.y, st.yoff), 2);
        const int32_t up = rows.first, lo = rows.second;
        const uint32_t fy = rows.weight;
        EXPECT_EQ(out.at(0, y), sref::Column(src.at(0, up), src.at(0, lo), fy)) << "row " << y;
        EXPECT_EQ(out.at(15, y), sref::Column(src.at(3, up), src.at(3, lo), fy)) << "row " << y;
        if (up == 0 && lo == 1 && fy > 0) {
            // Black over white: fy per channel, where interpolation gives fy - 1.
            EXPECT_EQ((out.at(15, y) >> 16) & 0xFF, fy) << "row " << y;
            ++blended;
        }
    }
    EXPECT_GT(blended, 0);
}

TEST(StretchBlit, QualityBoxesFromExactlyTwoTimes) {
    // 2.0 on both axes: 2 x 2 box averages.
    Picture src(8, 8);
    for (int32_t y = 0; y < 8; ++y) {
        for (int32_t x = 0; x < 8; ++x) {
            src.at(x, y) = 0xFF000000u | uint32_t(((x & 1) + 2 * (y & 1)) * 10 + 10);
        }
    }
    CImage s(8, 8), d(4, 4);
    sref::Put(s, src);
    {
        CImNav sv(&s), dv(&d);
        ASSERT_EQ(CStretcher::StretchBlit(&dv, &sv, 1), eNoError);
    }
    EXPECT_EQ(sref::Take(d).px, std::vector<uint32_t>(16, 0xFF000019u)); // (10+20+30+40)/4

    // 1.99 on one axis: bilinear even with quality.
    std::mt19937 rng(4);
    const Picture wide = sref::Random(rng, 199, 10);
    CImage w(199, 10), o(100, 5);
    sref::Put(w, wide);
    CImNav wv(&w), ov(&o);
    ASSERT_EQ(CStretcher::StretchBlit(&ov, &wv, 1), eNoError);
    EXPECT_EQ(sref::Take(o).px, sref::Sampled(wide, 100, 5, false).px);
    EXPECT_NE(sref::Take(o).px, sref::Boxes(wide, 100, 5, false).px);
}

TEST(StretchHiQ, TransparentAndHalfTransparentBoxes) {
    CImage s(4, 2), d(2, 1);
    // Left box: all transparent, colour bits set. Right box: two opaque
    // pixels of one colour, two transparent ones of another.
    sref::Put(s, Picture(4, 2));
    testimg::Store(s, {0x00FFFFFFu, 0x00123456u, 0xFF2040C0u, 0x00FFFFFFu, //
                       0x00ABCDEFu, 0x00000001u, 0x00FFFFFFu, 0xFF2040C0u});
    CImNav sv(&s), dv(&d);
    ASSERT_EQ(CStretcher::StretchHiQ(&dv, &sv), eNoError);
    EXPECT_EQ(sref::Take(d).px, (std::vector<uint32_t>{0x00000000u, 0x7F2040C0u}));
}

TEST(SafeBlerp, ATransparentWhiteCornerNeverGreysBlack) {
    for (int corner = 0; corner < 4; ++corner) {
        uint32_t p[4] = {0xFF000000u, 0xFF000000u, 0xFF000000u, 0xFF000000u};
        p[corner] = 0x00FFFFFFu;
        for (uint32_t fx = 0; fx < 256; fx += 5) {
            for (uint32_t fy = 0; fy < 256; fy += 5) {
                const uint32_t r = SafeBlerp(p[0], p[1], p[2], p[3], fx, fy);
                ASSERT_EQ(r & 0x00FFFFFFu, 0u)
                    << "corner " << corner << " fx " << fx << " fy " << fy;
                ASSERT_EQ(r, sref::SafeBlerp(p[0], p[1], p[2], p[3], fx, fy));
            }
        }
    }
}

TEST(SafeBlerp, EqualsThePlainVersionOnRandomCorners) {
    std::mt19937 rng(6);
    const std::vector<uint32_t> px = testimg::RandomPixels(rng, 40000);
    for (size_t i = 0; i + 4 <= px.size(); i += 4) {
        const uint32_t fx = rng() & 0xFF, fy = rng() & 0xFF;
        ASSERT_EQ(SafeBlerp(px[i], px[i + 1], px[i + 2], px[i + 3], fx, fy),
                  sref::SafeBlerp(px[i], px[i + 1], px[i + 2], px[i + 3], fx, fy));
    }
}

// A source view that is empty or did not lock gives no pixels to read: the
// scalers write nothing.
TEST(StretchBlit, EmptyOrInvalidSourceWritesNothing) {
    CImage src(6, 6), empty, dst(5, 5);
    testimg::Store(dst, std::vector<uint32_t>(25, 0xCAFEF00Du));
    const gCRect noColumns(2, 1, 2, 6), noRows(0, 3, 6, 3);
    CImNav zeroWide(&src, &noColumns), zeroHigh(&src, &noRows), unlocked(&empty), d(&dst);
    for (CImNav* s : {&zeroWide, &zeroHigh, &unlocked}) {
        EXPECT_EQ(CStretcher::StretchBlit(&d, s, 0), eNoError);
        EXPECT_EQ(CStretcher::StretchBlit(&d, s, 1), eNoError);
        EXPECT_EQ(CStretcher::SuperSample(&d, s), eNoError);
        EXPECT_EQ(CStretcher::StretchHiQ(&d, s), eNoError);
        EXPECT_EQ(CStretcher::StretchHiQBlend(&d, s), eNoError);
    }
    EXPECT_EQ(CStretcher::StretchBlit(&d, nullptr, 0), eNoError);
    EXPECT_EQ(testimg::Load(dst), std::vector<uint32_t>(25, 0xCAFEF00Du));
}

// Called directly on an enlargement, SuperSample's boxes would be empty:
// each takes the one source pixel at its corner instead of dividing by 0.
TEST(SuperSample, EnlargementTakesNearestPixels) {
    CImage s(2, 1), d(4, 2);
    testimg::Store(s, {0xFF102030u, 0x80405060u});
    CImNav sv(&s), dv(&d);
    ASSERT_EQ(CStretcher::SuperSample(&dv, &sv), eNoError);
    EXPECT_EQ(testimg::Load(d),
              (std::vector<uint32_t>{0xFF102030u, 0xFF102030u, 0x80405060u, 0x80405060u,
                                     0xFF102030u, 0xFF102030u, 0x80405060u, 0x80405060u}));
}

} // namespace
