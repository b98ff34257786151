// Text widget blocks in the compiler: one using every chunk of its chain
// compiles, is loaded by the program's loader, dumps as sources that
// compile to the same bytes; each refusal names its file and line.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "devtools/tests/CompilerRun.h"
#include "imaging/Image.h"
#include "testsupport/imaging/Goldens.h"

namespace {

const std::string kFonts =
    "blocks:\n"
    "  - {kind: font, id: 1, name: DejaVu Sans, file: "
    "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf}\n"
    "  - {kind: font, id: 2, name: DejaVu Sans Bold Italic, file: "
    "/usr/share/fonts/truetype/dejavu/DejaVuSans-BoldOblique.ttf}\n"
    "  - {kind: textlist, id: 3, name: Sizes, exclusive: 1, items: [{text: Small, id: 1}, "
    "{text: Large, id: 2}]}\n"
    "  - {kind: textlist, id: 4, name: None, exclusive: 0, items: []}\n";

// Every chunk of the text widget's own, and the mask widget's it reads on.
const std::string kEveryChunk = kFonts + R"(  - {kind: image, id: 7, name: dot, file: dot.png}
  - kind: widget
    type: txwg
    id: 2001
    name: Label
    chunks:
      - xpos: 4
      - ypos: 6
      - xsiz: 120
      - ysiz: 30
      - colr: 0xFFECE6DA
      - opac: 255
      - imag: dot
      - imsh: 0
      - stim: 0
      - imcm: 0
      - font: DejaVu Sans
      - fbld: 1
      - fita: 1
      - fsiz: 15
      - fpsz: 11.5
      - fjst: centre
      - fudl: 1
      - text: "Two\nlines é"
      - txls: Sizes
      - txlx: 1
      - txsz: 1
      - txwr: 1
)";

class TextWidgetSources : public CompilerTest {
protected:
    void SetUp() override {
        CompilerTest::SetUp();
        CImage dot(2, 2);
        ASSERT_TRUE(WritePicturePng(dot, Posix("src/dot.png")));
    }
    // The sources are refused with the message at that line of the file,
    // and nothing is written.
    void ExpectRefused(const std::string& sources, const std::string& message, int line) {
        const CompilerResult out = Compile("bad", sources);
        EXPECT_NE(out.exitCode, 0);
        EXPECT_NE(out.output.find("source.yaml:" + std::to_string(line) + ": " + message),
                  std::string::npos)
            << out.output;
        EXPECT_FALSE(std::filesystem::exists(Posix("bad/out/system.vrf")));
    }
};

TEST_F(TextWidgetSources, EveryChunkCompilesLoadsAndDumpsBackToTheSameBytes) {
    const CompilerResult first = Compile("src", kEveryChunk);
    ASSERT_EQ(first.exitCode, 0) << first.output;
    const CompilerResult dump = RunCompiler({"--source", Posix("src/out/system.vrf")});
    ASSERT_EQ(dump.exitCode, 0) << dump.output;
    for (const char* shown : {"type: \"txwg\"", "font: \"DejaVu Sans\"", "fsiz: 15", "fpsz: 11.5",
                              "fjst: \"centre\"", "txls: \"Sizes\"", "txlx: 1", "fbld: 1"}) {
        EXPECT_NE(dump.output.find(shown), std::string::npos) << shown << "\n" << dump.output;
    }
    const CompilerResult second = Compile("again", dump.output);
    ASSERT_EQ(second.exitCode, 0) << second.output << dump.output;
    EXPECT_EQ(FileBytes(Posix("again/out/system.vrf")), FileBytes(Posix("src/out/system.vrf")));
}

struct TextWidgetRefusal {
    const char* name;
    const char* chunks; // the chunks of a 'txwg' block after the font blocks
    const char* message;
    int line;
};

void PrintTo(const TextWidgetRefusal& r, std::ostream* os) {
    *os << r.name;
}

class RefusedTextWidget : public TextWidgetSources,
                          public ::testing::WithParamInterface<TextWidgetRefusal> {};

// The block starts on line 6, its first chunk on line 11.
TEST_P(RefusedTextWidget, NamesTheFileLineAndReason) {
    const TextWidgetRefusal& r = GetParam();
    ExpectRefused(kFonts +
                      "  - kind: widget\n"
                      "    type: txwg\n"
                      "    id: 10\n"
                      "    name: W\n"
                      "    chunks:\n" +
                      r.chunks,
                  r.message, r.line);
}

