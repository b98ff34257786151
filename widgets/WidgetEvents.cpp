// Events: the callback table, the event mask, and the routing of input,
// timers, heartbeats and broadcasts down the tree.

#include "widgets/Widget.h"
#include "widgets/detail/RoutingStep.h"

namespace {

// A point moved by an offset with two's-complement wrap-around, as the
// toolkit's 32-bit arithmetic does; input points are never near the ends.
gCPoint Shifted(const gCPoint& point, int32_t dx, int32_t dy) {
    return gCPoint(int32_t(uint32_t(point.x) + uint32_t(dx)),
                   int32_t(uint32_t(point.y) + uint32_t(dy)));
}

// Sets a callback down the subtree of the widgets that have the bit.
template <typename Proc>
void SetDownTheTree(CWidget& widget, uint32_t bit, void (CWidget::*set)(Proc, void*),
                    void (CWidget::*setBelow)(Proc, void*, int32_t), Proc proc, void* user,
                    int32_t skipSelf) {
    if ((widget.EventsHandled() & bit) == 0) {
        return;
    }
    if (!skipSelf) {
        (widget.*set)(proc, user);
    }
    for (int32_t i = 0; i < widget.ChildCount(); ++i) {
        if (CWidget* child = widget.Child(i)) {
            (child->*setBelow)(proc, user, 0);
        }
    }
}

} // namespace

// ---------------------------------------------------------------------------
// The class's own handlers

error CWidget::KeyDown(CWidget*&, uint32_t) {
    return eNoError;
}
error CWidget::KeyUp(CWidget*&, uint32_t) {
    return eNoError;
}
error CWidget::Timer(CWidget*&, uint32_t) {
    return eNoError;
}
error CWidget::Heartbeat() {
    return eNoError;
}
error CWidget::MouseMove(CWidget*&, gCPoint&) {
    return eNoError;
}
error CWidget::ButtonDownL(CWidget*&, gCPoint&) {
    return eNoError;
}
error CWidget::ButtonUpL(CWidget*&, gCPoint&) {
    return eNoError;
}
error CWidget::ButtonDownM(CWidget*&, gCPoint&) {
    return eNoError;
}
error CWidget::ButtonUpM(CWidget*&, gCPoint&) {
    return eNoError;
}
error CWidget::MouseWheel(CWidget*&, int32_t, gCPoint&) {
    return eNoError;
}
error CWidget::ButtonDownR(CWidget*&, gCPoint&) {
    return eNoError;
}
error CWidget::ButtonUpR(CWidget*&, gCPoint&) {
    return eNoError;
}

// ---------------------------------------------------------------------------
// Callbacks and the mask

void CWidget::SetCallback(int32_t entry, AnyProc proc, void* user, uint32_t bit) {
    m_aCallbacks[entry].m_pProc = proc;
    m_aCallbacks[entry].m_pUser = user;
    if (bit) {
        EnableEvent(bit, 0);
    }
}

