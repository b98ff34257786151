// The brush picker with the built resource file and a recording backbone
// that answers the picker's gets: the tool buttons, the read-out, the
// style button, the preview drag, the step buttons' auto-repeat, the
// pressure button and its pop-up, and the hide button; one table each.

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/Clock.h"
#include "foundation/Input.h"
#include "foundation/MessageIds.h"
#include "foundation/Utf8.h"
#include "paint/ChannelValue.h"
#include "testsupport/FileIO/TempVolume.h"
#include "testsupport/foundation/FakeClock.h"
#include "testsupport/foundation/RecordingModule.h"
#include "text/TxWidget.h"
#include "ui/SMKBackdrop.h"
#include "ui/panels/BrushPicker.h"
#include "ui/tests/PanelPressTest.h"
#include "widgets/ImWidget.h"

namespace {

// The backbone's state as the picker reads it, and every set it was sent
// with its value read out and the fake time it came at.
class CPickerBackbone : public gCCmdTarget {
public:
    struct SSet {
        uint32_t id;
        double value;
        uint64_t ms;
    };
    int32_t ProcessData(uint32_t id, const void*, int64_t value, int32_t set) override {
        if (!set) {
            switch (id) {
            case eCmdToolLinearSize:
                *ChannelPointer<float>(value) = m_rSize;
                return 0;
            case eCmdToolStyle:
                *ChannelPointer<int32_t>(value) = m_nStyle;
                return 0;
            case eCmdPressureWeight:
                *ChannelPointer<float>(value) = m_rWeight;
                return 0;
            case eCmdGetToolType:
                *ChannelPointer<int32_t>(value) = m_nToolType;
                return 0;
            default:
                return 0;
            }
        }
        double v = double(value);
        if (id == eCmdToolLinearSize || id == eCmdPressureWeight) {
            v = *ChannelPointer<float>(value);
        } else if (id == eCmdToolStyle) {
            v = *ChannelPointer<int32_t>(value);
        }
        m_Sets.push_back({id, v, gCClock::Microseconds() / 1000u});
        return 0;
    }
    std::vector<double> Values(uint32_t id) const {
        std::vector<double> values;
        for (const SSet& s : m_Sets) {
            if (s.id == id) {
                values.push_back(s.value);
            }
        }
        return values;
    }

    float m_rSize = 0.3f;
    int32_t m_nStyle = 0;
    float m_rWeight = 0.5f;
    int32_t m_nToolType = 0;
    std::vector<SSet> m_Sets;
};

class BrushPickerTest : public PanelPressTest {
protected:
    void SetUp() override {
        BuiltResourcesTest::SetUp();
        if (HasFatalFailure()) {
            return;
        }
        StartBackdrop(m_Backdrop, m_Backbone);
        if (HasFatalFailure()) {
            return;
        }
        gCCmdTarget::SetUIModule(&m_UI);
        m_pPicker = m_Backdrop.BrushPicker();
        ASSERT_NE(m_pPicker, nullptr);
        ASSERT_EQ(m_Backdrop.Panel(4), m_pPicker);
        m_pPopup = m_Backdrop.FindByID(CBrushPicker::kPressurePopupID);
        m_pGrip = m_Backdrop.FindByID(CBrushPicker::kGripID);
        ASSERT_NE(m_pPopup, nullptr);
        ASSERT_NE(m_pGrip, nullptr);
        m_Backbone.m_Sets.clear();
    }
    std::string ReadOut() {
        const gCString text = m_pPicker->SizeText()->String();
        return gUtf16ToUtf8(std::u16string_view(text.GetBuffer(), size_t(text.GetLength())));
    }
    std::vector<uint32_t> Lit() {
        std::vector<uint32_t> lit;
        for (int32_t i = 0; i < CBrushPicker::kToolButtons; ++i) {
            lit.push_back(m_pPicker->ToolButton(i)->GetUserData(0));
        }
        return lit;
    }

