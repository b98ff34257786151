#pragma once
// The colour picker's two areas as plain functions of its colour state: a
// main area shaped as a quarter disc about its bottom-right pixel, in which
// a colour has an angle and a distance from the centre, and a vertical
// strip, in which it has a height. The picker type decides which two
// coordinates the disc spreads out and which third one the strip holds:
//
//   type  angle      radius      strip       disc painted at
//   0     hue        lightness   saturation  saturation 1
//   1     hue        saturation  lightness   lightness 0.5
//   2     lightness  saturation  hue         the current hue
//   3     red        green       blue        blue 0
//   4     red        blue        green       green 0
//   5     blue       green       red         red 0
//
// Painting and picking change red, green and blue only: a painted pixel
// keeps the image's alpha (the areas' shapes), a picked colour keeps the
// colour's. Every value is a single-precision float, rounded halves away
// from zero and held to 0..255 where it becomes a byte.

#include <cstdint>

#include "foundation/Error.h"
#include "foundation/Geometry.h"
#include "imaging/Pixel.h"

class CImage;

namespace ColourAreas {

// The six types.
enum EType : int32_t {
    eHueLightness = 0,
    eHueSaturation = 1,
    eLightnessSaturation = 2,
    eRedGreen = 3,
    eRedBlue = 4,
    eBlueGreen = 5,
};
inline constexpr int32_t kTypeCount = 6;

// The hole round the disc's centre: distances up to this give radius 0.
inline constexpr int32_t kHoleRadius = 37;

// The picker's colour state: the colour and its HLS form, kept apart so
// that hue and saturation survive a grey.
struct SColourState {
    CPixel colour{0xFF80A0FFu};
    float hue = 0.0f;
    float lightness = 0.0f;
    float saturation = 0.0f;
    int32_t type = eHueSaturation;

    // The HLS values recomputed from the colour.
    void TakeHLS() { colour.GetHLS(hue, lightness, saturation); }
};

// The red, green and blue bytes (alpha 0) of hue h, lightness l and
// saturation s: each channel round(q * 255 + 0.4).
uint32_t HLS(float h, float l, float s);
// A grey of value g: each channel round(g * 255).
uint32_t Grey(float g);

// Paints the disc for the state's type into the image (W x H, the disc's
// radius W); pixels outside the disc keep what they hold. 6 without an
// image, 5 when it cannot be locked.
error PaintMain(CImage* image, const SColourState& state);
// Paints the strip (Hs rows, one colour a row, the top 1 and the bottom
// 1/Hs); 6 and 5 as PaintMain.
error PaintStrip(CImage* image, const SColourState& state);

// The colour at point (x, y) of a main area of width x height pixels,
// already held inside it; the HLS values follow as the type says.
void PickMain(SColourState& state, gCPoint point, int32_t width, int32_t height);
// The colour at row y of a strip height rows high (y held inside it).
void PickStrip(SColourState& state, int32_t y, int32_t height);

// The main indicator's top-left for an indicator of the given size: its
// centre on the state's colour in the main area.
gCPoint MainIndicator(const SColourState& state, int32_t width, int32_t height,
                      int32_t indicatorWidth, int32_t indicatorHeight);
// The strip indicator's top for an indicator indicatorHeight high.
int32_t StripIndicator(const SColourState& state, int32_t height, int32_t indicatorHeight);

} // namespace ColourAreas