void CWidget::SetKeyDown(KeyProc proc, void* user) {
    SetCallback(eKeyDownEntry, reinterpret_cast<AnyProc>(proc), user, eKeyEvent);
}
void CWidget::SetKeyUp(KeyProc proc, void* user) {
    SetCallback(eKeyUpEntry, reinterpret_cast<AnyProc>(proc), user, eKeyEvent);
}
void CWidget::SetTimer(KeyProc proc, void* user) {
    SetCallback(eTimerEntry, reinterpret_cast<AnyProc>(proc), user, eTimerEvent);
}
void CWidget::SetHeartbeat(HeartbeatProc proc, void* user) {
    SetCallback(eHeartbeatEntry, reinterpret_cast<AnyProc>(proc), user, eHeartbeatEvent);
}
void CWidget::SetMouseMove(PointProc proc, void* user) {
    SetCallback(eMouseMoveEntry, reinterpret_cast<AnyProc>(proc), user, eMouseMoveEvent);
}
void CWidget::SetButtonDownL(PointProc proc, void* user) {
    SetCallback(eButtonDownLEntry, reinterpret_cast<AnyProc>(proc), user, eLButtonEvent);
}
void CWidget::SetButtonUpL(PointProc proc, void* user) {
    SetCallback(eButtonUpLEntry, reinterpret_cast<AnyProc>(proc), user, eLButtonEvent);
}
void CWidget::SetButtonDownM(PointProc proc, void* user) {
    SetCallback(eButtonDownMEntry, reinterpret_cast<AnyProc>(proc), user, eMButtonEvent);
}
void CWidget::SetButtonUpM(PointProc proc, void* user) {
    SetCallback(eButtonUpMEntry, reinterpret_cast<AnyProc>(proc), user, eMButtonEvent);
}
void CWidget::SetButtonDownR(PointProc proc, void* user) {
    SetCallback(eButtonDownREntry, reinterpret_cast<AnyProc>(proc), user, eRButtonEvent);
}
void CWidget::SetButtonUpR(PointProc proc, void* user) {
    SetCallback(eButtonUpREntry, reinterpret_cast<AnyProc>(proc), user, eRButtonEvent);
}
void CWidget::SetMessage(MessageProc proc, void* user) {
    SetCallback(eMessageEntry, reinterpret_cast<AnyProc>(proc), user, eMessageEvent);
}
void CWidget::SetRenderProc(RenderProc proc, void* user) {
    SetCallback(eRenderEntry, reinterpret_cast<AnyProc>(proc), user, 0);
}
void CWidget::SetMouseWheel(WheelProc proc, void* user) {
    SetCallback(eMouseWheelEntry, reinterpret_cast<AnyProc>(proc), user, eMouseWheelEvent);
}

CWidget::AnyProc CWidget::EventProc(int32_t entry) const {
    if (entry < 0 || entry >= eCallbackCount) {
        return nullptr;
    }
    return m_aCallbacks[entry].m_pProc;
}

void CWidget::EnableEvent(uint32_t bits, int32_t upward) {
    m_nEventMask |= bits;
    if (upward && m_pParent) {
        m_pParent->EnableEvent(bits, 1);
    }
}

void CWidget::DisableEvent(uint32_t bits) {
    m_nEventMask &= ~bits;
}

