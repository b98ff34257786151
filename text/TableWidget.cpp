// The table's rows, cells, columns and geometry.

#include "text/TableWidget.h"
#include "text/detail/TableMath.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "foundation/MessageIds.h"
#include "foundation/gCMemory.h"

using tabledetail::Clamp32;

CTableWidget::CTableWidget() {
    (void)m_aColumns.SetSize(1); // a table without its column would refuse every cell
    for (CTextRenderer* r : {&m_TextAttributes, &m_SelectedTextAttributes}) {
        (void)r->m_sFontName.CopyString(
            "Helvetica"); // an empty name falls back to the default face
        r->m_rPointHeight = 12.0f;
        r->m_nPixelHeight = 0;
        r->m_nColour = 0xFF000000u;
        r->m_eJustify = CTextRenderer::eJustifyLeft;
    }
    m_ClientColour = 0xFFFFFFFFu;
    m_nEventMask |= eMouseWheelEvent;
}

CTableWidget::~CTableWidget() {
    m_pMessageTarget = nullptr;
    (void)Clear(0); // nobody to tell, nothing to show
    DiscardRenderImages();
}

int32_t CTableWidget::ContentHeight() const {
    return Clamp32(int64_t(m_aRows.GetSize()) * m_nRowHeight);
}

int32_t CTableWidget::RenderWidth(int32_t column) const {
    if (m_aColumns.GetSize() == 1 && m_aColumns[0].m_nWidth == 0) {
        return ViewWidth();
    }
    return m_aColumns[column].m_nWidth;
}

error CTableWidget::RerenderAll(int32_t redraw) {
    if (error e = InvalidateOverlay(ViewRect())) {
        return e;
    }
    return InvalidateClient(redraw);
}

void CTableWidget::RelayColumns(int32_t first) {
    for (int32_t i = std::max(first, 1); i < m_aColumns.GetSize(); ++i) {
        m_aColumns[i].m_nLeft = m_aColumns[i - 1].m_nLeft + m_aColumns[i - 1].m_nWidth;
    }
}

// --- Rows

error CTableWidget::SetRowHeight(int32_t height, int32_t redraw) {
    if (height < 1) {
        return eBadParameter;
    }
    const int64_t first = m_nVScroll / m_nRowHeight;
    m_nRowHeight = height;
    const int64_t most = int64_t(height) * m_aRows.GetSize() - ViewHeight();
    m_nVScroll = Clamp32(std::max<int64_t>(0, std::min(first * height, most)));
    if (error e = CreateRenderImages()) {
        return e;
    }
    if (error e = RerenderAll(redraw)) {
        return e;
    }
    return SendMessage(eMsgTableRows, uintptr_t(redraw));
}

error CTableWidget::AddRow(int32_t redraw) {
    return InsertRow(m_aRows.GetSize(), redraw);
}

error CTableWidget::InsertRow(int32_t index, int32_t redraw) {
    if (index < 0 || index > m_aRows.GetSize()) {
        return eBadParameter;
    }
    const bool appended = index == m_aRows.GetSize();
    auto* row = new (std::nothrow) CRowData;
    if (!row) {
        return eOutOfMemory;
    }
    if (row->InitRow(m_aColumns.GetSize()) != eNoError || m_aRows.InsertAt(index, row)) {
        delete row;
        return eOutOfMemory;
    }
    // A new last row's cells are empty and the backgrounds do not depend on
    // it: nothing to render.
    if (!appended && IsRowVisible(index)) {
        if (error e = RerenderAll(redraw)) {
            return e;
        }
    }
    return SendMessage(eMsgTableRows, uintptr_t(redraw));
}

error CTableWidget::RemoveRow(int32_t index, int32_t redraw) {
    if (!ValidRow(index)) {
        return eBadParameter;
    }
    const int32_t visible = IsRowVisible(index);
    KillRow(m_aRows[index]);
    m_aRows.RemoveAt(index);
    const int32_t content = ContentHeight();
    if (content > ViewHeight() && m_nVScroll > content - ViewHeight()) {
        if (error e = VScrollToPixelLocation(content - ViewHeight(), 0)) {
            return e;
        }
    }
    if (visible) {
        if (error e = RerenderAll(redraw)) {
            return e;
        }
    }
    return SendMessage(eMsgTableRows, uintptr_t(redraw));
}

error CTableWidget::Clear(int32_t redraw) {
    for (CRowData* row : m_aRows) {
        KillRow(row);
    }
    m_aRows.RemoveAll();
    m_nVScroll = 0;
    m_nHScroll = 0;
    if (error e = RerenderAll(redraw)) {
        return e;
    }
    if (error e = SendMessage(eMsgTableRows, uintptr_t(redraw))) {
        return e;
    }
    return SendMessage(eMsgTableScroll, uintptr_t(redraw));
}

void CTableWidget::KillRow(CRowData* row) {
    if (!row) {
        return;
    }
    const int32_t cells = std::min(row->m_aCells.GetSize(), m_aColumns.GetSize());
    for (int32_t i = 0; i < cells; ++i) {
        row->DropCell(i, m_aColumns[i].m_fImage);
    }
    delete row;
}

