#include "foundation/PascalString.h"

#include <cstring>

char* gC2PStr(char* text) {
    if (!text || text[0] == 0) {
        return text;
    }
    size_t n = std::strlen(text);
    if (n > 255) {
        n = 255;
    }
    std::memmove(text + 1, text, n);
    text[0] = char(static_cast<unsigned char>(n));
    return text;
}

unsigned char* gP2CStr(unsigned char* pascal) {
    if (!pascal || pascal[0] == 0) {
        return pascal;
    }
    const size_t n = pascal[0];
    std::memmove(pascal, pascal + 1, n);
    pascal[n] = 0;
    return pascal;
}
