#include "ui/boxes/ShownTree.h"

#include "widgets/Backdrop.h"
#include "widgets/Widget.h"

namespace ShownTree {

error Add(CBackdrop* backdrop, CWidget* root) {
    if (const error e = backdrop->AddChild(root, 0)) {
        delete root;
        return e;
    }
    return eNoError;
}

error Remove(CBackdrop* backdrop, CWidget* root) {
    if (backdrop->TopModal() == root) {
        backdrop->EndModal();
    }
    (void)root->SetVisibility(0, 0); // only marks areas
    return backdrop->RemoveChild(root, 0);
}

} // namespace ShownTree
