#pragma once
// Pencils: a graphite ribbon that catches on the paper grain, four size
// steps; they ignore every id of their own.

#include "tools/PaintingTool.h"

class CPencils : public CPaintingTool {
public:
    static constexpr int32_t kLargestPencilStep = 3;

    // Tool id 1.
    error SetupTool() override;
    // Wraps over 0..3 in both directions.
    error ModSetting(int32_t delta) override;
    // Clamped to 0..3.
    error SetToolSize(int32_t size) override;
    int32_t ProcessLocalData(uint32_t, const void*, int64_t, int32_t) override { return 0; }

    // The upper limit of the pressure response in ribbon pieces.
    float MaxPencilPressure() override { return m_rMaxPencilPressure; }
    void SetMaxPencilPressure(float pressure) override { m_rMaxPencilPressure = pressure; }

    int32_t NoisePosition() const { return m_nNoisePosition; }

protected:
    float m_rMaxPencilPressure = 0.0f;
    int32_t m_nNoisePosition = 0;
};