    CPickerBackbone m_Backbone;
    CBrushPicker* m_pPicker = nullptr;
    CWidget* m_pPopup = nullptr;
    CWidget* m_pGrip = nullptr;
};

TEST_F(BrushPickerTest, ToolButtonsSendTheirToolsAndTheSelectionLightsOne) {
    const int32_t kSent[] = {0, 1, 6, 7, 3, 4, 5};
    for (int32_t i = 0; i < CBrushPicker::kToolButtons; ++i) {
        SCOPED_TRACE(i);
        m_Backbone.m_Sets.clear();
        m_UI.m_Calls.clear();
        ASSERT_EQ(Press(m_pPicker->ToolButton(i), {}), eNoError);
        EXPECT_EQ(Sounds(), std::vector<int32_t>{0});
        EXPECT_EQ(m_Backbone.Values(eCmdSelectTool), std::vector<double>{double(kSent[i])});
        EXPECT_EQ(m_Backdrop.ModalCount(), 0);

        // The backbone's answer lights that button alone.
        ASSERT_EQ(m_pPicker->ProcessData(eCmdSelectTool, &m_Backbone, kSent[i], 1), 0);
        std::vector<uint32_t> expected(7, 0);
        expected[size_t(i)] = 1;
        EXPECT_EQ(Lit(), expected);
    }
}

TEST_F(BrushPickerTest, ToolsWithoutAButtonAndPressesReleasedElsewhereChangeNothing) {
    m_Backbone.m_rSize = 0.42f;
    ASSERT_EQ(m_pPicker->ProcessData(eCmdSelectTool, &m_Backbone, 7, 1), 0);
    const std::vector<uint32_t> lit = Lit();
    m_Backbone.m_rSize = 0.9f;
    for (const int32_t tool : {2, 8, 9, -1}) {
        SCOPED_TRACE(tool);
        EXPECT_EQ(m_pPicker->ProcessData(eCmdSelectTool, &m_Backbone, tool, 1), 0);
        EXPECT_EQ(Lit(), lit);
        EXPECT_EQ(ReadOut(), "42%");
    }
    const struct {
        const char* name;
        std::deque<std::function<void()>> path;
    } kCases[] = {
        {"released off every widget", {Point(nullptr)}},
        {"released on another button", {Point(m_pPicker->ToolButton(3))}},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        m_UI.m_Calls.clear();
        ASSERT_EQ(Press(m_pPicker->ToolButton(1), c.path), eNoError);
        EXPECT_TRUE(Sounds().empty());
        EXPECT_TRUE(m_Backbone.m_Sets.empty());
        EXPECT_EQ(m_Backdrop.ModalCount(), 0);
    }
}

TEST_F(BrushPickerTest, TheReadOutShowsWholePercentsFromOne) {
    const struct {
        float size;
        const char* text;
    } kCases[] = {{0.0f, "1%"}, {0.014f, "1%"}, {0.026f, "3%"}, {0.5f, "50%"}, {1.0f, "100%"}};
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.size);
        ASSERT_EQ(m_pPicker->UpdateSizePercent(c.size, 0), eNoError);
        EXPECT_EQ(ReadOut(), c.text);
        // The same through the backbone's answer to a size set.
        float size = c.size;
        ASSERT_EQ(m_pPicker->ProcessData(eCmdToolLinearSize, &m_Backbone, ChannelValueOf(&size), 1),
                  0);
        EXPECT_EQ(ReadOut(), c.text);
    }
}

TEST_F(BrushPickerTest, TheStyleButtonTogglesShowsTheStylesImageAndFadesForTwoTools) {
    CImWidget* style = m_pPicker->StyleButton();
    const struct {
        int32_t before;
        double sent;
    } kToggles[] = {{0, 1}, {1, 0}, {2, 0}};
    for (const auto& c : kToggles) {
        SCOPED_TRACE(c.before);
        m_Backbone.m_Sets.clear();
        m_Backbone.m_nStyle = c.before;
        ASSERT_EQ(Press(style, {}), eNoError);
        EXPECT_EQ(m_Backbone.Values(eCmdToolStyle), std::vector<double>{c.sent});
        EXPECT_TRUE(Sounds().empty());
    }

    const struct {
        int32_t type;
        int32_t style;
        int32_t image;
    } kImages[] = {{1, 0, 0}, {1, 1, 1}, {6, 0, 2}, {6, 1, 3}};
    for (const auto& c : kImages) {
        m_Backbone.m_nToolType = c.type;
        ASSERT_EQ(m_pPicker->UpdateToolStyle(c.style, 0), eNoError);
        EXPECT_EQ(style->ImageIndex(), c.image) << c.type << " " << c.style;
    }

    CFakeClock clock;
    const struct {
        int32_t tool;
        uint32_t half;  // after 64 ms
        uint32_t whole; // after 130 ms
    } kFades[] = {{1, 128, 255}, {0, 128, 0}, {6, 128, 255}, {4, 128, 0}, {3, 0, 0}};
    for (const auto& c : kFades) {
        SCOPED_TRACE(c.tool);
        m_Backbone.m_nToolType = c.tool;
        ASSERT_EQ(m_pPicker->ProcessData(eCmdSelectTool, &m_Backbone, c.tool, 1), 0);
        clock.AdvanceMilliseconds(64);
        ASSERT_EQ(CBrushPicker::StyleHeart(m_pPicker, style), eNoError);
        EXPECT_NEAR(double(style->Opacity()), double(c.half), 1.0);
        clock.AdvanceMilliseconds(66);
        ASSERT_EQ(CBrushPicker::StyleHeart(m_pPicker, style), eNoError);
        EXPECT_EQ(style->Opacity(), c.whole);
    }
}