int32_t CTableWidget::RowTop(int32_t row) {
    return Clamp32(int64_t(row) * m_nRowHeight - m_nVScroll);
}

int32_t CTableWidget::RowAtYPos(int32_t y) {
    return Clamp32((int64_t(y) + m_nVScroll) / m_nRowHeight);
}

int32_t CTableWidget::IsRowVisible(int32_t row) {
    const int32_t top = RowTop(row);
    return top < ViewHeight() && top > 1 - m_nRowHeight ? 1 : 0;
}

error CTableWidget::SetRowTopBufferHeight(int32_t height, int32_t redraw) {
    m_nRowTopBuffer = height;
    return SetRowHeight(m_nRowHeight, redraw);
}

error CTableWidget::SetRowBottomBufferHeight(int32_t height, int32_t redraw) {
    m_nRowBottomBuffer = height;
    return SetRowHeight(m_nRowHeight, redraw);
}

error CTableWidget::SetRowID(int32_t row, uintptr_t id) {
    if (!ValidRow(row)) {
        return eBadParameter;
    }
    m_aRows[row]->m_nID = id;
    return eNoError;
}

uintptr_t CTableWidget::GetRowID(int32_t row) const {
    return ValidRow(row) ? m_aRows[row]->m_nID : 0;
}

int32_t CTableWidget::FindRowByID(uintptr_t id) const {
    for (int32_t i = 0; i < m_aRows.GetSize(); ++i) {
        if (m_aRows[i]->m_nID == id) {
            return i;
        }
    }
    return -1;
}

CTableWidget::CRowData* CTableWidget::Row(int32_t row) const {
    return ValidRow(row) ? m_aRows[row] : nullptr;
}

// --- Cells

error CTableWidget::SetCellText(int32_t row, int32_t column, const gCString& text, int32_t redraw) {
    if (!ValidRow(row) || !ValidColumn(column) || m_aColumns[column].m_fImage) {
        return eBadParameter;
    }
    CRowData& data = *m_aRows[row];
    data.DropCell(column, 0);
    const size_t units = size_t(text.GetLength());
    auto* copy = static_cast<char16_t*>(gCMemory::Alloc((units + 1) * sizeof(char16_t)));
    if (!copy) {
        return eOutOfMemory;
    }
    if (units > 0) {
        std::memcpy(copy, text.GetBuffer(), units * sizeof(char16_t));
    }
    copy[units] = 0;
    data.m_aCells[column] = copy;
    return RebuildCell(row, column, redraw);
}

const char16_t* CTableWidget::GetCellText(int32_t row, int32_t column) const {
    if (!ValidRow(row) || !ValidColumn(column) || m_aColumns[column].m_fImage) {
        return nullptr;
    }
    return static_cast<const char16_t*>(m_aRows[row]->m_aCells[column]);
}

error CTableWidget::SetCellImage(int32_t row, int32_t column, CImage* image, int32_t redraw) {
    if (!ValidRow(row) || !ValidColumn(column) || !m_aColumns[column].m_fImage) {
        return eBadParameter;
    }
    CRowData& data = *m_aRows[row];
    if (data.m_aCells[column] != image) {
        data.DropCell(column, 1);
        data.m_aCells[column] = image;
    }
    return RebuildCell(row, column, redraw);
}

CImage* CTableWidget::GetCellImage(int32_t row, int32_t column) const {
    if (!ValidRow(row) || !ValidColumn(column) || !m_aColumns[column].m_fImage) {
        return nullptr;
    }
    return static_cast<CImage*>(m_aRows[row]->m_aCells[column]);
}

error CTableWidget::SetColumnID(int32_t row, int32_t column, uintptr_t id) {
    if (!ValidRow(row) || !ValidColumn(column)) {
        return eBadParameter;
    }
    m_aRows[row]->m_aCellIDs[column] = id;
    return eNoError;
}

uintptr_t CTableWidget::GetColumnID(int32_t row, int32_t column) const {
    if (!ValidRow(row) || !ValidColumn(column)) {
        return 0;
    }
    return m_aRows[row]->m_aCellIDs[column];
}

// --- Columns

error CTableWidget::AddColumn(int32_t width, int32_t textColumn, int32_t redraw) {
    CColumnInfo info;
    info.m_nWidth = width;
    info.m_fImage = textColumn == 0 ? 1 : 0;
    const int32_t index = m_aColumns.GetSize();
    if (index > 0) {
        info.m_nLeft = m_aColumns[index - 1].m_nLeft + m_aColumns[index - 1].m_nWidth;
    }
    if (m_aColumns.Add(info)) {
        return eOutOfMemory;
    }
    for (int32_t i = 0; i < m_aRows.GetSize(); ++i) {
        if (m_aRows[i]->AddColumn() != eNoError) {
            // Every row keeps one cell per column: the column goes again.
            for (int32_t j = 0; j < i; ++j) {
                (void)m_aRows[j]->DeleteColumn(index, info.m_fImage); // the cell is empty
            }
            m_aColumns.RemoveAt(index);
            return eOutOfMemory;
        }
    }
    if (error e = CreateRenderImages()) {
        return e;
    }
    if (error e = RerenderAll(redraw)) {
        return e;
    }
    return SendMessage(eMsgTableColumns, 0);
}

