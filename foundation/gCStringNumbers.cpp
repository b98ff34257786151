// Reading numbers and points from a string.
#include <cstdlib>
#include <string>
#include <string_view>

#include "foundation/ErrorReport.h"
#include "foundation/StringUnits.h"
#include "foundation/gCString.h"

namespace {

bool IsDigit(char16_t u) {
    return u >= u'0' && u <= u'9';
}

// The blanks that numbers and point coordinates are trimmed of.
constexpr std::u16string_view kBlanks = u"\t \n\r";

// The string's units (its whole length) without leading and trailing
// blanks. Reading a number works on this view of the string's own units and
// never allocates, so a number reads the same when memory is short.
std::u16string_view Trimmed(const gCString& text) {
    std::u16string_view t;
    if (text.GetBuffer() && text.GetLength() > 0) {
        t = std::u16string_view(text.GetBuffer(), size_t(text.GetLength()));
    }
    while (!t.empty() && InSet(t.front(), kBlanks)) {
        t.remove_prefix(1);
    }
    while (!t.empty() && InSet(t.back(), kBlanks)) {
        t.remove_suffix(1);
    }
    return t;
}

// Reads the text as a number in the unsigned type U, which wraps: an
// optional '-' anywhere negates and the digits start after it; an 'x'
// anywhere switches to base 16 and the digits start after it. Digits are
// '0'..'9' and 'A'..'F' in either base (in base 16 'a'..'f' too); the first
// other unit ends them.
template <typename U> U ReadNumber(const gCString& text) {
    const std::u16string_view s = Trimmed(text);
    const size_t minus = s.find(u'-');
    size_t start = minus != std::u16string_view::npos ? minus + 1 : 0;
    const size_t x = s.find_first_of(u"xX");
    const bool hex = x != std::u16string_view::npos;
    U base = 10;
    if (hex) {
        base = 16;
        start = x + 1;
    }
    U value = 0;
    for (size_t i = start; i < s.size(); ++i) {
        char16_t u = s[i];
        if (hex && u >= u'a' && u <= u'z') {
            u = char16_t(u - u'a' + u'A');
        }
        U digit;
        if (IsDigit(u)) {
            digit = U(u - u'0');
        } else if (u >= u'A' && u <= u'F') {
            digit = U(u - u'A' + 10);
        } else {
            break;
        }
        value = value * base + digit;
    }
    return minus != std::u16string_view::npos ? U(0) - value : value;
}

// A coordinate's text as ISO Latin-1, as Ascii() gives it (at most 4,095
// units, ending at the first unit Latin-1 cannot hold).
std::string Latin1(std::u16string_view t) {
    std::string out;
    for (size_t i = 0; i < t.size() && i < 4095 && t[i] <= 0xFF; ++i) {
        out.push_back(char(t[i]));
    }
    return out;
}

} // namespace

bool gCString::IsInteger() const {
    if (!m_pBuffer || m_nLength <= 0) {
        return false;
    }
    if (!IsDigit(m_pBuffer[0]) && m_pBuffer[0] != u'-') {
        return false;
    }
    for (int32_t i = 1; i < m_nLength; ++i) {
        if (!IsDigit(m_pBuffer[i])) {
            return false;
        }
    }
    return true;
}

bool gCString::IsReal() const {
    if (!m_pBuffer || m_nLength <= 0) {
        return false;
    }
    if (Find(u'.') < 0) {
        return IsInteger();
    }
    gCString point, whole, fraction;
    if (point.CopyString(u".") != eNoError) {
        return false; // without memory nothing can be split or judged
    }
    const int32_t split = SplitString(whole, fraction, point, 0);
    if (split == 1) {
        // The alert is the report; it always answers 0.
        (void)ReportError(split, "Could not split string at decimal point");
        return false;
    }
    return whole.IsInteger() && fraction.IsInteger();
}

int32_t gCString::Int32() const {
    return int32_t(ReadNumber<uint32_t>(*this));
}

int64_t gCString::Int64() const {
    return int64_t(ReadNumber<uint64_t>(*this));
}

gCPoint gCString::Point() const {
    gCArray<gCString> pieces;
    if (SplitString(pieces, u',') < 2) {
        return {};
    }
    // Int32 trims the blanks itself.
    return {pieces[0].Int32(), pieces[1].Int32()};
}

gCRPoint gCString::RPoint() const {
    gCArray<gCString> pieces;
    if (SplitString(pieces, u',') < 2) {
        return {};
    }
    const float x = float(std::atof(Latin1(Trimmed(pieces[0])).c_str()));
    const float y = float(std::atof(Latin1(Trimmed(pieces[1])).c_str()));
    return {x, y};
}
