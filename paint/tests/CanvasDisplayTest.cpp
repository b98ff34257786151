// The canvas on screen: zoom steps, the widget's size and place, the
// panning limits, the repaint of a relit rectangle and of an undo, and the
// render procedure at every kind of scale with the tracing overlay.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "foundation/MessageIds.h"
#include "foundation/Rounding.h"
#include "imaging/ImNav.h"
#include "imaging/Image.h"
#include "imaging/Pixel.h"
#include "paint/Backbone.h"
#include "paint/ChannelValue.h"
#include "paint/canvas/Canvas.h"
#include "paint/project/ProjectInfo.h"
#include "paint/relight/Renderer.h"
#include "testsupport/foundation/FakeAppServices.h"
#include "testsupport/foundation/RecordingModule.h"
#include "testsupport/imaging/Goldens.h"
#include "testsupport/imaging/PixelPaths.h"
#include "testsupport/widgets/RecordingRoot.h"
#include "widgets/ImWidget.h"

namespace {

using Words = std::vector<uint32_t>;

Words Copy(CImage& image) {
    CImNav v(&image);
    Words out;
    for (int32_t y = 0; y < v.GetHeight(); ++y) {
        const CPixel* row = v.Row(y);
        for (int32_t x = 0; x < v.GetWidth(); ++x) {
            out.push_back(row[x]);
        }
    }
    return out;
}

// The display's formulas pixel by pixel, as the plain definition every
// path of the render procedure must give to the bit.
namespace reference {

uint32_t Toward(uint32_t d, uint32_t level, uint32_t s) {
    CPixel p(d);
    CPixel::Blend255Proc(&p, int32_t(level), CPixel(s));
    return p;
}

uint32_t Ease(uint32_t f) {
    return (((f * f) >> 16) * (0x30000u - 2u * f)) >> 24;
}

struct SAxis {
    int32_t i0, i1;
    uint32_t e;
};

SAxis Axis(int64_t v, int32_t size) {
    int64_t i = v >> 16;
    uint32_t f = uint32_t(v & 0xFFFF);
    if (i < 0) {
        i = 0;
        f = 0;
    } else if (i >= int64_t(size) - 1) {
        i = std::max<int64_t>(0, int64_t(size) - 2);
        f = 0xFFFF;
    }
    return {int32_t(i), std::min(int32_t(i) + 1, size - 1), Ease(f)};
}

int64_t Step(float s) {
    return int64_t(std::clamp(RoundHalfAway(65536.0f / s), 1.0f, 1099511627776.0f));
}

// The composite (w x h words) drawn at scale s into out (the widget's
// size, row by row), and the tracing image over it when there is one.
void Draw(Words& out, int32_t ww, int32_t wh, const Words& src, int32_t w, int32_t h, float s) {
    const int64_t step = Step(s);
    for (int32_t y = 0; y < wh; ++y) {
        for (int32_t x = 0; x < ww; ++x) {
            uint32_t& px = out[size_t(y) * size_t(ww) + size_t(x)];
            if (s == 1.0f) {
                if (x < w && y < h) {
                    px = src[size_t(y) * size_t(w) + size_t(x)];
                }
            } else if (s > 0.5001f) {
                const float fy = std::clamp(RoundHalfAway(float(y) * 65536.0f / s),
                                            -1099511627776.0f, 1099511627776.0f);
                const SAxis ay = Axis(int64_t(fy), h);
                const SAxis ax = Axis(step * int64_t(x), w);
                auto at = [&](int32_t i, int32_t j) {
                    return src[size_t(j) * size_t(w) + size_t(i)];
                };
                px = Toward(Toward(at(ax.i0, ay.i0), ax.e, at(ax.i1, ay.i0)), ay.e,
                            Toward(at(ax.i0, ay.i1), ax.e, at(ax.i1, ay.i1)));
            } else {
                auto edge = [step](int64_t v, int64_t size) {
                    return std::clamp((step * v) >> 16, int64_t(0), size);
                };
                const int64_t x0 = edge(x, w), x1 = edge(x + 1, w);
                const int64_t y0 = edge(y, h), y1 = edge(y + 1, h);
                if (x0 >= x1 || y0 >= y1) {
                    continue;
                }
                uint64_t sum[4] = {0, 0, 0, 0};
                for (int64_t j = y0; j < y1; ++j) {
                    for (int64_t i = x0; i < x1; ++i) {
                        for (int32_t c = 0; c < 4; ++c) {
                            sum[c] += (src[size_t(j * w + i)] >> (8 * c)) & 0xFFu;
                        }
                    }
                }
                const uint64_t n = uint64_t(x1 - x0) * uint64_t(y1 - y0);
                px = 0;
                for (int32_t c = 0; c < 4; ++c) {
                    px |= uint32_t(sum[c] / n) << (8 * c);
                }
            }
        }
    }
}

void Trace(Words& out, int32_t ww, int32_t wh, const Words& trace, int64_t w, int64_t h,
           uint32_t bg, int32_t fitMode) {
    int64_t sx = (w * 256) / ww;
    int64_t sy = (h * 256) / wh;
    int64_t ox = 0, oy = 0;
    if (fitMode != 0) {
        sx = sy = fitMode == 2 ? std::min(sx, sy) : std::max(sx, sy);
        ox = (w * 256 - int64_t(ww) * sx) / 2;
        oy = (h * 256 - int64_t(wh) * sy) / 2;
    }
    for (int32_t y = 0; y < wh; ++y) {
        for (int32_t x = 0; x < ww; ++x) {
            uint32_t& px = out[size_t(y) * size_t(ww) + size_t(x)];
            const int64_t ty = oy + sy * y, tx = ox + sx * x;
            const int64_t iy = ty >> 8, ix = tx >> 8;
            if (iy < 0 || iy >= h || ix < 0 || ix >= w) {
                px = Toward(px, 100, bg);
                continue;
            }
            auto at = [&](int64_t i, int64_t j) { return trace[size_t(j * w + i)]; };
            const int64_t ix1 = std::min(ix + 1, w - 1), iy1 = std::min(iy + 1, h - 1);
            const uint32_t fx = uint32_t(tx & 255), fy = uint32_t(ty & 255);
            const uint32_t p = Toward(Toward(at(ix, iy), fx, at(ix1, iy)), fy,
                                      Toward(at(ix, iy1), fx, at(ix1, iy1)));
            px = Toward(px, 100, Toward(bg, 120, p));
        }
    }
}

} // namespace reference

// A registered backbone with a project whose canvas shows through an image
// widget in a 200 x 100 root.
class CanvasDisplay : public ::testing::Test {
protected:
    void SetUp() override {
        gCCmdTarget::SetBackboneModule(&backbone);
        gCCmdTarget::SetUIModule(&ui);
        ASSERT_EQ(backbone.ProcessData(eCmdInitBackbone, &ui, 0, 1), 0);
        canvas = backbone.Canvas();
        ASSERT_NE(canvas, nullptr);
        widget = AddPlaced<CImWidget>(root, gCRect(0, 0, 150, 110));
        ASSERT_NE(widget, nullptr);
    }
    void TearDown() override {
        gCCmdTarget::SetUIModule(nullptr);
        gCCmdTarget::SetBackboneModule(nullptr);
    }
    void Project(int32_t w, int32_t h) {
        CProjectInfo info;
        info.m_nWidth = w;
        info.m_nHeight = h;
        info.m_nCanvasSetting = 0xFFFFFFFAu;
        ASSERT_EQ(backbone.ProcessData(eCmdNewProject, &ui, ChannelValueOf(&info), 1), 0);
    }
    void Attach() {
        ASSERT_EQ(backbone.ProcessData(eCmdSetupCanvasWidget, &ui, ChannelValueOf(widget), 1), 0);
        ASSERT_EQ(canvas->CanvasWidget(), widget);
    }
    // Fills the composite with seeded opaque noise.
    void Noise(uint32_t seed) {
        std::mt19937 rng(seed);
        CImNav v(canvas->Composite());
        for (int32_t y = 0; y < v.GetHeight(); ++y) {
            for (int32_t x = 0; x < v.GetWidth(); ++x) {
                v.Row(y)[x] = 0xFF000000u | (rng() & 0xFFFFFFu);
            }
        }
    }
    float Zoomed(float from, int32_t up) {
        canvas->SetScale(from, 0);
        EXPECT_EQ(canvas->DoZoom(up, 0), eNoError);
        return canvas->DisplayScale();
    }
    // The render procedure over area of a target the widget's size.
    error Draw(CImage& target, const gCRect& area) {
        return CCanvas::CanvasRenderProc(canvas, widget, area, &target, 255);
    }

