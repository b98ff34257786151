#pragma once
// Pencils: a ribbon of lead laid directly in the current colour. It catches
// on the paper grain, flattens the paint relief under it and roughens the
// ends of its corner pieces with value noise. Four size steps; they ignore
// every id of their own.

#include <cstdint>

#include "tools/PaintingTool.h"
#include "tools/ribbon/detail/RibbonTool.h"

class CPencils : public CRibbonTool<CPaintingTool> {
public:
    static constexpr int32_t kLargestPencilStep = 3;
    static constexpr int32_t kProfileSize = 100;
    // The cap on the pressure response for the length of a stroke.
    static constexpr float kStrokePressureCap = 1.1f;

    // Close stroke points, a line that keeps its weight to the end, the
    // raised cap and the pencils' own row of the mouse table.
    CPencils();

    // Tool eToolPencils.
    error SetupTool() override;
    // Wraps over 0..3 in both directions.
    error ModSetting(int32_t delta) override;
    // Clamped to 0..3.
    error SetToolSize(int32_t size) override;
    int32_t ProcessLocalData(uint32_t, const void*, int64_t, int32_t) override { return 0; }

    // Starts a stroke at p: the tip profile built for the style, no previous
    // pressure.
    error SetFirstPt(pointStruct p, int32_t flag) override;
    // The piece of ribbon to p. eOutOfMemory when the layers cannot be painted.
    error RenderDab(pointStruct p, gCRect& rect, CCanvas* canvas) override;
    // One stamp at p, round (or wide for style 1), touching each pixel at
    // most once a stroke. eOutOfMemory when the layers cannot be painted.
    error Dab(pointStruct p, gCRect& rect, CCanvas* canvas) override;

    // One piece of the ribbon from the cross-section a1 (left), a2 (right) to
    // b1, b2, with its taper (ribbon::ETaper). The layers must be ready.
    error RenderSegment(gCRPoint a1, gCRPoint a2, gCRPoint b1, gCRPoint b2, int32_t taper);

    // The upper limit of the pressure response in ribbon pieces; a value
    // that is not finite gives the default 1.0.
    float MaxPencilPressure() override { return m_rMaxPencilPressure; }
    void SetMaxPencilPressure(float pressure) override;

    // Where the corner noise is read along the stroke; it only grows,
    // wrapping at 2^32.
    uint32_t NoisePosition() const { return m_nNoisePosition; }
    // The lead density across the tip, P[0..99].
    const float* TipProfile() const { return m_aTip; }

protected:
    float m_rMaxPencilPressure = 0.0f;
    uint32_t m_nNoisePosition = 0;
    float m_aTip[kProfileSize] = {};
    CPixel m_nPaperColour = 0u;
    CPixel m_nColour = 0u;
};
