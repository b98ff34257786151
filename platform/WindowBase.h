#pragma once
// The platform-neutral half of the one application window: it routes
// events to the backdrop, applies the keys no widget took, keeps the
// backdrop's size equal to the client size and runs the backdrop's
// heartbeat. CMacWindow implements everything that touches the window
// system. The window is its root's host (WindowRoot.h).

#include <cstdint>
#include <memory>

#include "foundation/Error.h"
#include "foundation/Geometry.h"
#include "foundation/Input.h"
#include "foundation/gCBaseObject.h"
#include "foundation/gCString.h"
#include "platform/WindowRoot.h"

class CImage;

// Display-mode bits.
constexpr int32_t kModeFullScreen = 0x01;
constexpr int32_t kModeCentreX = 0x02;
constexpr int32_t kModeCentreY = 0x04;
constexpr int32_t kModeFractionPosition = 0x08;
constexpr int32_t kModeFractionSize = 0x10;
constexpr int32_t kModeResizable = 0x20;

class CWindowBase : public gCBaseObject, public CWindowHost {
public:
    CWindowBase() { m_pThis = this; }
    ~CWindowBase() override;
    CWindowBase(const CWindowBase&) = delete;
    CWindowBase& operator=(const CWindowBase&) = delete;

    // Creation: 1 on success, 0 on failure.
    virtual int32_t MakeWindow(int32_t width, int32_t height, const gCString& title,
                               int32_t style) = 0;
    virtual error SetDisplayMode(int32_t width, int32_t height, int32_t update) = 0;
    virtual error SetDisplayModeR(float fx, float fy, int32_t update) = 0;
    // Takes a new root, gives it the old one's size and hands the old one
    // back through its release.
    virtual error AttachBackdrop(CWindowRoot* backdrop);
    virtual error ShowWindow(int32_t show) = 0;
    virtual error SetWindowIcon(uint32_t) { return eNoError; }
    // Disposes of the platform window and deletes this object.
    virtual void DestroyWindow() = 0;
    virtual error SetPosition(int32_t x, int32_t y, int32_t flag) = 0;
    virtual error SetPosition(gCPoint where, int32_t) { return SetPosition(where.x, where.y, 1); }
    virtual error SetPosition(float fx, float fy, int32_t flag) = 0;
    virtual error SetPosition(gCRPoint where, int32_t) { return SetPosition(where.x, where.y, 1); }
    virtual error CenterWindow(int32_t) { return CentreWindow(1); }
    virtual error CentreWindow(int32_t flag) = 0;
    error SetSizeAndPosition(int32_t x, int32_t y, int32_t width, int32_t height,
                             int32_t flag) override = 0;
    virtual error SetSize(int32_t width, int32_t height, int32_t update) {
        return SetDisplayMode(width, height, update);
    }
    virtual error SetSize(float fx, float fy, int32_t update) {
        return SetDisplayModeR(fx, fy, update);
    }
    virtual error SetWindowSizeAndPosition(int32_t mode, gCRPoint size, gCRPoint position,
                                           int32_t flag) = 0;
    // The content rectangle of a display mode in desktop coordinates.
    virtual gCRect GetWindowTargetSizeAndPosition(int32_t mode, gCRPoint size, gCRPoint position,
                                                  int32_t& menuHidden) = 0;
    virtual error SetOSMenuHidden(int32_t hide, int32_t flag);
    virtual void PlatformSetOSMenuHidden(int32_t hide, int32_t flag) = 0;

    virtual error Heartbeat();
    virtual void OnKeyDown(uint32_t key);
    virtual void OnKeyUp(uint32_t key);
    virtual void OnTimer(uint32_t id);
    virtual void OnLButtonDown(gCPoint where);
    virtual void OnLButtonUp(gCPoint where);
    virtual void OnMButtonDown(gCPoint where);
    virtual void OnMButtonUp(gCPoint where);
    virtual void OnMouseWheel(int32_t delta, gCPoint where);
    virtual void OnMouseMove(gCPoint where);
    virtual void OnRButtonDown(gCPoint where);
    virtual void OnRButtonUp(gCPoint where);
    virtual void OnSize(int32_t width, int32_t height);
    // Copies the whole back buffer to the window.
    virtual void OnPaint() = 0;
    virtual int32_t IsMouseInWindow() = 0;
    virtual void SetSysKeyOverride(int32_t) {}
    virtual int32_t SysKeyOverride() { return 0; }
    // Tells the backdrop the window closes, hands it back through its
    // release and gives up being the live window.
    virtual void ReleaseSystem();

    // The host's side: CopyToScreen and ContentOrigin come from the window
    // system's half; the window is active while it has the keyboard focus.
    int32_t IsActive() const override { return m_fActive; }

    CWindowRoot* GetBackdrop() const { return m_pBackdrop.get(); }
    int32_t ClientWidth() const { return m_nClientWidth; }
    int32_t ClientHeight() const { return m_nClientHeight; }
    int32_t IsOSMenuHidden() const { return m_fOSMenuHidden; }
    int32_t IsFullScreen() const { return m_fFullScreen; }
    // Set by the application before the window is made.
    void PresetOSMenuHidden(int32_t hidden) { m_fOSMenuHidden = hidden; }

    // The one live window.
    static inline CWindowBase* m_pThis = nullptr;
    // Non-zero while the window has the keyboard focus: the rollover test
    // then runs whatever the mouse position.
    static inline int32_t m_fActive = 0;

protected:
    // Whether a window is still the live one (an event handler may have
    // quit the application, which destroys the window). Static, so that it
    // can be asked about a window that may be gone without touching it.
    static bool IsLive(const CWindowBase* window) { return m_pThis == window; }

    int32_t m_nClientWidth = 0;
    int32_t m_nClientHeight = 0;
    std::unique_ptr<CWindowRoot, CWindowRoot::Releaser> m_pBackdrop;
    int32_t m_fOSMenuHidden = 0;
    int32_t m_fFullScreen = 1;
};
