#pragma once
// The toolkit's TCP endpoint over IPv4 POSIX sockets, non-blocking and
// close-on-exec, with no thread of its own. Process, called from the
// application's networking heartbeat, first polls the descriptor and
// records what happened as flags (a finished connect, a pending
// connection, data, the peer's release or reset), then turns the flags into
// state changes and calls of the registered callbacks, in a fixed order.
//
// Addresses are 32-bit numbers whose high byte is the first dotted part
// ("10.0.0.1" is 0x0A000001); segment 1 is that first part.

#include <cstdint>
#include <sys/types.h>

#include "foundation/CMemBlock.h"
#include "foundation/Error.h"
#include "foundation/gCArray.h"
#include "foundation/gCBaseObject.h"
#include "foundation/gCString.h"

enum eSocketState : int32_t {
    eSocketNew = 0,
    eSocketConnecting = 1,
    eSocketFailed = 2, // refused, failed, reset, or the host gave no address
    eSocketConnected = 3,
    eSocketClosed = 4,     // closed in order
    eSocketCutOff = 5,     // closed while a message was still arriving
    eSocketListening = 6,
};

class CTCPSocket;

// The shared list of pending name resolutions. Names resolve at once, so
// the list stays empty; the cancellations mark whatever it holds.
class CResolver : public gCBaseObject {
public:
    struct SPending {
        uint32_t userData;
        void* socket;
        int32_t cancelled;
    };
    gCArray<SPending> m_aPending;
};

class CTCPSocket : public gCBaseObject {
public:
    using ResultProc = error (*)(uint32_t result, void* user);
    using SocketProc = error (*)(CTCPSocket* socket, void* user);
    using ConnectProc = error (*)(uint32_t flags, int32_t result, void* user);
    using ResolveProc = error (*)(uint32_t address, uint32_t userData, void* socket);
    using SentProc = error (*)(uint32_t count, void* user);
    using ReceivedProc = error (*)(uint32_t count, void* user, uint32_t total);
    // The name lookup: 0 with the first IPv4 address of the host, or 1.
    using LookupProc = error (*)(const char* host, uint32_t& address);

    // The callbacks in the order CreateSocket takes them.
    enum ECallback : int32_t {
        eCallOpen = 0,
        eCallBind,
        eCallAccept,
        eCallConnRequest, // never fired by Process
        eCallConnect,
        eCallData,
        eCallSend, // never fired by Process
        eCallRelease,
        eCallResolve,
        eCallSent,
        eCallReceived,
        eCallCount
    };

    CTCPSocket() = default;
    ~CTCPSocket() override;
    CTCPSocket(const CTCPSocket&) = delete;
    CTCPSocket& operator=(const CTCPSocket&) = delete;

    // Polls the descriptor, then handles the recorded events: a pending
    // state, open, connect, bind, the pending connections (each accepted on
    // a descriptor of its own and handed to the accept callback, which owns
    // it from then on), accept, data, release. The first error a callback
    // gave, after all of them ran; else 0.
    virtual error Process();
    virtual error ChangeState(eSocketState state);
    // A new socket of the same kind, or null without memory.
    virtual CTCPSocket* NewInstance();

    static error InitialiseNetworking() { return eNoError; }
    static error CloseDownNetworking() { return eNoError; }

    // Stores the callbacks (user data: the socket), then CreateSocket(port).
    error CreateSocket(ResultProc open, ResultProc bind, SocketProc accept, ResultProc connRequest,
                       ConnectProc connect, ResultProc data, ResultProc send, ResultProc release,
                       uint16_t port);
    // A new descriptor (a previous one is closed); 27 when none can be had.
    error CreateSocket(uint16_t port);
    // Port 0: the default port; a default port of 0 takes an ephemeral port,
    // which becomes the default port. 0 or the system's error number.
    error BindSocket(uint16_t port, uint32_t address);
    // Starts listening: state 6; 0 or the system's error number.
    error ListenToSocket();
    // Starts a connect (port 0: the default port). A connect refused at
    // once is recorded like one refused later: the next Process moves to
    // state 2 and calls the connect callback. Always 0.
    error ConnectToSocket(uint32_t address, uint16_t port);
    // Resolves the host text and connects: 1 when it gives no address.
    error ConnectToSocket(const gCString& host, uint16_t port);
    static error ConnResolveDone(uint32_t address, uint32_t userData, void* socket);
    // Connections are accepted by Process; 0.
    error AcceptSocket() { return eNoError; }
    // Reads up to *count bytes (no more than the buffer holds) into the
    // buffer; *count becomes the number read (0 when nothing waits). The
    // end of the stream or a reset is recorded for the next Process. 0, 27
    // for a count beyond the request, or the received-bytes callback's
    // result.
    error ReadData(uint32_t* count, CMemBlockT<char>* buffer);
    // Sends the first *count bytes of the buffer; *count becomes the number
    // sent. The whole buffer sent: it is emptied; part of the count sent:
    // the unsent bytes of it move to the buffer's start. 26 when nothing could be sent now; 1 when the send
    // failed (the error is the last result and the socket is no longer
    // connected); else the sent-bytes callback's result, or 0.
    error SendData(uint32_t* count, CMemBlockT<char>* buffer);
    // Closes the descriptor (an orderly close); the next Process calls the
    // release callback once.
    error CloseSocket();
    error GetCallerInfo();

