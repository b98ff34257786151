// Reading PNG files. libpng reports errors by a long jump: the functions that
// set the jump point hold only plain locals, and everything with a destructor
// lives in their callers, so a jump skips no destructor.

#include "FileIO/StreamBytes.h"
#include "imaging/ImNav.h"
#include "imaging/PngIO.h"
#include "imaging/detail/PngShared.h"
#include "imaging/detail/StagedRead.h"

#include <csetjmp>
#include <cstring>
#include <memory>
#include <new>
#include <png.h>

namespace {

struct CHeader {
    png_uint_32 width = 0;
    png_uint_32 height = 0;
    int bitDepth = 0;
    int colourType = 0;
    int interlace = 0;
};

bool ReadHeader(png_structp png, png_infop info, CHeader* h) {
    if (setjmp(png_jmpbuf(png))) {
        return false;
    }
    png_set_sig_bytes(png, 0);
    png_read_info(png, info);
    png_get_IHDR(png, info, &h->width, &h->height, &h->bitDepth, &h->colourType, &h->interlace,
                 nullptr, nullptr);
    return true;
}

// How rows are decoded: a picture is laid on the background colour its
// file names; a stored image keeps its words as they are.
struct SDecoding {
    bool grey;
    float gamma;
    bool onBackground;
};

// The transformations that turn any PNG into rows of the target depth.
void SetTransforms(png_structp png, png_infop info, const CHeader& h, const SDecoding& how) {
    const int ct = h.colourType;
    const bool grey = how.grey;
    const bool hasTrns = png_get_valid(png, info, PNG_INFO_tRNS) != 0;
    if (h.bitDepth == 16) {
        png_set_strip_16(png);
    }
    png_color_16p background = nullptr;
    if (how.onBackground && png_get_bKGD(png, info, &background) && background) {
        png_set_background(png, background, PNG_BACKGROUND_GAMMA_FILE, 1, 1.0);
    }
    if (ct == PNG_COLOR_TYPE_PALETTE) {
        png_set_palette_to_rgb(png);
    }
    const bool greyFile = ct == PNG_COLOR_TYPE_GRAY || ct == PNG_COLOR_TYPE_GRAY_ALPHA;
    if (greyFile && h.bitDepth < 8) {
        png_set_expand_gray_1_2_4_to_8(png);
    }
    if (grey) {
        if (!greyFile) {
            png_set_rgb_to_gray_fixed(png, 1, -1, -1);
        }
        if ((ct & PNG_COLOR_MASK_ALPHA) || hasTrns) {
            png_set_strip_alpha(png);
        }
    } else {
        if (greyFile) {
            png_set_gray_to_rgb(png);
        }
        if (hasTrns) {
            png_set_tRNS_to_alpha(png);
        }
        // B,G,R,A in memory is the word 0xAARRGGBB on a little-endian host.
        png_set_bgr(png);
        png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
    }
    if (how.gamma != 1.0f) {
        png_set_gamma(png, how.gamma, 1.0);
    }
    png_set_interlace_handling(png);
}

bool ReadRows(png_structp png, png_infop info, const CHeader* h, const SDecoding* how,
              png_bytepp rows, size_t rowBytes) {
    if (setjmp(png_jmpbuf(png))) {
        return false;
    }
    SetTransforms(png, info, *h, *how);
    png_read_update_info(png, info);
    if (png_get_rowbytes(png, info) != rowBytes) {
        png_error(png, "Decoded rows do not match the image.");
    }
    png_read_image(png, rows);
    png_read_end(png, nullptr);
    return true;
}

// Deflate turns one compressed byte into at most 1032 bytes (a 258-byte
// match coded in two bits).
constexpr uint64_t kMostInflatedPerByte = 1032;

uint32_t BigEndian32(const png_byte* p) {
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3];
}

// The lengths of the image-data chunks of the PNG that starts at the
// position start, added up by a walk over the chunk headers to IEND or to
// where the data ends; the stream is put back where it was. False when it
// cannot be put back.
bool CompressedBytes(gCStream& stream, int64_t start, uint64_t& total) {
    const int64_t here = stream.GetFilePos();
    total = 0;
    if (stream.SetFilePos(start) == eNoError && streambytes::Skip(stream, 8) == eNoError) {
        png_byte head[8];
        while (streambytes::ReadExact(stream, head, sizeof head) == eNoError) {
            const uint32_t length = BigEndian32(head);
            const uint32_t type = BigEndian32(head + 4);
            if (type == 0x49444154u) { // IDAT
                total += length;
            } else if (type == 0x49454E44u) { // IEND
                break;
            }
            // The data and the CRC; a chunk cut short counts as far as it goes.
            if (streambytes::Skip(stream, int64_t(length) + 4) != eNoError) {
                break;
            }
        }
    }
    return here >= 0 && stream.SetFilePos(here) == eNoError;
}

// A PNG in memory read by libpng: a short read is a libpng error.
struct CMemorySource {
    const png_byte* data;
    size_t size;
    size_t at;
};

