#pragma once
// The brush preview: a small canvas of its own inside the brush picker
// that shows what the current tool paints. On request it clears itself to
// a ground that suits the tool, paints one sample stroke with the real
// tool and stroke engine, relights it with the real renderer and shows it
// through the preview widget, cut to the shape of the widget's own image.
// Its strokes never reach the undo ring, and a preview gives the painter's
// colour, the tool's flip and the oil noise back as it found them.

#include <cstdint>

#include "paint/canvas/Canvas.h"

class CProxyCanvas : public CCanvas {
public:
    // The ground of the eraser's preview: a brownish paint to take away.
    static constexpr uint32_t kEraserGround = 0x6E242A3Cu;
    // The palette knife's ridge of paint across the top rows.
    static constexpr uint32_t kKnifeColour = 0xFF6070A0u;
    static constexpr uint32_t kKnifeFinish = 0x0000FFFFu;
    static constexpr int32_t kKnifeRidgeRows = 30;
    // The sample stroke's colours.
    static constexpr uint32_t kPencilColour = 0xFF000000u;
    static constexpr uint32_t kStrokeColour = 0xFF6070A0u;
    // The preview's paper colour.
    static constexpr uint32_t kPaperColour = 0xFFFFFFFAu;

    CProxyCanvas() = default;
    ~CProxyCanvas() override = default;

    // New project, paper texture and colour, tool selection, widget set-up
    // and redraw; every other id answers 0.
    int32_t ProcessData(uint32_t id, const void* sender, int64_t value, int32_t set) override;
    error Initialise() override { return CCanvas::Initialise(); }
    // The tool's ground: the paper alone, the eraser's brown paint, or the
    // knife's ridge; no undo record. 5 without layers.
    error ClearCanvas() override;
    // Relights the spans the tool marked and repaints rect (inclusive,
    // made exclusive in place) unscaled.
    error Render(gCRect& rect) override;
    // Strokes on the preview save nothing for undo.
    error ProtectArea(gCRect&) override { return eNoError; }
    // A project of the widget's size on paper 0 in the preview's colour,
    // the masked render procedure installed and the preview drawn. 6 for a
    // null widget.
    error SetupCanvasWidget(CWidget* widget) override;
    // Clears the preview and paints the sample stroke of the current tool;
    // the widget is invalidated with redraw. 0 without layers or tool.
    error RenderBrushProxy(int32_t redraw) override;

    // The stroke pressure for a nominal pressure p (pen scale) under the
    // painter's pressure weight.
    static float WeightedPressure(float p);

protected:
    // The preview has no tracing image, and its projects leave the
    // painting's alone.
    error SetupTracing(CProjectInfo&) override { return eNoError; }

public:
    // The render procedure: the composite shown through the alpha of the
    // widget's own image (0 keeps the target, 255 copies, else blends).
    static error CanvasRenderProc(void* user, CWidget* widget, const gCRect& area, CImage* target,
                                  uint32_t flags);
};
