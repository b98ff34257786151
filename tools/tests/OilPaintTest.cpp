// Oil paint and the palette knife: the brush's set-up, width, pick-up and
// smoothing worked by hand; the pieces, turns and single dabs on a small
// canvas; the faults a loaded canvas or an unusual stroke could cause.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "foundation/MessageIds.h"
#include "imaging/ValueNoise.h"
#include "paint/canvas/Canvas.h"
#include "testsupport/paint/StrokeCanvas.h"
#include "tools/tests/StrokeTestSupport.h"
#include "tools/wet/OilPaint.h"
#include "tools/wet/PaletteKnife.h"
#include "tools/wet/detail/WetMath.h"

namespace {

// The tool with its blade, profiles and engine state open to the tests.
template <class T> class Open : public T {
public:
    using T::BrushWidth;
    using T::DabSize;
    using T::m_aBrushLoad;
    using T::m_aDeposit;
    using T::m_aPaint;
    using T::m_aPickUp;
    using T::m_aPreviousEdge;
    using T::m_aStrokePoints;
    using T::m_fColourChanged;
    using T::m_nDabNum;
    using T::m_nNoisePosition;
    using T::m_nRenderCursor;
    using T::m_PreviousPoint;
    using T::m_rPressureResponse;
    using T::m_rPreviousPressureResponse;
};
using OilTool = Open<COilPaint>;
using KnifeTool = Open<CPaletteKnife>;

template <class T> void Make(T& tool, int32_t id, float lin) {
    ASSERT_EQ(tool.SetupTool(), eNoError);
    tool.SetType(id);
    tool.SetToolLinearSize(lin);
}

using stroketest::Pt;

[[maybe_unused]] uint32_t A(uint32_t pixel) {
    return pixel >> 24;
}

// A small canvas whose layers the tool is given directly.
class WetCanvas : public ::testing::Test {
protected:
    explicit WetCanvas(int32_t w = 160, int32_t h = 100) : m_Canvas(w, h) {}
    void SetUp() override { ASSERT_TRUE(m_Canvas.IsReady()); }

    void Attach(CPaintTool& tool) {
        CCanvas& c = m_Canvas.Canvas();
        ASSERT_EQ(tool.SetSources(c.Layer(0), c.Layer(1), c.Layer(2), c.Layer(3)), eNoError);
    }
    // Every pixel's grain (and its reference copy) from a rule.
    template <class F> void SetGrain(F&& grain) {
        for (int32_t y = 0; y < m_Canvas.Height(); ++y) {
            for (int32_t x = 0; x < m_Canvas.Width(); ++x) {
                const uint32_t g = grain(x, y);
                uint32_t& l1 = m_Canvas.Pixel(1, x, y);
                l1 = (g << 16) | (l1 & 0xFFFFu);
                m_Canvas.Pixel(3, x, y) = (m_Canvas.Pixel(3, x, y) & 0xFFFF0000u) | g;
            }
        }
    }
    uint32_t Depth(int32_t x, int32_t y) { return m_Canvas.Pixel(1, x, y) & 0xFFFFu; }
    uint32_t Grain(int32_t x, int32_t y) { return m_Canvas.Pixel(1, x, y) >> 16; }

    CStrokeCanvas m_Canvas;
};

// ---------------------------------------------------------------------------
// The value noise as oil paint writes it, worked straight from its own text:
// row hash, lattice, smoothstep and lerp in wrapping 32-bit arithmetic.

uint32_t OilRow(uint32_t j) {
    return (j * 214013u * 0xD5B132B9u + 0x41C618B1u) * (j + 0x9E3779B9u);
}

uint32_t OilLattice(uint32_t i, uint32_t j) {
    const uint32_t hy = OilRow(j);
    const uint32_t h = ((i * 214013u + 0x9E3779B9u) * hy * (i + 0x9E3779B9u)) ^ hy;
    return (h ^ (h >> 16)) & 0xFFFFu;
}

uint32_t OilSmooth(uint32_t f) {
    return (((f * f) >> 16) * (0x30000u - 2u * f)) >> 16;
}

uint32_t OilLerp(uint32_t a, uint32_t b, uint32_t t) {
    return (a + (((b - a) * t) >> 16)) & 0xFFFFu;
}

uint32_t OilNoise(int32_t X, int32_t Y) {
    const uint32_t ix = uint32_t(X >> 16), iy = uint32_t(Y >> 16);
    const uint32_t sx = OilSmooth(uint32_t(X) & 0xFFFFu), sy = OilSmooth(uint32_t(Y) & 0xFFFFu);
    const uint32_t top = OilLerp(OilLattice(ix, iy), OilLattice(ix + 1u, iy), sx);
    const uint32_t bottom = OilLerp(OilLattice(ix, iy + 1u), OilLattice(ix + 1u, iy + 1u), sx);
    return OilLerp(top, bottom, sy);
}

TEST(OilNoise, IsTheSharedNoiseTransposed) {
    struct Case {
        int32_t X, Y;
    };
    const Case cases[] = {
        {0, 0},
        {1 << 16, 0},
        {0, 1 << 16},
        {5 << 16, -(3 << 16)},
        {0x8000, 0x8000},
        {0x1234567, 0x7654321},
        {-0x10001, 0x7FFFFFFF},
        {int32_t(0x80000000u), -1},
        // Where oil paint reads noise position << 8: 2^31 - 16 and 2^32 - 16.
        {256 * 99 * 250, int32_t(0x7FFFFFF0u << 8)},
        {0, int32_t(0xFFFFFFF0u << 8)},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ValueNoise(c.Y, c.X), OilNoise(c.X, c.Y)) << c.X << ", " << c.Y;
    }
}

// ---------------------------------------------------------------------------
// SetFirstPt: profiles, load and the brush's colour.

// A value after i steps of v := v + (target - v) * rate while steps remain,
// then the target: the closed form of the profiles' rule.
float Approach(float start, float target, float rate, int32_t steps, int32_t i) {
    if (i > steps) {
        return target;
    }
    return target + (start - target) * std::pow(1.0f - rate, float(i));
}

struct ProfileCase {
    float lin;
    int32_t dab;
    int32_t stepsA; // 50 - (round(35 lin) + 5)
    float rateA;
    int32_t stepsB;
    float rateB;
    uint32_t load;
};

// The integer blend of two loads agrees with the float form on every
// difference of two 16-bit loads and every fraction.
TEST(WetMath, Lerp255AgreesWithItsFloatFormEverywhere) {
    for (int32_t d = -65535; d <= 65535; ++d) {
        const int32_t a = d < 0 ? 65535 : 0;
        for (int32_t f = 0; f <= 255; ++f) {
            ASSERT_EQ(wetdetail::Lerp255(a, a + d, f), wetdetail::Lerp255Plain(a, a + d, f))
                << "difference " << d << ", fraction " << f;
        }
    }
}

