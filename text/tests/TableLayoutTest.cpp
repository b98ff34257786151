// The table's rows, cells and columns: the geometry of columns and rows,
// the cells' storage and ownership, its resource block, and indices outside
// the table.
#include <gtest/gtest.h>

#include <functional>

#include "FileIO/CResourcePool.h"
#include "testsupport/widgets/WidgetBlockWriter.h"
#include "text/tests/TableTestSupport.h"
#include "widgets/WidgetConstructor.h"

namespace {

using TableLayout = TableFixture;

struct SGeometryCase {
    const char* what;
    std::function<void(CTableWidget&)> setup;
    std::function<int32_t(CTableWidget&)> probe;
    int32_t expected;
};

void Rows(CTableWidget& t, int32_t n) {
    for (int32_t i = 0; i < n; ++i) {
        ASSERT_EQ(t.AddRow(0), eNoError);
    }
}
void Scrolled(CTableWidget& t, int32_t rows, int32_t scroll) {
    Rows(t, rows);
    ASSERT_EQ(t.VScrollToPixelLocation(scroll, 0), eNoError);
    ASSERT_EQ(t.VScrollPosition(), scroll);
}
void ThreeColumns(CTableWidget& t) {
    ASSERT_EQ(t.SetColumnWidth(0, 40, 0), eNoError);
    ASSERT_EQ(t.AddColumn(0, 1, 0), eNoError);
    ASSERT_EQ(t.AddColumn(60, 1, 0), eNoError);
}

} // namespace

TEST_F(TableLayout, GeometryOfColumnsAndRows) {
    const auto none = [](CTableWidget&) {};
    const auto added = [](CTableWidget& t) { ASSERT_EQ(t.AddColumn(50, 1, 0), eNoError); };
    const auto at20 = [](CTableWidget& t) { Scrolled(t, 20, 20); };
    const auto at31 = [](CTableWidget& t) { Scrolled(t, 20, 31); };
    const auto at30 = [](CTableWidget& t) { Scrolled(t, 20, 30); };
    const auto height20 = [](CTableWidget& t, int32_t rows) {
        Scrolled(t, rows, 40);
        ASSERT_EQ(t.SetRowHeight(20, 0), eNoError);
    };
    const std::vector<SGeometryCase> cases = {
        {"new: columns", none, [](CTableWidget& t) { return t.GetColumnCount(); }, 1},
        {"new: width is the view's", none, [](CTableWidget& t) { return t.GetColumnWidth(0); },
         100},
        {"new: x 0", none, [](CTableWidget& t) { return t.ColumnAtXPos(0); }, 0},
        {"new: x at the view width", none, [](CTableWidget& t) { return t.ColumnAtXPos(100); }, -1},
        {"added: columns", added, [](CTableWidget& t) { return t.GetColumnCount(); }, 2},
        {"added: column 0 width", added, [](CTableWidget& t) { return t.GetColumnWidth(0); }, 0},
        {"added: column 1 left", added, [](CTableWidget& t) { return t.ColumnLeft(1); }, 0},
        {"added: x 0", added, [](CTableWidget& t) { return t.ColumnAtXPos(0); }, 1},
        {"40,0,60: x 39", ThreeColumns, [](CTableWidget& t) { return t.ColumnAtXPos(39); }, 0},
        {"40,0,60: x 40", ThreeColumns, [](CTableWidget& t) { return t.ColumnAtXPos(40); }, 2},
        {"40,0,60: x 100", ThreeColumns, [](CTableWidget& t) { return t.ColumnAtXPos(100); }, -1},
        {"40,0,60: left of 2", ThreeColumns, [](CTableWidget& t) { return t.ColumnLeft(2); }, 40},
        {"scroll 20: top of 1", at20, [](CTableWidget& t) { return t.RowTop(1); }, -4},
        {"scroll 20: y 0", at20, [](CTableWidget& t) { return t.RowAtYPos(0); }, 1},
        {"scroll 20: y 12", at20, [](CTableWidget& t) { return t.RowAtYPos(12); }, 2},
        {"top -4 visible", at20, [](CTableWidget& t) { return t.IsRowVisible(1); }, 1},
        {"top -14 visible", at30, [](CTableWidget& t) { return t.IsRowVisible(1); }, 1},
        {"top -15 hidden", at31, [](CTableWidget& t) { return t.IsRowVisible(1); }, 0},
        {"height 20 at 40, room", [&](CTableWidget& t) { height20(t, 10); },
         [](CTableWidget& t) { return t.VScrollPosition(); }, 40},
        {"height 12 at 44: clamped",
         [&](CTableWidget& t) {
             Scrolled(t, 9, 44);
             ASSERT_EQ(t.SetRowHeight(12, 0), eNoError); // row 2 at 24, content allows 8
         },
         [](CTableWidget& t) { return t.VScrollPosition(); }, 8},
        {"ids: the first of two",
         [](CTableWidget& t) {
             Rows(t, 3);
             ASSERT_EQ(t.SetRowID(1, 7), eNoError);
             ASSERT_EQ(t.SetRowID(2, 7), eNoError);
         },
         [](CTableWidget& t) { return t.FindRowByID(7); }, 1},
        {"ids: missing", [](CTableWidget& t) { Rows(t, 3); },
         [](CTableWidget& t) { return t.FindRowByID(9); }, -1},
        {"edge buffer -5",
         [](CTableWidget& t) { ASSERT_EQ(t.SetColumnEdgeBufferWidth(-5, 0), eNoError); },
         [](CTableWidget& t) { return t.ColumnEdgeBufferWidth(); }, 0},
    };
    for (const SGeometryCase& c : cases) {
        SCOPED_TRACE(c.what);
        auto table = Table(100, 100);
        c.setup(*table);
        EXPECT_EQ(c.probe(*table), c.expected);
    }
}

