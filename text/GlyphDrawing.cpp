// Drawing one run of characters: each glyph's coverage, through the gamma
// table, is composited by maximum into an 8-bit target (coverage) or a
// 32-bit target (the text colour with the coverage as alpha). Small text at
// whole-pixel positions draws from the glyph cache; everything else is
// rasterised on every draw.

#include <algorithm>
#include <memory>
#include <new>

#include "imaging/ImNav.h"
#include "text/TextRenderer.h"
#include "text/detail/GlyphBitmap.h"
#include "text/detail/GlyphMetrics.h"

namespace {

constexpr char16_t kSpace = 32;
// The glyph an "EnRegular" face draws without its left bearing.
constexpr FT_UInt kEnRegularUnbearedGlyph = 77;

// Renders the glyph loaded in the face's slot, untranslated at its own
// origin, into a coverage image of at least 1 x 1 pixels with its bearings;
// false when FreeType or memory fails.
bool Rasterise(FT_Face face, const uint8_t* lut, std::unique_ptr<CImage8>& image, int32_t& left,
               int32_t& top) {
    FT_Glyph raw = nullptr;
    if (FT_Get_Glyph(face->glyph, &raw) != 0) {
        return false;
    }
    GlyphPtr glyph(raw);
    // On success the bitmap glyph replaces the outline, which FreeType
    // destroys; on failure the outline stays where it was.
    raw = glyph.release();
    const FT_Error failed = FT_Glyph_To_Bitmap(&raw, FT_RENDER_MODE_NORMAL, nullptr, 1);
    glyph.reset(raw);
    if (failed || glyph->format != FT_GLYPH_FORMAT_BITMAP) {
        return false;
    }
    const FT_BitmapGlyph bitmapGlyph = reinterpret_cast<FT_BitmapGlyph>(glyph.get());
    const FT_Bitmap& bitmap = bitmapGlyph->bitmap;
    if (bitmap.width > uint32_t(CImageBase::kMaxSide) ||
        bitmap.rows > uint32_t(CImageBase::kMaxSide)) {
        return false;
    }
    std::unique_ptr<CImage8> made(new (std::nothrow) CImage8(std::max(1, int32_t(bitmap.width)),
                                                             std::max(1, int32_t(bitmap.rows))));
    if (!made || !made->IsValid()) {
        return false;
    }
    CopyCoverage(bitmap, lut, *made);
    left = bitmapGlyph->left;
    top = bitmapGlyph->top;
    image = std::move(made);
    return true;
}

// Where a glyph lands, clipped to the target: its first column and row in
// the target, the columns cut at the left and the columns drawn.
struct SPlacement {
    int32_t left = 0;
    int32_t top = 0;
    int32_t cut = 0;
    int32_t width = 0;
};

// Composites the coverage image by maximum into the locked target at the
// placement, row by row; rows outside the target are left out.
void Composite(CImNavBase& target, CImage8& coverage, const SPlacement& at, CPixel colour) {
    CImNav8 glyph(&coverage);
    if (!glyph.IsLocked()) {
        return;
    }
    const int32_t depth = target.GetBytesPerPixel();
    uint8_t* base = static_cast<uint8_t*>(target.GetDataPtr());
    const uint32_t rgb = uint32_t(colour) & 0x00FFFFFFu;
    for (int32_t r = 0; r < glyph.GetHeight(); ++r) {
        const int32_t y = at.top + r;
        if (y < 0) {
            continue;
        }
        if (y >= target.GetHeight()) {
            break;
        }
        const uint8_t* source = glyph.Row(r) + at.cut;
        uint8_t* row = base + ptrdiff_t(y) * target.GetRowBytes();
        if (depth == 1) {
            uint8_t* pixel = row + at.left;
            for (int32_t x = 0; x < at.width; ++x) {
                pixel[x] = std::max(pixel[x], source[x]);
            }
        } else if (depth == 4) {
            CPixel* pixel = reinterpret_cast<CPixel*>(row) + at.left;
            for (int32_t x = 0; x < at.width; ++x) {
                const uint32_t coverage = source[x];
                if (coverage > (uint32_t(pixel[x]) >> 24)) {
                    pixel[x] = rgb | (coverage << 24);
                }
            }
        }
    }
}

} // namespace

