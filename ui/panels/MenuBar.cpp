#include "ui/panels/MenuBar.h"

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <new>

#include "foundation/Input.h"
#include "foundation/MessageIds.h"
#include "foundation/Rounding.h"
#include "paint/ChannelValue.h"
#include "paint/ToolId.h"
#include "platform/AppBase.h"
#include "platform/WindowBase.h"
#include "text/TxEdWidget.h"
#include "text/TxWidget.h"
#include "ui/InterfaceText.h"
#include "ui/SMKBackdrop.h"
#include "ui/menus/SMKMenu.h"
#include "ui/panels/PanelHighlight.h"
#include "ui/panels/PanelSupport.h"
#include "ui/panels/PressTracking.h"
#include "widgets/ImWidget.h"
#include "widgets/TextList.h"

namespace {

// The File menu's Quit row, from the string table, and the Edit menu's
// item that this system has no use for (both counting separators).
constexpr uint32_t kQuitItemText = 0xB2D05E25;
constexpr int32_t kQuitItem = 9;
constexpr int32_t kRemovedEditItem = 6;
// The time steps: the titles rest at 0, the buttons at 128, the value at 50.
constexpr float kTitleRest = 0.0f;
constexpr float kButtonRest = 128.0f;
constexpr float kZoomRest = 50.0f;
constexpr float kStepInterval = 0.4f;
constexpr float kButtonStepInterval = 1.0f;
// The zoom field's text.
constexpr float kZoomFieldPoints = 14.0f;
constexpr int32_t kCentred = 2;
constexpr int32_t kClickSound = 0;
constexpr int32_t kPercentLimit = 1 << 30;
// The window modes of the window button: fill the screen, and a window of
// 1024 x 768 centred on it.
constexpr int32_t kFillScreenMode = 1;
constexpr int32_t kCentredWindowMode = 6;

// The Tools menu's rows in order, by the tool each selects.
constexpr EToolId kToolOfRow[] = {eToolOilPaint, eToolPencils,      eToolCrayon, eToolChalk,
                                  eToolPens,     eToolPaletteKnife, eToolEraser};
constexpr int32_t kToolRows = int32_t(std::size(kToolOfRow));

enum class EHelpRow : int32_t { eHelp, eAbout, eWelcome };

// The main window, also while it is being made (its backdrop is set up
// inside the making).
CWindowBase* MainWindow() {
    return CAppBase::m_pMainWnd ? CAppBase::m_pMainWnd.get() : CWindowBase::m_pThis;
}

// The number typed, if the text is one.
bool TypedNumber(const gCString& text, double& number) {
    if (!text.IsReal() && !text.IsInteger()) {
        return false;
    }
    number = std::strtod(text.Ascii(), nullptr);
    return true;
}

bool IsPress(uint32_t id) {
    return id == eMsgButtonDownL || id == eMsgButtonDownM || id == eMsgButtonDownR;
}

} // namespace

CMenuBar::CMenuBar(CSMKBackdrop* backdrop) : CTitlebar(backdrop) {
    m_fLeftAnchored = 0;
    m_fExtended = 1;
}

CMenuBar::~CMenuBar() {
    for (int32_t i = 0; i < m_aMenus.GetSize(); ++i) {
        delete m_aMenus[i];
    }
}

CSMKBackdrop* CMenuBar::Backdrop() const {
    return static_cast<CSMKBackdrop*>(m_pBackdrop);
}

CSMKMenu* CMenuBar::Menu(int32_t which) const {
    return uint32_t(which) < uint32_t(m_aMenus.GetSize()) ? m_aMenus[which] : nullptr;
}

CWidget* CMenuBar::Title(int32_t which) const {
    if (!m_pContent || uint32_t(which) >= uint32_t(kMenuCount)) {
        return nullptr;
    }
    return m_pContent->FindByID(kFirstTitleID + uint32_t(which));
}

