#pragma once
// The application class: loads the main backdrop "Daublin", makes and
// registers the backbone and the UI module, makes the one window around the
// backdrop, opens the start document or starts a new painting (also after
// an alert naming a start document that cannot be opened), and at quit time
// asks the save prompt when the painting is modified.

#include <memory>

#include "platform/App.h"

class CSMKBackbone;
class CSMKBackdrop;
class gCFRef;

class CSMKApp : public CApp {
public:
    CSMKApp();
    // The backbone goes after it has been unregistered.
    ~CSMKApp() override;
    CSMKApp(const CSMKApp&) = delete;
    CSMKApp& operator=(const CSMKApp&) = delete;

    // Nothing: the quit that follows does the work.
    void AppClosing() override {}
    // With a modified painting only raises the save prompt; else (or when
    // the prompt cannot come up, shown) quits.
    void DoSystemQuit() override;
    // The modified check without quitting: 0 when the save prompt is up,
    // else 2.
    error ExitApp() override;
    error Initialize(const gCString& path) override;

    // The new painting's size for a backdrop of this size: 90 %, halves
    // away from zero, kept to 100..5000 a side.
    static gCPoint NewProjectSize(int32_t backdropWidth, int32_t backdropHeight);
    // True when the start path, its quotes stripped, names a project.
    static bool IsProjectPath(const gCString& path);

protected:
    // Opens the painting named at start: 0, or the load's code (9 when
    // nothing loaded it), with the open painting left as it was.
    error LoadStartProject(CSMKBackdrop& backdrop, const gCFRef& file);
    // The backbone; tests put a recording one in its place.
    virtual CSMKBackbone* NewBackbone();
    // The failure of a prompt that cannot come up, shown.
    void ReportPromptFailure();

    std::unique_ptr<CSMKBackbone> m_pBackbone;
};
