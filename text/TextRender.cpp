// Drawing whole texts: preparing the target, one justified line, or the
// wrapped lines laid out from the top.

#include "imaging/ImageBase.h"
#include "text/TextRenderer.h"
#include "text/detail/GlyphMetrics.h"

namespace {

bool IsLineEnd(char16_t c) {
    return c == 13 || c == 10;
}

} // namespace

float CTextRenderer::JustifiedX(CImageBase* image, int32_t width) const {
    switch (m_eJustify) {
    case eJustifyLeft:
        return m_rXOffset;
    case eJustifyRight:
        return float(image->GetWidth() - width) + m_rXOffset;
    default:
        return float(image->GetWidth() - width) * 0.5f + m_rXOffset;
    }
}

error CTextRenderer::RenderText(const gCString& text, CImageBase* image, int32_t resize) {
    FT_Face face = nullptr;
    if (error e = BuildFace(face)) {
        return e;
    }
    if (!image) {
        return eNoError;
    }
    const char16_t* units = text.GetBuffer();
    if (!units || !units[0]) {
        (void)image->Zero(); // always 0
        return eNoError;
    }
    if (!resize) {
        (void)image->Zero(); // always 0
    } else {
        int32_t width = image->GetWidth();
        int32_t height = 0;
        if (m_fWordWrap) {
            height = CalcTextHeightWithFace(face, units, width);
        } else {
            width = CalcTextWidthWithFace(face, units, 0);
            height = RoundToInt32(m_rLineHeight + 1.5f);
        }
        if (error e = image->SetSize(width, height)) {
            return e;
        }
    }
    if (m_fWordWrap) {
        return RenderLines(face, units, image);
    }
    const float x = m_eJustify == eJustifyLeft || resize
                        ? m_rXOffset
                        : JustifiedX(image, CalcTextWidthWithFace(face, units, 0));
    return RenderTextWithFace(face, units, image, x, m_rYOffset, 0);
}

error CTextRenderer::RenderTextOver(const gCString& text, CImageBase* image) {
    FT_Face face = nullptr;
    if (error e = BuildFace(face)) {
        return e;
    }
    const char16_t* units = text.GetBuffer();
    if (!image || !units || !units[0]) {
        return eNoError;
    }
    if (m_fWordWrap) {
        return RenderLines(face, units, image);
    }
    const float x = JustifiedX(image, CalcTextWidthWithFace(face, units, 0));
    return RenderTextWithFace(face, units, image, x, m_rYOffset, 0);
}

error CTextRenderer::RenderLines(FT_Face face, const char16_t* text, CImageBase* image) {
    const float lineHeight = m_rLineHeight * m_rLineSpaceScale;
    const float bottom = float(image->GetHeight());
    float y = m_rYOffset;
    int32_t pos = 0;
    do {
        const float nextY = y + lineHeight;
        const int32_t start = pos;
        if (!IsLineEnd(text[pos])) {
            const int32_t n = CalcBreakCharPos(text + pos, image->GetWidth());
            if (n > 0 && nextY >= 0.0f) {
                const float x = JustifiedX(image, CalcTextWidthWithFace(face, text + pos, n));
                if (error e = RenderTextWithFace(face, text + pos, image, x, y, n)) {
                    return e;
                }
            }
            pos += n;
        }
        if (nextY > bottom) {
            break;
        }
        if (IsLineEnd(text[pos])) {
            ++pos;
        }
        // A line height of 0 or less draws the lines over each other or
        // upward; they are all laid out. Only a pass that takes no character
        // (one wider than the image at a line start) and does not move down
        // would repeat itself for ever, so the layout ends there.
        if (pos == start && !(nextY > y)) {
            break;
        }
        y = nextY;
    } while (text[pos] != 0);
    return eNoError;
}
