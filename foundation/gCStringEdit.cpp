// Cutting a string: parts, removal, reversal, letter filters, replacement.
#include <algorithm>
#include <cstring>

#include "foundation/StringUnits.h"
#include "foundation/gCString.h"

void gCString::Mid(int32_t start, int32_t count) {
    if (!m_pBuffer) {
        return;
    }
    if (start < 0) {
        start = 0;
    }
    if (count < 0 || start >= m_nLength) {
        SetLength(0);
        return;
    }
    const int32_t n = std::min(count, m_nLength - start);
    std::memmove(m_pBuffer, m_pBuffer + start, size_t(n) * sizeof(char16_t));
    SetLength(n);
}

void gCString::Right(int32_t n) {
    if (n <= 0) {
        SetLength(0);
    } else if (n < m_nLength) {
        Mid(m_nLength - n, n);
    }
}

void gCString::SubString(int32_t first, int32_t last) {
    if (first < 0) {
        first = 0;
    }
    if (last > m_nLength - 1) {
        last = m_nLength - 1;
    }
    if (first > last) {
        SetLength(0);
        return;
    }
    Mid(first, last - first + 1);
}

gCString gCString::GetSubString(int32_t first, int32_t last) const {
    gCString part;
    if (!m_pBuffer) {
        return part;
    }
    if (first < 0) {
        first = 0;
    }
    if (last > m_nLength - 1) {
        last = m_nLength - 1;
    }
    if (first <= last) {
        // A copy returned by value has no result: without memory it is
        // empty, as every Get... copy is.
        (void)part.SetUnits(m_pBuffer + first, last - first + 1);
    }
    return part;
}

int32_t gCString::RemoveChar(int32_t position, int32_t count) {
    if (!m_pBuffer || m_nLength == 0 || position < 0 || position > m_nLength) {
        return position;
    }
    const int32_t n = std::clamp(count, 0, m_nLength - position);
    std::memmove(m_pBuffer + position, m_pBuffer + position + n,
                 size_t(m_nLength - position - n) * sizeof(char16_t));
    SetLength(m_nLength - n);
    return m_nLength;
}

gCString gCString::GetRemoveChar(int32_t position, int32_t count) const {
    return EditedCopy(*this, [&](gCString& copy) { copy.RemoveChar(position, count); });
}

void gCString::Reverse() {
    if (m_pBuffer) {
        std::reverse(m_pBuffer, m_pBuffer + m_nLength);
    }
}

gCString gCString::GetReverse() const {
    return EditedCopy(*this, [&](gCString& copy) { copy.Reverse(); });
}

namespace {

// Keeps the letters, as capitals, and with digits also the digits; returns
// the number of units kept at the front.
int32_t KeepLetters(char16_t* units, int32_t n, bool digits) {
    int32_t kept = 0;
    for (int32_t i = 0; i < n; ++i) {
        const char16_t u = units[i];
        if (u >= u'a' && u <= u'z') {
            units[kept++] = char16_t(u - u'a' + u'A');
        } else if ((u >= u'A' && u <= u'Z') || (digits && u >= u'0' && u <= u'9')) {
            units[kept++] = u;
        }
    }
    return kept;
}

} // namespace

void gCString::PureAlpha() {
    if (m_pBuffer) {
        SetLength(KeepLetters(m_pBuffer, m_nLength, false));
    }
}

gCString gCString::GetPureAlpha() const {
    return EditedCopy(*this, [&](gCString& copy) { copy.PureAlpha(); });
}

void gCString::PureAlphaNumeric() {
    if (m_pBuffer) {
        SetLength(KeepLetters(m_pBuffer, m_nLength, true));
    }
}

gCString gCString::GetPureAlphaNumeric() const {
    return EditedCopy(*this, [&](gCString& copy) { copy.PureAlphaNumeric(); });
}

int32_t gCString::Replace(uint32_t from, uint32_t to) {
    if (!m_pBuffer || from > 0xFFFF) {
        return 0;
    }
    int32_t replaced = 0;
    for (int32_t i = 0; i < m_nLength; ++i) {
        if (m_pBuffer[i] == from) {
            m_pBuffer[i] = char16_t(to & 0xFFFF);
            ++replaced;
        }
    }
    return replaced;
}

int32_t gCString::Replace(const gCString& from, const gCString& to) {
    if (!m_pBuffer || !from.m_pBuffer) {
        return 0;
    }
    if (&from == this || &to == this) {
        // The pattern or the replacement would change under the search.
        const gCString fromCopy(from), toCopy(to);
        return Replace(fromCopy, toCopy);
    }
    const std::u16string_view replacement = TextOf(to);
    const int32_t patternLength = int32_t(TextOf(from).size());
    int32_t replaced = 0;
    int32_t position = 0;
    for (;;) {
        const int32_t found = FindFrom(position, from);
        if (found < 0) {
            break;
        }
        if (Splice(found, patternLength, replacement.data(), int32_t(replacement.size())) !=
            eNoError) {
            break;
        }
        ++replaced;
        // Go on behind the inserted text, which is never searched again.
        position = found + int32_t(replacement.size());
        if (position >= m_nLength) {
            break;
        }
    }
    return replaced;
}
