#pragma once
// The application object as the platform tests drive it: it records the
// broadcasts and heartbeats that reach it, with a main window and backdrop
// that record what the application asks of them, and an audio manager that
// counts its clean-ups.

#include <cstdint>
#include <memory>
#include <vector>

#include "App.h"
#include "MacWindow.h"

class CRecordingBackdrop : public CBackdrop {
public:
    void UpdateCursorPos() override { ++m_nCursorUpdates; }
    int32_t PassMessage(uint32_t, void*, uintptr_t) override {
        ++m_nMessages;
        return m_nAnswer;
    }
    int32_t m_nCursorUpdates = 0;
    int32_t m_nMessages = 0;
    int32_t m_nAnswer = 0;
};

class CRecordingWindow : public CAppWindow {
public:
    error Heartbeat() override {
        ++m_nHeartbeats;
        return m_nHeartbeatResult;
    }
    void OnPaint() override { ++m_nPaints; }
    int32_t m_nHeartbeats = 0;
    int32_t m_nPaints = 0;
    error m_nHeartbeatResult = eNoError;
};

class CRecordingAudioManager : public CPlatformAudioManager {
public:
    explicit CRecordingAudioManager(int32_t* collections) : m_pCollections(collections) {}
    void GarbageCollection() override { ++*m_pCollections; }

private:
    int32_t* m_pCollections;
};

class CTestApp : public CApp {
public:
    CTestApp() { SetAudioManager(std::make_unique<CRecordingAudioManager>(&m_nCollections)); }

    int32_t Message(uint32_t id, void*, uintptr_t) override {
        m_aMessages.push_back(id);
        return m_nMessageAnswer;
    }
    error Heartbeat() override {
        ++m_nHeartbeats;
        return m_nHeartbeatResult;
    }

    // Makes a recording window with a recording backdrop the main window.
    CRecordingWindow* OpenWindow() {
        auto window = std::make_unique<CRecordingWindow>();
        m_pBackdrop = new CRecordingBackdrop; // owned by the window
        window->AttachBackdrop(m_pBackdrop);
        m_pMainWnd = window.release(); // owned by the application
        return static_cast<CRecordingWindow*>(m_pMainWnd);
    }

    void SetResFolder(const char16_t* folder) { m_ResFolder.CopyString(folder); }
    void SetAppRoot(const gCString& root) { m_AppRoot = root; }

    std::vector<uint32_t> m_aMessages;
    int32_t m_nMessageAnswer = 0;
    int32_t m_nHeartbeats = 0;
    error m_nHeartbeatResult = eNoError;
    int32_t m_nCollections = 0;
    CRecordingBackdrop* m_pBackdrop = nullptr;
};

// Input records as SDL would give them.
inline CInputEvent PaintRecord() {
    CInputEvent e;
    e.kind = EInputKind::ePaint;
    return e;
}

inline CInputEvent MouseRecord(EInputKind kind, int32_t button, uint32_t modifiers = 0,
                               gCPoint where = gCPoint(10, 20)) {
    CInputEvent e;
    e.kind = kind;
    e.button = button;
    e.modifiers = modifiers;
    e.point = where;
    return e;
}

inline CInputEvent KeyRecord(EInputKind kind, int32_t scancode, uint32_t modifiers) {
    CInputEvent e;
    e.kind = kind;
    e.scancode = scancode;
    e.modifiers = modifiers;
    return e;
}
