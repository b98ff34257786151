#pragma once
// The application object over SDL. Input arrives as the toolkit's own
// records in the application's input queue (from SDL, or injected by
// tests); the button, key and pointer questions pump SDL into that queue and
// answer from the state it keeps.

#include "AppBase.h"
#include "InputQueue.h"

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
    gCPoint CursorLoc() const override;

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

    // A modal message box (also written to standard error); standard error
    // alone where no display can show one.
    void ShowAlert(std::string_view headline, std::string_view text) override;

    virtual int32_t MBarHidden() { return m_fMBarHidden; }
    virtual int32_t MBarWasHidden() { return m_fMBarWasHidden; }
    virtual void SetMBarWasHidden(int32_t hidden) { m_fMBarWasHidden = hidden; }

    // The application's input queue.
    CInputQueue& Input() { return m_Input; }
    // Takes in one input record as if it had come from SDL.
    void InjectInput(const CInputEvent& e) { m_Input.Inject(e); }

protected:
    // Gives each mouse record's sample to the tablet service.
    void StoreTabletSample(const CInputEvent& e);
    const CInputState& PumpedState() const;

    int32_t m_fMBarHidden = 0;
    int32_t m_fMBarWasHidden = 0;
    int32_t m_fInTimer = 0;
    mutable CInputQueue m_Input;
};