error CMenuBar::LocalSizeTitlebar() {
    return m_pRoot->SetWidth(kBarWidth, 0);
}

error CMenuBar::LocalSetupRoot() {
    CWidget* content = CWidget::CreateFromRes(int32_t(kContentID), nullptr, nullptr);
    if (!content) {
        return eResourceNotFound;
    }
    if (const error e = m_pRoot->AddChild(content, 0)) {
        delete content; // still ours when adding fails
        return e;
    }
    m_pContent = content;
    if (const error e = SetupTitles()) {
        return e;
    }
    if (const error e = SetupMenus()) {
        return e;
    }
    (void)m_pRoot->SetMeHighestPriority(0); // only marks areas
    if (const error e = SetupButtons()) {
        return e;
    }
    if (const error e = SetupZoom()) {
        return e;
    }
    const error sized = SizeTitlebar(1);
    const error placed = SetBarExtended(m_fExtended, 0, 0);
    // The bar has its size and place now: each menu hangs under its title.
    for (int32_t i = 0; i < m_aMenus.GetSize(); ++i) {
        (void)m_aMenus[i]->SetPosition(UnderTitle(i), 0);
    }
    // The window button starts out showing the window's size.
    (void)UpdateWindowButton();
    return sized != eNoError ? sized : placed;
}

error CMenuBar::SetupTitles() {
    for (int32_t i = 0; i < kMenuCount; ++i) {
        CWidget* title = Title(i);
        if (!title) {
            continue; // a bar without this title opens no such menu
        }
        if (const error e = PanelSupport::GiveStep(title, kTitleRest, kTitleRest, kStepInterval)) {
            return e;
        }
        title->SetHeartbeat(&CMenuBar::MenuItemHeart, this);
        title->SetButtonDownL(&CMenuBar::MenuItemClick, this);
        title->SetUserData(0, 0);
        if (m_aTitles.Add(title) != eNoError) {
            return eOutOfMemory;
        }
    }
    return eNoError;
}

error CMenuBar::SetupMenus() {
    for (int32_t i = 0; i < kMenuCount; ++i) {
        std::unique_ptr<CTextList> list(
            CTextList::CreateFromRes(int32_t(kFirstMenuList) + i, nullptr, nullptr));
        if (!list) {
            return eResourceNotFound;
        }
        // A list without the item the bar changes is not this bar's list.
        if (i == eFileMenu && list->SetText(kQuitItem, InterfaceText(kQuitItemText)) != eNoError) {
            return eResourceNotFound;
        }
        if (i == eEditMenu && list->RemoveItem(kRemovedEditItem) != eNoError) {
            return eResourceNotFound;
        }
        std::unique_ptr<CSMKMenu> menu(new (std::nothrow) CSMKMenu());
        if (!menu) {
            return eCreateFailed;
        }
        if (const error e = menu->SetupRoot(list.get(), 0, m_pBackdrop, this)) {
            return e;
        }
        if (m_aMenus.Add(menu.get()) != eNoError) {
            return eOutOfMemory;
        }
        CSMKMenu* added = menu.release(); // the bar's from here
        (void)added->SetPosition(UnderTitle(i), 0);
    }
    return eNoError;
}

error CMenuBar::SetupButtons() {
    for (uint32_t id = kFirstButtonID; id <= kLastButtonID; ++id) {
        CWidget* button = m_pContent->FindByID(id);
        if (!button) {
            return eResourceNotFound;
        }
        if (const error e =
                PanelSupport::GiveStep(button, kButtonRest, kButtonRest, kButtonStepInterval)) {
            return e;
        }
        button->SetHeartbeat(&CMenuBar::MenuButtonHeart, this);
        button->SetButtonDownL(&CMenuBar::MenuButtonClick, this);
    }
    // Two buttons this system has no command for.
    for (const uint32_t id : {kFirstButtonID, kFirstButtonID + 1}) {
        (void)m_pContent->FindByID(id)->SetVisibility(0, 0); // only marks areas
    }
    return eNoError;
}

