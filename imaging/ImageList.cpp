#include "imaging/ImageList.h"

#include <memory>

#include "FileIO/CResourcePool.h"
#include "FileIO/ResourceLoading.h"
#include "FileIO/gCFile.h"
#include "FileIO/gCResourceIndex.h"
#include "foundation/AppServices.h"
#include "foundation/Utf8.h"
#include "imaging/detail/ShowFailure.h"

namespace {

// Pool 1 holds images, 8-bit images and image lists.
constexpr int32_t kImagePool = 1;

CResourcePool* ImagePool() {
    CAppServices* app = CAppServices::Get();
    return app ? app->GetResourcePool(kImagePool) : nullptr;
}

} // namespace

template <class Image, uint32_t Tag> gCImageListT<Image, Tag>::~gCImageListT() {
    if (m_fExclusive) {
        for (m_nIndex = 0; m_nIndex < m_aImages.GetSize(); ++m_nIndex) {
            delete m_aImages[m_nIndex];
        }
    }
}

template <class Image, uint32_t Tag> error gCImageListT<Image, Tag>::Add(Image* image) {
    if (!image) {
        return eBadParameter;
    }
    if (!m_fExclusive && !image->IsPooled()) {
        CResourcePool* pool = ImagePool();
        if (!pool) {
            return eGenericFailure;
        }
        const error e = pool->Add(image);
        if (e != eNoError) {
            return e;
        }
    }
    if (m_aImages.Add(image) != eNoError) {
        return eOutOfMemory;
    }
    image->SetPooled(1);
    return eNoError;
}

template <class Image, uint32_t Tag>
error gCImageListT<Image, Tag>::GetFromRes(int32_t id, gCFile* file, gCResourceIndex* index) {
    const error e = LocateFromRes(id, file, index);
    return e != eNoError ? e : LoadFoundBlock(file);
}

template <class Image, uint32_t Tag>
error gCImageListT<Image, Tag>::GetFromRes(const gCString& name, gCFile* file,
                                           gCResourceIndex* index) {
    const error e = LocateFromRes(name, file, index);
    return e != eNoError ? e : LoadFoundBlock(file);
}

template <class Image, uint32_t Tag> error gCImageListT<Image, Tag>::LoadFoundBlock(gCFile* file) {
    int32_t exclusive = 0;
    error e = file->ReadInt32(exclusive);
    if (e != eNoError) {
        ShowFailure(eResourceReadError, "Error reading exclusivity");
        return e;
    }
    m_fExclusive = exclusive != 0 ? 1 : 0;
    int32_t count = 0;
    // A name takes at least its line end: 4 bytes.
    e = ReadPayloadCount(file, count, 4);
    if (e != eNoError) {
        ShowFailure(eResourceReadError, "Error reading number of entries");
        return e;
    }
    gCArray<gCString> names;
    if (names.SetSize(count) != eNoError) {
        return eOutOfMemory;
    }
    for (int32_t i = 0; i < count; ++i) {
        e = file->ReadString(names[i]);
        if (e != eNoError) {
            return e;
        }
        DropLineEnd(names[i]);
    }
    for (int32_t i = 0; i < count; ++i) {
        const gCString& name = names[i];
        Image* image = nullptr;
        bool fresh = false;
        if (!m_fExclusive) {
            CAppServices* app = CAppServices::Get();
            image = app ? dynamic_cast<Image*>(app->FindResourceByName(kImagePool, name)) : nullptr;
        }
        if (!image) {
            image = Image::CreateFromRes(name, file, nullptr);
            fresh = true;
        }
        if (!image) {
            ShowFailure(eResourceNotFound, gStringToUtf8(name).c_str());
            return eResourceReadError;
        }
        e = Add(image);
        if (e != eNoError) {
            if (fresh && !image->IsPooled()) {
                delete image;
            }
            return e;
        }
    }
    return eNoError;
}

template class gCImageListT<CImage, kResImageListTag>;
template class gCImageListT<CImage8, kResImageList8Tag>;

gCImageList* gCImageList::CreateFromRes(int32_t id, gCFile* file, gCResourceIndex* index) {
    return CreateFromResource<gCImageList>(id, file, index, 1);
}

gCImageList* gCImageList::CreateFromRes(const gCString& name, gCFile* file,
                                        gCResourceIndex* index) {
    return CreateFromResource<gCImageList>(name, file, index, 1);
}

gCImageList8* gCImageList8::CreateFromRes(int32_t id, gCFile* file, gCResourceIndex* index) {
    return CreateFromResource<gCImageList8>(id, file, index, 1);
}

gCImageList8* gCImageList8::CreateFromRes(const gCString& name, gCFile* file,
                                          gCResourceIndex* index) {
    return CreateFromResource<gCImageList8>(name, file, index, 1);
}
