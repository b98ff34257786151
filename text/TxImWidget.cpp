#include "text/TxImWidget.h"

CTxImWidget::CTxImWidget() {
    // The caption is the one child, centred, sized to its text and shown.
    // Attaching it can fail only when the list cannot grow; the caption
    // then shows nowhere and everything else still works on it.
    (void)CImWidget::AddChild(&m_Caption, 1);
    m_Caption.Positioner()->m_fXCentre = 1;
    m_Caption.Positioner()->m_fYCentre = 1;
    m_Caption.SetAutoSizeImage(1);
    (void)m_Caption.SetVisibility(1, 0); // a widget without a parent's tree only stores it
}

// The caption, a member, leaves the child list as it is destroyed, before
// the base classes' destructors look at the list.
CTxImWidget::~CTxImWidget() = default;

error CTxImWidget::AddChild(CWidget*, int32_t) {
    return eNoError;
}

error CTxImWidget::RemoveChild(int32_t index, int32_t redraw) {
    if (Child(index) == &m_Caption) {
        return eBadParameter;
    }
    return CImWidget::RemoveChild(index, redraw);
}

error CTxImWidget::RemoveChildren(int32_t redraw) {
    for (int32_t i = ChildCount() - 1; i >= 0; --i) {
        if (Child(i) != &m_Caption) {
            if (error e = CImWidget::RemoveChild(i, 0)) {
                return e;
            }
        }
    }
    return redraw ? PassRedraw() : eNoError;
}

void CTxImWidget::DestroyChildren() {
    // Only the caption is ever a child, and it is not the list's to delete.
}

error CTxImWidget::Settle(error captionResult, int32_t resize, int32_t redraw) {
    if (captionResult != eNoError) {
        return captionResult;
    }
    if (resize) {
        return RecalcSizePosition(redraw);
    }
    return redraw ? PassRedraw() : eNoError;
}

error CTxImWidget::SetText(const gCString& text, int32_t resize, int32_t redraw) {
    return Settle(m_Caption.SetText(text, resize, 0), resize, redraw);
}

error CTxImWidget::SetText(CText* text, int32_t resize, int32_t redraw) {
    return Settle(m_Caption.SetText(text, resize, 0), resize, redraw);
}

error CTxImWidget::SetText(int32_t index, int32_t resize, int32_t redraw) {
    return Settle(m_Caption.SetText(index, resize, 0), resize, redraw);
}

error CTxImWidget::AdvanceText(int32_t resize, int32_t redraw) {
    if (!m_Caption.Image()) {
        if (error e = m_Caption.CWidget::SetSize(4, 4, 0)) {
            return e;
        }
    }
    return Settle(m_Caption.AdvanceText(resize, 0), resize, redraw);
}

error CTxImWidget::SetTextColour(CPixel colour, int32_t redraw) {
    (void)m_Caption.SetClientColour(colour, redraw); // the colour is stored whatever the render
    return eNoError;
}

error CTxImWidget::SetFontName(const gCString& name, int32_t resize, int32_t redraw) {
    return Settle(m_Caption.SetFontName(name, resize, 0), resize, redraw);
}

error CTxImWidget::SetFontPixelHeight(int32_t pixels, int32_t resize, int32_t redraw) {
    return Settle(m_Caption.SetFontPixelHeight(pixels, resize, 0), resize, redraw);
}

error CTxImWidget::SetFontPointHeight(float points, int32_t resize, int32_t redraw) {
    return Settle(m_Caption.SetFontPointHeight(points, resize, 0), resize, redraw);
}

error CTxImWidget::SetJustify(CTextRenderer::EJustify justify, int32_t resize, int32_t redraw) {
    return Settle(m_Caption.SetJustify(justify, resize, 0), resize, redraw);
}

// The style setters: the caption renders and redraws at once for each
// flag; what it answers does not count.
error CTxImWidget::SetTextFace(int32_t bold, int32_t italic, int32_t underline, int32_t resize,
                               int32_t redraw) {
    (void)m_Caption.SetTextBold(bold, 1, 1);
    (void)m_Caption.SetTextItalic(italic, 1, 1);
    (void)m_Caption.SetTextUnderline(underline, 1, 1);
    return SettleStyle(resize, redraw);
}

error CTxImWidget::SetTextBold(int32_t bold, int32_t resize, int32_t redraw) {
    (void)m_Caption.SetTextBold(bold, 1, 1);
    return SettleStyle(resize, redraw);
}

error CTxImWidget::SetTextItalic(int32_t italic, int32_t resize, int32_t redraw) {
    (void)m_Caption.SetTextItalic(italic, 1, 1);
    return SettleStyle(resize, redraw);
}

error CTxImWidget::SetTextUnderline(int32_t underline, int32_t resize, int32_t redraw) {
    (void)m_Caption.SetTextUnderline(underline, 1, 1);
    return SettleStyle(resize, redraw);
}

error CTxImWidget::SetKerningScale(float scale, int32_t resize, int32_t redraw) {
    return m_Caption.SetKerningScale(scale, resize, redraw);
}

error CTxImWidget::SetLineSpaceScale(float scale, int32_t resize, int32_t redraw) {
    return m_Caption.SetLineSpaceScale(scale, resize, redraw);
}

error CTxImWidget::SetAspect(float aspect, int32_t resize, int32_t redraw) {
    return m_Caption.SetAspect(aspect, resize, redraw);
}