error CMenuBar::SetupZoom() {
    CWidget* value = m_pContent->FindByID(kZoomValueID);
    if (!value) {
        return eResourceNotFound;
    }
    if (const error e = PanelSupport::GiveStep(value, kZoomRest, kZoomRest, kButtonStepInterval)) {
        return e;
    }
    value->SetHeartbeat(&CMenuBar::ZoomValueHeart, this);
    value->SetButtonDownL(&CMenuBar::ZoomValueClick, this);
    if (const error e = UpdateZoomValue(0, kAskScale)) {
        return e;
    }
    m_pZoomEdit = dynamic_cast<CTxEdWidget*>(m_pContent->FindByID(kZoomEditID));
    if (!m_pZoomEdit) {
        return eResourceNotFound;
    }
    m_pZoomEdit->SetKeyDown(&CMenuBar::TextEditKey, this);
    m_pZoomEdit->SetNumeric(1, 1);
    // Only restyle the text: each answers 0 for a field that has one.
    (void)m_pZoomEdit->SetJustify(CTextRenderer::EJustify(kCentred), 0, 0);
    (void)m_pZoomEdit->SetFontPointHeight(kZoomFieldPoints, 0, 0);
    m_pZoomEdit->SetMessage(&CMenuBar::EditMessage, this);
    return eNoError;
}

gCPoint CMenuBar::UnderTitle(int32_t which) const {
    CWidget* title = Title(which);
    if (!title) {
        return gCPoint();
    }
    const gCRect r = title->Rect();
    gCPoint corner(r.left, r.bottom);
    if (CWidget* parent = title->Parent()) {
        parent->LocalToBackdrop(corner);
    }
    return corner;
}

// --- Data channel

int32_t CMenuBar::ProcessData(uint32_t id, const void* sender, int64_t value, int32_t) {
    switch (id) {
    case eCmdNewProject:
        return UpdateZoomValue(0, kAskScale);
    case eCmdDisplayScale:
        if (const float* scale = ChannelPointer<float>(value)) {
            return UpdateZoomValue(1, *scale);
        }
        return 0;
    case eCmdMenuChoice: {
        const int32_t item = int32_t(value);
        if (sender == Menu(eFileMenu)) {
            return HandleFileMenu(item);
        }
        if (sender == Menu(eEditMenu)) {
            return HandleEditMenu(item);
        }
        if (sender == Menu(eToolsMenu)) {
            return HandleToolsMenu(item);
        }
        if (sender == Menu(eHelpMenu)) {
            return HandleHelpMenu(item);
        }
        return 0;
    }
    default:
        return 0;
    }
}

// --- The menus' commands

void CMenuBar::ReleaseTitle(int32_t which) {
    if (CWidget* title = Title(which)) {
        title->SetUserData(0, 0);
    }
}

error CMenuBar::HandleFileMenu(int32_t item) {
    ReleaseTitle(eFileMenu);
    CSMKBackdrop* backdrop = Backdrop();
    switch (item) {
    case 0:
        return backdrop->NewProject();
    case 1:
        return backdrop->LoadProject();
    case 2:
        return backdrop->SaveProject(0);
    case 3:
        return backdrop->SaveProject(1);
    case 4:
        return backdrop->ImportImage();
    case 5:
        return error(SetBackboneData(eCmdExportImage, this, 0));
    case 6:
        return error(SetBackboneData(eCmdPrint, this, 1));
    case 7:
        return error(SetBackboneData(eCmdPageSetup, this, 0));
    case 8:
        // Last: the quit may end the window, the bar and its menus.
        backdrop->QuitApplication();
        return eNoError;
    default:
        return eNoError;
    }
}

