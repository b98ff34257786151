// The backdrop's modal stack and routing, heartbeat, rollover, focus
// messages, desktop conversions and the tree-safety hooks of the root.

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "foundation/Input.h"
#include "foundation/MessageIds.h"
#include "testsupport/FileIO/TempVolume.h"
#include "testsupport/foundation/FakeAppServices.h"
#include "testsupport/foundation/FakeClock.h"
#include "testsupport/widgets/RecordingRoot.h"
#include "widgets/tests/BackdropTestSupport.h"
#include "widgets/tests/TestWidgets.h"

namespace {

// A broadcast as a widget hears it: the id, the data pointer and, for the
// press messages, the point the extra argument points at.
struct SHeard {
    uint32_t id = 0;
    void* data = nullptr;
    gCPoint point;
};

struct SListener {
    std::vector<SHeard> heard;
    bool pressPoints = false;
};

int32_t Listen(void* user, CWidget*, uint32_t id, void* data, uintptr_t extra) {
    auto& listener = *static_cast<SListener*>(user);
    SHeard h{id, data, gCPoint()};
    if (listener.pressPoints &&
        (id == eMsgButtonDownL || id == eMsgButtonDownM || id == eMsgButtonDownR)) {
        h.point = *reinterpret_cast<gCPoint*>(extra);
    }
    listener.heard.push_back(h);
    return 0;
}

class BackdropRouting : public ::testing::Test {
protected:
    void SetUp() override {
        backdrop = std::make_unique<CTestBackdrop>();
        ASSERT_EQ(backdrop->SetSize(400, 300, 0), eNoError);
        backdrop->CreationComplete();
        backdrop->SetHost(&host);
    }

    CFakeAppServices services;
    CRecordingHost host;
    // Before the backdrop: its widgets log into them as they go.
    Log log;
    CReactions reactions{&log};
    std::unique_ptr<CTestBackdrop> backdrop;
};

TEST_F(BackdropRouting, AHardModalWidgetTakesTheHeartbeatASoftOneDoesNot) {
    CWidget* a = AddPlaced(*backdrop, gCRect(0, 0, 50, 50));
    CWidget* b = AddPlaced(*backdrop, gCRect(60, 0, 110, 50));
    CWidget* other = AddPlaced(*backdrop, gCRect(200, 0, 250, 50));
    a->SetHeartbeat(HeartbeatReaction, &reactions.Add("A"));
    b->SetHeartbeat(HeartbeatReaction, &reactions.Add("B"));
    other->SetHeartbeat(HeartbeatReaction, &reactions.Add("O"));
    a->SetKeyDown(KeyReaction, &reactions.Add("keyA"));
    b->SetKeyDown(KeyReaction, &reactions.Add("keyB"));
    other->SetKeyDown(KeyReaction, &reactions.Add("keyO"));

    ASSERT_EQ(backdrop->DoModal(a), eNoError);
    EXPECT_EQ(a->SoftModal(), 0);
    ASSERT_EQ(backdrop->PassHeartbeat(), eNoError);
    EXPECT_EQ(log, (Log{"A"}));

    log.clear();
    ASSERT_EQ(backdrop->DoSoftModal(b), eNoError);
    EXPECT_EQ(b->SoftModal(), 1);
    ASSERT_EQ(backdrop->UIHeartbeat(), eNoError);
    EXPECT_EQ(log.size(), 3u); // the whole tree
    log.clear();
    CWidget* taker = nullptr;
    ASSERT_EQ(backdrop->PassKeyDown(taker, 97), eNoError);
    EXPECT_EQ(log, (Log{"keyB 97"}));

    log.clear();
    backdrop->EndModal();
    backdrop->EndModal();
    EXPECT_EQ(backdrop->ModalCount(), 0);
    backdrop->EndModal(); // harmless on an empty stack
    EXPECT_EQ(backdrop->ModalCount(), 0);
    ASSERT_EQ(backdrop->PassHeartbeat(), eNoError);
    EXPECT_EQ(log.size(), 3u);
    EXPECT_EQ(backdrop->DoModal(nullptr), eBadParameter);
    EXPECT_EQ(backdrop->DoSoftModal(nullptr), eBadParameter);
    EXPECT_EQ(backdrop->ModalCount(), 0);
}

TEST_F(BackdropRouting, ABroadcastReachesOnlyTheModalSubtree) {
    CWidget* outside = AddPlaced(*backdrop, gCRect(0, 0, 50, 50));
    CWidget* modal = AddPlaced(*backdrop, gCRect(60, 0, 110, 50));
    CWidget* inside = AddPlaced(*modal, gCRect(0, 0, 10, 10));
    outside->SetMessage(MessageReaction, &reactions.Add("outside"));
    modal->SetMessage(MessageReaction, &reactions.Add("modal"));
    inside->SetMessage(MessageReaction, &reactions.Add("inside"));
    ASSERT_EQ(backdrop->DoModal(modal), eNoError);
    EXPECT_EQ(backdrop->PassMessage(0x1234, nullptr, 0), 0);
    EXPECT_EQ(log, (Log{"modal 4660", "inside 4660"}));
    log.clear();
    backdrop->EndModal();
    EXPECT_EQ(backdrop->PassMessage(0x1234, nullptr, 0), 0);
    EXPECT_EQ(log.size(), 3u);
}

class BackdropPresses : public BackdropRouting {
protected:
    void SetUp() override {
        BackdropRouting::SetUp();
        parent = AddPlaced(*backdrop, gCRect(100, 50, 300, 250));
        modal = AddPlaced(*parent, gCRect(10, 10, 60, 60));
        // Solid, and a press on it does not take the focus: its handler
        // alone decides whether the press is taken.
        modal->SetOpaqueThreshold(1);
        modal->SetCanGetFocus(0);
        modal->SetMessage(Listen, &listener);
        listener.pressPoints = true;
        ASSERT_EQ(backdrop->DoModal(modal), eNoError);
    }

