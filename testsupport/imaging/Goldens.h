#pragma once
// Golden pictures: what a whole drawing should look like, reviewed by eye
// once and then kept. Two forms:
//
// - Small images are kept as PNG files in the module's test data folder
//   (<module>/tests/data/<name>.png) and compared word for word. On a
//   mismatch the actual image and a difference picture are written under
//   the build folder, their paths and the first differing pixels are shown,
//   and the check fails.
// - Larger pictures are kept as CRC-32 values in a table in the test
//   (PictureCrc). Every run writes each picture as a PNG under the build
//   folder for a person to look at; a mismatch shows the new values as table
//   rows to paste into the test, and fails.
//
// With UPDATE_GOLDENS=1 in the environment a mismatch instead rewrites the
// golden PNG (in the source tree) or prints the new table, and passes.
//
// Every test target that links testsupport_imaging, directly or through a
// later layer's support, is compiled with its own folders: DAUBLIN_TEST_DATA,
// the tests/data folder of the module whose CMakeLists.txt made the target,
// and DAUBLIN_GOLDEN_OUTPUT, <build>/goldens/<target>. EXPECT_GOLDEN_PNG and
// EXPECT_GOLDEN_CRCS use them; the functions take any folders.

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "imaging/Image.h"

struct SGoldenFolders {
    std::filesystem::path data;   // the kept golden files
    std::filesystem::path output; // what each run writes for a person
};

// Compares image with <data>/<name>.png. A mismatch leaves
// <output>/<name>.actual.png and, for equal sizes, <output>/<name>.diff.png:
// the golden in faint grey with every differing pixel opaque red. A match
// removes both.
::testing::AssertionResult MatchesGoldenPng(CImage& image, const std::string& name,
                                            const SGoldenFolders& folders);

struct SGoldenCrc {
    std::string name;
    uint32_t crc;
};

struct SNamedPicture {
    std::string name;
    CImage& image;
};

// The zlib CRC-32 of the width and the height as 32-bit little-endian
// words, followed by every pixel word in little-endian byte order, rows top
// to bottom. An image without pixels has none.
uint32_t PictureCrc(CImage& image);

// Writes every picture as <output>/<name>.png, then checks that the table
// has exactly their names, each with its picture's CRC.
::testing::AssertionResult MatchesGoldenCrcs(const std::vector<SNamedPicture>& pictures,
                                             const std::vector<SGoldenCrc>& table,
                                             const std::filesystem::path& output);

// A picture as an 8-bit RGBA PNG file and back, exact for every word
// (colour bits under alpha 0 included). Writing creates the folders; both
// fail for an image without pixels or a file that will not open or decode.
bool WritePicturePng(CImage& image, const std::filesystem::path& file);
bool ReadPicturePng(const std::filesystem::path& file, CImage& image);

#if defined(DAUBLIN_TEST_DATA) && defined(DAUBLIN_GOLDEN_OUTPUT)
#define DAUBLIN_GOLDEN_FOLDERS (SGoldenFolders{DAUBLIN_TEST_DATA, DAUBLIN_GOLDEN_OUTPUT})
// EXPECT_GOLDEN_PNG(image, "rounded-panel")
#define EXPECT_GOLDEN_PNG(image, name)                                                             \
    EXPECT_TRUE(MatchesGoldenPng((image), (name), DAUBLIN_GOLDEN_FOLDERS))
// EXPECT_GOLDEN_CRCS(kCanvasCrcs, {"canvas", canvas}, {"layer", layer})
#define EXPECT_GOLDEN_CRCS(table, ...)                                                             \
    EXPECT_TRUE(MatchesGoldenCrcs({__VA_ARGS__}, (table), DAUBLIN_GOLDEN_OUTPUT))
#endif
