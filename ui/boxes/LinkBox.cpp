#include "ui/boxes/LinkBox.h"

#include "FileIO/gCFileIO.h"
#include "foundation/MessageIds.h"
#include "ui/Links.h"
#include "ui/boxes/ShownTree.h"
#include "ui/panels/PanelHighlight.h"
#include "ui/panels/PressTracking.h"
#include "widgets/Backdrop.h"
#include "widgets/Widget.h"

void CLinkBox::PlaySound(int32_t sound) {
    // A sound that cannot play is no reason to stop the box.
    (void)SetUIData(eCmdPlaySound, this, sound);
}

error CLinkBox::Show(int32_t redraw) {
    if (m_pRoot) {
        return eNoError; // one modal entry, one sound
    }
    if (!m_pBackdrop) {
        return eResourceNotFound;
    }
    CWidget* root = CreateRoot();
    if (!root) {
        return eCreateFailed;
    }
    BeforeAdding();
    if (const error e = ShownTree::Add(m_pBackdrop, root)) {
        return e;
    }
    m_pRoot = root;
    if (const error e = BuildShown()) {
        RemoveTree();
        return e;
    }
    PlaySound(kOpenSound);
    if (redraw) {
        // A failed redraw is shown by the backdrop and kept dirty.
        (void)m_pRoot->PassRedraw();
    }
    return eNoError;
}

error CLinkBox::BuildShown() {
    CWidget* reference = m_pRoot->FindByID(m_Ids.m_nReference);
    CWidget* web = m_pRoot->FindByID(m_Ids.m_nWebLink);
    CWidget* payment = m_pRoot->FindByID(m_Ids.m_nPaymentLink);
    CWidget* first = m_pRoot->Child(0);
    if (!reference || !web || !payment || !first) {
        return eResourceNotFound;
    }
    // Moving only marks areas for the redraw of the whole box.
    (void)web->SetXPos(reference->Rect().left + kWebLinkOffset, 0);
    web->SetButtonDownL(&CLinkBox::WebClick, this);
    payment->SetButtonDownL(&CLinkBox::WebClick, this);
    payment->SetHeartbeat(&CLinkBox::LinkButtonHeart, this);
    if (const error e = PanelHighlight::GiveTimeStep(payment)) {
        return e;
    }
    PaintBackground();
    if (const error e = m_pBackdrop->DoModal(m_pRoot)) {
        return e;
    }
    (void)m_pRoot->SetFocus(0); // focusing only marks areas
    m_pRoot->SetButtonDownL(&CLinkBox::RootClick, this);
    m_pRoot->SetKeyDown(&CLinkBox::RootKey, this);
    first->SetButtonDownL(&CLinkBox::RootClick, this);
    return eNoError;
}

void CLinkBox::RemoveTree() {
    // A child in the tree can always be removed.
    (void)ShownTree::Remove(m_pBackdrop, m_pRoot);
    m_pRoot = nullptr;
}

error CLinkBox::Hide(int32_t redraw) {
    if (!m_pRoot || !m_pBackdrop) {
        return eNoError;
    }
    if (const error e = ShownTree::Remove(m_pBackdrop, m_pRoot)) {
        return e;
    }
    m_pRoot = nullptr;
    PlaySound(kCloseSound);
    if (redraw) {
        // A failed redraw is shown by the backdrop and kept dirty.
        (void)m_pBackdrop->PassRedraw();
    }
    return eNoError;
}

error CLinkBox::RootKey(void* user, CWidget* widget, CWidget*& target, uint32_t) {
    target = widget;
    return static_cast<CLinkBox*>(user)->Hide(1);
}

error CLinkBox::RootClick(void* user, CWidget* widget, CWidget*& target, gCPoint&) {
    target = widget;
    return static_cast<CLinkBox*>(user)->Hide(1);
}

error CLinkBox::WebClick(void* user, CWidget* button, CWidget*& target, gCPoint&) {
    auto* box = static_cast<CLinkBox*>(user);
    target = button;
    if (!PressTracking::ReleasedOn(box->m_pBackdrop, button)) {
        return eNoError; // released elsewhere: the box stays
    }
    const bool web = uint32_t(button->GetResID()) == box->m_Ids.m_nWebLink;
    // A link that cannot be opened closes the box all the same.
    (void)gCFileIO::URLExecute(web ? Links::WebLink() : Links::PaymentLink());
    return box->Hide(1);
}

error CLinkBox::LinkButtonHeart(void*, CWidget* button) {
    return PanelHighlight::Beat(PanelHighlight::kLinkButton, button);
}
