// Drawing: the gamma tables, compositing by maximum into 8-bit and 32-bit
// targets, clipping at the edges, the line layout, and a few pictures.
// Compositing is checked with glyph images placed in the cache by hand, so
// every expected value is worked out exactly.

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "foundation/Rounding.h"
#include "imaging/ImNav.h"
#include "imaging/Image.h"
#include "imaging/Image8.h"
#include "testsupport/foundation/ChildProcess.h"
#include "testsupport/imaging/Goldens.h"
#include "text/detail/FreeType.h"
#include "text/detail/GlyphBitmap.h"
#include "text/tests/FontFixture.h"

namespace {

std::vector<uint8_t> Row8(CImage8& image, int32_t y) {
    CImNav8 view(&image);
    return std::vector<uint8_t>(view.Row(y), view.Row(y) + view.GetWidth());
}

std::vector<uint32_t> Row32(CImage& image, int32_t y) {
    CImNav view(&image);
    std::vector<uint32_t> row;
    for (int32_t x = 0; x < view.GetWidth(); ++x) {
        row.push_back(uint32_t(view.Row(y)[x]));
    }
    return row;
}

// The rows of an 8-bit image that hold any coverage.
std::vector<int32_t> InkRows(CImage8& image) {
    std::vector<int32_t> rows;
    CImNav8 view(&image);
    for (int32_t y = 0; y < view.GetHeight(); ++y) {
        for (int32_t x = 0; x < view.GetWidth(); ++x) {
            if (view.Row(y)[x]) {
                rows.push_back(y);
                break;
            }
        }
    }
    return rows;
}

bool SamePixels(CImage8& a, CImage8& b) {
    if (a.GetWidth() != b.GetWidth() || a.GetHeight() != b.GetHeight()) {
        return false;
    }
    for (int32_t y = 0; y < a.GetHeight(); ++y) {
        if (Row8(a, y) != Row8(b, y)) {
            return false;
        }
    }
    return true;
}

TEST(GammaTables, AreBuiltFromTheGamma) {
    CTextRenderer::BuildGammaLUT(2.0f);
    EXPECT_EQ(CTextRenderer::m_nGammaLUT[128], 64);     // 255 x (128/255)^2 = 64.25
    EXPECT_EQ(CTextRenderer::m_nGammaLUTInv[128], 181); // 255 x (128/255)^0.5 = 180.66
    EXPECT_EQ(CTextRenderer::m_nGammaLUT[255], 255);
    EXPECT_EQ(CTextRenderer::m_nGammaLUT[0], 0);
    CTextRenderer::BuildGammaLUT(1.0f);
    for (int32_t i = 0; i < 256; ++i) {
        ASSERT_EQ(CTextRenderer::m_nGammaLUT[i], i);
        ASSERT_EQ(CTextRenderer::m_nGammaLUTInv[i], i);
    }
    CTextRenderer::BuildGammaLUT(-1.0f); // not a gamma: no correction
    EXPECT_EQ(CTextRenderer::m_nGammaLUT[128], 128);
}

// FreeType's bitmaps as the glyph reader takes them.
TEST(GlyphBitmaps, AreReadByPitchAndPixelMode) {
    uint8_t lut[256];
    for (int32_t i = 0; i < 256; ++i) {
        lut[i] = uint8_t(i);
    }
    // 1-bit, 10 pixels over two bytes a row, rows running down.
    unsigned char mono[] = {0xA0, 0x40, 0xFF, 0xC0};
    FT_Bitmap bitmap{};
    bitmap.pixel_mode = FT_PIXEL_MODE_MONO;
    bitmap.width = 10;
    bitmap.rows = 2;
    bitmap.pitch = 2;
    bitmap.buffer = mono;
    CImage8 image(10, 2);
    CopyCoverage(bitmap, lut, image);
    EXPECT_EQ(Row8(image, 0), (std::vector<uint8_t>{255, 0, 255, 0, 0, 0, 0, 0, 0, 255}));
    EXPECT_EQ(Row8(image, 1), std::vector<uint8_t>(10, 255));

    // Gray rows running up (negative pitch): the last row in memory is the
    // top one.
    unsigned char gray[] = {1, 2, 3, 4, 5, 6};
    bitmap.pixel_mode = FT_PIXEL_MODE_GRAY;
    bitmap.width = 3;
    bitmap.rows = 2;
    bitmap.pitch = -3;
    bitmap.buffer = gray;
    CImage8 up(3, 2);
    CopyCoverage(bitmap, lut, up);
    EXPECT_EQ(Row8(up, 0), (std::vector<uint8_t>{4, 5, 6}));
    EXPECT_EQ(Row8(up, 1), (std::vector<uint8_t>{1, 2, 3}));

    // A pitch narrower than the width: no read leaves a row.
    bitmap.pitch = 2;
    bitmap.width = 3;
    CImage8 narrow(3, 2);
    CopyCoverage(bitmap, lut, narrow);
    EXPECT_EQ(Row8(narrow, 0), (std::vector<uint8_t>{1, 2, 0}));
    EXPECT_EQ(Row8(narrow, 1), (std::vector<uint8_t>{3, 4, 0}));

    // Other pixel modes give no coverage.
    bitmap.pixel_mode = FT_PIXEL_MODE_LCD;
    CImage8 none(3, 2);
    CopyCoverage(bitmap, lut, none);
    EXPECT_EQ(Row8(none, 0), std::vector<uint8_t>(3, 0));
}

// DejaVu Sans Mono at 16 pixels, whose glyph images for 'A', 'B' and 'C' are
// replaced in the cache by small images of known coverage, drawn with their
// top row on the run's line (y 0) and their left column at the pen.
class Compositing : public FontFixture {
protected:
    void SetUp() override {
        FontFixture::SetUp();
        m_Renderer = Renderer("DejaVu Sans Mono", 16);
        ASSERT_EQ(m_Renderer.BuildFace(m_Face), eNoError);
        ASSERT_EQ(m_Face->size->metrics.y_ppem, 16);
        m_pCache = gCFont::CreateGlyphCache(m_Face);
        ASSERT_NE(m_pCache, nullptr);
    }

