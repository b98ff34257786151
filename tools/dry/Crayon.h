#pragma once
// Crayon: catches on the paper grain; its brush picks up some of the colour
// it crosses (0.4 of it at full pressure) and carries it along the stroke.
// Reloads every stroke.

#include "tools/dry/detail/DryMedia.h"

class CCrayon : public CDryMedia {
public:
    CCrayon() : CDryMedia(0.4f) {}
    // Tool eToolCrayon.
    error SetupTool() override;
};
