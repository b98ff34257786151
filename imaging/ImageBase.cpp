#include "imaging/ImageBase.h"

#include <cstdlib>
#include <cstring>
#include <utility>

#include "FileIO/ResourceTags.h"
#include "FileIO/gCFile.h"
#include "imaging/detail/ShowFailure.h"

CImageBase::CImageBase(int32_t bitsPerPixel, int32_t platform)
    : gCResourceObject(kResImageTag), m_nBitsPerPixel(bitsPerPixel), m_fPlatform(platform ? 1 : 0) {
}

CImageBase::~CImageBase() {
    CImageBase::DestroySurface();
}

size_t CImageBase::SurfaceBytes() const {
    return size_t(m_nWidth) * size_t(m_nHeight) * size_t(m_nBitsPerPixel / 8);
}

void CImageBase::DestroySurface() {
    m_pPixels.reset();
    m_fValid = 0;
}

error CImageBase::SetSize(int32_t width, int32_t height) {
    // An image that kept its size without a surface (a Create that ran out
    // of memory) has nothing to clear: it is made again, so that success
    // always means pixels.
    if (width == m_nWidth && height == m_nHeight && m_fValid) {
        return Zero();
    }
    return Create(width, height);
}

error CImageBase::Zero() {
    if (m_pPixels) {
        std::memset(m_pPixels.get(), 0, SurfaceBytes());
    }
    return eNoError;
}

error CImageBase::Lock(void*& pixels, const gCRect* rect) {
    pixels = nullptr;
    if (!m_fValid || !m_pPixels) {
        return eGenericFailure;
    }
    if (rect &&
        (rect->left < 0 || rect->left > m_nWidth || rect->top < 0 || rect->top > m_nHeight)) {
        return eBadParameter;
    }
    m_nBytesPerPixel = m_nBitsPerPixel / 8;
    m_nRowBytes = m_nBytesPerPixel * m_nWidth;
    uint8_t* p = m_pPixels.get();
    if (rect) {
        p += size_t(rect->top) * size_t(m_nRowBytes) + size_t(rect->left) * m_nBytesPerPixel;
    }
    pixels = p;
    m_nStride = m_nRowBytes / m_nBytesPerPixel;
    return eNoError;
}

error CImageBase::Unlock(const gCRect*) {
    return eNoError;
}

error CImageBase::MakeSurface(int32_t width, int32_t height) {
    DestroySurface();
    m_nWidth = width;
    m_nHeight = height;
    auto* p = static_cast<uint8_t*>(AllocateZeroed(SurfaceBytes()));
    if (!p) {
        return eOutOfMemory;
    }
    m_pPixels.reset(p);
    m_fValid = 1;
    return eNoError;
}

error CImageBase::Create(int32_t width, int32_t height) {
    if (m_fPlatform) {
        return CreatePlatformImage(width, height);
    }
    if (!SideInRange(width) || !SideInRange(height)) {
        return eBadParameter;
    }
    return MakeSurface(width, height);
}

error CImageBase::CreatePlatformImage(int32_t width, int32_t height) {
    if (!SideInRange(width) || !SideInRange(height)) {
        return eBadParameter;
    }
    m_fPlatform = 1;
    return MakeSurface(width, height);
}

error CImageBase::TakeSurface(CImageBase& other) {
    if (&other == this) {
        return eNoError;
    }
    if (other.m_nBitsPerPixel != m_nBitsPerPixel || other.IsCompressed()) {
        return eBadParameter;
    }
    DestroySurface();
    m_pPixels = std::move(other.m_pPixels);
    m_nWidth = other.m_nWidth;
    m_nHeight = other.m_nHeight;
    m_fValid = other.m_fValid;
    other.DestroySurface();
    other.m_nWidth = 0;
    other.m_nHeight = 0;
    return eNoError;
}

error CImageBase::TakeLoaded(CImageBase& loaded) {
    const error e = TakeSurface(loaded);
    if (e != eNoError) {
        return e;
    }
    m_nResID = loaded.m_nResID;
    m_ResName = std::move(loaded.m_ResName);
    return eNoError;
}

void CImageBase::ReleasePixelBlock() {
    m_pPixels.reset();
}

void* CImageBase::AllocateZeroed(size_t bytes) {
    // The system allocator hands a large block out as fresh pages that the
    // kernel maps in zeroed when they are first touched, and its calloc
    // knows that and does not clear them again: a new image costs only the
    // pages its pixels really fill. A replaced hook gives no such promise,
    // so its block is cleared here.
    if (gCMemory::m_pAllocProc == &gCMemory::MallocProc) {
        return std::calloc(bytes > 1 ? bytes : 1, 1);
    }
    void* p = gCMemory::Alloc(bytes);
    if (p) {
        std::memset(p, 0, bytes);
    }
    return p;
}

error CImageBase::AllocatePixelBlock() {
    m_pPixels.reset();
    auto* p = static_cast<uint8_t*>(gCMemory::Alloc(SurfaceBytes()));
    if (!p) {
        return eOutOfMemory;
    }
    m_pPixels.reset(p);
    return eNoError;
}

error CImageBase::ReadImageBytes(gCFile* file, CMemBlock& bytes, const char* sizeFailed,
                                 const char* loadFailed) {
    int32_t count = 0;
    error e = ReadPayloadCount(file, count, 1);
    if (e != eNoError) {
        ShowFailure(eResourceReadError, sizeFailed);
        return e;
    }
    if (!bytes.Resize(uint32_t(count), 0)) {
        ShowFailure(eResourceReadError, loadFailed);
        return eOutOfMemory;
    }
    e = count > 0 ? file->ReadBlock(bytes.GetData(), count) : eFileReadWriteError;
    if (e != eNoError) {
        ShowFailure(eResourceReadError, loadFailed);
    }
    return e;
}
