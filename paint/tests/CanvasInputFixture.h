#pragma once
// A canvas in a backdrop whose window sits off the desktop's corner, held by
// a backbone with the real canvas, renderer and undo ring, and a recording
// UI module. Input is scripted: every pump or heartbeat of the application
// (where a modal loop would see new input) takes the next step.
//
//   Tool tool(2, &log);
//   Select(&tool);
//   EXPECT_EQ(Stroke({Mouse(10, 10), Mouse(13, 10), Mouse(16, 10)}), eNoError);

#include <gtest/gtest.h>

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "foundation/Input.h"
#include "foundation/MessageIds.h"
#include "imaging/ImNav.h"
#include "imaging/Image.h"
#include "paint/Backbone.h"
#include "paint/ChannelValue.h"
#include "paint/PaintTool.h"
#include "paint/canvas/Canvas.h"
#include "paint/project/ProjectInfo.h"
#include "paint/relight/StandardRenderer.h"
#include "testsupport/foundation/FakeAppServices.h"
#include "testsupport/widgets/RecordingHost.h"
#include "testsupport/widgets/RecordingRoot.h"
#include "widgets/Backdrop.h"
#include "widgets/ImWidget.h"

namespace CanvasInputTesting {

using Log = std::vector<std::string>;
using Words = std::vector<uint32_t>;

constexpr int32_t kW = 300, kH = 200;
// The window's content on the desktop, and the canvas widget in it.
inline const gCPoint kWindow(300, 200);
inline const gCPoint kWidgetAt(100, 50);

inline Words Copy(const CImage* image) {
    CImNav v(const_cast<CImage*>(image));
    const uint32_t* d = reinterpret_cast<const uint32_t*>(v.GetData());
    return Words(d, d + size_t(v.GetWidth()) * size_t(v.GetHeight()));
}

// The platform's tablet service as far as the canvas sees it: the mouse
// (the cursor on the desktop, the pressure weight, answer 1) unless a pen
// sample is set (backdrop coordinates, 0..1024, answer 0).
class CScriptTablet : public CTabletSource {
public:
    explicit CScriptTablet(CFakeAppServices& app) : m_App(app) {}
    int32_t GetPoint(CTabletPoint& p) override {
        if (!m_bPen) {
            CTabletPoint::m_fInverted = 0;
            p.x = float(m_App.m_CursorLoc.x);
            p.y = float(m_App.m_CursorLoc.y);
            p.pressure = m_rWeight;
            return 1;
        }
        CTabletPoint::m_fInverted = m_fEraser;
        p.x = m_Pen.x;
        p.y = m_Pen.y;
        p.pressure = m_Pen.pressure;
        return 0;
    }
    int32_t ButtonDown() override { return m_App.m_fLButton; }
    void FlushQueue() override { ++m_nFlushes; }
    error SetupServices(int32_t) override { return eNoError; }

    bool m_bPen = false;
    int32_t m_fEraser = 0;
    CTabletPoint m_Pen;
    int32_t m_nFlushes = 0;

private:
    CFakeAppServices& m_App;
};

// The interface: logs the stroke's messages by name, keeps the pen
// positions it is shown, and refuses one id when told to.
class CStrokeUI : public gCCmdTarget {
public:
    int32_t ProcessData(uint32_t id, const void*, int64_t value, int32_t) override {
        switch (id) {
        case eCmdStrokeStart:
            m_pLog->push_back("UI StrokeStart");
            break;
        case eCmdStrokePoint: {
            const float* pen = ChannelPointer<float>(value);
            m_aPen.push_back({pen[0], pen[1]});
            m_pLog->push_back("UI StrokePoint");
            break;
        }
        case eCmdStrokeEnd:
            m_pLog->push_back("UI StrokeEnd " + std::to_string(value));
            break;
        case eCmdTogglePanels:
            m_pLog->push_back("UI TogglePanels");
            break;
        case eMsgPaintColour:
            m_aColours.push_back(uint32_t(value));
            break;
        default:
            break;
        }
        return id == m_nRefuse ? m_nRefusal : 0;
    }

