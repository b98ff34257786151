#pragma once
// The menu bar: the title bar at the window's right edge, extended from
// the start. It carries the four menu titles (File, Edit, Tools, Help),
// whose pop-up menus turn each choice into a command; the buttons undo,
// redo, one zoom step out and in, the pan controls and the window's size;
// and the zoom value, shown as a percentage and typed in place.
//
// Every command answers what it did: a failure reaches the menu's or the
// button's caller and the window shows it once. The commands that show
// their own failures (open, import) answer 0 after showing them.

#include <cstdint>

#include "foundation/gCArray.h"
#include "ui/panels/Titlebar.h"

class CSMKBackdrop;
class CSMKMenu;
class CTxEdWidget;

class CMenuBar : public CTitlebar {
public:
    static constexpr uint32_t kContentID = 200;
    static constexpr uint32_t kFirstTitleID = 241; // File, Edit, Tools, Help: 241 to 244
    static constexpr uint32_t kFirstButtonID = 220;
    static constexpr uint32_t kLastButtonID = 227;
    static constexpr uint32_t kWindowButtonID = 222;
    static constexpr uint32_t kRedoButtonID = 223;
    static constexpr uint32_t kUndoButtonID = 224;
    static constexpr uint32_t kZoomInButtonID = 225;
    static constexpr uint32_t kZoomOutButtonID = 226;
    static constexpr uint32_t kPanButtonID = 227;
    static constexpr uint32_t kZoomValueID = 250;
    static constexpr uint32_t kZoomTextID = 252;
    static constexpr uint32_t kZoomEditID = 253;
    static constexpr uint32_t kFirstMenuList = 850;
    static constexpr int32_t kMenuCount = 4;
    enum EMenu : int32_t { eFileMenu, eEditMenu, eToolsMenu, eHelpMenu };
    // The bar's own width: its root is 40 pixels wider.
    static constexpr int32_t kBarWidth = 540;
    // The window button's images: a window that fills the screen, and the
    // 1024 x 768 window.
    static constexpr int32_t kFullScreenImage = 2;
    static constexpr int32_t kWindowImage = 3;
    // The zoom typed in place, as a percentage: 5% to 800%.
    static constexpr float kSmallestScale = 0.05f;
    static constexpr float kLargestScale = 8.0f;
    // The scale that means "ask the backbone".
    static constexpr float kAskScale = 99999.0f;

    explicit CMenuBar(CSMKBackdrop* backdrop);
    ~CMenuBar() override;

    // A new project refreshes the zoom from the backbone, a display scale
    // shows itself, a menu's choice runs its command (its answer comes
    // back); 0 for every other id.
    int32_t ProcessData(uint32_t id, const void* sender, int64_t value, int32_t set) override;
    // Shows the scale (or, for kAskScale, the backbone's) as a whole
    // percentage. 21 without the text, the backbone's error.
    error UpdateZoomValue(int32_t redraw, float scale);
    // Closes the zoom field, applying its number (clamped to 5% to 800%)
    // when asked and when it is one. 0.
    error HideZoomEdit(int32_t apply);
    // The window button shows the main window's size, or the one given.
    error UpdateWindowButton(int32_t unused = 0);
    error UpdateWindowButtonState(int32_t state, int32_t unused = 0);

    // The commands of each menu's rows; rows outside the menu do nothing.
    error HandleFileMenu(int32_t item);
    error HandleEditMenu(int32_t item);
    error HandleToolsMenu(int32_t item);
    error HandleHelpMenu(int32_t item);

    CSMKMenu* Menu(int32_t which) const;
    CWidget* Title(int32_t which) const;
    CTxEdWidget* ZoomEdit() const { return m_pZoomEdit; }

    // The callbacks, the bar as user pointer.
    static error MenuItemHeart(void* user, CWidget* title);
    static error MenuButtonHeart(void* user, CWidget* button);
    static error ZoomValueHeart(void* user, CWidget* value);
    static error MenuItemClick(void* user, CWidget* title, CWidget*& target, gCPoint& point);
    static error MenuButtonClick(void* user, CWidget* button, CWidget*& target, gCPoint& point);
    static error ZoomValueClick(void* user, CWidget* value, CWidget*& target, gCPoint& point);
    static error TextEditKey(void* user, CWidget* field, CWidget*& target, uint32_t key);
    static int32_t EditMessage(void* user, CWidget* field, uint32_t id, void* data,
                               uintptr_t extra);

protected:
    error LocalSetupRoot() override;
    error LocalSizeTitlebar() override;

private:
    error SetupTitles();
    error SetupMenus();
    error SetupButtons();
    error SetupZoom();
    // The menu's place: under its title, in backdrop terms.
    gCPoint UnderTitle(int32_t which) const;
    // Ticks the rows that say how things stand before a menu opens.
    void TickEditMenu();
    void TickToolsMenu();
    error RunButton(uint32_t id, CWidget* button);
    error ShowZoomEdit();
    // The title's menu no longer open: it fades.
    void ReleaseTitle(int32_t which);
    CSMKBackdrop* Backdrop() const;

    gCArray<CSMKMenu*> m_aMenus;        // owned
    gCArray<CWidget*> m_aTitles;        // belong to the content tree
    CTxEdWidget* m_pZoomEdit = nullptr; // belongs to the content tree
};
