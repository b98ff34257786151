#pragma once
// Views: a rectangle of an image locked for as long as the view lives, with
// the address of its first pixel and the distance between its rows. Pixel
// (x, y) of a view, counted from its top-left corner, is element
// y * stride + x of its data.
//
// The rectangle is in the caller's coordinates; the image's origin turns it
// into image coordinates and the result is clipped to the image, so a view
// never addresses memory outside the image. A view that failed to lock, or
// whose rectangle misses the image, has width or height 0.
//
// Views do not look at IsCompressed(): decompress an image, or read its
// run-length form, before making a view of it.

#include <cstdint>

#include "foundation/Geometry.h"
#include "foundation/gCBaseObject.h"
#include "imaging/Image.h"
#include "imaging/Image8.h"
#include "imaging/Pixel.h"

class CImNavBase : public gCBaseObject {
public:
    // Without a rectangle the view covers the whole image.
    CImNavBase(CImageBase* image, const gCRect* rect);
    ~CImNavBase() override;
    CImNavBase(const CImNavBase&) = delete;
    CImNavBase& operator=(const CImNavBase&) = delete;

    // Releases the lock and returns the image's Unlock result (0 when the
    // view holds no lock); the view is then not used for pixel access.
    // Harmless to call twice.
    error Unlock();

    int32_t IsLocked() const { return m_fLocked; }
    CImageBase* GetImage() const { return m_pImage; }
    int32_t GetWidth() const { return m_nWidth; }
    int32_t GetHeight() const { return m_nHeight; }
    // The locked rectangle in image coordinates.
    const gCRect& GetArea() const { return m_rArea; }
    void* GetDataPtr() const { return m_pData; }
    int32_t GetStride() const { return m_nStride; }
    int32_t GetRowBytes() const { return m_nRowBytes; }
    int32_t GetBytesPerPixel() const { return m_nBytesPerPixel; }

protected:
    CImageBase* m_pImage = nullptr;
    int32_t m_fLocked = 0;
    int32_t m_nWidth = 0;
    int32_t m_nHeight = 0;
    gCRect m_rArea;
    gCRect* m_pRect = nullptr;
    void* m_pData = nullptr;
    int32_t m_nStride = 0;
    int32_t m_nRowBytes = 0;
    int32_t m_nBytesPerPixel = 0;
};

// A view of a 32-bit image.
class CImNav : public CImNavBase {
public:
    explicit CImNav(CImage* image, const gCRect* rect = nullptr) : CImNavBase(image, rect) {}

    CPixel* GetData() const { return static_cast<CPixel*>(m_pData); }
    CPixel* Row(int32_t y) const { return GetData() + ptrdiff_t(y) * m_nStride; }

    // Every pixel of the view becomes colour.
    void Fill(CPixel colour);
    // Every pixel keeps its colour and takes the alpha.
    void SetAlpha(uint32_t alpha);
};

// A view of an 8-bit image.
class CImNav8 : public CImNavBase {
public:
    explicit CImNav8(CImage8* image, const gCRect* rect = nullptr) : CImNavBase(image, rect) {}

    uint8_t* GetData() const { return static_cast<uint8_t*>(m_pData); }
    uint8_t* Row(int32_t y) const { return GetData() + ptrdiff_t(y) * m_nStride; }

    // Every byte of the view becomes value; nothing between rows is touched.
    void Fill(uint8_t value);
};
