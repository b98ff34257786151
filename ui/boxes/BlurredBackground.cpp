#include "ui/boxes/BlurredBackground.h"

#include "imaging/Blur.h"
#include "imaging/ImNav.h"
#include "imaging/Image.h"
#include "imaging/Stretcher.h"
#include "widgets/Backdrop.h"
#include "widgets/ImWidget.h"

namespace BlurredBackground {

void Refresh(CBackdrop* backdrop) {
    if (backdrop) {
        // A redraw that fails leaves what was drawn before.
        (void)backdrop->RedrawNoShow();
    }
}

error Paint(CBackdrop* backdrop, CImWidget* root) {
    if (!backdrop || !root || !root->Image()) {
        return eBadParameter;
    }
    CImage* back = backdrop->BackBuffer();
    CImage* own = root->Image();
    if (!back || !back->IsValid() || !own->IsValid()) {
        return eBadParameter;
    }
    const int32_t w = root->Width() / 2;
    const int32_t h = root->Height() / 3;
    if (w <= 0 || h <= 0) {
        return eBadParameter;
    }
    // A scratch image of its own: the back buffer is never written.
    CImage small;
    if (const error e = small.Create(w, h)) {
        return e;
    }
    {
        CImNav from(back);
        CImNav into(&small);
        if (!from.IsLocked() || !into.IsLocked()) {
            return eOutOfMemory;
        }
        if (const error e = CStretcher::StretchBlit(&into, &from, 1)) {
            return e;
        }
    }
    const gCRect all(0, 0, w, h);
    // A blur that fails leaves the squeezed picture sharp, still a picture.
    (void)CBlur::GaussianBlurRGBV(&small, kRadius, &all);
    CImNav from(&small);
    CImNav into(own);
    if (!from.IsLocked() || !into.IsLocked()) {
        return eOutOfMemory;
    }
    return CStretcher::StretchBlit(&into, &from, 0);
}

} // namespace BlurredBackground
