#pragma once
// The application class. Until the interface exists it makes the window
// around a one-colour backdrop, so that the window, the event loop and
// quitting run.

#include "platform/App.h"

class CSMKApp : public CApp {
public:
    CSMKApp();
    ~CSMKApp() override = default;

    void AppClosing() override {}
    void DoSystemQuit() override;
    error ExitApp() override { return eHandled; }
    error Initialize(const gCString& path) override;
};
