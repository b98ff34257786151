// The panel highlight: every member's rest and raised levels, the timing
// of the base member's fade and its turn, what raises each kind of
// element, and that a steady value touches nothing.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "testsupport/foundation/FakeAppServices.h"
#include "testsupport/foundation/FakeClock.h"
#include "ui/panels/PanelHighlight.h"
#include "widgets/Backdrop.h"
#include "widgets/Widget.h"
#include "widgets/WidgetEffectBase.h"

namespace {

// Counts the opacity sets a member makes.
class CCountingWidget : public CWidget {
public:
    error SetOpacity(uint32_t opacity, int32_t redraw) override {
        ++m_nSets;
        m_nRedraws += redraw ? 1 : 0;
        return CWidget::SetOpacity(opacity, 0);
    }
    int32_t m_nSets = 0;
    int32_t m_nRedraws = 0;
};

class CCountingEffect : public CWidgetEffectBase {
public:
    error RenderEffect(const gCRect&, CImage*, uint32_t) override { return eNoError; }
    error WidgetChanged() override { return eNoError; }
    error WidgetChanged(CImage*) override { return eNoError; }
    error SetOpacity(int32_t opacity, int32_t redraw) override {
        ++m_nSets;
        m_nRedraws += redraw ? 1 : 0;
        return CWidgetEffectBase::Opacity(opacity, 0);
    }
    int32_t m_nSets = 0;
    int32_t m_nRedraws = 0;
};

// The rollover widget is whatever the test says.
class CPointedBackdrop : public CBackdrop {
public:
    CWidget* WidgetRollover() const override { return m_pPointed; }
    CWidget* m_pPointed = nullptr;
};

// One element of each shape: the widget itself, a first child, an
// over-effect 2 and 0, an under-effect on itself and on its first child.
struct SElement {
    CCountingWidget* widget = nullptr;
    CCountingWidget* child = nullptr;
    CCountingEffect* over0 = nullptr;
    CCountingEffect* over2 = nullptr;
    CCountingEffect* under = nullptr;
    CCountingEffect* childUnder = nullptr;
};

class PanelHighlightTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(m_Backdrop.SetSize(400, 300, 0), eNoError); }

    SElement MakeElement(int32_t id = 700, bool withStep = true) {
        SElement e;
        e.widget = new CCountingWidget;
        e.widget->SetResID(id);
        EXPECT_EQ(e.widget->SetSize(40, 20, 0), eNoError);
        EXPECT_EQ(e.widget->SetPosition(100, 50, 0), eNoError);
        e.child = new CCountingWidget;
        EXPECT_EQ(e.widget->AddChild(e.child, 0), eNoError);
        e.over0 = new CCountingEffect;
        e.over2 = new CCountingEffect;
        e.under = new CCountingEffect;
        e.childUnder = new CCountingEffect;
        EXPECT_EQ(e.widget->AddEffectO(e.over0, 0, 0), eNoError);
        EXPECT_EQ(e.widget->AddEffectO(e.over2, 2, 0), eNoError);
        EXPECT_EQ(e.widget->AddEffectU(e.under, 0, 0), eNoError);
        EXPECT_EQ(e.child->AddEffectU(e.childUnder, 0, 0), eNoError);
        EXPECT_EQ(m_Backdrop.AddChild(e.widget, 0), eNoError);
        if (withStep) {
            EXPECT_EQ(PanelHighlight::GiveTimeStep(e.widget), eNoError);
        }
        return e;
    }

    // Beats every millisecond for ms milliseconds.
    void Run(const SHighlight& member, CWidget* w, int32_t ms) {
        for (int32_t i = 0; i < ms; ++i) {
            m_Clock.AdvanceMilliseconds(1);
            ASSERT_EQ(PanelHighlight::Beat(member, w), eNoError);
        }
    }

    CFakeClock m_Clock;
    CFakeAppServices m_Services;
    CPointedBackdrop m_Backdrop;
};

