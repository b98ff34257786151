#pragma once
// Oil paint: wet paint with a brush load that it keeps from stroke to stroke
// until the colour changes.

#include "tools/PaintingTool.h"

class COilPaint : public CBrushTool {
public:
    // Tool id 0.
    error SetupTool() override;
    // The noise texture's vertical offset.
    virtual uint32_t NoisePos() { return m_nNoisePosition; }
    virtual void SetNoisePos(uint32_t position) { m_nNoisePosition = position; }
};
