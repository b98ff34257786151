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

template <class Image> error Decode(Image& image, CMemBlock& bytes, const char* loadFailed) {
    const error e = gCImageIO::ReadImage(bytes, image);
    if (e != eNoError) {
        ShowFailure(eResourceReadError, loadFailed);
    }
    return e;
}

} // namespace

template <class Key>
error CImage::LoadFromRes(const Key& key, gCFile* file, gCResourceIndex* index) {
    const error e = LocateFromRes(key, file, index);
    return e != eNoError ? e : LoadFoundBlock(file);
}

error CImage::LoadFoundBlock(gCFile* file) {
    CMemBlock bytes;
    const error e = ReadImageBytes(file, bytes, "Image load size failed.",
                                   "Image failed to load from resources.");
    return e != eNoError ? e : Decode(*this, bytes, "Image failed to load from resources.");
}

error CImage::GetFromRes(int32_t id, gCFile* file, gCResourceIndex* index) {
    CImage fresh;
    const error e = fresh.LoadFromRes(id, file, index);
    return e != eNoError ? e : TakeLoaded(fresh);
}

error CImage::GetFromRes(const gCString& name, gCFile* file, gCResourceIndex* index) {
    CImage fresh;
    const error e = fresh.LoadFromRes(name, file, index);
    return e != eNoError ? e : TakeLoaded(fresh);
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

template <class Key>
error CImage8::LoadFromRes(const Key& key, gCFile* file, gCResourceIndex* index) {
    const error e = LocateFromRes(key, file, index);
    return e != eNoError ? e : LoadFoundBlock(file);
}

error CImage8::LoadFoundBlock(gCFile* file) {
    CMemBlock bytes;
    const error e = ReadImageBytes(file, bytes, "Image8 load size failed.",
                                   "Image8 failed to load from resources.");
    return e != eNoError ? e : Decode(*this, bytes, "Image8 failed to load from resources.");
}

error CImage8::GetFromRes(int32_t id, gCFile* file, gCResourceIndex* index) {
    CImage8 fresh;
    const error e = fresh.LoadFromRes(id, file, index);
    return e != eNoError ? e : TakeLoaded(fresh);
}

error CImage8::GetFromRes(const gCString& name, gCFile* file, gCResourceIndex* index) {
    CImage8 fresh;
    const error e = fresh.LoadFromRes(name, file, index);
    return e != eNoError ? e : TakeLoaded(fresh);
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
