// The tree itself: making and deleting widgets, the child list with its
// front-to-back order, searching it, and the focus path.

#include <algorithm>

#include "widgets/Widget.h"
#include "widgets/detail/NameMatch.h"

// ---------------------------------------------------------------------------
// Life and deletion

CWidget::CWidget() : gCResourceObject(kWidgetTypeID) {}

CWidget::~CWidget() {
    if (m_pParent && m_fVisible) {
        gCRect area = m_Rect;
        // The widget goes whatever its effects answer; nothing is left to
        // report the error to.
        (void)EffectParentMoved(this, area);
    }
    LeaveParent();
    if (m_fAwaitingDeletion) {
        // Deleted directly while queued: the queue must not reach it again.
        CWidget* before = nullptr;
        for (CWidget* w = s_pDeleteQueue; w; before = w, w = w->m_pNextToDelete) {
            if (w == this) {
                (before ? before->m_pNextToDelete : s_pDeleteQueue) = m_pNextToDelete;
                if (s_pDeleteQueueEnd == this) {
                    s_pDeleteQueueEnd = before;
                }
                break;
            }
        }
    }
    DestroyChildren();
    DestroyEffects();
    DestroyUserObjects();
}

CWidget::CPassScope::~CPassScope() {
    if (--s_nPassDepth == 0) {
        DeleteQueued();
    }
}

void CWidget::DeleteWhenSafe(CWidget* widget) {
    if (!widget || widget->m_fAwaitingDeletion) {
        return;
    }
    widget->LeaveParent();
    if (s_nPassDepth == 0) {
        delete widget;
        return;
    }
    widget->m_fAwaitingDeletion = 1;
    widget->m_pNextToDelete = nullptr;
    (s_pDeleteQueueEnd ? s_pDeleteQueueEnd->m_pNextToDelete : s_pDeleteQueue) = widget;
    s_pDeleteQueueEnd = widget;
}

void CWidget::DeleteQueued() {
    // A destructor may run a pass of its own, which empties the queue as
    // well when it ends; each widget is unlinked before it is deleted.
    while (s_pDeleteQueue && s_nPassDepth == 0) {
        CWidget* widget = s_pDeleteQueue;
        s_pDeleteQueue = widget->m_pNextToDelete;
        if (!s_pDeleteQueue) {
            s_pDeleteQueueEnd = nullptr;
        }
        widget->m_pNextToDelete = nullptr;
        widget->m_fAwaitingDeletion = 0;
        delete widget;
    }
}

void CWidget::LeaveParent() {
    CWidget* parent = m_pParent;
    if (!parent) {
        return;
    }
    CWidget* root = parent;
    while (root->m_pParent) {
        root = root->m_pParent;
    }
    root->SubtreeLeaving(this);
    if (m_pParent != parent) {
        return; // the root's hook moved it already
    }
    // Only the parent's focus child can point into this subtree; the
    // ancestors above point at ancestors, so the focus path now ends at
    // the parent.
    if (parent->m_pFocusChild == this) {
        parent->m_pFocusChild = nullptr;
    }
    gCArray<CWidget*>& list = parent->m_aChildren;
    const auto found = std::find(list.begin(), list.end(), this);
    if (found != list.end()) {
        list.RemoveAt(int32_t(found - list.begin()));
    }
    m_pParent = nullptr;
}

void CWidget::SubtreeLeaving(CWidget*) {}

// ---------------------------------------------------------------------------
// Children

