// A picture imported as paint: where each fit mode places it in the colour
// layer, and the flat coat it leaves in the height and finish layers.

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "imaging/ImNav.h"
#include "imaging/Image.h"
#include "imaging/Stretcher.h"
#include "paint/ChannelValue.h"
#include "paint/canvas/Canvas.h"
#include "paint/project/ProjectInfo.h"

namespace {

constexpr uint32_t kBare = 0x00FFFFFFu;  // transparent white
constexpr uint32_t kCoat = 0x03FF03FFu;  // the finish of a covered pixel
constexpr uint32_t kPaint = 0xFF336699u; // an opaque picture colour

using Words = std::vector<uint32_t>;

Words WordsOf(CImage* image) {
    CImNav v(image);
    Words out;
    for (int32_t y = 0; y < v.GetHeight(); ++y) {
        out.insert(out.end(), v.Row(y), v.Row(y) + v.GetWidth());
    }
    return out;
}

// A picture whose every pixel is given by f(x, y).
template <class F> void Paint(CImage& image, int32_t w, int32_t h, F f) {
    ASSERT_EQ(image.Create(w, h), eNoError);
    CImNav v(&image);
    for (int32_t y = 0; y < h; ++y) {
        for (int32_t x = 0; x < w; ++x) {
            v.Row(y)[x] = f(x, y);
        }
    }
}

// A bare canvas (no backbone, no paper: grain 0) with a project of the size.
class CanvasImport : public ::testing::Test {
protected:
    void Project(int32_t w, int32_t h) {
        CProjectInfo info;
        info.m_nWidth = w;
        info.m_nHeight = h;
        ASSERT_EQ(canvas.CreateProject(&info), eNoError);
    }
    CPixel* Data(int32_t layer) { return canvas.LayerView(layer)->GetData(); }
    // Every pixel's grain, with paint depth already there and a stroke
    // mark in L3, which the import must leave.
    void Grain(const std::vector<uint32_t>& grain) {
        for (size_t i = 0; i < grain.size(); ++i) {
            Data(CCanvasLayers::kHeight)[i] = (grain[i] << 16) | 999u;
            Data(CCanvasLayers::kGrain)[i] = 0xABCD0000u | grain[i];
        }
    }
    uint32_t Depth(size_t i) { return uint32_t(Data(CCanvasLayers::kHeight)[i]) & 0xFFFFu; }
    uint32_t Finish(size_t i) { return Data(CCanvasLayers::kFinish)[i]; }

