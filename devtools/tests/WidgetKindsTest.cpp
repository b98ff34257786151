// Widget blocks and text lists in the compiler: a tree using every chunk of
// the four classes compiles, loads again, dumps as sources that compile to
// the same bytes; each refusal names its file and line.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "devtools/tests/CompilerRun.h"
#include "imaging/Image.h"
#include "testsupport/imaging/Goldens.h"

namespace {

// An image block, a list of it, and a tree naming both.
const char* const kTree = R"(blocks:
  - {kind: image, id: 7, name: dot, file: dot.png}
  - {kind: imagelist, id: 8, name: dots, images: [dot]}
  - kind: widget
    type: rrwg
    id: 2001
    name: "Panel é 🎨"
    chunks:
      - xpos: 1.5
      - ypos: 2
      - xpsr: 0
      - ypsr: 0
      - xpsd: 0
      - ypsd: 0
      - xsiz: 320
      - ysiz: 200
      - xszr: 0
      - yszr: 0
      - xgrd: 0
      - ygrd: 0
      - xcnt: 1
      - ycnt: 1
      - oblt: 0
      - vsbl: 1
      - actv: 1
      - opac: 255
      - sipr: 0
      - opct: 0
      - prop: 1
      - focs: 0
      - kydn: 0
      - kyup: 0
      - timr: 0
      - hrtb: 0
      - msmv: 0
      - lbdn: 1
      - lbup: 1
      - mbdn: 0
      - mbup: 0
      - rbdn: 0
      - rbup: 0
      - mswh: 0
      - ttrg: 5
      - ttrt: 5
      - autt: 5
      - tfpt: 5
      - usrd: "3|int|250"
      - usrd: "2|real|1.5"
      - colr: 0xFFE8E0D0
      - rrad: 12.5
      - rbwd: 1.5
      - rtbh: 0
      - rbcl: 0xFF303030
      - rctl: 0
      - rctr: 1
      - rcbl: 1
      - rcbr: 1
      - hier:
          - [Plain, wdgt]
          - [Title, cowg]
          - [Logo, imwg]
          - [Frames, imwg]
  - {kind: widget, type: wdgt, id: 1, name: Plain, chunks: [{vsbl: 0}]}
  - {kind: widget, type: cowg, id: 2, name: Title, chunks: [{colr: 0x80FFFFFF}]}
  - kind: widget
    type: imwg
    id: 3
    name: Logo
    chunks: [{imag: dot}, {imsh: 1}, {stim: 1}, {imcm: 0}]
  - kind: widget
    type: imwg
    id: 4
    name: Frames
    chunks: [{imls: dots}, {imlx: 0}, {imsh: 0}]
  - kind: textlist
    id: 850
    name: FileMenu
    exclusive: 0
    items:
      - {text: "New...", id: 1}
      - {text: "Ouvrir… 🎨", id: 2}
      - {text: "", id: -1}
)";

// The frame, mask and shadow-panel classes with every chunk of their own:
// masks by image, shared, and by an 8-bit list.
const char* const kPanelTree = R"(blocks:
  - {kind: image, id: 7, name: dot, file: dot.png}
  - {kind: imagelist8, id: 9, name: dots8, images: [dot]}
  - kind: widget
    type: fmwg
    id: 10
    name: Frame
    chunks:
      - colr: 0xFF102030
      - frcl: 0x80A0B0C0
      - hier:
          - [Mask, mkwg]
          - [MaskList, mkwg]
          - [Strip, shwg]
  - kind: widget
    type: mkwg
    id: 11
    name: Mask
    chunks: [{imag: dot}, {imsh: 1}, {stim: 1}, {imcm: 1}, {colr: 0xFFFFFFFF}]
  - kind: widget
    type: mkwg
    id: 12
    name: MaskList
    chunks: [{imls: dots8}, {imlx: 0}, {imsh: 0}]
  - kind: widget
    type: shwg
    id: 13
    name: Strip
    chunks: [{swst: 1}, {swsb: 0}, {swsl: 1}, {swsr: 0}, {swrd: 2.5}, {opac: 102}]
)";

class WidgetSources : public CompilerTest {
protected:
    void SetUp() override {
        CompilerTest::SetUp();
        CImage dot(2, 2);
        ASSERT_TRUE(WritePicturePng(dot, Posix("src/dot.png")));
        ASSERT_TRUE(WritePicturePng(dot, Posix("bad/dot.png")));
    }
};

