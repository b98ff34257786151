// The table towards the user and its owner: clicks and the messages they
// send, the wheel, the scroll arithmetic, selection and sorting.
#include <gtest/gtest.h>

#include <cstdio>

#include "foundation/Input.h"
#include "text/tests/TableTestSupport.h"

namespace {

using Msg = CRecordingTarget::SMessage;

class TableInput : public TableFixture {
protected:
    // 100 x 100, ten rows of texts "r0".."r9".
    std::unique_ptr<CTableWidget> Listed(int32_t rows = 10) {
        auto table = Table(100, 100);
        std::vector<std::string> texts;
        for (int32_t i = 0; i < rows; ++i) {
            char text[16];
            std::snprintf(text, sizeof text, "r%d", int(i));
            texts.emplace_back(text);
        }
        AddTextRows(*table, texts);
        m_Target.m_Messages.clear();
        return table;
    }
    error Click(CTableWidget& table, int32_t x, int32_t y) {
        CWidget* taker = nullptr;
        gCPoint point(x, y);
        const error e = table.ButtonDownL(taker, point);
        EXPECT_EQ(taker, &table);
        return e;
    }
    std::vector<int32_t> Selected(const CTableWidget& table) {
        std::vector<int32_t> rows;
        for (int32_t i = table.GetSelectedRow(0); i >= 0; i = table.GetSelectedRow(i + 1)) {
            rows.push_back(i);
        }
        return rows;
    }
    void Ctrl(bool down) { m_Services.m_nModifiers = down ? kModCommand : 0; }
};

} // namespace

TEST_F(TableInput, ClicksSelectAndTellTheTarget) {
    auto table = Listed();
    ASSERT_EQ(table->SelectRow(4, 0), eNoError);
    ASSERT_EQ(Click(*table, 10, 20), eNoError);
    EXPECT_EQ(Selected(*table), (std::vector<int32_t>{1}));
    EXPECT_EQ(m_Target.m_Messages,
              (std::vector<Msg>{{eMsgTableClick, 0}, {eMsgTableClickData, 0, 0, 1}}));
    EXPECT_EQ(m_Target.m_pSender, table.get());
    // Ctrl with multi select: the row toggles, the others stay.
    Ctrl(true);
    ASSERT_EQ(Click(*table, 10, 40), eNoError);
    EXPECT_EQ(Selected(*table), (std::vector<int32_t>{1, 2}));
    ASSERT_EQ(Click(*table, 10, 20), eNoError);
    EXPECT_EQ(Selected(*table), (std::vector<int32_t>{2}));
    // Without multi select the row stays selected and the others go.
    ASSERT_EQ(table->SelectRow(5, 0), eNoError);
    table->SetAutoSelectRow(1);
    ASSERT_EQ(table->SetMultiSelect(0, 0), eNoError);
    EXPECT_EQ(Selected(*table), (std::vector<int32_t>{2}));
    ASSERT_EQ(table->SetMultiSelect(1, 0), eNoError);
    ASSERT_EQ(table->SelectRow(5, 0), eNoError);
    ASSERT_EQ(table->SetMultiSelect(0, 0), eNoError);
    ASSERT_EQ(table->SelectRow(5, 0), eNoError);
    EXPECT_EQ(Selected(*table), (std::vector<int32_t>{5}));
    ASSERT_EQ(Click(*table, 10, 85), eNoError);
    EXPECT_EQ(Selected(*table), (std::vector<int32_t>{5}));
    Ctrl(false);
    // Below the rows: everything deselected, only the click told.
    auto few = Listed(5);
    ASSERT_EQ(few->SelectRow(0, 0), eNoError);
    ASSERT_EQ(few->SelectRow(3, 0), eNoError);
    m_Target.m_Messages.clear();
    ASSERT_EQ(Click(*few, 10, 90), eNoError);
    EXPECT_TRUE(Selected(*few).empty());
    EXPECT_EQ(m_Target.m_Messages, (std::vector<Msg>{{eMsgTableClick, 0}}));
}

