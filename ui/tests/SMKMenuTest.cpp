// The pop-up menu on the built resource file: the item syntax, the rows,
// sizes and ticks a list builds, and choosing: a release on a row, a
// release elsewhere, a press outside, Escape and the other keys.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "foundation/Input.h"
#include "foundation/MessageIds.h"
#include "foundation/Utf8.h"
#include "testsupport/FileIO/TempVolume.h"
#include "testsupport/foundation/RecordingModule.h"
#include "text/TxWidget.h"
#include "ui/menus/SMKMenu.h"
#include "ui/tests/PanelPressTest.h"
#include "widgets/RoRectWidget.h"
#include "widgets/TextList.h"

namespace {

std::string Utf8(const gCString& text) {
    return gStringToUtf8(text);
}

class SMKMenuTest : public PanelPressTest {
protected:
    void SetUp() override {
        PanelPressTest::SetUp();
        ASSERT_FALSE(HasFatalFailure());
        ASSERT_EQ(m_Backdrop.GetFromRes(S("Daublin"), &m_File, nullptr), eNoError);
        ASSERT_EQ(m_Backdrop.SetSize(1024, 768, 0), eNoError);
        gCCmdTarget::SetUIModule(&m_UI);
    }
    // Builds the menu from the items.
    error Build(CSMKMenu& menu, const std::vector<const char*>& items, int32_t freeStanding = 0) {
        CTextList list;
        for (const char* item : items) {
            EXPECT_EQ(list.Add(S(item), 0), eNoError);
        }
        return menu.SetupRoot(&list, freeStanding, &m_Backdrop, &m_Owner);
    }
    std::string Label(CSMKMenu& menu, int32_t row, uint32_t id = CSMKMenu::kLabelID) {
        auto* text = dynamic_cast<CTxWidget*>(menu.Row(row)->FindByID(id));
        return text ? Utf8(text->String()) : "(none)";
    }
    int32_t TextWidth(CSMKMenu& menu, int32_t row, uint32_t id) {
        return menu.Row(row)->FindByID(id)->Width();
    }
    // The choices the owner heard.
    std::vector<int64_t> Choices() const {
        std::vector<int64_t> choices;
        for (const CRecordingModule::Call& c : m_Owner.m_Calls) {
            EXPECT_EQ(c.id, uint32_t(eCmdMenuChoice));
            EXPECT_EQ(c.set, 1);
            choices.push_back(c.value);
        }
        return choices;
    }
    error Key(uint32_t key, CWidget*& taken) {
        taken = nullptr;
        return m_Backdrop.PassKeyDown(taken, key);
    }

