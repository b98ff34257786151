#include "platform/MacWindow.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <new>
#include <vector>

#include <SDL.h>

#include "foundation/ErrorReport.h"
#include "foundation/Rounding.h"
#include "foundation/Utf8.h"
#include "imaging/ImLocker.h"
#include "imaging/Image.h"
#include "platform/AppMac.h"
#include "platform/TabletServices.h"
#include "platform/detail/SDLOwners.h"

namespace {

// The nearest integer, halves away from zero; sizes and places beyond the
// 32-bit range stop at its ends, and a NaN is 0.
int32_t Nearest(float v) {
    if (std::isnan(v)) {
        return 0;
    }
    const double r = RoundHalfAway(double(v));
    if (r >= double(INT32_MAX)) {
        return INT32_MAX;
    }
    if (r <= double(INT32_MIN)) {
        return INT32_MIN;
    }
    return int32_t(r);
}

float Clamp01(float v) {
    return v < 0.0f ? 0.0f : (v > 1.0f ? 1.0f : v);
}

gCRect FromSDL(const SDL_Rect& r) {
    return gCRect(r.x, r.y, r.x + r.w, r.y + r.h);
}

CAppMac* MacApp() {
    return dynamic_cast<CAppMac*>(CAppBase::m_pApp);
}

} // namespace

void SDLWindowDestroy::operator()(SDL_Window* window) const {
    SDL_DestroyWindow(window);
}

CMacWindow::~CMacWindow() {
    ReleasePlatformWindow();
}

CScreenMeasures CMacWindow::SDLScreen() {
    CScreenMeasures screen;
    if (!SDL_WasInit(SDL_INIT_VIDEO)) {
        return screen;
    }
    SDL_Rect r;
    if (SDL_GetDisplayBounds(0, &r) == 0) {
        screen.bounds = FromSDL(r);
        screen.usable = screen.bounds;
    }
    if (SDL_GetDisplayUsableBounds(0, &r) == 0) {
        screen.usable = FromSDL(r);
    }
    return screen;
}

CScreenMeasures CMacWindow::Screen() {
    CScreenMeasures screen = s_pScreenSource ? s_pScreenSource() : SDLScreen();
    gCRect& s = screen.bounds;
    if (s.left > s.right) {
        std::swap(s.left, s.right);
    }
    if (s.top > s.bottom) {
        std::swap(s.top, s.bottom);
    }
    return screen;
}

void CMacWindow::ReleasePlatformWindow() {
    if (!m_pWindow) {
        return;
    }
    // The pen reader listens on the window: it goes first (detaching
    // cannot fail).
    if (CAppBase::m_pApp) {
        if (CTabletServices* tablet = CAppBase::m_pApp->TabletServices()) {
            (void)tablet->AttachWindow(nullptr);
        }
    }
    m_pWindow.reset();
    m_fActive = 0;
}

bool CMacWindow::CreatePlatformWindow(int32_t width, int32_t height, const gCString& title,
                                      uint32_t flags) {
    const std::string name = gStringToUtf8(title);
    m_pWindow.reset(SDL_CreateWindow(name.c_str(), 0, 0, std::max(width, 1), std::max(height, 1),
                                     flags | SDL_WINDOW_HIDDEN));
    if (!m_pWindow) {
        // ReportError answers 0 once the alert is gone.
        (void)ReportError(eCreateFailed, "CMacWindow MakeWindow failed.");
        return false;
    }
    // The surface is made with the window, while it is hidden: making it
    // may make the X window anew (on servers without a window manager), and
    // the window that appears must be the one that stays. One that cannot
    // be made now is made by the first copy to the screen.
    (void)SDL_GetWindowSurface(m_pWindow.get());
    if (CAppBase::m_pApp) {
        if (CTabletServices* tablet = CAppBase::m_pApp->TabletServices()) {
            // Without a pen reader the mouse path applies.
            (void)tablet->AttachWindow(m_pWindow.get());
        }
    }
    return true;
}

bool CMacWindow::EnsureBackdrop() {
    if (!m_pBackdrop) {
        DestroyWindow();
        return false;
    }
    return true;
}

