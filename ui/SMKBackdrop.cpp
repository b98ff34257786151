#include "ui/SMKBackdrop.h"

#include <algorithm>
#include <iterator>
#include <new>

#include "FileIO/gCFile.h"
#include "foundation/Input.h"
#include "foundation/MessageIds.h"
#include "foundation/Rounding.h"
#include "paint/Backbone.h"
#include "paint/ChannelValue.h"
#include "paint/ToolId.h"
#include "paint/project/ProjectInfo.h"
#include "platform/AppBase.h"
#include "platform/WindowBase.h"
#include "text/TxWidget.h"
#include "ui/InterfaceText.h"
#include "ui/boxes/AboutBox.h"
#include "ui/boxes/CanvasPicker.h"
#include "ui/boxes/NewFile.h"
#include "ui/boxes/SavePrompt.h"
#include "ui/boxes/WelcomeBox.h"
#include "ui/panels/BrushPicker.h"
#include "ui/panels/CleanBrush.h"
#include "ui/panels/ColourPicker.h"
#include "ui/panels/MenuBar.h"
#include "ui/panels/NameBar.h"
#include "ui/panels/TracePicker.h"
#include "widgets/ImWidget.h"

namespace {

constexpr uint32_t kCanvasWidgetID = 5;
constexpr int32_t kMenuBarPanel = 0;
constexpr int32_t kBrushPickerPanel = 4;
constexpr int32_t kColourPickerPanel = 2;
constexpr int32_t kCleanBrushPanel = 5;
constexpr int32_t kTracePickerPanel = 3;
constexpr uint32_t kHiddenHintID = 3;
constexpr uint32_t kCanvasColourWidgetID = 2300;
constexpr int32_t kNameBarPanel = 1;
constexpr int32_t kProjectTypeID = 24;
constexpr uint32_t kProjectDescriptionText = 0xB2D05E01;
constexpr uint32_t kProjectExtensionText = 0xB2D05E02;
// The program's entry in the user's settings: key, value name and value.
constexpr uint32_t kSettingsKeyText = 0xB2D05E0E;
constexpr uint32_t kSettingsValueNameText = 0xB2D05E0F;
constexpr uint32_t kSettingsValueText = 0xB2D05E10;

// Key codes the shortcuts read besides foundation/Input.h's: Ctrl-letters
// arrive as their control codes, Return also as the toolkit's second code.
constexpr uint32_t kKeyCodeReturn2 = 136;
constexpr uint32_t kKeyCodeF4 = uint32_t(-245);
constexpr uint32_t CtrlKey(char letter) {
    return uint32_t(letter - 'A' + 1);
}

// The window modes of the size keys: fill the main screen, and a window of
// the given size centred on the screen.
constexpr int32_t kFillScreenMode = 1;
constexpr int32_t kCentredWindowMode = 6;
// The zoom keys' limits: below them a step halves or doubles the scale.
constexpr double kSmallestZoomedOut = 0.01;
constexpr float kLargestZoomedIn = 17.0f;

uint32_t ShiftDown() {
    const CAppServices* services = CAppServices::Get();
    return services ? services->IsShiftKeyDown() : 0;
}

uint32_t AltDown() {
    const CAppServices* services = CAppServices::Get();
    return services ? services->IsAltKeyDown() : 0;
}

// The tool a number key selects: 1 to 7 in key order.
constexpr EToolId kToolOfNumberKey[] = {eToolOilPaint, eToolPencils,      eToolCrayon, eToolChalk,
                                        eToolPens,     eToolPaletteKnife, eToolEraser};

// What a key does. Letters work plain, shifted and with Ctrl; the number
// keys select the tools of kToolOfNumberKey.
enum class EKeyCommand {
    eNone,
    eNew,
    eOpen,
    eSave,
    ePrint, // with Shift: page set-up
    eUndo,  // with Shift: redo
    eRedo,
    eTracing,
    eTool,
    eHelp,
    ePanels,
    eQuitWithAlt,
    eQuit,
    eZoomOut,
    eZoomIn,
    eFillScreen,
    eCentredWindow,
    eSwallow, // taken, and nothing done
};

struct SKeyCommand {
    uint32_t key;
    EKeyCommand command;
};

constexpr SKeyCommand kKeyCommands[] = {
    {CtrlKey('N'), EKeyCommand::eNew},
    {'N', EKeyCommand::eNew},
    {'n', EKeyCommand::eNew},
    {CtrlKey('O'), EKeyCommand::eOpen},
    {'O', EKeyCommand::eOpen},
    {'o', EKeyCommand::eOpen},
    {CtrlKey('S'), EKeyCommand::eSave},
    {'S', EKeyCommand::eSave},
    {'s', EKeyCommand::eSave},
    {CtrlKey('P'), EKeyCommand::ePrint},
    {'P', EKeyCommand::ePrint},
    {'p', EKeyCommand::ePrint},
    {CtrlKey('Z'), EKeyCommand::eUndo},
    {'Z', EKeyCommand::eUndo},
    {'z', EKeyCommand::eUndo},
    {CtrlKey('Y'), EKeyCommand::eRedo},
    {'Y', EKeyCommand::eRedo},
    {'y', EKeyCommand::eRedo},
    {CtrlKey('T'), EKeyCommand::eTracing},
    {' ', EKeyCommand::eTracing},
    {'T', EKeyCommand::eTracing},
    {'t', EKeyCommand::eTracing},
    {'1', EKeyCommand::eTool},
    {'2', EKeyCommand::eTool},
    {'3', EKeyCommand::eTool},
    {'4', EKeyCommand::eTool},
    {'5', EKeyCommand::eTool},
    {'6', EKeyCommand::eTool},
    {'7', EKeyCommand::eTool},
    {'?', EKeyCommand::eHelp},
    {kKeyCodeF1, EKeyCommand::eHelp},
    {kKeyCodeReturn, EKeyCommand::ePanels},
    {kKeyCodeReturn2, EKeyCommand::ePanels},
    {kKeyCodeF4, EKeyCommand::eQuitWithAlt},
    {CtrlKey('Q'), EKeyCommand::eQuit},
    {kKeyCodeF7, EKeyCommand::eZoomOut},
    {kKeyCodeF8, EKeyCommand::eZoomIn},
    {'+', EKeyCommand::eFillScreen},
    {'=', EKeyCommand::eFillScreen},
    {'-', EKeyCommand::eCentredWindow},
    {kKeyCodeEscape, EKeyCommand::eSwallow},
    {kKeyCodeF12, EKeyCommand::eSwallow},
};
static_assert(std::size(kToolOfNumberKey) == 7, "one tool for each of the keys 1 to 7");

EKeyCommand CommandOfKey(uint32_t key) {
    for (const SKeyCommand& entry : kKeyCommands) {
        if (entry.key == key) {
            return entry.command;
        }
    }
    return EKeyCommand::eNone;
}

// A pen coordinate as a pixel, halves away from zero, held as the canvas
// holds pen positions.
int32_t RoundedAway(float value) {
    constexpr int32_t kPenLimit = 1 << 30;
    return RoundToInt32(value, -kPenLimit, kPenLimit);
}

// The centre of a rectangle in its own coordinates; halves go down.
gCPoint OwnCentre(const gCRect& r) {
    return gCPoint(((r.left + r.right) >> 1) - r.left, ((r.top + r.bottom) >> 1) - r.top);
}

} // namespace

