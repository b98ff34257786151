// The table's pixels: fades, the gamma choice, fitted images, the shadow's
// mask, backgrounds and the overlay blend, and scrolling that moves the
// cache instead of rendering it again.
#include <gtest/gtest.h>

#include <functional>
#include <random>

#include "text/tests/TableTestSupport.h"

namespace {

using TableRender = TableFixture;

// Bits 24-31 of (q >> 8) * k: q's alpha at opacity k.
uint32_t AlphaAt(uint32_t q, uint32_t k) {
    return (((q >> 8) * k) >> 24) & 0xFF;
}

// The standard blend of s at level a over an opaque d, channel by channel,
// d's alpha kept.
uint32_t Over(uint32_t d, uint32_t s, uint32_t a) {
    uint32_t out = d & 0xFF000000u;
    for (int32_t shift : {0, 8, 16}) {
        const int32_t dc = int32_t((d >> shift) & 0xFF);
        const int32_t sc = int32_t((s >> shift) & 0xFF);
        out |= uint32_t(dc + (((sc - dc + 1) * int32_t(a)) >> 8)) << shift;
    }
    return out;
}

// A single image column the width of the view (edge buffer 0, no shadow)
// holding one opaque white image as large as the text image.
std::unique_ptr<CTableWidget> FadeTable(TableFixture& fixture, std::unique_ptr<CTableWidget> t,
                                        int32_t width) {
    (void)fixture;
    EXPECT_EQ(t->SetColumnEdgeBufferWidth(0, 0), eNoError);
    EXPECT_EQ(t->SetColumnIsImage(0, 1, 0), eNoError);
    EXPECT_EQ(t->SetUseImageShadow(0, 0), eNoError);
    EXPECT_EQ(t->AddRow(0), eNoError);
    EXPECT_EQ(t->SetCellImage(0, 0, SolidImage(width, 16, 0xFFFFFFFFu), 0), eNoError);
    return t;
}

} // namespace

TEST_F(TableRender, FadesSetTheOpacityOfEachPixelAcrossTheEdges) {
    struct SFade {
        const char* what;
        int32_t left;
        int32_t right;
        std::vector<std::pair<int32_t, uint32_t>> opacities; // x, k
    };
    const std::vector<SFade> fades = {
        {"left 10", 10, 0, {{0, 26}, {4, 128}, {9, 256}, {10, 256}, {99, 256}}},
        {"right 10", 0, 10, {{0, 256}, {88, 256}, {89, 256}, {90, 230}, {98, 26}, {99, 1}}},
        {"left 300", 300, 0, {{0, 1}, {99, 86}}},
        {"right 300", 0, 300, {{0, 85}, {99, 1}}},
    };
    for (const SFade& fade : fades) {
        SCOPED_TRACE(fade.what);
        auto table = FadeTable(*this, Table(100, 16), 100);
        ASSERT_EQ(table->SetColumnFadeLeft(0, fade.left, 0), eNoError);
        ASSERT_EQ(table->SetColumnFadeRight(0, fade.right, 0), eNoError);
        for (const auto& [x, k] : fade.opacities) {
            SCOPED_TRACE(x);
            for (const int32_t y : {0, 15}) {
                EXPECT_EQ(PixelAt(table->Overlay(), x, y),
                          (AlphaAt(0xFFFFFFFFu, k) << 24) | 0xFFFFFFu);
            }
        }
    }
}

TEST_F(TableRender, LightCellColoursTakeTheInverseGammaTable) {
    auto table = Table(100, 16);
    AddTextRows(*table, {"Ag"});
    for (const auto& [colour, inverse] : {std::pair{0xFF808080u, 1}, std::pair{0xFF7E7E7Eu, 0},
                                          std::pair{0xFF7F7F7Fu, 1}, std::pair{0xFFFF0000u, 0}}) {
        SCOPED_TRACE(colour);
        table->Row(0)->m_aCellColours[0] = colour;
        ASSERT_EQ(table->RebuildCell(0, 0, 0), eNoError);
        EXPECT_EQ(table->Renderer(0).m_fInverseGamma, inverse);
        EXPECT_EQ(table->Renderer(0).m_nColour, CPixel(colour));
    }
}