error CTextRenderer::RenderTextWithFace(FT_Face face, const char16_t* text, CImageBase* image,
                                        float x, float y, int32_t count) {
    if (!face || !face->size || !image) {
        return eNoError;
    }
    const int32_t width = image->GetWidth();
    const int32_t height = image->GetHeight();
    // The baseline's origin in 1/64 pixel, counted up from the bottom row.
    int32_t by = RoundToInt32((float(height - 1) - y) * 64.0f);
    if (m_fSubPixelY == 0) {
        by = Snap64(by, 32);
    }
    if (!text || !text[0]) {
        return eNoError;
    }
    CImNavBase target(image, nullptr);
    if (!target.IsLocked() || target.GetWidth() != width || target.GetHeight() != height) {
        return eNoError;
    }
    gCFont::CGlyphCache* cache = ApplicableCache(face, m_fSubPixelX, m_fSubPixelY);
    const uint8_t* lut = m_fInverseGamma ? m_nGammaLUTInv : m_nGammaLUT;
    const int32_t emPixels = face->size->metrics.y_ppem;
    int64_t pen = 0;
    FT_UInt previousGlyph = 0;
    uint32_t previous = 0;
    for (int32_t i = 0; text[i] && (count <= 0 || i < count); ++i) {
        const char16_t c = text[i];
        const FT_UInt glyph = FT_Get_Char_Index(face, c);
        if (glyph != 0 && previousGlyph != 0) {
            pen += PairKerning(m_pFont, face, previous, previousGlyph, c, glyph) +
                   int64_t(m_nTracking);
        }
        previousGlyph = glyph;
        previous = c;
        if (glyph == 0) {
            continue; // a character the face lacks takes no room
        }
        int32_t ox = RoundToInt32(float(pen) * m_rKerningScale + x * 64.0f);

        // The glyph's coverage: cached, or rasterised when it is drawn.
        CImage8* coverage = nullptr;
        std::unique_ptr<CImage8> uncached;
        int32_t bearingLeft = 0;
        int32_t bearingTop = 0;
        const bool cached = cache && c < gCFont::kCachedChars;
        if (cached) {
            gCFont::CCharInfo& record = (*cache)[c];
            if (!record.IsDrawn()) {
                if (FT_Load_Glyph(face, glyph, FT_LOAD_DEFAULT) != 0 ||
                    !Rasterise(face, lut, record.m_pImage, record.m_nLeft, record.m_nTop)) {
                    continue;
                }
                record.m_nAdvance = int32_t(face->glyph->advance.x);
            }
            pen += record.m_nAdvance;
            coverage = record.m_pImage.get();
            bearingLeft = record.m_nLeft;
            bearingTop = record.m_nTop;
        } else {
            if (FT_Load_Glyph(face, glyph, FT_LOAD_DEFAULT) != 0) {
                continue;
            }
            pen += face->glyph->advance.x;
        }
        if (m_fSubPixelX == 0) {
            ox = Snap64(ox, 31);
        }
        if (c == kSpace) {
            continue;
        }
        if (!cached) {
            if (!Rasterise(face, lut, uncached, bearingLeft, bearingTop)) {
                continue;
            }
            coverage = uncached.get();
        }

        SPlacement at;
        at.left = int32_t((int64_t(ox) + 31) >> 6);
        if (!(glyph == kEnRegularUnbearedGlyph && m_fEnRegular)) {
            at.left += bearingLeft;
        }
        at.top = int32_t(int64_t(height) - ((int64_t(by) + 31) >> 6) - bearingTop + emPixels - 1);
        at.width = int32_t(std::min<int64_t>(int64_t(width) - at.left, coverage->GetWidth()));
        if (at.left < 0) {
            at.cut = -at.left;
            at.width -= at.cut;
            at.left = 0;
        }
        if (at.width < 0) {
            continue;
        }
        if (at.left >= width) {
            return eNoError; // the run has reached the right edge
        }
        Composite(target, *coverage, at, m_nColour);
    }
    return eNoError;
}
