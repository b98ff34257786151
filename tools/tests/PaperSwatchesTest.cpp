// The four built papers under the dry and wet media: on each paper, chalk,
// crayon, the pencil and oil paint drag the figure-eight at a light and a
// firm pressure. The swatches are written as one picture under the build
// folder (a row per paper, a pair of columns per tool, light then firm) for
// a person to look at. The checks: chalk, crayon and a light pencil catch on
// the paper's grain, leaving more colour where the paper stands higher.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "FileIO/gCFile.h"
#include "FileIO/gCResourceIndex.h"
#include "imaging/ImNav.h"
#include "imaging/Image.h"
#include "testsupport/FileIO/IndexedFile.h"
#include "testsupport/imaging/Goldens.h"
#include "testsupport/paint/StrokeCanvas.h"
#include "tools/dry/Chalk.h"
#include "tools/dry/Crayon.h"
#include "tools/ribbon/Pencils.h"
#include "tools/tests/StrokeTestSupport.h"
#include "tools/wet/OilPaint.h"

namespace {

constexpr int32_t kW = 200, kH = 150, kGap = 4;
constexpr uint32_t kColour = 0xFF203878u;
const char* const kPapers[] = {"cold-press", "laid", "canvas", "hot-press"};

// A medium, its linear size, and how strongly its light and firm strokes
// must at least follow the grain (see CatchOf; oil paint covers the tooth,
// so nothing is asked of it).
struct SMedium {
    const char* name;
    int32_t id;
    float linear;
    double lightCatch;
    double firmCatch;
};

const SMedium kMedia[] = {{"chalk", 3, 0.3f, 0.4, 0.15},
                          {"crayon", 4, 0.3f, 0.4, 0.15},
                          {"pencil", 1, 1.0f, 0.2, -1.0},
                          {"oil", 0, 0.3f, -1.0, -1.0}};
const double kPressures[] = {0.7, 1.0};

std::unique_ptr<CPaintTool> MakeMedium(const SMedium& m) {
    switch (m.id) {
    case 3:
        return stroketest::MakeTool<CChalk>(m.id);
    case 4:
        return stroketest::MakeTool<CCrayon>(m.id);
    case 1:
        return stroketest::MakeTool<CPencils>(m.id);
    default:
        return stroketest::MakeTool<COilPaint>(m.id);
    }
}

// The golden figure-eight's path at one steady pressure.
CStroke FigureEightAt(double pressure) {
    CStroke stroke = stroketest::GoldenStroke(0);
    for (SStrokeSample& s : stroke) {
        s.q = StrokeRecipes::QuantisePressure(pressure);
    }
    return stroke;
}

// How much colour a pixel of L0 holds, 0..1: its alpha.
double Cover(uint32_t pixel) {
    return double(pixel >> 24) / 255.0;
}

// One swatch: the stroke's L0 and grain, and its relit picture.
struct SSwatch {
    std::vector<uint32_t> colour;
    std::vector<uint32_t> grain;
    std::unique_ptr<CImage> picture;
};

// The correlation of the colour a stroke left with the grain under it, over
// the pixels where the firm stroke left any: positive where the medium
// catches on the high points of the paper.
double CatchOf(const SSwatch& stroke, const SSwatch& firm) {
    double n = 0.0, sc = 0.0, sg = 0.0, scc = 0.0, sgg = 0.0, scg = 0.0;
    for (size_t k = 0; k < stroke.colour.size(); ++k) {
        if ((firm.colour[k] >> 24) == 0) {
            continue;
        }
        const double c = Cover(stroke.colour[k]), g = double(stroke.grain[k]);
        n += 1.0;
        sc += c;
        sg += g;
        scc += c * c;
        sgg += g * g;
        scg += c * g;
    }
    const double vc = scc - sc * sc / n, vg = sgg - sg * sg / n;
    return vc > 0.0 && vg > 0.0 ? (scg - sc * sg / n) / std::sqrt(vc * vg) : 0.0;
}

class PaperSwatches : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(OpenIndexed(DAUBLIN_RESOURCE_DIR "/system.vrf", m_File, m_Index));
    }
    void TearDown() override { EXPECT_EQ(m_File.Close(), eNoError); }

    // The medium's stroke at the pressure on a new canvas of the paper.
    void Paint(uint32_t paper, const SMedium& medium, double pressure, SSwatch& swatch) {
        CStrokeCanvas canvas(kW, kH, 1);
        ASSERT_TRUE(canvas.IsReady());
        ASSERT_EQ(canvas.LayPaper(paper, m_File, m_Index), eNoError);
        canvas.SetColour(kColour);
        std::unique_ptr<CPaintTool> tool = MakeMedium(medium);
        ASSERT_NE(tool, nullptr);
        tool->SetToolLinearSize(medium.linear);
        ASSERT_EQ(canvas.Run(*tool, FigureEightAt(pressure)), eNoError);
        swatch.colour = canvas.Copy(0);
        swatch.grain = canvas.Copy(1);
        for (uint32_t& g : swatch.grain) {
            g >>= 16;
        }
        swatch.picture = std::make_unique<CImage>(kW, kH);
        CImNav from(&canvas.Relit()), to(swatch.picture.get());
        ASSERT_TRUE(from.IsLocked() && to.IsLocked());
        for (int32_t y = 0; y < kH; ++y) {
            std::copy_n(from.Row(y), kW, to.Row(y));
        }
    }

    gCFile m_File;
    gCResourceIndex m_Index;
};

TEST_F(PaperSwatches, EachMediumOnEachPaperCatchesOnTheGrain) {
    constexpr int32_t columns = 2 * int32_t(std::size(kMedia));
    constexpr int32_t rows = int32_t(std::size(kPapers));
    CImage sheet(columns * (kW + kGap) + kGap, rows * (kH + kGap) + kGap);
    CImNav out(&sheet);
    ASSERT_TRUE(out.IsLocked());
    for (int32_t y = 0; y < sheet.GetHeight(); ++y) {
        std::fill_n(out.Row(y), sheet.GetWidth(), CPixel(0xFF26241Fu));
    }
    for (uint32_t paper = 0; paper < uint32_t(rows); ++paper) {
        for (int32_t m = 0; m < int32_t(std::size(kMedia)); ++m) {
            const SMedium& medium = kMedia[m];
            SCOPED_TRACE(std::string(kPapers[paper]) + ", " + medium.name);
            SSwatch swatches[2];
            for (int32_t p = 0; p < 2; ++p) {
                ASSERT_NO_FATAL_FAILURE(Paint(paper, medium, kPressures[p], swatches[p]));
                CImNav from(swatches[p].picture.get());
                const int32_t left = kGap + (2 * m + p) * (kW + kGap);
                const int32_t top = kGap + int32_t(paper) * (kH + kGap);
                for (int32_t y = 0; y < kH; ++y) {
                    std::copy_n(from.Row(y), kW, out.Row(top + y) + left);
                }
            }
            const double light = CatchOf(swatches[0], swatches[1]);
            const double firm = CatchOf(swatches[1], swatches[1]);
            std::printf("%-10s %-6s follows the grain: light %.2f, firm %.2f\n", kPapers[paper],
                        medium.name, light, firm);
            EXPECT_GT(light, medium.lightCatch);
            EXPECT_GT(firm, medium.firmCatch);
        }
    }
    EXPECT_TRUE(WritePicturePng(sheet, std::string(DAUBLIN_GOLDEN_OUTPUT) + "/paper-swatches.png"));
}

} // namespace
