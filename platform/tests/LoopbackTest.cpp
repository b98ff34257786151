// Sessions over real sockets on the loopback address (127.0.0.1 only): an
// application object that records its hooks, heartbeats run by the test
// until the awaited event (a generous deadline fails the test; no timing
// is checked), and a raw POSIX peer written here that sends what a faulty
// or hostile peer would.

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <dirent.h>
#include <functional>
#include <netinet/in.h>
#include <poll.h>
#include <string>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

#include "foundation/Utf8.h"
#include "platform/DataPipeFrames.h"
#include "platform/tests/FrameBytes.h"
#include "platform/TCPAppSocket.h"
#include "testsupport/foundation/FailingMemory.h"
#include "testsupport/platform/TestApp.h"

namespace {

constexpr auto kDeadline = std::chrono::seconds(20);

gCString S(const std::string& text) {
    gCString s;
    EXPECT_EQ(gStringFromUtf8(s, text), eNoError);
    return s;
}

struct SReceived {
    int32_t session;
    uint32_t id;
    Bytes payload;
};

// Records every hook the networking reaches.
class CNetApp : public CTestApp {
public:
    error IncomingConnection(CNetInfo* info) override {
        m_aIncoming.push_back(info->m_nUniqueID);
        return m_nIncomingAnswer;
    }
    error NetMessageReceived(CNetInfo* info, uint32_t id, gCMemFile* stream) override {
        SReceived r{info->m_nUniqueID, id, Bytes(size_t(stream->Length()))};
        if (!r.payload.empty()) {
            EXPECT_EQ(stream->ReadBlock(r.payload.data(), int32_t(r.payload.size())), eNoError);
        }
        m_aReceived.push_back(std::move(r));
        return m_nReceiveAnswer;
    }
    CTCPAppSocket* Session(int32_t id) {
        for (CTCPAppSocket* s : NetSessions()) {
            if (s->GetUniqueID() == id) {
                return s;
            }
        }
        return nullptr;
    }
    uint16_t ListenerPort() { return NetListeners()[0]->GetPort(); }
    // Heartbeats until done() holds; false at the deadline.
    bool RunUntil(const std::function<bool()>& done) {
        const auto end = std::chrono::steady_clock::now() + kDeadline;
        while (!done()) {
            if (std::chrono::steady_clock::now() > end) {
                return false;
            }
            EXPECT_EQ(AppNetworkingHeartbeat(), eNoError);
            poll(nullptr, 0, 1);
        }
        return true;
    }