CSMKBackdrop::CSMKBackdrop() {
    SetWidgetRolloverEnabled(1);
}

CSMKBackdrop::~CSMKBackdrop() {
    // The panels go first, then the prompt; the widget tree goes last.
    const auto release = [this](auto& panel) {
        std::replace(m_apPanels.begin(), m_apPanels.end(), static_cast<gCCmdTarget*>(panel.get()),
                     static_cast<gCCmdTarget*>(nullptr));
        panel.reset();
    };
    release(m_pMenuBar);
    release(m_pBrushPicker);
    release(m_pColourPicker);
    release(m_pCleanBrush);
    release(m_pTracePicker);
    m_pSavePrompt.reset();
    m_pAboutBox.reset();
    m_pWelcomeBox.reset();
    m_pNewFile.reset();
    m_pCanvasPicker.reset();
    if (m_apPanels[kNameBarPanel] == m_pNameBar.get()) {
        m_apPanels[kNameBarPanel] = nullptr;
    }
    m_pNameBar.reset();
    // A backdrop that goes stops hearing the data channel.
    if (gCCmdTarget::UIModule() == this) {
        gCCmdTarget::SetUIModule(nullptr);
    }
}

error CSMKBackdrop::SetupInterface() {
    // The backbone reports its own start-up failures; the interface goes on.
    (void)SetBackboneData(eCmdInitBackbone, this, 0);
    m_pCanvasWidget = FindByID(kCanvasWidgetID);
    if (!m_pCanvasWidget) {
        return eResourceNotFound;
    }
    m_pCanvasColourWidget = FindByID(kCanvasColourWidgetID);
    if (!m_pCanvasColourWidget) {
        return eResourceNotFound;
    }
    if (const error e = SetupPanels()) {
        return e;
    }
    m_pSavePrompt.reset(new (std::nothrow) CSavePrompt(this));
    if (!m_pSavePrompt) {
        return eCreateFailed;
    }
    if (const error e = m_pSavePrompt->SetupRoot()) {
        m_pSavePrompt.reset();
        return e;
    }
    if (const error e = MakeBoxes()) {
        return e;
    }
    if (const error e = SetupHiddenHint()) {
        return e;
    }
    if (const error e = m_Sound.SetupObject()) {
        return e;
    }
    if (const error e = SetupPanControls()) {
        return e;
    }
    m_ProjectFileType.m_nTypeID = kProjectTypeID;
    m_ProjectFileType.m_Description = InterfaceText(kProjectDescriptionText);
    m_ProjectFileType.m_Extension = InterfaceText(kProjectExtensionText);
    m_ProjectFileType.m_nMacType = FourCC("SKPJ");
    // After every panel and before the first painting: a window restored
    // to its own size is measured for that painting.
    const bool firstRun = ReadPersistency() == eHandled;
    if (const int32_t e = SetBackboneData(eCmdSelectTool, this, m_nSavedTool)) {
        return error(e);
    }
    if (firstRun && m_pWelcomeBox) {
        // A greeting that cannot be built is no reason to stop the program.
        (void)m_pWelcomeBox->Show(0);
    }
    // This system keeps no such settings (9): the file just read stays. On
    // a system that answers 10 it would be made anew, empty.
    StoreUserSettings();
    return eNoError;
}

