#pragma once
// The 32-bit image of CPixel words. It can hold its pixels run-length
// encoded instead (Compress) when that is smaller than four fifths of the
// raw pixels; while compressed it has no pixel block and GetRLE() reads it.

#include <memory>

#include "ImageBase.h"

class CRLE;

class CImage : public CImageBase {
public:
    // An empty image; the platform flag applies to later Create or SetSize.
    explicit CImage(int32_t platform = 0);
    // An image with a zeroed surface; when that fails it has none.
    CImage(int32_t width, int32_t height, int32_t platform = 0);
    ~CImage() override;

    // Also discards the run-length form.
    void DestroySurface() override;
    // 0 when the image is kept raw (too small, not worth it, platform
    // surface or already compressed), 5 when memory runs out.
    error Compress() override;
    int32_t IsCompressed() const override;
    // Back to a pixel block; 5 when memory runs out (still compressed).
    error Decompress() override;

    CRLE* GetRLE() const { return m_pRLE.get(); }

private:
    std::unique_ptr<CRLE> m_pRLE;
};
