#include "testsupport/platform/HeadlessWindow.h"

#include <cstdlib>
#include <cstring>
#include <new>

#include <SDL.h>

#include "imaging/ImLocker.h"

namespace {

// An SDL surface locked for reading its pixels while this lives.
class CSurfaceLock {
public:
    explicit CSurfaceLock(SDL_Surface* surface)
        : m_pSurface(surface), m_fLocked(SDL_LockSurface(surface) == 0) {}
    ~CSurfaceLock() {
        if (m_fLocked) {
            SDL_UnlockSurface(m_pSurface);
        }
    }
    CSurfaceLock(const CSurfaceLock&) = delete;
    CSurfaceLock& operator=(const CSurfaceLock&) = delete;

    bool IsLocked() const { return m_fLocked; }

private:
    SDL_Surface* m_pSurface;
    bool m_fLocked;
};

} // namespace

void HeadlessWindow::SetUp() {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
    s_Screen.bounds = gCRect(0, 0, 1280, 1024);
    s_Screen.usable = gCRect(0, kMenuBar, 1280, 1024);
    CMacWindow::SetScreenSource(&FakeScreen);
    ASSERT_EQ(app.InitServices(), eNoError);
}

void HeadlessWindow::TearDown() {
    if (CAppBase::m_pMainWnd) {
        app.CAppMac::DoSystemQuit();
    }
    app.ClearInput();
    CMacWindow::SetScreenSource(nullptr);
    SDL_Quit();
}

CMacWindow* HeadlessWindow::MakeMain(int32_t mode, gCRPoint size, gCRPoint position,
                                     int32_t menuFlag) {
    backdrop = new CRecordingBackdrop; // the window owns it
    return MakeMainAround(backdrop, mode, size, position, menuFlag);
}

CMacWindow* HeadlessWindow::MakeMainAround(CWindowRoot* root, int32_t mode, gCRPoint size,
                                           gCRPoint position, int32_t menuFlag) {
    EXPECT_EQ(app.MakeWindow(root, -1, mode, size, position, "Test", menuFlag), eNoError);
    return Main();
}

void HeadlessWindow::Focus() {
    SendWindowChange(EWindowChange::eFocusGained);
}

void HeadlessWindow::SendWindowChange(EWindowChange change) {
    CInputEvent e;
    e.kind = EInputKind::eWindow;
    e.change = change;
    e.windowID = Main() ? SDL_GetWindowID(Main()->GetSDLWindow()) : 0;
    app.InjectInput(e);
    app.PumpMessage();
}

std::unique_ptr<CImage> HeadlessWindow::CaptureBackBuffer() const {
    CWindowRoot* root = Main() ? Main()->GetBackdrop() : nullptr;
    CImage* buffer = root ? root->BackBuffer() : nullptr;
    if (!buffer) {
        return nullptr;
    }
    const int32_t w = buffer->GetWidth();
    const int32_t h = buffer->GetHeight();
    auto copy = std::unique_ptr<CImage>(new (std::nothrow) CImage(w, h, 1));
    if (!copy) {
        return nullptr;
    }
    {
        const uint32_t* from = nullptr;
        uint32_t* to = nullptr;
        const CImLocker fromLock(buffer, from);
        const CImLocker toLock(copy.get(), to);
        if (!fromLock.IsLocked() || !toLock.IsLocked() || !from || !to) {
            return nullptr; // never a copy that holds nothing of the original
        }
        std::memcpy(to, from, size_t(w) * size_t(h) * 4);
    }
    return copy;
}

void HeadlessWindow::SetBackPixel(int32_t x, int32_t y, uint32_t pixel) {
    CImage* buffer = backdrop->BackBuffer();
    uint32_t* pixels = nullptr;
    const CImLocker lock(buffer, pixels);
    ASSERT_TRUE(lock.IsLocked() && pixels);
    pixels[y * buffer->GetWidth() + x] = pixel;
}

uint32_t HeadlessWindow::ScreenPixel(int32_t x, int32_t y) const {
    SDL_Surface* surface = SDL_GetWindowSurface(Main()->GetSDLWindow());
    if (!surface || surface->format->BytesPerPixel != 4) {
        ADD_FAILURE() << "no 32-bit window surface";
        return 0;
    }
    uint32_t word = 0;
    {
        const CSurfaceLock lock(surface);
        if (!lock.IsLocked()) {
            ADD_FAILURE() << "the window surface cannot be locked: " << SDL_GetError();
            return 0;
        }
        const auto* row = static_cast<const uint8_t*>(surface->pixels) + y * surface->pitch;
        word = reinterpret_cast<const uint32_t*>(row)[x];
    }
    Uint8 r = 0, g = 0, b = 0;
    SDL_GetRGB(word, surface->format, &r, &g, &b);
    return uint32_t(r) << 16 | uint32_t(g) << 8 | b;
}