int32_t DrivenLevel(const SHighlight& m, const SElement& e) {
    switch (m.m_nDrives) {
    case SHighlight::eOwnOpacity:
        return int32_t(e.widget->Opacity());
    case SHighlight::eChildOpacity:
        return int32_t(e.child->Opacity());
    case SHighlight::eOverEffect:
        return m.m_nEffect == 2 ? e.over2->Opacity() : e.over0->Opacity();
    case SHighlight::eUnderEffect:
        return e.under->Opacity();
    case SHighlight::eChildUnderEffect:
        return e.childUnder->Opacity();
    }
    return -1;
}

struct SMemberCase {
    const char* name;
    const SHighlight* member;
    int32_t rest;
    int32_t raised;
};

const SMemberCase kMembers[] = {
    {"base button", &PanelHighlight::kButton, 0, 50},
    {"zoom value", &PanelHighlight::kZoomValue, 50, 150},
    {"options", &PanelHighlight::kOptions, 0, 30},
    {"dropper", &PanelHighlight::kDropper, 153, 235},
    {"menu row", &PanelHighlight::kMenuRow, 0, 30},
    {"menu bar item", &PanelHighlight::kMenuBarItem, 0, 30},
    {"menu button", &PanelHighlight::kMenuButton, 108, 200},
    {"pan button", &PanelHighlight::kPanButton, 0, 25},
    {"big button", &PanelHighlight::kBigButton, 0, 25},
    {"dent", &PanelHighlight::kDent, 0, 255},
    {"tool", &PanelHighlight::kTool, 100, 255},
    {"link button", &PanelHighlight::kLinkButton, 0, 255},
};

// Points at the element the way its member looks: the rollover widget, or
// the cursor inside it for the link buttons (which also need some
// rollover widget to act at all).
void PointAt(CPointedBackdrop& backdrop, CFakeAppServices& services, const SHighlight& m,
             CWidget* w, bool on) {
    if (m.m_nRaises == SHighlight::eCursorInside) {
        backdrop.m_pPointed = &backdrop;
        services.m_CursorLoc = on ? gCPoint(110, 60) : gCPoint(300, 250);
    } else {
        backdrop.m_pPointed = on ? w : nullptr;
    }
}

TEST_F(PanelHighlightTest, EveryMemberRestsAndRisesToItsLevels) {
    for (const SMemberCase& c : kMembers) {
        SCOPED_TRACE(c.name);
        const SElement e = MakeElement();
        PointAt(m_Backdrop, m_Services, *c.member, e.widget, false);
        Run(*c.member, e.widget, 1200);
        EXPECT_EQ(DrivenLevel(*c.member, e), c.rest);
        PointAt(m_Backdrop, m_Services, *c.member, e.widget, true);
        Run(*c.member, e.widget, 1200);
        EXPECT_EQ(DrivenLevel(*c.member, e), c.raised);
        PointAt(m_Backdrop, m_Services, *c.member, e.widget, false);
        Run(*c.member, e.widget, 1200);
        EXPECT_EQ(DrivenLevel(*c.member, e), c.rest);
        // Nothing else of the element was touched.
        if (c.member->m_nDrives != SHighlight::eOwnOpacity) {
            EXPECT_EQ(e.widget->m_nSets, 0);
        }
    }
}

TEST_F(PanelHighlightTest, WithoutATimeStepNoMemberChangesAnything) {
    for (const SMemberCase& c : kMembers) {
        SCOPED_TRACE(c.name);
        const SElement e = MakeElement(700, false);
        e.widget->SetUserData(0, 1);
        PointAt(m_Backdrop, m_Services, *c.member, e.widget, true);
        Run(*c.member, e.widget, 50);
        EXPECT_EQ(e.widget->m_nSets + e.child->m_nSets, 0);
        EXPECT_EQ(e.over0->m_nSets + e.over2->m_nSets + e.under->m_nSets + e.childUnder->m_nSets,
                  0);
    }
}

