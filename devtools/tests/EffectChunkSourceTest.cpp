// Effect chunks in widget-block sources: every form compiles, loads with
// every key applied (a key left out as the effect's own default), dumps with
// every key and compiles back to the same bytes; each refusal names its
// file and line; a tree with every chunk is drawn as a golden picture.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>

#include "FileIO/gCFile.h"
#include "FileIO/gCResourceIndex.h"
#include "devtools/tests/CompilerRun.h"
#include "foundation/Utf8.h"
#include "imaging/ImNav.h"
#include "imaging/Image.h"
#include "testsupport/FileIO/FakeResourceServices.h"
#include "testsupport/imaging/Goldens.h"
#include "testsupport/widgets/EffectChunkWriter.h"
#include "testsupport/widgets/RecordingRoot.h"
#include "widgets/Widget.h"
#include "widgets/WidgetConstructor.h"
#include "widgets/WidgetEffectConstructor.h"
#include "widgets/effects/EffectBorder.h"
#include "widgets/effects/EffectCutout.h"
#include "widgets/effects/EffectGradient.h"
#include "widgets/effects/EffectShadow.h"

namespace {

// Every chunk with every key given (none at its default), then every chunk
// with none given.
const char* const kForms = R"(blocks:
  - kind: widget
    type: cowg
    id: 1
    name: Given
    chunks:
      - xsiz: 40
      - ysiz: 30
      - shad: {layer: 1, colour: 0x00112233, radius: 12.5, x: -3, y: 32767, opacity: 102,
               clip: widget, place: over}
      - glow: {layer: 2, colour: 0x80445566, radius: 0, x: -32767, y: 2, opacity: 0,
               clip: outside, place: under}
      - ctot: {layer: 0, colour: -1, radius: 1000, x: 3, y: -2, opacity: 128, place: under}
      - brde: {layer: 0, top: 0xFF000001, left: 0xFF000002, right: 0xFF000003,
               bottom: 0xFF000004, active: [left, bottom], style: 4, width: 2.5, opacity: 200,
               place: over}
      - grdf: {layer: 2, angle: -0.375, blend: softlight, type: angular, centre: [0.25, 1e-3],
               stops: [{colour: 0xFFE39B45, position: 0.5}, {colour: 0x00000000, position: 1}],
               opacity: 255, place: over}
  - kind: widget
    type: cowg
    id: 2
    name: Defaults
    chunks:
      - xsiz: 40
      - ysiz: 30
      - shad: {}
      - glow: {layer: 1}
      - ctot: {layer: 2}
      - brde: {place: over}
      - grdf: {layer: 1, place: over}
)";

std::string FileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// A type id or chunk code as its four characters, and back.
std::string CodeText(uint32_t code) {
    return {char(code >> 24), char(code >> 16), char(code >> 8), char(code)};
}
int32_t CodeOf(const std::string& text) {
    return int32_t(uint32_t(uint8_t(text[0])) << 24 | uint32_t(uint8_t(text[1])) << 16 |
                   uint32_t(uint8_t(text[2])) << 8 | uint32_t(uint8_t(text[3])));
}

std::string Hex(uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", value);
    return text;
}

// What an effect holds, as one line.
std::string Describe(CWidgetEffectBase* effect) {
    if (!effect) {
        return "none";
    }
    std::ostringstream out;
    out << CodeText(effect->TypeID()) << " opacity " << effect->Opacity();
    if (auto* s = dynamic_cast<CWidgetEffectShadow*>(effect)) {
        out << " colour " << Hex(s->Colour()) << " radius " << s->Radius() << " offset "
            << s->Offset().x << "," << s->Offset().y << " clip " << s->ClipToWidget() << " outside "
            << s->OutsideOnly();
    } else if (auto* c = dynamic_cast<CWidgetEffectCutout*>(effect)) {
        out << " colour " << Hex(c->Colour()) << " radius " << c->Radius() << " offset "
            << c->Offset().x << "," << c->Offset().y;
    } else if (auto* b = dynamic_cast<CWidgetEffectBorder*>(effect)) {
        out << " colours " << Hex(b->TopColour()) << " " << Hex(b->LeftColour()) << " "
            << Hex(b->RightColour()) << " " << Hex(b->BottomColour()) << " styles";
        for (uint32_t edge : {CWidgetEffectBorder::eTop, CWidgetEffectBorder::eLeft,
                              CWidgetEffectBorder::eRight, CWidgetEffectBorder::eBottom}) {
            out << " " << Hex(b->EdgeStyle(edge));
        }
        out << " width " << b->BorderThickness();
    } else if (auto* g = dynamic_cast<CWidgetEffectGradient*>(effect)) {
        out << " angle " << g->Angle() << " blend " << g->BlendMode() << " type " << g->Type()
            << " centre " << g->CentreX() << "," << g->CentreY() << " stops";
        const auto& stops = g->Gradient().Stops();
        for (int32_t i = 0; i < stops.GetSize(); ++i) {
            out << " " << Hex(stops[i].colour) << "@" << stops[i].position;
        }
    }
    return out.str();
}

