#pragma once
// The surface shared by every picture: a width, a height, a depth of 32 or
// 8 bits and the pixels in one block from the memory hooks, rows top to
// bottom without padding. Pixels are reached only by locking (Lock, the
// views, CImLocker). A derived image may hold its pixels run-length encoded
// instead; it then keeps its valid flag but has no pixel block.
//
// Each side is at most kMaxSide pixels and sizes are computed in size_t, so
// no requested size can wrap into a small allocation.
//
// Images are resource objects: an 'imag' block holds an Int32 byte count and
// then one whole PNG, JPEG or BMP file.

#include <cstddef>
#include <cstdint>
#include <memory>

#include "FileIO/gCResourceObject.h"
#include "foundation/CMemBlock.h"
#include "foundation/Error.h"
#include "foundation/Geometry.h"
#include "foundation/gCMemory.h"

class CImageBase : public gCResourceObject {
public:
    static constexpr int32_t kMaxSide = 32767;

    ~CImageBase() override;
    CImageBase(const CImageBase&) = delete;
    CImageBase& operator=(const CImageBase&) = delete;

    // Loads the image of the 'imag' block with that id or name. A null
    // file, or the application's resource file, means the application's
    // file and index. 6 without a file, 21 when no block matches; a failing
    // read or decode is reported (code 22) and its own error returned. The
    // block is loaded into a fresh image, which hands over its pixels and
    // the block's id and name on success: a failed load leaves the image as
    // it was (size, pixels, compressed form, id and name).
    virtual error GetFromRes(int32_t id, gCFile* file, gCResourceIndex* index) = 0;
    virtual error GetFromRes(const gCString& name, gCFile* file, gCResourceIndex* index) = 0;

    // Frees the pixel block and clears the valid flag.
    virtual void DestroySurface();
    // The same size clears the pixels; another size, or an image without
    // pixels, makes a new surface.
    virtual error SetSize(int32_t width, int32_t height);
    virtual error Lock(void*& pixels) { return Lock(pixels, nullptr); }
    virtual error Unlock() { return Unlock(nullptr); }
    // Clears every pixel byte; always 0.
    virtual error Zero();
    virtual error Compress() { return eNoError; }
    virtual int32_t IsCompressed() const { return 0; }
    virtual error Decompress() { return eNoError; }
    // Hands out the address of the rectangle's first pixel (the whole
    // image's without a rectangle) and sets the row bytes, stride and bytes
    // per pixel. Fails with 1 and a null address when the image holds no
    // pixel block (empty, or compressed), and with 6 when the rectangle's
    // top-left corner lies outside the image.
    virtual error Lock(void*& pixels, const gCRect* rect);
    // Nothing to release for a memory block; always 0.
    virtual error Unlock(const gCRect* rect);
    // A new zeroed surface of the given size: 0, 5 when memory runs out
    // (the image keeps the new size without a surface), 6 for a side
    // outside 0..kMaxSide (the image is left as it was).
    virtual error Create(int32_t width, int32_t height);
    // As Create, but marks the image as a platform surface, which is never
    // compressed.
    virtual error CreatePlatformImage(int32_t width, int32_t height);
    // Takes the other image's surface (its size, pixel block and valid
    // flag) and leaves the other empty; this image's own surface and
    // compressed form go first, its origin, platform flag and resource
    // names stay. 0, or 6 with both images unchanged when their depths
    // differ or the other is compressed.
    error TakeSurface(CImageBase& other);

    int32_t GetWidth() const { return m_nWidth; }
    int32_t GetHeight() const { return m_nHeight; }
    int32_t GetBitsPerPixel() const { return m_nBitsPerPixel; }
    int32_t IsValid() const { return m_fValid; }
    int32_t IsPlatform() const { return m_fPlatform; }
    // Offsets added to a view's rectangle to turn it into image coordinates.
    gCPoint GetOrigin() const { return {m_nOriginX, m_nOriginY}; }
    void SetOrigin(const gCPoint& origin) {
        m_nOriginX = origin.x;
        m_nOriginY = origin.y;
    }
    // Set by every successful Lock.
    int32_t GetRowBytes() const { return m_nRowBytes; }
    int32_t GetStride() const { return m_nStride; }
    int32_t GetBytesPerPixel() const { return m_nBytesPerPixel; }

protected:
    CImageBase(int32_t bitsPerPixel, int32_t platform);

    // GetFromRes's last step after a load into a fresh image of the same
    // kind: takes its surface (TakeSurface), resource id and name.
    error TakeLoaded(CImageBase& loaded);

    // Reads the block's byte count and bytes, once GetFromRes has found it;
    // failures are reported with the given texts.
    error ReadImageBytes(gCFile* file, CMemBlock& bytes, const char* sizeFailed,
                         const char* loadFailed);

    // GetFromRes of each kind of image: a fresh image of that kind finds the
    // block by id or name, reads and decodes it, and into takes it (into is
    // untouched on a failure, which is reported with the kind's texts).
    // Defined beside the kinds' loaders, for CImage and CImage8.
    template <class Image, class Key>
    static error GetLoadedFromRes(Image& into, const Key& key, gCFile* file,
                                  gCResourceIndex* index, const char* sizeFailed,
                                  const char* loadFailed);

    static bool SideInRange(int32_t side) { return side >= 0 && side <= kMaxSide; }
    size_t SurfaceBytes() const;

    // For the compressed forms of derived images: drop the pixel block but
    // keep the valid flag, and allocate a fresh (uncleared) block.
    void ReleasePixelBlock();
    error AllocatePixelBlock();
    // A cleared block of that many bytes through the memory hooks (freed
    // with gCMemory::Free); null when memory runs out.
    static void* AllocateZeroed(size_t bytes);

    // Compress and Decompress of the derived images, over their run-length
    // coder (defined in ImageCompression.h).
    template <class Coder, class Image>
    static error CompressWith(Image* image, std::unique_ptr<Coder>& rle);
    template <class Coder, class Unit> error DecompressFrom(std::unique_ptr<Coder>& rle);

private:
    struct BlockFree {
        void operator()(uint8_t* p) const { gCMemory::Free(p); }
    };
    error MakeSurface(int32_t width, int32_t height);

    int32_t m_nWidth = 0;
    int32_t m_nHeight = 0;
    int32_t m_nBitsPerPixel;
    int32_t m_fValid = 0;
    int32_t m_fPlatform;
    int32_t m_nOriginX = 0;
    int32_t m_nOriginY = 0;
    std::unique_ptr<uint8_t, BlockFree> m_pPixels;
    int32_t m_nRowBytes = 0;
    int32_t m_nStride = 0;
    int32_t m_nBytesPerPixel = 0;
};
