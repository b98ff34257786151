#include "ui/panels/PressTracking.h"

#include "foundation/AppServices.h"
#include "widgets/Backdrop.h"
#include "widgets/Widget.h"

namespace PressTracking {

bool ReleasedOn(CBackdrop* backdrop, CWidget* button) {
    if (!backdrop || !button || backdrop->DoModal(button) != eNoError) {
        return false;
    }
    if (CAppServices* services = CAppServices::Get()) {
        while (services->LButtonStillDown()) {
            // A beat that fails still lets the press end.
            (void)services->AppHeartbeat();
        }
    }
    // Where the pointer was at the release decides, also for a click so
    // quick that no beat ran while it was held, and however far the pointer
    // has moved since.
    if (CAppServices* services = CAppServices::Get()) {
        backdrop->PassRolloverTestAt(services->CursorLocAtRelease());
    } else {
        backdrop->PassRolloverTest();
    }
    if (backdrop->TopModal() == button) {
        backdrop->EndModal();
    }
    return backdrop->WidgetRollover() == button;
}

} // namespace PressTracking
