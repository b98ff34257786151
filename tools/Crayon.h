#pragma once
// Crayon: catches on the paper grain; reloads its brush every stroke.

#include "tools/PaintingTool.h"

class CCrayon : public CBrushTool {
public:
    // Tool id 4.
    error SetupTool() override;
};
