// Coordinates between a widget, its parent, the root (the backdrop) and the
// desktop, and the searches up the parent chain.

#include "widgets/Widget.h"
#include "widgets/detail/NameMatch.h"

namespace {

// The toolkit's 32-bit arithmetic, wrapping instead of overflowing.
int32_t Add(int32_t a, int32_t b) {
    return int32_t(uint32_t(a) + uint32_t(b));
}
int32_t Subtract(int32_t a, int32_t b) {
    return int32_t(uint32_t(a) - uint32_t(b));
}

// Converts both corners of a rect through a point form.
template <typename Convert> void ConvertCorners(gCRect& rect, Convert convert) {
    gCPoint topLeft(rect.left, rect.top);
    gCPoint bottomRight(rect.right, rect.bottom);
    convert(topLeft);
    convert(bottomRight);
    rect = gCRect(topLeft.x, topLeft.y, bottomRight.x, bottomRight.y);
}

} // namespace

void CWidget::LocalToParent(gCPoint& point) {
    point.x = Add(point.x, m_Rect.left);
    point.y = Add(point.y, m_Rect.top);
}

void CWidget::LocalToParent(gCRect& rect) {
    ConvertCorners(rect, [this](gCPoint& p) { LocalToParent(p); });
}

void CWidget::ParentToLocal(gCPoint& point) {
    point.x = Subtract(point.x, m_Rect.left);
    point.y = Subtract(point.y, m_Rect.top);
}

void CWidget::ParentToLocal(gCRect& rect) {
    ConvertCorners(rect, [this](gCPoint& p) { ParentToLocal(p); });
}

void CWidget::DesktopToLocal(gCPoint& point) {
    if (!m_pParent) {
        return;
    }
    m_pParent->DesktopToLocal(point);
    ParentToLocal(point);
}

void CWidget::DesktopToLocal(gCRect& rect) {
    ConvertCorners(rect, [this](gCPoint& p) { DesktopToLocal(p); });
}

void CWidget::LocalToDesktop(gCPoint& point) {
    if (!m_pParent) {
        return;
    }
    m_pParent->LocalToDesktop(point);
    LocalToParent(point);
}

void CWidget::LocalToDesktop(gCRect& rect) {
    ConvertCorners(rect, [this](gCPoint& p) { LocalToDesktop(p); });
}

void CWidget::BackdropToLocal(gCPoint& point) {
    if (!m_pParent) {
        return;
    }
    m_pParent->BackdropToLocal(point);
    ParentToLocal(point);
}

void CWidget::BackdropToLocal(gCRect& rect) {
    ConvertCorners(rect, [this](gCPoint& p) { BackdropToLocal(p); });
}

void CWidget::LocalToBackdrop(gCPoint& point) {
    if (!m_pParent) {
        return;
    }
    m_pParent->LocalToBackdrop(point);
    LocalToParent(point);
}

void CWidget::LocalToBackdrop(gCRect& rect) {
    ConvertCorners(rect, [this](gCPoint& p) { LocalToBackdrop(p); });
}

// ---------------------------------------------------------------------------
// Ancestors

int32_t CWidget::IsInHierarchy(const gCString& name) const {
    return FindInHierarchy(name) ? 1 : 0;
}

int32_t CWidget::IsInHierarchy(uint32_t id) const {
    return FindInHierarchy(id) ? 1 : 0;
}

int32_t CWidget::IsInHierarchy(const CWidget* widget) const {
    for (const CWidget* ancestor = m_pParent; ancestor; ancestor = ancestor->m_pParent) {
        if (ancestor == widget) {
            return 1;
        }
    }
    return 0;
}

CWidget* CWidget::FindInHierarchy(const gCString& name) const {
    for (CWidget* ancestor = m_pParent; ancestor; ancestor = ancestor->m_pParent) {
        if (WidgetNameMatches(ancestor->m_ResName, name)) {
            return ancestor;
        }
    }
    return nullptr;
}

CWidget* CWidget::FindInHierarchy(uint32_t id) const {
    for (CWidget* ancestor = m_pParent; ancestor; ancestor = ancestor->m_pParent) {
        if (uint32_t(ancestor->m_nResID) == id) {
            return ancestor;
        }
    }
    return nullptr;
}
