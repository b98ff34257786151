// Whole strokes of the second engine's oil brush: a seeded fuzz of random
// walks that checks it writes L0 alone and that undo restores it bit for
// bit, and the golden pictures beside the first oil's.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "testsupport/foundation/FakeClock.h"
#include "testsupport/imaging/Goldens.h"
#include "testsupport/paint/StrokeCanvas.h"
#include "testsupport/paint/StrokeRecipes.h"
#include "tools/wet/OilPaintNew.h"

namespace {

// Patches of several colours over the canvas, some half transparent, and
// pixels of alpha 0 scattered among them.
void PaintFuzzCanvas(CStrokeCanvas& canvas, std::mt19937& rng) {
    const int32_t w = canvas.Width(), h = canvas.Height();
    if (rng() % 2u) {
        const uint32_t a = uint32_t(rng()) | 0xFF000000u, b = uint32_t(rng()), c = uint32_t(rng());
        canvas.PaintStripes(3 + int32_t(rng() % 9u), {a, b, c}, 300);
    }
    for (int32_t i = 0; i < 5; ++i) {
        const int32_t x = int32_t(rng() % uint32_t(w)), y = int32_t(rng() % uint32_t(h));
        const int32_t pw = 3 + int32_t(rng() % 40u), ph = 3 + int32_t(rng() % 30u);
        const uint32_t colour = uint32_t(rng()) | (i % 2 ? 0xFF000000u : 0u);
        canvas.PaintPatch(gCRect(x, y, x + pw, y + ph), colour, uint32_t(rng() % 10000u));
    }
    for (int32_t i = 0; i < 60; ++i) {
        canvas.Pixel(0, int32_t(rng() % uint32_t(w)), int32_t(rng() % uint32_t(h))) &= 0x00FFFFFFu;
    }
}

// Random walks with pressures stretched to -50..3000 (past both ends of the
// scale), sizes 0..1, sharp turns and jumps past the edges; several strokes
// a brush so that its wells carry paint between them; the fake clock moves
// a little between strokes.
TEST(OilNewStrokeFuzz, WritesL0AloneAndUndoesBitForBit) {
    CFakeClock clock;
    int32_t painted = 0, strokes = 0;
    for (uint32_t seed = 1; seed <= 20; ++seed) {
        SCOPED_TRACE(::testing::Message() << "seed " << seed);
        std::mt19937 rng(seed);
        // Whole tiles of the undo ring: a stroke over every part tile of a
        // small canvas outgrows the ring, and the undo record is dropped.
        const int32_t w = 48 + 16 * int32_t(rng() % 6u), h = 32 + 16 * int32_t(rng() % 5u);
        CStrokeCanvas canvas(w, h, seed);
        ASSERT_TRUE(canvas.IsReady());
        PaintFuzzCanvas(canvas, rng);
        canvas.SetColour(uint32_t(rng()) | 0x80000000u);
        COilPaintNew oil;
        ASSERT_EQ(oil.SetupTool(), eNoError);
        oil.SetEmptyWells(int32_t(rng() % 4u == 0));
        oil.SetNoisePosition(uint32_t(rng()));
        for (int32_t stroke = 0; stroke < 5; ++stroke) {
            ASSERT_EQ(oil.SetToolSize(float(rng() % 1001u) / 1000.0f), eNoError);
            const int32_t n = 1 + int32_t(rng() % 40u);
            CStroke path = StrokeRecipes::RandomWalk(rng(), n, double(w), double(h));
            for (SStrokeSample& s : path) {
                s.q = int32_t(int64_t(s.q) * 3050 / 1224) - 50;
            }
            clock.AdvanceMicroseconds(rng() % 30000u);
            const CLayerSet before = canvas.CopyAll();
            CLayerSet after;
            ASSERT_TRUE(canvas.StrokeKeepsRules(oil, path, &after))
                << "stroke " << stroke << ", size " << oil.ToolSize() << "\n"
                << StrokeRecipes::ToText(path);
            ++strokes;
            painted += after[0] != before[0] ? 1 : 0;
            if (stroke % 2 != 0) {
                canvas.SetAll(after); // kept, so later strokes paint over paint
            }
        }
    }
    EXPECT_GT(painted, strokes / 2);
}

// --- Golden pictures, beside the first oil's (tools_oil's oil-* cases):
// the same 200 x 150 canvas with its stripes of wet paint and the same blue,
// on the fake clock.

struct SNewGolden {
    const char* recipe;
    int32_t size; // hundredths
    bool stripes;
};

CStroke NewGoldenStroke(const std::string& recipe) {
    if (recipe == "figure8") {
        return StrokeRecipes::FigureEight(240, 200.0, 150.0);
    }
    if (recipe == "zigzag100") {
        return StrokeRecipes::ZigZag(4, 60.0, 100.0, 2.0, 40.0, 40.0, 0.3, 0.9);
    }
    if (recipe == "zigzag80") {
        return StrokeRecipes::ZigZag(4, 60.0, 80.0, 2.0, 40.0, 40.0, 0.3, 0.9);
    }
    if (recipe == "click") {
        return StrokeRecipes::Click(100.0, 75.0, 0.6);
    }
    if (recipe == "flick") {
        return StrokeRecipes::Flick(90.0, 75.0, 0.7);
    }
    return StrokeRecipes::SlowDrag(80, 60.0, 75.0, 0.5);
}

std::string NewGoldenName(const SNewGolden& c) {
    return std::string("oilnew-") + c.recipe + "-size" + std::to_string(c.size) +
           (c.stripes ? "" : "-bare");
}

std::vector<SNewGolden> NewGoldenCases() {
    std::vector<SNewGolden> cases;
    for (const char* recipe : {"figure8", "zigzag100", "zigzag80", "click", "flick", "slowdrag"}) {
        for (const int32_t size : {0, 43, 100}) {
            cases.push_back({recipe, size, true});
        }
    }
    cases.push_back({"figure8", 43, false});
    return cases;
}

// On a new brush the filter leaves no direction at the first pen-down, so
// the click and the flick (no dab between the first and the last) keep a
// provisional square of no width: they paint nothing.
const std::vector<SGoldenCrc> kNewGoldens = {
    {"oilnew-figure8-size0", 0x5205D6E4u},
    {"oilnew-figure8-size0-L0", 0x41314A5Fu},
    {"oilnew-figure8-size0-L1", 0xE146CE46u},
    {"oilnew-figure8-size0-L2", 0x9B7694C1u},
    {"oilnew-figure8-size0-L3", 0x20941E15u},
    {"oilnew-figure8-size43", 0x6B5757BBu},
    {"oilnew-figure8-size43-L0", 0x3376EAD2u},
    {"oilnew-figure8-size43-L1", 0xE146CE46u},
    {"oilnew-figure8-size43-L2", 0x9B7694C1u},
    {"oilnew-figure8-size43-L3", 0x20941E15u},
    {"oilnew-figure8-size100", 0x3E61703Fu},
    {"oilnew-figure8-size100-L0", 0x1FD41747u},
    {"oilnew-figure8-size100-L1", 0xE146CE46u},
    {"oilnew-figure8-size100-L2", 0x9B7694C1u},
    {"oilnew-figure8-size100-L3", 0x20941E15u},
    {"oilnew-zigzag100-size0", 0x88066C06u},
    {"oilnew-zigzag100-size0-L0", 0xAE7CAFF8u},
    {"oilnew-zigzag100-size0-L1", 0xE146CE46u},
    {"oilnew-zigzag100-size0-L2", 0x9B7694C1u},
    {"oilnew-zigzag100-size0-L3", 0x20941E15u},
    {"oilnew-zigzag100-size43", 0x910E1B7Cu},
    {"oilnew-zigzag100-size43-L0", 0xA1DFAF6Au},
    {"oilnew-zigzag100-size43-L1", 0xE146CE46u},
    {"oilnew-zigzag100-size43-L2", 0x9B7694C1u},
    {"oilnew-zigzag100-size43-L3", 0x20941E15u},
    {"oilnew-zigzag100-size100", 0x24886248u},
    {"oilnew-zigzag100-size100-L0", 0x36E86E04u},
    {"oilnew-zigzag100-size100-L1", 0xE146CE46u},
    {"oilnew-zigzag100-size100-L2", 0x9B7694C1u},
    {"oilnew-zigzag100-size100-L3", 0x20941E15u},
    {"oilnew-zigzag80-size0", 0x55D70376u},
    {"oilnew-zigzag80-size0-L0", 0x83295059u},
    {"oilnew-zigzag80-size0-L1", 0xE146CE46u},
    {"oilnew-zigzag80-size0-L2", 0x9B7694C1u},
    {"oilnew-zigzag80-size0-L3", 0x20941E15u},
    {"oilnew-zigzag80-size43", 0xF8F2D2B5u},
    {"oilnew-zigzag80-size43-L0", 0x43B45872u},
    {"oilnew-zigzag80-size43-L1", 0xE146CE46u},
    {"oilnew-zigzag80-size43-L2", 0x9B7694C1u},
    {"oilnew-zigzag80-size43-L3", 0x20941E15u},
    {"oilnew-zigzag80-size100", 0xAF350C74u},
    {"oilnew-zigzag80-size100-L0", 0x6E89B853u},
    {"oilnew-zigzag80-size100-L1", 0xE146CE46u},
    {"oilnew-zigzag80-size100-L2", 0x9B7694C1u},
    {"oilnew-zigzag80-size100-L3", 0x20941E15u},
    {"oilnew-click-size0", 0x7E540285u},
    {"oilnew-click-size0-L0", 0x97E12E9Fu},
    {"oilnew-click-size0-L1", 0xE146CE46u},
    {"oilnew-click-size0-L2", 0x9B7694C1u},
    {"oilnew-click-size0-L3", 0x20941E15u},
    {"oilnew-click-size43", 0x7E540285u},
    {"oilnew-click-size43-L0", 0x97E12E9Fu},
    {"oilnew-click-size43-L1", 0xE146CE46u},
    {"oilnew-click-size43-L2", 0x9B7694C1u},
    {"oilnew-click-size43-L3", 0x20941E15u},
    {"oilnew-click-size100", 0x7E540285u},
    {"oilnew-click-size100-L0", 0x97E12E9Fu},
    {"oilnew-click-size100-L1", 0xE146CE46u},
    {"oilnew-click-size100-L2", 0x9B7694C1u},
    {"oilnew-click-size100-L3", 0x20941E15u},
    {"oilnew-flick-size0", 0x7E540285u},
    {"oilnew-flick-size0-L0", 0x97E12E9Fu},
    {"oilnew-flick-size0-L1", 0xE146CE46u},
    {"oilnew-flick-size0-L2", 0x9B7694C1u},
    {"oilnew-flick-size0-L3", 0x20941E15u},
    {"oilnew-flick-size43", 0x7E540285u},
    {"oilnew-flick-size43-L0", 0x97E12E9Fu},
    {"oilnew-flick-size43-L1", 0xE146CE46u},
    {"oilnew-flick-size43-L2", 0x9B7694C1u},
    {"oilnew-flick-size43-L3", 0x20941E15u},
    {"oilnew-flick-size100", 0x7E540285u},
    {"oilnew-flick-size100-L0", 0x97E12E9Fu},
    {"oilnew-flick-size100-L1", 0xE146CE46u},
    {"oilnew-flick-size100-L2", 0x9B7694C1u},
    {"oilnew-flick-size100-L3", 0x20941E15u},
    {"oilnew-slowdrag-size0", 0x69295212u},
    {"oilnew-slowdrag-size0-L0", 0xC4429FB3u},
    {"oilnew-slowdrag-size0-L1", 0xE146CE46u},
    {"oilnew-slowdrag-size0-L2", 0x9B7694C1u},
    {"oilnew-slowdrag-size0-L3", 0x20941E15u},
    {"oilnew-slowdrag-size43", 0x05553EF2u},
    {"oilnew-slowdrag-size43-L0", 0xAD9A7B36u},
    {"oilnew-slowdrag-size43-L1", 0xE146CE46u},
    {"oilnew-slowdrag-size43-L2", 0x9B7694C1u},
    {"oilnew-slowdrag-size43-L3", 0x20941E15u},
    {"oilnew-slowdrag-size100", 0x5F3AF813u},
    {"oilnew-slowdrag-size100-L0", 0x27F2977Cu},
    {"oilnew-slowdrag-size100-L1", 0xE146CE46u},
    {"oilnew-slowdrag-size100-L2", 0x9B7694C1u},
    {"oilnew-slowdrag-size100-L3", 0x20941E15u},
    {"oilnew-figure8-size43-bare", 0x41A4E405u},
    {"oilnew-figure8-size43-bare-L0", 0xBEB9D5EDu},
    {"oilnew-figure8-size43-bare-L1", 0x774C94B4u},
    {"oilnew-figure8-size43-bare-L2", 0x49E288B1u},
    {"oilnew-figure8-size43-bare-L3", 0x20941E15u},
};

class OilNewGoldens : public ::testing::TestWithParam<SNewGolden> {};

TEST_P(OilNewGoldens, MatchesItsPictures) {
    const SNewGolden& c = GetParam();
    CFakeClock clock;
    CStrokeCanvas canvas(200, 150, 1);
    ASSERT_TRUE(canvas.IsReady());
    if (c.stripes) {
        canvas.PaintStripes(12, {0xFFD02818u, 0xFFE8C020u, 0xFF30A040u}, 400);
    }
    canvas.SetColour(0xFF1838C8u);
    COilPaintNew oil;
    ASSERT_EQ(oil.SetupTool(), eNoError);
    ASSERT_EQ(oil.SetToolSize(float(c.size) / 100.0f), eNoError);
    ASSERT_EQ(canvas.Run(oil, NewGoldenStroke(c.recipe)), eNoError);
    EXPECT_STROKE_GOLDENS(canvas, NewGoldenName(c), kNewGoldens);
}

INSTANTIATE_TEST_SUITE_P(OilNew, OilNewGoldens, ::testing::ValuesIn(NewGoldenCases()),
                         [](const auto& info) {
                             std::string name = NewGoldenName(info.param);
                             for (char& ch : name) {
                                 ch = ch == '-' ? '_' : ch;
                             }
                             return name;
                         });

} // namespace
