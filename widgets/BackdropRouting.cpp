// The backdrop's modal stack and event routing, heartbeat, rollover, focus
// record and desktop conversions.

#include "foundation/AppServices.h"
#include "foundation/MessageIds.h"
#include "platform/AppBase.h"
#include "widgets/Backdrop.h"

// ---------------------------------------------------------------------------
// Modal stack

error CBackdrop::DoModal(CWidget* widget) {
    if (!widget) {
        return eBadParameter;
    }
    widget->SetSoftModal(0);
    return m_aModalStack.Add(widget) != eNoError ? eOutOfMemory : eNoError;
}

error CBackdrop::DoSoftModal(CWidget* widget) {
    if (!widget) {
        return eBadParameter;
    }
    widget->SetSoftModal(1);
    return m_aModalStack.Add(widget) != eNoError ? eOutOfMemory : eNoError;
}

void CBackdrop::EndModal() {
    if (m_aModalStack.GetSize() > 0) {
        m_aModalStack.RemoveAt(m_aModalStack.GetSize() - 1);
    }
}

CWidget* CBackdrop::TopModal() const {
    const int32_t count = m_aModalStack.GetSize();
    return count > 0 ? m_aModalStack[count - 1] : nullptr;
}

// ---------------------------------------------------------------------------
// Routing

int32_t CBackdrop::PassMessage(uint32_t id, void* data, uintptr_t extra) {
    CPassScope scope;
    if (CWidget* top = TopModal()) {
        return top->PassMessage(id, data, extra);
    }
    return CWidget::PassMessage(id, data, extra);
}

error CBackdrop::PassKeyDown(CWidget*& taker, uint32_t key) {
    CPassScope scope;
    if (CWidget* top = TopModal()) {
        return top->PassKeyDown(taker, key);
    }
    return CWidget::PassKeyDown(taker, key);
}

error CBackdrop::PassKeyUp(CWidget*& taker, uint32_t key) {
    CPassScope scope;
    if (CWidget* top = TopModal()) {
        return top->PassKeyUp(taker, key);
    }
    return CWidget::PassKeyUp(taker, key);
}

error CBackdrop::PassTimer(CWidget*& taker, uint32_t id) {
    CPassScope scope;
    if (CWidget* top = TopModal()) {
        return top->PassTimer(taker, id);
    }
    return CWidget::PassTimer(taker, id);
}

error CBackdrop::PassHeartbeat() {
    CPassScope scope;
    CWidget* top = TopModal();
    if (top && !top->SoftModal()) {
        return top->PassHeartbeat();
    }
    return CWidget::PassHeartbeat();
}

error CBackdrop::RouteModalPoint(CWidget* top, error (CWidget::*pass)(CWidget*&, gCPoint&),
                                 uint32_t pressMessage, CWidget*& taker, const gCPoint& point) {
    gCPoint converted = point;
    if (CWidget* parent = top->Parent()) {
        parent->BackdropToLocal(converted);
    }
    CWindowHost* const window = Host();
    const error e = (top->*pass)(taker, converted);
    if (e != eNoError || taker || pressMessage == 0) {
        return e;
    }
    // The press reached nobody: the modal widget hears of it, unless it has
    // gone (left the tree, or the window let the tree go) meanwhile.
    if (window != Host() || TopModal() != top) {
        return eNoError;
    }
    return PressNobodyTook(top, pressMessage, converted);
}

error CBackdrop::PressNobodyTook(CWidget* top, uint32_t message, gCPoint& converted) {
    return static_cast<error>(top->PassMessage(message, static_cast<CBackdrop*>(this),
                                               reinterpret_cast<uintptr_t>(&converted)));
}

error CBackdrop::PassMouseMove(CWidget*& taker, gCPoint& point) {
    CPassScope scope;
    if (CWidget* top = TopModal()) {
        return RouteModalPoint(top, &CWidget::PassMouseMove, 0, taker, point);
    }
    return CWidget::PassMouseMove(taker, point);
}

error CBackdrop::PassButtonDownL(CWidget*& taker, gCPoint& point) {
    CPassScope scope;
    if (CWidget* top = TopModal()) {
        return RouteModalPoint(top, &CWidget::PassButtonDownL, eMsgButtonDownL, taker, point);
    }
    return CWidget::PassButtonDownL(taker, point);
}

error CBackdrop::PassButtonUpL(CWidget*& taker, gCPoint& point) {
    CPassScope scope;
    if (CWidget* top = TopModal()) {
        return RouteModalPoint(top, &CWidget::PassButtonUpL, 0, taker, point);
    }
    return CWidget::PassButtonUpL(taker, point);
}

error CBackdrop::PassButtonDownM(CWidget*& taker, gCPoint& point) {
    CPassScope scope;
    if (CWidget* top = TopModal()) {
        return RouteModalPoint(top, &CWidget::PassButtonDownM, eMsgButtonDownM, taker, point);
    }
    return CWidget::PassButtonDownM(taker, point);
}

