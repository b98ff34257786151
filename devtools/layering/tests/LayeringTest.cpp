// The layering check, run with the repository's own table on small trees
// written into a temporary folder: a clean tree passes, and each bad edge
// is reported with its file, line and rule.

#include <gtest/gtest.h>

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "devtools/layering/Layering.h"

namespace {

namespace fs = std::filesystem;

layering::EdgeTable RepositoryTable() {
    std::ifstream in(DAUBLIN_LAYERING_TABLE, std::ios::binary);
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    layering::EdgeTable table;
    std::vector<std::string> errors;
    EXPECT_TRUE(layering::ParseEdgeTable(text, "allowed-edges.txt", table, errors))
        << ::testing::PrintToString(errors);
    return table;
}

// A tree that takes every kind of edge the table allows. `text/` stands
// alone, `ui/` is absent.
const std::map<std::string, std::string> kCleanTree = {
    {"foundation/Error.h", "#include <cstdint>\n"},
    {"foundation/Error.cpp", "#include \"foundation/Error.h\"\n"},
    {"foundation/tests/StringTestSupport.h", ""},
    {"foundation/tests/ErrorTest.cpp", "#include <gtest/gtest.h>\n"
                                       "#include \"foundation/Error.h\"\n"
                                       "#include \"foundation/tests/StringTestSupport.h\"\n"
                                       "#include \"testsupport/foundation/FakeAppServices.h\"\n"},
    {"FileIO/gCFile.h", "#include \"foundation/Error.h\"\n"},
    {"FileIO/FSRef.h", "#include \"FileIO/gCFile.h\"\n"},
    {"FileIO/gCFile.cpp", "#include \"FileIO/FSRef.h\"\n"},
    {"FileIO/tests/FileHelper.h", ""},
    {"FileIO/tests/FileTest.cpp", "#include \"FileIO/FSRef.h\"\n"
                                  "#include \"FileIO/tests/FileHelper.h\"\n"
                                  "#include \"testsupport/FileIO/TempVolume.h\"\n"
                                  "#include \"testsupport/foundation/FakeAppServices.h\"\n"},
    {"imaging/Image.h", "#include \"FileIO/gCFile.h\"\n"},
    {"imaging/Image.cpp", "#include <png.h>\n"
                          "#include \"imaging/Image.h\"\n"
                          "#include \"imaging/detail/Private.h\"\n"},
    {"imaging/detail/Private.h", "#include \"imaging/Image.h\"\n"},
    {"imaging/tests/ImageTest.cpp", "#include \"imaging/detail/Private.h\"\n"
                                    "#include \"testsupport/imaging/Images.h\"\n"
                                    "#include \"testsupport/FileIO/TempVolume.h\"\n"},
    {"platform/App.h", "#include <SDL.h>\n#include \"imaging/Image.h\"\n"},
    {"platform/detail/Pen.h", "#include <SDL_syswm.h>\n#include <X11/extensions/XInput2.h>\n"},
    {"platform/tests/AppTest.cpp", "#include <SDL.h>\n"
                                   "#include \"platform/detail/Pen.h\"\n"
                                   "#include \"testsupport/platform/TestApp.h\"\n"},
    {"testsupport/platform/Headless.cpp", "#include <SDL.h>\n"
                                          "#include \"platform/App.h\"\n"},
    {"widgets/Widget.h", "#include \"platform/App.h\"\n"},
    {"text/Font.h", "#include \"widgets/Widget.h\"\n"},
    {"paint/Backbone.h", "#include \"platform/App.h\"\n#include \"imaging/Image.h\"\n"},
    {"paint/Layers.cpp", "#include \"paint/Backbone.h\"\n"},
    {"paint/canvas/CanvasDisplay.cpp",
     "#include \"paint/Backbone.h\"\n#include \"widgets/Widget.h\"\n"},
    {"paint/canvas/CanvasInput.h", "#include \"widgets/Widget.h\"\n"},
    {"paint/tests/CanvasTest.cpp", "#include \"widgets/Widget.h\"\n"
                                   "#include \"testsupport/paint/SpyCanvas.h\"\n"
                                   "#include \"testsupport/platform/TestApp.h\"\n"},
    {"tools/Brush.h", "#include \"paint/Backbone.h\"\n"},
    {"tools/Brush.cpp", "#include \"tools/Brush.h\"\n#include \"platform/App.h\"\n"},
    {"tools/wet/detail/Bristles.h", "#include \"tools/Brush.h\"\n"},
    {"tools/wet/OilPaint.cpp", "#include \"tools/wet/detail/Bristles.h\"\n"},
    {"testsupport/foundation/FakeAppServices.h", "#include \"foundation/Error.h\"\n"},
    {"testsupport/FileIO/TempVolume.h", "#include \"FileIO/gCFile.h\"\n"
                                        "#include \"testsupport/foundation/FakeAppServices.h\"\n"},
    {"testsupport/imaging/Images.h", "#include \"imaging/Image.h\"\n"},
    {"testsupport/platform/TestApp.h", "#include \"platform/App.h\"\n"},
    {"testsupport/paint/SpyCanvas.h", "#include \"paint/Backbone.h\"\n"
                                      "#include \"widgets/Widget.h\"\n"
                                      "#include \"testsupport/platform/TestApp.h\"\n"},
    {"devtools/rc/Compiler.h", "#include \"imaging/Image.h\"\n"
                               "#include \"testsupport/FileIO/TempVolume.h\"\n"},
    {"devtools/tests/Run.h", ""},
    {"devtools/tests/CompilerTest.cpp", "#include \"devtools/rc/Compiler.h\"\n"
                                        "#include \"devtools/tests/Run.h\"\n"},
    {"bench/BenchImage.cpp", "#include <benchmark/benchmark.h>\n#include \"imaging/Image.h\"\n"},
    // Build output and hidden folders are not read.
    {"build/release/Generated.cpp", "#include \"Generated.h\"\n"},
    {".cache/Index.h", "#include \"platform/App.h\"\n"},
};

class LayeringTree : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "layering-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        m_Root = pattern;
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(m_Root, ec);
    }

    // Writes the clean tree with `file` holding `source` (added, or in place
    // of the clean tree's file) and checks it.
    std::vector<std::string> Check(const std::string& file, const std::string& source,
                                   int* filesChecked = nullptr) {
        std::error_code ec;
        fs::remove_all(m_Root, ec);
        std::map<std::string, std::string> tree = kCleanTree;
        if (!file.empty()) {
            tree[file] = source;
        }
        for (const auto& [path, text] : tree) {
            fs::create_directories((m_Root / path).parent_path());
            std::ofstream(m_Root / path, std::ios::binary) << text;
        }
        return layering::CheckTree(m_Table, m_Root, filesChecked);
    }

    layering::EdgeTable m_Table = RepositoryTable();
    fs::path m_Root;
};

