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
#include "paint/Pressure.h"
#include "paint/canvas/CanvasLayers.h"

class CPaintTool;
class CToolBase;
class CImage;
class CProjectInfo;
class CRegion;
class CRenderer;
class CSMKBackbone;
class CWidget;
class CAppServices;
class CTabletSource;
struct CTabletPoint;
class gCFRef;

class CCanvas : public gCCmdTarget {
public:
    // The side of the four protect images: the second engine's provisional
    // dab square at its widest (pressure up to twice full, tool size 1).
    static constexpr int32_t kProtectSide = 172;
    // Makes the second engine's brush each canvas holds; the tools register
    // it (the painting document cannot name them).
    using CSecondEngineCreator = std::unique_ptr<CToolBase> (*)();
    // Paper images 80..83 of the resource file: the grain is the red byte.
    static constexpr int32_t kFirstPaperId = 80;
    static constexpr uint32_t kLastPaperTexture = 3;

    // The canvas keeps the backbone registered when it is made (none when
    // the registered module is not a backbone): the protect calls, the
    // renderer and the tablet are reached through it, never looked up per
    // dab or event.
    CCanvas();
    ~CCanvas() override;
    CCanvas(const CCanvas&) = delete;
    CCanvas& operator=(const CCanvas&) = delete;

    int32_t ProcessData(uint32_t id, const void* sender, int64_t value, int32_t set) override;
    // Gives the protect images their size; the first failure.
    virtual error Initialise();
    // The creator of the second engine's brush; canvases made afterwards
    // hold one. Nothing in the program paints with it.
    static void SetSecondEngineCreator(CSecondEngineCreator creator);
    // The canvas's second-engine brush; null when none was registered or
    // it could not be made.
    CToolBase* SecondEngine() const { return m_pSecondEngine.get(); }
    // Wipes the paint and keeps the paper; eOutOfMemory without layers.
    virtual error ClearCanvas();
    virtual void SetEraserPointer(CPaintTool* eraser) { m_pEraser = eraser; }
    // A blank project of the information's size, paper and paper colour:
    // eBadParameter for a side of 0 or less, eCreateFailed when an image or view cannot be made,
    // eOutOfMemory when the spans cannot; on failure the open project stays as it was.
    virtual error CreateProject(CProjectInfo* info);
    // The paper grain into L1's high half (and its copy into L3's low
    // half), paint depth kept when keepPaint is non-zero; a missing paper
    // gives grain 0. eOutOfMemory when a layer or the paper cannot be locked.
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
    // whole canvas relit and the widget's client area invalidated. eBadParameter for a
    // null widget; the renderer's error.
    error AttachCanvasWidget(CWidget* widget);
    // With a composite and a widget: the whole canvas relit and the
    // widget's client area invalidated and redrawn.
    error RedrawCanvas();
    // Invalidates the widget's whole client area, redrawn at once when
    // redraw is non-zero; nothing without a widget.
    void InvalidateCanvasWidget(int32_t redraw);

    // --- The tracing image and picture import (CanvasTracing.cpp,
    // CanvasImport.cpp).
    // Reads a PNG, JPEG or BMP file (asking for one when the reference is
    // not valid) and hands it round the chain as eCmdTracingImage; on
    // success the tracing display is on and the canvas owns the image.
    // eFileReadWriteError when the file cannot be opened or decoded,
    // eOutOfMemory without memory, or the chain's error: the image is then deleted unless the canvas already
    // holds it.
    error LoadCloneSource(gCFRef* file);
    // The canvas takes image (null: none) as its tracing image; the one it
    // held goes unless pooled. The widget redraws. Always 0.
    error CloneSourceChanged(CImage* image);
    // Drops the tracing image; the widget is invalidated with redraw.
    void RemoveCloneSource(int32_t redraw);
    // Imports a picture as paint: L0 becomes the picture placed by fitMode
    // (0 stretch, 1 fit inside, 2 fill, 3 centred unscaled, 4 tiled from
    // the centre, others nothing) over transparent white, and every pixel
    // gets a flat coat: depth G + 100 - grain where the picture is opaque
    // (G the largest grain), none elsewhere. 0 also for a null image or a
    // canvas without layers; eOutOfMemory when a view cannot be locked. Neither
    // recorded for undo nor relit.
    virtual error LoadPaintImage(CImage* image, uint32_t fitMode);

    // --- The project file (CanvasProjectFile.cpp).
    // Puts a set made around a file's layers in place of the open project,
    // as a new project of info's size, paper texture and paper colour does;
    // layers the file did not hold (bit i of missing for layer i) are made
    // as a new project has them. Cannot fail.
    void AdoptProject(std::unique_ptr<CCanvasLayers> layers, const CProjectInfo& info,
                      uint32_t missing);
    void SetPaperColour(uint32_t colour) { m_nPaperColour = colour; }
    void SetGrainRelief(float relief) { m_rGrainRelief = relief; }
    void SetPaperHighlight(float highlight) { m_rPaperHighlight = highlight; }
    void SetPaperEnvironment(float environment) { m_rPaperEnvironment = environment; }

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
    // The pressure of the stroke's latest sample, on the pen's scale
    // (kPressPressure from the press until the first sample).
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