void CWidget::SetHierarchyKeyDown(KeyProc proc, void* user, int32_t skipSelf) {
    SetDownTheTree(*this, eKeyEvent, &CWidget::SetKeyDown, &CWidget::SetHierarchyKeyDown, proc,
                   user, skipSelf);
}
void CWidget::SetHierarchyKeyUp(KeyProc proc, void* user, int32_t skipSelf) {
    SetDownTheTree(*this, eKeyEvent, &CWidget::SetKeyUp, &CWidget::SetHierarchyKeyUp, proc, user,
                   skipSelf);
}
void CWidget::SetHierarchyTimer(KeyProc proc, void* user, int32_t skipSelf) {
    SetDownTheTree(*this, eTimerEvent, &CWidget::SetTimer, &CWidget::SetHierarchyTimer, proc, user,
                   skipSelf);
}
void CWidget::SetHierarchyHeartbeat(HeartbeatProc proc, void* user, int32_t skipSelf) {
    SetDownTheTree(*this, eHeartbeatEvent, &CWidget::SetHeartbeat, &CWidget::SetHierarchyHeartbeat,
                   proc, user, skipSelf);
}
void CWidget::SetHierarchyMouseMove(PointProc proc, void* user, int32_t skipSelf) {
    SetDownTheTree(*this, eMouseMoveEvent, &CWidget::SetMouseMove, &CWidget::SetHierarchyMouseMove,
                   proc, user, skipSelf);
}
void CWidget::SetHierarchyButtonDownL(PointProc proc, void* user, int32_t skipSelf) {
    SetDownTheTree(*this, eLButtonEvent, &CWidget::SetButtonDownL,
                   &CWidget::SetHierarchyButtonDownL, proc, user, skipSelf);
}
void CWidget::SetHierarchyButtonUpL(PointProc proc, void* user, int32_t skipSelf) {
    SetDownTheTree(*this, eLButtonEvent, &CWidget::SetButtonUpL, &CWidget::SetHierarchyButtonUpL,
                   proc, user, skipSelf);
}
void CWidget::SetHierarchyButtonDownM(PointProc proc, void* user, int32_t skipSelf) {
    SetDownTheTree(*this, eMButtonEvent, &CWidget::SetButtonDownM,
                   &CWidget::SetHierarchyButtonDownM, proc, user, skipSelf);
}
void CWidget::SetHierarchyButtonUpM(PointProc proc, void* user, int32_t skipSelf) {
    SetDownTheTree(*this, eMButtonEvent, &CWidget::SetButtonUpM, &CWidget::SetHierarchyButtonUpM,
                   proc, user, skipSelf);
}
void CWidget::SetHierarchyButtonDownR(PointProc proc, void* user, int32_t skipSelf) {
    SetDownTheTree(*this, eRButtonEvent, &CWidget::SetButtonDownR,
                   &CWidget::SetHierarchyButtonDownR, proc, user, skipSelf);
}
void CWidget::SetHierarchyButtonUpR(PointProc proc, void* user, int32_t skipSelf) {
    SetDownTheTree(*this, eRButtonEvent, &CWidget::SetButtonUpR, &CWidget::SetHierarchyButtonUpR,
                   proc, user, skipSelf);
}
void CWidget::SetHierarchyMessage(MessageProc proc, void* user, int32_t skipSelf) {
    SetDownTheTree(*this, eMessageEvent, &CWidget::SetMessage, &CWidget::SetHierarchyMessage, proc,
                   user, skipSelf);
}
void CWidget::SetHierarchyMouseWheel(WheelProc proc, void* user, int32_t skipSelf) {
    SetDownTheTree(*this, eMouseWheelEvent, &CWidget::SetMouseWheel,
                   &CWidget::SetHierarchyMouseWheel, proc, user, skipSelf);
}

// ---------------------------------------------------------------------------
// Routing

bool CWidget::HitsRect(const gCPoint& point) const {
    return point.x >= m_Rect.left && point.x <= m_Rect.right && point.y >= m_Rect.top &&
           point.y <= m_Rect.bottom;
}

template <typename Offer, typename Own>
error CWidget::RoutePointer(uint32_t bit, int32_t leftPress, CWidget*& taker, gCPoint& point,
                            Offer offer, Own own) {
    if (!TakesPart(bit) || !HitsRect(point)) {
        return eNoError;
    }
    gCPoint local = Shifted(point, -m_Rect.left, -m_Rect.top);
    CRoutingStep step(*this);
    step.TakeChildren();
    for (int32_t i = 0; i < step.Count(); ++i) {
        CWidget* child = step.Child(i);
        if (!child) {
            continue;
        }
        if (error e = offer(child, local)) {
            return e;
        }
        if (taker || step.Interrupted()) {
            return eNoError;
        }
    }
    // A transparent pixel lets the event fall through to the siblings
    // behind.
    if (!OpaquePixel(local)) {
        return eNoError;
    }
    const bool focusing = leftPress && m_fCanGetFocus;
    if (focusing) {
        if (error e = SetFocus(1)) {
            return e;
        }
    }
    // The root tells the application of the new focus, and what hears it
    // may close this widget's panel: then the handler is not called, but
    // the press was this widget's all the same.
    if (!focusing || !step.Interrupted()) {
        if (error e = own(local)) {
            return e;
        }
    }
    if (focusing && !taker) {
        taker = this;
    }
    return eNoError;
}

