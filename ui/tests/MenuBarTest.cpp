// The menu bar on the built resource file with a recording backbone and a
// backdrop that records the project commands: every row of the four menus,
// the lists as the bar changes them, the ticks, a title released off
// itself, the buttons, and the zoom shown and typed in place.

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "foundation/Input.h"
#include "foundation/MessageIds.h"
#include "foundation/Utf8.h"
#include "paint/ChannelValue.h"
#include "paint/ToolId.h"
#include "testsupport/FileIO/TempVolume.h"
#include "testsupport/foundation/RecordingModule.h"
#include "text/TxEdWidget.h"
#include "text/TxWidget.h"
#include "ui/boxes/WelcomeBox.h"
#include "ui/menus/SMKMenu.h"
#include "ui/panels/MenuBar.h"
#include "ui/tests/PanelPressTest.h"
#include "widgets/RoRectWidget.h"
#include "widgets/TextList.h"

namespace {

using Strings = std::vector<std::string>;

// A backbone that answers the display scale and the tool, and writes down
// every set as "id value" (a scale as the number it points to).
class CBarBackbone : public CRecordingModule {
public:
    int32_t ProcessData(uint32_t id, const void* sender, int64_t value, int32_t set) override {
        (void)CRecordingModule::ProcessData(id, sender, value, set);
        if (!set) {
            if (id == eCmdDisplayScale) {
                *ChannelPointer<float>(value) = m_rScale;
            } else if (id == eCmdGetToolType) {
                *ChannelPointer<int32_t>(value) = m_nTool;
            }
            return 0;
        }
        char line[64];
        if (id == eCmdDisplayScale) {
            std::snprintf(line, sizeof line, "scale %g", double(*ChannelPointer<float>(value)));
        } else {
            std::snprintf(line, sizeof line, "%08X %lld", id, static_cast<long long>(value));
        }
        m_aSets.emplace_back(line);
        return m_nSetResult;
    }
    Strings m_aSets;
    float m_rScale = 1.0f;
    int32_t m_nTool = eToolOilPaint;
    int32_t m_nSetResult = 0;
};

// The project commands and the quit, written down instead of run.
class CBarBackdrop : public CPointedBackdrop {
public:
    error NewProject() override { return Call("new"); }
    error LoadProject() override { return Call("load"); }
    error SaveProject(int32_t as) override { return Call("save " + std::to_string(as)); }
    error ImportImage() override { return Call("import"); }
    void QuitApplication() override { (void)Call("quit"); }
    error Call(const std::string& what) {
        m_aCalls.push_back(what);
        return m_nResult;
    }
    using CSMKBackdrop::m_fSoundOn;
    Strings m_aCalls;
    error m_nResult = eNoError;
};

std::string Hex(uint32_t id, int64_t value) {
    char line[64];
    std::snprintf(line, sizeof line, "%08X %lld", id, static_cast<long long>(value));
    return line;
}

class MenuBarTest : public BuiltResourcesTest {
protected:
    void SetUp() override {
        BuiltResourcesTest::SetUp();
        ASSERT_FALSE(HasFatalFailure());
        StartBackdrop(m_Backdrop, m_Backbone);
        ASSERT_FALSE(HasFatalFailure());
        gCCmdTarget::SetUIModule(&m_UI);
        m_pBar = m_Backdrop.MenuBar();
        ASSERT_NE(m_pBar, nullptr);
        ASSERT_EQ(m_Backdrop.Panel(0), m_pBar);
        m_Backbone.m_aSets.clear();
    }
    void TearDown() override {
        m_Services.m_OnPump = nullptr;
        gCCmdTarget::SetUIModule(nullptr);
        gCCmdTarget::SetBackboneModule(nullptr);
    }
    CWidget* W(uint32_t id) { return m_pBar->Content()->FindByID(id); }
    gCPoint CentreOf(CWidget* w) {
        gCRect r(0, 0, w->Width(), w->Height());
        w->LocalToBackdrop(r);
        return gCPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    }
    // A press on the widget, the pointer moved to `release` (if given)
    // while held, then the release.
    error Press(CWidget* w, CWidget* releasedOn, gCPoint release = gCPoint(-1, -1)) {
        m_Backdrop.m_pPointed = w;
        const gCPoint at = CentreOf(w);
        m_Services.m_CursorLoc = at;
        m_Services.m_fLButton = 1;
        m_Services.m_OnPump = [this, releasedOn, release] {
            m_Backdrop.m_pPointed = releasedOn;
            if (release.x >= 0) {
                m_Services.m_CursorLoc = release;
            }
            m_Services.m_fLButton = 0;
        };
        CWidget* taken = nullptr;
        gCPoint point = at;
        const error e = m_Backdrop.PassButtonDownL(taken, point);
        m_Services.m_OnPump = nullptr;
        m_Services.m_fLButton = 0;
        return e;
    }
    error Click(CWidget* w) { return Press(w, w); }
    error Key(uint32_t key) {
        CWidget* taken = nullptr;
        return m_Backdrop.PassKeyDown(taken, key);
    }
    std::vector<int64_t> Sounds() const {
        std::vector<int64_t> sounds;
        for (const CRecordingModule::Call& c : m_UI.m_Calls) {
            if (c.id == eCmdPlaySound) {
                sounds.push_back(c.value);
            }
        }
        return sounds;
    }
    std::string Label(CSMKMenu* menu, int32_t row, uint32_t id = CSMKMenu::kLabelID) {
        auto* text = dynamic_cast<CTxWidget*>(menu->Row(row)->FindByID(id));
        return text ? gStringToUtf8(text->String()) : "(none)";
    }
    std::string ZoomText() {
        return gStringToUtf8(dynamic_cast<CTxWidget*>(W(CMenuBar::kZoomTextID))->String());
    }

