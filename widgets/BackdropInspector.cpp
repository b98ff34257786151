// The backdrop's inspector hook for developers: with Control and Shift held
// the widget under the mouse flashes while the left button stays down, and
// with Alt held at the release the inspector panel opens for it.

#include <memory>
#include <new>

#include "foundation/Alert.h"
#include "foundation/AppServices.h"
#include "foundation/Clock.h"
#include "foundation/Input.h"
#include "widgets/Backdrop.h"
#include "widgets/CoWidget.h"
#include "widgets/RoRectWidget.h"

namespace {

constexpr uint32_t kFlashDark = 0xFF404030u;
constexpr uint32_t kFlashLight = 0xFFA0A0B8u;
constexpr uint64_t kFlashMicroseconds = 250000u;
constexpr uint32_t kInspectorColour = 0xFFA0A0B8u;
constexpr int32_t kInspectorWidth = 600;
constexpr int32_t kInspectorHeight = 450;

void Tell(const char* text) {
    gShowAlert("Message", text);
}

// Whether the widget is in the subtree, compared by address alone: a widget
// that left it may be waiting for deletion and is not asked anything.
bool InSubtree(const CWidget& root, const CWidget* widget) {
    for (int32_t i = 0; i < root.ChildCount(); ++i) {
        const CWidget* child = root.Child(i);
        if (child == widget || InSubtree(*child, widget)) {
            return true;
        }
    }
    return false;
}

} // namespace

bool CBackdrop::IsInspector(const CWidget* widget) {
    static const char16_t kName[] = u"CBackdrop Info Widget for Debugging.";
    if (!widget || widget->GetResID() != int32_t(FourCC("_Db_"))) {
        return false;
    }
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
    // The widget under the pointer now, not as the last heartbeat found it:
    // a press that comes right after its move is on the widget it is on.
    PassRolloverTest();
    if (!m_pRolloverWidget) {
        return eNoError;
    }
    if (IsInspector(FindByID(FourCC("_Db_")))) {
        return eNoError;
    }
    // Everything below may run handlers (the pumping, the redraws): the
    // tree's widgets and this backdrop are deleted only when it ends.
    CPassScope scope;
    CWindowHost* const window = Host();
    // While the flash pumps events the marker itself may become the
    // rollover widget: the inspector shows the widget under the mouse when
    // the flash began.
    CWidget* const inspected = m_pRolloverWidget;
    if (error e = FlashWidget(inspected)) {
        return e;
    }
    // Alt as it was at the release, not as it is once the flash has pumped
    // the records after it.
    if (Host() != window || !app->IsKeyDownAtRelease(kKeyOption) ||
        !InSubtree(*this, inspected)) {
        return eHandled;
    }
    (void)OpenInspector(inspected); // a failure was shown
    return eHandled;
}

error CBackdrop::FlashWidget(CWidget* widget) {
    CAppServices* app = CAppServices::Get();
    gCRect area(0, 0, widget->Width(), widget->Height());
    widget->LocalToBackdrop(area);
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
    return eNoError;
}

error CBackdrop::OpenInspector(CWidget* shown) {
    const SInspectorHook* hook = s_pInspectorHook;
    std::unique_ptr<CRoRectWidget> owned(hook && hook->m_pCreate ? hook->m_pCreate() : nullptr);
    if (owned) {
        owned->Positioner()->m_fXCentre = 1;
        owned->Positioner()->m_fYCentre = 1;
        owned->SetOpaqueBlit(1);
    }
    // The size comes before the setup, which reads it once.
    if (!owned || owned->SetClientColour(CPixel(kInspectorColour), 1, 1) != eNoError ||
        owned->SetSize(kInspectorWidth, kInspectorHeight, 0) != eNoError ||
        owned->SetVisibility(1, 0) != eNoError) {
        Tell("Couldn't create pInfoBack widget");
        return eHandled;
    }
    if (AddChild(owned.get(), 1) != eNoError) {
        Tell("Couldn't add pInfoBack widget");
        return eHandled;
    }
    CRoRectWidget* inspector = owned.release(); // the backdrop's child now
    error e = hook->m_pSetup ? hook->m_pSetup(inspector, shown) : eBadParameter;
    if (e == eNoError) {
        e = DoModal(inspector);
    }
    if (e != eNoError) {
        Tell("Couldn't setup information about widget");
        // A failed redraw was shown by the redraw.
        (void)RemoveChild(inspector, 1);
        return eHandled;
    }
    return eNoError;
}
