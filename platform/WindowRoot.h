#pragma once
// The two sides of the window and the root of everything drawn in it.
//
// CWindowRoot is what the window asks of its root (the widget toolkit's
// backdrop fills it in): the events the window passes down, heartbeat and
// rollover, broadcasts, size and back buffer, the drawn cursor, and the
// release of the root. The window never deletes its root: it hands it back
// through ReleasedByWindow, so that a root released inside one of its own
// passes can delete itself when that pass returns.
//
// CWindowHost is what the root asks of the window that holds it: copying
// back-buffer rectangles to the screen, the content area's place on the
// desktop, a new size and place, and whether the window is active. A root
// reaches its window only through the host it was given; a root without a
// host (in tests, in the resource compiler) has no window.
//
// The widget toolkit's backdrop serves both this role and its widget base
// with one override wherever they share a name, so these signatures are the
// widget tree's own.

#include <cstdint>

#include "foundation/Error.h"
#include "foundation/Geometry.h"
#include "foundation/gCString.h"

class CImage;
class CWidget;
class CWindowHost;

class CWindowRoot {
public:
    CWindowRoot() = default;
    CWindowRoot(const CWindowRoot&) = delete;
    CWindowRoot& operator=(const CWindowRoot&) = delete;

    // Events from the window. `taken` starts null and names the widget that
    // consumed the event; points are window-content pixels.
    virtual error PassKeyDown(CWidget*& taken, uint32_t key) = 0;
    virtual error PassKeyUp(CWidget*& taken, uint32_t key) = 0;
    virtual error PassTimer(CWidget*& taken, uint32_t id) = 0;
    virtual error PassMouseMove(CWidget*& taken, gCPoint& where) = 0;
    virtual error PassButtonDownL(CWidget*& taken, gCPoint& where) = 0;
    virtual error PassButtonUpL(CWidget*& taken, gCPoint& where) = 0;
    virtual error PassButtonDownM(CWidget*& taken, gCPoint& where) = 0;
    virtual error PassButtonUpM(CWidget*& taken, gCPoint& where) = 0;
    virtual error PassButtonDownR(CWidget*& taken, gCPoint& where) = 0;
    virtual error PassButtonUpR(CWidget*& taken, gCPoint& where) = 0;
    virtual error PassMouseWheel(CWidget*& taken, int32_t delta, gCPoint& where) = 0;
    virtual error PassHeartbeat() = 0;
    virtual void PassRolloverTest() = 0;
    // The mouse left the window: nothing stays highlighted.
    virtual void ClearRollover() = 0;
    // Offers a broadcast to the tree; the first non-zero answer.
    virtual int32_t PassMessage(uint32_t id, void* data, uintptr_t extra) = 0;
    // Draws what needs drawing into the back buffer and copies it to the
    // window.
    virtual error PassRedraw() = 0;

    // Resizes the root and its back buffer; 5 when the back buffer cannot
    // be made (the old one and the size stay).
    virtual error SetSize(int32_t width, int32_t height, int32_t flag) = 0;
    virtual int32_t Width() const = 0;
    virtual int32_t Height() const = 0;
    // The size the root asks for when the window is given none.
    virtual gCPoint PositionerSize() const = 0;
    // The back buffer the window copies to the screen, or null.
    virtual CImage* BackBuffer() const = 0;
    // Marks the whole client area for redrawing.
    virtual error InvalidateClient(int32_t redraw) = 0;
    // Adds the window content's top-left on the desktop to the point.
    virtual void LocalToDesktop(gCPoint& point) = 0;
    // The name the window takes as its title when given none.
    virtual const gCString& GetName() const = 0;

    // Building: once the window exists, then once it is complete.
    virtual error SetupInterface() = 0;
    virtual void CreationComplete() = 0;
    // The window is closing.
    virtual void BackdropClosing() = 0;

    // The cursor the root draws.
    virtual void HideCursor() = 0;
    virtual void ShowCursor() = 0;
    virtual int32_t IsCursorVisible() = 0;
    // Moves the drawn cursor to the mouse.
    virtual void UpdateCursorPos() = 0;

    // The window that holds this root, or null.
    CWindowHost* Host() const { return m_pHost; }
    // Set by the window when it takes the root, cleared when it lets it go.
    void SetHost(CWindowHost* host) { m_pHost = host; }

    // The window has let this root go (its host is already cleared): the
    // root deletes itself, at once or when its outermost pass returns.
    virtual void ReleasedByWindow() = 0;

    // Hands a root back through ReleasedByWindow: the window's owner of its
    // root.
    struct Releaser {
        void operator()(CWindowRoot* root) const {
            root->SetHost(nullptr);
            root->ReleasedByWindow();
        }
    };

protected:
    // Only ReleasedByWindow (or its owner) deletes a root.
    virtual ~CWindowRoot() = default;

private:
    CWindowHost* m_pHost = nullptr;
};

class CWindowHost {
public:
    // Copies rectangles of an image the size of the client area to the same
    // places in the window, at once (no wait for the display's refresh).
    // Rectangles are clipped to the image and the window.
    virtual error CopyToScreen(CImage& image, const gCRect* rects, int32_t count) = 0;
    // The content area's top-left on the desktop.
    virtual gCPoint ContentOrigin() const = 0;
    // Sizes and places the window's content area in desktop pixels.
    virtual error SetSizeAndPosition(int32_t x, int32_t y, int32_t width, int32_t height,
                                     int32_t flag) = 0;
    // Whether the window has the keyboard focus.
    virtual int32_t IsActive() const = 0;

protected:
    ~CWindowHost() = default;
};