// A narrow blade's integer window mean agrees with its float form: on every
// colour sum of every window, and on the load sums beside each half and
// each whole quotient, where a rounding would slip first.
TEST(WetMath, RoundedMeanAgreesWithItsFloatForm) {
    for (int32_t n = 1; n <= wetdetail::kMeanCounts; ++n) {
        for (uint32_t sum = 0; sum <= 255u * uint32_t(n); ++sum) {
            ASSERT_EQ(wetdetail::RoundedMean(sum, n), wetdetail::RoundedMeanPlain(sum, n))
                << "sum " << sum << " of " << n;
        }
        for (uint32_t q = 0; q <= 65535u; ++q) {
            const uint32_t whole = q * uint32_t(n), half = whole + uint32_t(n) / 2u;
            for (const uint32_t sum : {whole - 1u, whole, whole + 1u, half - 1u, half, half + 1u}) {
                if (sum < (1u << 23)) {
                    ASSERT_EQ(wetdetail::RoundedMean(sum, n), wetdetail::RoundedMeanPlain(sum, n))
                        << "sum " << sum << " of " << n;
                }
            }
        }
    }
    const uint32_t top = (1u << 23) - 1u;
    EXPECT_EQ(wetdetail::RoundedMean(top, 1), wetdetail::RoundedMeanPlain(top, 1));
}

TEST(OilSetFirstPt, BuildsTheProfilesAndLoad) {
    const ProfileCase cases[] = {
        {0.0f, 0, 45, 0.2f, 20, 0.2f, 1024}, {0.3f, 0, 34, 0.2f, 20, 0.2f, 1330},
        {1.0f, 0, 10, 0.7f, 20, 0.2f, 2044}, {0.0f, 1, 45, 0.2f, 45, 0.1f, 255},
        {0.3f, 1, 34, 0.2f, 45, 0.1f, 255},  {1.0f, 1, 10, 0.7f, 45, 0.1f, 255},
    };
    CStrokeCanvas canvas(8, 8);
    ASSERT_TRUE(canvas.IsReady());
    for (const ProfileCase& c : cases) {
        SCOPED_TRACE(::testing::Message() << "lin " << c.lin << " dab " << c.dab);
        OilTool tool;
        Make(tool, eToolOilPaint, c.lin);
        ASSERT_EQ(tool.SetFirstPt(Pt(3.0f, 4.0f, 0), c.dab), eNoError);
        const float a0 = 0.9f - c.lin * 0.1f;
        for (int32_t i = 0; i < 50; ++i) {
            // Entries 49 and 50 both hold the values of step 50.
            const int32_t step = i == 49 ? 50 : i;
            EXPECT_NEAR(tool.PickUpProfile()[i], Approach(a0, 0.05f, c.rateA, c.stepsA, step),
                        1e-5f)
                << i;
            EXPECT_NEAR(tool.DepositProfile()[i], Approach(0.0f, 1.0f, c.rateB, c.stepsB, step),
                        1e-5f)
                << i;
            EXPECT_EQ(tool.PickUpProfile()[i], tool.PickUpProfile()[99 - i]);
            EXPECT_EQ(tool.DepositProfile()[i], tool.DepositProfile()[99 - i]);
        }
        EXPECT_EQ(tool.BristlePaint()[0], c.load);
        EXPECT_EQ(tool.BristlePaint()[99], c.load);
        const float* edge = tool.PreviousEdge();
        EXPECT_EQ(edge[0], 3.0f);
        EXPECT_EQ(edge[1], 4.0f);
        EXPECT_EQ(edge[2], 3.0f);
        EXPECT_EQ(edge[3], 4.0f);
        EXPECT_EQ(tool.PreviousPressureResponse(), -1.0f);
        EXPECT_EQ(tool.SmoothedWidth(), 0.0f);
    }
}

TEST(OilSetFirstPt, LoadsTheCurrentColourUnderWhatTheBrushCarries) {
    CStrokeCanvas canvas(8, 8);
    ASSERT_TRUE(canvas.IsReady());
    canvas.SetColour(0xFF0000FFu);
    OilTool tool;
    Make(tool, eToolOilPaint, 0.3f);

    // The first stroke: exactly the current colour.
    ASSERT_EQ(tool.SetFirstPt(Pt(1, 1, 0), 0), eNoError);
    for (int32_t i = 0; i < 100; ++i) {
        ASSERT_EQ(uint32_t(tool.BrushLoad()[i]), 0xFF0000FFu) << i;
    }

    // A later stroke: what the brush still carries at 80 %: alpha
    // round(128 x 0.8) = 102 moves each channel of the opaque blue by
    // floor((s - d + 1) x 102 / 256): red 0 -> 102, blue 255 -> 153.
    tool.SetStrokeNum(1);
    tool.m_aBrushLoad[7] = 0x80FF0000u;
    tool.m_aBrushLoad[8] = 0u;
    ASSERT_EQ(tool.SetFirstPt(Pt(1, 1, 0), 0), eNoError);
    EXPECT_EQ(uint32_t(tool.BrushLoad()[7]), 0xFF660099u);
    EXPECT_EQ(uint32_t(tool.BrushLoad()[8]), 0xFF0000FFu);

    // After a colour change: exactly the current colour again.
    tool.m_aBrushLoad[7] = 0xFFFF0000u;
    canvas.SetColour(0xFF00FF00u);
    EXPECT_EQ(tool.ProcessData(eMsgPaintColour, nullptr, 0xFF00FF00, 1), 0);
    EXPECT_EQ(tool.ColourChanged(), 1);
    tool.SetStrokeNum(2);
    ASSERT_EQ(tool.SetFirstPt(Pt(1, 1, 0), 0), eNoError);
    EXPECT_EQ(tool.ColourChanged(), 0);
    for (int32_t i = 0; i < 100; ++i) {
        ASSERT_EQ(uint32_t(tool.BrushLoad()[i]), 0xFF00FF00u) << i;
    }
}

TEST(KnifeSetFirstPt, ProfilesByStyleAndABladeThatKeepsWhatItCarries) {
    CStrokeCanvas canvas(8, 8);
    ASSERT_TRUE(canvas.IsReady());
    canvas.SetColour(0xFF0000FFu);
    const struct {
        float lin;
        int32_t stepsA;
        float rateA;
    } cases[] = {{0.3f, 34, 0.1f}, {1.0f, 10, 0.7f}, {0.0f, 45, 0.1f}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.lin);
        KnifeTool tool;
        Make(tool, eToolPaletteKnife, c.lin);
        ASSERT_EQ(tool.SetFirstPt(Pt(1, 1, 0), 1), eNoError);
        for (int32_t i = 0; i < 50; ++i) {
            const int32_t step = i == 49 ? 50 : i;
            EXPECT_NEAR(tool.PickUpProfile()[i],
                        Approach(0.9f - c.lin * 0.1f, 0.05f, c.rateA, c.stepsA, step), 1e-5f);
            EXPECT_NEAR(tool.DepositProfile()[i], Approach(0.0f, 1.0f, 0.05f, 49, step), 1e-5f);
            EXPECT_EQ(tool.DepositProfile()[99 - i], tool.DepositProfile()[i]);
        }
        // Never the current colour, and no paint of its own.
        for (int32_t i = 0; i < 100; ++i) {
            ASSERT_EQ(uint32_t(tool.BrushLoad()[i]), 0u);
            ASSERT_EQ(tool.BristlePaint()[i], 0u);
        }
    }

    KnifeTool tool;
    Make(tool, eToolPaletteKnife, 0.3f);
    tool.SetToolStyle(1);
    ASSERT_EQ(tool.SetFirstPt(Pt(1, 1, 0), 0), eNoError);
    for (int32_t i = 0; i < 100; ++i) {
        EXPECT_EQ(tool.DepositProfile()[i], float(i) * (1.0f / 99.0f));
        EXPECT_EQ(tool.PickUpProfile()[i], 1.0f - tool.DepositProfile()[i]);
    }
    EXPECT_EQ(tool.DepositProfile()[0], 0.0f);
    EXPECT_FLOAT_EQ(tool.DepositProfile()[99], 1.0f);

    // A later stroke keeps the blade as it was; a colour change empties it.
    tool.SetStrokeNum(1);
    tool.m_aBrushLoad[3] = 0x80FF0000u;
    tool.m_aPaint[3] = 0x00070009u;
    ASSERT_EQ(tool.SetFirstPt(Pt(1, 1, 0), 0), eNoError);
    EXPECT_EQ(uint32_t(tool.BrushLoad()[3]), 0x80FF0000u);
    EXPECT_EQ(tool.BristlePaint()[3], 0x00070009u);
    tool.m_fColourChanged = 1;
    ASSERT_EQ(tool.SetFirstPt(Pt(1, 1, 0), 0), eNoError);
    EXPECT_EQ(uint32_t(tool.BrushLoad()[3]), 0u);
    EXPECT_EQ(tool.BristlePaint()[3], 0u);
    EXPECT_EQ(tool.ColourChanged(), 0);
}

