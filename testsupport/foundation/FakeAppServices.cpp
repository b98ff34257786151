#include "testsupport/foundation/FakeAppServices.h"

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
    gStringFromUtf8(root, m_ApplicationRoot);
}