error CBackdrop::PassButtonUpM(CWidget*& taker, gCPoint& point) {
    CPassScope scope;
    if (CWidget* top = TopModal()) {
        return RouteModalPoint(top, &CWidget::PassButtonUpM, 0, taker, point);
    }
    return CWidget::PassButtonUpM(taker, point);
}

error CBackdrop::PassButtonDownR(CWidget*& taker, gCPoint& point) {
    CPassScope scope;
    if (CWidget* top = TopModal()) {
        return RouteModalPoint(top, &CWidget::PassButtonDownR, eMsgButtonDownR, taker, point);
    }
    return CWidget::PassButtonDownR(taker, point);
}

error CBackdrop::PassButtonUpR(CWidget*& taker, gCPoint& point) {
    CPassScope scope;
    if (CWidget* top = TopModal()) {
        return RouteModalPoint(top, &CWidget::PassButtonUpR, 0, taker, point);
    }
    return CWidget::PassButtonUpR(taker, point);
}

error CBackdrop::PassMouseWheel(CWidget*& taker, int32_t delta, gCPoint& point) {
    CPassScope scope;
    if (CWidget* top = TopModal()) {
        gCPoint converted = point;
        if (CWidget* parent = top->Parent()) {
            parent->BackdropToLocal(converted);
        }
        return top->PassMouseWheel(taker, delta, converted);
    }
    return CWidget::PassMouseWheel(taker, delta, point);
}

// ---------------------------------------------------------------------------
// Rollover

void CBackdrop::SetWidgetRolloverEnabled(int32_t on) {
    m_fRolloverEnabled = on;
    m_pRolloverWidget = nullptr;
}

CWidget* CBackdrop::WidgetRolloverIfActive() const {
    CWindowHost* host = Host();
    return host && host->IsActive() ? m_pRolloverWidget : nullptr;
}

void CBackdrop::PassRolloverTest() {
    if (!m_fRolloverEnabled) {
        return;
    }
    m_pRolloverWidget = nullptr;
    if (CAppServices* app = CAppServices::Get()) {
        PassRolloverTestAt(app->CursorLoc());
    }
}

void CBackdrop::PassRolloverTestAt(gCPoint point) {
    if (!m_fRolloverEnabled) {
        return;
    }
    m_pRolloverWidget = nullptr;
    CPassScope scope;
    DesktopToLocal(point);
    if (CWidget* top = TopModal()) {
        if (CWidget* parent = top->Parent()) {
            parent->BackdropToLocal(point);
        }
        top->PassRolloverTest(m_pRolloverWidget, point);
        return;
    }
    CWidget::PassRolloverTest(m_pRolloverWidget, point);
}

// ---------------------------------------------------------------------------
// Focus

void CBackdrop::BroadcastFocus(uint32_t id, CWidget* widget) {
    // Whoever answers a focus message, the change has happened: the answer
    // is not needed.
    if (CAppBase::m_pApp) {
        (void)CAppBase::m_pApp->PassMessage(id, widget, 0);
    } else {
        (void)PassMessage(id, widget, 0); // no application: the tree alone
    }
}

error CBackdrop::PropagateSetFocus(CWidget* child, CWidget* focused, int32_t notify) {
    if (!m_fVisible || !m_fActive) {
        return eNoError;
    }
    if (error e = CWidget::PropagateSetFocus(child, focused, notify)) {
        return e;
    }
    if (focused == m_pFocusWidget) {
        return eNoError;
    }
    CWidget* previous = m_pFocusWidget;
    m_pFocusWidget = focused;
    BroadcastFocus(eMsgFocusLost, previous);
    if (notify) {
        BroadcastFocus(eMsgFocusGained, focused);
    }
    return eNoError;
}

// ---------------------------------------------------------------------------
// Desktop

void CBackdrop::DesktopToLocal(gCPoint& point) {
    if (CWindowHost* host = Host()) {
        const gCPoint origin = host->ContentOrigin();
        point.x -= origin.x;
        point.y -= origin.y;
    }
}

void CBackdrop::LocalToDesktop(gCPoint& point) {
    if (CWindowHost* host = Host()) {
        const gCPoint origin = host->ContentOrigin();
        point.x += origin.x;
        point.y += origin.y;
    }
}

void CBackdrop::DesktopToLocal(gCRect& rect) {
    gCPoint topLeft(rect.left, rect.top);
    gCPoint bottomRight(rect.right, rect.bottom);
    DesktopToLocal(topLeft);
    DesktopToLocal(bottomRight);
    rect = gCRect(topLeft.x, topLeft.y, bottomRight.x, bottomRight.y);
}

void CBackdrop::LocalToDesktop(gCRect& rect) {
    gCPoint topLeft(rect.left, rect.top);
    gCPoint bottomRight(rect.right, rect.bottom);
    LocalToDesktop(topLeft);
    LocalToDesktop(bottomRight);
    rect = gCRect(topLeft.x, topLeft.y, bottomRight.x, bottomRight.y);
}