TEST_F(WidgetSources, EveryChunkCompilesLoadsAndDumpsBackToTheSameBytes) {
    const CompilerResult first = Compile("src", kTree);
    ASSERT_EQ(first.exitCode, 0) << first.output;
    const CompilerResult dump = RunCompiler({"--source", Posix("src/out/system.vrf")});
    ASSERT_EQ(dump.exitCode, 0) << dump.output;
    EXPECT_NE(dump.output.find("kind: widget"), std::string::npos) << dump.output;
    EXPECT_NE(dump.output.find("kind: textlist"), std::string::npos) << dump.output;
    const CompilerResult second = Compile("again", dump.output);
    ASSERT_EQ(second.exitCode, 0) << second.output << dump.output;
    EXPECT_EQ(FileBytes(Posix("again/out/system.vrf")), FileBytes(Posix("src/out/system.vrf")));
}

TEST_F(WidgetSources, ThePanelClassesCompileLoadAndDumpBackToTheSameBytes) {
    const CompilerResult first = Compile("src", kPanelTree);
    ASSERT_EQ(first.exitCode, 0) << first.output;
    const CompilerResult dump = RunCompiler({"--source", Posix("src/out/system.vrf")});
    ASSERT_EQ(dump.exitCode, 0) << dump.output;
    EXPECT_NE(dump.output.find("frcl: 0x80A0B0C0"), std::string::npos) << dump.output;
    EXPECT_NE(dump.output.find("imls: \"dots8\""), std::string::npos) << dump.output;
    EXPECT_NE(dump.output.find("swrd: 2.5"), std::string::npos) << dump.output;
    const CompilerResult second = Compile("again", dump.output);
    ASSERT_EQ(second.exitCode, 0) << second.output << dump.output;
    EXPECT_EQ(FileBytes(Posix("again/out/system.vrf")), FileBytes(Posix("src/out/system.vrf")));
}

struct WidgetRefusal {
    const char* name;
    const char* chunks; // the chunks of a widget block, or a whole block list
    const char* message;
    int line;
};

void PrintTo(const WidgetRefusal& r, std::ostream* os) {
    *os << r.name;
}

class RefusedWidget : public WidgetSources, public ::testing::WithParamInterface<WidgetRefusal> {};

TEST_P(RefusedWidget, NamesTheFileLineAndReason) {
    const WidgetRefusal& r = GetParam();
    const std::string yaml = std::string(r.chunks).starts_with("blocks:")
                                 ? std::string(r.chunks)
                                 : "blocks:\n"
                                   "  - {kind: image, id: 7, name: dot, file: dot.png}\n"
                                   "  - kind: widget\n"
                                   "    type: rrwg\n"
                                   "    id: 1\n"
                                   "    name: W\n"
                                   "    chunks:\n" +
                                       std::string(r.chunks);
    const CompilerResult out = Compile("bad", yaml);
    EXPECT_NE(out.exitCode, 0);
    EXPECT_NE(out.output.find("source.yaml:" + std::to_string(r.line) + ": " + r.message),
              std::string::npos)
        << out.output;
    EXPECT_FALSE(std::filesystem::exists(Posix("bad/out/system.vrf")));
}

