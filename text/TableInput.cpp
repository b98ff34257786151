// The table towards the user and its owner: selection, clicks, the
// rollover highlight, the wheel, scrolling and the owner messages.

#include <algorithm>
#include <cmath>

#include "foundation/AppServices.h"
#include "foundation/MessageIds.h"
#include "foundation/Rounding.h"
#include "text/TableWidget.h"
#include "text/detail/TableMath.h"
#include "widgets/Backdrop.h"

using tabledetail::Clamp32;

namespace {

// The backdrop at the root of the widget's tree, or null.
CBackdrop* RootBackdrop(CWidget* widget) {
    while (widget->Parent()) {
        widget = widget->Parent();
    }
    return dynamic_cast<CBackdrop*>(widget);
}

} // namespace

error CTableWidget::SendMessage(uint32_t message, uintptr_t argument) {
    return m_pMessageTarget ? error(m_pMessageTarget->Message(message, this, argument)) : eNoError;
}

// --- Selection

error CTableWidget::SelectRow(int32_t row, int32_t redraw) {
    if (!ValidRow(row)) {
        return eBadParameter;
    }
    if (!m_fMultiSelect) {
        return SelectSingleRow(row, redraw);
    }
    m_aRows[row]->m_fSelected = 1;
    return RebuildRow(row, redraw);
}

error CTableWidget::SelectSingleRow(int32_t row, int32_t redraw) {
    if (!ValidRow(row)) {
        return eBadParameter;
    }
    for (int32_t i = 0; i < m_aRows.GetSize(); ++i) {
        if (i != row && m_aRows[i]->m_fSelected) {
            m_aRows[i]->m_fSelected = 0;
            if (error e = RebuildRow(i, 0)) {
                return e;
            }
        }
    }
    m_aRows[row]->m_fSelected = 1;
    return RebuildRow(row, redraw);
}

error CTableWidget::UnselectRow(int32_t row, int32_t redraw) {
    if (!ValidRow(row)) {
        return eBadParameter;
    }
    m_aRows[row]->m_fSelected = 0;
    return RebuildRow(row, redraw);
}

error CTableWidget::SelectAllRows(int32_t select, int32_t redraw) {
    for (int32_t i = 0; i < m_aRows.GetSize(); ++i) {
        const int32_t selected = m_aRows[i]->m_fSelected;
        error e = eNoError;
        if (select && !selected) {
            e = SelectRow(i, 0);
        } else if (!select && selected) {
            e = UnselectRow(i, 0);
        }
        if (e != eNoError) {
            return e;
        }
    }
    return redraw ? PassRedraw() : eNoError;
}

int32_t CTableWidget::GetSelectedRowCount() const {
    return int32_t(std::count_if(m_aRows.begin(), m_aRows.end(),
                                 [](const CRowData* row) { return row->m_fSelected != 0; }));
}

int32_t CTableWidget::GetSelectedRow(int32_t from) const {
    for (int32_t i = std::max(from, 0); i < m_aRows.GetSize(); ++i) {
        if (m_aRows[i]->m_fSelected) {
            return i;
        }
    }
    return -1;
}

error CTableWidget::SetMultiSelect(int32_t on, int32_t redraw) {
    const int32_t was = m_fMultiSelect;
    m_fMultiSelect = on;
    const int32_t first = GetSelectedRow(0);
    if (was && !on && first >= 0) {
        return SelectSingleRow(first, redraw);
    }
    return redraw ? PassRedraw() : eNoError;
}

// --- Pointer input

