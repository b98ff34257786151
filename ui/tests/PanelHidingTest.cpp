// Panels that step aside, on the built backdrop with the brush picker as
// panel 4 and plain test panels in the other slots: hidden under the pen
// for a stroke, and all hidden or shown at the painter's word with the
// hint in their place.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/MessageIds.h"
#include "foundation/Utf8.h"
#include "paint/ChannelValue.h"
#include "paint/project/ProjectInfo.h"
#include "testsupport/FileIO/TempVolume.h"
#include "testsupport/foundation/RecordingModule.h"
#include "text/TxWidget.h"
#include "ui/SMKBackdrop.h"
#include "ui/boxes/SavePrompt.h"
#include "ui/panels/BrushPicker.h"
#include "ui/tests/BuiltResourcesTest.h"
#include "widgets/Widget.h"

namespace {

class CHidingBackdrop : public CSMKBackdrop {
public:
    using CSMKBackdrop::HidePanelOnDrag;
    error PassRedraw() override {
        ++m_nRedraws;
        return CSMKBackdrop::PassRedraw();
    }
    int32_t m_nRedraws = 0;
};

// The canvas widget of an 800 x 600 painting sits at (112, 84) in the
// 1024 x 768 backdrop; pen points are in its own coordinates. The brush
// picker (panel 4) spans x 12..164, y 188..580 of the backdrop.
constexpr int32_t kCanvasLeft = 112;
constexpr int32_t kCanvasTop = 84;

class PanelHidingTest : public BuiltResourcesTest {
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
        CProjectInfo info;
        ASSERT_EQ(m_Backdrop.ProcessData(eCmdNewProject, &m_Backbone, ChannelValueOf(&info), 1), 0);
        ASSERT_EQ(m_Backdrop.CanvasWidget()->Rect(), gCRect(112, 84, 912, 684));
        // Panel 0 wholly off the canvas, panel 2 over the picker's right
        // part, panel 5 (the clean-brush panel) inside the canvas.
        AddPanel(0, gCRect(0, 0, 100, 50));
        AddPanel(2, gCRect(130, 300, 300, 400));
        AddPanel(5, gCRect(700, 600, 800, 650));
        m_pPicker = m_Backdrop.BrushPicker()->Root();
        ASSERT_EQ(m_pPicker->Rect(), gCRect(12, 188, 164, 580));
        m_Backdrop.m_nRedraws = 0;
    }
    void TearDown() override {
        gCCmdTarget::SetUIModule(nullptr);
        gCCmdTarget::SetBackboneModule(nullptr);
    }

    void AddPanel(int32_t index, const gCRect& r) {
        auto* root = new CWidget;
        ASSERT_EQ(root->SetSize(r.Width(), r.Height(), 0), eNoError);
        ASSERT_EQ(root->SetPosition(r.left, r.top, 0), eNoError);
        ASSERT_EQ(root->SetVisibility(1, 0), eNoError);
        ASSERT_EQ(m_Backdrop.AddChild(root, 0), eNoError);
        m_Backdrop.SetPanel(index, &m_aPanels[size_t(index)]);
        m_Backdrop.AddPanelRoot(index, root);
        m_apRoots[size_t(index)] = root;
    }
    CWidget* Root(int32_t index) {
        return index == 4 ? m_pPicker : m_apRoots[size_t(index)];
    }
    void Send(uint32_t id, int64_t value = 0, int32_t set = 0) {
        (void)m_Backdrop.ProcessData(id, &m_Backbone, value, set);
    }
    void Pen(float x, float y) {
        float pen[2] = {x, y};
        Send(eCmdStrokePoint, ChannelValueOf(pen));
    }
    // The panels hidden, by index, in the order the stroke listed them.
    std::vector<int32_t> Listed() {
        std::vector<int32_t> listed;
        for (CWidget* w : m_Backdrop.DragHidden()) {
            for (int32_t i : {0, 2, 4, 5}) {
                if (Root(i) == w) {
                    listed.push_back(i);
                }
            }
        }
        return listed;
    }
    std::vector<int32_t> Visible() {
        std::vector<int32_t> shown;
        for (int32_t i : {0, 2, 4, 5}) {
            if (Root(i)->Visible()) {
                shown.push_back(i);
            }
        }
        return shown;
    }

    CRecordingModule m_Backbone;
    CRecordingModule m_UI;
    CHidingBackdrop m_Backdrop;
    CRecordingModule m_aPanels[6];
    CWidget* m_apRoots[6] = {};
    CWidget* m_pPicker = nullptr;
};

