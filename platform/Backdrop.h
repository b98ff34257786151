#pragma once
// The window's root widget, as far as the platform layer uses it: the
// events the window hands down, its heartbeat, its back buffer and its
// redraw, the cursor it draws and the broadcast down its widget tree. This
// is the smallest form of the widget toolkit's backdrop: it keeps a back
// buffer the size of the window and takes no event; the widget toolkit
// replaces it with the real one.

#include <cstdint>
#include <memory>

#include "foundation/Error.h"
#include "foundation/Geometry.h"
#include "foundation/gCCmdTarget.h"
#include "foundation/gCString.h"
#include "imaging/Image.h"

class CWidget;

class CBackdrop : public gCCmdTarget {
public:
    CBackdrop() = default;
    ~CBackdrop() override;
    CBackdrop(const CBackdrop&) = delete;
    CBackdrop& operator=(const CBackdrop&) = delete;

    // Events from the window. `taken` starts null and names the widget that
    // consumed the event; points are window-content pixels.
    virtual error PassKeyDown(CWidget*& taken, uint32_t key);
    virtual error PassKeyUp(CWidget*& taken, uint32_t key);
    virtual error PassTimer(CWidget*& taken, uint32_t id);
    virtual error PassMouseMove(CWidget*& taken, gCPoint& where);
    virtual error PassButtonDownL(CWidget*& taken, gCPoint& where);
    virtual error PassButtonUpL(CWidget*& taken, gCPoint& where);
    virtual error PassButtonDownM(CWidget*& taken, gCPoint& where);
    virtual error PassButtonUpM(CWidget*& taken, gCPoint& where);
    virtual error PassButtonDownR(CWidget*& taken, gCPoint& where);
    virtual error PassButtonUpR(CWidget*& taken, gCPoint& where);
    virtual error PassMouseWheel(CWidget*& taken, int32_t delta, gCPoint& where);
    virtual error PassHeartbeat() { return eNoError; }
    virtual void PassRolloverTest() {}
    // Copies the whole back buffer to the window.
    virtual void PassRedraw();
    // Offers a broadcast to the widget tree; the first non-zero answer.
    virtual int32_t PassMessage(uint32_t, void*, uintptr_t) { return 0; }

    // Creates or resizes the back buffer and takes its size; 5 when the
    // back buffer cannot be made (the old one and the size stay).
    virtual error SetSize(int32_t width, int32_t height, int32_t flag);
    virtual void BackdropClosing() {}
    // Adds the window content's top-left on the desktop to the point.
    virtual void LocalToDesktop(gCPoint& point);
    virtual error SetupInterface() { return eNoError; }
    virtual void CreationComplete() { m_fCreationComplete = 1; }
    // Marks the whole client area for redrawing.
    virtual void InvalidateClient(int32_t) { m_fInvalid = 1; }

    // The cursor drawn as a widget.
    virtual void HideCursor() { m_fCursorVisible = 0; }
    virtual void ShowCursor() { m_fCursorVisible = 1; }
    virtual int32_t IsCursorVisible() { return m_fCursorVisible; }
    // Moves the drawn cursor to the mouse.
    virtual void UpdateCursorPos() {}

    int32_t Width() const { return m_nWidth; }
    int32_t Height() const { return m_nHeight; }
    // The size the backdrop asks for when the window is given none.
    virtual gCPoint PositionerSize() const { return gCPoint(m_nWidth, m_nHeight); }
    const gCString& GetName() const { return m_Name; }
    void SetName(const gCString& name) { m_Name = name; }
    // The back buffer, or null before the first SetSize.
    CImage* BackBuffer() const { return m_pBackBuffer.get(); }
    int32_t IsInvalid() const { return m_fInvalid; }
    // Whether the backdrop is registered as the data channel's UI module.
    bool IsUIModule() const { return m_pUIModule == this; }
    int32_t IsCreationComplete() const { return m_fCreationComplete; }

    // The widget under the mouse while rollover runs; null while the mouse
    // is outside the window.
    CWidget* m_pRolloverWidget = nullptr;

protected:
    int32_t m_fInvalid = 0;

private:
    std::unique_ptr<CImage> m_pBackBuffer;
    gCString m_Name;
    int32_t m_nWidth = 0;
    int32_t m_nHeight = 0;
    int32_t m_fCursorVisible = 0;
    int32_t m_fCreationComplete = 0;
};
