#pragma once
// The palette knife: moves and smears the paint already on the canvas. The
// blade of oil paint without a load of its own: it never takes the current
// colour.

#include "tools/wet/WetBrush.h"

class CPaletteKnife : public CWetBrushTool {
public:
    // The blade's stroke points lie closer than a brush's.
    CPaletteKnife() : CWetBrushTool(EKind::eKnife) { m_StrokeTraits.spacingPerSize = 1.0f; }

    // Tool eToolPaletteKnife.
    error SetupTool() override;
    // Profiles by style (0: the oil shape, else a straight blade whose
    // deposit rises from one end to the other); the blade emptied by the
    // reset rule, else kept as the last stroke left it.
    error SetFirstPt(pointStruct p, int32_t dab) override;
    // Exchanges paint between bristle i and a canvas pixel, without noise;
    // it also takes colour from pixels that carry no depth.
    error SetColour(int32_t i, uint32_t colour, uint32_t depth, uint32_t = 0) override;
    // As oil paint's, but an empty neighbour does not dilute.
    error AveragePaint() override;

protected:
    float BrushWidth(float P, int32_t pr) override;
    int32_t DabSize(int32_t pr) override;
    int32_t DabReach(int32_t H) override { return 2 * H + 10; }
};
