#pragma once
// The base of the paint tools: the state every tool shares (type and name,
// the layer addresses, size step, linear size, style, stroke and dab
// counters, the stroke engine's points and cursors) and the tool's part of
// the data channel. The tools override the dab operations; the base ones
// paint nothing.

#include <cstdint>

#include "foundation/Error.h"
#include "foundation/Geometry.h"
#include "foundation/gCArray.h"
#include "foundation/gCCmdTarget.h"
#include "foundation/gCString.h"
#include "imaging/Pixel.h"
#include "paint/Pressure.h"

class CCanvas;
class CImage;
class CWidget;
struct CTabletPoint;

// What the shared stroke path (the engine and the canvas's stroke loop)
// asks of a tool; each tool class answers its own.
struct SStrokeTraits {
    // Stroke points lie spacingPerSize x linear size + 1 pixels apart.
    float spacingPerSize = 3.0f;
    // The stroke's tail keeps the weight of its last point; otherwise it
    // tapers off to nothing.
    bool tailKeepsPressure = false;
    // The cap on the pressure response (MaxPencilPressure) raised for the
    // length of a stroke, 0 for a tool without one. A tool with one also
    // starts its alternating dab afresh with every stroke.
    float strokePressureCap = 0.0f;
    // The row of the mouse table a mouse sample's pressure comes from.
    EMousePressure mouse = eMouseOtherTools;
};

class CPaintTool : public gCCmdTarget {
public:
    // One stroke sample, passed by value.
    struct pointStruct {
        float x = 0.0f;
        float y = 0.0f;
        // On the pen's scale (kFullPenPressure is full pressure); a mouse
        // goes up to kMostMousePressure. ToolPressure gives the tools'
        // fraction.
        int32_t pressure = 0;
        // Unit direction of travel; 0 until set.
        float dx = 0.0f;
        float dy = 0.0f;
    };

    CPaintTool();
    ~CPaintTool() override = default;
    CPaintTool(const CPaintTool&) = delete;
    CPaintTool& operator=(const CPaintTool&) = delete;

    // The size, linear size and style ids (eBadParameter when one comes without the
    // address of its value), then ProcessLocalData for the rest.
    int32_t ProcessData(uint32_t id, const void* sender, int64_t value, int32_t set) override;

    virtual error SetupTool() { return eNoError; }
    virtual int32_t Type() { return m_nType; }
    // The stroke protocol: the first sample, every later one while the
    // button is held, the release. The sample is in canvas pixels; widget
    // is the canvas widget (null paints without showing).
    virtual error ToolDown(CWidget* widget, CCanvas* canvas, CTabletPoint& sample);
    virtual error ToolMove(CWidget* widget, CCanvas* canvas, CTabletPoint& sample);
    virtual error ToolUp(CWidget* widget, CCanvas* canvas, CTabletPoint& sample);
    // The first-pixel addresses of the layers (L0's size too); eOutOfMemory when a
    // layer with pixels cannot be locked.
    virtual error SetSources(CImage* l0, CImage* l1, CImage* l2, CImage* l3);
    virtual error ModSetting(int32_t) { return eNoError; }
    // Stores the step unchecked; the tools keep their own ranges.
    virtual error SetToolSize(int32_t size) {
        m_nToolSize = size;
        return eNoError;
    }
    virtual int32_t ToolSize() { return m_nToolSize; }
    virtual void SetStrokeNum(int32_t n) { m_nStrokeNum = n; }
    virtual int32_t StrokeNum() { return m_nStrokeNum; }
    virtual int32_t DabNum() { return m_nDabNum; }
    virtual float ToolLinearSize() const { return m_rLinearSize; }
    // Clamped to 0..1; a value that is not finite gives the default 0.3.
    virtual void SetToolLinearSize(float size);
    virtual int32_t ToolStyle() const { return m_nStyle; }
    virtual void SetToolStyle(int32_t style) { m_nStyle = style; }
    virtual int32_t ProcessLocalData(uint32_t id, const void* sender, int64_t value,
                                     int32_t set) = 0;
    virtual error Dab(pointStruct, gCRect&, CCanvas*) { return eNoError; }
    virtual error RenderDab(pointStruct, gCRect&, CCanvas*) { return eNoError; }
    virtual error SetFirstPt(pointStruct, int32_t) { return eNoError; }
    virtual error DabEnd() { return eNoError; }
    // The backbone's paint colour; opaque black without a backbone.
    virtual CPixel CurrentColour();
    // The cap on the pencils' pressure response, which the canvas raises
    // for the length of a pencil stroke; the other tools have none.
    virtual float MaxPencilPressure() { return 1.0f; }
    virtual void SetMaxPencilPressure(float) {}
    // The vertical offset into the tool's noise texture, for the tools
    // whose strokes draw on one (oil paint); 0 and nothing for the others.
    virtual uint32_t NoisePos() { return 0; }
    virtual void SetNoisePos(uint32_t) {}

