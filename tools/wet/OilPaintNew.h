#pragma once
// The second engine's oil brush: a loaded flat brush whose 100 bristles
// each lay their own paint across the stroke and pick up the wet colour
// they pass over, with rounded, ragged ends and a value-noise texture at
// the edges. It writes L0 alone: the canvas's protect images restore the
// provisional dab it shows at pen-down.

#include <cstdint>

#include "paint/ToolBase.h"

class COilPaintNew : public CToolBase {
public:
    enum EPhase : int32_t { eFirstDab = 0, eStart = 1, eBody = 2, eTurn = 3, eEnd = 4 };

    // Tool size 0.5, type 0.
    COilPaintNew();

    // Builds both profiles; 0.
    error SetupDerivedTool() override;
    float SizeLowLimit() override { return 4.0f; }
    float SizeHighLimit() override { return 100.0f; }
    // f x (pixel size / 12).
    float DabSpace(float pressureFraction, float pixelSize) override {
        return pressureFraction * (pixelSize / 12.0f);
    }
    // The provisional square dab shown at pen-down: the brush emptied when
    // it must be, then loaded with the current colour over 80 % of what it
    // still carries; the square saved in the protect images first.
    error DoFirstDab(CCanvas* canvas, const CTabletPoint& point, gCRect& rect) override;
    // One sweep: the first one restores the provisional square and paints
    // the stroke's start; a turn over 90 degrees adds a square cap and
    // mirrors the wells.
    error DoDab(CCanvas* canvas, const CTabletPoint& point, gCRect& rect) override;
    // The stroke's rounded end, half a width ahead of the point; nothing
    // after a tap.
    error DoLastDab(CCanvas* canvas, const CTabletPoint& point, gCRect& rect) override;
    void ApplyPaint(CCanvas* canvas, CPixel* pixel, const gCRPoint& uv, float width, int32_t x,
                    int32_t y, float coverage) override;
    int32_t ProcessLocalData(uint32_t, const void*, int64_t, int32_t) override { return 0; }

    // The wells pick up the wet paint of L0 along the new dab edge a-b.
    void SampleCanvasPaint(CCanvas* canvas, gCRPoint a, gCRPoint b);

    // The brush width for a pressure on the 1024 scale: the mean of a
    // linear and a circular response, held to 0..2 of full pressure.
    float BrushWidth(float pressure, float most);

    float Deposit(int32_t i) const { return m_aDeposit[i]; }
    float PickUp(int32_t i) const { return m_aPickUp[i]; }
    uint32_t NoisePosition() const { return m_nNoisePosition; }
    void SetNoisePosition(uint32_t position) { m_nNoisePosition = position; }
    int32_t Phase() const { return m_nPhase; }
    void SetPhase(int32_t phase) { m_nPhase = phase; }
    const SDabPoint& FirstDabPoint() const { return m_FirstDabPoint; }

private:
    // The pick-up of well w from an L0 colour.
    void PickUpInto(int32_t w, CPixel colour, float K, float pressure);

    float m_aDeposit[kWells] = {};
    float m_aPickUp[kWells] = {};
    // 16.16; only grows (wrapping), so the texture never repeats.
    uint32_t m_nNoisePosition = 0;
    SDabPoint m_FirstDabPoint;
    int32_t m_nPhase = eFirstDab;
    uint32_t m_nNoiseSeed = 0;
    uint32_t m_nSpare = 0;
};