// The effect ConstructEffect makes without data: every field at its default.
std::string DefaultOf(const char* code) {
    std::unique_ptr<CWidgetEffectBase> effect(
        CWidgetEffectConstructor::ConstructEffect(CodeOf(code), nullptr, nullptr));
    return Describe(effect.get());
}

class EffectSources : public CompilerTest {
protected:
    // The widget block of that name from <folder>/out/system.vrf, loaded by
    // the program's own loader; null when it does not load.
    std::unique_ptr<CWidget> LoadWidget(const std::string& folder, const char* name) {
        (void)m_File.Close(); // a file not yet open has nothing to close
        OpenOutput(m_File, folder, "system.vrf");
        m_Index.ClearContents();
        EXPECT_EQ(m_Index.SetupIndex(&m_File), eNoError);
        m_Services.m_pResFile = &m_File;
        m_Services.m_pResIndex = &m_Index;
        gCString text;
        EXPECT_EQ(gStringFromUtf8(text, name), eNoError);
        return std::unique_ptr<CWidget>(CWidgetConstructor::ConstructFromName(text, nullptr));
    }

    CFakeResourceServices m_Services;
    gCFile m_File;
    gCResourceIndex m_Index;
};

TEST_F(EffectSources, EveryFormCompilesDumpsEveryKeyAndCompilesBackToTheSameBytes) {
    const CompilerResult first = Compile("src", kForms);
    ASSERT_EQ(first.exitCode, 0) << first.output;
    const CompilerResult dump = RunCompiler({"--source", Posix("src/out/system.vrf")});
    ASSERT_EQ(dump.exitCode, 0) << dump.output;
    EXPECT_NE(dump.output.find(
                  "      - shad: {layer: 1, colour: 0x00112233, radius: 12.5, x: -3, y: 32767, "
                  "opacity: 102, clip: widget, place: over}\n"),
              std::string::npos)
        << dump.output;
    EXPECT_NE(dump.output.find("      - grdf: {layer: 1, angle: 0, blend: normal, type: linear, "
                               "centre: [0.5, 0.5], stops: [], opacity: 255, place: over}\n"),
              std::string::npos)
        << dump.output;
    EXPECT_NE(dump.output.find("active: [left, bottom]"), std::string::npos) << dump.output;
    EXPECT_NE(dump.output.find("stops: [{colour: 0xFFE39B45, position: 0.5}, {colour: "
                               "0x00000000, position: 1}]"),
              std::string::npos)
        << dump.output;
    const CompilerResult second = Compile("again", dump.output);
    ASSERT_EQ(second.exitCode, 0) << second.output << dump.output;
    EXPECT_EQ(FileBytes(Posix("again/out/system.vrf")), FileBytes(Posix("src/out/system.vrf")));
}

TEST_F(EffectSources, KeysAreAppliedAndKeysLeftOutAreTheEffectsDefaults) {
    const CompilerResult out = Compile("src", kForms);
    ASSERT_EQ(out.exitCode, 0) << out.output;

    const std::unique_ptr<CWidget> given = LoadWidget("src", "Given");
    ASSERT_NE(given, nullptr);
    // The shadow and glow keep their own alpha byte; the cut-out's radius
    // and offsets, the border's edges and the gradient's stops as given.
    EXPECT_EQ(Describe(given->EffectOver(1)), "shfx opacity 102 colour 0xFF112233 radius 12.5 "
                                              "offset -3,32767 clip 1 outside 0");
    EXPECT_EQ(Describe(given->EffectUnder(2)), "glfx opacity 0 colour 0xFF445566 radius 0 "
                                               "offset -32767,2 clip 0 outside 1");
    EXPECT_EQ(Describe(given->EffectUnder(0)),
              "ctfx opacity 128 colour 0xFFFFFFFF radius 1000 offset 3,-2");
    EXPECT_EQ(Describe(given->EffectOver(0)),
              "bdfx opacity 200 colours 0xFF000001 0xFF000002 0xFF000003 0xFF000004 styles "
              "0xFFFFFFFF 0xFCCCFCCC 0xFFFFFFFF 0xFCCCFCCC width 2.5");
    EXPECT_EQ(Describe(given->EffectOver(2)),
              "grfx opacity 255 angle -0.375 blend 6 type 2 centre 0.25,0.001 stops "
              "0xFF000000@0 0xFFE39B45@0.5 0x00000000@1");

    const std::unique_ptr<CWidget> defaults = LoadWidget("src", "Defaults");
    ASSERT_NE(defaults, nullptr);
    EXPECT_EQ(Describe(defaults->EffectUnder(0)), DefaultOf("shad"));
    EXPECT_EQ(Describe(defaults->EffectUnder(1)), DefaultOf("glow"));
    EXPECT_EQ(Describe(defaults->EffectUnder(2)), DefaultOf("ctot"));
    EXPECT_EQ(Describe(defaults->EffectOver(0)), DefaultOf("brde"));
    EXPECT_EQ(Describe(defaults->EffectOver(1)), DefaultOf("grdf"));
    EXPECT_TRUE(m_Services.m_Alerts.empty());
}

