#pragma once
// Reading an image widget's picture straight from its run-length form.

#include <cstdint>

#include "foundation/Error.h"
#include "imaging/ImNav.h"
#include "imaging/Image.h"
#include "imaging/RLE.h"

namespace widgetdetail {

// Makes copy an uncompressed image of the run-length form's size, filled
// row by row from the reader: 0, or 5 when it cannot be made or locked.
inline error ExpandRunLength(CRLE& rle, CImage& copy) {
    if (copy.Create(rle.GetWidth(), rle.GetHeight()) != eNoError) {
        return eOutOfMemory;
    }
    CImNav view(&copy);
    if (!view.IsLocked()) {
        return eOutOfMemory;
    }
    for (int32_t y = 0; y < view.GetHeight(); ++y) {
        rle.StartRLE(0, y);
        rle.ReadRLE(view.Row(y), view.GetWidth());
    }
    return eNoError;
}

} // namespace widgetdetail
