// Input records and window records to the window's On* operations. The
// input layer has decoded everything: the window only routes.
#include "platform/AppBase.h"
#include "platform/MacWindow.h"

#include <SDL.h>

namespace {

// A window point as the toolkit's 16-bit coordinates.
gCPoint WindowPoint(const gCPoint& p) {
    return gCPoint(int16_t(p.x), int16_t(p.y));
}

} // namespace

void CMacWindow::DispatchInput(const CInputEvent& e) {
    switch (e.kind) {
    case EInputKind::eKeyDown:
        if (e.key != 0) {
            OnKeyDown(e.key);
        }
        return;
    case EInputKind::eKeyUp:
        if (e.key != 0) {
            OnKeyUp(e.key);
        }
        return;
    case EInputKind::eMouseDown:
    case EInputKind::eMouseUp: {
        const bool down = e.kind == EInputKind::eMouseDown;
        const gCPoint where = WindowPoint(e.point);
        if (e.button == kButtonPrimary) {
            down ? OnLButtonDown(where) : OnLButtonUp(where);
        } else if (e.button == kButtonSecondary) {
            down ? OnRButtonDown(where) : OnRButtonUp(where);
        } else {
            down ? OnMButtonDown(where) : OnMButtonUp(where);
        }
        return;
    }
    case EInputKind::eMouseMove:
        OnMouseMove(WindowPoint(e.point));
        return;
    default:
        return;
    }
}

bool CMacWindow::HandleWindowEvent(const CInputEvent& e) {
    if (e.kind != EInputKind::eWindow || !m_pWindow ||
        e.windowID != SDL_GetWindowID(m_pWindow.get())) {
        return false;
    }
    switch (e.change) {
    case EWindowChange::eSizeChanged:
        OnSize(e.size.x, e.size.y);
        return false;
    case EWindowChange::eClose:
        if (CAppBase* app = CAppBase::m_pApp) {
            app->AppClosing();
            app->DoSystemQuit();
        }
        return true;
    case EWindowChange::eShown:
    case EWindowChange::eRestored:
        if (m_pBackdrop) {
            (void)m_pBackdrop->InvalidateClient(1); // marks only: nothing to fail
        }
        return false;
    case EWindowChange::eFocusGained:
        m_fActive = 1;
        OnGetFocus();
        return false;
    case EWindowChange::eFocusLost:
        m_fActive = 0;
        return false;
    case EWindowChange::eEnter:
        m_fMouseInside = 1;
        return false;
    case EWindowChange::eLeave:
        m_fMouseInside = 0;
        return false;
    default:
        return false;
    }
}
