// The image forms of the scalers and of Blit: a compressed destination is
// decompressed for the work and compressed again when it succeeded.

#include <algorithm>

#include "imaging/Stretcher.h"

namespace {

template <class Work> error WithDecompressed(CImageBase* dst, Work work) {
    const bool wasCompressed = dst->IsCompressed() != 0;
    if (wasCompressed) {
        if (const error e = dst->Decompress(); e != eNoError) {
            return e;
        }
    }
    const error e = work();
    if (e != eNoError || !wasCompressed) {
        return e;
    }
    return dst->Compress();
}

using ViewScale = error (*)(CImNav*, CImNav*);

error HiQImages(CImage* dst, CImage* src, ViewScale scale) {
    if (!dst || !src || src->IsCompressed()) {
        return eBadParameter;
    }
    return WithDecompressed(dst, [&] {
        CImNav d(dst);
        CImNav s(src);
        if (!d.IsLocked() || !s.IsLocked()) {
            return eOutOfMemory;
        }
        return scale(&d, &s);
    });
}

} // namespace

error CStretcher::StretchHiQ(CImage* dst, CImage* src) {
    return HiQImages(dst, src, &CStretcher::StretchHiQ);
}

error CStretcher::StretchHiQBlend(CImage* dst, CImage* src) {
    return HiQImages(dst, src, &CStretcher::StretchHiQBlend);
}

error CStretcher::StretchBlit(CImage* dst, CImage* src, int32_t quality) {
    if (!dst || !src) {
        return eBadParameter;
    }
    return WithDecompressed(dst, [&] {
        CImNav d(dst);
        if (!d.IsLocked()) {
            return eOutOfMemory;
        }
        if (src->IsCompressed()) {
            return StretchBlitCompressed(&d, src, quality);
        }
        CImNav s(src);
        if (!s.IsLocked()) {
            return eOutOfMemory;
        }
        return StretchBlit(&d, &s, quality);
    });
}

error CStretcher::Blit(CImageBase* dst, CImageBase* src) {
    if (!dst || !src) {
        return eBadParameter;
    }
    const gCRect common(0, 0, std::min(dst->GetWidth(), src->GetWidth()),
                        std::min(dst->GetHeight(), src->GetHeight()));
    return WithDecompressed(dst, [&] {
        CImNavBase d(dst, &common);
        if (!d.IsLocked()) {
            return eOutOfMemory;
        }
        if (src->IsCompressed()) {
            return BlitCompressed(&d, src);
        }
        CImNavBase s(src, &common);
        if (!s.IsLocked()) {
            return eOutOfMemory;
        }
        return Blit(&d, &s);
    });
}
