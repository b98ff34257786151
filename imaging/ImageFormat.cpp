#include "imaging/ImageFormat.h"

#include <cstring>

error gCImageFormat::SetupColorMap() {
    return m_aColorMap.Resize(m_nColorCount, 1) ? eNoError : eOutOfMemory;
}

CPixel gCImageFormat::PaletteEntry(const char* src, uint32_t i) const {
    const uint8_t byte = uint8_t(src[size_t(i) * m_nBitsPerPixel / 8]);
    uint32_t index = byte;
    switch (m_nBitsPerPixel) {
    case 1:
        index = (byte >> (7 - (i & 7))) & 1;
        break;
    case 2:
        index = (byte >> ((3 - (i & 3)) * 2)) & 3;
        break;
    case 4:
        index = (i & 1) ? (byte & 15) : (byte >> 4);
        break;
    default:
        break;
    }
    const uint32_t count = m_aColorMap.GetCount();
    if (count == 0) {
        return 0;
    }
    return m_aColorMap.GetData()[index < count ? index : 0];
}

void gCImageFormat::GetRGBFromByte(uint32_t index, char byte, uint32_t& r, uint32_t& g,
                                   uint32_t& b) const {
    // Where pixel index lies within its byte.
    const uint32_t bits = m_nBitsPerPixel;
    const uint32_t within = (bits == 1 || bits == 2 || bits == 4) ? index % (8 / bits) : 0;
    const char row[1] = {byte};
    const uint32_t p = PaletteEntry(row, within);
    r = (p >> 16) & 0xFF;
    g = (p >> 8) & 0xFF;
    b = p & 0xFF;
}

void gCImageFormat::GetMonoRowFromByteStream(const char* src, uint8_t* dst, uint32_t count) const {
    for (uint32_t i = 0; i < count; ++i) {
        const uint32_t p = PaletteEntry(src, i);
        dst[i] = uint8_t((((p >> 16) & 0xFF) + ((p >> 8) & 0xFF) + (p & 0xFF)) / 3);
    }
}

void gCImageFormat::GetRGBARowFromByteStream(const char* src, CPixel* dst, uint32_t count) const {
    for (uint32_t i = 0; i < count; ++i) {
        dst[i] = 0xFF000000u | (uint32_t(PaletteEntry(src, i)) & 0x00FFFFFFu);
    }
}

void gCImageFormat::ConvertARGBRowToRGBARow(const char* src, char* dst, uint32_t bytes) const {
    std::memset(dst, 0, bytes);
    for (uint32_t i = 0; i + 4 <= bytes; i += 4) {
        dst[i + 0] = src[i + 1];
        dst[i + 1] = src[i + 2];
        dst[i + 2] = src[i + 3];
        dst[i + 3] = src[i + 0];
    }
}
