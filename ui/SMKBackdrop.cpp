#include "ui/SMKBackdrop.h"

CSMKBackdrop::CSMKBackdrop() {
    // The name is only the window's title: without memory for it the title
    // is empty.
    gCString name;
    if (name.CopyString(u"Daublin") == eNoError) {
        SetResName(name);
    }
    m_BackgroundColour = CPixel(kColour);
    m_nGradientOpacity = 0;
}

CSMKBackdrop::~CSMKBackdrop() = default;

error CSMKBackdrop::SetupInterface() {
    CWindowHost* host = Host();
    CImage* buffer = BackBuffer();
    if (!host || !buffer) {
        return eNoError;
    }
    // The window's first copy makes its drawing surface, and on X servers
    // without a window manager making it may remake the window: done now,
    // before the window is shown, the window that appears is the one that
    // stays. The area stays dirty for the first redraw.
    if (error e = RedrawNoShow()) {
        return e;
    }
    const gCRect whole(0, 0, buffer->GetWidth(), buffer->GetHeight());
    // What cannot be shown now is shown by the first redraw.
    (void)host->CopyToScreen(*buffer, &whole, 1);
    return eNoError;
}
