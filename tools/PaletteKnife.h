#pragma once
// The palette knife: moves and smears the paint already on the canvas.

#include "tools/PaintingTool.h"

class CPaletteKnife : public CBrushTool {
public:
    // Tool id 6.
    error SetupTool() override;
};