TEST_F(TableInput, AutoSelectOffNoTargetAndARefusingTarget) {
    auto table = Listed();
    table->SetAutoSelectRow(0);
    ASSERT_EQ(Click(*table, 99, 99), eNoError);
    EXPECT_TRUE(Selected(*table).empty());
    EXPECT_EQ(m_Target.m_Messages, (std::vector<Msg>{{eMsgTableClickData, 0, 0, 6}}));
    // A target that refuses the click keeps the data from being sent.
    table->SetAutoSelectRow(1);
    m_Target.m_Messages.clear();
    m_Target.m_Answers[eMsgTableClick] = 9;
    EXPECT_EQ(Click(*table, 5, 5), error(9));
    EXPECT_EQ(m_Target.Ids(), (std::vector<uint32_t>{eMsgTableClick}));
    EXPECT_EQ(Selected(*table), (std::vector<int32_t>{0}));
    // Without a target everything still works.
    table->m_pMessageTarget = nullptr;
    m_Target.m_Messages.clear();
    EXPECT_EQ(Click(*table, 5, 40), eNoError);
    EXPECT_EQ(table->VScrollDownOneLine(0), eNoError);
    EXPECT_EQ(table->AddRow(0), eNoError);
    EXPECT_EQ(table->Clear(0), eNoError);
    EXPECT_TRUE(m_Target.m_Messages.empty());
}

TEST_F(TableInput, TheWheelScrollsFourRowsAStep) {
    auto table = Listed(20); // content 320, most 220
    ASSERT_EQ(table->VScrollToPixelLocation(100, 0), eNoError);
    m_Target.m_Messages.clear();
    for (const auto& [delta, expect] :
         {std::pair{1, 36}, std::pair{1, 0}, std::pair{0, 64}, std::pair{-1, 128},
          std::pair{-3, 192}, std::pair{0, 220}}) {
        CWidget* taker = nullptr;
        gCPoint point(5, 5);
        ASSERT_EQ(table->MouseWheel(taker, delta, point), eNoError);
        EXPECT_EQ(taker, table.get());
        EXPECT_EQ(table->VScrollPosition(), expect) << delta;
    }
    EXPECT_EQ(m_Target.m_Messages.back(), (Msg{eMsgTableScroll, 1}));
}

TEST_F(TableInput, ScrollArithmetic) {
    auto table = Listed(); // content 160 in a view of 100
    ASSERT_EQ(table->VScrollToPixelLocation(1000, 0), eNoError);
    EXPECT_EQ(table->VScrollPosition(), 60);
    EXPECT_EQ(m_Target.m_Messages, (std::vector<Msg>{{eMsgTableScroll, 0}}));
    ASSERT_EQ(table->VScroll(0.5f, 0), eNoError);
    EXPECT_EQ(table->VScrollPosition(), 30);
    ASSERT_EQ(table->VScrollToTop(0), eNoError);
    EXPECT_EQ(table->VScrollPosition(), 0);
    EXPECT_EQ(m_Target.m_Messages.back(), (Msg{eMsgTableScroll, 1}));
    ASSERT_EQ(table->VScrollToBottom(0), eNoError);
    EXPECT_EQ(table->VScrollPosition(), 60);
    ASSERT_EQ(table->VScroll(100, 20, gCPoint(0, 40), 0), eNoError); // half the travel
    EXPECT_EQ(table->VScrollPosition(), 30);
    auto few = Listed(5);
    ASSERT_EQ(few->VScrollToPixelLocation(1000, 0), eNoError);
    EXPECT_EQ(few->VScrollPosition(), 0);
    EXPECT_EQ(few->CalcGripHeight(200), 200);
    EXPECT_EQ(few->CalcGripYPos(200, 50), 0);
    auto many = Listed(25); // content 400
    EXPECT_EQ(many->CalcGripHeight(200), 50);
    ASSERT_EQ(many->VScrollToPixelLocation(150, 0), eNoError);
    EXPECT_EQ(many->CalcGripYPos(200, 50), 75);
    ASSERT_EQ(many->VScrollToTop(0), eNoError);
    ASSERT_EQ(many->VScrollDownOnePage(0), eNoError);
    EXPECT_EQ(many->VScrollPosition(), 80);
    ASSERT_EQ(many->VScrollUpOnePage(0), eNoError);
    EXPECT_EQ(many->VScrollPosition(), 0);
    // A row partly below the view ends at the view's bottom; one above
    // starts at its top.
    ASSERT_EQ(many->EnsureRowVisible(6, 0), eNoError);
    EXPECT_EQ(many->RowTop(6) + 16, 100);
    ASSERT_EQ(many->EnsureRowVisible(0, 0), eNoError);
    EXPECT_EQ(many->VScrollPosition(), 0);
    ASSERT_EQ(many->EnsureRowVisible(24, 0), eNoError);
    EXPECT_EQ(many->VScrollPosition(), 300);
}

