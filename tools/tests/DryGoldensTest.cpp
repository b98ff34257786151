// Golden pictures of chalk, crayon and the eraser: a figure-eight, a
// zig-zag with 100 degree turns and a click, each at linear sizes 0, 0.3
// and 1, on the test grain (seed 1) of a 200 x 150 canvas over a thick red
// patch (depth 60) beside a flat green one (depth 0); a new tool (stroke
// number 0, noise position 0, brush not flipped), pressure weight 0.5 (the
// identity), style 0, colour blue. Each case checks the CRCs of L0..L3 and
// of the relit composite; the pictures are written under the build folder.

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "testsupport/imaging/Goldens.h"
#include "testsupport/paint/StrokeCanvas.h"
#include "tools/tests/DryToolsSupport.h"
#include "tools/tests/StrokeTestSupport.h"

namespace {

const std::vector<SGoldenCrc> kDryGoldens = {
    {"chalk-figure8-lin0", 0xDE0969CAu},        {"chalk-figure8-lin0-L0", 0xD4127945u},
    {"chalk-figure8-lin0-L1", 0x25E75646u},     {"chalk-figure8-lin0-L2", 0x370358BEu},
    {"chalk-figure8-lin0-L3", 0x20941E15u},     {"chalk-figure8-lin3", 0x304E4CF2u},
    {"chalk-figure8-lin3-L0", 0x7CDB880Au},     {"chalk-figure8-lin3-L1", 0x25E75646u},
    {"chalk-figure8-lin3-L2", 0x370358BEu},     {"chalk-figure8-lin3-L3", 0x20941E15u},
    {"chalk-figure8-lin10", 0xAFE89369u},       {"chalk-figure8-lin10-L0", 0xBC498471u},
    {"chalk-figure8-lin10-L1", 0x25E75646u},    {"chalk-figure8-lin10-L2", 0x370358BEu},
    {"chalk-figure8-lin10-L3", 0x20941E15u},    {"chalk-zigzag100-lin0", 0x102F837Cu},
    {"chalk-zigzag100-lin0-L0", 0x00909F0Cu},   {"chalk-zigzag100-lin0-L1", 0x25E75646u},
    {"chalk-zigzag100-lin0-L2", 0x370358BEu},   {"chalk-zigzag100-lin0-L3", 0x20941E15u},
    {"chalk-zigzag100-lin3", 0x8C6A6AD6u},      {"chalk-zigzag100-lin3-L0", 0xB0B8CC1Fu},
    {"chalk-zigzag100-lin3-L1", 0x25E75646u},   {"chalk-zigzag100-lin3-L2", 0x370358BEu},
    {"chalk-zigzag100-lin3-L3", 0x20941E15u},   {"chalk-zigzag100-lin10", 0x9D11224Eu},
    {"chalk-zigzag100-lin10-L0", 0x4BE16E97u},  {"chalk-zigzag100-lin10-L1", 0x25E75646u},
    {"chalk-zigzag100-lin10-L2", 0x370358BEu},  {"chalk-zigzag100-lin10-L3", 0x20941E15u},
    {"chalk-click-lin0", 0x30697AE4u},          {"chalk-click-lin0-L0", 0x86715CC0u},
    {"chalk-click-lin0-L1", 0x25E75646u},       {"chalk-click-lin0-L2", 0x370358BEu},
    {"chalk-click-lin0-L3", 0x20941E15u},       {"chalk-click-lin3", 0x81415318u},
    {"chalk-click-lin3-L0", 0xA611C9DFu},       {"chalk-click-lin3-L1", 0x25E75646u},
    {"chalk-click-lin3-L2", 0x370358BEu},       {"chalk-click-lin3-L3", 0x20941E15u},
    {"chalk-click-lin10", 0x852C301Bu},         {"chalk-click-lin10-L0", 0x9CC6C5AFu},
    {"chalk-click-lin10-L1", 0x25E75646u},      {"chalk-click-lin10-L2", 0x370358BEu},
    {"chalk-click-lin10-L3", 0x20941E15u},      {"crayon-figure8-lin0", 0x1E087FEFu},
    {"crayon-figure8-lin0-L0", 0x1A3FB099u},    {"crayon-figure8-lin0-L1", 0x25E75646u},
    {"crayon-figure8-lin0-L2", 0x370358BEu},    {"crayon-figure8-lin0-L3", 0x20941E15u},
    {"crayon-figure8-lin3", 0x19410107u},       {"crayon-figure8-lin3-L0", 0x758ABBB6u},
    {"crayon-figure8-lin3-L1", 0x25E75646u},    {"crayon-figure8-lin3-L2", 0x370358BEu},
    {"crayon-figure8-lin3-L3", 0x20941E15u},    {"crayon-figure8-lin10", 0x4DA2A1CCu},
    {"crayon-figure8-lin10-L0", 0x9D0F8C1Du},   {"crayon-figure8-lin10-L1", 0x25E75646u},
    {"crayon-figure8-lin10-L2", 0x370358BEu},   {"crayon-figure8-lin10-L3", 0x20941E15u},
    {"crayon-zigzag100-lin0", 0xC842EEF9u},     {"crayon-zigzag100-lin0-L0", 0x87A90B9Bu},
    {"crayon-zigzag100-lin0-L1", 0x25E75646u},  {"crayon-zigzag100-lin0-L2", 0x370358BEu},
    {"crayon-zigzag100-lin0-L3", 0x20941E15u},  {"crayon-zigzag100-lin3", 0x2C03ECF7u},
    {"crayon-zigzag100-lin3-L0", 0x5158FEC5u},  {"crayon-zigzag100-lin3-L1", 0x25E75646u},
    {"crayon-zigzag100-lin3-L2", 0x370358BEu},  {"crayon-zigzag100-lin3-L3", 0x20941E15u},
    {"crayon-zigzag100-lin10", 0x688DB0C9u},    {"crayon-zigzag100-lin10-L0", 0x8FE9D2B1u},
    {"crayon-zigzag100-lin10-L1", 0x25E75646u}, {"crayon-zigzag100-lin10-L2", 0x370358BEu},
    {"crayon-zigzag100-lin10-L3", 0x20941E15u}, {"crayon-click-lin0", 0x30697AE4u},
    {"crayon-click-lin0-L0", 0x86715CC0u},      {"crayon-click-lin0-L1", 0x25E75646u},
    {"crayon-click-lin0-L2", 0x370358BEu},      {"crayon-click-lin0-L3", 0x20941E15u},
    {"crayon-click-lin3", 0x81415318u},         {"crayon-click-lin3-L0", 0xA611C9DFu},
    {"crayon-click-lin3-L1", 0x25E75646u},      {"crayon-click-lin3-L2", 0x370358BEu},
    {"crayon-click-lin3-L3", 0x20941E15u},      {"crayon-click-lin10", 0x852C301Bu},
    {"crayon-click-lin10-L0", 0x9CC6C5AFu},     {"crayon-click-lin10-L1", 0x25E75646u},
    {"crayon-click-lin10-L2", 0x370358BEu},     {"crayon-click-lin10-L3", 0x20941E15u},
    {"eraser-figure8-lin0", 0xA80A06A2u},       {"eraser-figure8-lin0-L0", 0x706F06FFu},
    {"eraser-figure8-lin0-L1", 0x4DD56C14u},    {"eraser-figure8-lin0-L2", 0x370358BEu},
    {"eraser-figure8-lin0-L3", 0x20941E15u},    {"eraser-figure8-lin3", 0x6A58C9DBu},
    {"eraser-figure8-lin3-L0", 0x689D76A0u},    {"eraser-figure8-lin3-L1", 0xD388C009u},
    {"eraser-figure8-lin3-L2", 0x370358BEu},    {"eraser-figure8-lin3-L3", 0x20941E15u},
    {"eraser-figure8-lin10", 0xF41216EFu},      {"eraser-figure8-lin10-L0", 0x317ADB94u},
    {"eraser-figure8-lin10-L1", 0xDFF39262u},   {"eraser-figure8-lin10-L2", 0x370358BEu},
    {"eraser-figure8-lin10-L3", 0x20941E15u},   {"eraser-zigzag100-lin0", 0xE93DA1DFu},
    {"eraser-zigzag100-lin0-L0", 0x940CD494u},  {"eraser-zigzag100-lin0-L1", 0x6F64DB72u},
    {"eraser-zigzag100-lin0-L2", 0x370358BEu},  {"eraser-zigzag100-lin0-L3", 0x20941E15u},
    {"eraser-zigzag100-lin3", 0x4F77FD36u},     {"eraser-zigzag100-lin3-L0", 0xEC285AB5u},
    {"eraser-zigzag100-lin3-L1", 0x30186750u},  {"eraser-zigzag100-lin3-L2", 0x370358BEu},
    {"eraser-zigzag100-lin3-L3", 0x20941E15u},  {"eraser-zigzag100-lin10", 0xBC096182u},
    {"eraser-zigzag100-lin10-L0", 0xA0441A0Eu}, {"eraser-zigzag100-lin10-L1", 0xC00DABC2u},
    {"eraser-zigzag100-lin10-L2", 0x370358BEu}, {"eraser-zigzag100-lin10-L3", 0x20941E15u},
    {"eraser-click-lin0", 0xC200A48Fu},         {"eraser-click-lin0-L0", 0xD80F5A5Du},
    {"eraser-click-lin0-L1", 0xB5150F86u},      {"eraser-click-lin0-L2", 0x370358BEu},
    {"eraser-click-lin0-L3", 0x20941E15u},      {"eraser-click-lin3", 0xFB943E05u},
    {"eraser-click-lin3-L0", 0xD80F5A5Du},      {"eraser-click-lin3-L1", 0x046BE0C2u},
    {"eraser-click-lin3-L2", 0x370358BEu},      {"eraser-click-lin3-L3", 0x20941E15u},
    {"eraser-click-lin10", 0x2658DE67u},        {"eraser-click-lin10-L0", 0xC2128D38u},
    {"eraser-click-lin10-L1", 0xA3EAD970u},     {"eraser-click-lin10-L2", 0x370358BEu},
    {"eraser-click-lin10-L3", 0x20941E15u},
};

using stroketest::SGoldenCase;

std::string CaseName(const SGoldenCase& c) {
    static const char* const tools[] = {"chalk", "crayon", "eraser"};
    return stroketest::GoldenName(tools[c.tool - 3], c);
}

class DryGoldens : public ::testing::TestWithParam<SGoldenCase> {};

TEST_P(DryGoldens, MatchesItsPictures) {
    const SGoldenCase& c = GetParam();
    CStrokeCanvas canvas(200, 150, 1);
    ASSERT_TRUE(canvas.IsReady());
    canvas.PaintPatch(gCRect(40, 30, 120, 110), 0xFFD02818u, 60);
    canvas.PaintPatch(gCRect(120, 30, 170, 110), 0xFF30A040u, 0);
    canvas.SetColour(0xFF1838C8u);
    std::unique_ptr<CPaintTool> tool = MakeDryTool(c.tool);
    ASSERT_NE(tool, nullptr);
    tool->SetToolLinearSize(float(c.linear) / 10.0f);
    ASSERT_EQ(canvas.Run(*tool, stroketest::GoldenStroke(c.recipe)), eNoError);
    EXPECT_STROKE_GOLDENS(canvas, CaseName(c), kDryGoldens);
}

// Chalk, crayon and the eraser (ids 3 to 5), the first three golden strokes.
INSTANTIATE_TEST_SUITE_P(
    Dry, DryGoldens,
    ::testing::ValuesIn(stroketest::GoldenCases({eToolChalk, eToolCrayon, eToolEraser}, 3)),
    [](const auto& info) { return stroketest::TestName(CaseName(info.param)); });

} // namespace
