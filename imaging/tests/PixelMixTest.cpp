#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <string>
#include <vector>

#include "imaging/Image.h"
#include "imaging/PixelMix.h"
#include "imaging/tests/Reference.h"
#include "imaging/tests/TestImages.h"
#include "testsupport/imaging/PixelPaths.h"

namespace {

using Mode = CPixelMix::EMixMode;

// The modes written straight from their definitions: one channel at a time,
// 64-bit arithmetic, explicit floors, the transparent blend first.
uint32_t PlainMix(Mode mode, uint32_t S, uint32_t B) {
    const int64_t a = S >> 24;
    if (mode != CPixelMix::eMixSoftLight && a == 0) {
        return B;
    }
    if (mode == CPixelMix::eMixNormal) {
        if (a == 255) {
            return (B & 0xFF000000u) | (S & 0x00FFFFFFu);
        }
        const uint32_t M = 0x00FF00FFu, N = 0xFF00FF00u;
        const uint32_t rb =
            ((B & M) + ((((S & M) - (B & M) + 0x00010001u) * uint32_t(a)) >> 8)) & M;
        const int64_t green = a * (int64_t(ref::Channel(S, 8)) - ref::Channel(B, 8) + 1);
        return rb | (((B & N) + uint32_t(green)) & N);
    }
    uint32_t out = B & 0xFF000000u;
    for (int shift : {16, 8, 0}) {
        const int64_t s = ref::Channel(S, shift), b = ref::Channel(B, shift);
        int64_t v = 0;
        switch (mode) {
        case CPixelMix::eMixMultiply: {
            const int64_t m = ((s + 1) * b) >> 8;
            v = a == 255 ? m : b + ref::FloorDiv((m - b) * a, 256);
            break;
        }
        case CPixelMix::eMixScreen: {
            const int64_t i = 255 - b, k = ((256 - s) * i) >> 8;
            v = a == 255 ? 255 - k : 255 - (i + ref::FloorDiv((k - i) * a, 256));
            break;
        }
        case CPixelMix::eMixOverlay: {
            const int64_t m = b <= 127 ? ((s + 1) * b) >> 7 : 255 - (((256 - s) * (255 - b)) >> 7);
            v = a == 255 ? m : b + ref::FloorDiv((m - b) * a, 256);
            break;
        }
        case CPixelMix::eMixDodge:
            v = (b * 65536 + (256 - b) * (s + 1) * a) >> 16;
            break;
        case CPixelMix::eMixBurn:
            v = (b * 65536 - b * (256 - s) * a) >> 16;
            break;
        default: // SoftLight
            v = b - ref::FloorDiv((b - ((b * (b + 1)) >> 8)) * ((128 - s) * (a + 1) + 1), 32768);
            break;
        }
        EXPECT_TRUE(v >= 0 && v <= 255) << "mode " << mode << " leaves the channel range";
        out |= uint32_t(v) << shift;
    }
    return out;
}

const char* const kModeNames[] = {"Normal", "Multiply", "Screen",   "Overlay",
                                  "Dodge",  "Burn",     "SoftLight"};

struct Picture {
    CImage image;
    std::vector<uint32_t> px;

