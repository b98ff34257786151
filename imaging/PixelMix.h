#pragma once
// Layer modes: a blend layer mixed over a base layer into a destination.
// Every mode weighs its effect by the blend pixel's alpha and keeps the base
// pixel's alpha. Each mode comes in four forms: three views, three whole
// images, two views with a constant base colour, and two views with a
// constant blend colour. The area mixed is the smallest width and height of
// the views taking part, from each view's top-left corner. The destination
// may be the blend or the base itself.
//
// Results: 0; 6 for a missing view or one that did not lock (destination
// checked first, then blend, then base), for a missing image or one without
// pixels (compressed images included); 5 when an image cannot be viewed.

#include <cstdint>

#include "foundation/Error.h"
#include "imaging/ImNav.h"
#include "imaging/Image.h"
#include "imaging/Pixel.h"

class CPixelMix {
public:
    enum EMixMode {
        eMixNormal = 0,
        eMixMultiply = 1,
        eMixScreen = 2,
        eMixOverlay = 3,
        eMixDodge = 4,
        eMixBurn = 5,
        eMixSoftLight = 6,
    };

    // The mode's form; a mode above 6 does nothing and returns 0.
    static error Mix(CImNav* dst, CImNav* blend, CImNav* base, EMixMode mode);
    static error Mix(CImage* dst, CImage* blend, CImage* base, EMixMode mode);
    static error Mix(CImNav* dst, CImNav* blend, CPixel base, EMixMode mode);
    static error Mix(CImNav* dst, CPixel blend, CImNav* base, EMixMode mode);

// The seven modes, for code that does the same for each.
#define DAUBLIN_MIX_MODES(X)                                                                       \
    X(Normal) X(Multiply) X(Screen) X(Overlay) X(Dodge) X(Burn) X(SoftLight)

#define DAUBLIN_MIX_FORMS(Mode)                                                                    \
    static error Mode(CImNav* dst, CImNav* blend, CImNav* base);                                   \
    static error Mode(CImage* dst, CImage* blend, CImage* base);                                   \
    static error Mode(CImNav* dst, CImNav* blend, CPixel base);                                    \
    static error Mode(CImNav* dst, CPixel blend, CImNav* base);
    DAUBLIN_MIX_MODES(DAUBLIN_MIX_FORMS)
#undef DAUBLIN_MIX_FORMS

    // One pixel: the blend first, the base second; the same arithmetic as
    // the view forms.
    static CPixel Normal(CPixel blend, CPixel base);
    static CPixel Multiply(CPixel blend, CPixel base);
    static CPixel Screen(CPixel blend, CPixel base);
    static CPixel Overlay(CPixel blend, CPixel base);
    static CPixel Dodge(CPixel blend, CPixel base);
    static CPixel Burn(CPixel blend, CPixel base);
    static CPixel SoftLight(CPixel blend, CPixel base);
    // One pixel in the mode numbered 0-6 (EMixMode); any other number
    // leaves the base as it is.
    static CPixel MixPixel(int32_t mode, CPixel blend, CPixel base);
};