// ---------------------------------------------------------------------------
// Width and dab size.

TEST(WetWidth, OilOverLinearSizeAndPressure) {
    // s = sqrt(1 - (P - 1)^2); big = 25 + 20 s; mid = (35 s + 35 P) / 2;
    // small = 0.005 pr. At P = 0.5: s = 0.8660254, mid = 23.905445,
    // big = 42.320508.
    const struct {
        float lin;
        int32_t pr;
        float W;
    } cases[] = {
        {0.0f, 0, 0.0f},         {1.0f, 0, 25.0f},         {0.0f, 512, 2.56f},
        {0.3f, 512, 15.367267f}, {0.75f, 512, 33.112977f}, {1.0f, 512, 42.320508f},
        {0.0f, 1024, 5.12f},     {0.3f, 1024, 23.048f},    {0.5f, 1024, 35.0f},
        {1.0f, 1024, 45.0f},     {0.3f, 1224, 23.448f},    {1.0f, 1224, 45.0f},
    };
    for (const auto& c : cases) {
        OilTool tool;
        Make(tool, eToolOilPaint, c.lin);
        tool.m_nDabNum = 20; // past the smoothing of a stroke's start
        const float P = std::min(1.0f, float(c.pr) / 1024.0f);
        EXPECT_NEAR(tool.BrushWidth(P, c.pr), c.W, 1e-4f) << c.lin << " " << c.pr;
    }

    // The large-brush term eases in over the first 20 pieces: 45 x 0.3,
    // then 13.5 + 31.5 x 0.3.
    OilTool tool;
    Make(tool, eToolOilPaint, 1.0f);
    EXPECT_NEAR(tool.BrushWidth(1.0f, 1024), 13.5f, 1e-5f);
    EXPECT_NEAR(tool.BrushWidth(1.0f, 1024), 22.95f, 1e-5f);
}

TEST(WetWidth, KnifeIsLinearInSizeAndPressure) {
    const struct {
        float lin;
        int32_t pr;
        float W;
    } cases[] = {{0.0f, 0, 10.0f}, {0.3f, 512, 23.0f}, {1.0f, 1024, 52.0f}, {1.0f, 1224, 52.0f}};
    for (const auto& c : cases) {
        KnifeTool tool;
        Make(tool, eToolPaletteKnife, c.lin);
        const float P = std::min(1.0f, float(c.pr) / 1024.0f);
        EXPECT_NEAR(tool.BrushWidth(P, c.pr), c.W, 1e-5f);
        EXPECT_NEAR(tool.BrushWidth(P, c.pr), c.W, 1e-5f); // no smoothing
    }
}

TEST(WetDabSize, OilBandsAndTheKnifesFixedSize) {
    const struct {
        float lin;
        int32_t pr;
        int32_t D;
    } oil[] = {
        // lin < 0.25: round(pr / 100).
        {0.1f, 1000, 10},
        {0.1f, 0, 0},
        // 0.25..0.5: 10 + round(0.2 x (50 - 10)); 0 + round(0.2 x 25).
        {0.3f, 1000, 18},
        {0.3f, 0, 5},
        // 0.5..0.75: 50 + round(0.4 x (69 - 50)); 25 + round(0.4 x 15).
        {0.6f, 1000, 58},
        {0.6f, 0, 31},
        // from 0.75: round(pr x 0.02924) + 40.
        {0.9f, 1000, 69},
        {1.0f, 1224, 76},
    };
    for (const auto& c : oil) {
        OilTool tool;
        Make(tool, eToolOilPaint, c.lin);
        EXPECT_EQ(tool.DabSize(c.pr), c.D) << c.lin << " " << c.pr;
    }
    const struct {
        float lin;
        int32_t D;
    } knife[] = {{0.0f, 12}, {0.3f, 24}, {1.0f, 52}};
    for (const auto& c : knife) {
        KnifeTool tool;
        Make(tool, eToolPaletteKnife, c.lin);
        EXPECT_EQ(tool.DabSize(0), c.D);
        EXPECT_EQ(tool.DabSize(1224), c.D);
    }
}

// ---------------------------------------------------------------------------
// SetColour: the exchange of paint between a bristle and a pixel.

struct PaintCase {
    float P;
    float pickUp;
    uint32_t paint; // reservoir << 16 | load
    uint32_t depth;
    uint32_t expected;
};

TEST(KnifeSetColour, BothDepthBranchesAndBothCaps) {
    // laid = round(m x 0.7 x (1 - 0.3 P)): at P = 0.4 (cap 300) 300 x 0.7 x
    // 0.88 = 184.8, at P = 0.9 (cap 450) 450 x 0.7 x 0.73 = 229.95.
    const PaintCase cases[] = {
        // depth < T = 1330: t = 1330 - 300 = 1030; reservoir 730 + 115.
        {0.4f, 1.0f, (1000u << 16) | 330u, 200, (845u << 16) | 185u},
        // depth >= T = 100: t = round(80 + 500) = 580; reservoir 280 + 115.
        {0.4f, 1.0f, 100u, 500, (395u << 16) | 185u},
        // cap 450: t = 1000 - 450 = 550; reservoir 100 + 220.
        {0.9f, 1.0f, 1000u << 16, 0, (320u << 16) | 230u},
        // t = 1000 from the canvas alone; reservoir 550 + 220.
        {0.9f, 0.5f, 0u, 1000, (770u << 16) | 230u},
        // a thin canvas under a half pick-up: t = 1330 - 0.5 x 300 = 1180.
        {0.4f, 0.5f, (1000u << 16) | 330u, 200, (995u << 16) | 185u},
    };
    for (const PaintCase& c : cases) {
        KnifeTool tool;
        Make(tool, eToolPaletteKnife, 0.3f);
        tool.m_rPressureResponse = c.P;
        tool.m_aPickUp[4] = c.pickUp;
        tool.m_aPaint[4] = c.paint;
        ASSERT_EQ(tool.SetColour(4, 0xFF102030u, c.depth), eNoError);
        EXPECT_EQ(tool.BristlePaint()[4], c.expected) << c.P << " " << c.depth;
    }
}

