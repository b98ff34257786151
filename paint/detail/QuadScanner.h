#pragma once
// The scan of one quad of the second stroke engine, row by row into spans
// with their (u, v), then pixel by pixel with a coverage.
//
// The quad has back edge p1-p2 (the previous dab edge, u = 0), front edge
// p3-p4 (the new one, u = 1) and sides p1-p3 (v = 0) and p2-p4 (v = 1).
// Row y is the line at height y; it is crossed with the back edge, the
// front edge, then each side only while fewer than two crossings are found.
// The leftmost and rightmost crossing end the span. An end on a side gets a
// run whose coverage ramps with the side's slope; near the second and third
// corner (in order of y) an end off the sides may get such a run from a
// side's line; between the runs the coverage is 1. A horizontal side at the
// quad's top or bottom gives that row no pixel.
//
// Pixel x of a span takes the span's (u, v) at x itself. Runs stay within
// the quad's columns widened by one (a short, nearly horizontal side's slope
// would carry them far past it). Every float turns into an integer through
// a clamp far off the canvas.

#include <cstdint>

#include "foundation/Geometry.h"

namespace quaddetail {

class CQuadScanner {
public:
    enum EEdge : int32_t { eBack = 0, eFront = 1, eSide13 = 2, eSide24 = 3 };

    // One row's runs, clipped to the canvas: [leftStart, leftEnd) ramps up
    // from leftOrigin, [leftEnd, rightStart) is covered whole,
    // [rightStart, rightEnd) ramps down towards rightOrigin.
    struct SRow {
        int32_t y = 0;
        float xmin = 0.0f, xmax = 0.0f;
        float uL = 0.0f, vL = 0.0f, uR = 0.0f, vR = 0.0f;
        float du = 0.0f, dv = 0.0f; // per pixel; 0 for a span under 0.0005
        int32_t leftStart = 0, leftEnd = 0, rightStart = 0, rightEnd = 0;
        float leftOrigin = 0.0f, leftRho = 1.0f;
        float rightOrigin = 0.0f, rightRho = 1.0f;
    };

    CQuadScanner(gCRPoint p1, gCRPoint p2, gCRPoint p3, gCRPoint p4, int32_t width,
                 int32_t height);

    // Nothing of the quad can reach the canvas.
    bool Outside() const { return m_bOutside; }
    // Rows top..bottom - 1.
    int32_t Top() const { return m_nTop; }
    int32_t Bottom() const { return m_nBottom; }

    // The runs of row y; false when no edge crosses it or the row is left
    // out (a horizontal side at the top or bottom).
    bool ScanRow(int32_t y, SRow& row) const;

    // Calls f(x, u, v, coverage) for every pixel of the row's runs.
    template <typename F> static void ForEachPixel(const SRow& row, F&& f) {
        auto visit = [&](int32_t x, float coverage) {
            const float off = float(x) - row.xmin;
            f(x, Unit(row.uL + off * row.du), Unit(row.vL + off * row.dv), Unit(coverage));
        };
        for (int32_t x = row.leftStart; x < row.leftEnd; ++x) {
            visit(x, (float(x) - row.leftOrigin) * row.leftRho);
        }
        for (int32_t x = row.leftEnd; x < row.rightStart; ++x) {
            visit(x, 1.0f);
        }
        for (int32_t x = row.rightStart; x < row.rightEnd; ++x) {
            visit(x, (row.rightOrigin - float(x)) * row.rightRho);
        }
    }

    // Where segment a-b crosses the line at height row: false when both
    // ends lie strictly on one side of it or the segment is horizontal.
    static bool Cross(gCRPoint a, gCRPoint b, int32_t row, float& x);
    // The same on the segment's infinite line, false only when horizontal.
    static bool CrossLine(gCRPoint a, gCRPoint b, int32_t row, float& x);

    static float Unit(float v) { return v < 0.0f ? 0.0f : (v > 1.0f ? 1.0f : v); }

private:
    struct SEdge {
        gCRPoint a, b;
        float inv = 1.0f;   // 1 / dy, 1 where dy is 0
        float sigma = 0.0f; // sides: |dx / dy|, |dx| where dy is 0
        float rho = 1.0f;   // sides: min(1, 1 / sigma)
    };
    bool CornerRow(int32_t y) const;

    SEdge m_aEdges[4];
    // The columns runs may reach: the canvas's, within the quad's widened
    // by one.
    int32_t m_nFirstColumn = 0, m_nColumnsEnd = 0;
    int32_t m_nTop = 0, m_nBottom = 0;
    int32_t m_nCorner2 = 0, m_nCorner3 = 0;
    bool m_bOutside = true;
};

} // namespace quaddetail