    void Place(char16_t c, std::vector<uint8_t> coverage) {
        gCFont::CCharInfo& record = (*m_pCache)[c];
        record.m_pImage = std::make_unique<CImage8>(int32_t(coverage.size()), 1);
        CImNav8 view(record.m_pImage.get());
        std::copy(coverage.begin(), coverage.end(), view.Row(0));
        record.m_nLeft = 0;
        record.m_nTop = 16; // the row one em above the baseline: the line's top
        record.m_nAdvance = 640;
    }

    error Draw(const char16_t* text, CImageBase& image, float x = 0.0f) {
        return m_Renderer.RenderTextWithFace(m_Face, text, &image, x, 0.0f, 0);
    }

    CTextRenderer m_Renderer;
    FT_Face m_Face = nullptr;
    gCFont::CGlyphCache* m_pCache = nullptr;
};

TEST_F(Compositing, CoverageIsKeptByMaximumIn8BitTargets) {
    Place('A', {128, 255, 64});
    CImage8 cleared(4, 2);
    EXPECT_EQ(Draw(u"A", cleared), eNoError);
    EXPECT_EQ(Row8(cleared, 0), (std::vector<uint8_t>{128, 255, 64, 0}));
    EXPECT_EQ(Row8(cleared, 1), (std::vector<uint8_t>{0, 0, 0, 0}));

    CImage8 filled(4, 1);
    {
        CImNav8 view(&filled);
        view.Fill(100);
    }
    EXPECT_EQ(Draw(u"A", filled), eNoError);
    EXPECT_EQ(Row8(filled, 0), (std::vector<uint8_t>{128, 255, 100, 100}));
}

TEST_F(Compositing, CoverageBecomesTheColoursAlphaIn32BitTargets) {
    Place('A', {128, 128, 64, 0});
    m_Renderer.m_nColour = 0x01AABBCC; // its own alpha is not used
    CImage image(4, 1, 0);
    {
        CImNav view(&image);
        view.Row(0)[0] = 0x10FFFFFF;
        view.Row(0)[1] = 0xC8123456;
        view.Row(0)[2] = 0x40123456;
        view.Row(0)[3] = 0x00123456;
    }
    EXPECT_EQ(Draw(u"A", image), eNoError);
    EXPECT_EQ(Row32(image, 0),
              (std::vector<uint32_t>{0x80AABBCC, 0xC8123456, 0x40123456, 0x00123456}));
}

TEST_F(Compositing, OverlappingGlyphsKeepTheLargerCoverage) {
    Place('A', {128, 50, 7});
    Place('B', {60, 200});
    m_Renderer.m_nTracking = -640; // B starts where A does
    CImage8 image(3, 1);
    EXPECT_EQ(Draw(u"AB", image), eNoError);
    EXPECT_EQ(Row8(image, 0), (std::vector<uint8_t>{128, 200, 7}));
}

TEST_F(Compositing, NothingIsDrawnAtOrBeyondTheRightEdge) {
    Place('A', {1, 2, 3});
    Place('B', {4, 5, 6});
    Place('C', {9});
    // C is kerned back to the start: drawn only while the run goes on.
    m_Renderer.m_pFont->SetKerning('B', 'C', -2560); // -20 pixels at 16 pixels per em
    struct Case {
        int32_t width;
        std::vector<uint8_t> row;
    };
    const Case cases[] = {
        {2, {9, 2}},                             // A cut, B beyond: skipped, C drawn
        {10, {1, 2, 3, 0, 0, 0, 0, 0, 0, 0}},    // B on the edge ends the run
        {11, {9, 2, 3, 0, 0, 0, 0, 0, 0, 0, 4}}, // B's first column
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.width);
        CImage8 image(c.width, 1);
        EXPECT_EQ(Draw(u"ABC", image), eNoError);
        EXPECT_EQ(Row8(image, 0), c.row);
    }
    // Cut on the left: the glyph's first columns fall outside.
    CImage8 left(3, 1);
    EXPECT_EQ(Draw(u"A", left, -2.0f), eNoError);
    EXPECT_EQ(Row8(left, 0), (std::vector<uint8_t>{3, 0, 0}));
}

