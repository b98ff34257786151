#pragma once
// The widgets demo: a window around the backdrop "WidgetsDemo" of its own
// resource file, to look at what the widget classes draw. F8 and Ctrl+Q
// work as in the program.

#include <cstdint>

#include "platform/App.h"
#include "widgets/Backdrop.h"

// The demo's backdrop: places the frame widget's rectangles once loaded.
class CDemoBackdrop : public CBackdrop {
public:
    error SetupInterface() override;
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
