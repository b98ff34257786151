#include "text/detail/GlyphMetrics.h"

#include <cmath>
#include <limits>

#include "foundation/Rounding.h"

namespace {

// Small text: the face's bounding box at the current size covers fewer
// square pixels than this.
constexpr float kCachedArea = 10000.0f;

} // namespace

gCFont::CGlyphCache* ApplicableCache(FT_Face face, int32_t subPixelX, int32_t subPixelY) {
    if (!face || !face->size || subPixelX != 0 || subPixelY != 0 || face->units_per_EM == 0) {
        return nullptr;
    }
    const float scale = float(face->size->metrics.y_ppem) / float(face->units_per_EM);
    const float area = float(face->bbox.xMax - face->bbox.xMin) *
                       float(face->bbox.yMax - face->bbox.yMin) * (scale * scale);
    if (!(area < kCachedArea)) {
        return nullptr;
    }
    return gCFont::CreateGlyphCache(face);
}

int32_t PairKerning(gCFont* font, FT_Face face, uint32_t previous, FT_UInt previousGlyph,
                    uint32_t current, FT_UInt glyph) {
    int32_t kerning = 0;
    if (font &&
        font->GetCustomKerning(face, int32_t(previous), int32_t(current), kerning) == eNoError) {
        return kerning;
    }
    FT_Vector delta{0, 0};
    if (FT_Get_Kerning(face, previousGlyph, glyph, FT_KERNING_DEFAULT, &delta) != 0) {
        return 0;
    }
    return int32_t(delta.x);
}

bool CharAdvance(FT_Face face, gCFont::CGlyphCache* cache, uint32_t code, FT_UInt glyph,
                 int32_t& advance) {
    gCFont::CCharInfo* record =
        cache && code < uint32_t(gCFont::kCachedChars) ? &(*cache)[int32_t(code)] : nullptr;
    if (record && record->m_nAdvance != -1) {
        advance = record->m_nAdvance;
        return true;
    }
    if (FT_Load_Glyph(face, glyph, FT_LOAD_DEFAULT) != 0) {
        return false;
    }
    advance = int32_t(face->glyph->advance.x);
    if (record) {
        record->m_nAdvance = advance;
    }
    return true;
}

int32_t RoundToInt32(float v) {
    if (std::isnan(v)) {
        return 0;
    }
    constexpr float kHigh = 2147483520.0f; // the largest float below 2^31
    if (v >= kHigh) {
        return std::numeric_limits<int32_t>::max();
    }
    if (v <= -2147483648.0f) {
        return std::numeric_limits<int32_t>::min();
    }
    return int32_t(RoundHalfAway(v));
}