    CFakeAppServices app;
    CRecordingModule ui;
    CRecordingRoot root{200, 100};
    CSMKBackbone backbone;
    CCanvas* canvas = nullptr;
    CImWidget* widget = nullptr;
};

TEST_F(CanvasDisplay, ZoomStepsGoThroughTheChannel) {
    Project(150, 110);
    Attach();
    std::vector<float> up;
    canvas->SetScale(1.0f, 0);
    for (int32_t i = 0; i < 9; ++i) {
        ASSERT_EQ(canvas->ProcessData(eCmdZoomIn, &ui, 0, 1), 0);
        up.push_back(canvas->DisplayScale());
    }
    EXPECT_EQ(up, (std::vector<float>{2, 3, 4, 5, 6, 7, 8, 8, 8}));
    std::vector<float> down;
    canvas->SetScale(1.0f, 0);
    for (int32_t i = 0; i < 6; ++i) {
        ASSERT_EQ(canvas->ProcessData(eCmdZoomOut, &ui, 0, 1), 0);
        down.push_back(canvas->DisplayScale());
    }
    EXPECT_EQ(down, (std::vector<float>{0.75f, 0.5f, 0.25f, 0.1f, 0.05f, 0.05f}));
    EXPECT_EQ(Zoomed(0.3f, 1), 0.5f);
    EXPECT_EQ(Zoomed(0.3f, 0), 0.25f);
    EXPECT_EQ(Zoomed(7.5f, 0), 7.0f);
    EXPECT_EQ(Zoomed(7.5f, 1), 8.0f);
    EXPECT_EQ(Zoomed(9.0f, 1), 9.0f);
    EXPECT_EQ(Zoomed(0.01f, 0), 0.01f);
    float got = 0;
    ASSERT_EQ(canvas->ProcessData(eCmdDisplayScale, &ui, ChannelValueOf(&got), 0), 0);
    EXPECT_EQ(got, 0.01f);
}

TEST_F(CanvasDisplay, ScaleSizesAndPlacesTheWidget) {
    Project(150, 110);
    Attach();
    // The root's centre (100, 50) lies over the widget: it stays over the
    // same canvas point.
    canvas->SetScale(2.0f, 0);
    EXPECT_EQ(widget->Rect(), gCRect(-100, -50, 200, 170));
    // Away from the centre: about the widget's own centre, then pulled back
    // within the limits.
    ASSERT_EQ(widget->SetPosition(120, 70, 0), eNoError);
    ASSERT_EQ(widget->SetSize(150, 110, 0), eNoError);
    canvas->SetScale(0.5f, 0);
    EXPECT_EQ(widget->Rect(), gCRect(125, 50, 200, 105));
    // Scales that are not positive and finite change nothing.
    for (const float bad : {0.0f, -1.0f, std::numeric_limits<float>::quiet_NaN(),
                            std::numeric_limits<float>::infinity()}) {
        canvas->SetScale(bad, 1);
        EXPECT_EQ(canvas->DisplayScale(), 0.5f);
        EXPECT_EQ(widget->Rect(), gCRect(125, 50, 200, 105));
    }
    // A redraw request reaches the root.
    root.m_aLog.clear();
    canvas->SetScale(1.0f, 1);
    ASSERT_FALSE(root.m_aLog.empty());
    EXPECT_EQ(root.m_aLog.back(), "redraw");
}

TEST_F(CanvasDisplay, ScaleWithoutAProjectOrAreaDividesByNothing) {
    ASSERT_EQ(widget->SetSize(0, 0, 0), eNoError);
    ASSERT_EQ(canvas->AttachCanvasWidget(widget), eNoError);
    canvas->SetScale(2.0f, 1);
    EXPECT_EQ(canvas->DisplayScale(), 2.0f);
    EXPECT_EQ(widget->Width(), 0);
    EXPECT_EQ(canvas->AttachCanvasWidget(nullptr), eBadParameter);
}

TEST_F(CanvasDisplay, PanningLimits) {
    Project(150, 110);
    Attach();
    struct Case {
        gCRect from;
        gCRect to;
    };
    const Case cases[] = {
        // Wider than the root: the right edge stops at the middle (100).
        {gCRect(-1000, 0, -700, 50), gCRect(-200, 0, 100, 50)},
        // ... and the left edge too.
        {gCRect(150, 0, 450, 50), gCRect(100, 0, 400, 50)},
        // Narrower than half: anywhere inside.
        {gCRect(0, 0, 75, 40), gCRect(0, 0, 75, 40)},
        {gCRect(125, 60, 200, 100), gCRect(125, 60, 200, 100)},
        // ... but not beyond.
        {gCRect(190, -70, 265, -30), gCRect(125, 0, 200, 40)},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(widget->SetSize(c.from.Width(), c.from.Height(), 0), eNoError);
        ASSERT_EQ(widget->SetPosition(c.from.left, c.from.top, 0), eNoError);
        canvas->ConstrainCanvasToBackdrop(0);
        EXPECT_EQ(widget->Rect(), c.to) << c.from.left << "," << c.from.top;
    }
}

TEST_F(CanvasDisplay, RenderRelightsAndInvalidatesTheScaledRectangle) {
    Project(150, 110);
    Attach();
    canvas->SetScale(2.0f, 0);
    ASSERT_EQ(widget->SetPosition(0, 0, 0), eNoError);
    gCRect r(10, 10, 20, 20);
    canvas->InvalidateSpans(gCRect(10, 10, 21, 21));
    CImNav(canvas->Composite()).Fill(0x12345678u);
    root.m_aLog.clear();
    ASSERT_EQ(canvas->Render(r), eNoError);
    EXPECT_EQ(r, gCRect(10, 10, 21, 21));
    EXPECT_EQ(root.m_aLog, (std::vector<std::string>{"dirty 20,20,42,42", "redraw"}));
    CImNav v(canvas->Composite());
    EXPECT_EQ(uint32_t(v.Row(10)[10]), 0xFFFAFAF5u); // bare paper, relit
    EXPECT_EQ(uint32_t(v.Row(10)[21]), 0x12345678u); // outside the spans
}

TEST_F(CanvasDisplay, RedrawAndClearRelightTheWholeCanvas) {
    Project(150, 110);
    Attach();
    CImNav(canvas->Composite()).Fill(0x12345678u);
    root.m_aLog.clear();
    ASSERT_EQ(canvas->ProcessData(eCmdRedrawCanvas, &ui, 0, 0), 0);
    EXPECT_EQ(root.m_aLog, (std::vector<std::string>{"dirty 0,0,150,100", "redraw"}));
    EXPECT_EQ(uint32_t(CImNav(canvas->Composite()).Row(109)[149]), 0xFFFAFAF5u);
    CImNav(canvas->Composite()).Fill(0x12345678u);
    root.m_aLog.clear();
    ASSERT_EQ(canvas->ClearCanvas(), eNoError);
    EXPECT_EQ(root.m_aLog, (std::vector<std::string>{"dirty 0,0,150,100", "redraw"}));
    EXPECT_EQ(uint32_t(CImNav(canvas->Composite()).Row(0)[0]), 0xFFFAFAF5u);
}

TEST_F(CanvasDisplay, UndoInvalidatesTheRestoredTilesScaled) {
    Project(150, 110);
    Attach();
    struct Case {
        float scale;
        std::vector<std::string> log;
    };
    // The region's tiles in its order: the clipped edge tile (144, 96)-(150,
    // 110), shown to the root's bottom, and the four of (32, 16)-(64, 48).
    const Case cases[] = {
        {1.0f,
         {"dirty 144,96,150,100", "dirty 48,32,64,48", "dirty 32,32,48,48", "dirty 48,16,64,32",
          "dirty 32,16,48,32", "redraw"}},
        {0.5f,
         {"dirty 72,48,75,55", "dirty 24,16,32,24", "dirty 16,16,24,24", "dirty 24,8,32,16",
          "dirty 16,8,24,16", "redraw"}},
    };
    for (const Case& c : cases) {
        canvas->SetScale(c.scale, 0);
        ASSERT_EQ(widget->SetPosition(0, 0, 0), eNoError);
        canvas->StartProtect();
        gCRect a(40, 20, 50, 40);
        gCRect b(145, 100, 160, 120);
        ASSERT_EQ(canvas->ProtectArea(a), eNoError);
        ASSERT_EQ(canvas->ProtectArea(b), eNoError);
        canvas->EndProtect();
        root.m_aLog.clear();
        ASSERT_EQ(backbone.ProcessData(eCmdUndo, &ui, 0, 1), 0);
        EXPECT_EQ(root.m_aLog, c.log) << c.scale;
    }
}

TEST_F(CanvasDisplay, UndoWaitsForTheWidget) {
    Project(150, 110);
    canvas->StartProtect();
    gCRect a(40, 20, 50, 40);
    ASSERT_EQ(canvas->ProtectArea(a), eNoError);
    canvas->EndProtect();
    ASSERT_EQ(backbone.ProcessData(eCmdUndo, &ui, 0, 1), 0);
    EXPECT_TRUE(backbone.UndoManager().CanUndo()); // nothing was undone
    Attach();
    ASSERT_EQ(backbone.ProcessData(eCmdUndo, &ui, 0, 1), 0);
    EXPECT_FALSE(backbone.UndoManager().CanUndo());
}

// Exact pictures from a 2 x 2 composite: black, white / white, black.
TEST_F(CanvasDisplay, BilinearAndCopyValues) {
    Project(2, 2);
    Attach();
    CImNav v(canvas->Composite());
    v.Row(0)[0] = 0xFF000000u;
    v.Row(0)[1] = 0xFFFFFFFFu;
    v.Row(1)[0] = 0xFFFFFFFFu;
    v.Row(1)[1] = 0xFF000000u;
    CImage target(4, 2);
    canvas->SetScale(1.0f, 0);
    CImNav(&target).Fill(0x11111111u);
    ASSERT_EQ(Draw(target, gCRect(0, 0, 4, 2)), eNoError);
    EXPECT_EQ(Copy(target), (Words{0xFF000000u, 0xFFFFFFFFu, 0x11111111u, 0x11111111u, 0xFFFFFFFFu,
                                   0xFF000000u, 0x11111111u, 0x11111111u}));
    // At 2 an odd column is eased half way (level 128: 0 + (256 * 128) >> 8);
    // from column 2 on the right pixel is taken whole (level 255).
    canvas->SetScale(2.0f, 0);
    ASSERT_EQ(Draw(target, gCRect(0, 0, 4, 2)), eNoError);
    EXPECT_EQ(Copy(target), (Words{0xFF000000u, 0xFF808080u, 0xFFFFFFFFu, 0xFFFFFFFFu, 0xFF808080u,
                                   0xFF808080u, 0xFF808080u, 0xFF808080u}));
}

TEST_F(CanvasDisplay, OnePixelCompositeStaysInside) {
    Project(1, 3);
    Attach();
    CImNav(canvas->Composite()).Fill(0xFF102030u);
    for (const float s : {2.0f, 0.75f, 0.3f}) {
        canvas->SetScale(s, 0);
        CImage target(8, 8);
        ASSERT_EQ(Draw(target, gCRect(0, 0, 8, 8)), eNoError);
        EXPECT_EQ(uint32_t(CImNav(&target).Row(0)[0]), 0xFF102030u) << s;
    }
}

TEST_F(CanvasDisplay, QuarterScaleAveragesFourByFourBlocks) {
    Project(150, 110);
    Attach();
    Noise(7);
    canvas->SetScale(0.25f, 0);
    CImage target(38, 28);
    CImNav(&target).Fill(0x01020304u);
    ASSERT_EQ(Draw(target, gCRect(0, 0, 38, 28)), eNoError);
    CImNav src(canvas->Composite());
    CImNav out(&target);
    int32_t wrong = 0;
    for (int32_t y = 0; y < 28; ++y) {
        for (int32_t x = 0; x < 38; ++x) {
            const int32_t w = std::min(4, 150 - 4 * x);
            const int32_t h = std::min(4, 110 - 4 * y);
            uint32_t sum[4] = {0, 0, 0, 0};
            for (int32_t j = 0; j < h; ++j) {
                for (int32_t i = 0; i < w; ++i) {
                    const uint32_t p = src.Row(4 * y + j)[4 * x + i];
                    for (int32_t k = 0; k < 4; ++k) {
                        sum[k] += (p >> (8 * k)) & 0xFFu;
                    }
                }
            }
            uint32_t expect = 0;
            for (int32_t k = 0; k < 4; ++k) {
                expect |= (sum[k] / uint32_t(w * h)) << (8 * k);
            }
            wrong += uint32_t(out.Row(y)[x]) != expect;
        }
    }
    EXPECT_EQ(wrong, 0);
}

TEST_F(CanvasDisplay, PiecesEqualTheWholeAtEveryScale) {
    Project(150, 110);
    Attach();
    Noise(11);
    auto tracing = std::make_unique<CImage>(30, 60);
    {
        std::mt19937 rng(5);
        CImNav t(tracing.get());
        for (int32_t y = 0; y < 60; ++y) {
            for (int32_t x = 0; x < 30; ++x) {
                t.Row(y)[x] = 0xFF000000u | (rng() & 0xFFFFFFu);
            }
        }
    }
    canvas->SetTracingImage(std::move(tracing));
    std::mt19937 rng(13);
    for (const int32_t overlay : {0, 1}) {
        canvas->SetTracingDisplay(overlay);
        for (const float s : {1.0f, 2.0f, 0.75f, 0.5f, 0.3f, 0.05f}) {
            canvas->SetScale(s, 0);
            const int32_t w = widget->Width();
            const int32_t h = widget->Height();
            CImage whole(w, h);
            ASSERT_EQ(Draw(whole, gCRect(0, 0, w, h)), eNoError);
            CImage pieces(w, h);
            for (int32_t k = 0; k < 40; ++k) {
                const int32_t l = int32_t(rng() % uint32_t(w));
                const int32_t t = int32_t(rng() % uint32_t(h));
                const gCRect area(l, t, l + 1 + int32_t(rng() % 40u), t + 1 + int32_t(rng() % 40u));
                ASSERT_EQ(Draw(pieces, area), eNoError);
            }
            ASSERT_EQ(Draw(pieces, gCRect(0, 0, w, h)), eNoError);
            // Every pixel again in four quarters, after the random pieces.
            CImage quarters(w, h);
            for (const gCRect& q : {gCRect(0, 0, w / 2, h / 2), gCRect(w / 2, 0, w, h / 2),
                                    gCRect(0, h / 2, w / 2, h), gCRect(w / 2, h / 2, w, h)}) {
                ASSERT_EQ(Draw(quarters, q), eNoError);
            }
            EXPECT_EQ(Copy(quarters), Copy(whole)) << s << " overlay " << overlay;
        }
    }
}

// Every instruction-set path against the formulas, pixel by pixel, on
// random words (any alpha) of odd sizes, at scales of every kind, with the
// tracing overlay in each fit mode, drawn whole and in a random piece.
TEST_F(CanvasDisplay, EveryPathGivesTheFormulasPixels) {
    std::mt19937 rng(29);
    auto random = [&](size_t n) {
        Words words(n);
        for (uint32_t& w : words) {
            w = uint32_t(rng());
        }
        return words;
    };
    struct Case {
        int32_t w, h;
        float scale;
        int32_t tracing; // -1: none, else the fit mode
    };
    const Case cases[] = {
        {37, 23, 2.0f, -1},   {37, 23, 2.7f, 0},    {93, 51, 0.75f, 1},    {93, 51, 0.6f, 2},
        {61, 45, 1.3f, -1},   {61, 45, 1.0f, 1},    {149, 109, 0.5f, -1},  {149, 109, 0.3f, 0},
        {149, 109, 0.25f, 2}, {301, 203, 0.05f, 1}, {301, 203, 0.11f, -1}, {1, 5, 4.0f, 0},
        {7, 3, 0.37f, 1},     {13, 9, 8.0f, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.w << "x" << c.h << " at " << c.scale << " tracing " << c.tracing);
        Project(c.w, c.h);
        Attach();
        const Words composite = random(size_t(c.w) * size_t(c.h));
        {
            CImNav v(canvas->Composite());
            for (int32_t y = 0; y < c.h; ++y) {
                std::copy_n(composite.begin() + ptrdiff_t(y) * c.w, c.w, v.Row(y));
            }
        }
        const int32_t tw = 13 + 2 * int32_t(rng() % 20u), th = 9 + 2 * int32_t(rng() % 20u);
        const Words traced = random(size_t(tw) * size_t(th));
        auto tracing = std::make_unique<CImage>(tw, th);
        {
            CImNav t(tracing.get());
            for (int32_t y = 0; y < th; ++y) {
                std::copy_n(traced.begin() + ptrdiff_t(y) * tw, tw, t.Row(y));
            }
        }
        canvas->SetTracingImage(std::move(tracing));
        canvas->SetTracingDisplay(c.tracing >= 0);
        int32_t mode = std::max(c.tracing, 0);
        ASSERT_EQ(canvas->ProcessData(eCmdTracingSetting3, &ui, ChannelValueOf(&mode), 1), 0);
        const uint32_t bg = uint32_t(rng()) | 0xFF000000u;
        ASSERT_EQ(widget->SetClientColour(bg, 0), eNoError);
        canvas->SetScale(c.scale, 0);
        const int32_t ww = widget->Width(), wh = widget->Height();
        ASSERT_GT(ww, 0);
        ASSERT_GT(wh, 0);
        const Words before = random(size_t(ww) * size_t(wh));
        Words expect = before;
        reference::Draw(expect, ww, wh, composite, c.w, c.h, c.scale);
        if (c.tracing >= 0) {
            reference::Trace(expect, ww, wh, traced, tw, th, bg, mode);
        }
        const int32_t l = int32_t(rng() % uint32_t(ww)), t = int32_t(rng() % uint32_t(wh));
        const gCRect piece(l, t, l + 1 + int32_t(rng() % uint32_t(ww - l)),
                           t + 1 + int32_t(rng() % uint32_t(wh - t)));
        for (CPixelPaths::EPath path : PresentPixelPaths()) {
            CForcePixelPath force(path);
            SCOPED_TRACE(CPixelPaths::Name(path));
            for (const gCRect& area : {gCRect(0, 0, ww, wh), piece}) {
                CImage target(ww, wh);
                {
                    CImNav v(&target);
                    for (int32_t y = 0; y < wh; ++y) {
                        std::copy_n(before.begin() + ptrdiff_t(y) * ww, ww, v.Row(y));
                    }
                }
                ASSERT_EQ(Draw(target, area), eNoError);
                const Words got = Copy(target);
                int32_t wrong = 0;
                for (int32_t y = 0; y < wh; ++y) {
                    for (int32_t x = 0; x < ww; ++x) {
                        const size_t i = size_t(y) * size_t(ww) + size_t(x);
                        const bool in =
                            area.left <= x && x < area.right && area.top <= y && y < area.bottom;
                        wrong += got[i] != (in ? expect[i] : before[i]);
                    }
                }
                EXPECT_EQ(wrong, 0) << "area " << area.left << "," << area.top << " " << area.right
                                    << "," << area.bottom;
            }
        }
    }
}

TEST_F(CanvasDisplay, WithoutACompositeTheWidgetDrawsItselfUnderTheOverlay) {
    CCanvas bare; // no project: no composite
    ASSERT_EQ(bare.Composite(), nullptr);
    ASSERT_EQ(bare.AttachCanvasWidget(widget), eNoError);
    ASSERT_EQ(widget->SetClientColour(0xFF2040A0u, 0), eNoError);
    // The widget's own drawing: the image it made when it was sized.
    CImage own(150, 110);
    ASSERT_EQ(widget->RenderArea(gCRect(0, 0, 150, 110), &own, 255), eNoError);
    CImage target(150, 110);
    ASSERT_EQ(CCanvas::CanvasRenderProc(&bare, widget, gCRect(0, 0, 150, 110), &target, 255),
              eNoError);
    EXPECT_EQ(Copy(target), Copy(own));
    const uint32_t under = CImNav(&own).Row(5)[5];
    auto tracing = std::make_unique<CImage>(10, 10);
    CImNav(tracing.get()).Fill(0xFFFFFFFFu);
    bare.SetTracingImage(std::move(tracing));
    ASSERT_EQ(CCanvas::CanvasRenderProc(&bare, widget, gCRect(0, 0, 150, 110), &target, 255),
              eNoError);
    // White fades the widget's colour at 120 (q); q is laid on at 100.
    CPixel q = 0xFF2040A0u;
    CPixel::Blend255Proc(&q, 120, 0xFFFFFFFFu);
    CPixel expect = under;
    CPixel::Blend255Proc(&expect, 100, q);
    EXPECT_EQ(uint32_t(CImNav(&target).Row(55)[75]), uint32_t(expect));
    EXPECT_NE(uint32_t(expect), under);
    // Left of the fitted picture (ox = (2560 - 150 * 23) / 2 = -445) the
    // widget's colour tints at 100.
    CPixel tint = under;
    CPixel::Blend255Proc(&tint, 100, 0xFF2040A0u);
    EXPECT_EQ(uint32_t(CImNav(&target).Row(5)[5]), uint32_t(tint));
}

TEST_F(CanvasDisplay, OverlayFitModes) {
    Project(150, 110);
    Attach();
    ASSERT_EQ(widget->SetClientColour(0xFF000000u, 0), eNoError);
    CImNav(canvas->Composite()).Fill(0xFF808080u);
    // Half the canvas's aspect: 55 x 110.
    auto tracing = std::make_unique<CImage>(55, 110);
    CImNav(tracing.get()).Fill(0xFFFFFFFFu);
    canvas->SetTracingImage(std::move(tracing));
    // Tinted (outside the picture): 0x80 toward 0 at 100: 128 + (-127 * 100 >> 8 = -50) = 78.
    constexpr uint32_t kTint = 0xFF4E4E4Eu;
    // Inside: q = 0 + (256 * 120) >> 8 = 120; 128 + (-7 * 100 >> 8 = -3) = 125.
    constexpr uint32_t kInside = 0xFF7D7D7Du;
    struct Case {
        int32_t mode;
        uint32_t left, middle, right;
    };
    const Case cases[] = {
        {0, kInside, kInside, kInside}, // stretched over the whole widget
        {1, kTint, kInside, kTint},     // bars on both sides
        {2, kInside, kInside, kInside}, // filled
        {7, kTint, kInside, kTint},     // a damaged mode draws as 1
    };
    for (const Case& c : cases) {
        int32_t mode = c.mode;
        ASSERT_EQ(canvas->ProcessData(eCmdTracingSetting3, &ui, ChannelValueOf(&mode), 1), 0);
        CImage target(150, 110);
        ASSERT_EQ(Draw(target, gCRect(0, 0, 150, 110)), eNoError);
        CImNav t(&target);
        EXPECT_EQ(uint32_t(t.Row(55)[2]), c.left) << c.mode;
        EXPECT_EQ(uint32_t(t.Row(55)[75]), c.middle) << c.mode;
        EXPECT_EQ(uint32_t(t.Row(55)[147]), c.right) << c.mode;
    }
}

TEST_F(CanvasDisplay, TracingChangesInvalidateTheWidget) {
    Project(150, 110);
    Attach();
    root.m_aLog.clear();
    int32_t mode = 0;
    ASSERT_EQ(canvas->ProcessData(eCmdTracingSetting3, &ui, ChannelValueOf(&mode), 1), 0);
    EXPECT_TRUE(root.m_aLog.empty()); // no tracing image
    canvas->SetTracingImage(std::make_unique<CImage>(10, 10));
    ASSERT_EQ(canvas->ProcessData(eCmdTracingSetting3, &ui, ChannelValueOf(&mode), 1), 0);
    EXPECT_EQ(root.m_aLog, (std::vector<std::string>{"dirty 0,0,150,100", "redraw"}));
    root.m_aLog.clear();
    ASSERT_EQ(canvas->ProcessData(eCmdTracingMode, &ui, 0, 1), 0);
    EXPECT_EQ(canvas->TracingDisplay(), 0);
    EXPECT_EQ(root.m_aLog, (std::vector<std::string>{"dirty 0,0,150,100", "redraw"}));
    root.m_aLog.clear();
    ASSERT_EQ(canvas->ProcessData(eCmdTracingMode, &ui, 0, 1), 0); // already off
    EXPECT_TRUE(root.m_aLog.empty());
}

const std::vector<SGoldenCrc> kDisplayPictures = {
    {"display-scale2", 0x5723EE35u},
    {"display-overlay", 0x9A87BA3Fu},
};

TEST_F(CanvasDisplay, GoldenPictures) {
    Project(150, 110);
    Attach();
    // Relit ramps of paint depth over bare paper.
    CImNav depth(canvas->Layer(CCanvasLayers::kHeight));
    CImNav colour(canvas->Layer(CCanvasLayers::kColour));
    for (int32_t y = 20; y < 90; ++y) {
        for (int32_t x = 20; x < 130; ++x) {
            depth.Row(y)[x] = (uint32_t(depth.Row(y)[x]) & 0xFFFF0000u) | uint32_t((x - 20) * 400);
            colour.Row(y)[x] = 0xFFC03020u;
        }
    }
    ASSERT_EQ(canvas->ProcessData(eCmdRedrawCanvas, &ui, 0, 0), 0);
    canvas->SetScale(2.0f, 0);
    CImage scaled(300, 220);
    ASSERT_EQ(Draw(scaled, gCRect(0, 0, 300, 220)), eNoError);
    auto tracing = std::make_unique<CImage>(55, 110);
    {
        CImNav t(tracing.get());
        for (int32_t y = 0; y < 110; ++y) {
            for (int32_t x = 0; x < 55; ++x) {
                t.Row(y)[x] = ((x / 5 + y / 5) & 1) ? 0xFF2050F0u : 0xFFF0F0F0u;
            }
        }
    }
    canvas->SetTracingImage(std::move(tracing));
    canvas->SetScale(1.0f, 0);
    CImage overlay(150, 110);
    ASSERT_EQ(Draw(overlay, gCRect(0, 0, 150, 110)), eNoError);
    EXPECT_GOLDEN_CRCS(kDisplayPictures, {"display-scale2", scaled}, {"display-overlay", overlay});
}

} // namespace
