// How a change becomes dirty area: rectangles travel up the tree, clipped
// at every level, to the root, which keeps them until it redraws.

#include <cstdint>

#include "widgets/Widget.h"
#include "widgets/detail/RectMath.h"

using widgetdetail::Shifted;

gCRect CWidget::LocalTotalRect() const {
    return Shifted(m_TotalRect, -m_Rect.left, -m_Rect.top);
}

error CWidget::PassInvalidatedAreaToParent(const gCRect& local, int32_t redraw) {
    if (!m_pParent) {
        return eNoError; // a root keeps its dirty area itself
    }
    if (!m_fVisible || !m_pParent->m_fVisible) {
        return redraw ? m_pParent->PassRedraw() : eNoError;
    }
    gCRect area = Shifted(local, m_Rect.left, m_Rect.top);
    area = area.Intersected(m_TotalRect);
    area = area.Intersected(gCRect(0, 0, m_pParent->Width(), m_pParent->Height()));
    if (!area.IsEmpty()) {
        return m_pParent->PassInvalidatedAreaToParent(area, redraw);
    }
    return redraw ? m_pParent->PassRedraw() : eNoError;
}

error CWidget::PassChangeCoverageToParent(const gCRect& area, int32_t redraw) {
    if (!m_pParent) {
        return PassInvalidatedAreaToParent(Shifted(area, -m_Rect.left, -m_Rect.top), redraw);
    }
    const gCRect clipped = area.Intersected(gCRect(0, 0, m_pParent->Width(), m_pParent->Height()));
    if (!clipped.IsEmpty()) {
        return m_pParent->PassInvalidatedAreaToParent(clipped, redraw);
    }
    return redraw ? m_pParent->PassRedraw() : eNoError;
}

error CWidget::InvalidateArea(const gCRect& local, int32_t redraw) {
    if (!m_pParent) {
        return eNoError;
    }
    gCRect area = Shifted(local, m_Rect.left, m_Rect.top);
    area = area.Intersected(m_Rect);
    area = area.Intersected(gCRect(0, 0, m_pParent->Width(), m_pParent->Height()));
    if (!area.IsEmpty()) {
        return m_pParent->PassInvalidatedAreaToParent(area, redraw);
    }
    return redraw ? m_pParent->PassRedraw() : eNoError;
}

error CWidget::InvalidateTotal(int32_t redraw) {
    return PassInvalidatedAreaToParent(LocalTotalRect(), redraw);
}

error CWidget::InvalidateClient(int32_t redraw) {
    return PassInvalidatedAreaToParent(gCRect(0, 0, Width(), Height()), redraw);
}

error CWidget::PassRedraw() {
    return m_pParent ? m_pParent->PassRedraw() : eNoError;
}

error CWidget::InvalidateContainerChildren() {
    if (m_fOpaqueBlit || HasEffects()) {
        return PassInvalidatedAreaToParent(LocalTotalRect(), 0);
    }
    for (int32_t i = 0; i < m_aChildren.GetSize(); ++i) {
        CWidget* child = m_aChildren[i];
        const error e = child->TypeID() == kWidgetTypeID
                            ? child->InvalidateContainerChildren()
                            : PassInvalidatedAreaToParent(child->m_TotalRect, 0);
        if (e != eNoError) {
            return e;
        }
    }
    return eNoError;
}