TEST(OilSetColour, BothDepthBranchesAndBothCapsWithTheNoise) {
    // Bristle 0 reads the noise at X = 0, Y = 0: the lattice value L(0, 0).
    const float nz = float(OilLattice(0, 0)) / 65535.0f;
    const struct {
        float P;
        uint32_t paint;
        uint32_t depth;
        int32_t t;
        int32_t cap;
    } cases[] = {
        // depth < T: t = trunc(1330 - 300 x 0.5).
        {0.5f, (1000u << 16) | 330u, 200, 1180, 300},
        // depth >= T: t = round(0.8 x 100 + 5000).
        {0.9f, 100u, 5000, 5080, 450},
        // cap 450 and a canvas thinner than the bristle: t = 1000 - 225.
        {0.9f, 1000u << 16, 0, 775, 450},
    };
    for (const auto& c : cases) {
        OilTool tool;
        Make(tool, eToolOilPaint, 0.3f);
        tool.m_rPressureResponse = c.P;
        tool.m_aPickUp[0] = 0.5f;
        tool.m_aPaint[0] = c.paint;
        ASSERT_EQ(tool.SetColour(0, 0xFF102030u, c.depth), eNoError);
        const int32_t m = std::min(c.t, c.cap);
        const int32_t laid = int32_t(std::round(float(m) * nz * ((nz - 1.0f) * c.P + 1.0f)));
        const uint32_t reservoir = uint32_t(std::max(0, c.t - c.cap) + (m - laid));
        EXPECT_EQ(tool.BristlePaint()[0], (reservoir << 16) | uint32_t(laid)) << c.P;
    }
}

TEST(WetSetColour, ColourRules) {
    // P = 0.4 and pick-up 0.5: the knife picks up alpha x 0.35, oil alpha x
    // 0.5 x the noise of bristle 0 (L(0, 0)).
    const float nz = float(OilLattice(0, 0)) / 65535.0f;
    const int32_t oilAp = int32_t(std::round(255.0f * 0.5f * nz));
    const uint32_t oilAlpha = uint32_t(std::round(255.0f * 0.9f + float(oilAp) * 0.1f));
    const struct {
        bool knife;
        uint32_t bristle, colour, depth, paint, expected;
        const char* what;
    } cases[] = {
        // ap = 89 < 255: red moves towards green by 89 / 256 per channel;
        // paint laid: opaque.
        {true, 0xFFFF0000u, 0xFF00FF00u, 200, 0, 0xFFA65900u, "picks up into a loaded bristle"},
        // An empty bristle takes the colour whole, made opaque.
        {true, 0u, 0xC800FF00u, 200, 0, 0xFF00FF00u, "fills an empty bristle"},
        {false, 0u, 0xC800FF00u, 200, 0, 0xFF00FF00u, "oil fills an empty bristle"},
        // Depth 0: the knife still takes colour, without making it opaque.
        {true, 0u, 0xC800FF00u, 0, 0, 0xC800FF00u, "knife takes colour without depth"},
        // ap = 35: blended by 35 / 256, nothing laid, so alpha
        // round(255 x 0.9 + 35 x 0.1) = 233.
        {true, 0xFFFF0000u, 0x6400FF00u, 0, 0, 0xE9DC2300u, "knife fades a loaded bristle"},
        // Oil at depth 0 changes only the alpha.
        {false, 0u, 0xC800FF00u, 0, 0, 0u, "oil takes no colour without depth"},
        {false, 0xFFFF0000u, 0xFF00FF00u, 0, 0, (oilAlpha << 24) | 0xFF0000u,
         "oil fades a loaded bristle"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.knife) {
            KnifeTool tool;
            Make(tool, eToolPaletteKnife, 0.3f);
            tool.m_rPressureResponse = 0.4f;
            tool.m_aPickUp[0] = 0.5f;
            tool.m_aPaint[0] = c.paint;
            tool.m_aBrushLoad[0] = c.bristle;
            ASSERT_EQ(tool.SetColour(0, c.colour, c.depth), eNoError);
            EXPECT_EQ(uint32_t(tool.BrushLoad()[0]), c.expected);
        } else {
            OilTool tool;
            Make(tool, eToolOilPaint, 0.3f);
            tool.m_rPressureResponse = 0.4f;
            tool.m_aPickUp[0] = 0.5f;
            tool.m_aPaint[0] = c.paint;
            tool.m_aBrushLoad[0] = c.bristle;
            ASSERT_EQ(tool.SetColour(0, c.colour, c.depth), eNoError);
            EXPECT_EQ(uint32_t(tool.BrushLoad()[0]), c.expected);
        }
    }
}

TEST(WetSetColour, OilAtDepthZeroChangesOnlyTheBristlesAlpha) {
    uint32_t seed = 12345u;
    auto next = [&] { return seed = seed * 1664525u + 1013904223u; };
    for (int32_t k = 0; k < 500; ++k) {
        OilTool tool;
        Make(tool, eToolOilPaint, float(next() % 101u) / 100.0f);
        tool.m_rPressureResponse = float(next() % 1025u) / 1024.0f;
        tool.m_nNoisePosition = next();
        const int32_t i = int32_t(next() % 100u);
        const uint32_t before = next();
        tool.m_aBrushLoad[i] = before;
        tool.m_aPaint[i] = next() & 0x3FFF03FFu;
        ASSERT_EQ(tool.SetColour(i, next(), 0), eNoError);
        ASSERT_EQ(uint32_t(tool.BrushLoad()[i]) & 0xFFFFFFu, before & 0xFFFFFFu) << k;
    }
}

// ---------------------------------------------------------------------------
// AveragePaint.

TEST(WetAveragePaint, OilAveragesNeighboursAndAThirdIs0333) {
    OilTool tool;
    Make(tool, eToolOilPaint, 0.3f);
    for (int32_t i = 0; i < 100; ++i) {
        tool.m_aPaint[i] = 77u;
        tool.m_aBrushLoad[i] = 0u;
    }
    for (int32_t i : {0, 1, 10, 11, 12}) {
        tool.m_aPaint[i] = (1000u << 16) | 77u;
    }
    tool.m_aBrushLoad[5] = 0xFFFF0000u;
    ASSERT_EQ(tool.AveragePaint(), eNoError);
    auto reservoir = [&](int32_t i) { return tool.BristlePaint()[i] >> 16; };
    EXPECT_EQ(reservoir(11), 999u); // round(3000 x 0.333)
    EXPECT_EQ(reservoir(10), 666u);
    EXPECT_EQ(reservoir(9), 333u);
    EXPECT_EQ(reservoir(0), 1000u); // the ends: round(2000 x 0.5)
    EXPECT_EQ(reservoir(1), 666u);
    for (int32_t i = 0; i < 100; ++i) {
        ASSERT_EQ(tool.BristlePaint()[i] & 0xFFFFu, 77u); // loads kept
    }
    // Colour: the two neighbours, not the bristle itself.
    EXPECT_EQ(uint32_t(tool.BrushLoad()[4]), 0x80800000u);
    EXPECT_EQ(uint32_t(tool.BrushLoad()[6]), 0x80800000u);
    EXPECT_EQ(uint32_t(tool.BrushLoad()[5]), 0u);
}

