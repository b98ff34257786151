// The text widget: its text, its settings and rendering the text into the
// mask.

#include "text/TxWidget.h"

#include <new>
#include <utility>

#include "FileIO/ResourceLoading.h"
#include "imaging/ImNav.h"
#include "imaging/Image8.h"
#include "text/DebugInfoWidget.h"
#include "text/TxEdWidget.h"
#include "widgets/WidgetConstructor.h"

namespace {

// to becomes a copy of from: 0, or 5 when memory runs out.
error CopyText(gCString& to, const gCString& from) {
    if (from.GetLength() == 0) {
        to = gCString();
        return eNoError;
    }
    return to.CopyStringFromBuffer(from.GetBuffer(), from.GetLength()) == eNoError ? eNoError
                                                                                   : eOutOfMemory;
}

} // namespace

CTxWidget::CTxWidget() {
    m_ClientColour = 0xFF000000u;
}

CTxWidget::~CTxWidget() {
    m_pText.reset();
    m_pTextList.reset();
}

// ---------------------------------------------------------------------------
// The mask's own operations, off

error CTxWidget::SetImage(CImage8*, int32_t, int32_t) {
    return eNoError;
}

error CTxWidget::SetImageList(gCImageList8*) {
    return eNoError;
}

error CTxWidget::SetImage(int32_t, int32_t, int32_t) {
    return eNoError;
}

error CTxWidget::AdvanceFrame(int32_t, int32_t) {
    return eNoError;
}

error CTxWidget::SizeChanged() {
    if (m_fSizingToText && m_pMask && m_pMask->GetWidth() == Width() &&
        m_pMask->GetHeight() == Height()) {
        // The widget took the size of the text just rendered: the mask is
        // kept as it is, only its effects follow.
        return AlphaChanged(0);
    }
    if (error e = CMaskWidget::SizeChanged()) {
        return e;
    }
    return RenderUnlessHeld(1, 0);
}

error CTxWidget::SetClientColour(CPixel colour, int32_t redraw) {
    if (error e = CCoWidget::SetClientColour(colour, 0)) {
        return e;
    }
    return RenderUnlessHeld(1, redraw);
}

// ---------------------------------------------------------------------------
// The text

gCString CTxWidget::String() const {
    gCString copy;
    if (m_pText) {
        (void)CopyText(copy, m_pText->m_sText); // a failed copy shows as empty
    }
    return copy;
}

error CTxWidget::SetText(const gCString& text, int32_t resize, int32_t redraw) {
    // A copy first: the string may be the current text's own.
    std::unique_ptr<CText> fresh(new (std::nothrow) CText);
    if (!fresh || CopyText(fresh->m_sText, text) != eNoError) {
        return eOutOfMemory;
    }
    if (!m_pMask) {
        std::unique_ptr<CImage8> mask(new (std::nothrow) CImage8(4, 4));
        if (!mask || !mask->IsValid()) {
            return eOutOfMemory;
        }
        HoldMask(mask.release());
    }
    m_pText.reset(fresh.release());
    return RenderUnlessHeld(resize, redraw);
}

error CTxWidget::SetText(CText* text, int32_t resize, int32_t redraw) {
    if (text != m_pText.get()) {
        m_pText.reset(text);
    }
    if (!m_pMask) {
        if (error e = CWidget::SetSize(4, 4, 0)) {
            return e;
        }
    }
    return RenderUnlessHeld(resize, redraw);
}

error CTxWidget::SetTextList(CTextList* list) {
    if (!list) {
        return eBadParameter;
    }
    if (list != m_pTextList.get()) {
        m_pTextList.reset(list);
    }
    return eNoError;
}

error CTxWidget::SetText(int32_t index, int32_t resize, int32_t redraw) {
    if (!m_pTextList || index < 0 || index >= m_pTextList->Count()) {
        return eBadParameter;
    }
    return SetText(m_pTextList->Text(index), resize, redraw);
}

