// Frame and bar images built from a small source.

#include <algorithm>

#include "imaging/Stretcher.h"

namespace {

// Copies, tiles or stretches one source rectangle into one destination
// rectangle; a destination rectangle with a negative coordinate is skipped.
enum class Fill { kCopy, kTile, kStretch };

error Piece(CImage* dst, const gCRect& to, CImage* src, const gCRect& from, Fill fill) {
    if (to.left < 0 || to.top < 0 || to.right < 0 || to.bottom < 0) {
        return eNoError;
    }
    CImNav d(dst, &to);
    CImNav s(src, &from);
    switch (fill) {
    case Fill::kCopy:
        return CStretcher::Blit(&d, &s);
    case Fill::kTile:
        return CStretcher::Tile(&d, &s, CStretcher::eTileTopLeft);
    default:
        return CStretcher::StretchBlit(&d, &s, 0);
    }
}

} // namespace

error CStretcher::ConstructFromCorners(CImage* dst, CImage* src, int32_t tile) {
    if (!dst || !src) {
        return eBadParameter;
    }
    const int32_t sw = src->GetWidth(), sh = src->GetHeight();
    const int32_t dw = dst->GetWidth(), dh = dst->GetHeight();
    const int32_t cw = std::min(sw / 3, dw / 2), ch = std::min(sh / 3, dh / 2);
    const Fill fill = tile ? Fill::kTile : Fill::kStretch;
    struct Part {
        gCRect to, from;
        Fill fill;
    };
    const Part parts[] = {
        {{0, 0, cw, ch}, {0, 0, cw, ch}, Fill::kCopy},
        {{dw - cw, 0, dw, ch}, {sw - cw, 0, sw, ch}, Fill::kCopy},
        {{0, dh - ch, cw, dh}, {0, sh - ch, cw, sh}, Fill::kCopy},
        {{dw - cw, dh - ch, dw, dh}, {sw - cw, sh - ch, sw, sh}, Fill::kCopy},
        {{cw, 0, dw - cw, ch}, {cw, 0, sw - cw, ch}, fill},                             // top
        {{cw, dh - ch, dw - cw, dh}, {cw, sh - ch, sw - cw, sh}, fill},                 // bottom
        {{dw - cw, ch, dw, dh - ch}, {sw - cw, ch, sw, sh - ch}, fill},                 // right
        {{0, ch, cw, dh - ch}, {0, ch, cw, sh - ch}, fill},                             // left
        {{cw, ch, dw - cw, dh - ch}, {sw / 3, sh / 3, sw - sw / 3, sh - sh / 3}, fill}, // centre
    };
    for (const Part& p : parts) {
        if (const error e = Piece(dst, p.to, src, p.from, p.fill); e != eNoError) {
            return e;
        }
    }
    return eNoError;
}

error CStretcher::ConstructFromEdges(CImage* dst, CImage* src, int32_t vertical, int32_t) {
    if (!dst || !src) {
        return eBadParameter;
    }
    const int32_t sw = src->GetWidth(), sh = src->GetHeight();
    const int32_t dw = dst->GetWidth(), dh = dst->GetHeight();
    struct Part {
        gCRect to, from;
    };
    Part parts[3];
    if (vertical) {
        const int32_t e = std::min(sw / 3, dw / 2);
        parts[0] = {{0, 0, e, dh}, {0, 0, e, dh}};
        parts[1] = {{dw - e, 0, dw, dh}, {sw - e, 0, sw, dh}};
        parts[2] = {{e, 0, dw - e, dh}, {e, 0, sw - e, dh}};
    } else {
        const int32_t e = std::min(sh / 3, dh / 2);
        parts[0] = {{0, 0, dw, e}, {0, 0, dw, e}};
        parts[1] = {{0, dh - e, dw, dh}, {0, sh - e, dw, sh}};
        parts[2] = {{0, e, dw, dh - e}, {0, e, dw, sh - e}};
    }
    for (const Part& p : parts) {
        if (p.to.IsEmpty() || p.from.IsEmpty()) {
            continue; // nothing to stretch, e.g. ends of size 0
        }
        CImNav d(dst, &p.to);
        CImNav s(src, &p.from);
        if (!d.IsLocked() || !s.IsLocked()) {
            return eCreateFailed;
        }
        if (const error e = StretchBlit(&d, &s, 1); e != eNoError) {
            return e;
        }
    }
    return eNoError;
}