TEST_F(TableRender, ImagesAreFittedAndPlacedInTheTextImage) {
    // Column 48 wide with the edge buffer 8: a 40 x 16 text image.
    auto table = Table(100, 16);
    ASSERT_EQ(table->SetColumnWidth(0, 48, 0), eNoError);
    ASSERT_EQ(table->AddColumn(52, 1, 0), eNoError);
    ASSERT_EQ(table->SetColumnIsImage(0, 1, 0), eNoError);
    ASSERT_EQ(table->SetUseImageShadow(0, 0), eNoError);
    ASSERT_EQ(table->AddRow(0), eNoError);
    ASSERT_EQ(table->TextImage(0)->GetWidth(), 40);
    ASSERT_EQ(table->TextImage(0)->GetHeight(), 16);
    // A 64 x 32 image: scaled by 0.5 to 32 x 16, centred at x 4; the text
    // image starts half the edge buffer into the cell.
    ASSERT_EQ(table->SetJustification(0, CTextRenderer::eJustifyCentre, 0), eNoError);
    ASSERT_EQ(table->SetCellImage(0, 0, SolidImage(64, 32, 0xFF3060C0u), 0), eNoError);
    for (int32_t x = 0; x < 40; ++x) {
        const uint32_t expect = x >= 4 && x < 36 ? 0xFF3060C0u : 0u;
        EXPECT_EQ(PixelAt(*table->TextImage(0), x, 0), expect) << x;
        EXPECT_EQ(PixelAt(*table->TextImage(0), x, 15), expect) << x;
        EXPECT_EQ(PixelAt(table->Overlay(), 4 + x, 8), expect) << x;
    }
    // A smaller image is copied as it is: 10 x 6 of distinct pixels at
    // ((40 - 10) / 2, (16 - 6) / 2), and right-justified at x 30.
    auto* small = new CImage;
    ASSERT_EQ(small->Create(10, 6), eNoError);
    {
        CImNav view(small);
        for (int32_t y = 0; y < 6; ++y) {
            for (int32_t x = 0; x < 10; ++x) {
                view.Row(y)[x] = 0xFF000000u | uint32_t(y * 16 + x);
            }
        }
    }
    ASSERT_EQ(table->SetCellImage(0, 0, small, 0), eNoError);
    for (const auto& [justify, left] :
         {std::pair{CTextRenderer::eJustifyCentre, 15}, std::pair{CTextRenderer::eJustifyRight, 30},
          std::pair{CTextRenderer::eJustifyLeft, 0}}) {
        ASSERT_EQ(table->SetJustification(0, justify, 0), eNoError);
        int32_t covered = 0;
        for (int32_t y = 0; y < 16; ++y) {
            for (int32_t x = 0; x < 40; ++x) {
                const uint32_t p = PixelAt(*table->TextImage(0), x, y);
                const bool inside = x >= left && x < left + 10 && y >= 5 && y < 11;
                EXPECT_EQ(p, inside ? 0xFF000000u | uint32_t((y - 5) * 16 + x - left) : 0u)
                    << justify << " " << x << "," << y;
                covered += p != 0;
            }
        }
        EXPECT_EQ(covered, 60);
    }
}

TEST_F(TableRender, TheShadowMaskIsTheTextImageMovedByTheOffset) {
    struct SOffset {
        gCPoint offset;
        gCRect mask; // in the cell image
    };
    for (const SOffset& c : {SOffset{{2, 0}, {2, 0, 40, 16}}, SOffset{{1, 1}, {1, 1, 40, 16}},
                             SOffset{{0, 0}, {0, 0, 40, 16}}}) {
        SCOPED_TRACE(c.offset.x * 10 + c.offset.y);
        auto table = FadeTable(*this, Table(40, 16), 40);
        ASSERT_EQ(table->SetShadowRadius(0.0f, 0), eNoError); // no blur: the mask as made
        ASSERT_EQ(table->SetShadowOffset(c.offset, 0), eNoError);
        ASSERT_EQ(table->SetUseImageShadow(1, 0), eNoError);
        int32_t set = 0;
        for (int32_t y = 0; y < 16; ++y) {
            for (int32_t x = 0; x < 40; ++x) {
                const uint32_t m = PixelAt(*table->CellImage(0), x, y);
                const bool inside = x >= c.mask.left && y >= c.mask.top;
                EXPECT_EQ(m, inside ? 0xFFFFu : 0u) << x << "," << y;
                set += m != 0;
            }
        }
        EXPECT_EQ(set, c.mask.Width() * c.mask.Height());
        // Opaque text covers its shadow.
        EXPECT_EQ(PixelAt(table->Overlay(), 20, 8), CPixel(0xFFFFFFFFu));
    }
}

