#include "testsupport/paint/StrokeCanvas.h"

#include <algorithm>
#include <cstdio>

#include "foundation/Input.h"
#include "foundation/MessageIds.h"
#include "imaging/ImNav.h"
#include "imaging/ValueNoise.h"
#include "paint/ChannelValue.h"
#include "paint/canvas/Canvas.h"
#include "paint/project/ProjectInfo.h"
#include "paint/relight/Renderer.h"
#include "testsupport/imaging/Goldens.h"
#include "widgets/ImWidget.h"

namespace {

// The reason the first differing word of two layers differs, or empty.
std::string FirstDifference(const CLayerWords& a, const CLayerWords& b, int32_t width,
                            const char* what) {
    for (size_t k = 0; k < a.size(); ++k) {
        if (a[k] != b[k]) {
            char text[160];
            std::snprintf(text, sizeof text, "%s at (%d, %d): 0x%08X then 0x%08X", what,
                          int32_t(k % size_t(width)), int32_t(k / size_t(width)), a[k], b[k]);
            return text;
        }
    }
    return {};
}

} // namespace

uint32_t CStrokeCanvas::TestGrain(uint32_t seed, int32_t x, int32_t y) {
    const int32_t offset = int32_t((seed * 977u) & 0xFFFu) << 16;
    return ValueNoise(x * 8192 + offset, y * 8192 - offset) >> 8;
}

CStrokeCanvas::CStrokeCanvas(int32_t w, int32_t h, uint32_t grainSeed)
    : m_Root(w, h), m_nWidth(w), m_nHeight(h) {
    gCCmdTarget::SetBackboneModule(&m_Backbone);
    gCCmdTarget::SetUIModule(&m_UI);
    if (m_Backbone.ProcessData(eCmdInitBackbone, &m_UI, 0, 1) != 0) {
        return;
    }
    CProjectInfo info;
    info.m_nWidth = w;
    info.m_nHeight = h;
    info.m_nCanvasSetting = 0xFFFFFFFAu;
    if (m_Backbone.ProcessData(eCmdNewProject, &m_UI, ChannelValueOf(&info), 1) != 0) {
        return;
    }
    m_pCanvas = m_Backbone.Canvas();
    if (!m_pCanvas || !m_pCanvas->LayerView(0)) {
        m_pCanvas = nullptr;
        return;
    }
    for (int32_t y = 0; y < h; ++y) {
        for (int32_t x = 0; x < w; ++x) {
            const uint32_t g = TestGrain(grainSeed, x, y);
            Pixel(1, x, y) = g << 16;
            Pixel(3, x, y) = g;
        }
    }
    CWidget* widget = AddPlaced<CImWidget>(m_Root, gCRect(0, 0, w, h));
    if (!widget || m_pCanvas->AttachCanvasWidget(widget) != eNoError) {
        m_pCanvas = nullptr;
        return;
    }
    m_pRelit = std::make_unique<CImage>(w, h);
    // The composite starts lit like the layers it shows.
    if (CRenderer* renderer = m_Backbone.CurrentRenderer()) {
        (void)renderer->Render(m_pCanvas->Composite(), *m_pCanvas, 1); // checked by goldens
    }
}

error CStrokeCanvas::LayPaper(uint32_t texture, gCFile& resources, gCResourceIndex& index) {
    m_App.m_pResFile = &resources;
    m_App.m_pResIndex = &index;
    const error e =
        error(m_pCanvas->ProcessData(eCmdCanvasTexture, nullptr, ChannelValueOf(&texture), 1));
    m_App.m_pResFile = nullptr;
    m_App.m_pResIndex = nullptr;
    if (e != eNoError) {
        return e;
    }
    if (CRenderer* renderer = m_Backbone.CurrentRenderer()) {
        return renderer->Render(m_pCanvas->Composite(), *m_pCanvas, 1);
    }
    return eNoError;
}

CStrokeCanvas::~CStrokeCanvas() {
    gCCmdTarget::SetUIModule(nullptr);
    gCCmdTarget::SetBackboneModule(nullptr);
}

