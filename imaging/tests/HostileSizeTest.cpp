// Tiny files whose headers claim huge pictures. Each is refused with its
// code (and the BMP reader's message) before an image is made for it, or,
// for run-length data that may legitimately skip most of a picture, costs
// only the pages its runs fill: the peak resident memory of a child process
// that reads it grows by less than 16 MB.

#include <gtest/gtest.h>

#include <zlib.h>

#include <algorithm>
#include <fstream>
#include <string>

#include "foundation/gCMemory.h"
#include "imaging/ImageIO.h"
#include "imaging/tests/BmpBytes.h"
#include "imaging/tests/CodecStreams.h"
#include "imaging/tests/JpegBytes.h"
#include "imaging/tests/PngBytes.h"
#include "imaging/tests/TestImages.h"
#include "testsupport/foundation/ChildProcess.h"
#include "testsupport/foundation/FakeAppServices.h"

using namespace codectest;

namespace {

const char* const kRowCut = "Error reading BMP file - pixel row read cut off before end of row.";
const char* const kEnded = "Corrupt BMP - file ended before all image data read.";

// The address sanitizer poisons the whole shadow of a block it frees (an
// eighth of its size), so a lazily filled image costs resident memory when
// it goes: there, only files refused before any image have their peak
// checked.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kFreeTouchesShadow = true;
#else
constexpr bool kFreeTouchesShadow = false;
#endif

constexpr int32_t kClaimed = 20000;
constexpr int64_t kMostGrowthKB = 16 * 1024;

struct HostileFile {
    const char* name;
    Bytes bytes;
    error code;
    const char* message;   // the BMP reader's alert; nullptr: none shown
    bool beforeAllocating; // refused before any image is made for it
};
void PrintTo(const HostileFile& c, std::ostream* os) {
    *os << c.name;
}

Bytes RunLengthBmp(uint16_t bits, Bytes data) {
    BmpLayout s;
    s.width = kClaimed;
    s.height = kClaimed;
    s.bits = bits;
    s.compression = bits == 8 ? 1 : 2;
    s.colorsUsed = 4;
    s.palette = {0x000000, 0x0000FF, 0x00FF00, 0xFF0000};
    s.pixels = std::move(data);
    return MakeBmp(s);
}

Bytes ClaimingJpeg(bool progressive) {
    JpegLayout s;
    s.width = 16;
    s.height = 16;
    s.space = progressive ? JCS_RGB : JCS_GRAYSCALE;
    s.progressive = progressive;
    s.samples.assign(size_t(16) * 16 * (progressive ? 3 : 1), 100);
    Bytes file = LibjpegEncode(s);
    PatchJpegSides(file, 30000, 30000);
    return file;
}

std::vector<HostileFile> HostileFiles() {
    std::vector<HostileFile> files;
    BmpLayout rows24;
    rows24.width = kClaimed;
    rows24.height = kClaimed;
    rows24.pixels = Bytes(300, 0x55);
    files.push_back({"Bmp24", MakeBmp(rows24), eGenericFailure, kRowCut, true});
    BmpLayout rows1 = rows24;
    rows1.bits = 1;
    rows1.palette = {0x000000, 0xFFFFFF};
    files.push_back({"Bmp1", MakeBmp(rows1), eGenericFailure, kRowCut, true});

    // Runs on two rows, then the data ends without its end of bitmap.
    files.push_back(
        {"Rle8Cut", RunLengthBmp(8, {200, 1, 0, 0, 3, 2}), eGenericFailure, kEnded, false});
    // Runs, a delta far into the picture, more runs, an early end of bitmap.
    files.push_back({"Rle4EndsEarly", RunLengthBmp(4, {200, 0x12, 0, 2, 10, 100, 6, 0x21, 0, 1}),
                     eNoError, nullptr, false});
    // Hundreds of empty rows, each a 2-byte end of line.
    Bytes lines;
    for (int i = 0; i < 900; ++i) {
        Append(lines, {0, 0});
    }
    Append(lines, {0, 1});
    files.push_back({"Rle8EndsOfLine", RunLengthBmp(8, lines), eNoError, nullptr, false});

    Bytes png = Signature();
    Append(png, Ihdr(kClaimed, kClaimed));
    Bytes idat(64, 0);
    uLongf size = uLongf(idat.size());
    const Bytes zeros(200, 0);
    EXPECT_EQ(compress(idat.data(), &size, zeros.data(), uLong(zeros.size())), Z_OK);
    idat.resize(size);
    Append(png, Chunk("IDAT", idat));
    Append(png, Chunk("IEND", {}));
    files.push_back({"PngOneShortIdat", png, eFileReadWriteError, nullptr, true});

    files.push_back({"JpegBaseline", ClaimingJpeg(false), eInvalidFile, nullptr, true});
    files.push_back({"JpegProgressive", ClaimingJpeg(true), eInvalidFile, nullptr, true});
    for (const HostileFile& f : files) {
        EXPECT_LT(f.bytes.size(), 2048u) << f.name;
    }
    return files;
}

// The process's peak resident memory so far, in kB; -1 when unknown.
int64_t PeakResidentKB() {
    std::ifstream in("/proc/self/status");
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind("VmHWM:", 0) == 0) {
            return std::stoll(line.substr(6));
        }
    }
    return -1;
}

