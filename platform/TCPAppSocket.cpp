// The data-pipe session: its callbacks, sending queued messages in pieces
// and delivering the messages it receives.

#include "platform/TCPAppSocket.h"

#include <memory>

#include "foundation/ErrorReport.h"
#include "platform/AppBase.h"

namespace {

CTCPAppSocket* Session(void* user) {
    return static_cast<CTCPAppSocket*>(user);
}

// A whole frame's bytes never pass what a stream can hold.
constexpr uint64_t kLargestFrame = 0xFFFFFFFFull;
// The stream writes at most this many payload bytes at once.
constexpr uint32_t kLargestWrite = 1u << 30;

} // namespace

CTCPAppSocket::~CTCPAppSocket() {
    for (gCMemFile* message : m_aOutgoing) {
        delete message;
    }
    delete m_pCurrent;
}

CTCPSocket* CTCPAppSocket::NewInstance() {
    return new (std::nothrow) CTCPAppSocket;
}

error CTCPAppSocket::ChangeState(eSocketState state) {
    (void)CTCPSocket::ChangeState(state); // storing the state: always 0
    if (m_pStateHook) {
        if (error e = m_pStateHook(this, state)) {
            (void)ReportError(
                e, "Vantor data pipe session failed state change callback - "
                   "CTCPAppSocket::ChangeState"); // the report is the handling
            return e;
        }
    }
    return eNoError;
}

void CTCPAppSocket::SetupCallbacks() {
    m_Calls.open = &CreateCallBackProc;
    m_Calls.bind = &BindCallBackProc;
    m_Calls.accept = &AcceptCallBackProc;
    m_Calls.connRequest = &ConnRequestCallBackProc;
    m_Calls.connect = &ConnectCallBackProc;
    m_Calls.data = &ReadCallBackProc;
    m_Calls.send = &SendCallBackProc;
    m_Calls.release = &CloseCallBackProc;
    for (void*& user : m_aUser) {
        user = this;
    }
}

error CTCPAppSocket::Initialise(uint16_t port) {
    SetupCallbacks();
    return CreateSocket(port);
}

error CTCPAppSocket::InitialiseNewSession(uint32_t address, uint16_t port) {
    if (error e = Initialise(port)) {
        return e;
    }
    return Started(ConnectToSocket(address, port), port);
}

error CTCPAppSocket::InitialiseNewSession(const gCString& text) {
    gCString host;
    uint16_t port = 0;
    if (error e = SplitIPPort(text, &host, &port)) {
        return e;
    }
    if (error e = Initialise(port)) {
        return e;
    }
    return Started(ConnectToSocket(host, port), port);
}

error CTCPAppSocket::Started(error connecting, uint16_t port) {
    if (connecting) {
        return connecting;
    }
    m_PeerText = ConvertIPAddress(m_nRemoteAddress);
    m_nPort = port;
    return m_pStartedHook ? m_pStartedHook(this) : eNoError;
}

error CTCPAppSocket::SendMessage(uint32_t id, CMemBlockT<unsigned char>* payload) {
    const uint32_t length = payload ? payload->GetCount() : 0;
    if (uint64_t(length) + kFrameHeaderBytes > kLargestFrame) {
        return eBadParameter;
    }
    std::unique_ptr<gCMemFile> message(new (std::nothrow) gCMemFile);
    if (!message) {
        return eCreateFailed;
    }
    uint8_t header[kFrameHeaderBytes];
    WriteFrameHeader(header, id, length);
    if (error e = message->WriteBlock(header, int32_t(kFrameHeaderBytes))) {
        return e;
    }
    for (uint32_t at = 0; at < length;) {
        const uint32_t n = length - at < kLargestWrite ? length - at : kLargestWrite;
        if (error e = message->WriteBlock(payload->GetData() + at, int32_t(n))) {
            return e;
        }
        at += n;
    }
    (void)message->Rewind(); // the stream has its block: always 0
    if (error e = m_aOutgoing.Add(message.get())) {
        return e; // the message is dropped and the caller told
    }
    (void)message.release(); // owned by the queue
    return eNoError;
}

void CTCPAppSocket::LoadPiece() {
    if (m_nSendPending > 0 || !m_pCurrent) {
        return;
    }
    const int64_t remaining = m_pCurrent->Length() - m_pCurrent->GetFilePos();
    if (remaining <= 0) {
        m_fSending = 0;
        return;
    }
    const uint32_t n = remaining < kPieceBytes ? uint32_t(remaining) : kPieceBytes;
    if (!m_SendBuffer.Resize(n, 1)) {
        return; // tried again on the next heartbeat
    }
    if (m_pCurrent->ReadBlock(m_SendBuffer.GetData(), int32_t(n)) != eNoError) {
        // Within the message's length: cannot fail; the message ends.
        m_fSending = 0;
        return;
    }
    m_nSendPending = n;
}

error CTCPAppSocket::Process() {
    if (m_aOutgoing.GetSize() > 0 && !m_fSending) {
        delete m_pCurrent;
        m_pCurrent = m_aOutgoing[0];
        m_aOutgoing.RemoveAt(0);
        m_fSending = 1;
        LoadPiece();
    }
    // A callback's error (a refused frame, the application's answer to a
    // message) does not hold the sending up; it is returned afterwards.
    const error received = CTCPSocket::Process();
    if (m_fConnected && !m_fClosed && m_nSendPending > 0) {
        uint32_t count = m_nSendPending;
        const error e = SendData(&count, &m_SendBuffer);
        if (e == eNoError) {
            // What was not sent stays first in the buffer for the next try.
            m_nSendPending -= count;
            LoadPiece();
        } else if (e != eNetworkOperationFailed) {
            m_fClosed = 1;
            const error closed = m_pCloseHook ? m_pCloseHook(this, m_pCloseUser) : e;
            return received ? received : closed;
        }
    }
    return received;
}

