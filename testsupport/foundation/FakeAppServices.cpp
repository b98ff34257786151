#include "testsupport/foundation/FakeAppServices.h"

#include <algorithm>

#include "foundation/Utf8.h"
#include "foundation/gCString.h"

CFakeAppServices::CFakeAppServices() : m_pPrevious(CAppServices::Get()) {
    CAppServices::Register(this);
}

CFakeAppServices::~CFakeAppServices() {
    CAppServices::Register(m_pPrevious);
}

void CFakeAppServices::StartHeartbeat() {
    ++m_nStartHeartbeatCalls;
    m_fHeartbeat = 1;
}

void CFakeAppServices::StopHeartbeat() {
    ++m_nStopHeartbeatCalls;
    m_fHeartbeat = 0;
}

void CFakeAppServices::HideCursor() {
    ++m_nHideCursorCalls;
    m_fSystemCursor = 0;
    m_fVantorCursor = 0;
}

void CFakeAppServices::HideSystemCursor() {
    ++m_nHideSystemCursorCalls;
    m_fSystemCursor = 0;
}

void CFakeAppServices::ShowSystemCursor() {
    ++m_nShowSystemCursorCalls;
    m_fSystemCursor = 1;
    // The drawn cursor is hidden whenever the system cursor shows.
    m_fVantorCursor = 0;
}

void CFakeAppServices::ShowVantorCursor() {
    ++m_nShowVantorCursorCalls;
    m_fVantorCursor = 1;
}

void CFakeAppServices::ShowAlert(std::string_view headline, std::string_view text) {
    m_Alerts.push_back({std::string(headline), std::string(text)});
}

void CFakeAppServices::GetApplicationRoot(gCString& root) {
    // The interface has no result: a root that cannot be made is the empty
    // root, as before any application exists, never a stale text.
    if (gStringFromUtf8(root, m_ApplicationRoot) != eNoError) {
        (void)root.Destroy(); // freeing cannot fail
    }
}

uint32_t CFakeAppServices::IsKeyDown(uint32_t code) const {
    if (const uint32_t bit = ModifierBitForKey(code)) {
        return m_nModifiers & bit;
    }
    return std::find(m_aKeysDown.begin(), m_aKeysDown.end(), code) != m_aKeysDown.end() ? 1 : 0;
}

error CFakeAppServices::AppHeartbeat() {
    ++m_nAppHeartbeats;
    if (m_OnPump) {
        m_OnPump();
    }
    return eNoError;
}

void CFakeAppServices::WaitForInput() {
    ++m_nInputWaits;
    if (m_OnPump) {
        m_OnPump();
    }
}

int32_t CFakeAppServices::PumpMessage() {
    ++m_nPumps;
    if (m_OnPump) {
        m_OnPump();
    }
    return 0;
}

error CFakeAppServices::OSCopy(const gCString& text) {
    if (m_nClipboardError != eNoError) {
        return m_nClipboardError;
    }
    ++m_nCopies;
    m_Clipboard = gStringToUtf8(text);
    m_fClipboardHasText = 1;
    return eNoError;
}

error CFakeAppServices::OSPaste(gCString& text) {
    if (m_nClipboardError != eNoError) {
        return m_nClipboardError;
    }
    if (!m_fClipboardHasText) {
        return text.Destroy(); // nothing held pastes as empty
    }
    return gStringFromUtf8(text, m_Clipboard);
}

int32_t CFakeAppServices::PassMessage(uint32_t id, void* data, uintptr_t extra) {
    m_Messages.push_back({id, data, extra});
    return m_nMessageAnswer;
}

int32_t CFakeAppServices::ProcessData(uint32_t id, const void* sender, int64_t value, int32_t set) {
    m_DataCalls.push_back({id, sender, value, set});
    return m_nDataAnswer;
}
