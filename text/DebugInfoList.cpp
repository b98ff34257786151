// The inspector's widget list and its two searches.

#include <cstdint>
#include <string>

#include "foundation/Alert.h"
#include "foundation/Utf8.h"
#include "text/DebugInfoWidget.h"
#include "text/TableWidget.h"
#include "text/detail/DebugInfoParts.h"

namespace {

constexpr char16_t kRecursionRow[] = u"*** Possible recursion error: Depth greater than 100 ***";

// A copy with the letters a to z turned into A to Z.
gCString Upper(const gCString& text) {
    std::u16string units(text.GetBuffer() ? text.GetBuffer() : u"", size_t(text.GetLength()));
    for (char16_t& unit : units) {
        if (unit >= u'a' && unit <= u'z') {
            unit = char16_t(unit - u'a' + u'A');
        }
    }
    gCString out;
    // Without memory the copy stays empty, and an empty text matches nothing.
    (void)out.CopyStringFromBuffer(units.data(), int32_t(units.size()));
    return out;
}

// A new last row with the text and, when given, the widget as its id.
error AppendRow(CTableWidget& table, const gCString& text, const CWidget* widget) {
    const int32_t row = table.GetRowCount();
    if (error e = table.AddRow(0)) {
        return e;
    }
    if (error e = table.SetCellText(row, 0, text, 0)) {
        return e;
    }
    return widget ? table.SetRowID(row, reinterpret_cast<uintptr_t>(widget)) : eNoError;
}

// The widget's row: the prefix, its name in quotes and its id.
error AppendWidgetRow(CTableWidget& table, const gCString& prefix, const CWidget& widget) {
    SInspectorText text;
    text << prefix << u"\"" << widget.GetResName() << u"\"  - ID = "
         << CDebugInfoWidget::IdText(uint32_t(widget.GetResID()));
    if (text.m_nError) {
        return text.m_nError;
    }
    return AppendRow(table, text.m_Text, &widget);
}


} // namespace

error CDebugInfoWidget::PopulateTable(CTableWidget* table, CWidget* widget) {
    if (!widget || !table) {
        return eNoError;
    }
    if (error e = table->Clear(0)) {
        return e;
    }
    CWidget* ancestors[kMaxDepth + 1];
    int32_t count = 0;
    for (CWidget* p = widget->Parent(); p && count <= kMaxDepth; p = p->Parent()) {
        ancestors[count++] = p;
    }
    if (count > kMaxDepth) {
        if (error e = AppendRow(*table, InspectorUnits(kRecursionRow), nullptr)) {
            return e;
        }
    }
    SInspectorText indent;
    for (int32_t i = count - 1; i >= 0; --i) {
        if (error e = AppendWidgetRow(*table, indent.m_Text, *ancestors[i])) {
            return e;
        }
        indent << u"   ";
    }
    const int32_t row = table->GetRowCount();
    if (error e = AppendWidgetRow(*table, indent.m_Text, *widget)) {
        return e;
    }
    if (error e = table->SelectRow(row, 0)) {
        return e;
    }
    indent << u" : ";
    if (indent.m_nError) {
        return indent.m_nError;
    }
    for (int32_t i = 0; i < widget->ChildCount(); ++i) {
        CWidget* child = widget->Child(i);
        if (child == this) {
            continue;
        }
        if (error e = RecurseChildren(child, table, indent.m_Text, 1)) {
            return e;
        }
    }
    return eNoError;
}

error CDebugInfoWidget::RecurseChildren(CWidget* widget, CTableWidget* table, gCString prefix,
                                        int32_t depth) {
    if (depth > kMaxDepth) {
        return AppendRow(*table, InspectorUnits(kRecursionRow), nullptr);
    }
    if (error e = AppendWidgetRow(*table, prefix, *widget)) {
        return e;
    }
    if (error e = prefix.AppendString(u" : ")) {
        return e;
    }
    for (int32_t i = 0; i < widget->ChildCount(); ++i) {
        if (error e = RecurseChildren(widget->Child(i), table, prefix, depth + 1)) {
            return e;
        }
    }
    return eNoError;
}