TEST_F(Compositing, ACharacterTheFaceLacksLeavesNoGap) {
    Place('A', {7, 8});
    CImage8 alone(4, 1);
    CImage8 after(4, 1);
    EXPECT_EQ(Draw(u"A", alone), eNoError);
    EXPECT_EQ(Draw(u"\uFFFFA", after), eNoError);
    ASSERT_EQ(FT_Get_Char_Index(m_Face, 0xFFFF), 0u);
    EXPECT_TRUE(SamePixels(alone, after));
}

// Real glyphs: DejaVu Sans Mono at 16 pixels, lines 18.625 pixels apart.
class Rendering : public FontFixture {
protected:
    void SetUp() override {
        FontFixture::SetUp();
        m_Renderer = Renderer("DejaVu Sans Mono", 16);
    }
    CTextRenderer m_Renderer;
};

TEST_F(Rendering, EmptyTextClearsOrLeavesTheImage) {
    CImage8 image(5, 5);
    {
        CImNav8 view(&image);
        view.Fill(9);
    }
    EXPECT_EQ(m_Renderer.RenderTextOver(gCString(), &image), eNoError);
    EXPECT_EQ(Row8(image, 2), std::vector<uint8_t>(5, 9)) << "over: untouched";
    EXPECT_EQ(m_Renderer.RenderText(gCString(), &image, 1), eNoError);
    EXPECT_EQ(image.GetWidth(), 5) << "an empty text is not resized to";
    EXPECT_EQ(Row8(image, 2), std::vector<uint8_t>(5, 0));
    EXPECT_EQ(m_Renderer.RenderText(S("abc"), nullptr, 0), eNoError);
    m_Renderer.m_sFontName = S("Nothing");
    m_Lookup.m_Substitutes.clear();
    EXPECT_EQ(m_Renderer.RenderText(S("abc"), &image, 0), eCreateFailed);
}

