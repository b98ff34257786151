#pragma once
// Oil paint: wet paint with a brush load that it keeps from stroke to stroke
// until the colour changes.

#include <limits>

#include "tools/wet/WetBrush.h"

class COilPaint : public CWetBrushTool {
public:
    // A mouse presses oil paint by its own row of the mouse table.
    COilPaint() : CWetBrushTool(EKind::eOil) { m_StrokeTraits.mouse = eMouseOilPaint; }

    // Tool eToolOilPaint.
    error SetupTool() override;
    // Profiles for line rendering (dab 0) or a single dab (dab 1), the load
    // 1024 + round(1020 lin) (255 for a dab), the brush emptied by the reset
    // rule and then loaded with the current colour under what it still
    // carries at 80 %.
    error SetFirstPt(pointStruct p, int32_t dab) override;
    // Exchanges paint between bristle i and a canvas pixel of the colour and
    // depth, with the noise; the fourth argument is not used.
    error SetColour(int32_t i, uint32_t colour, uint32_t depth, uint32_t = 0) override;
    // Colour and reservoir smoothed across neighbouring bristles.
    error AveragePaint() override;
    // The noise texture's vertical offset.
    uint32_t NoisePos() override { return m_nNoisePosition; }
    void SetNoisePos(uint32_t position) override { m_nNoisePosition = position; }

protected:
    float BrushWidth(float P, int32_t pr) override;
    int32_t DabSize(int32_t pr) override;
    int32_t DabReach(int32_t H) override { return H; }

private:
    // The step along the noise from one bristle to the next: fixed by the
    // size and the pressure response, so worked out again only when either
    // changes (a NaN never matches its key: worked out every time).
    float NoiseStep();
    struct SNoiseStep {
        float lin = std::numeric_limits<float>::quiet_NaN();
        float P = std::numeric_limits<float>::quiet_NaN();
        float step = 0.0f;
    };
    SNoiseStep m_NoiseStep;
};
