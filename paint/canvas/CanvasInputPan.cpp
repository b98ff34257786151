// The right button on the canvas (a click toggles the panels, a drag pans)
// and the pan loops of the interface's pan control.

#include <cstdint>
#include <cstdlib>

#include "foundation/AppServices.h"
#include "paint/canvas/Canvas.h"
#include "paint/canvas/detail/CanvasInputSupport.h"
#include "widgets/Backdrop.h"
#include "widgets/Widget.h"

namespace {

// A right drag turns into a pan once it has gone further than this from
// the press in x or in y.
constexpr int32_t kPanThreshold = 3;

} // namespace

error CCanvas::CanvasRDown(void* user, CWidget* widget, CWidget*& capture, gCPoint&) {
    CCanvas* canvas = static_cast<CCanvas*>(user);
    if (!canvas || !widget) {
        return eBadParameter;
    }
    if (!canvas->m_fRightPressEnabled) {
        return eNoError;
    }
    capture = widget;
    CAppServices* app = CAppServices::Get();
    CBackdrop* backdrop = CanvasInput::BackdropOf(widget);
    const gCPoint start = app ? app->CursorLoc() : gCPoint();
    gCPoint anchor = start;
    // Only a widget that went modal is taken off the stack again.
    const bool modal = backdrop && backdrop->DoModal(widget) == eNoError;
    bool dragging = false;
    while (app && app->RButtonStillDown()) {
        const gCPoint at = app->CursorLoc();
        if (!dragging && (std::abs(int64_t(at.x) - start.x) > kPanThreshold ||
                          std::abs(int64_t(at.y) - start.y) > kPanThreshold)) {
            dragging = true;
        }
        if (dragging) {
            // Moving only invalidates; the constraint's redraw shows it.
            (void)widget->MoveRelative(at.x - anchor.x, at.y - anchor.y, 0);
            anchor = at;
            canvas->ConstrainCanvasToBackdrop(1);
        }
        (void)app->AppHeartbeat(); // a failed tick is the heartbeat's own to show
    }
    if (modal) {
        backdrop->EndModal();
    }
    if (!dragging && backdrop && backdrop->WidgetRollover() == widget) {
        // A right click on the canvas hides or shows the panels.
        (void)canvas->SetUIData(eCmdTogglePanels, canvas, 0);
    }
    return eNoError;
}

error CCanvas::DragCanvas() {
    CWidget* widget = m_pCanvasWidget;
    CAppServices* app = CAppServices::Get();
    if (!widget || !app) {
        return eNoError;
    }
    CBackdrop* backdrop = CanvasInput::BackdropOf(widget);
    gCPoint anchor = app->CursorLoc();
    const bool modal = backdrop && backdrop->DoModal(widget) == eNoError;
    while (app->LButtonStillDown()) {
        const gCPoint at = app->CursorLoc();
        if (at != anchor) {
            (void)widget->MoveRelative(at.x - anchor.x, at.y - anchor.y,
                                       0); // the constraint's redraw shows it
            anchor = at;
            ConstrainCanvasToBackdrop(1);
        }
        // Every round, so the application keeps ticking while the pen
        // rests.
        (void)app->AppHeartbeat(); // a failed tick is the heartbeat's own to show
    }
    if (modal) {
        backdrop->EndModal();
    }
    return eNoError;
}

error CCanvas::DoMoveLoop() {
    CWidget* widget = m_pCanvasWidget;
    CAppServices* app = CAppServices::Get();
    if (!widget || !app) {
        return eNoError;
    }
    gCPoint anchor = app->CursorLoc();
    do {
        const gCPoint at = app->CursorLoc();
        // A failed redraw leaves the area dirty for the next.
        (void)widget->MoveRelative(at.x - anchor.x, at.y - anchor.y, 1);
        anchor = at;
    } while (app->RButtonStillDown());
    return eNoError;
}
