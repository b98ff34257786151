// A font's size, in points at 72 dpi or in pixels. A change of size empties
// the glyph cache; the same size again keeps it.

#include <cmath>

#include "foundation/Rounding.h"
#include "text/Font.h"
#include "text/detail/FreeType.h"

namespace {

// A size in 26.6 units or pixels as FreeType takes it: rounded half away
// from zero, and kept within what FreeType can hold (0 for what is not a
// number, which FreeType then refuses or reads as "the same as the other").
FT_F26Dot6 ToFreeType(float v) {
    if (!(std::fabs(v) < 1.0e9f)) {
        return 0;
    }
    return FT_F26Dot6(RoundHalfAway(v));
}

} // namespace

error gCFont::SetFontPointHeight(float points, float aspect) {
    if (!m_pFace) {
        return eCreateFailed;
    }
    if (points == m_rPointHeight && aspect == m_rAspect) {
        m_nPixelHeight = -1;
        return eNoError;
    }
    ResetBitmapCache();
    const FT_F26Dot6 height = ToFreeType(points * 64.0f);
    const FT_F26Dot6 width = ToFreeType(points * aspect * 64.0f);
    if (FT_Set_Char_Size(m_pFace, width, height, 72, 72) != 0) {
        return eCreateFailed;
    }
    m_rPointHeight = points;
    m_rAspect = aspect;
    m_nPixelHeight = -1;
    return eNoError;
}

error gCFont::SetFontPixelHeight(int32_t pixels, float aspect) {
    if (!m_pFace) {
        return eCreateFailed;
    }
    if (pixels == m_nPixelHeight && aspect == m_rAspect) {
        m_rPointHeight = -1.0f;
        return eNoError;
    }
    ResetBitmapCache();
    const FT_F26Dot6 width = ToFreeType(float(pixels) * aspect);
    if (pixels < 0 || width < 0 || width > 0xFFFF || pixels > 0xFFFF ||
        FT_Set_Pixel_Sizes(m_pFace, FT_UInt(width), FT_UInt(pixels)) != 0) {
        return eCreateFailed;
    }
    m_nPixelHeight = pixels;
    m_rAspect = aspect;
    m_rPointHeight = -1.0f;
    return eNoError;
}