uint32_t* CStrokeCanvas::Layer(int32_t i) {
    return reinterpret_cast<uint32_t*>(m_pCanvas->LayerView(i)->GetData());
}

CLayerWords CStrokeCanvas::Copy(int32_t i) {
    const uint32_t* d = Layer(i);
    return CLayerWords(d, d + size_t(m_nWidth) * size_t(m_nHeight));
}

CLayerSet CStrokeCanvas::CopyAll() {
    return {Copy(0), Copy(1), Copy(2), Copy(3)};
}

void CStrokeCanvas::SetColour(uint32_t argb) {
    (void)m_Backbone.ProcessData(eMsgPaintColour, &m_UI, int64_t(argb), 1); // always 0
}

void CStrokeCanvas::PaintPatch(const gCRect& r, uint32_t colour, uint32_t depth) {
    for (int32_t y = std::max(0, r.top); y < std::min(m_nHeight, r.bottom); ++y) {
        for (int32_t x = std::max(0, r.left); x < std::min(m_nWidth, r.right); ++x) {
            Pixel(0, x, y) = colour;
            Pixel(1, x, y) = (Pixel(1, x, y) & 0xFFFF0000u) | (depth & 0xFFFFu);
            Pixel(2, x, y) = depth * 65537u;
        }
    }
}

void CStrokeCanvas::PaintStripes(int32_t band, const std::vector<uint32_t>& colours,
                                 uint32_t depth) {
    for (int32_t x = 0; x < m_nWidth; x += band) {
        const uint32_t colour = colours[size_t(x / band) % colours.size()];
        PaintPatch(gCRect(x, 0, x + band, m_nHeight), colour, depth);
    }
}

namespace {

CTabletPoint AsSample(const SStrokeSample& s) {
    CTabletPoint p;
    p.x = s.x;
    p.y = s.y;
    p.pressure = float(s.q);
    return p;
}

} // namespace

error CStrokeCanvas::Run(CPaintTool& tool, const CStroke& stroke) {
    return RunStroke(stroke, [&](EStrokeCall call, CTabletPoint& p) {
        switch (call) {
        case EStrokeCall::eDown: return tool.ToolDown(nullptr, m_pCanvas, p);
        case EStrokeCall::eMove: return tool.ToolMove(nullptr, m_pCanvas, p);
        default: return tool.ToolUp(nullptr, m_pCanvas, p);
        }
    });
}

error CStrokeCanvas::Run(CToolBase& engine, const CStroke& stroke) {
    return RunStroke(stroke, [&](EStrokeCall call, CTabletPoint& p) {
        switch (call) {
        case EStrokeCall::eDown: return engine.ToolDown(m_pCanvas, p);
        case EStrokeCall::eMove: return engine.ToolMove(m_pCanvas, p);
        default: return engine.ToolUp(m_pCanvas, p);
        }
    });
}

error CStrokeCanvas::RunStroke(const CStroke& stroke,
                               const std::function<error(EStrokeCall, CTabletPoint&)>& call) {
    if (stroke.empty()) {
        return eNoError;
    }
    m_pCanvas->StartProtect();
    CTabletPoint first = AsSample(stroke.front());
    error e = call(EStrokeCall::eDown, first);
    for (size_t i = 1; e == eNoError && i < stroke.size(); ++i) {
        CTabletPoint p = AsSample(stroke[i]);
        e = call(EStrokeCall::eMove, p);
    }
    if (e == eNoError) {
        CTabletPoint last = AsSample(stroke.back());
        e = call(EStrokeCall::eUp, last);
    }
    m_pCanvas->EndProtect();
    return e;
}

int32_t CStrokeCanvas::Undo() {
    return m_Backbone.ProcessData(eCmdUndo, &m_UI, 0, 1);
}

void CStrokeCanvas::SetAll(const CLayerSet& layers) {
    for (int32_t i = 0; i < 4; ++i) {
        std::copy(layers[size_t(i)].begin(), layers[size_t(i)].end(), Layer(i));
    }
}

