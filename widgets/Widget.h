#pragma once
// The base of every element of the interface. Widgets form a tree: a widget
// owns its children (its child list is their owner: a widget handed to
// AddChild belongs to the parent from then on and is deleted by it), its
// effects and its user objects. Index 0 of the child list is the front: it
// is drawn last and hit first.
//
// A widget's rect is in its parent's client coordinates (origin at the
// parent's top-left corner); its local coordinates start at its own
// top-left corner. The positioner keeps the placement rules a resource
// gave (fractions of the parent, far-side measuring, centring) and
// RecalcSizePosition turns them into the rect.
//
// Events come in at the root and travel down through the Pass operations.
// A widget takes part only while it is visible, active and its event mask
// has the event's bit; a handler is either a registered plain function
// with its context pointer or, when none is registered, the class's
// virtual handler. A non-zero error ends the routing and travels back to
// the root unchanged.
//
// Handlers may change the tree they are called from, or end the program:
// - A widget leaves the tree (out of its parent's list, parent cleared)
//   before it is deleted, and every pointer into its subtree is dropped:
//   its parent's focus child, and whatever the root keeps (the root is told
//   through SubtreeLeaving).
// - While any routing pass or redraw runs (CPassScope, one count for the
//   process), deleting waits: DeleteWhenSafe queues the widget and it is
//   deleted when the outermost pass returns.
// - Each routing step offers the event to the children it had when it
//   began that are still its children, each at most once, in the usual
//   order; and it stops (result 0) once the widget has left the tree it
//   was in, or the window that held that tree has let it go
//   (HoldingWindow).
//
// Setters that change what is on screen take a trailing redraw flag: when
// it is non-zero the operation ends with PassRedraw, which climbs to the
// root, where the dirty area is drawn. Without it the change is only
// recorded as dirty area, handed up through PassInvalidatedAreaToParent.

#include <cstdint>

#include "FileIO/FileTypes.h"
#include "FileIO/gCResourceObject.h"
#include "foundation/Error.h"
#include "foundation/Geometry.h"
#include "foundation/gCArray.h"
#include "foundation/gCBaseObject.h"
#include "foundation/gCString.h"

class CImage;
class CImage8;
class CWidgetEffectBase;
class gCFile;
class gCMemFile;
class gCResourceIndex;
class CWindowHost;

// The type codes that code elsewhere tests: a plain 'wdgt' widget is a
// container that draws nothing of its own, and a 'drwg' widget is not
// invalidated by the size setters.
inline constexpr uint32_t kWidgetTypeID = FourCC("wdgt");
inline constexpr uint32_t kDrawingWidgetTypeID = FourCC("drwg");

class CWidget : public gCResourceObject {
public:
    // The event mask: which event kinds the widget takes.
    enum EEventMask : uint32_t {
        eKeyEvent = 0x1, // key down and key up
        eTimerEvent = 0x2,
        eHeartbeatEvent = 0x4,
        eMouseMoveEvent = 0x8,
        eLButtonEvent = 0x10, // left button down and up
        eMButtonEvent = 0x20,
        eRButtonEvent = 0x40,
        eMessageEvent = 0x80, // broadcasts; the only bit set at construction
        eMouseWheelEvent = 0x100,
    };

    // The entries of the callback table, in order (EventProc's index).
    enum ECallbackEntry : int32_t {
        eKeyDownEntry = 0,
        eKeyUpEntry,
        eTimerEntry,
        eHeartbeatEntry,
        eMouseMoveEntry,
        eButtonDownLEntry,
        eButtonUpLEntry,
        eButtonDownMEntry,
        eButtonUpMEntry,
        eButtonDownREntry,
        eButtonUpREntry,
        eMessageEntry,
        eRenderEntry,
        eMouseWheelEntry,
        eCallbackCount,
    };

    // Callbacks: the context given at registration comes first, then the
    // widget that calls. A handler that takes an event stores a widget
    // (normally itself) in the taker; points are in the widget's local
    // coordinates. Note the wheel: the callback takes the point before the
    // delta, the virtual handler the delta before the point.
    using KeyProc = error (*)(void* user, CWidget* widget, CWidget*& taker, uint32_t code);
    using HeartbeatProc = error (*)(void* user, CWidget* widget);
    using PointProc = error (*)(void* user, CWidget* widget, CWidget*& taker, gCPoint& point);
    using MessageProc = int32_t (*)(void* user, CWidget* widget, uint32_t id, void* data,
                                    uintptr_t extra);
    using RenderProc = error (*)(void* user, CWidget* widget, const gCRect& area, CImage* target,
                                 uint32_t alpha);
    using WheelProc = error (*)(void* user, CWidget* widget, CWidget*& taker, gCPoint& point,
                                int32_t delta);
    // How EventProc hands out an entry's function: cast back to the entry's
    // own type before calling it.
    using AnyProc = void (*)();