error CSMKBackdrop::SetupNameBar() {
    m_pNameBar.reset(new (std::nothrow) CNameBar(this));
    if (!m_pNameBar) {
        return eCreateFailed;
    }
    m_apPanels[kNameBarPanel] = m_pNameBar.get();
    if (const error e = m_pNameBar->SetupRoot()) {
        m_apPanels[kNameBarPanel] = nullptr;
        m_pNameBar.reset();
        return e;
    }
    AddPanelRoot(kNameBarPanel, m_pNameBar->Root());
    return eNoError;
}

error CSMKBackdrop::SetupHiddenHint() {
    m_pHiddenHint = dynamic_cast<CTxWidget*>(FindByID(kHiddenHintID));
    if (!m_pHiddenHint) {
        return eResourceNotFound;
    }
    // The right click shows the panels as Return does; the text names both.
    gCString text;
    if (const error e = text.CopyString(u"Right-click/")) {
        return e;
    }
    gCString from;
    gCString to;
    if (const error e = text.AppendString(m_pHiddenHint->String())) {
        return e;
    }
    if (const error e = from.CopyString(u"Enter")) {
        return e;
    }
    if (const error e = to.CopyString(u"Return")) {
        return e;
    }
    (void)text.Replace(from, to); // the count of replacements
    return m_pHiddenHint->SetText(text, 1, 0);
}

error CSMKBackdrop::SetupPanels() {
    if (const error e = SetupPanel(kMenuBarPanel, m_pMenuBar)) {
        return e;
    }
    if (const error e = SetupNameBar()) {
        return e;
    }
    if (const error e = SetupPanel(kColourPickerPanel, m_pColourPicker)) {
        return e;
    }
    if (const error e = SetupPanel(kTracePickerPanel, m_pTracePicker)) {
        return e;
    }
    if (const error e = SetupPanel(kBrushPickerPanel, m_pBrushPicker)) {
        return e;
    }
    return SetupPanel(kCleanBrushPanel, m_pCleanBrush);
}

