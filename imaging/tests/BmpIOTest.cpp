#include <gtest/gtest.h>

#include <random>
#include <string>

#include "imaging/BmpIO.h"
#include "imaging/ImageIO.h"
#include "imaging/tests/BmpBytes.h"
#include "imaging/tests/CodecStreams.h"
#include "imaging/tests/TestImages.h"
#include "testsupport/foundation/FakeAppServices.h"

using namespace codectest;
using testimg::Load;
using testimg::Load8;

namespace {

const char* const kRowCut = "Error reading BMP file - pixel row read cut off before end of row.";
const char* const kEnded = "Corrupt BMP - file ended before all image data read.";
const char* const kOverflow = "Corrupt BMP - read overflow.";
const char* const kUnsupported = "This BMP format not supported.";
const char* const kNotBmp = "This file is not a valid BMP image file.";
const char* const kHeaderCut = "Unexpected end of file (header was unable to be fully read).";
const char* const kHeaderSize = "BMP header size is invalid";

class BmpTest : public ::testing::Test {
protected:
    // Reads through the facade's explicit-codec form, from the position.
    template <class Image> error Read(const Bytes& bytes, Image& image) {
        CBytesIn in(bytes);
        gCBmpIO codec;
        return gCImageIO::ReadImage(in.Stream(), image, &codec);
    }
    std::string LastAlert() const {
        return app.m_Alerts.empty() ? std::string() : app.m_Alerts.back().text;
    }
    CFakeAppServices app;
};

std::vector<uint32_t> Opaque(std::vector<uint32_t> px) {
    for (auto& p : px) {
        p |= 0xFF000000u;
    }
    return px;
}

// A 5 x 3 8-bit picture over a 4-entry palette, with its expected pixels.
BmpLayout EightBitLayout(std::vector<uint32_t>& expected) {
    const std::vector<uint32_t> palette = {0x102030, 0xFFFFFF, 0x00FF00, 0x808080};
    std::vector<uint8_t> idx;
    expected.clear();
    for (int i = 0; i < 15; ++i) {
        idx.push_back(uint8_t((i * 7) % 4));
        expected.push_back(0xFF000000u | palette[idx.back()]);
    }
    BmpLayout s;
    s.width = 5;
    s.height = 3;
    s.bits = 8;
    s.colorsUsed = 4;
    s.palette = palette;
    s.pixels = PackedRows(idx, 5, 3, 8);
    return s;
}

TEST_F(BmpTest, LongWindowsHeaderReadsLikeTheShortOne) {
    std::vector<uint32_t> expected;
    BmpLayout layout = EightBitLayout(expected);
    for (uint32_t size : {40u, 108u, 124u}) {
        layout.headerSize = size;
        CImage image;
        ASSERT_EQ(Read(MakeBmp(layout), image), eNoError) << size;
        EXPECT_EQ(Load(image), expected) << size;
    }
    EXPECT_TRUE(app.m_Alerts.empty());
}

TEST_F(BmpTest, TopDownAndBottomUpGiveTheSameImage) {
    std::mt19937 rng(7);
    const int32_t w = 7, h = 5; // 21 bytes a row: 3 bytes of padding
    const std::vector<uint32_t> px = testimg::RandomPixels(rng, size_t(w) * h);
    BmpLayout up;
    up.width = w;
    up.height = h;
    up.pixels = Rows24(px, w, h, false);
    BmpLayout down = up;
    down.height = -h;
    down.pixels = Rows24(px, w, h, true);
    CImage a, b;
    ASSERT_EQ(Read(MakeBmp(up), a), eNoError);
    ASSERT_EQ(Read(MakeBmp(down), b), eNoError);
    EXPECT_EQ(Load(a), Opaque(px));
    EXPECT_EQ(Load(b), Opaque(px));
}

TEST_F(BmpTest, Os2HeaderWithThreeBytePalette) {
    BmpLayout s;
    s.headerSize = 12;
    s.width = 10;
    s.height = 2;
    s.bits = 1;
    s.palette = {0x000000, 0xFFEEDD};
    s.pixels = {0xA5, 0x40, 0, 0, 0xFF, 0xC0, 0, 0}; // bottom row first
    CImage image;
    ASSERT_EQ(Read(MakeBmp(s), image), eNoError);
    const uint32_t k = 0xFF000000u, w = 0xFFFFEEDDu;
    const std::vector<uint32_t> expected = {w, w, w, w, w, w, w, w, w, w,
                                            w, k, w, k, k, w, k, w, k, w};
    EXPECT_EQ(Load(image), expected);
}

struct DepthCase {
    int bits;
};
void PrintTo(const DepthCase& c, std::ostream* os) {
    *os << c.bits << "bit";
}

class BmpDepthTest : public BmpTest, public ::testing::WithParamInterface<DepthCase> {};

// Palette rows of every accepted depth into both image kinds, at a width
// that leaves part of a byte and padding at each row's end.
TEST_P(BmpDepthTest, PaletteRowsIntoBothDepths) {
    const int bits = GetParam().bits;
    const int32_t w = 13, h = 3;
    std::mt19937 rng{uint32_t(bits)};
    std::vector<uint32_t> palette(size_t(1) << bits);
    for (auto& c : palette) {
        c = rng() & 0xFFFFFF;
    }
    std::vector<uint8_t> idx(size_t(w) * h);
    std::vector<uint32_t> colours, greys;
    for (auto& i : idx) {
        i = uint8_t(rng() % palette.size());
        const uint32_t c = palette[i];
        colours.push_back(0xFF000000u | c);
        greys.push_back((((c >> 16) & 255) + ((c >> 8) & 255) + (c & 255)) / 3);
    }
    BmpLayout s;
    s.width = w;
    s.height = h;
    s.bits = uint16_t(bits);
    s.palette = palette;
    s.pixels = PackedRows(idx, w, h, bits);
    CImage image;
    CImage8 image8;
    ASSERT_EQ(Read(MakeBmp(s), image), eNoError);
    ASSERT_EQ(Read(MakeBmp(s), image8), eNoError);
    EXPECT_EQ(Load(image), colours);
    EXPECT_EQ(Load8(image8), greys);
}

INSTANTIATE_TEST_SUITE_P(Depths, BmpDepthTest,
                         ::testing::Values(DepthCase{1}, DepthCase{4}, DepthCase{8}));

TEST_F(BmpTest, IndexesBeyondThePaletteTakeEntryZero) {
    BmpLayout s;
    s.width = 4;
    s.height = 1;
    s.bits = 8;
    s.colorsUsed = 2;
    s.palette = {0x112233, 0x445566};
    s.pixels = {1, 2, 200, 255};
    CImage image;
    ASSERT_EQ(Read(MakeBmp(s), image), eNoError);
    EXPECT_EQ(Load(image),
              (std::vector<uint32_t>{0xFF445566u, 0xFF112233u, 0xFF112233u, 0xFF112233u}));
}

TEST_F(BmpTest, Image8RoundTripAndGreyIntoImage) {
    std::mt19937 rng(3);
    CImage8 source(9, 4);
    std::vector<uint32_t> bytes(36);
    for (auto& b : bytes) {
        b = rng() & 255;
    }
    testimg::Store8(source, bytes);
    CRecordingStream out;
    gCBmpIO writer;
    ASSERT_EQ(writer.WriteImage(out, source), eNoError);
    ASSERT_EQ(out.Written().size(), 1078u + 12u * 4u);

    CImage8 back;
    ASSERT_EQ(Read(out.Written(), back), eNoError);
    EXPECT_EQ(Load8(back), bytes);
    CImage colour;
    ASSERT_EQ(Read(out.Written(), colour), eNoError);
    std::vector<uint32_t> greys;
    for (uint32_t b : bytes) {
        greys.push_back(0xFF000000u | b * 0x010101u);
    }
    EXPECT_EQ(Load(colour), greys);
}

TEST_F(BmpTest, ImageWrittenAt24BitsReadsBackOpaque) {
    std::mt19937 rng(5);
    CImage source(6, 3);
    const std::vector<uint32_t> px = testimg::RandomPixels(rng, 18);
    testimg::Store(source, px);
    CRecordingStream out;
    gCBmpIO writer;
    ASSERT_EQ(writer.WriteImage(out, source), eNoError);
    EXPECT_EQ(out.Written().size(), 54u + 20u * 3u);
    CImage back;
    ASSERT_EQ(Read(out.Written(), back), eNoError);
    EXPECT_EQ(Load(back), Opaque(px));
}

// With an explicit codec there is no sniffing: a BMP after other data is
// read from the position, its data offset counted from its own first byte.
TEST_F(BmpTest, ExplicitCodecReadsFromThePosition) {
    std::vector<uint32_t> expected;
    Bytes bytes = {1, 2, 3, 4, 5, 6, 7};
    Append(bytes, MakeBmp(EightBitLayout(expected)));
    CBytesIn in(bytes);
    ASSERT_EQ(in.Stream().SetFilePos(7), eNoError);
    gCBmpIO codec;
    CImage image;
    ASSERT_EQ(gCImageIO::ReadImage(in.Stream(), image, &codec), eNoError);
    EXPECT_EQ(Load(image), expected);
}

TEST_F(BmpTest, RefusedWritesAreReported) {
    CImage image(40, 20);
    CImage8 image8(40, 20);
    for (int64_t limit : {0, 30, 54 + 120 * 7}) {
        CRecordingStream out(limit), out8(limit);
        gCBmpIO writer;
        EXPECT_EQ(writer.WriteImage(out, image), eFileReadWriteError) << limit;
        EXPECT_EQ(writer.WriteImage(out8, image8), eFileReadWriteError) << limit;
    }
}

TEST_F(BmpTest, ImageWithoutPixelsIsNotWritten) {
    CImage empty;
    CRecordingStream out;
    gCBmpIO writer;
    EXPECT_EQ(writer.WriteImage(out, empty), eOutOfMemory);
    EXPECT_TRUE(out.Written().empty());
}

// A run-length file over the palette {entry0, blue, green, red}.
BmpLayout RunLengthLayout(int32_t width, int32_t height, uint16_t bits, uint32_t entry0,
                          Bytes data) {
    BmpLayout s;
    s.width = width;
    s.height = height;
    s.bits = bits;
    s.compression = bits == 8 ? 1 : 2;
    s.colorsUsed = 4;
    s.palette = {entry0, 0x0000FF, 0x00FF00, 0xFF0000};
    s.pixels = std::move(data);
    return s;
}

// Run-length data: encoded and absolute runs, a delta that leaves a row
// part-filled, and an end of bitmap in the middle of a row. Every decoded
// run reaches the image; pixels the data skips are never written and stay
// 0 (transparent), whatever palette entry 0 is.
TEST_F(BmpTest, RunLength8Rows) {
    const BmpLayout s =
        RunLengthLayout(6, 4, 8, 0x000010,
                        {
                            3, 1, 0, 3, 2, 3, 1, 0, // bottom row: 1 1 1 2 3 1, absolute run padded
                            0, 0,                   // end of line
                            2, 2, 0, 2, 1, 1,       // row 1: 2 2, then delta right 1, up 1
                            2, 3,                   // row 2 from x 3: 3 3
                            0, 0,                   // end of line
                            1, 1, 0, 1,             // row 3: 1, then end of bitmap
                        });
    const uint32_t z = 0, b = 0xFF0000FFu, g = 0xFF00FF00u, r = 0xFFFF0000u;
    CImage image;
    ASSERT_EQ(Read(MakeBmp(s), image), eNoError);
    const std::vector<uint32_t> expected = {
        b, z, z, z, z, z, // top row: cut short by the end of bitmap
        z, z, z, r, r, z, // entered by the delta
        g, g, z, z, z, z, // left by the delta
        b, b, b, g, r, b, // bottom row
    };
    EXPECT_EQ(Load(image), expected);
    CImage8 image8;
    ASSERT_EQ(Read(MakeBmp(s), image8), eNoError);
    const uint32_t b8 = 0xFF / 3, g8 = 0xFF / 3, r8 = 0xFF / 3;
    EXPECT_EQ(Load8(image8), (std::vector<uint32_t>{b8, 0,  0,  0,  0,  0, //
                                                    0,  0,  0,  r8, r8, 0, //
                                                    g8, g8, 0,  0,  0,  0, //
                                                    b8, b8, b8, g8, r8, b8}));
    EXPECT_TRUE(app.m_Alerts.empty());
}

TEST_F(BmpTest, RunLength4Rows) {
    const BmpLayout s =
        RunLengthLayout(7, 2, 4, 0x000000,
                        {
                            5, 0x12, 0, 0,             // bottom row: 1 2 1 2 1, then end of line
                            0, 5, 0x32, 0x10, 0x30, 0, // absolute run 3 2 1 0 3, one pad byte
                            2, 0x21, 0, 1,             // 2 1, end of bitmap
                        });
    const uint32_t k = 0xFF000000u, b = 0xFF0000FFu, g = 0xFF00FF00u, r = 0xFFFF0000u;
    CImage image;
    ASSERT_EQ(Read(MakeBmp(s), image), eNoError);
    const std::vector<uint32_t> expected = {r, g, b, k, r, g, b, //
                                            b, g, b, g, b, 0, 0};
    EXPECT_EQ(Load(image), expected);
}

// Files that must fail with 1 and one message, without reading outside any
// buffer (the sanitizer build watches).
struct BadCase {
    const char* name;
    Bytes bytes;
    const char* message;
};
void PrintTo(const BadCase& c, std::ostream* os) {
    *os << c.name;
}

Bytes Patch32(Bytes b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        b[at + i] = uint8_t(v >> (8 * i));
    }
    return b;
}