    // The placement rules from the resource. Positions and sizes are in
    // pixels, or fractions of the parent's size when their fraction flag is
    // set.
    struct SPositioner {
        float m_rXPos = 0.0f;
        float m_rYPos = 0.0f;
        int32_t m_fXPosFraction = 0;
        int32_t m_fYPosFraction = 0;
        int32_t m_fXFarSide = 0; // x measured from the parent's right
        int32_t m_fYFarSide = 0;
        float m_rXSize = 0.0f;
        float m_rYSize = 0.0f;
        int32_t m_fXSizeFraction = 0;
        int32_t m_fYSizeFraction = 0;
        int32_t m_fXParentMinus = 0; // width = parent width - x size
        int32_t m_fYParentMinus = 0;
        int32_t m_fXMinusOwn = 0; // left = x - width
        int32_t m_fYMinusOwn = 0;
        int32_t m_fXCentre = 0;
        int32_t m_fYCentre = 0;
    };

    // Held by every routing pass and by the redraw: while one is alive
    // anywhere, DeleteWhenSafe only queues. Nested pumps nest like any
    // other pass.
    class CPassScope {
    public:
        CPassScope() { ++s_nPassDepth; }
        // The outermost scope deletes what was queued meanwhile.
        ~CPassScope();
        CPassScope(const CPassScope&) = delete;
        CPassScope& operator=(const CPassScope&) = delete;
    };
    // How many passes are running.
    static int32_t PassDepth() { return s_nPassDepth; }
    // Takes the widget out of its tree (without invalidation) and deletes
    // it: at once when no pass runs, else when the outermost pass returns.
    // Null is ignored, and so is a widget already waiting.
    static void DeleteWhenSafe(CWidget* widget);

    // What one widget block's chunks leave for after the block is read: the
    // children of its "hier" chunk, type code and block name each, in the
    // order read. Each class with more to keep derives its own.
    class CWidgetDataHolder : public gCBaseObject {
    public:
        CWidgetDataHolder() = default;
        ~CWidgetDataHolder() override = default;

        gCArray<int32_t> m_aHierarchyTypes;
        gCArray<gCString> m_aHierarchyNames;
    };

    // Invisible, active, able to take the focus, opacity 255, only
    // broadcasts enabled, all rects 0.
    CWidget();
    // Tells the effects that the area changes (while it still has a
    // parent and is visible), takes the widget out of a parent's list it
    // is still in, then deletes the children, the effects and the user
    // objects. Delete a widget that is part of a tree through RemoveChild
    // or DeleteWhenSafe, never directly from inside a pass.
    ~CWidget() override;
    CWidget(const CWidget&) = delete;
    CWidget& operator=(const CWidget&) = delete;

    // --- Loading from a widget block of the resource file. A null file,
    // or the application's, is the application's file with its index. The
    // block of this class's TypeID with that id or name is found and read
    // by SetFromResData. Every failure is shown and returned; a widget
    // loaded in place keeps what the chunks before the failure set and the
    // children built before a failed child.
    error GetFromRes(int32_t id, gCFile* file, gCResourceIndex* index);
    error GetFromRes(const gCString& name, gCFile* file, gCResourceIndex* index);
    // A new widget loaded by GetFromRes, or null (the widget deleted).
    static CWidget* CreateFromRes(int32_t id, gCFile* file, gCResourceIndex* index);
    static CWidget* CreateFromRes(const gCString& name, gCFile* file, gCResourceIndex* index);
    // Reads the block's data at the file's position: a size, checked
    // against what is left of the block, then the chunks through the
    // class's parser, then the children. Each class runs the same loop with
    // its own parser and holder.
    virtual error SetFromResData(gCFile* file);
    // One chunk whose code has been read, leaving data at the next code. A
    // code no parser knows is refused (6, after "Unrecognised chunk in
    // widget."); a short payload is shown with the chunk's text and
    // returned.
    error ParseResData(int32_t code, gCMemFile* data, CWidgetDataHolder* holder);
    // Builds the holder's children in order, each put in front. A child
    // that cannot be built, or whose block is one being loaded around it
    // (a cycle), is shown with its name and ends it with 22.
    error ConstructHierarchy(CWidgetDataHolder* holder, gCFile* file);