template <typename T> error CSMKBackdrop::SetupPanel(int32_t index, std::unique_ptr<T>& panel) {
    panel.reset(new (std::nothrow) T(this));
    if (!panel) {
        return eCreateFailed;
    }
    m_apPanels[size_t(index)] = panel.get();
    if (const error e = panel->SetupRoot()) {
        m_apPanels[size_t(index)] = nullptr;
        panel.reset();
        return e;
    }
    AddPanelRoot(index, panel->Root());
    return eNoError;
}

void CSMKBackdrop::AddPanelRoot(int32_t index, CWidget* root) {
    if (uint32_t(index) >= uint32_t(kPanelCount)) {
        return;
    }
    m_apPanelRootByIndex[size_t(index)] = root;
    // A root that cannot be listed is left out of hiding all; set-up goes on.
    (void)m_aPanelRoots.Add(root);
}

void CSMKBackdrop::StoreUserSettings() {
    if (!CAppBase::m_pApp) {
        return;
    }
    const error stored = CAppBase::m_pApp->SetCurrentUserString(
        InterfaceText(kSettingsKeyText), InterfaceText(kSettingsValueNameText),
        InterfaceText(kSettingsValueText));
    // Settings that cannot be kept make the preferences file anew, empty;
    // anything else (this system keeps no such settings) is no concern of
    // the set-up, and neither is a file that cannot be made.
    if (stored == ePreferenceError) {
        gCFile file;
        (void)CreatePrefsFile(&file); // closed when the object goes
    }
}

error CSMKBackdrop::ShowCanvasPicker() {
    return m_pCanvasPicker ? m_pCanvasPicker->Show(1) : eNoError;
}

error CSMKBackdrop::SetupCanvasWidget(CProjectInfo* info) {
    CWidget* canvas = FindByID(kCanvasWidgetID);
    if (!canvas || !info) {
        return eNoError;
    }
    // Sizing, placing and showing only mark areas for the next redraw; the
    // canvas is handed over whatever they answer.
    (void)canvas->SetSize(info->m_nWidth, info->m_nHeight, 0);
    (void)canvas->SetPosition(Width() / 2 - canvas->Width() / 2,
                              Height() / 2 - canvas->Height() / 2, 0);
    (void)canvas->SetVisibility(1, 1);
    // The backbone shows its own failures to attach.
    (void)SetBackboneData(eCmdSetupCanvasWidget, this, ChannelValueOf(canvas));
    return eNoError;
}

error CSMKBackdrop::SetSize(int32_t width, int32_t height, int32_t redraw) {
    CWidget* canvas = m_pCanvasWidget;
    CWidget* view = canvas ? canvas->Parent() : nullptr;
    gCPoint kept;
    if (view) {
        kept = OwnCentre(view->Rect());
        canvas->ParentToLocal(kept);
    }
    if (const error e = CBackdrop::SetSize(width, height, 0)) {
        return e;
    }
    if (view) {
        const gCPoint centre = OwnCentre(view->Rect());
        // Moving only marks areas for the redraw below.
        (void)canvas->SetPosition(centre.x - kept.x, centre.y - kept.y, 0);
        const gCRect r = canvas->Rect();
        const int32_t W = view->Width();
        const int32_t H = view->Height();
        const int32_t w = canvas->Width();
        const int32_t h = canvas->Height();
        const int32_t leftLimit = std::max(W - w, W / 2);
        const int32_t rightLimit = std::min(w, W / 2);
        if (r.left > leftLimit) {
            (void)canvas->SetXPos(leftLimit, 0);
        } else if (r.right < rightLimit) {
            (void)canvas->SetXPos(rightLimit - w, 0);
        }
        const int32_t topLimit = std::max(H - h, H / 2);
        const int32_t bottomLimit = std::min(h, H / 2);
        if (r.top > topLimit) {
            (void)canvas->SetYPos(topLimit, 0);
        } else if (r.bottom < bottomLimit) {
            (void)canvas->SetYPos(bottomLimit - h, 0);
        }
    }
    if (redraw) {
        // A failed redraw is shown by the backdrop and kept dirty.
        (void)PassRedraw();
    }
    RefreshTabletServices();
    return eNoError;
}