TEST_F(LayeringTree, CleanTreePasses) {
    int files = 0;
    EXPECT_EQ(Check("", "", &files), std::vector<std::string>());
    EXPECT_EQ(files, int(kCleanTree.size()) - 2); // build/ and .cache/ left out
}

struct EdgeCase {
    const char* what;
    const char* file;
    const char* source;
    const char* report; // "" when the tree stays clean
};

const EdgeCase kEdgeCases[] = {
    {"upward include", "foundation/Error.cpp", "#include \"platform/App.h\"\n",
     "foundation/Error.cpp:1: foundation may not include platform/App.h"
     " (platform sits above foundation in the layers)"},
    {"upward include from a test", "imaging/tests/ImageTest.cpp", "#include \"paint/Backbone.h\"\n",
     "imaging/tests/ImageTest.cpp:1: imaging tests may not include paint/Backbone.h"
     " (paint sits above imaging in the layers)"},
    {"angle brackets hide no edge", "foundation/Error.cpp", "#include <platform/App.h>\n",
     "foundation/Error.cpp:1: foundation may not include <platform/App.h>"
     " (platform sits above foundation in the layers)"},
    {"line of a spaced directive", "foundation/Error.cpp",
     "#include \"foundation/Error.h\"\n\n  #  include \"platform/App.h\" // why\n",
     "foundation/Error.cpp:3: foundation may not include platform/App.h"
     " (platform sits above foundation in the layers)"},
    {"commented-out includes", "foundation/Error.cpp",
     "// #include \"platform/App.h\"\n/*\n#include \"platform/App.h\"\n*/\n", ""},
    {"paint including tools", "paint/Layers.cpp", "#include \"tools/Brush.h\"\n",
     "paint/Layers.cpp:1: paint may not include tools/Brush.h (tools sits above paint in the "
     "layers)"},
    {"paint including text", "paint/Layers.cpp", "#include \"text/Font.h\"\n",
     "paint/Layers.cpp:1: paint may not include text/Font.h (the table denies paint -> text)"},
    {"tools including widgets", "tools/Brush.cpp", "#include \"widgets/Widget.h\"\n",
     "tools/Brush.cpp:1: tools may not include widgets/Widget.h"
     " (the table denies tools -> widgets)"},
    {"tools including text", "tools/Brush.cpp", "#include \"text/Font.h\"\n",
     "tools/Brush.cpp:1: tools may not include text/Font.h (the table denies tools -> text)"},
    {"document file including widgets", "paint/Layers.cpp", "#include \"widgets/Widget.h\"\n",
     "paint/Layers.cpp:1: paint may not include widgets/Widget.h"
     " (paint -> widgets only from paint/canvas/CanvasDisplay*, paint/canvas/CanvasInput*, paint/canvas/ProxyCanvas*)"},
    {"paint's private header including widgets", "paint/detail/Grain.h",
     "#include \"widgets/Widget.h\"\n",
     "paint/detail/Grain.h:1: paint may not include widgets/Widget.h"
     " (paint -> widgets only from paint/canvas/CanvasDisplay*, paint/canvas/CanvasInput*, paint/canvas/ProxyCanvas*)"},
    {"canvas display including widgets", "paint/canvas/CanvasDisplayBlit.cpp",
     "#include \"widgets/Widget.h\"\n", ""},
    {"ui including every layer", "ui/App.cpp",
     "#include \"tools/Brush.h\"\n#include \"text/Font.h\"\n#include \"widgets/Widget.h\"\n", ""},
    {"SDL outside platform", "imaging/Blit.cpp", "#include <SDL.h>\n",
     "imaging/Blit.cpp:1: imaging may not include <SDL.h> (<SDL*.h> belongs to platform alone)"},
    {"SDL2-prefixed SDL in ui", "ui/App.cpp", "#include <SDL2/SDL_events.h>\n",
     "ui/App.cpp:1: ui may not include <SDL2/SDL_events.h> (<SDL*.h> belongs to platform alone)"},
    {"X11 in widgets", "widgets/Window.cpp", "#include <X11/Xlib.h>\n",
     "widgets/Window.cpp:1: widgets may not include <X11/Xlib.h> (<X11/*> belongs to platform "
     "alone)"},
    {"SDL in test support", "testsupport/platform/TestApp.h", "#include <SDL.h>\n",
     "testsupport/platform/TestApp.h:1: testsupport/platform may not include <SDL.h>"
     " (<SDL*.h> belongs to platform alone)"},
    {"SDL in a higher layer's test support source", "testsupport/widgets/Screen.cpp",
     "#include <SDL.h>\n",
     "testsupport/widgets/Screen.cpp:1: testsupport/widgets may not include <SDL.h>"
     " (<SDL*.h> belongs to platform alone)"},
    {"another module's detail header", "paint/Layers.cpp",
     "#include \"imaging/detail/Private.h\"\n",
     "paint/Layers.cpp:1: paint may not include imaging/detail/Private.h"
     " (imaging/detail/ is private to imaging and its tests)"},
    {"a topic folder's detail header from another module", "ui/App.cpp",
     "#include \"tools/wet/detail/Bristles.h\"\n",
     "ui/App.cpp:1: ui may not include tools/wet/detail/Bristles.h"
     " (tools/wet/detail/ is private to tools and its tests)"},
    {"a topic folder's detail header from its own module", "tools/dry/Chalk.cpp",
     "#include \"tools/wet/detail/Bristles.h\"\n", ""},
    {"test support reaching into detail", "testsupport/imaging/Images.h",
     "#include \"imaging/detail/Private.h\"\n",
     "testsupport/imaging/Images.h:1: testsupport/imaging may not include imaging/detail/Private.h"
     " (imaging/detail/ is private to imaging and its tests)"},
    {"test borrowing another module's tests", "imaging/tests/ImageTest.cpp",
     "#include \"FileIO/tests/FileHelper.h\"\n",
     "imaging/tests/ImageTest.cpp:1: imaging tests may not include FileIO/tests/FileHelper.h"
     " (FileIO/tests/ belongs to FileIO's own tests)"},
    {"module including its own tests", "FileIO/gCFile.cpp",
     "#include \"FileIO/tests/FileHelper.h\"\n",
     "FileIO/gCFile.cpp:1: FileIO may not include FileIO/tests/FileHelper.h"
     " (FileIO/tests/ belongs to FileIO's own tests)"},
    {"bare include", "imaging/Image.cpp", "#include \"Image.h\"\n",
     "imaging/Image.cpp:1: imaging may not include Image.h"
     " (bare include: no file of that path from the repository root)"},
    {"relative include", "imaging/Image.cpp", "#include \"../foundation/Error.h\"\n",
     "imaging/Image.cpp:1: imaging may not include ../foundation/Error.h"
     " (bare include: no file of that path from the repository root)"},
    {"test support above the test's layer", "imaging/tests/ImageTest.cpp",
     "#include \"testsupport/platform/TestApp.h\"\n",
     "imaging/tests/ImageTest.cpp:1: imaging tests may not include testsupport/platform/TestApp.h"
     " (testsupport/platform sits above imaging in the layers)"},
    {"module including test support", "imaging/Image.cpp",
     "#include \"testsupport/imaging/Images.h\"\n",
     "imaging/Image.cpp:1: imaging may not include testsupport/imaging/Images.h"
     " (a module includes modules alone)"},
    {"test support including a higher layer's", "testsupport/FileIO/TempVolume.h",
     "#include \"testsupport/imaging/Images.h\"\n",
     "testsupport/FileIO/TempVolume.h:1: testsupport/FileIO may not include"
     " testsupport/imaging/Images.h (imaging sits above FileIO in the layers)"},
    {"devtools borrowing a module's tests", "devtools/rc/Compiler.h",
     "#include \"FileIO/tests/FileHelper.h\"\n",
     "devtools/rc/Compiler.h:1: devtools may not include FileIO/tests/FileHelper.h"
     " (FileIO/tests/ belongs to FileIO's own tests)"},
    {"devtools including its own tests", "devtools/rc/Compiler.h",
     "#include \"devtools/tests/Run.h\"\n",
     "devtools/rc/Compiler.h:1: devtools may not include devtools/tests/Run.h"
     " (the tests folders of devtools belong to its own tests)"},
    {"bench including devtools", "bench/BenchImage.cpp", "#include \"devtools/rc/Compiler.h\"\n",
     "bench/BenchImage.cpp:1: bench may not include devtools/rc/Compiler.h"
     " (bench includes modules, test support and its own files alone)"},
    {"source outside every area", "scripts/Gen.cpp", "#include \"foundation/Error.h\"\n",
     "scripts/Gen.cpp:1: scripts/ may not include foundation/Error.h"
     " (scripts/ is in no area of the table)"},
};