error CMenuBar::HandleEditMenu(int32_t item) {
    ReleaseTitle(eEditMenu);
    switch (item) {
    case 0:
        return error(SetBackboneData(eCmdUndo, this, 0));
    case 1:
        return error(SetBackboneData(eCmdRedo, this, 0));
    case 2:
        return error(SetBackboneData(eCmdClearCanvas, this, 0));
    case 3: {
        int32_t& soundOn = Backdrop()->m_fSoundOn;
        soundOn = soundOn ? 0 : 1;
        return eNoError;
    }
    case 4:
        if (CWindowBase* window = MainWindow()) {
            // A window that cannot take its new place stays as it was.
            (void)window->SetOSMenuHidden(window->IsOSMenuHidden() ? 0 : 1, 1);
        }
        return eNoError;
    default:
        return eNoError;
    }
}

error CMenuBar::HandleToolsMenu(int32_t item) {
    ReleaseTitle(eToolsMenu);
    if (item >= 0 && item < kToolRows) {
        return error(SetBackboneData(eCmdSelectTool, this, kToolOfRow[item]));
    }
    if (item == kToolRows) {
        return Backdrop()->ShowCanvasPicker();
    }
    return eNoError;
}

error CMenuBar::HandleHelpMenu(int32_t item) {
    ReleaseTitle(eHelpMenu);
    switch (EHelpRow(item)) {
    case EHelpRow::eHelp:
        (void)SetUIData(eCmdShowHelp, this, 0); // help shows its own failure
        return eNoError;
    case EHelpRow::eAbout:
        return error(SetUIData(eCmdShowAbout, this, 0));
    case EHelpRow::eWelcome:
        return Backdrop()->ShowWelcome();
    }
    return eNoError;
}

// --- Opening a menu

void CMenuBar::TickEditMenu() {
    CSMKMenu* menu = Menu(eEditMenu);
    // Both rows are in range in every list the bar builds from.
    (void)menu->SetItemTick(3, Backdrop()->m_fSoundOn ? 1 : 0);
    CWindowBase* window = MainWindow();
    (void)menu->SetItemTick(4, window && window->IsOSMenuHidden() ? 1 : 0);
}

void CMenuBar::TickToolsMenu() {
    CSMKMenu* menu = Menu(eToolsMenu);
    (void)menu->SetAllTicks(0);
    int32_t tool = -1;
    if (GetBackboneData(eCmdGetToolType, this, ChannelValueOf(&tool)) != 0) {
        return; // no tool known: no tick
    }
    for (int32_t row = 0; row < kToolRows; ++row) {
        if (kToolOfRow[row] == tool) {
            (void)menu->SetItemTick(row, 1);
        }
    }
}

error CMenuBar::MenuItemClick(void* user, CWidget* title, CWidget*& target, gCPoint&) {
    auto* bar = static_cast<CMenuBar*>(user);
    target = title;
    const int32_t which = int32_t(title->GetResID()) - int32_t(kFirstTitleID);
    CSMKMenu* menu = bar->Menu(which);
    CBackdrop* backdrop = bar->m_pBackdrop;
    if (!menu || !backdrop || backdrop->DoModal(title) != eNoError) {
        return eNoError;
    }
    while (PanelSupport::ButtonHeld()) {
        PanelSupport::Heartbeat();
    }
    if (backdrop->TopModal() == title) {
        backdrop->EndModal();
    }
    gCPoint cursor = PanelSupport::ReleasePoint();
    if (CWidget* parent = title->Parent()) {
        parent->DesktopToLocal(cursor);
    }
    const gCRect r = title->Rect();
    if (cursor.x < r.left || cursor.x > r.right || cursor.y < r.top || cursor.y > r.bottom) {
        return eNoError; // released off the title: nothing opens
    }
    title->SetUserData(0, 1);
    (void)menu->SetPosition(bar->UnderTitle(which), 0);
    if (which == eEditMenu) {
        bar->TickEditMenu();
    } else if (which == eToolsMenu) {
        bar->TickToolsMenu();
    }
    (void)bar->SetUIData(eCmdPlaySound, bar, kClickSound); // a silent menu still opens
    return menu->Show(1);
}