TEST_F(TableRender, ANarrowColumnAndAWideShadowOffsetStayInTheirImages) {
    // A 10-pixel image column with the 8-pixel edge buffer: a 2-pixel text
    // image, a shadow offset wider than it.
    auto table = Table(60, 32);
    ASSERT_EQ(table->SetColumnWidth(0, 10, 0), eNoError);
    ASSERT_EQ(table->SetColumnIsImage(0, 1, 0), eNoError);
    ASSERT_EQ(table->AddColumn(50, 0, 0), eNoError);
    ASSERT_EQ(table->SetShadowRadius(0.0f, 0), eNoError);
    ASSERT_EQ(table->SetShadowOffset(gCPoint(12, 3), 0), eNoError);
    AddRows(*table, 2);
    ASSERT_EQ(table->SetCellImage(0, 0, SolidImage(2, 16, 0xFF2040FFu), 0), eNoError);
    ASSERT_EQ(table->TextImage(0)->GetWidth(), 2);
    EXPECT_EQ(Pixels(*table->CellImage(0)), std::vector<uint32_t>(10 * 16, 0u));
    for (int32_t y = 0; y < 32; ++y) {
        for (int32_t x = 0; x < 60; ++x) {
            const bool image = y < 16 && (x == 8 || x == 9);
            EXPECT_EQ(PixelAt(table->Overlay(), x, y), image ? 0xFF2040FFu : 0u) << x << "," << y;
        }
    }
    // An image without pixels or with a zero side is an empty cell.
    auto* hollow = new CImage;
    ASSERT_EQ(table->SetCellImage(1, 0, hollow, 0), eNoError);
    ASSERT_EQ(hollow->Create(0, 5), eNoError);
    ASSERT_EQ(table->RebuildCell(1, 0, 0), eNoError);
    EXPECT_EQ(PixelAt(table->Overlay(), 8, 20), 0u);
    // Negative offsets too.
    ASSERT_EQ(table->SetShadowOffset(gCPoint(-40, -20), 0), eNoError);
    EXPECT_EQ(PixelAt(table->Overlay(), 8, 4), 0xFF2040FFu);
}

TEST_F(TableRender, BackgroundsAndTheOverlayBlend) {
    auto table = Table(6, 64);
    AddRows(*table, 3);
    ASSERT_EQ(table->SetAltRowColour(0xFF102030u, 0), eNoError);
    ASSERT_EQ(table->SetClientColour(0xFF405060u, 0), eNoError);
    ASSERT_EQ(table->SetSelectBackColour(0xA0FFFFFFu, 0), eNoError);
    CImNav(&table->Overlay()).Fill(0);
    const gCRect corner(0, 0, 1, 1);
    CImNav(&table->Overlay(), &corner).Fill(0x80FFFFFFu);
    CImage target;
    ASSERT_EQ(target.Create(6, 64), eNoError);
    ASSERT_EQ(table->RenderArea(gCRect(0, 0, 6, 64), &target, 255), eNoError);
    // Row 0 the alternate colour, row 1 the client colour, row 2 again the
    // alternate one, and beyond the last row still by parity. Alpha 255 is
    // opacity 256: the colours keep their alpha.
    EXPECT_EQ(PixelAt(target, 3, 5), 0xFF102030u);
    EXPECT_EQ(PixelAt(target, 3, 20), 0xFF405060u);
    EXPECT_EQ(PixelAt(target, 3, 40), 0xFF102030u);
    EXPECT_EQ(PixelAt(target, 3, 50), 0xFF405060u);
    EXPECT_EQ(PixelAt(target, 0, 0), Over(0xFF102030u, 0xFFFFFFu, 0x80));
    // Opaque blit: the 0xA0FFFFFF select colour is drawn opaque.
    ASSERT_EQ(table->SelectRow(1, 0), eNoError);
    table->SetOpaqueBlit(1);
    ASSERT_EQ(table->RenderArea(gCRect(0, 0, 6, 64), &target, 255), eNoError);
    EXPECT_EQ(PixelAt(target, 3, 20), 0xFFFFFFFFu);
    // The rollover colour only for an existing row.
    table->SetAutoRollover(1, 0);
    EXPECT_EQ(table->RolloverRow(), CTableWidget::kNoRollover);
}