TEST_F(LayeringTree, ReportsEveryEdgeTheTableRefuses) {
    for (const EdgeCase& c : kEdgeCases) {
        SCOPED_TRACE(c.what);
        const std::vector<std::string> expected =
            *c.report ? std::vector<std::string>{c.report} : std::vector<std::string>();
        EXPECT_EQ(Check(c.file, c.source), expected);
    }
}

TEST(LayeringScan, ReadsDirectivesOnly) {
    struct ScanCase {
        const char* source;
        std::vector<layering::Include> includes;
    };
    const ScanCase cases[] = {
        {"const char* s = \"/*\";\n#include \"a/b.h\"\n", {{2, false, "a/b.h"}}},
        {"char c = '\"'; int n = 1'000;\n#include <c.h> // \"x.h\"\n", {{2, true, "c.h"}}},
        {"auto r = R\"x(\n#include \"hidden.h\"\n)x\";\n#include \"d.h\"\n", {{4, false, "d.h"}}},
        {"// a comment joined \\\n#include \"hidden.h\"\n/* x */ #include \"e.h\"\n",
         {{3, false, "e.h"}}},
        {"#include_next <f.h>\n#include HEADER\nint include;\n", {}},
    };
    for (const ScanCase& c : cases) {
        SCOPED_TRACE(c.source);
        const std::vector<layering::Include> got = layering::ScanIncludes(c.source);
        ASSERT_EQ(got.size(), c.includes.size());
        for (size_t i = 0; i < got.size(); ++i) {
            EXPECT_EQ(got[i].line, c.includes[i].line);
            EXPECT_EQ(got[i].angled, c.includes[i].angled);
            EXPECT_EQ(got[i].path, c.includes[i].path);
        }
    }
}