// --- The buttons

error CMenuBar::RunButton(uint32_t id, CWidget* button) {
    switch (id) {
    case kWindowButtonID: {
        CWindowBase* window = MainWindow();
        if (!window) {
            return eNoError;
        }
        auto* icon = dynamic_cast<CImWidget*>(button->Child(0));
        const gCRPoint kept(-1.0f, -1.0f);
        if (!window->IsFullScreen()) {
            if (icon) {
                (void)icon->SetImage(kFullScreenImage, 1, 0); // an index the list has
            }
            (void)window->SetOSMenuHidden(1, 1);
            return window->SetWindowSizeAndPosition(kFillScreenMode, kept, kept, 1);
        }
        if (icon) {
            (void)icon->SetImage(kWindowImage, 1, 0);
        }
        (void)window->SetOSMenuHidden(0, 1);
        return window->SetWindowSizeAndPosition(kCentredWindowMode, gCRPoint(1024.0f, 768.0f), kept,
                                                1);
    }
    case kRedoButtonID:
        return error(SetBackboneData(eCmdRedo, this, 0));
    case kUndoButtonID:
        return error(SetBackboneData(eCmdUndo, this, 0));
    case kZoomInButtonID:
        return error(SetBackboneData(eCmdZoomIn, this, 0));
    case kZoomOutButtonID:
        return error(SetBackboneData(eCmdZoomOut, this, 0));
    case kPanButtonID:
        return Backdrop()->ShowPanControls(1);
    default:
        return eNoError;
    }
}

error CMenuBar::MenuButtonClick(void* user, CWidget* button, CWidget*& target, gCPoint&) {
    auto* bar = static_cast<CMenuBar*>(user);
    target = button;
    if (!PressTracking::ReleasedOn(bar->m_pBackdrop, button)) {
        return eNoError; // released elsewhere: nothing
    }
    (void)bar->SetUIData(eCmdPlaySound, bar, kClickSound); // a silent click still counts
    return bar->RunButton(uint32_t(button->GetResID()), button);
}

error CMenuBar::UpdateWindowButton(int32_t) {
    CWindowBase* window = MainWindow();
    return window ? UpdateWindowButtonState(window->IsFullScreen()) : eNoError;
}

error CMenuBar::UpdateWindowButtonState(int32_t state, int32_t) {
    CWidget* button = m_pContent ? m_pContent->FindByID(kWindowButtonID) : nullptr;
    auto* icon = button ? dynamic_cast<CImWidget*>(button->Child(0)) : nullptr;
    const int32_t image = state ? kFullScreenImage : kWindowImage;
    if (icon && icon->ImageIndex() != image) {
        // Shown at once: the window may have been redrawn before the
        // change. Both indexes are in the button's list; a failed redraw
        // stays dirty.
        (void)icon->SetImage(image, 1, 1);
    }
    return eNoError;
}

// --- The zoom

error CMenuBar::UpdateZoomValue(int32_t redraw, float scale) {
    auto* text = m_pContent ? dynamic_cast<CTxWidget*>(m_pContent->FindByID(kZoomTextID)) : nullptr;
    if (!text) {
        return eResourceNotFound;
    }
    if (scale == kAskScale) {
        if (const int32_t e = GetBackboneData(eCmdDisplayScale, this, ChannelValueOf(&scale))) {
            return error(e);
        }
    }
    gCString shown;
    if (shown.Format(u"%d", RoundToInt32(scale * 100.0f, -kPercentLimit, kPercentLimit)) !=
            eNoError ||
        shown.AppendString(u"%") != eNoError) {
        return eOutOfMemory;
    }
    if (const error e = text->SetText(shown, 1, 0)) {
        return e;
    }
    return text->AlphaChanged(redraw);
}

