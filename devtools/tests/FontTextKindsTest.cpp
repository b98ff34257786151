// The compiler's 'font' and 'text' blocks: written, read back by the
// program's own loaders, and refused where the loaders would refuse them.

#include <ft2build.h>
#include FT_FREETYPE_H
#include <gtest/gtest.h>

#include <filesystem>

#include "FileIO/gCResourceIndex.h"
#include "devtools/rc/PosixFile.h"
#include "devtools/tests/CompilerRun.h"
#include "text/Font.h"
#include "text/Text.h"

namespace {

constexpr const char* kMonoFile = "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf";

TEST_F(CompilerTest, FontAndTextBlocksLoadWithTheProgramsLoaders) {
    const CompilerResult r =
        Compile("ok", std::string("blocks:\n"
                                  "  - {kind: font, id: 5, name: DejaVu Sans Mono, file: ") +
                          kMonoFile +
                          "}\n"
                          "  - {kind: text, id: 1, name: Greeting, text: \"Hello, \\u00E9\"}\n"
                          "  - {kind: text, id: 2, name: Nothing, text: \"\"}\n");
    ASSERT_EQ(r.exitCode, 0) << r.output;
    gCFile file;
    OpenOutput(file, "ok", "system.vrf");
    gCResourceIndex index;
    ASSERT_EQ(index.SetupIndex(&file), eNoError);

    CText greeting, nothing;
    ASSERT_EQ(greeting.GetFromRes(S("Greeting"), &file, &index), eNoError);
    EXPECT_EQ(U(greeting.m_sText), "Hello, \xC3\xA9");
    ASSERT_EQ(nothing.GetFromRes(2, &file, &index), eNoError);
    EXPECT_EQ(nothing.m_sText.GetLength(), 0);

    ASSERT_EQ(gCFont::InitializeManager(), eNoError);
    {
        gCFont font;
        ASSERT_EQ(font.GetFromRes(S("DejaVu Sans Mono"), &file, &index), eNoError);
        EXPECT_EQ(font.GetResID(), 5);
        EXPECT_STREQ(font.GetFace()->family_name, "DejaVu Sans Mono");
    }
    gCFont::ShutDownManager();
}

TEST_F(CompilerTest, RefusesTextsWithLineBreaksAndFilesThatAreNoFonts) {
    MakeFile("bad/junk.ttf", "no font here");
    struct Case {
        const char* what;
        const char* yaml;
    };
    const Case cases[] = {
        {"line break", "blocks:\n"
                       "  - {kind: text, id: 1, name: T, text: \"a\\nb\"}\n"},
        {"not a font", "blocks:\n"
                       "  - {kind: font, id: 1, name: F, file: junk.ttf}\n"},
        {"empty font", "blocks:\n"
                       "  - {kind: font, id: 1, name: F, file: /dev/null}\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const CompilerResult r = Compile("bad", c.yaml);
        EXPECT_NE(r.exitCode, 0);
        EXPECT_NE(r.output.find("source.yaml:2:"), std::string::npos) << r.output;
        EXPECT_FALSE(std::filesystem::exists(Posix("bad/out/system.vrf")));
    }
}

TEST(BuiltResources, HoldTheInterfaceFontsAndTheirLicences) {
    ASSERT_EQ(gCFont::InitializeManager(), eNoError);
    gCFile vrf;
    gCResourceIndex index;
    ASSERT_EQ(
        OpenPosixFile(vrf, std::string(DAUBLIN_RESOURCE_DIR) + "/system.vrf", eAccessReadOnly),
        eNoError);
    ASSERT_EQ(index.SetupIndex(&vrf), eNoError);
    const struct {
        const char* name;
        const char* family;
        const char* style;
    } fonts[] = {
        {"DejaVu Sans", "DejaVu Sans", "Book"},
        {"DejaVu Sans Bold", "DejaVu Sans", "Bold"},
        {"DejaVu Sans Italic", "DejaVu Sans", "Oblique"},
        {"DejaVu Sans Bold Italic", "DejaVu Sans", "Bold Oblique"},
        {"DejaVu Sans Mono", "DejaVu Sans Mono", "Book"},
    };
    for (const auto& f : fonts) {
        SCOPED_TRACE(f.name);
        gCFont font;
        ASSERT_EQ(font.GetFromRes(S(f.name), &vrf, &index), eNoError);
        EXPECT_STREQ(font.GetFace()->family_name, f.family);
        EXPECT_STREQ(font.GetFace()->style_name, f.style);
    }
    EXPECT_TRUE(std::filesystem::is_regular_file(std::string(DAUBLIN_RESOURCE_DIR) +
                                                 "/Licenses/fonts-dejavu-core.txt"));
    EXPECT_TRUE(std::filesystem::is_regular_file(std::string(DAUBLIN_RESOURCE_DIR) +
                                                 "/Licenses/fonts-dejavu-extra.txt"));
    gCFont::ShutDownManager();
}

} // namespace
