#include "ui/panels/PanelSupport.h"

#include <new>

#include "foundation/AppServices.h"
#include "ui/panels/PanelHighlight.h"
#include "ui/panels/PressTracking.h"
#include "widgets/Backdrop.h"
#include "widgets/Widget.h"

namespace PanelSupport {

bool ButtonHeld() {
    CAppServices* services = CAppServices::Get();
    return services && services->LButtonStillDown();
}

void Heartbeat() {
    if (CAppServices* services = CAppServices::Get()) {
        (void)services->AppHeartbeat(); // a beat that fails still lets the press end
    }
}

void WaitForInput() {
    if (CAppServices* services = CAppServices::Get()) {
        services->WaitForInput();
    }
}

gCPoint Cursor() {
    CAppServices* services = CAppServices::Get();
    return services ? services->CursorLoc() : gCPoint();
}

gCPoint ReleasePoint() {
    CAppServices* services = CAppServices::Get();
    return services ? services->CursorLocAtRelease() : gCPoint();
}

error GiveStep(CWidget* widget, float start, float target, float stepInterval) {
    auto* step = new (std::nothrow) CTimeStepObject(start, target, stepInterval, 1.0f, 1);
    if (!step) {
        return eCreateFailed;
    }
    widget->SetUserObject(0, step); // the widget owns it from here
    return eNoError;
}

bool Confirmed(CBackdrop* backdrop, CWidget* widget) {
    return PressTracking::ReleasedOn(backdrop, widget);
}

} // namespace PanelSupport
