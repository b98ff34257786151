#pragma once
// The developer's widget-tree inspector: a modal panel on the backdrop that
// lists one widget's chain of parents and its whole subtree, shows the
// chosen widget's name, id, type, event mask and callbacks, flags, opacity
// values and rectangles, and warns about settings of the widget and its
// parents that keep events or drawing from reaching it. A find field with
// two buttons searches the tree by id or by name. The backdrop opens it
// (TestWidgetDebug); Escape or a press outside it closes it.
//
//   auto* panel = new CDebugInfoWidget;  // size, colour, place, then:
//   backdrop.AddChild(panel, 1);
//   panel->SetupDebugInfoBack(widget);
//   backdrop.DoModal(panel);
//
// Table rows carry their widgets as ids; a clicked row's widget is used
// only while a walk from the root still finds it. The backdrop tells an
// open inspector when a subtree leaves the tree (ForgetSubtree), and it
// forgets its shown and last-clicked widget when they were inside it.

#include <cstdint>

#include "FileIO/FileTypes.h"
#include "foundation/gCString.h"
#include "widgets/RoRectWidget.h"

class CTableWidget;

inline constexpr uint32_t kDebugInfoWidgetID = FourCC("_Db_");

class CDebugInfoWidget : public CRoRectWidget {
public:
    // Every event kind, the id '_Db_' and its name, a black 2.5-pixel
    // border with square corners, the 18-point title and a drop shadow.
    CDebugInfoWidget();
    ~CDebugInfoWidget() override;

    int32_t Message(uint32_t message, void* data, uintptr_t value) override;
    // Every key is taken; Escape closes the inspector.
    error KeyDown(CWidget*& taken, uint32_t key) override;
    // A press on the panel itself drags it with the pointer.
    error ButtonDownL(CWidget*& taken, gCPoint& point) override;

    // Builds every child for the panel's present size, then fills the list
    // and the fields for the widget. 5 for a failed allocation or addition;
    // what was built stays.
    error SetupDebugInfoBack(CWidget* widget);
    // One label and one value field with that id.
    error Text(uint32_t id, const gCString& label, int32_t labelX, int32_t valueX, int32_t y,
               int32_t valueRight);
    // One button with its caption, border and shadow.
    error CreateButton(uint32_t id, const gCString& text, int32_t x, int32_t y, int32_t width,
                       int32_t height);
    // Makes the widget the shown one and fills every field and the
    // warnings; null only forgets the shown widget.
    error PopulateInfo(CWidget* widget);
    // The warning text about the widget and its ancestors.
    error CheckParents(CWidget* widget);
    // Appends one ancestor's warning line (always 0).
    error TestParent(CWidget* widget, CWidget* ancestor, gCString& report);
    // The list around the widget: its ancestors, itself (selected), its
    // subtree.
    error PopulateTable(CTableWidget* table, CWidget* widget);
    error RecurseChildren(CWidget* widget, CTableWidget* table, gCString prefix, int32_t depth);
    // The next match after the shown widget, wrapping around once.
    error SearchByID(gCString text);
    error SearchByName(gCString text);
    error SearchHierarchyByID(CWidget* widget, uint32_t id, int32_t depth);
    error SearchHierarchyByName(CWidget* widget, gCString& text, int32_t depth);

    // The buttons' left-button callback; the user pointer is the inspector.
    static error ButtonProc(void* user, CWidget* widget, CWidget*& taken, gCPoint& point);
    // The grip's; the user pointer is the list.
    static error ScrollGrip(void* user, CWidget* widget, CWidget*& taken, gCPoint& point);

    // The backdrop's news that leaving and its subtree leave the tree.
    void ForgetSubtree(CWidget* leaving);

    CWidget* ShownWidget() const { return m_pShownWidget; }
    int32_t SearchState() const { return m_nSearchState; }

    // The colours derived from the client colour: the find field's and the
    // buttons'.
    static CPixel Lightened(CPixel colour);
    static CPixel Darkened(CPixel colour);
    // " %d,  (0x0%X)" of an id.
    static gCString IdText(uint32_t id);

private:
    // The root of the tree the inspector is in (the panel itself when it
    // is in none).
    CWidget* Root();
    // Whether a walk from the root reaches the widget (by address alone).
    bool InTree(const CWidget* widget);
    // Ends the modal state and takes the inspector out of the backdrop;
    // nothing of it is touched afterwards.
    void Close();
    // The table's row click.
    error RowClicked(CTableWidget* table);
    // Both walks of a search from the root, then SearchDone; walk runs one
    // from the root it is given.
    template <typename Walk> error Search(Walk walk, const gCString& typed);
    // One widget of a walk and its subtree, matches telling a match.
    template <typename Matches> void SearchWalk(CWidget* widget, Matches matches, int32_t depth);
    // After a search: the list, the redraw and the fields, or the alert.
    error SearchDone(const gCString& typed);
    // Sets the value field's text when it exists.
    error SetField(uint32_t id, const gCString& text);

    CWidget* m_pShownWidget = nullptr;
    int32_t m_nSearchState = 0;
    CWidget* m_pLastClicked = nullptr;
    // The clock's milliseconds (low 32 bits) at the last row click.
    uint32_t m_nClickMilliseconds = 0;
};

// Fills the backdrop's inspector hook; RegisterTextWidgets calls it.
void RegisterDebugInfoWidget();