    // --- Painting input (CanvasInput.cpp, CanvasInputPick.cpp,
    // CanvasInputPan.cpp, CanvasInputDab.cpp)
    // Hooks the canvas into its widget: the left and right press handlers,
    // then the render procedure and the first render (AttachCanvasWidget).
    // eBadParameter for a null widget; else the renderer's error.
    virtual error SetupCanvasWidget(CWidget* widget);
    // The left press (user is the canvas, point in widget coordinates):
    // with Alt held the screen colour under the cursor becomes the paint
    // colour while the button is held; otherwise one whole stroke of the
    // current tool (the eraser while the pen's eraser end is down), in one
    // undo record, fed every sample until the button goes up. A stroke that
    // fails still ends whole (record closed, the tool's end run, the stroke
    // end sent) and returns its error.
    static error CanvasLDown(void* user, CWidget* widget, CWidget*& capture, gCPoint& point);
    // The right press: a click on the canvas hides or shows the panels; a
    // drag of more than 3 pixels in x or y pans the canvas. Nothing while
    // a stroke runs.
    static error CanvasRDown(void* user, CWidget* widget, CWidget*& capture, gCPoint& point);
    // Reads the pen while no stroke runs and lets it go; not installed.
    static error CanvasMouseMove(void* user, CWidget* widget, CWidget*& capture, gCPoint& point);
    // With a tracing image and its colour pick on: the image's colour under
    // the widget point (bilinear, by the fit mode) becomes the paint
    // colour; outside the picture nothing changes. eOutOfMemory when the image cannot
    // be locked.
    error CheckForCloneColour(gCPoint& point);
    // Pans the canvas with the cursor while the left button is held.
    error DragCanvas();
    // Moves the widget with the cursor until the right button is up.
    error DoMoveLoop();
    // A stroke of the current tool from one point to another at pressure
    // 0, without an undo record; the first error.
    error AutoStroke(gCPoint& from, gCPoint& to);
    // Saves the four layers under rect in the protect images (restore 0),
    // or puts the saved rectangle back (restore non-zero; rect becomes the
    // saved one). Clipped to the canvas; only the rectangle's top-left
    // kProtectSide square is kept. eOutOfMemory when a view cannot be locked.
    virtual error ProtectDabArea(gCRect& rect, int32_t restore);
    const gCRect& SavedDabRect() const { return m_SavedDabRect; }

protected:
    // The display scale as given, unchecked: for a subclass keeping a
    // scale of its own, and for tests of a damaged one.
    void StoreDisplayScale(float scale) { m_rDisplayScale = scale; }
    // The tracing image of a new project, or none, through the backbone.
    virtual error SetupTracing(CProjectInfo& info);

private:
    // What a running stroke reads its samples with.
    struct SStrokeInput {
        CWidget* widget;
        CPaintTool* tool;
        CTabletSource* tablet;
        CAppServices* app;
        gCPoint origin;  // the widget's (0, 0) in backdrop coordinates
        gCPoint desktop; // the desktop's (0, 0) in backdrop coordinates
        float scale;
    };
    // eCmdCanvasPress: a press where the pen is, when it is over the
    // widget.
    int32_t CanvasPress();
    error LeftPress(CWidget* widget, gCPoint& point);
    void PickScreenColour(CWidget* widget);
    // From the stroke start to its end; sample is the first one.
    error PaintStroke(const SStrokeInput& in, CTabletPoint& sample);
    // The samples while the button is held.
    error StrokeSamples(const SStrokeInput& in, CTabletPoint& sample);
    // What every stroke's end does, failed (result non-zero) or not.
    void EndStroke(const SStrokeInput& in, error result);

private:
    int32_t TracingMode(int64_t value, int32_t set);
    // The display's ids of the data channel (zoom, widget, redraw, scale);
    // handled is set to 1 for them.
    int32_t DisplayData(uint32_t id, int64_t value, int32_t set, int32_t& handled);
    // The tracing overlay changed: with a tracing image and a widget, the
    // widget's client area is invalidated and redrawn.
    void ShowTracingChange();

    CSMKBackbone* const m_pBackbone;
    CWidget* m_pCanvasWidget = nullptr;
    CPaintTool* m_pCurrentTool = nullptr;
    CPaintTool* m_pEraser = nullptr;
    float m_rPenPressure = kPressPressure;
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
    std::unique_ptr<CToolBase> m_pSecondEngine;
    static inline CSecondEngineCreator s_pSecondEngineCreator = nullptr;
};
