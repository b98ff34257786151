// The application object's part of the toolkit's data-pipe sessions: the
// list of sessions sorted by id, the listeners, connecting, listening,
// sending, and the heartbeat that drives them. This program never starts
// networking itself.

#include <memory>

#include "platform/AppBase.h"
#include "platform/TCPAppSocket.h"

namespace {

// The index of the first session whose id is at least id, or the count.
int32_t FirstFrom(const gCArray<CTCPAppSocket*>& sessions, int32_t id) {
    int32_t i = 0;
    while (i < sessions.GetSize() && sessions[i]->GetUniqueID() < id) {
        ++i;
    }
    return i;
}

CTCPAppSocket* FindSession(const gCArray<CTCPAppSocket*>& sessions, int32_t id) {
    const int32_t i = FirstFrom(sessions, id);
    return i < sessions.GetSize() && sessions[i]->GetUniqueID() == id ? sessions[i] : nullptr;
}

void RemoveSession(gCArray<CTCPAppSocket*>& sessions, CTCPAppSocket* session) {
    for (int32_t i = 0; i < sessions.GetSize(); ++i) {
        if (sessions[i] == session) {
            sessions.RemoveAt(i);
            return;
        }
    }
}

// Deletes the closed ones; the list closes up.
void DeleteClosed(gCArray<CTCPAppSocket*>& list) {
    for (int32_t i = 0; i < list.GetSize();) {
        if (list[i]->IsClosed()) {
            delete list[i];
            list.RemoveAt(i);
        } else {
            ++i;
        }
    }
}

void DeleteAll(gCArray<CTCPAppSocket*>& list) {
    for (CTCPAppSocket* s : list) {
        delete s;
    }
    list.RemoveAll();
}

error AppendInfo(gCArray<CNetInfo>& conns, const gCArray<CTCPAppSocket*>& sessions, int32_t which) {
    for (const CTCPAppSocket* s : sessions) {
        if (which < 0 || s->IsInward() == which) {
            (void)conns.Add(s->Info()); // one that cannot be added is skipped
        }
    }
    return eNoError;
}

} // namespace

void CAppBase::CheckAppNetworkingStarted() {
    m_fNetworkingUsed = 1;
    if (!m_fNetworkingInitialised) {
        (void)CTCPSocket::InitialiseNetworking(); // nothing to start: always 0
        m_fNetworkingInitialised = 1;
    }
}

CTCPAppSocket* CAppBase::NewSocket() {
    std::unique_ptr<CTCPAppSocket> session(new (std::nothrow) CTCPAppSocket);
    if (!session || GiveSocketUniqueID(session.get()) != eNoError) {
        return nullptr;
    }
    return session.release(); // owned by the session list
}

error CAppBase::GiveSocketUniqueID(CTCPAppSocket* session) {
    int32_t id = 0;
    while (id < m_aSessions.GetSize() && m_aSessions[id]->GetUniqueID() == id) {
        ++id;
    }
    if (error e = m_aSessions.InsertAt(id, session)) {
        return e;
    }
    session->SetUniqueID(id);
    return eNoError;
}

// A new session started by start(session); one that cannot start is
// removed at once.
template <typename Start> error CAppBase::StartSession(int32_t& id, Start start) {
    id = -1;
    CheckAppNetworkingStarted();
    CTCPAppSocket* session = NewSocket();
    if (!session) {
        return eCreateFailed;
    }
    if (error e = start(*session)) {
        RemoveSession(m_aSessions, session);
        delete session;
        return e;
    }
    id = session->GetUniqueID();
    return eNoError;
}

error CAppBase::NetConnect(int32_t& id, const gCString& address) {
    return StartSession(id, [&](CTCPAppSocket& s) { return s.InitialiseNewSession(address); });
}

error CAppBase::NetConnect(int32_t& id, uint32_t address, uint16_t port) {
    return StartSession(id,
                        [&](CTCPAppSocket& s) { return s.InitialiseNewSession(address, port); });
}