struct EffectRefusal {
    const char* name;
    const char* chunk; // one chunk line (or lines) of a widget block
    const char* message;
    int line;
};

void PrintTo(const EffectRefusal& r, std::ostream* os) {
    *os << r.name;
}

class RefusedEffect : public CompilerTest, public ::testing::WithParamInterface<EffectRefusal> {};

TEST_P(RefusedEffect, NamesTheFileLineAndReason) {
    const EffectRefusal& r = GetParam();
    const std::string yaml = std::string("blocks:\n"
                                         "  - kind: widget\n"
                                         "    type: cowg\n"
                                         "    id: 1\n"
                                         "    name: W\n"
                                         "    chunks:\n"
                                         "      - vsbl: 1\n") +
                             r.chunk;
    const CompilerResult out = Compile("bad", yaml);
    EXPECT_NE(out.exitCode, 0);
    EXPECT_NE(out.output.find("source.yaml:" + std::to_string(r.line) + ": " + r.message),
              std::string::npos)
        << out.output;
    EXPECT_FALSE(std::filesystem::exists(Posix("bad/out/system.vrf")));
}

INSTANTIATE_TEST_SUITE_P(
    Compiler, RefusedEffect,
    ::testing::Values(
        EffectRefusal{"Layer3", "      - shad: {layer: 3}\n", "\"layer\" is 0, 1 or 2", 8},
        EffectRefusal{"LayerMinus1", "      - grdf: {layer: -1}\n", "\"layer\" is 0, 1 or 2", 8},
        EffectRefusal{"Opacity256", "      - glow: {opacity: 256}\n", "\"opacity\" is 0 to 255", 8},
        EffectRefusal{"BlendHard", "      - grdf: {blend: hard}\n",
                      "\"blend\" is normal, multiply, screen, overlay, dodge, burn or softlight",
                      8},
        EffectRefusal{"RadiusMinus1", "      - ctot: {radius: -1}\n",
                      "\"radius\" is a number from 0 to 1000", 8},
        EffectRefusal{"RadiusNotFinite", "      - shad: {radius: .inf}\n",
                      "\"radius\" is a number from 0 to 1000", 8},
        EffectRefusal{"OffsetPast32767", "      - shad: {x: 0,\n               y: 32768}\n",
                      "\"y\" is -32767 to 32767", 9},
        EffectRefusal{"Style5", "      - brde: {style: 5}\n", "\"style\" is 0 to 4", 8},
        EffectRefusal{"NegativeWidth", "      - brde: {width: -0.5}\n",
                      "\"width\" is a finite number, 0 or more", 8},
        EffectRefusal{"WidthNotFinite", "      - brde: {width: nan}\n",
                      "\"width\" is a finite number, 0 or more", 8},
        EffectRefusal{"AngleNotFinite", "      - grdf: {angle: inf}\n",
                      "\"angle\" is a finite number", 8},
        EffectRefusal{"CentreNotFinite", "      - grdf: {centre: [0.5, nan]}\n",
                      "\"centre\" is [x, y], two finite numbers", 8},
        EffectRefusal{"StopPastOne",
                      "      - grdf:\n"
                      "          stops:\n"
                      "            - {colour: 0xFF000000, position: 0.5}\n"
                      "            - {colour: 0xFF000000, position: 1.5}\n",
                      "a stop's position is a number from 0 to 1", 11},
        EffectRefusal{"StopWithoutPosition", "      - grdf: {stops: [{colour: 0xFF000000}]}\n",
                      "a stop's position is a number from 0 to 1", 8},
        EffectRefusal{"ClipInACutout", "      - ctot: {clip: none}\n", "unknown key \"clip\"", 8},
        EffectRefusal{"UnknownKey", "      - shad: {layer: 0, blur: 3}\n", "unknown key \"blur\"",
                      8},
        EffectRefusal{"ClipName", "      - glow: {clip: inside}\n",
                      "\"clip\" is none, widget or outside", 8},
        EffectRefusal{"PlaceName", "      - shad: {place: between}\n", "\"place\" is under or over",
                      8},
        EffectRefusal{"TypeName", "      - grdf: {type: diamond}\n",
                      "\"type\" is linear, radial or angular", 8},
        EffectRefusal{"EdgeTwice", "      - brde: {active: [top, top]}\n",
                      "\"active\" is a list of top, left, right or bottom, each edge once", 8},
        EffectRefusal{"NotAMap", "      - shad: 1\n",
                      "\"shad\" takes a map of its keys ({} for the defaults)", 8},
        EffectRefusal{"Texture", "      - txtr: {}\n", "\"txtr\" is not a chunk of 'cowg' widgets",
                      8}),
    [](const ::testing::TestParamInfo<EffectRefusal>& info) { return info.param.name; });