TEST_F(PanelHidingTest, PanelsUnderThePenStepAsideForTheStroke) {
    const struct {
        const char* name;
        std::vector<gCPoint> pen; // canvas coordinates
        std::function<void()> midStroke;
        std::vector<int32_t> listed;
    } kCases[] = {
        {"on the picker's right edge", {{164 - kCanvasLeft, 150}}, nullptr, {4}},
        {"one past the right edge", {{165 - kCanvasLeft, 250 - kCanvasTop}}, nullptr, {}},
        {"on the picker's bottom edge", {{20, 580 - kCanvasTop}}, nullptr, {4}},
        {"on the picker off the canvas", {{-10, 300}, {-50, 200}}, nullptr, {}},
        {"where the off-canvas panel is", {{-50, -40}, {-112, -84}, {0, 0}}, nullptr, {}},
        {"in two panels", {{150 - kCanvasLeft, 350 - kCanvasTop}}, nullptr, {4, 2}},
        {"twice over one panel", {{20, 150}, {30, 160}}, nullptr, {4, 4}},
        {"the clean brush listed once",
         {{700 - kCanvasLeft, 610 - kCanvasTop}, {710 - kCanvasLeft, 620 - kCanvasTop}},
         nullptr,
         {5}},
        {"a panel moved mid-stroke",
         {{200 - kCanvasLeft, 350 - kCanvasTop}, {500 - kCanvasLeft, 500 - kCanvasTop}},
         [this] { (void)Root(2)->SetPosition(450, 450, 0); }, {2}},
        {"over nothing", {{400, 300}}, nullptr, {}},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        m_Backdrop.m_nRedraws = 0;
        Send(eCmdStrokeStart);
        if (c.midStroke) {
            c.midStroke();
        }
        for (const gCPoint& p : c.pen) {
            Pen(float(p.x), float(p.y));
        }
        EXPECT_EQ(Listed(), c.listed);
        for (int32_t i : c.listed) {
            EXPECT_EQ(Root(i)->Visible(), 0) << i;
        }
        Send(eCmdStrokeEnd, 0, 1);
        EXPECT_EQ(Visible(), (std::vector<int32_t>{0, 2, 4, 5}));
        EXPECT_TRUE(m_Backdrop.DragHidden().GetSize() == 0);
        EXPECT_EQ(m_Backdrop.m_nRedraws, 1) << "the stroke's end redraws";
        if (c.midStroke) {
            (void)Root(2)->SetPosition(130, 300, 0);
        }
    }
    // Indexes outside the panels do nothing.
    for (const int32_t index : {6, -1}) {
        m_Backdrop.HidePanelOnDrag(index);
        EXPECT_EQ(m_Backdrop.DragHidden().GetSize(), 0) << index;
    }
}

TEST_F(PanelHidingTest, AllPanelsHideAndComeBackWithTheHint) {
    CTxWidget* hint = m_Backdrop.HiddenHint();
    ASSERT_NE(hint, nullptr);
    const gCString text = hint->String();
    EXPECT_EQ(gUtf16ToUtf8(std::u16string_view(text.GetBuffer(), size_t(text.GetLength()))),
              "Right-click/Return: show the panels");
    EXPECT_EQ(hint->Visible(), 0);
    CWidget* prompt = m_Backdrop.FindByID(CSavePrompt::kRootID);
    const int32_t promptShown = prompt->Visible();

    Send(eCmdTogglePanels);
    EXPECT_TRUE(Visible().empty());
    EXPECT_EQ(hint->Visible(), 1);
    EXPECT_EQ(m_Backdrop.m_nRedraws, 1);
    Send(eCmdHidePanels);
    EXPECT_EQ(m_Backdrop.m_nRedraws, 1) << "hiding twice redraws once";

    // While hidden, strokes hide nothing and only redraw at their end.
    Send(eCmdStrokeStart);
    Pen(20, 300);
    EXPECT_EQ(m_Backdrop.DragHidden().GetSize(), 0);
    Send(eCmdStrokeEnd, 0, 1);
    EXPECT_TRUE(Visible().empty());
    EXPECT_EQ(hint->Visible(), 1);
    EXPECT_EQ(prompt->Visible(), promptShown);

    Send(eCmdTogglePanels);
    EXPECT_EQ(Visible(), (std::vector<int32_t>{0, 2, 4, 5}));
    EXPECT_EQ(hint->Visible(), 0);
    EXPECT_EQ(prompt->Visible(), promptShown);
    Send(eCmdShowPanels);
    EXPECT_EQ(m_Backdrop.m_nRedraws, 3) << "showing twice redraws once";
}

} // namespace