    const SStrokeTraits& StrokeTraits() const { return m_StrokeTraits; }
    // The stroke's start and end as the stroke path runs them: a tool with
    // a stroke pressure cap gets it raised and its alternating dab started
    // afresh (BeginStroke), and the cap lowered back to 1 (EndStroke); the
    // other tools are left alone. RaiseStrokeCap raises the cap alone.
    void BeginStroke();
    void RaiseStrokeCap();
    void EndStroke();

    // Set once by the backbone that made the tool.
    void SetType(int32_t type) { m_nType = type; }
    const gCString& Name() const { return m_Name; }
    CPixel* Layer0() const { return m_pLayer0; }
    CPixel* Layer1() const { return m_pLayer1; }
    CPixel* Layer2() const { return m_pLayer2; }
    CPixel* Layer3() const { return m_pLayer3; }
    int32_t LayerWidth() const { return m_nLayerWidth; }
    int32_t LayerHeight() const { return m_nLayerHeight; }
    float PointSpacing() const { return m_rPointSpacing; }
    float DirectionX() const { return m_rDirectionX; }
    float DirectionY() const { return m_rDirectionY; }
    int32_t ProfileFlip() const { return m_fProfileFlip; }
    void SetProfileFlip(int32_t flip) { m_fProfileFlip = flip; }
    // The engine's points, for the tools and tests.
    const gCArray<pointStruct>& RawPoints() const { return m_aRawPoints; }
    const gCArray<pointStruct>& StrokePoints() const { return m_aStrokePoints; }
    int32_t RenderCursor() const { return m_nRenderCursor; }
    // Test seam: true holds every stroke to one point a move, the pace the
    // painted points are defined by; false (the default) lets a move paint
    // more while points wait.
    static void HoldToPace(bool hold);
    // Whether the stroke begun by ToolDown still owes the tool its end:
    // until ToolUp's DabEnd has answered 0. A stroke broken off before
    // then, or whose end failed, runs it once more.
    int32_t DabEndDue() const { return m_fDabEndDue; }
    const gCRect& DirtyRect() const { return m_DirtyRect; }

    // Whether the turn from step a to step b is a corner: the two
    // normalised steps (a zero one stays zero) turn sharply, a sum of
    // exactly kSharpTurnSum going on (paint/SharpTurn.h).
    static bool IsCorner(float ax, float ay, float bx, float by);
    // The uniform Catmull-Rom curve through p1 (t = 0) and p2 (t = 1).
    static float DoSpline(float p0, float p1, float p2, float p3, float t);

protected:
    // What every tool's SetupTool clears: the layer addresses and size.
    void ClearSources();

    // The engine's steps: one raw piece of length d into stroke points;
    // one point into the stroke (final: always kept, the tail re-laid);
    // the final direction and pressure of stroke point i.
    void Spline(float d);
    void AddStrokePt(pointStruct pt, int32_t final);
    void NormalCalc(int32_t i);

private:
    // Paints the stroke point at the render cursor (straightening the start
    // and calling SetFirstPt before the first), growing the dirty rectangle.
    // Moving, a failure leaves the point unpainted and is returned; draining,
    // the cursor moves past it all the same.
    error PaintNextPoint(CCanvas* canvas, int32_t draining);
    // The first points laid on the line from the first to the last, all
    // pointing along it.
    void StraightenStart();
    // Whether a display refresh has passed since the last relight.
    bool RefreshDue() const;
    // The canvas's renderer relights the marked spans of the composite.
    error RenderDirty(CCanvas* canvas);

protected:
    // Set by each tool class's constructor.
    SStrokeTraits m_StrokeTraits;
    int32_t m_nType = -1;
    gCString m_Name;
    CPixel* m_pLayer0 = nullptr;
    CPixel* m_pLayer1 = nullptr;
    CPixel* m_pLayer2 = nullptr;
    int32_t m_nLayerWidth = 0;
    int32_t m_nLayerHeight = 0;
    float m_rPointSpacing = 0.0f;
    int32_t m_nDabNum = 0;
    int32_t m_nRawCursor = 0;
    int32_t m_nRenderCursor = 0;
    int32_t m_nPaceCursor = 0; // where one point a move would have painted to
    int32_t m_nDirectionCursor = 0;
    int32_t m_nSmoothingCursor = 0;
    int32_t m_nLastStrokePoint = -1;
    pointStruct m_PreviousPoint;
    pointStruct m_LastRawPoint;
    int32_t m_nPeakPressure = 0; // on the pen's scale
    int32_t m_nDabsSinceUpdate = 0;
    gCRect m_DirtyRect;
    gCArray<pointStruct> m_aRawPoints;
    gCArray<pointStruct> m_aStrokePoints;
    int32_t m_nToolSize = 0;
    CPixel* m_pLayer3 = nullptr;
    int32_t m_nStrokeNum = 0;
    float m_rDirectionX = 0.0f;
    float m_rDirectionY = 0.0f;
    float m_rLinearSize = 0.3f;
    int32_t m_nStyle = 0;
    int32_t m_fProfileFlip = 0;

private:
    int32_t m_fDabEndDue = 0;
    uint64_t m_nLastRelight = 0; // on the toolkit's clock, microseconds
};
