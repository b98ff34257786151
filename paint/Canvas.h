#pragma once
// The painting surface: the paint layers every tool paints into, the
// composite the renderer lights them into, the paper grain, the canvas
// settings and the tracing fields. The backbone makes one, hands it the
// eraser and passes it every id of the data channel.

#include <cstdint>
#include <memory>

#include "foundation/CMemBlock.h"
#include "foundation/Error.h"
#include "foundation/Geometry.h"
#include "foundation/gCCmdTarget.h"
#include "imaging/ImNav.h"
#include "imaging/Image.h"
#include "paint/CanvasLayers.h"

class CPaintTool;
class CImage;
class CProjectInfo;
class CRegion;
class CRenderer;
class CWidget;

class CCanvas : public gCCmdTarget {
public:
    // The side of the four protect images.
    static constexpr int32_t kProtectSide = 150;
    // Paper images 80..83 of the resource file: the grain is the red byte.
    static constexpr int32_t kFirstPaperId = 80;
    static constexpr uint32_t kLastPaperTexture = 3;

    CCanvas();
    ~CCanvas() override;
    CCanvas(const CCanvas&) = delete;
    CCanvas& operator=(const CCanvas&) = delete;

    int32_t ProcessData(uint32_t id, const void* sender, int64_t value, int32_t set) override;
    // Gives the protect images their size; the first failure.
    virtual error Initialise();
    // Wipes the paint and keeps the paper; 5 without layers.
    virtual error ClearCanvas();
    virtual void SetEraserPointer(CPaintTool* eraser) { m_pEraser = eraser; }
    // A blank project of the information's size, paper and paper colour:
    // 6 for a side of 0 or less, 23 when an image or view cannot be made,
    // 5 when the spans cannot; on failure the open project stays as it was.
    virtual error CreateProject(CProjectInfo* info);
    // The paper grain into L1's high half (and its copy into L3's low
    // half), paint depth kept when keepPaint is non-zero; a missing paper
    // gives grain 0. 5 when a layer or the paper cannot be locked.
    virtual error FillBumpWithCanvasTexture(int32_t keepPaint);
    // The brush preview paints its sample here; a plain canvas has none.
    virtual error RenderBrushProxy(int32_t) { return eNoError; }
    // A stroke's undo record, through the backbone: open it, save the tiles
    // of L0..L3 the rectangle touches (before a tool changes it), close it.
    virtual void StartProtect();
    virtual error ProtectArea(gCRect& rect);
    virtual void EndProtect();
    // Marks every row clean.
    void ResetInvLut();
    // Widens the spans and the row range over the rectangle, clipped to the
    // canvas.
    void InvalidateSpans(const gCRect& rect);
    // Shows what an undo or redo changed on the canvas widget: every
    // rectangle of the region (the whole canvas for null), clipped to the
    // canvas and scaled by the display scale, is invalidated, then the
    // widget redraws. Nothing happens without a widget.
    virtual void ShowUndoArea(const CRegion* region);

    // --- The display (CanvasDisplay.cpp).
    // The display scale and the widget's size and place: a scale that is
    // not positive and finite is ignored. Zooms about the parent's centre
    // when it lies over the widget, else about the widget's own centre,
    // then keeps the widget within the panning limits.
    void SetScale(float scale, int32_t redraw);
    // One zoom step up (non-zero) or down, sent round the data channel as
    // eCmdDisplayScale; 0 and nothing sent at either end of the steps.
    error DoZoom(int32_t up, int32_t redraw);
    // Keeps the widget from leaving more than half of its parent bare.
    void ConstrainCanvasToBackdrop(int32_t redraw);
    // The backbone's current renderer; null without one.
    virtual CRenderer* CurrentRenderer();
    // Relights the marked spans, then invalidates rect (inclusive; it is
    // made exclusive in place) scaled into the widget and redraws.
    virtual error Render(gCRect& rect);
    // Shows what a stroke changed: rect (canvas pixels, exclusive) scaled
    // by the display scale and invalidated in widget, which then passes its
    // redraw up to the backdrop when pass is non-zero. Nothing without a
    // widget.
    void ShowStrokeArea(CWidget* widget, const gCRect& rect, int32_t pass);
    // The widget's render procedure: the composite at the display scale,
    // the tracing image over it. user is the canvas.
    static error CanvasRenderProc(void* user, CWidget* widget, const gCRect& area, CImage* target,
                                  uint32_t flags);
    // Shows the canvas through widget: the render procedure installed, the
    // whole canvas relit and the widget's client area invalidated. 6 for a
    // null widget; the renderer's error.
    error AttachCanvasWidget(CWidget* widget);
    // With a composite and a widget: the whole canvas relit and the
    // widget's client area invalidated and redrawn.
    error RedrawCanvas();

