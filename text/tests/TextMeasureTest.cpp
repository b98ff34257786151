// Measuring: widths, positions, where lines break and how many lines a
// wrapped text takes, worked out by hand from the faces' hinted advances.

#include <gtest/gtest.h>

#include <string>

#include "foundation/Rounding.h"
#include "text/detail/FreeType.h"
#include "text/tests/FontFixture.h"

namespace {

// DejaVu Sans Mono at 16 pixels: every character advances 10 whole pixels,
// and a line is 16 / 2048 x 2384 = 18.625 pixels high.
constexpr int32_t kMonoPixels = 16;
constexpr float kMonoLineHeight = 18.625f;

class TextMeasure : public FontFixture {
protected:
    void SetUp() override {
        FontFixture::SetUp();
        m_Mono = Renderer("DejaVu Sans Mono", kMonoPixels);
        FT_Face face = nullptr;
        ASSERT_EQ(m_Mono.BuildFace(face), eNoError);
        ASSERT_EQ(face->height, 2384);
        ASSERT_EQ(FT_Load_Glyph(face, FT_Get_Char_Index(face, 'M'), FT_LOAD_DEFAULT), 0);
        ASSERT_EQ(face->glyph->advance.x, 640);
        ASSERT_EQ(m_Mono.m_rLineHeight, kMonoLineHeight);
    }