TEST_F(Rendering, ResizingFitsTheImageToTheText) {
    CImage8 image(5, 5);
    ASSERT_EQ(m_Renderer.RenderText(S("abc"), &image, 1), eNoError);
    EXPECT_EQ(image.GetWidth(), m_Renderer.CalcTextWidth(u"abc"));
    EXPECT_EQ(image.GetWidth(), 31);
    EXPECT_EQ(image.GetHeight(), 20) << "18.625 + 1.5, rounded";
    EXPECT_FALSE(InkRows(image).empty());

    m_Renderer.m_fWordWrap = 1;
    CImage8 wrapped(45, 1);
    ASSERT_EQ(m_Renderer.RenderText(S("abc def"), &wrapped, 1), eNoError);
    EXPECT_EQ(wrapped.GetWidth(), 45);
    EXPECT_EQ(wrapped.GetHeight(), 39) << "two lines: 37.25 + 1.5, rounded";
}

TEST_F(Rendering, JustificationPlacesTheLine) {
    const int32_t textWidth = m_Renderer.CalcTextWidth(u"ab");
    struct Case {
        CTextRenderer::EJustify justify;
        float offset;
    };
    const Case cases[] = {
        {CTextRenderer::eJustifyRight, float(40 - textWidth)},
        {CTextRenderer::eJustifyCentre, float(40 - textWidth) * 0.5f},
        {CTextRenderer::EJustify(7), float(40 - textWidth) * 0.5f},
    };
    for (const Case& c : cases) {
        CTextRenderer justified = m_Renderer;
        justified.m_eJustify = c.justify;
        CTextRenderer placed = m_Renderer;
        placed.m_rXOffset = c.offset;
        CImage8 a(40, 20), b(40, 20);
        ASSERT_EQ(justified.RenderTextOver(S("ab"), &a), eNoError);
        ASSERT_EQ(placed.RenderText(S("ab"), &b, 0), eNoError);
        EXPECT_TRUE(SamePixels(a, b)) << c.justify;
    }
}

TEST_F(Rendering, WrappedLinesKeepTheirEmptyLines) {
    m_Renderer.m_fWordWrap = 1;
    CImage8 image(40, 80);
    ASSERT_EQ(m_Renderer.RenderText(S("a\r\rb"), &image, 0), eNoError);
    // Line 1 spans rows 0 to 18, line 2 rows 19 to 37, line 3 from 37.25.
    bool line1 = false, line3 = false;
    for (int32_t row : InkRows(image)) {
        line1 = line1 || row <= 18;
        line3 = line3 || (row > 37 && row <= 56);
        EXPECT_FALSE(row > 18 && row <= 37) << "ink on the empty line 2, row " << row;
        EXPECT_LE(row, 56);
    }
    EXPECT_TRUE(line1);
    EXPECT_TRUE(line3);
}

std::u16string U16(const char* text) {
    return std::u16string(text, text + std::strlen(text));
}

