// Searching a string and splitting it into pieces.
#include "foundation/StringUnits.h"
#include "foundation/gCString.h"

namespace {

// The whole text of a string by its length (empty without a buffer).
std::u16string_view Units(const gCString& s) {
    const char16_t* p = s.GetBuffer();
    return p && s.GetLength() > 0 ? std::u16string_view(p, size_t(s.GetLength()))
                                  : std::u16string_view();
}

int32_t IndexOrNone(size_t found) {
    return found == std::u16string_view::npos ? -1 : int32_t(found);
}

} // namespace

int32_t gCString::Find(uint32_t unit) const {
    return IndexOrNone(Units(*this).find(char16_t(unit & 0xFFFF)));
}

int32_t gCString::Find(const gCString& pattern) const {
    return FindFrom(0, pattern);
}

int32_t gCString::FindFrom(int32_t start, const gCString& pattern) const {
    const std::u16string_view text = Units(*this);
    const std::u16string_view p = Units(pattern);
    if (text.empty() || p.empty() || text[0] == 0 || p[0] == 0 || start < 0 || start >= m_nLength) {
        return -1;
    }
    return IndexOrNone(text.find(p, size_t(start)));
}

int32_t gCString::FindFromEnd(const gCString& pattern) const {
    const std::u16string_view text = Units(*this);
    const std::u16string_view p = Units(pattern);
    if (text.empty() || p.empty() || text[0] == 0 || p[0] == 0) {
        return -1;
    }
    return IndexOrNone(text.rfind(p));
}

int32_t gCString::FindOneOf(const gCString& set) const {
    const std::u16string_view units = TextOf(set);
    if (units.empty()) {
        return -1;
    }
    return IndexOrNone(Units(*this).find_first_of(units));
}

int32_t gCString::FindOneOfFromEnd(const gCString& set) const {
    const std::u16string_view units = TextOf(set);
    if (units.empty()) {
        return -1;
    }
    return IndexOrNone(Units(*this).find_last_of(units));
}

int32_t gCString::SplitString(gCString& left, gCString& right, const gCString& separator,
                              int32_t dropLast) const {
    if (m_nLength <= 0 || !m_pBuffer) {
        return 1;
    }
    const int32_t at = Find(separator);
    if (at == 0) {
        return 1;
    }
    if (at < 0) {
        gCString whole(*this);
        left = std::move(whole);
        right.SetLength(0);
        return 2;
    }
    // The right part starts one unit after the separator's first unit.
    int32_t last = m_nLength - 1;
    if (dropLast) {
        --last;
    }
    gCString before = GetSubString(0, at - 1);
    gCString after = GetSubString(at + 1, last);
    left = std::move(before);
    right = std::move(after);
    return 0;
}

namespace {

// Appends the pieces of text ended by the units for which ends(unit) holds.
template <typename Ends>
int32_t SplitPieces(const gCString& s, gCArray<gCString>& pieces, Ends ends) {
    const char16_t* p = s.GetBuffer();
    const int32_t length = s.GetLength();
    if (!p || length <= 0) {
        return 0;
    }
    int32_t start = 0;
    for (int32_t i = 0; i <= length; ++i) {
        if (i == length || ends(p[i])) {
            const int32_t index = pieces.GetSize();
            if (pieces.SetSize(index + 1) != eNoError) {
                break;
            }
            if (i > start) {
                pieces[index] = s.GetSubString(start, i - 1);
            }
            start = i + 1;
        }
    }
    return pieces.GetSize();
}

// Whether s is an element of the array, which may move as it grows.
bool IsElementOf(const gCString* s, const gCArray<gCString>& pieces) {
    return s >= pieces.begin() && s < pieces.end();
}

} // namespace

int32_t gCString::SplitString(gCArray<gCString>& pieces, uint32_t unit) const {
    if (IsElementOf(this, pieces)) {
        const gCString copy(*this);
        return copy.SplitString(pieces, unit);
    }
    return SplitPieces(*this, pieces, [unit](char16_t u) { return u == unit; });
}

int32_t gCString::SplitString(gCArray<gCString>& pieces, const gCString& separators) const {
    if (IsElementOf(this, pieces) || IsElementOf(&separators, pieces)) {
        const gCString copy(*this), set(separators);
        return copy.SplitString(pieces, set);
    }
    const std::u16string_view units = TextOf(separators);
    return SplitPieces(*this, pieces, [units](char16_t u) { return InSet(u, units); });
}
