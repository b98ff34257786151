// The backdrop's background on every instruction-set path: its row loops
// against the plain ones, and whole fills against the per-pixel formula, on
// seeded random areas, gradients and tiles of odd sizes.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "imaging/Gradient.h"
#include "imaging/ImNav.h"
#include "imaging/PixelPaths.h"
#include "widgets/detail/BackdropFill.h"
#include "widgets/detail/BackdropFillRows.h"
#include "widgets/tests/PixelTesting.h"

namespace {

const CPixelPaths::EPath kPaths[] = {CPixelPaths::ePlain, CPixelPaths::eSse2, CPixelPaths::eAvx2};

std::string Named(CPixelPaths::EPath path, int32_t n) {
    return std::string(CPixelPaths::Name(path)) + " " + std::to_string(n);
}

TEST(BackdropFillPaths, TheRowLoopsEqualThePlainOnes) {
    std::mt19937 rng(4242);
    std::vector<uint32_t> table(backdropfill::kTableEntries + 32);
    for (uint32_t& p : table) {
        p = uint32_t(rng());
    }
    const backdropfill::SRows& plain = backdropfill::RowsFor(CPixelPaths::ePlain);
    const int64_t big = int64_t(1) << 40;
    // Accumulators and steps inside the 32-bit lanes, across their edges
    // and far beyond them; opacities as stored, damaged ones too.
    const int64_t accs[] = {
        0, -70000, 4086 * 65536 + 999, 4095 * 65536 + 12345, INT32_MAX - 1000, INT32_MIN + 5, big};
    const int64_t steps[] = {0,
                             1,
                             -1,
                             40000,
                             -65535,
                             65536,
                             -65536,
                             140000,
                             -140000,
                             215000,
                             -215000,
                             290000,
                             -290000,
                             65536 * 31 / 7,
                             -(65536 * 31 / 7) - 1,
                             65537,
                             -65537,
                             65536 * 3,
                             (int64_t(1) << 27) - 1,
                             -big};
    const int32_t opacities[] = {0, 1, 127, 200, 255, 256, -1, 65534, 65535, 70000, INT32_MAX};
    for (CPixelPaths::EPath path : kPaths) {
        const backdropfill::SRows& rows = backdropfill::RowsFor(path);
        for (int32_t n : {1, 3, 7, 8, 9, 17, 63, 255, 513}) {
            SCOPED_TRACE(Named(path, n));
            for (int64_t acc : accs) {
                for (int64_t dx : steps) {
                    // A gradient's own table, and one with room past its
                    // end.
                    for (int32_t entries : {4097, backdropfill::kTableEntries + 32}) {
                        std::vector<uint32_t> want(static_cast<size_t>(n));
                        std::vector<uint32_t> got(static_cast<size_t>(n), 0xDEADBEEFu);
                        plain.linear(want.data(), table.data(), entries, acc, dx, n);
                        rows.linear(got.data(), table.data(), entries, acc, dx, n);
                        ASSERT_EQ(got, want) << acc << " " << dx << " " << entries;
                    }
                }
            }
            for (int32_t opacity : opacities) {
                for (int32_t overImage : {0, 1}) {
                    std::vector<uint32_t> px(static_cast<size_t>(n)), g(static_cast<size_t>(n));
                    for (int32_t i = 0; i < n; ++i) {
                        px[size_t(i)] = uint32_t(rng());
                        // Gradient alphas of 0 and 255 as well as between.
                        const uint32_t kind = rng() % 4;
                        g[size_t(i)] = kind == 0   ? uint32_t(rng()) & 0x00FFFFFFu
                                       : kind == 1 ? uint32_t(rng()) | 0xFF000000u
                                                   : uint32_t(rng());
                    }
                    std::vector<uint32_t> want = px, got = px;
                    plain.blend(want.data(), g.data(), opacity, overImage, n);
                    rows.blend(got.data(), g.data(), opacity, overImage, n);
                    ASSERT_EQ(got, want) << opacity << " " << overImage;
                    for (int32_t i = 0; i < n; ++i) {
                        ASSERT_EQ(want[size_t(i)],
                                  backdropfill::BlendGradient(px[size_t(i)], g[size_t(i)], opacity,
                                                              overImage));
                    }
                }
            }
        }
    }
}

// The background pixel by pixel, as the formula gives it.
uint32_t Expected(const backdropfill::SFill& fill, const CImNav* tile, int32_t x, int32_t y) {
    uint32_t d = uint32_t(fill.base) | 0xFF000000u;
    if (tile) {
        const int32_t w = tile->GetWidth(), h = tile->GetHeight();
        d = tile->Row(((y % h) + h) % h)[((x % w) + w) % w];
    }
    if (!fill.gradient || fill.opacity == 0) {
        return d;
    }
    uint32_t g;
    if (fill.radial) {
        const backdropfill::SRadial r =
            backdropfill::RadialOf(fill.centreX, fill.centreY, fill.width, fill.height);
        g = fill.gradient->Table()[backdropfill::RadialIndex(r, x, y)];
    } else if (fill.angle == 0.0f) {
        g = fill.gradient->GetColourAtPoint(y, fill.height);
    } else {
        const backdropfill::SLinearStep step =
            backdropfill::LinearStep(fill.angle, fill.width, fill.height);
        g = fill.gradient->Table()[backdropfill::LinearIndex(step, x, y)];
    }
    return backdropfill::BlendGradient(d, g, fill.opacity, tile ? 1 : 0);
}

TEST(BackdropFillPaths, EveryFillFollowsTheFormulaOnEveryPath) {
    std::mt19937 rng(1234);
    CGradient gradient(CPixel(0x20102030u), CPixel(0xF0E0C0A0u));
    gradient.AddPoint(CPixel(0x80FF0000u), 0.3f);
    gradient.AddPoint(CPixel(0xFF00FF00u), 0.7f);
    gradient.Rebuild();
    auto tileImage = MakeImage(13, 7, [](int32_t x, int32_t y) {
        return uint32_t((x * 37 + y * 11) & 0xFF) << 24 | uint32_t(x * 0x0A0B0C + y * 0x030201);
    });
    CImNav tile(tileImage.get());
    ASSERT_TRUE(tile.IsLocked());
    for (int32_t round = 0; round < 24; ++round) {
        backdropfill::SFill fill;
        fill.width = 151 + int32_t(rng() % 400);
        fill.height = 97 + int32_t(rng() % 200);
        fill.base = uint32_t(rng());
        fill.opacity = round % 5 == 0 ? 255 : int32_t(rng() % 256);
        const int32_t kind = round % 4; // none, vertical, angled, radial
        fill.gradient = kind == 0 ? nullptr : &gradient;
        fill.angle = kind == 2 ? float(rng() % 1000) / 1000.0f : 0.0f;
        fill.radial = kind == 3 ? 1 : 0;
        fill.centreX = float(rng() % 100) / 80.0f;
        fill.centreY = float(rng() % 100) / 80.0f;
        const bool tiled = round % 3 == 1;
        // Large areas (the table blended once) and small ones, some
        // starting left of and above the backdrop.
        const int32_t left = int32_t(rng() % 40) - 10, top = int32_t(rng() % 40) - 10;
        const bool large = (round / 4) % 2 == 0;
        const int32_t w = large ? fill.width - left : 1 + int32_t(rng() % 37);
        const int32_t h = large ? fill.height - top : 1 + int32_t(rng() % 29);
        const gCRect area(left, top, left + w, top + h);
        SCOPED_TRACE("round " + std::to_string(round));
        for (CPixelPaths::EPath path : kPaths) {
            SCOPED_TRACE(CPixelPaths::Name(path));
            CForcePixelPath force(path);
            CImage target(w, h);
            CImNav view(&target);
            ASSERT_TRUE(view.IsLocked());
            backdropfill::FillArea(fill, area, view, tiled ? &tile : nullptr);
            for (int32_t y = 0; y < h; ++y) {
                for (int32_t x = 0; x < w; ++x) {
                    ASSERT_EQ(uint32_t(view.Row(y)[x]),
                              Expected(fill, tiled ? &tile : nullptr, left + x, top + y))
                        << x << "," << y;
                }
            }
        }
    }
}

} // namespace
