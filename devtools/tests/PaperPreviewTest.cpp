// Paper previews: the compiler has the canvas draw a named paper lit as a
// new canvas shows it, tiled past the paper's own size when the preview is
// larger, and refuses, at the entry's line, a preview of anything that is
// not one of the canvas's papers.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "FileIO/gCResourceIndex.h"
#include "devtools/tests/CompilerRun.h"
#include "imaging/ImNav.h"
#include "imaging/Image.h"
#include "paint/canvas/Canvas.h"
#include "paint/project/ProjectInfo.h"
#include "paint/relight/StandardRenderer.h"
#include "testsupport/foundation/FakeAppServices.h"

namespace {

// A 64-pixel laid paper as paper 81 and its preview, wider and taller than
// the paper, so the canvas tiles it in both directions.
TEST_F(CompilerTest, PaperPreviewIsTheCanvasLitOnThatPaper) {
    const CompilerResult r =
        Compile("src", "blocks:\n"
                       "  - {kind: paper, id: 81, name: laid, pattern: laid, size: 64, period: 4,"
                       " seed: 9}\n"
                       "  - {kind: paper-preview, id: 85, name: look, paper: laid, width: 100,"
                       " height: 70}\n");
    ASSERT_EQ(r.exitCode, 0) << r.output;
    gCFile file;
    OpenOutput(file, "src", "system.vrf");
    gCResourceIndex index;
    ASSERT_EQ(index.SetupIndex(&file), eNoError);
    CFakeAppServices app;
    app.m_pResFile = &file;
    app.m_pResIndex = &index;

    CImage preview;
    ASSERT_EQ(preview.GetFromRes(85, &file, &index), eNoError);
    CImNav shown(&preview);
    ASSERT_EQ(shown.GetWidth(), 100);
    ASSERT_EQ(shown.GetHeight(), 70);
    CCanvas canvas;
    CProjectInfo info;
    info.m_nWidth = 100;
    info.m_nHeight = 70;
    info.m_nPaperTexture = 1;
    ASSERT_EQ(canvas.CreateProject(&info), eNoError);
    CStandardRenderer renderer;
    ASSERT_EQ(renderer.SetupRenderer(), eNoError);
    CImage lit(100, 70);
    ASSERT_EQ(renderer.Render(&lit, canvas, 1), eNoError);
    CImNav expected(&lit);
    for (int32_t y = 0; y < 70; ++y) {
        for (int32_t x = 0; x < 100; ++x) {
            ASSERT_EQ(uint32_t(shown.Row(y)[x]), uint32_t(expected.Row(y)[x])) << x << "," << y;
        }
    }
    // The laid ribs run across the rows, 4 pixels apart: the preview is not
    // flat, and row 64 begins the paper again.
    EXPECT_NE(uint32_t(shown.Row(0)[10]), uint32_t(shown.Row(2)[10]));
    for (int32_t x = 2; x < 62; ++x) {
        ASSERT_EQ(uint32_t(shown.Row(66)[x]), uint32_t(shown.Row(2)[x])) << x;
    }
    EXPECT_TRUE(app.m_Alerts.empty());
}

struct PreviewRefusal {
    const char* name;
    const char* blocks; // after the paper block "p" (id 80)
    int line;
    const char* message;
};

void PrintTo(const PreviewRefusal& r, std::ostream* os) {
    *os << r.name;
}

class RefusedPreview : public CompilerTest, public ::testing::WithParamInterface<PreviewRefusal> {};

TEST_P(RefusedPreview, NamesTheFileLineAndReason) {
    const std::string yaml = std::string("blocks:\n"
                                         "  - {kind: paper, id: 80, name: p, pattern: hot-press,"
                                         " size: 64, period: 4, seed: 1}\n") +
                             GetParam().blocks;
    const CompilerResult r = Compile("bad", yaml);
    EXPECT_NE(r.exitCode, 0);
    EXPECT_NE(r.output.find("source.yaml:" + std::to_string(GetParam().line) + ":"),
              std::string::npos)
        << r.output;
    EXPECT_NE(r.output.find(GetParam().message), std::string::npos) << r.output;
    EXPECT_FALSE(std::filesystem::exists(Posix("bad/out/system.vrf")));
}

INSTANTIATE_TEST_SUITE_P(
    Compiler, RefusedPreview,
    ::testing::Values(
        PreviewRefusal{
            "NoSuchPaper",
            "  - {kind: paper-preview, id: 84, name: v, paper: q, width: 8, height: 8}\n", 3,
            "no paper block is named \"q\""},
        PreviewRefusal{
            "NotAPaper",
            "  - {kind: paper-preview, id: 84, name: v, paper: w, width: 8, height: 8}\n"
            "  - {kind: paper-preview, id: 85, name: w, paper: p, width: 8, height: 8}\n",
            3, "\"w\" is a block of kind paper-preview, not a paper block"},
        PreviewRefusal{
            "PaperTheCanvasDoesNotTake",
            "  - {kind: paper, id: 79, name: q, pattern: laid, size: 64, period: 4,"
            " seed: 1}\n"
            "  - {kind: paper-preview, id: 84, name: v, paper: q, width: 8, height: 8}\n",
            4, "the canvas takes papers 80 to 83, not 79"},
        PreviewRefusal{
            "NoWidth",
            "  - {kind: paper-preview, id: 84, name: v, paper: p, width: 0, height: 8}\n", 3,
            "width"},
        PreviewRefusal{"TooTall",
                       "  - {kind: paper-preview, id: 84, name: v, paper: p, width: 8,"
                       " height: 1025}\n",
                       3, "height"}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
