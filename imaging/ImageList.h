#pragma once
// A named list of images loaded from an 'imlt' (32-bit) or 'iml8' (8-bit)
// block: the frames of an animated or multi-state widget. The block names
// its member images; a shared list takes them from the application's
// image pool (loading and pooling those not there yet), an exclusive list
// loads private copies and deletes them with itself.

#include <cstdint>

#include "FileIO/ResourceTags.h"
#include "FileIO/gCResourceObject.h"
#include "foundation/gCArray.h"
#include "imaging/Image.h"
#include "imaging/Image8.h"

template <class Image, uint32_t Tag> class gCImageListT : public gCResourceObject {
public:
    explicit gCImageListT(int32_t exclusive) : gCResourceObject(Tag), m_fExclusive(exclusive) {}
    ~gCImageListT() override;
    gCImageListT(const gCImageListT&) = delete;
    gCImageListT& operator=(const gCImageListT&) = delete;

    // Appends the block's members. 6 without a file, 21 when no block
    // matches, 22 for a member that does not load (reported with its name),
    // or the failing read's error. What a failure leaves: the members
    // appended before it stay in the list (shared ones also in the pool),
    // and once the block's exclusive flag has been read the list has taken
    // it; a failure before the first member leaves the members as they were.
    virtual error GetFromRes(int32_t id, gCFile* file, gCResourceIndex* index);
    virtual error GetFromRes(const gCString& name, gCFile* file, gCResourceIndex* index);

    // Appends a member; a shared list first puts an image that is in no
    // pool yet into the application's image pool. The member is marked as
    // held by a container.
    error Add(Image* image);

    int32_t GetCount() const { return m_aImages.GetSize(); }
    Image* GetImage(int32_t i) const { return m_aImages[i]; }
    const gCArray<Image*>& Images() const { return m_aImages; }
    int32_t IsExclusive() const { return m_fExclusive; }

protected:
    error LoadFoundBlock(gCFile* file);

    gCArray<Image*> m_aImages;
    int32_t m_nIndex = 0;
    int32_t m_fExclusive;
};

class gCImageList : public gCImageListT<CImage, kResImageListTag> {
public:
    explicit gCImageList(int32_t exclusive) : gCImageListT(exclusive) {}
    // A new exclusive list loaded from the resource file, or null.
    static gCImageList* CreateFromRes(int32_t id, gCFile* file, gCResourceIndex* index);
    static gCImageList* CreateFromRes(const gCString& name, gCFile* file, gCResourceIndex* index);
};

class gCImageList8 : public gCImageListT<CImage8, kResImageList8Tag> {
public:
    explicit gCImageList8(int32_t exclusive) : gCImageListT(exclusive) {}
    static gCImageList8* CreateFromRes(int32_t id, gCFile* file, gCResourceIndex* index);
    static gCImageList8* CreateFromRes(const gCString& name, gCFile* file, gCResourceIndex* index);
};
