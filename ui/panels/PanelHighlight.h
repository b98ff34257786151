#pragma once
// The soft highlight of the panels' clickable elements: each lights up while
// the pointer rests on it (or while its panel holds it selected) and fades
// back when the pointer leaves. One heartbeat routine serves every kind of
// element; a constant description per kind says what it drives, when it
// raises and its raised and rest levels with their step intervals. The
// animation lives in the widget's user object 0, a time step object.

#include <cstdint>
#include <optional>

#include "FileIO/gCResourceObject.h"
#include "foundation/Error.h"
#include "foundation/Timing.h"

class CWidget;
class CBackdrop;

// A time step a widget can own as its user object.
class CTimeStepObject : public gCResourceObject {
public:
    CTimeStepObject(float start, float target, float stepInterval, float stepSize,
                    int32_t running)
        : m_Step(start, target, stepInterval, stepSize, running) {}

    CTimeStep m_Step;
};

struct SHighlight {
    // What the value is applied to.
    enum EDrives : int32_t {
        eOwnOpacity,       // the widget's opacity
        eChildOpacity,     // the opacity of the widget's first child
        eOverEffect,       // the opacity of the widget's over-effect m_nEffect
        eUnderEffect,      // the opacity of the widget's under-effect m_nEffect
        eChildUnderEffect, // the opacity of the first child's under-effect m_nEffect
    };
    // When the element counts as raised.
    enum ERaises : int32_t {
        eRollover,            // the backdrop's rollover widget is the element
        eRolloverOrSelected,  // ... or its user data 0 is 1
        eCursorInside,        // the cursor lies in its rectangle, edges included
    };

    EDrives m_nDrives;
    int32_t m_nEffect;
    ERaises m_nRaises;
    float m_rRaised;
    float m_rRaisedStep; // ms per step
    float m_rRest;
    float m_rRestStep;
    // While selected, retarget to the raised level on every beat (the menu
    // bar's items), so the highlight holds the level it has.
    bool m_fRetargetWhileSelected = false;
    // The element with id 721 drives its first child instead of itself.
    bool m_fChildFor721 = false;
};

namespace PanelHighlight {

using enum SHighlight::EDrives;
using enum SHighlight::ERaises;

// The members, one per kind of element.
inline constexpr SHighlight kButton{eOwnOpacity, 0, eRollover, 50.0f, 2.6f, 0.0f, 3.6f};
inline constexpr SHighlight kZoomValue{eOwnOpacity, 0, eRollover, 150.0f, 2.6f, 50.0f, 5.6f};
inline constexpr SHighlight kOptions{eOwnOpacity, 0, eRollover, 30.0f, 2.6f, 0.0f, 3.6f};
inline constexpr SHighlight kDropper{eOwnOpacity, 0, eRollover, 235.0f, 2.6f, 153.0f, 3.6f};
inline constexpr SHighlight kMenuRow{eOwnOpacity, 0, eRollover, 30.0f, 2.6f, 0.0f, 3.6f};
inline constexpr SHighlight kMenuBarItem{eOwnOpacity, 0, eRolloverOrSelected, 30.0f, 2.6f,
                                         0.0f, 3.6f, true};
inline constexpr SHighlight kMenuButton{eChildOpacity, 0, eRollover, 200.0f, 2.6f, 108.0f, 3.6f};
inline constexpr SHighlight kPanButton{eOverEffect, 2, eRollover, 25.0f, 2.6f, 0.0f, 3.6f};
inline constexpr SHighlight kBigButton{eOverEffect, 0, eRollover, 25.0f, 2.6f, 0.0f, 3.6f};
inline constexpr SHighlight kDent{eChildUnderEffect, 0, eRolloverOrSelected, 255.0f, 0.8f, 0.0f,
                                  2.4f};
inline constexpr SHighlight kTool{eOwnOpacity, 0, eRolloverOrSelected, 255.0f, 1.2f, 100.0f, 2.4f,
                                  false, true};
inline constexpr SHighlight kLinkButton{eUnderEffect, 0, eCursorInside, 255.0f, 0.8f, 0.0f, 2.4f};

// Creates the time step the heartbeat reads (start and target `level`, 0
// unless given, one step of 1 per ms, running) and hands it to the widget
// as its user object 0. 23 when it cannot be made; the widget keeps none
// then.
error GiveTimeStep(CWidget* widget, float level = 0.0f);

// The widget's time step, or null.
CTimeStep* TimeStepOf(const CWidget* widget);

// Moves the animation towards target from its current value, one step per
// stepInterval ms from now.
void Retarget(CTimeStep& step, float target, float stepInterval);

// The backdrop the widget stands in, or null.
CBackdrop* BackdropOf(CWidget* widget);

// One heartbeat of a sliding panel's root: the time step retargeted to
// target when it had another, its value rounded and kept to lowest ..
// highest, and given to SetYPos (with a redraw) only when it differs from
// the place given last, which placed then keeps. The root's rectangle says
// nothing comparable under bottom anchoring, so it is never asked. The
// caller decides the target. Nothing without a time step. 0.
error Slide(CWidget* root, float target, std::optional<int32_t>& placed, int32_t lowest,
            int32_t highest);

// One heartbeat of the element: decides raised or rest, retargets when
// that changed, and sets the driven opacity when its rounded value
// differs. Without a time step or a driven target nothing changes. 0.
error Beat(const SHighlight& member, CWidget* widget);

// Gives the driven opacity the level the time step holds now, without a
// redraw, so the element shows its state from the first frame on, before
// any heartbeat. Nothing without a time step or a driven target.
void Settle(const SHighlight& member, CWidget* widget);

} // namespace PanelHighlight