error CTableWidget::SetColumnWidth(int32_t column, int32_t width, int32_t redraw) {
    if (!ValidColumn(column)) {
        return eBadParameter;
    }
    m_aColumns[column].m_nWidth = width;
    RelayColumns(column + 1);
    if (error e = CreateRenderImages()) {
        return e;
    }
    if (error e = RerenderAll(redraw)) {
        return e;
    }
    return SendMessage(eMsgTableColumns, 0);
}

int32_t CTableWidget::GetColumnWidth(int32_t column) const {
    if (!ValidColumn(column)) {
        return 0;
    }
    return m_aColumns.GetSize() == 1 ? ViewWidth() : m_aColumns[column].m_nWidth;
}

error CTableWidget::SetColumnIsImage(int32_t column, int32_t isImage, int32_t redraw) {
    if (!ValidColumn(column)) {
        return eBadParameter;
    }
    CColumnInfo& info = m_aColumns[column];
    if (info.m_fImage == isImage) {
        return redraw ? PassRedraw() : eNoError;
    }
    for (CRowData* row : m_aRows) {
        row->DropCell(column, info.m_fImage);
    }
    info.m_fImage = isImage;
    return RerenderAll(redraw);
}

int32_t CTableWidget::GetColumnIsImage(int32_t column) const {
    return ValidColumn(column) ? m_aColumns[column].m_fImage : 0;
}

error CTableWidget::SetColumnFadeLeft(int32_t column, int32_t pixels, int32_t redraw) {
    if (!ValidColumn(column)) {
        return eBadParameter;
    }
    m_aColumns[column].m_nFadeLeft = pixels;
    return RerenderAll(redraw);
}

error CTableWidget::SetColumnFadeRight(int32_t column, int32_t pixels, int32_t redraw) {
    if (!ValidColumn(column)) {
        return eBadParameter;
    }
    m_aColumns[column].m_nFadeRight = pixels;
    return RerenderAll(redraw);
}

int32_t CTableWidget::ColumnFadeLeft(int32_t column) const {
    return ValidColumn(column) ? m_aColumns[column].m_nFadeLeft : 0;
}

int32_t CTableWidget::ColumnFadeRight(int32_t column) const {
    return ValidColumn(column) ? m_aColumns[column].m_nFadeRight : 0;
}

error CTableWidget::SetJustification(int32_t column, CTextRenderer::EJustify justify,
                                     int32_t redraw) {
    if (!ValidColumn(column)) {
        return eBadParameter;
    }
    m_aColumns[column].m_eJustify = justify;
    return RerenderAll(redraw);
}

CTextRenderer::EJustify CTableWidget::Justification(int32_t column) const {
    return ValidColumn(column) ? m_aColumns[column].m_eJustify : CTextRenderer::eJustifyLeft;
}

error CTableWidget::SetColumnEdgeBufferWidth(int32_t pixels, int32_t redraw) {
    m_nEdgeBuffer = pixels < 1 ? 0 : pixels;
    if (error e = CreateRenderImages()) {
        return e;
    }
    return RerenderAll(redraw);
}

int32_t CTableWidget::ColumnLeft(int32_t column) const {
    return ValidColumn(column) ? m_aColumns[column].m_nLeft - m_nHScroll : 0;
}

int32_t CTableWidget::ColumnAtXPos(int32_t x) {
    const int64_t start = -int64_t(m_nHScroll) - 1;
    if (x <= start) {
        return -1;
    }
    if (m_aColumns.GetSize() == 1 && m_aColumns[0].m_nWidth == 0) {
        return x <= start + ViewWidth() ? 0 : -1;
    }
    int64_t limit = start;
    for (int32_t i = 0; i < m_aColumns.GetSize(); ++i) {
        limit += m_aColumns[i].m_nWidth;
        if (x <= limit) {
            return i;
        }
    }
    return -1;
}

// --- Size

error CTableWidget::SizeChanged() {
    const int64_t whole = int64_t(m_nVScroll / m_nRowHeight) * m_nRowHeight;
    const int64_t most = int64_t(m_nRowHeight) * m_aRows.GetSize() - ViewHeight();
    m_nVScroll = Clamp32(std::max<int64_t>(0, std::min(whole, most)));
    if (error e = m_Overlay.SetSize(std::max(ViewWidth(), 0), std::max(ViewHeight(), 0))) {
        return e;
    }
    if (m_aColumns.GetSize() == 1) {
        if (error e = CreateRenderImages()) {
            return e;
        }
    }
    if (error e = InvalidateOverlay(ViewRect())) {
        return e;
    }
    if (error e = SendMessage(eMsgTableRows, 0)) {
        return e;
    }
    return SendMessage(eMsgTableColumns, 0);
}
