// The backdrop's background fill.

#include "widgets/detail/BackdropFill.h"

#include <algorithm>
#include <cmath>

namespace backdropfill {

namespace {

// Half away from zero, saturated to the 64-bit range.
int64_t RoundAway(double value) {
    if (!std::isfinite(value)) {
        return 0;
    }
    value = std::clamp(value, -9.0e18, 9.0e18);
    return int64_t(value > 0.0 ? value + 0.5 : value - 0.5);
}

int32_t ClampIndex(int64_t index) {
    return int32_t(std::clamp<int64_t>(index, 0, kLastIndex));
}

float FiniteOr(float value, float fallback) {
    return std::isfinite(value) ? value : fallback;
}

} // namespace

SLinearStep LinearStep(float angle, int32_t width, int32_t height) {
    const float a = FiniteOr(angle, 0.0f) * 6.2831855f;
    const float s = std::sin(a);
    const float c = std::cos(a);
    const double w = width;
    const double h = height;
    const double length = std::fabs(double(c) * h) + std::fabs(double(s) * w);
    SLinearStep step;
    if (length > 0.0) {
        step.dx = RoundAway(-double(s) / length * 65535.0 * 4095.0);
        step.dy = RoundAway(double(c) / length * 65535.0 * 4095.0);
    }
    step.offset = int64_t(4095) * 32767 - step.dy * height / 2 - step.dx * width / 2;
    return step;
}

int32_t LinearIndex(const SLinearStep& step, int32_t x, int32_t y) {
    return ClampIndex((int64_t(y) * step.dy + int64_t(x) * step.dx + step.offset) >> 16);
}

SRadial RadialOf(float centreX, float centreY, int32_t width, int32_t height) {
    const double fx = FiniteOr(centreX, 0.5f);
    const double fy = FiniteOr(centreY, 0.5f);
    SRadial radial;
    radial.cx = int32_t(std::clamp<int64_t>(RoundAway(fx * width), INT32_MIN, INT32_MAX));
    radial.cy = int32_t(std::clamp<int64_t>(RoundAway(fy * height), INT32_MIN, INT32_MAX));
    const double rx = width * std::max(fx, 1.0 - fx);
    const double ry = height * std::max(fy, 1.0 - fy);
    const double reach = std::sqrt(rx * rx + ry * ry);
    radial.scale = reach > 0.0 && std::isfinite(reach) ? 4095.0 / reach : 0.0;
    return radial;
}

int32_t RadialIndex(const SRadial& radial, int32_t x, int32_t y) {
    const double dx = double(x) - radial.cx;
    const double dy = double(y) - radial.cy;
    return ClampIndex(RoundAway(std::sqrt(dx * dx + dy * dy) * radial.scale));
}

uint32_t BlendGradient(uint32_t d, uint32_t g, int32_t opacity, int32_t overImage) {
    const uint32_t alphaOut = overImage ? (d & 0xFF000000u) : 0xFF000000u;
    const uint32_t a = (((g >> 8) * (uint32_t(opacity) + 1u)) >> 24) & 0xFFu;
    if (a == 0) {
        return (d & 0x00FFFFFFu) | alphaOut;
    }
    if (a == 255) {
        return (g & 0x00FFFFFFu) | alphaOut;
    }
    const uint32_t drb = d & 0x00FF00FFu;
    const uint32_t rb = (drb + ((((g & 0x00FF00FFu) - drb + 0x00010001u) * a) >> 8)) & 0x00FF00FFu;
    const uint32_t dg = (d >> 8) & 0xFFu;
    const uint32_t gg = (g >> 8) & 0xFFu;
    const uint32_t green = (dg * 256u + (gg - dg + 1u) * a) & 0x0000FF00u;
    return rb | green | alphaOut;
}

void FillArea(const SFill& fill, const gCRect& area, CImNav& view, const CImNav* tile) {
    const uint32_t opaque = uint32_t(fill.base) | 0xFF000000u;
    const int32_t overImage = tile ? 1 : 0;
    const int32_t tileW = tile ? tile->GetWidth() : 0;
    const int32_t tileH = tile ? tile->GetHeight() : 0;
    const bool gradient = fill.gradient && fill.opacity != 0;
    const float angle = FiniteOr(fill.angle, 0.0f);
    const bool vertical = !fill.radial && angle == 0.0f;
    const SLinearStep step =
        gradient && !fill.radial ? LinearStep(angle, fill.width, fill.height) : SLinearStep();
    const SRadial radial = gradient && fill.radial
                               ? RadialOf(fill.centreX, fill.centreY, fill.width, fill.height)
                               : SRadial();
    const CPixel* table = gradient ? fill.gradient->Table() : nullptr;
    const int32_t width = std::min(view.GetWidth(), area.Width());
    const int32_t height = std::min(view.GetHeight(), area.Height());
    for (int32_t row = 0; row < height; ++row) {
        const int32_t y = area.top + row;
        CPixel* out = view.Row(row);
        const CPixel* tileRow = nullptr;
        int32_t column = 0;
        if (tile) {
            const int32_t tileY = ((y % tileH) + tileH) % tileH;
            tileRow = tile->Row(tileY);
            column = ((area.left % tileW) + tileW) % tileW;
        }
        const uint32_t rowColour =
            gradient && vertical ? uint32_t(fill.gradient->GetColourAtPoint(y, fill.height)) : 0;
        int64_t accumulator = int64_t(y) * step.dy + int64_t(area.left) * step.dx + step.offset;
        for (int32_t i = 0; i < width; ++i) {
            uint32_t d = opaque;
            if (tileRow) {
                d = tileRow[column];
                if (++column == tileW) {
                    column = 0;
                }
            }
            if (gradient) {
                uint32_t g = rowColour;
                if (fill.radial) {
                    g = table[RadialIndex(radial, area.left + i, y)];
                } else if (!vertical) {
                    g = table[std::clamp<int64_t>(accumulator >> 16, 0, kLastIndex)];
                    accumulator += step.dx;
                }
                d = BlendGradient(d, g, fill.opacity, overImage);
            }
            out[i] = d;
        }
    }
}

} // namespace backdropfill
