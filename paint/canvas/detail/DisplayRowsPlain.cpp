// The plain row loops of the canvas display: the reference forms.

#include "paint/canvas/detail/DisplayRows.h"

#include "imaging/Pixel.h"

namespace display {
namespace {

inline uint32_t Toward(uint32_t d, uint32_t level, uint32_t s) {
    CPixel p(d);
    CPixel::Blend255Proc(&p, int32_t(level), CPixel(s));
    return p;
}

void Across(uint32_t* out, const uint32_t* row, const int32_t* i0, const int32_t* i1,
            const uint32_t* level, int32_t n) {
    for (int32_t k = 0; k < n; ++k) {
        out[k] = Toward(row[i0[k]], level[k], row[i1[k]]);
    }
}

void Down(uint32_t* out, const uint32_t* top, const uint32_t* bottom, uint32_t level, int32_t n) {
    for (int32_t k = 0; k < n; ++k) {
        out[k] = Toward(top[k], level, bottom[k]);
    }
}

void Trace(uint32_t* px, const uint32_t* p, uint32_t bg, int32_t n) {
    for (int32_t k = 0; k < n; ++k) {
        px[k] = Toward(px[k], 100, Toward(bg, 120, p[k]));
    }
}

void Sum(uint32_t* acc, const uint32_t* first, ptrdiff_t stride, int32_t rows, int32_t n) {
    for (int32_t i = 0; i < n; ++i) {
        uint32_t b = 0, g = 0, r = 0, a = 0;
        for (int32_t j = 0; j < rows; ++j) {
            const uint32_t p = first[j * stride + i];
            b += p & 0xFFu;
            g += (p >> 8) & 0xFFu;
            r += (p >> 16) & 0xFFu;
            a += p >> 24;
        }
        acc[4 * i] = b;
        acc[4 * i + 1] = g;
        acc[4 * i + 2] = r;
        acc[4 * i + 3] = a;
    }
}

} // namespace

const SRows kRowsPlain = {Across, Down, Trace, Sum};

const SRows& RowsFor(CPixelPaths::EPath path) {
#if defined(__SSE2__) && !defined(DAUBLIN_NO_SIMD)
    if (path >= CPixelPaths::eAvx2) {
        return kRowsAvx2;
    }
    if (path >= CPixelPaths::eSse2) {
        return kRowsSse2;
    }
#else
    (void)path; // only the plain loops are built
#endif
    return kRowsPlain;
}

} // namespace display
