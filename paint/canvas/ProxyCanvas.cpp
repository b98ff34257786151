#include "paint/canvas/ProxyCanvas.h"

#include <cmath>
#include <numbers>

#include "foundation/ErrorReport.h"
#include "foundation/Input.h"
#include "foundation/Rounding.h"
#include "imaging/ImNav.h"
#include "paint/Backbone.h"
#include "paint/ChannelValue.h"
#include "paint/PaintTool.h"
#include "paint/project/ProjectInfo.h"
#include "paint/relight/Renderer.h"
#include "platform/TabletServices.h"
#include "widgets/Backdrop.h"
#include "widgets/ImWidget.h"
#include "widgets/Widget.h"

namespace {

// The sample stroke: nominal pressure (oil paint's lighter), where the
// later points fall along the stroke (t of 100) and how hard each presses
// as a share of the nominal pressure.
constexpr float kNominalPressure = 1024.0f;
constexpr float kOilNominalPressure = 800.0f;
constexpr float kFirstSteps[] = {3.0f, 7.0f, 15.0f, 20.0f};
struct SLaterStep {
    float t;
    float share;
};
constexpr SLaterStep kLaterSteps[] = {
    {50.0f, 0.8f}, {77.0f, 0.6f}, {94.0f, 0.4f}, {98.0f, 0.25f}, {100.0f, 0.1f}};

// The backdrop the widget stands in, or null.
CBackdrop* BackdropOf(CWidget* widget) {
    CWidget* top = widget;
    while (top && top->Parent()) {
        top = top->Parent();
    }
    return dynamic_cast<CBackdrop*>(top);
}

// What a preview changes for the length of its stroke, given back on every
// way out: the backdrop's redraw state, the tool's flip, the oil noise and
// the painter's colour (the backbone's and the tool's).
class CPreviewState {
public:
    CPreviewState(CWidget* widget, CPaintTool* tool)
        : m_pBackdrop(BackdropOf(widget)), m_pTool(tool), m_pBackbone(CSMKBackbone::Registered()) {
        if (m_pBackdrop) {
            m_fRedrawPrevented = m_pBackdrop->RedrawPrevented();
            m_pBackdrop->SetRedrawPrevented(1);
        }
        m_fFlip = tool->ProfileFlip();
        m_nNoisePos = tool->NoisePos();
        if (m_pBackbone) {
            m_Colour = m_pBackbone->CurrentColour();
        }
    }
    ~CPreviewState() {
        m_pTool->SetProfileFlip(m_fFlip);
        m_pTool->SetNoisePos(m_nNoisePos);
        if (m_pBackbone) {
            GiveColour(m_Colour);
        }
        RestoreRedraw();
    }
    CPreviewState(const CPreviewState&) = delete;
    CPreviewState& operator=(const CPreviewState&) = delete;

    // The backbone and the tool take colour as the paint colour.
    void GiveColour(CPixel colour) const {
        if (m_pBackbone) {
            m_pBackbone->SetColourForProxy(colour);
        }
        // The tools only take note of a new colour.
        (void)m_pTool->ProcessLocalData(eMsgPaintColour, m_pBackbone, int64_t(uint32_t(colour)),
                                        1);
    }
    void RestoreRedraw() {
        if (m_pBackdrop) {
            m_pBackdrop->SetRedrawPrevented(m_fRedrawPrevented);
            m_pBackdrop = nullptr;
        }
    }

private:
    CBackdrop* m_pBackdrop;
    CPaintTool* m_pTool;
    CSMKBackbone* m_pBackbone;
    int32_t m_fRedrawPrevented = 0;
    int32_t m_fFlip = 0;
    uint32_t m_nNoisePos = 0;
    CPixel m_Colour = 0xFF000000u;
};

} // namespace

float CProxyCanvas::WeightedPressure(float p) {
    return CTabletServices::WeightedPressure(p / kFullPenPressure, CTabletSource::m_rWeight);
}

