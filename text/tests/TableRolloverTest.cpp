// The table in a backdrop's tree: the rollover row under the pointer, the
// wheel left to a focusable widget under the pointer, and the golden
// picture of a table with every kind of cell.
#include <gtest/gtest.h>

#include "testsupport/imaging/Goldens.h"
#include "text/tests/TableTestSupport.h"
#include "widgets/Backdrop.h"

namespace {

class TableInTree : public TableFixture {
protected:
    // A 300 x 200 backdrop with the table at (20, 30), rollover tracking
    // on; the pointer is set in desktop (here backdrop) coordinates.
    CTableWidget* Place(std::unique_ptr<CTableWidget> table) {
        EXPECT_EQ(m_Root.SetSize(300, 200, 0), eNoError);
        EXPECT_EQ(m_Root.SetVisibility(1, 0), eNoError);
        EXPECT_EQ(table->SetPosition(20, 30, 0), eNoError);
        EXPECT_EQ(table->SetVisibility(1, 0), eNoError);
        CTableWidget* placed = table.get();
        EXPECT_EQ(m_Root.AddChild(table.release(), 0), eNoError);
        m_Root.SetWidgetRolloverEnabled(1);
        return placed;
    }
    void PointAt(int32_t x, int32_t y) {
        m_Services.m_CursorLoc = gCPoint(x, y);
        m_Root.PassRolloverTest();
    }
    void TearDown() override {
        m_Root.DestroyChildren(); // the tables before the fonts
        TableFixture::TearDown();
    }

    CBackdrop m_Root;
};

} // namespace

TEST_F(TableInTree, TheRolloverRowFollowsThePointer) {
    auto owned = Table(100, 64);
    AddTextRows(*owned, {"a", "b"});
    CTableWidget* table = Place(std::move(owned));
    ASSERT_EQ(table->Heartbeat(), eNoError);
    EXPECT_EQ(table->RolloverRow(), CTableWidget::kNoRollover); // off
    table->SetAutoRollover(1, 0);
    PointAt(30, 30 + 20); // row 1
    ASSERT_EQ(m_Root.WidgetRollover(), table);
    ASSERT_EQ(table->Heartbeat(), eNoError);
    EXPECT_EQ(table->RolloverRow(), 1);
    PointAt(30, 30 + 50); // below the rows, still over the table
    ASSERT_EQ(table->Heartbeat(), eNoError);
    EXPECT_EQ(table->RolloverRow(), 3);
    PointAt(5, 5); // off the table
    ASSERT_EQ(table->Heartbeat(), eNoError);
    EXPECT_EQ(table->RolloverRow(), CTableWidget::kNoRollover);
}

TEST_F(TableInTree, AFocusableWidgetUnderThePointerKeepsTheWheel) {
    auto owned = Table(100, 64);
    AddTextRows(*owned, {"a", "b", "c", "d", "e", "f", "g", "h"});
    CTableWidget* table = Place(std::move(owned));
    auto* other = new CCoWidget;
    ASSERT_EQ(other->SetSize(50, 50, 0), eNoError);
    ASSERT_EQ(other->SetPosition(200, 100, 0), eNoError);
    ASSERT_EQ(other->SetVisibility(1, 0), eNoError);
    ASSERT_EQ(m_Root.AddChild(other, 0), eNoError);
    CWidget* taker = nullptr;
    gCPoint point(5, 5);
    for (const auto& [x, y, focusable, moves] :
         {std::tuple{210, 110, 1, false}, std::tuple{210, 110, 0, true},
          std::tuple{30, 40, 1, true}, std::tuple{2, 2, 1, false}}) {
        SCOPED_TRACE(x * 1000 + focusable);
        other->SetCanGetFocus(focusable);
        ASSERT_EQ(table->VScrollToTop(0), eNoError);
        PointAt(x, y);
        taker = nullptr;
        ASSERT_EQ(table->MouseWheel(taker, -1, point), eNoError);
        EXPECT_EQ(table->VScrollPosition(), moves ? 64 : 0);
        EXPECT_EQ(taker, moves ? table : nullptr);
    }
}

TEST_F(TableInTree, GoldenTableOfTextImagesAndNumbers) {
    auto owned = Table(240, 100);
    CTableWidget& t = *owned;
    ASSERT_EQ(t.SetRowHeight(20, 0), eNoError);
    ASSERT_EQ(t.SetColumnWidth(0, 110, 0), eNoError);
    ASSERT_EQ(t.AddColumn(40, 0, 0), eNoError);
    ASSERT_EQ(t.AddColumn(90, 1, 0), eNoError);
    ASSERT_EQ(t.SetColumnFadeRight(0, 24, 0), eNoError);
    ASSERT_EQ(t.SetJustification(1, CTextRenderer::eJustifyCentre, 0), eNoError);
    ASSERT_EQ(t.SetJustification(2, CTextRenderer::eJustifyRight, 0), eNoError);
    ASSERT_EQ(t.SetColumnFadeLeft(2, 12, 0), eNoError);
    ASSERT_EQ(t.SetClientColour(0x18FFFFFFu, 0), eNoError);
    ASSERT_EQ(t.SetAltRowColour(0x08FFFFFFu, 0), eNoError);
    ASSERT_EQ(t.SetSelectBackColour(0x806080C0u, 0), eNoError);
    t.SetRolloverColour(0x50FFD080u, 0);
    const struct {
        const char* name;
        uint32_t colour;
        const char* number;
    } rows[] = {{"Burnt umber", 0xFF8A3324u, "138"},
                {"Cobalt blue", 0xFF0047ABu, "71"},
                {"Sap green", 0xFF507D2Au, "125"},
                {"Cadmium yellow", 0xFFFFF600u, "246"},
                {"Titanium white", 0xFFF4F4F0u, "1024"}};
    for (int32_t i = 0; i < 5; ++i) {
        ASSERT_EQ(t.AddRow(0), eNoError);
        t.Row(i)->m_aCellColours[0] = 0xFFE8E4D8u;
        t.Row(i)->m_aCellColours[2] = 0xFFC8C0A8u;
        ASSERT_EQ(t.SetCellText(i, 0, TableUnits(rows[i].name), 0), eNoError);
        ASSERT_EQ(t.SetCellImage(i, 1, SolidImage(24, 24, rows[i].colour), 0), eNoError);
        ASSERT_EQ(t.SetCellText(i, 2, TableUnits(rows[i].number), 0), eNoError);
    }
    ASSERT_EQ(t.SelectRow(1, 0), eNoError);
    CTableWidget* table = Place(std::move(owned));
    table->SetAutoRollover(1, 0);
    PointAt(20 + 50, 30 + 3 * 20 + 5);
    ASSERT_EQ(table->Heartbeat(), eNoError);
    ASSERT_EQ(table->RolloverRow(), 3);
    CImage picture;
    ASSERT_EQ(picture.Create(240, 100), eNoError);
    CImNav(&picture).Fill(0xFF26241Fu);
    ASSERT_EQ(table->RenderArea(gCRect(0, 0, 240, 100), &picture, 255), eNoError);
    EXPECT_GOLDEN_PNG(picture, "table-widget");
}
