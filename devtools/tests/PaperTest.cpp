// Paper textures: the generator draws the same seamless grain every time,
// within the grain range; the compiler refuses what would not tile; the
// built file holds the four papers, written beside the goldens to look at.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "FileIO/gCMemFile.h"
#include "FileIO/gCResourceIndex.h"
#include "devtools/rc/PosixFile.h"
#include "devtools/rc/kinds/PaperGrain.h"
#include "devtools/tests/CompilerRun.h"
#include "imaging/ImNav.h"
#include "imaging/Image.h"
#include "imaging/Image8.h"
#include "imaging/ImageIO.h"

namespace {

// The largest difference between neighbours inside the picture (across
// and down) and across its wrap.
struct Steps {
    int inside = 0;
    int wrap = 0;
};

Steps NeighbourSteps(const std::vector<uint8_t>& g, int32_t size) {
    Steps s;
    auto at = [&](int32_t x, int32_t y) { return int(g[size_t(y) * size_t(size) + size_t(x)]); };
    for (int32_t y = 0; y < size; ++y) {
        for (int32_t x = 0; x < size; ++x) {
            const int across = std::abs(at(x, y) - at((x + 1) % size, y));
            const int down = std::abs(at(x, y) - at(x, (y + 1) % size));
            (x + 1 < size ? s.inside : s.wrap) = std::max(x + 1 < size ? s.inside : s.wrap, across);
            (y + 1 < size ? s.inside : s.wrap) = std::max(y + 1 < size ? s.inside : s.wrap, down);
        }
    }
    return s;
}

struct PaperCase {
    const char* name;
    PaperRecipe recipe;
};

void PrintTo(const PaperCase& c, std::ostream* os) {
    *os << c.name;
}

class Papers : public ::testing::TestWithParam<PaperCase> {};

TEST_P(Papers, AreTheSameEveryTimeSeamlessAndInRange) {
    const PaperRecipe& recipe = GetParam().recipe;
    const std::vector<uint8_t> first = DrawPaper(recipe);
    ASSERT_EQ(first.size(), size_t(recipe.size) * size_t(recipe.size));
    EXPECT_EQ(DrawPaper(recipe), first);
    const auto [lowest, highest] = std::minmax_element(first.begin(), first.end());
    EXPECT_GE(*lowest, kPaperLowestGrain);
    EXPECT_LE(*highest, kPaperHighestGrain);
    EXPECT_LT(*lowest, *highest) << "a grain at all";

    const Steps steps = NeighbourSteps(first, recipe.size);
    EXPECT_LE(steps.wrap, steps.inside);

    PaperRecipe other = recipe;
    other.seed ^= 1;
    if (recipe.pattern != EPaperPattern::kWeave) {
        EXPECT_NE(DrawPaper(other), first) << "the seed matters";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Generator, Papers,
    ::testing::Values(PaperCase{"ColdPress", {EPaperPattern::kColdPress, 128, 8, 80}},
                      PaperCase{"Laid", {EPaperPattern::kLaid, 128, 4, 81}},
                      PaperCase{"Weave", {EPaperPattern::kWeave, 96, 16, 82}},
                      PaperCase{"HotPress", {EPaperPattern::kHotPress, 64, 4, 83}},
                      PaperCase{"OddPeriod", {EPaperPattern::kColdPress, 75, 5, 7}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PaperPatterns, HaveTheirSourceNames) {
    EPaperPattern p = EPaperPattern::kColdPress;
    EXPECT_TRUE(PaperPatternByName("weave", p));
    EXPECT_EQ(p, EPaperPattern::kWeave);
    EXPECT_TRUE(PaperPatternByName("hot-press", p));
    EXPECT_EQ(p, EPaperPattern::kHotPress);
    EXPECT_FALSE(PaperPatternByName("Weave", p));
    EXPECT_FALSE(PaperPatternByName("", p));
}

struct PaperRefusal {
    const char* name;
    const char* entry; // the keys after kind, id and name
    int line;
};

void PrintTo(const PaperRefusal& r, std::ostream* os) {
    *os << r.name;
}

class RefusedPaper : public CompilerTest, public ::testing::WithParamInterface<PaperRefusal> {};

TEST_P(RefusedPaper, NamesTheFileAndLine) {
    const std::string yaml = std::string("blocks:\n"
                                         "  - kind: paper\n"
                                         "    id: 80\n"
                                         "    name: p\n") +
                             GetParam().entry;
    const CompilerResult r = Compile("bad", yaml);
    EXPECT_NE(r.exitCode, 0);
    EXPECT_NE(r.output.find("source.yaml:" + std::to_string(GetParam().line) + ":"),
              std::string::npos)
        << r.output;
    EXPECT_FALSE(std::filesystem::exists(Posix("bad/out/system.vrf")));
}

INSTANTIATE_TEST_SUITE_P(
    Compiler, RefusedPaper,
    ::testing::Values(
        PaperRefusal{"UnknownPattern",
                     "    pattern: rough\n    size: 64\n    period: 8\n    seed: 1\n", 5},
        PaperRefusal{"SizeTooSmall",
                     "    pattern: laid\n    size: 63\n    period: 3\n    seed: 1\n", 6},
        PaperRefusal{"SizeTooLarge",
                     "    pattern: laid\n    size: 1025\n    period: 5\n    seed: 1\n", 6},
        PaperRefusal{"PeriodNotDividing",
                     "    pattern: weave\n    size: 512\n    period: 7\n    seed: 1\n", 7},
        PaperRefusal{"MissingSeed", "    pattern: weave\n    size: 512\n    period: 8\n", 2}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CompilerTest, PaperIsAGreyImageTheLoaderReadsBack) {
    const CompilerResult r = Compile("src", "blocks:\n"
                                            "  - {kind: paper, id: 81, name: laid, pattern: laid, "
                                            "size: 64, period: 4, seed: 9}\n");
    ASSERT_EQ(r.exitCode, 0) << r.output;
    gCFile file;
    OpenOutput(file, "src", "system.vrf");
    gCResourceIndex index;
    ASSERT_EQ(index.SetupIndex(&file), eNoError);
    CImage image;
    ASSERT_EQ(image.GetFromRes(81, &file, &index), eNoError);
    const std::vector<uint8_t> grain = DrawPaper({EPaperPattern::kLaid, 64, 4, 9});
    CImNav view(&image);
    ASSERT_EQ(view.GetWidth(), 64);
    for (int32_t y = 0; y < 64; ++y) {
        for (int32_t x = 0; x < 64; ++x) {
            ASSERT_EQ(uint32_t(view.Row(y)[x]),
                      0xFF000000u | grain[size_t(y) * 64 + size_t(x)] * 0x010101u);
        }
    }
}

// The four papers of the built file, each written as a grey PNG under the
// build folder to look at.
TEST(BuiltResources, HoldTheFourPapers) {
    gCFile vrf;
    gCResourceIndex index;
    ASSERT_EQ(OpenPosixFile(vrf, DAUBLIN_RESOURCE_DIR "/system.vrf", eAccessReadOnly), eNoError);
    ASSERT_EQ(index.SetupIndex(&vrf), eNoError);
    const std::filesystem::path out = std::filesystem::path(DAUBLIN_GOLDEN_OUTPUT);
    std::filesystem::create_directories(out);
    for (int32_t id = 80; id <= 83; ++id) {
        SCOPED_TRACE(id);
        CImage paper;
        ASSERT_EQ(paper.GetFromRes(id, &vrf, &index), eNoError);
        ASSERT_EQ(paper.GetWidth(), 512);
        ASSERT_EQ(paper.GetHeight(), 512);
        CImNav view(&paper);
        CImage8 grey(512, 512);
        CImNav8 greyView(&grey);
        std::vector<uint8_t> grain;
        for (int32_t y = 0; y < 512; ++y) {
            for (int32_t x = 0; x < 512; ++x) {
                const uint32_t p = view.Row(y)[x];
                const uint8_t red = uint8_t(p >> 16);
                ASSERT_EQ(p, 0xFF000000u | red * 0x010101u);
                ASSERT_GE(red, kPaperLowestGrain);
                ASSERT_LE(red, kPaperHighestGrain);
                greyView.Row(y)[x] = red;
                grain.push_back(red);
            }
        }
        const Steps steps = NeighbourSteps(grain, 512);
        EXPECT_LE(steps.wrap, steps.inside);
        gCMemFile mem;
        ASSERT_EQ(gCImageIO::WriteImage(mem, grey, gCImageIO::kPNG), eNoError);
        std::ofstream png(out / ("paper" + std::to_string(id) + ".png"), std::ios::binary);
        png.write(reinterpret_cast<const char*>(mem.GetMemBlock()->GetData()),
                  std::streamsize(mem.GetSize()));
    }
}

} // namespace