    CBarBackbone m_Backbone;
    CRecordingModule m_UI;
    CBarBackdrop m_Backdrop;
    CMenuBar* m_pBar = nullptr;
};

TEST_F(MenuBarTest, EveryRowRunsItsCommandAndAnswersWhatItAnswers) {
    const auto set = [](uint32_t id, int64_t value) { return Hex(id, value); };
    const struct {
        int32_t menu;
        int32_t row;
        Strings backdrop;
        Strings backbone;
        bool answered; // the command's failure comes back
    } kCases[] = {
        {CMenuBar::eFileMenu, 0, {"new"}, {}, true},
        {CMenuBar::eFileMenu, 1, {"load"}, {}, true},
        {CMenuBar::eFileMenu, 2, {"save 0"}, {}, true},
        {CMenuBar::eFileMenu, 3, {"save 1"}, {}, true},
        {CMenuBar::eFileMenu, 4, {"import"}, {}, true},
        {CMenuBar::eFileMenu, 5, {}, {set(eCmdExportImage, 0)}, true},
        {CMenuBar::eFileMenu, 6, {}, {set(eCmdPrint, 1)}, true},
        {CMenuBar::eFileMenu, 7, {}, {set(eCmdPageSetup, 0)}, true},
        {CMenuBar::eFileMenu, 8, {"quit"}, {}, false},
        {CMenuBar::eFileMenu, 9, {}, {}, false},
        {CMenuBar::eFileMenu, -1, {}, {}, false},
        {CMenuBar::eEditMenu, 0, {}, {set(eCmdUndo, 0)}, true},
        {CMenuBar::eEditMenu, 1, {}, {set(eCmdRedo, 0)}, true},
        {CMenuBar::eEditMenu, 2, {}, {set(eCmdClearCanvas, 0)}, true},
        {CMenuBar::eEditMenu, 4, {}, {}, false}, // no window here to change
        {CMenuBar::eEditMenu, 5, {}, {}, false},
        {CMenuBar::eToolsMenu, 0, {}, {set(eCmdSelectTool, eToolOilPaint)}, true},
        {CMenuBar::eToolsMenu, 1, {}, {set(eCmdSelectTool, eToolPencils)}, true},
        {CMenuBar::eToolsMenu, 2, {}, {set(eCmdSelectTool, eToolCrayon)}, true},
        {CMenuBar::eToolsMenu, 3, {}, {set(eCmdSelectTool, eToolChalk)}, true},
        {CMenuBar::eToolsMenu, 4, {}, {set(eCmdSelectTool, eToolPens)}, true},
        {CMenuBar::eToolsMenu, 5, {}, {set(eCmdSelectTool, eToolPaletteKnife)}, true},
        {CMenuBar::eToolsMenu, 6, {}, {set(eCmdSelectTool, eToolEraser)}, true},
        {CMenuBar::eToolsMenu, 7, {}, {}, false}, // the canvas picker: none yet
        {CMenuBar::eToolsMenu, 8, {}, {}, false},
        {CMenuBar::eHelpMenu, 3, {}, {}, false},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(std::to_string(c.menu) + " row " + std::to_string(c.row));
        for (const error answer : {eNoError, eFileReadWriteError}) {
            m_Backdrop.m_aCalls.clear();
            m_Backbone.m_aSets.clear();
            m_Backdrop.m_nResult = answer;
            m_Backbone.m_nSetResult = answer;
            CWidget* title = m_pBar->Title(c.menu);
            title->SetUserData(0, 1);
            const int32_t result =
                m_pBar->ProcessData(eCmdMenuChoice, m_pBar->Menu(c.menu), int64_t(c.row), 1);
            EXPECT_EQ(result, c.answered ? answer : eNoError);
            EXPECT_EQ(m_Backdrop.m_aCalls, c.backdrop);
            EXPECT_EQ(m_Backbone.m_aSets, c.backbone);
            EXPECT_EQ(title->GetUserData(0), 0u) << "the title fades";
        }
    }
    // Another sender's choice is none of the bar's.
    CSMKMenu other;
    EXPECT_EQ(m_pBar->ProcessData(eCmdMenuChoice, &other, 0, 1), 0);
    EXPECT_TRUE(m_Backdrop.m_aCalls.empty());
}

TEST_F(MenuBarTest, TheSoundsRowTogglesAndTheHelpRowsAskTheHub) {
    ASSERT_EQ(m_Backdrop.m_fSoundOn, 1);
    EXPECT_EQ(m_pBar->HandleEditMenu(3), eNoError);
    EXPECT_EQ(m_Backdrop.m_fSoundOn, 0);
    EXPECT_EQ(m_pBar->HandleEditMenu(3), eNoError);
    EXPECT_EQ(m_Backdrop.m_fSoundOn, 1);

    m_UI.m_nResult = eFileReadWriteError;
    EXPECT_EQ(m_pBar->HandleHelpMenu(0), eNoError) << "help shows its own failure";
    EXPECT_EQ(m_pBar->HandleHelpMenu(1), eFileReadWriteError);
    ASSERT_EQ(m_UI.m_Calls.size(), 2u);
    EXPECT_EQ(m_UI.m_Calls[0].id, uint32_t(eCmdShowHelp));
    EXPECT_EQ(m_UI.m_Calls[1].id, uint32_t(eCmdShowAbout));
    EXPECT_EQ(m_UI.m_Calls[1].sender, m_pBar);
    EXPECT_EQ(m_pBar->HandleHelpMenu(2), eNoError);
    EXPECT_EQ(m_Backdrop.TopModal(), m_Backdrop.WelcomeBox()->Root()) << "the welcome box";
}

TEST_F(MenuBarTest, TheListsAreBuiltAsTheBarChangesThem) {
    // As authored: File item 9 is the Quit row, Edit has a seventh item.
    std::unique_ptr<CTextList> file(CTextList::CreateFromRes(850, nullptr, nullptr));
    std::unique_ptr<CTextList> edit(CTextList::CreateFromRes(851, nullptr, nullptr));
    ASSERT_TRUE(file && edit);
    int32_t separators = 0;
    for (int32_t i = 0; i < 9; ++i) {
        separators += CSMKMenu::ParseItem(file->Text(i)).m_fSeparator ? 1 : 0;
    }
    EXPECT_EQ(separators, 1) << "so that item 9 is the ninth row";
    EXPECT_EQ(gStringToUtf8(CSMKMenu::ParseItem(file->Text(9)).m_Label), "Quit");
    EXPECT_EQ(edit->Count(), 7);

    CSMKMenu* fileMenu = m_pBar->Menu(CMenuBar::eFileMenu);
    ASSERT_EQ(fileMenu->RowCount(), 9);
    EXPECT_EQ(Label(fileMenu, 8), "Quit");
    EXPECT_EQ(Label(fileMenu, 8, CSMKMenu::kShortcutID), "Ctrl+Q");
    EXPECT_EQ(Label(fileMenu, 5), "Export Image…");
    EXPECT_EQ(Label(fileMenu, 7, CSMKMenu::kShortcutID), "Shift+Ctrl+P");
    CSMKMenu* editMenu = m_pBar->Menu(CMenuBar::eEditMenu);
    ASSERT_EQ(editMenu->RowCount(), 5) << "the seventh item is gone";
    EXPECT_EQ(Label(editMenu, 1, CSMKMenu::kShortcutID), "Shift+Ctrl+Z");
    EXPECT_EQ(editMenu->Row(3)->GetUserData(7), 1u);
    EXPECT_EQ(editMenu->Row(4)->GetUserData(7), 1u);
    CSMKMenu* tools = m_pBar->Menu(CMenuBar::eToolsMenu);
    ASSERT_EQ(tools->RowCount(), 8);
    for (int32_t row = 0; row < 7; ++row) {
        EXPECT_EQ(tools->Row(row)->GetUserData(7), 1u) << row;
        EXPECT_EQ(Label(tools, row, CSMKMenu::kShortcutID), std::to_string(row + 1));
    }
    EXPECT_EQ(tools->Row(7)->GetUserData(7), 0u);
    CSMKMenu* help = m_pBar->Menu(CMenuBar::eHelpMenu);
    ASSERT_EQ(help->RowCount(), 3);
    EXPECT_EQ(Label(help, 0, CSMKMenu::kShortcutID), "?");
    // Each menu hangs under its title, in front of the backdrop.
    for (int32_t m = 0; m < CMenuBar::kMenuCount; ++m) {
        gCRect title(0, 0, m_pBar->Title(m)->Width(), m_pBar->Title(m)->Height());
        m_pBar->Title(m)->LocalToBackdrop(title);
        EXPECT_EQ(m_pBar->Menu(m)->Root()->Rect().left, title.left) << m;
        EXPECT_EQ(m_pBar->Menu(m)->Root()->Rect().top, title.bottom) << m;
    }
    EXPECT_FALSE(W(220)->Visible());
    EXPECT_FALSE(W(221)->Visible());
    EXPECT_FALSE(W(CMenuBar::kZoomEditID)->Visible());
    EXPECT_EQ(m_pBar->Root()->Width(), 580);
    EXPECT_EQ(m_pBar->Extended(), 1);
}

TEST_F(MenuBarTest, ATitleOpensItsMenuWithTheTicksOfTheMoment) {
    // Each tool ticks its row; 2 (airbrush) and 8 (watercolour) tick none.
    const struct {
        int32_t tool;
        int32_t row;
    } kTools[] = {{eToolOilPaint, 0}, {eToolPencils, 1},   {eToolCrayon, 2},
                  {eToolChalk, 3},    {eToolPens, 4},      {eToolPaletteKnife, 5},
                  {eToolEraser, 6},   {eToolAirbrush, -1}, {eToolWatercolour, -1}};
    CWidget* title = m_pBar->Title(CMenuBar::eToolsMenu);
    CSMKMenu* menu = m_pBar->Menu(CMenuBar::eToolsMenu);
    for (const auto& c : kTools) {
        SCOPED_TRACE(c.tool);
        m_Backbone.m_nTool = c.tool;
        m_UI.m_Calls.clear();
        ASSERT_EQ(Click(title), eNoError);
        ASSERT_TRUE(menu->IsShown());
        EXPECT_EQ(title->GetUserData(0), 1u) << "the title stays lit";
        EXPECT_EQ(Sounds(), (std::vector<int64_t>{0}));
        for (int32_t row = 0; row < menu->RowCount(); ++row) {
            EXPECT_EQ(menu->Ticked(row), row == c.row) << row;
        }
        ASSERT_EQ(Key(kKeyCodeEscape), eNoError);
        EXPECT_FALSE(menu->IsShown());
        EXPECT_EQ(title->GetUserData(0), 0u) << "closing without a choice fades it too";
        EXPECT_EQ(m_Backdrop.ModalCount(), 0);
    }
    // The Edit menu ticks the sounds while they are on.
    CSMKMenu* edit = m_pBar->Menu(CMenuBar::eEditMenu);
    for (const int32_t on : {1, 0}) {
        m_Backdrop.m_fSoundOn = on;
        ASSERT_EQ(Click(m_pBar->Title(CMenuBar::eEditMenu)), eNoError);
        EXPECT_EQ(edit->Ticked(3), on == 1);
        EXPECT_FALSE(edit->Ticked(4)) << "no window: the desktop's panels stay";
        ASSERT_EQ(Key(kKeyCodeEscape), eNoError);
    }
}

TEST_F(MenuBarTest, ATitleReleasedOffItselfOpensNothing) {
    CWidget* title = m_pBar->Title(CMenuBar::eFileMenu);
    EXPECT_EQ(Press(title, nullptr, gCPoint(300, 400)), eNoError);
    EXPECT_FALSE(m_pBar->Menu(CMenuBar::eFileMenu)->IsShown());
    EXPECT_TRUE(Sounds().empty());
    EXPECT_EQ(title->GetUserData(0), 0u);
    EXPECT_EQ(m_Backdrop.ModalCount(), 0);
}

TEST_F(MenuBarTest, AChoiceMadeWithThePointerRunsAndItsFailureReachesTheWindow) {
    CSMKMenu* file = m_pBar->Menu(CMenuBar::eFileMenu);
    ASSERT_EQ(Click(m_pBar->Title(CMenuBar::eFileMenu)), eNoError);
    ASSERT_TRUE(file->IsShown());
    m_Backdrop.m_nResult = eFileReadWriteError;
    EXPECT_EQ(Click(file->Row(3)), eFileReadWriteError) << "save as failed: shown by the window";
    EXPECT_EQ(m_Backdrop.m_aCalls, (Strings{"save 1"}));
    EXPECT_EQ(Sounds(), (std::vector<int64_t>{0, 1}));
    EXPECT_FALSE(file->IsShown());
    EXPECT_EQ(m_pBar->Title(CMenuBar::eFileMenu)->GetUserData(0), 0u);
    EXPECT_EQ(m_Backdrop.ModalCount(), 0);
    EXPECT_EQ(Key('z'), eNoError);
    EXPECT_EQ(m_Backbone.m_aSets, (Strings{Hex(eCmdUndo, 0)})) << "the shortcuts have the keys";
}

TEST_F(MenuBarTest, TheButtonsSendTheirIds) {
    const struct {
        uint32_t id;
        Strings sets;
    } kCases[] = {
        {CMenuBar::kUndoButtonID, {Hex(eCmdUndo, 0)}},
        {CMenuBar::kRedoButtonID, {Hex(eCmdRedo, 0)}},
        {CMenuBar::kZoomInButtonID, {Hex(0xFF000028, 0)}},
        {CMenuBar::kZoomOutButtonID, {Hex(0xFF000027, 0)}},
        {CMenuBar::kWindowButtonID, {}}, // no window here
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.id);
        m_Backbone.m_aSets.clear();
        m_UI.m_Calls.clear();
        m_Backbone.m_nSetResult = eFileReadWriteError;
        const error result = Click(W(c.id));
        EXPECT_EQ(result, c.sets.empty() ? eNoError : eFileReadWriteError);
        EXPECT_EQ(m_Backbone.m_aSets, c.sets);
        EXPECT_EQ(Sounds(), (std::vector<int64_t>{0}));
        // Released off the button: nothing.
        m_Backbone.m_aSets.clear();
        EXPECT_EQ(Press(W(c.id), nullptr), eNoError);
        EXPECT_TRUE(m_Backbone.m_aSets.empty());
    }
    ASSERT_EQ(Click(W(CMenuBar::kPanButtonID)), eNoError);
    EXPECT_EQ(m_Backdrop.TopModal(), m_Backdrop.PanControls());
}