int32_t CMacWindow::MakeWindow(int32_t mode, gCRPoint size, gCRPoint position,
                               const gCString& title, int32_t) {
    if (CAppBase::m_pApp) {
        CAppBase::m_pApp->StopHeartbeat();
    }
    const CScreenMeasures screen = Screen();
    int32_t menuHidden = 0;
    const gCRect target = GetWindowTargetSizeAndPosition(mode, size, position, menuHidden);
    const int32_t width = std::min(target.Width(), screen.bounds.Width());
    const int32_t height = std::min(target.Height(), screen.bounds.Height());
    PlatformSetOSMenuHidden(menuHidden, 1);
    const uint32_t flags = (mode & kModeResizable) ? SDL_WINDOW_RESIZABLE : 0;
    if (!CreatePlatformWindow(width, height, title, flags)) {
        return 0;
    }
    if (!EnsureBackdrop()) {
        return 0;
    }
    // The only failure of the placement is the back buffer's, which OnSize
    // has shown (and quit on) already.
    (void)SetWindowSizeAndPosition(mode, size, position, 0);
    return 1;
}

int32_t CMacWindow::MakeWindow(int32_t width, int32_t height, const gCString& title, int32_t) {
    if (CAppBase::m_pApp) {
        CAppBase::m_pApp->StopHeartbeat();
    }
    const CScreenMeasures screen = Screen();
    width = std::min(width, screen.bounds.Width());
    height = std::min(height, screen.bounds.Height());
    if (!CreatePlatformWindow(width, height, title, SDL_WINDOW_RESIZABLE)) {
        return 0;
    }
    if (!EnsureBackdrop()) {
        return 0;
    }
    if (SetDisplayMode(width, height, 1) != eNoError) {
        DestroyWindow();
        return 0;
    }
    return 1;
}

gCRect CMacWindow::GetWindowTargetSizeAndPosition(int32_t mode, gCRPoint size, gCRPoint position,
                                                  int32_t& menuHidden) {
    const CScreenMeasures screen = Screen();
    const gCRect& s = screen.bounds;
    const int32_t sw = s.Width();
    const int32_t sh = s.Height();
    const int32_t mb = screen.MenuBarHeight();

    m_fFullScreen = (mode & kModeFullScreen) ? 1 : 0;
    gCRect r;
    if (m_fFullScreen) {
        r.right = sw;
        r.bottom = sh;
    } else if (size.x <= -1.0f || size.y <= -1.0f) {
        r.right = m_nClientWidth;
        r.bottom = m_nClientHeight;
    } else if (mode & kModeFractionSize) {
        r.right = Nearest(float(sw) * Clamp01(size.x));
        r.bottom = Nearest(float(sh) * Clamp01(size.y));
    } else {
        r.right = Nearest(size.x);
        r.bottom = Nearest(size.y);
    }
    if (r.Width() >= sw && r.Height() >= sh - mb) {
        r = s;
        m_fFullScreen = 1;
    }
    if (m_fFullScreen) {
        menuHidden = m_fOSMenuHidden;
        if (!m_fOSMenuHidden) {
            r.top += mb;
        }
        return r;
    }
    menuHidden = 0;

    gCPoint origin;
    if ((position.x == -1.0f && !(mode & kModeCentreX)) ||
        (position.y == -1.0f && !(mode & kModeCentreY))) {
        if (m_pBackdrop) {
            m_pBackdrop->LocalToDesktop(origin);
        }
    }
    const int32_t width = r.Width();
    const int32_t height = r.Height();
    int32_t dx = 0;
    if (mode & kModeCentreX) {
        dx = s.left + (sw / 2 - width / 2);
    } else if (position.x == -1.0f) {
        dx = origin.x;
    } else if (position.x < 0.0f) {
        dx = 0;
    } else if (mode & kModeFractionPosition) {
        dx = s.left + Nearest(float(sw) * position.x);
    } else {
        dx = s.left + Nearest(position.x);
    }
    const int32_t top = s.top + mb;
    const int32_t usable = s.bottom - top;
    int32_t dy = 0;
    if (mode & kModeCentreY) {
        dy = top + (usable / 2 - height / 2);
    } else if (position.y == -1.0f) {
        dy = origin.y;
    } else if (position.y < 0.0f) {
        dy = 0;
    } else if (mode & kModeFractionPosition) {
        dy = top + Nearest(float(usable) * position.y);
    } else {
        dy = top + Nearest(position.y);
    }
    r.left += dx;
    r.right += dx;
    r.top += dy;
    r.bottom += dy;
    return r;
}