// A ground with every effect chunk on its children: a soft shadow, a glow,
// a pressed panel (cut-out), a raised one (dashed border), gradients of the
// three types (the radial one cached over an image with a shaped shadow),
// and a shadow left out where a see-through panel stands.
const char* const kTree = R"(blocks:
  - {kind: image, id: 7, name: Disc, file: disc.png}
  - kind: widget
    type: cowg
    id: 1
    name: Ground
    chunks:
      - vsbl: 1
      - xsiz: 320
      - ysiz: 176
      - colr: 0xFF8C8C8C
      - hier:
          - [Card, cowg]
          - [Lamp, cowg]
          - [Pressed, cowg]
          - [Raised, cowg]
          - [Linear, cowg]
          - [Sun, imwg]
          - [Dial, cowg]
          - [Veil, cowg]
  - kind: widget
    type: cowg
    id: 2
    name: Card
    chunks: [{vsbl: 1}, {xpos: 16}, {ypos: 16}, {xsiz: 56}, {ysiz: 40}, {colr: 0xFFC0A070},
             {shad: {radius: 6, x: 4, y: 4, opacity: 160}}]
  - kind: widget
    type: cowg
    id: 3
    name: Lamp
    chunks: [{vsbl: 1}, {xpos: 96}, {ypos: 16}, {xsiz: 56}, {ysiz: 40}, {colr: 0xFF3060A0},
             {glow: {colour: 0xFFFFE040, radius: 6, opacity: 220}}]
  - kind: widget
    type: cowg
    id: 4
    name: Pressed
    chunks: [{vsbl: 1}, {xpos: 176}, {ypos: 16}, {xsiz: 56}, {ysiz: 40}, {colr: 0xFFA39C90},
             {ctot: {radius: 3, x: 2, y: 2, place: over}}]
  - kind: widget
    type: cowg
    id: 5
    name: Raised
    chunks: [{vsbl: 1}, {xpos: 256}, {ypos: 16}, {xsiz: 48}, {ysiz: 40}, {colr: 0xFF6A655C},
             {brde: {width: 3, active: [top, left], style: 3, place: over}}]
  - kind: widget
    type: cowg
    id: 6
    name: Linear
    chunks: [{vsbl: 1}, {xpos: 16}, {ypos: 96}, {xsiz: 56}, {ysiz: 56}, {colr: 0xFFE0E0E0},
             {grdf: {angle: 0.125, blend: multiply,
                     stops: [{colour: 0xFF2040C0, position: 0}, {colour: 0xFFFFE080, position: 1}],
                     place: over}}]
  - kind: widget
    type: imwg
    id: 7
    name: Sun
    chunks: [{vsbl: 1}, {xpos: 96}, {ypos: 96}, {xsiz: 56}, {ysiz: 56}, {imag: Disc},
             {shad: {radius: 3, x: 3, y: 3, opacity: 180}},
             {grdf: {type: radial, blend: multiply,
                     stops: [{colour: 0xFFFFFFFF, position: 0}, {colour: 0xFFC02000, position: 1}],
                     place: over}}]
  - kind: widget
    type: cowg
    id: 8
    name: Dial
    chunks: [{vsbl: 1}, {xpos: 176}, {ypos: 96}, {xsiz: 56}, {ysiz: 56}, {colr: 0xFF808080},
             {grdf: {type: angular, angle: 0.25, blend: overlay, place: over}}]
  - kind: widget
    type: cowg
    id: 9
    name: Veil
    chunks: [{vsbl: 1}, {xpos: 256}, {ypos: 96}, {xsiz: 48}, {ysiz: 56}, {colr: 0x60F0F0F0},
             {shad: {radius: 2, x: 6, y: 6, opacity: 255, clip: outside}}]
)";

