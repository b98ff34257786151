#include "imaging/Image.h"

#include "imaging/RLE.h"
#include "imaging/detail/ImageCompression.h"

CImage::CImage(int32_t platform) : CImageBase(32, platform) {}

CImage::CImage(int32_t width, int32_t height, int32_t platform) : CImageBase(32, platform) {
    // A constructor has no result: a failure leaves the image without a
    // surface (IsValid() 0), as documented.
    (void)Create(width, height);
}

CImage::~CImage() {
    m_pRLE.reset();
}

void CImage::DestroySurface() {
    m_pRLE.reset();
    CImageBase::DestroySurface();
}

error CImage::Compress() {
    return CompressWith(this, m_pRLE);
}

int32_t CImage::IsCompressed() const {
    return m_pRLE && m_pRLE->IsCompressed() ? 1 : 0;
}

error CImage::Decompress() {
    return DecompressFrom<CRLE, CPixel>(m_pRLE);
}
