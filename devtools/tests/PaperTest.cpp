// Paper textures: the generator draws the same seamless grain every time,
// within the grain range; the compiler refuses what would not tile; the
// built file holds the four papers, written beside the goldens to look at.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
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

// The mean absolute difference across each seam between neighbouring
// columns (seam x lies between x and x + 1, the last one across the wrap),
// or between neighbouring rows.
std::vector<double> SeamSteps(const std::vector<uint8_t>& g, int32_t size, bool columns) {
    std::vector<double> seams(size_t(size), 0.0);
    for (int32_t a = 0; a < size; ++a) {
        for (int32_t b = 0; b < size; ++b) {
            const int32_t x = columns ? a : b, y = columns ? b : a;
            const int32_t x1 = columns ? (x + 1) % size : x, y1 = columns ? y : (y + 1) % size;
            seams[size_t(a)] += std::abs(int(g[size_t(y) * size_t(size) + size_t(x)]) -
                                         int(g[size_t(y1) * size_t(size) + size_t(x1)]));
        }
        seams[size_t(a)] /= size;
    }
    return seams;
}

double Mean(const std::vector<uint8_t>& g) {
    double sum = 0.0;
    for (const uint8_t v : g) {
        sum += v;
    }
    return sum / double(g.size());
}

// The correlation of the grain with itself moved by (dx, dy), wrapping.
double Correlation(const std::vector<uint8_t>& g, int32_t size, int32_t dx, int32_t dy) {
    const double mean = Mean(g);
    double variance = 0.0, covariance = 0.0;
    for (int32_t y = 0; y < size; ++y) {
        for (int32_t x = 0; x < size; ++x) {
            const double a = g[size_t(y) * size_t(size) + size_t(x)] - mean;
            const double b =
                g[size_t((y + dy) % size) * size_t(size) + size_t((x + dx) % size)] - mean;
            variance += a * a;
            covariance += a * b;
        }
    }
    return covariance / variance;
}

// The power of the grain's Fourier component of (kx, ky) whole waves across
// the picture.
double Power(const std::vector<uint8_t>& g, int32_t size, int32_t kx, int32_t ky) {
    constexpr double kTwoPi = 6.283185307179586;
    const double mean = Mean(g);
    double re = 0.0, im = 0.0;
    for (int32_t y = 0; y < size; ++y) {
        for (int32_t x = 0; x < size; ++x) {
            const int64_t phase = ((int64_t(kx) * x + int64_t(ky) * y) % size + size) % size;
            const double angle = kTwoPi * double(phase) / size;
            const double v = g[size_t(y) * size_t(size) + size_t(x)] - mean;
            re += v * std::cos(angle);
            im += v * std::sin(angle);
        }
    }
    return re * re + im * im;
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

// Seamless: the steps across the wrap are like those across the seams
// inside at the same place in the pattern's period (within a fifth of their
// range, as one seam among a few dozen may well be the smoothest), not
// merely no larger than the largest step anywhere.
TEST_P(Papers, WrapLooksLikeTheInside) {
    const PaperRecipe& recipe = GetParam().recipe;
    const std::vector<uint8_t> grain = DrawPaper(recipe);
    for (const bool columns : {true, false}) {
        SCOPED_TRACE(columns ? "columns" : "rows");
        const std::vector<double> seams = SeamSteps(grain, recipe.size, columns);
        const double wrap = seams.back();
        std::vector<double> alike;
        for (int32_t at = recipe.period - 1; at + 1 < recipe.size; at += recipe.period) {
            alike.push_back(seams[size_t(at)]);
        }
        ASSERT_GE(alike.size(), 4u);
        const auto [lowest, highest] = std::minmax_element(alike.begin(), alike.end());
        EXPECT_GE(wrap, 0.8 * *lowest);
        EXPECT_LE(wrap, 1.25 * *highest);
    }
}

// No repeat inside the picture: moved by half or a quarter of its side
// either way, the grain is not itself again.
TEST_P(Papers, DoesNotRepeatInsideThePicture) {
    const PaperRecipe& recipe = GetParam().recipe;
    const std::vector<uint8_t> grain = DrawPaper(recipe);
    for (const int32_t shift : {recipe.size / 2, recipe.size / 4}) {
        EXPECT_LT(Correlation(grain, recipe.size, shift, 0), 0.75) << "across by " << shift;
        EXPECT_LT(Correlation(grain, recipe.size, 0, shift), 0.75) << "down by " << shift;
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

// The tooth of cold-press and hot-press paper has no lattice: at the
// frequency of any period from 4 to 32 pixels, the waves along the rows and
// columns carry no more than waves of that frequency in other directions
// (a grid of tooth puts hundreds of times more there).
TEST(PaperTooth, HasNoLattice) {
    const PaperRecipe recipes[] = {{EPaperPattern::kColdPress, 256, 8, 0x5EED0080u},
                                   {EPaperPattern::kHotPress, 256, 4, 0x5EED0083u}};
    constexpr double kPi = 3.141592653589793;
    for (const PaperRecipe& recipe : recipes) {
        const std::vector<uint8_t> grain = DrawPaper(recipe);
        for (const int32_t period : {4, 8, 16, 32}) {
            SCOPED_TRACE("pattern " + std::to_string(int(recipe.pattern)) + ", period " +
                         std::to_string(period));
            const int32_t k = recipe.size / period;
            const double axes =
                0.5 * (Power(grain, recipe.size, k, 0) + Power(grain, recipe.size, 0, k));
            double around = 0.0;
            int32_t directions = 0;
            for (int32_t step = 1; step < 24; ++step) {
                if (step == 12) {
                    continue; // the column axis
                }
                const double angle = step * kPi / 24.0;
                around += Power(grain, recipe.size, int32_t(std::lround(k * std::cos(angle))),
                                int32_t(std::lround(k * std::sin(angle))));
                ++directions;
            }
            EXPECT_LT(axes, 6.0 * around / directions);
        }
    }
}

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