    // --- Handlers: the class's own, used when no callback is registered.
    // CWidget's take nothing and return 0. Broadcasts arrive at Message.
    virtual error KeyDown(CWidget*& taker, uint32_t key);
    virtual error KeyUp(CWidget*& taker, uint32_t key);
    virtual error Timer(CWidget*& taker, uint32_t id);
    virtual error Heartbeat();
    virtual error MouseMove(CWidget*& taker, gCPoint& point);
    virtual error ButtonDownL(CWidget*& taker, gCPoint& point);
    virtual error ButtonUpL(CWidget*& taker, gCPoint& point);
    virtual error ButtonDownM(CWidget*& taker, gCPoint& point);
    virtual error ButtonUpM(CWidget*& taker, gCPoint& point);
    virtual error MouseWheel(CWidget*& taker, int32_t delta, gCPoint& point);
    virtual error ButtonDownR(CWidget*& taker, gCPoint& point);
    virtual error ButtonUpR(CWidget*& taker, gCPoint& point);

    // A broadcast: the widget's own callback (or Message) first, then each
    // child from the front; the first non-zero answer ends it.
    virtual int32_t PassMessage(uint32_t id, void* data, uintptr_t extra);

    // --- Callbacks. Each setter replaces its entry (a null function
    // restores the virtual handler) and switches its event on for this
    // widget alone; SetRenderProc only stores.
    virtual void SetKeyDown(KeyProc proc, void* user);
    virtual void SetKeyUp(KeyProc proc, void* user);
    virtual void SetTimer(KeyProc proc, void* user);
    virtual void SetHeartbeat(HeartbeatProc proc, void* user);
    virtual void SetMouseMove(PointProc proc, void* user);
    virtual void SetButtonDownL(PointProc proc, void* user);
    virtual void SetButtonUpL(PointProc proc, void* user);
    virtual void SetButtonDownM(PointProc proc, void* user);
    virtual void SetButtonUpM(PointProc proc, void* user);
    virtual void SetButtonDownR(PointProc proc, void* user);
    virtual void SetButtonUpR(PointProc proc, void* user);
    virtual void SetMessage(MessageProc proc, void* user);
    virtual void SetRenderProc(RenderProc proc, void* user);
    virtual void SetMouseWheel(WheelProc proc, void* user);
    // The function of entry n (ECallbackEntry), or null, also for an n
    // outside the table.
    virtual AnyProc EventProc(int32_t entry) const;

    // Sets the callback on every widget of the subtree that has the
    // event's bit, the widget itself unless skipSelf is non-zero; a widget
    // without the bit is left alone with its whole subtree.
    virtual void SetHierarchyKeyDown(KeyProc proc, void* user, int32_t skipSelf);
    virtual void SetHierarchyKeyUp(KeyProc proc, void* user, int32_t skipSelf);
    virtual void SetHierarchyTimer(KeyProc proc, void* user, int32_t skipSelf);
    virtual void SetHierarchyHeartbeat(HeartbeatProc proc, void* user, int32_t skipSelf);
    virtual void SetHierarchyMouseMove(PointProc proc, void* user, int32_t skipSelf);
    virtual void SetHierarchyButtonDownL(PointProc proc, void* user, int32_t skipSelf);
    virtual void SetHierarchyButtonUpL(PointProc proc, void* user, int32_t skipSelf);
    virtual void SetHierarchyButtonDownM(PointProc proc, void* user, int32_t skipSelf);
    virtual void SetHierarchyButtonUpM(PointProc proc, void* user, int32_t skipSelf);
    virtual void SetHierarchyButtonDownR(PointProc proc, void* user, int32_t skipSelf);
    virtual void SetHierarchyButtonUpR(PointProc proc, void* user, int32_t skipSelf);
    virtual void SetHierarchyMessage(MessageProc proc, void* user, int32_t skipSelf);
    virtual void SetHierarchyMouseWheel(WheelProc proc, void* user, int32_t skipSelf);

    // ORs the bits into the mask; with upward set, into every ancestor's
    // too, so that the events reach this widget.
    virtual void EnableEvent(uint32_t bits, int32_t upward);
    // Clears the bits in this widget's mask only.
    virtual void DisableEvent(uint32_t bits);
    virtual uint32_t EventsHandled() const { return m_nEventMask; }
    // Children are drawn with this widget's accumulated alpha while set.
    virtual error SetPropagateOpacity(int32_t on, int32_t redraw);
    virtual int32_t PropagateOpacity() const { return m_fPropagateOpacity; }
    // The class's four-character code; kWidgetTypeID here.
    virtual uint32_t TypeID() const { return kWidgetTypeID; }