TEST(LayeringTable, RefusesMalformedTables) {
    const struct {
        const char* text;
        const char* error;
    } cases[] = {
        {"deny paint text\n", "t:1: deny before the layers line"},
        {"# only a comment\n", "t: no layers line"},
        {"layers a b a\n", "t:1: 'a' is listed twice"},
        {"layers a testsupport\n", "t:1: 'testsupport' cannot be a module"},
        {"layers a\nlayers b\n", "t:2: a second layers line"},
        {"layers a b\n\ndeny a c\n", "t:3: 'c' is not a module of the layers line"},
        {"layers a b\nonly a b\n", "t:2: only takes two modules and at least one glob"},
        {"layers a b\nsystem a\n", "t:2: system takes a module and at least one glob"},
        {"layers a\nfree a\n", "t:2: 'a' cannot be a free folder"},
        {"layers a\nallow a a\n", "t:2: unknown directive 'allow'"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        layering::EdgeTable table;
        std::vector<std::string> errors;
        EXPECT_FALSE(layering::ParseEdgeTable(c.text, "t", table, errors));
        EXPECT_EQ(errors, std::vector<std::string>{c.error});
    }
}

TEST(LayeringGlob, MatchesWholePaths) {
    const struct {
        const char* glob;
        const char* text;
        bool match;
    } cases[] = {
        {"paint/CanvasDisplay*", "paint/CanvasDisplay.cpp", true},
        {"paint/CanvasDisplay*", "paint/detail/CanvasDisplay.h", false},
        {"paint/CanvasDisplay*", "xpaint/CanvasDisplay.h", false},
        {"SDL*.h", "SDL_syswm.h", true},
        {"SDL*.h", "SDL2/SDL.h", true}, // '*' crosses '/'
        {"SDL*.h", "SDL.hpp", false},
        {"X11/*", "X11/extensions/XInput2.h", true},
        {"a?c", "abc", true},
        {"a?c", "ac", false},
        {"*a*a", "banana", true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(layering::GlobMatch(c.glob, c.text), c.match) << c.glob << " / " << c.text;
    }
}

} // namespace
