#pragma once
// The 8-bit single-channel image (masks), compressible like CImage.

#include <memory>

#include "ImageBase.h"

class CRLE8;

class CImage8 : public CImageBase {
public:
    // An empty image.
    CImage8();
    // An image with a zeroed block of its own; when that fails it has none.
    CImage8(int32_t width, int32_t height);
    ~CImage8() override;

    void DestroySurface() override;
    error Compress() override;
    int32_t IsCompressed() const override;
    error Decompress() override;

    CRLE8* GetRLE() const { return m_pRLE.get(); }

private:
    std::unique_ptr<CRLE8> m_pRLE;
};
