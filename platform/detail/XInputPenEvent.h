#pragma once
// One XInput2 device event of a pen, read into the pen tracker's form.

#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>

#include <vector>

#include "platform/detail/PenTracker.h"

// Motion, press and release events of a known pen device; false for other
// devices and other event types.
bool PenEventFromXI2(int evtype, const XIDeviceEvent& de, const std::vector<CPenDevice>& pens,
                     CPenEvent& out);