TEST(WetAveragePaint, KnifeEmptyNeighboursDoNotDilute) {
    KnifeTool tool;
    Make(tool, eToolPaletteKnife, 0.3f);
    for (int32_t i = 0; i < 100; ++i) {
        tool.m_aPaint[i] = 77u;
        tool.m_aBrushLoad[i] = i < 20 ? 0u : 0xFF204060u;
    }
    tool.m_aBrushLoad[5] = 0xFFFF0000u;
    tool.m_aPaint[5] = (900u << 16) | 77u;
    for (int32_t i : {30, 31, 32}) {
        tool.m_aPaint[i] = (1000u << 16) | 77u;
    }
    tool.m_aBrushLoad[40] = 0xFF000000u;
    ASSERT_EQ(tool.AveragePaint(), eNoError);
    // Left neighbour empty: the right one's colour and half its reservoir.
    EXPECT_EQ(uint32_t(tool.BrushLoad()[4]), 0xFFFF0000u);
    EXPECT_EQ(tool.BristlePaint()[4], (450u << 16) | 77u);
    EXPECT_EQ(uint32_t(tool.BrushLoad()[5]), 0u); // both neighbours empty
    // Right neighbour empty: the left one's.
    EXPECT_EQ(uint32_t(tool.BrushLoad()[6]), 0xFFFF0000u);
    EXPECT_EQ(tool.BristlePaint()[6], (450u << 16) | 77u);
    // Both loaded: the mean colour and a third of three reservoirs.
    EXPECT_EQ(tool.BristlePaint()[31], (999u << 16) | 77u);
    EXPECT_EQ(uint32_t(tool.BrushLoad()[41]), 0xFF102030u);
}

// ---------------------------------------------------------------------------
// RenderDab: pieces, protection, spans, turns.

class WetPieces : public WetCanvas {};

TEST_F(WetPieces, TheFirstRenderDabRecordsAndTheSecondPaints) {
    m_Canvas.SetColour(0xFFC02010u);
    OilTool tool;
    Make(tool, eToolOilPaint, 0.3f);
    Attach(tool);
    m_Canvas.Canvas().ResetInvLut();
    const CLayerSet before = m_Canvas.CopyAll();

    // As the engine calls it: the first stroke point is also the previous
    // point, and the previous edge is that point at both ends, so the first
    // piece has no area.
    for (const CPaintTool::pointStruct& first :
         {Pt(40, 50, 512), Pt(40, 50, 512, 0.6f, 0.8f), Pt(40, 50, 512, -0.28f, 0.96f)}) {
        OilTool probe;
        Make(probe, eToolOilPaint, 0.3f);
        Attach(probe);
        ASSERT_EQ(probe.SetFirstPt(first, 0), eNoError);
        probe.m_PreviousPoint = first;
        gCRect ignored;
        ASSERT_EQ(probe.RenderDab(first, ignored, &m_Canvas.Canvas()), eNoError);
        EXPECT_EQ(m_Canvas.CopyAll(), before);
    }

    ASSERT_EQ(tool.SetFirstPt(Pt(40, 50, 0), 0), eNoError);
    tool.m_PreviousPoint = Pt(40, 50, 512);
    gCRect rect;
    ASSERT_EQ(tool.RenderDab(Pt(40, 50, 512), rect, &m_Canvas.Canvas()), eNoError);
    EXPECT_EQ(m_Canvas.CopyAll(), before);
    EXPECT_EQ(tool.DabNum(), 1);
    EXPECT_EQ(tool.NoisePos(), 16u); // round(0.5 x 20 + 5.5)
    // W = 2.56 + (23.905445 - 2.56) x 0.6 at lin 0.3 and pressure 512.
    const float W = 15.367267f;
    EXPECT_EQ(tool.PreviousEdge()[0], 40.0f);
    EXPECT_NEAR(tool.PreviousEdge()[1], 50.0f + W, 1e-4f);
    EXPECT_NEAR(tool.PreviousEdge()[3], 50.0f - W, 1e-4f);
    EXPECT_EQ(tool.PreviousPressureResponse(), 0.5f);

    tool.m_PreviousPoint = Pt(40, 50, 512);
    m_Canvas.Canvas().ResetInvLut();
    ASSERT_EQ(tool.RenderDab(Pt(60, 50, 512), rect, &m_Canvas.Canvas()), eNoError);
    EXPECT_EQ(tool.DabNum(), 2);
    EXPECT_EQ(tool.NoisePos(), 32u);
    // x 40..60 and y 50 -+ W rounded, grown by 2, then by 1 (exclusive).
    EXPECT_EQ(rect, gCRect(37, 32, 63, 68));
    // The rows written are marked with their ring, inside the rect.
    EXPECT_TRUE(m_Canvas.MarksCoverChanges(before));
    EXPECT_TRUE(m_Canvas.MarksInside(rect));
    const CLayerSet after = m_Canvas.CopyAll();
    int32_t changed = 0;
    for (int32_t y = 0; y < m_Canvas.Height(); ++y) {
        for (int32_t x = 0; x < m_Canvas.Width(); ++x) {
            const size_t k = size_t(y) * size_t(m_Canvas.Width()) + size_t(x);
            bool differs = false;
            for (int32_t l = 0; l < 4; ++l) {
                differs = differs || after[l][k] != before[l][k];
            }
            if (!differs) {
                continue;
            }
            ++changed;
            EXPECT_TRUE(x >= rect.left && x < rect.right && y >= rect.top && y < rect.bottom)
                << x << ", " << y;
            EXPECT_EQ(after[2][k], (after[1][k] & 0xFFFFu) * 65537u);
            EXPECT_EQ(after[3][k], before[3][k]);
        }
    }
    EXPECT_GT(changed, 200);
    // The middle of the piece carries the brush's colour.
    EXPECT_EQ(m_Canvas.Pixel(0, 50, 50) & 0xFFFFFFu, 0xC02010u);
    EXPECT_GT(A(m_Canvas.Pixel(0, 50, 50)), 0u);
    EXPECT_GT(Depth(50, 50), 0u);
}

TEST_F(WetPieces, ATurnOfMoreThan88DegreesPaintsAFadingPieceAndFlipsTheBrush) {
    const struct {
        float degrees;
        bool turns;
    } cases[] = {{0.0f, false}, {80.0f, false}, {100.0f, true}, {180.0f, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.degrees);
        CStrokeCanvas canvas(160, 100);
        ASSERT_TRUE(canvas.IsReady());
        OilTool tool;
        Make(tool, eToolOilPaint, 0.3f);
        CCanvas& cv = canvas.Canvas();
        ASSERT_EQ(tool.SetSources(cv.Layer(0), cv.Layer(1), cv.Layer(2), cv.Layer(3)), eNoError);
        ASSERT_EQ(tool.SetFirstPt(Pt(40, 50, 0), 0), eNoError);
        tool.m_PreviousPoint = Pt(40, 50, 1024);
        gCRect rect;
        ASSERT_EQ(tool.RenderDab(Pt(40, 50, 1024), rect, &cv), eNoError);
        tool.m_PreviousPoint = Pt(40, 50, 1024);
        ASSERT_EQ(tool.RenderDab(Pt(60, 50, 1024), rect, &cv), eNoError);
        tool.m_PreviousPoint = Pt(60, 50, 1024);
        const CLayerWords before = canvas.Copy(0);
        const float a = c.degrees * 3.14159265f / 180.0f;
        const float dx = std::cos(a), dy = std::sin(a);
        const CPaintTool::pointStruct p = Pt(60 + 10 * dx, 50 + 10 * dy, 1024, dx, dy);
        ASSERT_EQ(tool.RenderDab(p, rect, &cv), eNoError);

        // round(1 x 20 + 5.5) per piece.
        EXPECT_EQ(tool.DabNum(), c.turns ? 4 : 3);
        EXPECT_EQ(tool.NoisePos(), c.turns ? 104u : 78u);
        EXPECT_EQ(tool.ProfileFlip(), c.turns ? 1 : 0);
        // Past the previous point, half a width ahead along its direction,
        // only the turn piece paints.
        bool ahead = false;
        for (int32_t y = 45; y <= 55; ++y) {
            for (int32_t x = 64; x <= 70; ++x) {
                ahead = ahead || canvas.Pixel(0, x, y) != before[size_t(y) * 160u + size_t(x)];
            }
        }
        if (c.degrees > 90.0f) {
            EXPECT_TRUE(ahead);
        }
    }
}

