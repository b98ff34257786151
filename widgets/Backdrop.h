#pragma once
// The root widget of a window. The window holds exactly one and hands it
// every event, heartbeat and size change; the backdrop composites the whole
// tree into its back buffer, only where it is dirty, and hands those
// rectangles to the window. It fills the window's background (a colour, an
// optional tiled image, an optional linear or radial gradient), keeps the
// modal stack, the keyboard-focus record, the drawn cursors and the widget
// under the mouse.
//
// It serves the window's root role and its widget base with one override
// wherever they share a name. A backdrop is never deleted by its window:
// the window hands it back through ReleasedByWindow, and one released inside
// one of its own passes is deleted when that pass returns. Whatever it keeps
// that points into the tree (focus, rollover, modal entries, the cursor) is
// dropped when that widget leaves the tree.
//
//   std::unique_ptr<CBackdrop> backdrop(CBackdrop::CreateFromRes(name, nullptr, nullptr));
//   app.MakeWindow(backdrop.release(), ...);  // the window's from then on

#include <cstdint>
#include <memory>

#include "foundation/gCArray.h"
#include "imaging/CRegion.h"
#include "imaging/Gradient.h"
#include "imaging/Image.h"
#include "platform/WindowRoot.h"
#include "widgets/UnlessPooled.h"
#include "widgets/Widget.h"

inline constexpr uint32_t kBackdropTypeID = FourCC("bkdp");

class CRoRectWidget;

class CBackdrop : public CWidget, public CWindowRoot {
public:
    // One drawn cursor: the widget and the pointer's place inside it.
    struct StructCursorInfo {
        CWidget* m_pWidget = nullptr;
        int32_t m_nHotX = 0;
        int32_t m_nHotY = 0;
    };

    // What a backdrop block leaves for after its chunks: the cursors (names
    // and hot spots index by index), the default cursor, the background
    // image and gradient by name, and the full-screen flag.
    class CBWidgetDataHolder : public CWidgetDataHolder {
    public:
        CBWidgetDataHolder() = default;
        ~CBWidgetDataHolder() override = default;

        gCArray<gCString> m_aCursorNames;
        gCArray<gCPoint> m_aCursorHotSpots;
        gCString m_DefaultCursorName;
        gCString m_BackgroundImageName;
        int32_t m_fFullScreen = 0;
        gCString m_GradientName;
    };

    // Takes every event kind; invisible and without a back buffer until the
    // first SetSize.
    CBackdrop();
    // Deletes the back buffer, the background image and gradient unless a
    // pool holds them, the current cursor unless pooled, every stored cursor.
    ~CBackdrop() override;

    // A new backdrop loaded from its block, or null (the load failed and was
    // shown, or memory ran out).
    static CBackdrop* CreateFromRes(int32_t id, gCFile* file, gCResourceIndex* index);
    static CBackdrop* CreateFromRes(const gCString& name, gCFile* file, gCResourceIndex* index);
    // The chunk loop with the backdrop's parser, the children, then the
    // holder: background image, gradient, cursors, default cursor, full
    // screen. A failure there is shown and ends the load with 22.
    error SetFromResData(gCFile* file) override;
    // The backdrop's chunks; any other code goes to CWidget's parser.
    error ParseResData(int32_t code, gCMemFile* data, CBWidgetDataHolder* holder);

    uint32_t TypeID() const override { return kBackdropTypeID; }

    // --- Size and back buffer. The first call makes the back buffer and
    // shows the backdrop; a later one makes a new buffer of the new size. 5
    // when it cannot be made: the old buffer and the size stay.
    error SetSize(int32_t width, int32_t height, int32_t redraw) override;
    error SetSize(const gCPoint& size, int32_t redraw) override;
    int32_t Width() const override { return CWidget::Width(); }
    int32_t Height() const override { return CWidget::Height(); }
    // The size the resource asks for (10000 each for a full-screen one).
    gCPoint PositionerSize() const override;
    CImage* BackBuffer() const override { return m_pBackBuffer.get(); }
    const gCString& GetName() const override { return GetResName(); }
    // Changes the flag and, with a window, has the window keep the
    // backdrop's desktop place and size; without one the flag is only
    // stored.
    error SetWindowHasBorder(int32_t flag, int32_t redraw);
    int32_t WindowHasBorder() const { return m_fWindowHasBorder; }
    // The back-buffer pixel at a backdrop point; 0 outside the backdrop.
    CPixel GetColourAtPoint(const gCPoint& point) const;

