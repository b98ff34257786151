#include "platform/WindowBase.h"

#include "foundation/ErrorReport.h"
#include "platform/AppBase.h"

CWindowBase::~CWindowBase() {
    ReleaseSystem();
}

error CWindowBase::AttachBackdrop(CWindowRoot* backdrop) {
    if (backdrop) {
        backdrop->SetHost(this);
    }
    if (!m_pBackdrop) {
        m_pBackdrop.reset(backdrop);
        return eNoError;
    }
    const int32_t width = m_pBackdrop->Width();
    const int32_t height = m_pBackdrop->Height();
    m_pBackdrop.reset(backdrop);
    return m_pBackdrop ? m_pBackdrop->SetSize(width, height, 1) : eNoError;
}

error CWindowBase::SetOSMenuHidden(int32_t hide, int32_t flag) {
    if (hide == m_fOSMenuHidden) {
        return eNoError;
    }
    m_fOSMenuHidden = hide;
    PlatformSetOSMenuHidden(hide, flag);
    if (m_fFullScreen) {
        return SetWindowSizeAndPosition(kModeFullScreen, gCRPoint(-1.0f, -1.0f),
                                        gCRPoint(-1.0f, -1.0f), 1);
    }
    return eNoError;
}

error CWindowBase::Heartbeat() {
    if (!m_pBackdrop) {
        return eNoError;
    }
    if (m_fActive || IsMouseInWindow()) {
        m_pBackdrop->PassRolloverTest();
    } else {
        m_pBackdrop->ClearRollover();
    }
    return m_pBackdrop->PassHeartbeat();
}

// A backdrop's failure is shown and the event goes on as if it had
// succeeded (ReportError answers 0 once the alert is gone).
static void ShowFailure(error e) {
    if (e != eNoError) {
        (void)ReportError(e);
    }
}

void CWindowBase::OnKeyDown(uint32_t key) {
    const CWindowBase* const self = this;
    CWidget* taken = nullptr;
    if (m_pBackdrop) {
        ShowFailure(m_pBackdrop->PassKeyDown(taken, key));
        if (!IsLive(self)) {
            return; // the key quit the application: this window is gone
        }
    }
    if (taken) {
        return;
    }
    CAppBase* app = CAppBase::m_pApp;
    // Escape never quits here: quitting is Ctrl+Q, Alt+F4, the close box
    // or the desktop's quit, each asking about a modified painting first.
    switch (key) {
    // The display-mode keys refuse only a screen that has no size (6): the
    // window then stays as it is, which is all the key can do.
    case kKeyCodeF7:
        (void)SetDisplayMode(5000, 5000, 1);
        break;
    case kKeyCodeF8:
        (void)SetDisplayModeR(0.8f, 0.8f, 1);
        break;
    case kKeyCodeF11:
        if (app) {
            if (app->IsHeartbeatRunning()) {
                app->StopHeartbeat();
            } else {
                app->StartHeartbeat();
            }
        }
        break;
    default:
        break;
    }
}

void CWindowBase::OnKeyUp(uint32_t key) {
    CWidget* taken = nullptr;
    if (m_pBackdrop) {
        ShowFailure(m_pBackdrop->PassKeyUp(taken, key));
    }
}

void CWindowBase::OnTimer(uint32_t id) {
    CWidget* taken = nullptr;
    if (m_pBackdrop) {
        ShowFailure(m_pBackdrop->PassTimer(taken, id));
    }
}

// Hands a point event to one of the backdrop's entry points.
template <typename Pass> static void PassPoint(CWindowRoot* backdrop, gCPoint where, Pass pass) {
    if (!backdrop) {
        return;
    }
    CWidget* taken = nullptr;
    ShowFailure((backdrop->*pass)(taken, where));
}

void CWindowBase::OnLButtonDown(gCPoint where) {
    PassPoint(m_pBackdrop.get(), where, &CWindowRoot::PassButtonDownL);
}
void CWindowBase::OnLButtonUp(gCPoint where) {
    PassPoint(m_pBackdrop.get(), where, &CWindowRoot::PassButtonUpL);
}
void CWindowBase::OnMButtonDown(gCPoint where) {
    PassPoint(m_pBackdrop.get(), where, &CWindowRoot::PassButtonDownM);
}
void CWindowBase::OnMButtonUp(gCPoint where) {
    PassPoint(m_pBackdrop.get(), where, &CWindowRoot::PassButtonUpM);
}
void CWindowBase::OnRButtonDown(gCPoint where) {
    PassPoint(m_pBackdrop.get(), where, &CWindowRoot::PassButtonDownR);
}
void CWindowBase::OnRButtonUp(gCPoint where) {
    PassPoint(m_pBackdrop.get(), where, &CWindowRoot::PassButtonUpR);
}
void CWindowBase::OnMouseMove(gCPoint where) {
    PassPoint(m_pBackdrop.get(), where, &CWindowRoot::PassMouseMove);
}

void CWindowBase::OnMouseWheel(int32_t delta, gCPoint where) {
    if (m_pBackdrop) {
        CWidget* taken = nullptr;
        ShowFailure(m_pBackdrop->PassMouseWheel(taken, delta, where));
    }
}

void CWindowBase::OnSize(int32_t width, int32_t height) {
    if (!m_pBackdrop || width < 8) {
        return;
    }
    if (width == m_pBackdrop->Width() && height == m_pBackdrop->Height()) {
        return;
    }
    if (error e = m_pBackdrop->SetSize(width, height, 1)) {
        (void)ReportError(e, "Window SetSize failed. Offscreen buffer error.");
        if (CAppBase::m_pApp) {
            CAppBase::m_pApp->DoSystemQuit();
        }
    }
}

void CWindowBase::ReleaseSystem() {
    if (m_pBackdrop) {
        m_pBackdrop->BackdropClosing();
        auto* target = dynamic_cast<gCCmdTarget*>(m_pBackdrop.get());
        if (target && target == gCCmdTarget::UIModule()) {
            gCCmdTarget::SetUIModule(nullptr);
        }
        m_pBackdrop.reset(); // handed back through its release
    }
    if (m_pThis == this) {
        m_pThis = nullptr;
    }
}