error CTxWidget::AdvanceText(int32_t resize, int32_t redraw) {
    if (!m_pTextList || m_pTextList->Count() < 2) {
        return eBadParameter;
    }
    const int32_t next = m_pTextList->CurrentIndex() + 1;
    return SetText(next >= m_pTextList->Count() ? 0 : next, resize, redraw);
}

int32_t CTxWidget::GetTextIndex() const {
    return m_pTextList ? m_pTextList->CurrentIndex() : -1;
}

// ---------------------------------------------------------------------------
// The renderer's settings

error CTxWidget::SetFontName(const gCString& name, int32_t resize, int32_t redraw) {
    if (error e = CopyText(m_Renderer.m_sFontName, name)) {
        return e;
    }
    return RenderUnlessHeld(resize, redraw);
}

error CTxWidget::SetFontPixelHeight(int32_t pixels, int32_t resize, int32_t redraw) {
    m_Renderer.m_nPixelHeight = pixels;
    m_Renderer.m_rPointHeight = 0.0f;
    return RenderUnlessHeld(resize, redraw);
}

error CTxWidget::SetFontPointHeight(float points, int32_t resize, int32_t redraw) {
    m_Renderer.m_rPointHeight = points;
    m_Renderer.m_nPixelHeight = 0;
    return RenderUnlessHeld(resize, redraw);
}

error CTxWidget::SetJustify(CTextRenderer::EJustify justify, int32_t resize, int32_t redraw) {
    m_Renderer.m_eJustify = justify;
    return RenderUnlessHeld(resize, redraw);
}

error CTxWidget::SetTextFace(int32_t bold, int32_t italic, int32_t underline, int32_t resize,
                             int32_t redraw) {
    m_Renderer.m_fBold = bold;
    m_Renderer.m_fItalic = italic;
    m_Renderer.m_fUnderline = underline;
    return RenderUnlessHeld(resize, redraw);
}

error CTxWidget::SetTextBold(int32_t bold, int32_t resize, int32_t redraw) {
    m_Renderer.m_fBold = bold;
    return RenderUnlessHeld(resize, redraw);
}

error CTxWidget::SetTextItalic(int32_t italic, int32_t resize, int32_t redraw) {
    m_Renderer.m_fItalic = italic;
    return RenderUnlessHeld(resize, redraw);
}

error CTxWidget::SetTextUnderline(int32_t underline, int32_t resize, int32_t redraw) {
    m_Renderer.m_fUnderline = underline;
    return RenderUnlessHeld(resize, redraw);
}

error CTxWidget::SetWordWrap(int32_t wrap, int32_t resize, int32_t redraw) {
    m_Renderer.m_fWordWrap = wrap;
    return RenderUnlessHeld(resize, redraw);
}

error CTxWidget::SetOrientation(uint32_t orientation, int32_t resize, int32_t redraw) {
    m_nOrientation = orientation;
    return RenderUnlessHeld(resize, redraw);
}

error CTxWidget::SetKerningScale(float scale, int32_t resize, int32_t redraw) {
    m_Renderer.m_rKerningScale = scale;
    return RenderUnlessHeld(resize, redraw);
}

error CTxWidget::SetLineSpaceScale(float scale, int32_t resize, int32_t redraw) {
    m_Renderer.m_rLineSpaceScale = scale;
    return RenderUnlessHeld(resize, redraw);
}

error CTxWidget::SetAspect(float aspect, int32_t resize, int32_t redraw) {
    m_Renderer.m_rAspect = aspect;
    return RenderUnlessHeld(resize, redraw);
}

// ---------------------------------------------------------------------------
// Rendering

