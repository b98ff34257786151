#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

#include "FileIO/gCFRef.h"
#include "FileIO/gCFRelative.h"
#include "imaging/ImageIO.h"
#include "imaging/PngIO.h"
#include "imaging/Stretcher.h"
#include "imaging/tests/BmpBytes.h"
#include "imaging/tests/CodecStreams.h"
#include "imaging/tests/TestImages.h"
#include "testsupport/FileIO/TempVolume.h"
#include "testsupport/foundation/ChildProcess.h"
#include "testsupport/foundation/FakeAppServices.h"

using namespace codectest;
using testimg::Load;

namespace {

// A small opaque picture, exact through every format but JPEG.
struct Picture : CImage {
    Picture() : CImage(5, 4) { Fill(*this); }
    static void Fill(CImage& image);
};

void Picture::Fill(CImage& image) {
    std::mt19937 rng(11);
    std::vector<uint32_t> px(20);
    for (auto& p : px) {
        p = 0xFF000000u | (rng() & 0xFFFFFF);
    }
    testimg::Store(image, px);
}

Bytes Encoded(CImage& image, uint32_t type) {
    CRecordingStream out;
    EXPECT_EQ(gCImageIO::WriteImage(out, image, type), eNoError);
    return out.Written();
}

uint32_t TypeOf(const Bytes& bytes) {
    CBytesIn in(bytes);
    return gCImageIO::GetImageType(in.Stream());
}

TEST(ImageSniffing, EachFormatByItsFirstBytes) {
    Picture image;
    EXPECT_EQ(TypeOf(Encoded(image, gCImageIO::kPNG)), gCImageIO::kPNG);
    EXPECT_EQ(TypeOf(Encoded(image, gCImageIO::kJPEG)), gCImageIO::kJPEG);
    EXPECT_EQ(TypeOf(Encoded(image, gCImageIO::kBMP)), gCImageIO::kBMP);
    EXPECT_EQ(TypeOf({'G', 'I', 'F', '8', '9', 'a', 0, 0, 0, 0, 0}), gCImageIO::kNoImage);
    EXPECT_EQ(TypeOf({}), gCImageIO::kNoImage);
}

TEST(ImageSniffing, PngIsFoundAtAnyPositionAndWinsOverWhatFollows) {
    Picture image;
    Bytes bytes = {0xFF, 0xD8, 'B', 'M', 1, 2, 3};
    Append(bytes, Encoded(image, gCImageIO::kPNG));
    CBytesIn in(bytes);
    ASSERT_EQ(in.Stream().SetFilePos(7), eNoError);
    EXPECT_EQ(gCImageIO::GetImageType(in.Stream()), gCImageIO::kPNG);
    EXPECT_EQ(in.Stream().GetFilePos(), 7);
    CImage back;
    ASSERT_EQ(gCImageIO::ReadImage(in.Stream(), back), eNoError);
    EXPECT_EQ(Load(back), Load(image));

    // The signature followed by JPEG bytes is still a PNG.
    Bytes signature = Encoded(image, gCImageIO::kPNG);
    signature.resize(8);
    Append(signature, {0xFF, 0xD8, 0xFF, 0xE0});
    EXPECT_EQ(TypeOf(signature), gCImageIO::kPNG);
}

TEST(ImageSniffing, SevenBytesAreNeverPng) {
    Picture image;
    Bytes seven = Encoded(image, gCImageIO::kPNG);
    seven.resize(7);
    EXPECT_EQ(TypeOf(seven), gCImageIO::kNoImage);
}

TEST(ImageSniffing, DamagedJpegIsJpegAndFailsWithOne) {
    const Bytes damaged = {0xFF, 0xD8, 0x13, 0x57, 0x9B, 0xDF, 0x02, 0x46, 0x8A, 0xCE, 0x11, 0x22};
    EXPECT_EQ(TypeOf(damaged), gCImageIO::kJPEG);
    CBytesIn in(damaged);
    CImage image;
    EXPECT_EQ(gCImageIO::ReadImage(in.Stream(), image), eGenericFailure);
}

TEST(ImageFacade, NoImageIsBadParameterAndShowsNothing) {
    CFakeAppServices app;
    CBytesIn in({'n', 'o', 't', ' ', 'a', 'n', ' ', 'i', 'm', 'a', 'g', 'e'});
    CImage image;
    EXPECT_EQ(gCImageIO::ReadImage(in.Stream(), image), eBadParameter);
    EXPECT_TRUE(app.m_Alerts.empty());
}

TEST(ImageFacade, ExplicitNullCodecIsBadParameter) {
    Picture image;
    CBytesIn in(Encoded(image, gCImageIO::kPNG));
    CImage image32;
    CImage8 image8;
    EXPECT_EQ(gCImageIO::ReadImage(in.Stream(), image32, nullptr), eBadParameter);
    EXPECT_EQ(gCImageIO::ReadImage(in.Stream(), image8, nullptr), eBadParameter);
}

TEST(ImageFacade, BadWriteTypesAreRefusedBeforeWriting) {
    Picture image;
    CImage8 image8(4, 4);
    for (uint32_t type : {0u, 1u, 2u, 6u, 22u, 0xFFFFFFFFu}) {
        CRecordingStream out;
        EXPECT_EQ(gCImageIO::WriteImage(out, image, type), eCreateFailed) << type;
        EXPECT_EQ(gCImageIO::WriteImage(out, image8, type), eCreateFailed) << type;
        EXPECT_TRUE(out.Written().empty());
        CMemBlock block;
        EXPECT_EQ(gCImageIO::WriteImage(block, image, type), eCreateFailed) << type;
        EXPECT_EQ(block.GetCount(), 0u);
    }
}

TEST(ImageFacade, MemoryBlockRoundTripInEveryFormat) {
    Picture image;
    for (uint32_t type : {gCImageIO::kBMP, gCImageIO::kPNG, gCImageIO::kJPEG}) {
        CMemBlock block;
        ASSERT_EQ(gCImageIO::WriteImage(block, image, type), eNoError) << type;
        EXPECT_EQ(gCImageIO::GetImageType(block), type);
        CImage back;
        ASSERT_EQ(gCImageIO::ReadImage(block, back), eNoError) << type;
        EXPECT_EQ(back.GetWidth(), 5);
        EXPECT_EQ(back.GetHeight(), 4);
        if (type != gCImageIO::kJPEG) {
            EXPECT_EQ(Load(back), Load(image)) << type;
        }
    }
}

// What an image holds, to see that a failed read left it alone.
struct Held {
    int32_t width, height, compressed;
    std::vector<uint32_t> pixels;
    bool operator==(const Held&) const = default;
};

template <class Image> Held HeldBy(Image& image) {
    Held held{image.GetWidth(), image.GetHeight(), image.IsCompressed(), {}};
    if (image.IsCompressed()) {
        // Looked at through a copy, so that the image stays compressed.
        Image copy(image.GetWidth(), image.GetHeight());
        EXPECT_EQ(CStretcher::Blit(&copy, &image), eNoError);
        held.pixels = testimg::Load(copy);
    } else {
        held.pixels = testimg::Load(image);
    }
    return held;
}

// The images a read goes into: a small picture, and a flat one kept
// compressed.
template <class Image> void Prepare(Image& small, Image& flat) {
    ASSERT_EQ(small.Create(7, 5), eNoError);
    std::mt19937 rng(3);
    testimg::Store(small, testimg::RandomPixels(rng, 35));
    ASSERT_EQ(flat.Create(40, 40), eNoError);
    testimg::Store(flat, std::vector<uint32_t>(1600, 0xFF336699u));
    ASSERT_EQ(flat.Compress(), eNoError);
    ASSERT_TRUE(flat.IsCompressed());
}

// Reads that fail part way, after the codec has learnt the size: a cut
// file, or a disk that fails after the first 4,096 bytes.
struct FailedRead {
    const char* name;
    uint32_t type;
    bool cut; // else the reads fail
};

void PrintTo(const FailedRead& c, std::ostream* os) {
    *os << c.name;
}

class FailedReads : public ::testing::TestWithParam<FailedRead> {
protected:
    // A 200 x 160 picture in the case's format, far longer than 4,096 bytes.
    static Bytes File(uint32_t type) {
        CImage picture(200, 160);
        std::mt19937 rng(8);
        testimg::Store(picture, testimg::RandomPixels(rng, 200 * 160));
        return Encoded(picture, type);
    }
    template <class Image> void ReadFails(Image& image) {
        const FailedRead& c = GetParam();
        Bytes bytes = File(c.type);
        ASSERT_GT(bytes.size(), 8192u);
        if (c.cut) {
            bytes.resize(bytes.size() / 2);
        }
        CFaultyIn in(bytes, c.cut ? int64_t(bytes.size()) : 4096);
        ASSERT_TRUE(in.IsFilled());
        const Held before = HeldBy(image);
        EXPECT_NE(gCImageIO::ReadImage(in, image), eNoError);
        EXPECT_TRUE(HeldBy(image) == before) << "the image was changed";
    }
    CFakeAppServices app; // the BMP codec shows its failures
};

TEST_P(FailedReads, LeaveTheImageAsItWas) {
    CImage small, flat;
    Prepare(small, flat);
    ReadFails(small);
    ReadFails(flat);
    CImage8 small8, flat8;
    Prepare(small8, flat8);
    ReadFails(small8);
    ReadFails(flat8);
}

INSTANTIATE_TEST_SUITE_P(Formats, FailedReads,
                         ::testing::Values(FailedRead{"CutPng", gCImageIO::kPNG, true},
                                           FailedRead{"CutBmp", gCImageIO::kBMP, true},
                                           FailedRead{"PngOnAFailingDisk", gCImageIO::kPNG, false},
                                           FailedRead{"BmpOnAFailingDisk", gCImageIO::kBMP, false},
                                           FailedRead{"JpegOnAFailingDisk", gCImageIO::kJPEG,
                                                      false}),
                         [](const auto& info) { return std::string(info.param.name); });

// The whole read hands the pixels over: also into a compressed image of the
// same size, which then holds them uncompressed.
TEST(ImageFacade, ReadReplacesACompressedImage) {
    CImage picture(40, 40);
    std::mt19937 rng(12);
    testimg::Store(picture, testimg::RandomPixels(rng, 1600));
    const Bytes file = Encoded(picture, gCImageIO::kPNG);
    CImage small, flat;
    Prepare(small, flat);
    flat.SetOrigin(gCPoint(3, 4));
    CBytesIn in(file);
    ASSERT_EQ(gCImageIO::ReadImage(in.Stream(), flat), eNoError);
    EXPECT_FALSE(flat.IsCompressed());
    EXPECT_EQ(testimg::Load(flat), Load(picture));
    EXPECT_EQ(flat.GetOrigin(), gCPoint(3, 4)) << "the image keeps its own origin";
}

// A stream that cannot be put back where the test began cannot be read
// from there: it is no image.
TEST(ImageSniffing, AStreamThatCannotSeekIsNoImage) {
    Picture image;
    for (uint32_t type : {gCImageIO::kPNG, gCImageIO::kJPEG, gCImageIO::kBMP}) {
        CFaultyIn in(Encoded(image, type), INT64_MAX, false);
        ASSERT_TRUE(in.IsFilled());
        EXPECT_EQ(gCImageIO::GetImageType(in), gCImageIO::kNoImage) << type;
    }
}

class ImageFiles : public TempVolume {
protected:
    Bytes FileBytes(const std::string& relative) {
        std::ifstream in(Posix(relative), std::ios::binary);
        return Bytes(std::istreambuf_iterator<char>(in), {});
    }
    CFakeAppServices app;
};

TEST_F(ImageFiles, WrittenByPathReadByReferenceAndRelativePath) {
    app.m_ApplicationRoot = "HD:App:";
    MakeFolder("App/Pictures");
    Picture image;
    ASSERT_EQ(gCImageIO::WriteImage(S("HD:App:Pictures:p.png"), image, gCImageIO::kPNG), eNoError);
    gCFRef ref(S("HD:App:Pictures:p.png"));
    CImage a, b;
    ASSERT_EQ(gCImageIO::ReadImage(ref, a), eNoError);
    ASSERT_EQ(gCImageIO::ReadImage(S("Pictures:p.png"), b), eNoError);
    EXPECT_EQ(Load(a), Load(image));
    EXPECT_EQ(Load(b), Load(image));
}

TEST_F(ImageFiles, BadTypeLeavesAnExistingFileAndCreatesNone) {
    MakeFile("old.png", "previous");
    Picture image;
    gCFRef existing(S("HD:old.png"));
    gCFRef missing(S("HD:new.png"));
    EXPECT_EQ(gCImageIO::WriteImage(existing, image, 2), eCreateFailed);
    EXPECT_EQ(gCImageIO::WriteImage(missing, image, 0), eCreateFailed);
    EXPECT_EQ(FileBytes("old.png"), (Bytes{'p', 'r', 'e', 'v', 'i', 'o', 'u', 's'}));
    EXPECT_FALSE(std::filesystem::exists(Posix("new.png")));
}

TEST_F(ImageFiles, ImageWithoutPixelsLeavesTheFileAlone) {
    MakeFile("old.bmp", "previous");
    CImage empty;
    gCFRef ref(S("HD:old.bmp"));
    EXPECT_EQ(gCImageIO::WriteImage(ref, empty, gCImageIO::kBMP), eOutOfMemory);
    EXPECT_EQ(FileBytes("old.bmp").size(), 8u);
}

// An export onto a full disk: a child process limited to 1,024-byte files
// writes a picture that does not fit. The failure is reported and the
// previous file survives byte for byte.
TEST_F(ImageFiles, FullDiskOnExportIsReportedAndKeepsThePreviousFile) {
    const std::string previous(3000, 'p');
    MakeFile("export.bmp", previous);
    const SChildEnd end = RunInChild(
        [] {
            CImage image(64, 64);
            const error e = gCImageIO::WriteImage(S("HD:export.bmp"), image, gCImageIO::kBMP);
            return e == eFileReadWriteError ? 0 : 10 + int(e);
        },
        SChildLimits().FileBytes(1024));
    EXPECT_EQ(end, ChildExited(0));
    EXPECT_EQ(FileBytes("export.bmp"), Bytes(previous.begin(), previous.end()));
    EXPECT_EQ(FolderEntries(), 1);
}

TEST_F(ImageFiles, MissingFileAndInvalidReference) {
    CImage image;
    gCFRef missing(S("HD:none.png"));
    EXPECT_NE(gCImageIO::ReadImage(missing, image), eNoError);
    gCFRef invalid;
    EXPECT_EQ(gCImageIO::ReadImage(invalid, image), eBadParameter);
    EXPECT_EQ(gCImageIO::WriteImage(invalid, image, gCImageIO::kPNG), eBadParameter);
}

} // namespace
