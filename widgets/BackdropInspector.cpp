// The backdrop's inspector hook for developers: with Control and Shift held
// the widget under the mouse flashes while the left button stays down.

#include <memory>
#include <new>

#include "foundation/Alert.h"
#include "foundation/AppServices.h"
#include "foundation/Clock.h"
#include "widgets/Backdrop.h"
#include "widgets/CoWidget.h"

namespace {

constexpr uint32_t kFlashDark = 0xFF404030u;
constexpr uint32_t kFlashLight = 0xFFA0A0B8u;
constexpr uint64_t kFlashMicroseconds = 250000u;

void Tell(const char* text) {
    gShowAlert("Message", text);
}

bool IsInspector(const CWidget* widget) {
    static const char16_t kName[] = u"CBackdrop Info Widget for Debugging.";
    const gCString& name = widget->GetResName();
    const int32_t length = int32_t(sizeof(kName) / sizeof(kName[0])) - 1;
    if (name.GetLength() != length) {
        return false;
    }
    for (int32_t i = 0; i < length; ++i) {
        if (name.GetBuffer()[i] != kName[i]) {
            return false;
        }
    }
    return true;
}

} // namespace

error CBackdrop::TestWidgetDebug() {
    CAppServices* app = CAppServices::Get();
    if (!app) {
        return eHandled;
    }
    if (!app->IsCtrlKeyDown() || !app->IsShiftKeyDown()) {
        return eNoError;
    }
    if (!m_fRolloverEnabled || !app->IsHeartbeatRunning()) {
        Tell("To use this feature, WidgetRollover MUST be enabled in the CBackdrop,and the "
             "CAppBase heartbeat must be beating.");
        return eHandled;
    }
    if (!m_pRolloverWidget) {
        return eNoError;
    }
    if (CWidget* shown = FindByID(FourCC("_Db_")); shown && IsInspector(shown)) {
        return eNoError;
    }
    // Everything below may run handlers (the pumping, the redraws): the
    // tree's widgets and this backdrop are deleted only when it ends.
    CPassScope scope;
    gCRect area(0, 0, m_pRolloverWidget->Width(), m_pRolloverWidget->Height());
    m_pRolloverWidget->LocalToBackdrop(area);
    std::unique_ptr<CCoWidget> owned(new (std::nothrow) CCoWidget());
    if (!owned || owned->SetPosition(area.left, area.top, 0) != eNoError ||
        owned->SetSize(area.Width(), area.Height(), 0) != eNoError ||
        owned->SetVisibility(1, 0) != eNoError ||
        owned->SetClientColour(CPixel(kFlashDark), 0) != eNoError) {
        Tell("Couldn't create Flash widget");
        return eHandled;
    }
    owned->SetOpaqueBlit(1);
    if (AddChild(owned.get(), 1) != eNoError) {
        Tell("Couldn't add Flash widget");
        return eHandled;
    }
    CCoWidget* marker = owned.release(); // the backdrop's child now
    CWindowHost* const window = Host();
    uint64_t last = gCClock::Microseconds();
    int32_t light = 0;
    // The flash ends with the button, or when the marker or the window
    // went away meanwhile.
    while (app->LButtonStillDown() && GetChildIndex(marker) >= 0 && Host() == window) {
        (void)app->PumpMessage(); // whether anything came does not matter here
        if (gCClock::Microseconds() - last >= kFlashMicroseconds) {
            last += kFlashMicroseconds;
            light = !light;
            // A failed redraw was shown by the redraw; the flash goes on.
            (void)marker->SetClientColour(CPixel(light ? kFlashLight : kFlashDark), 1);
        }
    }
    if (GetChildIndex(marker) >= 0) {
        // The marker is in front; a failed redraw was shown by the redraw.
        (void)RemoveChild(marker, Host() == window ? 1 : 0);
    }
    if (app->IsAltKeyDown()) {
        // The inspector panel comes with the text widgets.
        Tell("Couldn't create pInfoBack widget");
    }
    return eHandled;
}
