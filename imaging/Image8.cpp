#include "imaging/Image8.h"

#include "imaging/RLE8.h"
#include "imaging/detail/ImageCompression.h"

CImage8::CImage8() : CImageBase(8, 0) {}

CImage8::CImage8(int32_t width, int32_t height) : CImageBase(8, 0) {
    // A constructor has no result: a failure leaves the image without a
    // surface (IsValid() 0), as documented.
    (void)Create(width, height);
}

CImage8::~CImage8() {
    m_pRLE.reset();
}

void CImage8::DestroySurface() {
    m_pRLE.reset();
    CImageBase::DestroySurface();
}

error CImage8::Compress() {
    return CompressWith(this, m_pRLE);
}

int32_t CImage8::IsCompressed() const {
    return m_pRLE && m_pRLE->IsCompressed() ? 1 : 0;
}

error CImage8::Decompress() {
    return DecompressFrom<CRLE8, uint8_t>(m_pRLE);
}
