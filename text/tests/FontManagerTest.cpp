// The font manager and fonts: where UseFont finds a font, system, file and
// block loading, sizes and the glyph cache, kerning pairs, and what a
// damaged font block gives.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "FileIO/VolumeTable.h"
#include "FileIO/gCFRef.h"
#include "testsupport/FileIO/ResourceBytes.h"
#include "testsupport/foundation/FailingMemory.h"
#include "text/TextTags.h"
#include "text/detail/FreeType.h"
#include "text/tests/FontFixture.h"

namespace {

std::string FamilyOf(gCFont* font) {
    return font && font->GetFace() ? font->GetFace()->family_name : "";
}

std::string StyleOf(gCFont* font) {
    return font && font->GetFace() ? font->GetFace()->style_name : "";
}

using FontManager = FontFixture;

TEST_F(FontManager, UseFontBeforeTheManagerGives23AndLeavesItsArgument) {
    gCFont::ShutDownManager();
    gCFont* font = reinterpret_cast<gCFont*>(uintptr_t(0x1234));
    EXPECT_EQ(gCFont::UseFont(font, S("DejaVu Sans")), eCreateFailed);
    EXPECT_EQ(font, reinterpret_cast<gCFont*>(uintptr_t(0x1234)));
    EXPECT_EQ(gCFont::LoadSystemFont(S("DejaVu Sans"), 0), eCreateFailed);
    EXPECT_EQ(gCFont::GetFontPath(S("DejaVu Sans")).GetLength(), 0);
    EXPECT_EQ(FontPool().GetCount(), 0);
}

TEST_F(FontManager, AFontBlockIsLoadedFromTheFontFileAndPooledOnce) {
    gCFont* font = nullptr;
    ASSERT_EQ(gCFont::UseFont(font, S("DejaVu Sans Bold")), eNoError);
    EXPECT_EQ(FamilyOf(font), "DejaVu Sans");
    EXPECT_EQ(StyleOf(font), "Bold");
    EXPECT_EQ(U(font->GetResName()), "DejaVu Sans Bold");
    EXPECT_EQ(font->GetResID(), 2);
    EXPECT_TRUE(font->IsPooled());
    EXPECT_EQ(m_Lookup.m_nFindCalls + m_Lookup.m_nMatchCalls, 0) << "no installed font asked";

    gCFont* again = nullptr;
    ASSERT_EQ(gCFont::UseFont(again, S("DejaVu Sans Bold")), eNoError);
    EXPECT_EQ(again, font);
    EXPECT_EQ(FontPool().GetCount(), 1);
}

TEST_F(FontManager, AnUnknownNameGetsTheHelveticaFacePooledUnderThatName) {
    gCFont* font = nullptr;
    ASSERT_EQ(gCFont::UseFont(font, S("No Such Font")), eNoError);
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(FamilyOf(font), kHelveticaStandIn);
    EXPECT_EQ(U(font->GetResName()), "No Such Font");
    EXPECT_EQ(m_Lookup.m_nFindCalls, 1);
    EXPECT_EQ(m_Lookup.m_nMatchCalls, 1);

    gCFont* again = nullptr;
    ASSERT_EQ(gCFont::UseFont(again, S("No Such Font")), eNoError);
    EXPECT_EQ(again, font);
    EXPECT_EQ(FontPool().GetCount(), 1);
    EXPECT_EQ(m_Lookup.m_nFindCalls + m_Lookup.m_nMatchCalls, 2) << "the second loads nothing";
}

TEST_F(FontManager, AnInstalledFullNameIsOpenedFromItsFileAndIndex) {
    m_Lookup.m_Installed["Test Sans Italic"] = {WriteFontFile("DejaVu Sans Italic", "i.ttf"), 0};
    ASSERT_EQ(gCFont::LoadSystemFont(S("Test Sans Italic"), 77), eNoError);
    gCFont* font = dynamic_cast<gCFont*>(FontPool().FindByName(S("Test Sans Italic")));
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(StyleOf(font), "Oblique");
    EXPECT_EQ(font->GetResID(), 77);
    EXPECT_EQ(m_Lookup.m_nMatchCalls, 0);
}

TEST_F(FontManager, NoFaceAtAllGives23AndPoolsNothing) {
    m_Lookup.m_Substitutes.clear();
    gCFont* font = nullptr;
    EXPECT_EQ(gCFont::UseFont(font, S("No Such Font")), eCreateFailed);
    EXPECT_EQ(font, nullptr);
    EXPECT_EQ(FontPool().GetCount(), 0);
    EXPECT_TRUE(m_Services.m_Alerts.empty()) << "a missing font is not shown";
}

TEST_F(FontManager, GetFontPathGivesTheWholePathOrTheFallbacks) {
    const std::string mono = m_Lookup.m_Substitutes["Helvetica"].path;
    m_Lookup.m_Installed["Test Sans"] = {WriteFontFile("DejaVu Sans", "Fonts/Test Sans.ttf"), 0};
    EXPECT_EQ(U(gCFont::GetFontPath(S("Test Sans"))), Posix("Fonts/Test Sans.ttf"));
    EXPECT_EQ(U(gCFont::GetFontPath(S("Other"))), mono);
    m_Lookup.m_Substitutes.clear();
    EXPECT_EQ(gCFont::GetFontPath(S("Other")).GetLength(), 0);
}

TEST_F(FontManager, LoadFromFileOpensAColonPath) {
    (void)WriteFontFile("DejaVu Sans Mono", "Fonts/A.ttf");
    ASSERT_EQ(gCFont::LoadFromFile(S("HD:Fonts:A.ttf"), S("Mono"), 9), eNoError);
    gCFont* font = dynamic_cast<gCFont*>(FontPool().FindByName(S("Mono")));
    EXPECT_EQ(FamilyOf(font), "DejaVu Sans Mono");
    EXPECT_EQ(gCFont::LoadFromFile(S("HD:Fonts:Missing.ttf"), S("X"), 1), eCreateFailed);
    EXPECT_EQ(gCFont::LoadFromFile(S("Nowhere:A.ttf"), S("X"), 1), eCreateFailed);
    EXPECT_EQ(FontPool().GetCount(), 1);
}

TEST_F(FontManager, TheSameSizeKeepsTheGlyphCacheAnotherEmptiesIt) {
    gCFont font;
    ASSERT_EQ(font.GetFromRes(S("DejaVu Sans"), nullptr, nullptr), eNoError);
    const auto cacheAfter = [&](auto set) {
        ASSERT_NE(gCFont::CreateGlyphCache(font.GetFace()), nullptr);
        set();
    };
    struct Step {
        const char* what;
        bool pixels;
        float size;
        float aspect;
        bool keeps;
    };
    const Step steps[] = {
        {"first point size", false, 12.0f, 1.0f, false},
        {"same point size", false, 12.0f, 1.0f, true},
        {"other point size", false, 13.0f, 1.0f, false},
        {"other aspect", false, 13.0f, 0.5f, false},
        {"pixel size", true, 13.0f, 0.5f, false},
        {"same pixel size", true, 13.0f, 0.5f, true},
        {"other pixel size", true, 14.0f, 0.5f, false},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        cacheAfter([&] {
            const error e = step.pixels ? font.SetFontPixelHeight(int32_t(step.size), step.aspect)
                                        : font.SetFontPointHeight(step.size, step.aspect);
            EXPECT_EQ(e, eNoError);
        });
        EXPECT_EQ(gCFont::GlyphCache(font.GetFace()) != nullptr, step.keeps);
        EXPECT_EQ(font.GetPixelHeight(), step.pixels ? int32_t(step.size) : -1);
        EXPECT_EQ(font.GetPointHeight(), step.pixels ? -1.0f : step.size);
    }
    gCFont empty;
    EXPECT_EQ(empty.SetFontPixelHeight(12, 1.0f), eCreateFailed);
    EXPECT_EQ(empty.SetFontPointHeight(12.0f, 1.0f), eCreateFailed);
}

TEST_F(FontManager, KerningPairsAreKeptSortedAndScaledToAWholePixel) {
    gCFont font;
    ASSERT_EQ(font.GetFromRes(S("DejaVu Sans"), nullptr, nullptr), eNoError);
    ASSERT_EQ(font.GetFace()->units_per_EM, 2048);
    ASSERT_EQ(font.SetFontPixelHeight(20, 1.0f), eNoError);
    int32_t kerning = -5;
    EXPECT_EQ(font.GetCustomKerning('A', 'V', kerning), eGenericFailure) << "no pairs";
    EXPECT_EQ(kerning, -5);

    font.SetKerning('V', 'A', 7);
    font.SetKerning('A', 'V', 50);
    font.SetKerning('A', 'V', 100); // replaces
    font.SetKerning('A', 'T', -100);
    EXPECT_EQ(font.GetKerningCount(), 3);
    // 100 units x 0.625 (16.16) = 63/64 pixel, which rounds to one pixel.
    EXPECT_EQ(font.GetCustomKerning('A', 'V', kerning), eNoError);
    EXPECT_EQ(kerning, 64);
    EXPECT_EQ(font.GetCustomKerning(font.GetFace(), 'A', 'T', kerning), eNoError);
    EXPECT_EQ(kerning, -64);
    EXPECT_EQ(font.GetCustomKerning('V', 'A', kerning), eNoError);
    EXPECT_EQ(kerning, 0) << "7 units are 0.07 pixel";
    EXPECT_EQ(font.GetCustomKerning('T', 'A', kerning), eGenericFailure);

    gCFont::CKerning a, b;
    a.m_nFirst = 1;
    b.m_nFirst = 2;
    EXPECT_EQ(gCFont::CompareKerning(&a, &b, nullptr), 1);
    EXPECT_EQ(gCFont::CompareKerning(&b, &a, nullptr), -1);
    b.m_nFirst = 1;
    b.m_nSecond = 1;
    EXPECT_EQ(gCFont::CompareKerning(&a, &b, nullptr), 1);
    EXPECT_EQ(gCFont::CompareKerning(&a, &a, nullptr), 0);

    // Loading the font again drops its pairs and its size.
    ASSERT_EQ(font.GetFromRes(S("DejaVu Sans"), nullptr, nullptr), eNoError);
    EXPECT_EQ(font.GetKerningCount(), 0);
    EXPECT_EQ(font.GetPixelHeight(), -1);
}

// A resource file of font blocks written by hand, opened as the font file.
class FontBlocks : public FontFixture {
protected:
    void TearDown() override {
        m_Font.ResetFontData(); // before the manager closes
        FontFixture::TearDown();
    }
    error Load(const std::string& payload) {
        MakeFile("blocks.vrf", VersionBlock(2) + ResBlock(kResFontTag, 1, "F", payload));
        gCFRef ref(S("HD:blocks.vrf"));
        EXPECT_EQ(m_File.Open(&ref, eAccessReadOnly), eNoError);
        return m_Font.GetFromRes(S("F"), &m_File, nullptr);
    }
    std::string Alerts() const {
        std::string all;
        for (const auto& alert : m_Services.m_Alerts) {
            all += alert.text + ";";
        }
        return all;
    }

