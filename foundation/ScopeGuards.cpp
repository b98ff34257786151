#include "foundation/ScopeGuards.h"

#include "foundation/AppServices.h"

CStopHeartbeat::CStopHeartbeat() {
    if (CAppServices* app = CAppServices::Get()) {
        m_fWasRunning = app->IsHeartbeatRunning();
        app->StopHeartbeat();
    }
}

CStopHeartbeat::~CStopHeartbeat() {
    CAppServices* app = CAppServices::Get();
    if (app && m_fWasRunning) {
        app->StartHeartbeat();
    }
}

CHideSystemCursor::CHideSystemCursor() {
    if (CAppServices* app = CAppServices::Get()) {
        m_fWasVisible = app->IsSystemCursorVisible();
        app->HideSystemCursor();
    }
}

CHideSystemCursor::~CHideSystemCursor() {
    CAppServices* app = CAppServices::Get();
    if (app && m_fWasVisible) {
        app->ShowSystemCursor();
    }
}

CShowSystemCursor::CShowSystemCursor() : m_fWasVisible(1) {
    if (CAppServices* app = CAppServices::Get()) {
        m_fWasVisible = app->IsSystemCursorVisible();
        app->ShowSystemCursor();
    }
}

CShowSystemCursor::~CShowSystemCursor() {
    CAppServices* app = CAppServices::Get();
    if (app && !m_fWasVisible) {
        app->HideSystemCursor();
    }
}

CHideCursor::CHideCursor() {
    if (CAppServices* app = CAppServices::Get()) {
        m_fSystemWasVisible = app->IsSystemCursorVisible();
        m_fVantorWasVisible = app->IsVantorCursorVisible();
        app->HideCursor();
    }
}

CHideCursor::~CHideCursor() {
    CAppServices* app = CAppServices::Get();
    if (!app) {
        return;
    }
    if (m_fSystemWasVisible) {
        app->ShowSystemCursor();
    } else if (m_fVantorWasVisible) {
        app->ShowVantorCursor();
    }
}