TEST_F(TableInput, RowsAndColumnsTellTheTarget) {
    auto table = Listed(2);
    ASSERT_EQ(table->AddRow(1), eNoError);
    ASSERT_EQ(table->AddColumn(20, 1, 1), eNoError);
    ASSERT_EQ(table->SetRowHeight(18, 0), eNoError);
    ASSERT_EQ(table->Clear(1), eNoError);
    EXPECT_EQ(m_Target.m_Messages, (std::vector<Msg>{{eMsgTableRows, 1},
                                                     {eMsgTableColumns, 0},
                                                     {eMsgTableRows, 0},
                                                     {eMsgTableRows, 1},
                                                     {eMsgTableScroll, 1}}));
}

// Selecting every row goes row by row through SelectRow: with multi
// select off each one takes the selection from the one before.
TEST_F(TableInput, SelectingAllRows) {
    struct SCase {
        int32_t multi;
        std::vector<int32_t> selected;
    };
    const SCase cases[] = {{1, {0, 1, 2, 3, 4}}, {0, {4}}};
    for (const SCase& c : cases) {
        SCOPED_TRACE(c.multi);
        auto table = Listed(5);
        ASSERT_EQ(table->SetMultiSelect(c.multi, 0), eNoError);
        ASSERT_EQ(table->SelectRow(1, 0), eNoError);
        ASSERT_EQ(table->SelectAllRows(1, 1), eNoError);
        EXPECT_EQ(Selected(*table), c.selected);
        ASSERT_EQ(table->SelectAllRows(0, 1), eNoError);
        EXPECT_TRUE(Selected(*table).empty());
    }
}

// The row buffers are only stored; setting one runs the row height again:
// the top row realigned, the view drawn anew, the target told.
TEST_F(TableInput, SettingARowBufferSetsTheRowHeightAgain) {
    struct SCase {
        const char* name;
        error (CTableWidget::*set)(int32_t, int32_t);
        int32_t (CTableWidget::*get)() const;
        int32_t redraw;
    };
    const SCase cases[] = {
        {"top", &CTableWidget::SetRowTopBufferHeight, &CTableWidget::RowTopBufferHeight, 1},
        {"bottom", &CTableWidget::SetRowBottomBufferHeight, &CTableWidget::RowBottomBufferHeight,
         0},
    };
    auto aligned = Listed(20);
    ASSERT_EQ(aligned->VScrollToPixelLocation(32, 0), eNoError);
    const std::vector<uint32_t> expected = Pixels(aligned->Overlay());
    for (const SCase& c : cases) {
        SCOPED_TRACE(c.name);
        auto table = Listed(20);
        ASSERT_EQ(table->VScrollToPixelLocation(37, 0), eNoError);
        CImNav(&table->Overlay()).Fill(CPixel(0xFF123456u)); // what a re-render replaces
        m_Target.m_Messages.clear();
        ASSERT_EQ(((*table).*c.set)(5, c.redraw), eNoError);
        EXPECT_EQ(((*table).*c.get)(), 5);
        EXPECT_EQ(table->GetRowHeight(), 16);
        EXPECT_EQ(table->VScrollPosition(), 32) << "row 2 at the top";
        EXPECT_TRUE(Pixels(table->Overlay()) == expected);
        EXPECT_EQ(m_Target.m_Messages, (std::vector<Msg>{{eMsgTableRows, uintptr_t(c.redraw)}}));
    }
}

