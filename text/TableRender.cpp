// How the table turns its cells into pixels: each cell is rendered once
// into its column's text image (text or a fitted image), faded at the
// column's edges, shadowed, and put into the overlay; a repaint lays the
// row backgrounds and composites the overlay over them.
//
// Every region read or written is clipped to the image it touches, so a
// column narrower than the edge buffer or a shadow offset wider than the
// text image draws less, never outside.

#include <algorithm>
#include <cmath>
#include <new>

#include "foundation/Rounding.h"
#include "imaging/Blur.h"
#include "imaging/ImNav.h"
#include "imaging/Stretcher.h"
#include "text/TableWidget.h"

namespace {

gCRect Meet(const gCRect& a, const gCRect& b) {
    return gCRect(std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                  std::min(a.bottom, b.bottom));
}

gCRect Bounds(const CImageBase& image) {
    return gCRect(0, 0, image.GetWidth(), image.GetHeight());
}

// Where an image's pixels lie in the coordinates it is drawn in (its origin
// moves them).
gCRect DrawingBounds(const CImageBase& image) {
    const gCPoint o = image.GetOrigin();
    return gCRect(-o.x, -o.y, image.GetWidth() - o.x, image.GetHeight() - o.y);
}

// The justifications other than left and right centre.
bool Centred(CTextRenderer::EJustify justify) {
    return justify != CTextRenderer::eJustifyLeft && justify != CTextRenderer::eJustifyRight;
}

// Where the text image starts in the cell: after the edge buffer when
// left-justified, half of it when centred, at the cell's left when
// right-justified.
int32_t TextImageShift(CTextRenderer::EJustify justify, int32_t edge) {
    if (justify == CTextRenderer::eJustifyLeft) {
        return edge;
    }
    return Centred(justify) ? edge / 2 : 0;
}

} // namespace

// --- Render images

CImage* CTableWidget::TextImage(int32_t column) const {
    return column >= 0 && column < m_aTextImages.GetSize() ? m_aTextImages[column] : nullptr;
}

CImage* CTableWidget::CellImage(int32_t column) const {
    return column >= 0 && column < m_aCellImages.GetSize() ? m_aCellImages[column] : nullptr;
}

void CTableWidget::DiscardRenderImages() {
    for (CImage* image : m_aTextImages) {
        delete image;
    }
    for (CImage* image : m_aCellImages) {
        delete image;
    }
    m_aTextImages.RemoveAll();
    m_aCellImages.RemoveAll();
}

error CTableWidget::CreateRenderImages() {
    DiscardRenderImages();
    const auto make = [&](gCArray<CImage*>& into, int32_t width) -> error {
        auto* image = new (std::nothrow) CImage;
        if (!image) {
            return eOutOfMemory;
        }
        if (image->Create(width, m_nRowHeight) != eNoError || !image->IsValid() ||
            into.Add(image) != eNoError) {
            delete image;
            return eOutOfMemory;
        }
        return eNoError;
    };
    for (int32_t column = 0; column < m_aColumns.GetSize(); ++column) {
        const int32_t width = RenderWidth(column);
        if (error e = make(m_aTextImages, std::max(1, width - m_nEdgeBuffer))) {
            return e;
        }
        if (error e = make(m_aCellImages, std::max(1, width))) {
            return e;
        }
    }
    return eNoError;
}

// --- The overlay

error CTableWidget::InvalidateOverlay(const gCRect& rect) {
    if (rect.IsEmpty()) {
        return eNoError;
    }
    const gCRect area = Meet(rect, Bounds(m_Overlay));
    if (area.IsEmpty()) {
        return eNoError;
    }
    {
        CImNav view(&m_Overlay, &area);
        if (!view.IsLocked()) {
            return eOutOfMemory;
        }
        view.Fill(0);
    }
    const int32_t firstColumn = ColumnAtXPos(rect.left);
    if (firstColumn < 0) {
        return eNoError;
    }
    for (int32_t row = std::max(0, RowAtYPos(rect.top));
         row < m_aRows.GetSize() && RowTop(row) < rect.bottom; ++row) {
        for (int32_t column = firstColumn;
             column < m_aColumns.GetSize() && ColumnLeft(column) < rect.right; ++column) {
            if (error e = RenderCell(row, column, &area)) {
                return e;
            }
        }
    }
    return eNoError;
}