TEST_F(PanelHighlightTest, TheBaseMemberFadesInAndOutOnTime) {
    const SElement e = MakeElement();
    const SHighlight& m = PanelHighlight::kButton;
    ASSERT_EQ(PanelHighlight::Beat(m, e.widget), eNoError);
    EXPECT_EQ(e.widget->Opacity(), 0u);
    m_Backdrop.m_pPointed = e.widget;
    ASSERT_EQ(PanelHighlight::Beat(m, e.widget), eNoError); // retargets now
    m_Clock.AdvanceMilliseconds(65);
    ASSERT_EQ(PanelHighlight::Beat(m, e.widget), eNoError);
    EXPECT_EQ(e.widget->Opacity(), 25u);
    // The eased curve shows 50 a little early; the step ends at 130 ms.
    const CTimeStep* step = PanelHighlight::TimeStepOf(e.widget);
    m_Clock.AdvanceMilliseconds(64);
    ASSERT_EQ(PanelHighlight::Beat(m, e.widget), eNoError);
    EXPECT_EQ(step->m_rCurrent, 49.0f);
    EXPECT_EQ(step->m_fRunning, 1);
    m_Clock.AdvanceMilliseconds(1);
    ASSERT_EQ(PanelHighlight::Beat(m, e.widget), eNoError);
    EXPECT_EQ(e.widget->Opacity(), 50u);
    EXPECT_EQ(step->m_fRunning, 0);

    m_Backdrop.m_pPointed = nullptr;
    ASSERT_EQ(PanelHighlight::Beat(m, e.widget), eNoError);
    m_Clock.AdvanceMilliseconds(90);
    ASSERT_EQ(PanelHighlight::Beat(m, e.widget), eNoError);
    EXPECT_EQ(e.widget->Opacity(), 25u);
    m_Clock.AdvanceMilliseconds(89);
    ASSERT_EQ(PanelHighlight::Beat(m, e.widget), eNoError);
    EXPECT_EQ(step->m_fRunning, 1);
    m_Clock.AdvanceMilliseconds(1);
    ASSERT_EQ(PanelHighlight::Beat(m, e.widget), eNoError);
    EXPECT_EQ(e.widget->Opacity(), 0u);
    EXPECT_EQ(step->m_fRunning, 0);
}

TEST_F(PanelHighlightTest, TurnedRoundMidwayItFallsFromWhereItWas) {
    const SElement e = MakeElement();
    const SHighlight& m = PanelHighlight::kButton;
    m_Backdrop.m_pPointed = e.widget;
    ASSERT_EQ(PanelHighlight::Beat(m, e.widget), eNoError);
    m_Clock.AdvanceMilliseconds(65);
    ASSERT_EQ(PanelHighlight::Beat(m, e.widget), eNoError);
    ASSERT_EQ(e.widget->Opacity(), 25u);

    m_Backdrop.m_pPointed = nullptr;
    ASSERT_EQ(PanelHighlight::Beat(m, e.widget), eNoError);
    EXPECT_EQ(e.widget->Opacity(), 25u); // falls from 25, not from 50
    const CTimeStep* step = PanelHighlight::TimeStepOf(e.widget);
    m_Clock.AdvanceMilliseconds(4);
    ASSERT_EQ(PanelHighlight::Beat(m, e.widget), eNoError);
    EXPECT_EQ(step->m_rCurrent, 24.0f);
    m_Clock.AdvanceMilliseconds(85);
    ASSERT_EQ(PanelHighlight::Beat(m, e.widget), eNoError);
    EXPECT_EQ(step->m_fRunning, 1);
    m_Clock.AdvanceMilliseconds(1);
    ASSERT_EQ(PanelHighlight::Beat(m, e.widget), eNoError);
    EXPECT_EQ(e.widget->Opacity(), 0u); // 90 ms after the turn
}