    CTextRenderer m_Mono;
};

TEST_F(TextMeasure, WidthIsTheAdvanceSumRoundedUpWithHalfAPixelToSpare) {
    struct Case {
        const char16_t* text;
        int32_t width;
    };
    const Case cases[] = {
        {u"", 0},      {nullptr, 0}, {u"M", 11}, // (640 + 96) >> 6
        {u"MMM", 31},                            // (1920 + 96) >> 6
        {u"a\rb", 31},                           // line ends measure as characters
    };
    for (const Case& c : cases) {
        EXPECT_EQ(m_Mono.CalcTextWidth(c.text), c.width);
    }
    m_Mono.m_rKerningScale = 1.5f;
    EXPECT_EQ(m_Mono.CalcTextWidth(u"MM"), 31) << "(1920 + 96) >> 6";
    m_Mono.m_nTracking = 32;
    EXPECT_EQ(m_Mono.CalcTextWidth(u"MM"), 32) << "(1968 + 96) >> 6";
}

TEST_F(TextMeasure, PositionsAreRightEdgesWithTheOffset) {
    int32_t positions[5] = {-1, -1, -1, -1, -1};
    m_Mono.m_rXOffset = 2.5f; // rounds to 3
    ASSERT_EQ(m_Mono.CharPositions(u"abc", positions), eNoError);
    EXPECT_EQ(positions[0], 0);
    EXPECT_EQ(positions[1], 14);
    EXPECT_EQ(positions[2], 24);
    EXPECT_EQ(positions[3], 34);
    EXPECT_EQ(positions[4], -1) << "one entry more than characters, no further";
}

TEST_F(TextMeasure, HeightCountsWrappedLines) {
    struct Case {
        const char16_t* text;
        int32_t wrap;
        int32_t lines; // 0: the unwrapped height
    };
    const Case cases[] = {
        {u"abc", 0, 0},   {u"abc\rdef", 0, 0}, {u"", 1, 0},           {u"abc\rdef", 1, 2},
        {u"abc\r", 1, 2}, {u"\r\n", 1, 3},     {u"abc\r\ndef", 1, 3}, {u"abc", 1, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::u16string(c.text).size());
        m_Mono.m_fWordWrap = c.wrap;
        const float expected =
            c.lines == 0 ? kMonoLineHeight + 0.5f : kMonoLineHeight * float(c.lines) + 1.5f;
        EXPECT_EQ(m_Mono.CalcTextHeight(c.text, 500), int32_t(RoundHalfAway(expected)));
    }
    m_Mono.m_fWordWrap = 1;
    m_Mono.m_rLineSpaceScale = 2.0f;
    EXPECT_EQ(m_Mono.CalcTextHeight(u"a\rb", 500), 76) << "18.625 x 2 x 2 + 1.5, rounded";
}

TEST_F(TextMeasure, LinesBreakAfterTheLastCandidateThatFits) {
    const std::u16string hundred(100, u'x');
    struct Case {
        const char* what;
        std::u16string text;
        int32_t width;
        int32_t breakAt;
    };
    // A character i's right edge is 10 (i + 1) + 1 within one chunk of 64;
    // a line holds the characters whose right edge is below width - 2.
    const Case cases[] = {
        {"a width of 2 fits nothing", u"abc", 2, 0},
        {"an empty line", u"", 100, 0},
        {"a line end first", u"\rabc", 100, 0},
        {"the whole line fits", u"abc", 100, 3},
        {"up to the line end", u"ab\rcd", 100, 2},
        {"after the last space that fits", u"aaa bbb ccc", 94, 8},
        {"punctuation breaks too", u"aaa-bbb,ccc", 94, 8},
        {"a space fits only whole", u"aaa bbb", 43, 3},
        {"no candidate: the first that overflows", u"abcdefgh", 43, 3},
        // The first chunk ends at 641; in the second, character 64 + k ends
        // at 641 + 10 (k + 1) + 1, which reaches 701 at k = 5.
        {"across the 64-character chunk", hundred, 703, 69},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(m_Mono.CalcBreakCharPos(c.text.c_str(), c.width), c.breakAt);
    }
}

TEST_F(TextMeasure, AStyleWithoutItsFaceGetsTheHelveticaFaceUnderItsFullName) {
    CTextRenderer renderer = Renderer("X", 12);
    renderer.m_fBold = 1;
    FT_Face face = nullptr;
    ASSERT_EQ(renderer.BuildFace(face), eNoError);
    ASSERT_NE(renderer.m_pFont, nullptr);
    EXPECT_EQ(U(renderer.m_pFont->GetResName()), "X Bold");
    EXPECT_STREQ(face->family_name, kHelveticaStandIn);
    EXPECT_EQ(FontPool().FindByName(S("X")), nullptr) << "the plain family only when even "
                                                         "Helvetica is missing";
    // With no fallback face at all, the plain family's own face serves.
    m_Lookup.m_Substitutes.clear();
    renderer = Renderer("DejaVu Sans Mono", 12);
    renderer.m_fItalic = 1;
    ASSERT_EQ(renderer.BuildFace(face), eNoError);
    EXPECT_EQ(U(renderer.m_pFont->GetResName()), "DejaVu Sans Mono");
    renderer.m_sFontName = S("Nothing");
    EXPECT_EQ(renderer.BuildFace(face), eCreateFailed);
    EXPECT_EQ(renderer.CalcTextWidth(u"abc"), 0);
    EXPECT_EQ(renderer.CalcTextHeight(u"abc", 100), 0);
}

TEST_F(TextMeasure, AssignmentCopiesTheAttributesAndKeepsTheTargetsOwn) {
    CTextRenderer source = Renderer("DejaVu Sans", 20);
    source.m_fBold = source.m_fItalic = source.m_fUnderline = source.m_fWordWrap = 1;
    source.m_nColour = 0xFF123456;
    source.m_eJustify = CTextRenderer::eJustifyRight;
    source.m_rXOffset = 3.0f;
    source.m_rYOffset = 4.0f;
    source.m_rAspect = 0.5f;
    source.m_rKerningScale = 1.25f;
    source.m_rLineSpaceScale = 3.0f;
    source.m_nTracking = 9;
    source.m_fSubPixelX = 1;
    CTextRenderer target;
    target.m_rLineSpaceScale = 1.5f;
    target = source;
    EXPECT_EQ(U(target.m_sFontName), "DejaVu Sans");
    EXPECT_EQ(target.m_nPixelHeight, 20);
    EXPECT_EQ(target.m_fBold + target.m_fItalic + target.m_fUnderline + target.m_fWordWrap, 4);
    EXPECT_EQ(uint32_t(target.m_nColour), 0xFF123456u);
    EXPECT_EQ(target.m_eJustify, CTextRenderer::eJustifyRight);
    EXPECT_EQ(target.m_rXOffset + target.m_rYOffset, 7.0f);
    EXPECT_EQ(target.m_rAspect, 0.5f);
    EXPECT_EQ(target.m_rKerningScale, 1.25f);
    EXPECT_EQ(target.m_rLineSpaceScale, 1.5f) << "kept";
    EXPECT_EQ(target.m_nTracking, 0) << "kept";
    EXPECT_EQ(target.m_fSubPixelX, 0) << "kept";
}

// A character wider than the width at the start of a later line: the count
// takes it alone on its line and ends.
TEST_F(TextMeasure, HeightCountEndsOnACharacterTooWideForALaterLine) {
    CTextRenderer sans = Renderer("DejaVu Sans", kMonoPixels);
    sans.m_fWordWrap = 1;
    FT_Face face = nullptr;
    ASSERT_EQ(sans.BuildFace(face), eNoError);
    const int32_t width = sans.CalcTextWidth(u"i") + 3;
    ASSERT_LT(width - 2, sans.CalcTextWidth(u"W"));
    const int32_t oneLine = sans.CalcTextHeight(u"i", width);
    const int32_t threeLines = int32_t(RoundHalfAway(sans.m_rLineHeight * 3.0f + 1.5f));
    EXPECT_EQ(sans.CalcTextHeight(u"i\rWW", width), threeLines);
    EXPECT_EQ(sans.CalcTextHeight(u"iW", width),
              int32_t(RoundHalfAway(sans.m_rLineHeight * 2.0f + 1.5f)));
    EXPECT_EQ(sans.CalcTextHeight(u"W", width), oneLine) << "a first character stops the count";
}

} // namespace