    int32_t Width() const { return m_nWidth; }
    int32_t Height() const { return m_nHeight; }
    float DisplayScale() const { return m_rDisplayScale; }
    // L0..L3 (CCanvasLayers::kColour ...) and the composite; null before a
    // project exists.
    CImage* Layer(int32_t which) const;
    CImage* Composite() const { return Layer(CCanvasLayers::kComposite); }
    // The locked whole-image view of a layer; null before a project exists.
    CImNav* LayerView(int32_t which) const;
    CMemBlockT<int32_t>* SpanStarts() const;
    CMemBlockT<int32_t>* SpanEnds() const;
    int32_t FirstInvalidRow() const { return m_nFirstInvalidRow; }
    int32_t LastInvalidRow() const { return m_nLastInvalidRow; }

    CWidget* CanvasWidget() const { return m_pCanvasWidget; }
    CPaintTool* CurrentTool() const { return m_pCurrentTool; }
    CPaintTool* Eraser() const { return m_pEraser; }
    float PenPressure() const { return m_rPenPressure; }
    int32_t StrokeRunning() const { return m_fStrokeRunning; }

    uint32_t PaperColour() const { return m_nPaperColour; }
    float PaperHighlight() const { return m_rPaperHighlight; }
    float GrainRelief() const { return m_rGrainRelief; }
    float PaperEnvironment() const { return m_rPaperEnvironment; }
    uint32_t PaperTexture() const { return m_nPaperTexture; }

    CImage* TracingImage() const { return m_pTracingImage; }
    // The canvas takes image as its tracing image; the one it held goes
    // unless pooled.
    void SetTracingImage(std::unique_ptr<CImage> image);
    int32_t TracingDisplay() const { return m_fTracingDisplay; }
    void SetTracingDisplay(int32_t on) { m_fTracingDisplay = on; }
    int32_t TracingColourPick() const { return m_fTracingColourPick; }
    int32_t TracingFitMode() const { return m_nTracingFitMode; }
    CImage& ProtectImage(int32_t i) { return m_aProtectImages[i]; }
    int32_t RightPressEnabled() const { return m_fRightPressEnabled; }

private:
    int32_t TracingMode(int64_t value, int32_t set);
    // The display's ids of the data channel (zoom, widget, redraw, scale);
    // handled is set to 1 for them.
    int32_t DisplayData(uint32_t id, int64_t value, int32_t set, int32_t& handled);
    // The tracing overlay changed: with a tracing image and a widget, the
    // widget's client area is invalidated and redrawn.
    void ShowTracingChange();
    // The tracing image of a new project, or none.
    error SetupTracing(CProjectInfo& info);

    CWidget* m_pCanvasWidget = nullptr;
    CPaintTool* m_pCurrentTool = nullptr;
    CPaintTool* m_pEraser = nullptr;
    float m_rPenPressure = 768.0f;
    int32_t m_nWidth = 0;
    int32_t m_nHeight = 0;
    float m_rDisplayScale = 1.0f;
    std::unique_ptr<CCanvasLayers> m_pLayers;
    int32_t m_fStrokeRunning = 0;
    int32_t m_nFirstInvalidRow = 0x7FFFFFFF;
    int32_t m_nLastInvalidRow = -1;
    uint32_t m_nPaperColour = 0xFFFFFFFAu;
    float m_rPaperHighlight = 0.2f;
    float m_rGrainRelief = 0.5f;
    float m_rPaperEnvironment = 0.0f;
    uint32_t m_nPaperTexture = 0;
    CImage* m_pTracingImage = nullptr;
    int32_t m_fTracingDisplay = 1;
    int32_t m_fTracingColourPick = 1;
    int32_t m_nTracingFitMode = 1;
    gCRect m_SavedDabRect;
    CImage m_aProtectImages[4];
    int32_t m_fRightPressEnabled = 1;
};