int32_t CProxyCanvas::ProcessData(uint32_t id, const void* sender, int64_t value, int32_t set) {
    switch (id) {
    case eCmdNewProject: {
        CProjectInfo* info = ChannelPointer<CProjectInfo>(value);
        if (!info) {
            return eBadParameter;
        }
        if (const error e = CreateProject(info); e != eNoError) {
            (void)ReportError(e, "CProxyCanvas Failed to set up a new project."); // shown
            return e;
        }
        return 0;
    }
    case eCmdSetupCanvasWidget:
        if (const error e = SetupCanvasWidget(ChannelPointer<CWidget>(value)); e != eNoError) {
            (void)ReportError(e, "CProxyCanvas Failed to set up the canvas image widget."); // shown
            return e;
        }
        return 0;
    case eCmdCanvasTexture:
    case eCmdCanvasSetting:
    case eCmdSelectTool:
    case eCmdNoTool:
        return CCanvas::ProcessData(id, sender, value, set);
    case eCmdRedrawCanvas:
        return RedrawCanvas();
    default:
        return 0;
    }
}

error CProxyCanvas::SetupCanvasWidget(CWidget* widget) {
    if (!widget) {
        return eBadParameter;
    }
    CProjectInfo info;
    info.m_nWidth = widget->Width();
    info.m_nHeight = widget->Height();
    info.m_nPaperTexture = 0;
    info.m_nCanvasSetting = kPaperColour;
    if (const error e = CreateProject(&info); e != eNoError) {
        return e;
    }
    // Attaching renders the whole preview and marks the widget; the
    // preview then takes its own render procedure, and no press handler:
    // it takes no painting input.
    if (const error e = AttachCanvasWidget(widget); e != eNoError) {
        return e;
    }
    widget->SetRenderProc(&CProxyCanvas::CanvasRenderProc, this);
    return eNoError;
}

error CProxyCanvas::ClearCanvas() {
    for (int32_t i = CCanvasLayers::kColour; i <= CCanvasLayers::kGrain; ++i) {
        const CImNav* view = LayerView(i);
        if (!view || !view->IsLocked()) {
            return eOutOfMemory;
        }
    }
    CImNav& colour = *LayerView(CCanvasLayers::kColour);
    CImNav& height = *LayerView(CCanvasLayers::kHeight);
    CImNav& finish = *LayerView(CCanvasLayers::kFinish);
    CImNav& grain = *LayerView(CCanvasLayers::kGrain);
    for (int32_t y = 0; y < Height(); ++y) {
        CPixel* l1 = height.Row(y);
        CPixel* l3 = grain.Row(y);
        for (int32_t x = 0; x < Width(); ++x) {
            l1[x] = uint32_t(l1[x]) & 0xFFFF0000u;
            l3[x] = uint32_t(l1[x]) >> 16;
        }
    }
    (void)Layer(CCanvasLayers::kColour)->Zero(); // zeroing always succeeds
    (void)Layer(CCanvasLayers::kFinish)->Zero();
    if (CPaintTool* tool = CurrentTool()) {
        const int32_t type = tool->Type();
        if (type == eToolEraser) {
            colour.Fill(kEraserGround);
        } else if (type == eToolPaletteKnife) {
            for (int32_t y = 0; y < kKnifeRidgeRows && y < Height(); ++y) {
                const double angle = double(y) / kKnifeRidgeRows * std::numbers::pi;
                const uint32_t depth = uint32_t(RoundHalfAway(std::sin(angle) * 128.0));
                CPixel* l0 = colour.Row(y);
                CPixel* l1 = height.Row(y);
                CPixel* l2 = finish.Row(y);
                for (int32_t x = 0; x < Width(); ++x) {
                    l0[x] = kKnifeColour;
                    l2[x] = kKnifeFinish;
                    l1[x] = uint32_t(l1[x]) | depth;
                }
            }
        }
    }
    return RedrawCanvas();
}

