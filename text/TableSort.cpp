// Sorting the table's rows by one column, and the three built-in row
// comparisons. Each comparison reads the sort column and direction from the
// table it is given and answers the raw result negated for descending.

#include <cstdlib>

#include "foundation/Sort.h"
#include "foundation/gCString.h"
#include "text/TableWidget.h"

namespace {

struct SCells {
    const void* a;
    const void* b;
    int32_t ascending;
};

SCells CellsOf(const void* a, const void* b, uintptr_t table) {
    const auto* owner = reinterpret_cast<const CTableWidget*>(table);
    const auto* rowA = static_cast<const CTableWidget::CRowData*>(a);
    const auto* rowB = static_cast<const CTableWidget::CRowData*>(b);
    const int32_t column = owner->SortColumn();
    return {rowA->m_aCells[column], rowB->m_aCells[column], owner->SortAscending()};
}

int32_t Directed(int32_t d, int32_t ascending) {
    return ascending ? d : -d;
}

template <class T> int32_t Order(T a, T b) {
    return a > b ? 1 : (a == b ? 0 : -1);
}

// The number a cell's text starts with, read as atof reads text: leading
// white space skipped, the longest leading part that forms a number, 0
// without one. Only the leading ASCII part can form a number.
double LeadingNumber(const void* cell) {
    const auto* units = static_cast<const char16_t*>(cell);
    if (!units) {
        return 0.0;
    }
    char text[128];
    size_t n = 0;
    for (; n + 1 < sizeof text && units[n] != 0 && units[n] < 0x80; ++n) {
        text[n] = char(units[n]);
    }
    text[n] = 0;
    return std::strtod(text, nullptr);
}

} // namespace

error CTableWidget::Sort(int32_t column, int32_t numeric, int32_t ascending, int32_t redraw) {
    if (!ValidColumn(column)) {
        return eBadParameter;
    }
    CompareFunc compare = CompareStringProc;
    if (m_aColumns[column].m_fImage) {
        compare = CompareProc;
    } else if (numeric) {
        compare = CompareNumericProc;
    }
    return Sort(column, compare, reinterpret_cast<uintptr_t>(this), ascending, redraw);
}

error CTableWidget::Sort(int32_t column, CompareFunc compare, uintptr_t user, int32_t ascending,
                         int32_t redraw) {
    if (!ValidColumn(column) || !compare) {
        return eBadParameter;
    }
    m_nSortColumn = column;
    m_fSortAscending = ascending;
    if (m_aRows.GetSize() == 0) {
        return eNoError;
    }
    QuickSort(m_aRows.GetData(), m_aRows.GetSize(), compare, user);
    return RerenderAll(redraw);
}

int32_t CTableWidget::CompareProc(const void* a, const void* b, uintptr_t table) {
    const SCells cells = CellsOf(a, b, table);
    // The whole reference: two cells differing only above bit 31 differ.
    return Directed(
        Order(reinterpret_cast<uintptr_t>(cells.a), reinterpret_cast<uintptr_t>(cells.b)),
        cells.ascending);
}

int32_t CTableWidget::CompareNumericProc(const void* a, const void* b, uintptr_t table) {
    const SCells cells = CellsOf(a, b, table);
    return Directed(Order(LeadingNumber(cells.a), LeadingNumber(cells.b)), cells.ascending);
}

int32_t CTableWidget::CompareStringProc(const void* a, const void* b, uintptr_t table) {
    const SCells cells = CellsOf(a, b, table);
    if (!cells.a && !cells.b) {
        return 0;
    }
    if (!cells.a || !cells.b) {
        // Cells without text go last when ascending.
        return Directed(cells.a ? -1 : 1, cells.ascending);
    }
    const auto* x = static_cast<const char16_t*>(cells.a);
    const auto* y = static_cast<const char16_t*>(cells.b);
    if (x[0] == 0 || y[0] == 0) {
        return 0;
    }
    const auto fold = [](char16_t c) {
        return int32_t(int16_t(c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c));
    };
    for (size_t i = 0;; ++i) {
        const int32_t d = fold(x[i]) - fold(y[i]);
        if (d != 0 || x[i] == 0 || y[i] == 0) {
            return Directed(d, cells.ascending);
        }
    }
}
