#include "platform/AppBase.h"

#include <unistd.h>

#include <climits>
#include <new>
#include <string>

#include "FileIO/VolumeTable.h"
#include "foundation/Utf8.h"
#include "foundation/gCMemory.h"
#include "platform/FontEngine.h"
#include "platform/TabletServices.h"
#include "platform/WindowBase.h"

gCString gApplicationFolder() {
    gCString root;
    char buffer[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n <= 0) {
        return root;
    }
    std::string path(buffer, size_t(n));
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return root;
    }
    path.resize(slash == 0 ? 1 : slash);
    std::u16string colon;
    if (gCVolumeTable::PosixToColon(path, colon) != eNoError) {
        return root;
    }
    if (colon.empty() || colon.back() != u':') {
        colon.push_back(u':');
    }
    if (root.CopyStringFromBuffer(colon.data(), int32_t(colon.size())) != eNoError) {
        return gCString();
    }
    return root;
}

void CAppBase::SetName(gCString& name, const char16_t* text) {
    if (name.CopyString(text) != eNoError) {
        throw std::bad_alloc();
    }
}

void CAppBase::MainWindowEnd::operator()(CWindowBase* window) const {
    window->DestroyWindow();
}

CAppBase::CAppBase()
    : m_pResources(std::make_unique<SResourceFiles>()),
      m_pAudioManager(std::make_unique<CPlatformAudioManager>()) {
    SetName(m_ResFolder, u"res");
    SetName(m_ResFileName, u"system.vrf");
    SetName(m_StringFileName, u"system.vsf");
    m_pApp = this;
    CAppServices::Register(this);
    gStartFontEngine(); // and the text renderer's gamma tables
    m_AppRoot = gApplicationFolder();
}

CAppBase::~CAppBase() {
    m_pAudioManager->AbortAll();
    EmptyResources();
    gStopFontEngine();
    ClearResourceIndexes();
    m_pTabletServices.reset();
    if (m_fNetworkingUsed) {
        ShutDownNetworking();
    }
    m_aObjectFactoryList.RemoveAll();
    if (CAppServices::Get() == this) {
        CAppServices::Register(nullptr);
    }
    if (m_pApp == this) {
        m_pApp = nullptr;
    }
    // The platform's application object ends its window while it still is
    // one; a window left here ends without an application to ask.
    m_pMainWnd.reset();
}

void CAppBase::TabletDeleter::operator()(CTabletServices* p) const {
    p->~CTabletServices();
    gCMemory::Free(p);
}

error CAppBase::InitServices() {
    if (m_pTabletServices) {
        return eNoError;
    }
    void* memory = gCMemory::Alloc(sizeof(CTabletServices));
    if (!memory) {
        return eOutOfMemory;
    }
    m_pTabletServices.reset(new (memory) CTabletServices());
    return m_pTabletServices->SetupServices(1);
}

CTabletSource* CAppBase::GetTabletSource() {
    return m_pTabletServices.get();
}

CWindowRoot* CAppBase::Backdrop() const {
    if (!m_pMainWnd || !CWindowBase::m_pThis) {
        return nullptr;
    }
    return CWindowBase::m_pThis->GetBackdrop();
}

void CAppBase::HideCursor() {
    HideSystemCursor();
    HideVantorCursor();
}

void CAppBase::HideVantorCursor() {
    if (CWindowRoot* backdrop = Backdrop()) {
        backdrop->HideCursor();
    }
}

void CAppBase::ShowVantorCursor() {
    if (CWindowRoot* backdrop = Backdrop()) {
        HideSystemCursor();
        backdrop->ShowCursor();
    }
}

int32_t CAppBase::IsVantorCursorVisible() {
    CWindowRoot* backdrop = Backdrop();
    return backdrop && backdrop->IsCursorVisible() && !m_fSysCursorVisible ? 1 : 0;
}

void CAppBase::CursorHeartbeat() {
    if (!m_pMainWnd || !m_fCursorHeart) {
        return;
    }
    if (CWindowRoot* backdrop = m_pMainWnd->GetBackdrop()) {
        backdrop->UpdateCursorPos();
    }
}

void CAppBase::DoSystemCursorTemp() {
    if (m_fSysCursorTemp) {
        return;
    }
    m_fSysCursorWasVisible = m_fSysCursorVisible;
    m_fVantorCursorWasVisible = IsVantorCursorVisible();
    m_fSysCursorTemp = 1;
    if (!m_fSysCursorVisible) {
        ShowSystemCursor();
    }
}

void CAppBase::EndSystemCursorTemp() {
    if (!m_fSysCursorTemp) {
        return;
    }
    m_fSysCursorTemp = 0;
    if (m_fSysCursorWasVisible) {
        ShowSystemCursor();
    } else if (m_fVantorCursorWasVisible) {
        ShowVantorCursor();
    }
}

error CAppBase::OnIdle(uint32_t) {
    CursorHeartbeat();
    m_pAudioManager->Idle();
    if ((++m_nIdleTicks & 0xFFu) == 0) {
        m_pAudioManager->GarbageCollection();
    }
    if (PaintMessageQueued() && m_pMainWnd) {
        m_pMainWnd->OnPaint();
    }
    if (m_fClosing) {
        return eNoError;
    }
    if (m_fNetworkingUsed) {
        // A session that fails is closed by the networking heartbeat itself;
        // the idle tick goes on for the rest.
        (void)AppNetworkingHeartbeat();
    }
    if (!m_fHeartbeat) {
        return eHandled;
    }
    if (error e = Heartbeat()) {
        return e;
    }
    if (m_pMainWnd) {
        if (error e = m_pMainWnd->Heartbeat()) {
            return e;
        }
    }
    return eNoError;
}

error CAppBase::AppHeartbeat() {
    const error e = OnIdle(0);
    return e == eHandled ? eNoError : e;
}

int32_t CAppBase::PassMessage(uint32_t id, void* data, uintptr_t extra) {
    if (int32_t result = Message(id, data, extra)) {
        return result;
    }
    if (int32_t result = HubMessage(id, data, extra)) {
        return result;
    }
    if (CWindowRoot* backdrop = Backdrop()) {
        return backdrop->PassMessage(id, data, extra);
    }
    return 0;
}

error CAppBase::AddMessageTarget(gCCmdTarget* target) {
    return m_MessageHub.AddTarget(target);
}

void CAppBase::RemoveMessageTarget(gCCmdTarget* target) {
    m_MessageHub.RemoveTarget(target);
}

int32_t CAppBase::HubMessage(uint32_t id, void* data, uintptr_t extra) {
    return m_MessageHub.Message(id, data, extra);
}

error CAppBase::RegisterFactory(const char* className, FactoryProc creator) {
    // The entry is whole before the list takes it: never a nameless one.
    gCString name;
    if (error e = name.CopyString(className)) {
        return e;
    }
    const int32_t n = m_aObjectFactoryList.GetSize();
    if (error e = m_aObjectFactoryList.SetSize(n + 1, -1)) {
        return e;
    }
    m_aObjectFactoryList[n].name = std::move(name);
    m_aObjectFactoryList[n].creator = creator;
    return eNoError;
}