TEST_F(PanelHighlightTest, NoRolloverWidgetRestsRolloverMembersAndLeavesTheLinks) {
    const SElement button = MakeElement();
    const SElement link = MakeElement(701);
    m_Backdrop.m_pPointed = button.widget;
    m_Services.m_CursorLoc = gCPoint(110, 60); // inside both
    Run(PanelHighlight::kButton, button.widget, 300);
    Run(PanelHighlight::kLinkButton, link.widget, 300);
    ASSERT_EQ(button.widget->Opacity(), 50u);
    ASSERT_EQ(link.under->Opacity(), 255);

    m_Backdrop.m_pPointed = nullptr;
    m_Services.m_CursorLoc = gCPoint(300, 250); // outside both
    const int32_t linkSets = link.under->m_nSets;
    Run(PanelHighlight::kButton, button.widget, 300);
    Run(PanelHighlight::kLinkButton, link.widget, 300);
    EXPECT_EQ(button.widget->Opacity(), 0u);
    EXPECT_EQ(link.under->Opacity(), 255);
    EXPECT_EQ(link.under->m_nSets, linkSets);
}

TEST_F(PanelHighlightTest, ASelectedToolHoldsFullWhateverThePointerDoes) {
    const SElement tool = MakeElement();
    tool.widget->SetUserData(0, 1);
    for (CWidget* pointed : {static_cast<CWidget*>(nullptr), static_cast<CWidget*>(tool.widget),
                             static_cast<CWidget*>(&m_Backdrop)}) {
        m_Backdrop.m_pPointed = pointed;
        Run(PanelHighlight::kTool, tool.widget, 400);
        EXPECT_EQ(tool.widget->Opacity(), 255u);
    }
    tool.widget->SetUserData(0, 0);
    m_Backdrop.m_pPointed = nullptr;
    Run(PanelHighlight::kTool, tool.widget, 600);
    EXPECT_EQ(tool.widget->Opacity(), 100u);
}

TEST_F(PanelHighlightTest, Tool721LightsItsFirstChild) {
    const SElement tool = MakeElement(721);
    m_Backdrop.m_pPointed = tool.widget;
    Run(PanelHighlight::kTool, tool.widget, 400);
    EXPECT_EQ(tool.child->Opacity(), 255u);
    EXPECT_EQ(tool.widget->m_nSets, 0);
    m_Backdrop.m_pPointed = nullptr;
    Run(PanelHighlight::kTool, tool.widget, 600);
    EXPECT_EQ(tool.child->Opacity(), 100u);
}

TEST_F(PanelHighlightTest, ALinkButtonRaisesWithTheCursorOnItsEdgeNotBeyond) {
    const SElement link = MakeElement();
    m_Backdrop.m_pPointed = &m_Backdrop;
    const gCRect r = link.widget->Rect();
    struct {
        gCPoint cursor;
        int32_t level;
    } const kCases[] = {
        {gCPoint(r.right, r.top + 5), 255},      {gCPoint(r.right + 1, r.top + 5), 0},
        {gCPoint(r.left, r.bottom), 255},        {gCPoint(r.left - 1, r.bottom), 0},
        {gCPoint(r.left + 5, r.bottom + 1), 0},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(std::to_string(c.cursor.x) + "," + std::to_string(c.cursor.y));
        m_Services.m_CursorLoc = c.cursor;
        Run(PanelHighlight::kLinkButton, link.widget, 800);
        EXPECT_EQ(link.under->Opacity(), c.level);
    }
}

TEST_F(PanelHighlightTest, ASteadyValueSetsNothingAndAsksNoRedraw) {
    const SElement e = MakeElement();
    m_Backdrop.m_pPointed = e.widget;
    Run(PanelHighlight::kButton, e.widget, 300);
    ASSERT_EQ(e.widget->Opacity(), 50u);
    EXPECT_GT(e.widget->m_nSets, 0);
    EXPECT_EQ(e.widget->m_nRedraws, e.widget->m_nSets); // every set asks its redraw
    const int32_t sets = e.widget->m_nSets;
    Run(PanelHighlight::kButton, e.widget, 300);
    EXPECT_EQ(e.widget->m_nSets, sets);
    // Nor at rest from the start: a value of exactly 0 rounds to 0.
    const SElement idle = MakeElement(702);
    Run(PanelHighlight::kButton, idle.widget, 300);
    const int32_t idleSets = idle.widget->m_nSets;
    Run(PanelHighlight::kButton, idle.widget, 300);
    EXPECT_EQ(idle.widget->m_nSets, idleSets);
}

} // namespace
