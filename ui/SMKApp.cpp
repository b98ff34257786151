#include "ui/SMKApp.h"

#include <algorithm>
#include <new>

#include "FileIO/gCFRef.h"
#include "foundation/ErrorReport.h"
#include "foundation/MessageIds.h"
#include "foundation/Utf8.h"
#include "paint/Backbone.h"
#include "paint/ChannelValue.h"
#include "paint/project/ProjectInfo.h"
#include "platform/WindowBase.h"
#include "text/TextFontEngine.h"
#include "text/TxWidget.h"
#include "tools/RegisterPaintTools.h"
#include "ui/SMKBackdrop.h"

namespace {

constexpr uint32_t kNewProjectNameText = 0xB2D05E03;
constexpr uint32_t kPromptFailedText = 0xB2D05E07;
constexpr int32_t kSmallestSide = 100;
constexpr int32_t kLargestSide = 5000;

// Halves away from zero.
int32_t Rounded(double value) {
    return int32_t(value > 0.0 ? value + 0.5 : value - 0.5);
}

gCString Unquoted(const gCString& path) {
    gCString stripped = path.GetTrimLeft(0x22);
    stripped.TrimRight(0x22);
    return stripped;
}

} // namespace

CSMKApp::CSMKApp() {
    m_nMacType = 0x44424C4E; // 'DBLN'
    SetName(m_ResFolder, u"Resources");
    gRegisterFontEngine(gTextFontEngine());
    // The text widgets join the widget constructor's table; the table has
    // room for them, so this cannot fail.
    (void)RegisterTextWidgets();
}

CSMKApp::~CSMKApp() {
    if (m_pBackbone && CSMKBackbone::Registered() == m_pBackbone.get()) {
        gCCmdTarget::SetBackboneModule(nullptr);
    }
    m_pBackbone.reset();
}

CSMKBackbone* CSMKApp::NewBackbone() {
    return new (std::nothrow) CSMKBackbone();
}

gCPoint CSMKApp::NewProjectSize(int32_t backdropWidth, int32_t backdropHeight) {
    return gCPoint(std::clamp(Rounded(backdropWidth * 0.9), kSmallestSide, kLargestSide),
                   std::clamp(Rounded(backdropHeight * 0.9), kSmallestSide, kLargestSide));
}

bool CSMKApp::IsProjectPath(const gCString& path) {
    const gCString stripped = Unquoted(path);
    const int32_t n = stripped.GetLength();
    static constexpr char16_t kExtension[] = u".ptg";
    if (n < 4) {
        return false;
    }
    return std::equal(stripped.GetBuffer() + n - 4, stripped.GetBuffer() + n, kExtension);
}