void ReadFromMemory(png_structp png, png_bytep out, size_t length) {
    auto* source = static_cast<CMemorySource*>(png_get_io_ptr(png));
    if (length > source->size - source->at) {
        png_error(png, "The PNG data ended early.");
    }
    std::memcpy(out, source->data + source->at, length);
    source->at += length;
}

} // namespace

error gCPngIO::DecodeInto(const void* data, size_t bytes, uint32_t* pixels, int32_t width,
                          int32_t height) {
    if ((!data && bytes != 0) || !pixels || width <= 0 || height <= 0) {
        return eBadParameter;
    }
    // libpng's blocks come from the capped allocator, and a chunk longer
    // than the cap is an error rather than the warning libpng makes of it
    // by default: nothing is reserved for a length the data cannot hold.
    CPngStructs s(false);
    if (!s.IsValid()) {
        return eOutOfMemory;
    }
    CMemorySource source{static_cast<const png_byte*>(data), bytes, 0};
    png_set_read_fn(s.png, &source, ReadFromMemory);
    png_set_benign_errors(s.png, 0);
    png_set_user_limits(s.png, CImageBase::kMaxSide, CImageBase::kMaxSide);
    png_set_chunk_malloc_max(s.png, kPngLargestBlock);
    CHeader header;
    if (!ReadHeader(s.png, s.info, &header)) {
        return eFileReadWriteError;
    }
    if (header.width != png_uint_32(width) || header.height != png_uint_32(height)) {
        return eInvalidFile;
    }
    std::unique_ptr<png_bytep[]> rows(new (std::nothrow) png_bytep[size_t(height)]);
    if (!rows) {
        return eOutOfMemory;
    }
    for (int32_t y = 0; y < height; ++y) {
        rows[size_t(y)] = reinterpret_cast<png_bytep>(pixels + size_t(y) * size_t(width));
    }
    const SDecoding how{false, 1.0f, false};
    if (!ReadRows(s.png, s.info, &header, &how, rows.get(), size_t(width) * 4)) {
        return eFileReadWriteError;
    }
    return eNoError;
}

bool gCPngIO::TypeOf(gCStream& stream) {
    if (stream.Length() <= 7) {
        return false;
    }
    const int64_t pos = stream.GetFilePos();
    png_byte signature[8] = {};
    const bool read = streambytes::ReadExact(stream, signature, sizeof signature) == eNoError;
    // A stream that cannot go back to the position cannot be read from it.
    const bool back = stream.SetFilePos(pos) == eNoError;
    return read && back && png_sig_cmp(signature, 0, sizeof signature) == 0;
}

error gCPngIO::ReadImage(gCStream& stream, CImage& image) {
    return ReadImage(stream, static_cast<CImageBase*>(&image));
}

error gCPngIO::ReadImage(gCStream& stream, CImage8& image) {
    return ReadImage(stream, static_cast<CImageBase*>(&image));
}

error gCPngIO::ReadImage(gCStream& stream, CImageBase* image) {
    if (!image) {
        return eBadParameter;
    }
    return ReadStaged(*image, [&](CImageBase& fresh) { return Decode(stream, &fresh); });
}

error gCPngIO::Decode(gCStream& stream, CImageBase* image) {
    CPngStructs s(false);
    if (!s.IsValid()) {
        return eOutOfMemory;
    }
    png_set_read_fn(s.png, &stream, g_PNGIO_VantorReadData);
    png_set_user_limits(s.png, CImageBase::kMaxSide, CImageBase::kMaxSide);
    // Ancillary chunks (text, profiles) may be large, but not unboundedly.
    png_set_chunk_malloc_max(s.png, kPngLargestBlock);

    const int64_t start = stream.GetFilePos();
    CHeader header;
    if (!ReadHeader(s.png, s.info, &header)) {
        return eFileReadWriteError;
    }
    // No image before the data has earned it: rows (each with its filter
    // byte) that deflate could not make from the image data are refused.
    uint64_t compressed = 0;
    if (!CompressedBytes(stream, start, compressed)) {
        return eFileReadWriteError;
    }
    const uint64_t filtered =
        uint64_t(header.height) * (uint64_t(png_get_rowbytes(s.png, s.info)) + 1);
    if (filtered > compressed * kMostInflatedPerByte) {
        return eFileReadWriteError;
    }
    if (image->SetSize(int32_t(header.width), int32_t(header.height)) != eNoError) {
        return eOutOfMemory;
    }
    CImNavBase view(image, nullptr);
    if (!view.IsLocked()) {
        return eOutOfMemory;
    }
    CMemBlockT<png_bytep> rows;
    if (!g_PNGIO_RowTable(view, rows)) {
        return eOutOfMemory;
    }
    const bool grey = image->GetBitsPerPixel() == 8;
    const size_t rowBytes = size_t(header.width) * (grey ? 1 : 4);
    const SDecoding how{grey, m_rGamma, true};
    if (!ReadRows(s.png, s.info, &header, &how, rows.GetData(), rowBytes)) {
        return eFileReadWriteError;
    }
    return eNoError;
}
