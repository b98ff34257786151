#pragma once
// The codecs' reads go through a fresh image of the target's depth: the
// target takes the decoded surface only when the whole read has succeeded,
// so a failed read (a cut or damaged file, memory running out) leaves it as
// it was, never half decoded or resized.

#include "foundation/Error.h"
#include "imaging/Image.h"
#include "imaging/Image8.h"

// decode(CImageBase&) reads into the fresh image and returns the read's
// result, which is returned.
template <class Decode> error ReadStaged(CImageBase& target, Decode decode) {
    if (target.GetBitsPerPixel() == 8) {
        CImage8 fresh;
        const error e = decode(static_cast<CImageBase&>(fresh));
        return e != eNoError ? e : target.TakeSurface(fresh);
    }
    CImage fresh;
    const error e = decode(static_cast<CImageBase&>(fresh));
    return e != eNoError ? e : target.TakeSurface(fresh);
}
