#include "devtools/widgets-demo/DemoApp.h"

#include <memory>

#include "FileIO/ResourceLoading.h"
#include "devtools/widgets-demo/DemoEffects.h"
#include "devtools/widgets-demo/DemoFields.h"
#include "devtools/widgets-demo/DemoLayerShadow.h"
#include "devtools/widgets-demo/DemoPanels.h"
#include "devtools/widgets-demo/DemoTable.h"
#include "devtools/widgets-demo/DemoTexts.h"
#include "foundation/ErrorReport.h"
#include "platform/WindowBase.h"
#include "text/Font.h"
#include "text/TextRenderer.h"
#include "text/TxWidget.h"

error CDemoBackdrop::SetupInterface() {
    // The frame widget's rectangles, before anything is drawn.
    if (error e = ArrangeDemoPanels(*this)) {
        (void)ReportError(e, "Error arranging the demo's frame widget."); // shown; answered
        return e;
    }
    return eNoError;
}

error CDemoBackdrop::PassButtonDownL(CWidget*& taker, gCPoint& point) {
    // The inspector hook acts only with Control and Shift held; the press
    // is then its.
    if (TestWidgetDebug() != eNoError) {
        taker = this;
        return eNoError;
    }
    return CBackdrop::PassButtonDownL(taker, point);
}

CDemoApp::CDemoApp() {
    m_nMacType = 0x44574447; // 'DWDG'
    SetName(m_ResFolder, u"Resources");
}

CDemoApp::~CDemoApp() {
    // The fonts the table used go before the manager closes.
    EmptyResources();
    gCFont::ShutDownManager();
}

error CDemoApp::Initialize(const gCString&) {
    // The table's text: the font manager and identity gamma tables.
    if (error e = gCFont::InitializeManager()) {
        return e;
    }
    CTextRenderer::BuildGammaLUT(1.0f);
    // Before the backdrop: its tree holds text widgets.
    if (error e = RegisterTextWidgets()) {
        return e;
    }
    gCString name;
    if (error e = name.CopyString(u"WidgetsDemo")) {
        return e;
    }
    // A failed load has shown its alert already.
    std::unique_ptr<CDemoBackdrop> backdrop(
        CreateFromResource<CDemoBackdrop>(name, nullptr, nullptr));
    if (!backdrop) {
        return eCreateFailed;
    }
    // --- The effects, attached in code to the loaded tree. ---
    if (error e = AttachDemoEffects(*backdrop)) {
        (void)ReportError(e,
                          "Error attaching the demo's effects."); // shown; the failure is answered
        return e;
    }
    // --- End of the effects. ---
    if (error e = AttachDemoTable(*backdrop)) {
        (void)ReportError(e, "Error attaching the demo's table."); // shown; the failure is answered
        return e;
    }
    // --- The layer shadow's bar, attached in code. ---
    if (error e = AttachDemoLayerShadow(*backdrop)) {
        (void)ReportError(e, "Error attaching the demo's layer shadow."); // shown; answered
        return e;
    }
    // --- End of the layer shadow's bar. ---
    // --- The text widgets: one turned, and a captioned image, in code. ---
    if (error e = AttachDemoTexts(*backdrop)) {
        (void)ReportError(e, "Error attaching the demo's texts."); // shown; answered
        return e;
    }
    // --- End of the text widgets. ---
    if (error e = AttachDemoFields(*backdrop)) {
        (void)ReportError(e, "Error setting up the demo's edit fields."); // shown; answered
        return e;
    }
    // The inspector opens for the widget under the pointer.
    backdrop->SetWidgetRolloverEnabled(1);
    // The window owns the backdrop from here on.
    if (error e = MakeWindow(backdrop.release(), -1, 7, gCRPoint(1024.0f, 768.0f),
                             gCRPoint(-1.0f, -1.0f), "Daublin Widgets Demo", 0)) {
        (void)ReportError(e, "Error creating the demo window."); // shown; the failure is answered
        return e;
    }
    if (m_pMainWnd) {
        m_pMainWnd->SetSysKeyOverride(1);
    }
    StartHeartbeat();
    return eNoError;
}

int32_t CDemoApp::Message(uint32_t id, void* data, uintptr_t extra) {
    if (int32_t answer = PrintDemoFieldMessage(id, data)) {
        return answer;
    }
    return CApp::Message(id, data, extra);
}