    // --- User slots, index 0..7. The setters answer 1 and store, or 0 and
    // store nothing for another index; the getters answer 0 / null there.
    // The widget owns its user objects: DestroyUserObjects (and the
    // destructor) deletes each once. Setting a slot does not delete what
    // was in it; that object goes back to the caller.
    virtual void DestroyUserObjects();
    virtual int32_t SetUserData(uint32_t index, uint32_t value);
    virtual uint32_t GetUserData(uint32_t index) const;
    virtual int32_t SetUserObject(uint32_t index, gCResourceObject* object);
    virtual gCResourceObject* GetUserObject(uint32_t index) const;

    // --- Size and flags. The size setters clear the axis's fraction and
    // parent-minus flags, store the size and recalculate; then the whole
    // area is invalidated (not for 'drwg' widgets) and the redraw follows.
    virtual error SetSize(int32_t width, int32_t height, int32_t redraw);
    virtual error SetSize(const gCPoint& size, int32_t redraw);
    virtual error SetWidth(int32_t width, int32_t redraw);
    virtual error SetHeight(int32_t height, int32_t redraw);
    // A change is invalidated while the widget is visible; the redraw
    // flag is honoured whether or not the value changed.
    virtual error SetVisibility(int32_t visible, int32_t redraw);
    virtual void SetActive(int32_t active) { m_fActive = active; }
    // Stored as given (a resource may hold more than 255); the same
    // invalidation as SetVisibility when it changes on a visible widget.
    virtual error SetOpacity(uint32_t opacity, int32_t redraw);
    virtual void SetStayInParent(int32_t stay) { m_fStayInParent = stay; }
    virtual void SetOpaqueThreshold(uint32_t threshold) { m_nOpaqueThreshold = threshold; }
    virtual void SetOpaqueBlit(int32_t opaque) { m_fOpaqueBlit = opaque; }
    virtual void SetCanGetFocus(int32_t can) { m_fCanGetFocus = can; }
    virtual int32_t Visible() const { return m_fVisible; }
    virtual int32_t Active() const { return m_fActive; }
    virtual uint32_t Opacity() const { return m_nOpacity; }
    virtual int32_t Width() const { return m_Rect.Width(); }
    virtual int32_t Height() const { return m_Rect.Height(); }
    virtual uint32_t OpaqueThreshold() const { return m_nOpaqueThreshold; }
    virtual int32_t OpaqueBlit() const { return m_fOpaqueBlit; }
    virtual int32_t CanGetFocus() const { return m_fCanGetFocus; }
    virtual int32_t StayInParent() const { return m_fStayInParent; }
    virtual SPositioner* Positioner() { return &m_Positioner; }

    // --- Position. The setters clear the axis's fraction and centre flags
    // (far-side and minus-own-size stay), store the position and
    // recalculate with the redraw flag. MoveRelative starts from the
    // rect's present left and top.
    virtual error SetPosition(int32_t x, int32_t y, int32_t redraw);
    virtual error SetPosition(const gCPoint& where, int32_t redraw);
    virtual error SetXPos(int32_t x, int32_t redraw);
    virtual error SetYPos(int32_t y, int32_t redraw);
    virtual error MoveRelative(int32_t dx, int32_t dy, int32_t redraw);
    virtual error MoveRelative(const gCPoint& delta, int32_t redraw);
    // Turns the positioner into the rect in the parent. A root may only
    // use absolute values: with any relative flag it keeps its rect. Every
    // value is clamped to +-1,000,000,000 before it is rounded, so the
    // rect's sides stay in that range. A size change runs SizeChanged,
    // UpdateAllEffects and every child's recalculation; the first error is
    // returned (the rect is stored by then).
    virtual error RecalcSizePosition(int32_t redraw);

