#pragma once
// What the texture and gradient effects share when their owner changes: the
// owner's rectangle as the extent, and an image of the owner's size made or
// kept for the effect's own pixels.

#include <cstdint>
#include <memory>
#include <new>

#include "foundation/Error.h"
#include "foundation/Geometry.h"
#include "imaging/Image.h"
#include "widgets/Widget.h"

namespace effectdetail {

// The owner's rectangle, owner-local, when it has both sides positive.
inline bool OwnerArea(const CWidget* owner, gCRect& area) {
    if (!owner || owner->Width() <= 0 || owner->Height() <= 0) {
        return false;
    }
    area = gCRect(0, 0, owner->Width(), owner->Height());
    return true;
}

// The image at width x height, zeroed, made when there is none: 0, 5 when
// it cannot be made, or SetSize's error.
inline error SizedImage(std::unique_ptr<CImage>& image, int32_t width, int32_t height) {
    if (!image) {
        image.reset(new (std::nothrow) CImage(0));
        if (!image) {
            return eOutOfMemory;
        }
    }
    return image->SetSize(width, height);
}

} // namespace effectdetail