error CTableWidget::ButtonDownL(CWidget*& taker, gCPoint& point) {
    taker = this;
    const int32_t column = ColumnAtXPos(point.x);
    const int32_t row = ValidColumn(column) ? RowAtYPos(point.y) : -1;
    if (!ValidColumn(column) || !ValidRow(row)) {
        if (error e = SelectAllRows(0, 1)) {
            return e;
        }
        return SendMessage(eMsgTableClick, 0);
    }
    if (m_fAutoSelectRow) {
        const CAppServices* app = CAppServices::Get();
        const bool ctrl = app && app->IsCtrlKeyDown();
        error e = eNoError;
        if (!ctrl) {
            e = SelectSingleRow(row, 1);
        } else if (m_fMultiSelect) {
            m_aRows[row]->m_fSelected = !m_aRows[row]->m_fSelected;
            e = RebuildRow(row, 1);
        } else {
            e = SelectRow(row, 1);
        }
        if (e != eNoError) {
            return e;
        }
        if (error answer = SendMessage(eMsgTableClick, 0)) {
            return answer;
        }
    }
    // The pair lives on this stack: the target copies it during the call.
    int32_t cell[2] = {column, row};
    return SendMessage(eMsgTableClickData, reinterpret_cast<uintptr_t>(cell));
}

error CTableWidget::Heartbeat() {
    if (!m_fAutoRollover) {
        return eNoError;
    }
    int32_t now = kNoRollover;
    CBackdrop* backdrop = RootBackdrop(this);
    const CAppServices* app = CAppServices::Get();
    if (backdrop && app && backdrop->WidgetRollover() == this) {
        gCPoint cursor = app->CursorLoc();
        DesktopToLocal(cursor);
        now = RowAtYPos(cursor.y);
    }
    if (now == m_nRolloverRow) {
        return eNoError;
    }
    const gCRect old = RowStrip(m_nRolloverRow);
    if (!old.IsEmpty()) {
        if (error e = InvalidateArea(old, 0)) {
            return e;
        }
    }
    m_nRolloverRow = now;
    const gCRect fresh = RowStrip(now);
    if (!fresh.IsEmpty()) {
        return InvalidateArea(fresh, 1);
    }
    return eNoError;
}

error CTableWidget::MouseWheel(CWidget*& taker, int32_t delta, gCPoint&) {
    // A widget under the pointer that can take the focus keeps the wheel.
    if (CBackdrop* backdrop = RootBackdrop(this)) {
        CWidget* under = backdrop->WidgetRollover();
        if (under && under != this && under->CanGetFocus()) {
            return eNoError;
        }
    }
    const int64_t step = int64_t(m_nRowHeight) * m_nWheelScrollLines;
    const int64_t to = delta > 0 ? m_nVScroll - step : m_nVScroll + step;
    taker = this;
    return VScrollToPixelLocation(Clamp32(to), 1);
}

void CTableWidget::SetAutoRollover(int32_t on, int32_t redraw) {
    m_fAutoRollover = on;
    if (!on) {
        const gCRect strip = RowStrip(m_nRolloverRow);
        if (!strip.IsEmpty()) {
            (void)InvalidateArea(strip, redraw); // no result to report
        } else if (redraw) {
            (void)PassRedraw(); // no result to report
        }
    }
    m_nRolloverRow = kNoRollover;
}

void CTableWidget::SetRolloverColour(CPixel colour, int32_t redraw) {
    m_nRolloverRow = kNoRollover;
    m_RolloverColour = colour;
    if (redraw) {
        (void)PassRedraw(); // no result to report
    }
}

// --- Scrolling

error CTableWidget::VScrollToPixelLocation(int32_t y, int32_t redraw) {
    const int32_t content = ContentHeight();
    y = std::min(y, content - ViewHeight());
    if (y < 1) {
        y = 0;
    }
    const int32_t old = m_nVScroll;
    m_nVScroll = y;
    if (error e = ContentScroll(0, content, Clamp32(int64_t(old) - y), 1, redraw)) {
        return e;
    }
    return SendMessage(eMsgTableScroll, uintptr_t(redraw));
}