    CRecordingModule m_Owner;
};

TEST(SMKMenuItems, TheItemTextSaysWhatTheRowIs) {
    // The separator text comes from the string table.
    CBuiltInterface built;
    built.Open();
    ASSERT_FALSE(::testing::Test::HasFatalFailure());
    const struct {
        const char* text;
        bool separator;
        bool tickable;
        const char* label;
        const char* shortcut;
    } kCases[] = {
        {"New:Ctrl+N", false, false, "New", "Ctrl+N"},
        {">Chalk:4", false, true, "Chalk", "4"},
        {">Sounds", false, true, "Sounds", ""},
        {":x", false, false, ":x", ""},
        {"Save:Ctl+S", false, false, "Save", "Ctrl+S"},
        {"Help:F1", false, false, "Help", "?"},
        {"Keys:F12", false, false, "Keys", "F12"},
        {"a:b:c", false, false, "a", "b:c"},
        {"-", true, false, "", ""},
        {">-", true, true, "", ""},
        {"--", false, false, "--", ""},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(Utf8(S(c.text)));
        const CSMKMenu::SItem item = CSMKMenu::ParseItem(S(c.text));
        EXPECT_EQ(item.m_fSeparator, c.separator);
        if (!c.separator) {
            EXPECT_EQ(item.m_fTickable, c.tickable);
            EXPECT_EQ(Utf8(item.m_Label), c.label);
            EXPECT_EQ(Utf8(item.m_Shortcut), c.shortcut);
        }
    }
}

TEST_F(SMKMenuTest, RowsSkipSeparatorsAndShowTheirTexts) {
    CSMKMenu menu;
    ASSERT_EQ(Build(menu, {"Open:Ctrl+O", "-", "Close", "-", "Help:F1"}), eNoError);
    ASSERT_EQ(menu.RowCount(), 3);
    for (int32_t row = 0; row < 3; ++row) {
        EXPECT_EQ(menu.Row(row)->GetUserData(0), uint32_t(row))
            << "rows counted without separators";
        EXPECT_EQ(menu.Row(row)->GetUserData(7), 0u);
    }
    EXPECT_EQ(Label(menu, 1), "Close");
    EXPECT_EQ(Label(menu, 0, CSMKMenu::kShortcutID), "Ctrl+O");
    EXPECT_EQ(Label(menu, 1, CSMKMenu::kShortcutID), "") << "no shortcut shows none";
    EXPECT_EQ(Label(menu, 2, CSMKMenu::kShortcutID), "?");
    EXPECT_FALSE(menu.Root()->Visible()) << "hidden until shown";
    int32_t separators = 0;
    for (int32_t i = 0; i < menu.Root()->ChildCount(); ++i) {
        separators += menu.Root()->Child(i)->GetResID() == int32_t(CSMKMenu::kSeparatorID);
    }
    EXPECT_EQ(separators, 2);
    // Each line starts where the one above ends.
    EXPECT_EQ(menu.Row(1)->Rect().top, menu.Row(0)->Rect().bottom + 9);
}

TEST_F(SMKMenuTest, SizesFollowTheRowsTextsAndTicks) {
    CSMKMenu hanging;
    ASSERT_EQ(Build(hanging, {"Alpha", "Beta", "Gamma"}), eNoError);
    const int32_t h = hanging.Row(0)->Height();
    ASSERT_GT(h, 0);
    EXPECT_EQ(hanging.Root()->Height(), 3 * h + 20);
    EXPECT_EQ(hanging.Row(0)->Rect().top, 0);
    const int32_t widest = std::max({TextWidth(hanging, 0, CSMKMenu::kLabelID),
                                     TextWidth(hanging, 1, CSMKMenu::kLabelID),
                                     TextWidth(hanging, 2, CSMKMenu::kLabelID)});
    EXPECT_EQ(hanging.Root()->Width(), widest + 20);
    EXPECT_EQ(hanging.Root()->CornerFlags(), 12u) << "only the bottom corners curved";
    for (int32_t row = 0; row < 3; ++row) {
        EXPECT_EQ(hanging.Row(row)->Width(), widest + 20) << "every row as wide as the menu";
    }

    CSMKMenu standing;
    ASSERT_EQ(Build(standing, {"Alpha", "Beta", "Gamma"}, 1), eNoError);
    EXPECT_EQ(standing.Root()->Height(), 3 * h + 40);
    EXPECT_EQ(standing.Row(0)->Rect().top, 20);

    CSMKMenu shortcut;
    ASSERT_EQ(Build(shortcut, {"Open:Ctrl+O"}), eNoError);
    EXPECT_EQ(shortcut.Root()->Width(), TextWidth(shortcut, 0, CSMKMenu::kLabelID) +
                                            TextWidth(shortcut, 0, CSMKMenu::kShortcutID) + 40);
    EXPECT_EQ(shortcut.Row(0)->FindByID(CSMKMenu::kShortcutID)->Rect().right,
              shortcut.Root()->Width() - 10)
        << "the shortcut ends inside the menu as the label starts inside it";

    CSMKMenu ticked;
    ASSERT_EQ(Build(ticked, {">Open:Ctrl+O", "Close"}), eNoError);
    const int32_t tick = ticked.Row(0)->FindByID(CSMKMenu::kTickID)->Width();
    ASSERT_GT(tick, 0);
    EXPECT_EQ(ticked.Root()->Width(), TextWidth(ticked, 0, CSMKMenu::kLabelID) +
                                          TextWidth(ticked, 0, CSMKMenu::kShortcutID) + 40 + tick +
                                          5);
    EXPECT_EQ(ticked.Row(1)->FindByID(CSMKMenu::kLabelID)->Rect().left,
              shortcut.Row(0)->FindByID(CSMKMenu::kLabelID)->Rect().left + tick + 5)
        << "every label moves right of the tick column";
    EXPECT_TRUE(ticked.Row(0)->FindByID(CSMKMenu::kTickID)->Visible());
    EXPECT_FALSE(ticked.Row(1)->FindByID(CSMKMenu::kTickID)->Visible());
}

TEST_F(SMKMenuTest, OnlyTickableRowsInRangeTakeATick) {
    CSMKMenu menu;
    ASSERT_EQ(Build(menu, {">Chalk", "Paper", ">Pens"}), eNoError);
    const struct {
        int32_t item;
        int32_t on;
        error result;
        std::vector<bool> ticked;
    } kCases[] = {
        {0, 1, eNoError, {true, false, false}},
        {1, 1, eNoError, {true, false, false}}, // not tickable: left alone
        {2, 1, eNoError, {true, false, true}},
        {0, 0, eNoError, {false, false, true}},
        {3, 1, eBadParameter, {false, false, true}},
        {-1, 1, eBadParameter, {false, false, true}},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.item);
        EXPECT_EQ(menu.SetItemTick(c.item, c.on), c.result);
        for (int32_t row = 0; row < 3; ++row) {
            EXPECT_EQ(menu.Ticked(row), c.ticked[size_t(row)]) << row;
        }
    }
    EXPECT_EQ(menu.Row(1)->FindByID(CSMKMenu::kTickID)->Opacity(), 0u);
    EXPECT_EQ(menu.SetAllTicks(1), eNoError);
    EXPECT_TRUE(menu.Ticked(0) && !menu.Ticked(1) && menu.Ticked(2));
}

