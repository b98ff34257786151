#include "tools/detail/WrittenRows.h"

#include <algorithm>

#include "paint/canvas/Canvas.h"

namespace {

constexpr int32_t kNone = 0x7FFFFFFF;

} // namespace

void CWrittenRows::Add(int32_t y, int32_t first, int32_t last) {
    if (first > last) {
        return;
    }
    if (m_nRows == 0) {
        m_nTop = y;
    }
    if (y < m_nTop) {
        // A row above the first one: the held rows move down to make room.
        const int64_t shift = int64_t(m_nTop) - y;
        if (shift + m_nRows > kRows) {
            m_fOverflow = true;
            return;
        }
        const int32_t by = int32_t(shift);
        std::copy_backward(m_aFirst, m_aFirst + m_nRows, m_aFirst + m_nRows + by);
        std::copy_backward(m_aLast, m_aLast + m_nRows, m_aLast + m_nRows + by);
        std::fill(m_aFirst, m_aFirst + by, kNone);
        std::fill(m_aLast, m_aLast + by, -1);
        m_nRows += by;
        m_nTop = y;
    }
    const int64_t i = int64_t(y) - m_nTop;
    if (i >= kRows) {
        m_fOverflow = true;
        return;
    }
    const int32_t at = int32_t(i);
    if (at >= m_nRows) {
        std::fill(m_aFirst + m_nRows, m_aFirst + at + 1, kNone);
        std::fill(m_aLast + m_nRows, m_aLast + at + 1, -1);
        m_nRows = at + 1;
    }
    m_aFirst[at] = std::min(m_aFirst[at], first);
    m_aLast[at] = std::max(m_aLast[at], last);
}

bool CWrittenRows::Span(int32_t i, int32_t& first, int32_t& last) const {
    if (i < 0 || i >= m_nRows || m_aFirst[i] > m_aLast[i]) {
        return false;
    }
    first = m_aFirst[i];
    last = m_aLast[i];
    return true;
}

void CWrittenRows::MarkOn(CCanvas& canvas, const gCRect& fallback) {
    for (int32_t i = 0; i < m_nRows; ++i) {
        int32_t first = 0, last = 0;
        if (!Span(i, first, last)) {
            continue;
        }
        const int32_t y = m_nTop + i;
        // The row one pixel wider each side, the rows above and below as
        // wide as the row (spans take exclusive right and bottom ends).
        canvas.InvalidateSpans(gCRect(first - 1, y, last + 2, y + 1));
        canvas.InvalidateSpans(gCRect(first, y - 1, last + 1, y + 2));
    }
    if (m_fOverflow) {
        canvas.InvalidateSpans(fallback);
    }
    Clear();
}

void CWrittenRows::Clear() {
    m_nRows = 0;
    m_fOverflow = false;
}