void CTableWidget::ApplyFades(int32_t column, CImage& textImage) {
    const int32_t fadeLeft = m_aColumns[column].m_nFadeLeft;
    const int32_t fadeRight = m_aColumns[column].m_nFadeRight;
    if (fadeLeft <= 0 && fadeRight <= 0) {
        return;
    }
    CImNav view(&textImage);
    const int32_t width = view.GetWidth();
    for (int32_t y = 0; y < view.GetHeight(); ++y) {
        CPixel* line = view.Row(y);
        for (int32_t x = 0; x < std::min(fadeLeft, width); ++x) {
            line[x] = CPixel::AtOpacity(line[x], uint32_t(255 * (x + 1) / fadeLeft + 1));
        }
        if (fadeRight > 0) {
            for (int32_t x = std::max(0, width - 1 - fadeRight); x < width; ++x) {
                line[x] =
                    CPixel::AtOpacity(line[x], uint32_t(255 * (width - 1 - x) / fadeRight + 1));
            }
        }
    }
}

error CTableWidget::RenderCellContent(int32_t row, int32_t column, int32_t& shadow) {
    const CColumnInfo& info = m_aColumns[column];
    const CRowData& data = *m_aRows[row];
    CImage& textImage = *m_aTextImages[column];
    if (!info.m_fImage) {
        CTextRenderer& renderer = data.m_fSelected ? m_SelectedTextAttributes : m_TextAttributes;
        const uint32_t colour = data.m_aCellColours[column];
        renderer.m_eJustify = info.m_eJustify;
        renderer.m_nColour = colour;
        const uint32_t grey =
            (((colour >> 16) & 0xFF) + ((colour >> 8) & 0xFF) + (colour & 0xFF)) / 3;
        renderer.m_fInverseGamma = grey > 126 ? 1 : 0;
        gCString text;
        if (const auto* units = static_cast<const char16_t*>(data.m_aCells[column])) {
            if (error e = text.CopyString(units)) {
                return e;
            }
        }
        shadow = m_fUseTextShadow;
        return renderer.RenderText(text, &textImage, 0);
    }
    (void)textImage.Zero(); // always 0
    shadow = 0;
    CImage* image = static_cast<CImage*>(data.m_aCells[column]);
    // An image without pixels or with a zero side is an empty cell.
    if (!image || !image->IsValid() || image->GetWidth() <= 0 || image->GetHeight() <= 0) {
        return eNoError;
    }
    const int32_t targetWidth = textImage.GetWidth();
    const int32_t targetHeight = textImage.GetHeight();
    int32_t w = image->GetWidth();
    int32_t h = image->GetHeight();
    if (targetWidth < w || targetHeight < h) {
        const float s = std::min(float(targetHeight) / float(h), float(targetWidth) / float(w));
        w = int32_t(std::min(RoundHalfAway(s * float(w)), float(targetWidth)));
        h = int32_t(std::min(RoundHalfAway(s * float(h)), float(targetHeight)));
    }
    if (w <= 0 || h <= 0) {
        return eNoError;
    }
    int32_t x = 0;
    if (info.m_eJustify == CTextRenderer::eJustifyRight) {
        x = targetWidth - w;
    } else if (Centred(info.m_eJustify)) {
        x = (targetWidth - w) / 2;
    }
    const int32_t y = (targetHeight - h) / 2;
    const gCRect place(x, y, x + w, y + h);
    CImNav to(&textImage, &place);
    if (!to.IsLocked()) {
        return eOutOfMemory;
    }
    const bool same = w == image->GetWidth() && h == image->GetHeight();
    if (image->IsCompressed()) {
        if (error e = same ? CStretcher::BlitCompressed(&to, image)
                           : CStretcher::StretchBlitCompressed(&to, image, 0)) {
            return e;
        }
    } else {
        CImNav from(image);
        if (!from.IsLocked()) {
            return eOutOfMemory;
        }
        if (error e =
                same ? CStretcher::Blit(&to, &from) : CStretcher::StretchBlit(&to, &from, 0)) {
            return e;
        }
    }
    shadow = m_fUseImageShadow;
    return eNoError;
}