    gCFile m_File;
    gCFont m_Font;
};

TEST_F(FontBlocks, DamagedBlocksAreRefusedWithTheirTexts) {
    const std::string notAFont = "this is no font file";
    struct Case {
        const char* what;
        std::string payload;
        error result;
        const char* alert;
    };
    const Case cases[] = {
        {"size cut short", "\x10\x00", eFileReadWriteError, "Font load size failed."},
        {"negative size", Le32(uint32_t(-4)) + "abcd", eResourceReadError,
         "Font load size failed."},
        {"size beyond the block", Le32(1000) + "abcd", eResourceReadError,
         "Font load size failed."},
        {"size of two thousand million", Le32(0x7FFFFFF0) + "abcd", eResourceReadError,
         "Font load size failed."},
        {"not a font", Le32(uint32_t(notAFont.size())) + notAFont, eCreateFailed,
         "Font failed to create from loaded resources."},
        {"empty font", Le32(0), eCreateFailed, "Font failed to create from loaded resources."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        m_Services.m_Alerts.clear();
        {
            // The face's bytes are at most the block's; names and the
            // like take a few dozen.
            CLargestRequest watch;
            EXPECT_EQ(Load(c.payload), c.result);
            EXPECT_LE(CLargestRequest::Largest(), std::max<size_t>(c.payload.size(), 64));
        }
        EXPECT_NE(Alerts().find(c.alert), std::string::npos) << Alerts();
        EXPECT_EQ(m_Font.GetFace(), nullptr) << "a failed load leaves the font empty";
    }
}

TEST_F(FontBlocks, AMissingBlockIsNotShown) {
    MakeFile("blocks.vrf", VersionBlock(2));
    gCFRef ref(S("HD:blocks.vrf"));
    ASSERT_EQ(m_File.Open(&ref, eAccessReadOnly), eNoError);
    EXPECT_EQ(m_Font.GetFromRes(S("F"), &m_File, nullptr), eResourceNotFound);
    EXPECT_EQ(m_Font.GetFromRes(7, &m_File, nullptr), eResourceNotFound);
    EXPECT_TRUE(m_Services.m_Alerts.empty());
    m_Services.m_pFontFile = nullptr;
    EXPECT_EQ(m_Font.GetFromRes(S("DejaVu Sans"), nullptr, nullptr), eBadParameter);
}

// A bitmap-only face has no units per em: nothing can be scaled from it.
TEST_F(FontBlocks, ABitmapOnlyFaceIsRefused) {
    const std::string bdf = "STARTFONT 2.1\nFONT -test-fixed-medium-r-normal--8-80-75-75-c-80-"
                            "iso10646-1\nSIZE 8 75 75\nFONTBOUNDINGBOX 8 8 0 0\n"
                            "STARTPROPERTIES 2\nFONT_ASCENT 8\nFONT_DESCENT 0\nENDPROPERTIES\n"
                            "CHARS 1\nSTARTCHAR A\nENCODING 65\nSWIDTH 1000 0\nDWIDTH 8 0\n"
                            "BBX 8 8 0 0\nBITMAP\nFF\n81\n81\n81\n81\n81\n81\nFF\nENDCHAR\n"
                            "ENDFONT\n";
    EXPECT_EQ(Load(Le32(uint32_t(bdf.size())) + bdf), eCreateFailed);
    EXPECT_NE(Alerts().find("Font failed to create from loaded resources."), std::string::npos);
    EXPECT_EQ(m_Font.GetFace(), nullptr);

    MakeFile("fixed.bdf", bdf);
    EXPECT_EQ(gCFont::LoadFromFile(S("HD:fixed.bdf"), S("Fixed"), 1), eCreateFailed);
    m_Lookup.m_Installed["Fixed"] = {Posix("fixed.bdf"), 0};
    m_Lookup.m_Substitutes.clear();
    EXPECT_EQ(gCFont::LoadSystemFont(S("Fixed"), 1), eCreateFailed);
    EXPECT_EQ(FontPool().GetCount(), 0);
}

TEST_F(FontBlocks, ABlockTooBigForMemoryIsShown) {
    // Some allocation before the font data's is the block search's own;
    // the first count of allowed allocations that reaches the font data
    // must give the memory failure.
    MakeFile("blocks.vrf", VersionBlock(2) + ResBlock(kResFontTag, 1, "F", Le32(4) + "abcd"));
    gCFRef ref(S("HD:blocks.vrf"));
    ASSERT_EQ(m_File.Open(&ref, eAccessReadOnly), eNoError);
    const gCString name = S("F");
    bool reached = false;
    for (int32_t allowed = 0; allowed < 64 && !reached; ++allowed) {
        m_Services.m_Alerts.clear();
        ASSERT_EQ(m_File.Rewind(), eNoError); // a failed search stops anywhere
        error e = eNoError;
        {
            const CFailingMemory failing(allowed);
            e = m_Font.GetFromRes(name, &m_File, nullptr);
        }
        reached = Alerts().find("Not enough memory to load font") != std::string::npos;
        if (reached) {
            EXPECT_EQ(e, eOutOfMemory);
        }
    }
    EXPECT_TRUE(reached);
}

// A stream whose long reads fail, as a disk error would.
class CFailingReadFile : public gCFile {
public:
    error ReadBlock(void* destination, int32_t n) override {
        return n > 16 ? eFileReadWriteError : gCFile::ReadBlock(destination, n);
    }
};

TEST_F(FontBlocks, AReadFailureIsShown) {
    MakeFile("blocks.vrf",
             VersionBlock(2) + ResBlock(kResFontTag, 1, "F", Le32(40) + std::string(40, 'x')));
    CFailingReadFile file;
    gCFRef ref(S("HD:blocks.vrf"));
    ASSERT_EQ(file.Open(&ref, eAccessReadOnly), eNoError);
    EXPECT_EQ(m_Font.GetFromRes(S("F"), &file, nullptr), eFileReadWriteError);
    EXPECT_NE(Alerts().find("Font failed to load from resources."), std::string::npos);
    EXPECT_EQ(m_Font.GetFace(), nullptr);
}

} // namespace
