// The golden-picture helper, run on folders of its own: the source tree and
// the build's goldens folder are never touched.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <random>
#include <string>

#include "imaging/ImNav.h"
#include "imaging/Image.h"
#include "testsupport/imaging/Goldens.h"

namespace {

namespace fs = std::filesystem;

std::vector<uint32_t> Words(CImage& image) {
    std::vector<uint32_t> px;
    CImNav view(&image);
    for (int32_t y = 0; y < view.GetHeight(); ++y) {
        px.insert(px.end(), view.Row(y), view.Row(y) + view.GetWidth());
    }
    return px;
}

void SetWord(CImage& image, int32_t x, int32_t y, uint32_t word) {
    CImNav view(&image);
    view.Row(y)[x] = word;
}

// Any word at all, a quarter of them transparent with colour bits left.
void FillRandom(CImage& image, uint32_t seed) {
    std::mt19937 rng(seed);
    CImNav view(&image);
    for (int32_t y = 0; y < view.GetHeight(); ++y) {
        for (int32_t x = 0; x < view.GetWidth(); ++x) {
            const uint32_t word = rng();
            view.Row(y)[x] = rng() % 4 == 0 ? word & 0x00FFFFFFu : word;
        }
    }
}

class Goldens : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/daublin-goldens-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        m_Root = pattern;
        m_Folders = {m_Root / "data", m_Root / "output"};
        fs::create_directories(m_Folders.data);
        // The outcome must not depend on the environment the tests run in.
        if (const char* update = std::getenv("UPDATE_GOLDENS")) {
            m_SavedUpdate = update;
        }
        ::unsetenv("UPDATE_GOLDENS");
        FillRandom(m_Picture, 5);
    }
    void TearDown() override {
        if (m_SavedUpdate) {
            ::setenv("UPDATE_GOLDENS", m_SavedUpdate->c_str(), 1);
        } else {
            ::unsetenv("UPDATE_GOLDENS");
        }
        std::error_code ec;
        fs::remove_all(m_Root, ec);
    }

    fs::path Data(const std::string& file) const { return m_Folders.data / file; }
    fs::path Output(const std::string& file) const { return m_Folders.output / file; }
    std::vector<uint32_t> ReadBack(const fs::path& file) {
        CImage image;
        EXPECT_TRUE(ReadPicturePng(file, image)) << file;
        return Words(image);
    }

    fs::path m_Root;
    SGoldenFolders m_Folders;
    std::optional<std::string> m_SavedUpdate;
    CImage m_Picture{13, 7};
};

TEST_F(Goldens, PngFilesKeepEveryWord) {
    ASSERT_TRUE(WritePicturePng(m_Picture, Data("deep/er/picture.png")));
    EXPECT_EQ(ReadBack(Data("deep/er/picture.png")), Words(m_Picture));

    CImage empty, image;
    EXPECT_FALSE(WritePicturePng(empty, Data("empty.png")));
    std::ofstream(Data("text.png")) << "not a picture";
    EXPECT_FALSE(ReadPicturePng(Data("text.png"), image));
    EXPECT_FALSE(ReadPicturePng(Data("missing.png"), image));
}

TEST_F(Goldens, EqualPictureMatchesAndClearsOldFailureFiles) {
    ASSERT_TRUE(WritePicturePng(m_Picture, Data("panel.png")));
    ASSERT_TRUE(WritePicturePng(m_Picture, Output("panel.actual.png")));
    ASSERT_TRUE(WritePicturePng(m_Picture, Output("panel.diff.png")));
    EXPECT_TRUE(MatchesGoldenPng(m_Picture, "panel", m_Folders));
    EXPECT_FALSE(fs::exists(Output("panel.actual.png")));
    EXPECT_FALSE(fs::exists(Output("panel.diff.png")));
}

TEST_F(Goldens, OneChangedPixelFailsAndLeavesTheActualAndTheDifference) {
    ASSERT_TRUE(WritePicturePng(m_Picture, Data("panel.png")));
    const uint32_t was = Words(m_Picture)[2 * 13 + 3];
    SetWord(m_Picture, 3, 2, was ^ 0x00000100u);

    const ::testing::AssertionResult result = MatchesGoldenPng(m_Picture, "panel", m_Folders);
    ASSERT_FALSE(result);
    const std::string message = result.message();
    char pixel[80];
    std::snprintf(pixel, sizeof pixel, "(3, 2): golden 0x%08X, actual 0x%08X", was,
                  was ^ 0x00000100u);
    for (const std::string& part :
         {Data("panel.png").string(), std::string("1 of 91 pixels"), std::string(pixel),
          Output("panel.actual.png").string(), Output("panel.diff.png").string()}) {
        EXPECT_NE(message.find(part), std::string::npos) << part << " in\n" << message;
    }
    EXPECT_EQ(ReadBack(Output("panel.actual.png")), Words(m_Picture));
    const std::vector<uint32_t> diff = ReadBack(Output("panel.diff.png"));
    ASSERT_EQ(diff.size(), 91u);
    for (size_t i = 0; i < diff.size(); ++i) {
        EXPECT_EQ(diff[i] == 0xFFFF0000u, i == 2 * 13 + 3) << i;
    }
}

