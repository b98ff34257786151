// The TCP endpoint: creating, binding, listening, connecting, reading,
// sending and closing a non-blocking IPv4 descriptor, and Process, which
// polls it and hands what happened to the callbacks in a fixed order.

#include "platform/TCPSocket.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <memory>
#include <netinet/in.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// Connections taken from a listener in one Process; the rest wait for the
// next heartbeat.
constexpr int32_t kAcceptsPerProcess = 64;

sockaddr_in InetAddress(uint32_t address, uint16_t port) {
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(port);
    a.sin_addr.s_addr = htonl(address);
    return a;
}

// The error a descriptor holds (a connect's outcome, a reset), 0 for none.
int PendingError(int fd) {
    int failure = 0;
    socklen_t length = sizeof failure;
    if (getsockopt(fd, SOL_SOCKET, SO_ERROR, &failure, &length) != 0) {
        failure = errno;
    }
    return failure;
}

} // namespace

CTCPSocket::~CTCPSocket() {
    CloseDescriptor();
}

error CTCPSocket::ChangeState(eSocketState state) {
    m_eState = state;
    return eNoError;
}

CTCPSocket* CTCPSocket::NewInstance() {
    return new (std::nothrow) CTCPSocket;
}

error CTCPSocket::CreateSocket(ResultProc open, ResultProc bind, SocketProc accept,
                               ResultProc connRequest, ConnectProc connect, ResultProc data,
                               ResultProc send, ResultProc release, uint16_t port) {
    m_Calls.open = open;
    m_Calls.bind = bind;
    m_Calls.accept = accept;
    m_Calls.connRequest = connRequest;
    m_Calls.connect = connect;
    m_Calls.data = data;
    m_Calls.send = send;
    m_Calls.release = release;
    for (void*& user : m_aUser) {
        user = this;
    }
    return CreateSocket(port);
}

error CTCPSocket::CreateSocket(uint16_t port) {
    m_nDefaultPort = port;
    CloseDescriptor();
    m_nSocket = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (m_nSocket < 0) {
        m_nLastResult = uint32_t(errno);
        return eNetworkError;
    }
    m_nLocalAddress = 0; // GetLocalIPAddress finds none
    return eNoError;
}

error CTCPSocket::BindSocket(uint16_t port, uint32_t address) {
    if (m_nSocket < 0) {
        return error(EBADF);
    }
    if (port == 0) {
        port = m_nDefaultPort;
    }
    const int on = 1;
    if (setsockopt(m_nSocket, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on) != 0) {
        return error(errno);
    }
    const sockaddr_in a = InetAddress(address, port);
    if (bind(m_nSocket, reinterpret_cast<const sockaddr*>(&a), sizeof a) != 0) {
        return error(errno);
    }
    sockaddr_in bound{};
    socklen_t length = sizeof bound;
    if (getsockname(m_nSocket, reinterpret_cast<sockaddr*>(&bound), &length) != 0) {
        return error(errno);
    }
    m_nDefaultPort = ntohs(bound.sin_port);
    return eNoError;
}

error CTCPSocket::ListenToSocket() {
    if (m_nSocket < 0) {
        return error(EBADF);
    }
    if (listen(m_nSocket, SOMAXCONN) != 0) {
        return error(errno);
    }
    return ChangeState(eSocketListening);
}

error CTCPSocket::ConnectToSocket(uint32_t address, uint16_t port) {
    if (port == 0) {
        port = m_nDefaultPort;
    }
    m_nRemoteAddress = address;
    m_nRemotePort = port;
    const sockaddr_in a = InetAddress(address, port);
    const int result =
        m_nSocket < 0 ? -1 : connect(m_nSocket, reinterpret_cast<const sockaddr*>(&a), sizeof a);
    const int failure = m_nSocket < 0 ? EBADF : errno;
    if (result == 0 || failure == EINPROGRESS) {
        return ChangeState(eSocketConnecting);
    }
    // Refused at once: ends as a refusal found later does.
    m_nLastResult = uint32_t(failure);
    CloseDescriptor();
    m_aEvents[eEventConnect] = 1;
    PendState(eSocketFailed);
    return ChangeState(eSocketConnecting);
}

error CTCPSocket::ConnectToSocket(const gCString& host, uint16_t port) {
    m_nRemotePort = port != 0 ? port : m_nDefaultPort;
    uint32_t id = 0;
    return AsyncResolve(host, &ConnResolveDone, 0, id, this);
}