size_t g_nLargest = 0;
// Records the largest request and refuses anything image-sized, so that a
// read that would allocate for the claimed size fails at once.
void* RecordingAlloc(size_t size) {
    g_nLargest = std::max(g_nLargest, size);
    return size > (size_t(64) << 20) ? nullptr : gCMemory::MallocProc(size);
}

class HostileSizes : public ::testing::TestWithParam<HostileFile> {
protected:
    template <class Image> error Read(Image& image) {
        CBytesIn in(GetParam().bytes);
        return gCImageIO::ReadImage(in.Stream(), image);
    }
    CFakeAppServices app;
};

TEST_P(HostileSizes, RefusedWithItsCodeAndMessage) {
    const HostileFile& f = GetParam();
    CImage image(3, 3);
    testimg::Store(image, std::vector<uint32_t>(9, 0x12345678u));
    ASSERT_EQ(Read(image), f.code);
    if (f.code != eNoError) {
        EXPECT_EQ(image.GetWidth(), 3) << "a refused read leaves the image as it was";
        EXPECT_EQ(testimg::Load(image), std::vector<uint32_t>(9, 0x12345678u));
    } else {
        EXPECT_EQ(image.GetWidth(), kClaimed);
    }
    if (f.message) {
        ASSERT_EQ(app.m_Alerts.size(), 1u);
        const std::string& text = app.m_Alerts[0].text;
        EXPECT_EQ(text.substr(text.size() - std::min(text.size(), std::strlen(f.message))),
                  f.message);
    } else {
        EXPECT_TRUE(app.m_Alerts.empty());
    }
}

// The files refused on their headers' word alone.
std::vector<HostileFile> HostileHeaders() {
    std::vector<HostileFile> files = HostileFiles();
    std::erase_if(files, [](const HostileFile& f) { return !f.beforeAllocating; });
    return files;
}

class RefusedOnHeaders : public HostileSizes {};

TEST_P(RefusedOnHeaders, NothingImageSizedIsAskedFor) {
    const HostileFile& f = GetParam();
    g_nLargest = 0;
    gCMemory::m_pAllocProc = RecordingAlloc;
    CImage image;
    CImage8 image8;
    const error e = Read(image), e8 = Read(image8);
    gCMemory::ResetProcs();
    EXPECT_EQ(e, f.code);
    EXPECT_EQ(e8, f.code);
    EXPECT_LT(g_nLargest, size_t(1) << 20);
}

// Measured in a child, whose peak starts at what it shares with the test.
TEST_P(HostileSizes, PeakMemoryGrowsByLessThan16MB) {
    const HostileFile& f = GetParam();
    const SChildEnd end = RunInChild([&f] {
        CFakeAppServices quiet;
        const int64_t before = PeakResidentKB();
        CBytesIn in(f.bytes);
        CImage image;
        const error e = gCImageIO::ReadImage(in.Stream(), image);
        const int64_t growth = PeakResidentKB() - before;
        if (before < 0) {
            return 3;
        }
        if (e != f.code) {
            return 2;
        }
        const bool measured = f.beforeAllocating || !kFreeTouchesShadow;
        return growth < kMostGrowthKB || !measured ? 0 : 1;
    });
    EXPECT_EQ(end, ChildExited(0)) << "1: too much memory, 2: another result, 3: no peak";
}

INSTANTIATE_TEST_SUITE_P(Claims, HostileSizes, ::testing::ValuesIn(HostileFiles()),
                         [](const auto& info) { return std::string(info.param.name); });
INSTANTIATE_TEST_SUITE_P(Claims, RefusedOnHeaders, ::testing::ValuesIn(HostileHeaders()),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