    CWidget* parent = nullptr;
    CWidget* modal = nullptr;
    SListener listener;
};

TEST_F(BackdropPresses, AnOutsidePressIsBroadcastToTheModalWidgetOnce) {
    struct Case {
        const char* name;
        error (CBackdrop::*pass)(CWidget*&, gCPoint&);
        uint32_t message;
    };
    const Case cases[] = {
        {"left", &CBackdrop::PassButtonDownL, eMsgButtonDownL},
        {"middle", &CBackdrop::PassButtonDownM, eMsgButtonDownM},
        {"right", &CBackdrop::PassButtonDownR, eMsgButtonDownR},
    };
    for (const Case& c : cases) {
        listener.heard.clear();
        CWidget* taker = nullptr;
        gCPoint where(5, 7);
        ASSERT_EQ((backdrop.get()->*c.pass)(taker, where), eNoError) << c.name;
        ASSERT_EQ(listener.heard.size(), 1u) << c.name;
        EXPECT_EQ(listener.heard[0].id, c.message) << c.name;
        EXPECT_EQ(listener.heard[0].data, static_cast<CBackdrop*>(backdrop.get())) << c.name;
        // In the coordinates of the modal widget's parent.
        EXPECT_EQ(listener.heard[0].point, gCPoint(-95, -43)) << c.name;
        EXPECT_EQ(where, gCPoint(5, 7)) << c.name;
    }
}

TEST_F(BackdropPresses, ATakenOrFailingPressAndAReleaseSendNothing) {
    SReaction& press = reactions.Add("press");
    press.take = true;
    modal->SetButtonDownL(PointReaction, &press);
    modal->SetButtonUpL(PointReaction, &reactions.Add("release"));
    CWidget* taker = nullptr;
    gCPoint inside(120, 70); // (20, 20) in the parent, (10, 10) in the modal widget
    ASSERT_EQ(backdrop->PassButtonDownL(taker, inside), eNoError);
    EXPECT_EQ(taker, modal);
    EXPECT_EQ(log, (Log{"press 10,10"}));
    EXPECT_TRUE(listener.heard.empty());

    press.take = false;
    press.result = eBadParameter;
    taker = nullptr;
    EXPECT_EQ(backdrop->PassButtonDownL(taker, inside), eBadParameter);
    EXPECT_TRUE(listener.heard.empty());

    taker = nullptr;
    gCPoint outside(5, 7);
    ASSERT_EQ(backdrop->PassButtonUpL(taker, outside), eNoError);
    ASSERT_EQ(backdrop->PassButtonUpL(taker, inside), eNoError);
    ASSERT_EQ(backdrop->PassMouseMove(taker, outside), eNoError);
    ASSERT_EQ(backdrop->PassMouseWheel(taker, 3, outside), eNoError);
    EXPECT_TRUE(listener.heard.empty());
}

TEST_F(BackdropPresses, PointsReachTheModalWidgetInItsParentsCoordinates) {
    CLoggingWidget* logging = nullptr;
    {
        auto owned = std::make_unique<CLoggingWidget>(&log, "M");
        logging = static_cast<CLoggingWidget*>(
            AddPlaced(*parent, std::move(owned), gCRect(100, 100, 150, 150)));
    }
    logging->EnableEvent(CWidget::eLButtonEvent | CWidget::eMouseWheelEvent, 0);
    logging->SetOpaqueThreshold(1);
    ASSERT_EQ(backdrop->DoModal(logging), eNoError);
    CWidget* taker = nullptr;
    gCPoint where(210, 160); // (110, 110) in the parent
    ASSERT_EQ(backdrop->PassButtonDownL(taker, where), eNoError);
    ASSERT_EQ(backdrop->PassMouseWheel(taker, -2, where), eNoError);
    // The press gives it the focus, which only the modal widget hears of.
    EXPECT_EQ(log, (Log{"M:Message " + std::to_string(eMsgFocusLost),
                        "M:Message " + std::to_string(eMsgFocusGained), "M:ButtonDownL 10,10",
                        "M:MouseWheel -2 at 10,10"}));
    EXPECT_EQ(taker, logging);
}

TEST_F(BackdropRouting, RolloverFindsTheWidgetUnderTheMouse) {
    host.m_Origin = gCPoint(100, 50);
    CWidget* panel = AddPlaced(*backdrop, gCRect(10, 10, 40, 40));
    panel->SetOpaqueThreshold(1);
    services.m_CursorLoc = gCPoint(120, 70); // (20, 20) in the backdrop
    backdrop->PassRolloverTest();
    EXPECT_EQ(backdrop->WidgetRollover(), nullptr); // off
    backdrop->SetWidgetRolloverEnabled(1);
    EXPECT_EQ(backdrop->WidgetRolloverEnabled(), 1);
    backdrop->PassRolloverTest();
    EXPECT_EQ(backdrop->WidgetRollover(), panel);
    EXPECT_EQ(backdrop->WidgetRolloverIfActive(), panel);
    host.m_fActive = 0;
    EXPECT_EQ(backdrop->WidgetRolloverIfActive(), nullptr);
    host.m_fActive = 1;
    // Off: the widget found last stays.
    backdrop->SwitchRolloverOff();
    services.m_CursorLoc = gCPoint(0, 0);
    backdrop->PassRolloverTest();
    EXPECT_EQ(backdrop->WidgetRollover(), panel);
    // Over nothing: outside the backdrop.
    backdrop->SetWidgetRolloverEnabled(1);
    backdrop->PassRolloverTest();
    EXPECT_EQ(backdrop->WidgetRollover(), nullptr);
    // The window forgets it when the mouse leaves.
    services.m_CursorLoc = gCPoint(120, 70);
    backdrop->PassRolloverTest();
    backdrop->ClearRollover();
    EXPECT_EQ(backdrop->WidgetRollover(), nullptr);
    // Without a window nothing is active.
    backdrop->PassRolloverTest();
    backdrop->SetHost(nullptr);
    EXPECT_EQ(backdrop->WidgetRolloverIfActive(), nullptr);
}

TEST_F(BackdropRouting, RolloverWithAModalWidgetLooksOnlyInsideIt) {
    CWidget* parent = AddPlaced(*backdrop, gCRect(100, 50, 300, 250));
    CWidget* modal = AddPlaced(*parent, gCRect(10, 10, 60, 60));
    CWidget* beside = AddPlaced(*parent, gCRect(100, 100, 150, 150));
    modal->SetOpaqueThreshold(1);
    beside->SetOpaqueThreshold(1);
    backdrop->SetWidgetRolloverEnabled(1);
    ASSERT_EQ(backdrop->DoModal(modal), eNoError);
    services.m_CursorLoc = gCPoint(120, 70);
    backdrop->PassRolloverTest();
    EXPECT_EQ(backdrop->WidgetRollover(), modal);
    services.m_CursorLoc = gCPoint(210, 160); // over the widget beside it
    backdrop->PassRolloverTest();
    EXPECT_EQ(backdrop->WidgetRollover(), nullptr);
}

TEST_F(BackdropRouting, DesktopConversionsUseTheContentOrigin) {
    host.m_Origin = gCPoint(100, 50);
    gCPoint p(130, 70);
    backdrop->DesktopToLocal(p);
    EXPECT_EQ(p, gCPoint(30, 20));
    backdrop->LocalToDesktop(p);
    EXPECT_EQ(p, gCPoint(130, 70));
    gCRect r(100, 50, 200, 150);
    backdrop->DesktopToLocal(r);
    EXPECT_EQ(r, gCRect(0, 0, 100, 100));
    backdrop->LocalToDesktop(r);
    EXPECT_EQ(r, gCRect(100, 50, 200, 150));
    // A widget's desktop place goes through the backdrop.
    CWidget* panel = AddPlaced(*backdrop, gCRect(10, 20, 40, 40));
    gCPoint local(1, 2);
    panel->LocalToDesktop(local);
    EXPECT_EQ(local, gCPoint(111, 72));
    // Without a window nothing is added.
    backdrop->SetHost(nullptr);
    gCPoint q(130, 70);
    backdrop->DesktopToLocal(q);
    EXPECT_EQ(q, gCPoint(130, 70));
}

TEST_F(BackdropRouting, FocusChangesAreBroadcastInOrder) {
    SListener listener;
    CWidget* ear = AddPlaced(*backdrop, gCRect(0, 0, 1, 1));
    ear->SetMessage(Listen, &listener);
    CWidget* one = AddPlaced(*backdrop, gCRect(10, 10, 20, 20));
    CWidget* two = AddPlaced(*backdrop, gCRect(30, 10, 40, 20));
    ASSERT_EQ(one->SetFocus(1), eNoError);
    ASSERT_EQ(two->SetFocus(1), eNoError);
    ASSERT_EQ(two->SetFocus(1), eNoError); // no change, nothing said
    ASSERT_EQ(one->SetFocus(0), eNoError); // without the gained message
    ASSERT_EQ(listener.heard.size(), 5u);
    const SHeard want[] = {
        {eMsgFocusLost, nullptr, {}}, {eMsgFocusGained, one, {}}, {eMsgFocusLost, one, {}},
        {eMsgFocusGained, two, {}},   {eMsgFocusLost, two, {}},
    };
    for (size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(listener.heard[i].id, want[i].id) << i;
        EXPECT_EQ(listener.heard[i].data, want[i].data) << i;
    }
    EXPECT_EQ(backdrop->FocusWidget(), one);
    EXPECT_EQ(backdrop->ChildWithFocus(), one);
    // A hidden backdrop records nothing.
    ASSERT_EQ(backdrop->SetVisibility(0, 0), eNoError);
    listener.heard.clear();
    ASSERT_EQ(backdrop->PropagateSetFocus(two, two, 1), eNoError);
    EXPECT_TRUE(listener.heard.empty());
    EXPECT_EQ(backdrop->FocusWidget(), one);
}

// --- The tree changing under the backdrop (run under ASan).

TEST_F(BackdropRouting, AModalBoxRemovedByItsKeyCallbackIsForgotten) {
    CWidget* box = AddPlaced(*backdrop, gCRect(10, 10, 100, 100));
    AddPlaced(*box, gCRect(0, 0, 10, 10));
    SReaction& close = reactions.Add("close");
    close.take = true;
    close.action = [this](CWidget* widget) {
        ASSERT_EQ(backdrop->RemoveChild(widget, 0), eNoError); // no EndModal
    };
    box->SetKeyDown(KeyReaction, &close);
    ASSERT_EQ(backdrop->DoModal(box), eNoError);
    ASSERT_EQ(backdrop->DoModal(box), eNoError); // twice: both entries go
    CWidget* taker = nullptr;
    ASSERT_EQ(backdrop->PassKeyDown(taker, 13), eNoError);
    EXPECT_EQ(backdrop->ModalCount(), 0);
    EXPECT_EQ(backdrop->ChildCount(), 0);
    taker = nullptr;
    ASSERT_EQ(backdrop->PassKeyDown(taker, 13), eNoError);
    ASSERT_EQ(backdrop->PassHeartbeat(), eNoError);
    EXPECT_EQ(log, (Log{"close 13"}));
}

TEST_F(BackdropRouting, AModalPressHandlerRemovingItsBoxGetsNoMessage) {
    CWidget* box = AddPlaced(*backdrop, gCRect(10, 10, 100, 100));
    SListener listener;
    box->SetMessage(Listen, &listener);
    box->SetButtonDownL(PointReaction, &reactions.Add("gone"));
    CWidget* inner = AddPlaced(*box, gCRect(0, 0, 20, 20));
    inner->SetOpaqueThreshold(1);
    inner->SetCanGetFocus(0);
    SReaction& remove = reactions.Add("remove");
    remove.action = [this, box](CWidget*) { ASSERT_EQ(backdrop->RemoveChild(box, 0), eNoError); };
    inner->SetButtonDownL(PointReaction, &remove);
    ASSERT_EQ(backdrop->DoModal(box), eNoError);
    CWidget* taker = nullptr;
    gCPoint where(15, 15);
    ASSERT_EQ(backdrop->PassButtonDownL(taker, where), eNoError);
    EXPECT_EQ(backdrop->ModalCount(), 0);
    EXPECT_TRUE(listener.heard.empty());
}

TEST_F(BackdropRouting, RolloverAndFocusWidgetsRemovedAreForgotten) {
    CWidget* panel = AddPlaced(*backdrop, gCRect(10, 10, 40, 40));
    panel->SetOpaqueThreshold(1);
    CWidget* field = AddPlaced(*panel, gCRect(0, 0, 10, 10));
    field->SetOpaqueThreshold(1);
    CWidget* other = AddPlaced(*backdrop, gCRect(100, 100, 140, 140));
    backdrop->SetWidgetRolloverEnabled(1);
    services.m_CursorLoc = gCPoint(15, 15);
    backdrop->PassRolloverTest();
    ASSERT_EQ(backdrop->WidgetRollover(), field);
    ASSERT_EQ(field->SetFocus(0), eNoError);
    ASSERT_EQ(backdrop->FocusWidget(), field);
    ASSERT_EQ(backdrop->DoSoftModal(other), eNoError);
    ASSERT_EQ(backdrop->RemoveChild(panel, 0), eNoError);
    EXPECT_EQ(backdrop->WidgetRollover(), nullptr);
    EXPECT_EQ(backdrop->FocusWidget(), nullptr);
    EXPECT_EQ(backdrop->ModalCount(), 1);
    ASSERT_EQ(backdrop->RemoveChild(other, 0), eNoError);
    EXPECT_EQ(backdrop->ModalCount(), 0);
}

TEST_F(BackdropRouting, AButtonCallbackQuittingDeletesTheBackdropWhenThePassReturns) {
    auto* released = backdrop.release(); // the window's from here on
    {
        auto owned = std::make_unique<CLoggingWidget>(&log, "child");
        ASSERT_NE(AddPlaced(*released, std::move(owned), gCRect(200, 200, 210, 210)), nullptr);
    }
    CWidget* quit = AddPlaced(*released, gCRect(10, 10, 50, 30));
    quit->SetOpaqueThreshold(1);
    quit->SetCanGetFocus(0);
    SReaction& press = reactions.Add("quit");
    press.take = true;
    press.action = [released](CWidget*) {
        CWindowRoot::Releaser()(released); // the window ends at once
    };
    quit->SetButtonDownL(PointReaction, &press);
    ASSERT_EQ(quit->SetMeHighestPriority(0), eNoError);
    CWidget* taker = nullptr;
    gCPoint where(20, 20);
    ASSERT_EQ(released->PassButtonDownL(taker, where), eNoError);
    EXPECT_EQ(log, (Log{"quit 10,10", "child:deleted"}));
}

} // namespace

