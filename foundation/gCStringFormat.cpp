// Filling a string from a printf-style format.
#include <cstdarg>
#include <cstdio>
#include <string>

#include "foundation/Utf8.h"
#include "foundation/gCString.h"

error gCString::Format(const char16_t* format, ...) {
    if (!format) {
        return eBadParameter;
    }
    const std::string utf8Format = gUtf16ToUtf8(std::u16string_view(format));
    va_list args;
    va_start(args, format);
    va_list measure;
    va_copy(measure, args);
    const int n = std::vsnprintf(nullptr, 0, utf8Format.c_str(), measure);
    va_end(measure);
    if (n < 0) {
        va_end(args);
        return eGenericFailure;
    }
    std::string text(size_t(n) + 1, '\0');
    std::vsnprintf(text.data(), text.size(), utf8Format.c_str(), args);
    va_end(args);
    text.resize(size_t(n));
    return gStringFromUtf8(*this, text);
}