TEST_F(MenuBarTest, TheZoomShowsAsAWholePercentage) {
    const struct {
        float scale;
        const char* shown;
    } kCases[] = {{1.0f, "100%"}, {1.5f, "150%"}, {0.004f, "0%"}, {0.125f, "13%"}, {8.0f, "800%"}};
    for (const auto& c : kCases) {
        float scale = c.scale;
        EXPECT_EQ(m_Backdrop.ProcessData(eCmdDisplayScale, &m_Backbone, ChannelValueOf(&scale), 1),
                  0);
        EXPECT_EQ(ZoomText(), c.shown);
    }
    m_Backbone.m_rScale = 0.5f;
    EXPECT_EQ(m_pBar->ProcessData(eCmdNewProject, &m_Backdrop, 0, 1), 0);
    EXPECT_EQ(ZoomText(), "50%") << "a new painting asks the backbone";
}

TEST_F(MenuBarTest, TheZoomTypedInPlace) {
    CTxEdWidget* field = m_pBar->ZoomEdit();
    const auto typed = [&](const char* keys) {
        for (const char* k = keys; *k; ++k) {
            EXPECT_EQ(Key(uint32_t(uint8_t(*k))), eNoError);
        }
    };
    const struct {
        const char* name;
        const char* keys;
        uint32_t closing; // 0: a press outside
        Strings sets;
    } kCases[] = {
        {"a small zoom is held to 5%", "3", kKeyCodeReturn, {"scale 0.05"}},
        {"a large one to 800%", "1000", kKeyCodeReturn, {"scale 8"}},
        {"a whole percentage", "150", kKeyCodeReturn, {"scale 1.5"}},
        {"Tab applies like Return", "25", kKeyCodeTab, {"scale 0.25"}},
        // The field refuses letters: the scale stays as it was.
        {"letters change nothing", "abc", kKeyCodeReturn, {"scale 1"}},
        {"Escape applies nothing", "150", kKeyCodeEscape, {}},
        {"a press outside applies nothing", "150", 0, {}},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        m_Backbone.m_aSets.clear();
        ASSERT_EQ(Click(W(CMenuBar::kZoomValueID)), eNoError);
        ASSERT_TRUE(field->Visible());
        ASSERT_EQ(m_Backdrop.TopModal(), field);
        EXPECT_TRUE(field->SoftModal());
        EXPECT_EQ(gStringToUtf8(field->String()), "100") << "the scale as it is, selected";
        typed(c.keys);
        if (c.closing) {
            EXPECT_EQ(Key(c.closing), eNoError);
        } else {
            CWidget* taken = nullptr;
            gCPoint outside(200, 500);
            m_Backdrop.m_pPointed = nullptr;
            EXPECT_EQ(m_Backdrop.PassButtonDownL(taken, outside), eNoError);
        }
        EXPECT_FALSE(field->Visible());
        EXPECT_EQ(m_Backdrop.ModalCount(), 0);
        EXPECT_EQ(m_Backbone.m_aSets, c.sets);
        // The focus is back: z undoes.
        m_Backbone.m_aSets.clear();
        EXPECT_EQ(Key('z'), eNoError);
        EXPECT_EQ(m_Backbone.m_aSets, (Strings{Hex(eCmdUndo, 0)}));
    }
}

} // namespace