TEST_F(TableLayout, RemovingARowKeepsTheScrollWhenTheRestFitsAndSizeChangedClampsIt) {
    auto table = Table(100, 100);
    AddRows(*table, 7); // content 112
    ASSERT_EQ(table->VScrollToPixelLocation(12, 0), eNoError);
    ASSERT_EQ(table->RemoveRow(6, 0), eNoError); // 96 fit: the scroll stays
    EXPECT_EQ(table->VScrollPosition(), 12);
    ASSERT_EQ(table->SetSize(100, 90, 0), eNoError); // 96 - 90 = 6, whole rows: 0
    EXPECT_EQ(table->VScrollPosition(), 0);
}

TEST_F(TableLayout, CellsHoldTextsAndImages) {
    auto table = Table(100, 32);
    ASSERT_EQ(table->AddColumn(40, 0, 0), eNoError);
    AddRows(*table, 2);
    EXPECT_EQ(TableCellText(*table, 0, 0), "<null>");
    ASSERT_EQ(table->SetCellText(0, 0, TableUnits(""), 0), eNoError);
    ASSERT_NE(table->GetCellText(0, 0), nullptr);
    EXPECT_EQ(table->GetCellText(0, 0)[0], 0);
    ASSERT_EQ(table->SetCellText(0, 0, TableUnits("Grün"), 0), eNoError);
    EXPECT_EQ(TableCellText(*table, 0, 0), "Grün");
    // The wrong kind of column refuses and changes nothing.
    CImage* image = SolidImage(4, 4, 0xFF00FF00u);
    EXPECT_EQ(table->SetCellImage(0, 0, image, 0), eBadParameter);
    EXPECT_EQ(table->SetCellText(0, 1, TableUnits("x"), 0), eBadParameter);
    EXPECT_EQ(table->GetCellImage(0, 0), nullptr);
    EXPECT_EQ(table->GetCellText(0, 1), nullptr);
    // Unpooled images go when replaced, pooled ones stay (ASan counts).
    ASSERT_EQ(table->SetCellImage(0, 1, image, 0), eNoError);
    ASSERT_EQ(table->SetCellImage(0, 1, image, 0), eNoError); // the same: kept
    CResourcePool pool;
    auto* pooled = SolidImage(4, 4, 0xFFFF0000u);
    ASSERT_EQ(pool.Add(pooled), eNoError);
    ASSERT_EQ(table->SetCellImage(0, 1, pooled, 0), eNoError); // image deleted
    ASSERT_EQ(table->SetCellImage(0, 1, SolidImage(2, 2, 0xFF0000FFu), 0), eNoError);
    EXPECT_EQ(pooled->GetWidth(), 4);                          // still alive
    ASSERT_EQ(table->SetCellImage(1, 1, pooled, 0), eNoError); // dropped with the table
    // The same kind keeps the cells; another clears them.
    ASSERT_EQ(table->SetColumnIsImage(1, 1, 0), eNoError);
    EXPECT_NE(table->GetCellImage(0, 1), nullptr);
    ASSERT_EQ(table->SetColumnIsImage(0, 0, 0), eNoError);
    EXPECT_EQ(TableCellText(*table, 0, 0), "Grün");
    ASSERT_EQ(table->SetColumnIsImage(1, 0, 0), eNoError);
    EXPECT_EQ(table->GetCellText(0, 1), nullptr);
    ASSERT_EQ(table->SetCellText(0, 1, TableUnits("now text"), 0), eNoError);
    EXPECT_EQ(pooled->GetWidth(), 4);
    // Cell ids are pointer-sized.
    const uintptr_t wide = uintptr_t(&table);
    ASSERT_EQ(table->SetColumnID(1, 1, wide), eNoError);
    EXPECT_EQ(table->GetColumnID(1, 1), wide);
    EXPECT_EQ(table->Row(1)->m_aCellColours[1], CPixel(0xFF000000u));
}

