#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <jpeglib.h>
#include <random>

#include "imaging/ImageIO.h"
#include "imaging/JpgIO.h"
#include "imaging/tests/CodecStreams.h"
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

// A JPEG written by libjpeg itself from rows of samples, with its defaults
// and the given DCT.
Bytes LibjpegEncode(JDIMENSION width, JDIMENSION height, int components,
                    const std::vector<JSAMPLE>& samples, J_DCT_METHOD dct) {
    jpeg_compress_struct c;
    jpeg_error_mgr err;
    c.err = jpeg_std_error(&err);
    jpeg_create_compress(&c);
    unsigned char* mem = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&c, &mem, &size);
    c.image_width = width;
    c.image_height = height;
    c.input_components = components;
    c.in_color_space = components == 1 ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&c);
    c.dct_method = dct;
    jpeg_start_compress(&c, TRUE);
    while (c.next_scanline < height) {
        JSAMPROW rows[1] = {const_cast<JSAMPLE*>(samples.data()) +
                            size_t(c.next_scanline) * width * components};
        jpeg_write_scanlines(&c, rows, 1);
    }
    jpeg_finish_compress(&c);
    const Bytes bytes(mem, mem + size);
    jpeg_destroy_compress(&c);
    std::free(mem);
    return bytes;
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
