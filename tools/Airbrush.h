#pragma once
// The airbrush: it names itself and paints nothing. A stroke with it
// still runs the stroke engine, so its stroke number grows.

#include "paint/PaintTool.h"

class CAirbrush : public CPaintTool {
public:
    // Tool eToolAirbrush: only the name; everything else keeps the base's values.
    error SetupTool() override;
    // Every id is ignored.
    int32_t ProcessLocalData(uint32_t, const void*, int64_t, int32_t) override { return 0; }
};
