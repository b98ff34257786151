// The panels stepping aside: hidden under the pen for the length of a
// stroke, and all hidden (with the hint shown) or shown at the painter's
// word.

#include <algorithm>

#include "text/TxWidget.h"
#include "ui/SMKBackdrop.h"
#include "widgets/Widget.h"

void CSMKBackdrop::CalculatePanelRects() {
    if (!m_pCanvasWidget) {
        return; // the previous stroke's rectangles stay
    }
    const gCRect canvas = m_pCanvasWidget->Rect();
    m_aPanelRects.RemoveAll();
    for (int32_t index = 0; index < kPanelCount; ++index) {
        CWidget* root = m_apPanelRootByIndex[size_t(index)];
        if (!m_apPanels[size_t(index)] || !root) {
            continue;
        }
        // Clipped without a test for emptiness: a panel off the canvas
        // keeps a rectangle no point lies in.
        const gCRect& panel = root->Rect();
        SPanelRect kept;
        kept.index = index;
        kept.rect = gCRect(std::max(panel.left, canvas.left), std::max(panel.top, canvas.top),
                           std::min(panel.right, canvas.right),
                           std::min(panel.bottom, canvas.bottom));
        m_pCanvasWidget->ParentToLocal(kept.rect);
        // Without room the panel is simply not hidden during this stroke.
        (void)m_aPanelRects.Add(kept);
    }
}

void CSMKBackdrop::CheckPanelsOnDrag(const gCPoint& point) {
    if (m_fPanelsHidden) {
        return;
    }
    for (int32_t i = m_aPanelRects.GetSize() - 1; i >= 0; --i) {
        const gCRect& r = m_aPanelRects[i].rect;
        if (point.x >= r.left && point.x <= r.right && point.y >= r.top && point.y <= r.bottom) {
            HidePanelOnDrag(m_aPanelRects[i].index);
        }
    }
}

void CSMKBackdrop::HidePanelOnDrag(int32_t index) {
    if (uint32_t(index) >= uint32_t(kPanelCount)) {
        return;
    }
    CWidget* root = m_apPanelRootByIndex[size_t(index)];
    if (!root) {
        return;
    }
    if (index == kPanelCount - 1 && !root->Visible()) {
        return; // the clean-brush panel is listed once at most
    }
    (void)root->SetVisibility(0, 0); // only marks: the stroke redraws
    // Without room it is hidden all the same; hiding all and showing all
    // brings it back.
    (void)m_aDragHidden.Add(root);
}

void CSMKBackdrop::UnhideDragPanels() {
    for (CWidget* root : m_aDragHidden) {
        (void)root->SetVisibility(1, 0); // drawn by the redraw below
    }
    m_aDragHidden.RemoveAll();
    (void)PassRedraw(); // a failed redraw is shown by the backdrop and kept dirty
}

void CSMKBackdrop::HideAllPanels(int32_t redraw) {
    SetAllPanelsHidden(1, redraw);
}

void CSMKBackdrop::ShowAllPanels(int32_t redraw) {
    SetAllPanelsHidden(0, redraw);
}

void CSMKBackdrop::SetAllPanelsHidden(int32_t hidden, int32_t redraw) {
    if (m_fPanelsHidden == hidden) {
        return;
    }
    m_fPanelsHidden = hidden;
    for (CWidget* root : m_aPanelRoots) {
        (void)root->SetVisibility(hidden ? 0 : 1, 0); // drawn by the redraw below
    }
    if (m_pHiddenHint) {
        (void)m_pHiddenHint->SetVisibility(hidden, 0);
    }
    if (redraw) {
        (void)PassRedraw(); // a failed redraw is shown by the backdrop and kept dirty
    }
}

void CSMKBackdrop::TogglePanelsHidden(int32_t redraw) {
    if (m_fPanelsHidden) {
        ShowAllPanels(redraw);
    } else {
        HideAllPanels(redraw);
    }
}