void CMacWindow::PlaceWindow(const gCRect& content, bool fullScreen) {
    m_Origin = gCPoint(content.left, content.top);
    if (!m_pWindow) {
        return;
    }
    if (!fullScreen && (SDL_GetWindowFlags(m_pWindow.get()) & SDL_WINDOW_FULLSCREEN)) {
        SDL_SetWindowFullscreen(m_pWindow.get(), 0);
    }
    SDL_SetWindowSize(m_pWindow.get(), std::max(content.Width(), 1), std::max(content.Height(), 1));
    SDL_SetWindowPosition(m_pWindow.get(), content.left, content.top);
    if (fullScreen) {
        SDL_SetWindowFullscreen(m_pWindow.get(), SDL_WINDOW_FULLSCREEN_DESKTOP);
    }
}

error CMacWindow::SetWindowSizeAndPosition(int32_t mode, gCRPoint size, gCRPoint position,
                                           int32_t) {
    int32_t menuHidden = m_fOSMenuHidden;
    const gCRect r = GetWindowTargetSizeAndPosition(mode, size, position, menuHidden);
    const int32_t fullScreen = m_fFullScreen;
    if (error e = SetOSMenuHidden(menuHidden, 1)) {
        return e;
    }
    PlaceWindow(r, fullScreen && r == Screen().bounds);
    m_nClientWidth = r.Width();
    m_nClientHeight = r.Height();
    OnSize(m_nClientWidth, m_nClientHeight);
    return eNoError;
}

error CMacWindow::SetDisplayMode(int32_t width, int32_t height, int32_t) {
    if (width <= 0 || height <= 0) {
        return eBadParameter;
    }
    const gCRect s = Screen().bounds;
    width = std::min(width, s.Width());
    height = std::min(height, s.Height());
    if (width == s.Width() && height == s.Height()) {
        if (CAppMac* app = MacApp()) {
            app->SetMBarWasHidden(1);
            app->HideMBar();
        }
        PlaceWindow(gCRect(0, 0, width, height), true);
    } else {
        const int32_t x = (s.Width() - width) / 2;
        const int32_t y = (s.Height() - height) / 2;
        PlaceWindow(gCRect(x, y, x + width, y + height), false);
    }
    m_nClientWidth = width;
    m_nClientHeight = height;
    OnSize(width, height);
    return eNoError;
}

error CMacWindow::SetDisplayModeR(float fx, float fy, int32_t update) {
    const gCRect s = Screen().bounds;
    return SetDisplayMode(int32_t(fx * float(s.Width())), int32_t(fy * float(s.Height())), update);
}

error CMacWindow::SetPosition(int32_t x, int32_t y, int32_t) {
    m_Origin = gCPoint(int16_t(x), int16_t(y));
    if (m_pWindow) {
        SDL_SetWindowPosition(m_pWindow.get(), m_Origin.x, m_Origin.y);
    }
    return eNoError;
}

error CMacWindow::SetPosition(float fx, float fy, int32_t flag) {
    const gCRect s = Screen().bounds;
    return SetPosition(Nearest(fx * float(s.Width())), Nearest(fy * float(s.Height())), flag);
}

error CMacWindow::CentreWindow(int32_t flag) {
    const gCRect s = Screen().bounds;
    return SetPosition(s.Width() / 2 - m_nClientWidth / 2, s.Height() / 2 - m_nClientHeight / 2,
                       flag);
}

