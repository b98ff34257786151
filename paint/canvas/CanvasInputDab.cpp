// The second stroke engine's dab save, the scripted two-point stroke and
// the unused mouse-move handler.

#include <algorithm>
#include <cstdint>

#include "foundation/Input.h"
#include "imaging/ImNav.h"
#include "imaging/Stretcher.h"
#include "paint/PaintTool.h"
#include "paint/canvas/Canvas.h"
#include "paint/canvas/detail/CanvasInputSupport.h"
#include "widgets/Widget.h"

error CCanvas::AutoStroke(gCPoint& from, gCPoint& to) {
    CPaintTool* tool = m_pCurrentTool;
    if (!tool) {
        return eNoError;
    }
    if (const error e = CheckForCloneColour(from); e != eNoError) {
        return e;
    }
    CTabletPoint sample;
    sample.x = float(from.x);
    sample.y = float(from.y);
    sample.pressure = 0.0f;
    if (const error e = tool->ToolDown(m_pCanvasWidget, this, sample); e != eNoError) {
        return e;
    }
    sample.x = float(to.x);
    sample.y = float(to.y);
    sample.pressure = 0.0f;
    if (const error e = tool->ToolMove(m_pCanvasWidget, this, sample); e != eNoError) {
        return e;
    }
    sample.x = float(to.x);
    sample.y = float(to.y);
    sample.pressure = 0.0f;
    return tool->ToolUp(m_pCanvasWidget, this, sample);
}

error CCanvas::CanvasMouseMove(void* user, CWidget* widget, CWidget*&, gCPoint&) {
    CCanvas* canvas = static_cast<CCanvas*>(user);
    if (!canvas || !widget || canvas->m_fStrokeRunning || !canvas->m_pCurrentTool) {
        return eNoError;
    }
    CTabletPoint sample;
    (void)CanvasInput::ReadPoint(CanvasInput::Tablet(canvas->m_pBackbone),
                                 sample); // read and let go: nothing uses it
    gCPoint origin;
    widget->LocalToBackdrop(origin);
    return eNoError;
}

error CCanvas::ProtectDabArea(gCRect& rect, int32_t restore) {
    if (!restore) {
        m_SavedDabRect = rect;
    } else {
        rect = m_SavedDabRect;
    }
    CImage* l0 = Layer(CCanvasLayers::kColour);
    if (!l0) {
        return eNoError;
    }
    // Clipped to L0; what lies left of or above the canvas shifts the
    // rectangle's place in the protect images.
    const int64_t left = std::max<int64_t>(0, rect.left);
    const int64_t top = std::max<int64_t>(0, rect.top);
    const int64_t right = std::min<int64_t>(l0->GetWidth(), rect.right);
    const int64_t bottom = std::min<int64_t>(l0->GetHeight(), rect.bottom);
    const int64_t ox = left - rect.left;
    const int64_t oy = top - rect.top;
    // Only the protect images' kProtectSide square is kept.
    const int64_t width = std::min(right - left, int64_t(kProtectSide) - ox);
    const int64_t height = std::min(bottom - top, int64_t(kProtectSide) - oy);
    if (width <= 0 || height <= 0) {
        return eNoError;
    }
    const gCRect area(int32_t(left), int32_t(top), int32_t(left + width), int32_t(top + height));
    const gCRect saved(int32_t(ox), int32_t(oy), int32_t(ox + width), int32_t(oy + height));
    for (int32_t i = CCanvasLayers::kColour; i <= CCanvasLayers::kGrain; ++i) {
        CImNav layer(Layer(i), &area);
        CImNav kept(&m_aProtectImages[i], &saved);
        if (!layer.IsLocked() || !kept.IsLocked()) {
            return eOutOfMemory;
        }
        const error e = restore ? CStretcher::Blit(&layer, &kept) : CStretcher::Blit(&kept, &layer);
        if (e != eNoError) {
            return e;
        }
    }
    return eNoError;
}