error CAppBase::NetDisconnect(int32_t id) {
    CTCPAppSocket* session = FindSession(m_aSessions, id);
    if (!session) {
        return eGenericFailure;
    }
    session->MarkClosed();
    return eNoError;
}

error CAppBase::NetListen(uint16_t port) {
    CheckAppNetworkingStarted();
    (void)NetListenStop(port); // none on that port is fine
    std::unique_ptr<CTCPAppSocket> listener(new (std::nothrow) CTCPAppSocket);
    if (!listener) {
        return eCreateFailed;
    }
    if (error e = listener->Initialise(port)) {
        return e;
    }
    if (error e = listener->BindSocket(port, 0)) {
        return e;
    }
    listener->SetPort(listener->GetDefaultPort());
    if (error e = listener->ListenToSocket()) {
        return e;
    }
    if (error e = m_aListeners.Add(listener.get())) {
        return e;
    }
    (void)listener.release(); // owned by the listener list
    return eNoError;
}

error CAppBase::NetListenStop(uint16_t port) {
    for (CTCPAppSocket* listener : m_aListeners) {
        if (listener->GetPort() == port && !listener->IsClosed()) {
            (void)listener->CloseSocket(); // always 0
            listener->MarkClosed();
            listener->SetPort(0);
            return eNoError;
        }
    }
    return eGenericFailure;
}

error CAppBase::NetMessageSend(int32_t id, uint32_t messageId,
                               CMemBlockT<unsigned char>* payload) {
    CTCPAppSocket* session = FindSession(m_aSessions, id);
    return session ? session->SendMessage(messageId, payload) : eBadParameter;
}

error CAppBase::NetGetConns(gCArray<CNetInfo>& conns) {
    return AppendInfo(conns, m_aSessions, -1);
}

error CAppBase::NetGetInwardConns(gCArray<CNetInfo>& conns) {
    return AppendInfo(conns, m_aSessions, 1);
}

error CAppBase::NetGetOutwardConns(gCArray<CNetInfo>& conns) {
    return AppendInfo(conns, m_aSessions, 0);
}

error CAppBase::AddIncomingConnSocket(CTCPAppSocket* accepted) {
    std::unique_ptr<CTCPAppSocket> session(accepted);
    if (error e = GiveSocketUniqueID(session.get())) {
        return e; // not taken: closed at once
    }
    CTCPAppSocket* taken = session.release(); // owned by the session list
    CNetInfo info = taken->Info();
    const error answer = IncomingConnection(&info);
    if (answer == eGenericFailure) {
        taken->MarkClosed(); // refused: deleted by the heartbeat
    }
    return answer;
}

error CAppBase::AppNetworkingHeartbeat() {
    // Hooks may connect, listen, disconnect or send while the lists are
    // walked: new listeners are appended, new sessions inserted by id, and
    // nothing is deleted before the walk ends, so the walk goes by index
    // for listeners and by id for sessions. A session's own failure closes
    // it; its error is its own.
    for (int32_t i = 0; i < m_aListeners.GetSize(); ++i) {
        (void)m_aListeners[i]->Process();
    }
    for (int32_t next = 0;;) {
        const int32_t i = FirstFrom(m_aSessions, next);
        if (i >= m_aSessions.GetSize()) {
            break;
        }
        CTCPAppSocket* session = m_aSessions[i];
        next = session->GetUniqueID() + 1;
        (void)session->Process();
    }
    DeleteClosed(m_aListeners);
    DeleteClosed(m_aSessions);
    return eNoError;
}

void CAppBase::ShutDownNetworking() {
    DeleteAll(m_aListeners);
    DeleteAll(m_aSessions);
    if (m_fNetworkingInitialised) {
        (void)CTCPSocket::CloseDownNetworking(); // nothing to stop: always 0
    }
    m_fNetworkingInitialised = 0;
    m_fNetworkingUsed = 0;
}
