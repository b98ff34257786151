// Filling a view with repeats of a pattern, anchored at a corner, the right
// or bottom edge, or the centre.

#include <algorithm>
#include <cstring>
#include <type_traits>

#include "imaging/Stretcher.h"

namespace {

using Pos = CStretcher::ETileStartPos;

bool ValidStart(Pos start) {
    return uint32_t(start) <= uint32_t(CStretcher::eTileCentre);
}

// The source column (row) the destination's first column (row) takes along
// one axis: t the pattern's size, d the destination's. The 32-bit form
// centres on (d - t) / 2 and reduces the result into 0 .. t - 1; the 8-bit
// form centres on (d mod t) / 2. Each phase keeps its "- 1".
int32_t Phase(bool fromEnd, bool centre, bool eightBit, int32_t t, int32_t d) {
    int32_t p = 0;
    if (centre) {
        p = eightBit ? t - ((d % t) / 2) - 1 : t - (((d - t) / 2) % t) - 1;
    } else if (fromEnd) {
        p = t - (d % t) - 1;
    }
    if (!eightBit) {
        p %= t;
        if (p < 0) {
            p += t;
        }
    }
    return p;
}

template <class View> void TileView(View* dst, View* src, Pos start, bool eightBit) {
    if (!dst || !src || !dst->IsLocked() || !src->IsLocked() || !ValidStart(start)) {
        return;
    }
    const int32_t dw = dst->GetWidth(), dh = dst->GetHeight();
    const int32_t tw = src->GetWidth(), th = src->GetHeight();
    if (dw <= 0 || dh <= 0 || tw <= 0 || th <= 0) {
        return;
    }
    const bool centre = start == CStretcher::eTileCentre;
    const bool right = start == CStretcher::eTileRight || start == CStretcher::eTileBottomRight;
    const bool bottom = start == CStretcher::eTileBottom || start == CStretcher::eTileBottomRight;
    const int32_t px = Phase(right, centre, eightBit, tw, dw);
    const int32_t py = Phase(bottom, centre, eightBit, th, dh);
    using Unit = std::remove_pointer_t<decltype(dst->Row(0))>;
    for (int32_t y = 0; y < dh; ++y) {
        Unit* out = dst->Row(y);
        const Unit* in = src->Row((py + y) % th);
        int32_t x = 0;
        int32_t column = px;
        while (x < dw) {
            const int32_t n = std::min(tw - column, dw - x);
            std::memcpy(static_cast<void*>(out + x), in + column, size_t(n) * sizeof(Unit));
            x += n;
            column = 0;
        }
    }
}

template <class Image, class View> error TileImages(Image* dst, Image* src, Pos start) {
    View s(src);
    View d(dst);
    if (!s.IsLocked() || !d.IsLocked()) {
        return eOutOfMemory;
    }
    return CStretcher::Tile(&d, &s, start);
}

} // namespace

error CStretcher::Tile(CImNav* dst, CImNav* src, ETileStartPos start) {
    TileView(dst, src, start, false);
    return eNoError;
}

error CStretcher::Tile(CImNav8* dst, CImNav8* src, ETileStartPos start) {
    TileView(dst, src, start, true);
    return eNoError;
}

error CStretcher::Tile(CImage* dst, CImage* src, ETileStartPos start) {
    return TileImages<CImage, CImNav>(dst, src, start);
}

error CStretcher::Tile(CImage8* dst, CImage8* src, ETileStartPos start) {
    return TileImages<CImage8, CImNav8>(dst, src, start);
}