TEST_F(TableLayout, IndicesOutsideTheTableAreRefused) {
    auto table = Table(100, 48);
    ASSERT_EQ(table->AddColumn(30, 0, 0), eNoError);
    AddRows(*table, 2);
    CImage image;
    for (const int32_t row : {-1, 2}) {
        SCOPED_TRACE(row);
        EXPECT_EQ(table->SetCellText(row, 0, TableUnits("x"), 0), eBadParameter);
        EXPECT_EQ(table->GetCellText(row, 0), nullptr);
        EXPECT_EQ(table->SetCellImage(row, 1, &image, 0), eBadParameter);
        EXPECT_EQ(table->GetCellImage(row, 1), nullptr);
        EXPECT_EQ(table->Row(row), nullptr);
        EXPECT_EQ(table->SetRowID(row, 1), eBadParameter);
        EXPECT_EQ(table->GetRowID(row), 0u);
        EXPECT_EQ(table->SetColumnID(row, 0, 1), eBadParameter);
        EXPECT_EQ(table->GetColumnID(row, 0), 0u);
        EXPECT_EQ(table->RemoveRow(row, 0), eBadParameter);
        EXPECT_EQ(table->SelectRow(row, 0), eBadParameter);
        EXPECT_EQ(table->SelectSingleRow(row, 0), eBadParameter);
        EXPECT_EQ(table->UnselectRow(row, 0), eBadParameter);
        EXPECT_EQ(table->RebuildRow(row, 0), eBadParameter);
        EXPECT_EQ(table->RenderCell(row, 0, nullptr), eBadParameter);
        EXPECT_EQ(table->EnsureRowVisible(row, 0), eBadParameter);
        EXPECT_EQ(table->RebuildCell(row, 0, 0), eNoError); // nothing to rebuild
    }
    EXPECT_EQ(table->InsertRow(-1, 0), eBadParameter);
    EXPECT_EQ(table->InsertRow(3, 0), eBadParameter);
    ASSERT_EQ(table->InsertRow(2, 0), eNoError);
    for (const int32_t column : {-1, 2}) {
        SCOPED_TRACE(column);
        EXPECT_EQ(table->SetCellText(0, column, TableUnits("x"), 0), eBadParameter);
        EXPECT_EQ(table->GetCellText(0, column), nullptr);
        EXPECT_EQ(table->SetColumnWidth(column, 5, 0), eBadParameter);
        EXPECT_EQ(table->GetColumnWidth(column), 0);
        EXPECT_EQ(table->SetColumnIsImage(column, 1, 0), eBadParameter);
        EXPECT_EQ(table->GetColumnIsImage(column), 0);
        EXPECT_EQ(table->SetColumnFadeLeft(column, 3, 0), eBadParameter);
        EXPECT_EQ(table->SetColumnFadeRight(column, 3, 0), eBadParameter);
        EXPECT_EQ(table->ColumnFadeLeft(column), 0);
        EXPECT_EQ(table->ColumnFadeRight(column), 0);
        EXPECT_EQ(table->SetJustification(column, CTextRenderer::eJustifyRight, 0), eBadParameter);
        EXPECT_EQ(table->SetColumnID(0, column, 1), eBadParameter);
        EXPECT_EQ(table->Sort(column, 0, 1, 0), eBadParameter);
        EXPECT_EQ(table->RebuildCell(0, column, 0), eNoError);
    }
    EXPECT_EQ(table->GetSelectedRow(-5), -1);
}

