// The image widget's pixels as the passes and hit tests read them: drawing
// over a target, the alpha at a point and the alpha mask, each straight
// from the run-length form when the image is compressed.

#include <algorithm>
#include <cstring>

#include "imaging/BlendRows.h"
#include "imaging/ImNav.h"
#include "imaging/RLE.h"
#include "widgets/ImWidget.h"
#include "widgets/detail/Alphas.h"
#include "widgets/detail/RectMath.h"

using widgetdetail::Shifted;

namespace {

// A row of source pixels over the target at the widget's opacity: the
// vector rows for the two standard blends, pixel by pixel through any other
// blend procedure.
void BlendRow(CPixel* dst, const CPixel* src, uint32_t opacity, int32_t n,
              CPixel::Blend255ProcPtr blend) {
    auto* out = reinterpret_cast<uint32_t*>(dst);
    const auto* in = reinterpret_cast<const uint32_t*>(src);
    if (blend == &CPixel::Blend255Proc) {
        blendrows::Rows().over(out, in, opacity, n);
        return;
    }
    if (blend == &CPixel::AlphaBlend255Proc) {
        blendrows::Rows().alphaOver(out, in, opacity, n);
        return;
    }
    for (int32_t x = 0; x < n; ++x) {
        const uint32_t a = ((uint32_t(src[x]) >> 24) * (opacity + 1)) >> 8;
        if (a == 255) {
            dst[x] = src[x];
        } else if (a != 0) {
            blend(&dst[x], int32_t(a), src[x]);
        }
    }
}

// The run-length form is read this many pixels at a time for blending.
constexpr int32_t kRunChunk = 256;

} // namespace

error CImWidget::RenderArea(const gCRect& area, CImage* target, uint32_t opacity) {
    opacity = widgetdetail::ClampAlpha(opacity);
    if (opacity == 0) {
        return eNoError;
    }
    CImNav view(target, &area);
    if (!view.IsLocked()) {
        return eOutOfMemory;
    }
    if (!m_pImage) {
        return CCoWidget::RenderArea(area, target, opacity);
    }
    // The part of the area that both the target and the image hold, in
    // local coordinates.
    const gCPoint origin = target->GetOrigin();
    const gCRect held = Shifted(view.GetArea(), -origin.x, -origin.y);
    const gCRect draw = held.Intersected(gCRect(0, 0, m_pImage->GetWidth(), m_pImage->GetHeight()));
    if (draw.IsEmpty()) {
        return eNoError;
    }
    const int32_t width = draw.Width();
    const CPixel::Blend255ProcPtr blend = CPixel::m_pBlend255Proc;
    auto targetRow = [&](int32_t y) { return view.Row(y - held.top) + (draw.left - held.left); };

    if (m_pImage->IsCompressed()) {
        CRLE& rle = *m_pImage->GetRLE();
        CPixel chunk[kRunChunk];
        for (int32_t y = draw.top; y < draw.bottom; ++y) {
            CPixel* dst = targetRow(y);
            rle.StartRLE(draw.left, y);
            if (m_fOpaqueBlit) {
                rle.ReadRLE(dst, width);
                continue;
            }
            for (int32_t x = 0; x < width; x += kRunChunk) {
                const int32_t n = std::min(kRunChunk, width - x);
                rle.ReadRLE(chunk, n);
                BlendRow(dst + x, chunk, opacity, n, blend);
            }
        }
        return eNoError;
    }

    CImNav source(m_pImage.get());
    if (!source.IsLocked()) {
        return eOutOfMemory;
    }
    for (int32_t y = draw.top; y < draw.bottom; ++y) {
        CPixel* dst = targetRow(y);
        const CPixel* src = source.Row(y) + draw.left;
        if (m_fOpaqueBlit) {
            std::memcpy(dst, src, size_t(width) * sizeof(CPixel));
        } else {
            BlendRow(dst, src, opacity, width, blend);
        }
    }
    return eNoError;
}

int32_t CImWidget::OpaquePixel(gCPoint& local) {
    if (m_nOpaqueThreshold == 0) {
        return 1;
    }
    if (!m_pImage || local.x < 0 || local.y < 0 || local.x >= m_pImage->GetWidth() ||
        local.y >= m_pImage->GetHeight()) {
        return 0;
    }
    CPixel pixel;
    if (m_pImage->IsCompressed()) {
        CRLE& rle = *m_pImage->GetRLE();
        rle.StartRLE(local.x, local.y);
        pixel = rle.NextRLE();
    } else {
        CImNav view(m_pImage.get());
        if (!view.IsLocked()) {
            return 0;
        }
        pixel = view.Row(local.y)[local.x];
    }
    return (uint32_t(pixel) >> 24) >= m_nOpaqueThreshold ? 1 : 0;
}

error CImWidget::GetAlpha(CImage8* mask) {
    if (!mask || !mask->IsValid() || mask->IsCompressed()) {
        return eNoError;
    }
    // Mask coordinates are the widget's, whatever origin the mask carries:
    // the views cover whole images from their first pixel.
    if (m_fOpaqueBlit) {
        const int32_t width = std::min(mask->GetWidth(), Width());
        const int32_t height = std::min(mask->GetHeight(), Height());
        if (width <= 0 || height <= 0) {
            return eNoError;
        }
        CImNav8 out(mask);
        if (!out.IsLocked()) {
            return eOutOfMemory;
        }
        for (int32_t y = 0; y < height; ++y) {
            std::fill_n(out.Row(y), width, uint8_t(255));
        }
        return eNoError;
    }
    const int32_t width = m_pImage ? std::min(mask->GetWidth(), m_pImage->GetWidth()) : 0;
    const int32_t height = m_pImage ? std::min(mask->GetHeight(), m_pImage->GetHeight()) : 0;
    if (!m_pImage || !m_pImage->IsValid() || width <= 0 || height <= 0) {
        return CCoWidget::GetAlpha(mask);
    }
    CImNav8 out(mask);
    if (!out.IsLocked()) {
        return eOutOfMemory;
    }
    if (m_pImage->IsCompressed()) {
        CRLE& rle = *m_pImage->GetRLE();
        for (int32_t y = 0; y < height; ++y) {
            uint8_t* row = out.Row(y);
            rle.StartRLE(0, y);
            for (int32_t x = 0; x < width; ++x) {
                row[x] = uint8_t(uint32_t(rle.NextRLE()) >> 24);
            }
        }
        return eNoError;
    }
    CImNav source(m_pImage.get());
    if (!source.IsLocked()) {
        return eOutOfMemory;
    }
    for (int32_t y = 0; y < height; ++y) {
        uint8_t* row = out.Row(y);
        const CPixel* src = source.Row(y);
        for (int32_t x = 0; x < width; ++x) {
            row[x] = uint8_t(uint32_t(src[x]) >> 24);
        }
    }
    return eNoError;
}