// --- The searches. State 0: the shown widget not passed yet; 1: matching;
// 2: found; 3: not found.

namespace {

bool NameMatches(const CWidget& widget, const gCString& upperText) {
    return upperText.GetLength() > 0 && widget.GetResName().GetLength() > 0 &&
           Upper(widget.GetResName()).Find(upperText) >= 0;
}

} // namespace

error CDebugInfoWidget::SearchByID(gCString text) {
    const uint32_t id = uint32_t(text.Int32());
    return Search([&](CWidget* root) { return SearchHierarchyByID(root, id, 0); }, text);
}

error CDebugInfoWidget::SearchByName(gCString text) {
    gCString upper = Upper(text);
    return Search([&](CWidget* root) { return SearchHierarchyByName(root, upper, 0); }, upper);
}

template <typename Walk> error CDebugInfoWidget::Search(Walk walk, const gCString& typed) {
    m_nSearchState = 0;
    CWidget* root = Root();
    (void)walk(root); // always 0
    if (m_nSearchState == 0) {
        m_nSearchState = 1; // the shown widget is not in the tree, or there is none
    }
    if (m_nSearchState == 1) {
        (void)walk(root); // the matches before the shown widget
    }
    return SearchDone(typed);
}

template <typename Matches>
void CDebugInfoWidget::SearchWalk(CWidget* widget, Matches matches, int32_t depth) {
    if (m_nSearchState == 2 || m_nSearchState == 3 || widget == this) {
        return;
    }
    if (widget == m_pShownWidget) {
        if (m_nSearchState == 0) {
            m_nSearchState = 1;
        } else if (m_nSearchState == 1) {
            m_nSearchState = matches(*widget) ? 2 : 3; // back at the start
        }
    } else if (m_nSearchState == 1 && matches(*widget)) {
        m_pShownWidget = widget;
        m_nSearchState = 2;
    }
    if (m_nSearchState == 2 || m_nSearchState == 3) {
        return;
    }
    if (depth > kMaxDepth) {
        m_nSearchState = 3;
        return;
    }
    for (int32_t i = 0; i < widget->ChildCount() && m_nSearchState < 2; ++i) {
        SearchWalk(widget->Child(i), matches, depth + 1);
    }
}

error CDebugInfoWidget::SearchHierarchyByID(CWidget* widget, uint32_t id, int32_t depth) {
    SearchWalk(widget, [id](const CWidget& w) { return uint32_t(w.GetResID()) == id; }, depth);
    return eNoError;
}

error CDebugInfoWidget::SearchHierarchyByName(CWidget* widget, gCString& text, int32_t depth) {
    SearchWalk(widget, [&text](const CWidget& w) { return NameMatches(w, text); }, depth);
    return eNoError;
}

error CDebugInfoWidget::SearchDone(const gCString& typed) {
    if (m_nSearchState != 2) {
        const std::u16string_view units(typed.GetBuffer() ? typed.GetBuffer() : u"",
                                        size_t(typed.GetLength()));
        gShowAlert("Message",
                   gUtf16ToUtf8(units) + " : Cant find that widget in the hierarchy.");
        return eNoError;
    }
    if (error e = PopulateTable(dynamic_cast<CTableWidget*>(FindByID(kListID)), m_pShownWidget)) {
        return e;
    }
    (void)PassRedraw(); // a failed redraw was shown by the redraw
    return PopulateInfo(m_pShownWidget);
}

void CDebugInfoWidget::ForgetSubtree(CWidget* leaving) {
    auto inside = [leaving](const CWidget* widget) {
        return widget && (widget == leaving || widget->IsInHierarchy(leaving));
    };
    if (inside(m_pShownWidget)) {
        m_pShownWidget = nullptr;
    }
    if (inside(m_pLastClicked)) {
        m_pLastClicked = nullptr;
    }
}
