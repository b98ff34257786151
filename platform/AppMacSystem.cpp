// The clipboard, the menu-bar toggles and the window's place among the
// desktop's windows.
#include <SDL.h>

#include "foundation/Utf8.h"
#include "platform/AppMac.h"
#include "platform/MacWindow.h"

error CAppMac::Hide() {
    if (CMacWindow* window = MainWindow(); window && window->GetSDLWindow()) {
        SDL_MinimizeWindow(window->GetSDLWindow());
    }
    return eNoError;
}

error CAppMac::Show() {
    if (CMacWindow* window = MainWindow(); window && window->GetSDLWindow()) {
        SDL_RestoreWindow(window->GetSDLWindow());
    }
    return eNoError;
}

error CAppMac::OSCopy(const gCString& text) {
    const std::string utf8 = gStringToUtf8(text);
    return SDL_SetClipboardText(utf8.c_str()) == 0 ? eNoError : eOutOfMemory;
}

error CAppMac::OSPaste(gCString& text) {
    text.CopyString(u"");
    if (!SDL_HasClipboardText()) {
        return eNoError;
    }
    char* utf8 = SDL_GetClipboardText();
    if (!utf8) {
        return eOutOfMemory;
    }
    const error e = gStringFromUtf8(text, utf8);
    SDL_free(utf8);
    return e;
}

int32_t CAppMac::HideMBar() {
    // The window would have to ask for it by a state of its own as well,
    // and none of its operations does: this leaves the menu bar as it is.
    return 1;
}

int32_t CAppMac::ShowMBar() {
    CWindowBase* window = CWindowBase::m_pThis;
    if (!window || !window->IsOSMenuHidden()) {
        return 1; // the menu bar is visible already
    }
    window->PlatformSetOSMenuHidden(0, 1);
    window->SetWindowSizeAndPosition(0, gCRPoint(-1.0f, -1.0f), gCRPoint(-1.0f, -1.0f), 1);
    return 1;
}

int32_t CAppMac::ToggleMBar() {
    if (m_fMBarWasHidden) {
        m_fMBarWasHidden = !ShowMBar();
    } else {
        m_fMBarWasHidden = HideMBar();
    }
    return 0;
}

int32_t CAppMac::IsFrontProcess() {
    CMacWindow* window = MainWindow();
    return window && window->HasFocus() ? 1 : 0;
}