error CSMKApp::Initialize(const gCString& path) {
    // ReportError answers 0 once the alert is gone; the failure is then
    // answered (and shown once more by the start-up).
    std::unique_ptr<CSMKBackdrop> backdrop(new (std::nothrow) CSMKBackdrop());
    if (!backdrop) {
        (void)ReportError(eCreateFailed, "Error creating the Backdrop.");
        return eCreateFailed;
    }
    gCString name;
    if (const error e = name.CopyString(u"Daublin")) {
        (void)ReportError(e, "Error getting Daublin Backdrop from resources.");
        return e;
    }
    if (const error e = backdrop->GetFromRes(name, GetResFile(), nullptr)) {
        (void)ReportError(e, "Error getting Daublin Backdrop from resources.");
        return e;
    }
    RegisterPaintTools();
    m_pBackbone.reset(NewBackbone());
    if (!m_pBackbone) {
        return eCreateFailed;
    }
    gCCmdTarget::SetBackboneModule(m_pBackbone.get());
    gCCmdTarget::SetUIModule(backdrop.get());
    // The window owns the backdrop from here on, whatever it answers.
    CSMKBackdrop* shown = backdrop.release();
    if (error e = MakeWindow(shown, -1, 7, gCRPoint(1024.0f, 768.0f), gCRPoint(-1.0f, -1.0f),
                             nullptr, 0)) {
        (void)ReportError(e, "Error creating a new Daublin window.");
        return e;
    }
    if (m_pMainWnd) {
        m_pMainWnd->SetSysKeyOverride(1);
    }

    bool loaded = false;
    if (IsProjectPath(path)) {
        const gCFRef file(Unquoted(path));
        const error e = LoadStartProject(*shown, file);
        if (!CWindowBase::m_pThis) {
            return e != eNoError ? e : eCreateFailed; // the window went with the load
        }
        if (e != eNoError) {
            // The painting that cannot be opened is named, and a new one
            // takes its place. ReportError answers 0 once the alert is gone.
            (void)ReportError(e, file.PosixPath().c_str());
        }
        loaded = e == eNoError;
    }
    if (!loaded) {
        CProjectInfo info;
        const gCPoint size = NewProjectSize(shown->Width(), shown->Height());
        info.m_nWidth = size.x;
        info.m_nHeight = size.y;
        if (gCStringTable* table = GetStringTable()) {
            info.m_Name = table->GetString(kNewProjectNameText, 0);
        }
        // A failed new painting is shown by the backbone; the window stays.
        (void)SetBackboneData(eCmdNewProject, this, ChannelValueOf(&info));
    }
    StartHeartbeat();
    return eNoError;
}

error CSMKApp::LoadStartProject(CSMKBackdrop& backdrop, const gCFRef& file) {
    CProjectInfo info;
    info.m_File = file;
    info.m_Name = info.m_File.FileName();
    const int32_t prevented = backdrop.RedrawPrevented();
    backdrop.SetRedrawPrevented(1);
    const int32_t loaded = SetBackboneData(eCmdLoadProject, &backdrop, ChannelValueOf(&info));
    if (!CWindowBase::m_pThis) {
        return loaded != 0 ? error(loaded) : eCreateFailed; // the backdrop is gone too
    }
    backdrop.SetRedrawPrevented(prevented);
    if (loaded != 0) {
        return error(loaded);
    }
    // A load nobody performed leaves no painting on screen: that start
    // fails like any other.
    CWidget* canvas = backdrop.CanvasWidget();
    if (!canvas || !canvas->Visible()) {
        return eNotImplemented;
    }
    return eNoError;
}

void CSMKApp::ReportPromptFailure() {
    gCString detail;
    if (gCStringTable* table = GetStringTable()) {
        detail = table->GetString(kPromptFailedText, 0);
    }
    const std::string text = gStringToUtf8(detail);
    // The alert answers 0 once dismissed; the quit goes on either way.
    (void)ReportError(eBadParameter, text.c_str());
}

void CSMKApp::DoSystemQuit() {
    // After the loop the window and its backdrop are gone: only quit.
    if (CWindowBase::m_pThis) {
        int32_t modified = 0;
        if (CSMKBackbone::Registered() &&
            GetBackboneData(eCmdModified, this, ChannelValueOf(&modified)) == 0 && modified) {
            if (SetUIData(eCmdSavePrompt, this, 0) == 0) {
                return; // the prompt is up; its answer quits again
            }
            ReportPromptFailure();
        }
        // Once per quit, while the window is there: the settings of this run
        // for the next. A file that cannot be written keeps the last ones;
        // nothing more can be done about it at quit.
        if (auto* backdrop = dynamic_cast<CSMKBackdrop*>(CWindowBase::m_pThis->GetBackdrop())) {
            (void)backdrop->WritePersistency();
        }
    }
    CApp::DoSystemQuit();
}

error CSMKApp::ExitApp() {
    int32_t modified = 0;
    if (GetBackboneData(eCmdModified, this, ChannelValueOf(&modified)) != 0 || !modified) {
        return eHandled;
    }
    if (SetUIData(eCmdSavePrompt, this, 0) == 0) {
        return eNoError;
    }
    ReportPromptFailure();
    return eHandled;
}