error CWidget::AddChild(CWidget* child, int32_t redraw) {
    if (!child || child == this || child->m_pParent || child->m_fAwaitingDeletion) {
        return eBadParameter;
    }
    for (const CWidget* ancestor = m_pParent; ancestor; ancestor = ancestor->m_pParent) {
        if (ancestor == child) {
            return eBadParameter;
        }
    }
    if (error e = m_aChildren.InsertAt(0, child)) {
        return e;
    }
    child->SetParent(this);
    if (error e = child->RecalcSizePosition(0)) {
        // Back out: the caller keeps the child, and nothing in the tree
        // points at it.
        child->LeaveParent();
        return e;
    }
    // From here on the child belongs to this widget, and the caller must
    // not see an error that would make it think otherwise: a dirty area
    // or redraw that fails is the root's to report (the backdrop shows its
    // drawing failures itself) and only leaves stale pixels.
    if (child->m_fVisible) {
        (void)PassInvalidatedAreaToParent(child->m_TotalRect, 0);
    }
    (void)Redraw(redraw);
    return eNoError;
}

CWidget* CWidget::Child(int32_t index) const {
    if (index < 0 || index >= m_aChildren.GetSize()) {
        return nullptr;
    }
    return m_aChildren[index];
}

int32_t CWidget::GetChildIndex(const CWidget* child) const {
    const auto found = std::find(m_aChildren.begin(), m_aChildren.end(), child);
    return found == m_aChildren.end() ? -1 : int32_t(found - m_aChildren.begin());
}

error CWidget::RemoveChild(int32_t index, int32_t redraw) {
    if (index < 0 || index >= m_aChildren.GetSize()) {
        return eBadParameter;
    }
    CWidget* child = m_aChildren[index];
    const gCRect covered = child->m_TotalRect;
    const bool wasVisible = child->m_fVisible != 0;
    if (wasVisible) {
        // What the destructor would tell the effects, told while the child
        // still has its parent; it goes whatever they answer.
        gCRect area = child->m_Rect;
        (void)child->EffectParentMoved(child, area);
    }
    DeleteWhenSafe(child);
    if (wasVisible) {
        return PassInvalidatedAreaToParent(covered, redraw);
    }
    return Redraw(redraw);
}

error CWidget::RemoveChild(CWidget* child, int32_t redraw) {
    const int32_t index = child ? GetChildIndex(child) : -1;
    return index >= 0 ? RemoveChild(index, redraw) : Redraw(redraw);
}

error CWidget::RemoveChildByName(const gCString& name, int32_t redraw) {
    for (int32_t i = 0; i < m_aChildren.GetSize(); ++i) {
        if (WidgetNameMatches(m_aChildren[i]->m_ResName, name)) {
            return RemoveChild(i, redraw);
        }
    }
    return Redraw(redraw);
}

error CWidget::RemoveChildByID(uint32_t id, int32_t redraw) {
    for (int32_t i = 0; i < m_aChildren.GetSize(); ++i) {
        if (uint32_t(m_aChildren[i]->m_nResID) == id) {
            return RemoveChild(i, redraw);
        }
    }
    return Redraw(redraw);
}

error CWidget::RemoveChildren(int32_t redraw) {
    for (int32_t i = m_aChildren.GetSize() - 1; i >= 0; --i) {
        if (i >= m_aChildren.GetSize()) {
            continue; // a destructor took others with it
        }
        if (error e = RemoveChild(i, 0)) {
            return e;
        }
    }
    return Redraw(redraw);
}

void CWidget::DestroyChildren() {
    while (m_aChildren.GetSize() > 0) {
        CWidget* child = m_aChildren[0];
        if (child->m_pParent == this) {
            DeleteWhenSafe(child); // leaves the list first
        } else {
            // Handed to another parent through SetParent: not ours to
            // delete any more.
            m_aChildren.RemoveAt(0);
        }
    }
}

CWidget* CWidget::FindByName(const gCString& name) {
    if (WidgetNameMatches(m_ResName, name)) {
        return this;
    }
    for (int32_t i = 0; i < m_aChildren.GetSize(); ++i) {
        if (CWidget* found = m_aChildren[i]->FindByName(name)) {
            return found;
        }
    }
    return nullptr;
}

