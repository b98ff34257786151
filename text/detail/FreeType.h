#pragma once
// FreeType for the text subsystem's own sources: its headers, and owners
// for the handles it gives out.

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_GLYPH_H

#include <memory>

struct FaceCloser {
    void operator()(FT_Face face) const { (void)FT_Done_Face(face); } // nothing to do on failure
};
using FacePtr = std::unique_ptr<FT_FaceRec_, FaceCloser>;

struct GlyphCloser {
    void operator()(FT_Glyph glyph) const { FT_Done_Glyph(glyph); }
};
using GlyphPtr = std::unique_ptr<FT_GlyphRec_, GlyphCloser>;

// A face that a font may keep: opened, and scaled in font units (a face
// without units per em, bitmap strikes alone, cannot be measured).
inline bool UsableFace(FT_Face face) {
    return face && face->units_per_EM > 0;
}