    // --- Drawing. The dirty area is drawn only once creation is complete
    // and while redraws are not prevented: each rectangle is composited,
    // the cursor drawn over it, and the rectangles are copied to the
    // window. A failure is shown once (until a redraw succeeds again),
    // returned, and the dirty area kept.
    error PassRedraw() override;
    // Composites the dirty area without showing it: the area stays dirty.
    virtual error RedrawNoShow();
    // Front to back where something covers the area opaquely, the pieces
    // around it on their own, back to front where nothing does.
    virtual error CompositeArea(const gCRect& area);
    // The background: colour, tiled image and gradient.
    error RenderArea(const gCRect& area, CImage* target, uint32_t alpha) override;
    // Clipped to the backdrop and added to the dirty area; the redraw
    // follows when asked for, whether or not anything was added.
    error PassInvalidatedAreaToParent(const gCRect& local, int32_t redraw) override;
    error InvalidateClient(int32_t redraw) override { return CWidget::InvalidateClient(redraw); }
    int32_t OpaquePixel(gCPoint&) override { return 1; }
    // The backdrop is opaque everywhere: 255 over the part of the mask it
    // covers.
    error GetAlpha(CImage8* mask) override;
    error SetupInterface() override { return eNoError; }
    void CreationComplete() override { m_fCreationComplete = 1; }
    virtual int32_t IsCreationComplete() const { return m_fCreationComplete; }
    virtual int32_t RedrawPrevented() const { return m_fRedrawPrevented; }
    virtual void SetRedrawPrevented(int32_t prevented) { m_fRedrawPrevented = prevented; }
    virtual uint32_t RenderCycle() const { return m_nRenderCycle; }
    virtual void OrientationChangeComplete() {}
    void BackdropClosing() override {}
    // The dirty area: the rectangles the next redraw draws.
    const CRegion& DirtyRegion() const { return m_DirtyRegion; }

    // --- Modal widgets: the top one (the last pushed) takes every event
    // and broadcast. A hard-modal one also takes the whole heartbeat.
    // Refused (6) for null; 5 when the stack cannot grow.
    virtual error DoModal(CWidget* widget);
    virtual error DoSoftModal(CWidget* widget);
    // Drops the top entry; nothing on an empty stack.
    virtual void EndModal();
    int32_t ModalCount() const { return m_aModalStack.GetSize(); }
    CWidget* TopModal() const;

    // --- Routing: with a modal widget up, only its subtree; points come in
    // backdrop coordinates and reach it in its parent's. A press nobody
    // takes is broadcast to the modal widget as eMsgButtonDownL/M/R with
    // the backdrop and the converted point's address.
    int32_t PassMessage(uint32_t id, void* data, uintptr_t extra) override;
    error PassKeyDown(CWidget*& taker, uint32_t key) override;
    error PassKeyUp(CWidget*& taker, uint32_t key) override;
    error PassTimer(CWidget*& taker, uint32_t id) override;
    error PassHeartbeat() override;
    error PassMouseMove(CWidget*& taker, gCPoint& point) override;
    error PassButtonDownL(CWidget*& taker, gCPoint& point) override;
    error PassButtonUpL(CWidget*& taker, gCPoint& point) override;
    error PassButtonDownM(CWidget*& taker, gCPoint& point) override;
    error PassButtonUpM(CWidget*& taker, gCPoint& point) override;
    error PassMouseWheel(CWidget*& taker, int32_t delta, gCPoint& point) override;
    error PassButtonDownR(CWidget*& taker, gCPoint& point) override;
    error PassButtonUpR(CWidget*& taker, gCPoint& point) override;
    // The heartbeat as the interface's own clock gives it.
    virtual error UIHeartbeat() { return PassHeartbeat(); }

    // --- Rollover: the widget under the mouse, found each heartbeat.
    virtual void SetWidgetRolloverEnabled(int32_t on);
    virtual int32_t WidgetRolloverEnabled() const { return m_fRolloverEnabled; }
    virtual CWidget* WidgetRollover() const { return m_pRolloverWidget; }
    // The rollover widget while the window has the keyboard focus, else
    // null.
    virtual CWidget* WidgetRolloverIfActive() const;
    using CWidget::PassRolloverTest;
    void PassRolloverTest() override;
    // The rollover test for a point on the desktop other than the
    // pointer's: where a click was released.
    void PassRolloverTestAt(gCPoint desktop);
    void ClearRollover() override { m_pRolloverWidget = nullptr; }

    // --- Focus: records the focused widget and broadcasts the change.
    error PropagateSetFocus(CWidget* child, CWidget* focused, int32_t notify) override;
    CWidget* FocusWidget() const { return m_pFocusWidget; }

    // --- Desktop: the window content's top-left added or taken away (none
    // without a window); the rectangle forms convert both corners through
    // the point forms.
    void DesktopToLocal(gCPoint& point) override;
    void DesktopToLocal(gCRect& rect) override;
    void LocalToDesktop(gCPoint& point) override;
    void LocalToDesktop(gCRect& rect) override;

