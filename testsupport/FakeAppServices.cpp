#include "FakeAppServices.h"

#include "Utf8.h"
#include "gCString.h"

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

CResourcePool* CFakeAppServices::GetResourcePool(int32_t type) {
    return type >= 0 && type < 6 ? &m_aResourcePools[type] : nullptr;
}

template <typename Find> gCResourceObject* CFakeAppServices::FindInPools(int32_t type, Find find) {
    if (type != -1) {
        CResourcePool* pool = GetResourcePool(type);
        return pool ? find(*pool) : nullptr;
    }
    // Every pool but the fonts'.
    for (int32_t i = 0; i < 5; ++i) {
        if (gCResourceObject* found = find(m_aResourcePools[i])) {
            return found;
        }
    }
    return nullptr;
}

gCResourceObject* CFakeAppServices::FindResourceByID(int32_t type, int32_t id) {
    return FindInPools(type, [id](CResourcePool& pool) { return pool.FindByID(uint32_t(id)); });
}

gCResourceObject* CFakeAppServices::FindResourceByName(int32_t type, const gCString& name) {
    return FindInPools(type, [&name](CResourcePool& pool) { return pool.FindByName(name); });
}