error CProxyCanvas::RenderBrushProxy(int32_t redraw) {
    for (int32_t i = CCanvasLayers::kColour; i <= CCanvasLayers::kComposite; ++i) {
        if (!Layer(i)) {
            return eNoError;
        }
    }
    if (const error e = ClearCanvas(); e != eNoError) {
        return e;
    }
    CPaintTool* tool = CurrentTool();
    if (!tool) {
        return eNoError;
    }
    CWidget* widget = CanvasWidget();
    CPreviewState state(widget, tool);
    const int32_t type = tool->Type();
    tool->SetProfileFlip(type == eToolPencils ? 1 : 0);
    state.GiveColour(type == eToolPencils ? kPencilColour : kStrokeColour);

    const bool knife = type == eToolPaletteKnife;
    const float startX = knife ? 40.0f : 70.0f;
    const float startY = knife ? 0.0f : 15.0f;
    const float endX = knife ? 30.0f : 10.0f;
    const float dx = (endX - startX) / 100.0f;
    const float dy = (120.0f - startY) / 100.0f;
    float nominal = kNominalPressure;
    if (type == eToolOilPaint) {
        nominal = kOilNominalPressure;
        tool->SetNoisePos(0);
    }

    CTabletPoint sample;
    sample.x = startX;
    sample.y = startY;
    sample.pressure = WeightedPressure(nominal);
    if (const error e = tool->ToolDown(widget, this, sample); e != eNoError) {
        return e;
    }
    for (const float t : kFirstSteps) {
        sample.x = knife ? startX : startX + dx * t;
        sample.y = startY + dy * t;
        if (const error e = tool->ToolMove(widget, this, sample); e != eNoError) {
            return e;
        }
    }
    for (const SLaterStep& step : kLaterSteps) {
        sample.x = startX + dx * step.t;
        sample.y = startY + dy * step.t;
        sample.pressure = WeightedPressure(nominal * step.share);
        if (const error e = tool->ToolMove(widget, this, sample); e != eNoError) {
            return e;
        }
    }
    if (const error e = tool->ToolUp(widget, this, sample); e != eNoError) {
        return e;
    }
    if (CRenderer* renderer = CurrentRenderer()) {
        if (const error e = renderer->Render(Composite(), *this, 0); e != eNoError) {
            return e;
        }
    }
    state.RestoreRedraw();
    if (widget) {
        (void)widget->InvalidateClient(redraw); // a failed redraw stays dirty for the next
    }
    return eNoError;
}

error CProxyCanvas::Render(gCRect& rect) {
    if (CRenderer* renderer = CurrentRenderer(); renderer && Composite()) {
        if (const error e = renderer->Render(Composite(), *this, 0); e != eNoError) {
            return e;
        }
    }
    rect.right += 1;
    rect.bottom += 1;
    if (CWidget* widget = CanvasWidget()) {
        (void)widget->InvalidateArea(rect, 1); // a failed redraw stays dirty for the next
    }
    return eNoError;
}

error CProxyCanvas::CanvasRenderProc(void* user, CWidget* widget, const gCRect& area,
                                     CImage* target, uint32_t flags) {
    auto* canvas = static_cast<CProxyCanvas*>(user);
    if (!canvas || !widget || !target) {
        return eBadParameter;
    }
    if (!canvas->Composite()) {
        return widget->RenderArea(area, target, flags);
    }
    auto* imaged = dynamic_cast<CImWidget*>(widget);
    CImage* mask = imaged ? imaged->Image() : nullptr;
    CImNav dst(target, &area);
    if (!dst.IsLocked()) {
        return eOutOfMemory;
    }
    if (!mask) {
        return eNoError; // no shape: nothing of the preview shows
    }
    CImNav src(canvas->Composite());
    CImNav shape(mask);
    if (!src.IsLocked() || !shape.IsLocked()) {
        return eOutOfMemory;
    }
    // The held area in the widget's own coordinates, where the composite
    // and the shape lie.
    const gCPoint origin = target->GetOrigin();
    const gCRect& a = dst.GetArea();
    const gCRect held(a.left - origin.x, a.top - origin.y, a.right - origin.x,
                      a.bottom - origin.y);
    const gCRect both = held.Intersected(gCRect(0, 0, src.GetWidth(), src.GetHeight()))
                            .Intersected(gCRect(0, 0, shape.GetWidth(), shape.GetHeight()));
    for (int32_t y = both.top; y < both.bottom; ++y) {
        CPixel* out = dst.Row(y - held.top) - held.left;
        const CPixel* in = src.Row(y);
        const CPixel* m = shape.Row(y);
        for (int32_t x = both.left; x < both.right; ++x) {
            const uint32_t alpha = uint32_t(m[x]) >> 24;
            if (alpha == 255) {
                out[x] = in[x];
            } else if (alpha != 0) {
                CPixel::Blend255Proc(&out[x], int32_t(alpha), in[x]);
            }
        }
    }
    return eNoError;
}
