#pragma once
// The 8-bit single-channel image (masks), compressible like CImage.

#include <memory>

#include "imaging/ImageBase.h"

class CRLE8;

class CImage8 : public CImageBase {
public:
    // An empty image.
    CImage8();
    // An image with a zeroed block of its own; when that fails it has none.
    CImage8(int32_t width, int32_t height);
    ~CImage8() override;

    error GetFromRes(int32_t id, gCFile* file, gCResourceIndex* index) override;
    error GetFromRes(const gCString& name, gCFile* file, gCResourceIndex* index) override;

    // A new image loaded from the resource file, or null.
    static CImage8* CreateFromRes(int32_t id, gCFile* file, gCResourceIndex* index);
    static CImage8* CreateFromRes(const gCString& name, gCFile* file, gCResourceIndex* index);
    // The application's image pool's image of that id or name, else a new
    // one loaded and added to the pool, which owns it; null when it does
    // not load. Callers never delete shared images.
    static CImage8* CreateSharedFromRes(int32_t id, gCFile* file, gCResourceIndex* index);
    static CImage8* CreateSharedFromRes(const gCString& name, gCFile* file, gCResourceIndex* index);

    void DestroySurface() override;
    error Compress() override;
    int32_t IsCompressed() const override;
    error Decompress() override;

    CRLE8* GetRLE() const { return m_pRLE.get(); }

private:
    std::unique_ptr<CRLE8> m_pRLE;
};
