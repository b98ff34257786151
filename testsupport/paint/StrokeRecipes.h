#pragma once
// The synthetic strokes every stroke test and benchmark replays. Each recipe
// is the definition of its stroke: changing one moves the goldens made from
// it. Recipes compute in double and then quantise: x and y to multiples of
// 1/64 px, pressure q = round(p * 1024) on the canvas's 1024 scale, sample i
// at 5 * i ms. Randomness comes from std::mt19937's raw outputs only.

#include <cstdint>
#include <string>
#include <vector>

struct SStrokeSample {
    uint32_t t = 0; // ms
    float x = 0.0f; // canvas pixels
    float y = 0.0f;
    int32_t q = 0; // on the pen's scale: 0..kMostMousePressure
};

using CStroke = std::vector<SStrokeSample>;

namespace StrokeRecipes {

// The quantisers, for tests and readers that build samples by hand.
float QuantiseCoord(double v);
int32_t QuantisePressure(double p); // round(p * 1024), clamped to 0..1224

// theta = 2 pi i / n; x = w/2 + 0.4 w sin theta,
// y = h/2 + 0.8 h sin theta cos theta, p = 0.5 + 0.45 sin 3 theta.
CStroke FigureEight(int32_t n, double w, double h);

// Straight legs from (x0, y0), heading along +x first, sampled every step
// px (the leg's end included); between legs the heading turns by turnDeg,
// alternately one way and back. Pressure ramps linearly from p0 at the
// first sample to p1 at the last (equal for a constant one).
CStroke ZigZag(int32_t legs, double legLength, double turnDeg, double step, double x0, double y0,
               double p0, double p1);

// One press and release at one point.
CStroke Click(double x, double y, double p);
// Press, two 3 px moves along +x, release where the last move ended.
CStroke Flick(double x, double y, double p);
// n samples 1 px apart along +x.
CStroke SlowDrag(int32_t n, double x, double y, double p);
// n samples at one point.
CStroke HeldPen(int32_t n, double x, double y, double p);

// n samples of the fuzz's paths on a w x h canvas: headings that drift,
// sharp turns (one sample in 8), steps of 0.2 to 40 px, jumps to up to 50 px
// past the canvas edges (one in 32), pressures 0..1224.
CStroke RandomWalk(uint32_t seed, int32_t n, double w, double h);

// The stroke as text lines "t x y q", for a reader.
std::string ToText(const CStroke& stroke);
// Such lines read back (coordinates quantised, pressures held to the
// scale); false, with the line's number in badLine, at a line that is not
// four numbers.
bool FromText(const std::string& text, CStroke& stroke, int32_t& badLine);

} // namespace StrokeRecipes