template <typename Offer, typename Own>
error CWidget::RouteKey(CWidget*& taker, Offer offer, Own own) {
    if (!TakesPart(eKeyEvent)) {
        return eNoError;
    }
    CRoutingStep step(*this);
    // At the focused widget itself the focus child is the widget, which is
    // none of its children: the key is its own.
    CWidget* focus = m_pFocusChild;
    if (focus && focus != this && GetChildIndex(focus) >= 0) {
        if (error e = offer(focus)) {
            return e;
        }
        if (taker || step.Interrupted()) {
            return eNoError;
        }
    }
    return own();
}

error CWidget::PassKeyDown(CWidget*& taker, uint32_t key) {
    return RouteKey(
        taker, [&](CWidget* child) { return child->PassKeyDown(taker, key); },
        [&] {
            if (KeyProc proc = CallbackOf<KeyProc>(eKeyDownEntry)) {
                return proc(UserOf(eKeyDownEntry), this, taker, key);
            }
            return KeyDown(taker, key);
        });
}

error CWidget::PassKeyUp(CWidget*& taker, uint32_t key) {
    return RouteKey(
        taker, [&](CWidget* child) { return child->PassKeyUp(taker, key); },
        [&] {
            if (KeyProc proc = CallbackOf<KeyProc>(eKeyUpEntry)) {
                return proc(UserOf(eKeyUpEntry), this, taker, key);
            }
            return KeyUp(taker, key);
        });
}

error CWidget::PassTimer(CWidget*& taker, uint32_t id) {
    if (!TakesPart(eTimerEvent)) {
        return eNoError;
    }
    CRoutingStep step(*this);
    step.TakeChildren();
    for (int32_t i = 0; i < step.Count(); ++i) {
        CWidget* child = step.Child(i);
        if (!child) {
            continue;
        }
        if (error e = child->PassTimer(taker, id)) {
            return e;
        }
        if (taker || step.Interrupted()) {
            return eNoError;
        }
    }
    if (KeyProc proc = CallbackOf<KeyProc>(eTimerEntry)) {
        return proc(UserOf(eTimerEntry), this, taker, id);
    }
    return Timer(taker, id);
}

error CWidget::PassHeartbeat() {
    if (!TakesPart(eHeartbeatEvent)) {
        return eNoError;
    }
    CRoutingStep step(*this);
    step.TakeChildren();
    // Back to front, the widget itself last.
    for (int32_t i = step.Count() - 1; i >= 0; --i) {
        CWidget* child = step.Child(i);
        if (!child) {
            continue;
        }
        if (error e = child->PassHeartbeat()) {
            return e;
        }
        if (step.Interrupted()) {
            return eNoError;
        }
    }
    if (HeartbeatProc proc = CallbackOf<HeartbeatProc>(eHeartbeatEntry)) {
        return proc(UserOf(eHeartbeatEntry), this);
    }
    return Heartbeat();
}

error CWidget::RoutePointEvent(uint32_t bit, int32_t leftPress, int32_t entry,
                               error (CWidget::*pass)(CWidget*&, gCPoint&),
                               error (CWidget::*own)(CWidget*&, gCPoint&), CWidget*& taker,
                               gCPoint& point) {
    return RoutePointer(
        bit, leftPress, taker, point,
        [&](CWidget* child, gCPoint& p) { return (child->*pass)(taker, p); },
        [&](gCPoint& p) {
            if (PointProc proc = CallbackOf<PointProc>(entry)) {
                return proc(UserOf(entry), this, taker, p);
            }
            return (this->*own)(taker, p);
        });
}

error CWidget::PassMouseMove(CWidget*& taker, gCPoint& point) {
    return RoutePointEvent(eMouseMoveEvent, 0, eMouseMoveEntry, &CWidget::PassMouseMove,
                           &CWidget::MouseMove, taker, point);
}

error CWidget::PassButtonDownL(CWidget*& taker, gCPoint& point) {
    return RoutePointEvent(eLButtonEvent, 1, eButtonDownLEntry, &CWidget::PassButtonDownL,
                           &CWidget::ButtonDownL, taker, point);
}

