// IPv4 addresses as text and numbers, their segments and private ranges,
// and host names resolved through one replaceable lookup.

#include <cstring>
#include <netdb.h>
#include <netinet/in.h>
#include <string>
#include <sys/socket.h>

#include "foundation/Utf8.h"
#include "platform/TCPSocket.h"

namespace {

// The private range an address lies in: 1 for 10/8, 2 for 172.16/12, 3 for
// 192.168/16, else 0.
int32_t PrivateRange(uint32_t address) {
    const uint32_t s1 = CTCPSocket::GetSegmentFromIPAddress(address, 1);
    const uint32_t s2 = CTCPSocket::GetSegmentFromIPAddress(address, 2);
    if (s1 == 10) {
        return 1;
    }
    if (s1 == 172 && s2 >= 16 && s2 <= 31) {
        return 2;
    }
    if (s1 == 192 && s2 == 168) {
        return 3;
    }
    return 0;
}

} // namespace

bool CTCPSocket::IsFourParts(const gCString& text, uint32_t* address, bool* valid) {
    const std::string s = gStringToUtf8(text);
    int32_t parts = 1;
    for (char c : s) {
        parts += c == '.';
    }
    if (parts != 4) {
        return false;
    }
    uint32_t value = 0;
    bool good = true;
    size_t start = 0;
    for (int32_t i = 0; i < 4; ++i) {
        const size_t end = i < 3 ? s.find('.', start) : s.size();
        const size_t length = end - start;
        uint32_t part = 0;
        good = good && length >= 1 && length <= 3;
        for (size_t k = start; good && k < end; ++k) {
            good = s[k] >= '0' && s[k] <= '9';
            part = part * 10 + uint32_t(s[k] - '0');
        }
        good = good && part <= 255;
        value = (value << 8) | (part & 0xFF);
        start = end + 1;
    }
    *address = good ? value : 0;
    *valid = good;
    return true;
}

uint32_t CTCPSocket::ConvertIPAddress(const gCString& text) {
    uint32_t address = 0;
    bool valid = false;
    return IsFourParts(text, &address, &valid) ? address : 0;
}

gCString CTCPSocket::ConvertIPAddress(uint32_t address) {
    gCString text;
    (void)text.Format(u"%u.%u.%u.%u", unsigned(address >> 24), unsigned((address >> 16) & 0xFF),
                      unsigned((address >> 8) & 0xFF),
                      unsigned(address & 0xFF)); // without memory: empty
    return text;
}

error CTCPSocket::SplitIPPort(const gCString& text, gCString* host, uint16_t* port) {
    const std::string s = gStringToUtf8(text);
    const size_t colon = s.find(':');
    *port = 0;
    if (colon == std::string::npos) {
        *host = text;
        return eNoError;
    }
    if (error e = gStringFromUtf8(*host, s.substr(0, colon))) {
        return e;
    }
    const std::string digits = s.substr(colon + 1);
    uint32_t value = 0;
    bool valid = !digits.empty() && digits.size() <= 5;
    for (char c : digits) {
        valid = valid && c >= '0' && c <= '9';
        value = value * 10 + uint32_t(c - '0');
    }
    if (!valid || value > 65535) {
        return eBadParameter;
    }
    *port = uint16_t(value);
    return eNoError;
}

uint32_t CTCPSocket::GetSegmentFromIPAddress(uint32_t address, int32_t n) {
    if (n < 1 || n > 4) {
        return 0;
    }
    return (address >> (8 * (4 - n))) & 0xFF;
}

bool CTCPSocket::IsIPLocal(uint32_t a, uint32_t b) {
    if (GetSegmentFromIPAddress(a, 1) == 127) {
        return true;
    }
    const int32_t range = PrivateRange(a);
    return range != 0 && PrivateRange(b) == range;
}

bool CTCPSocket::IsIPLegal(uint32_t a, uint32_t b) {
    const uint32_t s1 = GetSegmentFromIPAddress(a, 1);
    if (s1 < 2 || s1 == 127) {
        return false;
    }
    const int32_t range = PrivateRange(a);
    return range == 0 || PrivateRange(b) == range;
}

error CTCPSocket::SystemLookup(const char* host, uint32_t& address) {
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (getaddrinfo(host, nullptr, &hints, &found) != 0 || !found) {
        return eGenericFailure;
    }
    const sockaddr_in* first = reinterpret_cast<const sockaddr_in*>(found->ai_addr);
    address = ntohl(first->sin_addr.s_addr);
    freeaddrinfo(found);
    return eNoError;
}

error CTCPSocket::GetIPFromHostName(const gCString& host, uint32_t* address, uint32_t*) {
    uint32_t found = 0;
    bool valid = false;
    if (IsFourParts(host, &found, &valid)) {
        // Four dotted parts never reach the lookup.
        *address = found;
        return valid ? eNoError : eGenericFailure;
    }
    const std::string name = gStringToUtf8(host);
    if (name.empty() || name.find('\0') != std::string::npos) {
        return eGenericFailure;
    }
    if (ms_pLookup(name.c_str(), found) != eNoError) {
        return eGenericFailure;
    }
    *address = found;
    return eNoError;
}

error CTCPSocket::AsyncResolve(const gCString& host, ResolveProc callback, uint32_t userData,
                               uint32_t& id, void* socket) {
    id = 0;
    uint32_t address = 0;
    if (GetIPFromHostName(host, &address, nullptr) != eNoError) {
        return eGenericFailure;
    }
    return callback ? callback(address, userData, socket) : eNoError;
}

void CTCPSocket::CancelAsyncResolveByThis(void* socket) {
    for (CResolver::SPending& p : ms_Resolver.m_aPending) {
        p.cancelled = p.cancelled || p.socket == socket;
    }
}

void CTCPSocket::CancelAsyncResolveByUserData(uint32_t userData) {
    for (CResolver::SPending& p : ms_Resolver.m_aPending) {
        p.cancelled = p.cancelled || p.userData == userData;
    }
}