TEST_F(Goldens, OtherSizeOrNoGoldenFailsWithTheActualOnly) {
    CImage other(7, 13);
    ASSERT_TRUE(WritePicturePng(other, Data("panel.png")));
    std::ofstream(Data("damaged.png")) << "\x89PNG damaged";
    struct Case {
        const char* name;
        const char* says;
    };
    for (const Case& c :
         {Case{"panel", "the golden is 7 x 13, the picture 13 x 7"},
          Case{"missing", "there is no golden yet"}, Case{"damaged", "does not read as a PNG"}}) {
        const ::testing::AssertionResult result = MatchesGoldenPng(m_Picture, c.name, m_Folders);
        EXPECT_FALSE(result) << c.name;
        EXPECT_NE(std::string(result.message()).find(c.says), std::string::npos)
            << result.message();
        EXPECT_EQ(ReadBack(Output(c.name + std::string(".actual.png"))), Words(m_Picture));
        EXPECT_FALSE(fs::exists(Output(c.name + std::string(".diff.png"))));
    }
    CImage empty;
    EXPECT_FALSE(MatchesGoldenPng(empty, "panel", m_Folders));
}

TEST_F(Goldens, UpdateRewritesTheGoldenAndPasses) {
    CImage old(13, 7);
    ASSERT_TRUE(WritePicturePng(old, Data("panel.png")));
    ::setenv("UPDATE_GOLDENS", "1", 1);
    EXPECT_TRUE(MatchesGoldenPng(m_Picture, "panel", m_Folders));
    EXPECT_TRUE(MatchesGoldenPng(m_Picture, "new", m_Folders)) << "a first golden is made";
    ::unsetenv("UPDATE_GOLDENS");
    EXPECT_EQ(ReadBack(Data("panel.png")), Words(m_Picture));
    EXPECT_TRUE(MatchesGoldenPng(m_Picture, "panel", m_Folders));
    EXPECT_TRUE(MatchesGoldenPng(m_Picture, "new", m_Folders));
    EXPECT_FALSE(fs::exists(Output("panel.actual.png")));
}

// The words' bytes with the sides in front, as zlib's crc32 (and any other
// CRC-32) gives them: 02 00 00 00 01 00 00 00 44 33 22 11 DD CC BB AA.
TEST(PictureCrc, CoversTheSidesAndTheWordsInLittleEndianOrder) {
    CImage wide(2, 1), tall(1, 2), empty;
    SetWord(wide, 0, 0, 0x11223344u);
    SetWord(wide, 1, 0, 0xAABBCCDDu);
    SetWord(tall, 0, 0, 0x11223344u);
    SetWord(tall, 0, 1, 0xAABBCCDDu);
    EXPECT_EQ(PictureCrc(wide), 0xAEBF786Bu);
    EXPECT_EQ(PictureCrc(tall), 0xF0E91E69u);
    EXPECT_EQ(PictureCrc(empty), 0x6522DF69u);
}

TEST_F(Goldens, CrcTableMatchesAndEveryPictureIsWritten) {
    CImage second(4, 4);
    FillRandom(second, 9);
    const std::vector<SGoldenCrc> table = {{"second", PictureCrc(second)},
                                           {"first", PictureCrc(m_Picture)}};
    EXPECT_TRUE(
        MatchesGoldenCrcs({{"first", m_Picture}, {"second", second}}, table, m_Folders.output));
    EXPECT_EQ(ReadBack(Output("first.png")), Words(m_Picture));
    EXPECT_EQ(ReadBack(Output("second.png")), Words(second));
}

TEST_F(Goldens, CrcMismatchShowsTheNewRowsToPaste) {
    CImage second(4, 4);
    FillRandom(second, 9);
    const uint32_t crc = PictureCrc(m_Picture);
    char row[64], secondRow[64];
    std::snprintf(row, sizeof row, "{\"first\", 0x%08Xu},", crc);
    std::snprintf(secondRow, sizeof secondRow, "{\"second\", 0x%08Xu},", PictureCrc(second));
    const std::vector<SGoldenCrc> table = {{"first", crc ^ 1u}, {"gone", 7u}};

    const ::testing::AssertionResult result =
        MatchesGoldenCrcs({{"first", m_Picture}, {"second", second}}, table, m_Folders.output);
    ASSERT_FALSE(result);
    const std::string message = result.message();
    for (const std::string& part :
         {std::string(row), std::string(secondRow), Output("first.png").string(),
          std::string("second: not in the table"), std::string("gone: in the table")}) {
        EXPECT_NE(message.find(part), std::string::npos) << part << " in\n" << message;
    }
    EXPECT_EQ(message.find("{\"gone\""), std::string::npos) << "no row for a picture gone";

    ::setenv("UPDATE_GOLDENS", "1", 1);
    ::testing::internal::CaptureStdout();
    EXPECT_TRUE(
        MatchesGoldenCrcs({{"first", m_Picture}, {"second", second}}, table, m_Folders.output));
    const std::string printed = ::testing::internal::GetCapturedStdout();
    EXPECT_NE(printed.find(row), std::string::npos) << printed;
    EXPECT_NE(printed.find(secondRow), std::string::npos) << printed;

    CImage empty;
    EXPECT_FALSE(
        MatchesGoldenCrcs({{"empty", empty}}, {{"empty", PictureCrc(empty)}}, m_Folders.output))
        << "a picture without pixels never passes, not even when updating";
}

// A test target is compiled with its own module's folders.
TEST(GoldenFolders, AreTheTestTargetsOwn) {
    const SGoldenFolders folders = DAUBLIN_GOLDEN_FOLDERS;
    EXPECT_EQ(folders.data.filename(), "data");
    EXPECT_EQ(folders.data.parent_path().parent_path().filename(), "testsupport");
    EXPECT_EQ(folders.output.filename(), "testsupport_tests");
    EXPECT_EQ(folders.output.parent_path().filename(), "goldens");
}

} // namespace
