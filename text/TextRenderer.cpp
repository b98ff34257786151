// The renderer's attributes, their copying, and resolving them to a face.

#include <cstring>

#include "text/TextRenderer.h"
#include "text/detail/FreeType.h"

CTextRenderer::CTextRenderer() {
    // Without memory the family stays empty, and resolving it then fails.
    (void)m_sFontName.CopyString(u"Helvetica");
}

CTextRenderer::CTextRenderer(const CTextRenderer& other) : gCBaseObject() {
    *this = other;
}

CTextRenderer& CTextRenderer::operator=(const CTextRenderer& other) {
    if (this == &other) {
        return *this;
    }
    m_sFontName = other.m_sFontName;
    m_pFont = other.m_pFont;
    m_nPixelHeight = other.m_nPixelHeight;
    m_rPointHeight = other.m_rPointHeight;
    m_nColour = other.m_nColour;
    m_rAspect = other.m_rAspect;
    m_rKerningScale = other.m_rKerningScale;
    m_fBold = other.m_fBold;
    m_fItalic = other.m_fItalic;
    m_fUnderline = other.m_fUnderline;
    m_fWordWrap = other.m_fWordWrap;
    m_eJustify = other.m_eJustify;
    m_rXOffset = other.m_rXOffset;
    m_rYOffset = other.m_rYOffset;
    return *this;
}

error CTextRenderer::BuildFace(FT_Face& face) {
    gCString fullName;
    if (error e = fullName.CopyStringFromBuffer(m_sFontName.GetBuffer(), m_sFontName.GetLength())) {
        return e;
    }
    if (m_fBold) {
        if (error e = fullName.AppendString(u" Bold")) {
            return e;
        }
    }
    if (m_fItalic) {
        if (error e = fullName.AppendString(u" Italic")) {
            return e;
        }
    }
    error e = gCFont::UseFont(m_pFont, fullName);
    if (e != eNoError && (m_fBold || m_fItalic)) {
        e = gCFont::UseFont(m_pFont, m_sFontName);
    }
    if (e != eNoError) {
        return e;
    }
    e = m_nPixelHeight != 0 ? m_pFont->SetFontPixelHeight(m_nPixelHeight, m_rAspect)
                            : m_pFont->SetFontPointHeight(m_rPointHeight, m_rAspect);
    if (e != eNoError) {
        return e;
    }
    face = m_pFont->GetFace();
    // Every pooled face has units per em (a face without is never opened).
    m_rLineHeight =
        float(face->size->metrics.y_ppem) / float(face->units_per_EM) * float(face->height);
    if (face->family_name && std::strcmp(face->family_name, "EnRegular") == 0) {
        m_fEnRegular = 1;
    }
    if (!face->charmap && face->num_charmaps > 0) {
        // A face that refuses its own first map measures with no map.
        (void)FT_Set_Charmap(face, face->charmaps[0]);
    }
    return eNoError;
}
