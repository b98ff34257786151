#pragma once
// The application object over SDL. Input arrives as the toolkit's own
// records in the application's input queue (from SDL, or injected by
// tests); the button, key and pointer questions pump SDL into that queue and
// answer from the state it keeps.

#include "platform/AppBase.h"
#include <memory>
#include <string>

#include "platform/InputEvent.h"

class CInputQueue;
class CInputState;
class CMacWindow;

class CAppMac : public CAppBase {
public:
    CAppMac();
    ~CAppMac() override;

    void AppClosing() override {}
    void DoSystemQuit() override;

    int32_t LButtonDown() const override;
    int32_t RButtonDown() const override;
    int32_t MButtonDown() const override { return 0; }
    int32_t LButtonStillDown() const override;
    int32_t RButtonStillDown() const override;
    int32_t MButtonStillDown() const override { return 0; }
    int32_t AnyButtonDown() const override;
    int32_t AnyButtonStillDown() const override;
    int32_t ButtonDownsInQueue() const override;
    uint32_t IsKeyDown(uint32_t code) const override;
    uint32_t IsShiftKeyDown() const override;
    uint32_t IsCtrlKeyDown() const override;
    uint32_t IsAltKeyDown() const override;
    uint32_t IsMenuKeyDown() const override;
    uint32_t IsKeyDownAtRelease(uint32_t code) const override;
    uint32_t HandledButtonMilliseconds() const override;
    // The pointer on the desktop: its place in the window plus the content
    // area's top-left.
    gCPoint CursorLoc() const override;
    gCPoint CursorLocAtRelease() const override;

    void HideSystemCursor() override;
    void ShowSystemCursor() override;
    error SetCursorLoc(gCPoint) override { return eNotImplemented; }
    // Shows or hides the system cursor; calls do not nest.
    virtual void LowLevelCursorVisible(int32_t show);

    int32_t PaintMessageQueued() override;

    error LocalMachineString(const gCString&, const gCString&, gCString&) override;
    error LocalMachineUint32(const gCString&, const gCString&, uint32_t&) override;
    error SetLocalMachineString(const gCString&, const gCString&, const gCString&) override;
    error SetLocalMachineUint32(const gCString&, const gCString&, uint32_t) override;
    error CurrentUserString(const gCString&, const gCString&, gCString&) override;
    error CurrentUserUint32(const gCString&, const gCString&, uint32_t&) override;
    error SetCurrentUserString(const gCString&, const gCString&, const gCString&) override;
    error SetCurrentUserUint32(const gCString&, const gCString&, uint32_t) override;

    // Every alert is written to standard error, then shown and answered
    // before the caller goes on: SDL's message box, else the dialog program
    // (zenity), else standard error alone; only standard error where there
    // is no display to show it on.
    void ShowAlert(std::string_view headline, std::string_view text) override;

    // The event loop. Main is the process's entry: it starts SDL, starts
    // the application with the first command-line argument as the document
    // to open, runs the loop until the application quits and returns 0; a
    // start-up that fails has shown its alert and returns non-zero.
    static int Main(int argc, char** argv);
    // Runs the loop until the application quits, then AppClosing; 0.
    virtual error Run();
    int32_t PumpMessage() override;
    // Waits up to kInputWaitMs for the next event when none is queued.
    void WaitForInput() override;
    static constexpr int32_t kInputWaitMs = 10;
    // One beat of the 3 ms heartbeat: the idle tick, unless one is running.
    void TimerTick();
    // Start-up: services, resource file, the application's Initialize.
    virtual error MacMain(const gCString& path);
    // The open-document event: the path of the first document (empty when
    // it cannot be verified) starts the application, or is broadcast as
    // eMsgOpenDocument once start-up has begun. A start document that
    // cannot be had is named in an alert once the application runs.
    void OpenDocuments(int32_t count, const char* const* posixPaths);
    // Offered every record before the window sees it: 2 swallows it, any
    // other non-zero value keeps it from the window.
    virtual int32_t PlatformMessage(const CInputEvent&) { return 0; }

    // The window collapsed or back; 0.
    virtual error Hide();
    virtual error Show();
    // Clipboard text: 5 when it cannot be put; no text pastes as empty.
    error OSCopy(const gCString& text) override;
    error OSPaste(gCString& text) override;
    virtual int32_t HideMBar();
    virtual int32_t ShowMBar();
    virtual int32_t ToggleMBar();
    virtual int32_t IsFrontProcess();

    virtual int32_t MBarHidden() { return m_fMBarHidden; }
    virtual int32_t MBarWasHidden() { return m_fMBarWasHidden; }
    virtual void SetMBarWasHidden(int32_t hidden) { m_fMBarWasHidden = hidden; }

    // The application's input queue (the platform's own tests reach into
    // it).
    CInputQueue& Input() { return *m_pInput; }
    // Takes in one input record as if it had come from SDL.
    void InjectInput(const CInputEvent& e);
    // Takes in a key with its final code, as the input layer decodes it.
    void InjectKey(uint32_t code, bool down, uint32_t modifiers);
    // Takes in typed text as the desktop would send it.
    void InjectText(const std::string& utf8);
    // Drops every waiting input record.
    void ClearInput();

    // The document path of a POSIX path: its full colon path when the file
    // can be opened, else empty.
    static gCString DocumentPath(const char* posixPath);
    // While a file dialog runs: repaint, note a quit, drop all input.
    static void ModalPump();
    // Once a dialog (a dialog program or a message box) has ended: the main
    // window is raised and takes the keyboard focus back.
    static void DialogEnded();
    // Whether a record is the quit key, Ctrl+Q: the application menu's
    // Quit, taken before the window sees the key.
    static bool IsQuitKey(const CInputEvent& e);

protected:
    // The alert's ways to the user, in the order ShowAlert tries them.
    // Whether a display shows dialogs: a real video driver (or, before SDL
    // starts, a display to open).
    virtual bool CanShowDialogs();
    // SDL's message box; false when it could not be shown.
    virtual bool ShowMessageBox(const std::string& message);
    // The dialog program's alert (zenity --error, or --info for a plain
    // message); false when there is none or it could not run.
    bool RunAlertProgram(std::string_view headline, const std::string& message);

    // Runs the loop until the application quits.
    void RunEventLoop();
    // One record to the application, then the window.
    void DispatchRecord(CInputEvent& e);
    // Fires the heartbeat when its time has come.
    void HeartbeatIfDue();
    // Waits for an event until the next heartbeat is due.
    void WaitForEvents();
    CMacWindow* MainWindow() const;
    // Gives each mouse record's sample to the tablet service.
    void StoreTabletSample(const CInputEvent& e);
    const CInputState& PumpedState() const;

    int32_t m_fMBarHidden = 0;
    int32_t m_fMBarWasHidden = 0;
    int32_t m_fInTimer = 0;
    // A quit asked for while a file dialog ran, acted on afterwards.
    int32_t m_fQuitPending = 0;
    uint64_t m_nNextBeat = 0;
    // The key or mouse record being handled, while one is: the modifier
    // queries answer what came with it, not what the queue has taken in
    // since (a chord sent at once arrives whole before its key is handled).
    const CInputEvent* m_pHandledRecord = nullptr;
    std::unique_ptr<CInputQueue> m_pInput;
};
