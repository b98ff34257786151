#pragma once
// The headers of a BMP file: the 14-byte file header, then the OS/2 (12-byte)
// or Windows (40 bytes or more) info header. Reading them checks everything
// the pixel decoding relies on: the accepted depth and compression pairs,
// sides of 1..32767 pixels, and a palette no longer than the depth allows.

#include <cstdint>

#include "FileIO/gCStream.h"

namespace bmp {

// The messages the BMP reader shows.
inline constexpr const char* kMsgHeaderCut =
    "Unexpected end of file (header was unable to be fully read).";
inline constexpr const char* kMsgNotBmp = "This file is not a valid BMP image file.";
inline constexpr const char* kMsgHeaderSize = "BMP header size is invalid";
inline constexpr const char* kMsgUnsupported = "This BMP format not supported.";
inline constexpr const char* kMsgRowCut =
    "Error reading BMP file - pixel row read cut off before end of row.";
inline constexpr const char* kMsgOverflow = "Corrupt BMP - read overflow.";
inline constexpr const char* kMsgEnded = "Corrupt BMP - file ended before all image data read.";

enum Compression : uint32_t { kNone = 0, kRLE8 = 1, kRLE4 = 2 };

inline constexpr uint32_t kFileHeaderBytes = 14;
inline constexpr uint32_t kOS2HeaderBytes = 12;
inline constexpr uint32_t kWindowsHeaderBytes = 40;

struct Info {
    uint32_t dataOffset = 0;   // from the first byte of the file header
    uint32_t headerSize = 0;   // of the info header
    int32_t width = 0;         // 1..32767
    int32_t height = 0;        // 1..32767, rows
    bool topDown = false;      // rows stored top row first
    uint32_t bitsPerPixel = 0; // 1, 4, 8 or 24
    uint32_t compression = kNone;
    uint32_t colorCount = 0;        // palette entries, at most 2^bitsPerPixel
    uint32_t paletteEntryBytes = 0; // 3 (OS/2) or 4 (Windows)

    // Bytes from the file header's first byte to the end of the palette.
    uint64_t HeadersAndPaletteBytes() const {
        return uint64_t(kFileHeaderBytes) + headerSize + uint64_t(colorCount) * paletteEntryBytes;
    }
    // Bytes from the end of the info header to the end of the uncompressed
    // pixel data: the palette, any gap before the data offset, then every
    // row padded to a multiple of 4 bytes.
    uint64_t UncompressedDataEnd() const {
        const uint64_t row = (uint64_t(bitsPerPixel) * uint64_t(width) + 31) / 32 * 4;
        return uint64_t(dataOffset) - kFileHeaderBytes - headerSize + row * uint64_t(height);
    }
};

// Reads both headers from the stream's position, leaving it after the info
// header. Returns nullptr, or the message to show.
const char* ReadHeaders(gCStream& stream, Info& info);

} // namespace bmp
