// Loading images from the resource file, alone or shared through the
// application's image pool.

#include "FileIO/ResourceLoading.h"
#include "imaging/Image.h"
#include "imaging/Image8.h"
#include "imaging/ImageIO.h"
#include "imaging/detail/ShowFailure.h"

namespace {

// Pool 1 holds images, 8-bit images and image lists.
constexpr int32_t kImagePool = 1;

constexpr const char* kImageSizeFailed = "Image load size failed.";
constexpr const char* kImageLoadFailed = "Image failed to load from resources.";
constexpr const char* kImage8SizeFailed = "Image8 load size failed.";
constexpr const char* kImage8LoadFailed = "Image8 failed to load from resources.";

} // namespace

template <class Image, class Key>
error CImageBase::GetLoadedFromRes(Image& into, const Key& key, gCFile* file,
                                   gCResourceIndex* index, const char* sizeFailed,
                                   const char* loadFailed) {
    Image fresh;
    if (error e = fresh.LocateFromRes(key, file, index)) {
        return e;
    }
    CMemBlock bytes;
    if (error e = fresh.ReadImageBytes(file, bytes, sizeFailed, loadFailed)) {
        return e;
    }
    if (error e = gCImageIO::ReadImage(bytes, fresh)) {
        ShowFailure(eResourceReadError, loadFailed);
        return e;
    }
    return into.TakeLoaded(fresh);
}

error CImage::GetFromRes(int32_t id, gCFile* file, gCResourceIndex* index) {
    return GetLoadedFromRes(*this, id, file, index, kImageSizeFailed, kImageLoadFailed);
}

error CImage::GetFromRes(const gCString& name, gCFile* file, gCResourceIndex* index) {
    return GetLoadedFromRes(*this, name, file, index, kImageSizeFailed, kImageLoadFailed);
}

CImage* CImage::CreateFromRes(int32_t id, gCFile* file, gCResourceIndex* index) {
    return CreateFromResource<CImage>(id, file, index, 0);
}

CImage* CImage::CreateFromRes(const gCString& name, gCFile* file, gCResourceIndex* index) {
    return CreateFromResource<CImage>(name, file, index, 0);
}

CImage* CImage::CreateSharedFromRes(int32_t id, gCFile* file, gCResourceIndex* index) {
    return CreateSharedFromResource<CImage>(kImagePool, id, file, index, 0);
}

CImage* CImage::CreateSharedFromRes(const gCString& name, gCFile* file, gCResourceIndex* index) {
    return CreateSharedFromResource<CImage>(kImagePool, name, file, index, 0);
}

error CImage8::GetFromRes(int32_t id, gCFile* file, gCResourceIndex* index) {
    return GetLoadedFromRes(*this, id, file, index, kImage8SizeFailed, kImage8LoadFailed);
}

error CImage8::GetFromRes(const gCString& name, gCFile* file, gCResourceIndex* index) {
    return GetLoadedFromRes(*this, name, file, index, kImage8SizeFailed, kImage8LoadFailed);
}

// The 10 x 10 surface an 8-bit image starts with is replaced by the loaded
// image.
CImage8* CImage8::CreateFromRes(int32_t id, gCFile* file, gCResourceIndex* index) {
    return CreateFromResource<CImage8>(id, file, index, 10, 10);
}

CImage8* CImage8::CreateFromRes(const gCString& name, gCFile* file, gCResourceIndex* index) {
    return CreateFromResource<CImage8>(name, file, index, 10, 10);
}

CImage8* CImage8::CreateSharedFromRes(int32_t id, gCFile* file, gCResourceIndex* index) {
    return CreateSharedFromResource<CImage8>(kImagePool, id, file, index, 10, 10);
}

CImage8* CImage8::CreateSharedFromRes(const gCString& name, gCFile* file, gCResourceIndex* index) {
    return CreateSharedFromResource<CImage8>(kImagePool, name, file, index, 10, 10);
}
