#pragma once
// The eraser: removes paint; it carries no brush load.

#include "tools/PaintingTool.h"

class CEraser : public CReloadTool {
public:
    // Tool id 5.
    error SetupTool() override;
};