namespace {

int32_t g_nBlendCalls = 0;
void CountingBlend(CPixel* dst, CPixel src) {
    ++g_nBlendCalls;
    CPixel::BlendProc(dst, src);
}

} // namespace

TEST_F(TableRender, TranslucentBackgroundsBlendThroughTheHook) {
    auto table = Table(7, 40);
    AddRows(*table, 2);
    ASSERT_EQ(table->SetAltRowColour(0x80FF0000u, 0), eNoError);
    CImage target;
    ASSERT_EQ(target.Create(7, 40), eNoError);
    CImNav(&target).Fill(0xFF0000FFu);
    const CPixel::BlendProcPtr saved = CPixel::m_pBlendProc;
    CPixel::m_pBlendProc = CountingBlend;
    g_nBlendCalls = 0;
    const error e = table->RenderArea(gCRect(0, 0, 7, 16), &target, 255);
    CPixel::m_pBlendProc = saved;
    ASSERT_EQ(e, eNoError);
    EXPECT_EQ(g_nBlendCalls, 2 * 7 * 16);
    EXPECT_EQ(PixelAt(target, 2, 2), Over(0xFF0000FFu, 0xFF0000u, 0x80));
    EXPECT_EQ(PixelAt(target, 2, 20), 0xFF0000FFu); // outside the area
    // At alpha 127 (opacity 128) the client colour is translucent too.
    g_nBlendCalls = 0;
    CPixel::m_pBlendProc = CountingBlend;
    const error half = table->RenderArea(gCRect(0, 16, 7, 32), &target, 127);
    CPixel::m_pBlendProc = saved;
    ASSERT_EQ(half, eNoError);
    EXPECT_EQ(g_nBlendCalls, 2 * 7 * 16);
    EXPECT_EQ(PixelAt(target, 2, 20), Over(0xFF0000FFu, 0xFFFFFFu, AlphaAt(0xFFFFFFFFu, 128)));
    EXPECT_EQ(table->RenderArea(gCRect(0, 0, 7, 40), &target, 0), eNoError);
}

