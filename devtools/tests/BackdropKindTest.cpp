// Backdrop blocks in the compiler: a backdrop using every chunk of its own
// compiles, is loaded again by the backdrop's loader and dumps as sources
// that compile to the same bytes; each refusal names its file and line.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "devtools/tests/CompilerRun.h"
#include "imaging/Image.h"
#include "testsupport/imaging/Goldens.h"
#include "testsupport/widgets/WidgetBlockWriter.h"

namespace {

// A gradient, an image, two cursor widgets and a backdrop naming them all.
const char* const kBlocks = R"(blocks:
  - {kind: image, id: 7, name: tile, file: tile.png}
  - kind: gradient
    id: 30
    name: dusk
    stops:
      - {colour: 0xFF102030, position: 0}
      - {colour: 0xFFE0C080, position: 1}
  - {kind: widget, type: cowg, id: 11, name: Arrow, chunks: [{xsiz: 8}, {ysiz: 8}]}
  - {kind: widget, type: imwg, id: 12, name: Cross, chunks: [{imag: tile}]}
  - {kind: widget, type: cowg, id: 13, name: Panel, chunks: [{colr: 0xFF204060}]}
)";

const char* const kBackdrop = R"(  - kind: widget
    type: bkdp
    id: 1
    name: Root
    chunks:
)";

const char* const kEveryChunk = R"(      - colr: 0xFF808080
      - grop: 200
      - grad: dusk
      - gran: 0.125
      - grac: 0
      - grcx: 0.5
      - grcy: 0.25
      - imag: tile
      - curs: "Arrow|0,0"
      - curs: "Cross|-3,4.5"
      - dcur: Cross
      - fscr: 1
      - whsb: 0
      - vsbl: 1
      - hier: [[Panel, cowg]]
)";

std::string FileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

class BackdropSources : public CompilerTest {
protected:
    void SetUp() override {
        CompilerTest::SetUp();
        CImage tile(2, 2);
        ASSERT_TRUE(WritePicturePng(tile, Posix("src/tile.png")));
        ASSERT_TRUE(WritePicturePng(tile, Posix("bad/tile.png")));
    }
};

TEST_F(BackdropSources, EveryChunkCompilesLoadsAndDumpsBackToTheSameBytes) {
    const CompilerResult first = Compile("src", std::string(kBlocks) + kBackdrop + kEveryChunk);
    ASSERT_EQ(first.exitCode, 0) << first.output;
    const CompilerResult dump = RunCompiler({"--source", Posix("src/out/system.vrf")});
    ASSERT_EQ(dump.exitCode, 0) << dump.output;
    EXPECT_NE(dump.output.find("type: \"bkdp\""), std::string::npos) << dump.output;
    EXPECT_NE(dump.output.find("curs: \"Cross|-3,4.5\""), std::string::npos) << dump.output;
    const CompilerResult second = Compile("again", dump.output);
    ASSERT_EQ(second.exitCode, 0) << second.output << dump.output;
    EXPECT_EQ(FileBytes(Posix("again/out/system.vrf")), FileBytes(Posix("src/out/system.vrf")));
}

TEST(BackdropRules, TheBackdropReadsItsOwnChunksThenTheWidgetsNotTheColourWidgets) {
    EXPECT_TRUE(IsWidgetType("bkdp"));
    EXPECT_EQ(WidgetChunkRule("bkdp", "curs"), EChunkRule::Cursor);
    EXPECT_EQ(WidgetChunkRule("bkdp", "dcur"), EChunkRule::CursorRef);
    EXPECT_EQ(WidgetChunkRule("bkdp", "grad"), EChunkRule::Gradient);
    EXPECT_EQ(WidgetChunkRule("bkdp", "imag"), EChunkRule::Image);
    EXPECT_EQ(WidgetChunkRule("bkdp", "xsiz"), EChunkRule::Real);
    EXPECT_EQ(WidgetChunkRule("bkdp", "shad"), EChunkRule::NotTaken);
    EXPECT_EQ(CursorBlockName("Arrow|3,4"), "Arrow");
    EXPECT_EQ(CursorBlockName("Arrow|+3,-4.25"), "Arrow");
    EXPECT_EQ(CursorBlockName("Arrow3,4"), "");
    EXPECT_EQ(CursorBlockName("|3,4"), "");
    EXPECT_EQ(CursorBlockName("Arrow|3"), "");
    EXPECT_EQ(CursorBlockName("Arrow|,4"), "");
    EXPECT_EQ(CursorBlockName("Arrow|3,inf"), "");
    EXPECT_EQ(CursorBlockName("Arrow|3,1e99"), "");
    EXPECT_EQ(CursorBlockName("Arrow|0x10,4"), "");
}