    Log* m_pLog = nullptr;
    std::vector<std::vector<float>> m_aPen;
    std::vector<uint32_t> m_aColours;
    uint32_t m_nRefuse = 0;
    int32_t m_nRefusal = 0;
};

// The standard renderer, failing at its k-th relight of the spans (the
// stroke's relights; whole renders are not counted).
class CFailingRenderer : public CStandardRenderer {
public:
    error Render(CImage* target, CCanvas& canvas, int32_t whole) override {
        if (!whole && ++m_nSpanRenders == m_nFailAt) {
            return m_Fail;
        }
        return CStandardRenderer::Render(target, canvas, whole);
    }
    int32_t m_nSpanRenders = 0;
    int32_t m_nFailAt = 0;
    error m_Fail = eNoError;
};

// A canvas whose display scale a test can damage.
class CCanvasAccess : public CCanvas {
public:
    using CCanvas::StoreDisplayScale;
};

// The real backbone (its canvas open to tests) with the tool a test selects, its undo record's
// opening and closing logged, and a renderer that can fail.
class CStrokeBackbone : public CSMKBackbone {
public:
    CPaintTool* CurrentTool() override { return m_pTool; }
    void StartProtect(int32_t id) override {
        ++m_nStarts;
        m_pLog->push_back("StartProtect");
        CSMKBackbone::StartProtect(id);
    }
    void EndProtect() override {
        ++m_nEnds;
        m_pLog->push_back("EndProtect");
        CSMKBackbone::EndProtect();
    }
    CRenderer* CreateRenderer(int32_t id) override {
        if (id != 0) {
            return nullptr;
        }
        auto renderer = std::make_unique<CFailingRenderer>();
        if (renderer->SetupRenderer() != eNoError) {
            return nullptr;
        }
        m_pRenderer = renderer.get();
        return renderer.release();
    }

    CPaintTool* m_pTool = nullptr;
    Log* m_pLog = nullptr;
    int32_t m_nStarts = 0;
    int32_t m_nEnds = 0;
    CFailingRenderer* m_pRenderer = nullptr;

protected:
    CCanvas* MakeCanvas() override { return new (std::nothrow) CCanvasAccess; }
};

// One state of the input: the cursor (widget coordinates), the left button
// held, and a pen sample (widget coordinates) when the pen is in use.
struct SStep {
    float x = 0.0f;
    float y = 0.0f;
    int32_t held = 1;
    bool pen = false;
    float pressure = 0.0f;
    int32_t eraser = 0;
};

inline SStep Mouse(float x, float y) {
    return SStep{x, y};
}
inline SStep Pen(float x, float y, float pressure, int32_t eraser = 0) {
    return SStep{x, y, 1, true, pressure, eraser};
}

class CanvasInputFixture : public ::testing::Test {
protected:
    void SetUp() override {
        m_rSavedWeight = CTabletSource::m_rWeight;
        app.m_pTablet = &tablet;
        ui.m_pLog = &log;
        backbone.m_pLog = &log;
        gCCmdTarget::SetBackboneModule(&backbone);
        gCCmdTarget::SetUIModule(&ui);
        ASSERT_EQ(backbone.ProcessData(eCmdInitBackbone, &ui, 0, 1), 0);
        CProjectInfo info;
        info.m_nWidth = kW;
        info.m_nHeight = kH;
        info.m_nCanvasSetting = 0xFFFFFFFAu;
        ASSERT_EQ(backbone.ProcessData(eCmdNewProject, &ui, ChannelValueOf(&info), 1), 0);
        canvas = backbone.Canvas();
        ASSERT_NE(canvas, nullptr);
        host.m_Origin = kWindow;
        backdrop.SetHost(&host);
        ASSERT_EQ(backdrop.SetSize(640, 480, 0), eNoError);
        widget = AddPlaced<CImWidget>(
            backdrop, gCRect(kWidgetAt.x, kWidgetAt.y, kWidgetAt.x + kW, kWidgetAt.y + kH));
        ASSERT_NE(widget, nullptr);
        ASSERT_EQ(canvas->SetupCanvasWidget(widget), eNoError);
        app.m_OnPump = [this] { NextStep(); };
        log.clear();
    }
    void TearDown() override {
        app.m_OnPump = nullptr;
        backdrop.SetHost(nullptr);
        gCCmdTarget::SetUIModule(nullptr);
        gCCmdTarget::SetBackboneModule(nullptr);
        CTabletSource::m_rWeight = m_rSavedWeight;
        CTabletPoint::m_fInverted = 0;
    }