TEST_F(WetPieces, AMissingCanvasOrLayerIsOutOfMemoryAndPaintsNothing) {
    OilTool tool;
    Make(tool, eToolOilPaint, 0.3f);
    gCRect rect;
    ASSERT_EQ(tool.SetFirstPt(Pt(40, 50, 0), 0), eNoError);
    EXPECT_EQ(tool.RenderDab(Pt(40, 50, 512), rect, &m_Canvas.Canvas()), eOutOfMemory);
    EXPECT_EQ(tool.Dab(Pt(40, 50, 512), rect, &m_Canvas.Canvas()), eOutOfMemory);
    Attach(tool);
    EXPECT_EQ(tool.RenderDab(Pt(40, 50, 512), rect, nullptr), eOutOfMemory);
    EXPECT_EQ(tool.Dab(Pt(40, 50, 512), rect, nullptr), eOutOfMemory);
}

// ---------------------------------------------------------------------------
// Dab.

class WetDabs : public WetCanvas {
protected:
    WetDabs() : WetCanvas(200, 200) {}
};

TEST_F(WetDabs, TheBoxFollowsTheSizeBands) {
    const struct {
        bool knife;
        float lin;
        int32_t D;
    } cases[] = {{false, 0.1f, 10}, {false, 0.3f, 18}, {false, 0.6f, 58},
                 {false, 0.9f, 69}, {true, 0.0f, 12},  {true, 1.0f, 52}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.lin);
        gCRect rect;
        const CPaintTool::pointStruct p = Pt(100, 100, 1000);
        const int32_t H = int32_t(std::round(float(c.D) * (1000.0f / 1024.0f * 0.3f + 0.3f)));
        int32_t reach = H;
        if (c.knife) {
            KnifeTool tool;
            Make(tool, eToolPaletteKnife, c.lin);
            Attach(tool);
            ASSERT_EQ(tool.SetFirstPt(p, 1), eNoError);
            ASSERT_EQ(tool.Dab(p, rect, &m_Canvas.Canvas()), eNoError);
            reach = 2 * H + 10;
        } else {
            OilTool tool;
            Make(tool, eToolOilPaint, c.lin);
            Attach(tool);
            ASSERT_EQ(tool.SetFirstPt(p, 1), eNoError);
            ASSERT_EQ(tool.Dab(p, rect, &m_Canvas.Canvas()), eNoError);
        }
        EXPECT_EQ(rect, gCRect(100 - reach - 3, 100 - c.D - 3, 100 + reach + 3, 100 + c.D + 3));
    }
}

TEST_F(WetDabs, APixelChangesOnlyOnceAStroke) {
    m_Canvas.SetColour(0xFF3060C0u);
    OilTool tool;
    Make(tool, eToolOilPaint, 0.6f);
    Attach(tool);
    const CPaintTool::pointStruct p = Pt(100, 100, 900, 0.6f, 0.8f);
    ASSERT_EQ(tool.SetFirstPt(p, 1), eNoError);
    gCRect rect;
    const CLayerSet clean = m_Canvas.CopyAll();
    ASSERT_EQ(tool.Dab(p, rect, &m_Canvas.Canvas()), eNoError);
    const CLayerSet once = m_Canvas.CopyAll();
    EXPECT_NE(once[0], clean[0]);
    EXPECT_EQ(once[2], clean[2]); // a dab leaves L2
    size_t marked = 0;
    for (size_t k = 0; k < once[3].size(); ++k) {
        EXPECT_EQ(once[3][k] & 0xFFFFu, clean[3][k] & 0xFFFFu);
        EXPECT_LE(once[3][k] >> 16, 1u);
        marked += once[3][k] >> 16;
        if (once[0][k] != clean[0][k] || once[1][k] != clean[1][k]) {
            EXPECT_EQ(once[3][k] >> 16, 1u);
        }
    }
    EXPECT_GT(marked, 100u);

    ASSERT_EQ(tool.Dab(Pt(103, 101, 1024, 0.6f, 0.8f), rect, &m_Canvas.Canvas()), eNoError);
    const CLayerSet twice = m_Canvas.CopyAll();
    for (size_t k = 0; k < once[3].size(); ++k) {
        if (once[3][k] >> 16) {
            ASSERT_EQ(twice[0][k], once[0][k]) << k;
            ASSERT_EQ(twice[1][k], once[1][k]) << k;
        }
    }

    ASSERT_EQ(tool.DabEnd(), eNoError);
    for (size_t k = 0; k < once[3].size(); ++k) {
        ASSERT_EQ(m_Canvas.Layer(3)[k], clean[3][k]);
    }
}

// Paint of load 0 on grain: the laid alpha follows the pixel's height within
// the dab's range; where the lowest height is 0 the surface does not show.
TEST_F(WetDabs, ThinPaintShowsOnTheGrainsPeaks) {
    for (const uint32_t floor : {10u, 0u}) {
        SCOPED_TRACE(floor);
        CStrokeCanvas canvas(200, 200);
        ASSERT_TRUE(canvas.IsReady());
        for (int32_t y = 0; y < 200; ++y) {
            for (int32_t x = 0; x < 200; ++x) {
                const uint32_t g = floor + uint32_t(x * 3 + y * 5) % 90u;
                canvas.Pixel(1, x, y) = g << 16;
                canvas.Pixel(3, x, y) = g;
            }
        }
        OilTool tool;
        Make(tool, eToolOilPaint, 0.3f);
        CCanvas& cv = canvas.Canvas();
        ASSERT_EQ(tool.SetSources(cv.Layer(0), cv.Layer(1), cv.Layer(2), cv.Layer(3)), eNoError);
        const CPaintTool::pointStruct p = Pt(100, 100, 700, 1.0f, 0.0f);
        ASSERT_EQ(tool.SetFirstPt(p, 1), eNoError);
        for (int32_t i = 0; i < 100; ++i) {
            tool.m_aBrushLoad[i] = 0xFF2040F0u;
            tool.m_aPaint[i] = 0u;
            tool.m_aDeposit[i] = 1.0f;
        }
        gCRect rect;
        ASSERT_EQ(tool.Dab(p, rect, &cv), eNoError);
        uint32_t lowest = 0xFFFF, highest = 0;
        std::vector<int32_t> marked;
        for (int32_t k = 0; k < 200 * 200; ++k) {
            if (canvas.Layer(3)[k] >> 16) {
                marked.push_back(k);
                lowest = std::min(lowest, canvas.Layer(1)[k] >> 16);
                highest = std::max(highest, canvas.Layer(1)[k] >> 16);
            }
        }
        ASSERT_GT(marked.size(), 50u);
        ASSERT_GT(highest, lowest);
        for (const int32_t k : marked) {
            const uint32_t g = canvas.Layer(1)[k] >> 16;
            const uint32_t alpha = floor == 0 ? 255u : 255u * (g - lowest) / (highest - lowest);
            ASSERT_EQ(canvas.Layer(1)[k] & 0xFFFFu, 0u);
            const uint32_t expected = alpha == 0 ? 0u : (alpha << 24) | 0x2040F0u;
            ASSERT_EQ(canvas.Layer(0)[k], expected) << k;
        }
    }
}

