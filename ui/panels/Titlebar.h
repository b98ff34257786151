#pragma once
// Title bars: horizontal strips that hang at a side edge of the main window
// and slide in and out along it. Retracted, only the bar's end cap shows;
// a click on the cap slides the bar out or back. A bar is no widget: it
// builds an image widget root (100), paints the bar image into it (101 for
// a bar at the left edge, 102 for one at the right edge: the image's inner
// half repeats, its outer half is the cap) and adds it to the backdrop. The
// root's user object 0 is the time step that animates its x offset; the
// heartbeat moves the root when the whole-number offset changes.
//
// A subclass adds its own content under the root and says how wide the bar
// is (LocalSetupRoot, LocalSizeTitlebar). The root is 40 pixels wider than
// the bar: extended, those 40 pixels lie beyond the window's edge.

#include <cstdint>

#include "foundation/Error.h"
#include "foundation/Geometry.h"
#include "foundation/gCCmdTarget.h"

class CBackdrop;
class CImWidget;
class CTimeStep;
class CWidget;

class CTitlebar : public gCCmdTarget {
public:
    static constexpr uint32_t kRootID = 100;
    static constexpr uint32_t kLeftBarImageID = 101;
    static constexpr uint32_t kRightBarImageID = 102;
    // The root's width beyond the bar's own, outside the window when
    // extended; the extended place is its negative.
    static constexpr int32_t kBeyondEdge = 40;
    // How far a press on the cap moves the bar at once, and how far beside
    // the root a release still counts as on it.
    static constexpr float kPressFeedback = 5.0f;
    static constexpr int32_t kReleaseMargin = 10;
    // The slide: one pixel per 2 ms.
    static constexpr float kSlideStepInterval = 2.0f;
    static constexpr int32_t kClickSound = 0;

    explicit CTitlebar(CBackdrop* backdrop) : m_pBackdrop(backdrop) {}
    ~CTitlebar() override = default; // the widgets belong to the backdrop
    CTitlebar(const CTitlebar&) = delete;
    CTitlebar& operator=(const CTitlebar&) = delete;

    // Loads the root (21 without it or without a backdrop), anchors it at
    // the far side for a right-anchored bar, gives it its time step (23),
    // hooks the heartbeat and the left button, adds it to the backdrop
    // (the error of that) and runs LocalSetupRoot, whose error takes the
    // root out of the backdrop again: no widget is left calling a bar that
    // failed to set up.
    error SetupRoot();
    // Sizes the root to the bar's width (LocalSizeTitlebar) plus 40 and
    // paints the bar image into it: the cap at the anchored end, the other
    // half tiled over the rest. 21 without the image, 23 when a view
    // cannot be made, the stretcher's error unchanged. Redraws when asked.
    error SizeTitlebar(int32_t redraw);
    // Moves the bar to its extended or retracted place: slides when both
    // animation flags are set, else jumps there. Works from set-up on,
    // before any content is sized. 23 without a time step.
    error SetBarExtended(int32_t extended, int32_t animate, int32_t animate2);

    // The root's heartbeat: sets the root's x offset to the time step's
    // whole-number value when that changed. 0.
    static error TitlebarHeart(void* user, CWidget* root);
    // A left button press on the root: taken; on the cap it nudges the
    // bar, follows the button until release and then toggles the bar (a
    // release on the root or beside it) or slides it back; both play the
    // click sound. 0.
    static error TitlebarClick(void* user, CWidget* root, CWidget*& taker, gCPoint& point);

    CImWidget* Root() const { return m_pRoot; }
    CWidget* Content() const { return m_pContent; }
    int32_t LeftAnchored() const { return m_fLeftAnchored; }
    int32_t CapWidth() const { return m_nCapWidth; }
    int32_t Extended() const { return m_fExtended; }
    // The x offsets of the two places.
    int32_t ExtendedPlace() const { return -kBeyondEdge; }
    int32_t RetractedPlace() const;
    // The root's time step, or null.
    CTimeStep* TimeStep() const;

protected:
    // The subclass's content and width; each answers 0 here.
    virtual error LocalSetupRoot() { return eNoError; }
    virtual error LocalSizeTitlebar() { return eNoError; }
    // Whether a point in root coordinates lies on the cap.
    bool OnCap(const gCPoint& point) const;

    CBackdrop* m_pBackdrop;        // not owned
    CImWidget* m_pRoot = nullptr;  // belongs to the backdrop's tree
    CWidget* m_pContent = nullptr; // belongs to the root
    int32_t m_fLeftAnchored = 1;
    int32_t m_nCapWidth = 10;
    int32_t m_fExtended = 0;

private:
    // Paints the bar image into the root's image.
    error PaintBar();
    // Follows the held button with the root modal; the release point in
    // backdrop coordinates.
    gCPoint TrackPress();
};