TEST_F(TableLayout, ARowHeightBelowOneIsRefused) {
    auto table = Table(100, 48);
    AddRows(*table, 4);
    m_Target.m_Messages.clear();
    for (const int32_t height : {0, -3}) {
        EXPECT_EQ(table->SetRowHeight(height, 0), eBadParameter);
    }
    EXPECT_EQ(table->GetRowHeight(), 16);
    EXPECT_TRUE(m_Target.m_Messages.empty());
    EXPECT_EQ(table->RowAtYPos(40), 2);
}

namespace {

using TableResources = TableFixture;

std::vector<SEffectField> Shadow() {
    return {FieldInt(0), FieldInt(0x00112233), FieldReal(2.0f), FieldInt(1),
            FieldInt(2), FieldInt(200),        FieldInt(0),     FieldInt(0)};
}

} // namespace

TEST_F(TableResources, ColourAndShadowLoadGlowAndBorderFail) {
    Write({WidgetBlock("tbwg", 1, "Listing",
                       CWidgetChunks()
                           .Real("xsiz", 60.0f)
                           .Real("ysiz", 40.0f)
                           .Int("colr", 0xFF26241F)
                           .Effect("shad", Shadow())),
           WidgetBlock("tbwg", 2, "Glowing", CWidgetChunks().Effect("glow", Shadow())),
           WidgetBlock("tbwg", 3, "Bordered", CWidgetChunks().Int("brde", 0))});
    std::unique_ptr<CTableWidget> table(
        CTableWidget::CreateFromRes(TableUnits("Listing"), nullptr, nullptr));
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->GetClientColour(), CPixel(0xFF26241Fu));
    EXPECT_NE(table->EffectUnder(0), nullptr);
    EXPECT_TRUE(m_Services.m_Alerts.empty());
    EXPECT_EQ(CTableWidget::CreateFromRes(TableUnits("Glowing"), nullptr, nullptr), nullptr);
    EXPECT_EQ(CTableWidget::CreateFromRes(3, nullptr, nullptr), nullptr);
    const std::vector<std::string> details = Details();
    ASSERT_GE(details.size(), 2u);
    EXPECT_EQ(details[0], "Unrecognised chunk in widget.");
    EXPECT_NE(std::find(details.begin() + 1, details.end(), "Unrecognised chunk in widget."),
              details.end());
    // The widget constructor does not build tables.
    EXPECT_EQ(CWidgetConstructor::ConstructFromName(TableUnits("Listing"), nullptr), nullptr);
}
