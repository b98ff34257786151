#pragma once
// The second stroke engine: it sweeps the brush instead of stamping it.
// Every dab is an edge across the stroke, perpendicular to the direction of
// travel, and the quadrilateral between the previous dab edge and the new
// one is filled by the engine's own scanline rasteriser, which asks the
// derived brush for the paint of every covered pixel of L0 with the pixel's
// place (u along the stroke, v across it) inside the quad.
//
// The engine owns the input filter, the spline that turns samples into
// evenly spaced stroke points, their smoothing and direction, the dab
// loop's time budgets (20 ms per ToolMove, a redraw at least every 40 ms in
// ToolUp, read from the toolkit's clock), the quad rasteriser, the 100 wells
// (the paint carried by 100 bristles across the brush) and the canvas's
// invalidation. The derived brush supplies the dab geometry, the paint and
// the size limits.
//
// A caller drives it as the canvas's stroke loop drives a paint tool:
// SetupTool once, then ToolDown, ToolMove per sample, ToolUp, all inside an
// open undo record (every painted rectangle goes through ProtectArea).
// Rectangles handed between the engine and its brush are inclusive: left to
// right and top to bottom are all painted pixels.

#include <cstdint>

#include "foundation/Error.h"
#include "foundation/Geometry.h"
#include "foundation/Input.h"
#include "foundation/gCArray.h"
#include "foundation/gCCmdTarget.h"
#include "imaging/Pixel.h"

class CCanvas;

class CToolBase : public gCCmdTarget {
public:
    static constexpr int32_t kWells = 100;
    // A full well's paint.
    static constexpr int32_t kFullWell = 20000;
    // The ends of an edge before the stroke's first dab.
    static constexpr float kNoEdge = -10000.0f;
    // DabSelfIntersect's and RasterIntersect's "no crossing".
    static constexpr float kNoCrossing = -10000000.0f;

    // One stroke point, passed by value.
    struct CPointInterp {
        float x = 0.0f;
        float y = 0.0f;
        float pressure = 0.0f; // 0..1024 on the tablet's scale; never negative once stored
        float dx = 0.0f;       // unit direction of travel; 0 until computed
        float dy = 0.0f;
    };

    // x, y and pressure of a dab.
    struct SDabPoint {
        float x = 0.0f;
        float y = 0.0f;
        float pressure = 0.0f;
    };

    CToolBase() = default;
    ~CToolBase() override = default;
    CToolBase(const CToolBase&) = delete;
    CToolBase& operator=(const CToolBase&) = delete;

    // eCmdToolSize (set and get), eCmdSizeLowLimit, eCmdSizeHighLimit,
    // eCmdSizeDown, eCmdSizeUp and eMsgPaintColour, answering 0; the rest
    // goes to ProcessLocalData. A value that must be read or written
    // without an address answers eBadParameter.
    int32_t ProcessData(uint32_t id, const void* sender, int64_t value, int32_t set) override;

    // Marks the engine as needing set-up; the derived brush's answer.
    virtual error SetupTool();
    virtual int32_t Type() { return m_nType; }
    virtual error SetToolSize(float size) {
        m_rToolSize = size;
        return eNoError;
    }
    virtual float ToolSize() { return m_rToolSize; }
    // low + (high - low) x size.
    virtual float ToolPixelSize();
    virtual error SetStrokeNum(int32_t n) {
        m_nStrokeCount = n;
        return eNoError;
    }
    virtual int32_t StrokeNum() { return m_nStrokeCount; }

    // --- What a derived brush supplies.
    virtual error SetupDerivedTool() = 0;
    // Brush width in pixels at tool size 0 and 1.
    virtual float SizeLowLimit() = 0;
    virtual float SizeHighLimit() = 0;
    // Distance between stroke points for a pressure fraction (pressure /
    // 1024) and the pixel size; 0 makes the caller ask again for 0.5.
    virtual float DabSpace(float pressureFraction, float pixelSize) = 0;
    // The dabs: the changed rectangle (inclusive) into rect, left empty
    // when nothing changed.
    virtual error DoFirstDab(CCanvas* canvas, const CTabletPoint& point, gCRect& rect) = 0;
    virtual error DoDab(CCanvas* canvas, const CTabletPoint& point, gCRect& rect) = 0;
    virtual error DoLastDab(CCanvas* canvas, const CTabletPoint& point, gCRect& rect) = 0;
    // One pixel of a quad: its L0 word, its (u, v), the brush width across
    // the quad there, its place and its coverage 0..1.
    virtual void ApplyPaint(CCanvas* canvas, CPixel* pixel, const gCRPoint& uv, float width,
                            int32_t x, int32_t y, float coverage) = 0;
    virtual int32_t ProcessLocalData(uint32_t id, const void* sender, int64_t value,
                                     int32_t set) = 0;

    // The backbone's paint colour; opaque black without a backbone.
    virtual CPixel CurrentColour();

    // --- The stroke.
    virtual error ToolDown(CCanvas* canvas, CTabletPoint& sample);
    virtual error ToolMove(CCanvas* canvas, CTabletPoint& sample);
    virtual error ToolUp(CCanvas* canvas, CTabletPoint& sample);
    // The input filter: moves the current point along the smoothed input.
    virtual error MouseMove(CCanvas* canvas, CTabletPoint& sample);