error CTableWidget::RenderCell(int32_t row, int32_t column, const gCRect* clip) {
    if (!ValidRow(row) || !ValidColumn(column)) {
        return eBadParameter;
    }
    CImage* textImage = TextImage(column);
    CImage* cellImage = CellImage(column);
    if (!textImage || !cellImage) {
        return eOutOfMemory; // the render images could not be made
    }
    const int32_t top = RowTop(row);
    const int32_t left = ColumnLeft(column);
    gCRect cell(left, top, left + cellImage->GetWidth(), top + m_nRowHeight);
    cell = Meet(Meet(cell, clip ? *clip : ViewRect()), Bounds(m_Overlay));
    if (cell.IsEmpty()) {
        return eNoError;
    }
    int32_t shadow = 0;
    if (error e = RenderCellContent(row, column, shadow)) {
        return e;
    }
    ApplyFades(column, *textImage);
    if (shadow) {
        return DoShadow(column, cell, left, top);
    }
    const int32_t x0 = left + TextImageShift(m_aColumns[column].m_eJustify, m_nEdgeBuffer);
    const gCRect to = Meet(gCRect(x0, top, x0 + textImage->GetWidth(), top + m_nRowHeight), cell);
    if (to.IsEmpty()) {
        return eNoError;
    }
    gCRect from = to;
    from.Offset(-x0, -top);
    CImNav destination(&m_Overlay, &to);
    CImNav source(textImage, &from);
    if (!destination.IsLocked() || !source.IsLocked()) {
        return eOutOfMemory;
    }
    return CStretcher::Blit(&destination, &source);
}

error CTableWidget::DoShadow(int32_t column, gCRect& cellRect, int32_t columnLeft, int32_t rowTop) {
    CImage& text = *m_aTextImages[column];
    CImage& mask = *m_aCellImages[column];
    const CTextRenderer::EJustify justify = m_aColumns[column].m_eJustify;
    const int32_t shift = TextImageShift(justify, m_nEdgeBuffer);
    {
        CImNav t(&text);
        CImNav s(&mask);
        if (!t.IsLocked() || !s.IsLocked()) {
            return eOutOfMemory;
        }
        s.Fill(0);
        // The text's coverage moved by the offset (its positive parts) and
        // into the text image's place in the cell, as a 16-bit mask.
        const int64_t ox = m_ShadowOffset.x;
        const int64_t oy = m_ShadowOffset.y;
        const int64_t width = int64_t(t.GetWidth()) - (ox < 0 ? -ox : ox);
        const int64_t height = int64_t(m_nRowHeight) - (oy < 0 ? -oy : oy);
        const int64_t fromX = ox < 0 ? -ox : 0;
        const int64_t fromY = oy < 0 ? -oy : 0;
        const int64_t toX = fromX + (ox > 0 ? ox : 0) + shift;
        const int64_t toY = fromY + (oy > 0 ? oy : 0);
        // Clipped to both images.
        const int64_t x0 = std::max<int64_t>(0, -toX);
        const int64_t y0 = std::max<int64_t>(0, -toY);
        const int64_t x1 =
            std::min({width, int64_t(s.GetWidth()) - toX, int64_t(t.GetWidth()) - fromX});
        const int64_t y1 =
            std::min({height, int64_t(s.GetHeight()) - toY, int64_t(t.GetHeight()) - fromY});
        for (int64_t y = y0; y < y1; ++y) {
            const CPixel* in = t.Row(int32_t(fromY + y)) + fromX;
            CPixel* out = s.Row(int32_t(toY + y)) + toX;
            for (int64_t x = x0; x < x1; ++x) {
                out[x] = (uint32_t(in[x]) >> 24) * 0x101u;
            }
        }
    }
    if (!CBlur::GaussianBlur(&mask, m_rShadowRadius, 0)) {
        return eOutOfMemory;
    }
    CImNav overlay(&m_Overlay, &cellRect);
    CImNav t(&text);
    CImNav s(&mask);
    if (!overlay.IsLocked() || !t.IsLocked() || !s.IsLocked()) {
        return eOutOfMemory;
    }
    cellRect.Offset(-columnLeft, -rowTop);
    const uint32_t shadow = CPixel::AtOpacity(
        m_ShadowColour, uint32_t(std::clamp<int32_t>(m_nShadowOpacity, 0, 255) + 1));
    const int32_t width = std::min(overlay.GetWidth(), s.GetWidth() - cellRect.left);
    const int32_t height = std::min(overlay.GetHeight(), s.GetHeight() - cellRect.top);
    for (int32_t y = 0; y < height; ++y) {
        const int32_t cy = cellRect.top + y;
        const CPixel* maskLine = s.Row(cy);
        const CPixel* textLine = cy < t.GetHeight() ? t.Row(cy) : nullptr;
        CPixel* out = overlay.Row(y);
        for (int32_t x = 0; x < width; ++x) {
            const int32_t cx = cellRect.left + x;
            const uint32_t level = ((uint32_t(maskLine[cx]) & 0xFFFFu) >> 8) + 1;
            CPixel p = CPixel::AtOpacity(shadow, level);
            const int32_t tx = cx - shift;
            if (textLine && tx >= 0 && tx < t.GetWidth()) {
                const CPixel ink = textLine[tx];
                p.AlphaBlend255(int32_t(uint32_t(ink) >> 24), ink);
            }
            out[x] = p;
        }
    }
    return eNoError;
}

