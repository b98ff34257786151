#include "testsupport/platform/HeadlessWindow.h"

#include <cstdlib>
#include <cstring>
#include <new>

#include <SDL.h>

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
    CInputEvent e;
    e.kind = EInputKind::eWindow;
    e.change = EWindowChange::eFocusGained;
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
    void* from = nullptr;
    void* to = nullptr;
    if (!copy || buffer->Lock(from) != eNoError) {
        return nullptr;
    }
    if (copy->Lock(to) == eNoError) {
        std::memcpy(to, from, size_t(w) * size_t(h) * 4);
        copy->Unlock();
    }
    buffer->Unlock();
    return copy;
}

void HeadlessWindow::SetBackPixel(int32_t x, int32_t y, uint32_t pixel) {
    CImage* buffer = backdrop->BackBuffer();
    void* pixels = nullptr;
    ASSERT_EQ(buffer->Lock(pixels), eNoError);
    static_cast<uint32_t*>(pixels)[y * buffer->GetWidth() + x] = pixel;
    buffer->Unlock();
}

uint32_t HeadlessWindow::ScreenPixel(int32_t x, int32_t y) const {
    SDL_Surface* surface = SDL_GetWindowSurface(Main()->GetSDLWindow());
    if (!surface || surface->format->BytesPerPixel != 4) {
        ADD_FAILURE() << "no 32-bit window surface";
        return 0;
    }
    SDL_LockSurface(surface);
    const auto* row = static_cast<const uint8_t*>(surface->pixels) + y * surface->pitch;
    const uint32_t word = reinterpret_cast<const uint32_t*>(row)[x];
    SDL_UnlockSurface(surface);
    Uint8 r = 0, g = 0, b = 0;
    SDL_GetRGB(word, surface->format, &r, &g, &b);
    return uint32_t(r) << 16 | uint32_t(g) << 8 | b;
}