    // --- What the derived brush calls.
    // Sweeps the brush from the previous dab edge (edge A, edge B) to the
    // new edge (a, b): protects and paints the quad and writes its
    // rectangle; the edges move on only when it succeeds.
    error StartQuad(CCanvas* canvas, gCRPoint a, gCRPoint b, gCRect& rect);
    // Smooths the wells across the brush.
    void FilterWells();
    // Widens the canvas's spans and row range over rect (inclusive),
    // clamped into the canvas.
    static void SetCanvasInvalidationArea(CCanvas* canvas, const gCRect& rect);
    // The engine's rectangles are empty when a side has no length.
    static bool IsEmptyRect(const gCRect& r) { return r.left == r.right || r.top == r.bottom; }
    // into := into with r (the smaller left and top, the larger right and
    // bottom); an empty r changes nothing, an empty into becomes r.
    static void UniteRect(gCRect& into, const gCRect& r);

    // --- The engine's own steps, open to tests.
    void Spline(float segmentLength);
    void AddStrokePt(float spacing, CPointInterp point, int32_t last);
    void NormalCalc(int32_t i);
    // Rasterises the quad with back edge p1-p2, front edge p3-p4 and sides
    // p1-p3 and p2-p4 into L0; eOutOfMemory without L0.
    error DrawQuad(CCanvas* canvas, gCRPoint p1, gCRPoint p2, gCRPoint p3, gCRPoint p4);
    static gCRPoint DabSelfIntersect(gCRPoint p1, gCRPoint p2, gCRPoint p3, gCRPoint p4);
    static float RasterIntersect(gCRPoint a, gCRPoint b, int32_t row);
    static float RasterIntersectExtrapolate(gCRPoint a, gCRPoint b, int32_t row);

    // --- State, for the derived brush and tests.
    int32_t DabCount() const { return m_nDabCount; }
    float MaxPressure() const { return m_rMaxPressure; }
    int32_t EmptyWells() const { return m_fEmptyWells; }
    void SetEmptyWells(int32_t on) { m_fEmptyWells = on; }
    int32_t Flip() const { return m_fFlip; }
    void SetFlip(int32_t on) { m_fFlip = on; }
    int32_t FirstDab() const { return m_fFirstDab; }
    int32_t NeedsSetup() const { return m_fNeedsSetup; }
    const SDabPoint& CurrentPoint() const { return m_Current; }
    const gCRPoint& CurrentDirection() const { return m_CurrentDir; }
    const SDabPoint& PreviousPoint() const { return m_Previous; }
    const gCRPoint& PreviousDirection() const { return m_PreviousDir; }
    const gCRPoint& EdgeA() const { return m_EdgeA; }
    const gCRPoint& EdgeB() const { return m_EdgeB; }
    void SetEdges(gCRPoint a, gCRPoint b) {
        m_EdgeA = a;
        m_EdgeB = b;
    }
    int32_t HistorySeeded() const { return m_fHistorySeeded; }
    const gCRPoint& History(int32_t i) const { return m_aHistory[i]; }
    const gCArray<CPointInterp>& RawPoints() const { return m_aRawPoints; }
    const gCArray<CPointInterp>& StrokePoints() const { return m_aStrokePoints; }
    int32_t SplineAnchor() const { return m_nSplineAnchor; }
    int32_t DirectionIndex() const { return m_nDirectionIndex; }
    int32_t SmoothingIndex() const { return m_nSmoothingIndex; }
    int32_t LastStrokePoint() const { return m_nLastStrokePoint; }
    const CPointInterp& LastRawPoint() const { return m_LastRaw; }
    CPixel WellColour(int32_t i) const { return m_aWellColours[i]; }
    int32_t WellAmount(int32_t i) const { return m_aWellAmounts[i]; }
    CPixel PreviousWellColour(int32_t i) const { return m_aPrevWellColours[i]; }
    int32_t PreviousWellAmount(int32_t i) const { return m_aPrevWellAmounts[i]; }
    void SetWell(int32_t i, CPixel colour, int32_t amount) {
        m_aWellColours[i] = colour;
        m_aWellAmounts[i] = amount;
    }
    void SetPreviousWell(int32_t i, CPixel colour, int32_t amount) {
        m_aPrevWellColours[i] = colour;
        m_aPrevWellAmounts[i] = amount;
    }

protected:
    // The current point and direction become the previous ones; S is the
    // new current point.
    void StepTo(const CPointInterp& S);
    // The previous wells := the wells.
    void KeepPreviousWells();
    // Makes one body dab at stroke point [dab count] and counts it; its
    // rectangle (empty when nothing changed) into r.
    error DabAtStrokePoint(CCanvas* canvas, int32_t skipStill, gCRect& r);

    int32_t m_nType = -1;
    int32_t m_nDabCount = 0;
    int32_t m_nStrokeCount = 0;
    float m_rMaxPressure = 0.0f;
    float m_rToolSize = 0.0f;
    int32_t m_fEmptyWells = 0;
    int32_t m_fFlip = 0;
    int32_t m_fFirstDab = 0;
    SDabPoint m_Current;
    gCRPoint m_CurrentDir;
    gCRPoint m_EdgeA;
    gCRPoint m_EdgeB;
    SDabPoint m_Previous;
    gCRPoint m_PreviousDir;
    int32_t m_fHistorySeeded = 0;
    int32_t m_fNeedsSetup = 0;
    gCRPoint m_aHistory[4];
    gCArray<CPointInterp> m_aRawPoints;
    gCArray<CPointInterp> m_aStrokePoints;
    int32_t m_nSplineAnchor = 0;
    int32_t m_nDirectionIndex = 0;
    int32_t m_nSmoothingIndex = 0;
    int32_t m_nLastStrokePoint = -1;
    CPointInterp m_LastRaw;
    CPixel m_aWellColours[kWells] = {};
    int32_t m_aWellAmounts[kWells] = {};
    CPixel m_aPrevWellColours[kWells] = {};
    int32_t m_aPrevWellAmounts[kWells] = {};
};
