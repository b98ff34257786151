// Scaling and copying from a compressed source image, reading its
// run-length form in place.

#include <algorithm>

#include "imaging/RLE.h"
#include "imaging/RLE8.h"
#include "imaging/RLEInterp.h"
#include "imaging/Stretcher.h"
#include "imaging/detail/StretchSampling.h"

using namespace stretch;

namespace {

// The run-length form of a compressed image, or null for one held raw.
CRLE* RunLengthOf(CImage* image) {
    return image && image->IsCompressed() ? image->GetRLE() : nullptr;
}

// The steps from a compressed image to a destination view; false when
// there is nothing to do.
struct Steps {
    int32_t sw = 0, sh = 0, dw = 0, dh = 0, x = 0, y = 0;

    bool Set(const CImNav* dst, const CImage* src) {
        if (!dst || !dst->IsLocked()) {
            return false;
        }
        sw = src->GetWidth();
        sh = src->GetHeight();
        dw = dst->GetWidth();
        dh = dst->GetHeight();
        if (sw <= 0 || sh <= 0 || dw <= 0 || dh <= 0) {
            return false;
        }
        x = StepFor(sw, dw);
        y = StepFor(sh, dh);
        return true;
    }
};

} // namespace

// A source that is not compressed after all is read through a view.
error CStretcher::StretchBlitCompressed(CImNav* dst, CImage* src, int32_t quality) {
    CRLE* rle = RunLengthOf(src);
    if (!rle) {
        CImNav view(src);
        return StretchBlit(dst, &view, quality);
    }
    Steps st;
    if (!st.Set(dst, src)) {
        return eNoError;
    }
    if (quality && st.x > 0x1FFFF && st.y > 0x1FFFF) {
        return SuperSampleCompressed(dst, src);
    }
    const uint32_t xoff = StartOffset(st.x), yoff = StartOffset(st.y);
    CRLEInterp interp(rle);
    for (int32_t y = 0; y < st.dh; ++y) {
        const uint32_t sy = uint32_t(y) * uint32_t(st.y) - yoff;
        const int32_t iy = int32_t(sy) >> 16;
        const int32_t fy = int32_t((sy >> 8) & 0xFF);
        interp.StartInterp(-1, iy, iy + 1);
        CPixel* out = dst->Row(y);
        uint32_t sx = 0u - xoff;
        for (int32_t x = 0; x < st.dw; ++x, sx += uint32_t(st.x)) {
            out[x] = interp.Interp(int32_t(sx) >> 16, int32_t((sx >> 8) & 0xFF), fy);
        }
    }
    return eNoError;
}

error CStretcher::SuperSampleCompressed(CImNav* dst, CImage* src) {
    CRLE* rle = RunLengthOf(src);
    if (!rle) {
        CImNav view(src);
        return SuperSample(dst, &view);
    }
    Steps st;
    if (!st.Set(dst, src)) {
        return eNoError;
    }
    for (int32_t y = 0; y < st.dh; ++y) {
        const Span rows = SpanAt(y, st.y, st.sh);
        CPixel* out = dst->Row(y);
        for (int32_t x = 0; x < st.dw; ++x) {
            const Span cols = SpanAt(x, st.x, st.sw);
            uint64_t a = 0, r = 0, g = 0, b = 0;
            for (int32_t j = rows.first; j < rows.last; ++j) {
                rle->StartRLE(cols.first, j);
                for (int32_t i = cols.first; i < cols.last; ++i) {
                    const uint32_t p = rle->NextRLE();
                    a += p >> 24;
                    r += (p >> 16) & 0xFF;
                    g += (p >> 8) & 0xFF;
                    b += p & 0xFF;
                }
            }
            const uint64_t n = uint64_t(cols.last - cols.first) * uint64_t(rows.last - rows.first);
            out[x] = uint32_t(a / n) << 24 | uint32_t(r / n) << 16 | uint32_t(g / n) << 8 |
                     uint32_t(b / n);
        }
    }
    return eNoError;
}

namespace {

// Expands rows of a run-length form into the destination, from the
// source's top-left corner, over the area both have.
template <class Unit, class Coder>
void Expand(CImNavBase* dst, Coder* rle, int32_t sw, int32_t sh) {
    const int32_t w = std::min(dst->GetWidth(), sw);
    const int32_t h = std::min(dst->GetHeight(), sh);
    for (int32_t y = 0; y < h; ++y) {
        Unit* row = reinterpret_cast<Unit*>(static_cast<uint8_t*>(dst->GetDataPtr()) +
                                            ptrdiff_t(y) * dst->GetRowBytes());
        rle->StartRLE(0, y);
        rle->ReadRLE(row, w);
    }
}

} // namespace

error CStretcher::BlitCompressed(CImNavBase* dst, CImageBase* src) {
    if (!dst || !dst->IsLocked() || !src) {
        return eNoError;
    }
    const int32_t sw = src->GetWidth(), sh = src->GetHeight();
    if (dst->GetBytesPerPixel() == 4) {
        if (auto* image = dynamic_cast<CImage*>(src); image && RunLengthOf(image)) {
            Expand<CPixel>(dst, image->GetRLE(), sw, sh);
            return eNoError;
        }
    } else if (dst->GetBytesPerPixel() == 1) {
        if (auto* image = dynamic_cast<CImage8*>(src); image && image->IsCompressed()) {
            Expand<uint8_t>(dst, image->GetRLE(), sw, sh);
            return eNoError;
        }
    }
    // Not compressed after all: an ordinary copy (nothing for a mismatch).
    CImNavBase view(src, nullptr);
    return Blit(dst, &view);
}
