#include "paint/Backbone.h"

#include <new>

#include "foundation/AppServices.h"
#include "foundation/ErrorReport.h"
#include "paint/PaintTool.h"
#include "paint/canvas/Canvas.h"
#include "paint/relight/StandardRenderer.h"

namespace {

CPaintToolCreator s_aToolCreators[kToolCount] = {};

bool IsToolId(int32_t id) {
    return uint32_t(id) < uint32_t(kToolCount);
}

} // namespace

// The project information starts fresh: 800 x 600, "%%%", paper 0 on the
// default paper colour.
CSMKBackbone::CSMKBackbone() = default;

CSMKBackbone::~CSMKBackbone() {
    if (m_pBackboneModule == this) {
        SetBackboneModule(nullptr);
    }
    m_pCanvas.reset();
    m_pRenderer.reset();
    m_pCurrentTool = nullptr;
    for (CPaintTool* tool : m_aTools) {
        delete tool;
    }
    (void)m_aTools.SetSize(0); // emptying never fails
}

CSMKBackbone* CSMKBackbone::Registered() {
    return dynamic_cast<CSMKBackbone*>(m_pBackboneModule);
}

void CSMKBackbone::SetToolCreator(int32_t id, CPaintToolCreator creator) {
    if (IsToolId(id)) {
        s_aToolCreators[id] = creator;
    }
}

CPaintToolCreator CSMKBackbone::ToolCreator(int32_t id) {
    return IsToolId(id) ? s_aToolCreators[id] : nullptr;
}

CTabletSource* CSMKBackbone::TabletServices() {
    CAppServices* app = CAppServices::Get();
    return app ? app->GetTabletSource() : nullptr;
}

CCanvas* CSMKBackbone::MakeCanvas() {
    return new (std::nothrow) CCanvas;
}

error CSMKBackbone::InitBackbone() {
    // Without an application object there is no tablet to set up.
    if (CTabletSource* tablet = TabletServices()) {
        if (const error e = tablet->SetupServices(1); e != eNoError) {
            (void)ReportError(e, "Failed to set up the tablet manager."); // shown; e goes back
            return e;
        }
    }

    // The starting paper; printing never keeps the document from starting.
    (void)m_PrintManager.Initialise(); // always 0

    m_pCanvas.reset();
    m_pCanvas.reset(MakeCanvas());
    if (!m_pCanvas) {
        (void)ReportError(eCreateFailed, "Failed to create the canvas object."); // shown
        return eCreateFailed;
    }
    if (const error e = m_pCanvas->Initialise(); e != eNoError) {
        (void)ReportError(e, "Failed to initialise the canvas object."); // shown; e goes back
        return e;
    }

    // A tool that cannot be made is simply absent (CreateTool has shown why).
    // The airbrush is made on its first selection, the watercolour never.
    (void)CreateTool(eToolOilPaint);
    (void)CreateTool(eToolPencils);
    (void)CreateTool(eToolChalk);
    (void)CreateTool(eToolCrayon);
    m_pCanvas->SetEraserPointer(CreateTool(eToolEraser));
    (void)CreateTool(eToolPaletteKnife);
    (void)CreateTool(eToolPens);

    if (const error e = SelectRenderer(0); e != eNoError) {
        (void)ReportError(e, "Failed to select the standard renderer."); // shown
        return eCreateFailed;
    }
    return eNoError;
}

CPaintTool* CSMKBackbone::CreateTool(int32_t id) {
    const CPaintToolCreator creator = ToolCreator(id);
    if (!creator) {
        return nullptr;
    }
    CPaintTool* tool = creator();
    if (!tool) {
        (void)ReportError(eCreateFailed, "Failed to set up the requested tool."); // shown
        return nullptr;
    }
    tool->SetType(id);
    error e = tool->SetupTool();
    if (e == eNoError) {
        e = m_aTools.Add(tool);
    }
    if (e != eNoError) {
        delete tool;
        (void)ReportError(e, "Failed to set up the requested tool."); // shown
        return nullptr;
    }
    return tool;
}

CPaintTool* CSMKBackbone::GetTool(int32_t id) {
    for (CPaintTool* tool : m_aTools) {
        if (tool->Type() == id) {
            return tool;
        }
    }
    return nullptr;
}

error CSMKBackbone::SelectTool(int32_t requested) {
    const EToolId id = SelectableTool(uint32_t(requested));
    m_pCurrentTool = GetTool(id);
    if (!m_pCurrentTool) {
        m_pCurrentTool = CreateTool(id);
    }
    return m_pCurrentTool ? eNoError : eCreateFailed;
}

error CSMKBackbone::SelectRenderer(int32_t id) {
    if (id == -1) {
        return eBadParameter;
    }
    if (m_pRenderer && m_pRenderer->RendererId() == id) {
        return eNoError;
    }
    m_pRenderer.reset();
    m_pRenderer.reset(CreateRenderer(id));
    if (!m_pRenderer) {
        return eCreateFailed;
    }
    return error(ProcessData(eCmdRedrawCanvas, this, 0, 0));
}

CRenderer* CSMKBackbone::CreateRenderer(int32_t id) {
    if (id != 0) {
        return nullptr;
    }
    std::unique_ptr<CStandardRenderer> renderer(new (std::nothrow) CStandardRenderer);
    if (!renderer || renderer->SetupRenderer() != eNoError) {
        return nullptr;
    }
    return renderer.release();
}