    CCanvas canvas;
};

TEST_F(CanvasImport, CoatFollowsEachPixelsCoverage) {
    // Opaque pixels reach 100 above the highest grain (255 here); partly
    // covered ones get no depth and a finish scaled by their alpha.
    struct SPixel {
        uint32_t picture, grain, depth, finish;
    };
    const std::vector<SPixel> pixels = {
        {0xFF102030u, 0, 355, kCoat},       {0xFFFFFFFFu, 40, 315, kCoat},
        {0x80102030u, 200, 0, 0x01FF01FFu}, {0x00ABCDEFu, 255, 0, 0},
        {0xFE000000u, 7, 0, 0x03F703F7u},   {0x01FFFFFFu, 100, 0, 0x00030003u},
        {0xFF000000u, 255, 100, kCoat},
    };
    const int32_t n = int32_t(pixels.size());
    Project(n, 1);
    std::vector<uint32_t> grain;
    for (const SPixel& p : pixels) {
        grain.push_back(p.grain);
    }
    Grain(grain);
    CImage picture;
    Paint(picture, n, 1, [&](int32_t x, int32_t) { return pixels[size_t(x)].picture; });

    ASSERT_EQ(canvas.LoadPaintImage(&picture, 0), eNoError);
    for (size_t i = 0; i < pixels.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(uint32_t(Data(CCanvasLayers::kColour)[i]), pixels[i].picture);
        EXPECT_EQ(Depth(i), pixels[i].depth);
        EXPECT_EQ(uint32_t(Data(CCanvasLayers::kHeight)[i]) >> 16, pixels[i].grain);
        EXPECT_EQ(Finish(i), pixels[i].finish);
        EXPECT_EQ(uint32_t(Data(CCanvasLayers::kGrain)[i]), 0xABCD0000u | pixels[i].grain);
    }
}

TEST_F(CanvasImport, DepthStopsAtTheTopOfSixteenBits) {
    // G = 65535: bare grain would need 65635.
    Project(3, 1);
    Grain({65535, 0, 65500});
    CImage picture;
    Paint(picture, 3, 1, [](int32_t, int32_t) { return kPaint; });
    ASSERT_EQ(canvas.LoadPaintImage(&picture, 0), eNoError);
    EXPECT_EQ(Depth(0), 100u);
    EXPECT_EQ(Depth(1), 65535u);
    EXPECT_EQ(Depth(2), 135u);
    EXPECT_EQ(uint32_t(Data(CCanvasLayers::kHeight)[1]) >> 16, 0u);
}

TEST_F(CanvasImport, OpaquePictureOfTheCanvasSizeIsCopiedUnderAFlatSurface) {
    const int32_t w = 123, h = 77;
    Project(w, h);
    std::mt19937 rng(29);
    std::vector<uint32_t> grain(size_t(w) * h);
    uint32_t highest = 0;
    for (uint32_t& g : grain) {
        g = rng() % 256;
        highest = std::max(highest, g);
    }
    Grain(grain);
    CImage picture;
    Paint(picture, w, h, [&](int32_t, int32_t) { return 0xFF000000u | (rng() & 0xFFFFFFu); });

    ASSERT_EQ(canvas.LoadPaintImage(&picture, 1), eNoError);
    EXPECT_EQ(WordsOf(canvas.Layer(CCanvasLayers::kColour)), WordsOf(&picture));
    for (size_t i = 0; i < grain.size(); ++i) {
        ASSERT_EQ(Depth(i) + grain[i], highest + 100) << i;
        ASSERT_EQ(Finish(i), kCoat) << i;
    }
}

// Where an opaque one-colour picture lands on an 800 x 600 canvas: inside
// the rectangle the paint, outside it bare transparent white.
struct SFitCase {
    const char* name;
    uint32_t mode;
    int32_t pw, ph;
    gCRect covered; // empty: nothing placed
};

const SFitCase kFitCases[] = {
    {"stretch", 0, 400, 400, gCRect(0, 0, 800, 600)},
    {"fit, same aspect", 1, 400, 300, gCRect(0, 0, 800, 600)},
    {"fit, square: 1.5 and centred", 1, 400, 400, gCRect(100, 0, 700, 600)},
    {"fit, tall", 1, 300, 400, gCRect(175, 0, 625, 600)},
    {"fit, wide", 1, 400, 100, gCRect(0, 200, 800, 400)},
    {"fit, a column too thin to show", 1, 1, 3000, gCRect()},
    {"fit, a row too thin to show", 1, 3000, 1, gCRect()},
    {"fill, square", 2, 400, 400, gCRect(0, 0, 800, 600)},
    {"fill, a column whose crop is no row", 2, 1, 3000, gCRect()},
    {"centred, smaller", 3, 300, 200, gCRect(250, 200, 550, 400)},
    {"centred, larger", 3, 1000, 700, gCRect(0, 0, 800, 600)},
    {"tiled", 4, 300, 200, gCRect(0, 0, 800, 600)},
    {"an unknown mode", 7, 400, 400, gCRect()},
};

TEST_F(CanvasImport, FitModesPlaceThePicture) {
    Project(800, 600);
    for (const SFitCase& c : kFitCases) {
        SCOPED_TRACE(c.name);
        Grain(std::vector<uint32_t>(800 * 600, 0));
        CImage picture;
        Paint(picture, c.pw, c.ph, [](int32_t, int32_t) { return kPaint; });
        ASSERT_EQ(canvas.LoadPaintImage(&picture, c.mode), eNoError);
        int32_t wrong = 0;
        for (int32_t y = 0; y < 600 && wrong < 5; ++y) {
            for (int32_t x = 0; x < 800 && wrong < 5; ++x) {
                const size_t i = size_t(y) * 800 + size_t(x);
                const bool in = c.covered.Contains(gCPoint(x, y));
                const uint32_t l0 = Data(CCanvasLayers::kColour)[i];
                if (l0 != (in ? kPaint : kBare) || Depth(i) != (in ? 100u : 0u) ||
                    Finish(i) != (in ? kCoat : 0u)) {
                    ADD_FAILURE() << "at " << x << "," << y << ": " << std::hex << l0 << " "
                                  << Depth(i) << " " << Finish(i);
                    ++wrong;
                }
            }
        }
    }
}

TEST_F(CanvasImport, FillCropsThePictureToTheCanvasShape) {
    // Bands of another colour lie outside the part that fills the canvas:
    // only the middle one shows.
    struct SCrop {
        int32_t pw, ph;
        bool rows;      // cropped top and bottom, else left and right
        int32_t first;  // the first band's end
        int32_t second; // the middle band's end
    };
    // 400 x 400: fx 2 > fy 1.5, rows 50 .. 350. 600 x 400: fx 1.33 <= fy
    // 1.5, columns 33 .. 567 (33.3 and 566.7 rounded).
    for (const SCrop& c : {SCrop{400, 400, true, 50, 350}, SCrop{600, 400, false, 33, 567}}) {
        SCOPED_TRACE(c.pw);
        Project(800, 600);
        CImage picture;
        Paint(picture, c.pw, c.ph, [&](int32_t x, int32_t y) {
            const int32_t v = c.rows ? y : x;
            return v < c.first ? 0xFFFF0000u : (v < c.second ? kPaint : 0xFF0000FFu);
        });
        ASSERT_EQ(canvas.LoadPaintImage(&picture, 2), eNoError);
        EXPECT_EQ(WordsOf(canvas.Layer(CCanvasLayers::kColour)), Words(800 * 600, kPaint));
    }
}

TEST_F(CanvasImport, CentredAndTiledPicturesKeepTheirPixels) {
    std::mt19937 rng(7);
    const int32_t w = 101, h = 80;
    Project(w, h);
    for (const auto& [pw, ph] : {std::pair{30, 20}, std::pair{130, 91}}) {
        SCOPED_TRACE(pw);
        CImage picture;
        Paint(picture, pw, ph, [&](int32_t, int32_t) { return uint32_t(rng()); });
        CImNav p(&picture);
        ASSERT_EQ(canvas.LoadPaintImage(&picture, 3), eNoError);
        // Centred by integer halves: 50 - 15, 40 - 10; or 50 - 65, 40 - 45.
        const int32_t left = w / 2 - pw / 2, top = h / 2 - ph / 2;
        for (int32_t y = 0; y < h; ++y) {
            for (int32_t x = 0; x < w; ++x) {
                const int32_t sx = x - left, sy = y - top;
                const bool in = sx >= 0 && sy >= 0 && sx < pw && sy < ph;
                ASSERT_EQ(uint32_t(Data(CCanvasLayers::kColour)[size_t(y) * w + size_t(x)]),
                          in ? uint32_t(p.Row(sy)[sx]) : kBare)
                    << x << "," << y;
            }
        }
    }
    // Tiled from the centre, as the stretcher tiles.
    CImage picture;
    Paint(picture, 30, 20, [&](int32_t, int32_t) { return uint32_t(rng()); });
    CImage expected(w, h);
    CImNav e(&expected), p(&picture);
    ASSERT_EQ(CStretcher::Tile(&e, &p, CStretcher::eTileCentre), eNoError);
    ASSERT_EQ(canvas.LoadPaintImage(&picture, 4), eNoError);
    EXPECT_EQ(WordsOf(canvas.Layer(CCanvasLayers::kColour)), WordsOf(&expected));
}

TEST_F(CanvasImport, ImportIdStretchesThePicture) {
    Project(100, 100);
    CImage picture;
    Paint(picture, 40, 10, [](int32_t, int32_t) { return kPaint; });
    ASSERT_EQ(canvas.ProcessData(eCmdImportImage, this, ChannelValueOf(&picture), 0), 0);
    EXPECT_EQ(WordsOf(canvas.Layer(CCanvasLayers::kColour)), Words(100 * 100, 0)) << "a get";
    ASSERT_EQ(canvas.ProcessData(eCmdImportImage, this, ChannelValueOf(&picture), 1), 0);
    EXPECT_EQ(WordsOf(canvas.Layer(CCanvasLayers::kColour)), Words(100 * 100, kPaint));
}

TEST_F(CanvasImport, NothingToImportOrNoCanvasChangesNothing) {
    CImage picture;
    Paint(picture, 4, 4, [](int32_t, int32_t) { return kPaint; });
    EXPECT_EQ(canvas.LoadPaintImage(&picture, 0), eNoError) << "no layers yet";

    Project(4, 4);
    Grain(std::vector<uint32_t>(16, 3));
    const Words l0 = WordsOf(canvas.Layer(CCanvasLayers::kColour));
    const Words l1 = WordsOf(canvas.Layer(CCanvasLayers::kHeight));
    EXPECT_EQ(canvas.LoadPaintImage(nullptr, 0), eNoError);
    CImage empty; // no pixels: it cannot be locked
    EXPECT_EQ(canvas.LoadPaintImage(&empty, 0), eOutOfMemory);
    EXPECT_EQ(WordsOf(canvas.Layer(CCanvasLayers::kColour)), l0);
    EXPECT_EQ(WordsOf(canvas.Layer(CCanvasLayers::kHeight)), l1);
}

} // namespace
