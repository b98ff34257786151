#include "imaging/BmpIO.h"

#include "FileIO/StreamBytes.h"
#include "imaging/ImNav.h"
#include "imaging/detail/BmpHeader.h"
#include "imaging/detail/ShowFailure.h"
#include "imaging/detail/StagedRead.h"

namespace {

// A zeroed byte buffer from the memory hooks; false when memory runs out.
bool MakeBuffer(CMemBlock& buffer, size_t bytes) {
    return bytes <= UINT32_MAX && buffer.Resize(uint32_t(bytes ? bytes : 1), 1);
}

// Image row of stored row r.
int32_t ImageRow(const bmp::Info& info, int32_t r) {
    return info.topDown ? r : info.height - 1 - r;
}

} // namespace

bool gCBmpIO::TypeOf(gCStream& stream) {
    char head[10] = {};
    // A stream shorter than the head leaves zeros (or what it has), and the
    // test needs only the first two bytes: the read's result adds nothing.
    (void)stream.ReadBlock(head, sizeof head);
    // A stream that cannot go back to its start cannot be read from there.
    if (stream.Rewind() != eNoError) {
        return false;
    }
    return head[0] == 'B' && head[1] == 'M';
}

error gCBmpIO::ReadImage(gCStream& stream, CImage& image) {
    return ReadImage(stream, static_cast<CImageBase*>(&image));
}

error gCBmpIO::ReadImage(gCStream& stream, CImage8& image) {
    return ReadImage(stream, static_cast<CImageBase*>(&image));
}

error gCBmpIO::ReadImage(gCStream& stream, CImageBase* image) {
    if (!image) {
        return eBadParameter;
    }
    return ReadStaged(*image, [&](CImageBase& fresh) { return Decode(stream, fresh); });
}

error gCBmpIO::Decode(gCStream& stream, CImageBase& image) {
    bmp::Info info;
    const char* message = bmp::ReadHeaders(stream, info);
    error result = eNoError;
    if (!message) {
        message = ReadPixels(stream, info, image, result);
    }
    if (message) {
        ShowFailure(eGenericFailure, message);
        return eGenericFailure;
    }
    return result;
}

const char* gCBmpIO::ReadPixels(gCStream& stream, const bmp::Info& info, CImageBase& image,
                                error& result) {
    m_nBitsPerPixel = info.bitsPerPixel;
    m_nColorCount = info.colorCount;
    // Uncompressed rows must all be there before the image is made for
    // them, so that a few bytes claiming a huge picture cost nothing.
    // Run-length data may skip most of a picture, so it cannot be judged
    // by its length; its image costs only the pages its runs fill.
    if (info.compression == bmp::kNone &&
        uint64_t(streambytes::Remaining(stream)) < info.UncompressedDataEnd()) {
        return bmp::kMsgRowCut;
    }
    if (image.SetSize(info.width, info.height) != eNoError) {
        result = eOutOfMemory;
        return nullptr;
    }
    CImNavBase view(&image, nullptr);
    if (!view.IsLocked() || SetupColorMap() != eNoError) {
        result = eOutOfMemory;
        return nullptr;
    }

    // The palette, then on to the pixel data; a cut palette is a cut row.
    CPixel* map = m_aColorMap.GetData();
    for (uint32_t i = 0; i < m_nColorCount; ++i) {
        uint8_t entry[4];
        if (streambytes::ReadExact(stream, entry, info.paletteEntryBytes)) {
            return bmp::kMsgRowCut;
        }
        map[i] = 0xFF000000u | (uint32_t(entry[2]) << 16) | (uint32_t(entry[1]) << 8) | entry[0];
    }
    if (streambytes::Skip(stream, int64_t(info.dataOffset - info.HeadersAndPaletteBytes()))) {
        return bmp::kMsgRowCut;
    }
    if (info.compression != bmp::kNone) {
        return ReadRunLengthRows(stream, info, view, result);
    }
    if (info.bitsPerPixel == 24) {
        return Read24BitRows(stream, info, view, result);
    }
    return ReadPaletteRows(stream, info, view, result);
}

void gCBmpIO::PutPaletteRow(const char* packed, CImNavBase& view, int32_t y) const {
    char* row = static_cast<char*>(view.GetDataPtr()) + ptrdiff_t(y) * view.GetRowBytes();
    if (view.GetBytesPerPixel() == 4) {
        GetRGBARowFromByteStream(packed, reinterpret_cast<CPixel*>(row), uint32_t(view.GetWidth()));
    } else {
        GetMonoRowFromByteStream(packed, reinterpret_cast<uint8_t*>(row),
                                 uint32_t(view.GetWidth()));
    }
}

const char* gCBmpIO::ReadPaletteRows(gCStream& stream, const bmp::Info& info, CImNavBase& view,
                                     error& result) {
    const size_t rowBytes = (size_t(info.bitsPerPixel) * size_t(info.width) + 7) / 8;
    const size_t padding = ((rowBytes + 3) & ~size_t(3)) - rowBytes;
    CMemBlock buffer;
    if (!MakeBuffer(buffer, size_t(info.width) * 4)) {
        result = eOutOfMemory;
        return nullptr;
    }
    char* row = reinterpret_cast<char*>(buffer.GetData());
    for (int32_t r = 0; r < info.height; ++r) {
        if (streambytes::ReadExact(stream, row, rowBytes) ||
            streambytes::Skip(stream, int64_t(padding))) {
            return bmp::kMsgRowCut;
        }
        PutPaletteRow(row, view, ImageRow(info, r));
    }
    return nullptr;
}

const char* gCBmpIO::Read24BitRows(gCStream& stream, const bmp::Info& info, CImNavBase& view,
                                   error& result) {
    const size_t stored = (size_t(info.width) * 3 + 3) & ~size_t(3);
    CMemBlock buffer;
    if (!MakeBuffer(buffer, stored)) {
        result = eOutOfMemory;
        return nullptr;
    }
    const uint8_t* bgr = buffer.GetData();
    const int32_t width = info.width;
    for (int32_t r = 0; r < info.height; ++r) {
        if (streambytes::ReadExact(stream, buffer.GetData(), stored)) {
            return bmp::kMsgRowCut;
        }
        char* row = static_cast<char*>(view.GetDataPtr()) +
                    ptrdiff_t(ImageRow(info, r)) * view.GetRowBytes();
        if (view.GetBytesPerPixel() == 4) {
            CPixel* out = reinterpret_cast<CPixel*>(row);
            for (int32_t x = 0; x < width; ++x) {
                const uint8_t* p = bgr + size_t(x) * 3;
                out[x] = 0xFF000000u | (uint32_t(p[2]) << 16) | (uint32_t(p[1]) << 8) | p[0];
            }
        } else {
            uint8_t* out = reinterpret_cast<uint8_t*>(row);
            for (int32_t x = 0; x < width; ++x) {
                const uint8_t* p = bgr + size_t(x) * 3;
                out[x] = uint8_t((uint32_t(p[0]) + p[1] + p[2]) / 3);
            }
        }
    }
    return nullptr;
}