error CMacWindow::SetSizeAndPosition(int32_t x, int32_t y, int32_t width, int32_t height,
                                     int32_t flag) {
    // The answer is 9 whatever they did: a size of 0 or less (6) leaves the
    // size as it was, and a placement cannot fail.
    (void)SetDisplayMode(width, height, 1);
    (void)SetPosition(x, y, flag);
    return eNotImplemented;
}

gCPoint CMacWindow::ContentOrigin() const {
    if (!m_pWindow) {
        return m_Origin;
    }
    int x = 0;
    int y = 0;
    SDL_GetWindowPosition(m_pWindow.get(), &x, &y);
    return gCPoint(x, y);
}

error CMacWindow::ShowWindow(int32_t show) {
    if (!m_pWindow) {
        return eNoError;
    }
    if (!show) {
        SDL_HideWindow(m_pWindow.get());
        return eNoError;
    }
    SDL_ShowWindow(m_pWindow.get());
    TakeFocus();
    if (m_pBackdrop) {
        (void)m_pBackdrop->PassRedraw(); // what fails to show now shows when painted
    }
    return eNoError;
}

void CMacWindow::TakeFocus() {
    if (!m_pWindow || (SDL_GetWindowFlags(m_pWindow.get()) & SDL_WINDOW_HIDDEN)) {
        return;
    }
    SDL_RaiseWindow(m_pWindow.get());
    // Not every driver can; where the desktop refuses, no key comes.
    if (SDL_SetWindowInputFocus(m_pWindow.get()) == 0 ||
        SDL_GetKeyboardFocus() == m_pWindow.get()) {
        m_fActive = 1;
    }
}

void CMacWindow::DestroyWindow() {
    if (CAppBase::m_pApp) {
        CAppBase::m_pApp->ShowSystemCursor();
    }
    ReleasePlatformWindow();
    PostNcDestroy();
}

void CMacWindow::OnPaint() {
    if (!m_pBackdrop || !m_pBackdrop->BackBuffer()) {
        return;
    }
    CImage& buffer = *m_pBackdrop->BackBuffer();
    const gCRect whole(0, 0, buffer.GetWidth(), buffer.GetHeight());
    // A copy that fails now (no window surface yet, no memory) leaves the
    // screen to the next paint.
    (void)CopyToScreen(buffer, &whole, 1);
}

error CMacWindow::CopyToScreen(CImage& image, const gCRect* rects, int32_t count) {
    if (!m_pWindow || count <= 0) {
        return eNoError;
    }
    SDL_Surface* screen = SDL_GetWindowSurface(m_pWindow.get()); // the window's own
    if (!screen) {
        return eGenericFailure;
    }
    uint32_t* pixels = nullptr;
    const CImLocker lock(&image, pixels);
    if (!lock.IsLocked() || !pixels) {
        return eGenericFailure; // as Lock answers for an image without pixels
    }
    const int32_t w = image.GetWidth();
    const int32_t h = image.GetHeight();
    const SDLSurface source(
        SDL_CreateRGBSurfaceWithFormatFrom(pixels, w, h, 32, w * 4, SDL_PIXELFORMAT_ARGB8888));
    if (!source) {
        return eOutOfMemory;
    }
    SDL_SetSurfaceBlendMode(source.get(), SDL_BLENDMODE_NONE);
    std::vector<SDL_Rect> copied;
    copied.reserve(size_t(count));
    for (int32_t i = 0; i < count; ++i) {
        const gCRect& r = rects[i];
        const int32_t left = std::max(r.left, 0);
        const int32_t top = std::max(r.top, 0);
        const int32_t right = std::min({r.right, w, screen->w});
        const int32_t bottom = std::min({r.bottom, h, screen->h});
        if (right <= left || bottom <= top) {
            continue;
        }
        SDL_Rect from{left, top, right - left, bottom - top};
        SDL_Rect to = from;
        SDL_BlitSurface(source.get(), &from, screen, &to);
        copied.push_back(from);
    }
    if (!copied.empty()) {
        SDL_UpdateWindowSurfaceRects(m_pWindow.get(), copied.data(), int(copied.size()));
    }
    return eNoError;
}