TEST_F(BrushPickerTest, DraggingThePreviewSizesByAPercentEveryTwoPixels) {
    CWidget* preview = W(CBrushPicker::kPreviewID);
    const struct {
        const char* name;
        std::deque<std::function<void()>> moves;
        std::vector<double> sent;
    } kCases[] = {
        {"within 2 pixels", {MoveBy(2), MoveBy(-4), MoveBy(2, 30)}, {}},
        {"20 further", {MoveBy(3), MoveBy(20)}, {0.4}},
        {"1 further", {MoveBy(3), MoveBy(1)}, {0.3}},
        {"clamped", {MoveBy(-3), MoveBy(200)}, {1.0}},
        {"back below", {MoveBy(-3), MoveBy(-80)}, {0.0}},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        m_Backbone.m_Sets.clear();
        m_Backbone.m_rSize = 0.3f;
        ASSERT_EQ(Press(preview, c.moves), eNoError);
        const std::vector<double> sent = m_Backbone.Values(eCmdToolLinearSize);
        ASSERT_EQ(sent.size(), c.sent.size());
        for (size_t i = 0; i < sent.size(); ++i) {
            EXPECT_NEAR(sent[i], c.sent[i], 1e-6);
        }
        EXPECT_EQ(m_Backdrop.ModalCount(), 0);
    }
}

TEST_F(BrushPickerTest, HoldingTheLargerStepRepeatsFasterDownToEvery40Ms) {
    CFakeClock clock;
    const uint64_t start = gCClock::Microseconds() / 1000u;
    const struct {
        const char* name;
        float size;
        int32_t heldMs; // -1: released before the press is handled
    } kCases[] = {{"from the middle", 0.3f, 1200}, {"at the top", 0.97f, 6000},
                  {"already released", 0.3f, -1}};
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        m_Backbone.m_Sets.clear();
        m_Backbone.m_rSize = c.size;
        const uint64_t pressed = gCClock::Microseconds() / 1000u;
        std::deque<std::function<void()>> beats;
        for (int32_t ms = 0; ms < c.heldMs; ms += 10) {
            beats.push_back([&clock] { clock.AdvanceMilliseconds(10); });
        }
        CWidget* larger = W(CBrushPicker::kLargerID);
        if (c.heldMs < 0) {
            m_Services.m_fLButton = 0;
            CWidget* taken = nullptr;
            gCPoint at = CentreOf(larger);
            ASSERT_EQ(CBrushPicker::BrushSizeButton(m_pPicker, larger, taken, at), eNoError);
            EXPECT_TRUE(m_Backbone.m_Sets.empty());
            continue;
        }
        ASSERT_EQ(Press(larger, beats), eNoError);
        std::vector<uint64_t> at;
        float expected = c.size;
        for (const CPickerBackbone::SSet& s : m_Backbone.m_Sets) {
            ASSERT_EQ(s.id, eCmdToolLinearSize);
            at.push_back(s.ms - pressed);
            expected = std::min(1.0f, expected + 0.01f);
            EXPECT_NEAR(s.value, expected, 1e-5);
            EXPECT_LE(s.value, 1.0);
        }
        if (c.size < 0.5f) {
            // The first beat already advanced 10 ms.
            EXPECT_EQ(at, (std::vector<uint64_t>{10, 410, 660, 900, 1130}));
        } else {
            for (size_t i = 1; i < at.size(); ++i) {
                EXPECT_GE(at[i] - at[i - 1], 40u) << i;
            }
            EXPECT_EQ(at.back() - at[at.size() - 2], 40u);
        }
    }
    (void)start;
}

