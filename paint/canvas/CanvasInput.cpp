// The canvas's side of painting: the press handlers on its widget and the
// modal stroke loop that feeds the current tool every pen sample while the
// button is held. The colour picks are in CanvasInputPick.cpp, the right
// button and the pan loops in CanvasInputPan.cpp, the second engine's dab
// save and the scripted stroke in CanvasInputDab.cpp.

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "foundation/AppServices.h"
#include "foundation/Input.h"
#include "foundation/Rounding.h"
#include "paint/Backbone.h"
#include "paint/ChannelValue.h"
#include "paint/PaintTool.h"
#include "paint/Pressure.h"
#include "paint/canvas/Canvas.h"
#include "paint/canvas/detail/CanvasInputSupport.h"
#include "widgets/Backdrop.h"
#include "widgets/Widget.h"

namespace {

int32_t ButtonHeld(CTabletSource* tablet, CAppServices* app) {
    if (tablet) {
        return tablet->ButtonDown();
    }
    return app ? app->LButtonDown() : 0;
}

void Flush(CTabletSource* tablet) {
    if (tablet) {
        tablet->FlushQueue();
    }
}

gCPoint Cursor(CAppServices* app) {
    return app ? app->CursorLoc() : gCPoint();
}

} // namespace

CTabletSource* CanvasInput::Tablet(CSMKBackbone* backbone) {
    return backbone ? backbone->TabletServices() : nullptr;
}

int32_t CanvasInput::ReadPoint(CTabletSource* tablet, CTabletPoint& sample) {
    return tablet ? tablet->GetPoint(sample) : 1;
}

CWidget* CanvasInput::Root(CWidget* widget) {
    CWidget* root = widget;
    while (root && root->Parent()) {
        root = root->Parent();
    }
    return root;
}

CBackdrop* CanvasInput::BackdropOf(CWidget* widget) {
    return dynamic_cast<CBackdrop*>(Root(widget));
}

gCPoint CanvasInput::DesktopOffset(CWidget* widget) {
    gCPoint offset;
    if (CWidget* root = Root(widget)) {
        root->DesktopToLocal(offset);
    }
    return offset;
}

bool CanvasInput::ScaleUsable(float scale) {
    return std::isfinite(scale) && scale > 0.0f;
}

error CCanvas::SetupCanvasWidget(CWidget* widget) {
    if (!widget) {
        return eBadParameter;
    }
    m_pCanvasWidget = widget;
    // This platform's tablet service never delivers presses itself, so the
    // left press is always the canvas's own handler.
    widget->SetButtonDownL(&CCanvas::CanvasLDown, this);
    widget->SetButtonDownR(&CCanvas::CanvasRDown, this);
    return AttachCanvasWidget(widget);
}

int32_t CCanvas::CanvasPress() {
    CWidget* widget = m_pCanvasWidget;
    CWidget* parent = widget ? widget->Parent() : nullptr;
    if (!parent) {
        return 0;
    }
    CTabletPoint sample;
    if (const int32_t r = CanvasInput::ReadPoint(CanvasInput::Tablet(m_pBackbone), sample)) {
        return r;
    }
    // A position far off (or not a number) lands off every widget.
    const gCPoint at(RoundToInt32(sample.x, -CanvasInput::kPenLimit, CanvasInput::kPenLimit),
                     RoundToInt32(sample.y, -CanvasInput::kPenLimit, CanvasInput::kPenLimit));
    gCPoint local = at;
    widget->BackdropToLocal(local);
    gCPoint inParent = at;
    parent->BackdropToLocal(inParent);
    if (parent->WidgetAtPoint(inParent) != widget) {
        return 0;
    }
    CWidget* capture = nullptr;
    return CanvasLDown(this, widget, capture, local);
}

error CCanvas::CanvasLDown(void* user, CWidget* widget, CWidget*& capture, gCPoint& point) {
    CCanvas* canvas = static_cast<CCanvas*>(user);
    if (!canvas || !widget) {
        return eBadParameter;
    }
    canvas->m_rPenPressure = kPressPressure;
    capture = widget;
    // No right press while the left one runs, whichever way it ends.
    struct SRightPressBack {
        CCanvas& canvas;
        ~SRightPressBack() { canvas.m_fRightPressEnabled = 1; }
    } back{*canvas};
    canvas->m_fRightPressEnabled = 0;
    return canvas->LeftPress(widget, point);
}

