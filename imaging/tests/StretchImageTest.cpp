#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "imaging/Stretcher.h"
#include "imaging/tests/StretchReference.h"
#include "testsupport/imaging/PixelPaths.h"

namespace {

using sref::Picture;

int32_t Clamp(int32_t v, int32_t lo, int32_t hi) {
    return std::max(lo, std::min(v, hi));
}

// A compressed picture and what its run-length form decodes to (runs of
// transparent pixels take their first pixel's colour).
struct Compressed {
    CImage image;
    Picture decoded;

    Compressed(std::mt19937& rng, int32_t w, int32_t h) : image(w, h), decoded(w, h) {
        const std::vector<uint32_t> px = testimg::RunnyPixels(rng, w, h);
        testimg::Store(image, px);
        CImage copy(w, h);
        testimg::Store(copy, px);
        EXPECT_EQ(image.Compress(), eNoError);
        EXPECT_TRUE(image.IsCompressed());
        EXPECT_EQ(copy.Compress(), eNoError);
        EXPECT_EQ(copy.Decompress(), eNoError);
        decoded.px = testimg::Load(copy);
    }
};

// Scaling a run-length source: rows and columns clamped into the image,
// four neighbours interpolated without the edge column's + 1.
Picture PlainCompressedStretch(const Picture& src, int32_t dw, int32_t dh) {
    const sref::Steps s = sref::StepsFor(src, dw, dh);
    Picture out(dw, dh);
    for (int32_t y = 0; y < dh; ++y) {
        const uint32_t sy = uint32_t(sref::SamplePosition(y, s.y, s.yoff));
        const int32_t iy = int32_t(sy) >> 16;
        const int32_t r0 = Clamp(iy, 0, src.h - 1), r1 = Clamp(iy + 1, 0, src.h - 1);
        for (int32_t x = 0; x < dw; ++x) {
            const uint32_t sx = uint32_t(sref::SamplePosition(x, s.x, s.xoff));
            const int32_t ix = int32_t(sx) >> 16;
            const int32_t c0 = Clamp(ix, 0, src.w - 1);
            const int32_t c1 = ix >= 0 && ix < src.w - 1 ? ix + 1 : c0;
            const int32_t fx = int32_t((sx >> 8) & 0xFF), fy = int32_t((sy >> 8) & 0xFF);
            const uint32_t top = ref::Lerp(src.at(c0, r0), src.at(c1, r0), fx);
            const uint32_t bottom = ref::Lerp(src.at(c0, r1), src.at(c1, r1), fx);
            out.at(x, y) = ref::Lerp(top, bottom, fy);
        }
    }
    return out;
}

TEST(CompressedSource, StretchReadsTheRunsInPlace) {
    for (CPixelPaths::EPath path : PresentPixelPaths()) {
        CForcePixelPath force(path);
        SCOPED_TRACE(CPixelPaths::Name(path));
        std::mt19937 rng(31);
        const testimg::Size shapes[][2] = {
            {{40, 30}, {97, 61}}, {{40, 30}, {13, 9}}, {{33, 12}, {33, 12}}, {{20, 20}, {7, 40}}};
        for (const auto& shape : shapes) {
            Compressed src(rng, shape[0].width, shape[0].height);
            const int32_t dw = shape[1].width, dh = shape[1].height;
            for (int32_t quality : {0, 1}) {
                CImage dst(dw, dh);
                ASSERT_EQ(CStretcher::StretchBlit(&dst, &src.image, quality), eNoError);
                EXPECT_TRUE(src.image.IsCompressed()) << "the source is read in place";
                const sref::Steps st = sref::StepsFor(src.decoded, dw, dh);
                const Picture expected = quality && st.x > 0x1FFFF && st.y > 0x1FFFF
                                             ? sref::Boxes(src.decoded, dw, dh, false)
                                             : PlainCompressedStretch(src.decoded, dw, dh);
                EXPECT_EQ(testimg::Load(dst), expected.px)
                    << shape[0].width << "x" << shape[0].height << " to " << dw << "x" << dh
                    << " quality " << quality;
            }
        }
    }
}

TEST(CompressedSource, BlitExpandsTheCommonArea) {
    std::mt19937 rng(37);
    Compressed src(rng, 12, 14);
    CImage dst(20, 9);
    testimg::Store(dst, std::vector<uint32_t>(180, 0x11111111u));
    ASSERT_EQ(CStretcher::Blit(&dst, &src.image), eNoError);
    Picture expected(20, 9, 0x11111111u);
    for (int32_t y = 0; y < 9; ++y) {
        for (int32_t x = 0; x < 12; ++x) {
            expected.at(x, y) = src.decoded.at(x, y);
        }
    }
    EXPECT_EQ(testimg::Load(dst), expected.px);

    // Bytes: an 8-bit compressed image into a view larger than itself.
    CImage8 grey(30, 10), out(40, 12);
    std::vector<uint32_t> bytes(300);
    for (size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = uint32_t((i / 7) % 3) * 100;
    }
    testimg::Store8(grey, bytes);
    ASSERT_EQ(grey.Compress(), eNoError);
    ASSERT_TRUE(grey.IsCompressed());
    {
        CImNav8 view(&out);
        ASSERT_EQ(CStretcher::BlitCompressed(&view, &grey), eNoError);
    }
    const std::vector<uint32_t> got = testimg::Load8(out);
    for (int32_t y = 0; y < 12; ++y) {
        for (int32_t x = 0; x < 40; ++x) {
            const uint32_t want = x < 30 && y < 10 ? bytes[size_t(y) * 30 + x] : 0;
            ASSERT_EQ(got[size_t(y) * 40 + x], want) << x << "," << y;
        }
    }
}

// A compressed destination is decompressed for the work and compressed
// again afterwards.
TEST(ImageForms, CompressedDestinationIsCompressedAgain) {
    CImage dst(30, 30), src(10, 10);
    CImNav(&dst).Fill(CPixel(0xFF0000FFu));
    CImNav(&src).Fill(CPixel(0xFF00FF00u));
    ASSERT_EQ(dst.Compress(), eNoError);
    ASSERT_TRUE(dst.IsCompressed());
    ASSERT_EQ(CStretcher::StretchBlit(&dst, &src, 1), eNoError);
    EXPECT_TRUE(dst.IsCompressed());
    ASSERT_EQ(CStretcher::StretchHiQ(&dst, &src), eNoError);
    EXPECT_TRUE(dst.IsCompressed());
    ASSERT_EQ(dst.Decompress(), eNoError);
    EXPECT_EQ(testimg::Load(dst), std::vector<uint32_t>(900, 0xFF00FF00u));
}

TEST(ImageForms, HighQualityRefusesACompressedSource) {
    std::mt19937 rng(41);
    Compressed src(rng, 20, 20);
    CImage dst(10, 10);
    EXPECT_EQ(CStretcher::StretchHiQ(&dst, &src.image), eBadParameter);
    EXPECT_EQ(CStretcher::StretchHiQBlend(&dst, &src.image), eBadParameter);
    EXPECT_EQ(testimg::Load(dst), std::vector<uint32_t>(100, 0));
}

TEST(ImageForms, EqualTheViewForms) {
    std::mt19937 rng(43);
    const Picture src = sref::Random(rng, 23, 17), under = sref::Random(rng, 9, 31);
    CImage s(23, 17), a(9, 31), b(9, 31);
    sref::Put(s, src);
    sref::Put(a, under);
    ASSERT_EQ(CStretcher::StretchHiQBlend(&a, &s), eNoError);
    Picture expected = under;
    sref::CompositeOnto(expected, sref::StretchHiQ(src, 9, 31));
    EXPECT_EQ(testimg::Load(a), expected.px);
    ASSERT_EQ(CStretcher::StretchBlit(&b, &s, 0), eNoError);
    EXPECT_EQ(testimg::Load(b), sref::StretchBlit(src, 9, 31, false).px);
}

TEST(ImageForms, MissingImages) {
    CImage image(4, 4), empty;
    EXPECT_EQ(CStretcher::StretchBlit(nullptr, &image, 0), eBadParameter);
    EXPECT_EQ(CStretcher::StretchHiQ(&image, static_cast<CImage*>(nullptr)), eBadParameter);
    EXPECT_EQ(CStretcher::Blit(static_cast<CImageBase*>(nullptr), &image), eBadParameter);
    EXPECT_EQ(CStretcher::StretchBlit(&empty, &image, 0), eOutOfMemory);
    EXPECT_EQ(CStretcher::ConstructFromCorners(nullptr, &image, 1), eBadParameter);
    EXPECT_EQ(CStretcher::ConstructFromEdges(&image, nullptr, 0, 0), eBadParameter);
}

// A 9 x 9 source of nine flat 3 x 3 regions becomes a frame: corners
// copied, edges and centre filled from their regions.
TEST(Construct, FromCornersFillsEachRegion) {
    Picture src(9, 9);
    for (int32_t y = 0; y < 9; ++y) {
        for (int32_t x = 0; x < 9; ++x) {
            src.at(x, y) = 0xFF000000u | uint32_t((y / 3) * 3 + x / 3 + 1);
        }
    }
    for (int32_t tile : {0, 1}) {
        CImage s(9, 9), d(20, 14);
        sref::Put(s, src);
        ASSERT_EQ(CStretcher::ConstructFromCorners(&d, &s, tile), eNoError);
        const Picture out = sref::Take(d);
        for (int32_t y = 0; y < 14; ++y) {
            for (int32_t x = 0; x < 20; ++x) {
                const int32_t column = x < 3 ? 0 : x >= 17 ? 2 : 1;
                const int32_t row = y < 3 ? 0 : y >= 11 ? 2 : 1;
                ASSERT_EQ(out.at(x, y), 0xFF000000u | uint32_t(row * 3 + column + 1))
                    << "tile " << tile << " at " << x << "," << y;
            }
        }
    }
}

TEST(Construct, FromEdgesStretchesTheMiddle) {
    Picture src(6, 9);
    for (int32_t y = 0; y < 9; ++y) {
        for (int32_t x = 0; x < 6; ++x) {
            src.at(x, y) = 0xFF000000u | uint32_t(y / 3 + 1) << 8 | uint32_t(x / 2 + 1);
        }
    }
    CImage s(6, 9), bar(6, 20), column(21, 9);
    sref::Put(s, src);
    ASSERT_EQ(CStretcher::ConstructFromEdges(&bar, &s, 0, 0), eNoError);
    ASSERT_EQ(CStretcher::ConstructFromEdges(&column, &s, 1, 0), eNoError);
    const Picture b = sref::Take(bar);
    for (int32_t y = 0; y < 20; ++y) {
        const uint32_t band = y < 3 ? 1 : y >= 17 ? 3 : 2;
        EXPECT_EQ((b.at(0, y) >> 8) & 0xFF, band) << "row " << y;
    }
    const Picture c = sref::Take(column);
    for (int32_t x = 0; x < 21; ++x) {
        const uint32_t band = x < 2 ? 1 : x >= 19 ? 3 : 2;
        EXPECT_EQ(c.at(x, 4) & 0xFF, band) << "column " << x;
    }
}

} // namespace