TEST_F(TableInput, ADestroyedTableTellsNobody) {
    auto table = Listed(3);
    ASSERT_EQ(table->VScrollToPixelLocation(0, 0), eNoError);
    m_Target.m_Messages.clear();
    table.reset();
    EXPECT_TRUE(m_Target.m_Messages.empty());
}

TEST_F(TableInput, SortingByTextNumberAndReference) {
    auto table = Listed(0);
    AddTextRows(*table, {"b", "A", "a", "x"});
    ASSERT_EQ(table->Row(3)->m_aCells.GetSize(), 1);
    table->Row(3)->DropCell(0, 0); // a cell without text
    ASSERT_EQ(table->Sort(0, 0, 1, 0), eNoError);
    std::vector<std::string> order;
    for (int32_t i = 0; i < 4; ++i) {
        order.push_back(TableCellText(*table, i, 0));
    }
    EXPECT_TRUE((order == std::vector<std::string>{"A", "a", "b", "<null>"} ||
                 order == std::vector<std::string>{"a", "A", "b", "<null>"}));
    ASSERT_EQ(table->Sort(0, 0, 0, 0), eNoError);
    EXPECT_EQ(TableCellText(*table, 0, 0), "<null>");
    EXPECT_EQ(TableCellText(*table, 1, 0), "b");
    // An empty text compares equal to every cell.
    ASSERT_EQ(table->SetCellText(1, 0, TableUnits(""), 0), eNoError);
    const uintptr_t self = reinterpret_cast<uintptr_t>(table.get());
    EXPECT_EQ(CTableWidget::CompareStringProc(table->Row(1), table->Row(2), self), 0);

    auto numbers = Listed(0);
    AddTextRows(*numbers, {"10", "9", " 1e1x"});
    ASSERT_EQ(numbers->Sort(0, 1, 1, 0), eNoError);
    EXPECT_EQ(TableCellText(*numbers, 0, 0), "9");
    const uintptr_t n = reinterpret_cast<uintptr_t>(numbers.get());
    EXPECT_EQ(CTableWidget::CompareNumericProc(numbers->Row(1), numbers->Row(2), n), 0);
}

TEST_F(TableInput, ReferencesCompareAsWholeValues) {
    // No size: nothing is rendered, so the references need not be images.
    CTableWidget table;
    ASSERT_EQ(table.SetColumnIsImage(0, 1, 0), eNoError);
    ASSERT_EQ(table.AddRow(0), eNoError);
    ASSERT_EQ(table.AddRow(0), eNoError);
    const uintptr_t high = sizeof(uintptr_t) > 4 ? uintptr_t(1) << (sizeof(uintptr_t) * 8 - 4) : 0;
    table.Row(0)->m_aCells[0] = reinterpret_cast<void*>(high | 0x1000u);
    table.Row(1)->m_aCells[0] = reinterpret_cast<void*>(0x1000u);
    ASSERT_EQ(table.Sort(0, 0, 1, 0), eNoError);
    const uintptr_t self = reinterpret_cast<uintptr_t>(&table);
    if (high != 0) {
        EXPECT_EQ(reinterpret_cast<uintptr_t>(table.Row(0)->m_aCells[0]), 0x1000u);
        EXPECT_EQ(CTableWidget::CompareProc(table.Row(1), table.Row(0), self), 1);
    }
    ASSERT_EQ(table.Sort(0, 0, 0, 0), eNoError);
    EXPECT_EQ(CTableWidget::CompareProc(table.Row(1), table.Row(0), self), high ? 1 : 0);
    for (int32_t i = 0; i < 2; ++i) {
        table.Row(i)->m_aCells[0] = nullptr; // not images: cleared before the table goes
    }
}