error CTCPAppSocket::FrameReceived(uint32_t id, CASMemFile& payload) {
    CAppBase* app = CAppBase::m_pApp;
    CNetInfo info = Info();
    return app ? app->NetMessageReceived(&info, id, &payload) : eNoError;
}

void CTCPAppSocket::CallErrorHook(uint32_t code) {
    if (m_pErrorHook) {
        // What the session's user does about it is its own affair.
        (void)m_pErrorHook(this, code, m_pErrorUser);
    }
}

error CTCPAppSocket::Fail(eSocketState state, uint32_t code) {
    m_fClosed = 1;
    CloseDescriptor(); // no release follows: the state stays
    const error e = ChangeState(state);
    CallErrorHook(code);
    return e ? e : error(code);
}

error CTCPAppSocket::CreateCallBackProc(uint32_t, void*) {
    return eNoError;
}
error CTCPAppSocket::BindCallBackProc(uint32_t, void*) {
    return eNoError;
}
error CTCPAppSocket::ListenCallBackProc(uint32_t, void*) {
    return eNoError;
}
error CTCPAppSocket::SendCallBackProc(uint32_t, void*) {
    return eNoError;
}
error CTCPAppSocket::ErrorCallBackProc(uint32_t, void*) {
    return eNoError;
}

error CTCPAppSocket::ConnRequestCallBackProc(uint32_t, void* session) {
    return Session(session)->AcceptSocket();
}

error CTCPAppSocket::AcceptCallBackProc(CTCPSocket* accepted, void* listenerUser) {
    // Made by the listener's NewInstance: a session, owned from here on.
    std::unique_ptr<CTCPAppSocket> session(static_cast<CTCPAppSocket*>(accepted));
    const CTCPAppSocket* listener = Session(listenerUser);
    session->SetupCallbacks();
    session->m_pErrorHook = listener->m_pErrorHook;
    session->m_pErrorUser = listener->m_pErrorUser;
    session->m_pCloseHook = listener->m_pCloseHook;
    session->m_pCloseUser = listener->m_pCloseUser;
    session->m_pStartedHook = listener->m_pStartedHook;
    session->m_pStateHook = listener->m_pStateHook;
    session->m_pRawDataHook = listener->m_pRawDataHook;
    session->m_Reader.SetLimit(listener->m_Reader.GetLimit());
    session->m_fInward = 1;
    session->m_PeerText = ConvertIPAddress(session->m_nRemoteAddress);
    CAppBase* app = CAppBase::m_pApp;
    if (!app) {
        return eNoError; // nobody to take it: closed
    }
    return app->AddIncomingConnSocket(session.release());
}

error CTCPAppSocket::ConnectCallBackProc(uint32_t, int32_t result, void* user) {
    CTCPAppSocket* session = Session(user);
    if (session->m_eState == eSocketFailed) {
        session->m_fClosed = 1;
        session->CallErrorHook(uint32_t(result));
    }
    return eNoError;
}

error CTCPAppSocket::ReadCallBackProc(uint32_t, void* user) {
    CTCPAppSocket* session = Session(user);
    if (session->m_fClosed || session->m_Reader.Refused()) {
        return eNoError; // whatever still arrives is not read
    }
    if (session->m_ReadBuffer.GetCount() < kPieceBytes + 2 &&
        !session->m_ReadBuffer.Resize(kPieceBytes + 2, 1)) {
        return eOutOfMemory; // read on the next heartbeat
    }
    uint32_t count = kPieceBytes;
    if (error e = session->ReadData(&count, &session->m_ReadBuffer)) {
        return e;
    }
    if (count > kPieceBytes) {
        count = 0;
    }
    const char* bytes = session->m_ReadBuffer.GetData();
    if (session->m_pRawDataHook && count > 0) {
        session->m_pRawDataHook(session, bytes, count);
    }
    const error e =
        session->m_Reader.Feed(reinterpret_cast<const uint8_t*>(bytes), count, *session);
    if (session->m_Reader.Refused()) {
        // A frame the session will not take: it ends, nothing more read.
        return session->Fail(eSocketFailed, uint32_t(e));
    }
    return e;
}

error CTCPAppSocket::CloseCallBackProc(uint32_t result, void* user) {
    CTCPAppSocket* session = Session(user);
    session->m_fClosed = 1;
    session->m_fStateChangePending = 0; // the state is settled here
    if (session->m_Reader.Refused()) {
        return eNoError; // ended already, in state 2
    }
    if (session->m_Reader.MidFrame()) {
        // Part of a message (header or payload) was cut off, whether the
        // peer released the connection or reset it.
        const error e = session->ChangeState(eSocketCutOff);
        if (session->m_pCloseHook) {
            return session->m_pCloseHook(session, session->m_pCloseUser);
        }
        return e;
    }
    if (result != 0) {
        return session->ChangeState(eSocketFailed); // a reset between messages
    }
    return session->ChangeState(eSocketClosed);
}
