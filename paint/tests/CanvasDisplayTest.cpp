// The canvas on screen: zoom steps, the widget's size and place, the
// panning limits, the repaint of a relit rectangle and of an undo, and the
// render procedure at every kind of scale with the tracing overlay.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "foundation/MessageIds.h"
#include "imaging/ImNav.h"
#include "imaging/Image.h"
#include "paint/Backbone.h"
#include "paint/ChannelValue.h"
#include "paint/canvas/Canvas.h"
#include "paint/project/ProjectInfo.h"
#include "paint/relight/Renderer.h"
#include "testsupport/foundation/FakeAppServices.h"
#include "testsupport/foundation/RecordingModule.h"
#include "testsupport/imaging/Goldens.h"
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
