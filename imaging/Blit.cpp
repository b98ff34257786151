// Row copies between views, and the grey conversions between 8-bit and
// 32-bit views.

#include <algorithm>
#include <cstring>

#include "imaging/Stretcher.h"
#include "imaging/detail/PackedBlend.h"

namespace {

// The area both views have, when both locked and share a pixel size.
struct CommonRows {
    uint8_t* dst = nullptr;
    const uint8_t* src = nullptr;
    ptrdiff_t dstRow = 0, srcRow = 0;
    size_t bytes = 0;
    int32_t rows = 0;

    bool Set(CImNavBase* d, CImNavBase* s) {
        if (!d || !s || !d->IsLocked() || !s->IsLocked() ||
            d->GetBytesPerPixel() != s->GetBytesPerPixel()) {
            return false;
        }
        const int32_t w = std::min(d->GetWidth(), s->GetWidth());
        rows = std::min(d->GetHeight(), s->GetHeight());
        if (w <= 0 || rows <= 0) {
            return false;
        }
        dst = static_cast<uint8_t*>(d->GetDataPtr());
        src = static_cast<const uint8_t*>(s->GetDataPtr());
        dstRow = d->GetRowBytes();
        srcRow = s->GetRowBytes();
        bytes = size_t(w) * size_t(d->GetBytesPerPixel());
        return true;
    }

    void CopyRow(int32_t r) const { std::memmove(dst + r * dstRow, src + r * srcRow, bytes); }
};

template <class Dst, class Src, class Convert>
error ConvertCommon(Dst* dst, Src* src, Convert convert) {
    if (!dst || !src || !dst->IsLocked() || !src->IsLocked()) {
        return eNoError;
    }
    const int32_t w = std::min(dst->GetWidth(), src->GetWidth());
    const int32_t h = std::min(dst->GetHeight(), src->GetHeight());
    for (int32_t y = 0; y < h; ++y) {
        auto* out = dst->Row(y);
        const auto* in = src->Row(y);
        for (int32_t x = 0; x < w; ++x) {
            out[x] = convert(in[x]);
        }
    }
    return eNoError;
}

} // namespace

error CStretcher::FastBlit(CImNavBase* dst, CImNavBase* src) {
    CommonRows c;
    if (c.Set(dst, src)) {
        for (int32_t r = 0; r < c.rows; ++r) {
            c.CopyRow(r);
        }
    }
    return eNoError;
}

// Views of one image may overlap: with the destination lower in the image
// the rows go bottom-up, so that no source row is overwritten before it is
// read; within the same rows each row is moved with overlap care.
error CStretcher::Blit(CImNavBase* dst, CImNavBase* src) {
    CommonRows c;
    if (!c.Set(dst, src)) {
        return eNoError;
    }
    if (dst->GetImage() == src->GetImage() && dst->GetArea().top > src->GetArea().top) {
        for (int32_t r = c.rows - 1; r >= 0; --r) {
            c.CopyRow(r);
        }
        return eNoError;
    }
    for (int32_t r = 0; r < c.rows; ++r) {
        c.CopyRow(r);
    }
    return eNoError;
}

error CStretcher::Blit(CImNav* dst, CImNav8* src) {
    return ConvertCommon(dst, src, [](uint8_t v) { return CPixel(packed::OpaqueGrey(v)); });
}

error CStretcher::Blit(CImNav8* dst, CImNav* src) {
    return ConvertCommon(dst, src, [](CPixel p) { return packed::Grey(p); });
}
