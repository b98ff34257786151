#include "imaging/detail/BmpHeader.h"

#include "FileIO/StreamBytes.h"
#include "imaging/ImageBase.h"

using streambytes::Get16;
using streambytes::Get32;

namespace bmp {

namespace {

bool SupportedDepth(uint32_t bits, uint32_t compression) {
    switch (bits) {
    case 1:
    case 24:
        return compression == kNone;
    case 4:
        return compression == kNone || compression == kRLE4;
    case 8:
        return compression == kNone || compression == kRLE8;
    default:
        return false;
    }
}

bool SideInRange(int64_t side) {
    return side >= 1 && side <= CImageBase::kMaxSide;
}

} // namespace

const char* ReadHeaders(gCStream& stream, Info& info) {
    uint8_t file[kFileHeaderBytes];
    if (streambytes::ReadExact(stream, file, sizeof file)) {
        return kMsgHeaderCut;
    }
    if (file[0] != 'B' || file[1] != 'M') {
        return kMsgNotBmp;
    }
    info.dataOffset = Get32(file + 10);

    uint8_t size[4];
    if (streambytes::ReadExact(stream, size, sizeof size)) {
        return kMsgHeaderCut;
    }
    info.headerSize = Get32(size);
    int64_t height = 0;
    uint32_t colorsUsed = 0;
    if (info.headerSize == kOS2HeaderBytes) {
        uint8_t h[8];
        if (streambytes::ReadExact(stream, h, sizeof h)) {
            return kMsgHeaderCut;
        }
        info.width = Get16(h);
        height = Get16(h + 2);
        info.bitsPerPixel = Get16(h + 6);
        info.compression = kNone;
        info.paletteEntryBytes = 3;
    } else if (info.headerSize >= kWindowsHeaderBytes) {
        uint8_t h[36];
        if (streambytes::ReadExact(stream, h, sizeof h)) {
            return kMsgHeaderCut;
        }
        const int64_t width = int32_t(Get32(h));
        height = int32_t(Get32(h + 4));
        info.bitsPerPixel = Get16(h + 10);
        info.compression = Get32(h + 12);
        colorsUsed = Get32(h + 28);
        info.paletteEntryBytes = 4;
        if (streambytes::Skip(stream, int64_t(info.headerSize) - kWindowsHeaderBytes)) {
            return kMsgHeaderCut;
        }
        info.width = SideInRange(width) ? int32_t(width) : 0;
    } else {
        return kMsgHeaderSize;
    }
    if (!SupportedDepth(info.bitsPerPixel, info.compression)) {
        return kMsgUnsupported;
    }
    info.topDown = height < 0;
    height = height < 0 ? -height : height;
    if (!SideInRange(info.width) || !SideInRange(height)) {
        return kMsgNotBmp;
    }
    info.height = int32_t(height);

    if (info.bitsPerPixel > 8) {
        info.colorCount = 0;
    } else {
        const uint32_t most = 1u << info.bitsPerPixel;
        info.colorCount = colorsUsed == 0 || colorsUsed > most ? most : colorsUsed;
    }
    // The pixels start at or after the end of the palette.
    if (info.dataOffset < info.HeadersAndPaletteBytes()) {
        return kMsgNotBmp;
    }
    return nullptr;
}

} // namespace bmp
