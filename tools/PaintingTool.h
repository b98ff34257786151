#pragma once
// What the painting tools share beyond CPaintTool, in three steps:
//   CPaintingTool  every tool that paints: the previous edge, the pressure
//                  responses, the size step over 0..2
//   CReloadTool    + the reload and colour-changed flags and the noise
//                  position; a paint colour message marks the colour changed
//   CBrushTool     + the brush load, 100 slots across the brush

#include <cstdint>

#include "imaging/Pixel.h"
#include "paint/PaintTool.h"
#include "tools/detail/StrokeTiles.h"
#include "tools/detail/WrittenRows.h"

class CPaintingTool : public CPaintTool {
public:
    static constexpr int32_t kLargestStep = 2;

    // Steps the size over 0..2, wrapping at either end.
    error ModSetting(int32_t delta) override;
    // Stores the step clamped to 0..2.
    error SetToolSize(int32_t size) override;
    // Ends the stroke: no previous edge, dab number 0, and every per-stroke
    // mark (the high half of each L3 pixel) cleared with the grain copy in
    // the low half kept, in the tiles the stroke protected (every pixel it
    // marks lies in one).
    error DabEnd() override;

    // The left and right ends (x, y, x, y) of the cross edge where the last
    // piece ended; -1 after a stroke: none.
    const float* PreviousEdge() const { return m_aPreviousEdge; }
    float PressureResponse() const { return m_rPressureResponse; }
    float PreviousPressureResponse() const { return m_rPreviousPressureResponse; }

protected:
    // The shared set-up: name, size step, first point spacing, stroke number
    // 0, no direction of travel, no layers. eOutOfMemory when the name cannot be made.
    error SetupPainting(const char* name, int32_t sizeStep, float spacing);
    // A stroke's start at p: the previous edge collapsed onto the point, no
    // pressure response yet and no smoothed width.
    void StartEdge(const pointStruct& p);
    // The canvas protects rect for undo (its answer returned), and its
    // tiles are noted as the stroke's.
    error ProtectStrokeArea(CCanvas& canvas, gCRect& rect);

    float m_aPreviousEdge[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    // The pressure as the tool shapes it from ToolPressure, for the current
    // and the previous piece: 0..1 (the pencils' up to their stroke cap);
    // -1 before a stroke's first piece.
    float m_rPressureResponse = 0.0f;
    float m_rPreviousPressureResponse = 0.0f;
    float m_rSmoothedWidth = 0.0f; // oil paint's own
    // The rows the pieces wrote since the tool last marked them for the
    // relight.
    CWrittenRows m_WrittenRows;
    // The tiles the stroke protected, whose marks its end clears.
    CStrokeTiles m_StrokeTiles;
};

class CReloadTool : public CPaintingTool {
public:
    // A paint colour message, set or get, marks the colour changed; every
    // id is answered 0.
    int32_t ProcessLocalData(uint32_t id, const void* sender, int64_t value, int32_t set) override;

    int32_t Reload() const { return m_fReload; }
    int32_t ColourChanged() const { return m_fColourChanged; }

protected:
    // SetupPainting with the two flags and the noise position 0.
    error SetupReload(const char* name, int32_t flags, float spacing);

    int32_t m_fReload = 0;
    int32_t m_fColourChanged = 0;
    uint32_t m_nNoisePosition = 0;
};

class CBrushTool : public CReloadTool {
public:
    static constexpr int32_t kBrushSlots = 100;
    static constexpr int32_t kLastSlot = kBrushSlots - 1;

    const CPixel* BrushLoad() const { return m_aBrushLoad; }

protected:
    // The reset at the start of a stroke: on the tool's first stroke, with
    // the reload flag or after a colour change every slot empties (fully
    // transparent) and the colour counts as unchanged. True when it emptied.
    bool ResetBrushLoad();

    CPixel m_aBrushLoad[kBrushSlots] = {};
};
