#pragma once
// What a project of one size is made of: the four paint layers and the
// composite, a view locked on each for as long as they live, and one
// invalidation span per row. A new project makes a whole new set before the
// old one goes, so a project that cannot be made leaves the open one as it
// was.
//
// Layer words, rows top to bottom without padding (pixel (x, y) is word
// y × width + x):
//   L0 colour: 0xAARRGGBB, A the paint coverage
//   L1 height: high 16 bits paper grain, low 16 bits paint depth
//   L2 finish: bits 24-31 highlight weight, 16-23 environment weight
//   L3 grain and mark: low 16 bits a copy of the grain, high 16 bits the
//      paint tools' per-stroke mark
//   composite: the lit picture, opaque

#include <cstdint>
#include <memory>

#include "foundation/CMemBlock.h"
#include "foundation/Error.h"
#include "foundation/gCBaseObject.h"
#include "imaging/ImNav.h"
#include "imaging/Image.h"

struct CCanvasLayers : gCBaseObject {
    enum { kColour = 0, kHeight = 1, kFinish = 2, kGrain = 3, kComposite = 4, kCount = 5 };

    // A zeroed set of width × height with no invalid span: eCreateFailed when an
    // image or view cannot be made, eOutOfMemory when the spans cannot (nothing made
    // then).
    static error Make(int32_t width, int32_t height, std::unique_ptr<CCanvasLayers>& made);

    // A set of width × height around a project file's decoded layers:
    // images[i], when given, becomes layer i (it is of that size); the
    // others and the composite are made zeroed. eCreateFailed or eOutOfMemory as Make, and the
    // given images then stay the caller's.
    static error Adopt(int32_t width, int32_t height, std::unique_ptr<CImage> (&images)[4],
                       std::unique_ptr<CCanvasLayers>& made);

    // Marks every row clean: span start 0x7FFFFFFF, span end -1.
    void ResetSpans();

    // The views go before the images they lock.
    std::unique_ptr<CImage> m_apImages[kCount];
    std::unique_ptr<CImNav> m_apViews[kCount];
    CMemBlockT<int32_t> m_SpanStarts;
    CMemBlockT<int32_t> m_SpanEnds;
};