TEST_F(SMKMenuTest, AMissingPartIsRefused) {
    CSMKMenu menu;
    CTextList list;
    EXPECT_EQ(menu.SetupRoot(nullptr, 0, &m_Backdrop, &m_Owner), eBadParameter);
    EXPECT_EQ(menu.SetupRoot(&list, 0, nullptr, &m_Owner), eBadParameter);
    EXPECT_EQ(menu.SetupRoot(&list, 0, &m_Backdrop, nullptr), eBadParameter);
}

TEST_F(SMKMenuTest, AReleaseOnARowChoosesItWithTheSound) {
    CSMKMenu menu;
    ASSERT_EQ(Build(menu, {"Open", "-", "Close", "Quit"}), eNoError);
    ASSERT_EQ(menu.SetPosition(gCPoint(300, 48), 0), eNoError);
    EXPECT_EQ(menu.Root()->Rect().left, 300);
    ASSERT_EQ(menu.Show(0), eNoError);
    EXPECT_EQ(m_Backdrop.TopModal(), menu.Root());
    EXPECT_TRUE(menu.Root()->SoftModal());

    m_Owner.m_nResult = eFileReadWriteError;
    EXPECT_EQ(Press(menu.Row(1), {Idle()}), eFileReadWriteError)
        << "the command's failure goes back to the window";
    EXPECT_EQ(Choices(), (std::vector<int64_t>{1}));
    EXPECT_EQ(Sounds(), (std::vector<int32_t>{1}));
    EXPECT_FALSE(menu.IsShown());
    EXPECT_FALSE(menu.Root()->Visible());
    EXPECT_EQ(m_Backdrop.ModalCount(), 0);
}

TEST_F(SMKMenuTest, AReleaseElsewhereKeepsTheMenuOpenAndAPressOutsideClosesIt) {
    CSMKMenu menu;
    ASSERT_EQ(Build(menu, {"Open", "Close"}), eNoError);
    ASSERT_EQ(menu.SetPosition(gCPoint(300, 48), 0), eNoError);
    ASSERT_EQ(menu.Show(1), eNoError);
    // Dragged off to the other row, and off the menu.
    EXPECT_EQ(Press(menu.Row(0), {Point(menu.Row(1))}), eNoError);
    EXPECT_EQ(Press(menu.Row(0), {Point(nullptr)}), eNoError);
    EXPECT_TRUE(Choices().empty());
    EXPECT_TRUE(Sounds().empty());
    EXPECT_TRUE(menu.IsShown());
    EXPECT_EQ(m_Backdrop.TopModal(), menu.Root());

    // A press on the menu's own margin is no choice either.
    CWidget* taken = nullptr;
    gCPoint margin = PointIn(menu.Root(), 4, menu.Root()->Height() - 4);
    m_Backdrop.m_pPointed = menu.Root();
    EXPECT_EQ(m_Backdrop.PassButtonDownL(taken, margin), eNoError);
    EXPECT_TRUE(menu.IsShown());

    gCPoint outside(100, 600);
    m_Backdrop.m_pPointed = nullptr;
    taken = nullptr;
    EXPECT_EQ(m_Backdrop.PassButtonDownR(taken, outside), eNoError);
    EXPECT_EQ(Choices(), (std::vector<int64_t>{-1}));
    EXPECT_FALSE(menu.IsShown());
    EXPECT_EQ(m_Backdrop.ModalCount(), 0);
    EXPECT_TRUE(Sounds().empty());
}

TEST_F(SMKMenuTest, AnOpenMenuTakesEveryKeyAndEscapeClosesIt) {
    CSMKMenu menu;
    ASSERT_EQ(Build(menu, {"Open", "Close"}), eNoError);
    ASSERT_EQ(menu.Show(0), eNoError);
    CWidget* taken = nullptr;
    for (const uint32_t key :
         {uint32_t('z'), uint32_t('n'), uint32_t(17), kKeyCodeF7, kKeyCodeF11, kKeyCodeReturn}) {
        EXPECT_EQ(Key(key, taken), eNoError);
        EXPECT_EQ(taken, menu.Root()) << key;
    }
    EXPECT_TRUE(Choices().empty());
    EXPECT_TRUE(menu.IsShown());
    EXPECT_EQ(Key(kKeyCodeEscape, taken), eNoError);
    EXPECT_EQ(taken, menu.Root());
    EXPECT_EQ(Choices(), (std::vector<int64_t>{-1}));
    EXPECT_FALSE(menu.IsShown());
    EXPECT_EQ(m_Backdrop.ModalCount(), 0);
    // Shown again, no row starts lit.
    ASSERT_EQ(menu.Row(0)->SetOpacity(30, 0), eNoError);
    ASSERT_EQ(menu.Show(0), eNoError);
    EXPECT_EQ(menu.Row(0)->Opacity(), 0u);
    EXPECT_EQ(m_Backdrop.ModalCount(), 1);
}

} // namespace
