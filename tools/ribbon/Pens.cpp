#include "tools/ribbon/Pens.h"

#include <algorithm>
#include <cmath>

#include "foundation/Rounding.h"
#include "paint/Pressure.h"
#include "paint/canvas/Canvas.h"
#include "tools/ribbon/detail/InkRules.h"
#include "tools/ribbon/detail/RibbonGeometry.h"
#include "tools/ribbon/detail/StampWalk.h"

error CPens::SetupTool() {
    return SetupReload("Pens", 1, 3.0f);
}

error CPens::SetFirstPt(pointStruct p, int32_t) {
    StartEdge(p);
    ink::BuildDensityProfile(m_aDensity);
    (void)ResetBrushLoad(); // the pen refills every slot either way
    m_nCurrentColour = CurrentColour();
    for (CPixel& slot : m_aBrushLoad) {
        slot = m_nCurrentColour;
    }
    return eNoError;
}

error CPens::RenderDab(pointStruct p, gCRect& rect, CCanvas* canvas) {
    if (!ribbon::LayersReady(*this, canvas)) {
        return eOutOfMemory;
    }
    m_nPaperColour = canvas->PaperColour();
    // A circular ease: light pressure gives little ink.
    const float pressure = std::min(1.0f, ToolPressure(std::max<int32_t>(0, p.pressure)));
    const float r = 1.0f - std::sqrt(1.0f - pressure * pressure);
    const float w = 15.0f * m_rLinearSize + 2.0f + 2.0f * r;
    LayRibbon(p, r, w, *canvas, rect,
              [&](gCRPoint a1, gCRPoint a2, gCRPoint b1, gCRPoint b2, int32_t taper) {
                  (void)RenderSegment(a1, a2, b1, b2, taper); // always 0 with the layers ready
              });
    return eNoError;
}

error CPens::Dab(pointStruct p, gCRect& rect, CCanvas* canvas) {
    if (!ribbon::LayersReady(*this, canvas)) {
        return eOutOfMemory;
    }
    m_nPaperColour = canvas->PaperColour();
    const float r = std::min(1.0f, ToolPressure(p.pressure));
    m_rPressureResponse = r;
    const int32_t w = static_cast<int32_t>(RoundHalfAway(15.0f * m_rLinearSize + 2.0f));
    const int32_t width = m_nLayerWidth, height = m_nLayerHeight;

    const gCRect area = ribbon::StampArea(p.x, p.y, p.dx, p.dy, w, width, height);
    gCRect protect = area;
    (void)ProtectStrokeArea(*canvas, protect); // only records the tiles for undo

    const float strength = std::max(0.5f, r);
    ribbon::ForEachStampSample(
        p.x, p.y, p.dx, p.dy, w, width, height,
        [&](float t) {
            return static_cast<int32_t>(RoundHalfAway(float(w) * m_aDensity[ribbon::StampSlot(t)]));
        },
        [&](const ribbon::SStampSample& s) {
            StampOnce(s, [&](size_t at) {
                const int32_t k = ribbon::StampSlot(s.t), j = ribbon::StampSlot(s.s);
                const CPixel inkColour = m_aBrushLoad[k];
                const float inkAlpha = float(uint32_t(inkColour) >> 24);
                const int32_t a =
                    static_cast<int32_t>(RoundHalfAway(inkAlpha * m_aDensity[k] * m_aDensity[j])) &
                    0xFF;
                const int32_t alpha = static_cast<int32_t>(
                    RoundHalfAway(std::min(255.0f, float(a) * m_aDensity[k] * strength)));
                CPixel& pixel = m_pLayer0[at];
                const CPixel shown = ink::CanvasShows(m_nPaperColour, pixel);
                pixel.AlphaBlend255(alpha, ink::Darken(inkColour, shown, uint32_t(alpha)));
            });
        });

    rect = ribbon::Widened(area, 1);
    ribbon::MarkSpans(*canvas, area, area);
    return eNoError;
}
