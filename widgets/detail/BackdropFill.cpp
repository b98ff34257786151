// The backdrop's background fill.

#include "widgets/detail/BackdropFill.h"

#include <algorithm>
#include <cmath>

#include "widgets/detail/BackdropFillRows.h"

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
    const uint32_t* table =
        gradient ? reinterpret_cast<const uint32_t*>(fill.gradient->Table()) : nullptr;
    const SRows& rows = RowsFor(CPixelPaths::Active());
    const int32_t width = std::min(view.GetWidth(), area.Width());
    const int32_t height = std::min(view.GetHeight(), area.Height());
    // The gradient's colours along a row, a piece at a time.
    constexpr int32_t kPiece = 512;
    uint32_t colours[kPiece];
    // Over the base colour an angled gradient's pixel is a function of its
    // table index alone: over a large area the table is blended once and
    // read straight into the rows.
    const bool preblend = gradient && !tile && !vertical && !fill.radial &&
                          int64_t(width) * height >= 4 * kTableEntries;
    // Words past the table, so that blocks of neighbouring entries can be
    // read from any index at once.
    constexpr int32_t kBlended = kTableEntries + 32;
    uint32_t blended[kBlended];
    if (preblend) {
        std::fill_n(blended, kBlended, opaque);
        rows.blend(blended, table, fill.opacity, 0, kTableEntries);
    }
    for (int32_t row = 0; row < height; ++row) {
        const int32_t y = area.top + row;
        auto* out = reinterpret_cast<uint32_t*>(view.Row(row));
        const uint32_t rowColour =
            gradient && vertical ? uint32_t(fill.gradient->GetColourAtPoint(y, fill.height)) : 0;
        const int64_t start = int64_t(y) * step.dy + int64_t(area.left) * step.dx + step.offset;
        if (preblend) {
            rows.linear(out, blended, kBlended, start, step.dx, width);
            continue;
        }
        if (!tile) {
            // Over the base colour a vertical gradient gives one colour a row.
            const uint32_t d =
                gradient && vertical ? BlendGradient(opaque, rowColour, fill.opacity, 0) : opaque;
            std::fill_n(out, width, d);
            if (!gradient || vertical) {
                continue;
            }
        } else {
            const CPixel* tileRow = tile->Row(((y % tileH) + tileH) % tileH);
            const auto* from = reinterpret_cast<const uint32_t*>(tileRow);
            int32_t column = ((area.left % tileW) + tileW) % tileW;
            for (int32_t i = 0; i < width;) {
                const int32_t n = std::min(width - i, tileW - column);
                std::copy_n(from + column, n, out + i);
                i += n;
                column = 0;
            }
            if (!gradient) {
                continue;
            }
        }
        for (int32_t i = 0; i < width; i += kPiece) {
            const int32_t n = std::min(kPiece, width - i);
            if (vertical) {
                std::fill_n(colours, n, rowColour);
            } else if (fill.radial) {
                for (int32_t k = 0; k < n; ++k) {
                    colours[k] = table[RadialIndex(radial, area.left + i + k, y)];
                }
            } else {
                rows.linear(colours, table, CGradient::kTableSize, start + int64_t(i) * step.dx,
                            step.dx, n);
            }
            rows.blend(out + i, colours, fill.opacity, overImage, n);
        }
    }
}

} // namespace backdropfill
