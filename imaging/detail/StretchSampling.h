#pragma once
// The sampling geometry shared by the 32-bit scalers: steps and start
// offsets in 16.16, the two source rows of a destination row, the edge
// rules, and the boxes of the reductions.

#include <algorithm>
#include <cstdint>

#include "imaging/ImNav.h"

namespace stretch {

// One axis's step in 16.16: source pixels per destination pixel.
inline int32_t StepFor(int32_t source, int32_t destination) {
    return int32_t(int64_t(source) * 65536 / destination);
}

// The start offset: half a source pixel back when enlarging more than two
// times, otherwise so that a sample lies on the last source pixel of each
// destination pixel's span (0 for 1:1).
inline uint32_t StartOffset(int32_t step) {
    return step <= 0x7FFF ? 0x8000u : 0x10000u - uint32_t(step);
}

// A source index at or past the last pixel, or a position up to one pixel
// before the first (index 0xFFFF), taken as one pixel of the source.
inline uint32_t EdgeIndex(uint32_t i, int32_t size) {
    return i > 0x7FFF ? 0 : std::min(i, uint32_t(size - 1));
}

// Both views and the steps between them.
struct Frame {
    const CImNav* dst = nullptr;
    const CImNav* src = nullptr;
    int32_t dw = 0, dh = 0, sw = 0, sh = 0;
    int32_t xstep = 0, ystep = 0;
    uint32_t xoff = 0, yoff = 0;

    // False when there is nothing to do: either view missing, not locked
    // or empty. An empty source is never read.
    bool Set(const CImNav* d, const CImNav* s) {
        if (!d || !s || !d->IsLocked() || !s->IsLocked()) {
            return false;
        }
        dst = d;
        src = s;
        dw = d->GetWidth();
        dh = d->GetHeight();
        sw = s->GetWidth();
        sh = s->GetHeight();
        if (dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0) {
            return false;
        }
        xstep = StepFor(sw, dw);
        ystep = StepFor(sh, dh);
        xoff = StartOffset(xstep);
        yoff = StartOffset(ystep);
        return true;
    }

    uint32_t* DstRow(int32_t y) const { return reinterpret_cast<uint32_t*>(dst->Row(y)); }
    const uint32_t* SrcRow(int32_t y) const {
        return reinterpret_cast<const uint32_t*>(src->Row(y));
    }
};

// The upper and lower source rows of a destination row at position sy.
struct RowPair {
    const uint32_t* upper;
    const uint32_t* lower;
    uint32_t fy;
};

inline RowPair RowsAt(const Frame& f, uint32_t sy) {
    const uint32_t iy = sy >> 16;
    const uint32_t fy = (sy >> 8) & 0xFF;
    if (iy < uint32_t(f.sh - 1)) {
        return {f.SrcRow(int32_t(iy)), f.SrcRow(int32_t(iy) + 1), fy};
    }
    const uint32_t* row = f.SrcRow(int32_t(EdgeIndex(iy, f.sh)));
    return {row, row, fy};
}

// Source pixels first .. last - 1 behind destination pixel i of a
// reduction. A span would be empty only for a step below 1.0 (a reduction
// called on an enlargement); it then takes the one pixel at its start.
struct Span {
    int32_t first, last;
};

inline Span SpanAt(int32_t i, int32_t step, int32_t size) {
    const int32_t first = int32_t((int64_t(i) * step) >> 16);
    int32_t last = int32_t((int64_t(i + 1) * step) >> 16);
    if (last <= first) {
        last = std::min(first + 1, size);
    }
    return {first, last};
}

// Calls sum(out, cols, rows) with the box of source pixels behind each
// destination pixel of a reduction, row by row.
template <class Sum> void Boxes(const Frame& f, Sum sum) {
    for (int32_t y = 0; y < f.dh; ++y) {
        const Span rows = SpanAt(y, f.ystep, f.sh);
        uint32_t* out = f.DstRow(y);
        for (int32_t x = 0; x < f.dw; ++x) {
            sum(out[x], SpanAt(x, f.xstep, f.sw), rows);
        }
    }
}

} // namespace stretch