// The same rule in a piece: paint of load 0 shows by the pixel's height
// within the box's range of heights, or fully where the lowest is 0.
TEST_F(WetPieces, ThinPaintInAPieceShowsOnTheGrainsPeaks) {
    for (const uint32_t floor : {10u, 0u}) {
        SCOPED_TRACE(floor);
        SetGrain([&](int32_t x, int32_t y) { return floor + uint32_t(x * 3 + y * 5) % 90u; });
        for (size_t k = 0; k < size_t(160 * 100); ++k) {
            m_Canvas.Layer(0)[k] = 0u;
        }
        OilTool tool;
        Make(tool, eToolOilPaint, 0.3f);
        Attach(tool);
        ASSERT_EQ(tool.SetFirstPt(Pt(40, 50, 0), 0), eNoError);
        for (int32_t i = 0; i < 100; ++i) {
            tool.m_aBrushLoad[i] = 0xFF2040F0u;
            tool.m_aPaint[i] = 0u;
            tool.m_aDeposit[i] = 1.0f;
        }
        tool.m_rPressureResponse = tool.m_rPreviousPressureResponse = 0.5f;
        // The front lies off the canvas, so nothing is picked up. Rows
        // round(30 + 0.5) = 31 to 70; columns round(40 - 0.5) = 40 to the
        // canvas's edge.
        ASSERT_EQ(tool.RenderSegment(gCRPoint(40, 70), gCRPoint(40, 30), gCRPoint(200, 70),
                                     gCRPoint(200, 30), 0),
                  eNoError);
        uint32_t lowest = 9999, highest = 0;
        for (int32_t y = 31; y <= 70; ++y) {
            for (int32_t x = 40; x < 160; ++x) {
                lowest = std::min(lowest, Grain(x, y));
                highest = std::max(highest, Grain(x, y));
            }
        }
        ASSERT_EQ(lowest, floor);
        for (int32_t y = 31; y <= 70; ++y) {
            for (int32_t x = 41; x < 160; ++x) {
                const float share = 255.0f * float(Grain(x, y) - lowest) / float(highest - lowest);
                const uint32_t alpha = floor == 0 ? 255u : uint32_t(std::round(share));
                const uint32_t expected = alpha == 0 ? 0u : (alpha << 24) | 0x2040F0u;
                ASSERT_EQ(m_Canvas.Pixel(0, x, y), expected) << x << ", " << y;
                ASSERT_EQ(Depth(x, y), 0u);
            }
        }
    }
}

// ---------------------------------------------------------------------------
// The knife's own edge cases.

class KnifePieces : public WetCanvas {};

// An empty knife over paint that has no colour: L0 stays as it was, while
// the middle of the blade (deposit 1.0) scrapes the depth down to
// clamp(lowest - height, 0, 9999).
TEST_F(KnifePieces, AnEmptyKnifeScrapesColourlessPaintWithoutColouringIt) {
    SetGrain([](int32_t x, int32_t y) { return 30u + uint32_t(x * 7 + y * 3) % 40u; });
    // The paint lies inside the piece: where the blade picks up, at either
    // end, the canvas is bare.
    m_Canvas.PaintPatch(gCRect(25, 0, 50, 100), 0u, 3000);
    m_Canvas.SetColour(0xFF0000FFu);
    KnifeTool tool;
    Make(tool, eToolPaletteKnife, 1.0f); // W = 50 at pressure 0: a broad blade
    Attach(tool);
    const CLayerWords colour = m_Canvas.Copy(0);
    const CPaintTool::pointStruct p0 = Pt(20, 50, 0), p1 = Pt(60, 50, 0);
    ASSERT_EQ(tool.SetFirstPt(p0, 0), eNoError);
    tool.m_PreviousPoint = p0;
    gCRect rect;
    ASSERT_EQ(tool.RenderDab(p0, rect, &m_Canvas.Canvas()), eNoError);
    tool.m_PreviousPoint = p0;
    const CLayerWords depthBefore = m_Canvas.Copy(1);
    ASSERT_EQ(tool.RenderDab(p1, rect, &m_Canvas.Canvas()), eNoError);
    EXPECT_EQ(m_Canvas.Copy(0), colour);

    // The piece runs from x = 20 to 60 over y = 0..100 (the blade's ends
    // 50 px either side); its box's lowest grain.
    uint32_t lowest = 9999;
    for (int32_t y = 0; y < 100; ++y) {
        for (int32_t x = 20; x <= 61; ++x) {
            lowest = std::min(lowest, depthBefore[size_t(y) * 160u + size_t(x)] >> 16);
        }
    }
    // Rows 49 and 50 lie under bristles 49 and 50, the middle of the blade.
    int32_t scraped = 0;
    for (int32_t y = 49; y <= 50; ++y) {
        for (int32_t x = 21; x < 60; ++x) {
            const int32_t grain = int32_t(Grain(x, y));
            EXPECT_EQ(Depth(x, y), uint32_t(std::clamp(int32_t(lowest) - grain, 0, 9999)))
                << x << ", " << y;
            scraped += (depthBefore[size_t(y) * 160u + size_t(x)] & 0xFFFFu) > Depth(x, y);
        }
    }
    EXPECT_GT(scraped, 40);
}

// The knife's ends fade by a fixed rule; oil paint's break up by the noise.
TEST_F(KnifePieces, KnifeEndsDoNotDependOnTheNoisePosition) {
    m_Canvas.PaintStripes(6, {0xFFD02020u, 0xFF20D020u, 0xFF2020D0u}, 800);
    for (const bool knife : {true, false}) {
        SCOPED_TRACE(knife ? "knife" : "oil");
        std::vector<CLayerSet> results;
        for (const uint32_t position : {0u, 0x9E3779B9u}) {
            CStrokeCanvas canvas(160, 100);
            ASSERT_TRUE(canvas.IsReady());
            canvas.PaintStripes(6, {0xFFD02020u, 0xFF20D020u, 0xFF2020D0u}, 800);
            CCanvas& cv = canvas.Canvas();
            const gCRPoint a0(40, 80), b0(40, 20), a1(90, 80), b1(90, 20);
            auto run = [&](auto& tool, int32_t id) {
                Make(tool, id, 0.5f);
                ASSERT_EQ(tool.SetSources(cv.Layer(0), cv.Layer(1), cv.Layer(2), cv.Layer(3)),
                          eNoError);
                ASSERT_EQ(tool.SetFirstPt(Pt(40, 50, 0), 0), eNoError);
                tool.m_nNoisePosition = position;
                tool.m_rPressureResponse = tool.m_rPreviousPressureResponse = 0.5f;
                ASSERT_EQ(tool.RenderSegment(a0, b0, a1, b1, 1), eNoError);
                ASSERT_EQ(tool.RenderSegment(a1, b1, gCRPoint(140, 80), gCRPoint(140, 20), 2),
                          eNoError);
            };
            if (knife) {
                KnifeTool tool;
                run(tool, eToolPaletteKnife);
            } else {
                OilTool tool;
                run(tool, eToolOilPaint);
            }
            results.push_back(canvas.CopyAll());
        }
        if (knife) {
            EXPECT_EQ(results[0], results[1]);
        } else {
            EXPECT_NE(results[0][0], results[1][0]);
        }
    }
}

