// Handlers that change the tree they are called from, or let the window go:
// nothing is touched after it was deleted (these run under the address
// sanitizer), deletion waits for the outermost pass, a step offers an event
// only to the children it began with that are still children, each once,
// and routing stops once the window lets the tree go.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>

#include "testsupport/foundation/FailingMemory.h"
#include "testsupport/widgets/RecordingRoot.h"
#include "widgets/Widget.h"
#include "widgets/tests/TestWidgets.h"

namespace {

constexpr uint32_t kAllEvents = 0x1FF;

class TreeSafety : public ::testing::Test {
protected:
    void SetUp() override { root.EnableEvent(kAllEvents, 0); }
    void TearDown() override { EXPECT_EQ(CWidget::PassDepth(), 0); }

    // A solid widget that takes every event and logs into the test's log.
    CLoggingWidget* Add(CWidget& parent, const char* name, const gCRect& rect) {
        auto* w = static_cast<CLoggingWidget*>(
            AddPlaced(parent, std::make_unique<CLoggingWidget>(&log, name), rect));
        EXPECT_NE(w, nullptr);
        if (w) {
            w->EnableEvent(kAllEvents, 0);
            w->SetOpaqueThreshold(1);
        }
        return w;
    }

    Log log;
    CReactions reactions{&log};
    CRecordingRoot root{200, 100};
};

TEST_F(TreeSafety, ALeftPressCallbackRemovesItsOwnParent) {
    Add(root, "behind", gCRect(0, 0, 200, 100));
    CLoggingWidget* panel = Add(root, "panel", gCRect(10, 10, 110, 60));
    CLoggingWidget* button = Add(*panel, "button", gCRect(0, 0, 50, 50));
    SReaction& press = reactions.Add("button");
    press.action = [&](CWidget*) {
        EXPECT_EQ(root.RemoveChild(panel, 1), eNoError);
        log.push_back("removed");
    };
    button->SetButtonDownL(&PointReaction, &press);

    CWidget* taker = nullptr;
    gCPoint point(20, 20);
    EXPECT_EQ(root.PassButtonDownL(taker, point), eNoError);
    // The press was the button's: nothing behind the panel sees it.
    EXPECT_NE(taker, nullptr);
    EXPECT_EQ(log, (Log{"button 10,10", "removed", "panel:deleted", "button:deleted"}));
    EXPECT_EQ(root.ChildCount(), 1);
    EXPECT_EQ(root.ChildWithFocus(), nullptr);
}

// As the welcome box does: the panel's own key callback removes the panel.
TEST_F(TreeSafety, APanelsKeyCallbackRemovesThePanel) {
    CLoggingWidget* panel = Add(root, "panel", gCRect(10, 10, 110, 60));
    CLoggingWidget* button = Add(*panel, "button", gCRect(0, 0, 50, 50));
    ASSERT_EQ(button->SetFocus(0), eNoError);
    SReaction& key = reactions.Add("panel");
    key.action = [](CWidget* self) { EXPECT_EQ(self->Parent()->RemoveChild(self, 1), eNoError); };
    panel->SetKeyDown(&KeyReaction, &key);

    CWidget* taker = nullptr;
    EXPECT_EQ(root.PassKeyDown(taker, 13), eNoError);
    EXPECT_EQ(root.PassKeyDown(taker, 27), eNoError);
    EXPECT_EQ(log, (Log{"button:KeyDown 13", "panel 13", "panel:deleted", "button:deleted"}));
    EXPECT_EQ(root.ChildCount(), 0);
}

// Heartbeat order is C, B, A; B removes A (in front, not yet visited) and
// C (behind, done).
TEST_F(TreeSafety, AHeartbeatCallbackRemovesSiblingsOnBothSides) {
    CLoggingWidget* panel = Add(root, "P", gCRect(0, 0, 100, 100));
    Add(*panel, "C", gCRect(0, 0, 10, 10));
    CLoggingWidget* b = Add(*panel, "B", gCRect(0, 0, 10, 10));
    Add(*panel, "A", gCRect(0, 0, 10, 10));
    SReaction& beat = reactions.Add("B");
    beat.action = [panel](CWidget*) {
        EXPECT_EQ(panel->RemoveChild(int32_t(0), 0), eNoError); // A
        EXPECT_EQ(panel->RemoveChild(int32_t(1), 0), eNoError); // C
    };
    b->SetHeartbeat(&HeartbeatReaction, &beat);

    EXPECT_EQ(root.PassHeartbeat(), eNoError);
    EXPECT_EQ(log, (Log{"C:Heartbeat", "B", "P:Heartbeat", "A:deleted", "C:deleted"}));
    EXPECT_EQ(panel->ChildCount(), 1);
}

// A broadcast whose first hearer empties the root reaches nobody else, not
// even the hearer's own children.
TEST_F(TreeSafety, AMessageCallbackRemovesAllOfTheRootsChildren) {
    Add(root, "B", gCRect(0, 0, 10, 10));
    CLoggingWidget* a = Add(root, "A", gCRect(0, 0, 10, 10));
    Add(*a, "A1", gCRect(0, 0, 10, 10));
    SReaction& hear = reactions.Add("A");
    hear.action = [&](CWidget*) { EXPECT_EQ(root.RemoveChildren(1), eNoError); };
    a->SetMessage(&MessageReaction, &hear);

    EXPECT_EQ(root.PassMessage(5, nullptr, 0), 0);
    EXPECT_EQ(log, (Log{"A 5", "B:deleted", "A:deleted", "A1:deleted"}));
    EXPECT_EQ(root.ChildCount(), 0);
}

// A child added during a step waits for the next event, and the shift it
// causes makes nobody hear the event twice.
TEST_F(TreeSafety, ATimerCallbackAddsAChild) {
    CLoggingWidget* panel = Add(root, "P", gCRect(0, 0, 100, 100));
    CLoggingWidget* b = Add(*panel, "B", gCRect(0, 0, 10, 10));
    CLoggingWidget* a = Add(*panel, "A", gCRect(0, 0, 10, 10));
    SReaction& ra = reactions.Add("A");
    SReaction& rb = reactions.Add("B");
    SReaction& rp = reactions.Add("P");
    SReaction& rn = reactions.Add("N");
    ra.action = [&](CWidget*) {
        if (panel->ChildCount() == 2) {
            CLoggingWidget* n = Add(*panel, "N", gCRect(0, 0, 10, 10));
            n->SetTimer(&KeyReaction, &rn);
        }
    };
    a->SetTimer(&KeyReaction, &ra);
    b->SetTimer(&KeyReaction, &rb);
    panel->SetTimer(&KeyReaction, &rp);

    CWidget* taker = nullptr;
    EXPECT_EQ(root.PassTimer(taker, 3), eNoError);
    EXPECT_EQ(log, (Log{"A 3", "B 3", "P 3"}));
    log.clear();
    EXPECT_EQ(root.PassTimer(taker, 4), eNoError);
    EXPECT_EQ(log, (Log{"N 4", "A 4", "B 4", "P 4"}));
}

// When the window lets the tree go, every pass stops after the handler
// that let it go; a tree no window holds routes on.
TEST_F(TreeSafety, RoutingStopsWhenTheWindowLetsTheTreeGo) {
    for (bool held : {true, false}) {
        CRecordingRoot tree(200, 100);
        tree.EnableEvent(kAllEvents, 0);
        CLoggingWidget* panel = Add(tree, "panel", gCRect(0, 0, 100, 100));
        CLoggingWidget* after = Add(*panel, "after", gCRect(0, 0, 100, 100));
        CLoggingWidget* quit = Add(*panel, "quit", gCRect(0, 0, 50, 50));
        quit->SetCanGetFocus(0);
        SReaction& letGo = reactions.Add("quit");
        letGo.action = [&tree](CWidget*) { tree.LetGo(); };
        quit->SetHeartbeat(&HeartbeatReaction, &letGo);
        quit->SetMessage(&MessageReaction, &letGo);
        quit->SetMouseMove(&PointReaction, &letGo);
        SReaction& onward = reactions.Add("after");
        after->SetHeartbeat(&HeartbeatReaction, &onward);
        after->SetMessage(&MessageReaction, &onward);
        after->SetMouseMove(&PointReaction, &onward);
        SReaction& rootBeat = reactions.Add("root");
        tree.SetHeartbeat(&HeartbeatReaction, &rootBeat);

        log.clear();
        if (held) {
            tree.HoldInWindow();
        }
        EXPECT_EQ(tree.PassHeartbeat(), eNoError);
        if (held) {
            tree.HoldInWindow();
        }
        EXPECT_EQ(tree.PassMessage(8, nullptr, 0), 0);
        if (held) {
            tree.HoldInWindow();
        }
        CWidget* taker = nullptr;
        gCPoint point(5, 5);
        EXPECT_EQ(tree.PassMouseMove(taker, point), eNoError);

        const Log stopped = {"after", "quit", "panel:Message 8", "quit 8", "quit 5,5"};
        const Log routed = {"after",  "quit",    "panel:Heartbeat", "root",     "panel:Message 8",
                            "quit 8", "after 8", "quit 5,5",        "after 5,5"};
        EXPECT_EQ(log, held ? stopped : routed) << (held ? "held" : "not held");
    }
}

// The focused widget removes itself: the focus path ends at its parent,
// which has the next key.
TEST_F(TreeSafety, TheFocusedWidgetRemovesItself) {
    CLoggingWidget* panel = Add(root, "P", gCRect(0, 0, 100, 100));
    CLoggingWidget* field = Add(*panel, "F", gCRect(0, 0, 10, 10));
    ASSERT_EQ(field->SetFocus(0), eNoError);
    SReaction& key = reactions.Add("F");
    key.action = [](CWidget* self) { EXPECT_EQ(self->Parent()->RemoveChild(self, 0), eNoError); };
    field->SetKeyDown(&KeyReaction, &key);

    CWidget* taker = nullptr;
    EXPECT_EQ(root.PassKeyDown(taker, 65), eNoError);
    EXPECT_EQ(root.PassKeyDown(taker, 66), eNoError);
    EXPECT_EQ(log, (Log{"F 65", "P:KeyDown 65", "F:deleted", "P:KeyDown 66"}));
    EXPECT_EQ(panel->ChildWithFocus(), nullptr);
    EXPECT_EQ(root.ChildWithFocus(), panel);
}

// A handler that pumps events runs a nested pass; what that pass removes
// waits for the outermost one.
TEST_F(TreeSafety, NestedPassesWaitForTheOutermost) {
    CLoggingWidget* button = Add(root, "button", gCRect(0, 0, 50, 50));
    CLoggingWidget* x = Add(root, "X", gCRect(100, 0, 150, 50));
    SReaction& pump = reactions.Add("button");
    pump.action = [&](CWidget*) {
        EXPECT_EQ(root.PassHeartbeat(), eNoError);
        log.push_back("pumped");
    };
    SReaction& vanish = reactions.Add("X");
    vanish.action = [](CWidget* self) {
        EXPECT_EQ(self->Parent()->RemoveChild(self, 0), eNoError);
    };
    button->SetButtonDownL(&PointReaction, &pump);
    x->SetHeartbeat(&HeartbeatReaction, &vanish);

    CWidget* taker = nullptr;
    gCPoint point(5, 5);
    EXPECT_EQ(root.PassButtonDownL(taker, point), eNoError);
    EXPECT_EQ(log, (Log{"button 5,5", "button:Heartbeat", "X", "pumped", "X:deleted"}));
}

// "c<i>", built by appending (g++ 12 at -O3 warns wrongly about a literal
// plus a string).
std::string ChildName(int32_t i) {
    std::string name("c");
    name.append(std::to_string(i));
    return name;
}

Log Visits(const Log& log) {
    Log visits;
    std::copy_if(log.begin(), log.end(), std::back_inserter(visits),
                 [](const std::string& s) { return s.find(":deleted") == std::string::npos; });
    return visits;
}

// Lists longer than what a step copies on the stack behave the same; when
// even that copy cannot be made, every child is still reached.
TEST_F(TreeSafety, LongChildLists) {
    for (bool memory : {true, false}) {
        CLoggingWidget* panel = Add(root, "P", gCRect(0, 0, 100, 100));
        SReaction& rp = reactions.Add("P");
        panel->SetTimer(&KeyReaction, &rp);
        Log expected;
        for (int32_t i = 19; i >= 0; --i) {
            const std::string name = ChildName(i);
            CLoggingWidget* child = Add(*panel, name.c_str(), gCRect(0, 0, 10, 10));
            SReaction& r = reactions.Add(name);
            if (i == 5 && memory) {
                r.action = [panel](CWidget*) { EXPECT_EQ(panel->RemoveChildren(0), eNoError); };
            }
            child->SetTimer(&KeyReaction, &r);
        }
        for (int32_t i = 0; i < 20 && (i <= 5 || !memory); ++i) {
            expected.push_back(ChildName(i).append(" 1"));
        }
        expected.push_back("P 1");

        log.clear();
        CWidget* taker = nullptr;
        if (memory) {
            EXPECT_EQ(root.PassTimer(taker, 1), eNoError);
        } else {
            CFailingMemory noMemory;
            EXPECT_EQ(root.PassTimer(taker, 1), eNoError);
        }
        EXPECT_EQ(Visits(log), expected) << (memory ? "copied" : "live");
        EXPECT_EQ(root.RemoveChildren(0), eNoError);
    }
}

TEST_F(TreeSafety, DeleteWhenSafe) {
    CLoggingWidget* a = Add(root, "A", gCRect(0, 0, 10, 10));
    CLoggingWidget* b = Add(root, "B", gCRect(0, 0, 10, 10));
    CLoggingWidget* c = Add(root, "C", gCRect(0, 0, 10, 10));
    CWidget::DeleteWhenSafe(nullptr);
    CWidget::DeleteWhenSafe(a); // no pass runs: at once
    EXPECT_EQ(log, (Log{"A:deleted"}));
    {
        CWidget::CPassScope pass;
        CWidget::DeleteWhenSafe(b);
        CWidget::DeleteWhenSafe(b);
        CWidget::DeleteWhenSafe(c);
        EXPECT_EQ(log, (Log{"A:deleted"}));
        EXPECT_EQ(b->Parent(), nullptr);
        EXPECT_EQ(root.ChildCount(), 0);
        // A widget on its way out cannot come back.
        EXPECT_EQ(root.AddChild(c, 0), eBadParameter);
        // Its owner deletes it directly after all: it leaves the queue.
        delete b;
    }
    EXPECT_EQ(log, (Log{"A:deleted", "B:deleted", "C:deleted"}));
}

} // namespace
