// Whole strokes with the pen and the pencil through the stroke engine: a
// seeded fuzz that checks what each may write and that undo restores every
// layer, and the golden pictures.

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "testsupport/imaging/Goldens.h"
#include "testsupport/paint/StrokeCanvas.h"
#include "testsupport/paint/StrokeRecipes.h"
#include "tools/ribbon/Pencils.h"
#include "tools/ribbon/Pens.h"
#include "tools/tests/StrokeTestSupport.h"

namespace {

// A tool as the backbone makes it; style -1 for the pen.
std::unique_ptr<CPaintTool> MakeTool(int32_t style) {
    std::unique_ptr<CPaintTool> tool;
    if (style < 0) {
        tool = std::make_unique<CPens>();
    } else {
        tool = std::make_unique<CPencils>();
    }
    EXPECT_EQ(tool->SetupTool(), eNoError);
    tool->SetType(style < 0 ? eToolPens : eToolPencils);
    if (style >= 0) {
        tool->SetToolStyle(style);
    }
    return tool;
}

// A thick patch of wet paint, two colours of stripes under part of it.
void PaintGround(CStrokeCanvas& canvas) {
    canvas.PaintPatch(gCRect(0, 0, canvas.Width() / 3, canvas.Height()), 0xFF3060A0u, 1500);
    canvas.PaintPatch(gCRect(canvas.Width() / 4, canvas.Height() / 4, 3 * canvas.Width() / 4,
                             3 * canvas.Height() / 4),
                      0xC0D09030u, 4000);
}

// The fuzz: per seed, a tool (pen, pencil styles 0..2), a linear size, for
// the pencil a maximum pressure of 1.0 or 1.1, a stroke kept on the canvas
// and then a stroke of 1 to 60 samples over it, checked against what the
// tool may write and undone.
class LineStrokeFuzz : public ::testing::TestWithParam<uint32_t> {};

TEST_P(LineStrokeFuzz, WritesOnlyItsLayersAndUndoes) {
    const uint32_t seed = GetParam();
    std::mt19937 random(seed);
    CStrokeCanvas canvas(160, 120, seed);
    ASSERT_TRUE(canvas.IsReady());
    PaintGround(canvas);
    const int32_t style = int32_t(random() % 4u) - 1;
    std::unique_ptr<CPaintTool> tool = MakeTool(style);
    const int32_t sizes[] = {1, 2, 3, 8, 60};
    for (int32_t round = 0; round < 3; ++round) {
        // The ends of the range and one between.
        tool->SetToolLinearSize(round == 1 ? float(random() % 1001u) / 1000.0f : float(round / 2));
        tool->SetMaxPencilPressure(random() % 2u ? 1.1f : 1.0f);
        canvas.SetColour(0xFF000000u | (random() & 0xFFFFFFu) | ((random() % 2u) << 31));
        const CStroke kept = StrokeRecipes::RandomWalk(random(), sizes[random() % 5u], 160, 120);
        ASSERT_EQ(canvas.Run(*tool, kept), eNoError);
        const CStroke stroke = StrokeRecipes::RandomWalk(random(), sizes[random() % 5u], 160, 120);
        SCOPED_TRACE(testing::Message()
                     << "style " << style << ", linear size " << tool->ToolLinearSize()
                     << ", round " << round << ", stroke:\n"
                     << StrokeRecipes::ToText(stroke));
        // A pen writes L0 only; a pencil may also set the depth to 0.
        EXPECT_TRUE(canvas.StrokeKeepsRules(
            *tool, stroke, style >= 0 ? EToolWrites::ePencil : EToolWrites::eDryColour));
    }
}

INSTANTIATE_TEST_SUITE_P(Seeds, LineStrokeFuzz, ::testing::Range(1u, 41u));

// The goldens: each tool and pencil style, each recipe, three linear sizes,
// on the test grain (seed 1) over a painted patch, colour 0xFF283C8C, a new
// tool each time.
struct GoldenCase {
    std::string name;
    int32_t style; // -1 the pen
    float linear;
    int32_t recipe; // 0 figure-eight, 1 zig-zag, 2 click
};

void PrintTo(const GoldenCase& c, std::ostream* os) {
    *os << c.name;
}

std::vector<GoldenCase> GoldenCases() {
    std::vector<GoldenCase> cases;
    const char* tools[] = {"pens", "pencils0", "pencils1", "pencils2"};
    const char* recipes[] = {"eight", "zigzag", "click"};
    const char* sizes[] = {"lin0", "lin03", "lin1"};
    const float linear[] = {0.0f, 0.3f, 1.0f};
    for (int32_t t = 0; t < 4; ++t) {
        for (int32_t r = 0; r < 3; ++r) {
            for (int32_t s = 0; s < 3; ++s) {
                cases.push_back({std::string(tools[t]) + "-" + recipes[r] + "-" + sizes[s], t - 1,
                                 linear[s], r});
            }
        }
    }
    return cases;
}

CStroke GoldenStroke(int32_t recipe) {
    switch (recipe) {
    case 0:
        return StrokeRecipes::FigureEight(240, 160.0, 120.0);
    case 1:
        return StrokeRecipes::ZigZag(4, 40.0, 100.0, 2.0, 20.0, 40.0, 0.3, 1.0);
    default:
        return StrokeRecipes::Click(80.0, 60.0, 0.8);
    }
}

const std::vector<SGoldenCrc> kGoldens = {
    {"pens-eight-lin0", 0xDC83B399u},          {"pens-eight-lin0-L0", 0x1998651Eu},
    {"pens-eight-lin0-L1", 0xC0AFAC92u},       {"pens-eight-lin0-L2", 0xDF745D3Eu},
    {"pens-eight-lin0-L3", 0x2DF2065Au},       {"pens-eight-lin03", 0x9E282D9Bu},
    {"pens-eight-lin03-L0", 0x3E1F5E7Eu},      {"pens-eight-lin03-L1", 0xC0AFAC92u},
    {"pens-eight-lin03-L2", 0xDF745D3Eu},      {"pens-eight-lin03-L3", 0x2DF2065Au},
    {"pens-eight-lin1", 0x77585050u},          {"pens-eight-lin1-L0", 0xAA838C68u},
    {"pens-eight-lin1-L1", 0xC0AFAC92u},       {"pens-eight-lin1-L2", 0xDF745D3Eu},
    {"pens-eight-lin1-L3", 0x2DF2065Au},       {"pens-zigzag-lin0", 0xF1D057E1u},
    {"pens-zigzag-lin0-L0", 0x61EF884Bu},      {"pens-zigzag-lin0-L1", 0xC0AFAC92u},
    {"pens-zigzag-lin0-L2", 0xDF745D3Eu},      {"pens-zigzag-lin0-L3", 0x2DF2065Au},
    {"pens-zigzag-lin03", 0xDAACE0C5u},        {"pens-zigzag-lin03-L0", 0x885AF0B8u},
    {"pens-zigzag-lin03-L1", 0xC0AFAC92u},     {"pens-zigzag-lin03-L2", 0xDF745D3Eu},
    {"pens-zigzag-lin03-L3", 0x2DF2065Au},     {"pens-zigzag-lin1", 0x3B6EFC23u},
    {"pens-zigzag-lin1-L0", 0x18666C1Eu},      {"pens-zigzag-lin1-L1", 0xC0AFAC92u},
    {"pens-zigzag-lin1-L2", 0xDF745D3Eu},      {"pens-zigzag-lin1-L3", 0x2DF2065Au},
    {"pens-click-lin0", 0x3FACCF38u},          {"pens-click-lin0-L0", 0x75123A20u},
    {"pens-click-lin0-L1", 0xC0AFAC92u},       {"pens-click-lin0-L2", 0xDF745D3Eu},
    {"pens-click-lin0-L3", 0x2DF2065Au},       {"pens-click-lin03", 0xBE87D8D7u},
    {"pens-click-lin03-L0", 0x040CCEC8u},      {"pens-click-lin03-L1", 0xC0AFAC92u},
    {"pens-click-lin03-L2", 0xDF745D3Eu},      {"pens-click-lin03-L3", 0x2DF2065Au},
    {"pens-click-lin1", 0xCAF533B7u},          {"pens-click-lin1-L0", 0xC26DADA8u},
    {"pens-click-lin1-L1", 0xC0AFAC92u},       {"pens-click-lin1-L2", 0xDF745D3Eu},
    {"pens-click-lin1-L3", 0x2DF2065Au},       {"pencils0-eight-lin0", 0x97056173u},
    {"pencils0-eight-lin0-L0", 0x2DA8E323u},   {"pencils0-eight-lin0-L1", 0x345FA3A7u},
    {"pencils0-eight-lin0-L2", 0xDF745D3Eu},   {"pencils0-eight-lin0-L3", 0x2DF2065Au},
    {"pencils0-eight-lin03", 0xF56532D3u},     {"pencils0-eight-lin03-L0", 0xBB568FD6u},
    {"pencils0-eight-lin03-L1", 0x85E16655u},  {"pencils0-eight-lin03-L2", 0xDF745D3Eu},
    {"pencils0-eight-lin03-L3", 0x2DF2065Au},  {"pencils0-eight-lin1", 0xFEE765A0u},
    {"pencils0-eight-lin1-L0", 0x3E427DEBu},   {"pencils0-eight-lin1-L1", 0x4BDECB3Fu},
    {"pencils0-eight-lin1-L2", 0xDF745D3Eu},   {"pencils0-eight-lin1-L3", 0x2DF2065Au},
    {"pencils0-zigzag-lin0", 0xCD4196D6u},     {"pencils0-zigzag-lin0-L0", 0x0383245Au},
    {"pencils0-zigzag-lin0-L1", 0x0955682Eu},  {"pencils0-zigzag-lin0-L2", 0xDF745D3Eu},
    {"pencils0-zigzag-lin0-L3", 0x2DF2065Au},  {"pencils0-zigzag-lin03", 0xC5D22DC7u},
    {"pencils0-zigzag-lin03-L0", 0x584BEF93u}, {"pencils0-zigzag-lin03-L1", 0x829A8873u},
    {"pencils0-zigzag-lin03-L2", 0xDF745D3Eu}, {"pencils0-zigzag-lin03-L3", 0x2DF2065Au},
    {"pencils0-zigzag-lin1", 0x00C11C71u},     {"pencils0-zigzag-lin1-L0", 0x494C096Fu},
    {"pencils0-zigzag-lin1-L1", 0xBDB78305u},  {"pencils0-zigzag-lin1-L2", 0xDF745D3Eu},
    {"pencils0-zigzag-lin1-L3", 0x2DF2065Au},  {"pencils0-click-lin0", 0x6E8F2150u},
    {"pencils0-click-lin0-L0", 0x3E180B22u},   {"pencils0-click-lin0-L1", 0xDEAFADB3u},
    {"pencils0-click-lin0-L2", 0xDF745D3Eu},   {"pencils0-click-lin0-L3", 0x2DF2065Au},
    {"pencils0-click-lin03", 0x37CBABAAu},     {"pencils0-click-lin03-L0", 0x14555105u},
    {"pencils0-click-lin03-L1", 0xAF8408C0u},  {"pencils0-click-lin03-L2", 0xDF745D3Eu},
    {"pencils0-click-lin03-L3", 0x2DF2065Au},  {"pencils0-click-lin1", 0x3818ECACu},
    {"pencils0-click-lin1-L0", 0x9C72F199u},   {"pencils0-click-lin1-L1", 0x19B8146Eu},
    {"pencils0-click-lin1-L2", 0xDF745D3Eu},   {"pencils0-click-lin1-L3", 0x2DF2065Au},
    {"pencils1-eight-lin0", 0x9C01F22Fu},      {"pencils1-eight-lin0-L0", 0x52D41D89u},
    {"pencils1-eight-lin0-L1", 0x3D5155FBu},   {"pencils1-eight-lin0-L2", 0xDF745D3Eu},
    {"pencils1-eight-lin0-L3", 0x2DF2065Au},   {"pencils1-eight-lin03", 0xF993ABB3u},
    {"pencils1-eight-lin03-L0", 0x7EA38461u},  {"pencils1-eight-lin03-L1", 0xEBFEE44Eu},
    {"pencils1-eight-lin03-L2", 0xDF745D3Eu},  {"pencils1-eight-lin03-L3", 0x2DF2065Au},
    {"pencils1-eight-lin1", 0xB917DBD0u},      {"pencils1-eight-lin1-L0", 0xA2909513u},
    {"pencils1-eight-lin1-L1", 0x95FDB500u},   {"pencils1-eight-lin1-L2", 0xDF745D3Eu},
    {"pencils1-eight-lin1-L3", 0x2DF2065Au},   {"pencils1-zigzag-lin0", 0x256CD4A4u},
    {"pencils1-zigzag-lin0-L0", 0xD72CD740u},  {"pencils1-zigzag-lin0-L1", 0xB2129D3Fu},
    {"pencils1-zigzag-lin0-L2", 0xDF745D3Eu},  {"pencils1-zigzag-lin0-L3", 0x2DF2065Au},
    {"pencils1-zigzag-lin03", 0x4BFB3823u},    {"pencils1-zigzag-lin03-L0", 0x706ACD25u},
    {"pencils1-zigzag-lin03-L1", 0xF6B7A695u}, {"pencils1-zigzag-lin03-L2", 0xDF745D3Eu},
    {"pencils1-zigzag-lin03-L3", 0x2DF2065Au}, {"pencils1-zigzag-lin1", 0x1FD48CEEu},
    {"pencils1-zigzag-lin1-L0", 0x6ABCFF86u},  {"pencils1-zigzag-lin1-L1", 0xE8320C29u},
    {"pencils1-zigzag-lin1-L2", 0xDF745D3Eu},  {"pencils1-zigzag-lin1-L3", 0x2DF2065Au},
    {"pencils1-click-lin0", 0xB4AC9229u},      {"pencils1-click-lin0-L0", 0x29C7136Au},
    {"pencils1-click-lin0-L1", 0xB6FFDE55u},   {"pencils1-click-lin0-L2", 0xDF745D3Eu},
    {"pencils1-click-lin0-L3", 0x2DF2065Au},   {"pencils1-click-lin03", 0xBE33A871u},
    {"pencils1-click-lin03-L0", 0x26813CD2u},  {"pencils1-click-lin03-L1", 0x6DD85443u},
    {"pencils1-click-lin03-L2", 0xDF745D3Eu},  {"pencils1-click-lin03-L3", 0x2DF2065Au},
    {"pencils1-click-lin1", 0x7509A638u},      {"pencils1-click-lin1-L0", 0x69ED2DB3u},
    {"pencils1-click-lin1-L1", 0x2AB3E9E9u},   {"pencils1-click-lin1-L2", 0xDF745D3Eu},
    {"pencils1-click-lin1-L3", 0x2DF2065Au},   {"pencils2-eight-lin0", 0xCAC0E54Eu},
    {"pencils2-eight-lin0-L0", 0x523B5303u},   {"pencils2-eight-lin0-L1", 0x345FA3A7u},
    {"pencils2-eight-lin0-L2", 0xDF745D3Eu},   {"pencils2-eight-lin0-L3", 0x2DF2065Au},
    {"pencils2-eight-lin03", 0xFFD397F0u},     {"pencils2-eight-lin03-L0", 0xA7AD9DB4u},
    {"pencils2-eight-lin03-L1", 0x85E16655u},  {"pencils2-eight-lin03-L2", 0xDF745D3Eu},
    {"pencils2-eight-lin03-L3", 0x2DF2065Au},  {"pencils2-eight-lin1", 0xF3C87D43u},
    {"pencils2-eight-lin1-L0", 0x9878D849u},   {"pencils2-eight-lin1-L1", 0x4BDECB3Fu},
    {"pencils2-eight-lin1-L2", 0xDF745D3Eu},   {"pencils2-eight-lin1-L3", 0x2DF2065Au},
    {"pencils2-zigzag-lin0", 0x462BCF12u},     {"pencils2-zigzag-lin0-L0", 0xE4CFF5E6u},
    {"pencils2-zigzag-lin0-L1", 0x0955682Eu},  {"pencils2-zigzag-lin0-L2", 0xDF745D3Eu},
    {"pencils2-zigzag-lin0-L3", 0x2DF2065Au},  {"pencils2-zigzag-lin03", 0x216B9582u},
    {"pencils2-zigzag-lin03-L0", 0xA7DC3D0Au}, {"pencils2-zigzag-lin03-L1", 0x829A8873u},
    {"pencils2-zigzag-lin03-L2", 0xDF745D3Eu}, {"pencils2-zigzag-lin03-L3", 0x2DF2065Au},
    {"pencils2-zigzag-lin1", 0xFB6D4602u},     {"pencils2-zigzag-lin1-L0", 0x43938FF9u},
    {"pencils2-zigzag-lin1-L1", 0xBDB78305u},  {"pencils2-zigzag-lin1-L2", 0xDF745D3Eu},
    {"pencils2-zigzag-lin1-L3", 0x2DF2065Au},  {"pencils2-click-lin0", 0x7C94B5E1u},
    {"pencils2-click-lin0-L0", 0x88DB1D8Fu},   {"pencils2-click-lin0-L1", 0xDEAFADB3u},
    {"pencils2-click-lin0-L2", 0xDF745D3Eu},   {"pencils2-click-lin0-L3", 0x2DF2065Au},
    {"pencils2-click-lin03", 0xD0413E6Eu},     {"pencils2-click-lin03-L0", 0x8B915BFDu},
    {"pencils2-click-lin03-L1", 0xAF8408C0u},  {"pencils2-click-lin03-L2", 0xDF745D3Eu},
    {"pencils2-click-lin03-L3", 0x2DF2065Au},  {"pencils2-click-lin1", 0x9674FC73u},
    {"pencils2-click-lin1-L0", 0xB6FE7B78u},   {"pencils2-click-lin1-L1", 0x19B8146Eu},
    {"pencils2-click-lin1-L2", 0xDF745D3Eu},   {"pencils2-click-lin1-L3", 0x2DF2065Au},
};

class LineGolden : public ::testing::TestWithParam<GoldenCase> {};

TEST_P(LineGolden, MatchesItsPictures) {
    const GoldenCase& c = GetParam();
    CStrokeCanvas canvas(160, 120, 1);
    ASSERT_TRUE(canvas.IsReady());
    canvas.PaintPatch(gCRect(50, 30, 110, 90), 0xFFC8A050u, 3000);
    canvas.SetColour(0xFF283C8Cu);
    std::unique_ptr<CPaintTool> tool = MakeTool(c.style);
    tool->SetToolLinearSize(c.linear);
    ASSERT_EQ(canvas.Run(*tool, GoldenStroke(c.recipe)), eNoError);
    EXPECT_STROKE_GOLDENS(canvas, c.name, kGoldens);
}

INSTANTIATE_TEST_SUITE_P(Cases, LineGolden, ::testing::ValuesIn(GoldenCases()),
                         [](const ::testing::TestParamInfo<GoldenCase>& info) {
                             return stroketest::TestName(info.param.name);
                         });

} // namespace
