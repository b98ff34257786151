#pragma once
// The interface's own pop-up menu, drawn inside the main window. It is
// built once from a text list whose items describe its rows, stays hidden
// until its owner shows it at a point, lights the row under the pointer,
// takes one click and reports the chosen row (or that none was chosen) to
// its owner with eCmdMenuChoice: the menu as sender, the row (from 0,
// separators not counted) or -1 as value. The menu is no widget: it owns a
// small tree (root 800) added to a parent widget, which owns the widgets
// while the menu lives.
//
// Item syntax: the separator text of the string table is a separator; a
// first ">" makes the row tickable; the first ":" standing after the first
// character splits the label from the shortcut. A shortcut "Ctl..." shows
// as "Ctrl...", "F1" as "?".

#include <cstdint>

#include "foundation/Error.h"
#include "foundation/Geometry.h"
#include "foundation/gCArray.h"
#include "foundation/gCCmdTarget.h"
#include "foundation/gCString.h"

class CRoRectWidget;
class CTextList;
class CWidget;

class CSMKMenu : public gCCmdTarget {
public:
    static constexpr uint32_t kRootID = 800;
    static constexpr uint32_t kRowID = 810;
    static constexpr uint32_t kLabelID = 812;
    static constexpr uint32_t kShortcutID = 813;
    static constexpr uint32_t kSeparatorID = 815;
    static constexpr uint32_t kTickID = 820;
    static constexpr uint32_t kSeparatorText = 0xB2D05E1B;
    // A ticked row's tick mark.
    static constexpr uint32_t kTickedOpacity = 130;
    // The sound of a chosen row.
    static constexpr int32_t kChosenSound = 1;
    // The space around the texts: a label alone, a label with its shortcut,
    // and below the last row (and above the first of a free-standing menu).
    static constexpr int32_t kLabelMargin = 20;
    static constexpr int32_t kShortcutMargin = 40;
    static constexpr int32_t kEdge = 20;
    static constexpr int32_t kTickGap = 5;
    // How far the texts stand inside the row's ends.
    static constexpr int32_t kTextInset = kLabelMargin / 2;

    CSMKMenu() = default;
    // Takes the menu's tree out of its parent, which deletes it once no
    // event is being handled: no widget is left calling a menu that is gone.
    ~CSMKMenu() override;
    CSMKMenu(const CSMKMenu&) = delete;
    CSMKMenu& operator=(const CSMKMenu&) = delete;

    // Builds the menu under the parent from the list (kept by the caller):
    // 6 without a list, parent or owner, 21 for a missing resource widget,
    // 23 without memory for a time step, the parent's refusal to add the
    // root. A free-standing menu keeps its loaded corners and a margin
    // above the rows; one hanging from a bar has only its bottom corners
    // curved.
    error SetupRoot(CTextList* list, int32_t freeStanding, CWidget* parent, gCCmdTarget* owner);
    // Places the menu's top-left corner at a point in backdrop terms. 0.
    error SetPosition(gCPoint point, int32_t redraw);
    // Shows the menu in front, no row lit, soft modal. 0.
    error Show(int32_t redraw);
    // Closes the menu and reports the item to the owner; the owner's answer
    // comes back (the second argument has no effect).
    error Hide(int32_t item, int32_t second = 0);
    // 6 for an item outside the rows, 21 for a tickable row without a tick
    // mark; a row that cannot carry a tick is left alone (0).
    error SetItemTick(int32_t item, int32_t on);
    error SetAllTicks(int32_t on);

    CRoRectWidget* Root() const { return m_pRoot; }
    int32_t RowCount() const { return m_aRows.GetSize(); }
    CWidget* Row(int32_t item) const;
    // Whether the row's tick shows.
    bool Ticked(int32_t item) const;
    bool IsShown() const { return m_fShown; }
    // What the item text stands for (exposed for the tests of the syntax).
    struct SItem {
        bool m_fSeparator = false;
        bool m_fTickable = false;
        gCString m_Label;
        gCString m_Shortcut; // empty: none
    };
    static SItem ParseItem(const gCString& text);

    // Row heartbeat, row press and release, and the root's key and
    // message callbacks; the menu is the user pointer. The press answers
    // what the owner answered for the choice; the others 0.
    static error ItemHeart(void* user, CWidget* row);
    static error ItemClick(void* user, CWidget* row, CWidget*& target, gCPoint& point);
    static error ItemMouseUp(void* user, CWidget* row, CWidget*& target, gCPoint& point);
    static error RootKey(void* user, CWidget* root, CWidget*& target, uint32_t key);
    static int32_t RootMessage(void* user, CWidget* root, uint32_t id, void* data, uintptr_t extra);

private:
    // Loads a row or separator, adds it to the root at y and moves y below.
    error AddLine(uint32_t id, int32_t& y, CWidget*& line);
    error BuildRow(const SItem& item, int32_t index, int32_t& y, int32_t& widest);

    CRoRectWidget* m_pRoot = nullptr; // belongs to the parent
    gCCmdTarget* m_pOwner = nullptr;  // not owned
    gCArray<CWidget*> m_aRows;        // belong to the root
    bool m_fShown = false;
};