TEST_F(BrushPickerTest, ThePressureButtonOpensThePopUpOrDragsTheWeight) {
    CWidget* button = W(CBrushPicker::kPressureButtonID);
    // A click: the pop-up opens, modal and focused, the grip at the weight.
    m_Backbone.m_rWeight = 0.5f;
    ASSERT_EQ(Press(button, {MoveBy(5), MoveBy(-10)}), eNoError);
    EXPECT_EQ(m_pPopup->Visible(), 1);
    EXPECT_EQ(m_Backdrop.TopModal(), m_pPopup);
    EXPECT_EQ(m_Backdrop.ModalCount(), 1);
    EXPECT_EQ(m_pGrip->Rect().left, 98); // 1 + 193 x 0.5, halves away
    EXPECT_TRUE(m_Backbone.m_Sets.empty());
    EXPECT_GT(m_Services.m_nInputWaits, 0) << "waited for input instead of spinning";

    // Any key closes it without sending.
    CWidget* taken = nullptr;
    ASSERT_EQ(m_Backdrop.PassKeyDown(taken, 'x'), eNoError);
    EXPECT_EQ(m_pPopup->Visible(), 0);
    EXPECT_EQ(m_Backdrop.ModalCount(), 0);
    EXPECT_TRUE(m_Backbone.m_Sets.empty());

    // A drag: 6 pixels begin it and move the weight by 0.06, 20 more by
    // 0.2; the release closes the pop-up and sends the weight once more.
    ASSERT_EQ(Press(button, {MoveBy(6), MoveBy(20)}), eNoError);
    const std::vector<double> sent = m_Backbone.Values(eCmdPressureWeight);
    ASSERT_EQ(sent.size(), 3u);
    EXPECT_NEAR(sent[0], 0.56, 1e-6);
    EXPECT_NEAR(sent[1], 0.76, 1e-6);
    EXPECT_NEAR(sent[2], 0.76, 1e-6);
    EXPECT_EQ(m_pPopup->Visible(), 0);
    EXPECT_EQ(m_Backdrop.ModalCount(), 0);
}

TEST_F(BrushPickerTest, TheGripAnOutsidePressAndAMissingGrip) {
    CWidget* button = W(CBrushPicker::kPressureButtonID);
    const struct {
        const char* name;
        bool grip; // else a press outside
        std::vector<double> sent;
    } kCases[] = {
        {"grip dragged past the end", true, {194.0 / 193.0, 194.0 / 193.0}},
        {"press outside", false, {98.0 / 193.0}},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        m_Backbone.m_rWeight = 0.5f;
        ASSERT_EQ(Press(button, {}), eNoError);
        ASSERT_EQ(m_Backdrop.TopModal(), m_pPopup);
        m_Backbone.m_Sets.clear();
        if (c.grip) {
            ASSERT_EQ(Press(m_pGrip, {MoveBy(0), MoveBy(400)}), eNoError);
            EXPECT_EQ(m_pGrip->Rect().left, 194);
        } else {
            ASSERT_EQ(Press(W(5), {}, gCPoint(900, 700)), eNoError);
        }
        const std::vector<double> sent = m_Backbone.Values(eCmdPressureWeight);
        ASSERT_EQ(sent.size(), c.sent.size());
        for (size_t i = 0; i < sent.size(); ++i) {
            EXPECT_NEAR(sent[i], c.sent[i], 1e-6);
        }
        EXPECT_EQ(m_pPopup->Visible(), 0);
        EXPECT_EQ(m_Backdrop.ModalCount(), 0);
    }

    // Without the grip the button does nothing at all.
    ASSERT_EQ(m_pPopup->RemoveChild(m_pGrip, 0), eNoError); // deletes it
    m_pGrip = nullptr;
    m_Backbone.m_Sets.clear();
    ASSERT_EQ(Press(button, {MoveBy(30)}), eNoError);
    EXPECT_EQ(m_pPopup->Visible(), 0);
    EXPECT_EQ(m_Backdrop.ModalCount(), 0);
    EXPECT_TRUE(m_Backbone.m_Sets.empty());
}

TEST_F(BrushPickerTest, TheHideButtonFoldsThePanelToItselfAndBack) {
    CWidget* root = m_pPicker->Root();
    CWidget* hide = W(CBrushPicker::kHideID);
    // The last child of the tree, in front of the rest.
    EXPECT_EQ(root->Child(0), hide);
    const gCRect rest = hide->Rect();
    for (const int32_t shown : {0, 1, 0}) {
        m_UI.m_Calls.clear();
        ASSERT_EQ(Press(hide, {}), eNoError);
        EXPECT_EQ(Sounds(), std::vector<int32_t>{0});
        for (int32_t i = 0; i < root->ChildCount(); ++i) {
            CWidget* child = root->Child(i);
            EXPECT_EQ(child->Visible(), child == hide ? 1 : shown) << i;
        }
        EXPECT_EQ(hide->Rect(), rest) << "back at rest";
    }
    // Released elsewhere: nothing folds.
    ASSERT_EQ(Press(hide, {Point(nullptr)}), eNoError);
    EXPECT_EQ(root->Child(1)->Visible(), 0);
}

} // namespace
