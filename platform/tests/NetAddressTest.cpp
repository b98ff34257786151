// IPv4 addresses as text and numbers, their segments and ranges, and host
// names through the replaceable lookup.

#include <gtest/gtest.h>

#include <cerrno>
#include <string>

#include "foundation/Utf8.h"
#include "platform/TCPSocket.h"

namespace {

gCString S(const char* text) {
    gCString s;
    EXPECT_EQ(gStringFromUtf8(s, text), eNoError);
    return s;
}

std::string Text(const gCString& s) {
    return gStringToUtf8(s);
}

constexpr uint32_t Addr(uint32_t a, uint32_t b, uint32_t c, uint32_t d) {
    return a << 24 | b << 16 | c << 8 | d;
}

TEST(IPAddressText, ConvertsBothWays) {
    struct Case {
        const char* text;
        uint32_t address; // 0: no address
        bool valid;
    };
    const Case cases[] = {
        {"0.0.0.0", 0, true},
        {"255.255.255.255", 0xFFFFFFFF, true},
        {"10.0.0.1", 0x0A000001, true},
        {"192.168.1.20", Addr(192, 168, 1, 20), true},
        {"1.2.3", 0, false},
        {"1.2.3.4.5", 0, false},
        {"256.1.1.1", 0, false},
        {"1.2.3.x", 0, false},
        {"1..3.4", 0, false},
        {"-1.2.3.4", 0, false},
        {"", 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(CTCPSocket::ConvertIPAddress(S(c.text)), c.address);
        if (c.valid) {
            EXPECT_EQ(Text(CTCPSocket::ConvertIPAddress(c.address)), c.text);
        }
    }
}

TEST(IPAddressText, SplitsHostAndPort) {
    struct Case {
        const char* text;
        const char* host;
        uint16_t port;
        error result;
    };
    const Case cases[] = {
        {"10.0.0.1:8080", "10.0.0.1", 8080, eNoError},
        {"localhost", "localhost", 0, eNoError},
        {":80", "", 80, eNoError},
        {"host:65535", "host", 65535, eNoError},
        {"host:", "host", 0, eBadParameter},
        {"host:70000", "host", 0, eBadParameter},
        {"host:8x", "host", 0, eBadParameter},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        gCString host;
        uint16_t port = 1;
        EXPECT_EQ(CTCPSocket::SplitIPPort(S(c.text), &host, &port), c.result);
        EXPECT_EQ(Text(host), c.host);
        EXPECT_EQ(port, c.port);
    }
}

TEST(IPAddressSegments, CountFromTheFirstDottedPart) {
    const uint32_t a = CTCPSocket::ConvertIPAddress(S("1.2.3.4"));
    for (int32_t n = 1; n <= 4; ++n) {
        EXPECT_EQ(CTCPSocket::GetSegmentFromIPAddress(a, n), uint32_t(n));
    }
    EXPECT_EQ(CTCPSocket::GetSegmentFromIPAddress(a, 0), 0u);
    EXPECT_EQ(CTCPSocket::GetSegmentFromIPAddress(a, 5), 0u);
}

TEST(IPAddressRanges, LocalAndLegal) {
    struct Case {
        const char* a;
        const char* b;
        bool local;
        bool legal;
    };
    const Case cases[] = {
        {"127.0.0.1", "8.8.8.8", true, false},
        {"10.1.2.3", "10.9.9.9", true, true},
        {"10.1.2.3", "11.0.0.1", false, false},
        {"172.15.0.1", "172.15.0.2", false, true}, // below the range: public
        {"172.16.0.1", "172.31.255.1", true, true},
        {"172.16.0.1", "172.32.0.1", false, false},
        {"172.31.0.1", "172.16.0.1", true, true},
        {"172.32.0.1", "172.32.0.2", false, true},
        {"192.168.0.1", "192.168.7.7", true, true},
        {"192.168.0.1", "192.169.0.1", false, false},
        {"0.1.2.3", "0.1.2.3", false, false},
        {"1.1.1.1", "1.1.1.1", false, false},
        {"2.1.1.1", "9.9.9.9", false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.a) + " " + c.b);
        const uint32_t a = CTCPSocket::ConvertIPAddress(S(c.a));
        const uint32_t b = CTCPSocket::ConvertIPAddress(S(c.b));
        EXPECT_EQ(CTCPSocket::IsIPLocal(a, b), c.local);
        EXPECT_EQ(CTCPSocket::IsIPLegal(a, b), c.legal);
    }
}

// A lookup that counts its calls and answers as told.
struct CountingLookup {
    static inline int32_t calls = 0;
    static inline error answer = eNoError;
    static error Lookup(const char*, uint32_t& address) {
        ++calls;
        address = Addr(127, 0, 0, 9);
        return answer;
    }
    CountingLookup() {
        calls = 0;
        answer = eNoError;
        CTCPSocket::ms_pLookup = &Lookup;
    }
    ~CountingLookup() { CTCPSocket::ms_pLookup = &CTCPSocket::SystemLookup; }
};

TEST(HostNames, FourDottedPartsNeverReachTheLookup) {
    CountingLookup lookup;
    struct Case {
        const char* host;
        error result;
        uint32_t address;
        int32_t calls;
    };
    const Case cases[] = {
        {"10.0.0.1", eNoError, 0x0A000001, 0},
        {"256.0.0.1", eGenericFailure, 0, 0},
        {"1.2.3.x", eGenericFailure, 0, 0},
        {"1.2.3", eNoError, Addr(127, 0, 0, 9), 1},
        {"1.2.3.4.5", eNoError, Addr(127, 0, 0, 9), 1},
        {"example", eNoError, Addr(127, 0, 0, 9), 1},
        {"", eGenericFailure, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.host);
        CountingLookup::calls = 0;
        uint32_t address = 0;
        EXPECT_EQ(CTCPSocket::GetIPFromHostName(S(c.host), &address, nullptr), c.result);
        if (c.result == eNoError) {
            EXPECT_EQ(address, c.address);
        }
        EXPECT_EQ(CountingLookup::calls, c.calls);
    }
    CountingLookup::answer = eGenericFailure;
    uint32_t address = 0;
    EXPECT_EQ(CTCPSocket::GetIPFromHostName(S("nowhere"), &address, nullptr), eGenericFailure);
}

TEST(IPAddressText, ErrorsAreDescribedByTheSystem) {
    EXPECT_EQ(Text(CTCPSocket::GetErrDescription(ECONNREFUSED)), "Connection refused");
}

TEST(HostNames, LocalhostResolvesThroughTheSystem) {
    uint32_t address = 0;
    ASSERT_EQ(CTCPSocket::GetIPFromHostName(S("localhost"), &address, nullptr), eNoError);
    EXPECT_EQ(address, Addr(127, 0, 0, 1));
}

TEST(HostNames, AsyncResolveCallsBackAtOnce) {
    CountingLookup lookup;
    static uint32_t seen[3];
    auto done = [](uint32_t address, uint32_t user, void* socket) -> error {
        seen[0] = address;
        seen[1] = user;
        seen[2] = socket ? 1 : 0;
        return eCompleted;
    };
    int32_t marker = 0;
    uint32_t id = 7;
    EXPECT_EQ(CTCPSocket::AsyncResolve(S("10.0.0.2"), done, 42, id, &marker), eCompleted);
    EXPECT_EQ(seen[0], 0x0A000002u);
    EXPECT_EQ(seen[1], 42u);
    EXPECT_EQ(seen[2], 1u);
    EXPECT_EQ(CTCPSocket::AsyncResolve(S("name"), done, 43, id, &marker), eCompleted);
    EXPECT_EQ(seen[0], Addr(127, 0, 0, 9));
    CountingLookup::answer = eGenericFailure;
    seen[1] = 0;
    EXPECT_EQ(CTCPSocket::AsyncResolve(S("name"), done, 44, id, &marker), eGenericFailure);
    EXPECT_EQ(seen[1], 0u) << "no callback";
    EXPECT_EQ(CTCPSocket::ms_Resolver.m_aPending.GetSize(), 0);
}

} // namespace