INSTANTIATE_TEST_SUITE_P(
    Compiler, RefusedWidget,
    ::testing::Values(
        WidgetRefusal{"Txtr", "      - txtr: 1\n", "\"txtr\" is not a chunk of 'rrwg' widgets", 8},
        WidgetRefusal{"ImageChunkInRoundedRect", "      - vsbl: 1\n      - imag: dot\n",
                      "\"imag\" is not a chunk of 'rrwg' widgets", 9},
        WidgetRefusal{"EffectChunk", "      - shad: 1\n",
                      "\"shad\" takes a map of its keys ({} for the defaults)", 8},
        WidgetRefusal{"OpacityAbove255", "      - opac: 300\n", "\"opac\" is 0 to 255", 8},
        WidgetRefusal{"FlagOtherThanZeroOrOne", "      - vsbl: 2\n", "\"vsbl\" is 0 or 1", 8},
        WidgetRefusal{"UserDataIndex", "      - usrd: \"8|int|1\"\n",
                      "the \"usrd\" index is 0 to 7", 8},
        WidgetRefusal{"UserDataValue", "      - usrd: \"1|int|4294967296\"\n",
                      "an \"usrd\" int is a whole number from -2147483648 to 4294967295", 8},
        WidgetRefusal{"UserDataType", "      - usrd: \"1|text|1\"\n",
                      "the \"usrd\" type is int or real", 8},
        WidgetRefusal{"RealNotFinite", "      - rrad: .nan\n", "\"rrad\" takes a finite number", 8},
        WidgetRefusal{"MissingImage",
                      "blocks:\n"
                      "  - {kind: widget, type: imwg, id: 1, name: W, chunks: [{imag: gone}]}\n",
                      "no image block is named \"gone\"", 2},
        WidgetRefusal{"MissingChild", "      - hier: [[Nobody, cowg]]\n",
                      "no 'cowg' widget block is named \"Nobody\"", 8},
        WidgetRefusal{"ChildOfAnotherType",
                      "blocks:\n"
                      "  - {kind: widget, type: cowg, id: 1, name: A, chunks: [{hier: [[B, "
                      "wdgt]]}]}\n"
                      "  - {kind: widget, type: cowg, id: 2, name: B, chunks: [{vsbl: 1}]}\n",
                      "no 'wdgt' widget block is named \"B\"", 2},
        WidgetRefusal{"Cycle",
                      "blocks:\n"
                      "  - kind: widget\n"
                      "    type: cowg\n"
                      "    id: 1\n"
                      "    name: A\n"
                      "    chunks:\n"
                      "      - hier:\n"
                      "          - [B, cowg]\n"
                      "  - {kind: widget, type: cowg, id: 2, name: B, chunks: [{hier: [[A, "
                      "cowg]]}]}\n",
                      "the \"hier\" entry \"A\" names a block it sits in: a cycle", 9},
        WidgetRefusal{"UnknownType",
                      "blocks:\n"
                      "  - {kind: widget, type: tiwg, id: 1, name: W, chunks: [{vsbl: 1}]}\n",
                      "'tiwg' is no widget type code of this build", 2},
        WidgetRefusal{"RegionColourInAMask",
                      "blocks:\n"
                      "  - {kind: widget, type: mkwg, id: 1, name: W, chunks: [{frcl: 1}]}\n",
                      "\"frcl\" is not a chunk of 'mkwg' widgets", 2},
        WidgetRefusal{"MaskListOf32BitImages",
                      "blocks:\n"
                      "  - {kind: image, id: 7, name: dot, file: dot.png}\n"
                      "  - {kind: imagelist, id: 8, name: dots, images: [dot]}\n"
                      "  - {kind: widget, type: mkwg, id: 1, name: W, chunks: [{imls: dots}]}\n",
                      "no 8-bit image list block is named \"dots\"", 4},
        WidgetRefusal{"ShadowEdgeFlag",
                      "blocks:\n"
                      "  - {kind: widget, type: shwg, id: 1, name: W, chunks: [{swst: 2}]}\n",
                      "\"swst\" is 0 or 1", 2},
        WidgetRefusal{"ChildOfUnknownType", "      - hier: [[X, tbwg]]\n",
                      "'tbwg' is no widget type code of this build", 8},
        WidgetRefusal{"NoChunks",
                      "blocks:\n"
                      "  - {kind: widget, type: wdgt, id: 1, name: W, chunks: []}\n",
                      "a widget block needs a list of chunks", 2},
        WidgetRefusal{"ByteOrderMarkInName",
                      "blocks:\n"
                      "  - {kind: widget, type: wdgt, id: 1, name: \"W\\uFEFF\", chunks: "
                      "[{vsbl: 1}]}\n",
                      "the block name: it holds a byte-order mark (U+FEFF or U+FFFE)", 2},
        WidgetRefusal{"TextListExclusive",
                      "blocks:\n"
                      "  - kind: textlist\n"
                      "    id: 1\n"
                      "    name: L\n"
                      "    exclusive: 2\n"
                      "    items: []\n",
                      "\"exclusive\" is 0 or 1", 5},
        WidgetRefusal{"TextListItemWithByteOrderMark",
                      "blocks:\n"
                      "  - kind: textlist\n"
                      "    id: 1\n"
                      "    name: L\n"
                      "    exclusive: 0\n"
                      "    items:\n"
                      "      - {text: \"a\\uFFFE\", id: 1}\n",
                      "an item's text: it holds a byte-order mark (U+FEFF or U+FFFE)", 7}),
    [](const ::testing::TestParamInfo<WidgetRefusal>& info) { return info.param.name; });

} // namespace
