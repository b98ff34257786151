#include "ui/panels/ColourAreas.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "foundation/Rounding.h"
#include "imaging/ImNav.h"
#include "imaging/Image.h"

namespace ColourAreas {

namespace {

constexpr float kPi = std::numbers::pi_v<float>;
constexpr float kOneThird = 0.33333334f;
constexpr uint32_t kAlpha = 0xFF000000u;
constexpr uint32_t kGrey50 = 0x808080u;

uint32_t Byte(float v) {
    return uint32_t(RoundToInt32(v, 0, 255));
}

// A channel of value q: round(q * 255).
uint32_t Channel(float q) {
    return Byte(q * 255.0f);
}

uint32_t Rgb(uint32_t red, uint32_t green, uint32_t blue) {
    return (red << 16) | (green << 8) | blue;
}

// The colour's red, green and blue replaced, its alpha kept.
CPixel WithRgb(CPixel colour, uint32_t rgb) {
    return CPixel((uint32_t(colour) & kAlpha) | rgb);
}

uint32_t RedOf(CPixel c) {
    return (uint32_t(c) >> 16) & 0xFFu;
}
uint32_t GreenOf(CPixel c) {
    return (uint32_t(c) >> 8) & 0xFFu;
}
uint32_t BlueOf(CPixel c) {
    return uint32_t(c) & 0xFFu;
}

// The angle value of a pixel dx left of and dy above the centre: 0 along
// the bottom row, 1 up the right-hand column.
float Angle(int32_t dx, int32_t dy) {
    return 2.0f * std::atan2(float(dy), float(dx)) / kPi;
}

// The RGB types' colour from their angle, radial and strip channels.
uint32_t RgbOfType(int32_t type, uint32_t angle, uint32_t radial, uint32_t strip) {
    switch (type) {
    case eRedGreen:
        return Rgb(angle, radial, strip);
    case eRedBlue:
        return Rgb(angle, strip, radial);
    default: // eBlueGreen
        return Rgb(strip, radial, angle);
    }
}

// The pixel colour of the disc at angle value t and radial value r.
uint32_t MainColour(const SColourState& state, float t, float r) {
    switch (state.type) {
    case eHueLightness:
        return HLS(t, r, 1.0f);
    case eHueSaturation:
        return r == 0.0f ? kGrey50 : HLS(t, 0.5f, r);
    case eLightnessSaturation:
        return r == 0.0f ? Grey(t) : HLS(state.hue, t, r);
    default:
        return RgbOfType(state.type, Channel(t), Channel(r), 0);
    }
}

// The row colour of the strip at strip value v.
uint32_t StripColour(const SColourState& state, float v) {
    switch (state.type) {
    case eHueLightness:
        return v == 0.0f ? Grey(state.lightness) : HLS(state.hue, state.lightness, v);
    case eHueSaturation:
        return state.saturation == 0.0f ? Grey(v) : HLS(state.hue, v, state.saturation);
    case eLightnessSaturation:
        return HLS(v, 0.5f, 1.0f);
    default:
        return RgbOfType(state.type, 0, 0, Channel(v));
    }
}

} // namespace

uint32_t HLS(float h, float l, float s) {
    const float m2 = l <= 0.5f ? l * (1.0f + s) : l + s - l * s;
    const float m1 = 2.0f * l - m2;
    const float red = CPixel::Value(m1, m2, h + kOneThird);
    const float green = CPixel::Value(m1, m2, h);
    const float blue = CPixel::Value(m1, m2, h - kOneThird);
    return Rgb(Byte(red * 255.0f + 0.4f), Byte(green * 255.0f + 0.4f), Byte(blue * 255.0f + 0.4f));
}

uint32_t Grey(float g) {
    const uint32_t v = Channel(g);
    return Rgb(v, v, v);
}

error PaintMain(CImage* image, const SColourState& state) {
    if (!image) {
        return eBadParameter;
    }
    CImNav view(image);
    if (!view.IsLocked()) {
        return eOutOfMemory;
    }
    const int32_t width = view.GetWidth();
    const int32_t height = view.GetHeight();
    const float radius2 = float(width) * float(width);
    const float span = float(width - kHoleRadius);
    for (int32_t y = 0; y < height; ++y) {
        CPixel* row = view.Row(y);
        const int32_t dy = height - 1 - y;
        for (int32_t x = 0; x < width; ++x) {
            const int32_t dx = width - 1 - x;
            const float d2 = float(dx) * float(dx) + float(dy) * float(dy);
            if (d2 > radius2) {
                continue;
            }
            const float r = std::max(0.0f, (std::sqrt(d2) - float(kHoleRadius)) / span);
            row[x] = WithRgb(row[x], MainColour(state, Angle(dx, dy), r));
        }
    }
    return eNoError;
}

error PaintStrip(CImage* image, const SColourState& state) {
    if (!image) {
        return eBadParameter;
    }
    CImNav view(image);
    if (!view.IsLocked()) {
        return eOutOfMemory;
    }
    const int32_t height = view.GetHeight();
    const float step = 1.0f / float(height);
    for (int32_t y = 0; y < height; ++y) {
        const uint32_t rgb = StripColour(state, 1.0f - float(y) * step);
        CPixel* row = view.Row(y);
        for (int32_t x = 0; x < view.GetWidth(); ++x) {
            row[x] = WithRgb(row[x], rgb);
        }
    }
    return eNoError;
}

void PickMain(SColourState& state, gCPoint point, int32_t width, int32_t height) {
    const int32_t dx = width - point.x - 1;
    const int32_t dy = height - point.y - 1;
    const float t = Angle(dx, dy);
    const float d = std::sqrt(float(dx) * float(dx) + float(dy) * float(dy));
    const float r =
        std::clamp((d - float(kHoleRadius)) / float(width - (kHoleRadius + 1)), 0.0f, 1.0f);
    CPixel& c = state.colour;
    switch (state.type) {
    case eHueLightness:
        state.hue = t;
        state.lightness = r;
        c = WithRgb(c, state.saturation == 0.0f ? Grey(r) : HLS(t, r, state.saturation));
        return;
    case eHueSaturation:
        state.hue = t;
        state.saturation = r;
        c = WithRgb(c, r == 0.0f ? Grey(state.lightness) : HLS(t, state.lightness, r));
        return;
    case eLightnessSaturation:
        state.lightness = t;
        state.saturation = r;
        c = WithRgb(c, r == 0.0f ? Grey(t) : HLS(state.hue, t, r));
        return;
    case eRedGreen:
        c = WithRgb(c, Rgb(Channel(t), Channel(r), BlueOf(c)));
        break;
    case eRedBlue:
        c = WithRgb(c, Rgb(Channel(t), GreenOf(c), Channel(r)));
        break;
    default: // eBlueGreen
        c = WithRgb(c, Rgb(RedOf(c), Channel(r), Channel(t)));
        break;
    }
    state.TakeHLS();
}

void PickStrip(SColourState& state, int32_t y, int32_t height) {
    CPixel& c = state.colour;
    if (state.type <= eLightnessSaturation) {
        const float v = 1.0f - float(y) / float(height - 1);
        switch (state.type) {
        case eHueLightness:
            state.saturation = v;
            c = WithRgb(c, v == 0.0f ? Grey(state.lightness) : HLS(state.hue, state.lightness, v));
            return;
        case eHueSaturation:
            state.lightness = v;
            c = WithRgb(c,
                        state.saturation == 0.0f ? Grey(v) : HLS(state.hue, v, state.saturation));
            return;
        default:
            state.hue = v;
            c = WithRgb(c, state.saturation == 0.0f ? Grey(state.lightness)
                                                    : HLS(v, state.lightness, state.saturation));
            return;
        }
    }
    const uint32_t n = uint32_t(std::clamp(255 - (y * 255) / (height - 1), 0, 255));
    switch (state.type) {
    case eRedGreen:
        c = WithRgb(c, Rgb(RedOf(c), GreenOf(c), n));
        break;
    case eRedBlue:
        c = WithRgb(c, Rgb(RedOf(c), n, BlueOf(c)));
        break;
    default: // eBlueGreen
        c = WithRgb(c, Rgb(n, GreenOf(c), BlueOf(c)));
        break;
    }
    state.TakeHLS();
}

namespace {

// The angle, radial and strip values of the state by its type.
struct SCoordinates {
    float angle;
    float radial;
    float strip;
};

SCoordinates CoordinatesOf(const SColourState& s) {
    const float red = float(RedOf(s.colour)) / 255.0f;
    const float green = float(GreenOf(s.colour)) / 255.0f;
    const float blue = float(BlueOf(s.colour)) / 255.0f;
    switch (s.type) {
    case eHueLightness:
        return {s.hue, s.lightness, s.saturation};
    case eHueSaturation:
        return {s.hue, s.saturation, s.lightness};
    case eLightnessSaturation:
        return {s.lightness, s.saturation, s.hue};
    case eRedGreen:
        return {red, green, blue};
    case eRedBlue:
        return {red, blue, green};
    default: // eBlueGreen
        return {blue, green, red};
    }
}

int32_t Coordinate(float v) {
    return RoundToInt32(v, -1000000, 1000000);
}

} // namespace

gCPoint MainIndicator(const SColourState& state, int32_t width, int32_t height,
                      int32_t indicatorWidth, int32_t indicatorHeight) {
    const SCoordinates c = CoordinatesOf(state);
    const float theta = float(double(c.angle) * std::numbers::pi / 2.0);
    const float far = float(width - 1);
    const float distance = float(kHoleRadius) + c.radial * (far - float(kHoleRadius));
    return gCPoint(
        Coordinate(far - std::cos(theta) * distance - float(indicatorWidth) / 2.0f),
        Coordinate(float(height - 1) - std::sin(theta) * distance - float(indicatorHeight) / 2.0f));
}

int32_t StripIndicator(const SColourState& state, int32_t height, int32_t indicatorHeight) {
    const SCoordinates c = CoordinatesOf(state);
    return Coordinate((1.0f - c.strip) * float(height) - float(indicatorHeight) / 2.0f);
}

} // namespace ColourAreas
