#pragma once
// Chalk: catches on the paper grain; lays only the stroke colour (its brush
// picks up nothing from the canvas) and reloads every stroke.

#include "tools/dry/detail/DryMedia.h"

class CChalk : public CDryMedia {
public:
    CChalk() : CDryMedia(0.0f) {}
    // Tool eToolChalk.
    error SetupTool() override;
};
