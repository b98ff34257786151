#pragma once
// The 32-bit image of CPixel words. It can hold its pixels run-length
// encoded instead (Compress) when that is smaller than four fifths of the
// raw pixels; while compressed it has no pixel block and GetRLE() reads it.

#include <memory>

#include "imaging/ImageBase.h"

class CRLE;

class CImage : public CImageBase {
public:
    // An empty image; the platform flag applies to later Create or SetSize.
    explicit CImage(int32_t platform = 0);
    // An image with a zeroed surface; when that fails it has none.
    CImage(int32_t width, int32_t height, int32_t platform = 0);
    ~CImage() override;

    error GetFromRes(int32_t id, gCFile* file, gCResourceIndex* index) override;
    error GetFromRes(const gCString& name, gCFile* file, gCResourceIndex* index) override;

    // A new image loaded from the resource file, or null.
    static CImage* CreateFromRes(int32_t id, gCFile* file, gCResourceIndex* index);
    static CImage* CreateFromRes(const gCString& name, gCFile* file, gCResourceIndex* index);
    // The application's image pool's image of that id or name, else a new
    // one loaded and added to the pool, which owns it; null when it does
    // not load. Callers never delete shared images.
    static CImage* CreateSharedFromRes(int32_t id, gCFile* file, gCResourceIndex* index);
    static CImage* CreateSharedFromRes(const gCString& name, gCFile* file, gCResourceIndex* index);

    // Also discards the run-length form.
    void DestroySurface() override;
    // 0 when the image is kept raw (too small, not worth it, platform
    // surface or already compressed), 5 when memory runs out (the image
    // keeps its pixels).
    error Compress() override;
    int32_t IsCompressed() const override;
    // Back to a pixel block; 5 when memory runs out (still compressed).
    error Decompress() override;

    CRLE* GetRLE() const { return m_pRLE.get(); }

private:
    std::unique_ptr<CRLE> m_pRLE;
};
