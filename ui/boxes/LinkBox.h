#pragma once
// The welcome box and the about box share this shape: a modal box built
// from its tree each time it is shown and removed whole when it is hidden,
// closed by any key or a click on its root or its first child, with two
// link buttons (the web link and the payment link) that open their
// address with the desktop's handler and close the box. The about box
// shows itself over a blurred picture of the window behind it.

#include <cstdint>

#include "foundation/Error.h"
#include "foundation/Geometry.h"
#include "foundation/gCCmdTarget.h"

class CBackdrop;
class CWidget;

class CLinkBox : public gCCmdTarget {
public:
    // The ids of one box's tree.
    struct SIds {
        uint32_t m_nRoot;
        uint32_t m_nReference; // its left edge places the web link
        uint32_t m_nWebLink;
        uint32_t m_nPaymentLink;
    };
    // The web link sits this far right of the reference widget's left edge.
    static constexpr int32_t kWebLinkOffset = 413;
    static constexpr int32_t kOpenSound = 2;
    static constexpr int32_t kCloseSound = 3;

    CLinkBox(CBackdrop* backdrop, const SIds& ids) : m_pBackdrop(backdrop), m_Ids(ids) {}
    CLinkBox(const CLinkBox&) = delete;
    CLinkBox& operator=(const CLinkBox&) = delete;

    // Builds the tree anew, adds it in front of the backdrop's children,
    // places and hooks the links, makes it modal and focused and plays the
    // opening sound; redraws when asked. Asked again while shown it does
    // nothing. 23 without the tree or memory, 21 when a widget is missing;
    // a failed showing leaves no tree behind and the modal stack as it was.
    error Show(int32_t redraw);
    // Leaves the modal stack (only when its root is on top), removes the
    // tree, plays the closing sound and redraws when asked. The removal's
    // code when it fails (the box then stays); 0 when nothing is shown.
    error Hide(int32_t redraw);

    static error RootKey(void* user, CWidget* widget, CWidget*& target, uint32_t key);
    static error RootClick(void* user, CWidget* widget, CWidget*& target, gCPoint& point);
    // Tracks the press; released on the button, opens its link (a link
    // that cannot be opened is not reported) and closes the box.
    static error WebClick(void* user, CWidget* button, CWidget*& target, gCPoint& point);
    // The payment link's highlight.
    static error LinkButtonHeart(void* user, CWidget* button);

    CWidget* Root() const { return m_pRoot; }
    const SIds& Ids() const { return m_Ids; }

protected:
    // The root made from the resource file, of the box's own class.
    virtual CWidget* CreateRoot() = 0;
    // What the box does before its root is added and what it paints into
    // its root once added (the about box's blur); nothing by default.
    virtual void BeforeAdding() {}
    virtual void PaintBackground() {}

    CBackdrop* m_pBackdrop; // not owned
    CWidget* m_pRoot = nullptr; // the backdrop's while shown

private:
    error BuildShown();
    void RemoveTree();
    void PlaySound(int32_t sound);

    SIds m_Ids;
};
