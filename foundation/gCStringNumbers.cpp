// Reading numbers and points from a string.
#include <cstdlib>

#include "foundation/ErrorReport.h"
#include "foundation/gCString.h"

namespace {

bool IsDigit(char16_t u) {
    return u >= u'0' && u <= u'9';
}

// The blanks that numbers and point coordinates are trimmed of.
gCString Blanks() {
    gCString blanks;
    blanks.CopyString(u"\t \n\r");
    return blanks;
}

// Reads the text as a number in the unsigned type U, which wraps: an
// optional '-' anywhere negates and the digits start after it; an 'x'
// anywhere switches to base 16 and the digits start after it. Digits are
// '0'..'9' and 'A'..'F' in either base; the first other unit ends them.
template <typename U> U ReadNumber(const gCString& text) {
    gCString s = text.GetTrim(Blanks());
    const char16_t* p = s.GetBuffer();
    if (!p) {
        return 0;
    }
    const int32_t minus = s.Find(u'-');
    int32_t start = minus >= 0 ? minus + 1 : 0;
    gCString hexMarks;
    hexMarks.CopyString(u"xX");
    const int32_t x = s.FindOneOf(hexMarks);
    U base = 10;
    if (x >= 0) {
        base = 16;
        for (char16_t c = u'a'; c <= u'z'; ++c) {
            s.Replace(c, char16_t(c - u'a' + u'A'));
        }
        start = x + 1;
    }
    U value = 0;
    for (int32_t i = start; i < s.GetLength(); ++i) {
        const char16_t u = p[i];
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
    return minus >= 0 ? U(0) - value : value;
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
    point.CopyString(u".");
    const int32_t split = SplitString(whole, fraction, point, 0);
    if (split == 1) {
        ReportError(split, "Could not split string at decimal point");
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
    const gCString blanks = Blanks();
    return {pieces[0].GetTrim(blanks).Int32(), pieces[1].GetTrim(blanks).Int32()};
}

gCRPoint gCString::RPoint() const {
    gCArray<gCString> pieces;
    if (SplitString(pieces, u',') < 2) {
        return {};
    }
    const gCString blanks = Blanks();
    const float x = float(std::atof(pieces[0].GetTrim(blanks).Ascii()));
    const float y = float(std::atof(pieces[1].GetTrim(blanks).Ascii()));
    return {x, y};
}
