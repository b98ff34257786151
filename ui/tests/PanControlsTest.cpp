// The pan controls with the built resource file: shown modal with their
// buttons unlit, closed by any key or by the button released on it, a press
// on the overlay handing the drag to the canvas, hiding that leaves another
// modal widget in place, and a tree without the button stopping set-up.

#include <gtest/gtest.h>

#include "foundation/Input.h"
#include "ui/panels/PanelHighlight.h"
#include "ui/tests/BoxFixture.h"
#include "widgets/WidgetEffectBase.h"

namespace {

class PanControlsTest : public BoxFixture {
public:
    CWidget* Overlay() { return m_Backdrop.PanControls(); }
    CWidget* Button(uint32_t id) { return Overlay()->FindByID(id); }
    void ExpectHidden() {
        EXPECT_EQ(Overlay()->Visible(), 0);
        EXPECT_EQ(m_Backdrop.ModalCount(), 0);
    }
};

TEST_F(PanControlsTest, ShownInFrontModalWithTheButtonsUnlit) {
    ASSERT_NE(Overlay(), nullptr);
    EXPECT_EQ(Overlay()->Visible(), 0);
    for (int32_t round = 0; round < 2; ++round) {
        // Lit when they were last hidden: each showing starts unlit.
        for (const uint32_t id : {2502u, 2503u}) {
            ASSERT_NE(Button(id)->EffectOver(2), nullptr) << id;
            ASSERT_EQ(Button(id)->EffectOver(2)->SetOpacity(25, 0), eNoError);
            PanelHighlight::TimeStepOf(Button(id))->m_rCurrent = 25.0f;
        }
        ASSERT_EQ(m_Backdrop.ShowPanControls(1), eNoError);
        ASSERT_EQ(m_Backdrop.ShowPanControls(1), eNoError) << "asked again";
        EXPECT_EQ(Overlay()->Visible(), 1);
        EXPECT_EQ(m_Backdrop.Child(0), Overlay()) << "in front";
        EXPECT_EQ(m_Backdrop.TopModal(), Overlay());
        EXPECT_EQ(m_Backdrop.ModalCount(), 1);
        EXPECT_EQ(Overlay()->Width(), m_Backdrop.Width()) << "over the whole window";
        for (const uint32_t id : {2502u, 2503u}) {
            EXPECT_EQ(Button(id)->EffectOver(2)->Opacity(), 0u) << id;
            EXPECT_EQ(PanelHighlight::TimeStepOf(Button(id))->m_rCurrent, 0.0f) << id;
            EXPECT_EQ(PanelHighlight::TimeStepOf(Button(id))->m_rTarget, 0.0f) << id;
        }
        ASSERT_EQ(m_Backdrop.HidePanControls(1), eNoError);
        ExpectHidden();
    }
}

TEST_F(PanControlsTest, AnyKeyClosesThem) {
    for (const uint32_t key : {uint32_t('a'), kKeyCodeEscape, kKeyCodeReturn, uint32_t(' '),
                               kKeyCodeF1}) {
        SCOPED_TRACE(key);
        ASSERT_EQ(m_Backdrop.ShowPanControls(0), eNoError);
        CWidget* taken = nullptr;
        ASSERT_EQ(m_Backdrop.PassKeyDown(taken, key), eNoError);
        EXPECT_EQ(taken, Overlay()) << "no shortcut runs";
        ExpectHidden();
    }
    EXPECT_TRUE(m_aLaunched.empty()) << "F1 only closed them";
}

TEST_F(PanControlsTest, TheButtonClosesThemOnlyWhenReleasedOnIt) {
    const struct {
        const char* name;
        std::deque<CWidget*> path;
        bool closes;
    } kCases[] = {
        {"released on it", {}, true},
        {"released off it", {nullptr}, false},
        {"off and back on", {nullptr, nullptr}, false},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(m_Backdrop.ShowPanControls(0), eNoError);
        ASSERT_EQ(Click(Button(2503), c.path), eNoError);
        if (c.closes) {
            ExpectHidden();
        } else {
            EXPECT_EQ(m_Backdrop.TopModal(), Overlay()) << "still up";
            ASSERT_EQ(m_Backdrop.HidePanControls(0), eNoError);
        }
    }
    EXPECT_TRUE(Sounds().empty()) << "no click sound";
}

// The place of the release decides, not where the pointer has gone by the
// time the program looks.
TEST_F(PanControlsTest, TheButtonIsJudgedWhereThePressWasReleased) {
    m_Backdrop.m_fScripted = 0;
    m_Services.m_fReleaseApart = 1;
    for (const bool releasedOn : {true, false}) {
        SCOPED_TRACE(releasedOn ? "released on it, the pointer gone since" : "released off it");
        ASSERT_EQ(m_Backdrop.ShowPanControls(0), eNoError);
        CWidget* button = Button(2503);
        const gCPoint on = CentreOf(button);
        const gCPoint off(on.x + 200, on.y + 200);
        m_Services.m_ReleaseLoc = releasedOn ? on : off;
        m_Services.m_CursorLoc = releasedOn ? off : on;
        ASSERT_EQ(Click(button), eNoError);
        if (releasedOn) {
            ExpectHidden();
        } else {
            EXPECT_EQ(m_Backdrop.TopModal(), Overlay()) << "still up";
            ASSERT_EQ(m_Backdrop.HidePanControls(0), eNoError);
        }
    }
}

TEST_F(PanControlsTest, APressOnTheOverlayDragsTheCanvasAndKeepsThemUp) {
    ASSERT_EQ(m_Backdrop.ShowPanControls(0), eNoError);
    m_Backbone.m_Calls.clear();
    CWidget* taken = nullptr;
    gCPoint at(40, 600); // on the overlay, away from its buttons
    ASSERT_EQ(m_Backdrop.PassButtonDownL(taken, at), eNoError);
    ASSERT_EQ(m_Backbone.m_Calls.size(), 1u);
    EXPECT_EQ(m_Backbone.m_Calls[0].id, uint32_t(eRecDragCanvas));
    EXPECT_EQ(m_Backbone.m_Calls[0].value, 0);
    EXPECT_EQ(Overlay()->Visible(), 1);
    EXPECT_EQ(m_Backdrop.TopModal(), Overlay());
    ASSERT_EQ(m_Backdrop.HidePanControls(0), eNoError);
}

TEST_F(PanControlsTest, HidingLeavesAnotherModalWidgetOnTop) {
    ASSERT_EQ(m_Backdrop.ShowPanControls(0), eNoError);
    CWidget* other = m_Backdrop.FindByID(5);
    ASSERT_EQ(m_Backdrop.DoModal(other), eNoError);
    ASSERT_EQ(m_Backdrop.HidePanControls(0), eNoError);
    EXPECT_EQ(Overlay()->Visible(), 0);
    EXPECT_EQ(m_Backdrop.TopModal(), other);
    EXPECT_EQ(m_Backdrop.ModalCount(), 2);
    m_Backdrop.EndModal();
    m_Backdrop.EndModal();
}

TEST_F(PanControlsTest, ATreeWithoutTheButtonStopsTheSetUp) {
    for (const uint32_t missing : {2500u, 2502u, 2503u}) {
        SCOPED_TRACE(missing);
        CSMKBackdrop backdrop;
        ASSERT_EQ(backdrop.GetFromRes(S("Daublin"), &m_File, nullptr), eNoError);
        CWidget* parent = backdrop.FindByID(missing)->Parent();
        ASSERT_EQ(parent->RemoveChildByID(missing, 0), eNoError);
        EXPECT_EQ(backdrop.SetupInterface(), eResourceNotFound);
    }
}

} // namespace
