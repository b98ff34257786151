#pragma once
// Chalk: catches on the paper grain; reloads its brush every stroke.

#include "tools/PaintingTool.h"

class CChalk : public CBrushTool {
public:
    // Tool id 3.
    error SetupTool() override;
};
