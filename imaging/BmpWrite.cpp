// The two BMP writers: 24 bits from a CImage, 8 bits with a grey palette
// from a CImage8, both uncompressed and bottom-up. Every write is checked,
// so a refused write (a full disk) is 15, never success.

#include "FileIO/StreamBytes.h"
#include "imaging/BmpIO.h"
#include "imaging/ImNav.h"
#include "imaging/detail/BmpHeader.h"

#include <cstring>

using streambytes::Put16;
using streambytes::Put32;

namespace {

constexpr uint32_t kPaletteBytes = 256 * 4;

// The file and info headers of an uncompressed bottom-up file.
void FillHeaders(uint8_t* h, int32_t width, int32_t height, uint32_t bits, uint32_t dataOffset,
                 size_t paddedRow) {
    const uint64_t fileSize = dataOffset + uint64_t(paddedRow) * uint32_t(height);
    h[0] = 'B';
    h[1] = 'M';
    Put32(h + 2, uint32_t(fileSize));
    Put32(h + 6, 0);
    Put32(h + 10, dataOffset);
    uint8_t* info = h + bmp::kFileHeaderBytes;
    Put32(info, bmp::kWindowsHeaderBytes);
    Put32(info + 4, uint32_t(width));
    Put32(info + 8, uint32_t(height));
    Put16(info + 12, 1);
    Put16(info + 14, bits);
    for (int i = 16; i < 40; i += 4) {
        Put32(info + i, 0);
    }
}

constexpr uint32_t kHeaderBytes = bmp::kFileHeaderBytes + bmp::kWindowsHeaderBytes;

} // namespace

error gCBmpIO::WriteImage(gCStream& stream, CImage& image) {
    m_nBitsPerPixel = 24;
    m_nColorCount = 0;
    CImNav view(&image);
    if (!view.IsLocked() || view.GetWidth() <= 0 || view.GetHeight() <= 0) {
        return eOutOfMemory;
    }
    const int32_t width = view.GetWidth();
    const size_t padded = (size_t(width) * 3 + 3) & ~size_t(3);
    uint8_t header[kHeaderBytes];
    FillHeaders(header, width, view.GetHeight(), 24, kHeaderBytes, padded);
    CMemBlock buffer;
    if (!buffer.Resize(uint32_t(padded), 1)) {
        return eOutOfMemory;
    }
    if (streambytes::Write(stream, header, sizeof header)) {
        return eFileReadWriteError;
    }
    uint8_t* out = buffer.GetData();
    for (int32_t y = view.GetHeight() - 1; y >= 0; --y) {
        const CPixel* row = view.Row(y);
        for (int32_t x = 0; x < width; ++x) {
            const uint32_t p = row[x];
            out[size_t(x) * 3] = uint8_t(p);
            out[size_t(x) * 3 + 1] = uint8_t(p >> 8);
            out[size_t(x) * 3 + 2] = uint8_t(p >> 16);
        }
        if (streambytes::Write(stream, out, padded)) {
            return eFileReadWriteError;
        }
    }
    return eNoError;
}

error gCBmpIO::WriteImage(gCStream& stream, CImage8& image) {
    CImNav8 view(&image);
    if (!view.IsLocked() || view.GetWidth() <= 0 || view.GetHeight() <= 0) {
        return eOutOfMemory;
    }
    const int32_t width = view.GetWidth();
    const size_t padded = (size_t(width) + 3) & ~size_t(3);
    uint8_t header[kHeaderBytes + kPaletteBytes];
    FillHeaders(header, width, view.GetHeight(), 8, sizeof header, padded);
    for (uint32_t i = 0; i < 256; ++i) {
        uint8_t* entry = header + kHeaderBytes + i * 4;
        entry[0] = entry[1] = entry[2] = uint8_t(i);
        entry[3] = 255;
    }
    CMemBlock buffer;
    if (!buffer.Resize(uint32_t(padded), 1)) {
        return eOutOfMemory;
    }
    if (streambytes::Write(stream, header, sizeof header)) {
        return eFileReadWriteError;
    }
    for (int32_t y = view.GetHeight() - 1; y >= 0; --y) {
        std::memcpy(buffer.GetData(), view.Row(y), size_t(width));
        if (streambytes::Write(stream, buffer.GetData(), padded)) {
            return eFileReadWriteError;
        }
    }
    return eNoError;
}