    // --- Children.
    // Puts the child in front of all others and places it. Refused (6): a
    // null child, the widget itself, one of its ancestors, a widget that
    // already has a parent or is waiting to be deleted. When the list
    // cannot grow (5) or the child's recalculation fails (its error), the
    // tree is left as it was and the caller still owns the child.
    virtual error AddChild(CWidget* child, int32_t redraw);
    // The widget itself when its name (or id) equals, else the first
    // answer of the children from the front, depth first. Names compare as
    // exact UTF-16 units; a widget without a name never matches.
    virtual CWidget* FindByName(const gCString& name);
    virtual CWidget* FindByID(uint32_t id);
    // The child's index, or -1.
    virtual int32_t GetChildIndex(const CWidget* child) const;
    // The child on the path to the focused widget (at the focused widget,
    // the widget itself), or null.
    virtual CWidget* ChildWithFocus() const { return m_pFocusChild; }
    // Gives this widget the keyboard focus when it is visible and active.
    virtual error SetFocus(int32_t redraw);
    virtual error SetTabFocus(int32_t redraw) { return SetFocus(redraw); }
    virtual int32_t ChildCount() const { return m_aChildren.GetSize(); }
    // Child i, or null outside 0..count-1.
    virtual CWidget* Child(int32_t index) const;
    // Takes the child out, deletes it (when safe) and invalidates what it
    // covered when it was visible. An index outside 0..count-1 gives 6 and
    // changes nothing.
    virtual error RemoveChild(int32_t index, int32_t redraw);
    // The first direct child that is the widget, has exactly the name, or
    // the id, is removed; when none matches only the redraw flag is
    // honoured. 0 or the error of the removal.
    virtual error RemoveChild(CWidget* child, int32_t redraw);
    virtual error RemoveChildByName(const gCString& name, int32_t redraw);
    virtual error RemoveChildByID(uint32_t id, int32_t redraw);
    // Removes every child from the back, stopping at the first error.
    virtual error RemoveChildren(int32_t redraw);
    // The deepest visible, active widget at a point in local coordinates
    // whose OpaquePixel answers true, or null.
    virtual CWidget* WidgetAtPoint(gCPoint& local);
    // The widgets in the subtree, this one included.
    virtual int32_t WidgetTotal() const;

    // --- Z-order. Out-of-range indexes and null, equal or foreign widgets
    // do nothing. A move never allocates. After a move a visible child's
    // area is invalidated, then the redraw follows.
    error SetHighestPriority(int32_t index, int32_t redraw);
    error SetLowestPriority(int32_t index, int32_t redraw);
    error SetMeHighestPriority(int32_t redraw);
    error SetMeLowestPriority(int32_t redraw);
    // Directly in front of ref.
    error MoveAbove(CWidget* widget, CWidget* ref, int32_t redraw);
    // Directly behind ref (appended when ref is the last child).
    error MoveBelow(CWidget* widget, CWidget* ref, int32_t redraw);
    error MoveMeAbove(CWidget* ref, int32_t redraw);
    error MoveMeBelow(CWidget* ref, int32_t redraw);

    // --- Coordinates. Parent: add or subtract the rect's left and top.
    // Backdrop: through every ancestor, the root's local coordinates being
    // the backdrop's. Desktop: the same chain, ending at the root, whose
    // own forms (the backdrop's) add or subtract the window's place; a
    // widget without a parent leaves the value as it is.
    virtual void LocalToParent(gCPoint& point);
    virtual void LocalToParent(gCRect& rect);
    virtual void ParentToLocal(gCPoint& point);
    virtual void ParentToLocal(gCRect& rect);
    virtual void DesktopToLocal(gCPoint& point);
    virtual void DesktopToLocal(gCRect& rect);
    virtual void LocalToDesktop(gCPoint& point);
    virtual void LocalToDesktop(gCRect& rect);
    virtual void BackdropToLocal(gCPoint& point);
    virtual void BackdropToLocal(gCRect& rect);
    virtual void LocalToBackdrop(gCPoint& point);
    virtual void LocalToBackdrop(gCRect& rect);

    // --- Render passes. The root draws its dirty area by handing each
    // rectangle (in its own coordinates) down the tree into one target
    // image. Each widget clips the area to its total rect, moves the
    // target's origin by its left and top so that its local coordinates
    // address the target, and puts the origin back on every way out. An
    // alpha 0..255 travels down: a widget draws at (alpha * (opacity + 1))
    // >> 8, clamped to 255, and passes that on to its children while it
    // propagates opacity (255 otherwise). The first error of a render
    // procedure or effect ends the pass and comes back unchanged. Each pass
    // counts as a pass for DeleteWhenSafe and re-checks child indexes
    // against the live list. A null target gives 6.
    //
    // Back to front over what the target holds (area in the parent's
    // coordinates): under effects, the widget's own pixels, between
    // effects, the children from the back (clipped to the widget's own
    // rect, not its effect extents), over effects.
    virtual error PassRenderAreaTransparent(const gCRect& area, CImage* target, uint32_t alpha);
    // Front to back: draws the part of the area this subtree covers
    // opaquely and reports it in covered (local coordinates), which stays
    // as it came when nothing is covered. The front-most child that covers
    // part of the area ends the search: what lies in front of it is
    // composited over the part it covered. Otherwise an opaque-blit widget
    // draws its whole clipped area, its between effects and its children
    // and covers that area; its under effects are not drawn.
    virtual error PassRenderAreaOpaque(const gCRect& area, CImage* target, uint32_t alpha,
                                       gCRect& covered);
    // The children from index last down to 0 transparently, then the over
    // effects; area is local, the origin already placed.
    virtual error CompositeUp(const gCRect& area, CImage* target, uint32_t alpha, int32_t last);
    // The walk of the transparent pass, telling the effects and widgets
    // what is about to be drawn instead of drawing.
    virtual error PassPreRenderNotification(const gCRect& area, CImage* target, uint32_t alpha);