error CTxWidget::RenderTurned(CImage8& turned) {
    const bool across = m_nOrientation == eTurnedLeft || m_nOrientation == eTurnedRight;
    const int32_t maskWidth = m_pMask->GetWidth();
    const int32_t maskHeight = m_pMask->GetHeight();
    if (error e =
            turned.SetSize(across ? maskHeight : maskWidth, across ? maskWidth : maskHeight)) {
        return e;
    }
    if (error e = m_Renderer.RenderText(m_pText->m_sText, &turned, m_fAutoSizeImage)) {
        return e;
    }
    const int32_t w = turned.GetWidth();
    const int32_t h = turned.GetHeight();
    if (error e = m_pMask->SetSize(across ? h : w, across ? w : h)) {
        return e;
    }
    CImNav8 from(&turned);
    CImNav8 to(m_pMask.get());
    if (!from.IsLocked() || !to.IsLocked()) {
        return eOutOfMemory;
    }
    for (int32_t y = 0; y < h; ++y) {
        const uint8_t* row = from.Row(y);
        for (int32_t x = 0; x < w; ++x) {
            switch (m_nOrientation) {
            case eTurnedLeft:
                to.Row(w - 1 - x)[y] = row[x];
                break;
            case eUpsideDown:
                to.Row(h - 1 - y)[w - 1 - x] = row[x];
                break;
            default:
                to.Row(x)[h - 1 - y] = row[x];
                break;
            }
        }
    }
    return eNoError;
}

error CTxWidget::RenderText(int32_t resize, int32_t redraw) {
    if (m_fHoldRendering || !m_pText || !m_pMask || m_nOrientation > eTurnedRight) {
        return eNoError;
    }
    if (m_pMask->IsPooled() || m_pMask->IsCompressed()) {
        // Drawn into: the mask must be a plain one of the widget's own.
        std::unique_ptr<CImage8> own(new (std::nothrow)
                                         CImage8(m_pMask->GetWidth(), m_pMask->GetHeight()));
        if (!own || !own->IsValid()) {
            return eOutOfMemory;
        }
        HoldMask(own.release());
    }
    const uint32_t colour = m_ClientColour;
    m_Renderer.m_nColour = colour;
    const uint32_t grey =
        (((colour >> 16) & 0xFFu) + ((colour >> 8) & 0xFFu) + (colour & 0xFFu)) / 3;
    m_Renderer.m_fInverseGamma = grey > 126 ? 1 : 0;
    if (m_nOrientation == eNormal) {
        if (error e = m_Renderer.RenderText(m_pText->m_sText, m_pMask.get(), m_fAutoSizeImage)) {
            return e;
        }
    } else {
        CImage8 turned;
        if (error e = RenderTurned(turned)) {
            return e;
        }
    }
    if (resize && m_fAutoSizeImage) {
        if (m_pMask->GetWidth() == Width() && m_pMask->GetHeight() == Height()) {
            if (error e = AlphaChanged(redraw)) {
                return e;
            }
        } else if (!m_fSizingToText) {
            // One round: the size change renders once more and stops there.
            m_fSizingToText = 1;
            const error e = ResizeAroundImage(redraw);
            m_fSizingToText = 0;
            if (e != eNoError) {
                return e;
            }
        }
    }
    if (m_fVisible) {
        if (error e = InvalidateClient(0)) {
            return e;
        }
    }
    return redraw ? PassRedraw() : eNoError;
}

// ---------------------------------------------------------------------------
// Registration

namespace {

CWidget* LoadTxByName(const gCString& name, gCFile* file) {
    return CTxWidget::CreateFromRes(name, file, nullptr);
}

CWidget* LoadTxById(int32_t id, gCFile* file, gCResourceIndex* index) {
    return CTxWidget::CreateFromRes(id, file, index);
}

CWidget* LoadEdByName(const gCString& name, gCFile* file) {
    return CTxEdWidget::CreateFromRes(name, file, nullptr);
}

CWidget* LoadEdById(int32_t id, gCFile* file, gCResourceIndex* index) {
    return CTxEdWidget::CreateFromRes(id, file, index);
}

} // namespace

error RegisterTextWidgets() {
    // The backdrop's inspector is made of text widgets.
    RegisterDebugInfoWidget();
    if (error e =
            CWidgetConstructor::RegisterClass(int32_t(kTxWidgetTypeID), &LoadTxByName, &LoadTxById,
                                              "Widget Constructor txwidget create failed.")) {
        return e;
    }
    return CWidgetConstructor::RegisterClass(int32_t(kTxEdWidgetTypeID), &LoadEdByName, &LoadEdById,
                                             "Widget Constructor txedwidget create failed.");
}