    std::vector<int32_t> m_aIncoming;
    error m_nIncomingAnswer = eNoError;
    std::vector<SReceived> m_aReceived;
    error m_nReceiveAnswer = eNoError;
};

// What the hooks of a listener's sessions saw.
struct SHookLog {
    static inline std::vector<std::pair<int32_t, int32_t>> states; // session, state
    static inline std::vector<std::pair<int32_t, uint32_t>> errors; // session, code
    static error State(CTCPAppSocket* s, eSocketState state) {
        states.emplace_back(s->GetUniqueID(), int32_t(state));
        return eNoError;
    }
    static error Error(CTCPAppSocket* s, uint32_t code, void*) {
        errors.emplace_back(s->GetUniqueID(), code);
        return eNoError;
    }
    static void Watch(CTCPAppSocket* s) {
        s->SetStateChangeCallback(&State);
        s->SetErrorCallback(&Error, nullptr);
    }
    SHookLog() {
        states.clear();
        errors.clear();
    }
};

// A blocking client of our own, on the loopback address.
class CRawPeer {
public:
    // A small receive buffer makes a peer that does not read fill up soon.
    explicit CRawPeer(uint16_t port, int receiveBuffer = 0) {
        m_nFd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (receiveBuffer > 0) {
            EXPECT_EQ(setsockopt(m_nFd, SOL_SOCKET, SO_RCVBUF, &receiveBuffer, sizeof(int)), 0);
        }
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_port = htons(port);
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        m_bConnected = connect(m_nFd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
    }
    ~CRawPeer() { Close(); }
    void Close() {
        if (m_nFd >= 0) {
            close(m_nFd);
            m_nFd = -1;
        }
    }
    // Closes with a reset instead of an orderly release: a linger of 0
    // drops what is unsent and answers the program with RST.
    void Reset() {
        const linger abort{1, 0};
        EXPECT_EQ(setsockopt(m_nFd, SOL_SOCKET, SO_LINGER, &abort, sizeof abort), 0);
        Close();
    }
    // Small writes only: the program reads in the same thread.
    void Write(const Bytes& bytes, size_t from = 0, size_t n = SIZE_MAX) {
        n = std::min(n, bytes.size() - from);
        ASSERT_LE(n, 60000u);
        ASSERT_EQ(send(m_nFd, bytes.data() + from, n, MSG_NOSIGNAL), ssize_t(n));
    }
    // Writes what the socket takes now from at on; whether all is written.
    bool WriteSome(const Bytes& bytes, size_t& at) {
        const ssize_t n =
            send(m_nFd, bytes.data() + at, bytes.size() - at, MSG_NOSIGNAL | MSG_DONTWAIT);
        at += n > 0 ? size_t(n) : 0;
        return at == bytes.size();
    }
    // What has arrived, without waiting; false at the end of the stream.
    bool ReadSome(Bytes& into) {
        uint8_t buffer[65536];
        const ssize_t n = recv(m_nFd, buffer, sizeof buffer, MSG_DONTWAIT);
        if (n > 0) {
            into.insert(into.end(), buffer, buffer + n);
        }
        return n != 0;
    }
    int m_nFd = -1;
    bool m_bConnected = false;
};

// The number of open descriptors of this process.
int32_t OpenDescriptors() {
    int32_t n = 0;
    if (DIR* d = opendir("/proc/self/fd")) {
        while (readdir(d)) {
            ++n;
        }
        closedir(d);
    }
    return n;
}

// A loopback port nobody listens on: bound, read and let go.
uint16_t UnusedPort() {
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof a;
    EXPECT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
    EXPECT_EQ(getsockname(fd, reinterpret_cast<sockaddr*>(&a), &length), 0);
    close(fd);
    return ntohs(a.sin_port);
}

class Loopback : public ::testing::Test {
protected:
    void SetUp() override {
        signal(SIGPIPE, SIG_DFL); // a vanished peer must not kill the program
        ASSERT_EQ(m_App.NetListen(0), eNoError);
        ASSERT_EQ(m_App.NetListeners().GetSize(), 1);
        ASSERT_NE(m_App.ListenerPort(), 0);
        SHookLog::Watch(m_App.NetListeners()[0]);
    }
    std::string Address(const char* host) {
        return std::string(host) + ":" + std::to_string(m_App.ListenerPort());
    }
    // A raw peer, accepted by the application as the session returned.
    CTCPAppSocket* Accept(CRawPeer& peer) {
        EXPECT_TRUE(peer.m_bConnected);
        const size_t before = m_App.m_aIncoming.size();
        EXPECT_TRUE(m_App.RunUntil([&] { return m_App.m_aIncoming.size() > before; }));
        return m_App.m_aIncoming.size() > before ? m_App.Session(m_App.m_aIncoming.back())
                                                 : nullptr;
    }

