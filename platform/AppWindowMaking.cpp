// The application object makes its one window.
#include <memory>
#include <new>

#include "foundation/Utf8.h"
#include "platform/AppBase.h"
#include "platform/MacWindow.h"

CAppWindow* CAppBase::NewWindow() {
    return new (std::nothrow) CAppWindow();
}

namespace {

// The title given (UTF-8), else the backdrop's name; 5 without memory.
error WindowTitle(const char* title, const CWindowRoot* backdrop, gCString& text) {
    if (title) {
        return gStringFromUtf8(text, title);
    }
    if (backdrop) {
        const gCString& name = backdrop->GetName();
        return text.CopyStringFromBuffer(name.GetBuffer(), name.GetLength());
    }
    return eNoError;
}

} // namespace

// The steps both forms share; `make` makes the platform window.
template <typename Make>
static error MakeMainWindow(CWindowRoot* backdrop, const char* title, int32_t menuFlag,
                            CAppWindow* (CAppBase::*newWindow)(), CAppBase& app, Make make) {
    std::unique_ptr<CWindowRoot, CWindowRoot::Releaser> owned(backdrop);
    gCString text;
    if (error e = WindowTitle(title, backdrop, text)) {
        return e;
    }
    CAppWindow* window = (app.*newWindow)();
    if (!window) {
        return eOutOfMemory;
    }
    CAppBase::m_pMainWnd.reset(window);
    if (menuFlag == 0) {
        window->PresetOSMenuHidden(1);
    }
    // A new window takes its first root without resizing anything (0); any
    // other answer is passed on.
    if (error e = window->AttachBackdrop(owned.release())) {
        return e;
    }
    if (!make(*window, text)) {
        // A window that could not be made may have ended itself.
        if (CWindowBase::m_pThis != window) {
            (void)CAppBase::m_pMainWnd.release(); // gone already
        }
        return eGenericFailure;
    }
    if (CWindowRoot* attached = window->GetBackdrop()) {
        if (error e = attached->SetupInterface()) {
            return e;
        }
        attached->CreationComplete();
    }
    return window->ShowWindow(1);
}

error CAppBase::MakeWindow(CWindowRoot* backdrop, int32_t style, int32_t width, int32_t height,
                           const char* title, int32_t menuFlag) {
    if (width == 0 && height == 0 && backdrop) {
        const gCPoint size = backdrop->PositionerSize();
        width = size.x;
        height = size.y;
    }
    return MakeMainWindow(backdrop, title, menuFlag, &CAppBase::NewWindow, *this,
                          [&](CAppWindow& window, const gCString& text) {
                              return window.MakeWindow(width, height, text, style) != 0;
                          });
}

error CAppBase::MakeWindow(CWindowRoot* backdrop, int32_t style, int32_t mode, gCRPoint size,
                           gCRPoint position, const char* title, int32_t menuFlag) {
    return MakeMainWindow(backdrop, title, menuFlag, &CAppBase::NewWindow, *this,
                          [&](CAppWindow& window, const gCString& text) {
                              return window.MakeWindow(mode, size, position, text, style) != 0;
                          });
}
