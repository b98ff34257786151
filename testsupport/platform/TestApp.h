#pragma once
// The application object as the platform tests drive it: it records the
// broadcasts and heartbeats that reach it, with a main window and backdrop
// that record what the application asks of them, and an audio manager that
// counts its clean-ups.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "foundation/MessageIds.h"
#include "platform/App.h"
#include "platform/MacWindow.h"
#include "testsupport/platform/TestRoot.h"

// Records the events the window hands it, as "KeyDown 27" or
// "LDown 10,20"; takes keys when told to.
class CRecordingBackdrop : public CTestRoot {
public:
    void UpdateCursorPos() override { ++m_nCursorUpdates; }
    int32_t PassMessage(uint32_t, void*, uintptr_t) override {
        ++m_nMessages;
        return m_nAnswer;
    }
    error PassKeyDown(CWidget*& taken, uint32_t key) override { return Key("KeyDown", taken, key); }
    error PassKeyUp(CWidget*& taken, uint32_t key) override { return Key("KeyUp", taken, key); }
    error PassMouseMove(CWidget*&, gCPoint& p) override { return Point("Move", p); }
    error PassButtonDownL(CWidget*&, gCPoint& p) override { return Point("LDown", p); }
    error PassButtonUpL(CWidget*&, gCPoint& p) override { return Point("LUp", p); }
    error PassButtonDownM(CWidget*&, gCPoint& p) override { return Point("MDown", p); }
    error PassButtonUpM(CWidget*&, gCPoint& p) override { return Point("MUp", p); }
    error PassButtonDownR(CWidget*&, gCPoint& p) override { return Point("RDown", p); }
    error PassButtonUpR(CWidget*&, gCPoint& p) override { return Point("RUp", p); }
    error PassMouseWheel(CWidget*&, int32_t, gCPoint& p) override { return Point("Wheel", p); }
    error SetSize(int32_t width, int32_t height, int32_t flag) override {
        ++m_nSetSizes;
        return CTestRoot::SetSize(width, height, flag);
    }
    void PassRolloverTest() override { ++m_nRolloverTests; }
    error PassHeartbeat() override {
        ++m_nHeartbeats;
        return m_nHeartbeatResult;
    }
    void BackdropClosing() override {
        if (m_pClosed) {
            *m_pClosed = 1;
        }
    }

    int32_t m_nCursorUpdates = 0;
    int32_t m_nMessages = 0;
    int32_t m_nAnswer = 0;
    int32_t m_nSetSizes = 0;
    int32_t m_nRolloverTests = 0;
    int32_t m_nHeartbeats = 0;
    error m_nHeartbeatResult = eNoError;
    bool m_bTakeKeys = false;
    int32_t* m_pClosed = nullptr;
    // Called after each key and mouse event is recorded, while the
    // application still handles it.
    std::function<void()> m_OnEvent;
    std::vector<std::string> m_aEvents;

private:
    error Key(const char* what, CWidget*& taken, uint32_t key) {
        m_aEvents.push_back(std::string(what) + " " + std::to_string(int32_t(key)));
        if (m_bTakeKeys) {
            taken = reinterpret_cast<CWidget*>(this);
        }
        if (m_OnEvent) {
            m_OnEvent();
        }
        return eNoError;
    }
    error Point(const char* what, const gCPoint& p) {
        m_aEvents.push_back(std::string(what) + " " + std::to_string(p.x) + "," +
                            std::to_string(p.y));
        if (m_OnEvent) {
            m_OnEvent();
        }
        return eNoError;
    }
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

    int32_t Message(uint32_t id, void*, uintptr_t extra) override {
        m_aMessages.push_back(id);
        if (id == eMsgOpenDocument && extra) {
            m_aOpenedPaths.push_back(*reinterpret_cast<const gCString*>(extra));
        }
        return m_nMessageAnswer;
    }
    // Records the path; makes a window around a recording backdrop when
    // told to; fails with the result given.
    error Initialize(const gCString& path) override {
        m_aStartPaths.push_back(path);
        if (m_fMakeWindow) {
            m_pBackdrop = new CRecordingBackdrop;
            if (error e = MakeWindow(m_pBackdrop, -1, 0, gCRPoint(320.0f, 240.0f),
                                     gCRPoint(10.0f, 10.0f), "Test", 1)) {
                return e;
            }
        }
        return m_nInitResult;
    }
    error OnIdle(uint32_t unused) override {
        ++m_nIdleDepth;
        m_nMaxIdleDepth = m_nIdleDepth > m_nMaxIdleDepth ? m_nIdleDepth : m_nMaxIdleDepth;
        ++m_nIdles;
        if (m_pDuringIdle) {
            m_pDuringIdle();
        }
        const error e = CApp::OnIdle(unused);
        --m_nIdleDepth;
        return e;
    }
    int32_t PlatformMessage(const CInputEvent&) override { return m_nPlatformAnswer; }
    int32_t StartupState() const { return m_nStartupState; }
    error Heartbeat() override {
        ++m_nHeartbeats;
        return m_nHeartbeatResult;
    }

    // Makes a recording window with a recording backdrop the main window.
    CRecordingWindow* OpenWindow() {
        auto window = std::make_unique<CRecordingWindow>();
        m_pBackdrop = new CRecordingBackdrop; // owned by the window
        // A window's first root is taken as it is: always 0.
        (void)window->AttachBackdrop(m_pBackdrop);
        m_pMainWnd.reset(window.release()); // owned by the application
        return static_cast<CRecordingWindow*>(m_pMainWnd.get());
    }

    void SetResFolder(const char16_t* folder) { SetName(m_ResFolder, folder); }
    void SetAppRoot(const gCString& root) { m_AppRoot = root; }

    std::vector<uint32_t> m_aMessages;
    std::vector<gCString> m_aOpenedPaths;
    std::vector<gCString> m_aStartPaths;
    int32_t m_fMakeWindow = 0;
    error m_nInitResult = eNoError;
    int32_t m_nIdles = 0;
    int32_t m_nIdleDepth = 0;
    int32_t m_nMaxIdleDepth = 0;
    void (*m_pDuringIdle)() = nullptr;
    int32_t m_nPlatformAnswer = 0;
    int32_t m_nMessageAnswer = 0;
    int32_t m_nHeartbeats = 0;
    error m_nHeartbeatResult = eNoError;
    int32_t m_nCollections = 0;
    CRecordingBackdrop* m_pBackdrop = nullptr;
};

// Input records as the input layer makes them.
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
