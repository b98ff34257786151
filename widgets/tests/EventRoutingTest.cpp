// Routing: which widgets an event reaches, in what order, with what point,
// and who takes it; the callback table and the event mask that decide it.
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "testsupport/widgets/RecordingRoot.h"
#include "widgets/Widget.h"
#include "widgets/tests/TestWidgets.h"

namespace {

constexpr uint32_t kAllEvents = 0x1FF;

// A root 200 x 100 that passes every event on, and widgets that are solid
// everywhere and take every event unless told otherwise.
class Routing : public ::testing::Test {
protected:
    void SetUp() override { root.EnableEvent(kAllEvents, 0); }

    CLoggingWidget* Add(CWidget& parent, const char* name, const gCRect& rect,
                        uint32_t events = kAllEvents) {
        auto* w = static_cast<CLoggingWidget*>(
            AddPlaced(parent, std::make_unique<CLoggingWidget>(&log, name), rect));
        EXPECT_NE(w, nullptr);
        if (w) {
            w->EnableEvent(events, 0);
            w->SetOpaqueThreshold(1);
        }
        return w;
    }

    Log log;
    CReactions reactions{&log};
    CRecordingRoot root{200, 100};
};

TEST_F(Routing, BothEdgesOfTheRectHit) {
    CLoggingWidget* w = Add(root, "w", gCRect(10, 10, 50, 30));
    w->SetCanGetFocus(0);
    const struct {
        gCPoint point;
        const char* expected;
    } presses[] = {
        {{10, 10}, "w:ButtonDownL 0,0"},
        {{50, 30}, "w:ButtonDownL 40,20"},
        {{9, 10}, nullptr},
        {{51, 30}, nullptr},
        {{50, 31}, nullptr},
        {{30, 9}, nullptr},
    };
    for (const auto& press : presses) {
        log.clear();
        CWidget* taker = nullptr;
        gCPoint point = press.point;
        ASSERT_EQ(root.PassButtonDownL(taker, point), eNoError);
        EXPECT_EQ(point, press.point); // the caller's point stays
        EXPECT_EQ(log, press.expected ? Log{press.expected} : Log{}) << PointText(press.point);
    }
}

// A widget whose pixel is transparent lets the press through to the
// sibling behind it.
TEST_F(Routing, ATransparentPixelPassesThePressBehind) {
    CLoggingWidget* back = Add(root, "back", gCRect(0, 0, 100, 100));
    CLoggingWidget* front = Add(root, "front", gCRect(20, 20, 60, 60));
    back->SetOpaqueThreshold(1);
    front->SetOpaqueThreshold(0);
    CWidget* taker = nullptr;
    gCPoint point(30, 40);
    ASSERT_EQ(root.PassButtonDownL(taker, point), eNoError);
    EXPECT_EQ(log, (Log{"back:ButtonDownL 30,40"}));
    EXPECT_EQ(taker, back);
    EXPECT_EQ(front->ChildWithFocus(), nullptr);
}

// Only a left press takes a focusable widget by itself and gives it the
// focus, even when its handler takes nothing.
TEST_F(Routing, OnlyALeftPressTakesAndFocuses) {
    using Pass = error (CWidget::*)(CWidget*&, gCPoint&);
    const struct {
        const char* name;
        Pass pass;
        bool takesAndFocuses;
    } cases[] = {
        {"left down", &CWidget::PassButtonDownL, true},
        {"left up", &CWidget::PassButtonUpL, false},
        {"middle down", &CWidget::PassButtonDownM, false},
        {"right down", &CWidget::PassButtonDownR, false},
        {"move", &CWidget::PassMouseMove, false},
    };
    for (const auto& c : cases) {
        CRecordingRoot tree(200, 100);
        tree.EnableEvent(kAllEvents, 0);
        CLoggingWidget* w = Add(tree, "w", gCRect(10, 10, 50, 30));
        w->SetOpaqueThreshold(1);
        CWidget* taker = nullptr;
        gCPoint point(20, 20);
        ASSERT_EQ((tree.*c.pass)(taker, point), eNoError) << c.name;
        EXPECT_EQ(taker, c.takesAndFocuses ? w : nullptr) << c.name;
        EXPECT_EQ(w->ChildWithFocus(), c.takesAndFocuses ? w : nullptr) << c.name;
        EXPECT_EQ(tree.ChildWithFocus(), c.takesAndFocuses ? w : nullptr) << c.name;
    }
}

TEST_F(Routing, AWidgetThatCannotFocusIsNotTakenByItself) {
    CLoggingWidget* w = Add(root, "w", gCRect(10, 10, 50, 30));
    w->SetOpaqueThreshold(1);
    w->SetCanGetFocus(0);
    CWidget* taker = nullptr;
    gCPoint point(20, 20);
    ASSERT_EQ(root.PassButtonDownL(taker, point), eNoError);
    EXPECT_EQ(taker, nullptr);
    EXPECT_EQ(root.ChildWithFocus(), nullptr);
}

// Keys travel down the focus path, the deepest widget first; without a
// focus child the widget itself has the key.
TEST_F(Routing, KeysFollowTheFocusPath) {
    CLoggingWidget* panel = Add(root, "panel", gCRect(0, 0, 100, 100));
    CLoggingWidget* field = Add(*panel, "field", gCRect(0, 0, 10, 10));
    Add(*panel, "other", gCRect(0, 0, 10, 10));
    CWidget* taker = nullptr;

    ASSERT_EQ(panel->PassKeyDown(taker, 65), eNoError);
    EXPECT_EQ(log, (Log{"panel:KeyDown 65"}));

    ASSERT_EQ(field->SetFocus(0), eNoError);
    log.clear();
    ASSERT_EQ(root.PassKeyDown(taker, 66), eNoError);
    EXPECT_EQ(log, (Log{"field:KeyDown 66", "panel:KeyDown 66"}));

    // A taker ends the path.
    SReaction& takes = reactions.Add("takes");
    takes.take = true;
    field->SetKeyDown(&KeyReaction, &takes);
    log.clear();
    ASSERT_EQ(root.PassKeyDown(taker, 67), eNoError);
    EXPECT_EQ(log, (Log{"takes 67"}));
    EXPECT_EQ(taker, field);
}

TEST_F(Routing, AClearedMessageBitSilencesTheSubtree) {
    CLoggingWidget* panel = Add(root, "panel", gCRect(0, 0, 100, 100));
    Add(*panel, "inner", gCRect(0, 0, 10, 10));
    panel->DisableEvent(CWidget::eMessageEvent);
    EXPECT_EQ(root.PassMessage(42, nullptr, 0), 0);
    EXPECT_TRUE(log.empty());
    panel->EnableEvent(CWidget::eMessageEvent, 0);
    EXPECT_EQ(root.PassMessage(42, nullptr, 0), 0);
    EXPECT_EQ(log, (Log{"panel:Message 42", "inner:Message 42"}));
}

// An event reaches a widget only through ancestors that carry its bit.
TEST_F(Routing, AChildsBitNeedsItsAncestorsToo) {
    CLoggingWidget* panel = Add(root, "panel", gCRect(0, 0, 100, 100), 0);
    CLoggingWidget* inner = Add(*panel, "inner", gCRect(0, 0, 10, 10), 0);
    SReaction& beat = reactions.Add("beat");
    inner->SetHeartbeat(&HeartbeatReaction, &beat);
    EXPECT_EQ(inner->EventsHandled(), CWidget::eMessageEvent | CWidget::eHeartbeatEvent);
    ASSERT_EQ(root.PassHeartbeat(), eNoError);
    EXPECT_TRUE(log.empty());

    inner->EnableEvent(CWidget::eHeartbeatEvent, 1);
    EXPECT_NE(panel->EventsHandled() & CWidget::eHeartbeatEvent, 0u);
    ASSERT_EQ(root.PassHeartbeat(), eNoError);
    EXPECT_EQ(log, (Log{"beat", "panel:Heartbeat"}));

    // Disabling is the widget's own business.
    inner->DisableEvent(CWidget::eHeartbeatEvent);
    EXPECT_NE(panel->EventsHandled() & CWidget::eHeartbeatEvent, 0u);
    EXPECT_EQ(inner->EventsHandled(), CWidget::eMessageEvent);
}

error NoDrawing(void*, CWidget*, const gCRect&, CImage*, uint32_t) {
    return eNoError;
}

// Each setter fills its own entry and switches its own bit on (a null
// function too); the render procedure has no bit.
TEST(Callbacks, EachSetterFillsItsEntryAndSwitchesItsBit) {
    const auto point = &PointReaction;
    const auto key = &KeyReaction;
    const struct {
        std::function<void(CWidget&, bool)> set;
        int32_t entry;
        uint32_t bit;
        CWidget::AnyProc proc;
    } cases[] = {
        {[&](CWidget& w, bool n) { w.SetKeyDown(n ? nullptr : key, nullptr); },
         CWidget::eKeyDownEntry, 0x1, reinterpret_cast<CWidget::AnyProc>(key)},
        {[&](CWidget& w, bool n) { w.SetKeyUp(n ? nullptr : key, nullptr); }, CWidget::eKeyUpEntry,
         0x1, reinterpret_cast<CWidget::AnyProc>(key)},
        {[&](CWidget& w, bool n) { w.SetTimer(n ? nullptr : key, nullptr); }, CWidget::eTimerEntry,
         0x2, reinterpret_cast<CWidget::AnyProc>(key)},
        {[&](CWidget& w, bool n) { w.SetHeartbeat(n ? nullptr : &HeartbeatReaction, nullptr); },
         CWidget::eHeartbeatEntry, 0x4, reinterpret_cast<CWidget::AnyProc>(&HeartbeatReaction)},
        {[&](CWidget& w, bool n) { w.SetMouseMove(n ? nullptr : point, nullptr); },
         CWidget::eMouseMoveEntry, 0x8, reinterpret_cast<CWidget::AnyProc>(point)},
        {[&](CWidget& w, bool n) { w.SetButtonDownL(n ? nullptr : point, nullptr); },
         CWidget::eButtonDownLEntry, 0x10, reinterpret_cast<CWidget::AnyProc>(point)},
        {[&](CWidget& w, bool n) { w.SetButtonUpL(n ? nullptr : point, nullptr); },
         CWidget::eButtonUpLEntry, 0x10, reinterpret_cast<CWidget::AnyProc>(point)},
        {[&](CWidget& w, bool n) { w.SetButtonDownM(n ? nullptr : point, nullptr); },
         CWidget::eButtonDownMEntry, 0x20, reinterpret_cast<CWidget::AnyProc>(point)},
        {[&](CWidget& w, bool n) { w.SetButtonUpM(n ? nullptr : point, nullptr); },
         CWidget::eButtonUpMEntry, 0x20, reinterpret_cast<CWidget::AnyProc>(point)},
        {[&](CWidget& w, bool n) { w.SetButtonDownR(n ? nullptr : point, nullptr); },
         CWidget::eButtonDownREntry, 0x40, reinterpret_cast<CWidget::AnyProc>(point)},
        {[&](CWidget& w, bool n) { w.SetButtonUpR(n ? nullptr : point, nullptr); },
         CWidget::eButtonUpREntry, 0x40, reinterpret_cast<CWidget::AnyProc>(point)},
        {[&](CWidget& w, bool n) { w.SetMessage(n ? nullptr : &MessageReaction, nullptr); },
         CWidget::eMessageEntry, 0x80, reinterpret_cast<CWidget::AnyProc>(&MessageReaction)},
        {[&](CWidget& w, bool n) { w.SetRenderProc(n ? nullptr : &NoDrawing, nullptr); },
         CWidget::eRenderEntry, 0, reinterpret_cast<CWidget::AnyProc>(&NoDrawing)},
        {[&](CWidget& w, bool n) { w.SetMouseWheel(n ? nullptr : &WheelReaction, nullptr); },
         CWidget::eMouseWheelEntry, 0x100, reinterpret_cast<CWidget::AnyProc>(&WheelReaction)},
    };
    for (const auto& c : cases) {
        for (bool null : {false, true}) {
            CWidget w;
            w.DisableEvent(kAllEvents);
            c.set(w, null);
            EXPECT_EQ(w.EventsHandled(), c.bit) << c.entry << (null ? " null" : "");
            for (int32_t entry = -1; entry <= CWidget::eCallbackCount; ++entry) {
                const CWidget::AnyProc expected = entry == c.entry && !null ? c.proc : nullptr;
                EXPECT_EQ(w.EventProc(entry), expected) << c.entry << " at " << entry;
            }
        }
    }
}

TEST_F(Routing, TheHeartbeatRunsBackToFrontAndTheWidgetLast) {
    CLoggingWidget* panel = Add(root, "panel", gCRect(0, 0, 100, 100));
    Add(*panel, "back", gCRect(0, 0, 10, 10));
    Add(*panel, "middle", gCRect(0, 0, 10, 10));
    Add(*panel, "front", gCRect(0, 0, 10, 10));
    ASSERT_EQ(root.PassHeartbeat(), eNoError);
    EXPECT_EQ(log,
              (Log{"back:Heartbeat", "middle:Heartbeat", "front:Heartbeat", "panel:Heartbeat"}));
}

// The hierarchy setter skips the widget itself when told to, and every
// widget without the bit together with its subtree.
TEST_F(Routing, SetHierarchyFollowsTheBit) {
    CLoggingWidget* top = Add(root, "top", gCRect(0, 0, 100, 100), CWidget::eLButtonEvent);
    CLoggingWidget* with = Add(*top, "with", gCRect(0, 0, 10, 10), CWidget::eLButtonEvent);
    CLoggingWidget* deep = Add(*with, "deep", gCRect(0, 0, 10, 10), CWidget::eLButtonEvent);
    CLoggingWidget* without = Add(*top, "without", gCRect(0, 0, 10, 10), 0);
    CLoggingWidget* below = Add(*without, "below", gCRect(0, 0, 10, 10), CWidget::eLButtonEvent);
    top->SetHierarchyButtonDownL(&PointReaction, nullptr, 1);

    const auto set = reinterpret_cast<CWidget::AnyProc>(&PointReaction);
    EXPECT_EQ(top->EventProc(CWidget::eButtonDownLEntry), nullptr);
    EXPECT_EQ(with->EventProc(CWidget::eButtonDownLEntry), set);
    EXPECT_EQ(deep->EventProc(CWidget::eButtonDownLEntry), set);
    EXPECT_EQ(without->EventProc(CWidget::eButtonDownLEntry), nullptr);
    EXPECT_EQ(below->EventProc(CWidget::eButtonDownLEntry), nullptr);

    top->SetHierarchyMessage(&MessageReaction, nullptr, 0);
    EXPECT_NE(top->EventProc(CWidget::eMessageEntry), nullptr);
    EXPECT_NE(below->EventProc(CWidget::eMessageEntry), nullptr);
}

// A broadcast goes to the widget first, then its children from the front,
// and stops at the first answer.
TEST_F(Routing, MessagesStopAtTheFirstAnswer) {
    CLoggingWidget* panel = Add(root, "panel", gCRect(0, 0, 100, 100));
    CLoggingWidget* back = Add(*panel, "back", gCRect(0, 0, 10, 10));
    CLoggingWidget* answering = Add(*panel, "answering", gCRect(0, 0, 10, 10));
    CLoggingWidget* front = Add(*panel, "front", gCRect(0, 0, 10, 10));
    SReaction* r[4] = {&reactions.Add("panel"), &reactions.Add("front"),
                       &reactions.Add("answering"), &reactions.Add("back")};
    r[2]->answer = 7;
    CWidget* widgets[4] = {panel, front, answering, back};
    for (int32_t i = 0; i < 4; ++i) {
        widgets[i]->SetMessage(&MessageReaction, r[i]);
    }
    EXPECT_EQ(root.PassMessage(9, nullptr, 0), 7);
    EXPECT_EQ(log, (Log{"panel 9", "front 9", "answering 9"}));

    log.clear();
    r[0]->answer = 3;
    EXPECT_EQ(root.PassMessage(9, nullptr, 0), 3);
    EXPECT_EQ(log, (Log{"panel 9"}));
}

// The wheel callback takes the point before the delta, the virtual
// handler the delta before the point.
TEST_F(Routing, TheWheelsTwoArgumentOrders) {
    Add(root, "virtual", gCRect(0, 0, 50, 50));
    CLoggingWidget* front = Add(root, "front", gCRect(30, 30, 80, 80));
    SReaction& wheel = reactions.Add("callback");
    front->SetMouseWheel(&WheelReaction, &wheel);

    CWidget* taker = nullptr;
    gCPoint point(40, 45);
    ASSERT_EQ(root.PassMouseWheel(taker, -3, point), eNoError);
    EXPECT_EQ(log, (Log{"callback -3 at 10,15", "virtual:MouseWheel -3 at 40,45"}));
}

// Pointer events go front to back and stop at the first taker; a timer
// visits every child and stops the same way.
TEST_F(Routing, ATakerEndsTheRouting) {
    CLoggingWidget* back = Add(root, "back", gCRect(0, 0, 100, 100));
    CLoggingWidget* front = Add(root, "front", gCRect(0, 0, 100, 100));
    SReaction& frontMove = reactions.Add("front");
    SReaction& backMove = reactions.Add("back");
    front->SetMouseMove(&PointReaction, &frontMove);
    back->SetMouseMove(&PointReaction, &backMove);
    front->SetTimer(&KeyReaction, &frontMove);
    back->SetTimer(&KeyReaction, &backMove);

    CWidget* taker = nullptr;
    gCPoint point(5, 5);
    ASSERT_EQ(root.PassMouseMove(taker, point), eNoError);
    EXPECT_EQ(log, (Log{"front 5,5", "back 5,5"}));
    EXPECT_EQ(taker, nullptr);

    log.clear();
    frontMove.take = true;
    ASSERT_EQ(root.PassTimer(taker, 12), eNoError);
    EXPECT_EQ(log, (Log{"front 12"}));
    EXPECT_EQ(taker, front);
}

// An error from a handler ends the routing and comes back unchanged.
TEST_F(Routing, AnErrorEndsTheRouting) {
    Add(root, "back", gCRect(0, 0, 100, 100));
    CLoggingWidget* front = Add(root, "front", gCRect(0, 0, 100, 100));
    SReaction& failing = reactions.Add("failing");
    failing.result = eFileNotFound;
    front->SetHeartbeat(&HeartbeatReaction, &failing);
    front->SetButtonUpR(&PointReaction, &failing);
    EXPECT_EQ(root.PassHeartbeat(), eFileNotFound);
    EXPECT_EQ(log, (Log{"back:Heartbeat", "failing"}));

    log.clear();
    CWidget* taker = nullptr;
    gCPoint point(1, 1);
    EXPECT_EQ(root.PassButtonUpR(taker, point), eFileNotFound);
    EXPECT_EQ(log, (Log{"failing 1,1"}));
}

// A hidden or inactive widget takes no part, and neither does its subtree.
TEST_F(Routing, HiddenAndInactiveWidgetsTakeNoPart) {
    CLoggingWidget* hidden = Add(root, "hidden", gCRect(0, 0, 100, 100));
    Add(*hidden, "inside", gCRect(0, 0, 10, 10));
    CLoggingWidget* inactive = Add(root, "inactive", gCRect(0, 0, 100, 100));
    ASSERT_EQ(hidden->SetVisibility(0, 0), eNoError);
    inactive->SetActive(0);
    CWidget* taker = nullptr;
    gCPoint point(5, 5);
    ASSERT_EQ(root.PassButtonDownL(taker, point), eNoError);
    ASSERT_EQ(root.PassHeartbeat(), eNoError);
    EXPECT_EQ(root.PassMessage(1, nullptr, 0), 0);
    EXPECT_TRUE(log.empty());
}

// The rollover test and WidgetAtPoint find the deepest widget that is
// solid at the point.
TEST_F(Routing, TheWidgetUnderAPoint) {
    CLoggingWidget* panel = Add(root, "panel", gCRect(10, 10, 110, 60));
    CLoggingWidget* button = Add(*panel, "button", gCRect(20, 20, 40, 30));
    panel->SetOpaqueThreshold(1);
    button->SetOpaqueThreshold(1);
    const struct {
        gCPoint point; // in the root
        CWidget* expected;
    } cases[] = {
        {{35, 35}, button}, {{50, 40}, button},   {{15, 15}, panel},
        {{9, 9}, nullptr},  {{111, 20}, nullptr},
    };
    for (const auto& c : cases) {
        CWidget* found = nullptr;
        gCPoint point = c.point;
        root.PassRolloverTest(found, point);
        EXPECT_EQ(found, c.expected) << PointText(c.point);
        gCPoint local = c.point;
        EXPECT_EQ(root.WidgetAtPoint(local), c.expected) << PointText(c.point);
    }
    button->SetOpaqueThreshold(0);
    CWidget* found = nullptr;
    gCPoint point(35, 35);
    root.PassRolloverTest(found, point);
    EXPECT_EQ(found, panel);
    button->SetActive(0);
    gCPoint local(35, 35);
    EXPECT_EQ(panel->WidgetAtPoint(local), panel);
}

} // namespace