// Line heights of 0 or less: lines at one top are drawn over each other,
// lines going upward are drawn while their next top is not above the image,
// and a character wider than the image at a line start ends the layout
// there. Each case is compared with its lines drawn one by one, unwrapped,
// at their tops (coverage composites by maximum, so the order is free). A
// hang ends the child that runs the layout.
TEST_F(Rendering, LayoutWithALineHeightOfZeroOrLess) {
    struct Line {
        const char* text;
        int32_t index; // its top is the y offset + index x the line height
    };
    struct Case {
        const char* name;
        float scale;
        float yOffset;
        int32_t width, height;
        const char* text;
        std::vector<Line> lines;
    };
    const Case cases[] = {
        {"one top", 0.0f, 0.0f, 30, 40, "a\rb", {{"a", 0}, {"b", 0}}},
        {"upward", -1.0f, 40.0f, 30, 60, "a\rb\rc", {{"a", 0}, {"b", 1}}},
        {"wide first, one top", 0.0f, 0.0f, 5, 40, "MMMM", {}},
        {"wide first, upward", -1.0f, 0.0f, 8, 40, "a MMMM", {}},
        {"wide later, one top", 0.0f, 10.0f, 12, 40, "a\rMMMM", {{"a", 0}}},
        {"wide later, upward", -1.0f, 20.0f, 12, 40, "a\rMMMM", {{"a", 0}}},
        {"down", 1.0f, 0.0f, 30, 60, "a\rb\rc", {{"a", 0}, {"b", 1}, {"c", 2}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CTextRenderer renderer = Renderer("DejaVu Sans", 13);
        renderer.m_fWordWrap = 1;
        renderer.m_rLineSpaceScale = c.scale;
        renderer.m_rYOffset = c.yOffset;
        const SChildEnd end = RunInChild([&] {
            CImage8 image(c.width, c.height);
            const std::u16string units = U16(c.text);
            (void)renderer.CalcTextHeight(units.c_str(), c.width); // the count ends too
            return renderer.RenderText(S(c.text), &image, 0) == eNoError ? 0 : 1;
        });
        ASSERT_EQ(end, ChildExited(0)) << "the layout and the line count end";

        CImage8 image(c.width, c.height);
        ASSERT_EQ(renderer.RenderText(S(c.text), &image, 0), eNoError);
        const float lineHeight = renderer.m_rLineHeight * c.scale;
        CImage8 expected(c.width, c.height);
        for (const Line& line : c.lines) {
            CTextRenderer alone = renderer;
            alone.m_fWordWrap = 0;
            alone.m_rYOffset = c.yOffset + float(line.index) * lineHeight;
            ASSERT_EQ(alone.RenderTextOver(S(line.text), &expected), eNoError);
            CImage8 only(c.width, c.height);
            ASSERT_EQ(alone.RenderText(S(line.text), &only, 0), eNoError);
            EXPECT_FALSE(InkRows(only).empty()) << line.text << " has ink in the image";
        }
        EXPECT_TRUE(SamePixels(image, expected));
    }
}

// A character wider than the image at a line's start: the layout runs to
// the image's bottom and ends.
TEST_F(Rendering, LayoutEndsOnACharacterWiderThanTheImage) {
    m_Renderer.m_fWordWrap = 1;
    CImage8 image(5, 200);
    EXPECT_EQ(m_Renderer.RenderText(S("MMMM"), &image, 0), eNoError);
    EXPECT_TRUE(InkRows(image).empty());
}

// Small pictures, looked at once and kept.
TEST_F(Rendering, Pictures) {
    struct Picture {
        const char* name;
        const char* family;
        int32_t bold;
        int32_t italic;
        const char* text;
        int32_t wrap;
        CTextRenderer::EJustify justify;
        uint32_t colour;
    };
    const Picture pictures[] = {
        {"sans-13", "DejaVu Sans", 0, 0, "Daublin: oil & chalk", 0, CTextRenderer::eJustifyLeft,
         0xFFECE6DA},
        {"sans-bold-italic-15", "DejaVu Sans", 1, 1, "Save as...", 0, CTextRenderer::eJustifyCentre,
         0xFFE39B45},
        {"mono-wrapped-12", "DejaVu Sans Mono", 0, 0, "Zoom 100% size 24.5 px", 1,
         CTextRenderer::eJustifyRight, 0xFFA39C90},
    };
    for (const Picture& p : pictures) {
        SCOPED_TRACE(p.name);
        CTextRenderer renderer = Renderer(p.family, p.bold ? 15 : p.wrap ? 12 : 13);
        renderer.m_fBold = p.bold;
        renderer.m_fItalic = p.italic;
        renderer.m_fWordWrap = p.wrap;
        renderer.m_eJustify = p.justify;
        renderer.m_nColour = p.colour;
        renderer.m_rXOffset = 2.0f;
        renderer.m_rYOffset = 1.0f;
        CImage image(p.wrap ? 90 : 150, p.wrap ? 48 : 22, 0);
        {
            CImNav view(&image);
            view.Fill(0x00000000);
        }
        ASSERT_EQ(renderer.RenderTextOver(S(p.text), &image), eNoError);
        EXPECT_GOLDEN_PNG(image, p.name);
    }
}

} // namespace