INSTANTIATE_TEST_SUITE_P(
    Compiler, RefusedTextWidget,
    ::testing::Values(
        TextWidgetRefusal{"NoFont", "      - text: Hi\n", "a 'txwg' widget needs a \"font\" chunk",
                          6},
        TextWidgetRefusal{"NoBlockForTheBoldFace", "      - font: DejaVu Sans\n      - fbld: 1\n",
                          "no font block is named \"DejaVu Sans Bold\"", 11},
        TextWidgetRefusal{"NoBlockForTheFamily",
                          "      - fita: 1\n      - fbld: 1\n      - font: DejaVu Serif\n",
                          "no font block is named \"DejaVu Serif Bold Italic\"", 13},
        TextWidgetRefusal{"JustifyWord", "      - font: DejaVu Sans\n      - fjst: Centre\n",
                          "\"fjst\" is \"left\", \"right\", \"centre\" or \"center\"", 12},
        TextWidgetRefusal{"MissingTextList", "      - font: DejaVu Sans\n      - txls: Gone\n",
                          "no text list block is named \"Gone\"", 12},
        TextWidgetRefusal{"IndexPastTheList",
                          "      - font: DejaVu Sans\n      - txlx: 2\n      - txls: Sizes\n",
                          "\"txlx\" is 2, outside the text list \"Sizes\" of 2 items", 12},
        TextWidgetRefusal{"NegativeIndex",
                          "      - font: DejaVu Sans\n      - txls: Sizes\n      - txlx: -1\n",
                          "\"txlx\" is -1, outside the text list \"Sizes\" of 2 items", 13},
        TextWidgetRefusal{"IndexWithoutAList", "      - font: DejaVu Sans\n      - txlx: 0\n",
                          "\"txlx\" needs a \"txls\" naming its text list", 12},
        TextWidgetRefusal{"PixelSizeZero", "      - font: DejaVu Sans\n      - fsiz: 0\n",
                          "\"fsiz\" is a size from 1 to 512", 12},
        TextWidgetRefusal{"PixelSizePast512", "      - font: DejaVu Sans\n      - fsiz: 512.5\n",
                          "\"fsiz\" is a size from 1 to 512", 12},
        TextWidgetRefusal{"PointSizeBelowOne", "      - font: DejaVu Sans\n      - fpsz: 0.5\n",
                          "\"fpsz\" is a size from 1 to 512", 12},
        TextWidgetRefusal{"PointSizeNotFinite", "      - font: DejaVu Sans\n      - fpsz: .inf\n",
                          "\"fpsz\" takes a finite number", 12},
        // The program's loader, run by the compiler, finds no entry 0.
        TextWidgetRefusal{"EmptyTextList", "      - font: DejaVu Sans\n      - txls: None\n",
                          "block \"W\" does not read back: the program's loader refuses it", 6},
        TextWidgetRefusal{"FrameChunk", "      - font: DejaVu Sans\n      - frcl: 1\n",
                          "\"frcl\" is not a chunk of 'txwg' widgets", 12}),
    [](const ::testing::TestParamInfo<TextWidgetRefusal>& info) { return info.param.name; });

// An edit field: the captioned chunks without "txwr", plus "txcl".
TEST_F(TextWidgetSources, AnEditFieldCompilesLoadsAndDumpsBackToTheSameBytes) {
    const std::string sources = kFonts + R"(  - {kind: image, id: 7, name: dot, file: dot.png}
  - kind: widget
    type: tewg
    id: 2002
    name: Size
    chunks:
      - imag: dot
      - stim: 1
      - font: DejaVu Sans
      - fsiz: 13
      - text: "12"
      - txcl: 0xFF2040C0
)";
    const CompilerResult first = Compile("src", sources);
    ASSERT_EQ(first.exitCode, 0) << first.output;
    const CompilerResult dump = RunCompiler({"--source", Posix("src/out/system.vrf")});
    ASSERT_EQ(dump.exitCode, 0) << dump.output;
    for (const char* shown : {"type: \"tewg\"", "txcl: 0xFF2040C0", "text: \"12\""}) {
        EXPECT_NE(dump.output.find(shown), std::string::npos) << shown << "\n" << dump.output;
    }
    const CompilerResult second = Compile("again", dump.output);
    ASSERT_EQ(second.exitCode, 0) << second.output << dump.output;
    EXPECT_EQ(FileBytes(Posix("again/out/system.vrf")), FileBytes(Posix("src/out/system.vrf")));
}

class RefusedEditField : public TextWidgetSources,
                         public ::testing::WithParamInterface<TextWidgetRefusal> {};

// The block starts on line 7, its first chunk on line 12.
TEST_P(RefusedEditField, NamesTheFileLineAndReason) {
    const TextWidgetRefusal& r = GetParam();
    ExpectRefused(kFonts +
                      "  - {kind: image, id: 7, name: dot, file: dot.png}\n"
                      "  - kind: widget\n"
                      "    type: tewg\n"
                      "    id: 10\n"
                      "    name: W\n"
                      "    chunks:\n" +
                      r.chunks,
                  r.message, r.line);
}

INSTANTIATE_TEST_SUITE_P(
    Compiler, RefusedEditField,
    ::testing::Values(
        TextWidgetRefusal{"NoImage", "      - font: DejaVu Sans\n",
                          "a 'tewg' widget needs an \"imag\" or \"imls\" chunk", 7},
        TextWidgetRefusal{
            "Justified", "      - imag: dot\n      - font: DejaVu Sans\n      - fjst: left\n",
            "a 'tewg' widget takes no \"fjst\": the field places its text itself", 14},
        TextWidgetRefusal{"NoFont", "      - imag: dot\n", "a 'tewg' widget needs a \"font\" chunk",
                          7},
        TextWidgetRefusal{"WordWrap",
                          "      - imag: dot\n      - font: DejaVu Sans\n      - txwr: 1\n",
                          "\"txwr\" is not a chunk of 'tewg' widgets", 14}),
    [](const ::testing::TestParamInfo<TextWidgetRefusal>& info) { return info.param.name; });

} // namespace
