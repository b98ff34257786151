#pragma once
// The one way encoded images enter and leave the program: recognises PNG,
// JPEG and BMP by their first bytes, makes the matching codec for one call
// and lets it decode into, or encode from, a CImage (32-bit) or a CImage8
// (8-bit grey). The image keeps its own depth and takes the encoded size.
//
// A PNG is recognised at the stream's position; JPEG and BMP only at the
// start of the stream (the test for them rewinds).

#include <cstdint>

#include "foundation/CMemBlock.h"
#include "foundation/Error.h"
#include "foundation/gCString.h"

class CImage;
class CImage8;
class gCFRef;
class gCFRelative;
class gCImageFormat;
class gCStream;

class gCImageIO {
public:
    // The file-type codes of the three formats; 0 is no image.
    enum : uint32_t { kNoImage = 0, kBMP = 3, kJPEG = 4, kPNG = 5 };

    // 5 (PNG), 4 (JPEG), 3 (BMP) or 0, tested in that order.
    static uint32_t GetImageType(gCStream& stream);
    static uint32_t GetImageType(CMemBlock& block);
    static bool IsImage(gCStream& stream);

    // Reading: 6 when the bytes are no image (or a reference or path is
    // invalid), 23 when the codec cannot be made, an open error as the file
    // gives it, else the codec's result. A failed read leaves the image as
    // it was: size, pixels and compressed form (the codecs decode into an
    // image of their own and hand the pixels over on success).
    static error ReadImage(gCStream& stream, CImage& image);
    static error ReadImage(gCStream& stream, CImage8& image);
    // With the caller's codec, no sniffing: 6 for a null codec.
    static error ReadImage(gCStream& stream, CImage& image, gCImageFormat* codec);
    static error ReadImage(gCStream& stream, CImage8& image, gCImageFormat* codec);
    static error ReadImage(CMemBlock& block, CImage& image);
    static error ReadImage(CMemBlock& block, CImage8& image);
    static error ReadImage(gCFRef& ref, CImage& image);
    static error ReadImage(gCFRef& ref, CImage8& image);
    static error ReadImage(gCFRelative& ref, CImage& image);
    static error ReadImage(gCFRelative& ref, CImage8& image);
    // A path relative to the application folder.
    static error ReadImage(const gCString& path, CImage& image);
    static error ReadImage(const gCString& path, CImage8& image);

    // Writing with type 3, 4 or 5; any other type is 23 before anything is
    // written, created or truncated. Else 6 for an invalid reference or
    // path, an open error as the file gives it, or the codec's result.
    static error WriteImage(gCStream& stream, CImage& image, uint32_t type);
    static error WriteImage(gCStream& stream, CImage8& image, uint32_t type);
    // From the block's first byte; the block grows as needed and keeps any
    // slack beyond the encoded bytes.
    static error WriteImage(CMemBlock& block, CImage& image, uint32_t type);
    static error WriteImage(CMemBlock& block, CImage8& image, uint32_t type);
    static error WriteImage(gCFRef& ref, CImage& image, uint32_t type);
    static error WriteImage(gCFRef& ref, CImage8& image, uint32_t type);
    static error WriteImage(gCFRelative& ref, CImage& image, uint32_t type);
    static error WriteImage(gCFRelative& ref, CImage8& image, uint32_t type);
    // A full path.
    static error WriteImage(const gCString& path, CImage& image, uint32_t type);
    static error WriteImage(const gCString& path, CImage8& image, uint32_t type);

    static bool IsWritableType(uint32_t type) {
        return type == kBMP || type == kJPEG || type == kPNG;
    }
};