void CSMKBackdrop::RefreshTabletServices() {
    if (CTabletSource* tablet = TabletServices()) {
        (void)tablet->SetupServices(1); // re-arming has nothing to report
    }
}

CTabletSource* CSMKBackdrop::TabletServices() {
    CSMKBackbone* backbone = CSMKBackbone::Registered();
    return backbone ? backbone->TabletServices() : nullptr;
}

int32_t CSMKBackdrop::ProcessData(uint32_t id, const void* sender, int64_t value, int32_t set) {
    // Numbers are the value's low 32 bits; pointers are the whole value.
    const int32_t number = int32_t(value);
    switch (id) {
    case eCmdNewProject:
        if (const error e = SetupCanvasWidget(ChannelPointer<CProjectInfo>(value))) {
            return e;
        }
        break;
    case eCmdStrokePoint:
        if (const float* pen = ChannelPointer<float>(value)) {
            CheckPanelsOnDrag(gCPoint(RoundedAway(pen[0]), RoundedAway(pen[1])));
        }
        break;
    case eCmdStrokeStart:
        CalculatePanelRects();
        break;
    case eCmdTogglePanels:
        TogglePanelsHidden(1);
        break;
    case eCmdHidePanels:
        HideAllPanels(1);
        break;
    case eCmdShowPanels:
        ShowAllPanels(1);
        break;
    case eCmdShowAbout:
        ShowAboutBox();
        break;
    case eCmdSavePrompt:
        if (const int32_t e =
                GetBackboneData(eCmdModified, this, ChannelValueOf(&m_fPromptModified))) {
            return e;
        }
        return ShowSavePrompt(number);
    case eCmdSaveAndGo:
        if (const error e = SaveProject(0)) {
            ForgetPromptCycle(number);
            return e;
        }
        return RunPendingAction(number, 1);
    case eCmdDiscardAndGo:
        if (number < 0 || number > 3) {
            return 0;
        }
        {
            int32_t cleared = 0;
            if (const int32_t e = SetBackboneData(eCmdModified, this, ChannelValueOf(&cleared))) {
                ForgetPromptCycle(number);
                return e;
            }
        }
        return RunPendingAction(number, 0);
    case eCmdCancelPrompt:
        ForgetPromptCycle(number);
        return 0;
    case eCmdShowHelp:
        ShowHelp();
        return 0;
    case eCmdPlaySound:
        return m_Sound.ProcessData(id, sender, value, set);
    case eCmdStrokeEnd:
        UnhideDragPanels();
        break;
    case eCmdDisplayScale:
        break; // shown below, once the panels have followed it
    default:
        break;
    }
    for (gCCmdTarget* panel : m_apPanels) {
        if (panel) {
            // Each panel keeps its own view; one failing stops none.
            (void)panel->ProcessData(id, sender, value, set);
        }
    }
    if (id == eCmdDisplayScale && set) {
        // The canvas has taken its new size and place: shown at once. A
        // failed redraw is shown by the backdrop and kept dirty.
        (void)PassRedraw();
    }
    return 0;
}