error CMenuBar::ZoomValueClick(void* user, CWidget* value, CWidget*& target, gCPoint&) {
    auto* bar = static_cast<CMenuBar*>(user);
    target = value;
    if (!PressTracking::ReleasedOn(bar->m_pBackdrop, value)) {
        return eNoError;
    }
    return bar->ShowZoomEdit();
}

error CMenuBar::ShowZoomEdit() {
    CTxEdWidget* field = m_pZoomEdit;
    if (!field || !m_pBackdrop || m_pBackdrop->TopModal() == field) {
        return eNoError;
    }
    float scale = 0.0f;
    if (const int32_t e = GetBackboneData(eCmdDisplayScale, this, ChannelValueOf(&scale))) {
        return error(e);
    }
    gCString typed;
    if (typed.Format(u"%d", RoundToInt32(scale * 100.0f, -kPercentLimit, kPercentLimit)) !=
        eNoError) {
        return eOutOfMemory;
    }
    if (const error e = field->SetText(typed, 1, 0)) {
        return e;
    }
    // Bringing to the front and showing without a redraw only mark areas.
    (void)field->SetMeHighestPriority(0);
    (void)field->SetVisibility(1, 0);
    if (const error e = m_pBackdrop->DoSoftModal(field)) {
        (void)field->SetVisibility(0, 0);
        return e;
    }
    (void)field->SelectText(1); // a redraw that fails stays dirty
    return field->SetFocus(0);
}

error CMenuBar::HideZoomEdit(int32_t apply) {
    CTxEdWidget* field = m_pZoomEdit;
    if (!field || !m_pBackdrop) {
        return eNoError;
    }
    double number = 0.0;
    const bool typed = TypedNumber(field->String(), number);
    const int32_t prevented = m_pBackdrop->RedrawPrevented();
    m_pBackdrop->SetRedrawPrevented(1);
    if (m_pBackdrop->TopModal() == field) {
        m_pBackdrop->EndModal();
    }
    (void)field->SetVisibility(0, 0); // only marks areas
    (void)m_pBackdrop->SetFocus(0);   // the shortcuts have the keys again
    error result = eNoError;
    if (apply && typed) {
        float scale =
            float(std::clamp(number / 100.0, double(kSmallestScale), double(kLargestScale)));
        result = error(SetBackboneData(eCmdDisplayScale, this, ChannelValueOf(&scale)));
    }
    m_pBackdrop->SetRedrawPrevented(prevented);
    if (m_pContent) {
        (void)m_pContent->PassRedraw(); // a failed redraw is shown by the backdrop
    }
    return result;
}

error CMenuBar::TextEditKey(void* user, CWidget* field, CWidget*& target, uint32_t key) {
    auto* bar = static_cast<CMenuBar*>(user);
    switch (key) {
    case kKeyCodeReturn:
    case kKeyCodeTab:
        target = field;
        return bar->HideZoomEdit(1);
    case kKeyCodeEscape:
        target = field;
        return bar->HideZoomEdit(0);
    default:
        return field->KeyDown(target, key);
    }
}

int32_t CMenuBar::EditMessage(void* user, CWidget* field, uint32_t id, void*, uintptr_t) {
    auto* bar = static_cast<CMenuBar*>(user);
    if (IsPress(id) && bar->m_pBackdrop && bar->m_pBackdrop->TopModal() == field) {
        (void)bar->HideZoomEdit(0); // nothing applied: nothing can fail
    }
    return 0;
}

// --- Highlights

error CMenuBar::MenuItemHeart(void*, CWidget* title) {
    return PanelHighlight::Beat(PanelHighlight::kMenuBarItem, title);
}

error CMenuBar::MenuButtonHeart(void*, CWidget* button) {
    return PanelHighlight::Beat(PanelHighlight::kMenuButton, button);
}

error CMenuBar::ZoomValueHeart(void*, CWidget* value) {
    return PanelHighlight::Beat(PanelHighlight::kZoomValue, value);
}