    // --- Drawn cursors. A stored cursor is pooled and deleted only with the
    // backdrop; a cursor set directly and not pooled is deleted when
    // replaced.
    virtual error AddCursorToArray(CWidget* widget, const gCPoint& hot);
    virtual error SetCursor(CWidget* widget, const gCPoint& hot);
    // 6 for an index outside the array, or no entry with that id or name.
    virtual error SetCursor(int32_t index);
    virtual error SetCursor(uint32_t id);
    virtual error SetCursor(const gCString& name);
    void UpdateCursorPos() override;
    void HideCursor() override;
    void ShowCursor() override;
    int32_t IsCursorVisible() override;
    CWidget* CurrentCursor() const { return m_pCursor; }
    int32_t CursorCount() const { return m_aCursors.GetSize(); }

    // --- The developer's inspector: with Control and Shift held, the
    // rollover widget flashes (0xFF404030 and 0xFFA0A0B8 in turn every
    // 250 ms) while the left button stays down; with Alt held after that,
    // the inspector panel opens over it, modal, for the widget that was
    // under the mouse when the flash began (when it is still in the tree).
    // 0 when the keys are not held or there is nothing to show, 2 when it
    // acted or told why not.
    virtual error TestWidgetDebug();

    // How the panel is made: it holds text widgets, which live above this
    // library, so the library that has them fills the hook when it
    // registers its classes. Create gives a new panel or null; Setup fills
    // it for the widget to show once it is sized and added; SubtreeLeaving
    // tells an open panel that a subtree is leaving the tree.
    struct SInspectorHook {
        CRoRectWidget* (*m_pCreate)() = nullptr;
        error (*m_pSetup)(CRoRectWidget* inspector, CWidget* shown) = nullptr;
        void (*m_pSubtreeLeaving)(CWidget* inspector, CWidget* leaving) = nullptr;
    };
    // Null leaves the backdrop without an inspector.
    static void SetInspectorHook(const SInspectorHook* hook) { s_pInspectorHook = hook; }
    static const SInspectorHook* InspectorHook() { return s_pInspectorHook; }
    // Whether the widget is an inspector panel: its id and name.
    static bool IsInspector(const CWidget* widget);

    // --- The tree's root.
    CWindowHost* HoldingWindow() const override { return Host(); }
    void SubtreeLeaving(CWidget* leaving) override;
    void ReleasedByWindow() override;

protected:
    // The holder's steps after the chunks.
    error ApplyHolder(CBWidgetDataHolder& holder, gCFile* file);
    // Modal routing of one pointer event.
    error RouteModalPoint(CWidget* top, error (CWidget::*pass)(CWidget*&, gCPoint&),
                          uint32_t pressMessage, CWidget*& taker, const gCPoint& point);
    // The press nobody took, offered to the modal widget.
    error PressNobodyTook(CWidget* top, uint32_t message, gCPoint& converted);
    // Broadcasts a focus change through the application.
    void BroadcastFocus(uint32_t id, CWidget* widget);
    // Shows a redraw failure once.
    error RedrawFailed(error e);

    std::unique_ptr<CImage> m_pBackBuffer;
    CRegion m_DirtyRegion;
    CWidget* m_pFocusWidget = nullptr;
    int32_t m_fCreationComplete = 0;
    int32_t m_fRedrawPrevented = 0;
    int32_t m_fWindowHasBorder = 1;
    CWidget* m_pCursor = nullptr;
    int32_t m_nCursorHotX = 0;
    int32_t m_nCursorHotY = 0;
    gCArray<StructCursorInfo> m_aCursors;
    std::unique_ptr<CImage, SDeleteUnlessPooled> m_pBackgroundImage;
    int32_t m_nGradientOpacity = 200;
    std::unique_ptr<CGradient, SDeleteUnlessPooled> m_pGradient;
    CPixel m_BackgroundColour = CPixel(0xFF303050u);
    float m_rGradientAngle = 0.0f;
    int32_t m_fRadialGradient = 0;
    float m_rGradientCentreX = 0.5f;
    float m_rGradientCentreY = 0.5f;
    gCArray<CWidget*> m_aModalStack;
    int32_t m_fRolloverEnabled = 0;
    CWidget* m_pRolloverWidget = nullptr;
    uint32_t m_nRenderCycle = 0;
    // Set once a redraw failure has been shown; cleared by a redraw that
    // succeeds.
    int32_t m_fRedrawFailureShown = 0;

private:
    // The flash marker over the widget while the button is held.
    error FlashWidget(CWidget* widget);
    // Makes, adds, fills and shows the inspector for the widget.
    error OpenInspector(CWidget* shown);

    static inline const SInspectorHook* s_pInspectorHook = nullptr;
};
