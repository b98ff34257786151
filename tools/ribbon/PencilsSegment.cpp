// The pencil's pixels along one piece of its ribbon.

#include <algorithm>
#include <cmath>

#include "foundation/Rounding.h"
#include "tools/PieceScanner.h"
#include "tools/ribbon/Pencils.h"
#include "tools/ribbon/detail/LeadRules.h"
#include "tools/ribbon/detail/RibbonGeometry.h"
#include "tools/ribbon/detail/RibbonPixels.h"

error CPencils::RenderSegment(gCRPoint a1, gCRPoint a2, gCRPoint b1, gCRPoint b2, int32_t taper) {
    const int32_t width = m_nLayerWidth;
    const CPieceScanner scanner(a1, a2, b1, b2, width, m_nLayerHeight);
    if (scanner.Top() >= scanner.Bottom()) {
        return eNoError;
    }
    // The grain over the piece's box, in the columns its spans can reach.
    const float minX = std::min(std::min(a1.x, a2.x), std::min(b1.x, b2.x));
    const float maxX = std::max(std::max(a1.x, a2.x), std::max(b1.x, b2.x));
    const int32_t left = RoundToInt32(minX - 0.5f, 0, width - 1);
    const int32_t right = RoundToInt32(maxX + 0.5f, 0, width - 1);
    lead::SGrainRange grain;
    for (int32_t y = scanner.Top(); y < scanner.Bottom(); ++y) {
        const CPixel* heights = m_pLayer1 + size_t(y) * size_t(width);
        for (int32_t x = left; x <= right; ++x) {
            grain.Take(uint32_t(heights[x]) >> 16);
        }
    }

    const float r0 = m_rPreviousPressureResponse, r = m_rPressureResponse;
    const bool wide = m_nStyle == lead::kWideStyle;
    const bool flip = m_fProfileFlip != 0;
    const float colourAlpha = float(uint32_t(m_nColour) >> 24);
    const uint32_t rgb = uint32_t(m_nColour) & 0x00FFFFFFu;
    CPieceScanner::SRow row;
    for (int32_t y = scanner.Top(); y < scanner.Bottom(); ++y) {
        if (!scanner.ScanRow(y, row)) {
            continue;
        }
        m_WrittenRows.Add(y, row.first, row.last);
        CPixel* colours = m_pLayer0 + size_t(y) * size_t(width);
        CPixel* heights = m_pLayer1 + size_t(y) * size_t(width);
        CPieceScanner::ForEachPixel(row, [&](const CPieceScanner::SPixel& px) {
            const float u = flip ? 1.0f - px.u : px.u;
            const int32_t k = int32_t(std::clamp(u * 98.0f, 0.0f, 98.0f));
            const float f = ribbon::PressureAlong(r0, r, px.v);
            const float q = std::min(1.0f, f * f);
            float lead = m_aTip[k] * (1.0f - std::sqrt(1.0f - q));
            int32_t a = int32_t(RoundHalfAway(colourAlpha * lead));
            if (wide) {
                lead = std::min(lead, lead::kWideDensityCap);
            }
            a = int32_t(RoundHalfAway(float(a & 0xFF) * lead));
            a = lead::CatchOnGrain(a, lead, grain.Depth(uint32_t(heights[px.x]) >> 16));
            if (px.ramped) {
                a = ribbon::RampedAlpha(a, px.ramp);
            }
            if (taper != ribbon::ePlain) {
                const float w = taper == ribbon::eCap ? px.vMid : 1.0f - px.vMid;
                a = ribbon::CornerFade(a, lead::RaggedEnd(w, px.uMid, m_nNoisePosition));
            }
            colours[px.x].AlphaBlend255(a, rgb | (uint32_t(a) << 24));
            // The lead flattens the paint's relief, painted or not.
            heights[px.x] = uint32_t(heights[px.x]) & 0xFFFF0000u;
        });
    }
    return eNoError;
}