error CTCPSocket::ConnResolveDone(uint32_t address, uint32_t userData, void* context) {
    CTCPSocket* socket = static_cast<CTCPSocket*>(context);
    if (address == 0) {
        // No address to connect to: the session cannot start.
        (void)socket->ChangeState(eSocketFailed); // a plain socket's is always 0
        return eGenericFailure;
    }
    if (error e = socket->ConnectToSocket(address, socket->m_nRemotePort)) {
        return e;
    }
    if (socket->m_Calls.resolve) {
        return socket->m_Calls.resolve(address, userData, socket->m_aUser[eCallResolve]);
    }
    return eNoError;
}

error CTCPSocket::ReadData(uint32_t* count, CMemBlockT<char>* buffer) {
    m_fMoreData = 0;
    const uint32_t wanted = *count < buffer->GetCount() ? *count : buffer->GetCount();
    *count = 0;
    if (m_nSocket < 0 || wanted == 0) {
        return eNoError;
    }
    const ssize_t n = recv(m_nSocket, buffer->GetData(), wanted, 0);
    if (n < 0) {
        if (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) {
            RecordRelease(uint32_t(errno));
        }
        return eNoError;
    }
    if (n == 0) {
        RecordRelease(0);
        return eNoError;
    }
    if (size_t(n) > wanted) {
        return eNetworkError;
    }
    *count = uint32_t(n);
    int waiting = 0;
    m_fMoreData = ioctl(m_nSocket, FIONREAD, &waiting) == 0 && waiting > 0;
    m_nBytesReceived += *count;
    if (m_Calls.received) {
        return m_Calls.received(*count, m_aUser[eCallReceived], m_nBytesReceived);
    }
    return eNoError;
}

ssize_t CTCPSocket::SendBytes(const char* data, size_t count) {
    return send(m_nSocket, data, count, MSG_NOSIGNAL);
}

error CTCPSocket::SendData(uint32_t* count, CMemBlockT<char>* buffer) {
    const uint32_t wanted = *count < buffer->GetCount() ? *count : buffer->GetCount();
    *count = 0;
    ssize_t n = 0;
    do {
        n = SendBytes(buffer->GetData(), wanted);
    } while (n < 0 && errno == EINTR);
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
        return eNetworkOperationFailed;
    }
    if (n <= 0 && wanted > 0) {
        m_nLastResult = n < 0 ? uint32_t(errno) : uint32_t(EPIPE);
        m_fConnected = 0;
        return GetErrFatality(m_nLastResult);
    }
    const uint32_t sent = uint32_t(n) < wanted ? uint32_t(n) : wanted;
    *count = sent;
    m_nBytesSent += sent;
    if (sent == buffer->GetCount()) {
        (void)buffer->Resize(0, 0); // freeing always succeeds
    } else if (sent < wanted) {
        // The unsent bytes go first on the next try.
        std::memmove(buffer->GetData(), buffer->GetData() + sent, wanted - sent);
    }
    if (m_Calls.sent) {
        return m_Calls.sent(sent, m_aUser[eCallSent]);
    }
    return eNoError;
}

error CTCPSocket::CloseSocket() {
    m_fSessionOpen = 0;
    m_fMoreData = 0;
    if (m_nSocket >= 0) {
        m_nLastResult = 0;
        CloseDescriptor();
        m_aEvents[eEventRelease] = 1;
    }
    return eNoError;
}

error CTCPSocket::GetCallerInfo() {
    m_nLastResult = 0;
    m_nRemoteAddress = 0;
    m_nRemotePort = 0;
    return eNotImplemented;
}

void CTCPSocket::CloseDescriptor() {
    if (m_nSocket >= 0) {
        (void)close(m_nSocket); // the descriptor is gone whatever close says
        m_nSocket = -1;
    }
}

void CTCPSocket::RecordRelease(uint32_t result) {
    m_aEvents[eEventRelease] = 1;
    m_fSessionOpen = 0;
    m_nLastResult = result;
    PendState(result == 0 ? eSocketClosed : eSocketFailed);
    CloseDescriptor();
}