// A straight blade (style other than 0) lays paint along one edge only: on a
// flat canvas the depth at the other edge barely moves.
TEST_F(KnifePieces, AStraightBladeDepositsFromOneEdge) {
    SetGrain([](int32_t, int32_t) { return 0u; });
    m_Canvas.PaintStripes(8, {0xFFE0A040u, 0xFF4080E0u}, 1500);
    KnifeTool tool;
    Make(tool, eToolPaletteKnife, 1.0f);
    tool.SetToolStyle(1);
    Attach(tool);
    const CPaintTool::pointStruct p0 = Pt(20, 50, 0), p1 = Pt(50, 50, 0), p2 = Pt(80, 50, 0);
    ASSERT_EQ(tool.SetFirstPt(p0, 0), eNoError);
    gCRect rect;
    for (const auto& p : {p0, p1, p2}) {
        tool.m_PreviousPoint = p0;
        ASSERT_EQ(tool.RenderDab(p, rect, &m_Canvas.Canvas()), eNoError);
    }
    // W = 50: bristle 0 (deposit 0) at the a end, y = 100; bristle 99
    // (deposit 1) at the b end, y = 0. Rows 96..99 have deposit below 0.05.
    int32_t movedNearA = 0, laidNearB = 0;
    for (int32_t x = 25; x < 78; ++x) {
        for (int32_t y = 96; y < 100; ++y) {
            movedNearA += std::abs(int32_t(Depth(x, y)) - 1500) > 75;
        }
        for (int32_t y = 1; y < 10; ++y) {
            laidNearB += Depth(x, y) < 1000u;
        }
    }
    EXPECT_EQ(movedNearA, 0);
    EXPECT_GT(laidNearB, 53 * 9 / 2);
}

// ---------------------------------------------------------------------------
// Faults built soundly.

// A front edge longer than 200 px takes round(step x 100) = 0 bristles a
// step; the walk still moves on by one bristle a step and ends.
TEST_F(WetPieces, ThePickUpWalkEndsOnAnyWidth) {
    for (int32_t y = 0; y < 100; ++y) {
        m_Canvas.PaintPatch(gCRect(10, y, 11, y + 1), 0xFF000000u | uint32_t(y * 2), 500);
    }
    OilTool tool;
    Make(tool, eToolOilPaint, 0.3f);
    Attach(tool);
    ASSERT_EQ(tool.SetFirstPt(Pt(5, 50, 0), 0), eNoError);
    for (int32_t i = 0; i < 100; ++i) {
        tool.m_aBrushLoad[i] = 0u;
    }
    tool.m_rPressureResponse = tool.m_rPreviousPressureResponse = 0.5f;
    // Front edge from (10, 0) to (10, 600): bristle j reads pixel (10, j).
    ASSERT_EQ(
        tool.RenderSegment(gCRPoint(5, 0), gCRPoint(5, 600), gCRPoint(10, 0), gCRPoint(10, 600), 0),
        eNoError);
    for (int32_t j = 0; j < 100; ++j) {
        ASSERT_EQ(uint32_t(tool.BrushLoad()[j]), 0xFF000000u | uint32_t(j * 2)) << j;
    }
}

// Grain below its reference under hard pressure would make the pick-up
// depth negative; it is read as 0, not as a huge unsigned depth.
TEST_F(WetPieces, ANegativePickUpDepthIsReadAsZero) {
    SetGrain([](int32_t, int32_t) { return 0u; });
    for (int32_t y = 0; y < 100; ++y) {
        for (int32_t x = 0; x < 160; ++x) {
            m_Canvas.Pixel(3, x, y) = 255u; // the reference above the grain
            m_Canvas.Pixel(0, x, y) = 0xFF808080u;
        }
    }
    OilTool tool, reference;
    Make(tool, eToolOilPaint, 0.3f);
    Make(reference, eToolOilPaint, 0.3f);
    Attach(tool);
    ASSERT_EQ(tool.SetFirstPt(Pt(5, 50, 0), 0), eNoError);
    ASSERT_EQ(reference.SetFirstPt(Pt(5, 50, 0), 0), eNoError);
    tool.m_rPressureResponse = tool.m_rPreviousPressureResponse = 1.0f;
    reference.m_rPressureResponse = 1.0f;
    ASSERT_EQ(
        tool.RenderSegment(gCRPoint(5, 40), gCRPoint(5, 60), gCRPoint(10, 40), gCRPoint(10, 60), 0),
        eNoError);
    ASSERT_EQ(reference.AveragePaint(), eNoError);
    for (int32_t i = 0; i < 100; ++i) {
        ASSERT_EQ(reference.SetColour(i, 0xFF808080u, 0), eNoError);
    }
    for (int32_t i = 0; i < 100; ++i) {
        ASSERT_EQ(tool.BristlePaint()[i], reference.BristlePaint()[i]) << i;
        ASSERT_LT(tool.BristlePaint()[i] >> 16, 2000u) << i;
    }
}

// A loaded canvas may carry depths up to 65535: the reservoir is held to its
// 16 bits instead of spilling into the load.
TEST(WetFaults, TheReservoirIsHeldToSixteenBits) {
    KnifeTool knife;
    Make(knife, eToolPaletteKnife, 0.3f);
    knife.m_rPressureResponse = 0.4f;
    knife.m_aPickUp[2] = 1.0f;
    knife.m_aPaint[2] = 0xFFFF0000u | 500u;
    ASSERT_EQ(knife.SetColour(2, 0xFF102030u, 65535), eNoError);
    EXPECT_EQ(knife.BristlePaint()[2], 0xFFFF0000u | 185u);

    OilTool oil;
    Make(oil, eToolOilPaint, 0.3f);
    oil.m_rPressureResponse = 0.4f;
    oil.m_aPaint[2] = 0xFFFFFFFFu;
    ASSERT_EQ(oil.SetColour(2, 0xFF102030u, 65535), eNoError);
    EXPECT_EQ(oil.BristlePaint()[2] >> 16, 0xFFFFu);
    EXPECT_LE(oil.BristlePaint()[2] & 0xFFFFu, 300u); // the load never exceeds the cap
}

// The noise position is unsigned and wraps: a dab's 50 per sample carries
// it through 2^32 as through any other value.
TEST_F(WetDabs, TheNoisePositionWraps) {
    std::vector<uint32_t> advance;
    for (const uint32_t start : {0u, 0x7FFFFF00u, 0xFFFFFF00u}) {
        OilTool tool;
        Make(tool, eToolOilPaint, 1.0f);
        Attach(tool);
        const CPaintTool::pointStruct p = Pt(100, 100, 1224, 0.8f, 0.6f);
        ASSERT_EQ(tool.SetFirstPt(p, 1), eNoError);
        tool.SetNoisePos(start);
        gCRect rect;
        ASSERT_EQ(tool.Dab(p, rect, &m_Canvas.Canvas()), eNoError);
        ASSERT_EQ(tool.DabEnd(), eNoError);
        advance.push_back(tool.NoisePos() - start);
    }
    EXPECT_EQ(advance[0] % 50u, 0u);
    EXPECT_GT(advance[0], 1000u * 50u);
    EXPECT_EQ(advance[1], advance[0]);
    EXPECT_EQ(advance[2], advance[0]);
}

} // namespace