    // --- Drawing and invalidation.
    // The class's own pixels for an area in local coordinates; nothing
    // here.
    virtual error RenderArea(const gCRect& area, CImage* target, uint32_t alpha);
    virtual error PreRenderNotification(const gCRect& area, CImage* target, uint32_t alpha);
    // Hands a dirty rectangle in local coordinates up the tree, clipped to
    // the total rect and the parent's client area; only the redraw when
    // the widget or its parent is hidden. The root overrides it.
    virtual error PassInvalidatedAreaToParent(const gCRect& local, int32_t redraw);
    // A changed coverage in the parent's coordinates (an old or new total
    // rect), clipped to the parent's client area.
    virtual error PassChangeCoverageToParent(const gCRect& area, int32_t redraw);
    // A dirty part of the widget's own rect, whether or not it is visible.
    virtual error InvalidateArea(const gCRect& local, int32_t redraw);
    virtual error InvalidateTotal(int32_t redraw);
    virtual error InvalidateClient(int32_t redraw);
    // Climbs to the root, which draws its dirty area.
    virtual error PassRedraw();
    // Whether the widget is solid at a local point: CWidget answers 1 when
    // the opaque threshold is not 0.
    virtual int32_t OpaquePixel(gCPoint& local);
    // Writes the widget's coverage into a matte; nothing here.
    virtual error GetAlpha(CImage8* matte);
    // The registered render procedure when there is one, else RenderArea.
    virtual error DoRenderArea(const gCRect& local, CImage* target, uint32_t alpha);
    // A plain container draws nothing itself: only what lies under its
    // children changes, unless it blits opaquely or has effects.
    virtual error InvalidateContainerChildren();

    // --- Effect places: under, between and over, three each. The widget
    // owns the effects in its places. The total rect is the rect united
    // with the extents of the effects (moved into the parent's
    // coordinates); every pass clips to it.
    //
    // Puts the effect into place index (0..2) after deleting the one there,
    // makes this widget its owner, has it rebuilt (EffectChanged) and, when
    // that succeeds, rebuilds the total rect and invalidates it. A failing
    // rebuild is returned and leaves the effect in its place and the total
    // rect as it was. Refused (6), the caller keeping the effect: a null
    // effect, one that already has an owner, an index outside 0..2.
    virtual error AddEffectU(CWidgetEffectBase* effect, int32_t index, int32_t redraw);
    virtual error AddEffectB(CWidgetEffectBase* effect, int32_t index, int32_t redraw);
    virtual error AddEffectO(CWidgetEffectBase* effect, int32_t index, int32_t redraw);
    // Deletes the effect in the place and empties it; another index does
    // nothing.
    virtual void DestroyEffectU(int32_t index);
    virtual void DestroyEffectB(int32_t index);
    virtual void DestroyEffectO(int32_t index);
    // Under 0..2, then between, then over.
    virtual void DestroyEffects();
    // The effect in place index, or null (also outside 0..2).
    virtual CWidgetEffectBase* EffectUnder(int32_t index) const;
    virtual CWidgetEffectBase* EffectBetween(int32_t index) const;
    virtual CWidgetEffectBase* EffectOver(int32_t index) const;
    // The effect rebuilds for the widget's present state (WidgetChanged);
    // then the total rect is rebuilt and invalidated. The effect's error is
    // returned without either; 6 for null.
    virtual error EffectChanged(CWidgetEffectBase* effect, int32_t redraw);
    // EffectChanged for every effect in the order U0, B0, O0, U1, B1, O1,
    // U2, B2, O2; the first error ends it.
    virtual error UpdateAllEffects();
    // Tells the effects of this subtree, while the widget has a parent and
    // is visible, that widget moved changed its area rect (in this widget's
    // parent's coordinates): the under and between effects (U0, B0, U1
    // ...), every child with the rect made local, the over effects. The
    // first error is returned.
    virtual error EffectParentMoved(CWidget* moved, gCRect& rect);
    // The rect united with the extents of the effects; an empty extent adds
    // nothing.
    virtual void RebuildTotalAreaRect();
    // The first effect of this widget with the type code (under, between,
    // over, 0..2 each), else the nearest ancestor's; null at the root.
    virtual CWidgetEffectBase* FindFirstParentEffect(uint32_t typeID);
    // One array of the pass: for each place, an effect whose extent meets
    // the area draws the meeting part less its exclusions, one rectangle
    // at a time, at ((alpha + 1) * its opacity) >> 8. Area is local.
    virtual error RenderEffectsU(const gCRect& area, CImage* target, uint32_t alpha);
    virtual error RenderEffectsB(const gCRect& area, CImage* target, uint32_t alpha);
    virtual error RenderEffectsO(const gCRect& area, CImage* target, uint32_t alpha);
    virtual error RenderEffectsOneArray(CWidgetEffectBase* const* places, const gCRect& area,
                                        CImage* target, uint32_t alpha);
    // The pre-render twin: one call per meeting effect with the whole
    // meeting part, exclusions not applied.
    virtual error NotifyPreRenderEffects(CWidgetEffectBase* const* places, const gCRect& area,
                                         CImage* target, uint32_t alpha);

