#include "imaging/Pixel.h"

CPixel::BlendProcPtr CPixel::m_pBlendProc = &CPixel::BlendProc;
CPixel::Blend255ProcPtr CPixel::m_pBlend255Proc = &CPixel::Blend255Proc;

namespace {
constexpr float kOneSixth = 0.16666667f;
constexpr float kTwoThirds = 0.6666667f;
} // namespace

void CPixel::GetHLS(float& hue, float& lightness, float& saturation) const {
    const float unit = 1.0f / 255.0f;
    const float r = float((m_nValue >> 16) & 0xFFu) * unit;
    const float g = float((m_nValue >> 8) & 0xFFu) * unit;
    const float b = float(m_nValue & 0xFFu) * unit;

    float max = r > g ? r : g;
    max = b > max ? b : max;
    float min = r < g ? r : g;
    min = b < min ? b : min;

    lightness = (max + min) * 0.5f;
    if (max == min) {
        saturation = 0.0f;
        hue = 0.0f;
        return;
    }
    const float d = max - min;
    saturation = lightness < 0.5f ? d / (max + min) : d / (2.0f - max - min);
    if (r == max) {
        hue = (g - b) / d;
    } else if (g == max) {
        hue = 2.0f + (b - r) / d;
    } else {
        hue = 4.0f + (r - g) / d;
    }
    hue = hue * kOneSixth;
    if (hue < 0.0f) {
        hue = hue + 1.0f;
    }
}

float CPixel::Value(float m1, float m2, float hue) {
    if (hue > 1.0f) {
        hue = hue - 1.0f;
    } else if (hue < 0.0f) {
        hue = hue + 1.0f;
    }
    if (hue < kOneSixth) {
        return m1 + (m2 - m1) * hue * 6.0f;
    }
    if (hue < 0.5f) {
        return m2;
    }
    if (hue < kTwoThirds) {
        return m1 + (m2 - m1) * (kTwoThirds - hue) * 6.0f;
    }
    return m1;
}
