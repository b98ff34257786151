#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <jpeglib.h>
#include <random>

#include "imaging/ImageIO.h"
#include "imaging/JpgIO.h"
#include "imaging/tests/CodecStreams.h"
#include "imaging/tests/JpegBytes.h"
#include "imaging/tests/TestImages.h"

using namespace codectest;
using testimg::Load;
using testimg::Load8;

namespace {

// Decoded JPEG samples may differ from the source by this much.
constexpr int kTolerance = 10;

template <class Image> Bytes WriteJpeg(Image& image) {
    CRecordingStream out;
    gCJpgIO codec;
    EXPECT_EQ(codec.WriteImage(out, image), eNoError);
    return out.Written();
}

template <class Image> error ReadJpeg(const Bytes& bytes, Image& image) {
    CBytesIn in(bytes);
    gCJpgIO codec;
    return codec.ReadImage(in.Stream(), image);
}

// A smooth picture JPEG keeps well: each channel a gentle ramp.
void Smooth(CImage& image, uint32_t alpha) {
    CImNav view(&image);
    for (int32_t y = 0; y < view.GetHeight(); ++y) {
        for (int32_t x = 0; x < view.GetWidth(); ++x) {
            view.Row(y)[x] = (alpha << 24) | (uint32_t(40 + 3 * x) << 16) |
                             (uint32_t(200 - 2 * y) << 8) | uint32_t(90 + x + y);
        }
    }
}

void ExpectNear(uint32_t got, uint32_t want, const char* what) {
    for (int shift : {0, 8, 16, 24}) {
        const int g = int((got >> shift) & 255), w = int((want >> shift) & 255);
        ASSERT_LE(std::abs(g - w), kTolerance)
            << what << std::hex << " got " << got << " want " << want;
    }
}

TEST(JpegRead, GreyFileIntoImageIsOpaqueGrey) {
    CImage8 source(24, 16);
    CImNav8 view(&source);
    for (int32_t y = 0; y < 16; ++y) {
        for (int32_t x = 0; x < 24; ++x) {
            view.Row(y)[x] = uint8_t(30 + 5 * x + 2 * y);
        }
    }
    const Bytes file = WriteJpeg(source);
    CImage colour;
    ASSERT_EQ(ReadJpeg(file, colour), eNoError);
    ASSERT_EQ(colour.GetWidth(), 24);
    ASSERT_EQ(colour.GetHeight(), 16);
    const std::vector<uint32_t> px = Load(colour);
    const std::vector<uint32_t> grey = Load8(source);
    for (size_t i = 0; i < px.size(); ++i) {
        const uint32_t v = px[i] & 255;
        ASSERT_EQ(px[i], 0xFF000000u | v * 0x010101u) << i;
        ExpectNear(v, grey[i], "grey");
    }
    CImage8 back;
    ASSERT_EQ(ReadJpeg(file, back), eNoError);
    const std::vector<uint32_t> bytes = Load8(back);
    for (size_t i = 0; i < bytes.size(); ++i) {
        ExpectNear(bytes[i], grey[i], "grey byte");
    }
}

TEST(JpegWrite, TransparentPixelsAreWrittenOpaqueWithTheirColour) {
    CImage image(32, 24);
    Smooth(image, 0);
    const std::vector<uint32_t> source = Load(image);
    CImage back;
    ASSERT_EQ(ReadJpeg(WriteJpeg(image), back), eNoError);
    const std::vector<uint32_t> px = Load(back);
    ASSERT_EQ(px.size(), source.size());
    for (size_t i = 0; i < px.size(); ++i) {
        ExpectNear(px[i], source[i] | 0xFF000000u, "pixel");
    }
    // Into an 8-bit image: the mean of the three channels.
    CImage8 grey;
    ASSERT_EQ(ReadJpeg(WriteJpeg(image), grey), eNoError);
    const std::vector<uint32_t> g = Load8(grey);
    for (size_t i = 0; i < g.size(); ++i) {
        const uint32_t s = source[i];
        ExpectNear(g[i], (((s >> 16) & 255) + ((s >> 8) & 255) + (s & 255)) / 3, "mean");
    }
}

// The codec writes what libjpeg itself writes with its defaults and the
// float DCT: the same bytes.
TEST(JpegWrite, DefaultsWithTheFloatDct) {
    CImage image(19, 11);
    Smooth(image, 255);
    std::vector<JSAMPLE> samples;
    for (uint32_t p : Load(image)) {
        samples.insert(samples.end(), {JSAMPLE(p >> 16), JSAMPLE(p >> 8), JSAMPLE(p)});
    }
    EXPECT_EQ(WriteJpeg(image), LibjpegEncode(19, 11, 3, samples, JDCT_FLOAT));
}

Bytes GreyJpeg(JDIMENSION width, JDIMENSION height) {
    return LibjpegEncode(width, height, 1, std::vector<JSAMPLE>(size_t(width) * height, 128),
                         JDCT_ISLOW);
}

TEST(JpegRead, SidesBeyondTheCapAreRefusedBeforeAllocating) {
    CImage image;
    EXPECT_EQ(ReadJpeg(GreyJpeg(40000, 2), image), eOutOfMemory);
    EXPECT_EQ(image.GetWidth(), 0);
    EXPECT_FALSE(image.IsValid());
    CImage8 image8;
    ASSERT_EQ(ReadJpeg(GreyJpeg(32767, 1), image8), eNoError);
    EXPECT_EQ(image8.GetWidth(), 32767);
}

TEST(JpegRead, EmptyStreamIs1) {
    CImage image;
    EXPECT_EQ(ReadJpeg({}, image), eGenericFailure);
    CImage8 image8;
    EXPECT_EQ(ReadJpeg({}, image8), eGenericFailure);
}

// Data that ends before the end-of-image marker decodes what it holds.
TEST(JpegRead, DataCutBeforeTheEndStillReads) {
    CImage image(64, 64);
    Smooth(image, 255);
    Bytes file = WriteJpeg(image);
    file.resize(file.size() - 40);
    CImage back;
    ASSERT_EQ(ReadJpeg(file, back), eNoError);
    EXPECT_EQ(back.GetWidth(), 64);
    EXPECT_EQ(back.GetHeight(), 64);
}

// Print-workflow files: the same inks stored plainly, inverted under
// Adobe's marker (CMYK and YCCK) read as the same colours, each channel
// (255 - C) x (255 - K) / 255, and as their mean in an 8-bit image.
struct CmykCase {
    const char* name;
    J_COLOR_SPACE fileSpace;
    bool adobe; // the marker, and the samples stored inverted
};
void PrintTo(const CmykCase& c, std::ostream* os) {
    *os << c.name;
}

class JpegCmyk : public ::testing::TestWithParam<CmykCase> {};

TEST_P(JpegCmyk, ReadsInColour) {
    const CmykCase& c = GetParam();
    const JDIMENSION w = 32, h = 24;
    JpegLayout s;
    s.width = w;
    s.height = h;
    s.space = JCS_CMYK;
    s.fileSpace = c.fileSpace;
    s.adobeMarker = c.adobe;
    s.quality = 100;
    std::vector<uint32_t> rgb;
    for (JDIMENSION y = 0; y < h; ++y) {
        for (JDIMENSION x = 0; x < w; ++x) {
            const uint32_t ink[4] = {20 + 3 * x, 200 - 2 * y, 60 + x + y, 30 + 2 * x};
            uint32_t p = 0xFF000000u;
            for (int i = 0; i < 3; ++i) {
                p |= uint32_t(std::lround((255.0 - ink[i]) * (255.0 - ink[3]) / 255.0))
                     << (16 - 8 * i);
            }
            rgb.push_back(p);
            for (uint32_t v : ink) {
                s.samples.push_back(JSAMPLE(c.adobe ? 255 - v : v));
            }
        }
    }
    const Bytes file = LibjpegEncode(s);
    CImage image;
    ASSERT_EQ(ReadJpeg(file, image), eNoError);
    const std::vector<uint32_t> px = Load(image);
    ASSERT_EQ(px.size(), rgb.size());
    for (size_t i = 0; i < px.size(); ++i) {
        ASSERT_EQ(px[i] >> 24, 0xFFu);
        ExpectNear(px[i], rgb[i], "colour");
    }
    CImage8 grey;
    ASSERT_EQ(ReadJpeg(file, grey), eNoError);
    const std::vector<uint32_t> g = Load8(grey);
    for (size_t i = 0; i < g.size(); ++i) {
        const uint32_t p = rgb[i];
        ExpectNear(g[i], (((p >> 16) & 255) + ((p >> 8) & 255) + (p & 255)) / 3, "mean");
    }
}

INSTANTIATE_TEST_SUITE_P(Inks, JpegCmyk,
                         ::testing::Values(CmykCase{"PlainCmyk", JCS_CMYK, false},
                                           CmykCase{"AdobeCmyk", JCS_CMYK, true},
                                           CmykCase{"AdobeYcck", JCS_YCCK, true}),
                         [](const auto& info) { return std::string(info.param.name); });

// Where the scan data starts: after the first start-of-scan header.
size_t ScanDataStart(const Bytes& file) {
    for (size_t i = 2; i + 3 < file.size(); ++i) {
        if (file[i] == 0xFF && file[i + 1] == 0xDA) {
            return i + 2 + ((size_t(file[i + 2]) << 8) | file[i + 3]);
        }
    }
    return file.size();
}

// A file must hold at least a bit for each 8 x 8 block of its largest
// component after its headers, or nothing is made for it (16); with that
// much it reads, however early it is cut off after that.
TEST(JpegRead, DataShorterThanABitPerBlockIs16) {
    for (bool progressive : {false, true}) {
        JpegLayout s;
        s.width = 512;
        s.height = 256; // 2,048 blocks: 256 bytes
        s.space = JCS_GRAYSCALE;
        s.progressive = progressive;
        std::mt19937 rng(2);
        for (size_t i = 0; i < size_t(s.width) * s.height; ++i) {
            s.samples.push_back(JSAMPLE(rng()));
        }
        const Bytes file = LibjpegEncode(s);
        const size_t start = ScanDataStart(file);
        ASSERT_GT(file.size(), start + 256);
        CImage image(3, 3);
        const std::vector<uint32_t> before = Load(image);
        EXPECT_EQ(ReadJpeg(Bytes(file.begin(), file.begin() + std::ptrdiff_t(start + 255)), image),
                  eInvalidFile)
            << progressive;
        EXPECT_EQ(Load(image), before);
        CImage8 image8;
        EXPECT_EQ(ReadJpeg(Bytes(file.begin(), file.begin() + std::ptrdiff_t(start + 255)), image8),
                  eInvalidFile);
        ASSERT_EQ(ReadJpeg(Bytes(file.begin(), file.begin() + std::ptrdiff_t(start + 256)), image),
                  eNoError)
            << progressive;
        EXPECT_EQ(image.GetWidth(), 512);
        EXPECT_EQ(image.GetHeight(), 256);
    }
}

TEST(JpegWrite, RefusedWritesAre1) {
    CImage image(200, 100);
    std::mt19937 rng(4);
    testimg::Store(image, testimg::RandomPixels(rng, 200 * 100));
    const size_t full = WriteJpeg(image).size();
    ASSERT_GT(full, 4096u);
    for (int64_t limit : {int64_t(0), int64_t(4095), int64_t(full - 1)}) {
        CRecordingStream out(limit);
        gCJpgIO codec;
        EXPECT_EQ(codec.WriteImage(out, image), eGenericFailure) << limit;
    }
}

TEST(JpegWrite, ImageWithoutPixelsIs5) {
    CImage image;
    CImage8 image8;
    CRecordingStream out;
    gCJpgIO codec;
    EXPECT_EQ(codec.WriteImage(out, image), eOutOfMemory);
    EXPECT_EQ(codec.WriteImage(out, image8), eOutOfMemory);
    EXPECT_TRUE(out.Written().empty());
}

} // namespace
