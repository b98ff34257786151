// The string's storage: capacity, setting, appending and inserting.
#include "foundation/gCString.h"

#include <cstring>
#include <limits>

#include "foundation/StringUnits.h"
#include "foundation/gCMemory.h"

namespace {

// Whether p points into the n units at base.
bool PointsInto(const char16_t* p, const char16_t* base, int32_t n) {
    return base && p >= base && p <= base + n;
}

} // namespace

gCString::gCString(const gCString& other) {
    if (other.m_pBuffer) {
        // A constructor has no result: without memory the copy is empty.
        (void)CopyString(other.m_pBuffer);
    }
}

gCString& gCString::operator=(const gCString& other) {
    if (this != &other) {
        if (other.m_pBuffer) {
            // An assignment has no result: without memory the previous
            // value stays, as CopyString leaves it.
            (void)CopyString(other.m_pBuffer);
        } else {
            SetLength(0);
        }
    }
    return *this;
}

gCString::gCString(gCString&& other) noexcept
    : m_pBuffer(other.m_pBuffer), m_nCapacity(other.m_nCapacity), m_nLength(other.m_nLength) {
    other.m_pBuffer = nullptr;
    other.m_nCapacity = 0;
    other.m_nLength = 0;
}

gCString& gCString::operator=(gCString&& other) noexcept {
    if (this != &other) {
        (void)Destroy(); // freeing cannot fail
        m_pBuffer = other.m_pBuffer;
        m_nCapacity = other.m_nCapacity;
        m_nLength = other.m_nLength;
        other.m_pBuffer = nullptr;
        other.m_nCapacity = 0;
        other.m_nLength = 0;
    }
    return *this;
}

error gCString::Destroy() {
    if (m_pBuffer) {
        gCMemory::Free(m_pBuffer);
    }
    m_pBuffer = nullptr;
    m_nCapacity = 0;
    m_nLength = 0;
    return eNoError;
}

error gCString::Reserve(int32_t length) {
    if (length < 0) {
        return eOutOfMemory;
    }
    if (m_pBuffer && int64_t(length) + 1 <= m_nCapacity) {
        return eNoError;
    }
    // The smallest multiple of 16 above length + 1.
    const int64_t capacity = (int64_t(length) + 17) & ~int64_t(15);
    if (capacity > std::numeric_limits<int32_t>::max()) {
        return eOutOfMemory;
    }
    void* p = gCMemory::Realloc(m_pBuffer, size_t(capacity) * sizeof(char16_t));
    if (!p) {
        return eOutOfMemory;
    }
    const bool fresh = m_pBuffer == nullptr;
    m_pBuffer = static_cast<char16_t*>(p);
    m_nCapacity = int32_t(capacity);
    if (fresh) {
        m_pBuffer[0] = 0;
        m_nLength = 0;
    }
    return eNoError;
}

void gCString::SetLength(int32_t length) {
    if (!m_pBuffer) {
        m_nLength = 0;
        return;
    }
    m_nLength = length;
    m_pBuffer[length] = 0;
}

error gCString::SetUnits(const char16_t* units, int32_t n) {
    if (PointsInto(units, m_pBuffer, m_nLength)) {
        // A part of this text never needs more room than it has.
        std::memmove(m_pBuffer, units, size_t(n) * sizeof(char16_t));
        SetLength(n);
        return eNoError;
    }
    const error e = Reserve(n);
    if (e != eNoError) {
        return e;
    }
    if (n > 0) {
        std::memcpy(m_pBuffer, units, size_t(n) * sizeof(char16_t));
    }
    SetLength(n);
    return eNoError;
}

error gCString::Splice(int32_t position, int32_t count, const char16_t* units, int32_t n) {
    if (PointsInto(units, m_pBuffer, m_nLength)) {
        // The inserted units come from this text, which is about to move.
        gCString copy;
        const error e = copy.SetUnits(units, n);
        return e != eNoError ? e : Splice(position, count, copy.m_pBuffer, n);
    }
    const int64_t newLength = int64_t(m_nLength) - count + n;
    if (newLength > std::numeric_limits<int32_t>::max() - 17) {
        return eOutOfMemory;
    }
    const error e = Reserve(int32_t(newLength));
    if (e != eNoError) {
        return e;
    }
    const int32_t tail = m_nLength - position - count;
    std::memmove(m_pBuffer + position + n, m_pBuffer + position + count,
                 size_t(tail) * sizeof(char16_t));
    if (n > 0) {
        std::memcpy(m_pBuffer + position, units, size_t(n) * sizeof(char16_t));
    }
    SetLength(int32_t(newLength));
    return eNoError;
}

error gCString::CopyString(const char16_t* text) {
    if (!text) {
        SetLength(0);
        return eNoError;
    }
    return SetUnits(text, UnitCount(text));
}

error gCString::CopyStringFromBuffer(const char16_t* units, int32_t n) {
    if (!units || n <= 0 || units[0] == 0) {
        SetLength(0);
        return eNoError;
    }
    int32_t k = 0;
    while (k < n && units[k] != 0) {
        ++k;
    }
    return SetUnits(units, k);
}

error gCString::AppendString(const gCString& other) {
    if (!m_pBuffer) {
        return other.m_pBuffer ? CopyString(other.m_pBuffer) : eNoError;
    }
    const std::u16string_view text = TextOf(other);
    if (text.empty()) {
        return eNoError;
    }
    return Splice(m_nLength, 0, text.data(), int32_t(text.size()));
}

error gCString::AppendString(const char16_t* text) {
    if (!text) {
        return eNoError;
    }
    if (!m_pBuffer) {
        return CopyString(text);
    }
    const int32_t n = UnitCount(text);
    return n ? Splice(m_nLength, 0, text, n) : eNoError;
}

error gCString::Insert(uint32_t unit, int32_t position) {
    const char16_t u = char16_t(unit & 0xFFFF);
    if (position < 0) {
        position = 0;
    }
    if (!m_pBuffer || position > m_nLength) {
        position = m_nLength;
    }
    return Splice(position, 0, &u, 1);
}

error gCString::Insert(const gCString& other, int32_t position) {
    if (!m_pBuffer) {
        return other.m_pBuffer ? CopyString(other.m_pBuffer) : eNoError;
    }
    const std::u16string_view text = TextOf(other);
    if (text.empty()) {
        return eNoError;
    }
    if (position < 0) {
        position = 0;
    } else if (position > m_nLength) {
        position = m_nLength;
    }
    return Splice(position, 0, text.data(), int32_t(text.size()));
}
