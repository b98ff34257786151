#pragma once
// The paint tools' ids. The backbone's table of creators is indexed by
// them, the data channel selects a tool by its id and the project file
// stores the current tool's id; the numbers are fixed for good.

#include <cstdint>

enum EToolId : int32_t {
    eToolOilPaint = 0,
    eToolPencils = 1,
    eToolAirbrush = 2,
    eToolChalk = 3,
    eToolCrayon = 4,
    eToolEraser = 5,
    eToolPaletteKnife = 6,
    eToolPens = 7,
    eToolWatercolour = 8,
};

// The ids run from 0 to kToolCount - 1.
inline constexpr int32_t kToolCount = 9;

// The tool a selection of the id makes current: the ids up to the pens
// stand for themselves; any other (the watercolour, which is never current,
// and every id beyond the table, read as unsigned) selects oil paint.
inline constexpr EToolId SelectableTool(uint32_t id) {
    return id > uint32_t(eToolPens) ? eToolOilPaint : EToolId(id);
}
