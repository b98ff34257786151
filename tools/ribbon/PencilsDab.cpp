// The pencil's single stamp for a short stroke.

#include <algorithm>
#include <cmath>

#include "foundation/Rounding.h"
#include "paint/Pressure.h"
#include "paint/canvas/Canvas.h"
#include "tools/ribbon/Pencils.h"
#include "tools/ribbon/detail/LeadRules.h"
#include "tools/ribbon/detail/RibbonGeometry.h"
#include "tools/ribbon/detail/StampWalk.h"

error CPencils::Dab(pointStruct p, gCRect& rect, CCanvas* canvas) {
    if (!ribbon::LayersReady(*this, canvas)) {
        return eOutOfMemory;
    }
    m_nPaperColour = canvas->PaperColour();
    m_nColour = CurrentColour();
    // A pressure below none counts as none: it would turn the stamp and the
    // lead inside out.
    const float r = std::min(1.0f, ToolPressure(std::max<int32_t>(0, p.pressure)));
    m_rPressureResponse = r;
    const bool wide = m_nStyle == lead::kWideStyle;
    int32_t w = int32_t(RoundHalfAway(4.0f * m_rLinearSize + 0.3f * r + 0.5f));
    if (wide) {
        w *= 2;
    }
    const int32_t width = m_nLayerWidth, height = m_nLayerHeight;

    const gCRect area = ribbon::StampArea(p.x, p.y, p.dx, p.dy, w, width, height);
    gCRect protect = area;
    (void)ProtectStrokeArea(*canvas, protect); // only records the tiles for undo

    // The grain range over the stamp sampled as the pen samples its own.
    lead::SGrainRange grain;
    ribbon::ForEachStampSample(
        p.x, p.y, p.dx, p.dy, w, width, height,
        [&](float t) {
            return static_cast<int32_t>(RoundHalfAway(float(w) * m_aTip[ribbon::StampSlot(t)]));
        },
        [&](const ribbon::SStampSample& s) {
            if (s.inside) {
                grain.Take(uint32_t(m_pLayer1[size_t(s.y) * size_t(width) + size_t(s.x)]) >> 16);
            }
        });
    if (grain.lowest > grain.highest) {
        grain.lowest = grain.highest = 0; // no sample on the layer
    }
    const float range = float(std::max<int32_t>(1, int32_t(grain.highest - grain.lowest)));

    const int32_t h = wide ? w / 4 : w;
    const float colourAlpha = float(uint32_t(m_nColour) >> 24);
    const uint32_t rgb = uint32_t(m_nColour) & 0x00FFFFFFu;
    ribbon::ForEachStampSample(
        p.x, p.y, p.dx, p.dy, w, width, height, [&](float) { return h; },
        [&](const ribbon::SStampSample& s) {
            m_nNoisePosition += 50u;
            StampOnce(s, [&](size_t at) {
                int32_t k;
                if (wide) {
                    k = std::min(99, int32_t(RoundHalfAway(99.0f * s.t)));
                } else {
                    const float across = 2.0f * s.t - 1.0f, along = 2.0f * s.s - 1.0f;
                    const float d = std::sqrt(across * across + along * along);
                    k = std::min(99, int32_t(RoundHalfAway(50.0f * d)) + 49);
                }
                CPixel& height1 = m_pLayer1[at];
                const uint32_t here = uint32_t(height1) >> 16;
                const float g = float(int32_t(grain.highest) - int32_t(here)) / range;
                const float lead = m_aTip[k] * r;
                int32_t a = int32_t(RoundHalfAway(colourAlpha * lead)) & 0xFF;
                a = lead::CatchOnGrain(a, lead, g);
                m_pLayer0[at].AlphaBlend255(a, rgb | (uint32_t(a) << 24));
                height1 = uint32_t(height1) & 0xFFFF0000u;
            });
        });

    rect = ribbon::Widened(area, 1);
    ribbon::MarkSpans(*canvas, area, area);
    return eNoError;
}
