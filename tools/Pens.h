#pragma once
// The ink pen: a ribbon of ink that darkens what lies under it.

#include "tools/PaintingTool.h"

class CPens : public CBrushTool {
public:
    // Tool id 7.
    error SetupTool() override;
};
