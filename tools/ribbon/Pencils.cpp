#include "tools/ribbon/Pencils.h"

#include <algorithm>
#include <cmath>

#include "foundation/Rounding.h"
#include "paint/Pressure.h"
#include "paint/canvas/Canvas.h"
#include "tools/detail/ToolRounding.h"
#include "tools/ribbon/detail/LeadRules.h"
#include "tools/ribbon/detail/RibbonGeometry.h"

CPencils::CPencils() {
    m_StrokeTraits.spacingPerSize = 1.0f;
    m_StrokeTraits.tailKeepsPressure = true;
    m_StrokeTraits.strokePressureCap = kStrokePressureCap;
    m_StrokeTraits.mouse = eMousePencils;
}

error CPencils::SetupTool() {
    if (const error e = SetupPainting("Pencils", 0, 1.0f); e != eNoError) {
        return e;
    }
    m_rMaxPencilPressure = 1.0f;
    m_nNoisePosition = 0;
    return eNoError;
}

error CPencils::ModSetting(int32_t delta) {
    m_nToolSize = int32_t(uint32_t(m_nToolSize + delta) & 3u);
    return eNoError;
}

error CPencils::SetToolSize(int32_t size) {
    m_nToolSize = size < 0 ? 0 : (size > kLargestPencilStep ? kLargestPencilStep : size);
    return eNoError;
}

void CPencils::SetMaxPencilPressure(float pressure) {
    m_rMaxPencilPressure = std::isfinite(pressure) ? pressure : 1.0f;
}

error CPencils::SetFirstPt(pointStruct p, int32_t) {
    StartEdge(p);
    lead::BuildTipProfile(m_nStyle, m_aTip);
    return eNoError;
}

error CPencils::RenderDab(pointStruct p, gCRect& rect, CCanvas* canvas) {
    if (!ribbon::LayersReady(*this, canvas)) {
        return eOutOfMemory;
    }
    m_nPaperColour = canvas->PaperColour();
    m_nColour = CurrentColour();
    const float r = std::min(MaxPencilPressure(), ToolPressure(std::max<int32_t>(0, p.pressure)));
    const float w =
        m_nStyle == lead::kWideStyle ? 12.0f * m_rLinearSize + 2.0f : 5.0f * m_rLinearSize + 1.0f;
    // The ragged ends move on along the stroke with every piece.
    const uint32_t advance = uint32_t(RoundToInt32(r * 20.0f + 5.5f, 0, tooldetail::kFarOff));
    LayRibbon(p, r, w, *canvas, rect,
              [&](gCRPoint a1, gCRPoint a2, gCRPoint b1, gCRPoint b2, int32_t taper) {
                  (void)RenderSegment(a1, a2, b1, b2, taper); // always 0 with the layers ready
                  m_nNoisePosition += advance;
              });
    return eNoError;
}
