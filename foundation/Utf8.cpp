#include "foundation/Utf8.h"

#include <limits>

#include "foundation/StringUnits.h"
#include "foundation/gCString.h"

namespace {

// The first unit of the lone surrogates that stand for undecodable bytes.
constexpr char16_t kByteEscape = 0xDC00;

bool IsHighSurrogate(char32_t u) {
    return u >= 0xD800 && u <= 0xDBFF;
}
bool IsLowSurrogate(char32_t u) {
    return u >= 0xDC00 && u <= 0xDFFF;
}
bool IsContinuation(unsigned char b) {
    return (b & 0xC0) == 0x80;
}

void Encode(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | (c >> 6));
        out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += char(0xE0 | (c >> 12));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    } else {
        out += char(0xF0 | (c >> 18));
        out += char(0x80 | ((c >> 12) & 0x3F));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
}

// The length of the valid sequence at bytes[i] and its code point, or 0
// when the bytes there are not valid UTF-8 (overlong forms, surrogates and
// values above U+10FFFF included).
size_t DecodeOne(std::string_view bytes, size_t i, char32_t& c) {
    const auto at = [&](size_t k) { return static_cast<unsigned char>(bytes[i + k]); };
    const unsigned char b0 = at(0);
    const size_t left = bytes.size() - i;
    if (b0 < 0x80) {
        c = b0;
        return 1;
    }
    size_t n;
    unsigned char lo = 0x80, hi = 0xBF; // the range of the second byte
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        n = 2;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        n = 3;
        if (b0 == 0xE0) {
            lo = 0xA0;
        } else if (b0 == 0xED) {
            hi = 0x9F;
        }
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        n = 4;
        if (b0 == 0xF0) {
            lo = 0x90;
        } else if (b0 == 0xF4) {
            hi = 0x8F;
        }
    } else {
        return 0;
    }
    if (left < n || at(1) < lo || at(1) > hi) {
        return 0;
    }
    char32_t v = b0 & (0xFF >> (n + 1));
    for (size_t k = 1; k < n; ++k) {
        if (!IsContinuation(at(k))) {
            return 0;
        }
        v = (v << 6) | (at(k) & 0x3F);
    }
    c = v;
    return n;
}

} // namespace

std::string gUtf16ToUtf8(std::u16string_view units) {
    std::string out;
    out.reserve(units.size());
    for (size_t i = 0; i < units.size(); ++i) {
        const char32_t u = units[i];
        if (IsHighSurrogate(u) && i + 1 < units.size() && IsLowSurrogate(units[i + 1])) {
            Encode(out, 0x10000 + ((u - 0xD800) << 10) + (units[i + 1] - 0xDC00));
            ++i;
        } else if (u >= kByteEscape + 0x80 && u <= kByteEscape + 0xFF) {
            out += char(u - kByteEscape);
        } else if (IsHighSurrogate(u) || IsLowSurrogate(u)) {
            Encode(out, 0xFFFD);
        } else {
            Encode(out, u);
        }
    }
    return out;
}

std::u16string gUtf8ToUtf16(std::string_view bytes) {
    std::u16string out;
    out.reserve(bytes.size());
    size_t i = 0;
    while (i < bytes.size()) {
        char32_t c;
        const size_t n = DecodeOne(bytes, i, c);
        if (n == 0) {
            out += char16_t(kByteEscape + static_cast<unsigned char>(bytes[i]));
            ++i;
        } else if (c >= 0x10000) {
            out += char16_t(0xD800 + ((c - 0x10000) >> 10));
            out += char16_t(0xDC00 + ((c - 0x10000) & 0x3FF));
            i += n;
        } else {
            out += char16_t(c);
            i += n;
        }
    }
    return out;
}

std::string gStringToUtf8(const gCString& s) {
    return gUtf16ToUtf8(TextOf(s));
}

error gStringFromUtf8(gCString& s, std::string_view bytes) {
    const std::u16string units = gUtf8ToUtf16(bytes);
    if (units.size() > size_t(std::numeric_limits<int32_t>::max())) {
        return eOutOfMemory;
    }
    return s.CopyStringFromBuffer(units.data(), int32_t(units.size()));
}