error CWidget::PassButtonUpL(CWidget*& taker, gCPoint& point) {
    return RoutePointEvent(eLButtonEvent, 0, eButtonUpLEntry, &CWidget::PassButtonUpL,
                           &CWidget::ButtonUpL, taker, point);
}

error CWidget::PassButtonDownM(CWidget*& taker, gCPoint& point) {
    return RoutePointEvent(eMButtonEvent, 0, eButtonDownMEntry, &CWidget::PassButtonDownM,
                           &CWidget::ButtonDownM, taker, point);
}

error CWidget::PassButtonUpM(CWidget*& taker, gCPoint& point) {
    return RoutePointEvent(eMButtonEvent, 0, eButtonUpMEntry, &CWidget::PassButtonUpM,
                           &CWidget::ButtonUpM, taker, point);
}

error CWidget::PassMouseWheel(CWidget*& taker, int32_t delta, gCPoint& point) {
    return RoutePointer(
        eMouseWheelEvent, 0, taker, point,
        [&](CWidget* child, gCPoint& p) { return child->PassMouseWheel(taker, delta, p); },
        [&](gCPoint& p) {
            if (WheelProc proc = CallbackOf<WheelProc>(eMouseWheelEntry)) {
                return proc(UserOf(eMouseWheelEntry), this, taker, p, delta);
            }
            return MouseWheel(taker, delta, p);
        });
}

error CWidget::PassButtonDownR(CWidget*& taker, gCPoint& point) {
    return RoutePointEvent(eRButtonEvent, 0, eButtonDownREntry, &CWidget::PassButtonDownR,
                           &CWidget::ButtonDownR, taker, point);
}

error CWidget::PassButtonUpR(CWidget*& taker, gCPoint& point) {
    return RoutePointEvent(eRButtonEvent, 0, eButtonUpREntry, &CWidget::PassButtonUpR,
                           &CWidget::ButtonUpR, taker, point);
}

int32_t CWidget::PassMessage(uint32_t id, void* data, uintptr_t extra) {
    if (!TakesPart(eMessageEvent)) {
        return 0;
    }
    CRoutingStep step(*this);
    step.TakeChildren();
    const MessageProc proc = CallbackOf<MessageProc>(eMessageEntry);
    if (const int32_t answer =
            proc ? proc(UserOf(eMessageEntry), this, id, data, extra) : Message(id, data, extra)) {
        return answer;
    }
    if (step.Interrupted()) {
        return 0;
    }
    for (int32_t i = 0; i < step.Count(); ++i) {
        CWidget* child = step.Child(i);
        if (!child) {
            continue;
        }
        if (const int32_t answer = child->PassMessage(id, data, extra)) {
            return answer;
        }
        if (step.Interrupted()) {
            return 0;
        }
    }
    return 0;
}

// ---------------------------------------------------------------------------
// Queries

void CWidget::PassRolloverTest(CWidget*& found, gCPoint& point) {
    if (!m_fVisible || !m_fActive || !HitsRect(point)) {
        return;
    }
    CPassScope pass;
    gCPoint local = Shifted(point, -m_Rect.left, -m_Rect.top);
    for (int32_t i = 0; i < m_aChildren.GetSize(); ++i) {
        m_aChildren[i]->PassRolloverTest(found, local);
        if (found) {
            return;
        }
    }
    if (OpaquePixel(local)) {
        found = this;
    }
}

CWidget* CWidget::WidgetAtPoint(gCPoint& local) {
    if (!m_fVisible || !m_fActive || local.x < 0 || local.x > Width() || local.y < 0 ||
        local.y > Height()) {
        return nullptr;
    }
    CPassScope pass;
    for (int32_t i = 0; i < m_aChildren.GetSize(); ++i) {
        CWidget* child = m_aChildren[i];
        gCPoint inChild = Shifted(local, -child->m_Rect.left, -child->m_Rect.top);
        if (CWidget* found = child->WidgetAtPoint(inChild)) {
            return found;
        }
    }
    return OpaquePixel(local) ? this : nullptr;
}
