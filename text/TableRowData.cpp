// The table's row records: one cell, colour and id per column.

#include "foundation/gCMemory.h"
#include "text/TableWidget.h"

namespace {

constexpr CPixel kCellColour = 0xFF000000u;

} // namespace

error CTableWidget::CRowData::InitRow(int32_t columns) {
    if (error e = m_aCells.SetSize(columns)) {
        return e;
    }
    if (error e = m_aCellIDs.SetSize(columns)) {
        return e;
    }
    if (error e = m_aCellColours.SetSize(columns)) {
        return e;
    }
    for (int32_t i = 0; i < columns; ++i) {
        m_aCells[i] = nullptr;
        m_aCellIDs[i] = 0;
        m_aCellColours[i] = kCellColour;
    }
    return eNoError;
}

error CTableWidget::CRowData::AddColumn() {
    return InsertColumn(m_aCells.GetSize());
}

error CTableWidget::CRowData::InsertColumn(int32_t index) {
    if (index < 0 || index > m_aCells.GetSize()) {
        return eBadParameter;
    }
    if (error e = m_aCells.InsertAt(index, nullptr)) {
        return e;
    }
    if (error e = m_aCellIDs.InsertAt(index, 0)) {
        m_aCells.RemoveAt(index);
        return e;
    }
    if (error e = m_aCellColours.InsertAt(index, kCellColour)) {
        m_aCells.RemoveAt(index);
        m_aCellIDs.RemoveAt(index);
        return e;
    }
    return eNoError;
}

error CTableWidget::CRowData::DeleteColumn(int32_t index, int32_t isImage) {
    if (index < 0 || index >= m_aCells.GetSize()) {
        return eBadParameter;
    }
    DropCell(index, isImage);
    m_aCells.RemoveAt(index);
    m_aCellIDs.RemoveAt(index);
    m_aCellColours.RemoveAt(index);
    return eNoError;
}

void CTableWidget::CRowData::DropCell(int32_t index, int32_t isImage) {
    void* cell = m_aCells[index];
    m_aCells[index] = nullptr;
    if (!cell) {
        return;
    }
    if (isImage) {
        auto* image = static_cast<CImage*>(cell);
        if (!image->IsPooled()) {
            delete image;
        }
    } else {
        gCMemory::Free(cell);
    }
}
