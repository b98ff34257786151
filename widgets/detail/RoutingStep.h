#pragma once
// One routing step at one widget: the part of a pass that offers an event
// to the widget's children and then to the widget itself.
//
// A step holds the pass depth for its whole life, so nothing it may still
// touch is deleted under it. It copies the child list when it begins and
// offers the event only to those children that are still children of the
// widget when their turn comes, each once, in the copied order; a child
// added meanwhile waits for the next event. After every handler it asks
// Interrupted: the widget left the tree it was in when the step began, or
// the window that held that tree has let it go, and routing stops there.

#include <cstdint>

#include "foundation/gCArray.h"
#include "widgets/Widget.h"

class CRoutingStep {
public:
    explicit CRoutingStep(CWidget& widget);
    CRoutingStep(const CRoutingStep&) = delete;
    CRoutingStep& operator=(const CRoutingStep&) = delete;

    // Copies the child list as it is now. Short lists are copied on the
    // stack; when a long one cannot be copied, the step reads the live
    // list by index instead (memory stays safe, only the once-each
    // promise is lost while memory is short).
    void TakeChildren();
    // How many children the step began with.
    int32_t Count() const { return m_nCount; }
    // Child i of the copy when it is still a child of the widget, else
    // null.
    CWidget* Child(int32_t i) const;
    // Whether routing must stop after a handler ran.
    bool Interrupted() const;

private:
    static constexpr int32_t kOnStack = 16;

    static const CWidget* RootOf(const CWidget& widget);

    CWidget::CPassScope m_Scope;
    CWidget& m_Widget;
    const CWidget* m_pRoot;
    const CWindowHost* m_pWindow;
    CWidget* m_apOnStack[kOnStack];
    gCArray<CWidget*> m_aCopy;
    CWidget* const* m_pChildren = nullptr; // null: read the live list
    int32_t m_nCount = 0;
};
