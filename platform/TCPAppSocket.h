#pragma once
// A data-pipe session: a TCP socket that sends framed messages (queued,
// each sent in pieces of at most 64,000 bytes, one piece a heartbeat) and
// turns the bytes it receives into whole messages for the application
// object. The application object keeps the sessions and drives them from
// its networking heartbeat; a session marked closed is deleted there.

#include <cstdint>

#include "FileIO/gCMemFile.h"
#include "platform/DataPipeFrames.h"
#include "platform/TCPSocket.h"

// One connection as the application sees it.
struct CNetInfo {
    int32_t m_nUniqueID = -1;
    uint32_t m_nAddress = 0;
};

class CTCPAppSocket : public CTCPSocket, private CFrameReader::Sink {
public:
    // The hooks a user of the class may set; all empty by default.
    using ErrorHook = error (*)(CTCPAppSocket* session, uint32_t code, void* user);
    using CloseHook = error (*)(CTCPAppSocket* session, void* user);
    using StartedHook = error (*)(CTCPAppSocket* session);
    using StateHook = error (*)(CTCPAppSocket* session, eSocketState state);
    using RawDataHook = void (*)(CTCPAppSocket* session, const char* bytes, uint32_t count);

    static constexpr uint32_t kPieceBytes = 64000;

    CTCPAppSocket() = default;
    ~CTCPAppSocket() override;

    error Process() override;
    // Stores the state, then asks the state hook; its error is reported
    // and returned.
    error ChangeState(eSocketState state) override;
    CTCPSocket* NewInstance() override;

    // Registers the session's callbacks and makes the endpoint.
    error Initialise(uint16_t port);
    void SetupCallbacks();
    // Starts an outward session to the address and port.
    error InitialiseNewSession(uint32_t address, uint16_t port);
    // The same from "host:port" text; 6 for a bad port, 1 when the host
    // gives no address.
    error InitialiseNewSession(const gCString& text);

    // Frames the message and queues it: 0; 23 when it cannot be made, 5
    // when it or the queue cannot grow, 6 when its frame would pass
    // 4 GiB - 1 bytes.
    error SendMessage(uint32_t id, CMemBlockT<unsigned char>* payload);

    void SetErrorCallback(ErrorHook hook, void* user) {
        m_pErrorHook = hook;
        m_pErrorUser = user;
    }
    void SetCloseCallback(CloseHook hook, void* user) {
        m_pCloseHook = hook;
        m_pCloseUser = user;
    }
    void SetSessionStartedCallback(StartedHook hook) { m_pStartedHook = hook; }
    void SetStateChangeCallback(StateHook hook) { m_pStateHook = hook; }
    void SetRawDataHook(RawDataHook hook) { m_pRawDataHook = hook; }
    // The largest payload taken from the peer (16 MiB unless set).
    void SetMessageLimit(uint32_t limit) { m_Reader.SetLimit(limit); }

    int32_t GetUniqueID() const { return m_nUniqueID; }
    void SetUniqueID(int32_t id) { m_nUniqueID = id; }
    int32_t IsClosed() const { return m_fClosed; }
    void MarkClosed() { m_fClosed = 1; }
    int32_t IsInward() const { return m_fInward; }
    uint16_t GetPort() const { return m_nPort; }
    void SetPort(uint16_t port) { m_nPort = port; }
    const gCString& GetPeerText() const { return m_PeerText; }
    CNetInfo Info() const { return {m_nUniqueID, m_nRemoteAddress}; }
    int32_t QueuedMessages() const { return m_aOutgoing.GetSize(); }

    static error CreateCallBackProc(uint32_t result, void* session);
    static error BindCallBackProc(uint32_t result, void* session);
    static error ListenCallBackProc(uint32_t result, void* session);
    static error SendCallBackProc(uint32_t result, void* session);
    static error ErrorCallBackProc(uint32_t result, void* session);
    static error ConnRequestCallBackProc(uint32_t result, void* session);
    static error AcceptCallBackProc(CTCPSocket* session, void* listener);
    static error ConnectCallBackProc(uint32_t flags, int32_t result, void* session);
    static error ReadCallBackProc(uint32_t result, void* session);
    static error CloseCallBackProc(uint32_t result, void* session);

private:
    error FrameReceived(uint32_t id, CASMemFile& payload) override;
    // After the connect was started: the peer's text and port, then the
    // session-started hook. The connect's error is returned as it is.
    error Started(error connecting, uint16_t port);
    // Moves the next piece of the current message into the send buffer
    // once the last one has gone; ends the message when none is left.
    void LoadPiece();
    // Ends the session for the error: closed, the error hook told.
    error Fail(eSocketState state, uint32_t code);
    void CallErrorHook(uint32_t code);

    int32_t m_nUniqueID = -1;
    CMemBlockT<char> m_ReadBuffer;
    // The piece being sent: its first m_nSendPending bytes are unsent.
    CMemBlockT<char> m_SendBuffer;
    uint32_t m_nSendPending = 0;
    int32_t m_fClosed = 0;
    int32_t m_fInward = 0;
    uint16_t m_nPort = 0;
    // Owned: the queued messages, oldest first, and the one being sent.
    gCArray<gCMemFile*> m_aOutgoing;
    gCString m_PeerText;
    int32_t m_fSending = 0;
    gCMemFile* m_pCurrent = nullptr;
    CFrameReader m_Reader;

    ErrorHook m_pErrorHook = nullptr;
    void* m_pErrorUser = nullptr;
    CloseHook m_pCloseHook = nullptr;
    void* m_pCloseUser = nullptr;
    StartedHook m_pStartedHook = nullptr;
    StateHook m_pStateHook = nullptr;
    RawDataHook m_pRawDataHook = nullptr;
};
