#include "widgets/CoWidget.h"

#include <algorithm>

#include "imaging/BlendRows.h"
#include "imaging/ImNav.h"
#include "widgets/detail/Alphas.h"

error CCoWidget::SetClientColour(CPixel colour, int32_t redraw) {
    if (colour != m_ClientColour) {
        m_ClientColour = colour;
        if (error e = InvalidateClient(0)) {
            return e;
        }
    }
    return redraw ? PassRedraw() : eNoError;
}

error CCoWidget::RenderArea(const gCRect& area, CImage* target, uint32_t opacity) {
    opacity = widgetdetail::ClampAlpha(opacity);
    if (opacity == 0) {
        return eNoError;
    }
    CImNav view(target, &area);
    if (!view.IsLocked()) {
        return eOutOfMemory;
    }
    const uint32_t client = m_ClientColour;
    const uint32_t alpha = m_fOpaqueBlit ? 255u : ((client >> 8) * (opacity + 1)) >> 24;
    const CPixel colour = (client & 0x00FFFFFFu) | (alpha << 24);
    if (alpha == 255) {
        view.Fill(colour);
        return eNoError;
    }
    const CPixel::BlendProcPtr blend = CPixel::m_pBlendProc;
    if (blend == &CPixel::BlendProc) {
        const blendrows::SRows& rows = blendrows::Rows();
        for (int32_t y = 0; y < view.GetHeight(); ++y) {
            rows.toward(reinterpret_cast<uint32_t*>(view.Row(y)), colour, alpha, view.GetWidth());
        }
        return eNoError;
    }
    for (int32_t y = 0; y < view.GetHeight(); ++y) {
        CPixel* row = view.Row(y);
        for (int32_t x = 0; x < view.GetWidth(); ++x) {
            blend(&row[x], colour);
        }
    }
    return eNoError;
}

int32_t CCoWidget::OpaquePixel(gCPoint&) {
    return m_nOpacity >= m_nOpaqueThreshold ? 1 : 0;
}

error CCoWidget::GetAlpha(CImage8* mask) {
    if (!mask || !mask->IsValid() || mask->IsCompressed()) {
        return eNoError;
    }
    const int32_t width = std::min(mask->GetWidth(), Width());
    const int32_t height = std::min(mask->GetHeight(), Height());
    if (width <= 0 || height <= 0) {
        return eNoError;
    }
    // The whole mask from its first byte: mask coordinates are the
    // widget's, whatever origin the mask carries.
    CImNav8 view(mask);
    if (!view.IsLocked()) {
        return eOutOfMemory;
    }
    const uint8_t value = m_fOpaqueBlit ? 255 : uint8_t(uint32_t(m_ClientColour) >> 24);
    for (int32_t y = 0; y < height; ++y) {
        std::fill_n(view.Row(y), width, value);
    }
    return eNoError;
}