Bytes Cut(Bytes b, size_t keep) {
    b.resize(keep);
    return b;
}

std::vector<BadCase> BadCases() {
    std::vector<uint32_t> expected;
    const BmpLayout eight = EightBitLayout(expected);
    const Bytes good = MakeBmp(eight);
    std::vector<BadCase> cases;
    auto with = [&](const char* name, auto change, const char* message) {
        BmpLayout s = eight;
        change(s);
        cases.push_back({name, MakeBmp(s), message});
    };
    cases.push_back({"EmptyStream", {}, kHeaderCut});
    cases.push_back({"FileHeaderCut", Cut(good, 10), kHeaderCut});
    cases.push_back({"InfoHeaderCut", Cut(good, 30), kHeaderCut});
    Bytes notBmp = good;
    notBmp[1] = 'X';
    cases.push_back({"NotBM", notBmp, kNotBmp});
    with(
        "HeaderSize20", [](BmpLayout& s) { s.headerSize = 20; }, kHeaderSize);
    cases.push_back({"HeaderSizeHuge", Patch32(good, 14, 0xFFFFFFF0u), kHeaderCut});
    with(
        "Bits16", [](BmpLayout& s) { s.bits = 16; }, kUnsupported);
    with(
        "Bits32", [](BmpLayout& s) { s.bits = 32; }, kUnsupported);
    with(
        "Bits2", [](BmpLayout& s) { s.bits = 2; }, kUnsupported);
    with(
        "BitFields", [](BmpLayout& s) { s.compression = 3; }, kUnsupported);
    with(
        "RLE4At8Bits", [](BmpLayout& s) { s.compression = 2; }, kUnsupported);
    with(
        "HugeWidth", [](BmpLayout& s) { s.width = 100000; }, kNotBmp);
    with(
        "NegativeWidth", [](BmpLayout& s) { s.width = -5; }, kNotBmp);
    with(
        "HugeHeight", [](BmpLayout& s) { s.height = 40000; }, kNotBmp);
    with(
        "MostNegativeHeight", [](BmpLayout& s) { s.height = INT32_MIN; }, kNotBmp);
    with(
        "ZeroHeight", [](BmpLayout& s) { s.height = 0; }, kNotBmp);
    with(
        "OffsetPointsBackwards", [](BmpLayout& s) { s.dataOffset = 10; }, kNotBmp);
    with(
        "OffsetIntoPalette", [](BmpLayout& s) { s.dataOffset = 54 + 8; }, kNotBmp);
    cases.push_back({"OffsetBeyondEnd", Patch32(good, 10, 1u << 30), kRowCut});
    // Capped at 256 entries, all there; the rows are not.
    with(
        "HugePalette",
        [](BmpLayout& s) {
            s.colorsUsed = 0x7FFFFFFF;
            s.dataOffset = 54 + 1024;
            s.pixels.clear();
        },
        kRowCut);
    cases.push_back({"PaletteCut", Cut(good, 54 + 10), kRowCut});
    cases.push_back({"LastRowCut", Cut(good, good.size() - 5), kRowCut});
    with(
        "Rows24Cut",
        [](BmpLayout& s) {
            s.bits = 24;
            s.palette.clear();
            s.colorsUsed = 0;
            s.pixels = Bytes(16 * 2 + 7, 0x55);
        },
        kRowCut);
    auto rle = [&](const char* name, Bytes data, const char* message) {
        with(
            name,
            [&](BmpLayout& s) {
                s.compression = 1;
                s.pixels = data;
            },
            message);
    };
    rle("RLE8WithoutEndEscape", {2, 1, 0, 0, 5, 2, 0, 0}, kEnded);
    rle("RLE8EmptyData", {}, kEnded);
    rle("RLE8AbsoluteCut", {0, 5, 1, 2}, kEnded);
    rle("RLE8DeltaCut", {0, 2, 1}, kEnded);
    rle("RLE8RunPastRow", {4, 1, 2, 1, 0, 1}, kOverflow);
    rle("RLE8AbsolutePastRow", {0, 6, 1, 1, 1, 1, 1, 1, 0, 1}, kOverflow);
    rle("RLE8EndOfLineBeyondRows", {0, 0, 0, 0, 0, 0, 0, 0, 0, 1}, kOverflow);
    rle("RLE8DeltaBeyondRows", {0, 2, 0, 200, 1, 1, 0, 1}, kOverflow);
    return cases;
}

class BmpBadFileTest : public BmpTest, public ::testing::WithParamInterface<BadCase> {};

TEST_P(BmpBadFileTest, FailsWithItsMessage) {
    CImage image;
    EXPECT_EQ(Read(GetParam().bytes, image), eGenericFailure);
    ASSERT_EQ(app.m_Alerts.size(), 1u);
    EXPECT_EQ(app.m_Alerts[0].headline, "Error.");
    const std::string text = LastAlert();
    const std::string message = GetParam().message;
    ASSERT_GE(text.size(), message.size());
    EXPECT_EQ(text.substr(text.size() - message.size()), message);
    CImage8 image8;
    EXPECT_EQ(Read(GetParam().bytes, image8), eGenericFailure);
}

INSTANTIATE_TEST_SUITE_P(Hostile, BmpBadFileTest, ::testing::ValuesIn(BadCases()),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