CWidget* CWidget::FindByID(uint32_t id) {
    if (uint32_t(m_nResID) == id) {
        return this;
    }
    for (int32_t i = 0; i < m_aChildren.GetSize(); ++i) {
        if (CWidget* found = m_aChildren[i]->FindByID(id)) {
            return found;
        }
    }
    return nullptr;
}

int32_t CWidget::WidgetTotal() const {
    int32_t total = 1;
    for (const CWidget* child : m_aChildren) {
        total += child->WidgetTotal();
    }
    return total;
}

// ---------------------------------------------------------------------------
// Z-order

void CWidget::MoveChildTo(int32_t from, int32_t to) {
    CWidget** data = m_aChildren.GetData();
    if (from < to) {
        std::rotate(data + from, data + from + 1, data + to + 1);
    } else if (from > to) {
        std::rotate(data + to, data + from, data + from + 1);
    }
}

error CWidget::AfterMove(CWidget* child, int32_t redraw) {
    if (child->m_fVisible) {
        if (error e = PassInvalidatedAreaToParent(child->m_TotalRect, 0)) {
            return e;
        }
    }
    return Redraw(redraw);
}

error CWidget::SetHighestPriority(int32_t index, int32_t redraw) {
    if (index < 0 || index >= m_aChildren.GetSize()) {
        return eNoError;
    }
    CWidget* child = m_aChildren[index];
    MoveChildTo(index, 0);
    return AfterMove(child, redraw);
}

error CWidget::SetLowestPriority(int32_t index, int32_t redraw) {
    if (index < 0 || index >= m_aChildren.GetSize()) {
        return eNoError;
    }
    CWidget* child = m_aChildren[index];
    MoveChildTo(index, m_aChildren.GetSize() - 1);
    return AfterMove(child, redraw);
}

error CWidget::SetMeHighestPriority(int32_t redraw) {
    return m_pParent ? m_pParent->SetHighestPriority(m_pParent->GetChildIndex(this), redraw)
                     : eNoError;
}

error CWidget::SetMeLowestPriority(int32_t redraw) {
    return m_pParent ? m_pParent->SetLowestPriority(m_pParent->GetChildIndex(this), redraw)
                     : eNoError;
}

error CWidget::MoveAbove(CWidget* widget, CWidget* ref, int32_t redraw) {
    if (!widget || !ref || widget == ref) {
        return eNoError;
    }
    const int32_t from = GetChildIndex(widget);
    const int32_t at = GetChildIndex(ref);
    if (from < 0 || at < 0) {
        return eNoError;
    }
    // Where ref stands once the widget is out of the list.
    MoveChildTo(from, from < at ? at - 1 : at);
    return AfterMove(widget, redraw);
}

error CWidget::MoveBelow(CWidget* widget, CWidget* ref, int32_t redraw) {
    if (!widget || !ref || widget == ref) {
        return eNoError;
    }
    const int32_t from = GetChildIndex(widget);
    const int32_t at = GetChildIndex(ref);
    if (from < 0 || at < 0) {
        return eNoError;
    }
    MoveChildTo(from, from < at ? at : at + 1);
    return AfterMove(widget, redraw);
}

error CWidget::MoveMeAbove(CWidget* ref, int32_t redraw) {
    return m_pParent ? m_pParent->MoveAbove(this, ref, redraw) : eNoError;
}

error CWidget::MoveMeBelow(CWidget* ref, int32_t redraw) {
    return m_pParent ? m_pParent->MoveBelow(this, ref, redraw) : eNoError;
}

// ---------------------------------------------------------------------------
// Focus

error CWidget::SetFocus(int32_t redraw) {
    if (!m_fVisible || !m_fActive) {
        return eNoError;
    }
    return PropagateSetFocus(this, this, redraw);
}

error CWidget::PropagateSetFocus(CWidget* child, CWidget* focused, int32_t redraw) {
    if (!m_fVisible || !m_fActive) {
        return eNoError;
    }
    m_pFocusChild = child;
    return m_pParent ? m_pParent->PropagateSetFocus(this, focused, redraw) : eNoError;
}