    // The tool the canvas paints with.
    void Select(CPaintTool* tool) {
        backbone.m_pTool = tool;
        ASSERT_EQ(canvas->ProcessData(eCmdSelectTool, &ui, 0, 1), 0);
    }
    void SetScale(float scale) {
        ASSERT_EQ(canvas->ProcessData(eCmdDisplayScale, &ui, ChannelValueOf(&scale), 1), 0);
        // Zooming moves the widget; the tests want it where it was.
        ASSERT_EQ(widget->SetPosition(kWidgetAt, 0), eNoError);
    }

    // Input as the desktop would give it for one step.
    void Apply(const SStep& s) {
        const float bx = s.x + float(kWidgetAt.x);
        const float by = s.y + float(kWidgetAt.y);
        app.m_CursorLoc = gCPoint(int32_t(bx) + kWindow.x, int32_t(by) + kWindow.y);
        app.m_fLButton = s.held;
        tablet.m_bPen = s.pen;
        tablet.m_fEraser = s.eraser;
        tablet.m_Pen.x = bx;
        tablet.m_Pen.y = by;
        tablet.m_Pen.pressure = s.pressure;
    }
    // The next scripted step; once the script is out, every button is up.
    void NextStep() {
        ++m_nPumps;
        if (m_OnPump) {
            m_OnPump(m_nPumps);
        }
        if (steps.empty()) {
            app.m_fLButton = 0;
            app.m_fRButton = 0;
            return;
        }
        const std::function<void()> step = steps.front();
        steps.pop_front();
        step();
    }

    // A press at the first step, the button held through the others, the
    // release at the last one's place; what the press handler returns.
    error Stroke(const std::vector<SStep>& path) {
        for (size_t i = 1; i < path.size(); ++i) {
            steps.push_back([this, s = path[i]] { Apply(s); });
        }
        SStep up = path.back();
        up.held = 0;
        steps.push_back([this, up] { Apply(up); });
        Apply(path.front());
        gCPoint at(int32_t(path.front().x), int32_t(path.front().y));
        CWidget* capture = nullptr;
        const error e = CCanvas::CanvasLDown(canvas, widget, capture, at);
        EXPECT_EQ(capture, widget);
        return e;
    }

    Words Layers() const {
        Words all;
        for (int32_t i = 0; i < 4; ++i) {
            const Words w = Copy(canvas->Layer(i));
            all.insert(all.end(), w.begin(), w.end());
        }
        return all;
    }
    // How many times the log holds the entry.
    int32_t Count(const std::string& entry) const {
        int32_t n = 0;
        for (const std::string& e : log) {
            n += e == entry ? 1 : 0;
        }
        return n;
    }

    CFakeAppServices app;
    CScriptTablet tablet{app};
    Log log;
    CStrokeUI ui;
    CStrokeBackbone backbone;
    CRecordingHost host;
    CBackdrop backdrop;
    CCanvas* canvas = nullptr;
    CWidget* widget = nullptr;
    std::deque<std::function<void()>> steps;
    // Runs first on every pump, with the pump's number (from 1).
    std::function<void(int32_t)> m_OnPump;
    int32_t m_nPumps = 0;
    float m_rSavedWeight = 0.5f;
};

} // namespace CanvasInputTesting
