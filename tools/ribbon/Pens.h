#pragma once
// The ink pen: a ribbon of ink whose width follows the pressure and whose
// colour multiplies with what the canvas shows, so crossing strokes grow
// darker. It writes only the colour layer; its single dab also marks the
// pixels it inked for the length of the stroke.

#include <cstdint>

#include "tools/PaintingTool.h"
#include "tools/ribbon/detail/RibbonTool.h"

class CPens : public CRibbonTool<CBrushTool> {
public:
    static constexpr int32_t kProfileSize = 100;

    // Tool eToolPens.
    error SetupTool() override;
    // Starts a stroke at p: the profile built, the brush filled with the
    // current colour, no previous pressure.
    error SetFirstPt(pointStruct p, int32_t flag) override;
    // The piece of ribbon to p. eOutOfMemory when the layers cannot be painted.
    error RenderDab(pointStruct p, gCRect& rect, CCanvas* canvas) override;
    // One square stamp at p, inking each pixel at most once a stroke.
    // eOutOfMemory when the layers cannot be painted.
    error Dab(pointStruct p, gCRect& rect, CCanvas* canvas) override;

    // One piece of the ribbon from the cross-section a1 (left), a2 (right) to
    // b1, b2, with its taper (ribbon::ETaper). The layers must be ready.
    error RenderSegment(gCRPoint a1, gCRPoint a2, gCRPoint b1, gCRPoint b2, int32_t taper);

    // The ink density across the nib, B[0..99].
    const float* DensityProfile() const { return m_aDensity; }

protected:
    float m_aDensity[kProfileSize] = {};
    CPixel m_nPaperColour = 0u;
    CPixel m_nCurrentColour = 0u;
};
