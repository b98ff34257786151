#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "foundation/gCMemory.h"
#include "imaging/ImageIO.h"
#include "imaging/PngIO.h"
#include "imaging/detail/PngShared.h"
#include "imaging/tests/CodecStreams.h"
#include "imaging/tests/PngBytes.h"
#include "imaging/tests/TestImages.h"

using namespace codectest;
using testimg::Load;
using testimg::Load8;

namespace {

template <class Image> error ReadPng(const Bytes& bytes, Image& image) {
    CBytesIn in(bytes);
    gCPngIO codec;
    return codec.ReadImage(in.Stream(), image);
}

template <class Image> Bytes WritePngOf(Image& image) {
    CRecordingStream out;
    gCPngIO codec;
    EXPECT_EQ(codec.WriteImage(out, image), eNoError);
    return out.Written();
}

// libpng's grey from colour with its default weights, as 15-bit fixed
// point; equal channels stay exactly as they are.
uint32_t LibpngGrey(uint32_t r, uint32_t g, uint32_t b) {
    return (6968 * r + 23434 * g + 2366 * b) >> 15;
}

TEST(PngRead, PaletteWithTransparencyIntoBothDepths) {
    PngLayout s;
    s.width = 4;
    s.height = 2;
    s.colourType = PNG_COLOR_TYPE_PALETTE;
    s.palette = {{0x10, 0x10, 0x10}, {0xC0, 0xC0, 0xC0}, {0xFF, 0x00, 0x00}, {0x20, 0x90, 0x40}};
    s.trnsAlpha = {0, 128};
    s.rows = {{0, 1, 2, 3}, {3, 2, 1, 0}};
    const Bytes bytes = MakePng(s);

    CImage image;
    ASSERT_EQ(ReadPng(bytes, image), eNoError);
    const uint32_t p0 = 0x00101010u, p1 = 0x80C0C0C0u, p2 = 0xFFFF0000u, p3 = 0xFF209040u;
    EXPECT_EQ(Load(image), (std::vector<uint32_t>{p0, p1, p2, p3, p3, p2, p1, p0}));

    CImage8 grey;
    ASSERT_EQ(ReadPng(bytes, grey), eNoError);
    const std::vector<uint32_t> g = Load8(grey);
    ASSERT_EQ(g.size(), 8u);
    EXPECT_EQ(g[0], 0x10u); // grey entries come through exactly, alpha dropped
    EXPECT_EQ(g[1], 0xC0u);
    EXPECT_NEAR(double(g[2]), double(LibpngGrey(0xFF, 0, 0)), 1.0);
    EXPECT_NEAR(double(g[3]), double(LibpngGrey(0x20, 0x90, 0x40)), 1.0);
    EXPECT_EQ(g[7], 0x10u);
}

TEST(PngRead, SixteenBitGreyWithAlphaTakesTheHighBytes) {
    PngLayout s;
    s.width = 3;
    s.colourType = PNG_COLOR_TYPE_GRAY_ALPHA;
    s.bitDepth = 16;
    s.rows = {{0x12, 0x34, 0xFF, 0xFF, 0xAB, 0xCD, 0x80, 0x01, 0x00, 0xFF, 0x00, 0x00}};
    CImage image;
    ASSERT_EQ(ReadPng(MakePng(s), image), eNoError);
    EXPECT_EQ(Load(image), (std::vector<uint32_t>{0xFF121212u, 0x80ABABABu, 0x00000000u}));
}

TEST(PngRead, BackgroundChunkFlattensOntoItsColour) {
    PngLayout s;
    s.width = 3;
    s.rows = {{0x11, 0x22, 0x33, 0, 0x44, 0x55, 0x66, 255, 0xFF, 0xFF, 0xFF, 128}};
    s.hasBackground = true;
    s.background.red = 0x20;
    s.background.green = 0x40;
    s.background.blue = 0x60;
    CImage image;
    ASSERT_EQ(ReadPng(MakePng(s), image), eNoError);
    const std::vector<uint32_t> px = Load(image);
    EXPECT_EQ(px[0], 0xFF204060u);
    EXPECT_EQ(px[1], 0xFF445566u);
    // Half of white over the background, opaque.
    EXPECT_EQ(px[2] >> 24, 0xFFu);
    EXPECT_NEAR(double((px[2] >> 16) & 255), (255 * 128 + 0x20 * 127) / 255.0, 1.0);
    EXPECT_NEAR(double(px[2] & 255), (255 * 128 + 0x60 * 127) / 255.0, 1.0);

    // Decoded as stored words (a paint layer), the background plays no part.
    std::vector<uint32_t> stored(3);
    const Bytes bytes = MakePng(s);
    ASSERT_EQ(gCPngIO::DecodeInto(bytes.data(), bytes.size(), stored.data(), 3, 1), eNoError);
    EXPECT_EQ(stored, (std::vector<uint32_t>{0x00112233u, 0xFF445566u, 0x80FFFFFFu}));
}

struct FormatCase {
    const char* name;
    PngLayout layout;
    std::vector<uint32_t> expected; // as a CImage
};
void PrintTo(const FormatCase& c, std::ostream* os) {
    *os << c.name;
}

std::vector<FormatCase> FormatCases() {
    std::vector<FormatCase> cases;
    PngLayout g1;
    g1.width = 9;
    g1.colourType = PNG_COLOR_TYPE_GRAY;
    g1.bitDepth = 1;
    g1.rows = {{0xA5, 0x80}};
    const uint32_t w = 0xFFFFFFFFu, k = 0xFF000000u;
    cases.push_back({"Grey1", g1, {w, k, w, k, k, w, k, w, w}});
    PngLayout g4 = g1;
    g4.width = 3;
    g4.bitDepth = 4;
    g4.rows = {{0x1F, 0x80}};
    cases.push_back({"Grey4", g4, {0xFF111111u, w, 0xFF888888u}});
    PngLayout gt = g4;
    gt.bitDepth = 8;
    gt.rows = {{0x10, 0x20, 0x30}};
    gt.hasTrnsColour = true;
    gt.trnsColour.gray = 0x20;
    cases.push_back({"Grey8WithTransparentGrey", gt, {0xFF101010u, 0x00202020u, 0xFF303030u}});
    PngLayout rgb;
    rgb.width = 2;
    rgb.colourType = PNG_COLOR_TYPE_RGB;
    rgb.rows = {{1, 2, 3, 4, 5, 6}};
    cases.push_back({"Rgb8GetsOpaque", rgb, {0xFF010203u, 0xFF040506u}});
    PngLayout rgb16 = rgb;
    rgb16.bitDepth = 16;
    rgb16.rows = {{1, 9, 2, 9, 3, 9, 4, 9, 5, 9, 6, 9}};
    cases.push_back({"Rgb16", rgb16, {0xFF010203u, 0xFF040506u}});
    PngLayout pal2;
    pal2.width = 5;
    pal2.colourType = PNG_COLOR_TYPE_PALETTE;
    pal2.bitDepth = 2;
    pal2.palette = {{1, 1, 1}, {2, 2, 2}, {3, 3, 3}};
    pal2.rows = {{0x1B, 0x40}}; // 0 1 2 3(beyond the palette) 1
    // libpng gives an index beyond the palette black.
    cases.push_back({"Palette2", pal2, {0xFF010101u, 0xFF020202u, 0xFF030303u, k, 0xFF020202u}});
    PngLayout inter;
    inter.width = 9;
    inter.height = 9;
    inter.interlace = PNG_INTERLACE_ADAM7;
    std::vector<uint32_t> expected;
    for (uint32_t y = 0; y < 9; ++y) {
        Bytes row;
        for (uint32_t x = 0; x < 9; ++x) {
            const uint8_t v = uint8_t(y * 9 + x);
            Append(row, {v, uint8_t(255 - v), uint8_t(v * 3), uint8_t(v ^ 0x5A)});
            expected.push_back((uint32_t(v ^ 0x5A) << 24) | (uint32_t(v) << 16) |
                               (uint32_t(255 - v) << 8) | uint8_t(v * 3));
        }
        inter.rows.push_back(row);
    }
    cases.push_back({"InterlacedRgba", inter, expected});
    return cases;
}

class PngFormatTest : public ::testing::TestWithParam<FormatCase> {};

TEST_P(PngFormatTest, DecodesIntoPixelWords) {
    CImage image;
    ASSERT_EQ(ReadPng(MakePng(GetParam().layout), image), eNoError);
    EXPECT_EQ(Load(image), GetParam().expected);
}

TEST_P(PngFormatTest, DecodesFromMemoryAsTheReaderDoes) {
    const Bytes bytes = MakePng(GetParam().layout);
    const std::vector<uint32_t>& expected = GetParam().expected;
    const int32_t width = int32_t(GetParam().layout.width);
    const int32_t height = int32_t(expected.size()) / width;
    std::vector<uint32_t> pixels(expected.size());
    ASSERT_EQ(gCPngIO::DecodeInto(bytes.data(), bytes.size(), pixels.data(), width, height),
              eNoError);
    EXPECT_EQ(pixels, expected);
    // Another size than the file's is refused.
    EXPECT_EQ(gCPngIO::DecodeInto(bytes.data(), bytes.size(), pixels.data(), 1, 1), eInvalidFile);
}

INSTANTIATE_TEST_SUITE_P(Formats, PngFormatTest, ::testing::ValuesIn(FormatCases()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(PngRoundTrip, ImageWordsComeBackExactlyWithTheTextChunks) {
    std::mt19937 rng(21);
    for (const testimg::Size size : testimg::OddSizes()) {
        CImage image(size.width, size.height);
        const std::vector<uint32_t> px =
            testimg::RandomPixels(rng, size_t(size.width) * size.height);
        testimg::Store(image, px);
        const Bytes bytes = WritePngOf(image);
        CImage back;
        ASSERT_EQ(ReadPng(bytes, back), eNoError);
        EXPECT_EQ(Load(back), px) << size.width << "x" << size.height;
    }
    CImage image(3, 2);
    const std::vector<PngText> texts = ReadTexts(WritePngOf(image));
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[0].key, "Title");
    EXPECT_EQ(texts[0].text, "");
    EXPECT_EQ(texts[0].compression, PNG_TEXT_COMPRESSION_NONE);
    EXPECT_EQ(texts[1].key, "Author");
    EXPECT_EQ(texts[1].text, "Quillon Works LTD");
    EXPECT_EQ(texts[1].compression, PNG_TEXT_COMPRESSION_NONE);
    EXPECT_EQ(texts[2].key, "Description");
    EXPECT_EQ(texts[2].text, "Image written with Quillon Works LTD Vantor application toolkit.");
    EXPECT_EQ(texts[2].compression, PNG_TEXT_COMPRESSION_zTXt);
}

// Every row filter, level and strategy a writer may be given makes a PNG
// both readers give back word for word.
TEST(PngRoundTrip, WriteOptionsKeepEveryWord) {
    std::mt19937 rng(23);
    CImage image(29, 17);
    const std::vector<uint32_t> px = testimg::RandomPixels(rng, 29 * 17);
    testimg::Store(image, px);
    for (int32_t filters : {-1, gCPngIO::kFilterNone, gCPngIO::kFilterSub, gCPngIO::kFilterUp,
                            gCPngIO::kFilterAverage, gCPngIO::kFilterPaeth}) {
        for (int32_t level : {-1, 0, 1, 9}) {
            for (int32_t strategy : {-1, gCPngIO::kStrategyFiltered, gCPngIO::kStrategyRle}) {
                SCOPED_TRACE(testing::Message() << filters << " " << level << " " << strategy);
                CRecordingStream out;
                gCPngIO::SWriteOptions options;
                options.filters = filters;
                options.level = level;
                options.strategy = strategy;
                ASSERT_EQ(gCPngIO(options).WriteImage(out, image), eNoError);
                const Bytes bytes = out.Written();
                CImage back;
                ASSERT_EQ(ReadPng(bytes, back), eNoError);
                EXPECT_EQ(Load(back), px);
                std::vector<uint32_t> pixels(px.size());
                ASSERT_EQ(gCPngIO::DecodeInto(bytes.data(), bytes.size(), pixels.data(), 29, 17),
                          eNoError);
                EXPECT_EQ(pixels, px);
            }
        }
    }
}

TEST(PngRoundTrip, Image8BytesComeBackExactly) {
    std::mt19937 rng(22);
    CImage8 image(37, 5);
    std::vector<uint32_t> bytes(37 * 5);
    for (auto& b : bytes) {
        b = rng() & 255;
    }
    testimg::Store8(image, bytes);
    const Bytes file = WritePngOf(image);
    CImage8 back;
    ASSERT_EQ(ReadPng(file, back), eNoError);
    EXPECT_EQ(Load8(back), bytes);
    EXPECT_EQ(ReadTexts(file).size(), 3u);
}

TEST(PngRoundTrip, ReadsFromTheStreamPositionAndLeavesTheRest) {
    CImage image(4, 4);
    testimg::Store(image, std::vector<uint32_t>(16, 0x80123456u));
    CRecordingStream out;
    gCPngIO codec;
    ASSERT_EQ(out.WriteBlock("head", 4), eNoError);
    ASSERT_EQ(codec.WriteImage(out, image), eNoError);
    ASSERT_EQ(codec.WriteImage(out, image), eNoError);
    CBytesIn in(out.Written());
    ASSERT_EQ(in.Stream().SetFilePos(4), eNoError);
    CImage first, second;
    ASSERT_EQ(codec.ReadImage(in.Stream(), first), eNoError);
    ASSERT_EQ(codec.ReadImage(in.Stream(), second), eNoError);
    EXPECT_EQ(Load(second), Load(image));
    EXPECT_TRUE(in.Stream().FileEnd());
}

// Damaged, cut and hostile files: 15, never a read outside the buffers and
// never an allocation for sides beyond the cap.
struct BadPng {
    const char* name;
    Bytes bytes;
};
void PrintTo(const BadPng& c, std::ostream* os) {
    *os << c.name;
}

std::vector<BadPng> BadPngs() {
    CImage image(20, 20);
    std::mt19937 rng(3);
    testimg::Store(image, testimg::RandomPixels(rng, 400));
    const Bytes good = WritePngOf(image);
    std::vector<BadPng> cases;
    for (size_t keep : {size_t(0), size_t(8), size_t(20), size_t(40), good.size() / 2,
                        good.size() - 12, good.size() - 1}) {
        Bytes cut(good.begin(), good.begin() + std::ptrdiff_t(keep));
        cases.push_back({"Cut", cut});
    }
    Bytes crc = good;
    crc[good.size() / 2] ^= 0x40;
    cases.push_back({"DamagedData", crc});
    Bytes sig = good;
    sig[1] = 'Q';
    cases.push_back({"BadSignature", sig});
    for (auto sides : {std::pair<uint32_t, uint32_t>{100000, 10},
                       {10, 40000},
                       {0x7FFFFFFF, 0x7FFFFFFF},
                       {0, 5}}) {
        Bytes hostile = Signature();
        Append(hostile, Ihdr(sides.first, sides.second));
        Append(hostile, Chunk("IDAT", {0x78, 0x9C, 0x03, 0x00}));
        Append(hostile, Chunk("IEND", {}));
        cases.push_back({"HostileSides", hostile});
    }
    Bytes hugeChunk = Signature();
    Append(hugeChunk, Ihdr(2, 2));
    Append(hugeChunk, {0x7F, 0xFF, 0xFF, 0xF0, 't', 'E', 'X', 't', 'a', 0, 'b'});
    cases.push_back({"ChunkLongerThanTheFile", hugeChunk});
    // A text chunk with a bad checksum, then one claiming 1,946,157,140
    // bytes of which 130 follow.
    Bytes afterBadText = Signature();
    Append(afterBadText, Ihdr(20, 20));
    Bytes text = Chunk("tEXt", {'C', 'o', 'm', 'm', 'e', 'n', 't', 0, 'x', 'y'});
    text.back() ^= 0xFF;
    Append(afterBadText, text);
    Append(afterBadText, {0x74, 0x00, 0x00, 0x54, 't', 'E', 'X', 't'});
    Append(afterBadText, Bytes(130, 'y'));
    cases.push_back({"HugeChunkAfterABadChecksum", afterBadText});
    return cases;
}

size_t g_nLargestBlock = 0;
void* RecordingAlloc(size_t size) {
    g_nLargestBlock = std::max(g_nLargestBlock, size);
    return gCMemory::MallocProc(size);
}

class PngBadFileTest : public ::testing::TestWithParam<BadPng> {
protected:
    void SetUp() override {
        g_nLargestBlock = 0;
        gCMemory::m_pAllocProc = RecordingAlloc;
    }
    void TearDown() override { gCMemory::ResetProcs(); }
};

TEST_P(PngBadFileTest, FailsWith15) {
    CImage image;
    EXPECT_EQ(ReadPng(GetParam().bytes, image), eFileReadWriteError);
    EXPECT_LE(int64_t(image.GetWidth()) * image.GetHeight(), 20 * 20);
    CImage8 image8;
    EXPECT_EQ(ReadPng(GetParam().bytes, image8), eFileReadWriteError);
    EXPECT_LE(g_nLargestBlock, size_t(kPngLargestBlock));
    // From memory, into pixels of the good file's size: libpng's blocks
    // come from the hooks there too.
    g_nLargestBlock = 0;
    std::vector<uint32_t> pixels(20 * 20);
    const Bytes& bytes = GetParam().bytes;
    EXPECT_EQ(gCPngIO::DecodeInto(bytes.data(), bytes.size(), pixels.data(), 20, 20),
              eFileReadWriteError);
    EXPECT_LE(g_nLargestBlock, size_t(kPngLargestBlock));
}

void* RefusingAlloc(size_t) {
    return nullptr;
}

// Decoding from memory takes libpng's blocks from the memory hooks: with
// every block refused it cannot start.
TEST(PngDecodeInto, TakesLibpngsBlocksFromTheHooks) {
    CImage image(20, 20);
    std::mt19937 rng(5);
    testimg::Store(image, testimg::RandomPixels(rng, 400));
    const Bytes bytes = WritePngOf(image);
    std::vector<uint32_t> pixels(20 * 20);
    g_nLargestBlock = 0;
    gCMemory::m_pAllocProc = RecordingAlloc;
    EXPECT_EQ(gCPngIO::DecodeInto(bytes.data(), bytes.size(), pixels.data(), 20, 20), eNoError);
    EXPECT_GT(g_nLargestBlock, 0u);
    gCMemory::m_pAllocProc = RefusingAlloc;
    EXPECT_EQ(gCPngIO::DecodeInto(bytes.data(), bytes.size(), pixels.data(), 20, 20), eOutOfMemory);
    gCMemory::ResetProcs();
}

INSTANTIATE_TEST_SUITE_P(Hostile, PngBadFileTest, ::testing::ValuesIn(BadPngs()));

TEST(PngWrite, RefusedWritesAreReported) {
    CImage image(64, 64);
    std::mt19937 rng(9);
    testimg::Store(image, testimg::RandomPixels(rng, 64 * 64));
    const size_t full = WritePngOf(image).size();
    for (int64_t limit :
         {int64_t(0), int64_t(8), int64_t(60), int64_t(full / 2), int64_t(full - 1)}) {
        CRecordingStream out(limit);
        gCPngIO codec;
        EXPECT_EQ(codec.WriteImage(out, image), eFileReadWriteError) << limit;
    }
}

TEST(PngWrite, ImageWithoutPixelsIs5) {
    CImage image;
    CRecordingStream out;
    gCPngIO codec;
    EXPECT_EQ(codec.WriteImage(out, image), eOutOfMemory);
    EXPECT_TRUE(out.Written().empty());
}

} // namespace
