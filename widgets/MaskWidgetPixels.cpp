// The mask widget's pixels: drawing through the mask, hit-testing, alpha
// mattes and the image its effects follow. The run-length form is read row
// by row where it lies, never expanded for drawing.

#include <algorithm>

#include "imaging/ImNav.h"
#include "imaging/RLE8.h"
#include "widgets/MaskWidget.h"
#include "widgets/WidgetEffectBase.h"
#include "widgets/detail/Alphas.h"
#include "widgets/detail/LevelBlend.h"

gCRect CMaskWidget::MaskBounds() const {
    if (!m_pMask) {
        return gCRect();
    }
    if (m_pMask->IsCompressed()) {
        return gCRect(0, 0, m_pMask->GetRLE()->GetWidth(), m_pMask->GetRLE()->GetHeight());
    }
    return gCRect(0, 0, m_pMask->GetWidth(), m_pMask->GetHeight());
}

template <class Row> error CMaskWidget::ForEachMaskRow(const gCRect& area, Row row) {
    const gCRect inside = area.Intersected(MaskBounds());
    if (inside.IsEmpty()) {
        return eNoError;
    }
    if (m_pMask->IsCompressed()) {
        CRLE8& rle = *m_pMask->GetRLE();
        for (int32_t y = inside.top; y < inside.bottom; ++y) {
            rle.StartRLE(inside.left, y);
            row(y, inside.left, inside.Width(), [&rle](int32_t) { return rle.NextRLE(); });
        }
        return eNoError;
    }
    CImNav8 view(m_pMask.get(), &inside);
    if (!view.IsLocked()) {
        return eOutOfMemory;
    }
    for (int32_t y = 0; y < view.GetHeight(); ++y) {
        const uint8_t* bytes = view.Row(y);
        row(inside.top + y, inside.left, inside.Width(), [bytes](int32_t x) { return bytes[x]; });
    }
    return eNoError;
}

uint8_t CMaskWidget::CoverageAt(int32_t x, int32_t y) {
    uint8_t value = 0;
    if (m_pMask) {
        (void)ForEachMaskRow(gCRect(x, y, x + 1, y + 1), // a failed lock reads 0
                             [&](int32_t, int32_t, int32_t, auto next) { value = next(0); });
    }
    return value;
}

error CMaskWidget::RenderArea(const gCRect& area, CImage* target, uint32_t opacity) {
    opacity = widgetdetail::ClampAlpha(opacity);
    if (opacity == 0) {
        return eNoError;
    }
    if (m_fOpaqueBlit) {
        CImNav view(target, &area);
        if (!view.IsLocked()) {
            return eOutOfMemory;
        }
        view.Fill(uint32_t(m_ClientColour) | 0xFF000000u);
        return eNoError;
    }
    if (!m_pMask) {
        return CCoWidget::RenderArea(area, target, opacity);
    }
    const uint32_t colour = m_ClientColour;
    const uint32_t rgb = colour & 0x00FFFFFFu;
    const uint32_t f = (opacity + 1) << 16;
    const CPixel::Blend255ProcPtr blend = CPixel::m_pBlend255Proc;
    // Coverage 0 draws nothing, so only the part of the area the mask
    // covers is visited.
    const gCRect drawn = area.Intersected(MaskBounds());
    if (drawn.IsEmpty()) {
        return eNoError;
    }
    CImNav view(target, &drawn);
    if (!view.IsLocked()) {
        return eOutOfMemory;
    }
    const bool standard = blend == &CPixel::Blend255Proc;
    return ForEachMaskRow(drawn, [&](int32_t y, int32_t, int32_t width, auto next) {
        CPixel* out = view.Row(y - drawn.top);
        if (standard) {
            // The standard blend keeps the target's alpha below 255 and
            // writes the opaque colour at 255: one colour at a level a pixel.
            uint8_t levels[effectdetail::kLevelChunk];
            for (int32_t x = 0; x < width; x += effectdetail::kLevelChunk) {
                const int32_t n = std::min(effectdetail::kLevelChunk, width - x);
                for (int32_t k = 0; k < n; ++k) {
                    const uint32_t a = ((colour >> 8) * (next(x + k) + 1)) >> 24;
                    levels[k] = uint8_t((a * f) >> 24);
                }
                effectdetail::BlendLevels(out + x, levels, n, rgb | 0xFF000000u);
            }
            return;
        }
        for (int32_t x = 0; x < width; ++x) {
            const uint32_t m = next(x);
            const uint32_t a = ((colour >> 8) * (m + 1)) >> 24;
            const uint32_t level = (a * f) >> 24;
            if (level == 0) {
                continue;
            }
            const CPixel source = rgb | (a << 24);
            if (level == 255) {
                out[x] = source;
            } else {
                blend(&out[x], int32_t(level), source);
            }
        }
    });
}

int32_t CMaskWidget::OpaquePixel(gCPoint& local) {
    if (m_nOpaqueThreshold == 0) {
        return 1;
    }
    if (!m_pMask) {
        return 0;
    }
    return CoverageAt(local.x, local.y) >= m_nOpaqueThreshold ? 1 : 0;
}

error CMaskWidget::GetAlpha(CImage8* matte) {
    if (!matte || !matte->IsValid() || matte->IsCompressed()) {
        return eNoError;
    }
    if (m_fOpaqueBlit) {
        const gCRect r(0, 0, std::min(matte->GetWidth(), Width()),
                       std::min(matte->GetHeight(), Height()));
        if (r.IsEmpty()) {
            return eNoError;
        }
        CImNav8 view(matte, &r);
        if (!view.IsLocked()) {
            return eOutOfMemory;
        }
        view.Fill(255);
        return eNoError;
    }
    if (!m_pMask || !m_pMask->IsValid()) {
        return CCoWidget::GetAlpha(matte);
    }
    const gCRect inside =
        gCRect(0, 0, matte->GetWidth(), matte->GetHeight()).Intersected(MaskBounds());
    if (inside.IsEmpty()) {
        return CCoWidget::GetAlpha(matte);
    }
    CImNav8 view(matte, &inside);
    if (!view.IsLocked()) {
        return eOutOfMemory;
    }
    return ForEachMaskRow(inside, [&](int32_t y, int32_t, int32_t width, auto next) {
        uint8_t* out = view.Row(y);
        for (int32_t x = 0; x < width; ++x) {
            out[x] = next(x);
        }
    });
}

error CMaskWidget::EffectChanged(CWidgetEffectBase* effect, int32_t redraw) {
    if (!effect) {
        return eBadParameter;
    }
    if (m_pMask) {
        const gCRect bounds = MaskBounds();
        const int32_t width = bounds.Width();
        const int32_t height = bounds.Height();
        CImage shape(width, height);
        if (!shape.IsValid()) {
            return eOutOfMemory;
        }
        {
            CImNav view(&shape);
            if (!view.IsLocked()) {
                return eOutOfMemory;
            }
            const uint32_t rgb = uint32_t(m_ClientColour) & 0x00FFFFFFu;
            const error e = ForEachMaskRow(gCRect(0, 0, width, height),
                                           [&](int32_t y, int32_t, int32_t w, auto next) {
                                               CPixel* out = view.Row(y);
                                               for (int32_t x = 0; x < w; ++x) {
                                                   out[x] = rgb | (uint32_t(next(x)) << 24);
                                               }
                                           });
            if (e != eNoError) {
                return e;
            }
        }
        if (error e = effect->WidgetChanged(&shape)) {
            return e;
        }
    }
    RebuildTotalAreaRect();
    return InvalidateTotal(redraw);
}
