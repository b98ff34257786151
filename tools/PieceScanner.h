#pragma once
// The scan of one four-sided stroke piece, shared by every segment renderer.
//
// A piece is given by the previous cross edge (P1 left, P2 right) and the
// current one (P3 left, P4 right). Its four edges are the back edge P1->P2,
// the front edge P3->P4, the right side P2->P4 and the left side P1->P3.
// Across the piece u runs from 0 (left side) to 1 (right side); along it v
// runs from 0 (back) to 1 (front). The piece may be degenerate or twisted
// (a bow-tie after a sharp turn): each row simply takes its leftmost and
// rightmost crossing, whichever edges they lie on.
//
// Row y is sampled on the line at height y; pixel x covers [x, x + 1).
// Where a row ends on a side edge, the span reaches over the pixels that edge
// passes through within half a row, and an edge ramp fades the colour there.
// All arithmetic is single precision.

#include <cstdint>

#include "foundation/Geometry.h"

class CPieceScanner {
public:
    enum EEdge : int32_t { eBack = 0, eFront = 1, eRightSide = 2, eLeftSide = 3, eNoEdge = -1 };

    // One row's span, clamped to the canvas.
    struct SRow {
        int32_t y = 0;
        int32_t first = 0; // first and last pixel, inclusive
        int32_t last = -1;
        EEdge leftEdge = eNoEdge, rightEdge = eNoEdge;
        float xL = 0.0f, xR = 0.0f; // where the span's parameter is 0 and 1
        float uL = 0.0f, vL = 0.0f, uR = 0.0f, vR = 0.0f;
        float step = 1.0f;   // span parameter per pixel
        float sigma0 = 0.0f; // span parameter at the first pixel
        // Fade-in where the left end lies on a side edge: value at the first
        // pixel, rising per pixel, capped at 1, for pixels below leftRampEnd.
        bool leftRamp = false;
        float leftRamp0 = 0.0f, leftRampStep = 0.0f;
        int32_t leftRampEnd = 0;
        // Fade-out where the right end lies on a side edge: value at the
        // first pixel, falling per pixel, floored at 0, for pixels above
        // rightRampAfter, where the left ramp does not apply.
        bool rightRamp = false;
        float rightRamp0 = 0.0f, rightRampStep = 0.0f;
        int32_t rightRampAfter = 0;
    };

    // What a renderer needs at one pixel of a span.
    struct SPixel {
        int32_t x = 0;
        float sigma = 0.0f, sigmaMid = 0.0f; // at the pixel, half a pixel on
        float u = 0.0f, v = 0.0f;            // at sigma
        float uMid = 0.0f, vMid = 0.0f;      // at sigmaMid
        // Inside an edge ramp, the factor for the colour's alpha (which the
        // renderer rounds and clamps to 0..255): the fade-in is held to 0..1,
        // the fade-out only floored at 0, so just inside the edge it may
        // exceed 1.
        bool ramped = false;
        float ramp = 1.0f;
    };

    CPieceScanner(gCRPoint p1, gCRPoint p2, gCRPoint p3, gCRPoint p4, int32_t width,
                  int32_t height);

    // Rows top..bottom - 1 clamped to the canvas; empty when the piece lies
    // above or below it or has no rows.
    int32_t Top() const { return m_top; }
    int32_t Bottom() const { return m_bottom; }

    // The span of row y; false when the row is skipped: fewer than two
    // distinct edges cross it, or its span lies off the canvas.
    bool ScanRow(int32_t y, SRow& row) const;

    // Calls f(const SPixel&) for every pixel from row.first to row.last,
    // the span parameter and the ramps advancing by their steps.
    template <typename F> static void ForEachPixel(const SRow& row, F&& f) {
        SPixel px;
        float sigma = row.sigma0;
        float left = row.leftRamp0;
        float right = row.rightRamp0;
        const float du = row.uR - row.uL, dv = row.vR - row.vL;
        for (int32_t x = row.first; x <= row.last; ++x) {
            px.x = x;
            px.sigma = sigma;
            px.sigmaMid = sigma + row.step * 0.5f;
            px.u = row.uL + du * px.sigma;
            px.v = row.vL + dv * px.sigma;
            px.uMid = row.uL + du * px.sigmaMid;
            px.vMid = row.vL + dv * px.sigmaMid;
            px.ramped = false;
            px.ramp = 1.0f;
            if (row.leftRamp && x < row.leftRampEnd) {
                px.ramped = true;
                px.ramp = left < 1.0f ? (left > 0.0f ? left : 0.0f) : 1.0f;
            } else if (row.rightRamp && x > row.rightRampAfter) {
                px.ramped = true;
                px.ramp = right > 0.0f ? right : 0.0f;
            }
            f(static_cast<const SPixel&>(px));
            sigma += row.step;
            left += row.leftRampStep;
            right -= row.rightRampStep;
        }
    }

private:
    gCRPoint m_start[4]; // per edge, in the order of EEdge
    gCRPoint m_end[4];
    float m_minX = 0.0f, m_maxX = 0.0f;
    int32_t m_width = 0;
    int32_t m_top = 0, m_bottom = 0;
};