struct BackdropRefusal {
    const char* name;
    const char* chunks; // the backdrop's chunks
    const char* message;
    int line; // of the backdrop's chunks, the first being 1
};

void PrintTo(const BackdropRefusal& r, std::ostream* os) {
    *os << r.name;
}

class RefusedBackdrop : public BackdropSources,
                        public ::testing::WithParamInterface<BackdropRefusal> {};

// kBlocks holds 11 lines, kBackdrop 5 more.
constexpr int kFirstChunkLine = 17;

TEST_P(RefusedBackdrop, NamesTheFileLineAndReason) {
    const BackdropRefusal& r = GetParam();
    const CompilerResult out = Compile("bad", std::string(kBlocks) + kBackdrop + r.chunks);
    EXPECT_NE(out.exitCode, 0);
    const std::string where = "source.yaml:" + std::to_string(kFirstChunkLine - 1 + r.line) + ": ";
    EXPECT_NE(out.output.find(where + r.message), std::string::npos) << where << "\n" << out.output;
    EXPECT_FALSE(std::filesystem::exists(Posix("bad/out/system.vrf")));
}

INSTANTIATE_TEST_SUITE_P(
    Compiler, RefusedBackdrop,
    ::testing::Values(
        BackdropRefusal{"CursorWithoutBar", "      - curs: \"Arrow0,0\"\n",
                        "\"curs\" is \"name|x,y\": a widget block's name and the hot spot", 1},
        BackdropRefusal{"CursorWithoutComma", "      - vsbl: 1\n      - curs: \"Arrow|0\"\n",
                        "\"curs\" is \"name|x,y\": a widget block's name and the hot spot", 2},
        BackdropRefusal{"CursorHotSpotNotANumber", "      - curs: \"Arrow|a,0\"\n",
                        "\"curs\" is \"name|x,y\": a widget block's name and the hot spot", 1},
        BackdropRefusal{"CursorNamingNoWidget", "      - curs: \"dusk|0,0\"\n",
                        "no widget block is named \"dusk\"", 1},
        BackdropRefusal{"DefaultCursorNotACursor",
                        "      - curs: \"Arrow|0,0\"\n      - dcur: Cross\n",
                        "\"dcur\" names \"Cross\", which no \"curs\" names", 2},
        BackdropRefusal{"DefaultCursorEmpty", "      - dcur: \"\"\n", "\"dcur\" takes a block name",
                        1},
        BackdropRefusal{"MissingGradient", "      - grad: dawn\n",
                        "no gradient block is named \"dawn\"", 1},
        BackdropRefusal{"GradientNamingAnImage", "      - grad: tile\n",
                        "no gradient block is named \"tile\"", 1},
        BackdropRefusal{"MissingImage", "      - imag: gone\n", "no image block is named \"gone\"",
                        1},
        BackdropRefusal{"GradientOpacity", "      - grop: 256\n", "\"grop\" is 0 to 255", 1},
        BackdropRefusal{"AngleNotFinite", "      - gran: .inf\n", "\"gran\" takes a finite number",
                        1},
        BackdropRefusal{"ColourWidgetEffect", "      - shad: 1\n",
                        "\"shad\" is not a chunk of 'bkdp' widgets", 1}),
    [](const ::testing::TestParamInfo<BackdropRefusal>& info) { return info.param.name; });

} // namespace