    // --- Ancestors. Only ancestors count, never the widget itself.
    virtual int32_t IsInHierarchy(const gCString& name) const;
    virtual int32_t IsInHierarchy(uint32_t id) const;
    virtual int32_t IsInHierarchy(const CWidget* widget) const;
    // The nearest ancestor with that name or id, or null.
    virtual CWidget* FindInHierarchy(const gCString& name) const;
    virtual CWidget* FindInHierarchy(uint32_t id) const;

    virtual error AutoTabToTarget() { return eNoError; }
    virtual error TabToTarget(CWidget*) { return eNoError; }
    // Takes every child out and deletes it (when safe), invalidating
    // nothing.
    virtual void DestroyChildren();
    // The parent pointer only: no list, no bookkeeping.
    virtual void SetParent(CWidget* parent) { m_pParent = parent; }
    // Records child as the focus child and climbs on while the widgets
    // are visible and active. The root overrides it to keep the focused
    // widget and tell the application.
    virtual error PropagateSetFocus(CWidget* child, CWidget* focused, int32_t redraw);

    // Hooks for subclasses that rebuild their pictures; 0 here.
    virtual error SizeChanged();
    virtual error SizeChangedComplete();

    // --- Routing. Points arrive in the parent's coordinates and are
    // tested with both edges included; the caller's point is not changed.
    virtual error PassKeyDown(CWidget*& taker, uint32_t key);
    virtual error PassKeyUp(CWidget*& taker, uint32_t key);
    virtual error PassTimer(CWidget*& taker, uint32_t id);
    virtual error PassHeartbeat();
    virtual error PassMouseMove(CWidget*& taker, gCPoint& point);
    virtual error PassButtonDownL(CWidget*& taker, gCPoint& point);
    virtual error PassButtonUpL(CWidget*& taker, gCPoint& point);
    virtual error PassButtonDownM(CWidget*& taker, gCPoint& point);
    virtual error PassButtonUpM(CWidget*& taker, gCPoint& point);
    virtual error PassMouseWheel(CWidget*& taker, int32_t delta, gCPoint& point);
    virtual error PassButtonDownR(CWidget*& taker, gCPoint& point);
    virtual error PassButtonUpR(CWidget*& taker, gCPoint& point);
    // The deepest visible, active widget under a point (parent
    // coordinates) whose OpaquePixel is true goes to found.
    virtual void PassRolloverTest(CWidget*& found, gCPoint& point);

    // --- What the root of a tree answers for the tree.
    // The window that holds the tree this widget is the root of, or null.
    // The backdrop answers its host. Routing asks the root when a step
    // begins and again after every handler, and stops once the window it
    // had is gone.
    virtual CWindowHost* HoldingWindow() const { return nullptr; }
    // Called on the root just before leaving and its subtree are taken out
    // of the tree (leaving still has its parent): the root drops whatever
    // it keeps that points into that subtree. Nothing here.
    virtual void SubtreeLeaving(CWidget* leaving);

