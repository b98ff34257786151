#include "widgets/detail/RoutingStep.h"

#include <algorithm>

CRoutingStep::CRoutingStep(CWidget& widget)
    : m_Widget(widget), m_pRoot(RootOf(widget)), m_pWindow(m_pRoot->HoldingWindow()) {}

const CWidget* CRoutingStep::RootOf(const CWidget& widget) {
    const CWidget* root = &widget;
    while (root->m_pParent) {
        root = root->m_pParent;
    }
    return root;
}

void CRoutingStep::TakeChildren() {
    const gCArray<CWidget*>& live = m_Widget.m_aChildren;
    m_nCount = live.GetSize();
    if (m_nCount <= kOnStack) {
        std::copy(live.begin(), live.end(), m_apOnStack);
        m_pChildren = m_apOnStack;
    } else if (m_aCopy.Copy(live) == eNoError) {
        m_pChildren = m_aCopy.GetData();
    } else {
        m_pChildren = nullptr;
    }
}

CWidget* CRoutingStep::Child(int32_t i) const {
    if (i < 0 || i >= m_nCount) {
        return nullptr;
    }
    if (!m_pChildren) {
        return m_Widget.Child(i);
    }
    CWidget* child = m_pChildren[i];
    // Still alive: a widget that left the tree is deleted only after the
    // outermost pass, and this step is part of one.
    return child->m_pParent == &m_Widget ? child : nullptr;
}

bool CRoutingStep::Interrupted() const {
    if (RootOf(m_Widget) != m_pRoot) {
        return true;
    }
    return m_pWindow && m_pRoot->HoldingWindow() != m_pWindow;
}