error CSMKBackdrop::KeyDown(CWidget*& taken, uint32_t key) {
    // Printing, page set-up, undo, redo and the tools answer nothing the
    // key looks at: their sets report their own failures.
    switch (CommandOfKey(key)) {
    case EKeyCommand::eNew:
        taken = this;
        return NewProject();
    case EKeyCommand::eOpen:
        taken = this;
        return LoadProject();
    case EKeyCommand::eSave:
        taken = this;
        return SaveProject(0);
    case EKeyCommand::ePrint:
        if (ShiftDown()) {
            (void)SetBackboneData(eCmdPageSetup, this, 0);
        } else {
            (void)SetBackboneData(eCmdPrint, this, 1);
        }
        taken = this;
        return eNoError;
    case EKeyCommand::eUndo:
        (void)SetBackboneData(ShiftDown() ? eCmdRedo : eCmdUndo, this, 0);
        taken = this;
        return eNoError;
    case EKeyCommand::eRedo:
        (void)SetBackboneData(eCmdRedo, this, 0);
        taken = this;
        return eNoError;
    case EKeyCommand::eTracing:
        taken = this;
        return error(SetBackboneData(eCmdTracingMode, this, 2));
    case EKeyCommand::eTool:
        (void)SetBackboneData(eCmdSelectTool, this, kToolOfNumberKey[key - '1']);
        taken = this;
        return eNoError;
    case EKeyCommand::eHelp:
        ShowHelp();
        taken = this;
        return eNoError;
    case EKeyCommand::ePanels:
        TogglePanelsHidden(1);
        taken = this;
        return eNoError;
    case EKeyCommand::eQuitWithAlt:
        if (!AltDown()) {
            return eNoError;
        }
        [[fallthrough]];
    case EKeyCommand::eQuit:
        // Taken first: quitting may end the backdrop.
        taken = this;
        QuitApplication();
        return eNoError;
    case EKeyCommand::eZoomOut:
    case EKeyCommand::eZoomIn: {
        float scale = 0.0f;
        if (const int32_t e = GetBackboneData(eCmdDisplayScale, this, ChannelValueOf(&scale))) {
            return error(e);
        }
        if (CommandOfKey(key) == EKeyCommand::eZoomOut) {
            if (double(scale) > kSmallestZoomedOut) {
                scale *= 0.5f;
            }
        } else if (scale < kLargestZoomedIn) {
            scale *= 2.0f;
        }
        if (const int32_t e = SetBackboneData(eCmdDisplayScale, this, ChannelValueOf(&scale))) {
            return error(e);
        }
        taken = this;
        return eNoError;
    }
    case EKeyCommand::eFillScreen: {
        const gCRPoint kept(-1.0f, -1.0f);
        // A window that cannot change stays as it is: all the key can do.
        (void)ResizeMainWindow(kFillScreenMode, kept, kept);
        if (Panel(0)) {
            UpdateWindowButton(kFillScreenMode);
        }
        (void)ResizeMainWindow(kFillScreenMode, kept, kept);
        taken = this;
        return eNoError;
    }
    case EKeyCommand::eCentredWindow:
        // As above: a window that cannot change stays as it is.
        (void)ResizeMainWindow(kCentredWindowMode, gCRPoint(1024.0f, 768.0f),
                               gCRPoint(-1.0f, -1.0f));
        if (Panel(0)) {
            UpdateWindowButton(kCentredWindowMode);
        }
        taken = this;
        return eNoError;
    case EKeyCommand::eSwallow:
        // Taken so that they do nothing.
        taken = this;
        return eNoError;
    case EKeyCommand::eNone:
        return eNoError;
    }
    return eNoError;
}

void CSMKBackdrop::UpdateWindowButton(int32_t) {
    if (m_pMenuBar) {
        (void)m_pMenuBar->UpdateWindowButton(0); // the button follows the window
    }
}

error CSMKBackdrop::ResizeMainWindow(int32_t mode, gCRPoint size, gCRPoint position) {
    CWindowBase* window = CAppBase::m_pMainWnd.get();
    return window ? window->SetWindowSizeAndPosition(mode, size, position, 1) : eNoError;
}

int32_t CSMKBackdrop::RunPendingAction(int32_t action, int32_t clearRestore) {
    // After a save nothing is to be put back, whatever the action.
    if (clearRestore) {
        m_fRestoreModified = 0;
    }
    switch (action) {
    case 0:
        QuitApplication();
        return 0;
    case 1:
        return LoadProject();
    case 2:
        return NewProject();
    case 3:
        return ImportImage();
    default:
        return 0;
    }
}

int32_t CSMKBackdrop::Message(uint32_t id, void* data, uintptr_t extra) {
    if (id == eMsgOpenDocument && extra) {
        // Without memory for the path the open dialog asks for it instead.
        const gCString& path = *reinterpret_cast<const gCString*>(extra);
        (void)m_DocumentPath.CopyStringFromBuffer(path.GetBuffer(), path.GetLength());
        // LoadProject shows its own failures.
        (void)LoadProject();
    }
    (void)data; // the sender: not needed
    return 0;
}

void CSMKBackdrop::QuitApplication() {
    if (CAppBase::m_pApp) {
        CAppBase::m_pApp->DoSystemQuit();
    }
}

error CSMKBackdrop::ShowSavePrompt(int32_t action) {
    // Without a prompt none can be shown: the sender takes its failure path
    // rather than wait for an answer that never comes.
    return m_pSavePrompt ? m_pSavePrompt->Show(action, 1) : eNotImplemented;
}