TEST_F(TableRender, ScrollingMovesTheCacheAndMatchesAFreshRender) {
    auto table = Table(120, 100);
    ASSERT_EQ(table->SetColumnWidth(0, 70, 0), eNoError);
    ASSERT_EQ(table->AddColumn(50, 1, 0), eNoError);
    ASSERT_EQ(table->SetJustification(1, CTextRenderer::eJustifyRight, 0), eNoError);
    ASSERT_EQ(table->SetColumnFadeRight(0, 12, 0), eNoError);
    for (int32_t i = 0; i < 30; ++i) {
        ASSERT_EQ(table->AddRow(0), eNoError);
        ASSERT_EQ(table->SetCellText(i, 0, TableUnits("Row " + std::to_string(i) + " gyp"), 0),
                  eNoError);
        ASSERT_EQ(table->SetCellText(i, 1, TableUnits(std::to_string(i * 37)), 0), eNoError);
    }
    ASSERT_EQ(table->SelectRow(3, 0), eNoError);
    const auto fresh = [&] {
        const std::vector<uint32_t> before = Pixels(table->Overlay());
        EXPECT_EQ(table->InvalidateOverlay(gCRect(0, 0, 120, 100)), eNoError);
        const std::vector<uint32_t> after = Pixels(table->Overlay());
        return std::pair{before, after};
    };
    std::mt19937 random(56);
    for (int32_t step = 0; step < 60; ++step) {
        error e = eNoError;
        switch (random() % 9) {
        case 0:
            e = table->VScrollDownOneLine(0);
            break;
        case 1:
            e = table->VScrollUpOneLine(0);
            break;
        case 2:
            e = table->VScrollDownOnePixel(0);
            break;
        case 3:
            e = table->VScrollUpOnePixel(0);
            break;
        case 4:
            e = table->VScrollDownOnePage(0);
            break;
        case 5:
            e = table->VScrollUpOnePage(0);
            break;
        case 6:
            e = table->VScrollToPixelLocation(int32_t(random() % 500) - 50, 0);
            break;
        case 7:
            e = table->VScroll(float(random() % 1000) / 900.0f, 0);
            break;
        default:
            e = table->VScroll(200, 40, gCPoint(0, int32_t(random() % 200)), 0);
            break;
        }
        ASSERT_EQ(e, eNoError) << step;
        if (step % 10 == 9) {
            const auto [cached, rendered] = fresh();
            ASSERT_EQ(cached, rendered) << "step " << step << " at " << table->VScrollPosition();
        }
    }
    ASSERT_EQ(table->VScrollToPixelLocation(37, 0), eNoError);
    const std::vector<uint32_t> reference = fresh().second;
    for (const int32_t dy : {0, 150, -150, 101, -101}) {
        SCOPED_TRACE(dy);
        ASSERT_EQ(table->ContentScroll(0, 30 * 16, dy, 1, 0), eNoError);
        EXPECT_EQ(Pixels(table->Overlay()), reference);
    }
}

TEST_F(TableRender, EveryChangeLeavesTheCacheAsAFreshRenderWouldDrawIt) {
    auto table = Table(120, 100);
    ASSERT_EQ(table->SetColumnWidth(0, 80, 0), eNoError);
    ASSERT_EQ(table->AddColumn(40, 0, 0), eNoError);
    for (int32_t i = 0; i < 12; ++i) {
        ASSERT_EQ(table->AddRow(0), eNoError);
        ASSERT_EQ(table->SetCellText(i, 0, TableUnits(std::string(1, char('a' + (i * 7) % 12))), 0),
                  eNoError);
        ASSERT_EQ(table->SetCellImage(
                      i, 1, SolidImage(8 + i, 8, 0xFF000000u | uint32_t(i * 0x151515)), 0),
                  eNoError);
    }
    const std::vector<std::pair<const char*, std::function<error()>>> changes = {
        {"insert at 1", [&] { return table->InsertRow(1, 0); }},
        {"text in the new row", [&] { return table->SetCellText(1, 0, TableUnits("new"), 0); }},
        {"scroll 30", [&] { return table->VScrollToPixelLocation(30, 0); }},
        {"remove 3", [&] { return table->RemoveRow(3, 0); }},
        {"select 4", [&] { return table->SelectRow(4, 0); }},
        {"sort by text", [&] { return table->Sort(0, 0, 1, 0); }},
        {"column 0 to 60", [&] { return table->SetColumnWidth(0, 60, 0); }},
        {"row height 18", [&] { return table->SetRowHeight(18, 0); }},
        {"edge buffer 2", [&] { return table->SetColumnEdgeBufferWidth(2, 0); }},
        {"size 110 x 90", [&] { return table->SetSize(110, 90, 0); }},
        {"remove the last", [&] { return table->RemoveRow(table->GetRowCount() - 1, 0); }},
        {"clear", [&] { return table->Clear(0); }},
    };
    for (const auto& [what, change] : changes) {
        SCOPED_TRACE(what);
        ASSERT_EQ(change(), eNoError);
        const std::vector<uint32_t> cached = Pixels(table->Overlay());
        ASSERT_EQ(table->InvalidateOverlay(gCRect(0, 0, table->Width(), table->Height())),
                  eNoError);
        EXPECT_EQ(cached, Pixels(table->Overlay()));
    }
}
