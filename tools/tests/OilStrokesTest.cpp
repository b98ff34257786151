// Whole strokes of oil paint and the palette knife through the stroke
// engine: a seeded fuzz of random paths that checks what the tools may write
// and that undo restores every layer, and the golden pictures.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "testsupport/imaging/Goldens.h"
#include "testsupport/paint/StrokeCanvas.h"
#include "testsupport/paint/StrokeRecipes.h"
#include "tools/tests/StrokeTestSupport.h"
#include "tools/wet/OilPaint.h"
#include "tools/wet/PaletteKnife.h"

namespace {

std::unique_ptr<CPaintTool> MakeTool(int32_t id) {
    if (id == eToolOilPaint) {
        return stroketest::MakeTool<COilPaint>(id);
    }
    return stroketest::MakeTool<CPaletteKnife>(id);
}

// Wet patches of several colours and depths over the grain; with noBlue,
// colours without any blue.
void PaintPatches(CStrokeCanvas& canvas, std::mt19937& rng, bool noBlue) {
    const int32_t w = canvas.Width(), h = canvas.Height();
    for (int32_t i = 0; i < 6; ++i) {
        const int32_t x = int32_t(rng() % uint32_t(w)), y = int32_t(rng() % uint32_t(h));
        const int32_t pw = 5 + int32_t(rng() % 60u), ph = 5 + int32_t(rng() % 50u);
        uint32_t colour = rng();
        if (noBlue) {
            colour &= 0xFFFFFF00u;
        }
        if (i % 3 == 0) {
            colour |= 0xFF000000u;
        }
        canvas.PaintPatch(gCRect(x, y, x + pw, y + ph), colour, rng() % 10000u);
    }
}

// Random paths with sharp corners and jumps past the edges, pressures up to
// 1224, linear sizes 0..1, knife styles 0..2 and the brush flipped or not,
// several strokes a tool so that the brush carries paint between them. After
// each stroke the layers keep the rules, and its undo restores all four bit
// for bit.
TEST(WetStrokeFuzz, KeepsTheLayerRulesAndUndoesBitForBit) {
    constexpr int32_t w = 120, h = 90;
    int32_t painted = 0, strokes = 0;
    for (uint32_t seed = 1; seed <= 24; ++seed) {
        SCOPED_TRACE(::testing::Message() << "seed " << seed);
        std::mt19937 rng(seed);
        CStrokeCanvas canvas(w, h, seed);
        ASSERT_TRUE(canvas.IsReady());
        PaintPatches(canvas, rng, false);
        canvas.SetColour(rng() | 0x80000000u);
        const int32_t id = seed % 2 ? eToolOilPaint : eToolPaletteKnife;
        std::unique_ptr<CPaintTool> tool = MakeTool(id);
        ASSERT_NE(tool, nullptr);
        tool->SetToolStyle(int32_t(rng() % 3u));
        tool->SetProfileFlip(int32_t(rng() % 2u));
        for (int32_t stroke = 0; stroke < 6; ++stroke) {
            tool->SetToolLinearSize(float(rng() % 1001u) / 1000.0f);
            const int32_t n = 1 + int32_t(rng() % 40u);
            const CStroke path = StrokeRecipes::RandomWalk(rng(), n, double(w), double(h));
            const CLayerSet before = canvas.CopyAll();
            CLayerSet after;
            ASSERT_TRUE(canvas.StrokeKeepsRules(*tool, path, EToolWrites::eWetPaint, &after))
                << "stroke " << stroke << ", linear size " << tool->ToolLinearSize() << "\n"
                << StrokeRecipes::ToText(path);
            ++strokes;
            painted += after[0] != before[0] ? 1 : 0;
            // Every other stroke stays (put back after its undo), so that
            // later strokes paint over paint the tools made.
            if (stroke % 2 != 0) {
                for (int32_t i = 0; i < 4; ++i) {
                    std::copy(after[size_t(i)].begin(), after[size_t(i)].end(), canvas.Layer(i));
                }
            }
        }
    }
    EXPECT_GT(painted, strokes * 3 / 4);
}

// The knife never takes the current colour: pure blue over a canvas without
// blue leaves no blue anywhere.
TEST(WetStrokeFuzz, TheKnifeNeverLaysTheCurrentColour) {
    for (uint32_t seed = 100; seed < 112; ++seed) {
        SCOPED_TRACE(::testing::Message() << "seed " << seed);
        std::mt19937 rng(seed);
        CStrokeCanvas canvas(120, 90, seed);
        ASSERT_TRUE(canvas.IsReady());
        PaintPatches(canvas, rng, true);
        canvas.SetColour(0xFF0000FFu);
        std::unique_ptr<CPaintTool> tool = MakeTool(eToolPaletteKnife);
        ASSERT_NE(tool, nullptr);
        tool->SetToolStyle(int32_t(rng() % 3u));
        for (int32_t stroke = 0; stroke < 4; ++stroke) {
            tool->SetToolLinearSize(float(rng() % 1001u) / 1000.0f);
            const CStroke path =
                StrokeRecipes::RandomWalk(rng(), 2 + int32_t(rng() % 40u), 120.0, 90.0);
            ASSERT_EQ(canvas.Run(*tool, path), eNoError);
            for (size_t k = 0; k < size_t(120 * 90); ++k) {
                ASSERT_EQ(canvas.Layer(0)[k] & 0xFFu, 0u) << k;
            }
        }
    }
}

// ---------------------------------------------------------------------------
// Goldens: a figure-eight, a zig-zag with 100 degree turns, a click and a
// flick, at linear sizes 0, 0.3 and 1, on the test grain (seed 1) of a
// 200 x 150 canvas under vertical stripes of wet paint (red, yellow, green,
// 12 px wide, depth 400); a new tool (stroke number 0, noise position 0, not
// flipped), style 0, pressure weight 0.5 (the identity), colour blue.

const std::vector<SGoldenCrc> kWetGoldens = {
    {"oil-figure8-lin0", 0x20FA0086u},         {"oil-figure8-lin0-L0", 0xAA730DF6u},
    {"oil-figure8-lin0-L1", 0xED0E463Du},      {"oil-figure8-lin0-L2", 0xD066A122u},
    {"oil-figure8-lin0-L3", 0x20941E15u},      {"oil-figure8-lin3", 0x22D5C608u},
    {"oil-figure8-lin3-L0", 0x75F248D8u},      {"oil-figure8-lin3-L1", 0x145C757Cu},
    {"oil-figure8-lin3-L2", 0xCB2C31A6u},      {"oil-figure8-lin3-L3", 0x20941E15u},
    {"oil-figure8-lin10", 0xBD8BA5E8u},        {"oil-figure8-lin10-L0", 0x84BD1323u},
    {"oil-figure8-lin10-L1", 0x299F1911u},     {"oil-figure8-lin10-L2", 0x0EF0439Eu},
    {"oil-figure8-lin10-L3", 0x20941E15u},     {"oil-zigzag100-lin0", 0xA5E6B677u},
    {"oil-zigzag100-lin0-L0", 0x0E38EE6Eu},    {"oil-zigzag100-lin0-L1", 0xF2175704u},
    {"oil-zigzag100-lin0-L2", 0x51A6C2E6u},    {"oil-zigzag100-lin0-L3", 0x20941E15u},
    {"oil-zigzag100-lin3", 0x623A9142u},       {"oil-zigzag100-lin3-L0", 0xA33246D8u},
    {"oil-zigzag100-lin3-L1", 0x4EE08EE2u},    {"oil-zigzag100-lin3-L2", 0xD3C13D4Eu},
    {"oil-zigzag100-lin3-L3", 0x20941E15u},    {"oil-zigzag100-lin10", 0xF9A087A5u},
    {"oil-zigzag100-lin10-L0", 0x33721663u},   {"oil-zigzag100-lin10-L1", 0x4F92294Bu},
    {"oil-zigzag100-lin10-L2", 0xB8B2880Bu},   {"oil-zigzag100-lin10-L3", 0x20941E15u},
    {"oil-click-lin0", 0x7A3975EFu},           {"oil-click-lin0-L0", 0x1B190120u},
    {"oil-click-lin0-L1", 0xC8144582u},        {"oil-click-lin0-L2", 0x9B7694C1u},
    {"oil-click-lin0-L3", 0x20941E15u},        {"oil-click-lin3", 0x04E9124Fu},
    {"oil-click-lin3-L0", 0x0CD8E8CBu},        {"oil-click-lin3-L1", 0xE81BB60Du},
    {"oil-click-lin3-L2", 0x9B7694C1u},        {"oil-click-lin3-L3", 0x20941E15u},
    {"oil-click-lin10", 0xE0BA08BCu},          {"oil-click-lin10-L0", 0x1DCACF4Fu},
    {"oil-click-lin10-L1", 0xA7D1BC5Bu},       {"oil-click-lin10-L2", 0x9B7694C1u},
    {"oil-click-lin10-L3", 0x20941E15u},       {"oil-flick-lin0", 0x92CFC3DFu},
    {"oil-flick-lin0-L0", 0x01CFF3F8u},        {"oil-flick-lin0-L1", 0x874EDB5Bu},
    {"oil-flick-lin0-L2", 0x9B7694C1u},        {"oil-flick-lin0-L3", 0x20941E15u},
    {"oil-flick-lin3", 0x155CA247u},           {"oil-flick-lin3-L0", 0xA19CB194u},
    {"oil-flick-lin3-L1", 0xA322F53Fu},        {"oil-flick-lin3-L2", 0x9B7694C1u},
    {"oil-flick-lin3-L3", 0x20941E15u},        {"oil-flick-lin10", 0x59C3256Bu},
    {"oil-flick-lin10-L0", 0x3724A540u},       {"oil-flick-lin10-L1", 0x4B4D35F9u},
    {"oil-flick-lin10-L2", 0x9B7694C1u},       {"oil-flick-lin10-L3", 0x20941E15u},
    {"knife-figure8-lin0", 0xFB0FAB23u},       {"knife-figure8-lin0-L0", 0xCCB4CBD8u},
    {"knife-figure8-lin0-L1", 0x693B5D8Au},    {"knife-figure8-lin0-L2", 0xB08243CFu},
    {"knife-figure8-lin0-L3", 0x20941E15u},    {"knife-figure8-lin3", 0xE6C3FE89u},
    {"knife-figure8-lin3-L0", 0xDC2526F4u},    {"knife-figure8-lin3-L1", 0x9EFC1927u},
    {"knife-figure8-lin3-L2", 0x5E00F845u},    {"knife-figure8-lin3-L3", 0x20941E15u},
    {"knife-figure8-lin10", 0x8D8EC313u},      {"knife-figure8-lin10-L0", 0x5CA82390u},
    {"knife-figure8-lin10-L1", 0x7B01ABFAu},   {"knife-figure8-lin10-L2", 0xB59519A0u},
    {"knife-figure8-lin10-L3", 0x20941E15u},   {"knife-zigzag100-lin0", 0x8A0430DBu},
    {"knife-zigzag100-lin0-L0", 0xE4E64F6Au},  {"knife-zigzag100-lin0-L1", 0xE22A9ED9u},
    {"knife-zigzag100-lin0-L2", 0x4A319635u},  {"knife-zigzag100-lin0-L3", 0x20941E15u},
    {"knife-zigzag100-lin3", 0x00E130F9u},     {"knife-zigzag100-lin3-L0", 0x87126660u},
    {"knife-zigzag100-lin3-L1", 0x8B9563E1u},  {"knife-zigzag100-lin3-L2", 0x7A9CF17Bu},
    {"knife-zigzag100-lin3-L3", 0x20941E15u},  {"knife-zigzag100-lin10", 0x005E5543u},
    {"knife-zigzag100-lin10-L0", 0x24FF00B8u}, {"knife-zigzag100-lin10-L1", 0xD7308559u},
    {"knife-zigzag100-lin10-L2", 0xC64AE91Cu}, {"knife-zigzag100-lin10-L3", 0x20941E15u},
    {"knife-click-lin0", 0x0ED5C59Du},         {"knife-click-lin0-L0", 0x97E12E9Fu},
    {"knife-click-lin0-L1", 0x20BA6716u},      {"knife-click-lin0-L2", 0x9B7694C1u},
    {"knife-click-lin0-L3", 0x20941E15u},      {"knife-click-lin3", 0x7D442E6Fu},
    {"knife-click-lin3-L0", 0x97E12E9Fu},      {"knife-click-lin3-L1", 0xFB30BA5Bu},
    {"knife-click-lin3-L2", 0x9B7694C1u},      {"knife-click-lin3-L3", 0x20941E15u},
    {"knife-click-lin10", 0x42618DB2u},        {"knife-click-lin10-L0", 0x97E12E9Fu},
    {"knife-click-lin10-L1", 0xFDECA5B1u},     {"knife-click-lin10-L2", 0x9B7694C1u},
    {"knife-click-lin10-L3", 0x20941E15u},     {"knife-flick-lin0", 0xA6DD466Du},
    {"knife-flick-lin0-L0", 0x97E12E9Fu},      {"knife-flick-lin0-L1", 0x0664EFC9u},
    {"knife-flick-lin0-L2", 0x9B7694C1u},      {"knife-flick-lin0-L3", 0x20941E15u},
    {"knife-flick-lin3", 0x63240B0Fu},         {"knife-flick-lin3-L0", 0x97E12E9Fu},
    {"knife-flick-lin3-L1", 0xFE16C661u},      {"knife-flick-lin3-L2", 0x9B7694C1u},
    {"knife-flick-lin3-L3", 0x20941E15u},      {"knife-flick-lin10", 0x9DEEDDF7u},
    {"knife-flick-lin10-L0", 0x97E12E9Fu},     {"knife-flick-lin10-L1", 0x83EECEF3u},
    {"knife-flick-lin10-L2", 0x9B7694C1u},     {"knife-flick-lin10-L3", 0x20941E15u},
};

using stroketest::SGoldenCase;

std::string CaseName(const SGoldenCase& c) {
    return stroketest::GoldenName(c.tool == eToolOilPaint ? "oil" : "knife", c);
}

class WetGoldens : public ::testing::TestWithParam<SGoldenCase> {};

TEST_P(WetGoldens, MatchesItsPictures) {
    const SGoldenCase& c = GetParam();
    CStrokeCanvas canvas(200, 150, 1);
    ASSERT_TRUE(canvas.IsReady());
    canvas.PaintStripes(12, {0xFFD02818u, 0xFFE8C020u, 0xFF30A040u}, 400);
    canvas.SetColour(0xFF1838C8u);
    std::unique_ptr<CPaintTool> tool = MakeTool(c.tool);
    ASSERT_NE(tool, nullptr);
    tool->SetToolLinearSize(float(c.linear) / 10.0f);
    ASSERT_EQ(canvas.Run(*tool, stroketest::GoldenStroke(c.recipe)), eNoError);
    EXPECT_STROKE_GOLDENS(canvas, CaseName(c), kWetGoldens);
}

INSTANTIATE_TEST_SUITE_P(
    Wet, WetGoldens,
    ::testing::ValuesIn(stroketest::GoldenCases({eToolOilPaint, eToolPaletteKnife}, 4)),
    [](const auto& info) { return stroketest::TestName(CaseName(info.param)); });

} // namespace
