#include "platform/detail/XInputPenEvent.h"

bool PenEventFromXI2(int evtype, const XIDeviceEvent& de, const std::vector<CPenDevice>& pens,
                     CPenEvent& out) {
    // Only these event types carry a device event.
    if (evtype != XI_Motion && evtype != XI_ButtonPress && evtype != XI_ButtonRelease) {
        return false;
    }
    const CPenDevice* pen = nullptr;
    for (const CPenDevice& p : pens) {
        if (p.id == de.deviceid) {
            pen = &p;
        }
    }
    if (!pen) {
        return false;
    }
    switch (evtype) {
    case XI_Motion:
        out.kind = EPenEventKind::eMotion;
        out.button = 0;
        break;
    case XI_ButtonPress:
        out.kind = EPenEventKind::ePress;
        out.button = de.detail;
        break;
    default:
        out.kind = EPenEventKind::eRelease;
        out.button = de.detail;
        break;
    }
    out.device = de.deviceid;
    out.tipWasDown = de.buttons.mask && de.buttons.mask_len > 0 && XIMaskIsSet(de.buttons.mask, 1);
    out.hasPressure = PackedValuator(de.valuators.mask, de.valuators.mask_len, de.valuators.values,
                                     pen->pressureValuator, out.rawPressure);
    out.x = de.event_x;
    out.y = de.event_y;
    return true;
}