    static error GetLocalIPAddress() { return eNotImplemented; }
    static gCString GetErrDescription(uint32_t code);
    static error GetErrFatality(uint32_t) { return eGenericFailure; }
    gCString GetPeerIPAddressString() const;

    // The host before the first ":" and the port after it (0 without ":");
    // 6 when the port part is not a number of 0..65535.
    static error SplitIPPort(const gCString& text, gCString* host, uint16_t* port);
    // Four dotted decimal parts of 0..255 each, else 0.
    static uint32_t ConvertIPAddress(const gCString& text);
    static gCString ConvertIPAddress(uint32_t address);
    // Whether the text is four dotted parts; valid when each is a number
    // of 0..255, the address then their value (else 0).
    static bool IsFourParts(const gCString& text, uint32_t* address, bool* valid);
    static uint32_t GetSegmentFromIPAddress(uint32_t address, int32_t n);
    static bool IsIPLocal(uint32_t a, uint32_t b);
    static bool IsIPLegal(uint32_t a, uint32_t b);
    // Four dotted parts never ask the lookup: 0 with their address, or 1
    // when a part is not a number of 0..255. Other text goes to the lookup;
    // an empty text is 1 at once.
    static error GetIPFromHostName(const gCString& host, uint32_t* address, uint32_t* unused);
    // Resolves as GetIPFromHostName and calls back at once with the
    // address, the user data and the socket: the callback's result, or 1
    // when the host gives no address (nothing is queued).
    static error AsyncResolve(const gCString& host, ResolveProc callback, uint32_t userData,
                              uint32_t& id, void* socket);
    static void CancelAsyncResolveByThis(void* socket);
    static void CancelAsyncResolveByUserData(uint32_t userData);
    // The lookup through getaddrinfo, IPv4 only.
    static error SystemLookup(const char* host, uint32_t& address);

    eSocketState GetState() const { return m_eState; }
    int32_t IsConnected() const { return m_fConnected; }
    int32_t IsSessionOpen() const { return m_fSessionOpen; }
    uint32_t GetLastResult() const { return m_nLastResult; }
    uint32_t GetRemoteAddress() const { return m_nRemoteAddress; }
    uint16_t GetRemotePort() const { return m_nRemotePort; }
    uint16_t GetDefaultPort() const { return m_nDefaultPort; }
    uint32_t GetBytesSent() const { return m_nBytesSent; }
    uint32_t GetBytesReceived() const { return m_nBytesReceived; }
    int32_t HasMoreData() const { return m_fMoreData; }
    int GetDescriptor() const { return m_nSocket; }
    void SetResolveDoneCallback(ResolveProc proc) { m_Calls.resolve = proc; }
    void SetSentCallback(SentProc proc) { m_Calls.sent = proc; }
    void SetReceivedCallback(ReceivedProc proc) { m_Calls.received = proc; }
    void SetCallbackUser(ECallback which, void* user) { m_aUser[which] = user; }

    static inline CResolver ms_Resolver;
    static inline LookupProc ms_pLookup = &SystemLookup;

protected:
    enum EEvent : int32_t {
        eEventOpen = 0,
        eEventConnect,
        eEventBind,
        eEventListen,
        eEventAccept,
        eEventData,
        eEventRelease,
        eEventOther,
        eEventCount
    };

    // The system's send with MSG_NOSIGNAL: the count sent, or -1 with errno.
    virtual ssize_t SendBytes(const char* data, size_t count);
    // Records the state the next Process moves to.
    void PendState(eSocketState state) {
        m_fStateChangePending = 1;
        m_ePendingState = state;
    }
    // Records the end of the session: state 4 for an orderly release, 2
    // with the error for a reset; the descriptor is closed.
    void RecordRelease(uint32_t result);
    void CloseDescriptor();
    // poll with no wait; records the events.
    void PollDescriptor();
    // Accepts the pending connections (a bounded number each time) and
    // hands each to the accept callback.
    error AcceptPending();
    struct SCallbacks {
        ResultProc open = nullptr;
        ResultProc bind = nullptr;
        SocketProc accept = nullptr;
        ResultProc connRequest = nullptr;
        ConnectProc connect = nullptr;
        ResultProc data = nullptr;
        ResultProc send = nullptr;
        ResultProc release = nullptr;
        ResolveProc resolve = nullptr;
        SentProc sent = nullptr;
        ReceivedProc received = nullptr;
    };

    uint32_t m_nLocalAddress = 0;
    uint32_t m_nRemoteAddress = 0;
    uint16_t m_nRemotePort = 0;
    int32_t m_fConnected = 0;
    int32_t m_fSessionOpen = 0;
    int32_t m_fDataSeen = 0;
    eSocketState m_eState = eSocketNew;
    int m_nSocket = -1;
    int32_t m_aEvents[eEventCount] = {};
    uint32_t m_nLastResult = 0;
    uint16_t m_nDefaultPort = 0;
    int32_t m_fStateChangePending = 0;
    eSocketState m_ePendingState = eSocketNew;
    uint32_t m_nBytesSent = 0; // both wrap
    uint32_t m_nBytesReceived = 0;
    int32_t m_fMoreData = 0;
    SCallbacks m_Calls;
    void* m_aUser[eCallCount] = {};
};