void CTCPSocket::PollDescriptor() {
    if (m_nSocket < 0) {
        return;
    }
    pollfd p{};
    p.fd = m_nSocket;
    p.events = short(POLLIN | (m_eState == eSocketConnecting ? POLLOUT : 0));
    if (poll(&p, 1, 0) <= 0 || p.revents == 0) {
        return;
    }
    if (m_eState == eSocketConnecting) {
        if (p.revents & (POLLOUT | POLLERR | POLLHUP)) {
            const int failure = PendingError(m_nSocket);
            m_aEvents[eEventConnect] = 1;
            m_nLastResult = uint32_t(failure);
            PendState(failure == 0 ? eSocketConnected : eSocketFailed);
            if (failure != 0) {
                CloseDescriptor();
            }
        }
        return;
    }
    if (m_eState == eSocketListening) {
        if (p.revents & POLLIN) {
            m_aEvents[eEventListen] = 1;
        }
        return;
    }
    if (m_eState != eSocketConnected) {
        return; // a socket neither connected nor listening has nothing to say
    }
    if (p.revents & POLLERR) {
        const int failure = PendingError(m_nSocket);
        RecordRelease(uint32_t(failure != 0 ? failure : ECONNRESET));
        return;
    }
    if (p.revents & (POLLIN | POLLHUP)) {
        int waiting = 0;
        if (ioctl(m_nSocket, FIONREAD, &waiting) == 0 && waiting > 0) {
            m_aEvents[eEventData] = 1;
            m_fDataSeen = 1;
            m_nLastResult = 0;
        } else {
            RecordRelease(0); // the end of the stream: the peer's orderly release
        }
    }
}

error CTCPSocket::AcceptPending() {
    error first = eNoError;
    for (int32_t i = 0; i < kAcceptsPerProcess && m_nSocket >= 0; ++i) {
        sockaddr_in peer{};
        socklen_t length = sizeof peer;
        const int fd = accept4(m_nSocket, reinterpret_cast<sockaddr*>(&peer), &length,
                               SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0) {
            if (errno != EAGAIN && errno != EWOULDBLOCK) {
                m_nLastResult = uint32_t(errno);
            }
            break;
        }
        std::unique_ptr<CTCPSocket> session(NewInstance());
        if (!session) {
            (void)close(fd); // refused for want of memory
            continue;
        }
        session->m_nSocket = fd;
        session->m_nRemoteAddress = ntohl(peer.sin_addr.s_addr);
        session->m_nRemotePort = ntohs(peer.sin_port);
        session->m_fConnected = 1;
        session->m_fSessionOpen = 1;
        session->m_eState = eSocketConnected;
        m_aEvents[eEventAccept] = 1;
        if (m_Calls.accept) {
            // The callback owns the session from here on.
            const error e = m_Calls.accept(session.release(), m_aUser[eCallAccept]);
            first = first ? first : e;
        }
    }
    return first;
}

error CTCPSocket::Process() {
    PollDescriptor();
    error first = eNoError;
    auto keep = [&first](error e) { first = first ? first : e; };
    if (m_fStateChangePending) {
        m_fStateChangePending = 0;
        keep(ChangeState(m_ePendingState));
    }
    if (m_aEvents[eEventOpen]) {
        m_aEvents[eEventOpen] = 0;
        if (m_Calls.open) {
            keep(m_Calls.open(m_nLastResult, m_aUser[eCallOpen]));
        }
    }
    if (m_aEvents[eEventConnect]) {
        m_aEvents[eEventConnect] = 0;
        if (m_nLastResult == 0) {
            m_fConnected = 1;
            m_fSessionOpen = 1;
        }
        if (m_Calls.connect) {
            keep(m_Calls.connect(0, int32_t(m_nLastResult), m_aUser[eCallConnect]));
        }
    }
    if (m_aEvents[eEventBind]) {
        m_aEvents[eEventBind] = 0;
        if (m_Calls.bind) {
            keep(m_Calls.bind(m_nLastResult, m_aUser[eCallBind]));
        }
    }
    if (m_aEvents[eEventListen]) {
        m_aEvents[eEventListen] = 0;
        keep(AcceptPending());
    }
    // Each accepted connection reached the accept callback as it was taken.
    m_aEvents[eEventAccept] = 0;
    if (m_aEvents[eEventData] || m_fMoreData) {
        m_aEvents[eEventData] = 0;
        m_fDataSeen = 1;
        if (m_Calls.data) {
            keep(m_Calls.data(m_nLastResult, m_aUser[eCallData]));
        }
    }
    if (m_aEvents[eEventRelease]) {
        m_aEvents[eEventRelease] = 0;
        if (m_Calls.release) {
            keep(m_Calls.release(m_nLastResult, m_aUser[eCallRelease]));
        }
    }
    m_aEvents[eEventOther] = 0;
    return first;
}

gCString CTCPSocket::GetErrDescription(uint32_t code) {
    gCString text;
    (void)text.Format(u"%s", std::strerror(int(code))); // without memory: empty
    return text;
}

gCString CTCPSocket::GetPeerIPAddressString() const {
    gCString text = ConvertIPAddress(m_nRemoteAddress);
    gCString port;
    (void)port.Format(u":%u", unsigned(m_nRemotePort)); // without memory: shorter
    (void)text.AppendString(port);
    return text;
}