::testing::AssertionResult CStrokeCanvas::StrokeKeepsRules(CPaintTool& tool, const CStroke& stroke,
                                                           EToolWrites kind,
                                                           CLayerSet* afterStroke) {
    return KeepsRules([&] { return Run(tool, stroke); }, kind, afterStroke);
}

::testing::AssertionResult CStrokeCanvas::StrokeKeepsRules(CToolBase& engine, const CStroke& stroke,
                                                           CLayerSet* afterStroke) {
    return KeepsRules([&] { return Run(engine, stroke); }, EToolWrites::eColourOnly, afterStroke);
}

::testing::AssertionResult CStrokeCanvas::KeepsRules(const std::function<error()>& run,
                                                     EToolWrites kind, CLayerSet* afterStroke) {
    const CLayerSet before = CopyAll();
    if (const error e = run(); e != eNoError) {
        return ::testing::AssertionFailure() << "the stroke failed with " << e;
    }
    const CLayerSet after = CopyAll();
    if (afterStroke) {
        *afterStroke = after;
    }
    std::string fault;
    for (size_t k = 0; k < before[0].size() && fault.empty(); ++k) {
        const uint32_t c0 = before[0][k], c1 = after[0][k];
        const uint32_t h0 = before[1][k], h1 = after[1][k];
        const uint32_t depth0 = h0 & 0xFFFFu, depth1 = h1 & 0xFFFFu;
        const uint32_t grain0 = h0 >> 16, grain1 = h1 >> 16;
        const uint32_t reference = before[3][k] & 0xFFFFu;
        const char* broken = nullptr;
        if ((after[3][k] >> 16) != 0) {
            broken = "a per-stroke mark left in L3";
        } else if ((after[3][k] & 0xFFFFu) != reference) {
            broken = "L3's grain copy changed";
        }
        switch (kind) {
        case EToolWrites::eWetPaint: {
            const bool toward =
                grain1 == grain0 || (grain0 < reference ? grain1 > grain0 && grain1 <= reference
                                                        : grain1 < grain0 && grain1 >= reference);
            if (!toward) {
                broken = "the grain moved away from its reference";
            } else if (depth1 != depth0 && depth1 > 9999) {
                broken = "a depth above 9999";
            } else if (after[2][k] != before[2][k] && after[2][k] != depth1 * 65537u) {
                broken = "L2 is not depth x 65537 where written";
            }
            break;
        }
        case EToolWrites::eDryColour:
            if (h1 != h0 || after[2][k] != before[2][k]) {
                broken = "L1 or L2 changed";
            }
            break;
        case EToolWrites::eEraser:
            if ((c1 & 0x00FFFFFFu) != (c0 & 0x00FFFFFFu) || (c1 >> 24) > (c0 >> 24)) {
                broken = "L0 colour changed or alpha rose";
            } else if (grain1 != grain0 || depth1 > depth0 || after[2][k] != before[2][k]) {
                broken = "the grain, L2 or a raised depth";
            }
            break;
        case EToolWrites::ePencil:
            if (grain1 != grain0 || (depth1 != depth0 && depth1 != 0) ||
                after[2][k] != before[2][k]) {
                broken = "L1 high, L2, or a depth other than 0";
            }
            break;
        case EToolWrites::eColourOnly:
            if (h1 != h0 || after[2][k] != before[2][k] || after[3][k] != before[3][k]) {
                broken = "L1, L2 or L3 changed";
            }
            break;
        case EToolWrites::eNothing:
            if (c1 != c0 || h1 != h0 || after[2][k] != before[2][k] ||
                after[3][k] != before[3][k]) {
                broken = "a changed pixel";
            }
            break;
        }
        if (broken) {
            char where[64];
            std::snprintf(where, sizeof where, " at (%d, %d)", int32_t(k % size_t(m_nWidth)),
                          int32_t(k / size_t(m_nWidth)));
            fault = std::string(broken) + where;
        }
    }
    if (fault.empty() && Undo() != 0 && kind != EToolWrites::eNothing) {
        fault = "the undo failed";
    }
    const char* names[] = {"L0", "L1", "L2", "L3"};
    for (int32_t i = 0; i < 4 && fault.empty(); ++i) {
        fault = FirstDifference(before[size_t(i)], Copy(i), m_nWidth, names[i]);
        if (!fault.empty()) {
            fault = "after undo, " + fault;
        }
    }
    if (!fault.empty()) {
        return ::testing::AssertionFailure() << fault;
    }
    return ::testing::AssertionSuccess();
}

