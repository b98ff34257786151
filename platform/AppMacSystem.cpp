// The clipboard, the menu-bar toggles and the window's place among the
// desktop's windows.
#include <SDL.h>

#include "foundation/Utf8.h"
#include "platform/AppMac.h"
#include "platform/MacWindow.h"
#include "platform/detail/SDLOwners.h"

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
    if (!SDL_HasClipboardText()) {
        text = gCString(); // no text pastes as empty
        return eNoError;
    }
    const SDLText utf8(SDL_GetClipboardText());
    if (!utf8) {
        return eOutOfMemory;
    }
    return gStringFromUtf8(text, utf8.get());
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
    // The answer is 1 whatever the re-fit did: the only failure of a re-fit
    // is the back buffer's, which the window's OnSize shows and quits on.
    (void)window->SetWindowSizeAndPosition(0, gCRPoint(-1.0f, -1.0f), gCRPoint(-1.0f, -1.0f), 1);
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
