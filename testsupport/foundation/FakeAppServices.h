#pragma once
// A stand-in application object for tests: it records alerts, keeps the
// heartbeat and cursor flags with call counts, and hands out whatever
// files, index and table a test sets. It has no resource pools (the
// file layer's CFakeResourceServices adds real ones). Constructing one
// registers it; destroying it unregisters it.

#include <functional>
#include <string>
#include <vector>

#include "foundation/AppServices.h"

class CFakeAppServices : public CAppServices {
public:
    struct Alert {
        std::string headline;
        std::string text;
    };

    CFakeAppServices();
    ~CFakeAppServices() override;

    int32_t IsHeartbeatRunning() override { return m_fHeartbeat; }
    void StartHeartbeat() override;
    void StopHeartbeat() override;

    int32_t IsSystemCursorVisible() override { return m_fSystemCursor; }
    int32_t IsVantorCursorVisible() override { return m_fVantorCursor; }
    void HideCursor() override;
    void HideSystemCursor() override;
    void ShowSystemCursor() override;
    void ShowVantorCursor() override;

    void ShowAlert(std::string_view headline, std::string_view text) override;

    void GetApplicationRoot(gCString& root) override;
    uint32_t GetMacType() override { return m_nMacType; }

    gCFile* GetResFile() override { return m_pResFile; }
    gCResourceIndex* GetResIndex() override { return m_pResIndex; }
    gCFile* GetFontFile() override { return m_pFontFile; }
    gCResourceIndex* GetFontIndex() override { return m_pFontIndex; }
    gCStringTable* GetStringTable() override { return m_pStringTable; }

    CResourcePool* GetResourcePool(int32_t) override { return nullptr; }
    gCResourceObject* FindResourceByID(int32_t, int32_t) override { return nullptr; }
    gCResourceObject* FindResourceByName(int32_t, const gCString&) override { return nullptr; }

    int32_t LButtonDown() const override { return m_fLButton; }
    int32_t RButtonDown() const override { return m_fRButton; }
    int32_t MButtonDown() const override { return m_fMButton; }
    int32_t LButtonStillDown() const override { return m_fLButton; }
    int32_t RButtonStillDown() const override { return m_fRButton; }
    int32_t MButtonStillDown() const override { return m_fMButton; }
    int32_t AnyButtonDown() const override { return m_fLButton | m_fRButton | m_fMButton; }
    int32_t AnyButtonStillDown() const override { return AnyButtonDown(); }
    uint32_t IsKeyDown(uint32_t code) const override;
    uint32_t IsShiftKeyDown() const override { return IsKeyDown(kKeyShift); }
    uint32_t IsCtrlKeyDown() const override { return IsKeyDown(kKeyCommand); }
    uint32_t IsAltKeyDown() const override { return IsKeyDown(kKeyOption); }
    uint32_t IsMenuKeyDown() const override { return IsKeyDown(kKeyControl); }
    gCPoint CursorLoc() const override { return m_CursorLoc; }
    // The release point is the cursor's unless a test sets one apart.
    gCPoint CursorLocAtRelease() const override {
        return m_fReleaseApart ? m_ReleaseLoc : m_CursorLoc;
    }
    uint32_t HandledButtonMilliseconds() const override { return m_nButtonMilliseconds; }
    error AppHeartbeat() override;
    int32_t PumpMessage() override;
    void WaitForInput() override;
    CTabletSource* GetTabletSource() override { return m_pTablet; }
    // The clipboard in memory; m_nClipboardError, when not 0, fails both
    // and leaves the clipboard as it was.
    error OSCopy(const gCString& text) override;
    error OSPaste(gCString& text) override;
    // Recorded, answered with m_nMessageAnswer.
    int32_t PassMessage(uint32_t id, void* data, uintptr_t extra) override;
    // Recorded, answered with m_nDataAnswer.
    int32_t ProcessData(uint32_t id, const void* sender, int64_t value, int32_t set) override;

    // State a test reads or sets.
    int32_t m_fHeartbeat = 1;
    int32_t m_fSystemCursor = 0;
    int32_t m_fVantorCursor = 1;
    int32_t m_nStartHeartbeatCalls = 0;
    int32_t m_nStopHeartbeatCalls = 0;
    int32_t m_nShowSystemCursorCalls = 0;
    int32_t m_nHideSystemCursorCalls = 0;
    int32_t m_nShowVantorCursorCalls = 0;
    int32_t m_nHideCursorCalls = 0;
    std::vector<Alert> m_Alerts;

    // Input as a test scripts it: buttons held, modifier bits, other keys
    // held (by their IsKeyDown codes), the cursor on the desktop and the
    // tablet. m_OnPump runs on every AppHeartbeat, PumpMessage and
    // WaitForInput, where a
    // modal loop would see new input (a test moves the pen or lets the
    // button go there).
    int32_t m_fLButton = 0;
    int32_t m_fRButton = 0;
    int32_t m_fMButton = 0;
    uint32_t m_nModifiers = 0;
    // When the button record being handled happened (0: not known).
    uint32_t m_nButtonMilliseconds = 0;
    std::vector<uint32_t> m_aKeysDown;
    gCPoint m_CursorLoc;
    int32_t m_fReleaseApart = 0;
    gCPoint m_ReleaseLoc;
    CTabletSource* m_pTablet = nullptr;
    std::function<void()> m_OnPump;
    int32_t m_nAppHeartbeats = 0;
    int32_t m_nPumps = 0;
    int32_t m_nInputWaits = 0;

    // The clipboard (UTF-8), whether it holds text, and its failure.
    std::string m_Clipboard;
    int32_t m_fClipboardHasText = 0;
    error m_nClipboardError = eNoError;
    int32_t m_nCopies = 0;

    // Broadcasts and data-channel calls, in order.
    struct Message {
        uint32_t id;
        const void* data;
        uintptr_t extra;
        bool operator==(const Message&) const = default;
    };
    std::vector<Message> m_Messages;
    int32_t m_nMessageAnswer = 0;
    struct Data {
        uint32_t id;
        const void* sender;
        int64_t value;
        int32_t set;
        bool operator==(const Data&) const = default;
    };
    std::vector<Data> m_DataCalls;
    int32_t m_nDataAnswer = 0;

    // The application folder as a colon path ending in ':' (UTF-8).
    std::string m_ApplicationRoot;
    uint32_t m_nMacType = 0x44424C4E; // 'DBLN'
    gCFile* m_pResFile = nullptr;
    gCResourceIndex* m_pResIndex = nullptr;
    gCFile* m_pFontFile = nullptr;
    gCResourceIndex* m_pFontIndex = nullptr;
    gCStringTable* m_pStringTable = nullptr;

private:
    CAppServices* m_pPrevious = nullptr;
};
