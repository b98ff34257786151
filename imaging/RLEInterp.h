#pragma once
// Bilinear reading of a run-length image (either form) for scaling: it
// follows two source rows and keeps the four neighbours of the current
// column, stepping both rows by one pixel when the column advances by one.
// Columns and rows outside the image take the nearest edge pixels. Valid
// while its CRLE lives and is not rebuilt.

#include <cstdint>

#include "imaging/Pixel.h"
#include "imaging/RLE.h"

class CRLEInterp {
public:
    explicit CRLEInterp(CRLE* rle) : m_pRLE(rle) {}

    // Reads the neighbours of column x on rows y0 (top) and y1 (bottom).
    void StartInterp(int32_t x, int32_t y0, int32_t y1);
    // The blend at column x of the rows last started, fx and fy being the
    // position between the neighbours in 256ths (0..255).
    CPixel Interp(int32_t x, int32_t fx, int32_t fy);

    // Each of the four channels as a + floor((b - a) * f / 256), two
    // channels at a time.
    static CPixel Lerp(CPixel a, CPixel b, int32_t f) {
        const uint32_t m = 0x00FF00FFu;
        const uint32_t uf = uint32_t(f);
        const uint32_t rb = ((a & m) + ((((b & m) - (a & m)) * uf) >> 8)) & m;
        const uint32_t a8 = (uint32_t(a) >> 8) & m;
        const uint32_t b8 = (uint32_t(b) >> 8) & m;
        const uint32_t ag = ((a8 + (((b8 - a8) * uf) >> 8)) & m) << 8;
        return rb | ag;
    }

private:
    // Starts the reader on a row at the clamped column and reads the left
    // and right neighbours; returns the reader state after them.
    CRLE::SReader StartRow(int32_t x, int32_t y, CPixel& left, CPixel& right);
    // Moves a row's right neighbour one pixel on.
    CPixel StepRow(CRLE::SReader& row);

    CRLE* m_pRLE;
    CRLE::SReader m_aRow[2] = {};
    int32_t m_nX = 0;
    int32_t m_nY0 = 0;
    int32_t m_nY1 = 0;
    CPixel m_nTopLeft, m_nTopRight, m_nBottomLeft, m_nBottomRight;
};