    // --- Plain accessors.
    CWidget* Parent() const { return m_pParent; }
    const gCRect& Rect() const { return m_Rect; }
    const gCRect& TotalRect() const { return m_TotalRect; }
    // Set by the root when it pushes the widget on its modal stack.
    int32_t SoftModal() const { return m_fSoftModal; }
    void SetSoftModal(int32_t soft) { m_fSoftModal = soft; }

protected:
    uint32_t m_anUserData[8] = {};
    gCResourceObject* m_apUserObjects[8] = {}; // owned
    uint32_t m_nEventMask = eMessageEvent;
    gCRect m_Rect;
    gCRect m_TotalRect;
    int32_t m_fStayInParent = 0;
    int32_t m_fCanGetFocus = 1;
    int32_t m_fVisible = 0;
    int32_t m_fActive = 1;
    int32_t m_fSoftModal = 0;
    uint32_t m_nOpacity = 255;
    uint32_t m_nOpaqueThreshold = 0;
    int32_t m_fPropagateOpacity = 1;
    int32_t m_fOpaqueBlit = 0;
    CWidgetEffectBase* m_apEffectsU[3] = {};
    CWidgetEffectBase* m_apEffectsB[3] = {};
    CWidgetEffectBase* m_apEffectsO[3] = {};
    SPositioner m_Positioner;

private:
    friend class CRoutingStep;

    // The walk both transparent passes share, back to front: the area
    // clipped to the total rect, the origin placed and the alpha taken,
    // then under effects, own pixels, between effects, the children and
    // over effects, each drawn or, for ePreRender, told of.
    enum class ELayeredPass { eRender, ePreRender };
    error LayeredPass(ELayeredPass pass, const gCRect& area, CImage* target, uint32_t alpha);

    // The "hier" and "usrd" chunks of ParseResData.
    error ReadHierarchy(gCMemFile* data, CWidgetDataHolder* holder);
    error ReadUserData(gCMemFile* data);

    struct SCallback {
        AnyProc m_pProc = nullptr;
        void* m_pUser = nullptr;
    };

    // RoutePointer for the point events that have one plain handler: the
    // pass to call on children, the entry of the callback and the class's
    // own handler.
    error RoutePointEvent(uint32_t bit, int32_t leftPress, int32_t entry,
                          error (CWidget::*pass)(CWidget*&, gCPoint&),
                          error (CWidget::*own)(CWidget*&, gCPoint&), CWidget*& taker,
                          gCPoint& point);
    // Routing of one pointer event; offer passes it to a child, own calls
    // the callback or handler.
    template <typename Offer, typename Own>
    error RoutePointer(uint32_t bit, int32_t leftPress, CWidget*& taker, gCPoint& point,
                       Offer offer, Own own);
    template <typename Offer, typename Own> error RouteKey(CWidget*& taker, Offer offer, Own own);
    // Stores a callback and switches its bit on.
    void SetCallback(int32_t entry, AnyProc proc, void* user, uint32_t bit);
    template <typename Proc> Proc CallbackOf(int32_t entry) const {
        return reinterpret_cast<Proc>(m_aCallbacks[entry].m_pProc);
    }
    void* UserOf(int32_t entry) const { return m_aCallbacks[entry].m_pUser; }

    // Whether routing offers this widget events of the bit.
    bool TakesPart(uint32_t bit) const {
        return m_fVisible && m_fActive && (m_nEventMask & bit) != 0;
    }
    // The point (parent coordinates) lies in the rect, edges included.
    bool HitsRect(const gCPoint& point) const;
    // Whether any effect place is occupied.
    bool HasEffects() const;
    // AddEffectU/B/O over one array.
    error AddEffectAt(CWidgetEffectBase* (&places)[3], uint32_t priority, CWidgetEffectBase* effect,
                      int32_t index, int32_t redraw);
    // The total rect in local coordinates.
    gCRect LocalTotalRect() const;
    // The invalidation of showing, hiding or fading.
    error InvalidateAppearance();
    // Ends a setter: the redraw when the flag is set.
    error Redraw(int32_t redraw) { return redraw ? PassRedraw() : eNoError; }

    // Takes this widget out of its parent's list and clears its parent,
    // after telling the root and dropping the parent's focus child.
    void LeaveParent();
    // Moves the child at from to index to, shifting those between.
    void MoveChildTo(int32_t from, int32_t to);
    // Invalidates a moved child (when visible) and redraws.
    error AfterMove(CWidget* child, int32_t redraw);

    gCArray<CWidget*> m_aChildren; // owned
    CWidget* m_pParent = nullptr;
    CWidget* m_pFocusChild = nullptr;
    SCallback m_aCallbacks[eCallbackCount];

    // Deletion while passes run: the queue of widgets to delete when the
    // outermost pass returns, in the order they left the tree, linked
    // through the widgets themselves.
    int32_t m_fAwaitingDeletion = 0;
    CWidget* m_pNextToDelete = nullptr;
    static inline int32_t s_nPassDepth = 0;
    static inline CWidget* s_pDeleteQueue = nullptr; // the first to delete
    static inline CWidget* s_pDeleteQueueEnd = nullptr;
    static void DeleteQueued();
};