error CTableWidget::RebuildCell(int32_t row, int32_t column, int32_t redraw) {
    if (ValidRow(row) && ValidColumn(column)) {
        const int32_t left = ColumnLeft(column);
        const int32_t top = RowTop(row);
        const gCRect cell =
            Meet(gCRect(left, top, left + GetColumnWidth(column), top + m_nRowHeight), ViewRect());
        if (!cell.IsEmpty()) {
            {
                const gCRect area = Meet(cell, Bounds(m_Overlay));
                CImNav view(&m_Overlay, &area);
                if (!area.IsEmpty() && !view.IsLocked()) {
                    return eOutOfMemory;
                }
                if (!area.IsEmpty()) {
                    view.Fill(0);
                }
            }
            if (error e = RenderCell(row, column, &cell)) {
                return e;
            }
            if (error e = InvalidateArea(cell, 0)) {
                return e;
            }
        }
    }
    return redraw ? PassRedraw() : eNoError;
}

gCRect CTableWidget::RowStrip(int32_t row) {
    const int32_t top = RowTop(row);
    return Meet(gCRect(0, top, ViewWidth(), top + m_nRowHeight), ViewRect());
}

error CTableWidget::RebuildRow(int32_t row, int32_t redraw) {
    if (!ValidRow(row)) {
        return eBadParameter;
    }
    if (!IsRowVisible(row)) {
        return redraw ? PassRedraw() : eNoError;
    }
    const gCRect strip = RowStrip(row);
    if (error e = InvalidateOverlay(strip)) {
        return e;
    }
    return InvalidateArea(strip, redraw);
}

error CTableWidget::ContentScroll(int32_t top, int32_t height, int32_t dy, int32_t rerender,
                                  int32_t redraw) {
    if (dy == 0) {
        return eNoError;
    }
    const int64_t viewHeight = ViewHeight();
    const int32_t viewWidth = ViewWidth();
    int64_t sourceTop = top;
    int64_t sourceBottom = int64_t(top) + height;
    int64_t destTop = int64_t(top) + dy;
    int64_t destBottom = sourceBottom + dy;
    if (sourceTop >= viewHeight || destBottom <= 0) {
        return eNoError;
    }
    if (sourceTop < 0) {
        destTop -= sourceTop;
        sourceTop = 0;
    }
    if (destBottom > viewHeight) {
        sourceBottom -= destBottom - viewHeight;
        destBottom = viewHeight;
    }
    if (destTop < 0) {
        sourceTop -= destTop;
        destTop = 0;
    }
    if (sourceBottom > viewHeight) {
        destBottom -= sourceBottom - viewHeight;
        sourceBottom = viewHeight;
    }
    const int64_t copyHeight = std::max<int64_t>(0, sourceBottom - sourceTop);
    const auto rect = [&](int64_t t, int64_t b) {
        return gCRect(0, int32_t(std::clamp<int64_t>(t, INT32_MIN, INT32_MAX)), viewWidth,
                      int32_t(std::clamp<int64_t>(b, INT32_MIN, INT32_MAX)));
    };
    gCRect strip;
    gCRect repaint;
    if (dy > 0) {
        strip = rect(sourceTop, destBottom - copyHeight);
        repaint = rect(sourceTop, destBottom);
    } else {
        strip = rect(std::max<int64_t>(0, destBottom), sourceBottom);
        repaint = rect(destTop, sourceBottom);
    }
    if (copyHeight > 0) {
        const gCRect from = Meet(rect(sourceTop, sourceBottom), Bounds(m_Overlay));
        const gCRect to = Meet(rect(destTop, destTop + copyHeight), Bounds(m_Overlay));
        CImNav source(&m_Overlay, &from);
        CImNav destination(&m_Overlay, &to);
        if (!source.IsLocked() || !destination.IsLocked()) {
            return eOutOfMemory;
        }
        if (error e = CStretcher::Blit(&destination, &source)) {
            return e;
        }
    }
    if (rerender) {
        if (error e = InvalidateOverlay(strip)) {
            return e;
        }
    } else {
        const gCRect area = Meet(strip, Bounds(m_Overlay));
        if (!area.IsEmpty()) {
            CImNav view(&m_Overlay, &area);
            if (!view.IsLocked()) {
                return eOutOfMemory;
            }
            view.Fill(0);
        }
    }
    return InvalidateArea(repaint, redraw);
}