// A disc of radius 26 in 56 x 56, orange, its edge soft over a pixel.
std::unique_ptr<CImage> Disc() {
    auto image = std::make_unique<CImage>(56, 56);
    CImNav view(image.get());
    for (int32_t y = 0; y < 56; ++y) {
        for (int32_t x = 0; x < 56; ++x) {
            const float d = std::hypot(float(x) - 27.5f, float(y) - 27.5f);
            const float cover = std::fmin(std::fmax(26.0f - d, 0.0f), 1.0f);
            view.Row(y)[x] = (uint32_t(std::lround(cover * 255.0f)) << 24) | 0x00F0A030u;
        }
    }
    return image;
}

TEST_F(EffectSources, ATreeWithEveryEffectChunkDrawsItsGoldenPicture) {
    ASSERT_TRUE(WritePicturePng(*Disc(), Posix("src/disc.png")));
    const CompilerResult out = Compile("src", kTree);
    ASSERT_EQ(out.exitCode, 0) << out.output;
    std::unique_ptr<CWidget> ground = LoadWidget("src", "Ground");
    ASSERT_NE(ground, nullptr);
    EXPECT_TRUE(m_Services.m_Alerts.empty());
    CRecordingRoot root(320, 176);
    ASSERT_EQ(root.AddChild(ground.get(), 0), eNoError);
    ground.release(); // the root owns it now
    CImage picture(320, 176);
    ASSERT_EQ(root.PassRenderAreaTransparent(gCRect(0, 0, 320, 176), &picture, 255), eNoError);
    EXPECT_GOLDEN_PNG(picture, "effect-chunks-tree");
}

} // namespace

namespace {

// The block writer's checked form: the defaults of every chunk pass, a
// chunk cut short, one with a field left over and one with a Real where an
// Int32 goes are refused.
TEST(EffectChunkWriter, TheCheckedFormTakesWholeChunksOnly) {
    for (const char* code : {"shad", "glow", "ctot", "brde", "grdf"}) {
        std::vector<SEffectField> fields;
        for (const SEffectKey& key : EffectChunkKeys(code)) {
            fields.insert(fields.end(), key.defaults.begin(), key.defaults.end());
        }
        EXPECT_EQ(CheckedEffectFields(code, fields), "") << code;
        std::vector<SEffectField> longer = fields;
        longer.push_back(FieldInt(0));
        EXPECT_EQ(CheckedEffectFields(code, longer),
                  std::string("\"") + code + "\" has fields left over");
        fields.pop_back();
        EXPECT_EQ(CheckedEffectFields(code, fields),
                  std::string("\"") + code + "\" is cut short at \"place\"");
    }
    const std::vector<SEffectField> realLayer{FieldReal(0.0f)};
    EXPECT_EQ(CheckedEffectKey(EffectChunkKeys("shad")[0], realLayer), "\"layer\" is 0, 1 or 2");
    // A stop count larger than the stops given: the opacity and place read
    // as a stop, whose position is no Real.
    std::vector<SEffectField> gradient{FieldInt(0),     FieldReal(0.0f), FieldInt(0), FieldInt(0),
                                       FieldReal(0.5f), FieldReal(0.5f), FieldInt(2), FieldInt(0),
                                       FieldReal(0.5f), FieldInt(255),   FieldInt(0)};
    EXPECT_EQ(CheckedEffectFields("grdf", gradient), "a stop's position is a number from 0 to 1");
    EXPECT_EQ(CheckedEffectFields("txtr", {}), "\"txtr\" is taken by no widget block");
    std::string block, why;
    size_t failing = 0;
    EXPECT_FALSE(CheckedWidgetBlock("cowg", 1, "W",
                                    CWidgetChunks().Int("vsbl", 1).Effect("glow", {FieldInt(0)}),
                                    block, why, failing));
    EXPECT_EQ(why, "\"glow\" is cut short at \"colour\"");
    EXPECT_EQ(failing, 1u);
}

} // namespace