error CCanvas::LeftPress(CWidget* widget, gCPoint& point) {
    CAppServices* app = CAppServices::Get();
    if (app && app->IsAltKeyDown()) {
        PickScreenColour(widget);
        return eNoError;
    }
    // A scale that is not positive and finite has no canvas point under
    // the pen: the press paints nothing.
    const float scale = m_rDisplayScale;
    if (!CanvasInput::ScaleUsable(scale)) {
        return eNoError;
    }
    if (const error e = CheckForCloneColour(point); e != eNoError) {
        return e;
    }
    CTabletSource* tablet = CanvasInput::Tablet(m_pBackbone);
    gCPoint origin;
    widget->LocalToBackdrop(origin);
    const gCPoint desktop = CanvasInput::DesktopOffset(widget);

    CTabletPoint sample;
    sample.pressure = 0.0f;
    if (CanvasInput::ReadPoint(tablet, sample) == 0) {
        sample.x -= float(origin.x);
        sample.y -= float(origin.y);
    } else {
        sample.x = float(point.x);
        sample.y = float(point.y);
        sample.pressure = 0.0f;
    }
    sample.x /= scale;
    sample.y /= scale;

    CPaintTool* tool = CTabletPoint::m_fInverted ? m_pEraser : m_pCurrentTool;
    if (!tool) {
        Flush(tablet);
        return eNoError;
    }
    SStrokeInput input{widget, tool, tablet, app, origin, desktop, scale};
    return PaintStroke(input, sample);
}

error CCanvas::PaintStroke(const SStrokeInput& in, CTabletPoint& sample) {
    CPaintTool* tool = in.tool;
    m_fStrokeRunning = 1;
    tool->BeginStroke();
    if (const int32_t e = SetUIData(eCmdStrokeStart, this, 0)) {
        tool->EndStroke();
        m_fStrokeRunning = 0;
        return error(e);
    }

    StartProtect();
    error e = tool->ToolDown(in.widget, this, sample);
    if (e == eNoError) {
        e = StrokeSamples(in, sample);
    }
    if (e == eNoError) {
        // The release.
        if (CanvasInput::ReadPoint(in.tablet, sample) != 0) {
            const gCPoint at = Cursor(in.app);
            sample.x = float(int64_t(at.x) + in.desktop.x);
            sample.y = float(int64_t(at.y) + in.desktop.y);
            sample.pressure = 0.0f;
        }
        m_rPenPressure = sample.pressure;
        sample.x = (sample.x - float(in.origin.x)) / in.scale;
        sample.y = (sample.y - float(in.origin.y)) / in.scale;
        e = tool->ToolUp(in.widget, this, sample);
    }
    EndStroke(in, e);
    return e;
}

error CCanvas::StrokeSamples(const SStrokeInput& in, CTabletPoint& sample) {
    CPaintTool* tool = in.tool;
    do {
        if (CanvasInput::ReadPoint(in.tablet, sample) != 0) {
            const gCPoint at = Cursor(in.app);
            sample.x = float(int64_t(at.x) + in.desktop.x);
            sample.y = float(int64_t(at.y) + in.desktop.y);
            sample.pressure = MousePressure(tool->StrokeTraits().mouse, CTabletSource::m_rWeight);
            tool->RaiseStrokeCap();
        }
        m_rPenPressure = sample.pressure;
        sample.x -= float(in.origin.x);
        sample.y -= float(in.origin.y);
        // The interface hides the panels under the pen; nothing to act on.
        (void)SetUIData(eCmdStrokePoint, this, ChannelValueOf(&sample.x));
        sample.x /= in.scale;
        sample.y /= in.scale;
        if (const error e = tool->ToolMove(in.widget, this, sample); e != eNoError) {
            return e;
        }
        if (in.app) {
            (void)in.app->PumpMessage(); // answers 0
        }
    } while (ButtonHeld(in.tablet, in.app));
    return eNoError;
}

void CCanvas::EndStroke(const SStrokeInput& in, error result) {
    CPaintTool* tool = in.tool;
    if (result != eNoError && tool->DabEndDue()) {
        // The stroke broke off before the tool's end, or the end failed:
        // it is run here, inside the record, so its per-stroke state (the
        // mark in L3) is cleared and the next stroke starts clean. Its own
        // failure adds nothing to the one returned.
        (void)tool->DabEnd();
    }
    tool->EndStroke();
    EndProtect();
    m_fStrokeRunning = 0;
    // The backbone marks the project modified (and cleans the brush when
    // auto-clean is on); passed on, the interface brings its panels back.
    // Whatever it answers, the stroke is over.
    (void)SetBackboneData(eCmdStrokeEnd, this, tool->Type());
    Flush(in.tablet);
}