error CTableWidget::RenderArea(const gCRect& area, CImage* target, uint32_t alpha) {
    alpha = std::min<uint32_t>(alpha, 255);
    if (alpha == 0) {
        return eNoError;
    }
    if (!target) {
        return eBadParameter;
    }
    const uint32_t k = alpha + 1;
    const uint32_t opaque = m_fOpaqueBlit ? 0xFF000000u : 0u;
    const uint32_t selected = CPixel::AtOpacity(m_SelectBackColour, k) | opaque;
    const uint32_t client = CPixel::AtOpacity(m_ClientColour, k) | opaque;
    const uint32_t alternate = CPixel::AtOpacity(m_AltRowColour, k) | opaque;
    const uint32_t rollover = CPixel::AtOpacity(m_RolloverColour, k) | opaque;
    const gCRect rect = Meet(Meet(area, Bounds(m_Overlay)), DrawingBounds(*target));
    if (rect.IsEmpty()) {
        return eNoError;
    }
    CImNav to(target, &rect);
    CImNav overlay(&m_Overlay, &rect);
    if (!to.IsLocked() || !overlay.IsLocked()) {
        return eOutOfMemory;
    }
    const int32_t width = std::min(to.GetWidth(), overlay.GetWidth());
    const int32_t height = std::min(to.GetHeight(), overlay.GetHeight());
    const CPixel::BlendProcPtr blend = CPixel::m_pBlendProc;
    for (int32_t y = 0; y < height; ++y) {
        const int64_t row = (int64_t(rect.top) + y + m_nVScroll) / m_nRowHeight;
        const bool exists = row < m_aRows.GetSize();
        uint32_t background = (row & 1) ? client : alternate;
        if (exists && m_aRows[int32_t(row)]->m_fSelected) {
            background = selected;
        } else if (exists && m_fAutoRollover && row == m_nRolloverRow) {
            background = rollover;
        }
        const CPixel* in = overlay.Row(y);
        CPixel* out = to.Row(y);
        for (int32_t x = 0; x < width; ++x) {
            const CPixel o = CPixel::AtOpacity(in[x], k);
            const uint32_t level = uint32_t(o) >> 24;
            if ((background >> 24) == 0xFF) {
                CPixel result = background;
                if (level == 255) {
                    result = o;
                } else if (level != 0) {
                    CPixel::Blend255Proc(&result, int32_t(level), o);
                }
                out[x] = result;
            } else {
                CPixel result = out[x];
                blend(&result, background);
                blend(&result, o);
                out[x] = result;
            }
        }
    }
    return eNoError;
}

// --- Attribute and shadow setters

error CTableWidget::SetAltRowColour(CPixel colour, int32_t redraw) {
    m_AltRowColour = colour;
    return InvalidateClient(redraw);
}

error CTableWidget::SetSelectBackColour(CPixel colour, int32_t redraw) {
    m_SelectBackColour = colour;
    return InvalidateClient(redraw);
}

error CTableWidget::SetTextAttributes(const CTextRenderer& attributes, int32_t redraw) {
    m_TextAttributes = attributes;
    return RerenderAll(redraw);
}

void CTableWidget::GetTextAttributes(CTextRenderer& attributes) const {
    attributes = m_TextAttributes;
}

error CTableWidget::SetSelectedTextAttributes(const CTextRenderer& attributes, int32_t redraw) {
    m_SelectedTextAttributes = attributes;
    return RerenderAll(redraw);
}

void CTableWidget::GetSelectedTextAttributes(CTextRenderer& attributes) const {
    attributes = m_SelectedTextAttributes;
}

error CTableWidget::SetUseImageShadow(int32_t on, int32_t redraw) {
    m_fUseImageShadow = on;
    return RerenderAll(redraw);
}

error CTableWidget::SetUseTextShadow(int32_t on, int32_t redraw) {
    m_fUseTextShadow = on;
    return RerenderAll(redraw);
}

error CTableWidget::StoreShadowSetting(int32_t redraw) {
    if (m_fUseTextShadow || m_fUseImageShadow) {
        return RerenderAll(redraw);
    }
    return redraw ? PassRedraw() : eNoError;
}

error CTableWidget::SetShadowOffset(const gCPoint& offset, int32_t redraw) {
    m_ShadowOffset = offset;
    return StoreShadowSetting(redraw);
}

error CTableWidget::SetShadowColour(CPixel colour, int32_t redraw) {
    m_ShadowColour = colour;
    return StoreShadowSetting(redraw);
}

error CTableWidget::SetShadowOpacity(int32_t opacity, int32_t redraw) {
    m_nShadowOpacity = opacity;
    return StoreShadowSetting(redraw);
}

error CTableWidget::SetShadowRadius(float radius, int32_t redraw) {
    m_rShadowRadius = radius;
    return StoreShadowSetting(redraw);
}