CImage& CStrokeCanvas::Relit() {
    if (CRenderer* renderer = m_Backbone.CurrentRenderer()) {
        (void)renderer->Render(m_pRelit.get(), *m_pCanvas, 1); // a failure shows in the CRC
    }
    return *m_pRelit;
}

void CStrokeCanvas::CopyLayer(int32_t i, CImage& image) {
    CImNav view(&image);
    std::copy_n(Layer(i), size_t(m_nWidth) * size_t(m_nHeight),
                reinterpret_cast<uint32_t*>(view.GetData()));
}

void CStrokeCanvas::ReviewPictures(CImage& colour, CImage& depth) {
    // L0 over white, and the paint depth in grey (0 white, 9999 and deeper
    // black).
    CImNav c(&colour), d(&depth);
    const uint32_t* paint = Layer(0);
    const uint32_t* height = Layer(1);
    uint32_t* cw = reinterpret_cast<uint32_t*>(c.GetData());
    uint32_t* dw = reinterpret_cast<uint32_t*>(d.GetData());
    for (size_t k = 0; k < size_t(m_nWidth) * size_t(m_nHeight); ++k) {
        CPixel over = 0xFFFFFFFFu;
        CPixel::Blend255Proc(&over, int32_t(paint[k] >> 24), CPixel(paint[k] | 0xFF000000u));
        cw[k] = uint32_t(over);
        const uint32_t g = 255u - std::min(9999u, height[k] & 0xFFFFu) * 255u / 9999u;
        dw[k] = 0xFF000000u | (g << 16) | (g << 8) | g;
    }
}

bool CStrokeCanvas::WriteStrokePictures(const std::string& name, const std::string& outputFolder) {
    CImage colour(m_nWidth, m_nHeight), depth(m_nWidth, m_nHeight);
    ReviewPictures(colour, depth);
    const std::filesystem::path folder(outputFolder);
    return WritePicturePng(Relit(), folder / (name + ".png")) &&
           WritePicturePng(colour, folder / (name + "-colour.png")) &&
           WritePicturePng(depth, folder / (name + "-depth.png"));
}

::testing::AssertionResult CStrokeCanvas::MatchesStrokeGoldens(const std::string& name,
                                                               const std::vector<SGoldenCrc>& table,
                                                               const std::string& outputFolder) {
    CImage l0(m_nWidth, m_nHeight), l1(m_nWidth, m_nHeight), l2(m_nWidth, m_nHeight),
        l3(m_nWidth, m_nHeight);
    CopyLayer(0, l0);
    CopyLayer(1, l1);
    CopyLayer(2, l2);
    CopyLayer(3, l3);
    CImage colour(m_nWidth, m_nHeight), depth(m_nWidth, m_nHeight);
    ReviewPictures(colour, depth);
    std::vector<SGoldenCrc> wanted;
    for (const SGoldenCrc& row : table) {
        if (row.name == name || row.name.rfind(name + "-L", 0) == 0) {
            wanted.push_back(row);
        }
    }
    (void)WritePicturePng(colour, std::filesystem::path(outputFolder) / (name + "-colour.png"));
    (void)WritePicturePng(depth, std::filesystem::path(outputFolder) / (name + "-depth.png"));
    return MatchesGoldenCrcs({{name, Relit()},
                              {name + "-L0", l0},
                              {name + "-L1", l1},
                              {name + "-L2", l2},
                              {name + "-L3", l3}},
                             wanted, outputFolder);
}
