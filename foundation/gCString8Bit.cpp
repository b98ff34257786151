// The string's 8-bit conversions: Mac Roman in, ISO Latin-1 out.
#include <cstring>
#include <limits>

#include "foundation/MacRoman.h"
#include "foundation/gCString.h"

char gCString::m_nAsciiBuffer[4096];

error gCString::CopyString(const char* macRoman) {
    if (!macRoman || macRoman[0] == 0) {
        SetLength(0);
        return eNoError;
    }
    const size_t n = std::strlen(macRoman);
    if (n > size_t(std::numeric_limits<int32_t>::max())) {
        return eOutOfMemory;
    }
    return CopyStringFromBuffer(macRoman, int32_t(n));
}

error gCString::CopyStringFromBuffer(const char* macRoman, int32_t n) {
    if (!macRoman || n <= 0 || macRoman[0] == 0) {
        SetLength(0);
        return eNoError;
    }
    // Room for three units a byte, as the converter is given; every byte
    // becomes one unit, NULs included.
    if (int64_t(n) * 3 > std::numeric_limits<int32_t>::max() - 17) {
        return eOutOfMemory;
    }
    const error e = Reserve(n * 3 - 1);
    if (e != eNoError) {
        return e;
    }
    for (int32_t i = 0; i < n; ++i) {
        m_pBuffer[i] = MacRomanToUnicode(static_cast<unsigned char>(macRoman[i]));
    }
    SetLength(n);
    return eNoError;
}

const char* gCString::Ascii() const {
    int32_t written = 0;
    if (m_pBuffer) {
        const int32_t limit = int32_t(sizeof(m_nAsciiBuffer)) - 1;
        const int32_t n = m_nLength < limit ? m_nLength : limit;
        // A unit that Latin-1 cannot hold ends the text.
        while (written < n && m_pBuffer[written] <= 0xFF) {
            m_nAsciiBuffer[written] = char(m_pBuffer[written]);
            ++written;
        }
    }
    m_nAsciiBuffer[written] = 0;
    return m_nAsciiBuffer;
}
