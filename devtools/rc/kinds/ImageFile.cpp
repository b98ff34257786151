#include "devtools/rc/kinds/ImageFile.h"

#include <cstdint>

namespace {

const char kPngSignature[] = "\x89PNG\r\n\x1a\n";

bool IsPng(const std::string& b) {
    return b.size() >= 8 && b.compare(0, 8, kPngSignature, 8) == 0;
}

} // namespace

bool IsImageFile(const std::string& b) {
    return IsPng(b) ||
           (b.size() >= 3 && uint8_t(b[0]) == 0xFF && uint8_t(b[1]) == 0xD8 &&
            uint8_t(b[2]) == 0xFF) ||
           (b.size() >= 26 && b[0] == 'B' && b[1] == 'M');
}

bool PngHasBackground(const std::string& b) {
    if (!IsPng(b)) {
        return false;
    }
    // Chunks: a big-endian length, the type, the data and a CRC.
    for (size_t at = 8; at + 8 <= b.size();) {
        const uint32_t length = (uint32_t(uint8_t(b[at])) << 24) |
                                (uint32_t(uint8_t(b[at + 1])) << 16) |
                                (uint32_t(uint8_t(b[at + 2])) << 8) | uint32_t(uint8_t(b[at + 3]));
        const std::string type = b.substr(at + 4, 4);
        if (type == "bKGD") {
            return true;
        }
        if (type == "IDAT" || type == "IEND" || length > b.size() - at - 8) {
            return false;
        }
        at += 12 + size_t(length);
    }
    return false;
}
