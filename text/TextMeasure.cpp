// Measuring text: character positions, width and wrapped height. Each runs
// the advance sum: per character the kerning with the character before
// (both mapped) and the tracking, then its advance.

#include "foundation/Rounding.h"
#include "text/TextRenderer.h"
#include "text/detail/GlyphMetrics.h"

namespace {

constexpr char16_t kCR = 13;
constexpr char16_t kLF = 10;

bool IsLineEnd(char16_t c) {
    return c == kCR || c == kLF;
}

// The advance sum over a text, one character at a time.
class CAdvanceSum {
public:
    CAdvanceSum(const CTextRenderer& renderer, FT_Face face)
        : m_Renderer(renderer), m_Face(face),
          m_pCache(ApplicableCache(face, renderer.m_fSubPixelX, renderer.m_fSubPixelY)) {}

    // Adds the character's kerning and advance to the pen; false when its
    // glyph cannot be loaded (nothing of its advance is added then).
    bool Add(char16_t c) {
        const FT_UInt glyph = FT_Get_Char_Index(m_Face, c);
        if (glyph != 0 && m_nPreviousGlyph != 0) {
            m_nPen +=
                PairKerning(m_Renderer.m_pFont, m_Face, m_nPrevious, m_nPreviousGlyph, c, glyph) +
                int64_t(m_Renderer.m_nTracking);
        }
        m_nPreviousGlyph = glyph;
        m_nPrevious = c;
        int32_t advance = 0;
        if (!CharAdvance(m_Face, m_pCache, c, glyph, advance)) {
            return false;
        }
        m_nPen += advance;
        return true;
    }

    // The pen in 1/64 pixel, kept within 32 bits.
    int32_t Pen() const {
        return m_nPen > INT32_MAX ? INT32_MAX : m_nPen < INT32_MIN ? INT32_MIN : int32_t(m_nPen);
    }

private:
    const CTextRenderer& m_Renderer;
    FT_Face m_Face;
    gCFont::CGlyphCache* m_pCache;
    int64_t m_nPen = 0;
    FT_UInt m_nPreviousGlyph = 0;
    uint32_t m_nPrevious = 0;
};

// A pen distance in whole pixels after the kerning scale: a ceiling with
// half a pixel to spare.
int32_t PixelsOf(int32_t pen, float kerningScale) {
    const int64_t scaled = RoundToInt32(float(pen) * kerningScale);
    return int32_t((scaled + 96) >> 6);
}

} // namespace

error CTextRenderer::CharPositions(const char16_t* text, int32_t* positions) {
    FT_Face face = nullptr;
    if (error e = BuildFace(face)) {
        return e;
    }
    return CharPositionsWithFace(face, text, positions);
}

error CTextRenderer::CharPositionsWithFace(FT_Face face, const char16_t* text, int32_t* positions) {
    if (!text || !text[0] || !positions) {
        return eNoError;
    }
    CAdvanceSum sum(*this, face);
    const int32_t xOffset = RoundToInt32(m_rXOffset);
    positions[0] = 0;
    for (int32_t i = 0; text[i]; ++i) {
        // A glyph that cannot be loaded adds nothing, and its right edge is
        // where it started: the table stays one entry per character.
        (void)sum.Add(text[i]);
        const int32_t pen = m_fSubPixelX == 0 ? Snap64(sum.Pen(), 31) : sum.Pen();
        positions[i + 1] = PixelsOf(pen, m_rKerningScale) + xOffset;
    }
    return eNoError;
}

int32_t CTextRenderer::CalcTextWidth(const char16_t* text) {
    FT_Face face = nullptr;
    if (BuildFace(face) != eNoError) {
        return 0;
    }
    return CalcTextWidthWithFace(face, text, 0);
}

int32_t CTextRenderer::CalcTextWidthWithFace(FT_Face face, const char16_t* text, int32_t count) {
    if (!text || !text[0]) {
        return 0;
    }
    CAdvanceSum sum(*this, face);
    for (int32_t i = 0; text[i] && (count <= 0 || i < count); ++i) {
        (void)sum.Add(text[i]); // a glyph that cannot be loaded adds nothing
    }
    return PixelsOf(sum.Pen(), m_rKerningScale);
}

int32_t CTextRenderer::CalcTextHeight(const char16_t* text, int32_t width) {
    FT_Face face = nullptr;
    if (BuildFace(face) != eNoError) {
        return 0;
    }
    return CalcTextHeightWithFace(face, text, width);
}

int32_t CTextRenderer::CalcTextHeightWithFace(FT_Face, const char16_t* text, int32_t width) {
    if (!m_fWordWrap || !text || !text[0]) {
        return RoundToInt32(m_rLineHeight + 0.5f);
    }
    int32_t lines = 1;
    int32_t pos = 0;
    do {
        if (!IsLineEnd(text[pos])) {
            int32_t n = CalcBreakCharPos(text + pos, width);
            if (n == 0 && pos > 0) {
                // A character wider than the width alone at the start of a
                // later line goes alone on its line, so the count ends.
                n = 1;
            }
            pos += n;
            if (pos == 0 || text[pos] == 0) {
                break;
            }
        }
        ++lines;
        if (IsLineEnd(text[pos])) {
            ++pos;
        }
    } while (text[pos] != 0);
    return RoundToInt32(m_rLineHeight * m_rLineSpaceScale * float(lines) + 1.5f);
}