error CTableWidget::VScroll(float fraction, int32_t redraw) {
    fraction = fraction > 0.0f ? std::min(fraction, 1.0f) : 0.0f; // NaN counts as 0
    const int32_t content = ContentHeight();
    if (content <= ViewHeight() || fraction == 0.0f) {
        return VScrollToPixelLocation(0, redraw);
    }
    const float p = RoundHalfAway(fraction * float(content - ViewHeight()));
    return VScrollToPixelLocation(int32_t(p), redraw);
}

error CTableWidget::VScroll(int32_t trackLength, int32_t gripLength, const gCPoint& gripPosition,
                            int32_t redraw) {
    if (ContentHeight() <= ViewHeight() || gripPosition.y <= 0) {
        return VScrollToPixelLocation(0, redraw);
    }
    const int32_t travel = trackLength - gripLength;
    const float fraction =
        travel > 0 ? std::min(float(gripPosition.y) / float(travel), 1.0f) : 1.0f;
    return VScroll(fraction, redraw);
}

error CTableWidget::VScrollUpOnePixel(int32_t redraw) {
    return VScrollToPixelLocation(Clamp32(int64_t(m_nVScroll) - 1), redraw);
}

error CTableWidget::VScrollDownOnePixel(int32_t redraw) {
    return VScrollToPixelLocation(Clamp32(int64_t(m_nVScroll) + 1), redraw);
}

error CTableWidget::VScrollUpOneLine(int32_t redraw) {
    return VScrollToPixelLocation(Clamp32(int64_t(m_nVScroll) - m_nRowHeight), redraw);
}

error CTableWidget::VScrollDownOneLine(int32_t redraw) {
    return VScrollToPixelLocation(Clamp32(int64_t(m_nVScroll) + m_nRowHeight), redraw);
}

error CTableWidget::VScrollUpOnePage(int32_t redraw) {
    const int64_t page = int64_t(ViewHeight() / m_nRowHeight - 1) * m_nRowHeight;
    return VScrollToPixelLocation(Clamp32(m_nVScroll - page), redraw);
}

error CTableWidget::VScrollDownOnePage(int32_t redraw) {
    const int64_t page = int64_t(ViewHeight() / m_nRowHeight - 1) * m_nRowHeight;
    return VScrollToPixelLocation(Clamp32(m_nVScroll + page), redraw);
}

error CTableWidget::VScrollToTop(int32_t) {
    return VScroll(0.0f, 1);
}

error CTableWidget::VScrollToBottom(int32_t) {
    return VScroll(1.0f, 1);
}

int32_t CTableWidget::CalcGripHeight(int32_t trackLength) {
    const int32_t content = ContentHeight();
    if (content <= ViewHeight()) {
        return trackLength;
    }
    return Clamp32(int64_t(ViewHeight()) * trackLength / content);
}

int32_t CTableWidget::CalcGripYPos(int32_t trackLength, int32_t gripLength) {
    const int32_t content = ContentHeight();
    if (content <= ViewHeight()) {
        return 0;
    }
    const int64_t travel = int64_t(trackLength) - gripLength;
    return Clamp32(std::min(int64_t(m_nVScroll) * travel / (content - ViewHeight()), travel));
}

error CTableWidget::EnsureRowVisible(int32_t row, int32_t redraw) {
    if (!ValidRow(row)) {
        return eBadParameter;
    }
    const int32_t content = ContentHeight();
    if (content <= ViewHeight()) {
        return VScrollToPixelLocation(0, redraw);
    }
    const int32_t top = RowTop(row);
    const int64_t rowY = int64_t(row) * m_nRowHeight;
    if (top < 0) {
        return VScrollToPixelLocation(Clamp32(rowY), redraw);
    }
    if (int64_t(top) + m_nRowHeight >= ViewHeight()) {
        return VScrollToPixelLocation(Clamp32(rowY - ViewHeight() + m_nRowHeight), redraw);
    }
    if (RowTop(m_aRows.GetSize()) >= ViewHeight()) {
        return eNoError;
    }
    return VScrollToPixelLocation(content - ViewHeight(), redraw);
}
