#pragma once
// The widgets demo: a window around the backdrop "WidgetsDemo" of its own
// resource file, to look at what the widget classes draw. F8 and Ctrl+Q
// work as in the program; Ctrl+Shift with a left press flashes the widget
// under the pointer, and with Alt held at the release the widget inspector
// opens for it (Escape closes it).

#include <cstdint>

#include "platform/App.h"
#include "widgets/Backdrop.h"

// The demo's backdrop: places the frame widget's rectangles once loaded,
// and opens the widget inspector from a left press with Control and Shift
// held (Alt too when the button is let go).
class CDemoBackdrop : public CBackdrop {
public:
    error SetupInterface() override;
    error PassButtonDownL(CWidget*& taker, gCPoint& point) override;
};

class CDemoApp : public CApp {
public:
    CDemoApp();
    ~CDemoApp() override;

    void AppClosing() override {}
    error ExitApp() override { return eHandled; }
    error Initialize(const gCString& path) override;
    // The edit fields' confirms and cancels are printed.
    int32_t Message(uint32_t id, void* data, uintptr_t extra) override;
};