    Picture(std::mt19937& rng, int32_t w, int32_t h) : image(w, h) {
        px = testimg::RandomPixels(rng, size_t(w) * h);
        testimg::Store(image, px);
    }
};

// Every mode and form on random pictures of odd sizes, the three views of
// different sizes, on every path present: the common area equals the plain
// formula, the rest of the destination is untouched.
struct FormCase {
    Mode mode;
    testimg::Size size;
};

void PrintTo(const FormCase& c, std::ostream* os) {
    *os << kModeNames[c.mode] << "_" << c.size.width << "x" << c.size.height;
}

class MixForms : public ::testing::TestWithParam<FormCase> {};

void MixEveryForm(std::mt19937& rng, Mode mode, int32_t w, int32_t h) {
    const uint32_t colour = testimg::RandomPixels(rng, 1)[0] | 0x40000000u;

    enum Form { kViews, kImages, kConstantBase, kConstantBlend };
    for (Form form : {kViews, kImages, kConstantBase, kConstantBlend}) {
        // The destination is the largest, the base one column narrower, the
        // blend one row shorter (where the size allows).
        const int32_t bw = std::max(1, w - 1), sh = std::max(1, h - 1);
        Picture dst(rng, w + 2, h + 1), blend(rng, w, sh), base(rng, bw, h);
        std::vector<uint32_t> expected = dst.px;
        int32_t aw = w + 2, ah = h + 1;
        if (form != kConstantBlend) {
            ah = std::min(ah, sh);
            aw = std::min(aw, w);
        }
        if (form != kConstantBase) {
            aw = std::min(aw, bw);
            ah = std::min(ah, h);
        }
        for (int32_t y = 0; y < ah; ++y) {
            for (int32_t x = 0; x < aw; ++x) {
                const uint32_t s = form == kConstantBlend ? colour : blend.px[size_t(y) * w + x];
                const uint32_t b = form == kConstantBase ? colour : base.px[size_t(y) * bw + x];
                expected[size_t(y) * (w + 2) + x] = PlainMix(mode, s, b);
            }
        }
        error e = eGenericFailure;
        if (form == kImages) {
            e = CPixelMix::Mix(&dst.image, &blend.image, &base.image, mode);
        } else {
            CImNav d(&dst.image), s(&blend.image), b(&base.image);
            if (form == kViews) {
                e = CPixelMix::Mix(&d, &s, &b, mode);
            } else if (form == kConstantBase) {
                e = CPixelMix::Mix(&d, &s, CPixel(colour), mode);
            } else {
                e = CPixelMix::Mix(&d, CPixel(colour), &b, mode);
            }
        }
        ASSERT_EQ(e, eNoError);
        ASSERT_EQ(testimg::Load(dst.image), expected) << "form " << form;
    }
}

TEST_P(MixForms, EveryFormEqualsThePlainFormula) {
    const Mode mode = GetParam().mode;
    const int32_t w = GetParam().size.width, h = GetParam().size.height;
    for (CPixelPaths::EPath path : PresentPixelPaths()) {
        CForcePixelPath force(path);
        SCOPED_TRACE(CPixelPaths::Name(path));
        std::mt19937 rng(1000u + uint32_t(mode) * 31u + uint32_t(w * 7 + h));
        MixEveryForm(rng, mode, w, h);
        if (HasFatalFailure()) {
            return;
        }
    }
}

std::vector<FormCase> AllFormCases() {
    std::vector<FormCase> cases;
    for (int m = 0; m < 7; ++m) {
        for (const testimg::Size& s : testimg::OddSizes()) {
            cases.push_back({Mode(m), s});
        }
    }
    return cases;
}

INSTANTIATE_TEST_SUITE_P(OddSizes, MixForms, ::testing::ValuesIn(AllFormCases()),
                         [](const auto& info) {
                             return std::string(kModeNames[info.param.mode]) + "_" +
                                    std::to_string(info.param.size.width) + "x" +
                                    std::to_string(info.param.size.height);
                         });

// The destination may be the blend or the base itself, or overlap one of
// them a few pixels away in the same image; every position is mixed in
// order, reading what earlier positions wrote.
class MixAliasing : public ::testing::TestWithParam<Mode> {};

TEST_P(MixAliasing, DestinationSharingAnInput) {
    const Mode mode = GetParam();
    const int32_t w = 23, h = 9;
    struct Shift {
        int32_t dx, dy;
        bool onBlend;
    };
    for (CPixelPaths::EPath path : PresentPixelPaths()) {
        CForcePixelPath force(path);
        SCOPED_TRACE(CPixelPaths::Name(path));
        std::mt19937 rng(77u + uint32_t(mode));
        for (Shift shift : {Shift{0, 0, true}, Shift{0, 0, false}, Shift{1, 0, false},
                            Shift{0, 1, true}, Shift{-3, 1, false}, Shift{5, 0, true}}) {
            Picture shared(rng, w, h), other(rng, w, h);
            // Sequential mixing on a copy of the shared picture.
            std::vector<uint32_t> expected = shared.px;
            const int32_t ox = std::max(0, shift.dx), oy = std::max(0, shift.dy);
            const int32_t ix = std::max(0, -shift.dx), iy = std::max(0, -shift.dy);
            const int32_t aw = w - std::abs(shift.dx), ah = h - std::abs(shift.dy);
            for (int32_t y = 0; y < ah; ++y) {
                for (int32_t x = 0; x < aw; ++x) {
                    const uint32_t in = expected[size_t(y + iy) * w + x + ix];
                    const uint32_t o = other.px[size_t(y) * w + x];
                    expected[size_t(y + oy) * w + x + ox] =
                        shift.onBlend ? PlainMix(mode, in, o) : PlainMix(mode, o, in);
                }
            }
            const gCRect outRect(ox, oy, ox + aw, oy + ah), inRect(ix, iy, ix + aw, iy + ah);
            CImNav d(&shared.image, &outRect), in(&shared.image, &inRect), o(&other.image);
            ASSERT_EQ(shift.onBlend ? CPixelMix::Mix(&d, &in, &o, mode)
                                    : CPixelMix::Mix(&d, &o, &in, mode),
                      eNoError);
            EXPECT_EQ(testimg::Load(shared.image), expected)
                << "shift " << shift.dx << "," << shift.dy << (shift.onBlend ? " blend" : " base");
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Modes, MixAliasing, ::testing::Range(Mode(0), Mode(7)),
                         [](const auto& info) { return std::string(kModeNames[info.param]); });

// Single pixels with the values the modes are known by.
struct PixelCase {
    const char* name;
    Mode mode;
    uint32_t blend, base, expected;
};

void PrintTo(const PixelCase& c, std::ostream* os) {
    *os << c.name;
}

class MixValues : public ::testing::TestWithParam<PixelCase> {};

TEST_P(MixValues, GivesTheKnownResult) {
    const PixelCase& c = GetParam();
    CImage dst(1, 1), blend(1, 1), base(1, 1);
    testimg::Store(blend, {c.blend});
    testimg::Store(base, {c.base});
    ASSERT_EQ(CPixelMix::Mix(&dst, &blend, &base, c.mode), eNoError);
    EXPECT_EQ(testimg::Load(dst)[0], c.expected)
        << std::hex << "got 0x" << testimg::Load(dst)[0] << " expected 0x" << c.expected;
}

INSTANTIATE_TEST_SUITE_P(
    Known, MixValues,
    ::testing::Values(PixelCase{"NormalOpaqueTakesBlendColourKeepsBaseAlpha", CPixelMix::eMixNormal,
                                0xFF123456u, 0x7F654321u, 0x7F123456u},
                      PixelCase{"NormalTransparentKeepsBase", CPixelMix::eMixNormal, 0x00123456u,
                                0x7F654321u, 0x7F654321u},
                      PixelCase{"NormalHalfWhiteOverBlack", CPixelMix::eMixNormal, 0x80FFFFFFu,
                                0xFF000000u, 0xFF808080u},
                      PixelCase{"MultiplyWhiteKeepsBase", CPixelMix::eMixMultiply, 0xFFFFFFFFu,
                                0xC8A17F03u, 0xC8A17F03u},
                      PixelCase{"MultiplyBlackGivesBlack", CPixelMix::eMixMultiply, 0xFF000000u,
                                0xC8A1FF03u, 0xC8000000u},
                      PixelCase{"ScreenBlackKeepsBase", CPixelMix::eMixScreen, 0xFF000000u,
                                0x17A17F03u, 0x17A17F03u},
                      PixelCase{"ScreenWhiteGivesWhite", CPixelMix::eMixScreen, 0xFFFFFFFFu,
                                0x17A17F03u, 0x17FFFFFFu},
                      PixelCase{"MultiplyHalfBlendKeepsBaseAlpha", CPixelMix::eMixMultiply,
                                0x80000000u, 0x3CFF8000u, 0x3C7F4000u},
                      PixelCase{"ScreenHalfBlendKeepsBaseAlpha", CPixelMix::eMixScreen, 0x80FFFFFFu,
                                0x3C0080FFu, 0x3C80C0FFu},
                      // Overlay: b = 127, s = 255 gives 254; b = 128, s = 0 gives 1;
                      // s = 127 or 128 leaves b.
                      PixelCase{"OverlayDarkBaseLightBlend", CPixelMix::eMixOverlay, 0xFFFFFFFFu,
                                0xFF7F7F7Fu, 0xFFFEFEFEu},
                      PixelCase{"OverlayLightBaseDarkBlend", CPixelMix::eMixOverlay, 0xFF000000u,
                                0xFF808080u, 0xFF010101u},
                      PixelCase{"OverlayMiddleBlendKeepsBase", CPixelMix::eMixOverlay, 0xFF7F807Fu,
                                0xFF1080F0u, 0xFF1080F0u},
                      PixelCase{"DodgeWhiteOnBlackGivesWhite", CPixelMix::eMixDodge, 0xFFFFFFFFu,
                                0x20000000u, 0x20FFFFFFu},
                      PixelCase{"BurnBlackOnWhiteGivesBlack", CPixelMix::eMixBurn, 0xFF000000u,
                                0x20FFFFFFu, 0x20000000u},
                      PixelCase{"SoftLightLeavesBlackAndWhite", CPixelMix::eMixSoftLight,
                                0xFF00FF80u, 0xFF00FFFFu, 0xFF00FFFFu},
                      // Darkens below 128 and lightens above, by at most 64 at b = 128.
                      PixelCase{"SoftLightDarkensAndLightens", CPixelMix::eMixSoftLight,
                                0xFF00FF80u, 0xFF808080u, 0xFF40C080u},
                      // No transparent case: alpha 0 and s above 129 still lift b by one.
                      PixelCase{"SoftLightTransparentBlendLifts", CPixelMix::eMixSoftLight,
                                0x00FFFFFFu, 0x99101010u, 0x99111111u}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(MixValues, FormulasMatchOnRandomPixelPairs) {
    std::mt19937 rng(5);
    const std::vector<uint32_t> blends = testimg::RandomPixels(rng, 20000);
    const std::vector<uint32_t> bases = testimg::RandomPixels(rng, 20000);
    for (CPixelPaths::EPath path : PresentPixelPaths()) {
        CForcePixelPath force(path);
        SCOPED_TRACE(CPixelPaths::Name(path));
        for (int m = 0; m < 7; ++m) {
            CImage dst(20000, 1), blend(20000, 1), base(20000, 1);
            testimg::Store(blend, blends);
            testimg::Store(base, bases);
            ASSERT_EQ(CPixelMix::Mix(&dst, &blend, &base, Mode(m)), eNoError);
            const std::vector<uint32_t> out = testimg::Load(dst);
            for (size_t i = 0; i < out.size(); ++i) {
                ASSERT_EQ(out[i], PlainMix(Mode(m), blends[i], bases[i]))
                    << kModeNames[m] << std::hex << " blend 0x" << blends[i] << " base 0x"
                    << bases[i];
                ASSERT_EQ(out[i] >> 24, bases[i] >> 24) << "the base alpha is kept";
            }
        }
    }
}

// Multiply's vector loop runs four pixels at a time in 16-bit lanes: check
// every blend alpha against every pair of channel values, in all three
// channels, on every path.
TEST(MixValues, MultiplyMatchesForEveryAlphaAndChannelPair) {
    for (CPixelPaths::EPath path : PresentPixelPaths()) {
        CForcePixelPath force(path);
        SCOPED_TRACE(CPixelPaths::Name(path));
        CImage dst(256, 256), blend(256, 256), base(256, 256);
        std::vector<uint32_t> bases(65536);
        for (uint32_t s = 0; s < 256; ++s) {
            for (uint32_t b = 0; b < 256; ++b) {
                bases[s * 256 + b] = 0x5A000000u | (b << 16) | (s << 8) | b;
            }
        }
        testimg::Store(base, bases);
        for (uint32_t a = 0; a < 256; ++a) {
            std::vector<uint32_t> blends(65536);
            for (uint32_t s = 0; s < 256; ++s) {
                for (uint32_t b = 0; b < 256; ++b) {
                    blends[s * 256 + b] = (a << 24) | (s << 16) | (b << 8) | (255 - s);
                }
            }
            testimg::Store(blend, blends);
            ASSERT_EQ(CPixelMix::Multiply(&dst, &blend, &base), eNoError);
            const std::vector<uint32_t> out = testimg::Load(dst);
            for (size_t i = 0; i < out.size(); ++i) {
                ASSERT_EQ(out[i], PlainMix(CPixelMix::eMixMultiply, blends[i], bases[i]))
                    << std::hex << "blend 0x" << blends[i] << " base 0x" << bases[i];
            }
        }
    }
}

TEST(MixValues, SinglePixelOverlayAndBurn) {
    std::mt19937 rng(9);
    const std::vector<uint32_t> px = testimg::RandomPixels(rng, 4000);
    for (size_t i = 0; i + 1 < px.size(); i += 2) {
        EXPECT_EQ(uint32_t(CPixelMix::Overlay(px[i], px[i + 1])),
                  PlainMix(CPixelMix::eMixOverlay, px[i], px[i + 1]));
        EXPECT_EQ(uint32_t(CPixelMix::Burn(px[i], px[i + 1])),
                  PlainMix(CPixelMix::eMixBurn, px[i], px[i + 1]));
    }
}

// The single-pixel forms, by name and by number: every mode number from -1
// to 7 over a grid of blend alphas and channel pairs; numbers outside 0-6
// leave the base.
TEST(MixValues, SinglePixelFormsOverAGridOfAlphasAndChannels) {
    using Single = CPixel (*)(CPixel, CPixel);
    const Single byName[7] = {&CPixelMix::Normal, &CPixelMix::Multiply, &CPixelMix::Screen,
                              &CPixelMix::Overlay, &CPixelMix::Dodge, &CPixelMix::Burn,
                              &CPixelMix::SoftLight};
    const uint32_t channels[] = {0, 1, 127, 128, 254, 255};
    for (int32_t mode = -1; mode <= 7; ++mode) {
        for (uint32_t ba : {0u, 1u, 128u, 254u, 255u}) {
            for (uint32_t s : channels) {
                for (uint32_t b : channels) {
                    // Each channel its own pair, so the packed forms meet
                    // every neighbour.
                    const uint32_t S = (ba << 24) | (s << 16) | ((255 - s) << 8) | b;
                    const uint32_t B = 0x5A000000u | (b << 16) | (s << 8) | (255 - b);
                    const uint32_t got = CPixelMix::MixPixel(mode, S, B);
                    if (mode < 0 || mode > 6) {
                        ASSERT_EQ(got, B) << mode;
                        continue;
                    }
                    ASSERT_EQ(got, PlainMix(Mode(mode), S, B))
                        << kModeNames[mode] << " ba " << ba << " s " << s << " b " << b;
                    ASSERT_EQ(uint32_t(byName[mode](S, B)), got);
                    ASSERT_EQ(got >> 24, 0x5Au); // the base's alpha
                }
            }
        }
    }
    // SoftLight has no transparent case: at blend alpha 0 a channel can
    // still rise by one.
    EXPECT_EQ(uint32_t(CPixelMix::SoftLight(0x00FF0000u, 0xFF800000u)), 0xFF810000u);
    // Normal carries the borrow of blue into red in its packed product.
    EXPECT_EQ(uint32_t(CPixelMix::Normal(0x80000000u, 0xFF0100FFu)),
              PlainMix(CPixelMix::eMixNormal, 0x80000000u, 0xFF0100FFu));
}

// The view forms equal the single-pixel ones on random images of odd sizes.
TEST(MixValues, ViewFormsEqualTheSinglePixelForms) {
    std::mt19937 rng(4711);
    for (int32_t mode = 0; mode < 7; ++mode) {
        for (int32_t w : {1, 7, 33}) {
            const int32_t h = w + 2;
            Picture blend(rng, w, h), base(rng, w, h);
            CImage dst(w, h);
            ASSERT_EQ(CPixelMix::Mix(&dst, &blend.image, &base.image, Mode(mode)), eNoError);
            const std::vector<uint32_t> got = testimg::Load(dst);
            for (size_t i = 0; i < got.size(); ++i) {
                ASSERT_EQ(got[i], uint32_t(CPixelMix::MixPixel(mode, blend.px[i], base.px[i])))
                    << kModeNames[mode] << " " << w << " pixel " << i;
            }
        }
    }
}

TEST(MixFailures, BadViewsAndImagesWriteNothing) {
    CImage dst(4, 4), blend(4, 4), base(4, 4), empty;
    CImNav d(&dst), s(&blend), b(&base), unlocked(&empty);
    EXPECT_EQ(CPixelMix::Normal(nullptr, &s, &b), eBadParameter);
    EXPECT_EQ(CPixelMix::Normal(&d, &unlocked, &b), eBadParameter);
    EXPECT_EQ(CPixelMix::Multiply(&d, &s, static_cast<CImNav*>(nullptr)), eBadParameter);
    EXPECT_EQ(CPixelMix::Screen(&d, CPixel(0xFFFFFFFFu), &unlocked), eBadParameter);
    EXPECT_EQ(CPixelMix::Overlay(&dst, &blend, &empty), eBadParameter);
    EXPECT_EQ(CPixelMix::Burn(static_cast<CImage*>(nullptr), &blend, &base), eBadParameter);

    // A compressed image has no pixels to mix.
    CImage flat(20, 20);
    CImNav(&flat).Fill(CPixel(0xFF336699u));
    ASSERT_EQ(flat.Compress(), eNoError);
    ASSERT_TRUE(flat.IsCompressed());
    EXPECT_EQ(CPixelMix::Multiply(&dst, &flat, &base), eBadParameter);

    // A mode above 6 and an empty area do nothing.
    CImNav(&blend).Fill(CPixel(0xFFFFFFFFu));
    EXPECT_EQ(CPixelMix::Mix(&d, &s, &b, Mode(7)), eNoError);
    const gCRect none(0, 0, 0, 4);
    CImNav zero(&dst, &none);
    EXPECT_EQ(CPixelMix::Mix(&zero, &s, &b, CPixelMix::eMixNormal), eNoError);
    EXPECT_EQ(testimg::Load(dst), std::vector<uint32_t>(16, 0));
}

} // namespace
