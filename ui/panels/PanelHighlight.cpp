#include "ui/panels/PanelHighlight.h"

#include <new>

#include "foundation/AppServices.h"
#include "foundation/Rounding.h"
#include "widgets/Backdrop.h"
#include "widgets/Widget.h"
#include "widgets/WidgetEffectBase.h"

namespace PanelHighlight {

namespace {

constexpr uint32_t kToolWithLitChild = 721;

// The opacity the member drives: the widget's, its first child's or an
// effect's. Null targets mean there is nothing to drive.
struct SDriven {
    CWidget* m_pWidget = nullptr;
    CWidgetEffectBase* m_pEffect = nullptr;

    bool Exists() const { return m_pWidget || m_pEffect; }
    int32_t Opacity() const {
        return m_pWidget ? int32_t(m_pWidget->Opacity()) : m_pEffect->Opacity();
    }
    void SetOpacity(int32_t value, int32_t redraw = 1) const {
        // The set can only fail for a value outside 0..255, which the
        // members' levels never are.
        if (m_pWidget) {
            (void)m_pWidget->SetOpacity(uint32_t(value), redraw);
        } else {
            (void)m_pEffect->SetOpacity(value, redraw);
        }
    }
};

SDriven DrivenBy(const SHighlight& member, CWidget* widget) {
    SDriven driven;
    switch (member.m_nDrives) {
    case SHighlight::eOwnOpacity:
        if (member.m_fChildFor721 && uint32_t(widget->GetResID()) == kToolWithLitChild) {
            driven.m_pWidget = widget->Child(0);
        } else {
            driven.m_pWidget = widget;
        }
        break;
    case SHighlight::eChildOpacity:
        driven.m_pWidget = widget->Child(0);
        break;
    case SHighlight::eOverEffect:
        driven.m_pEffect = widget->EffectOver(member.m_nEffect);
        break;
    case SHighlight::eUnderEffect:
        driven.m_pEffect = widget->EffectUnder(member.m_nEffect);
        break;
    case SHighlight::eChildUnderEffect:
        if (CWidget* child = widget->Child(0)) {
            driven.m_pEffect = child->EffectUnder(member.m_nEffect);
        }
        break;
    }
    return driven;
}

bool CursorInside(CWidget* widget) {
    CAppServices* services = CAppServices::Get();
    if (!services) {
        return false;
    }
    gCPoint cursor = services->CursorLoc();
    if (CWidget* parent = widget->Parent()) {
        parent->DesktopToLocal(cursor);
    }
    const gCRect& r = widget->Rect();
    return cursor.x >= r.left && cursor.x <= r.right && cursor.y >= r.top && cursor.y <= r.bottom;
}

} // namespace

error GiveTimeStep(CWidget* widget, float level) {
    if (CTimeStep* step = TimeStepOf(widget)) {
        *step = CTimeStep(level, level, 1.0f, 1.0f, 1);
        return eNoError;
    }
    auto* step = new (std::nothrow) CTimeStepObject(level, level, 1.0f, 1.0f, 1);
    if (!step) {
        return eCreateFailed;
    }
    widget->SetUserObject(0, step); // the widget owns it from here
    return eNoError;
}

CTimeStep* TimeStepOf(const CWidget* widget) {
    auto* object = dynamic_cast<CTimeStepObject*>(widget->GetUserObject(0));
    return object ? &object->m_Step : nullptr;
}

void Retarget(CTimeStep& step, float target, float stepInterval) {
    step.m_rTarget = target;
    step.m_rStart = step.m_rCurrent;
    step.m_StartTime = CTimer();
    step.m_fRunning = 1;
    step.m_rStepInterval = stepInterval;
    step.m_rStart = step.m_rCurrent;
    step.m_StartTime = CTimer();
}

CBackdrop* BackdropOf(CWidget* widget) {
    CWidget* top = widget;
    while (top && top->Parent()) {
        top = top->Parent();
    }
    return dynamic_cast<CBackdrop*>(top);
}

error Slide(CWidget* root, float target, std::optional<int32_t>& placed, int32_t lowest,
            int32_t highest) {
    CTimeStep* step = root ? TimeStepOf(root) : nullptr;
    if (!step) {
        return eNoError;
    }
    if (step->m_rTarget != target) {
        // The slide keeps the step interval its panel gave it.
        Retarget(*step, target, step->m_rStepInterval);
    }
    const float value = step->m_fRunning ? step->CalcVal() : step->m_rCurrent;
    const int32_t y = RoundToInt32(value, lowest, highest);
    if (placed != y) {
        placed = y;
        (void)root->SetYPos(y, 1); // a failed redraw stays dirty
    }
    return eNoError;
}

error Beat(const SHighlight& member, CWidget* widget) {
    if (!widget) {
        return eNoError;
    }
    CTimeStep* step = TimeStepOf(widget);
    const SDriven driven = DrivenBy(member, widget);
    if (!step || !driven.Exists()) {
        return eNoError;
    }
    CBackdrop* backdrop = BackdropOf(widget);
    CWidget* rollover = backdrop ? backdrop->WidgetRollover() : nullptr;

    bool raised = false;
    bool selected = false;
    switch (member.m_nRaises) {
    case SHighlight::eRollover:
        raised = rollover == widget;
        break;
    case SHighlight::eRolloverOrSelected:
        selected = widget->GetUserData(0) == 1;
        raised = rollover == widget || selected;
        break;
    case SHighlight::eCursorInside:
        // Without any rollover widget the cursor is not over the window:
        // the element stays as it is.
        if (!rollover) {
            return eNoError;
        }
        raised = CursorInside(widget);
        break;
    }

    if (selected && member.m_fRetargetWhileSelected) {
        Retarget(*step, member.m_rRaised, member.m_rRaisedStep);
    } else if (raised && step->m_rTarget != member.m_rRaised) {
        Retarget(*step, member.m_rRaised, member.m_rRaisedStep);
    } else if (!raised && step->m_rTarget != member.m_rRest) {
        Retarget(*step, member.m_rRest, member.m_rRestStep);
    }

    const float value = step->m_fRunning ? step->CalcVal() : step->m_rCurrent;
    const int32_t rounded = int32_t(RoundHalfAway(value));
    if (driven.Opacity() != rounded) {
        driven.SetOpacity(rounded);
    }
    return eNoError;
}

void Settle(const SHighlight& member, CWidget* widget) {
    const CTimeStep* step = widget ? TimeStepOf(widget) : nullptr;
    const SDriven driven = widget ? DrivenBy(member, widget) : SDriven();
    if (step && driven.Exists()) {
        driven.SetOpacity(int32_t(RoundHalfAway(step->m_rCurrent)), 0);
    }
}

} // namespace PanelHighlight