    CNetApp m_App;
    SHookLog m_Log;
};

TEST_F(Loopback, ClientsByAddressAndByNameExchangeMessages) {
    int32_t byAddress = -1, byName = -1;
    ASSERT_EQ(m_App.NetConnect(byAddress, S(Address("127.0.0.1"))), eNoError);
    ASSERT_EQ(m_App.NetConnect(byName, S(Address("localhost"))), eNoError);
    EXPECT_EQ(byAddress, 0);
    EXPECT_EQ(byName, 1);
    ASSERT_TRUE(m_App.RunUntil([&] {
        return m_App.m_aIncoming.size() == 2 && m_App.Session(byAddress)->IsConnected() &&
               m_App.Session(byName)->IsConnected();
    }));
    EXPECT_EQ(m_App.m_aIncoming, (std::vector<int32_t>{2, 3}));
    EXPECT_EQ(m_App.Session(byName)->GetRemoteAddress(), 0x7F000001u);
    EXPECT_EQ(gStringToUtf8(m_App.Session(byName)->GetPeerIPAddressString()),
              Address("127.0.0.1"));

    gCArray<CNetInfo> inward, outward, all;
    EXPECT_EQ(m_App.NetGetInwardConns(inward), eNoError);
    EXPECT_EQ(m_App.NetGetOutwardConns(outward), eNoError);
    EXPECT_EQ(m_App.NetGetConns(all), eNoError);
    EXPECT_EQ(inward.GetSize(), 2);
    EXPECT_EQ(outward.GetSize(), 2);
    EXPECT_EQ(all.GetSize(), 4);

    // Both ways, an empty message among them.
    CMemBlockT<unsigned char> hello;
    ASSERT_EQ(hello.Resize(5, 0), 1);
    std::memcpy(hello.GetData(), "hello", 5);
    ASSERT_EQ(m_App.NetMessageSend(byAddress, 10, &hello), eNoError);
    ASSERT_EQ(m_App.NetMessageSend(3, 11, nullptr), eNoError);
    ASSERT_TRUE(m_App.RunUntil([&] { return m_App.m_aReceived.size() == 2; }));
    for (const SReceived& r : m_App.m_aReceived) {
        if (r.id == 10) {
            EXPECT_EQ(r.session, 2);
            EXPECT_EQ(r.payload, Bytes({'h', 'e', 'l', 'l', 'o'}));
        } else {
            EXPECT_EQ(r.id, 11u);
            EXPECT_EQ(r.session, byName);
            EXPECT_TRUE(r.payload.empty());
        }
    }

    // A session that ends takes its peer with it; the freed ids come back.
    EXPECT_EQ(m_App.NetDisconnect(byAddress), eNoError);
    ASSERT_TRUE(m_App.RunUntil([&] { return m_App.NetSessions().GetSize() == 2; }));
    EXPECT_EQ(m_App.Session(2), nullptr);
    int32_t again = -1;
    ASSERT_EQ(m_App.NetConnect(again, S(Address("127.0.0.1"))), eNoError);
    EXPECT_EQ(again, 0);
}

TEST_F(Loopback, EightMegabytesArriveWhileTheReaderPauses) {
    CRawPeer peer(m_App.ListenerPort(), 65536);
    CTCPAppSocket* session = Accept(peer);
    ASSERT_NE(session, nullptr);
    const Bytes big = Pattern(8u << 20);
    CMemBlockT<unsigned char> payload;
    ASSERT_EQ(payload.Resize(uint32_t(big.size()), 0), 1);
    std::memcpy(payload.GetData(), big.data(), big.size());
    ASSERT_EQ(m_App.NetMessageSend(session->GetUniqueID(), 8, &payload), eNoError);
    // The peer reads nothing for a while: the socket fills and sends wait.
    for (int32_t i = 0; i < 300; ++i) {
        ASSERT_EQ(m_App.AppNetworkingHeartbeat(), eNoError);
    }
    EXPECT_FALSE(session->IsClosed());
    EXPECT_LT(session->GetBytesSent(), big.size() + 20) << "the socket's buffers are smaller";
    Bytes got;
    ASSERT_TRUE(m_App.RunUntil([&] {
        EXPECT_TRUE(peer.ReadSome(got));
        return got.size() >= big.size() + 20;
    }));
    EXPECT_EQ(got, Frame(8, big));

    // And the other way, written as the socket takes it.
    const Bytes back = Frame(9, Pattern(3u << 20));
    size_t at = 0;
    ASSERT_TRUE(m_App.RunUntil([&] { return peer.WriteSome(back, at); }));
    ASSERT_TRUE(m_App.RunUntil([&] { return !m_App.m_aReceived.empty(); }));
    ASSERT_EQ(m_App.m_aReceived.size(), 1u);
    EXPECT_EQ(m_App.m_aReceived[0].id, 9u);
    EXPECT_EQ(m_App.m_aReceived[0].payload, Pattern(3u << 20));
}

// The application's error for a message is the session's answer; the
// messages going out still go, piece after piece.
TEST_F(Loopback, AMessageHookErrorDoesNotHoldUpSending) {
    m_App.m_nReceiveAnswer = eGenericFailure;
    CRawPeer peer(m_App.ListenerPort());
    CTCPAppSocket* session = Accept(peer);
    ASSERT_NE(session, nullptr);
    const Bytes big = Pattern(150000);
    CMemBlockT<unsigned char> payload;
    ASSERT_EQ(payload.Resize(uint32_t(big.size()), 0), 1);
    std::memcpy(payload.GetData(), big.data(), big.size());
    ASSERT_EQ(m_App.NetMessageSend(session->GetUniqueID(), 2, &payload), eNoError);
    const Bytes ping = Frame(1, {});
    Bytes got;
    ASSERT_TRUE(m_App.RunUntil([&] {
        peer.Write(ping); // a message to answer with an error every heartbeat
        EXPECT_TRUE(peer.ReadSome(got));
        return got.size() >= big.size() + 20;
    }));
    EXPECT_EQ(got, Frame(2, big));
    EXPECT_FALSE(m_App.m_aReceived.empty());
}

TEST_F(Loopback, ARefusedIncomingConnectionIsClosed) {
    m_App.m_nIncomingAnswer = eGenericFailure;
    CRawPeer peer(m_App.ListenerPort());
    ASSERT_TRUE(m_App.RunUntil([&] { return !m_App.m_aIncoming.empty(); }));
    Bytes got;
    ASSERT_TRUE(m_App.RunUntil([&] { return !peer.ReadSome(got); })) << "the peer sees the close";
    EXPECT_EQ(m_App.NetSessions().GetSize(), 0);
}

TEST_F(Loopback, TheRawPeerReadsTheTwentyBytesOfAnEmptyMessage) {
    CRawPeer peer(m_App.ListenerPort());
    CTCPAppSocket* session = Accept(peer);
    ASSERT_NE(session, nullptr);
    ASSERT_EQ(m_App.NetMessageSend(session->GetUniqueID(), 5, nullptr), eNoError);
    Bytes got;
    ASSERT_TRUE(m_App.RunUntil([&] {
        EXPECT_TRUE(peer.ReadSome(got));
        return got.size() >= 20;
    }));
    const Bytes expected = {0x6A, 0x74, 0x91, 0xFB, 0x05, 0x00, 0x00, 0x00, 0x6A, 0x74,
                            0x92, 0xFB, 0x00, 0x00, 0x00, 0x00, 0x6A, 0x74, 0x93, 0xFB};
    EXPECT_EQ(got, expected);
}

TEST_F(Loopback, AFrameWrittenInPiecesIsDeliveredOnce) {
    CRawPeer peer(m_App.ListenerPort());
    CTCPAppSocket* session = Accept(peer);
    ASSERT_NE(session, nullptr);
    const Bytes frame = Frame(12, Pattern(1000));
    size_t at = 0;
    for (size_t next : {size_t(3), size_t(19), size_t(20), size_t(21), size_t(500), frame.size()}) {
        peer.Write(frame, at, next - at);
        at = next;
        for (int32_t i = 0; i < 3; ++i) {
            ASSERT_EQ(m_App.AppNetworkingHeartbeat(), eNoError);
        }
        if (next < frame.size()) {
            EXPECT_TRUE(m_App.m_aReceived.empty()) << "after byte " << next;
        }
    }
    ASSERT_TRUE(m_App.RunUntil([&] { return !m_App.m_aReceived.empty(); }));
    for (int32_t i = 0; i < 10; ++i) {
        ASSERT_EQ(m_App.AppNetworkingHeartbeat(), eNoError);
    }
    ASSERT_EQ(m_App.m_aReceived.size(), 1u);
    EXPECT_EQ(m_App.m_aReceived[0].payload, Pattern(1000));
}

// A peer that leaves mid-message, by an orderly release or by a reset:
// the session ends in state 5 with nothing delivered and the close
// callback called. One that leaves between frames ends in state 4 (a
// release) or 2 (a reset), without the close callback.
TEST_F(Loopback, APeerThatLeavesMidMessageCutsItOff) {
    struct Case {
        const char* name;
        size_t bytes; // of a 100-byte frame, written before the peer leaves
        bool reset;
        int32_t state;
        int32_t closeCalls;
    };
    const Case cases[] = {
        {"mid-header", 9, false, eSocketCutOff, 1},
        {"mid-payload", 60, false, eSocketCutOff, 1},
        {"between frames", 120, false, eSocketClosed, 0},
        {"mid-header, reset", 9, true, eSocketCutOff, 1},
        {"mid-payload, reset", 60, true, eSocketCutOff, 1},
        {"between frames, reset", 120, true, eSocketFailed, 0},
    };
    static uint32_t arrived = 0;
    static int32_t closeCalls = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        m_App.m_aReceived.clear();
        SHookLog::states.clear();
        arrived = 0;
        closeCalls = 0;
        CRawPeer peer(m_App.ListenerPort());
        CTCPAppSocket* session = Accept(peer);
        ASSERT_NE(session, nullptr);
        const int32_t id = session->GetUniqueID();
        session->SetRawDataHook(
            [](CTCPAppSocket*, const char*, uint32_t count) { arrived += count; });
        session->SetCloseCallback(
            [](CTCPAppSocket*, void*) {
                ++closeCalls;
                return eNoError;
            },
            nullptr);
        peer.Write(Frame(1, Pattern(100)), 0, c.bytes);
        // A reset may overtake bytes not yet read: the peer leaves once
        // the session holds all it sent.
        ASSERT_TRUE(m_App.RunUntil([&] { return arrived == c.bytes; }));
        if (c.reset) {
            peer.Reset();
        } else {
            peer.Close();
        }
        ASSERT_TRUE(m_App.RunUntil([&] { return m_App.NetSessions().GetSize() == 0; }));
        EXPECT_EQ(m_App.m_aReceived.size(), c.bytes >= 120 ? 1u : 0u);
        ASSERT_FALSE(SHookLog::states.empty());
        EXPECT_EQ(SHookLog::states.back(), std::make_pair(id, c.state));
        EXPECT_EQ(closeCalls, c.closeCalls);
    }
}

TEST_F(Loopback, AHostileFrameEndsTheSessionWithNothingStored) {
    struct Case {
        const char* name;
        uint32_t length;
        size_t badByte; // a marker byte changed, or none
    };
    const Case cases[] = {
        {"oversized length", 0xFFFFFFF0u, SIZE_MAX},
        {"just over 16 MiB", (16u << 20) + 1, SIZE_MAX},
        {"bad marker", 10, 8},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SHookLog::states.clear();
        SHookLog::errors.clear();
        m_App.m_aReceived.clear();
        CRawPeer peer(m_App.ListenerPort());
        CTCPAppSocket* session = Accept(peer);
        ASSERT_NE(session, nullptr);
        const int32_t id = session->GetUniqueID();
        Bytes frame(kFrameHeaderBytes);
        WriteFrameHeader(frame.data(), 3, c.length);
        if (c.badByte != SIZE_MAX) {
            frame[c.badByte] ^= 1;
        }
        const Bytes tail = Pattern(40000);
        frame.insert(frame.end(), tail.begin(), tail.end());
        CRefuseLargeBlocks largest(SIZE_MAX);
        peer.Write(frame);
        ASSERT_TRUE(m_App.RunUntil([&] { return m_App.NetSessions().GetSize() == 0; }));
        EXPECT_LE(CRefuseLargeBlocks::Largest(), 64002u) << "no more than one read";
        EXPECT_TRUE(m_App.m_aReceived.empty());
        EXPECT_EQ(SHookLog::errors, (std::vector<std::pair<int32_t, uint32_t>>{{id, 16}}));
        ASSERT_FALSE(SHookLog::states.empty());
        EXPECT_EQ(SHookLog::states.back(), std::make_pair(id, int32_t(eSocketFailed)));
        Bytes got;
        EXPECT_TRUE(m_App.RunUntil([&] { return !peer.ReadSome(got); })) << "closed";
    }
}

TEST_F(Loopback, AConnectNobodyAnswersFailsAndIsRemoved) {
    int32_t id = -1;
    ASSERT_EQ(m_App.NetConnect(id, S("127.0.0.1:" + std::to_string(UnusedPort()))), eNoError);
    ASSERT_NE(m_App.Session(id), nullptr);
    SHookLog::Watch(m_App.Session(id));
    ASSERT_TRUE(m_App.RunUntil([&] { return m_App.Session(id) == nullptr; }));
    ASSERT_EQ(SHookLog::errors.size(), 1u);
    EXPECT_EQ(SHookLog::errors[0], std::make_pair(id, uint32_t(ECONNREFUSED)));
    EXPECT_EQ(SHookLog::states.back(), std::make_pair(id, int32_t(eSocketFailed)));
}

struct SFailingLookup {
    static inline int32_t calls = 0;
    static error Fail(const char*, uint32_t&) {
        ++calls;
        return eGenericFailure;
    }
};

TEST_F(Loopback, SessionsThatCannotStartAreRemoved) {
    using Lookup = SFailingLookup;
    CTCPSocket::ms_pLookup = &Lookup::Fail;
    struct Case {
        const char* text;
        error result;
        int32_t calls;
    };
    const Case cases[] = {
        {"nowhere.invalid:80", eGenericFailure, 1},
        {":80", eGenericFailure, 0},
        {"300.1.1.1:80", eGenericFailure, 0},
        {"127.0.0.1:99999", eBadParameter, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        Lookup::calls = 0;
        int32_t id = 5;
        EXPECT_EQ(m_App.NetConnect(id, S(c.text)), c.result);
        EXPECT_EQ(id, -1);
        EXPECT_EQ(m_App.NetSessions().GetSize(), 0);
        EXPECT_EQ(Lookup::calls, c.calls);
    }
    CTCPSocket::ms_pLookup = &CTCPSocket::SystemLookup;
}

TEST_F(Loopback, UnknownIdsAndPorts) {
    CMemBlockT<unsigned char> none;
    EXPECT_EQ(m_App.NetMessageSend(99, 1, &none), eBadParameter);
    EXPECT_EQ(m_App.NetDisconnect(99), eGenericFailure);
    EXPECT_EQ(m_App.NetListenStop(1), eGenericFailure);
    EXPECT_EQ(m_App.NetListenStop(m_App.ListenerPort()), eNoError);
    ASSERT_TRUE(m_App.RunUntil([&] { return m_App.NetListeners().GetSize() == 0; }));
}

// The application's idle tick runs the networking heartbeat once
// networking has started, and stops running it at quit.
TEST_F(Loopback, TheIdleTickDrivesTheSessions) {
    CRawPeer peer(m_App.ListenerPort());
    const auto end = std::chrono::steady_clock::now() + kDeadline;
    while (m_App.m_aIncoming.empty() && std::chrono::steady_clock::now() < end) {
        (void)m_App.OnIdle(0); // 2: the heartbeat is not started, networking runs anyway
        poll(nullptr, 0, 1);
    }
    ASSERT_EQ(m_App.m_aIncoming.size(), 1u);
    m_App.DoSystemQuit();
    CRawPeer second(m_App.ListenerPort());
    for (int32_t i = 0; i < 50; ++i) {
        (void)m_App.OnIdle(0);
        poll(nullptr, 0, 1);
    }
    EXPECT_EQ(m_App.m_aIncoming.size(), 1u) << "nothing accepted after quitting";
}

// Ids are the lowest free ones.
TEST_F(Loopback, SessionsTakeTheLowestFreeId) {
    std::vector<int32_t> ids;
    for (int32_t i = 0; i < 3; ++i) {
        CTCPAppSocket* s = m_App.NewSocket();
        ASSERT_NE(s, nullptr);
        ids.push_back(s->GetUniqueID());
    }
    EXPECT_EQ(ids, (std::vector<int32_t>{0, 1, 2}));
    EXPECT_EQ(m_App.NetDisconnect(1), eNoError);
    ASSERT_EQ(m_App.AppNetworkingHeartbeat(), eNoError);
    EXPECT_EQ(m_App.NetSessions().GetSize(), 2);
    EXPECT_EQ(m_App.NewSocket()->GetUniqueID(), 1);
}

// On every read: disconnects the session it came on, connects anew and
// sends on the new session, three times.
struct SBusyHook {
    static inline CNetApp* app = nullptr;
    static inline int32_t turns = 0;
    static void Raw(CTCPAppSocket* s, const char*, uint32_t) {
        if (turns++ < 3) {
            (void)app->NetDisconnect(s->GetUniqueID());
            int32_t id = -1;
            EXPECT_EQ(app->NetConnect(id, S("127.0.0.1:" + std::to_string(app->ListenerPort()))),
                      eNoError);
            EXPECT_EQ(app->NetMessageSend(id, 3, nullptr), eNoError);
        }
    }
};

// A hook that connects, sends and disconnects while the heartbeat walks
// the sessions: every session is processed, none after its deletion.
TEST_F(Loopback, HooksMayChangeTheSessionsDuringTheHeartbeat) {
    int32_t first = -1;
    ASSERT_EQ(m_App.NetConnect(first, S(Address("127.0.0.1"))), eNoError);
    ASSERT_TRUE(m_App.RunUntil([&] { return m_App.m_aIncoming.size() == 1; }));
    SBusyHook::app = &m_App;
    SBusyHook::turns = 0;
    using Hook = SBusyHook;
    int32_t& turns = SBusyHook::turns;
    for (CTCPAppSocket* s : m_App.NetSessions()) {
        s->SetRawDataHook(&Hook::Raw);
    }
    m_App.NetListeners()[0]->SetRawDataHook(&Hook::Raw);
    ASSERT_EQ(m_App.NetMessageSend(first, 1, nullptr), eNoError);
    ASSERT_TRUE(m_App.RunUntil([&] { return turns >= 3 && m_App.m_aReceived.size() >= 3; }));
    for (int32_t i = 0; i < 20; ++i) {
        ASSERT_EQ(m_App.AppNetworkingHeartbeat(), eNoError);
    }
    EXPECT_GE(m_App.m_aReceived.size(), 3u);
}

// The plain socket: the state moves to 3 before the connect callback, and
// a close reaches the release callback once.
class CRecordingSocket : public CTCPSocket {
public:
    error ChangeState(eSocketState state) override {
        m_aLog.push_back("state " + std::to_string(int32_t(state)));
        return CTCPSocket::ChangeState(state);
    }
    std::vector<std::string> m_aLog;
};

std::vector<std::string>* LogOf(void* user) {
    return &static_cast<CRecordingSocket*>(static_cast<CTCPSocket*>(user))->m_aLog;
}

TEST_F(Loopback, TheStateChangesBeforeTheConnectCallbackAndACloseIsReportedOnce) {
    CRecordingSocket socket;
    ASSERT_EQ(socket.CreateSocket(
                  nullptr, nullptr, nullptr, nullptr,
                  [](uint32_t, int32_t result, void* user) -> error {
                      LogOf(user)->push_back("connect " + std::to_string(result));
                      return eNoError;
                  },
                  nullptr, nullptr,
                  [](uint32_t, void* user) -> error {
                      LogOf(user)->push_back("release");
                      return eNoError;
                  },
                  m_App.ListenerPort()),
              eNoError);
    ASSERT_EQ(socket.ConnectToSocket(0x7F000001, 0), eNoError);
    const auto end = std::chrono::steady_clock::now() + kDeadline;
    while (!socket.IsConnected() && std::chrono::steady_clock::now() < end) {
        ASSERT_EQ(socket.Process(), eNoError);
        poll(nullptr, 0, 1);
    }
    EXPECT_EQ(socket.m_aLog, (std::vector<std::string>{"state 1", "state 3", "connect 0"}));
    socket.m_aLog.clear();
    ASSERT_EQ(socket.CloseSocket(), eNoError);
    for (int32_t i = 0; i < 3; ++i) {
        ASSERT_EQ(socket.Process(), eNoError);
    }
    EXPECT_EQ(socket.m_aLog, (std::vector<std::string>{"release"}));
}

// A peer that vanishes while the program sends: the send fails with the
// error and the program lives on (SIGPIPE is left at its default).
TEST_F(Loopback, APeerGoneWhileSendingNeverKillsTheProgram) {
    CTCPSocket socket;
    ASSERT_EQ(socket.CreateSocket(m_App.ListenerPort()), eNoError);
    ASSERT_EQ(socket.ConnectToSocket(0x7F000001, 0), eNoError);
    ASSERT_TRUE(m_App.RunUntil([&] {
        (void)socket.Process();
        return socket.IsConnected() && !m_App.m_aIncoming.empty();
    }));
    // The program's side of it goes away, unread.
    EXPECT_EQ(m_App.NetDisconnect(m_App.m_aIncoming.back()), eNoError);
    ASSERT_EQ(m_App.AppNetworkingHeartbeat(), eNoError);
    CMemBlockT<char> block;
    error e = eNoError;
    const auto end = std::chrono::steady_clock::now() + kDeadline;
    while (e == eNoError && std::chrono::steady_clock::now() < end) {
        ASSERT_EQ(block.Resize(4096, 1), 1);
        uint32_t count = 4096;
        e = socket.SendData(&count, &block);
        poll(nullptr, 0, 1);
    }
    EXPECT_EQ(e, eGenericFailure);
    EXPECT_FALSE(socket.IsConnected());
    EXPECT_TRUE(socket.GetLastResult() == EPIPE || socket.GetLastResult() == ECONNRESET)
        << socket.GetLastResult();
}

// The same at the session level, while a large message is going out.
TEST_F(Loopback, ASessionWhosePeerLeavesWhileItSendsEnds) {
    CRawPeer peer(m_App.ListenerPort());
    CTCPAppSocket* session = Accept(peer);
    ASSERT_NE(session, nullptr);
    const int32_t id = session->GetUniqueID();
    CMemBlockT<unsigned char> payload;
    ASSERT_EQ(payload.Resize(4u << 20, 1), 1);
    ASSERT_EQ(m_App.NetMessageSend(id, 1, &payload), eNoError);
    for (int32_t i = 0; i < 5; ++i) {
        ASSERT_EQ(m_App.AppNetworkingHeartbeat(), eNoError);
    }
    peer.Close();
    ASSERT_TRUE(m_App.RunUntil([&] { return m_App.Session(id) == nullptr; }));
}

TEST(LoopbackShutDown, LeavesNoDescriptorOpen) {
    signal(SIGPIPE, SIG_DFL);
    {
        CNetApp app;
        const int32_t before = OpenDescriptors();
        ASSERT_EQ(app.NetListen(0), eNoError);
        int32_t a = -1, b = -1;
        ASSERT_EQ(app.NetConnect(a, S("127.0.0.1:" + std::to_string(app.ListenerPort()))),
                  eNoError);
        ASSERT_EQ(app.NetConnect(b, S("localhost:" + std::to_string(app.ListenerPort()))),
                  eNoError);
        ASSERT_TRUE(app.RunUntil([&] { return app.m_aIncoming.size() == 2; }));
        EXPECT_GT(OpenDescriptors(), before + 4);
        app.ShutDownNetworking();
        EXPECT_EQ(OpenDescriptors(), before);
        EXPECT_EQ(app.NetSessions().GetSize(), 0);
        EXPECT_EQ(app.NetListeners().GetSize(), 0);
    }
}

} // namespace