namespace {

// --- The inspector hook on the fake clock.

class BackdropInspector : public BackdropRouting {
protected:
    void SetUp() override {
        BackdropRouting::SetUp();
        panel = AddPlaced(*backdrop, gCRect(100, 50, 300, 250));
        target = AddPlaced(*panel, gCRect(10, 10, 30, 20));
        target->SetOpaqueThreshold(1);
        ASSERT_EQ(backdrop->PassRedraw(), eNoError);
        backdrop->SetWidgetRolloverEnabled(1);
        services.m_CursorLoc = gCPoint(115, 65);
        backdrop->PassRolloverTest();
        ASSERT_EQ(backdrop->WidgetRollover(), target);
        services.m_nModifiers = kModCommand | kModShift;
    }

    CFakeClock clock;
    CWidget* panel = nullptr;
    CWidget* target = nullptr;
};

TEST_F(BackdropInspector, NothingWithoutControlAndShift) {
    services.m_nModifiers = kModCommand;
    EXPECT_EQ(backdrop->TestWidgetDebug(), eNoError);
    services.m_nModifiers = kModShift;
    EXPECT_EQ(backdrop->TestWidgetDebug(), eNoError);
    EXPECT_TRUE(services.m_Alerts.empty());
    EXPECT_EQ(backdrop->ChildCount(), 1);
}

TEST_F(BackdropInspector, WithoutRolloverOrHeartbeatItSaysWhy) {
    const std::string why = "To use this feature, WidgetRollover MUST be enabled in the "
                            "CBackdrop,and the CAppBase heartbeat must be beating.";
    services.m_fHeartbeat = 0;
    EXPECT_EQ(backdrop->TestWidgetDebug(), eHandled);
    services.m_fHeartbeat = 1;
    backdrop->SetWidgetRolloverEnabled(0);
    EXPECT_EQ(backdrop->TestWidgetDebug(), eHandled);
    ASSERT_EQ(services.m_Alerts.size(), 2u);
    for (const auto& alert : services.m_Alerts) {
        EXPECT_EQ(alert.headline, "Message");
        EXPECT_EQ(alert.text, why);
    }
    // On, but over nothing: nothing to show.
    backdrop->SetWidgetRolloverEnabled(1);
    services.m_CursorLoc = gCPoint(450, 350); // off the backdrop
    EXPECT_EQ(backdrop->TestWidgetDebug(), eNoError);
    EXPECT_EQ(services.m_Alerts.size(), 2u);
}

TEST_F(BackdropInspector, ThePressTakesTheWidgetUnderThePointerBeforeAnyHeartbeat) {
    // The last heartbeat saw the pointer over nothing; the press comes
    // with a move onto the target before the next one.
    services.m_CursorLoc = gCPoint(450, 350); // off the backdrop
    backdrop->PassRolloverTest();
    ASSERT_EQ(backdrop->WidgetRollover(), nullptr);
    services.m_CursorLoc = gCPoint(115, 65);
    services.m_nModifiers = kModCommand | kModShift | kModOption;
    EXPECT_EQ(backdrop->TestWidgetDebug(), eHandled);
    EXPECT_EQ(backdrop->WidgetRollover(), target);
    // Without a hook the inspector cannot be made: it was asked for.
    ASSERT_EQ(services.m_Alerts.size(), 1u);
    EXPECT_EQ(services.m_Alerts[0].text, "Couldn't create pInfoBack widget");
}

TEST_F(BackdropInspector, AnInspectorAlreadyUpStopsIt) {
    CWidget* shown = AddPlaced(*backdrop, gCRect(0, 0, 10, 10));
    shown->SetResID(int32_t(FourCC("_Db_")));
    shown->SetResName(S("CBackdrop Info Widget for Debugging."));
    services.m_fLButton = 1;
    EXPECT_EQ(backdrop->TestWidgetDebug(), eNoError);
    EXPECT_EQ(backdrop->ChildCount(), 2);
}

TEST_F(BackdropInspector, TheMarkerFlashesEveryQuarterSecondWhileTheButtonIsDown) {
    services.m_fLButton = 1;
    std::vector<uint32_t> seen;
    int32_t pumps = 0;
    services.m_OnPump = [&]() {
        // The marker covers the rollover widget: (110, 60) to (130, 70).
        EXPECT_EQ(backdrop->ChildCount(), 2);
        EXPECT_EQ(backdrop->Child(0)->Rect(), gCRect(110, 60, 130, 70));
        seen.push_back(uint32_t(backdrop->GetColourAtPoint(gCPoint(120, 65))));
        clock.AdvanceMilliseconds(125);
        if (++pumps == 8) {
            services.m_fLButton = 0;
        }
    };
    EXPECT_EQ(backdrop->TestWidgetDebug(), eHandled);
    const uint32_t d = 0xFF404030u;
    const uint32_t l = 0xFFA0A0B8u;
    EXPECT_EQ(seen, (std::vector<uint32_t>{d, d, l, l, d, d, l, l}));
    EXPECT_EQ(backdrop->ChildCount(), 1);
    EXPECT_NE(uint32_t(backdrop->GetColourAtPoint(gCPoint(120, 65))), d);
    EXPECT_TRUE(services.m_Alerts.empty());
}

TEST_F(BackdropInspector, WithAltButNoInspectorHookItCannotBeMade) {
    services.m_nModifiers = kModCommand | kModShift | kModOption;
    EXPECT_EQ(backdrop->TestWidgetDebug(), eHandled);
    ASSERT_EQ(services.m_Alerts.size(), 1u);
    EXPECT_EQ(services.m_Alerts[0].headline, "Message");
    EXPECT_EQ(services.m_Alerts[0].text, "Couldn't create pInfoBack widget");
    EXPECT_EQ(backdrop->ChildCount(), 1);
}

} // namespace
