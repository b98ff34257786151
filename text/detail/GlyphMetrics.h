#pragma once
// The advance sum that measuring and drawing share: the glyph cache's use,
// the kerning between two characters and a character's advance.

#include <cstdint>

#include "text/Font.h"
#include "text/detail/FreeType.h"

// The face's glyph cache when it applies to a renderer with these snapping
// flags (small text at whole-pixel positions), made when missing; null when
// it does not apply or cannot be made.
gCFont::CGlyphCache* ApplicableCache(FT_Face face, int32_t subPixelX, int32_t subPixelY);

// The kerning between two mapped characters in 1/64 pixel: the font's own
// pair when it has one, else the face's kerning.
int32_t PairKerning(gCFont* font, FT_Face face, uint32_t previous, FT_UInt previousGlyph,
                    uint32_t current, FT_UInt glyph);

// A character's advance in 1/64 pixel, from the cache when there is one and
// the code is cached, else loaded; false when the glyph cannot be loaded.
bool CharAdvance(FT_Face face, gCFont::CGlyphCache* cache, uint32_t code, FT_UInt glyph,
                 int32_t& advance);

// The value as a 32-bit integer, rounded half away from zero, clamped to
// the type's range; 0 for what is not a number.
int32_t RoundToInt32(float v);
// The whole-pixel snap of a 1/64-pixel distance: (v + add) with the low six
// bits cleared.
inline int32_t Snap64(int32_t v, int32_t add) {
    return int32_t((int64_t(v) + add) & ~int64_t(63));
}
